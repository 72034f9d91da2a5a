// Opening databases, statement results and the one level of transaction.
#include "TestDb.h"
#include "platform/data/Connection.h"
#include "platform/data/TransactionGuard.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void openFailures_data();
    void openFailures();
    void emptySelectAggregates();
    void rejectedStatementAppliesNothing();
    void transactions();
    void repeatedStatements();
};

void TestConnection::openFailures_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("folder") << "folder";
    QTest::newRow("bad postgres uri") << "pguri";
}

void TestConnection::openFailures() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString target = dir.filePath("x.db");
    if (kind == "garbage") {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    } else if (kind == "folder") {
        target = dir.path();
    } else if (kind == "pguri") {
        target = "postgresql://";
    }
    Connection c("t");
    c.setConnectionString(target);
    QVERIFY_THROWS_EXCEPTION(DbError, c.open());
    QVERIFY(!c.isOpen());
    if (kind == "missing")
        QVERIFY(!QFile::exists(target)); // never a new empty database
}

void TestConnection::emptySelectAggregates() {
    for (Engine e : TestDb::engines()) {
        TestDb db(e, false);
        db.conn().execute("CREATE TABLE n (v BIGINT)");
        const ResultSet rs = db.conn().select("SELECT sum(v), max(v), count(*) FROM n");
        QCOMPARE(rs.rows.size(), 1);
        QVERIFY(rs.rows[0][0].isNull());
        QVERIFY(rs.rows[0][1].isNull());
        QCOMPARE(rs.rows[0][2].toInt(), 0);
        QVERIFY(db.conn().selectValue("SELECT v FROM n").isNull());
        QVERIFY_THROWS_EXCEPTION(DbError, db.conn().selectValue("SELECT v FROM n", {}, 1));
    }
}

void TestConnection::rejectedStatementAppliesNothing() {
    for (Engine e : TestDb::engines()) {
        TestDb db(e, false);
        db.conn().execute("CREATE TABLE n (v BIGINT NOT NULL UNIQUE)");
        db.conn().execute("INSERT INTO n (v) VALUES (1)");
        // One multi-row insert whose second row is refused: neither row stays.
        try {
            db.conn().execute("INSERT INTO n (v) VALUES (2), (1)");
            QFAIL("duplicate accepted");
        } catch (const DbError& err) {
            QVERIFY(!err.message().isEmpty());
        }
        QCOMPARE(db.conn().selectValue("SELECT count(*) FROM n").toInt(), 1);
        QVERIFY_THROWS_EXCEPTION(DbError, db.conn().execute("SELEC nonsense"));
    }
}

void TestConnection::transactions() {
    for (Engine e : TestDb::engines()) {
        TestDb db(e, false);
        Connection& c = db.conn();
        c.execute("CREATE TABLE n (v BIGINT NOT NULL UNIQUE)");
        {
            TransactionGuard tx(c);
            c.execute("INSERT INTO n (v) VALUES (1)");
            QVERIFY_THROWS_EXCEPTION(DbError, c.beginTransaction()); // one level only
        }                                                            // not committed: rolled back
        QCOMPARE(c.selectValue("SELECT count(*) FROM n").toInt(), 0);
        {
            TransactionGuard tx(c);
            c.execute("INSERT INTO n (v) VALUES (1)");
            QVERIFY_THROWS_EXCEPTION(DbError, c.execute("INSERT INTO n (v) VALUES (1)"));
            c.execute("INSERT INTO n (v) VALUES (2)"); // the transaction goes on after a refusal
            tx.commit();
        }
        QCOMPARE(c.selectValue("SELECT count(*) FROM n").toInt(), 2);
        QVERIFY(!c.inTransaction());
    }
}

void TestConnection::repeatedStatements() {
    // The same statement text runs again and again with other values, also after a refusal
    // and after the connection was closed and opened again.
    for (Engine e : TestDb::engines()) {
        TestDb db(e, false);
        Connection& c = db.conn();
        c.execute("CREATE TABLE n (v BIGINT NOT NULL UNIQUE, t VARCHAR(5))");
        const QString ins = "INSERT INTO n (v, t) VALUES (?, ?)";
        const QString count = "SELECT count(*), max(t) FROM n WHERE v >= ?";
        for (int i = 1; i <= 5; ++i)
            c.execute(ins, {i, QString("t%1").arg(i)});
        QVERIFY_THROWS_EXCEPTION(DbError, c.execute(ins, {3, QString("x")}));
        c.execute(ins, {6, QVariant()});
        QCOMPARE(c.selectValue(count, {4}).toInt(), 3);
        QCOMPARE(c.selectValue(count, {2}, 1).toString(), QString("t5"));
        QCOMPARE(c.select(count, {7}).rows.first().at(0).toInt(), 0);
        c.close();
        c.open();
        QCOMPARE(c.selectValue(count, {0}).toInt(), 6);
        c.execute("DROP TABLE n");
        QVERIFY_THROWS_EXCEPTION(DbError, c.selectValue(count, {0}));
    }
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
