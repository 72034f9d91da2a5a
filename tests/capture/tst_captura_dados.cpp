// The capture data: cheques follow the lot, lot numbering, totals, and two copies at once.
#include "TestDb.h"
#include "capture/udtmCapturaCheque.h"

#include <QTest>
#include <QThread>

namespace {

int novoAssociado(Connection& c) {
    return c
        .insertReturning("INSERT INTO associado (idt_tpo_associado, nom_associado) "
                         "VALUES ('F', 'Ana') RETURNING cod_associado",
                         {})
        .toInt();
}

void novoLote(TdtmCapturaCheque& dtm, int codAssociado) {
    dtm.qryLoteCheque.insert();
    dtm.qryLoteCheque.setValue("cod_associado", codAssociado);
    dtm.salvaLote();
}

// A valid line for a cheque number: the check digits computed.
LinhaCheque linha(int numero, int conta = 123456) {
    LinhaCheque l;
    l.banco = "001";
    l.agencia = "2345";
    l.compe = "018";
    l.numCheque = QString("%1").arg(numero, 6, 10, QChar('0'));
    l.tipificacao = "5";
    l.conta = QString("%1").arg(conta, 10, 10, QChar('0'));
    l.dv1 = QString::number(CalculaDVModulo10(l.banco + l.agencia));
    l.dv2 = QString::number(CalculaDVModulo10(l.compe + l.numCheque + l.tipificacao));
    l.dv3 = QString::number(CalculaDVModulo10(l.conta));
    return l;
}

} // namespace

class TestCapturaDados : public QObject {
    Q_OBJECT
private slots:
    void numbering_data();
    void numbering();
    void chequesFollowLot();
    void duplicateRefusedAndTotals();
    void twoCopiesAtOnce_data() { TestDb::addEngineRows(); }
    void twoCopiesAtOnce();
};

void TestCapturaDados::numbering_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("next");
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e);
        QTest::newRow(qPrintable(n + ": first lot")) << e << QStringList() << "1";
        QTest::newRow(qPrintable(n + ": numeric maximum"))
            << e << QStringList{"1", "2", "10"} << "11";
        QTest::newRow(qPrintable(n + ": above 32768")) << e << QStringList{"32768", "9"} << "32769";
        QTest::newRow(qPrintable(n + ": large")) << e << QStringList{"2147483647"} << "2147483648";
    }
}

void TestCapturaDados::numbering() {
    QFETCH(Engine, engine);
    QFETCH(QStringList, existing);
    QFETCH(QString, next);
    TestDb db(engine);
    const int a = novoAssociado(db.conn());
    for (const QString& n : existing)
        db.conn().execute("INSERT INTO lote_cheque (cod_associado, num_lote, dat_lote) "
                          "VALUES (?, ?, ?)",
                          {a, n, QDateTime(QDate(2020, 1, 1), QTime(8, 0))});
    TdtmCapturaCheque dtm(&db.conn());
    dtm.qryLoteCheque.open();
    dtm.qryLoteCheque.insert();
    QCOMPARE(dtm.qryLoteCheque.asString("idt_dep_custodia"), QString("D"));
    QCOMPARE(dtm.qryLoteCheque.asBoolean("ind_gerado"), false);
    QCOMPARE(dtm.qryLoteCheque.asDateTime("dat_lote").date(), QDate::currentDate());
    QVERIFY(dtm.qryCheque.isOpen() && dtm.qryCheque.isEmpty());
    dtm.qryLoteCheque.setValue("cod_associado", a);
    dtm.salvaLote();
    QCOMPARE(dtm.qryLoteCheque.state(), Dataset::State::Browse);
    QCOMPARE(dtm.qryLoteCheque.asString("num_lote"), next);
    QCOMPARE(db.conn()
                 .selectValue("SELECT count(*) FROM lote_cheque WHERE num_lote = ?", {next})
                 .toInt(),
             1);
}

void TestCapturaDados::chequesFollowLot() {
    TestDb db(Engine::SQLite);
    const int a = novoAssociado(db.conn());
    TdtmCapturaCheque dtm(&db.conn());
    dtm.qryLoteCheque.open();
    novoLote(dtm, a);
    QVERIFY(dtm.gravaCheque(linha(3), Money::fromCents(100)));
    QVERIFY(dtm.gravaCheque(linha(1), Money::fromCents(200)));
    QVERIFY(dtm.gravaCheque(linha(2), Money::fromCents(300)));
    novoLote(dtm, a);
    QVERIFY(dtm.qryCheque.isEmpty());
    QVERIFY(dtm.gravaCheque(linha(9), Money::fromCents(900)));
    // A new lot is inserted at the cursor, so lot 2 stands before lot 1 until the list reopens.
    dtm.qryLoteCheque.first();
    QCOMPARE(dtm.qryLoteCheque.asString("num_lote"), QString("2"));
    QCOMPARE(dtm.qryCheque.recordCount(), 1);
    dtm.qryLoteCheque.open();
    QCOMPARE(dtm.qryLoteCheque.asString("num_lote"), QString("1"));
    // In the order of capture.
    QStringList numeros;
    for (dtm.qryCheque.first(); !dtm.qryCheque.eof(); dtm.qryCheque.next())
        numeros << dtm.qryCheque.asString("num_cheque");
    QCOMPARE(numeros, QStringList({"000003", "000001", "000002"}));
}

void TestCapturaDados::duplicateRefusedAndTotals() {
    for (Engine e : TestDb::engines()) {
        TestDb db(e);
        const int a = novoAssociado(db.conn());
        TdtmCapturaCheque dtm(&db.conn());
        dtm.qryLoteCheque.open();
        novoLote(dtm, a);
        const int lote1 = dtm.qryLoteCheque.asInteger("cod_lote");
        QCOMPARE(dtm.totaisLote(lote1).quantidade, 0);
        QCOMPARE(dtm.totaisLote(lote1).total, Money());
        QVERIFY(dtm.gravaCheque(linha(1), *Money::parse("100,00")));
        QVERIFY(dtm.gravaCheque(linha(2), *Money::parse("50,50")));
        QVERIFY(!dtm.gravaCheque(linha(1), *Money::parse("7,00")));
        QCOMPARE(dtm.qryCheque.state(), Dataset::State::Browse);
        QCOMPARE(dtm.qryCheque.recordCount(), 2);
        // The same line in another lot is the same cheque.
        novoLote(dtm, a);
        QVERIFY(!dtm.gravaCheque(linha(2), *Money::parse("50,50")));
        QCOMPARE(dtm.totaisLote(lote1).total.formatTotal(), QString("R$ 150,50"));
        QCOMPARE(dtm.totaisLote(lote1).quantidade, 2);
        QVERIFY(!dtm.loteEnviado(lote1));
        db.conn().execute("UPDATE lote_cheque SET ind_gerado = ? WHERE cod_lote = ?",
                          {true, lote1});
        QVERIFY(dtm.loteEnviado(lote1));
    }
}

void TestCapturaDados::twoCopiesAtOnce() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    const int a = novoAssociado(db.conn());
    constexpr int Lotes = 15, Cheques = 4;
    // Each copy saves lots and captures cheques; both try the same lines, so each line is
    // stored once, by whichever copy came first.
    auto copia = [&](int id, QStringList* erros) {
        try {
            Connection c(QString("copia%1").arg(id));
            c.setConnectionString(db.target());
            c.open();
            TdtmCapturaCheque dtm(&c);
            dtm.qryLoteCheque.open();
            for (int i = 0; i < Lotes; ++i) {
                novoLote(dtm, a);
                for (int k = 0; k < Cheques; ++k)
                    dtm.gravaCheque(linha(i * Cheques + k), Money::fromCents(100));
            }
        } catch (const std::exception& e) {
            *erros << QString::fromUtf8(e.what());
        }
    };
    QStringList erros1, erros2;
    QThread* t1 = QThread::create(copia, 1, &erros1);
    QThread* t2 = QThread::create(copia, 2, &erros2);
    t1->start();
    t2->start();
    QVERIFY(t1->wait(120000) && t2->wait(120000));
    delete t1;
    delete t2;
    QCOMPARE(erros1 + erros2, QStringList());
    Connection& c = db.conn();
    QCOMPARE(c.selectValue("SELECT count(*) FROM lote_cheque").toInt(), 2 * Lotes);
    QCOMPARE(c.selectValue("SELECT count(DISTINCT num_lote) FROM lote_cheque").toInt(), 2 * Lotes);
    QCOMPARE(c.selectValue("SELECT max(CAST(num_lote AS INTEGER)) FROM lote_cheque").toInt(),
             2 * Lotes);
    QCOMPARE(c.selectValue("SELECT count(*) FROM cheque").toInt(), Lotes * Cheques);
}

QTEST_GUILESS_MAIN(TestCapturaDados)
#include "tst_captura_dados.moc"
