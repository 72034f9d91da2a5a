#pragma once

#include "platform/data/Connection.h"

#include <QHash>
#include <QPair>

struct sqlite3;
struct sqlite3_stmt;

// Runs a statement straight through SQLite's C API on the handle of an open Qt connection.
// Qt's own row fetching costs about three times what the engine does; the large lists (all the
// lots of the capture screen) open noticeably faster this way. Values come back as Qt's SQLite
// driver gives them: INTEGER as qlonglong, REAL as double, TEXT as QString, NULL as null.
namespace SqliteDirect {

using Binding = Connection::Binding;

sqlite3* handle(const QSqlDatabase& db);

// Prepared statements kept by their text, so that the statements a screen runs again and
// again (the cheques of a lot, its totals) are compiled once. Must be cleared before the
// database is closed.
class Cache {
public:
    Cache() = default;
    ~Cache() { clear(); }
    Cache(const Cache&) = delete;
    Cache& operator=(const Cache&) = delete;
    void clear();
    sqlite3_stmt* find(const QByteArray& sql) const { return m_stmts.value(sql); }
    void keep(const QByteArray& sql, sqlite3_stmt* st);

private:
    static constexpr int Limit = 64;
    QHash<QByteArray, sqlite3_stmt*> m_stmts;
};

// Raises DbError with SQLite's message.
ResultSet run(sqlite3* db, Cache* cache, const QString& sql, const QList<Binding>& bindings,
              bool wantRows, int* affected);

} // namespace SqliteDirect
