// The report screen driven as the operator does: its checks and messages, the kinds, the
// criteria reaching the listings, what it keeps and what it clears; on every engine.

#include "DialogScript.h"
#include "PageText.h"
#include "TestDb.h"
#include "platform/data/Money.h"
#include "platform/report/ReportPreview.h"
#include "reports/LookupBox.h"
#include "reports/ufrmRelatorio.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {

const QString Atencao = QStringLiteral("Atenção");
const QString NadaEncontrado =
    QStringLiteral("Nenhuma informação encontrada que atenda aos critérios utilizados!");

// The listings the screen asked to preview.
struct Shown {
    Report::PageModel pages;
    QString title;
};

class Fixture {
public:
    explicit Fixture(Engine e) : db(e) {
        Report::setPreviewHandler([this](const Report::PageModel& m, const QString& title) {
            shown.append({m, title});
        });
        member = db.conn()
                     .insertReturning("INSERT INTO associado (nom_associado, num_ag_bancoob) "
                                      "VALUES ('Padaria Pão Quente', '3041') RETURNING "
                                      "cod_associado",
                                      {})
                     .toInt();
        other = db.conn()
                    .insertReturning("INSERT INTO associado (nom_associado) VALUES ('Açougue "
                                     "Boi Bravo') RETURNING cod_associado",
                                     {})
                    .toInt();
        screen = std::make_unique<TfrmRelatorio>(&db.conn());
    }
    ~Fixture() { Report::setPreviewHandler(nullptr); }

    int lot(int number, const QString& datLote, const QString& datGerado = {}) {
        return db.conn()
            .insertReturning("INSERT INTO lote_cheque (cod_associado, num_lote, ind_gerado, "
                             "dat_lote, dat_gerado) VALUES (?, ?, ?, ?, ?) RETURNING cod_lote",
                             {member, QString::number(number), !datGerado.isEmpty(), datLote,
                              datGerado.isEmpty() ? QVariant() : QVariant(datGerado)})
            .toInt();
    }
    void cheque(int lot, const QString& datDeposito = {}, const QString& datDevolucao = {}) {
        db.conn().execute(
            "INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, num_compe, "
            "num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque, "
            "dat_deposito, ind_devolvido, dat_devolucao) VALUES (?, '756', '3041', '7', '018', "
            "?, '5', '3', '0012345678', '9', ?, ?, ?, ?)",
            {lot, QStringLiteral("%1").arg(++cheques, 6, 10, QChar('0')),
             qlonglong(cheques) * 10000, datDeposito.isEmpty() ? QVariant() : QVariant(datDeposito),
             !datDevolucao.isEmpty(),
             datDevolucao.isEmpty() ? QVariant() : QVariant(datDevolucao)});
    }
    int department(const QString& name) {
        return db.conn()
            .insertReturning("INSERT INTO departamento (cod_associado, nom_departamento) VALUES "
                             "(?, ?) RETURNING cod_departamento",
                             {member, name})
            .toInt();
    }
    void employee(int dept, const QString& name, QVariant salary, const QString& demissao = {}) {
        if (movimento == 0)
            movimento = db.conn()
                            .insertReturning("INSERT INTO movimento (cod_associado, "
                                             "num_cod_movimento, dsc_movimento) VALUES (?, '01', "
                                             "'Crédito em conta') RETURNING cod_movimento",
                                             {member})
                            .toInt();
        db.conn().execute("INSERT INTO funcionario (cod_associado, cod_departamento, "
                          "cod_movimento, nom_funcionario, vlr_salario, dat_demissao) VALUES (?, "
                          "?, ?, ?, ?, ?)",
                          {member, dept, movimento, name, salary,
                           demissao.isEmpty() ? QVariant() : QVariant(demissao)});
    }

    bool open() {
        screen->show();
        return QTest::qWaitForWindowExposed(screen.get());
    }
    // The operator picks an entry of a drop-down by its text.
    static void pick(LookupBox* box, const QString& text) {
        box->showPopup();
        const int i = box->findText(text);
        QVERIFY2(i >= 0, qPrintable(text));
        box->setCurrentIndex(i);
        emit box->activated(i);
        box->hidePopup();
    }
    void kind(int index) { screen->RadioGroup1Buttons->button(index)->click(); }
    static void type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        box->setCursorPosition(0);
        QTest::keyClicks(box, text);
    }
    void criteria(const QString& start, const QString& end, const QString& lot = {}) {
        pick(screen->RxDBLookupCombo1, "Padaria Pão Quente");
        if (!start.isEmpty())
            type(screen->DateEdit1, start);
        if (!end.isEmpty())
            type(screen->DateEdit2, end);
        if (!lot.isEmpty())
            type(screen->CurrencyEdit1, lot);
    }
    void generate() { QTest::mouseClick(screen->SpeedButton1, Qt::LeftButton); }

    TestDb db;
    int member = 0;
    int other = 0;
    int movimento = 0;
    int cheques = 0;
    QList<Shown> shown;
    std::unique_ptr<TfrmRelatorio> screen;
};

} // namespace

class TestRelatorio : public QObject {
    Q_OBJECT
private slots:
    void checks_data();
    void checks();
    void kinds_data();
    void kinds();
    void wholeEndDay_data() { TestDb::addEngineRows(); }
    void wholeEndDay();
    void lotNumber_data() { TestDb::addEngineRows(); }
    void lotNumber();
    void depositedAndReturned_data() { TestDb::addEngineRows(); }
    void depositedAndReturned();
    void invalidDate_data() { TestDb::addEngineRows(); }
    void invalidDate();
    void employees_data() { TestDb::addEngineRows(); }
    void employees();
};

void TestRelatorio::checks_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("withMember");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("lot");
    QTest::addColumn<QString>("message");
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e) + ": ";
        QTest::newRow(qPrintable(n + "no member")) << e << 0 << false << "01032024"
                                                   << "31032024"
                                                   << ""
                                                   << "Favor informar o associado!";
        QTest::newRow(qPrintable(n + "no member, employees")) << e << 3 << false << ""
                                                              << ""
                                                              << ""
                                                              << "Favor informar o associado!";
        QTest::newRow(qPrintable(n + "no start"))
            << e << 1 << true << ""
            << "31032024"
            << ""
            << "Favor informar a data de início da geração do lote!";
        QTest::newRow(qPrintable(n + "no end"))
            << e << 2 << true << "01032024"
            << ""
            << ""
            << "Favor informar a data de término da geração do lote!";
        QTest::newRow(qPrintable(n + "lot without dates"))
            << e << 0 << true << ""
            << ""
            << "1"
            << "Favor informar a data de início da geração do lote!";
        QTest::newRow(qPrintable(n + "nothing found")) << e << 0 << true << "01012020"
                                                       << "31012020"
                                                       << "" << NadaEncontrado;
        QTest::newRow(qPrintable(n + "no employees")) << e << 3 << true << ""
                                                      << ""
                                                      << "" << NadaEncontrado;
    }
}

void TestRelatorio::checks() {
    QFETCH(Engine, engine);
    QFETCH(int, kind);
    QFETCH(bool, withMember);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, lot);
    QFETCH(QString, message);
    Fixture f(engine);
    f.cheque(f.lot(1, "2024-03-05 10:00:00"));
    QVERIFY(f.open());
    f.kind(kind);
    if (withMember)
        Fixture::pick(f.screen->RxDBLookupCombo1, "Padaria Pão Quente");
    if (!start.isEmpty())
        Fixture::type(f.screen->DateEdit1, start);
    if (!end.isEmpty())
        Fixture::type(f.screen->DateEdit2, end);
    if (!lot.isEmpty())
        Fixture::type(f.screen->CurrencyEdit1, lot);
    DialogScript script;
    script.box(Atencao, message);
    f.generate();
    VERIFY_SCRIPT(script);
    QCOMPARE(f.shown.size(), 0);
}

void TestRelatorio::kinds_data() {
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("period");
    QTest::addColumn<bool>("department");
    QTest::newRow("opening") << QList<int>{} << " Período de captura do lote " << true << false;
    QTest::newRow("deposited") << QList<int>{1} << " Período de geração do lote " << true << false;
    QTest::newRow("returned") << QList<int>{2} << " Período de devolução do lote " << true << false;
    QTest::newRow("employees keeps the title")
        << QList<int>{2, 3} << " Período de devolução do lote " << false << true;
    QTest::newRow("back to captured")
        << QList<int>{3, 0} << " Período de captura do lote " << true << false;
}

void TestRelatorio::kinds() {
    QFETCH(QList<int>, clicks);
    QFETCH(QString, title);
    QFETCH(bool, period);
    QFETCH(bool, department);
    Fixture f(Engine::SQLite);
    QVERIFY(f.open());
    for (int k : clicks) {
        // Whatever was typed goes when the kind changes.
        Fixture::type(f.screen->DateEdit1, "01032024");
        Fixture::type(f.screen->CurrencyEdit1, "12");
        f.kind(k);
        QCOMPARE(f.screen->DateEdit1->displayText(), QStringLiteral("  /  /    "));
        QCOMPARE(f.screen->CurrencyEdit1->text(), QStringLiteral("0"));
    }
    QCOMPARE(f.screen->GroupBox1->title(), title);
    QCOMPARE(f.screen->GroupBox1->isEnabled(), period);
    QCOMPARE(f.screen->GroupBox2->isEnabled(), department);
    QCOMPARE(f.screen->windowTitle().isEmpty() ? f.screen->title() : f.screen->title(),
             QStringLiteral(" Relatórios"));
}

// A lot stamped in the last fraction of a second of the end day is listed; one of the next
// midnight is not. After the listing the screen is back at its opening state.
void TestRelatorio::wholeEndDay() {
    QFETCH(Engine, engine);
    Fixture f(engine);
    // SQLite keeps whole seconds; PostgreSQL keeps the fraction.
    f.cheque(
        f.lot(1, engine == Engine::PostgreSQL ? "2024-03-05 23:59:59.9" : "2024-03-05 23:59:59"));
    f.cheque(f.lot(2, "2024-03-06 00:00:00"));
    f.cheque(f.lot(3, "2024-03-04 23:59:59"));
    QVERIFY(f.open());
    f.criteria("05032024", "05032024");
    DialogScript script;
    f.generate();
    VERIFY_SCRIPT(script);
    QCOMPARE(f.shown.size(), 1);
    const Report::PageModel& m = f.shown[0].pages;
    QCOMPARE(f.shown[0].title, QStringLiteral("Relação de cheques capturados"));
    QCOMPARE(pt::texts(m, "num_lote", "QRGroup2"), QStringList{"1"});
    QCOMPARE(pt::texts(m, "qrlPeriodo"), QStringList{"05/03/2024  a  05/03/2024"});
    QCOMPARE(pt::texts(m, "qrlLote"), QStringList{"0"});
    QCOMPARE(pt::texts(m, "nom_associado"), QStringList{"Padaria Pão Quente"});
    QCOMPARE(pt::texts(m, "QRLabel3"), QStringList{"1/1"});

    QCOMPARE(f.screen->RxDBLookupCombo1->currentText(), QString());
    QCOMPARE(f.screen->itemIndex(), 0);
    QCOMPARE(f.screen->DateEdit1->displayText(), QStringLiteral("  /  /    "));
    QCOMPARE(f.screen->DateEdit2->displayText(), QStringLiteral("  /  /    "));
    QCOMPARE(f.screen->CurrencyEdit1->text(), QStringLiteral("0"));
}

void TestRelatorio::lotNumber() {
    QFETCH(Engine, engine);
    Fixture f(engine);
    for (int n : {9, 10, 2}) {
        const int lot = f.lot(n, "2024-03-05 10:00:00");
        f.cheque(lot);
        f.cheque(lot);
    }
    QVERIFY(f.open());
    f.criteria("01032024", "31032024");
    f.generate();
    f.criteria("01032024", "31032024", "10");
    f.generate();
    QCOMPARE(f.shown.size(), 2);
    // Lot 0 lists every lot, in the order of their numbers.
    QCOMPARE(pt::texts(f.shown[0].pages, "num_lote", "QRGroup2"), (QStringList{"2", "9", "10"}));
    QCOMPARE(pt::texts(f.shown[0].pages, "qrTotChequeAssoc"), QStringList{"6"});
    QCOMPARE(pt::texts(f.shown[1].pages, "num_lote", "QRGroup2"), QStringList{"10"});
    QCOMPARE(pt::texts(f.shown[1].pages, "qrlLote"), QStringList{"10"});
    QCOMPARE(pt::texts(f.shown[1].pages, "qrSomaAssoc"), QStringList{"R$ 7,00"});
}

void TestRelatorio::depositedAndReturned() {
    QFETCH(Engine, engine);
    Fixture f(engine);
    const int sent = f.lot(1, "2024-03-01 09:00:00", "2024-03-05 00:00:00");
    f.cheque(sent, "2024-03-05 00:00:00");
    f.cheque(sent, "2024-03-05 00:00:00", "2024-03-20 00:00:00");
    f.cheque(sent, "2024-04-01 00:00:00"); // re-dated: not of this generation
    f.cheque(f.lot(2, "2024-03-05 09:00:00"));
    QVERIFY(f.open());
    f.kind(1);
    f.criteria("05032024", "05032024");
    f.generate();
    f.kind(2);
    f.criteria("20032024", "20032024");
    f.generate();
    QCOMPARE(f.shown.size(), 2);
    QCOMPARE(f.shown[0].title, QStringLiteral("Relação de cheques depositados"));
    QCOMPARE(pt::texts(f.shown[0].pages, "qrTotChequeAssoc"), QStringList{"2"});
    QCOMPARE(pt::texts(f.shown[0].pages, "qrTotChequeDevAssoc"), QStringList{"1"});
    QCOMPARE(pt::texts(f.shown[0].pages, "dat_gerado", "QRGroup2"), QStringList{"05/03/2024"});
    QCOMPARE(f.shown[1].title, QStringLiteral("Relação de cheques devolvidos"));
    QCOMPARE(pt::texts(f.shown[1].pages, "num_cheque"), QStringList{"000002"});
    QCOMPARE(pt::texts(f.shown[1].pages, "ind_devolvido"), QStringList{"Sim"});
}

void TestRelatorio::invalidDate() {
    QFETCH(Engine, engine);
    Fixture f(engine);
    QVERIFY(f.open());
    f.criteria("31022024", "31032024");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, f.screen->SpeedButton1Click());
    QCOMPARE(f.shown.size(), 0);
}

// Dismissed employees and those without salary are listed; a department narrows the listing,
// Delete in the department box widens it again; the inputs stay after the listing.
void TestRelatorio::employees() {
    QFETCH(Engine, engine);
    Fixture f(engine);
    const int cozinha = f.department("Cozinha");
    const int vendas = f.department("Vendas");
    f.employee(cozinha, "Ana", Money::fromCents(150000).toVariant());
    f.employee(cozinha, "Bruno", QVariant(), "2023-01-31 00:00:00");
    f.employee(vendas, "Carla", Money::fromCents(200000).toVariant());
    f.employee(vendas, "Davi", Money::fromCents(100000).toVariant());
    f.employee(vendas, "Érica", Money::fromCents(50000).toVariant());
    QVERIFY(f.open());
    f.kind(3);
    Fixture::pick(f.screen->RxDBLookupCombo1, "Padaria Pão Quente");
    f.generate();
    Fixture::pick(f.screen->RxDBLookupCombo2, "Vendas");
    f.generate();
    f.screen->RxDBLookupCombo2->setFocus();
    QTest::keyClick(f.screen->RxDBLookupCombo2, Qt::Key_Delete);
    QCOMPARE(f.screen->RxDBLookupCombo2->currentText(), QString());
    f.generate();

    QCOMPARE(f.shown.size(), 3);
    QCOMPARE(pt::texts(f.shown[0].pages, "nom_funcionario"),
             (QStringList{"Ana", "Bruno", "Carla", "Davi", "Érica"}));
    QCOMPARE(pt::texts(f.shown[0].pages, "qrQtdeFuncionario"), (QStringList{"2", "3", "5"}));
    QCOMPARE(pt::texts(f.shown[0].pages, "qrSomaSalario"),
             (QStringList{"R$ 1500,00", "R$ 3500,00", "R$ 5000,00"}));
    QCOMPARE(pt::texts(f.shown[1].pages, "nom_departamento", "QRGroup2"), QStringList{"Vendas"});
    QCOMPARE(pt::texts(f.shown[1].pages, "qrSomaSalario"),
             (QStringList{"R$ 3500,00", "R$ 3500,00"}));
    QCOMPARE(pt::texts(f.shown[2].pages, "nom_funcionario").size(), 5);
    // The inputs stay.
    QCOMPARE(f.screen->itemIndex(), 3);
    QCOMPARE(f.screen->RxDBLookupCombo1->currentText(), QStringLiteral("Padaria Pão Quente"));
    // The department list follows the member chosen.
    Fixture::pick(f.screen->RxDBLookupCombo1, "Açougue Boi Bravo");
    f.screen->RxDBLookupCombo2->showPopup();
    QCOMPARE(f.screen->RxDBLookupCombo2->count(), 0);
    f.screen->RxDBLookupCombo2->hidePopup();
}

QTEST_MAIN(TestRelatorio)
#include "tst_relatorio.moc"
