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

} // namespace Dialect
