// Opening databases, statement results, parameters, the one level of transaction, another copy
// holding the database, and the texts the operator reads when the engine refuses.
#include "TestDb.h"
#include "platform/data/Connection.h"
#include "platform/data/Money.h"
#include "platform/data/TransactionGuard.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <unistd.h>

namespace {

const QString Busy = QStringLiteral(
    "O banco de dados está ocupado por outro usuário. Tente novamente em alguns instantes.");

// The engines' own English, which must never be all the operator reads.
const char* const EngineWords[] = {
    "database is locked", "unable to open", "file is not a database", "readonly database",
    "Connection refused", "does not exist", "could not connect",      "duplicate key",
    "constraint failed",  "lock timeout",   "canceling statement"};

bool speaksEnglish(const QString& message) {
    for (const char* w : EngineWords)
        if (message.contains(QLatin1String(w), Qt::CaseInsensitive))
            return true;
    return false;
}

// File permissions mean nothing to root: the test takes an ordinary user's place while it opens.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (geteuid() == 0)
            m_changed = seteuid(65534) == 0;
    }
    ~AsOrdinaryUser() {
        if (m_changed && seteuid(0) != 0)
            qFatal("cannot take back the root user");
    }

private:
    bool m_changed = false;
};

// R$ 999.999.999,99, the largest amount a box accepts, in ten-thousandths.
constexpr qint64 LargestAmount = 99'999'999'999LL * 100;

} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void openFailures_data();
    void openFailures();
    void writeAheadLog();
    void emptySelectAggregates();
    void exactSums_data() { TestDb::addEngineRows(); }
    void exactSums();
    void rejectedStatementAppliesNothing();
    void parameters_data();
    void parameters();
    void transactions_data() { TestDb::addEngineRows(); }
    void transactions();
    void repeatedStatements();
    void refusalKinds_data();
    void refusalKinds();
    void anotherCopyHoldsTheLock_data();
    void anotherCopyHoldsTheLock();
    void undoAtRollback_data();
    void undoAtRollback();
};

void TestConnection::openFailures_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("errorKind");
    QTest::addColumn<QString>("text"); // the start of the message
    const QString cannotOpen = "Não foi possível abrir o arquivo do banco de dados. Arquivo: ";
    QTest::newRow("missing file") << "missing" << int(DbError::Kind::CannotOpen) << cannotOpen;
    QTest::newRow("not a database")
        << "garbage" << int(DbError::Kind::NotADatabase)
        << "O arquivo não é um banco de dados do sistema ou está danificado. Arquivo: ";
    QTest::newRow("folder") << "folder" << int(DbError::Kind::CannotOpen) << cannotOpen;
    QTest::newRow("read-only file")
        << "readonly" << int(DbError::Kind::ReadOnly)
        << "O banco de dados está somente para leitura: nada pode ser gravado nele. Verifique as "
           "permissões de gravação. Arquivo: ";
    QTest::newRow("bad postgres uri")
        << "pguri" << int(DbError::Kind::Other) << "Endereço PostgreSQL inválido: postgresql://";
    QTest::newRow("no server on that port")
        << "pgrefused" << int(DbError::Kind::Unreachable)
        << "Não foi possível conectar ao servidor do banco de dados. Verifique o endereço no "
           "config.ini e se o servidor está em funcionamento. Servidor: 127.0.0.1:1/x";
    if (!TestDb::engines().contains(Engine::PostgreSQL))
        return;
    QTest::newRow("no such database on the server")
        << "pgmissing" << int(DbError::Kind::Unreachable)
        << "O banco de dados informado não existe no servidor. Servidor: ";
}

void TestConnection::openFailures() {
    QFETCH(QString, kind);
    QFETCH(int, errorKind);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QString target = dir.filePath("x.db");
    if (kind == "garbage") {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    } else if (kind == "folder") {
        target = dir.path();
    } else if (kind == "readonly") {
        Connection::createSqliteFile(target);
        const auto read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const auto enter = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(dir.path(), read | enter | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(target, read));
    } else if (kind == "pguri") {
        target = "postgresql://";
    } else if (kind == "pgrefused") {
        target = "postgresql://cap@127.0.0.1:1/x";
    } else if (kind == "pgmissing") {
        target = TestDb::pgUri("cap_no_such_database");
    }
    Connection c("t");
    c.setConnectionString(target);
    try {
        std::optional<AsOrdinaryUser> user;
        if (kind == "readonly")
            user.emplace();
        c.open();
        QFAIL("opened");
    } catch (const DbError& e) {
        QVERIFY2(int(e.kind()) == errorKind, qPrintable(e.message() + " / " + e.engineText()));
        QCOMPARE(e.message().left(text.size()), text);
        QVERIFY2(!speaksEnglish(e.message()), qPrintable(e.message()));
    }
    QVERIFY(!c.isOpen());
    if (kind == "missing")
        QVERIFY(!QFile::exists(target)); // never a new empty database
}

void TestConnection::writeAheadLog() {
    // The mode is kept in the file, and a reader in the middle of a read never holds up a
    // writer's commit.
    TestDb db(Engine::SQLite, false);
    QCOMPARE(db.conn().selectValue("PRAGMA journal_mode").toString(), QString("wal"));
    db.conn().execute("CREATE TABLE n (v INTEGER)");
    Connection reader("reader");
    reader.setConnectionString(db.target());
    reader.open();
    reader.execute("BEGIN");
    QCOMPARE(reader.selectValue("SELECT count(*) FROM n").toInt(), 0);
    db.conn().setBusyTimeout(200);
    {
        TransactionGuard tx(db.conn());
        db.conn().execute("INSERT INTO n (v) VALUES (1)");
        tx.commit();
    }
    QCOMPARE(reader.selectValue("SELECT count(*) FROM n").toInt(), 0); // its snapshot
    reader.execute("COMMIT");
    QCOMPARE(reader.selectValue("SELECT count(*) FROM n").toInt(), 1);
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

void TestConnection::exactSums() {
    // PostgreSQL gives sum(bigint) as numeric: it reads as the exact whole number, and a sum
    // beyond what the program holds is an error, never 0 or a rounded amount.
    QFETCH(Engine, engine);
    TestDb db(engine, false);
    Connection& c = db.conn();
    c.execute("CREATE TABLE n (lote INTEGER, v BIGINT)");
    constexpr int Cheques = 1000;
    {
        TransactionGuard tx(c);
        for (int i = 0; i < Cheques; ++i)
            c.execute("INSERT INTO n (lote, v) VALUES (1, ?)",
                      {Money::fromUnits(LargestAmount).toVariant()});
        tx.commit();
    }
    const QVariant sum = c.selectValue("SELECT sum(v) FROM n WHERE lote = 1");
    QCOMPARE(sum.metaType().id(), int(QMetaType::LongLong));
    QCOMPARE(sum.toLongLong(), LargestAmount * Cheques);
    QCOMPARE(Money::fromVariant(sum).format(2), QString("999.999.999.990,00"));
    c.execute("INSERT INTO n (lote, v) VALUES (2, ?), (2, ?)",
              {std::numeric_limits<qint64>::max(), 1});
    QVERIFY_THROWS_EXCEPTION(DbError, c.selectValue("SELECT sum(v) FROM n WHERE lote = 2"));
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
            QCOMPARE(err.message(), QString("Registro já existente no banco de dados."));
        }
        QCOMPARE(db.conn().selectValue("SELECT count(*) FROM n").toInt(), 1);
        QVERIFY_THROWS_EXCEPTION(DbError, db.conn().execute("SELEC nonsense"));
    }
}

void TestConnection::parameters_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantMap>("named");
    QTest::addColumn<QVariantList>("positional");
    QTest::addColumn<QString>("error"); // empty: accepted, and the row reads "1|2"
    struct Case {
        const char* tag;
        const char* sql;
        QVariantMap named;
        QVariantList positional;
        const char* error;
    };
    const Case cases[] = {
        {"named", "SELECT a, b FROM p WHERE a = :pA AND b = :pB", {{"pA", 1}, {"pB", 2}}, {}, ""},
        {"named twice", "SELECT a, b FROM p WHERE a = :pA AND b > :pA", {{"pA", 1}}, {}, ""},
        {"positional", "SELECT a, b FROM p WHERE a = ? AND b = ?", {}, {1, 2}, ""},
        {"name the statement lacks",
         "SELECT a, b FROM p WHERE a = :pA",
         {{"pA", 1}, {"pCodLote", 2}},
         {},
         "Parâmetro :pCodLote não existe na instrução."},
        {"name left unbound",
         "SELECT a, b FROM p WHERE a = :pA AND b = :pB",
         {{"pA", 1}},
         {},
         "Parâmetro :pB sem valor."},
        {"too few values",
         "SELECT a, b FROM p WHERE a = ? AND b = ?",
         {},
         {1},
         "A instrução tem mais parâmetros \"?\" do que os 1 valores informados."},
        {"too many values",
         "SELECT a, b FROM p WHERE a = ?",
         {},
         {1, 2},
         "A instrução tem 1 parâmetros \"?\" e recebeu 2 valores."},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.sql) << c.named << c.positional << QString::fromUtf8(c.error);
}

void TestConnection::parameters() {
    // A value that finds no place, or a place that gets no value, is an error: never NULL.
    QFETCH(Engine, engine);
    QFETCH(QString, sql);
    QFETCH(QVariantMap, named);
    QFETCH(QVariantList, positional);
    QFETCH(QString, error);
    TestDb db(engine, false);
    Connection& c = db.conn();
    c.execute("CREATE TABLE p (a INTEGER, b INTEGER)");
    c.execute("INSERT INTO p (a, b) VALUES (1, 2)");
    try {
        const ResultSet rs = named.isEmpty() ? c.select(sql, positional) : c.select(sql, named);
        QVERIFY2(error.isEmpty(), "accepted");
        QCOMPARE(rs.rows.size(), 1);
        QCOMPARE(rs.rows[0][0].toString() + "|" + rs.rows[0][1].toString(), QString("1|2"));
    } catch (const DbError& e) {
        QCOMPARE(e.message(), error);
    }
}

void TestConnection::transactions() {
    QFETCH(Engine, engine);
    TestDb db(engine, false);
    Connection& c = db.conn();
    c.execute("CREATE TABLE n (v BIGINT NOT NULL UNIQUE)");
    const auto count = [&] { return c.selectValue("SELECT count(*) FROM n").toInt(); };
    {
        TransactionGuard tx(c);
        c.execute("INSERT INTO n (v) VALUES (1)");
        QVERIFY_THROWS_EXCEPTION(DbError, c.beginTransaction()); // one level only
    }                                                            // not committed: rolled back
    QCOMPARE(count(), 0);
    {
        // A refused insert undoes only itself.
        TransactionGuard tx(c);
        c.execute("INSERT INTO n (v) VALUES (1)");
        QVERIFY_THROWS_EXCEPTION(DbError, c.execute("INSERT INTO n (v) VALUES (1)"));
        c.execute("INSERT INTO n (v) VALUES (2)");
        tx.commit();
    }
    QCOMPARE(count(), 2);
    QVERIFY(!c.inTransaction());
    {
        // A savepoint undoes its whole group.
        TransactionGuard tx(c);
        c.execute("INSERT INTO n (v) VALUES (3)");
        {
            Connection::Savepoint sp(c);
            c.execute("INSERT INTO n (v) VALUES (4)");
            QVERIFY_THROWS_EXCEPTION(DbError, c.execute("INSERT INTO n (v) VALUES (1)"));
        }
        {
            Connection::Savepoint sp(c);
            c.execute("INSERT INTO n (v) VALUES (5)");
            sp.release();
        }
        tx.commit();
    }
    QCOMPARE(c.selectValue("SELECT sum(v) FROM n").toInt(), 1 + 2 + 3 + 5);
    {
        // Any other failure spoils the transaction on both engines: the commit says so and
        // nothing of it stays.
        TransactionGuard tx(c);
        c.execute("INSERT INTO n (v) VALUES (6)");
        QVERIFY_THROWS_EXCEPTION(DbError, c.select("SELECT nothing FROM n"));
        try {
            tx.commit();
            QFAIL("a spoiled transaction was committed");
        } catch (const DbError& e) {
            QCOMPARE(e.message(), QString("A transação foi desfeita porque uma operação foi "
                                          "recusada; nada foi gravado."));
        }
    }
    QVERIFY(!c.inTransaction());
    QCOMPARE(count(), 4);
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
    QTest::addColumn<QString>("text");
    struct Case {
        const char* tag;
        const char* sql;
        DbError::Kind kind;
        const char* text;
    };
    const char* const fk =
        "Operação recusada: o registro está ligado a outro registro do banco de dados.";
    const Case cases[] = {
        {"delete of a referenced row", "DELETE FROM p WHERE id = 1", DbError::Kind::ForeignKey, fk},
        {"reference to no row", "INSERT INTO c (p) VALUES (9)", DbError::Kind::ForeignKey, fk},
        {"duplicate", "INSERT INTO p (id, nome) VALUES (2, 'a')", DbError::Kind::Unique,
         "Registro já existente no banco de dados."},
        {"duplicate key", "INSERT INTO p (id, nome) VALUES (1, 'z')", DbError::Kind::Unique,
         "Registro já existente no banco de dados."},
        {"not null", "INSERT INTO p (id) VALUES (3)", DbError::Kind::Constraint,
         "Operação recusada: um valor está faltando ou fora do permitido. ("},
        {"syntax", "DELET FROM p", DbError::Kind::Other, "O banco de dados recusou a operação. ("},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.sql) << int(c.kind) << QString::fromUtf8(c.text);
}

void TestConnection::refusalKinds() {
    // The screens tell a refused delete and a duplicate by the kind, not by the text, which
    // a server may give in another language; the operator reads Portuguese.
    QFETCH(Engine, engine);
    QFETCH(QString, sql);
    QFETCH(int, kind);
    QFETCH(QString, text);
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
        QCOMPARE(e.message().left(text.size()), text);
        QVERIFY(!e.engineText().isEmpty());
    }
}

void TestConnection::anotherCopyHoldsTheLock_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("held"); // what the other copy holds
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e);
        QTest::newRow(qPrintable(n + ": write transaction")) << e << "write";
        if (e == Engine::PostgreSQL) {
            QTest::newRow(qPrintable(n + ": row lock")) << e << "row";
            QTest::newRow(qPrintable(n + ": numbering")) << e << "numbering";
        }
    }
}

void TestConnection::anotherCopyHoldsTheLock() {
    // Another copy holds the database: this one waits its time, then the operator reads that the
    // database is busy; nothing is lost and the same action goes through once the other is done.
    QFETCH(Engine, engine);
    QFETCH(QString, held);
    TestDb db(engine, false);
    db.conn().execute("CREATE TABLE n (id INTEGER PRIMARY KEY, v INTEGER)");
    db.conn().execute("INSERT INTO n (id, v) VALUES (1, 0)");
    Connection other("other");
    other.setConnectionString(db.target());
    other.open();
    other.beginTransaction();
    if (held == "numbering")
        other.lockNumbering("lote_cheque.num_lote");
    else
        other.execute("UPDATE n SET v = 1 WHERE id = 1");

    Connection& c = db.conn();
    constexpr int Wait = 300;
    c.setBusyTimeout(Wait);
    // Readers are never held up.
    QCOMPARE(c.selectValue("SELECT v FROM n WHERE id = 1").toInt(), 0);
    const auto action = [&] {
        TransactionGuard tx(c);
        if (held == "numbering")
            c.lockNumbering("lote_cheque.num_lote");
        c.execute("UPDATE n SET v = 2 WHERE id = 1");
        c.execute("INSERT INTO n (id, v) VALUES (2, 2)");
        tx.commit();
    };
    QElapsedTimer waited;
    waited.start();
    try {
        action();
        QFAIL("went through while the other copy held the lock");
    } catch (const DbError& e) {
        QCOMPARE(int(e.kind()), int(DbError::Kind::Busy));
        QCOMPARE(e.message(), Busy);
    }
    QVERIFY2(waited.elapsed() >= Wait - 20 && waited.elapsed() < 5000,
             qPrintable(QString::number(waited.elapsed())));
    QVERIFY(!c.inTransaction());
    QCOMPARE(c.selectValue("SELECT count(*) FROM n").toInt(), 1);
    other.commit();
    action(); // the same action, repeated
    QCOMPARE(c.selectValue("SELECT sum(v) FROM n").toInt(), 4);
}

void TestConnection::undoAtRollback_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("end");    // how the transaction ends
    QTest::addColumn<QString>("undone"); // the undos run, in order
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e);
        QTest::newRow(qPrintable(n + ": commit")) << e << "commit"
                                                  << "";
        QTest::newRow(qPrintable(n + ": rollback")) << e << "rollback"
                                                    << "2,1";
        QTest::newRow(qPrintable(n + ": guard left")) << e << "guard"
                                                      << "2,1";
        QTest::newRow(qPrintable(n + ": commit refused")) << e << "refused"
                                                          << "2,1";
        QTest::newRow(qPrintable(n + ": connection closed")) << e << "close"
                                                             << "2,1";
    }
}

// What a transaction changed in memory is put back, latest first, exactly when its work is lost.
void TestConnection::undoAtRollback() {
    QFETCH(Engine, engine);
    QFETCH(QString, end);
    QFETCH(QString, undone);
    TestDb db(engine, false);
    Connection& c = db.conn();
    c.execute("CREATE TABLE p (id INTEGER PRIMARY KEY)");
    c.execute("CREATE TABLE f (p_id INTEGER REFERENCES p (id) DEFERRABLE INITIALLY DEFERRED)");
    QStringList ran;
    c.onRollback([&] { ran << "outside"; }); // no transaction: nothing to undo
    try {
        TransactionGuard tx(c);
        c.onRollback([&] { ran << "1"; });
        c.onRollback([&] {
            ran << "2";
            throw DbError("a screen that fails while repainting");
        });
        if (end == "commit")
            tx.commit();
        else if (end == "rollback")
            c.rollback();
        else if (end == "refused") {
            c.execute("INSERT INTO f (p_id) VALUES (7)");
            tx.commit();
        } else if (end == "close")
            c.close();
    } catch (const DbError&) {
        QVERIFY(end == "refused");
    }
    QCOMPARE(ran.join(','), undone);
    // A later transaction that rolls back undoes only its own changes.
    if (!c.isOpen())
        c.open();
    ran.clear();
    c.beginTransaction();
    c.rollback();
    QCOMPARE(ran, QStringList());
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
