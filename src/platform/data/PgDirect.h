#pragma once

#include "platform/data/Connection.h"

struct pg_conn;

// Runs a statement straight through libpq on the handle of an open Qt connection. Qt's own
// PostgreSQL fetching parses every timestamp into a QDateTime as the rows arrive, which makes
// the large lists (all the lots of the capture screen) several times slower than the server.
// Values come back by their type: integers as qlonglong, booleans as bool, floating point as
// double, and everything else, timestamps included, as the server's text (timestamps read
// "YYYY-MM-DD HH:MM:SS", the form SQLite keeps), NULL as null.
namespace PgDirect {

pg_conn* handle(const QSqlDatabase& db);
// "?" and ":name" placeholders become $1, $2...; text in quotes is left alone.
QString numbered(const QString& sql, const QList<Connection::Binding>& bindings,
                 QList<QVariant>* values);
// Raises DbError with the server's message.
ResultSet run(pg_conn* db, const QString& sql, const QList<Connection::Binding>& bindings,
              bool wantRows, int* affected);

} // namespace PgDirect
