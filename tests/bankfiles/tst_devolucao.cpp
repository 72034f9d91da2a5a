// Returned cheques as the bank reports them: finding a cheque by its line on the return screen,
// the return reason recorded by "Devolver", and the re-presentation the reason allows.
#include "DialogScript.h"
#include "TestDb.h"
#include "bankfiles/ufrmDevolucaoCheque.h"
#include "bankfiles/ufrmGeraArqDepositoCustodia.h"
#include "core/uBib.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/DigitLineEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using Dialogs::Button;
using Dialogs::Kind;

namespace {

const QString Confirma = "Tem certeza de que deseja gerar o arquivo para este lote?";
const QString Sucesso = "Arquivo gerado com sucesso!!";

// A member with lots 1 and 2 generated (three and two cheques) and lot 3 not generated (one).
struct Cenario {
    TestDb db;
    DialogScript script;
    QTemporaryDir dir;
    TfrmDevolucaoCheque dev;
    TfrmGeraArqDepositoCustodia gera;
    QList<int> lote1, lote2, lote3;
    int codLote1 = 0, codLote2 = 0, codLote3 = 0;

    explicit Cenario(Engine e) : db(e), dev(&db.conn()), gera(&db.conn()) {
        const int membro = db.conn()
                               .insertReturning("INSERT INTO associado (idt_tpo_associado, "
                                                "nom_associado) VALUES ('F', 'Ana') RETURNING "
                                                "cod_associado",
                                                {})
                               .toInt();
        codLote1 = lote(membro, "1", true);
        codLote2 = lote(membro, "2", true);
        codLote3 = lote(membro, "3", false);
        for (int n : {1, 2, 3})
            lote1 << cheque(codLote1, n);
        for (int n : {4, 5})
            lote2 << cheque(codLote2, n);
        lote3 << cheque(codLote3, 6);
    }
    int lote(int membro, const QString& numero, bool gerado) {
        return db.conn()
            .insertReturning("INSERT INTO lote_cheque (cod_associado, num_lote, dat_lote, "
                             "ind_gerado, dat_gerado) VALUES (?, ?, ?, ?, ?) RETURNING cod_lote",
                             {membro, numero, QDate(2026, 12, 1), gerado,
                              gerado ? QVariant(QDate(2026, 12, 2)) : QVariant()})
            .toInt();
    }
    int cheque(int lote, int numero) {
        const LinhaCheque l = SeparaLinhaCheque(linha(numero));
        return db.conn()
            .insertReturning(
                "INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, num_compe, "
                "num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque, "
                "dat_deposito) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING cod_cheque",
                {lote, l.banco, l.agencia, l.dv2, l.compe, l.numCheque, l.tipificacao, l.dv1,
                 l.conta, l.dv3, Money::fromCents(1000 * numero).toVariant(), QDate(2026, 12, 2)})
            .toInt();
    }
    // The line of cheque `numero`, with its three check digits right.
    static QString linha(int numero) {
        const QString banco = "001", agencia = "2345", conta = "0000123456";
        const QString segundo = "018" + QString("%1").arg(numero, 6, 10, QChar('0')) + "5";
        return banco + agencia + QString::number(CalculaDVModulo10(segundo)) + segundo +
               QString::number(CalculaDVModulo10(banco + agencia)) + conta +
               QString::number(CalculaDVModulo10(conta));
    }
    void mostra(QDialog& d) {
        d.hide();
        d.show();
        QApplication::setActiveWindow(&d);
    }
    // Types a line into the return screen's box as a scanner does, Enter at the end.
    void le(const QString& digitos) {
        dev.edLinhaCheque->setFocus();
        QTest::keyClicks(dev.edLinhaCheque, digitos);
        QTest::keyClick(dev.edLinhaCheque, Qt::Key_Return);
    }
    int loteAtual() const { return dev.RxDBGrid1->dataset()->asInteger("cod_lote"); }
    // The codes of the selected cheques of the return screen.
    QList<int> selecionados() const {
        QList<int> out;
        Dataset* q = dev.RxDBGrid2->dataset();
        for (int i = 0; i < q->recordCount(); ++i)
            if (dev.RxDBGrid2->isRowSelected(i))
                out << q->valueAt(i, "cod_cheque").toInt();
        return out;
    }
    void escolheAlinea(const QString& numero) {
        QComboBox* cb = dev.cbAlinea;
        for (int i = 0; i < cb->count(); ++i)
            if (cb->itemText(i).startsWith(numero + " - ") || (numero.isEmpty() && i == 0))
                return cb->setCurrentIndex(i);
        QFAIL(qPrintable("alínea " + numero + " não listada"));
    }
    void devolve(const QList<int>& codigos, const QString& alinea) {
        escolheAlinea(alinea);
        Dataset* q = dev.RxDBGrid2->dataset();
        for (int i = 0; i < q->recordCount(); ++i)
            dev.RxDBGrid2->setRowSelected(i, codigos.contains(q->valueAt(i, "cod_cheque").toInt()));
        script.box("Informação", "Alteração realizada com sucesso!!");
        QTest::mouseClick(dev.SpeedButton1, Qt::LeftButton);
    }
    QVariant campo(const QString& sql, const QVariantList& p = {}) {
        return db.conn().selectValue(sql, p);
    }
    QString estado() {
        QStringList s;
        for (const QVariantList& r :
             db.conn()
                 .select("select cod_cheque, ind_devolvido, dat_devolucao, dat_reapresentacao, "
                         "dat_2reapresentacao, cod_alinea from cheque order by 1")
                 .rows) {
            QStringList f;
            for (const QVariant& v : r)
                f << v.toString();
            s << f.join(' ');
        }
        return s.join('\n');
    }
};

} // namespace

class TestDevolucao : public QObject {
    Q_OBJECT
private slots:
    void leituraSeleciona_data() { TestDb::addEngineRows(); }
    void leituraSeleciona();
    void leituraRecusada_data();
    void leituraRecusada();
    void teclasDaLinha();
    void devolverComAlinea_data() { TestDb::addEngineRows(); }
    void devolverComAlinea();
    void reapresentacaoPorAlinea_data();
    void reapresentacaoPorAlinea();
    void alineaGravadaPorOutraEstacao_data() { TestDb::addEngineRows(); }
    void alineaGravadaPorOutraEstacao();
};

// Three cheques of one lot scanned one by one are selected in that lot; a cheque of another
// lot moves there only after the operator agrees to drop the selection.
void TestDevolucao::leituraSeleciona() {
    QFETCH(Engine, engine);
    Cenario c(engine);
    c.mostra(c.dev);
    QCOMPARE(c.loteAtual(), c.codLote2); // lot numbers descending

    // From no selection, the first cheque moves to its lot without a question.
    for (int n : {3, 1, 2})
        c.le(Cenario::linha(n));
    VERIFY_SCRIPT(c.script);
    QCOMPARE(c.loteAtual(), c.codLote1);
    QCOMPARE(c.selecionados(), c.lote1);
    QCOMPARE(c.dev.edLinhaCheque->text(), QString());
    QVERIFY(c.dev.edLinhaCheque->hasFocus());
    // Scanning a selected cheque again keeps it selected.
    c.le(Cenario::linha(2));
    QCOMPARE(c.selecionados(), c.lote1);

    const QString aviso =
        "O cheque é do lote 2. Os 3 cheque(s) selecionado(s) do lote 1 deixarão de estar "
        "selecionados.\n\rDeseja continuar?";
    // Refused: nothing moves, the selection stays.
    c.script.dlg(Kind::Confirmation, aviso, Button::No, {Button::Yes, Button::No});
    c.le(Cenario::linha(5));
    VERIFY_SCRIPT(c.script);
    QCOMPARE(c.loteAtual(), c.codLote1);
    QCOMPARE(c.selecionados(), c.lote1);

    c.script.dlg(Kind::Confirmation, aviso, Button::Yes, {Button::Yes, Button::No});
    c.le(Cenario::linha(5));
    VERIFY_SCRIPT(c.script);
    QCOMPARE(c.loteAtual(), c.codLote2);
    QCOMPARE(c.selecionados(), QList<int>{c.lote2[1]});
    c.le(Cenario::linha(4));
    VERIFY_SCRIPT(c.script);
    QCOMPARE(c.selecionados(), c.lote2);

    // A lot generated by another copy after the list was read: the list is read again.
    c.db.conn().execute("update lote_cheque set ind_gerado = ?, dat_gerado = ? where cod_lote = ?",
                        {true, QDate(2026, 12, 9), c.codLote3});
    c.script.dlg(Kind::Confirmation,
                 "O cheque é do lote 3. Os 2 cheque(s) selecionado(s) do lote 2 deixarão de "
                 "estar selecionados.\n\rDeseja continuar?",
                 Button::Yes, {Button::Yes, Button::No});
    c.le(Cenario::linha(6));
    VERIFY_SCRIPT(c.script);
    QCOMPARE(c.dev.RxDBGrid1->dataset()->recordCount(), 3);
    QCOMPARE(c.loteAtual(), c.codLote3);
    QCOMPARE(c.selecionados(), c.lote3);
}

void TestDevolucao::leituraRecusada_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("digitos");
    QTest::addColumn<QString>("aviso");
    QTest::addColumn<QString>("fica"); // the box's text afterwards
    for (Engine e : TestDb::engines()) {
        const auto row = [e](const char* name, const QString& digitos, const QString& aviso,
                             const QString& fica) {
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + name))
                << e << digitos << aviso << fica;
        };
        const QString curta = Cenario::linha(4).left(29);
        row("half-typed line", curta, MensagemLinhaIncompleta(), curta);
        QString dv3 = Cenario::linha(4);
        dv3[29] = dv3[29] == '9' ? '8' : '9';
        row("wrong check digit", dv3, MensagemLinhaCheque('3'), "");
        const QString nenhum = Cenario::linha(99);
        row("no stored cheque", nenhum, "Nenhum cheque capturado tem esta linha!",
            SeparaLinhaCheque(nenhum).formatted());
        row("lot not generated", Cenario::linha(6),
            "O cheque é do lote 3, cujo arquivo ainda não foi gerado!",
            SeparaLinhaCheque(Cenario::linha(6)).formatted());
        row("re-presented twice", Cenario::linha(5),
            "O cheque já foi reapresentado duas vezes e excedeu a\n\rquantidade limite de vezes "
            "para devolução!",
            SeparaLinhaCheque(Cenario::linha(5)).formatted());
    }
}

// Each refusal says why and changes neither the lot nor the selection.
void TestDevolucao::leituraRecusada() {
    QFETCH(Engine, engine);
    QFETCH(QString, digitos);
    QFETCH(QString, aviso);
    QFETCH(QString, fica);
    Cenario c(engine);
    c.db.conn().execute("update cheque set dat_reapresentacao = ?, dat_2reapresentacao = ? "
                        "where cod_cheque = ?",
                        {QDate(2026, 12, 5), QDate(2026, 12, 8), c.lote2[1]});
    c.mostra(c.dev);
    c.le(Cenario::linha(1));
    const int lote = c.loteAtual();
    const QList<int> antes = c.selecionados();
    QCOMPARE(antes, QList<int>{c.lote1[0]});
    const QString dados = c.estado();

    c.script.dlg(Kind::Warning, aviso, Button::Ok, {Button::Ok});
    c.le(digitos);
    VERIFY_SCRIPT(c.script);
    QCOMPARE(c.loteAtual(), lote);
    QCOMPARE(c.selecionados(), antes);
    QCOMPARE(c.dev.edLinhaCheque->text(), fica);
    QCOMPARE(c.estado(), dados);
}

// The capture's key rules: digits only, 30 at most; anything else beeps and is not typed.
void TestDevolucao::teclasDaLinha() {
    Cenario c(Engine::SQLite);
    c.mostra(c.dev);
    DigitLineEdit* ed = c.dev.edLinhaCheque;
    ed->setFocus();
    QTest::keyClicks(ed, "12a3 -");
    QCOMPARE(ed->text(), QString("123"));
    QCOMPARE(c.script.beeps(), 3);
    ed->clear();
    c.script.resetBeeps();
    QTest::keyClicks(ed, Cenario::linha(1) + "7");
    QCOMPARE(ed->text(), Cenario::linha(1));
    QCOMPARE(c.script.beeps(), 1);
    // Enter in the box reads the line; it never clicks "Devolver" (nothing selected would say
    // so in a message box).
    QTest::keyClick(ed, Qt::Key_Return);
    VERIFY_SCRIPT(c.script);
    QCOMPARE(c.selecionados(), QList<int>{c.lote1[0]});
}

// "Devolver" records the chosen reason with the return date on the accepted cheques, and both
// screens show it; without a reason the cheque keeps the one it had.
void TestDevolucao::devolverComAlinea() {
    QFETCH(Engine, engine);
    Cenario c(engine);
    c.mostra(c.dev);
    c.le(Cenario::linha(1));
    c.devolve({c.lote1[0], c.lote1[2]}, "13");
    VERIFY_SCRIPT(c.script);
    const QString treze =
        "select count(*) from cheque c join alinea a on a.cod_alinea = c.cod_alinea where "
        "a.num_alinea = '13' and c.ind_devolvido = ? and c.dat_devolucao = ?";
    QCOMPARE(c.campo(treze, {true, QDate::currentDate()}).toInt(), 2);
    QCOMPARE(c.campo("select count(*) from cheque where cod_alinea is not null").toInt(), 2);
    Dataset* q = c.dev.RxDBGrid2->dataset();
    QCOMPARE(q->displayTextAt(0, "num_alinea"), QString("13"));
    QCOMPARE(q->displayTextAt(1, "num_alinea"), QString());
    QCOMPARE(q->displayTextAt(2, "num_alinea"), QString("13"));
    QVERIFY(c.dev.RxDBGrid2->columns().contains("num_alinea"));
    // The reason chosen stays chosen for the next cheques.
    QVERIFY(c.dev.cbAlinea->currentText().startsWith("13 - Conta encerrada"));

    // Returned again without a reason: the date moves, the reason stays.
    c.db.conn().execute("update cheque set dat_devolucao = ? where cod_cheque = ?",
                        {QDate(2026, 12, 3), c.lote1[0]});
    c.devolve({c.lote1[0]}, "");
    VERIFY_SCRIPT(c.script);
    QCOMPARE(c.campo(treze, {true, QDate::currentDate()}).toInt(), 2);

    c.dev.hide();
    c.mostra(c.gera);
    QVERIFY(c.gera.RxDBGrid1->dataset()->locate("cod_lote", c.codLote1));
    QCOMPARE(c.gera.RxDBGrid2->dataset()->recordCount(), 2);
    QCOMPARE(c.gera.RxDBGrid2->dataset()->displayTextAt(0, "num_alinea"), QString("13"));
    QVERIFY(c.gera.RxDBGrid2->columns().contains("num_alinea"));
}

void TestDevolucao::reapresentacaoPorAlinea_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QStringList>("alineas"); // the reason of each of the two cheques
    QTest::addColumn<bool>("aceita");
    for (Engine e : TestDb::engines()) {
        const auto row = [e](const char* name, const QStringList& alineas, bool aceita) {
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + name))
                << e << alineas << aceita;
        };
        row("no funds, first presentation", {"11", "11"}, true);
        row("without a reason", {"", ""}, true);
        row("closed account", {"13", "13"}, false);
        row("one stop order among others", {"11", "21"}, false);
    }
}

// A cheque whose last reason does not allow a new presentation stops the whole file: one
// message naming those cheques, nothing written, nothing marked.
void TestDevolucao::reapresentacaoPorAlinea() {
    QFETCH(Engine, engine);
    QFETCH(QStringList, alineas);
    QFETCH(bool, aceita);
    Cenario c(engine);
    c.mostra(c.dev);
    c.le(Cenario::linha(1));
    c.devolve({c.lote1[0]}, alineas[0]);
    c.devolve({c.lote1[1]}, alineas[1]);
    VERIFY_SCRIPT(c.script);
    c.dev.hide();

    c.mostra(c.gera);
    QVERIFY(c.gera.RxDBGrid1->dataset()->locate("cod_lote", c.codLote1));
    QCOMPARE(c.gera.RxDBGrid2->dataset()->recordCount(), 2);
    c.gera.RxDBGrid2->selectAllRows();
    const QString dados = c.estado();
    const QString arquivo = c.dir.filePath("reap.txt");
    if (aceita) {
        c.script.dlg(Kind::Confirmation, Confirma, Button::Yes,
                     {Button::Yes, Button::No, Button::Cancel});
        c.script.save(arquivo);
        c.script.box("Informação", Sucesso);
    } else {
        QStringList linhas;
        for (int i : {0, 1}) {
            if (alineas[i] == "11")
                continue;
            const LinhaCheque l = SeparaLinhaCheque(Cenario::linha(i + 1));
            linhas << QString(
                          "Cheque %1 (banco 001, agência 2345, conta 0000123456): alínea %2 - %3")
                          .arg(l.numCheque, alineas[i],
                               alineas[i] == "13" ? "Conta encerrada"
                                                  : "Cheque sustado ou revogado");
        }
        c.script.box("Atenção", "Os cheques abaixo foram devolvidos por alínea que não permite "
                                "nova apresentação!\n\r" +
                                    linhas.join("\n\r") +
                                    "\n\rRetire-os da seleção. Nenhum arquivo foi gerado.");
    }
    QTest::mouseClick(c.gera.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(c.script);
    QCOMPARE(QFile::exists(arquivo), aceita);
    if (aceita)
        QCOMPARE(c.campo("select count(*) from cheque where dat_reapresentacao = ? and "
                         "ind_devolvido = ?",
                         {QDate::currentDate(), false})
                     .toInt(),
                 2);
    else
        QCOMPARE(c.estado(), dados);
    if (alineas == QStringList{"", ""})
        QCOMPARE(c.campo("select count(*) from cheque where cod_alinea is not null").toInt(), 0);
}

// A reason that forbids a new presentation, recorded by another copy after the list was read,
// still refuses the file in the transaction that would mark the cheques.
void TestDevolucao::alineaGravadaPorOutraEstacao() {
    QFETCH(Engine, engine);
    Cenario c(engine);
    c.db.conn().execute("update cheque set ind_devolvido = ?, dat_devolucao = ? where cod_lote = ?",
                        {true, QDate(2026, 12, 4), c.codLote1});
    c.mostra(c.gera);
    TdtmGeraArqDepositoCustodia* dtm = c.gera.dtmGeraArqDepositoCustodia;
    QVERIFY(dtm->qryLoteCheque.locate("cod_lote", c.codLote1));
    QList<int> codigos;
    QList<DepositoCustodia::Cheque> cheques;
    for (dtm->qryCheque.first(); !dtm->qryCheque.eof(); dtm->qryCheque.next()) {
        codigos << dtm->qryCheque.asInteger("cod_cheque");
        cheques << dtm->chequeAtual();
    }
    QCOMPARE(codigos, c.lote1);
    QVERIFY(dtm->recusadosPelaAlinea(codigos).isEmpty());

    Connection outra("outra_estacao");
    outra.setConnectionString(c.db.target());
    outra.open();
    outra.execute("update cheque set cod_alinea = (select cod_alinea from alinea where "
                  "num_alinea = '35') where cod_cheque = ?",
                  {c.lote1[1]});
    const QString dados = c.estado();
    const QString arquivo = c.dir.filePath("reap.txt");
    try {
        dtm->reapresenta(codigos, cheques, arquivo, {});
        QFAIL("re-presented");
    } catch (const AlteradoPorOutraEstacao& e) {
        QVERIFY2(e.message().contains("Cheque 000002 (banco 001, agência 2345, conta "
                                      "0000123456): alínea 35 - Cheque fraudado"),
                 qPrintable(e.message()));
    }
    QVERIFY(!QFile::exists(arquivo));
    QCOMPARE(c.estado(), dados);
}

QTEST_MAIN(TestDevolucao)
#include "tst_devolucao.moc"
