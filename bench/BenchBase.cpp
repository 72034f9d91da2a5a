#include "BenchBase.h"

#include "capture/uCapturaCheque.h"
#include "core/Schema.h"
#include "core/uBib.h"
#include "platform/data/Connection.h"
#include "platform/data/SqliteDirect.h"

#include <QCollator>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <libpq-fe.h>
#include <sys/resource.h>

namespace Bench {

namespace {

// The program's order of names, for the name indexes and the floor's statements.
QCollator* nomes() {
    static QCollator c{QLocale(QLocale::Portuguese, QLocale::Brazil)};
    return &c;
}

} // namespace

QString linhaValida(qint64 serial) {
    LinhaCheque l;
    l.banco = QStringLiteral("%1").arg(1 + serial % 900, 3, 10, QLatin1Char('0'));
    l.agencia = QStringLiteral("%1").arg(serial % 10000, 4, 10, QLatin1Char('0'));
    l.compe = QStringLiteral("018");
    l.numCheque = QStringLiteral("%1").arg(serial % 1000000, 6, 10, QLatin1Char('0'));
    l.tipificacao = QStringLiteral("5");
    l.conta = QStringLiteral("%1").arg(serial, 10, 10, QLatin1Char('0'));
    l.dv1 = QString::number(CalculaDVModulo10(l.banco + l.agencia));
    l.dv2 = QString::number(CalculaDVModulo10(l.compe + l.numCheque + l.tipificacao));
    l.dv3 = QString::number(CalculaDVModulo10(l.conta));
    return l.joined();
}

void check(int rc, sqlite3* db, int expected) {
    if (rc != expected) {
        fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        exit(1);
    }
}

void build(const QString& path) {
    QFile::remove(path);
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
    }
    {
        Connection c(QStringLiteral("build"));
        c.setConnectionString(path);
        c.open();
        Schema::create(c);
    }
    sqlite3* db;
    check(sqlite3_open(path.toUtf8().constData(), &db), db);
    // The name indexes are built in the program's order of names.
    SqliteDirect::addNameCollation(db, nomes());
    check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* st;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO associado (idt_tpo_associado, nom_associado, "
                             "num_cgc_cpf, num_bancoob, num_ag_bancoob) VALUES ('J', ?, '', "
                             "'756', '0001')",
                             -1, &st, nullptr),
          db);
    for (int i = 1; i <= Associados; ++i) {
        const QByteArray nome =
            QStringLiteral("Associado %1").arg(i, 5, 10, QLatin1Char('0')).toUtf8();
        sqlite3_bind_text(st, 1, nome.constData(), -1, SQLITE_TRANSIENT);
        check(sqlite3_step(st), db, SQLITE_DONE);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO lote_cheque (cod_associado, num_lote, idt_dep_custodia, "
                             "ind_gerado, dat_lote, dat_gerado) VALUES (?, ?, 'D', ?, ?, ?)",
                             -1, &st, nullptr),
          db);
    sqlite3_stmt* ch;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, "
                             "num_compe, num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, "
                             "vlr_cheque, ind_devolvido) VALUES (?,?,?,?,?,?,?,?,?,?,?,0)",
                             -1, &ch, nullptr),
          db);
    const QDate start(2020, 1, 1);
    qint64 serial = 0;
    for (int lote = 1; lote <= Lotes; ++lote) {
        const QDate d = start.addDays(lote / 200);
        const QByteArray dat = (d.toString(QStringLiteral("yyyy-MM-dd")) +
                                QStringLiteral(" %1:%2:00")
                                    .arg(8 + lote % 10, 2, 10, QLatin1Char('0'))
                                    .arg(lote % 60, 2, 10, QLatin1Char('0')))
                                   .toUtf8();
        const bool gerado = lote < Lotes - 1000;
        const QByteArray num = QByteArray::number(lote);
        const QByteArray datGer =
            (d.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00")).toUtf8();
        sqlite3_bind_int(st, 1, 1 + lote % Associados);
        sqlite3_bind_text(st, 2, num.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 3, gerado ? 1 : 0);
        sqlite3_bind_text(st, 4, dat.constData(), -1, SQLITE_TRANSIENT);
        if (gerado)
            sqlite3_bind_text(st, 5, datGer.constData(), -1, SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(st, 5);
        check(sqlite3_step(st), db, SQLITE_DONE);
        sqlite3_reset(st);
        for (int k = 0; k < ChequesPorLote; ++k) {
            const QByteArray l = linhaValida(++serial).toLatin1();
            sqlite3_bind_int(ch, 1, lote);
            const int cuts[][2] = {{0, 3},  {3, 4},  {7, 1},   {8, 3}, {11, 6},
                                   {17, 1}, {18, 1}, {19, 10}, {29, 1}};
            for (int g = 0; g < 9; ++g)
                sqlite3_bind_text(ch, 2 + g, l.constData() + cuts[g][0], cuts[g][1],
                                  SQLITE_TRANSIENT);
            sqlite3_bind_int64(ch, 11, (serial % 100000) * 100);
            check(sqlite3_step(ch), db, SQLITE_DONE);
            sqlite3_reset(ch);
        }
    }
    sqlite3_finalize(st);
    sqlite3_finalize(ch);
    check(sqlite3_exec(db, "COMMIT; ANALYZE", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeMs(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

long peakMb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024;
}

SqliteFloor::SqliteFloor(const QString& path) {
    check(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
    SqliteDirect::addNameCollation(db, nomes());
}

SqliteFloor::~SqliteFloor() {
    sqlite3_close(db);
}

int SqliteFloor::rows(const char* sql, int bind) {
    sqlite3_stmt* st;
    check(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), db);
    if (bind >= 0)
        sqlite3_bind_int(st, 1, bind);
    int n = 0;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            sqlite3_column_text(st, i);
        ++n;
    }
    sqlite3_finalize(st);
    check(rc, db, SQLITE_DONE);
    return n;
}

PgFloor::PgFloor(const QString& uri) {
    pg = PQconnectdb(uri.toUtf8().constData());
    if (PQstatus(pg) != CONNECTION_OK) {
        fprintf(stderr, "libpq: %s\n", PQerrorMessage(pg));
        exit(1);
    }
}

PgFloor::~PgFloor() {
    PQfinish(pg);
}

int PgFloor::rows(const char* sql, int bind) {
    const QByteArray text = QByteArray(sql).replace('?', "$1");
    const QByteArray value = QByteArray::number(bind);
    const char* values[] = {value.constData()};
    PGresult* r = PQexecParams(pg, text.constData(), bind >= 0 ? 1 : 0, nullptr,
                               bind >= 0 ? values : nullptr, nullptr, nullptr, 0);
    const ExecStatusType st = PQresultStatus(r);
    if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK) {
        fprintf(stderr, "libpq: %s\n", PQerrorMessage(pg));
        exit(1);
    }
    const int n = PQntuples(r);
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < PQnfields(r); ++c)
            PQgetvalue(r, i, c);
    PQclear(r);
    return n;
}

// Fills an empty PostgreSQL database on the server itself.
void buildPg(Connection& c) {
    Schema::create(c);
    c.execute(
        QStringLiteral(
            "INSERT INTO associado (idt_tpo_associado, nom_associado, num_cgc_cpf, num_bancoob, "
            "num_ag_bancoob) SELECT 'J', 'Associado ' || lpad(CAST(g AS text), 5, '0'), '', '756', "
            "'0001' FROM generate_series(1, %1) g")
            .arg(Associados));
    c.execute(QStringLiteral(
                  "INSERT INTO lote_cheque (cod_associado, num_lote, idt_dep_custodia, ind_gerado, "
                  "dat_lote, dat_gerado) SELECT 1 + g %% %1, CAST(g AS text), 'D', g < %2, "
                  "timestamp '2020-01-01 08:00:00' + (g / 200) * interval '1 day' + (g %% 600) * "
                  "interval '1 minute', CASE WHEN g < %2 THEN timestamp '2020-01-01' + (g / 200) * "
                  "interval '1 day' END FROM generate_series(1, %3) g")
                  .arg(Associados)
                  .arg(Lotes - 1000)
                  .arg(Lotes)
                  .replace(QLatin1String("%%"), QLatin1String("%")));
    // The lines of linhaValida(), check digits included, so that the scan reads them.
    c.execute(QStringLiteral(
        "CREATE FUNCTION pg_temp.dv10(d text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT "
        "CAST((10 - sum(p / 10 + p % 10) % 10) % 10 AS text) FROM (SELECT CAST(substr(d, "
        "length(d) - i, 1) AS int) * (2 - i % 2) AS p FROM generate_series(0, length(d) - 1) i) "
        "x $$"));
    c.execute(
        QStringLiteral(
            "INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, num_compe, num_cheque, "
            "num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque, ind_devolvido) SELECT "
            "lote, banco, agencia, pg_temp.dv10('018' || numero || '5'), '018', numero, '5', "
            "pg_temp.dv10(banco || agencia), conta, pg_temp.dv10(conta), valor, false FROM "
            "(SELECT 1 + (g - 1) / %1 AS lote, lpad(CAST(1 + g %% 900 AS text), 3, '0') AS banco, "
            "lpad(CAST(g %% 10000 AS text), 4, '0') AS agencia, lpad(CAST(g %% 1000000 AS text), "
            "6, '0') AS numero, lpad(CAST(g AS text), 10, '0') AS conta, (g %% 100000) * 100 AS "
            "valor FROM generate_series(1, %2) g) s")
            .arg(ChequesPorLote)
            .arg(Lotes * ChequesPorLote)
            .replace(QLatin1String("%%"), QLatin1String("%")));
    c.execute(QStringLiteral("ANALYZE"));
}

QString prepara(int argc, char** argv, int& runs, bool& postgres) {
    QString path = QStringLiteral("/tmp/capcheque-bench.db");
    QString pg;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == "--db")
            path = QString::fromLocal8Bit(argv[++i]);
        else if (QByteArray(argv[i]) == "--pg")
            pg = QString::fromLocal8Bit(argv[++i]);
        else if (QByteArray(argv[i]) == "--runs")
            runs = atoi(argv[++i]);
    }
    postgres = !pg.isEmpty();
    if (postgres) {
        Connection c(QStringLiteral("build"));
        c.setConnectionString(pg);
        c.open();
        if (c.selectValue(QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE "
                                         "table_schema = 'public'"))
                .toInt() == 0) {
            printf("filling %s (%d lots, %d cheques)...\n", qPrintable(QUrl(pg).host()), Lotes,
                   Lotes * ChequesPorLote);
            fflush(stdout);
            const double ms = timeMs([&] { buildPg(c); });
            printf("built in %.1f s\n", ms / 1000);
        }
        return pg;
    }
    if (!QFile::exists(path)) {
        printf("building %s (%d lots, %d cheques)...\n", qPrintable(path), Lotes,
               Lotes * ChequesPorLote);
        fflush(stdout);
        const double ms = timeMs([&] { build(path); });
        printf("built in %.1f s\n", ms / 1000);
    }
    return path;
}

Dialogs::Answer ConfirmaTudo::handle(const Dialogs::Request& r) {
    if (r.kind == Dialogs::Kind::Confirmation)
        return {Dialogs::Button::Yes, {}};
    fprintf(stderr, "unexpected dialog: %s\n", qPrintable(r.text));
    exit(1);
}

} // namespace Bench
