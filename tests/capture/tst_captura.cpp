// The capture screen driven as an operator does: keys in the line and value boxes, the lot
// toolbar, the scripted dialogs, then the screen and the database.
#include "DialogScript.h"
#include "TestDb.h"
#include "capture/uCapturaCheque.h"
#include "platform/data/Connection.h"
#include "platform/widgets/DbLookupComboBox.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolButton>

using Dialogs::Button;
using Dialogs::Kind;

namespace {

const QString Valida = "001234510180001235500001234566";

// The valid line for another cheque number.
QString linha(int numero) {
    LinhaCheque l = SeparaLinhaCheque(Valida);
    l.numCheque = QString("%1").arg(numero, 6, 10, QChar('0'));
    l.dv2 = QString::number(CalculaDVModulo10(l.compe + l.numCheque + l.tipificacao));
    return l.joined();
}

QString comDigito(const QString& line, int position, QChar digit) {
    QString l = line;
    l[position - 1] = digit;
    return l;
}

struct Tela {
    TestDb db;
    DialogScript script;
    TfrmCapturaCheque frm;
    int associado = 0;
    int lote = 0;

    explicit Tela(Engine e, bool comLote = true) : db(e), frm(&db.conn()) {
        associado = db.conn()
                        .insertReturning("INSERT INTO associado (idt_tpo_associado, nom_associado) "
                                         "VALUES ('F', 'Ana') RETURNING cod_associado",
                                         {})
                        .toInt();
        if (comLote)
            lote = db.conn()
                       .insertReturning("INSERT INTO lote_cheque (cod_associado, num_lote, "
                                        "dat_lote) VALUES (?, '1', ?) RETURNING cod_lote",
                                        {associado, QDateTime(QDate(2026, 12, 1), QTime(9, 0))})
                       .toInt();
    }
    void abre() {
        frm.show();
        // Shown again after a hide, the offscreen window has to be activated by hand.
        QApplication::setActiveWindow(&frm);
        if (!QTest::qWaitForWindowActive(&frm))
            qFatal("capture screen not active");
    }
    void digita(QWidget* w, const QString& text) {
        w->setFocus();
        QTest::keyClicks(w, text);
    }
    void enter(QWidget* w) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Return);
    }
    // Types a line and a value and confirms the capture.
    void captura(const QString& line, const QString& valor) {
        digita(frm.edLinhaCheque, line);
        enter(frm.edLinhaCheque);
        digita(frm.ceValorCheque, valor);
        script.dlg(Kind::Confirmation, "Confirma Captura do Cheque?", Button::Yes);
        enter(frm.ceValorCheque);
    }
    QStringList grupos() const {
        QStringList g;
        for (const char* n : {"edBanco", "edAgencia", "edDV2", "edCompe", "edNumCheque", "edTPF",
                              "edDV1", "edConta", "edDV3"})
            g << frm.findChild<QLineEdit*>(n)->text();
        return g;
    }
    int cheques() { return db.conn().selectValue("SELECT count(*) FROM cheque").toInt(); }
    int lotes() { return db.conn().selectValue("SELECT count(*) FROM lote_cheque").toInt(); }
    // A lot of the member on a given day of December 2026.
    void novoLote(const QString& numero, int dia) {
        db.conn().execute("INSERT INTO lote_cheque (cod_associado, num_lote, dat_lote) "
                          "VALUES (?, ?, ?)",
                          {associado, numero, QDateTime(QDate(2026, 12, dia), QTime(9, 0))});
    }
    // Chooses the member of the current lot as the operator does.
    void escolheAssociado(int index) {
        frm.RxDBLookupCombo1->setCurrentIndex(index);
        emit frm.RxDBLookupCombo1->activated(index);
    }
    // Runs a handler whose error reaches the general error display; gives the text shown.
    template <class F> QString erroExibido(F handler) {
        try {
            handler();
        } catch (const DbError& e) {
            return e.message();
        }
        return {};
    }
};

} // namespace

class TestCaptura : public QObject {
    Q_OBJECT
private slots:
    void validLine_data();
    void validLine();
    void wrongLine_data();
    void wrongLine();
    void keysOfTheLine();
    void captureAndTotals_data() { TestDb::addEngineRows(); }
    void captureAndTotals();
    void refusedValues_data();
    void refusedValues();
    void keptValueReplaced_data();
    void keptValueReplaced();
    void insertFailsForAnotherReason_data();
    void insertFailsForAnotherReason();
    void sentLot();
    void newLotNumbered();
    void lotSaveRefused_data();
    void lotSaveRefused();
    void lotDeletedByAnotherCopy_data();
    void lotDeletedByAnotherCopy();
    void chequeDeletedByAnotherCopy_data() { TestDb::addEngineRows(); }
    void chequeDeletedByAnotherCopy();
    void valueTyping_data();
    void valueTyping();
    void pasteIntoTheBoxes_data();
    void pasteIntoTheBoxes();
    void screenLooks();
    void tabStopsShowFocus();
};

void TestCaptura::validLine_data() {
    QTest::addColumn<bool>("burst");
    QTest::newRow("digit by digit") << false;
    QTest::newRow("one burst") << true;
}

void TestCaptura::validLine() {
    QFETCH(bool, burst);
    Tela t(Engine::SQLite);
    t.abre();
    QCOMPARE(QApplication::focusWidget(), t.frm.edLinhaCheque);
    if (burst) {
        t.digita(t.frm.edLinhaCheque, Valida);
    } else {
        for (QChar c : Valida)
            t.digita(t.frm.edLinhaCheque, QString(c));
    }
    t.enter(t.frm.edLinhaCheque);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.edLinhaCheque->text(), QString("00123451 0180001235 500001234566"));
    QCOMPARE(t.grupos(),
             QStringList({"001", "2345", "1", "018", "000123", "5", "5", "0000123456", "6"}));
    QCOMPARE(QApplication::focusWidget(), t.frm.ceValorCheque);
    // Enter again on the accepted line judges its digits, not the blanks.
    t.enter(t.frm.edLinhaCheque);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.edLinhaCheque->text(), QString("00123451 0180001235 500001234566"));
}

void TestCaptura::wrongLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("position 8") << comDigito(Valida, 8, '2') << "DV-1 Inválido. Verifique!!";
    QTest::newRow("position 19") << comDigito(Valida, 19, '6') << "DV-2 Inválido. Verifique!!";
    QTest::newRow("position 30") << comDigito(Valida, 30, '7') << "DV-3 Inválido. Verifique!!";
    QTest::newRow("8 and 19") << comDigito(comDigito(Valida, 8, '2'), 19, '6')
                              << "DV-2 Inválido. Verifique!!";
}

void TestCaptura::wrongLine() {
    QFETCH(QString, line);
    QFETCH(QString, message);
    Tela t(Engine::SQLite);
    t.abre();
    t.digita(t.frm.edLinhaCheque, line);
    t.script.dlg(Kind::Warning, message, Button::Ok);
    t.enter(t.frm.edLinhaCheque);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.edLinhaCheque->text(), QString());
    QCOMPARE(t.grupos().join(""), QString());
    QCOMPARE(t.cheques(), 0);
}

void TestCaptura::keysOfTheLine() {
    Tela t(Engine::SQLite);
    t.abre();
    // Letters, blanks and punctuation never appear; each one beeps.
    t.digita(t.frm.edLinhaCheque, "00a1 2.");
    QCOMPARE(t.frm.edLinhaCheque->text(), QString("0012"));
    QCOMPARE(t.script.beeps(), 3);
    QTest::keyClick(t.frm.edLinhaCheque, Qt::Key_Backspace);
    QCOMPARE(t.frm.edLinhaCheque->text(), QString("001"));
    // A line of 29 digits is refused and kept.
    t.frm.edLinhaCheque->clear();
    t.digita(t.frm.edLinhaCheque, Valida.left(29));
    t.script.dlg(Kind::Warning, "A Linha do Cheque não é válida!", Button::Ok);
    t.enter(t.frm.edLinhaCheque);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.edLinhaCheque->text(), Valida.left(29));
    QCOMPARE(QApplication::focusWidget(), t.frm.edLinhaCheque);
    // No more than 30 digits are taken.
    t.digita(t.frm.edLinhaCheque, "66");
    QCOMPARE(t.frm.edLinhaCheque->text(), Valida.left(29) + "6");
    // The value box takes an amount with two decimals at the most.
    t.script.resetBeeps();
    t.digita(t.frm.ceValorCheque, "1.234,567a-");
    QCOMPARE(t.frm.ceValorCheque->text(), QString("1.234,56"));
    QCOMPARE(t.script.beeps(), 3);
    t.frm.ceValorCheque->clear();
    // Enter in the value box with no line accepted stores nothing.
    t.frm.edLinhaCheque->clear();
    t.digita(t.frm.ceValorCheque, "10,00");
    t.script.dlg(Kind::Warning, "A Linha do Cheque não é válida!", Button::Ok);
    t.enter(t.frm.ceValorCheque);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.cheques(), 0);
    QCOMPARE(QApplication::focusWidget(), t.frm.edLinhaCheque);
}

void TestCaptura::captureAndTotals() {
    QFETCH(Engine, engine);
    Tela t(engine);
    t.abre();
    QCOMPARE(t.frm.StaticText3->text(), QString("R$ ,00"));
    QVERIFY(!t.frm.btnExcluirCQ->isEnabled());
    t.captura(linha(1), "100,00");
    t.captura(linha(2), "50,50");
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.StaticText3->text(), QString("R$ 150,50"));
    QCOMPARE(t.frm.StaticText5->text(), QString("2"));
    QCOMPARE(t.frm.edLinhaCheque->text(), QString());
    QCOMPARE(t.frm.ceValorCheque->text(), QString());
    QCOMPARE(QApplication::focusWidget(), t.frm.edLinhaCheque);
    QVERIFY(t.frm.btnExcluirCQ->isEnabled());
    QCOMPARE(t.db.conn().selectValue("SELECT sum(vlr_cheque) FROM cheque").toLongLong(), 1505000LL);
    QCOMPARE(
        t.db.conn().selectValue("SELECT num_cheque FROM cheque ORDER BY cod_cheque").toString(),
        QString("000001"));

    // The same cheque again is refused; the boxes keep what was typed and totals stay.
    t.digita(t.frm.edLinhaCheque, linha(1));
    t.enter(t.frm.edLinhaCheque);
    t.digita(t.frm.ceValorCheque, "7,00");
    t.script.dlg(Kind::Confirmation, "Confirma Captura do Cheque?", Button::Yes);
    t.script.dlg(Kind::Error, "Cheque já registrado na base de dados!", Button::Ok);
    t.enter(t.frm.ceValorCheque);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.ceValorCheque->text(), QString("7,00"));
    QCOMPARE(t.frm.StaticText3->text(), QString("R$ 150,50"));
    QCOMPARE(t.cheques(), 2);

    // Deleting the first cheque.
    t.frm.DBGrid1->dataset()->first();
    t.script.dlg(Kind::Confirmation, "Tem certeza de que deseja excluir o registro?", Button::Yes);
    t.frm.btnExcluirCQ->click();
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.StaticText3->text(), QString("R$ 50,50"));
    QCOMPARE(t.frm.StaticText5->text(), QString("1"));
    t.frm.DBGrid1->dataset()->first();
    t.script.dlg(Kind::Confirmation, "Tem certeza de que deseja excluir o registro?", Button::Yes);
    t.frm.btnExcluirCQ->click();
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.StaticText3->text(), QString("R$ ,00"));
    QVERIFY(!t.frm.btnExcluirCQ->isEnabled()); // the list is empty now
    QCOMPARE(t.cheques(), 0);

    // Reopened on the same lot, the totals are read again from the database.
    t.frm.hide();
    t.db.conn().execute("INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, num_compe, "
                        "num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque) "
                        "VALUES (?, '001', '2345', '1', '018', '000999', '5', '5', '0000123456', "
                        "'6', 20000)",
                        {t.lote});
    t.abre();
    QCOMPARE(t.frm.StaticText5->text(), QString("0")); // kept for the lot last read
}

void TestCaptura::refusedValues_data() {
    QTest::addColumn<QString>("valor");
    QTest::addColumn<Button>("answer");
    QTest::addColumn<QString>("lineAfter");
    QTest::addColumn<QString>("valueAfter");
    QTest::newRow("answer no") << "10,00" << Button::No << ""
                               << "10,00";
    QTest::newRow("zero") << "0,00" << Button::Yes << ""
                          << "";
    QTest::newRow("half typed thousands") << "150.5" << Button::Yes << ""
                                          << "";
    QTest::newRow("empty") << "" << Button::Yes << ""
                           << "";
}

void TestCaptura::refusedValues() {
    QFETCH(QString, valor);
    QFETCH(Button, answer);
    QFETCH(QString, lineAfter);
    QFETCH(QString, valueAfter);
    Tela t(Engine::SQLite);
    t.abre();
    t.digita(t.frm.edLinhaCheque, Valida);
    t.enter(t.frm.edLinhaCheque);
    t.digita(t.frm.ceValorCheque, valor);
    t.script.dlg(Kind::Confirmation, "Confirma Captura do Cheque?", answer);
    if (answer == Button::Yes)
        t.script.dlg(Kind::Warning, "Favor informar o valor do cheque!", Button::Ok);
    t.enter(t.frm.ceValorCheque);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.edLinhaCheque->text(), lineAfter);
    QCOMPARE(t.frm.ceValorCheque->text(), valueAfter);
    QCOMPARE(t.cheques(), 0);
}

void TestCaptura::keptValueReplaced_data() {
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qlonglong>("stored");
    QTest::newRow("10 then 1.000,00") << "10"
                                      << "1.000,00" << 10000000LL;
    QTest::newRow("25,00 then 30,00") << "25,00"
                                      << "30,00" << 300000LL;
}

// The value kept after "Não" is selected when the next scan moves the focus into the box, so
// what is typed replaces it instead of being added to it.
void TestCaptura::keptValueReplaced() {
    QFETCH(QString, kept);
    QFETCH(QString, typed);
    QFETCH(qlonglong, stored);
    Tela t(Engine::SQLite);
    t.abre();
    t.digita(t.frm.edLinhaCheque, linha(1));
    t.enter(t.frm.edLinhaCheque);
    t.digita(t.frm.ceValorCheque, kept);
    t.script.dlg(Kind::Confirmation, "Confirma Captura do Cheque?", Button::No);
    t.enter(t.frm.ceValorCheque);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.ceValorCheque->text(), kept);
    // The next scan: Enter on the line moves the focus into the value box by program.
    t.digita(t.frm.edLinhaCheque, linha(1));
    t.enter(t.frm.edLinhaCheque);
    QCOMPARE(QApplication::focusWidget(), t.frm.ceValorCheque);
    QTest::keyClicks(t.frm.ceValorCheque, typed);
    QCOMPARE(t.frm.ceValorCheque->text(), typed);
    t.script.dlg(Kind::Confirmation, "Confirma Captura do Cheque?", Button::Yes);
    QTest::keyClick(t.frm.ceValorCheque, Qt::Key_Return);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.db.conn().selectValue("SELECT vlr_cheque FROM cheque").toLongLong(), stored);
}

void TestCaptura::insertFailsForAnotherReason_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("cause");
    for (Engine e : TestDb::engines())
        for (const char* cause : {"locked", "lot deleted"})
            QTest::addRow("%s %s", qPrintable(TestDb::engineName(e)), cause) << e << QString(cause);
}

// A cheque the database refused for any reason but a duplicate is not reported as one: the
// operator reads the refusal, the boxes keep the cheque, and Enter tries again.
void TestCaptura::insertFailsForAnotherReason() {
    QFETCH(Engine, engine);
    QFETCH(QString, cause);
    Tela t(engine);
    t.abre();
    t.captura(linha(1), "10,00");
    VERIFY_SCRIPT(t.script);

    // Another program on the same database.
    Connection outro("outro");
    outro.setConnectionString(t.db.target());
    outro.open();
    if (cause == "locked") {
        // Short waits, so that the refusal comes at once.
        t.db.conn().execute(engine == Engine::SQLite ? "PRAGMA busy_timeout = 200"
                                                     : "SET lock_timeout = '200ms'");
        outro.beginTransaction();
        if (engine == Engine::PostgreSQL)
            outro.execute("LOCK TABLE cheque IN ACCESS EXCLUSIVE MODE");
        else
            outro.execute("UPDATE lote_cheque SET dat_gerado = NULL");
    } else {
        outro.execute("DELETE FROM cheque");
        outro.execute("DELETE FROM lote_cheque");
    }

    t.digita(t.frm.edLinhaCheque, linha(2));
    t.enter(t.frm.edLinhaCheque);
    t.digita(t.frm.ceValorCheque, "20,00");
    const qsizetype before = t.script.seen().size();
    t.script.dlg(Kind::Confirmation, "Confirma Captura do Cheque?", Button::Yes);
    t.script.allowAny(true);
    t.enter(t.frm.ceValorCheque);
    t.script.allowAny(false);
    QCOMPARE(t.script.seen().size(), before + 2);
    const Dialogs::Request shown = t.script.seen().last();
    QCOMPARE(shown.kind, Kind::Error);
    QVERIFY(!shown.text.isEmpty());
    QVERIFY2(shown.text != "Cheque já registrado na base de dados!", qPrintable(shown.text));
    QCOMPARE(t.frm.edLinhaCheque->text(), SeparaLinhaCheque(linha(2)).formatted());
    QCOMPARE(t.frm.ceValorCheque->text(), QString("20,00"));
    QCOMPARE(QApplication::focusWidget(), t.frm.ceValorCheque);
    QCOMPARE(t.frm.StaticText5->text(), QString("1"));

    if (cause == "locked") {
        outro.rollback();
        QCOMPARE(t.cheques(), 1);
        // The other program is done: Enter again stores the cheque.
        t.script.clear();
        t.script.dlg(Kind::Confirmation, "Confirma Captura do Cheque?", Button::Yes);
        t.enter(t.frm.ceValorCheque);
        VERIFY_SCRIPT(t.script);
        QCOMPARE(t.cheques(), 2);
        QCOMPARE(t.frm.StaticText5->text(), QString("2"));
        QCOMPARE(t.frm.StaticText3->text(), QString("R$ 30,00"));
        QCOMPARE(t.frm.edLinhaCheque->text(), QString());
    } else {
        QCOMPARE(t.cheques(), 0);
    }
}

void TestCaptura::sentLot() {
    Tela t(Engine::SQLite);
    t.abre();
    t.captura(linha(1), "10,00");
    VERIFY_SCRIPT(t.script);
    t.frm.hide();
    t.db.conn().execute("UPDATE lote_cheque SET ind_gerado = ?", {true});
    t.abre();
    QVERIFY(!t.frm.btnExcluirCQ->isEnabled());
    const QString msg =
        "Não é possível capturar cheques para\n\reste lote, pois o mesmo já foi enviado!";
    t.digita(t.frm.edLinhaCheque, linha(2));
    t.enter(t.frm.edLinhaCheque);
    t.digita(t.frm.ceValorCheque, "5,00");
    t.script.box("Atenção", msg);
    t.enter(t.frm.ceValorCheque);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.ceValorCheque->text(), QString("5,00"));
    // The generated state can also come from another copy while the screen is open.
    t.db.conn().execute("UPDATE lote_cheque SET ind_gerado = ?", {false});
    t.frm.hide();
    t.abre();
    QVERIFY(t.frm.btnExcluirCQ->isEnabled());
    t.db.conn().execute("UPDATE lote_cheque SET ind_gerado = ?", {true});
    t.script.dlg(Kind::Confirmation, "Tem certeza de que deseja excluir o registro?", Button::Yes);
    t.script.box("Atenção", msg);
    t.frm.btnExcluirCQ->click();
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.cheques(), 1);
    // A lot with cheques cannot be deleted.
    t.script.dlg(Kind::Confirmation, "Tem certeza de que deseja excluir o registro?", Button::Yes);
    t.script.box(
        "Atenção",
        "Não é possível excluir o registro, pois existem outros registros vinculados a ele!");
    t.frm.btnExcluir->click();
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.db.conn().selectValue("SELECT count(*) FROM lote_cheque").toInt(), 1);
}

void TestCaptura::newLotNumbered() {
    Tela t(Engine::SQLite, false);
    for (const char* n : {"1", "2", "10"})
        t.db.conn().execute("INSERT INTO lote_cheque (cod_associado, num_lote, dat_lote) "
                            "VALUES (?, ?, ?)",
                            {t.associado, QString(n), QDateTime(QDate(2020, 1, 1), QTime(8, 0))});
    t.abre();
    t.frm.btnInserir->click();
    QCOMPARE(QApplication::focusWidget(), t.frm.RxDBLookupCombo1);
    QVERIFY(!t.frm.edLinhaCheque->isEnabled());
    QVERIFY(t.frm.btnSalvar->isEnabled());
    t.frm.RxDBLookupCombo1->setCurrentIndex(0);
    emit t.frm.RxDBLookupCombo1->activated(0);
    t.frm.btnSalvar->click();
    QCOMPARE(t.frm.DBEdit1->text(), QString("11"));
    QVERIFY(t.frm.edLinhaCheque->isEnabled());
    QCOMPARE(t.db.conn()
                 .selectValue("SELECT cod_associado FROM lote_cheque WHERE num_lote = '11'")
                 .toInt(),
             t.associado);
    // Search by the exact number.
    t.script.prompt("Digite o número do lote", "1");
    t.frm.btnPesquisar->click();
    QCOMPARE(t.frm.DBEdit1->text(), QString("1"));
    t.script.prompt("Digite o número do lote", "10");
    t.frm.btnPesquisar->click();
    QCOMPARE(t.frm.DBEdit1->text(), QString("10"));
    t.script.prompt("Digite o número do lote", "99");
    t.frm.btnPesquisar->click();
    QCOMPARE(t.frm.DBEdit1->text(), QString("10"));
    VERIFY_SCRIPT(t.script);
}

void TestCaptura::lotSaveRefused_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("cause");
    for (Engine e : TestDb::engines())
        for (const char* cause : {"commit refused", "locked"})
            QTest::addRow("%s %s", qPrintable(TestDb::engineName(e)), cause) << e << QString(cause);
}

// A new lot whose save fails, at its commit or at its insert, is back on screen exactly as
// before Salvar: in insert, unnumbered, the member still chosen; Salvar again saves it.
void TestCaptura::lotSaveRefused() {
    QFETCH(Engine, engine);
    QFETCH(QString, cause);
    Tela t(engine);
    Connection& c = t.db.conn();
    Connection outro("outro");
    outro.setConnectionString(t.db.target());
    outro.open();
    if (cause == "commit refused") {
        // A rule checked only at commit: each new lot leaves a row pointing nowhere.
        c.execute("CREATE TABLE recusa (cod INTEGER REFERENCES associado (cod_associado) "
                  "DEFERRABLE INITIALLY DEFERRED)");
        if (engine == Engine::PostgreSQL) {
            c.execute("CREATE FUNCTION recusa_lote() RETURNS trigger LANGUAGE plpgsql AS "
                      "$$ BEGIN INSERT INTO recusa VALUES (-1); RETURN NEW; END $$");
            c.execute("CREATE TRIGGER recusa_lote AFTER INSERT ON lote_cheque "
                      "FOR EACH ROW EXECUTE FUNCTION recusa_lote()");
        } else {
            c.execute("CREATE TRIGGER recusa_lote AFTER INSERT ON lote_cheque "
                      "BEGIN INSERT INTO recusa VALUES (-1); END");
        }
    }
    t.abre();
    t.frm.btnInserir->click();
    t.escolheAssociado(0);
    const Dataset& lotes = t.frm.dtmCapturaCheque->qryLoteCheque;
    QCOMPARE(lotes.recordCount(), 2);
    if (cause == "locked") {
        // Another program writing: SQLite refuses this copy's write transaction; the server
        // lets the numbering through and holds the insert until it gives up.
        c.setBusyTimeout(300);
        outro.beginTransaction();
        if (engine == Engine::PostgreSQL)
            outro.execute("LOCK TABLE lote_cheque IN EXCLUSIVE MODE");
        else
            outro.execute("UPDATE lote_cheque SET dat_gerado = NULL");
    }

    const QString erro = t.erroExibido([&] { t.frm.btnSalvarClick(); });
    QVERIFY2(!erro.isEmpty(), "the failed save must reach the error display");
    QCOMPARE(lotes.state(), Dataset::State::Insert);
    QVERIFY(lotes.isNull("num_lote"));
    QVERIFY(lotes.isNull("cod_lote"));
    QCOMPARE(lotes.asInteger("cod_associado"), t.associado);
    QVERIFY(lotes.modified());
    QCOMPARE(t.frm.DBEdit1->text(), QString());
    QCOMPARE(t.frm.RxDBLookupCombo1->currentText(), QString("Ana"));
    QCOMPARE(lotes.recordCount(), 2);
    QVERIFY(t.frm.btnSalvar->isEnabled());
    QVERIFY(t.frm.btnCancelar->isEnabled());
    QVERIFY(!t.frm.btnInserir->isEnabled());
    QVERIFY(!t.frm.edLinhaCheque->isEnabled());
    if (cause == "locked")
        outro.rollback();
    QCOMPARE(t.lotes(), 1);

    // The cause gone, Salvar again numbers and stores the lot.
    if (cause == "commit refused")
        c.execute("DROP TRIGGER recusa_lote" +
                  QString(engine == Engine::PostgreSQL ? " ON lote_cheque" : ""));
    QCOMPARE(t.erroExibido([&] { t.frm.btnSalvarClick(); }), QString());
    QCOMPARE(lotes.state(), Dataset::State::Browse);
    QCOMPARE(t.frm.DBEdit1->text(), QString("2"));
    QVERIFY(t.frm.edLinhaCheque->isEnabled());
    QCOMPARE(t.lotes(), 2);
    VERIFY_SCRIPT(t.script);
}

void TestCaptura::lotDeletedByAnotherCopy_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("excluir"); // delete instead of editing
    for (Engine e : TestDb::engines())
        for (bool excluir : {false, true})
            QTest::addRow("%s %s", qPrintable(TestDb::engineName(e)), excluir ? "delete" : "edit")
                << e << excluir;
}

// Saving or deleting a lot another copy deleted says so, and the list is read again.
void TestCaptura::lotDeletedByAnotherCopy() {
    QFETCH(Engine, engine);
    QFETCH(bool, excluir);
    Tela t(engine);
    t.novoLote("2", 2);
    t.db.conn().execute(
        "INSERT INTO associado (idt_tpo_associado, nom_associado) VALUES ('F', 'Bia')");
    t.abre();
    QCOMPARE(t.frm.DBEdit1->text(), QString("1"));
    Connection outro("outro");
    outro.setConnectionString(t.db.target());
    outro.open();
    outro.execute("DELETE FROM lote_cheque WHERE num_lote = '1'");

    const QString gone = "O registro não existe mais na base de dados. Ele foi excluído por "
                         "outro usuário.";
    if (excluir) {
        t.script.dlg(Kind::Confirmation, "Tem certeza de que deseja excluir o registro?",
                     Button::Yes);
        QCOMPARE(t.erroExibido([&] { t.frm.btnExcluirClick(); }), gone);
    } else {
        t.escolheAssociado(1); // Bia
        QCOMPARE(t.frm.dtmCapturaCheque->qryLoteCheque.state(), Dataset::State::Edit);
        QCOMPARE(t.erroExibido([&] { t.frm.btnSalvarClick(); }), gone);
    }
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.dtmCapturaCheque->qryLoteCheque.state(), Dataset::State::Browse);
    QCOMPARE(t.frm.dtmCapturaCheque->qryLoteCheque.recordCount(), 1);
    QCOMPARE(t.frm.DBEdit1->text(), QString("2"));
    QVERIFY(t.frm.btnInserir->isEnabled());
    QVERIFY(!t.frm.btnSalvar->isEnabled());
    QCOMPARE(t.lotes(), 1);
}

// Deleting a cheque another copy deleted first says so; the list and the totals are the
// database's again.
void TestCaptura::chequeDeletedByAnotherCopy() {
    QFETCH(Engine, engine);
    Tela t(engine);
    t.abre();
    t.captura(linha(1), "10,00");
    t.captura(linha(2), "20,00");
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.StaticText5->text(), QString("2"));
    Connection outro("outro");
    outro.setConnectionString(t.db.target());
    outro.open();
    outro.execute("DELETE FROM cheque WHERE num_cheque = ?",
                  {SeparaLinhaCheque(linha(2)).numCheque});

    t.script.dlg(Kind::Confirmation, "Tem certeza de que deseja excluir o registro?", Button::Yes);
    QCOMPARE(t.erroExibido([&] { t.frm.btnExcluirCQClick(); }),
             QString("O registro não existe mais na base de dados. Ele foi excluído por outro "
                     "usuário."));
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.frm.dtmCapturaCheque->qryCheque.recordCount(), 1);
    QCOMPARE(t.frm.StaticText5->text(), QString("1"));
    QCOMPARE(t.frm.StaticText3->text(), QString("R$ 10,00"));
    QCOMPARE(t.cheques(), 1);
}

QTEST_MAIN(TestCaptura)
#include "tst_captura.moc"

// The value box keeps the money typing rule the registry boxes keep: the keys, what the box
// shows, the beeps and the amount stored.
void TestCaptura::valueTyping_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<qlonglong>("stored"); // ten-thousandths
    QTest::newRow("thousands and cents") << "1.500,50"
                                         << "1.500,50" << 0 << 15005000LL;
    QTest::newRow("point as the comma") << "1500.50"
                                        << "1500,50" << 0 << 15005000LL;
    QTest::newRow("point out of place") << "15.0.0"
                                        << "15.00" << 1 << -1LL;
    QTest::newRow("third decimal") << "10,505"
                                   << "10,50" << 1 << 105000LL;
    QTest::newRow("second comma") << ",,23"
                                  << ",23" << 1 << 2300LL;
    QTest::newRow("letters and sign") << "-2a5"
                                      << "25" << 2 << 250000LL;
    QTest::newRow("largest amount") << "999.999.999,99"
                                    << "999.999.999,99" << 0 << 9999999999900LL;
    QTest::newRow("beyond the largest") << "1000000000"
                                        << "100000000" << 1 << 1000000000000LL;
}

void TestCaptura::valueTyping() {
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    QFETCH(qlonglong, stored);
    Tela t(Engine::SQLite);
    t.abre();
    t.digita(t.frm.edLinhaCheque, Valida);
    t.enter(t.frm.edLinhaCheque);
    t.script.resetBeeps();
    t.digita(t.frm.ceValorCheque, keys);
    QCOMPARE(t.frm.ceValorCheque->text(), shown);
    QCOMPARE(t.script.beeps(), beeps);
    // Typing over a selection keeps the rule: a second comma over one digit is refused.
    t.frm.ceValorCheque->setSelection(shown.size() - 1, 1);
    if (shown.contains(',')) {
        QTest::keyClick(t.frm.ceValorCheque, ',');
        QCOMPARE(t.frm.ceValorCheque->text(), shown);
        QCOMPARE(t.script.beeps(), beeps + 1);
    }
    t.frm.ceValorCheque->setCursorPosition(shown.size());
    t.script.dlg(Kind::Confirmation, "Confirma Captura do Cheque?", Button::Yes);
    if (stored < 0)
        t.script.dlg(Kind::Warning, "Favor informar o valor do cheque!", Button::Ok);
    t.enter(t.frm.ceValorCheque);
    VERIFY_SCRIPT(t.script);
    if (stored < 0) {
        QCOMPARE(t.cheques(), 0);
        return;
    }
    QCOMPARE(t.db.conn().selectValue("SELECT vlr_cheque FROM cheque").toLongLong(), stored);
}

// A paste goes through the filter typing goes through: refused whole, with the beep.
void TestCaptura::pasteIntoTheBoxes_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("how"); // "ctrl+v", "shift+insert" or "paste" (menu, middle button)
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("beeps");
    QTest::newRow("date into the line, Ctrl+V") << "edLinhaCheque"
                                                << "ctrl+v"
                                                << "09/12/2026"
                                                << "123" << 1;
    QTest::newRow("date into the line, Shift+Insert") << "edLinhaCheque"
                                                      << "shift+insert"
                                                      << "09/12/2026"
                                                      << "123" << 1;
    QTest::newRow("date into the line, menu") << "edLinhaCheque"
                                              << "paste"
                                              << "09/12/2026"
                                              << "123" << 1;
    QTest::newRow("digits into the line") << "edLinhaCheque"
                                          << "paste"
                                          << "4567"
                                          << "1234567" << 0;
    QTest::newRow("too many digits into the line") << "edLinhaCheque"
                                                   << "paste" << Valida << "123" << 1;
    QTest::newRow("amount after digits into the value") << "ceValorCheque"
                                                        << "ctrl+v"
                                                        << "1.500,50"
                                                        << "123" << 1;
    QTest::newRow("thousands into the value") << "ceValorCheque"
                                              << "ctrl+v"
                                              << ".500,50"
                                              << "123.500,50" << 0;
    QTest::newRow("text into the value") << "ceValorCheque"
                                         << "paste"
                                         << "R$ 10,00"
                                         << "123" << 1;
    QTest::newRow("cents into the value") << "ceValorCheque"
                                          << "shift+insert"
                                          << ",50"
                                          << "123,50" << 0;
}

void TestCaptura::pasteIntoTheBoxes() {
    QFETCH(QString, box);
    QFETCH(QString, how);
    QFETCH(QString, clipboard);
    QFETCH(QString, after);
    QFETCH(int, beeps);
    Tela t(Engine::SQLite);
    t.abre();
    auto* e = t.frm.findChild<QLineEdit*>(box);
    t.digita(e, "123");
    t.script.resetBeeps();
    QGuiApplication::clipboard()->setText(clipboard);
    if (how == "ctrl+v")
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    else if (how == "shift+insert")
        QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
    else
        e->paste();
    QCOMPARE(e->text(), after);
    QCOMPARE(t.script.beeps(), beeps);
}

// The member list shows every row of a short list, amounts line up on the right, the window
// opens centred and every Tab stop shows where the focus is.
void TestCaptura::screenLooks() {
    Tela t(Engine::SQLite);
    for (int i = 0; i < 11; ++i)
        t.db.conn().execute("INSERT INTO associado (idt_tpo_associado, nom_associado) "
                            "VALUES ('F', ?)",
                            {QString("Membro %1").arg(i)});
    t.abre();
    QVERIFY(t.frm.RxDBLookupCombo1->maxVisibleItems() >= 12);
    t.captura(Valida, "10,00");
    VERIFY_SCRIPT(t.script);
    const QAbstractItemModel* m = t.frm.DBGrid1->model();
    const int valor = t.frm.DBGrid1->columns().indexOf("vlr_cheque");
    QCOMPARE(Qt::Alignment(m->index(0, valor).data(Qt::TextAlignmentRole).toInt()) &
                 Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
    QCOMPARE(t.frm.ceValorCheque->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    // Under a window manager the frame comes after the window is shown.
    const QPoint centre = t.frm.screen()->availableGeometry().center();
    QTRY_VERIFY((t.frm.frameGeometry().center() - centre).manhattanLength() <= 8);
    const QPoint mine = t.frm.frameGeometry().center();
    QVERIFY2((mine - centre).manhattanLength() <= 8,
             qPrintable(QString("centre %1,%2 of %3,%4, frame %5 inside %6")
                            .arg(mine.x())
                            .arg(mine.y())
                            .arg(centre.x())
                            .arg(centre.y())
                            .arg(t.frm.frameGeometry().height())
                            .arg(t.frm.height())));
}

// Tab goes round every control that takes it, and each one shows that it has the focus: the
// cheque grid, whose current row is painted over, draws the focus frame on its current cell.
void TestCaptura::tabStopsShowFocus() {
    Tela t(Engine::SQLite);
    t.abre();
    t.captura(Valida, "10,00");
    VERIFY_SCRIPT(t.script);
    QList<QWidget*> stops;
    for (QWidget* w = QApplication::focusWidget(); w && !stops.contains(w);
         w = QApplication::focusWidget()) {
        stops << w;
        QVERIFY2(w->focusPolicy() & Qt::TabFocus, qPrintable(w->objectName()));
        QTest::keyClick(w, Qt::Key_Tab);
    }
    QVERIFY(stops.contains(t.frm.DBGrid1));
    QVERIFY(stops.contains(t.frm.edLinhaCheque));
    QVERIFY(stops.contains(t.frm.ceValorCheque));

    DbGrid* g = t.frm.DBGrid1;
    const QRect cell = g->visualRect(g->currentIndex());
    QVERIFY(cell.isValid());
    t.frm.edLinhaCheque->setFocus();
    const QImage without = g->viewport()->grab(cell).toImage();
    g->setFocus();
    QVERIFY(g->hasFocus());
    const QImage with = g->viewport()->grab(cell).toImage();
    QVERIFY(with != without);
}
