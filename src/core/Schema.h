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

// The version of the schema this program works with. Every change of the schema raises it and
// adds the step that brings a database of the version before up to it (atualiza).
inline constexpr int Versao = 3;

// The tables, in an order in which each one's parents come first.
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
// (so that creating and filling a database can be all or nothing), otherwise its own; records
// the version and seeds the return reasons.
void create(Connection& c);
// The schema version of an open database: 0 when it holds none of the tables, 1 for a
// database made before the version was recorded.
int versao(const Connection& c);
// Brings a database of an earlier version up to Versao in one transaction; gives one line per
// step done, none when the database was already current. Raises DbError for a database
// without the schema or of a later version; then nothing changed.
QStringList atualiza(Connection& c);
// Raises DbError when the database is not at this program's version (telling to run capdb
// atualiza on an older one), or naming what is missing when a table or column of the schema,
// or on PostgreSQL the collation of names, is not there.
void verify(const Connection& c);

} // namespace Schema
