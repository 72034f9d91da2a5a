#pragma once

#include "platform/data/Connection.h"

#include <QList>
#include <QVariantList>

// Statements over a list of cheque codes, bound as parameters in groups small enough for both
// engines' limits on parameters.
namespace Codigos {

inline constexpr int PorComando = 500;

// Runs `sql` once per group of codes: its "%1" becomes the group's placeholders, bound after
// `antes` (the values of the "?" that come before the list). Returns the rows touched in all.
int executa(const Connection& cnx, const QString& sql, const QVariantList& antes,
            const QList<int>& codigos);
// The same for a select: the rows of all the groups, group after group.
QList<QVariantList> seleciona(const Connection& cnx, const QString& sql, const QVariantList& antes,
                              const QList<int>& codigos);

} // namespace Codigos
