#pragma once

#include "platform/data/Connection.h"

#include <QList>
#include <QPair>

// The checks of "capdb check": the schema is complete and the rows follow the rules the
// screens keep (valid CMC-7 lines, the life of lots and cheques, taxpayer numbers).
namespace Consistency {

// Row counts, one per table, in the schema's order.
using Counts = QList<QPair<QString, int>>;

// Raises DbError with a one-line description of the first problem found.
void check(const Connection& c);
Counts counts(const Connection& c);
// "8 associado, 14 movimento, ..." for the summary line.
QString describe(const Counts& counts);

} // namespace Consistency
