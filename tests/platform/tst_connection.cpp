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
    void refusalKinds_data();
    void refusalKinds();
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

void TestConnection::refusalKinds_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("kind");
    struct Case {
        const char* tag;
        const char* sql;
        DbError::Kind kind;
    };
    const Case cases[] = {
        {"delete of a referenced row", "DELETE FROM p WHERE id = 1", DbError::Kind::ForeignKey},
        {"reference to no row", "INSERT INTO c (p) VALUES (9)", DbError::Kind::ForeignKey},
        {"duplicate", "INSERT INTO p (id, nome) VALUES (2, 'a')", DbError::Kind::Unique},
        {"duplicate key", "INSERT INTO p (id, nome) VALUES (1, 'z')", DbError::Kind::Unique},
        {"not null", "INSERT INTO p (id) VALUES (3)", DbError::Kind::Other},
        {"syntax", "DELET FROM p", DbError::Kind::Other},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.sql) << int(c.kind);
}

void TestConnection::refusalKinds() {
    // The screens tell a refused delete and a duplicate by the kind, not by the text, which
    // a server may give in another language.
    QFETCH(Engine, engine);
    QFETCH(QString, sql);
    QFETCH(int, kind);
    TestDb db(engine, false);
    Connection& c = db.conn();
    c.execute("CREATE TABLE p (id INTEGER PRIMARY KEY, nome VARCHAR(5) NOT NULL UNIQUE)");
    c.execute("CREATE TABLE c (p INTEGER REFERENCES p (id) ON DELETE RESTRICT)");
    c.execute("INSERT INTO p (id, nome) VALUES (1, 'a')");
    c.execute("INSERT INTO c (p) VALUES (1)");
    try {
        c.execute(sql);
        QFAIL("the statement was accepted");
    } catch (const DbError& e) {
        QCOMPARE(int(e.kind()), kind);
    }
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
