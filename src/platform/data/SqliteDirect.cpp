#include "platform/data/SqliteDirect.h"

#include <QSqlDriver>
#include <cctype>
#include <sqlite3.h>

namespace SqliteDirect {

namespace {

// On every way out a kept statement is reset for its next use, any other finalized.
struct Statement {
    sqlite3_stmt* st = nullptr;
    bool kept = false;
    ~Statement() {
        if (kept) {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        } else {
            sqlite3_finalize(st);
        }
    }
};

bool onlyBlanks(const char* p, const char* end) {
    for (; p < end; ++p)
        if (!isspace(static_cast<unsigned char>(*p)) && *p != ';')
            return false;
    return true;
}

[[noreturn]] void fail(sqlite3* db) {
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    DbError::Kind kind = DbError::Kind::Other;
    switch (sqlite3_extended_errcode(db)) {
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        kind = DbError::Kind::ForeignKey;
        break;
    case SQLITE_CONSTRAINT_TRIGGER:
        // ON DELETE RESTRICT reports itself as a trigger; SQLite's messages are not translated.
        if (message.startsWith(QLatin1String("FOREIGN KEY")))
            kind = DbError::Kind::ForeignKey;
        break;
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        kind = DbError::Kind::Unique;
        break;
    default:
        break;
    }
    throw DbError(message, kind);
}

void bindOne(sqlite3* db, sqlite3_stmt* st, int index, const QVariant& v) {
    int rc;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(st, index);
    } else {
        switch (v.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(st, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(st, index, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob64(st, index, b.constData(), sqlite3_uint64(b.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text64(st, index, t.constData(), sqlite3_uint64(t.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        fail(db);
}

QVariant column(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                          sqlite3_column_bytes(st, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)),
                                   sqlite3_column_bytes(st, i)));
    default:
        return QVariant();
    }
}

} // namespace

sqlite3* handle(const QSqlDatabase& db) {
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

void Cache::clear() {
    for (sqlite3_stmt* st : std::as_const(m_stmts))
        sqlite3_finalize(st);
    m_stmts.clear();
}

void Cache::keep(const QByteArray& sql, sqlite3_stmt* st) {
    if (m_stmts.size() >= Limit)
        clear();
    m_stmts.insert(sql, st);
}

ResultSet run(sqlite3* db, Cache* cache, const QString& sql, const QList<Binding>& bindings,
              bool wantRows, int* affected) {
    const QByteArray text = sql.toUtf8();
    const char* tail = text.constData();
    const char* end = text.constData() + text.size();
    ResultSet rs;
    int changes = 0;
    // Several statements separated by ";" run one after the other.
    qsizetype positional = 0;
    while (tail < end) {
        Statement s;
        const bool whole = tail == text.constData();
        if (whole && cache && (s.st = cache->find(text))) {
            s.kept = true;
            tail = end;
        } else {
            if (sqlite3_prepare_v2(db, tail, int(end - tail), &s.st, &tail) != SQLITE_OK)
                fail(db);
            if (!s.st)
                break; // only blanks or a comment left
            // A text of one statement is kept for the next time.
            if (whole && cache && onlyBlanks(tail, end)) {
                cache->keep(text, s.st);
                s.kept = true;
            }
        }
        // "?" takes the next positional value; ":name" the value of that name.
        const int count = sqlite3_bind_parameter_count(s.st);
        for (int i = 1; i <= count; ++i) {
            const char* name = sqlite3_bind_parameter_name(s.st, i);
            const QVariant* value = nullptr;
            if (!name || name[0] == '?') {
                while (positional < bindings.size() && !bindings.at(positional).first.isEmpty())
                    ++positional;
                if (positional < bindings.size())
                    value = &bindings.at(positional++).second;
            } else {
                const QString wanted = QString::fromUtf8(name);
                for (const Binding& b : bindings)
                    if (b.first == wanted)
                        value = &b.second;
            }
            if (value)
                bindOne(db, s.st, i, *value);
        }
        const int n = sqlite3_column_count(s.st);
        const bool rows = wantRows && n > 0;
        if (rows && rs.columns.isEmpty())
            for (int i = 0; i < n; ++i)
                rs.columns << QString::fromUtf8(sqlite3_column_name(s.st, i));
        int rc;
        while ((rc = sqlite3_step(s.st)) == SQLITE_ROW) {
            if (!rows)
                continue;
            QVariantList row;
            row.reserve(n);
            for (int i = 0; i < n; ++i)
                row << column(s.st, i);
            rs.rows.append(std::move(row));
        }
        if (rc != SQLITE_DONE)
            fail(db);
        changes = sqlite3_changes(db);
    }
    if (affected)
        *affected = changes;
    return rs;
}

} // namespace SqliteDirect
