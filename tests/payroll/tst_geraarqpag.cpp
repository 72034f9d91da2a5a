// The salary payment screen driven as an operator does: the member grid, the code box, the date,
// the year-month arrows, the selection menu and the button; the scripted dialogs; then the file
// bytes and the database. Two connections for copies working at once.
#include "DialogScript.h"
#include "TestDb.h"
#include "payroll/ufrmGeraArqPagFuncionario.h"
#include "platform/data/DateCodec.h"
#include "platform/widgets/DbDateEdit.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/DbLookupComboBox.h"
#include "platform/widgets/SelectionBar.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Dialogs::Button;
using Dialogs::Kind;

namespace {

const QString Confirma =
    "Tem certeza de que deseja gerar o arquivo\n\rde pagamento para estes funcionários?";
const QString Sucesso = "Arquivo gerado com sucesso!!";
const QString Erro = "Ocorreu um erro inesperado ao gerar o arquivo: ";
const QList<Button> SimNaoCancela{Button::Yes, Button::No, Button::Cancel};

QByteArray detalhe(const QByteArray& conta, const QByteArray& nome, const QByteArray& cpf,
                   const QByteArray& valor) {
    return "1C" + conta.rightJustified(10, '0') + nome.leftJustified(40) +
           cpf.rightJustified(14, '0') + QByteArray(12, ' ') + "000" + QByteArray(30, ' ') +
           valor.rightJustified(17, '0') + QByteArray(72, ' ');
}

QByteArray cabecalho(const QByteArray& data) {
    return "01" + QByteArray("756") + "0001" + "0001234" + QByteArray(10, ' ') + "01" + "11" +
           data + QByteArray(162, ' ');
}

QByteArray rodape(int n, const QByteArray& soma) {
    return "9" + QByteArray(22, '0') + QByteArray::number(n).rightJustified(5, '0') +
           soma.rightJustified(17, '0') + QByteArray(155, ' ');
}

QByteArray arquivo(const QList<QByteArray>& recs) {
    QByteArray out;
    for (const QByteArray& r : recs)
        out += r + "\r\n";
    return out;
}

// The three listed employees of the member under code 01, in list order (by name).
QList<QByteArray> detalhesFolha() {
    return {detalhe("111", "ANA MARIA", "11111111111", "9999"),
            detalhe("222", "BRUNO", "22222222222", "200050"),
            detalhe("333", "CARLA CONCEI\xC7\xC3O", "33333333333", "150000")};
}

struct Tela {
    TestDb db;
    DialogScript script;
    TfrmGeraArqPagFuncionario frm;
    QTemporaryDir dir;
    int associado = 0;
    int semCodigos = 0;
    int folha = 0;

    explicit Tela(Engine e) : db(e), frm(&db.conn()) {
        Connection& c = db.conn();
        associado =
            c.insertReturning(
                 "INSERT INTO associado (nom_associado, idt_tpo_associado, num_bancoob, "
                 "num_ag_bancoob, num_conv_bancoob, idt_dst_mov_bancoob) VALUES "
                 "('Cooperativa Ana', 'J', '756', '1', '1234', '11') RETURNING cod_associado",
                 {})
                .toInt();
        semCodigos = c.insertReturning("INSERT INTO associado (nom_associado) VALUES ('Zeta') "
                                       "RETURNING cod_associado",
                                       {})
                         .toInt();
        folha =
            c.insertReturning("INSERT INTO movimento (cod_associado, num_cod_movimento, "
                              "dsc_movimento) VALUES (?, '01', 'Folha') RETURNING cod_movimento",
                              {associado})
                .toInt();
        const int adiantamento =
            c.insertReturning("INSERT INTO movimento (cod_associado, num_cod_movimento, "
                              "dsc_movimento) VALUES (?, '02', 'Adiantamento') RETURNING "
                              "cod_movimento",
                              {associado})
                .toInt();
        const int dep = c.insertReturning("INSERT INTO departamento (cod_associado, "
                                          "nom_departamento) VALUES (?, 'Adm') RETURNING "
                                          "cod_departamento",
                                          {associado})
                            .toInt();
        const auto func = [&](const QString& nome, qint64 units, const QString& conta,
                              const QString& cpf, int mov, bool demitido = false) {
            c.execute("INSERT INTO funcionario (cod_associado, cod_departamento, cod_movimento, "
                      "nom_funcionario, num_cpf, vlr_salario, num_cc_bancoob, dat_demissao) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                      {associado, dep, mov, nome, cpf, Money::fromUnits(units).toVariant(), conta,
                       demitido ? QVariant(QDate(2006, 5, 1)) : QVariant()});
        };
        func(QString::fromUtf8("CARLA CONCEIÇÃO"), 15000000, "333", "33333333333", folha);
        func("BRUNO", 20005000, "222", "22222222222", folha);
        func("ANA MARIA", 999900, "111", "11111111111", folha);
        func("DIEGO", 10000000, "444", "44444444444", folha, true);
        func("EDU", 0, "555", "55555555555", folha);
        func(QString::fromUtf8("FÁBIO"), 10000000, "666", "66666666666", adiantamento);
        // Monday 22/01/2007 is a holiday.
        c.execute("INSERT INTO feriado (dat_feriado, dsc_feriado, ind_dia_fixo) VALUES (?, "
                  "'Feriado', ?)",
                  {QDate(2007, 1, 22), false});
    }
    void abre() {
        frm.show();
        QApplication::setActiveWindow(&frm);
        if (!QTest::qWaitForWindowActive(&frm))
            qFatal("salary screen not active");
    }
    // Drops the code box down and picks the entry with the keyboard.
    void escolheCodigo(const QString& dsc) {
        DbLookupComboBox* c = frm.RxDBLookupCombo1;
        c->setFocus();
        c->showPopup();
        const int i = c->findText(dsc);
        QVERIFY2(i >= 0, qPrintable(dsc));
        c->view()->setCurrentIndex(c->model()->index(i, 0));
        QTest::keyClick(c->view(), Qt::Key_Return);
    }
    void digitaData(const QString& digits) {
        frm.DateEdit1->setFocus();
        frm.DateEdit1->selectAll();
        QTest::keyClick(frm.DateEdit1, Qt::Key_Backspace);
        frm.DateEdit1->setCursorPosition(0);
        QTest::keyClicks(frm.DateEdit1, digits);
    }
    void menu(const char* action) { frm.findChild<QAction*>(action)->trigger(); }
    int linhas() const { return frm.RxDBGrid2->model()->rowCount(); }
    QString caminho(const QString& nome = "folha.txt") const { return dir.filePath(nome); }
    // Ready to generate: date, code, all selected.
    void prepara(const QString& data = "20012007") {
        digitaData(data);
        escolheCodigo("Folha");
        menu("Selecionartodos1");
    }
    void gera() { QTest::mouseClick(frm.SpeedButton1, Qt::LeftButton); }
    void geraComSucesso(const QString& path) {
        script.dlg(Kind::Confirmation, Confirma, Button::Yes, SimNaoCancela);
        script.save(path);
        script.box("Informação", Sucesso);
        gera();
    }
    int pagamentos() {
        return db.conn().selectValue("SELECT count(*) FROM pagamento_funcionario").toInt();
    }
    static QByteArray le(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return "<none>";
        return f.readAll();
    }
};

// With CAP_SCREENSHOT_DIR set (run under a window manager), the screen as shown, the whole
// display, and the year-month control enlarged six times, for a person to look at.
void fotografa(Tela& t) {
    const QString dir = qEnvironmentVariable("CAP_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    t.digitaData("22012007");
    QTest::qWait(300);
    t.frm.grab().save(dir + "/tela-pagamento.png");
    if (QScreen* s = QGuiApplication::primaryScreen())
        s->grabWindow(0).save(dir + "/display.png");
    const QPixmap am = t.frm.UAnoMes1->grab();
    am.scaled(am.size() * 6, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(dir + "/uanomes-6x.png");
    // A click on the lower half of the month arrow, caught while it shows sunken.
    QTest::mouseRelease(t.frm.UAnoMes1->btnMes(), Qt::LeftButton, {}, QPoint(5, 18));
    const QPixmap baixo = t.frm.UAnoMes1->grab();
    baixo.scaled(baixo.size() * 6, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(dir + "/uanomes-6x-pressed.png");
    QTest::qWait(200);
    QTest::mouseRelease(t.frm.UAnoMes1->btnMes(), Qt::LeftButton, {}, QPoint(5, 1));
    QTest::qWait(200);
    t.frm.UAnoMes1->setEnabled(false);
    const QPixmap off = t.frm.UAnoMes1->grab();
    off.scaled(off.size() * 6, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(dir + "/uanomes-6x-disabled.png");
    t.frm.UAnoMes1->setEnabled(true);
    t.digitaData("");
}

} // namespace

class TestGeraArqPag : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void opening_data() { TestDb::addEngineRows(); }
    void opening();
    void checks_data();
    void checks();
    void generate_data();
    void generate();
    void someSelected_data() { TestDb::addEngineRows(); }
    void someSelected();
    void memberWithoutCodes_data() { TestDb::addEngineRows(); }
    void memberWithoutCodes();
    void enteringMemberGrid_data() { TestDb::addEngineRows(); }
    void enteringMemberGrid();
    void search_data();
    void search();
    void twice_data() { TestDb::addEngineRows(); }
    void twice();
    void faults_data();
    void faults();
    void copiesAtOnce_data() { TestDb::addEngineRows(); }
    void copiesAtOnce();
};

void TestGeraArqPag::opening() {
    QFETCH(Engine, engine);
    Tela t(engine);
    t.abre();
    QCOMPARE(t.frm.title(), QString(" Gerar Arquivo Pagamento Salário"));
    QCOMPARE(t.frm.RxDBGrid1->model()->rowCount(), 2);
    QCOMPARE(t.frm.RxDBGrid1->model()->index(0, 0).data().toString(), QString("Cooperativa Ana"));
    QCOMPARE(t.frm.UAnoMes1->GetReferencia(), QString("200701"));
    QVERIFY(t.frm.UAnoMes1->ReadOnly());
    QCOMPARE(t.frm.DateEdit1->displayText(), DateCodec::EmptyMask);
    QCOMPARE(t.frm.ComboBox1->currentText(), QString("Próximo dia útil"));
    QCOMPARE(t.frm.RxDBLookupCombo1->currentIndex(), -1);
    QCOMPARE(t.linhas(), 0);
    QCOMPARE(QApplication::focusWidget(), t.frm.DateEdit1);
    QCOMPARE(t.frm.barra->lblTotRegistros->text(), QString("0"));
    QCOMPARE(t.frm.barra->lblRegistrosGerados->text(), QString("0"));
    // The code box lists the codes of the current member; choosing one lists its employees,
    // active and with a salary, by name.
    t.escolheCodigo("Folha");
    QCOMPARE(t.linhas(), 3);
    QCOMPARE(t.frm.RxDBGrid2->model()->index(0, 1).data().toString(), QString("ANA MARIA"));
    QCOMPARE(t.frm.RxDBGrid2->model()->index(2, 1).data().toString(),
             QString::fromUtf8("CARLA CONCEIÇÃO"));
    t.menu("Selecionartodos1");
    t.frm.RxDBGrid2->setRowSelected(1, false);
    fotografa(t);
    t.escolheCodigo("Adiantamento");
    QCOMPARE(t.linhas(), 1);
    // The year-month keeps the last value the operator stepped to across openings.
    QTest::mouseRelease(t.frm.UAnoMes1->btnMes(), Qt::LeftButton, {}, QPoint(5, 2));
    t.frm.close();
    t.abre();
    QCOMPARE(t.frm.UAnoMes1->GetReferencia(), QString("200702"));
    QCOMPARE(t.linhas(), 0);
    QCOMPARE(t.frm.RxDBLookupCombo1->currentIndex(), -1);
    VERIFY_SCRIPT(t.script);
}

void TestGeraArqPag::checks_data() {
    QTest::addColumn<bool>("seleciona");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("convenio");
    QTest::addColumn<QString>("mensagem"); // the box that stops it, if any
    QTest::addColumn<int>("confirmacao");  // the answer, or -1 when not asked
    QTest::addColumn<bool>("salva");       // the save dialog answered with a path
    QTest::newRow("nothing selected")
        << false << "20012007"
        << "1234"
        << "Selecione os funcionários a serem\n\rincluídos no arquivo de pagamento!" << -1 << false;
    QTest::newRow("no payment date") << true << ""
                                     << "1234"
                                     << "Favor informar a data do pagamento!" << -1 << false;
    QTest::newRow("agreement too wide")
        << true << "20012007"
        << "12345678"
        << "O associado \"Cooperativa Ana\" tem no campo \"Nº conv.\" o valor \"12345678\", mais "
           "largo que os 7 caracteres do arquivo."
        << -1 << false;
    QTest::newRow("No at the confirmation") << true << "20012007"
                                            << "1234"
                                            << "" << int(Button::No) << false;
    QTest::newRow("Cancel at the confirmation") << true << "20012007"
                                                << "1234"
                                                << "" << int(Button::Cancel) << false;
    QTest::newRow("save dialog cancelled") << true << "20012007"
                                           << "1234"
                                           << "" << int(Button::Yes) << false;
}

void TestGeraArqPag::checks() {
    QFETCH(bool, seleciona);
    QFETCH(QString, data);
    QFETCH(QString, convenio);
    QFETCH(QString, mensagem);
    QFETCH(int, confirmacao);
    Tela t(Engine::SQLite);
    t.db.conn().execute("UPDATE associado SET num_conv_bancoob = ?", {convenio});
    t.abre();
    t.digitaData(data);
    t.escolheCodigo("Folha");
    if (seleciona)
        t.menu("Selecionartodos1");
    QFile antigo(t.caminho());
    QVERIFY(antigo.open(QIODevice::WriteOnly));
    antigo.write("antigo");
    antigo.close();
    if (!mensagem.isEmpty())
        t.script.box("Informação", mensagem);
    if (confirmacao >= 0)
        t.script.dlg(Kind::Confirmation, Confirma, Button(confirmacao), SimNaoCancela);
    if (confirmacao == int(Button::Yes))
        t.script.save(QString());
    t.gera();
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.pagamentos(), 0);
    QCOMPARE(Tela::le(t.caminho()), QByteArray("antigo"));
    // Nothing is reset by a stop: the list and its selection stay.
    QCOMPARE(t.linhas(), 3);
    QCOMPARE(t.frm.RxDBGrid2->selectedCount(), seleciona ? 3 : 0);
    QCOMPARE(t.frm.barra->lblTotRegistros->text(), QString::number(seleciona ? 3 : 0));
}

void TestGeraArqPag::generate_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("tratamento");
    QTest::addColumn<QByteArray>("dataArquivo");
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e);
        QTest::newRow(qPrintable(n + " holiday, next business day"))
            << e << "22012007" << 0 << QByteArray("20070123");
        QTest::newRow(qPrintable(n + " holiday, previous business day"))
            << e << "22012007" << 1 << QByteArray("20070119");
        QTest::newRow(qPrintable(n + " business day"))
            << e << "24012007" << 1 << QByteArray("20070124");
    }
}

void TestGeraArqPag::generate() {
    QFETCH(Engine, engine);
    QFETCH(QString, data);
    QFETCH(int, tratamento);
    QFETCH(QByteArray, dataArquivo);
    Tela t(engine);
    t.abre();
    t.prepara(data);
    t.frm.ComboBox1->setCurrentIndex(tratamento);
    // One month up with the arrow.
    QTest::mouseRelease(t.frm.UAnoMes1->btnMes(), Qt::LeftButton, {}, QPoint(5, 1));
    QCOMPARE(t.frm.RxDBGrid2->selectedCount(), 3);
    t.geraComSucesso(t.caminho());
    VERIFY_SCRIPT(t.script);

    QCOMPARE(Tela::le(t.caminho()),
             arquivo(QList<QByteArray>{cabecalho(dataArquivo)} + detalhesFolha() +
                     QList<QByteArray>{rodape(3, "360049")}));
    // Recorded with the date as typed, the month chosen, the account and salary of each.
    const ResultSet rs = t.db.conn().select(
        "SELECT f.nom_funcionario, p.dat_pagamento, p.mes_referencia, p.num_cc_func_bancoob, "
        "p.vlr_salario, p.dat_geracao FROM pagamento_funcionario p JOIN funcionario f ON "
        "f.cod_funcionario = p.cod_funcionario ORDER BY f.nom_funcionario");
    QCOMPARE(rs.rows.size(), 3);
    const QDate digitada = QDate::fromString(data, "ddMMyyyy");
    const QStringList nomes{"ANA MARIA", "BRUNO", QString::fromUtf8("CARLA CONCEIÇÃO")};
    const QList<qint64> salarios{999900, 20005000, 15000000};
    for (int i = 0; i < 3; ++i) {
        const QVariantList& r = rs.rows.at(i);
        QCOMPARE(r.at(0).toString(), nomes.at(i));
        QCOMPARE(DateCodec::fromDb(r.at(1)), QDateTime(digitada, QTime(0, 0)));
        QCOMPARE(r.at(2).toString(), QString("200702"));
        QCOMPARE(r.at(3).toString(), QString::number(111 * (i + 1)));
        QCOMPARE(Money::fromVariant(r.at(4)).units(), salarios.at(i));
        QCOMPARE(DateCodec::fromDb(r.at(5)), QDateTime(QDate::currentDate(), QTime(0, 0)));
    }
    // The screen is ready for the next file.
    QCOMPARE(t.linhas(), 0);
    QCOMPARE(t.frm.DateEdit1->displayText(), DateCodec::EmptyMask);
    QCOMPARE(t.frm.RxDBLookupCombo1->currentIndex(), -1);
    QCOMPARE(t.frm.ComboBox1->currentIndex(), 0);
    QCOMPARE(t.frm.UAnoMes1->GetReferencia(), QString("200702"));
    QCOMPARE(QApplication::focusWidget(), t.frm.DateEdit1);
    QCOMPARE(t.frm.barra->lblTotRegistros->text(), QString("0"));
    QCOMPARE(t.frm.barra->lblRegistrosGerados->text(), QString("0"));
    QCOMPARE(t.frm.barra->pgCont->value(), 0);
}

void TestGeraArqPag::someSelected() {
    QFETCH(Engine, engine);
    Tela t(engine);
    t.abre();
    t.digitaData("24012007");
    t.escolheCodigo("Folha");
    // Carla, then Ana with Ctrl: the file keeps the list's order.
    const auto clique = [&](int row, Qt::KeyboardModifiers m) {
        const QRect r = t.frm.RxDBGrid2->visualRect(t.frm.RxDBGrid2->model()->index(row, 0));
        QTest::mouseClick(t.frm.RxDBGrid2->viewport(), Qt::LeftButton, m, r.center());
    };
    clique(2, Qt::NoModifier);
    clique(0, Qt::ControlModifier);
    QCOMPARE(t.frm.RxDBGrid2->selectedCount(), 2);
    // Dropping the code box down and closing it without a pick keeps the list and selection.
    t.frm.RxDBLookupCombo1->showPopup();
    QTest::keyClick(t.frm.RxDBLookupCombo1->view(), Qt::Key_Escape);
    QCOMPARE(t.frm.RxDBGrid2->selectedCount(), 2);
    t.geraComSucesso(t.caminho());
    VERIFY_SCRIPT(t.script);
    const QList<QByteArray> d = detalhesFolha();
    QCOMPARE(Tela::le(t.caminho()),
             arquivo({cabecalho("20070124"), d.at(0), d.at(2), rodape(2, "159999")}));
    QCOMPARE(t.pagamentos(), 2);
}

void TestGeraArqPag::memberWithoutCodes() {
    QFETCH(Engine, engine);
    Tela t(engine);
    t.abre();
    t.escolheCodigo("Folha");
    QCOMPARE(t.linhas(), 3);
    // The member without codes: entering the grid and moving to it.
    const QRect r = t.frm.RxDBGrid1->visualRect(t.frm.RxDBGrid1->model()->index(1, 0));
    QTest::mouseClick(t.frm.RxDBGrid1->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(t.linhas(), 0);
    DbLookupComboBox* c = t.frm.RxDBLookupCombo1;
    c->setFocus();
    c->showPopup();
    QCOMPARE(c->count(), 0);
    QTest::keyClick(c->view(), Qt::Key_Escape);
    QCOMPARE(t.linhas(), 0);
    t.menu("Selecionartodos1");
    t.digitaData("24012007");
    t.script.box("Informação",
                 "Selecione os funcionários a serem\n\rincluídos no arquivo de pagamento!");
    t.gera();
    VERIFY_SCRIPT(t.script);
}

void TestGeraArqPag::enteringMemberGrid() {
    QFETCH(Engine, engine);
    Tela t(engine);
    t.abre();
    t.prepara();
    QCOMPARE(t.linhas(), 3);
    QCOMPARE(t.frm.RxDBLookupCombo1->currentText(), QString("Folha"));
    t.frm.RxDBGrid1->setFocus(Qt::TabFocusReason);
    QCOMPARE(t.linhas(), 0);
    QCOMPARE(t.frm.RxDBLookupCombo1->currentIndex(), -1);
    QCOMPARE(t.frm.RxDBLookupCombo1->currentText(), QString());
    // Closing the code box without a pick lists nothing: no code is chosen.
    DbLookupComboBox* c = t.frm.RxDBLookupCombo1;
    c->setFocus();
    c->showPopup();
    QTest::keyClick(c->view(), Qt::Key_Escape);
    QCOMPARE(t.linhas(), 0);
}

void TestGeraArqPag::search_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("atual");
    QTest::newRow("whole name") << "Zeta" << true << "Zeta";
    QTest::newRow("prefix finds nothing") << "Cooperativa" << true << "Cooperativa Ana";
    QTest::newRow("cancelled") << "Zeta" << false << "Cooperativa Ana";
}

void TestGeraArqPag::search() {
    QFETCH(QString, nome);
    QFETCH(bool, ok);
    QFETCH(QString, atual);
    Tela t(Engine::SQLite);
    t.abre();
    t.script.prompt("Digite o nome do associado", ok ? nome : QString(), ok);
    t.menu("Pesquisar1");
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.dtmGeraArqPagFuncionario->qryAssociado.asString("nom_associado"), atual);
}

void TestGeraArqPag::twice() {
    QFETCH(Engine, engine);
    Tela t(engine);
    t.abre();
    t.prepara();
    t.geraComSucesso(t.caminho("a.txt"));
    t.prepara();
    t.geraComSucesso(t.caminho("b.txt"));
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.pagamentos(), 6);
    QCOMPARE(Tela::le(t.caminho("a.txt")).mid(202), Tela::le(t.caminho("b.txt")).mid(202));
}

void TestGeraArqPag::faults_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("falha");
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e);
        for (const char* f : {"missing folder", "target is a folder", "invalid date",
                              "database refuses", "employee dismissed meanwhile"})
            QTest::newRow(qPrintable(n + " " + f)) << e << QString(f);
    }
}

void TestGeraArqPag::faults() {
    QFETCH(Engine, engine);
    QFETCH(QString, falha);
    Tela t(engine);
    t.abre();
    t.prepara(falha == "invalid date" ? "31022007" : "24012007");
    QString alvo = t.caminho();
    QFile antigo(alvo);
    QVERIFY(antigo.open(QIODevice::WriteOnly));
    antigo.write("antigo");
    antigo.close();
    Connection outra("outra");
    outra.setConnectionString(t.db.target());
    outra.open();
    QString mensagem;
    if (falha == "missing folder") {
        alvo = t.dir.filePath("nao/existe.txt");
    } else if (falha == "target is a folder") {
        alvo = t.dir.filePath("pasta");
        QVERIFY(QDir(t.dir.path()).mkdir("pasta"));
    } else if (falha == "database refuses") {
        // Another copy holds the database for writing past the waiting time.
        t.db.conn().setBusyTimeout(300);
        outra.beginTransaction();
        outra.lockNumbering("pagamento_funcionario");
        outra.execute("UPDATE associado SET nom_associado = nom_associado");
    } else if (falha == "employee dismissed meanwhile") {
        outra.execute("UPDATE funcionario SET dat_demissao = ? WHERE nom_funcionario = 'BRUNO'",
                      {QDate(2007, 1, 10)});
        mensagem = "A relação de funcionários mudou depois que foi aberta (funcionário demitido, "
                   "transferido ou com salário alterado para zero).\n\rEscolha novamente o código "
                   "de movimento para ver a relação atual.";
    }
    t.script.dlg(Kind::Confirmation, Confirma, Button::Yes, SimNaoCancela);
    t.script.save(alvo);
    if (!mensagem.isEmpty())
        t.script.box("Informação", mensagem);
    else
        t.script.allowAny(true);
    t.gera();
    if (outra.inTransaction())
        outra.rollback();
    QVERIFY2(t.script.failures().isEmpty() || mensagem.isEmpty(), qPrintable(t.script.report()));
    if (mensagem.isEmpty()) {
        const Dialogs::Request& r = t.script.seen().last();
        QCOMPARE(r.kind, Kind::Error);
        QVERIFY2(r.text.startsWith(Erro) && r.text.size() > Erro.size(), qPrintable(r.text));
    }
    QCOMPARE(t.pagamentos(), 0);
    QCOMPARE(Tela::le(t.caminho()), QByteArray("antigo"));
    if (falha == "missing folder")
        QVERIFY(!QFile::exists(alvo));
    QCOMPARE(QDir(t.dir.path()).entryList(QDir::Files), QStringList{"folha.txt"});
    // The inputs and the selection stay for another try; the progress is back at 0.
    QCOMPARE(t.frm.RxDBGrid2->selectedCount(), 3);
    QCOMPARE(t.frm.barra->pgCont->value(), 0);
    QVERIFY(!t.frm.DateEdit1->isEmptyMask());
}

void TestGeraArqPag::copiesAtOnce() {
    QFETCH(Engine, engine);
    Tela a(engine);
    a.abre();
    a.prepara();
    // A second copy, on its own connection, lists the same employees.
    Connection cnxB("copiaB");
    cnxB.setConnectionString(a.db.target());
    cnxB.open();
    TfrmGeraArqPagFuncionario b(&cnxB);
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));
    b.DateEdit1->setFocus();
    QTest::keyClicks(b.DateEdit1, "24012007");
    b.RxDBLookupCombo1->showPopup();
    b.RxDBLookupCombo1->view()->setCurrentIndex(
        b.RxDBLookupCombo1->model()->index(b.RxDBLookupCombo1->findText("Folha"), 0));
    QTest::keyClick(b.RxDBLookupCombo1->view(), Qt::Key_Return);
    b.findChild<QAction*>("Selecionartodos1")->trigger();
    QCOMPARE(b.RxDBGrid2->selectedCount(), 3);

    // B generates first; A's list was read before B recorded its payments.
    a.script.dlg(Kind::Confirmation, Confirma, Button::Yes, SimNaoCancela);
    a.script.save(a.caminho("b.txt"));
    a.script.box("Informação", Sucesso);
    QTest::mouseClick(b.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(a.script);
    QCOMPARE(a.pagamentos(), 3);
    a.script.clear();
    a.script.dlg(Kind::Confirmation, Confirma, Button::Yes, SimNaoCancela);
    a.script.save(a.caminho("a.txt"));
    a.script.box("Informação",
                 "Outra estação registrou pagamentos para funcionários desta relação depois que "
                 "ela foi aberta.\n\rEscolha novamente o código de movimento para ver a relação "
                 "atual.");
    a.gera();
    VERIFY_SCRIPT(a.script);
    QCOMPARE(a.pagamentos(), 3);
    QVERIFY(!QFile::exists(a.caminho("a.txt")));
    // Listing again shows the list as it is now; paying again is then the operator's choice.
    a.escolheCodigo("Folha");
    a.menu("Selecionartodos1");
    a.geraComSucesso(a.caminho("a.txt"));
    VERIFY_SCRIPT(a.script);
    QCOMPARE(a.pagamentos(), 6);
}

QTEST_MAIN(TestGeraArqPag)
#include "tst_geraarqpag.moc"
