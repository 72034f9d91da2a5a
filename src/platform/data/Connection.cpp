#include "platform/data/Connection.h"

#include "platform/data/DateCodec.h"
#include "platform/data/Money.h"
#include "platform/data/PgDirect.h"
#include "platform/data/SqliteDirect.h"

#include <QFileInfo>
#include <utility>

namespace {

const QString NotOpen = QStringLiteral("A conexão com o banco de dados não está aberta.");

// A stable number for a name, the same in every copy of the program (qHash is seeded per run).
qint64 lockKey(const QString& name) {
    quint64 h = 14695981039346656037ull; // FNV-1a
    for (const char c : name.toUtf8()) {
        h ^= quint8(c);
        h *= 1099511628211ull;
    }
    return qint64(h >> 1);
}

// Whether a statement inserts, updates or deletes rows: the ones the database's rules refuse.
bool changesRows(const QString& sql) {
    const QString s = sql.trimmed().left(7).toLower();
    return s.startsWith(QLatin1String("insert")) || s.startsWith(QLatin1String("update")) ||
           s.startsWith(QLatin1String("delete"));
}

// Stands for a session that broke and could not be opened again: every use tries again.
class LostSession : public EngineSession {
public:
    ResultSet run(const QString&, const QList<DbBinding>&, bool, int*) override {
        throw DbError::fromEngine(DbError::Kind::Lost, QString());
    }
    void setBusyTimeout(int) override {}
    bool transactionFailed() const override { return true; }
    bool lost() const override { return true; }
};

} // namespace

Connection::Connection(const QString& name) : m_name(name) {}

Connection::~Connection() {
    close();
}

Engine Connection::engineOf(const QString& target) {
    const QString t = target.trimmed();
    if (t.isEmpty())
        return Engine::None;
    if (t.startsWith(QLatin1String("postgresql://")) || t.startsWith(QLatin1String("postgres://")))
        return Engine::PostgreSQL;
    return Engine::SQLite;
}

void Connection::close() {
    m_session.reset();
    // A transaction still open went with the session.
    const bool lost = std::exchange(m_inTransaction, false);
    if (lost)
        runUndos();
    m_spoiled = false;
    m_engine = Engine::None;
}

std::unique_ptr<EngineSession> Connection::newSession() const {
    switch (engineOf(m_target)) {
    case Engine::None:
        break;
    case Engine::SQLite:
        return std::make_unique<SqliteDirect::Session>(m_target.trimmed(), false, m_busyTimeoutMs);
    case Engine::PostgreSQL:
        return std::make_unique<PgDirect::Session>(m_target.trimmed(), m_busyTimeoutMs);
    }
    throw DbError(QStringLiteral("Nenhum banco de dados informado."));
}

void Connection::open() {
    close();
    m_session = newSession();
    m_engine = engineOf(m_target);
}

void Connection::reconnect() const {
    // The broken session goes first; when the database cannot be reached yet, the connection
    // stays lost and the next statement tries again.
    m_session.reset();
    try {
        m_session = newSession();
    } catch (const DbError& e) {
        m_session = std::make_unique<LostSession>();
        throw;
    }
}

void Connection::createSqliteFile(const QString& path) {
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("O arquivo %1 já existe.").arg(path));
    try {
        SqliteDirect::Session created(path, true, 5000);
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                          .arg(path, DbError::fromEngine(e.kind(), QString()).message()),
                      e.kind());
    }
}

void Connection::setBusyTimeout(int ms) {
    m_busyTimeoutMs = ms;
    if (m_session)
        m_session->setBusyTimeout(ms);
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
    findSession();
    // A refused statement poisons a PostgreSQL transaction, where SQLite undoes just that
    // statement. The statements the database's rules may refuse (a duplicate, a referenced
    // row) run under a savepoint, so both engines go on after such a refusal; the others do
    // not pay for one.
    const bool guard =
        m_engine == Engine::PostgreSQL && m_inTransaction && m_savepoints == 0 && changesRows(sql);
    if (guard)
        command(QStringLiteral("SAVEPOINT cap_stmt"));
    ResultSet rs;
    try {
        rs = m_session->run(sql, params, wantRows, affected);
    } catch (const DbError& e) {
        if (e.kind() == DbError::Kind::Lost && !m_inTransaction && !changesRows(sql)) {
            // A read (or the BEGIN of a transaction) found the connection broken, by a
            // restarted server say: it changed nothing, so it is tried once on a new one.
            reconnect();
            return m_session->run(sql, params, wantRows, affected);
        }
        if (guard) {
            try {
                command(QStringLiteral("ROLLBACK TO SAVEPOINT cap_stmt"));
                command(QStringLiteral("RELEASE SAVEPOINT cap_stmt"));
            } catch (const DbError&) {
            }
        }
        // Any other failure spoils the transaction on both engines alike: commit() will roll
        // it back and say so.
        if (m_inTransaction && m_savepoints == 0 &&
            (m_session->transactionFailed() || !changesRows(sql)))
            m_spoiled = true;
        throw;
    }
    if (guard)
        command(QStringLiteral("RELEASE SAVEPOINT cap_stmt"));
    return rs;
}

void Connection::findSession() const {
    if (!m_session)
        throw DbError(NotOpen);
    if (m_session->lost()) {
        // A transaction does not survive its connection: it is over, and only a rollback ends
        // it on our side. Outside one, the next statement simply finds the database again.
        if (m_inTransaction) {
            m_spoiled = true;
            throw DbError::fromEngine(DbError::Kind::Lost, QString());
        }
        reconnect();
    }
}

void Connection::command(const QString& sql) const {
    findSession();
    m_session->run(sql, {}, false, nullptr);
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

QStringList Connection::tableColumns(const QString& table) const {
    const ResultSet rs =
        m_engine == Engine::PostgreSQL
            ? select(QStringLiteral("select column_name from information_schema.columns "
                                    "where table_schema = current_schema() and table_name = ? "
                                    "order by ordinal_position"),
                     {table.toLower()})
            : select(QStringLiteral("select name from pragma_table_info(?)"), {table});
    QStringList out;
    for (const QVariantList& r : rs.rows)
        out << r.value(0).toString().toLower();
    return out;
}

void Connection::beginTransaction() {
    if (m_inTransaction)
        throw DbError(QStringLiteral("Já existe uma transação em andamento."));
    command(m_engine == Engine::SQLite ? QStringLiteral("BEGIN IMMEDIATE")
                                       : QStringLiteral("BEGIN"));
    m_inTransaction = true;
    m_spoiled = false;
    ++m_transactionSerial;
    m_undos.clear();
}

void Connection::commit() {
    if (!m_inTransaction)
        throw DbError(QStringLiteral("Nenhuma transação em andamento."));
    if (m_spoiled) {
        rollback();
        throw DbError(QStringLiteral("A transação foi desfeita porque uma operação foi recusada; "
                                     "nada foi gravado."));
    }
    try {
        command(QStringLiteral("COMMIT"));
    } catch (const DbError&) {
        // Whatever the engine kept of it, the transaction is over and nothing of it stays.
        try {
            rollback();
        } catch (const DbError&) {
        }
        m_inTransaction = false;
        throw;
    }
    m_inTransaction = false;
    m_undos.clear();
}

void Connection::onRollback(std::function<void()> undo) {
    if (m_inTransaction)
        m_undos << std::move(undo);
}

void Connection::runUndos() {
    const QList<std::function<void()>> undos = std::exchange(m_undos, {});
    for (auto it = undos.crbegin(); it != undos.crend(); ++it) {
        // The database has already dropped the work: every cursor is put back, whatever a
        // screen repainting one of them may raise.
        try {
            (*it)();
        } catch (...) {
        }
    }
}

void Connection::rollback() {
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    m_spoiled = false;
    // Whether the ROLLBACK statement itself succeeds or not, the transaction is over and none
    // of its work stays: the memory follows.
    struct Undo {
        Connection& c;
        ~Undo() { c.runUndos(); }
    } undo{*this};
    // A transaction whose connection broke is over: the server rolled it back; a file that
    // went away has it undone by closing its handle. The next statement opens a new session.
    if (m_session && m_session->lost()) {
        m_session = std::make_unique<LostSession>();
        return;
    }
    if (m_engine == Engine::SQLite) {
        // SQLite may already have rolled back by itself (a full disk, an I/O error).
        try {
            command(QStringLiteral("ROLLBACK"));
        } catch (const DbError& e) {
            if (!e.engineText().contains(QLatin1String("no transaction is active")))
                throw;
        }
        return;
    }
    command(QStringLiteral("ROLLBACK"));
}

Connection::Savepoint::Savepoint(Connection& c) : m_c(c) {
    if (!m_c.m_inTransaction)
        return;
    m_name = QStringLiteral("cap_sp%1").arg(++m_c.m_savepointSerial);
    m_c.command(QStringLiteral("SAVEPOINT ") + m_name);
    m_active = true;
    ++m_c.m_savepoints;
}

Connection::Savepoint::~Savepoint() {
    if (!m_active)
        return;
    --m_c.m_savepoints;
    if (!m_c.m_inTransaction)
        return; // the transaction ended first, and took the savepoint with it
    try {
        m_c.command(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_name);
        m_c.command(QStringLiteral("RELEASE SAVEPOINT ") + m_name);
    } catch (const DbError&) {
        m_c.m_spoiled = true;
    }
}

void Connection::Savepoint::release() {
    if (!m_active)
        return;
    m_active = false;
    --m_c.m_savepoints;
    m_c.run(QStringLiteral("RELEASE SAVEPOINT ") + m_name, {}, false, nullptr);
}

void Connection::lockNumbering(const QString& name) {
    if (!m_inTransaction)
        throw DbError(QStringLiteral("A numeração %1 precisa de uma transação.").arg(name));
    // SQLite's BEGIN IMMEDIATE already holds the one write lock of the file.
    if (m_engine == Engine::PostgreSQL)
        run(QStringLiteral("select pg_advisory_xact_lock(?)"), {Binding(QString(), lockKey(name))},
            false, nullptr);
}
