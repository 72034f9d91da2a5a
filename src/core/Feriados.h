#pragma once

#include "platform/data/Connection.h"

#include <QDate>
#include <QList>
#include <QString>

// The national holidays a bank closes on: those of a fixed day and month, kept once for every
// year, and those that move with Easter, kept as one-off dates of their year.
namespace Feriados {

struct Feriado {
    QDate data;
    QString descricao;
    bool diaFixo = false;
};

// Easter Sunday of the Gregorian calendar (anonymous Gregorian algorithm).
QDate domingoDePascoa(int ano);

// The national holidays of `ano`, in date order.
QList<Feriado> nacionais(int ano);

// Adds to the holiday table the national holidays of `ano` that it lacks: a fixed one when no
// fixed holiday has its day and month, a moving one when its date is not a holiday yet. Runs in
// its own transaction, serialised with any other copy doing the same; gives how many it added.
int incluiAno(Connection& cnx, int ano);

// The text that reports what incluiAno added.
QString descreveInclusao(int incluidos);

} // namespace Feriados
