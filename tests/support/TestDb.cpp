#include "TestDb.h"

#include "core/Schema.h"

#include <QAtomicInt>
#include <QFile>
#include <QTest>
#include <QUrl>
#include <QUuid>

namespace {
QAtomicInt counter;

QString serverUri() {
    return qEnvironmentVariable("CAP_TEST_PG");
}

void adminExec(const QString& sql) {
    Connection admin(QStringLiteral("cap_test_admin"));
    admin.setConnectionString(serverUri());
    admin.open();
    admin.execute(sql);
}
} // namespace

QString TestDb::pgUri(const QString& database) {
    QUrl url(serverUri());
    url.setPath(QLatin1Char('/') + database);
    return url.toString();
}

TestDb::TestDb(Engine engine, bool withSchema) : m_engine(engine) {
    const QString tag = QStringLiteral("t%1").arg(counter.fetchAndAddRelaxed(1));
    if (engine == Engine::SQLite) {
        m_dir = std::make_unique<QTemporaryDir>();
        m_target = m_dir->filePath(QStringLiteral("cap.db"));
        // An empty file is an empty SQLite database; the program itself never creates one.
        QFile f(m_target);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(m_target));
        f.close();
    } else {
        m_pgName =
            QStringLiteral("cap_test_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
        adminExec(QStringLiteral("CREATE DATABASE %1").arg(m_pgName));
        m_target = pgUri(m_pgName);
    }
    m_conn = std::make_unique<Connection>(QStringLiteral("cap_test_") + tag);
    m_conn->setConnectionString(m_target);
    m_conn->open();
    if (withSchema)
        Schema::create(*m_conn);
}

TestDb::~TestDb() {
    m_conn.reset();
    if (!m_pgName.isEmpty()) {
        try {
            adminExec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgName));
        } catch (...) {
        }
    }
}

void TestDb::createSchemaVersion1() {
    QFile f(QStringLiteral(CAP_TEST_FIXTURES "/esquema_v1_%1.sql")
                .arg(m_engine == Engine::PostgreSQL ? QStringLiteral("postgresql")
                                                    : QStringLiteral("sqlite")));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(f.fileName()));
    for (const QString& s : QString::fromUtf8(f.readAll()).split(QStringLiteral(";\n")))
        if (!s.trimmed().isEmpty())
            m_conn->execute(s);
}

QList<Engine> TestDb::engines() {
    QList<Engine> e{Engine::SQLite};
    if (!serverUri().isEmpty())
        e << Engine::PostgreSQL;
    return e;
}

QString TestDb::engineName(Engine e) {
    return e == Engine::PostgreSQL ? QStringLiteral("pg") : QStringLiteral("sqlite");
}

void TestDb::addEngineRows() {
    QTest::addColumn<Engine>("engine");
    for (Engine e : engines())
        QTest::newRow(qPrintable(engineName(e))) << e;
}
