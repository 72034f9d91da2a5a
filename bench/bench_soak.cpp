// The soak of the whole road as a benchmark: several copies of the program (soak_worker) on one
// fresh database doing at random what operators do, then the check of what they were told.
// Prints, for each engine, the operations per second the copies sustained together and the
// longest any operation waited.
//
//   bench_soak [--db FILE] [--pg postgresql://user@host:port/database] [--procs 8]
//              [--seconds 60] [--seed N]
//
// SQLite always (FILE, default /tmp/capcheque-bench-soak.db, is made anew); PostgreSQL when
// --pg names a server, on a database of its own that is dropped at the end.
#include "Soak.h"
#include "core/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>
#include <QUuid>
#include <cstdio>

namespace {

QTextStream out(stdout);

int bench(const QString& engine, const QString& target, int procs, int seconds, quint32 seed) {
    {
        Connection c(QStringLiteral("bench_soak_setup"));
        c.setConnectionString(target);
        c.open();
        Schema::create(c);
        Soak::prepare(c);
    }
    QTemporaryDir folder;
    const Soak::Run run =
        Soak::run(QStringLiteral(SOAK_WORKER), target, folder.path(), procs, seconds, seed);
    Connection c(QStringLiteral("bench_soak_check"));
    c.setConnectionString(target);
    c.open();
    const Soak::Verdict v = Soak::check(c, run.ops);
    int ok = 0, busy = 0;
    for (const QJsonObject& o : run.ops) {
        ok += o.value(QLatin1String("outcome")).toString() == QLatin1String("ok");
        busy += o.value(QLatin1String("outcome")).toString() == QLatin1String("ocupado");
    }
    const double s = double(run.ms) / 1000.0;
    out << engine << ": " << procs << " cópias, " << QString::number(s, 'f', 1)
        << " s: " << run.ops.size() << " operações, " << QString::number(run.ops.size() / s, 'f', 1)
        << " op/s (" << QString::number(ok / s, 'f', 1) << " bem-sucedidas/s), " << busy
        << " recusas por banco ocupado, maior espera " << v.longestMs << " ms; "
        << v.violations.size() << " violações" << Qt::endl;
    for (const QString& p : run.problems)
        out << "  " << p << Qt::endl;
    for (const QString& x : v.violations.mid(0, 20))
        out << "  " << x << Qt::endl;
    return run.problems.isEmpty() && v.violations.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const auto opt = [&](const char* name, const QString& fallback) {
        const int i = int(a.indexOf(QLatin1String(name)));
        return i > 0 && i + 1 < a.size() ? a.at(i + 1) : fallback;
    };
    const QString file = opt("--db", QStringLiteral("/tmp/capcheque-bench-soak.db"));
    const QString pg = opt("--pg", {});
    const int procs = opt("--procs", QStringLiteral("8")).toInt();
    const int seconds = opt("--seconds", QStringLiteral("60")).toInt();
    const quint32 seed = opt("--seed", QStringLiteral("1")).toUInt();
    int rc = 0;
    try {
        QFile::remove(file);
        QFile::remove(file + QStringLiteral("-wal"));
        QFile::remove(file + QStringLiteral("-shm"));
        Connection::createSqliteFile(file);
        rc |= bench(QStringLiteral("sqlite"), file, procs, seconds, seed);
        if (!pg.isEmpty()) {
            const QString name =
                QStringLiteral("soak_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
            Connection admin(QStringLiteral("bench_soak_admin"));
            admin.setConnectionString(pg);
            admin.open();
            admin.execute(QStringLiteral("CREATE DATABASE %1").arg(name));
            QUrl url(pg);
            url.setPath(QLatin1Char('/') + name);
            rc |= bench(QStringLiteral("pg"), url.toString(), procs, seconds, seed);
            admin.execute(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(name));
        }
    } catch (const std::exception& e) {
        out << "bench_soak: " << e.what() << Qt::endl;
        return 2;
    }
    return rc;
}
