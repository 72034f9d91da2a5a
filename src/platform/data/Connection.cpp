#include "platform/data/Connection.h"

#include "platform/data/DateCodec.h"
#include "platform/data/Money.h"
#include "platform/data/PgDirect.h"
#include "platform/data/SqliteDirect.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

namespace {
constexpr int BusyTimeoutMs = 5000;
constexpr auto Savepoint = "cap_stmt";
} // namespace

Connection::Connection(const QString& name) : m_name(name) {}

Connection::~Connection() {
    close();
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

Engine Connection::engineOf(const QString& target) {
    const QString t = target.trimmed();
    if (t.isEmpty())
        return Engine::None;
    if (t.startsWith(QLatin1String("postgresql://")) || t.startsWith(QLatin1String("postgres://")))
        return Engine::PostgreSQL;
    return Engine::SQLite;
}

QString Connection::errorText(const QSqlError& e) {
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    if (t.isEmpty())
        t = e.text().trimmed();
    return t;
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(m_name, false);
}

bool Connection::isOpen() const {
    return QSqlDatabase::contains(m_name) && database().isOpen();
}

void Connection::close() {
    // Kept statements go before the database closes, or SQLite would keep it open.
    m_cache.reset();
    if (QSqlDatabase::contains(m_name)) {
        QSqlDatabase db = database();
        if (db.isOpen())
            db.close();
    }
    m_inTransaction = false;
    m_engine = Engine::None;
}

void Connection::open() {
    close();
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
    switch (engineOf(m_target)) {
    case Engine::None:
        throw DbError(QStringLiteral("Nenhum banco de dados informado."));
    case Engine::SQLite:
        openSqlite();
        break;
    case Engine::PostgreSQL:
        openPostgres();
        break;
    }
}

void Connection::openSqlite() {
    const QString path = m_target.trimmed();
    const QFileInfo fi(path);
    // mode=rw: a wrong path is an error, never a new empty database.
    QUrl url = QUrl::fromLocalFile(fi.absoluteFilePath());
    url.setQuery(QStringLiteral("mode=rw"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open()) {
        const QString err = errorText(db.lastError());
        throw DbError(fi.exists() ? err : QStringLiteral("%1: %2").arg(err, path));
    }
    m_engine = Engine::SQLite;
    m_cache = std::make_unique<SqliteDirect::Cache>();
    try {
        // A file that is not a database fails here, not at the first screen.
        selectValue(QStringLiteral("select count(*) from sqlite_master"));
        rawExec(QStringLiteral("PRAGMA foreign_keys = ON"));
        if (selectValue(QStringLiteral("PRAGMA foreign_keys")).toInt() != 1)
            throw DbError(QStringLiteral("Chaves estrangeiras não suportadas pelo SQLite."));
        if (selectValue(QStringLiteral("PRAGMA busy_timeout")).toInt() != BusyTimeoutMs)
            throw DbError(QStringLiteral("Não foi possível ajustar a espera do SQLite."));
    } catch (...) {
        close();
        throw;
    }
}

void Connection::openPostgres() {
    const QUrl url(m_target.trimmed());
    if (!url.isValid() || url.host().isEmpty())
        throw DbError(QStringLiteral("Endereço PostgreSQL inválido: %1").arg(m_target.trimmed()));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    db.setHostName(url.host());
    db.setPort(url.port(5432));
    db.setUserName(url.userName());
    db.setPassword(url.password());
    QString dbName = url.path();
    if (dbName.startsWith(QLatin1Char('/')))
        dbName = dbName.mid(1);
    db.setDatabaseName(dbName);
    db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    if (!db.open())
        throw DbError(errorText(db.lastError()));
    m_engine = Engine::PostgreSQL;
    try {
        rawExec(QStringLiteral("SET client_min_messages TO warning"));
    } catch (...) {
        close();
        throw;
    }
}

QVariant Connection::bindValue(const QVariant& v) {
    if (!v.isValid())
        return QVariant(QMetaType::fromType<QString>());
    if (v.metaType() == QMetaType::fromType<Money>())
        return QVariant::fromValue<qlonglong>(v.value<Money>().units());
    switch (v.metaType().id()) {
    case QMetaType::QDateTime:
        return v.isNull() ? QVariant(QMetaType::fromType<QString>())
                          : QVariant(DateCodec::toSql(v.toDateTime()));
    case QMetaType::QDate:
        return v.isNull() ? QVariant(QMetaType::fromType<QString>())
                          : QVariant(DateCodec::toSql(v.toDate()));
    default:
        return v;
    }
}

ResultSet Connection::run(const QString& sql, const QList<Binding>& params, bool wantRows,
                          int* affected) const {
    if (!isOpen())
        throw DbError(QStringLiteral("A conexão com o banco de dados não está aberta."));
    if (m_engine == Engine::SQLite) {
        sqlite3* h = SqliteDirect::handle(database());
        if (!h)
            throw DbError(QStringLiteral("Conexão SQLite sem acesso ao banco de dados."));
        return SqliteDirect::run(h, m_cache.get(), sql, params, wantRows, affected);
    }
    pg_conn* pg = PgDirect::handle(database());
    if (!pg)
        throw DbError(QStringLiteral("Conexão PostgreSQL sem acesso ao servidor."));
    // In a PostgreSQL transaction a failed statement would poison the whole transaction;
    // a savepoint undoes just that statement, as SQLite does by itself.
    const bool guard = m_inTransaction;
    if (guard)
        rawExec(QStringLiteral("SAVEPOINT %1").arg(QLatin1String(Savepoint)));
    ResultSet rs;
    try {
        rs = PgDirect::run(pg, sql, params, wantRows, affected);
    } catch (const DbError&) {
        if (guard)
            rawExec(QStringLiteral("ROLLBACK TO SAVEPOINT %1").arg(QLatin1String(Savepoint)));
        throw;
    }
    if (guard)
        rawExec(QStringLiteral("RELEASE SAVEPOINT %1").arg(QLatin1String(Savepoint)));
    return rs;
}

namespace {
QList<Connection::Binding> positional(const QVariantList& params) {
    QList<Connection::Binding> out;
    out.reserve(params.size());
    for (const QVariant& p : params)
        out << Connection::Binding(QString(), Connection::bindValue(p));
    return out;
}
} // namespace

ResultSet Connection::select(const QString& sql, const QVariantList& params) const {
    return run(sql, positional(params), true, nullptr);
}

ResultSet Connection::select(const QString& sql, const QVariantMap& params) const {
    QList<Binding> named;
    for (auto it = params.begin(); it != params.end(); ++it)
        named << Binding(QLatin1Char(':') + it.key(), bindValue(it.value()));
    return run(sql, named, true, nullptr);
}

QVariant Connection::selectValue(const QString& sql, const QVariantList& params, int field) const {
    const ResultSet rs = select(sql, params);
    if (field < 0 || field >= rs.columns.size())
        throw DbError(QStringLiteral("Campo %1 não existe no resultado.").arg(field));
    if (rs.rows.isEmpty())
        return {};
    return rs.rows.first().at(field);
}

int Connection::execute(const QString& sql, const QVariantList& params) const {
    int affected = 0;
    run(sql, positional(params), false, &affected);
    return affected;
}

QVariant Connection::insertReturning(const QString& sql, const QVariantList& params) const {
    const ResultSet rs = select(sql, params);
    if (rs.rows.isEmpty() || rs.rows.first().isEmpty())
        throw DbError(QStringLiteral("O banco de dados não devolveu a chave do registro."));
    return rs.rows.first().first();
}

void Connection::rawExec(const QString& sql) const {
    QSqlQuery q(database());
    if (!q.exec(sql))
        throw DbError(errorText(q.lastError()));
    q.finish();
}

void Connection::beginTransaction() {
    if (m_inTransaction)
        throw DbError(QStringLiteral("Já existe uma transação em andamento."));
    if (!isOpen())
        throw DbError(QStringLiteral("A conexão com o banco de dados não está aberta."));
    rawExec(m_engine == Engine::SQLite ? QStringLiteral("BEGIN IMMEDIATE")
                                       : QStringLiteral("BEGIN"));
    m_inTransaction = true;
}

void Connection::commit() {
    if (!m_inTransaction)
        throw DbError(QStringLiteral("Nenhuma transação em andamento."));
    rawExec(QStringLiteral("COMMIT"));
    m_inTransaction = false;
}

void Connection::rollback() {
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    rawExec(QStringLiteral("ROLLBACK"));
}
