#pragma once

#include "platform/data/Connection.h"

#include <QDate>

// Demonstration data: members of both kinds with their movement codes, departments and
// employees, the national holidays, and lots in every state with their cheques. The same
// reference date always gives the same rows.
namespace DemoData {

// Inserts the data into an empty database with the schema, inside the caller's transaction
// when one is open. Every date lies on or before `today`.
void fill(Connection& c, const QDate& today);

} // namespace DemoData
