// Benchmark of the listings on a member with ten years of cheques: 3,650 lots of 10 cheques
// (36,500 cheques) among 20 other members of the same size, and 5,000 employees. Drives the real
// report screen offscreen: from the press of "Gerar relatório" to the preview showing its pages,
// and to the listing written to PDF; the query part is set against the same statement run
// straight through SQLite's C API (or libpq).
//
//   bench_relatorio [--db FILE | --pg postgresql://user@host:port/database] [--runs N]
//
// The database is built once (default /tmp/capcheque-bench-relatorio.db; with --pg, in the given
// database when it has no tables yet) and reused.
#include "core/Schema.h"
#include "platform/data/Dataset.h"
#include "platform/data/SqliteDirect.h"
#include "platform/report/ReportPreview.h"
#include "reports/LookupBox.h"
#include "reports/udtmRelatorio.h"
#include "reports/ufrmRelCapDevolvido.h"
#include "reports/ufrmRelatorio.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCollator>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int Associados = 21;
constexpr int Dias = 3650;
constexpr int ChequesPorLote = 10;
constexpr int Funcionarios = 5000;
constexpr int Departamentos = 50;

void check(int rc, sqlite3* db, int expected = SQLITE_OK) {
    if (rc != expected) {
        fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        exit(1);
    }
}

void exec(sqlite3* db, const char* sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db);
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
    QCollator names(QLocale(QLocale::Portuguese, QLocale::Brazil));
    SqliteDirect::addNameCollation(db, &names);
    exec(db, "PRAGMA journal_mode=WAL; BEGIN");
    for (int a = 1; a <= Associados; ++a) {
        const QByteArray sql = QStringLiteral("INSERT INTO associado (idt_tpo_associado, "
                                              "nom_associado, num_ag_bancoob) VALUES ('J', "
                                              "'Associado %1', '3041')")
                                   .arg(a, 3, 10, QLatin1Char('0'))
                                   .toUtf8();
        exec(db, sql.constData());
    }
    sqlite3_stmt* lot;
    sqlite3_stmt* ch;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO lote_cheque (cod_associado, num_lote, idt_dep_custodia, "
                             "ind_gerado, dat_lote, dat_gerado) VALUES (?, ?, 'D', 1, ?, ?)",
                             -1, &lot, nullptr),
          db);
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, "
                             "num_compe, num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, "
                             "vlr_cheque, dat_deposito, ind_devolvido, dat_devolucao) VALUES (?, "
                             "'756', '3041', '7', '018', ?, '5', '3', ?, '9', ?, ?, ?, ?)",
                             -1, &ch, nullptr),
          db);
    const QDate start(2015, 1, 1);
    qint64 serial = 0;
    int number = 0;
    for (int day = 0; day < Dias; ++day) {
        const QDate d = start.addDays(day);
        const QByteArray captured = (d.toString("yyyy-MM-dd") + " 09:30:00").toUtf8();
        const QByteArray sent = (d.addDays(1).toString("yyyy-MM-dd") + " 00:00:00").toUtf8();
        const QByteArray back = (d.addDays(8).toString("yyyy-MM-dd") + " 00:00:00").toUtf8();
        for (int a = 1; a <= Associados; ++a) {
            sqlite3_bind_int(lot, 1, a);
            const QByteArray num = QByteArray::number(++number);
            sqlite3_bind_text(lot, 2, num.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(lot, 3, captured.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(lot, 4, sent.constData(), -1, SQLITE_TRANSIENT);
            check(sqlite3_step(lot), db, SQLITE_DONE);
            sqlite3_reset(lot);
            const qint64 codLote = sqlite3_last_insert_rowid(db);
            for (int k = 0; k < ChequesPorLote; ++k) {
                ++serial;
                const QByteArray cheque =
                    QByteArray::number(serial % 1000000).rightJustified(6, '0');
                const QByteArray conta = QByteArray::number(serial).rightJustified(10, '0');
                const bool returned = serial % 37 == 0;
                sqlite3_bind_int64(ch, 1, codLote);
                sqlite3_bind_text(ch, 2, cheque.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(ch, 3, conta.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int64(ch, 4, (serial % 100000) * 100 + 10000);
                sqlite3_bind_text(ch, 5, sent.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(ch, 6, returned ? 1 : 0);
                if (returned)
                    sqlite3_bind_text(ch, 7, back.constData(), -1, SQLITE_TRANSIENT);
                else
                    sqlite3_bind_null(ch, 7);
                check(sqlite3_step(ch), db, SQLITE_DONE);
                sqlite3_reset(ch);
            }
        }
    }
    sqlite3_finalize(lot);
    sqlite3_finalize(ch);
    exec(db, "INSERT INTO movimento (cod_associado, num_cod_movimento, dsc_movimento) VALUES (1, "
             "'01', 'Crédito em conta corrente')");
    for (int d = 1; d <= Departamentos; ++d) {
        const QByteArray sql = QStringLiteral("INSERT INTO departamento (cod_associado, "
                                              "nom_departamento) VALUES (1, 'Departamento %1')")
                                   .arg(d, 3, 10, QLatin1Char('0'))
                                   .toUtf8();
        exec(db, sql.constData());
    }
    for (int f = 1; f <= Funcionarios; ++f) {
        const QByteArray sql =
            QStringLiteral("INSERT INTO funcionario (cod_associado, cod_departamento, "
                           "cod_movimento, nom_funcionario, num_cpf, dat_admissao, vlr_salario, "
                           "num_cc_bancoob) VALUES (1, %1, 1, 'Funcionário %2', '12345678909', "
                           "'2016-03-01 00:00:00', %3, '0012345')")
                .arg(1 + f % Departamentos)
                .arg(f, 5, 10, QLatin1Char('0'))
                .arg(qint64(1500000) + f * 100)
                .toUtf8();
        exec(db, sql.constData());
    }
    exec(db, "COMMIT; ANALYZE");
    sqlite3_close(db);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long peakMb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024;
}

// The dataset's statement straight through SQLite: prepared, its ":name" parameters bound as
// the program binds them, every row stepped and every column read.
int floorRows(sqlite3* db, const Dataset& q, const QStringList& params) {
    sqlite3_stmt* st;
    const QByteArray sql = q.sql().toUtf8();
    check(sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr), db);
    for (const QString& p : params) {
        const int i = sqlite3_bind_parameter_index(st, (":" + p).toUtf8().constData());
        const QVariant v = Connection::bindValue(q.param(p));
        if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
            sqlite3_bind_int64(st, i, v.toLongLong());
        else
            sqlite3_bind_text(st, i, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
    }
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            sqlite3_column_text(st, c);
        ++n;
    }
    sqlite3_finalize(st);
    return n;
}

// The same data as build(), made on a PostgreSQL server by the server itself.
void buildPg(Connection& c) {
    Schema::create(c);
    const auto sql = [&](const QString& s) {
        c.execute(QString(s).replace(QLatin1String("%%"), QLatin1String("%")));
    };
    sql(QStringLiteral("INSERT INTO associado (idt_tpo_associado, nom_associado, num_ag_bancoob) "
                       "SELECT 'J', 'Associado ' || lpad(CAST(a AS text), 3, '0'), '3041' FROM "
                       "generate_series(1, %1) a")
            .arg(Associados));
    // Lot n (from 1) is of day (n - 1) / members and member 1 + (n - 1) %% members, as built
    // one day after another above; its cheques are serials 10 (n - 1) + 1 to 10 n.
    sql(QStringLiteral("INSERT INTO lote_cheque (cod_associado, num_lote, idt_dep_custodia, "
                       "ind_gerado, dat_lote, dat_gerado) SELECT 1 + (n - 1) %% %1, CAST(n AS "
                       "text), 'D', true, timestamp '2015-01-01 09:30:00' + ((n - 1) / %1) * "
                       "interval '1 day', timestamp '2015-01-02' + ((n - 1) / %1) * interval "
                       "'1 day' FROM generate_series(1, %2) n")
            .arg(Associados)
            .arg(Associados * Dias));
    sql(QStringLiteral("INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, num_compe, "
                       "num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque, "
                       "dat_deposito, ind_devolvido, dat_devolucao) SELECT l.cod_lote, '756', "
                       "'3041', '7', '018', lpad(CAST(s %% 1000000 AS text), 6, '0'), '5', '3', "
                       "lpad(CAST(s AS text), 10, '0'), '9', (s %% 100000) * 100 + 10000, "
                       "l.dat_gerado, s %% 37 = 0, CASE WHEN s %% 37 = 0 THEN l.dat_gerado + "
                       "interval '7 days' END FROM lote_cheque l, generate_series(1, %1) k, "
                       "LATERAL (SELECT (CAST(l.num_lote AS integer) - 1) * %1 + k AS s) x")
            .arg(ChequesPorLote));
    sql(QStringLiteral("INSERT INTO movimento (cod_associado, num_cod_movimento, dsc_movimento) "
                       "VALUES (1, '01', 'Crédito em conta corrente')"));
    sql(QStringLiteral("INSERT INTO departamento (cod_associado, nom_departamento) SELECT 1, "
                       "'Departamento ' || lpad(CAST(d AS text), 3, '0') FROM "
                       "generate_series(1, %1) d")
            .arg(Departamentos));
    sql(QStringLiteral("INSERT INTO funcionario (cod_associado, cod_departamento, cod_movimento, "
                       "nom_funcionario, num_cpf, dat_admissao, vlr_salario, num_cc_bancoob) "
                       "SELECT 1, 1 + f %% %1, 1, 'Funcionário ' || lpad(CAST(f AS text), 5, "
                       "'0'), '12345678909', timestamp '2016-03-01', 1500000 + f * 100, "
                       "'0012345' FROM generate_series(1, %2) f")
            .arg(Departamentos)
            .arg(Funcionarios));
    sql(QStringLiteral("ANALYZE"));
}

// The dataset's statement straight through libpq: its ":name" parameters numbered as the
// program numbers them and sent as text, every row received and every column read.
int floorRowsPg(PGconn* pg, const Dataset& q, const QStringList& params) {
    QString sql = q.sql();
    QList<QByteArray> values;
    for (const QString& p : params) {
        const QString marca = QLatin1Char(':') + p;
        if (!sql.contains(marca))
            continue;
        values << Connection::bindValue(q.param(p)).toString().toUtf8();
        sql.replace(QRegularExpression(QRegularExpression::escape(marca) + QStringLiteral("\\b")),
                    QStringLiteral("$%1").arg(values.size()));
    }
    std::vector<const char*> raw;
    for (const QByteArray& v : values)
        raw.push_back(v.constData());
    PGresult* r = PQexecParams(pg, sql.toUtf8().constData(), int(raw.size()), nullptr, raw.data(),
                               nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
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

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString path = QStringLiteral("/tmp/capcheque-bench-relatorio.db");
    QString pg;
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (qstrcmp(argv[i], "--db") == 0)
            path = QString::fromLocal8Bit(argv[i + 1]);
        else if (qstrcmp(argv[i], "--pg") == 0)
            pg = QString::fromLocal8Bit(argv[i + 1]);
        else if (qstrcmp(argv[i], "--runs") == 0)
            runs = atoi(argv[i + 1]);
    }
    if (pg.isEmpty() && !QFile::exists(path)) {
        printf("building %s ...\n", qPrintable(path));
        fflush(stdout);
        build(path);
    }
    Connection cnx(QStringLiteral("bench"));
    cnx.setConnectionString(pg.isEmpty() ? path : pg);
    cnx.open();
    sqlite3* floorDb = nullptr;
    PGconn* floorPg = nullptr;
    QCollator names(QLocale(QLocale::Portuguese, QLocale::Brazil));
    if (!pg.isEmpty()) {
        if (cnx.tableColumns(QStringLiteral("cheque")).isEmpty()) {
            printf("filling %s ...\n", qPrintable(pg));
            fflush(stdout);
            buildPg(cnx);
        }
        floorPg = PQconnectdb(pg.toUtf8().constData());
        if (PQstatus(floorPg) != CONNECTION_OK) {
            fprintf(stderr, "libpq: %s\n", PQerrorMessage(floorPg));
            return 1;
        }
    } else {
        check(sqlite3_open_v2(path.toUtf8().constData(), &floorDb, SQLITE_OPEN_READONLY, nullptr),
              floorDb);
        SqliteDirect::addNameCollation(floorDb, &names);
    }

    TfrmRelatorio screen(&cnx);
    screen.show();
    if (!QTest::qWaitForWindowExposed(&screen))
        return 1;
    TdtmRelatorio* dtm = screen.dtmRelatorio;

    // The press of the button; the clock stops when the preview is up with the pages in view
    // drawn, which it then closes, or when the listing is written to PDF.
    QTemporaryDir dir;
    auto press = [&](int kind, bool pdf, int* rows, int* pages) {
        screen.RadioGroup1Buttons->button(kind)->click();
        screen.RxDBLookupCombo1->setCurrentIndex(
            screen.RxDBLookupCombo1->findText("Associado 001"));
        if (kind < 3) {
            screen.DateEdit1->setText("01/01/2015");
            screen.DateEdit2->setText("26/09/2017"); // 1,000 days of lots
        }
        QElapsedTimer t;
        double ms = -1;
        if (pdf) {
            Report::setPreviewHandler([&](const Report::PageModel& m, const QString& title) {
                Report::writePdf(m, dir.filePath("bench.pdf"), title);
                ms = t.nsecsElapsed() / 1e6;
                *pages = m.pageCount();
            });
        } else {
            Report::setPreviewHandler(nullptr);
            QTimer* poll = new QTimer;
            QObject::connect(poll, &QTimer::timeout, [&, poll] {
                auto* p = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (p && p->objectName() == QLatin1String("frmPreview") && p->isVisible()) {
                    p->grab(); // the pages in view drawn, as the screen shows them
                    ms = t.nsecsElapsed() / 1e6;
                    poll->stop();
                    p->reject();
                    poll->deleteLater();
                }
            });
            poll->start(1);
        }
        t.start();
        screen.SpeedButton1->click();
        Dataset* q = kind < 3 ? dtm->qryRelatorioCheque : dtm->qryRelatorioFuncionario;
        *rows = q->recordCount();
        return ms;
    };
    auto queryMs = [&](int kind, double* floorMs) {
        Dataset* q = kind < 3 ? dtm->qryRelatorioCheque : dtm->qryRelatorioFuncionario;
        QStringList params;
        for (const QString& p :
             kind < 3
                 ? QStringList{"pCodAssociado", "pNumLote", "pIndLote", "pIdtRelatorioG",
                               "pIdtRelatorioE", "pIdtRelatorioD", "pDatIniLote", "pDatFimLote",
                               "pDatIniEnvio", "pDatFimEnvio", "pDatIniDev", "pDatFimDev",
                               "pDatIniReap", "pDatFimReap", "pDatIni2Reap", "pDatFim2Reap"}
                 : QStringList{"pCodAssociado", "pCodDepartamento", "pIdtTodos"})
            params << p;
        QElapsedTimer t;
        t.start();
        q->close();
        q->open();
        const double ms = t.nsecsElapsed() / 1e6;
        t.restart();
        const int n = floorPg ? floorRowsPg(floorPg, *q, params) : floorRows(floorDb, *q, params);
        *floorMs = t.nsecsElapsed() / 1e6;
        if (n != q->recordCount())
            fprintf(stderr, "floor rows %d, program rows %d\n", n, q->recordCount());
        return ms;
    };

    printf("%s, %d runs\n", floorPg ? "PostgreSQL" : "SQLite", runs);
    printf("%-34s %8s %8s %10s %10s\n", "operation (median)", "rows", "pages", "ms", "floor ms");
    struct Case {
        const char* name;
        int kind;
        bool pdf;
    };
    for (const Case& c : {Case{"cheques: press -> preview", 1, false},
                          Case{"cheques: press -> PDF written", 1, true},
                          Case{"employees: press -> preview", 3, false},
                          Case{"employees: press -> PDF written", 3, true}}) {
        std::vector<double> times;
        int rows = 0, pages = 0;
        for (int r = 0; r < runs; ++r)
            times.push_back(c.pdf ? press(c.kind, true, &rows, &pages)
                                  : press(c.kind, false, &rows, &pages));
        printf("%-34s %8d %8s %10.1f\n", c.name, rows,
               c.pdf ? qPrintable(QString::number(pages)) : "", median(times));
        fflush(stdout);
    }
    for (const auto& [name, kind] :
         {std::pair{"cheques: query only", 1}, std::pair{"employees: query only", 3}}) {
        std::vector<double> prog, fl;
        for (int r = 0; r < runs; ++r) {
            double f = 0;
            prog.push_back(queryMs(kind, &f));
            fl.push_back(f);
        }
        const double p = median(prog), f = median(fl);
        printf("%-34s %8s %8s %10.1f %10.1f  (x%.2f)\n", name, "", "", p, f, p / f);
    }
    {
        // The parts of a cheque listing: laying out, painting to PDF.
        Dataset* q = dtm->qryRelatorioCheque;
        std::vector<double> lay, pdf;
        for (int r = 0; r < runs; ++r) {
            TfrmRelCapDevolvido rel;
            QElapsedTimer t;
            t.start();
            const Report::PageModel m = rel.prepare(Report::DatasetRows(*q));
            lay.push_back(t.nsecsElapsed() / 1e6);
            t.restart();
            Report::writePdf(m, dir.filePath("parts.pdf"));
            pdf.push_back(t.nsecsElapsed() / 1e6);
        }
        printf("%-34s %8d %8s %10.1f\n", "cheques: layout only", q->recordCount(), "", median(lay));
        printf("%-34s %8s %8s %10.1f\n", "cheques: PDF painting only", "", "", median(pdf));
    }
    printf("peak memory: %ld MB\n", peakMb());
    sqlite3_close(floorDb);
    PQfinish(floorPg);
    return 0;
}
