#pragma once

#include "platform/data/Connection.h"

#include <QStringList>

// The database's tables, as DDL for each engine. The program itself never runs it: only capdb
// and the tests create databases.
namespace Schema {

// The eight tables, in an order in which each one's parents come first.
QStringList tableNames();
// CREATE TABLE / CREATE INDEX statements for the engine, in order.
QStringList ddl(Engine engine);
// Runs ddl() on an open, empty database inside one transaction.
void create(Connection& c);
// Raises DbError naming what is missing when a table or column of the schema is not there.
void verify(const Connection& c);

} // namespace Schema
