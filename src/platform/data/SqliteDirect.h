#pragma once

#include "platform/data/Connection.h"

#include <QPair>

struct sqlite3;

// Runs a statement straight through SQLite's C API on the handle of an open Qt connection.
// Qt's own row fetching costs about three times what the engine does; the large lists (all the
// lots of the capture screen) open noticeably faster this way. Values come back as Qt's SQLite
// driver gives them: INTEGER as qlonglong, REAL as double, TEXT as QString, NULL as null.
namespace SqliteDirect {

using Binding = Connection::Binding;

sqlite3* handle(const QSqlDatabase& db);
// Raises DbError with SQLite's message.
ResultSet run(sqlite3* db, const QString& sql, const QList<Binding>& bindings, bool wantRows,
              int* affected);

} // namespace SqliteDirect
