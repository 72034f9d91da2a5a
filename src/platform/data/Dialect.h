#pragma once

#include "platform/data/Connection.h"

// The few expressions that differ between the engines. Everything else is common SQL.
namespace Dialect {

// The whole number held in a text column.
QString castInteger(Engine e, const QString& expr);
// The date part of a stored date, comparable with the same applied to a bound date.
QString datePart(Engine e, const QString& expr);
// "dd/mm" of a stored date.
QString dayMonth(Engine e, const QString& expr);

// "?, ?, ?": the placeholders of a list of `n` bound values, as in "in (%1)".
QString placeholders(int n);

// The clause that ends a select of rows that the transaction is about to change: on PostgreSQL
// it locks them (and blocks inserts of rows referring to them) until the transaction ends; a
// SQLite write transaction holds the whole database already.
QString forUpdate(Engine e);
// The same for rows read to guard a write elsewhere: other copies may read them too, but
// none may change them until the transaction ends.
QString forShare(Engine e);

// A name column in the order a Brazilian reads names (case and accents ignored at first, then
// accents, then case), the same on both engines: "order by " + byName("nom_associado"). The
// collation is registered on every SQLite connection and created by the schema on PostgreSQL;
// the indexes of the name columns are built with it.
QString byName(const QString& column);
inline constexpr char NameCollation[] = "nome_br";

} // namespace Dialect
