#pragma once

// The soak of the whole road: several copies of soak_worker on one database, and the check of
// what they reported against what the database and the files hold. The check reads the
// database with its own SQL and parses the files itself; it uses none of the program's rules.
#include "platform/data/Connection.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace Soak {

// Members with their bank fields, a movement code, a department and employees: what the
// salary screen needs. Plain SQL on an empty schema.
void prepare(Connection& c);

struct Run {
    QStringList problems; // copies that did not start or end normally
    QList<QJsonObject> ops;
    qint64 ms = 0;
};

// Starts `procs` copies of `worker` on `target`, each for `seconds` (and at most `maxOps`
// operations when above 0), writing in `folder`; waits for all and reads their logs.
Run run(const QString& worker, const QString& target, const QString& folder, int procs, int seconds,
        quint32 seed, int maxOps = 0);

struct Verdict {
    QStringList violations;
    QMap<QString, int> counts; // "op outcome" -> how many
    qint64 longestMs = 0;      // the longest any operation took
    int count(const QString& op, const QString& outcome) const {
        return counts.value(op + QLatin1Char(' ') + outcome);
    }
};

Verdict check(Connection& c, const QList<QJsonObject>& ops);

} // namespace Soak
