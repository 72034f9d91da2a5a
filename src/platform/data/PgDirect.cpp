#include "platform/data/PgDirect.h"

#include <QSqlDriver>
#include <libpq-fe.h>

namespace PgDirect {

namespace {

// Type codes of the server's catalogue that come back as numbers or booleans.
constexpr Oid BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, Float4Oid = 700,
              Float8Oid = 701;

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
    default:
        return QVariant(QString::fromUtf8(v, PQgetlength(r, row, col)));
    }
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

pg_conn* handle(const QSqlDatabase& db) {
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    // Qt names the type by its typedef or by the struct, depending on its version.
    if (!v.isValid() ||
        (qstrcmp(v.typeName(), "PGconn*") != 0 && qstrcmp(v.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<pg_conn* const*>(v.constData());
}

QString numbered(const QString& sql, const QList<Connection::Binding>& bindings,
                 QList<QVariant>* values) {
    QString out;
    out.reserve(sql.size() + 8);
    QStringList names; // the $n of each name, by position
    qsizetype positional = 0;
    auto nextPositional = [&]() -> QVariant {
        while (positional < bindings.size() && !bindings.at(positional).first.isEmpty())
            ++positional;
        return positional < bindings.size() ? bindings.at(positional++).second : QVariant();
    };
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('?')) {
            values->append(nextPositional());
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
                QVariant v;
                for (const Connection::Binding& b : bindings)
                    if (b.first == name)
                        v = b.second;
                values->append(v);
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
    return out;
}

ResultSet run(pg_conn* db, const QString& sql, const QList<Connection::Binding>& bindings,
              bool wantRows, int* affected) {
    QList<QVariant> values;
    const QByteArray text = (bindings.isEmpty() ? sql : numbered(sql, bindings, &values)).toUtf8();
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
    res.r = values.isEmpty() && bindings.isEmpty()
                ? PQexec(db, text.constData())
                : PQexecParams(db, text.constData(), int(values.size()), nullptr,
                               pointers.constData(), nullptr, nullptr, 0);
    const ExecStatusType st = PQresultStatus(res.r);
    if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK) {
        // SQLSTATE 23503: a foreign key; 23505: a unique constraint.
        const QByteArray state(PQresultErrorField(res.r, PG_DIAG_SQLSTATE));
        const DbError::Kind kind = state == "23503"   ? DbError::Kind::ForeignKey
                                   : state == "23505" ? DbError::Kind::Unique
                                                      : DbError::Kind::Other;
        throw DbError(QString::fromUtf8(PQerrorMessage(db)).trimmed(), kind);
    }
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
