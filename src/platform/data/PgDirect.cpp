#include "platform/data/PgDirect.h"

#include <QSet>
#include <QUrl>
#include <libpq-fe.h>

namespace PgDirect {

namespace {

// Type codes of the server's catalogue that come back as numbers or booleans.
constexpr Oid BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, Float4Oid = 700,
              Float8Oid = 701, NumericOid = 1700;

struct Result {
    PGresult* r = nullptr;
    ~Result() { PQclear(r); }
};

QVariant column(const PGresult* r, int row, int col) {
    if (PQgetisnull(r, row, col))
        return QVariant();
    const char* v = PQgetvalue(r, row, col);
    switch (PQftype(r, col)) {
    case BoolOid:
        return QVariant(v[0] == 't');
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
        return QVariant(qlonglong(strtoll(v, nullptr, 10)));
    case Float4Oid:
    case Float8Oid:
        return QVariant(QByteArray(v).toDouble());
    case NumericOid: {
        // sum() of a bigint column is numeric: a whole one is read exactly, and one beyond what
        // the program holds is an error, never a wrong amount.
        const QByteArray text(v);
        if (text.contains('.') || text.contains('N'))
            return QVariant(QString::fromLatin1(text));
        bool ok = false;
        const qlonglong n = text.toLongLong(&ok);
        if (!ok)
            throw DbError(QStringLiteral("O valor %1 excede o maior valor que o programa "
                                         "representa.")
                              .arg(QString::fromLatin1(text)));
        return QVariant(n);
    }
    default:
        return QVariant(QString::fromUtf8(v, PQgetlength(r, row, col)));
    }
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

DbError::Kind kindOf(const QByteArray& state) {
    using K = DbError::Kind;
    if (state == "23505")
        return K::Unique;
    if (state == "23503")
        return K::ForeignKey;
    if (state.startsWith("23") || state == "22001" || state == "22003")
        return K::Constraint;
    // lock_timeout ran out, a deadlock, a serialization failure, a cancelled statement.
    if (state == "55P03" || state == "40P01" || state == "40001" || state == "57014")
        return K::Busy;
    if (state == "25006")
        return K::ReadOnly;
    if (state == "53100")
        return K::DiskFull;
    // The connection broke, or the server is shutting down or restarting.
    if (state.startsWith("08") || state.startsWith("57P"))
        return K::Lost;
    if (state.startsWith("28"))
        return K::Unreachable;
    return K::Other;
}

void ignoreNotice(void*, const char*) {}

// The server as the operator may read it: host, port and database, without user or password.
QString serverOf(const QUrl& url) {
    return QStringLiteral("Servidor: %1:%2%3").arg(url.host()).arg(url.port(5432)).arg(url.path());
}

} // namespace

QString numbered(const QString& sql, const QList<DbBinding>& bindings, QList<QVariant>* values) {
    QString out;
    out.reserve(sql.size() + 8);
    QStringList names; // the $n of each name, by position
    QSet<QString> namesUsed;
    qsizetype positional = 0;
    qsizetype positionalUsed = 0;
    qsizetype positionalGiven = 0;
    for (const DbBinding& b : bindings)
        if (b.first.isEmpty())
            ++positionalGiven;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('?')) {
            while (positional < bindings.size() && !bindings.at(positional).first.isEmpty())
                ++positional;
            if (positional >= bindings.size())
                throw DbError(QStringLiteral("A instrução tem mais parâmetros \"?\" do que os %1 "
                                             "valores informados.")
                                  .arg(positionalGiven));
            values->append(bindings.at(positional++).second);
            ++positionalUsed;
            out += QLatin1Char('$') + QString::number(values->size());
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() && sql.at(i + 1) == c) {
            out += QLatin1String("::"); // a cast
            ++i;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() && sql.at(i + 1).isLetter()) {
            qsizetype j = i + 1;
            while (j < sql.size() && isNameChar(sql.at(j)))
                ++j;
            const QString name = sql.mid(i, j - i);
            qsizetype n = names.indexOf(name);
            if (n < 0) {
                const DbBinding* found = nullptr;
                for (const DbBinding& b : bindings)
                    if (b.first == name)
                        found = &b;
                if (!found)
                    throw DbError(QStringLiteral("Parâmetro %1 sem valor.").arg(name));
                namesUsed.insert(name);
                values->append(found->second);
                names.resize(values->size());
                names[values->size() - 1] = name;
                n = values->size() - 1;
            }
            out += QLatin1Char('$') + QString::number(n + 1);
            i = j - 1;
        } else {
            out += c;
        }
    }
    for (const DbBinding& b : bindings)
        if (!b.first.isEmpty() && !namesUsed.contains(b.first))
            throw DbError(QStringLiteral("Parâmetro %1 não existe na instrução.").arg(b.first));
    if (positionalUsed != positionalGiven)
        throw DbError(QStringLiteral("A instrução tem %1 parâmetros \"?\" e recebeu %2 valores.")
                          .arg(positionalUsed)
                          .arg(positionalGiven));
    return out;
}

Session::Session(const QString& uri, int busyTimeoutMs) {
    const QUrl url(uri.trimmed());
    if (!url.isValid() || url.host().isEmpty())
        throw DbError(QStringLiteral("Endereço PostgreSQL inválido: %1").arg(uri.trimmed()));
    const QByteArray dbname = uri.trimmed().toUtf8();
    const char* keys[] = {"dbname", "connect_timeout", "client_encoding", "application_name",
                          nullptr};
    const char* values[] = {dbname.constData(), "5", "UTF8", "capcheque", nullptr};
    m_conn = PQconnectdbParams(keys, values, 1);
    if (!m_conn)
        throw DbError::fromEngine(DbError::Kind::Unreachable, QString(), serverOf(url));
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        m_conn = nullptr;
        throw DbError::fromEngine(DbError::Kind::Unreachable, why, serverOf(url));
    }
    PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
    try {
        run(QStringLiteral("SET client_min_messages TO warning"), {}, false, nullptr);
        run(QStringLiteral("SET DateStyle TO ISO"), {}, false, nullptr);
        setBusyTimeout(busyTimeoutMs);
        // A standby or a read-only database is refused at login, not at the first save.
        const ResultSet ro = run(QStringLiteral("SHOW transaction_read_only"), {}, true, nullptr);
        if (ro.rows.value(0).value(0).toString() == QLatin1String("on"))
            throw DbError::fromEngine(DbError::Kind::ReadOnly, QString(), serverOf(url));
    } catch (...) {
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
}

Session::~Session() {
    if (m_conn)
        PQfinish(m_conn);
}

bool Session::lost() const {
    return PQstatus(m_conn) == CONNECTION_BAD;
}

bool Session::transactionFailed() const {
    return PQtransactionStatus(m_conn) != PQTRANS_INTRANS;
}

void Session::setBusyTimeout(int ms) {
    // No statement waits forever on another session's lock.
    run(QStringLiteral("SET lock_timeout = %1").arg(qMax(1, ms)), {}, false, nullptr);
}

ResultSet Session::run(const QString& sql, const QList<DbBinding>& bindings, bool wantRows,
                       int* affected) {
    QList<QVariant> values;
    const QByteArray text = numbered(sql, bindings, &values).toUtf8();
    // Every value goes as text; the server takes its type from where it stands.
    QList<QByteArray> texts;
    QList<const char*> pointers;
    for (const QVariant& v : std::as_const(values)) {
        if (!v.isValid() || v.isNull()) {
            texts << QByteArray();
            pointers << nullptr;
            continue;
        }
        if (v.metaType().id() == QMetaType::Bool)
            texts << QByteArray(v.toBool() ? "true" : "false");
        else
            texts << v.toString().toUtf8();
        pointers << texts.last().constData();
    }
    Result res;
    // Without values several statements may go in one text.
    res.r = values.isEmpty() ? PQexec(m_conn, text.constData())
                             : PQexecParams(m_conn, text.constData(), int(values.size()), nullptr,
                                            pointers.constData(), nullptr, nullptr, 0);
    const ExecStatusType st = PQresultStatus(res.r);
    if (!res.r || (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK)) {
        const QByteArray state(res.r ? PQresultErrorField(res.r, PG_DIAG_SQLSTATE) : nullptr);
        const char* primary = res.r ? PQresultErrorField(res.r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        const QString message = QString::fromUtf8(primary ? primary : PQerrorMessage(m_conn));
        const DbError::Kind kind =
            PQstatus(m_conn) == CONNECTION_BAD ? DbError::Kind::Lost : kindOf(state);
        throw DbError::fromEngine(kind, message);
    }
    // A COMMIT of a transaction the server had already given up ends it as a ROLLBACK.
    if (qstrcmp(PQcmdStatus(res.r), "ROLLBACK") == 0 &&
        sql.trimmed().compare(QLatin1String("COMMIT"), Qt::CaseInsensitive) == 0)
        throw DbError(QStringLiteral("A transação foi desfeita pelo banco de dados; nada foi "
                                     "gravado."));
    ResultSet rs;
    if (wantRows && st == PGRES_TUPLES_OK) {
        const int cols = PQnfields(res.r);
        const int rows = PQntuples(res.r);
        for (int c = 0; c < cols; ++c)
            rs.columns << QString::fromUtf8(PQfname(res.r, c));
        rs.rows.reserve(rows);
        for (int r = 0; r < rows; ++r) {
            QVariantList row;
            row.reserve(cols);
            for (int c = 0; c < cols; ++c)
                row << column(res.r, r, c);
            rs.rows.append(std::move(row));
        }
    }
    if (affected)
        *affected = QByteArray(PQcmdTuples(res.r)).toInt();
    return rs;
}

} // namespace PgDirect
