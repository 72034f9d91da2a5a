#pragma once

#include "platform/data/Connection.h"
#include "platform/data/Dataset.h"

#include <QStringList>

// The database's tables, as DDL for each engine. The program itself never runs it: only capdb
// and the tests create databases.
//
// Storage: money columns are BIGINT holding ten-thousandths of a real; dates are
// "YYYY-MM-DD HH:MM:SS" text on SQLite and timestamp without time zone on PostgreSQL; booleans
// are 0/1 on SQLite and boolean on PostgreSQL; keys are identity columns. On SQLite, where the
// declared types are only affinities, CHECK constraints hold each column to the same values
// PostgreSQL's types admit (text width, date text form, whole-number money, 0/1 flags).
namespace Schema {

// The eight tables, in an order in which each one's parents come first.
QStringList tableNames();
// The columns of one of those tables, in table order ("select *" order); empty for another name.
QStringList columnNames(const QString& table);
// The most characters a text column holds; 0 for a column that is not text or not in the schema.
// Data modules and boxes take their limits from here.
int width(const QString& table, const QString& column);
// Defines a text field of a query over `table`, as wide as the column.
FieldDef& textField(Dataset& query, const QString& table, const QString& column,
                    const QString& label = {});
// A foreign key: `column` of `table` refers to `parentKey` of `parent`.
struct ForeignKey {
    QString table;
    QString column;
    QString parent;
    QString parentKey;
};
// Every foreign key of the schema, table by table in the schema's order.
QList<ForeignKey> foreignKeys();
// CREATE TABLE / CREATE INDEX statements for the engine, in order.
QStringList ddl(Engine engine);
// Runs ddl() on an open, empty database inside one transaction: the caller's when one is open
// (so that creating and filling a database can be all or nothing), otherwise its own.
void create(Connection& c);
// Raises DbError naming what is missing when a table or column of the schema, or on PostgreSQL
// the collation of names, is not there.
void verify(const Connection& c);

} // namespace Schema
