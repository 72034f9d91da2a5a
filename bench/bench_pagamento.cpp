// Benchmark of the salary payment screen on a large payroll: 2,000 members, 25,000 employees,
// 5,000 of them under one member and one movement code, and ten years of monthly payments of
// those 5,000 (600,000 rows). Drives the screen: showing it, listing the employees after the
// code is chosen, and generating for all 5,000 (payments recorded, file written, committed),
// against the same work sent straight through the engine's C API (SQLite's, or libpq).
//
//   bench_pagamento [--db FILE | --pg postgresql://user@host:port/database] [--runs N]
//
// The database is built once (default /tmp/capcheque-bench-pagamento.db; a PostgreSQL database
// is filled when it has no tables yet) and reused; the payments each run adds are removed.
#include "core/Schema.h"
#include "payroll/ufrmGeraArqPagFuncionario.h"
#include "platform/data/Dialect.h"
#include "platform/data/SqliteDirect.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/DbDateEdit.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/DbLookupComboBox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCollator>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Associados = 2000;
constexpr int Outros = 20000;
constexpr int Funcionarios = 5000;
constexpr int Meses = 120;

// Builds the payroll with statements that generate their own rows.
void build(Connection& c) {
    const bool pg = c.engine() == Engine::PostgreSQL;
    c.beginTransaction();
    Schema::create(c);
    const QString serie =
        pg ? QStringLiteral("generate_series(1, %1) AS n(i)") : QStringLiteral("n");
    const auto com = [&](int ate) {
        return pg ? QString()
                  : QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM "
                                   "n WHERE i < %1) ")
                        .arg(ate);
    };
    const auto pad = [&](const QString& e) {
        return pg ? QStringLiteral("lpad(%1::text, 5, '0')").arg(e)
                  : QStringLiteral("printf('%05d', %1)").arg(e);
    };
    c.execute(com(Associados) +
              QStringLiteral("INSERT INTO associado (idt_tpo_associado, nom_associado, "
                             "num_bancoob, num_ag_bancoob, num_conv_bancoob, idt_dst_mov_bancoob) "
                             "SELECT 'J', 'Associado ' || %1, '756', '0001', '1234', '03' FROM ")
                  .arg(pad(QStringLiteral("i"))) +
              serie.arg(Associados));
    c.execute(QStringLiteral("INSERT INTO movimento (cod_associado, num_cod_movimento, "
                             "dsc_movimento) SELECT cod_associado, '01', 'Folha' FROM associado"));
    c.execute(QStringLiteral("INSERT INTO departamento (cod_associado, nom_departamento) SELECT "
                             "cod_associado, 'Administração' FROM associado"));
    // Employee i belongs to member 1 for i <= Funcionarios, to another member otherwise.
    const QString assoc = QStringLiteral("CASE WHEN i <= %1 THEN 1 ELSE 2 + i % %2 END")
                              .arg(Funcionarios)
                              .arg(Associados - 1);
    c.execute(com(Funcionarios + Outros) +
              QStringLiteral("INSERT INTO funcionario (cod_associado, cod_departamento, "
                             "cod_movimento, nom_funcionario, num_cpf, vlr_salario, "
                             "num_cc_bancoob) SELECT %1, %1, %1, 'Funcionário ' || %2, "
                             "'12345678901', 10000000 + i * 100, '0000012345' FROM ")
                  .arg(assoc, pad(QStringLiteral("i"))) +
              serie.arg(Funcionarios + Outros));
    for (int m = 0; m < Meses; ++m) {
        const QDate d = QDate(2015, 1, 5).addMonths(m);
        c.execute(QStringLiteral("INSERT INTO pagamento_funcionario (cod_funcionario, "
                                 "dat_geracao, dat_pagamento, mes_referencia, "
                                 "num_cc_func_bancoob, vlr_salario) SELECT cod_funcionario, ?, ?, "
                                 "?, num_cc_bancoob, vlr_salario FROM funcionario WHERE "
                                 "cod_associado = 1"),
                  {d, d, d.toString(QStringLiteral("yyyyMM"))});
    }
    c.commit();
    if (pg)
        c.execute(QStringLiteral("ANALYZE"));
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

// The floor: the same statements through the engine's C API, values written in.
struct Floor {
    virtual ~Floor() = default;
    virtual int rows(const QString& sql) = 0;
    virtual void exec(const QString& sql) = 0;
};

struct SqliteFloor : Floor {
    sqlite3* db = nullptr;
    QCollator names{QLocale(QLocale::Portuguese, QLocale::Brazil)};
    explicit SqliteFloor(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        SqliteDirect::addNameCollation(db, &names);
        sqlite3_busy_timeout(db, 5000);
    }
    ~SqliteFloor() override { sqlite3_close(db); }
    int rows(const QString& sql) override {
        sqlite3_stmt* st;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
            exit(1);
        }
        int n = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                sqlite3_column_text(st, i);
            ++n;
        }
        sqlite3_finalize(st);
        return n;
    }
    void exec(const QString& sql) override { rows(sql); }
};

struct PgFloor : Floor {
    PGconn* pg = nullptr;
    explicit PgFloor(const QString& uri) {
        pg = PQconnectdb(uri.toUtf8().constData());
        if (PQstatus(pg) != CONNECTION_OK) {
            fprintf(stderr, "libpq: %s\n", PQerrorMessage(pg));
            exit(1);
        }
    }
    ~PgFloor() override { PQfinish(pg); }
    int rows(const QString& sql) override {
        PGresult* r = PQexec(pg, sql.toUtf8().constData());
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
    void exec(const QString& sql) override { rows(sql); }
};

// Answers the generation's dialogs as the operator does.
struct Operador : Dialogs::Handler {
    QString arquivo;
    bool sucesso = false;
    Dialogs::Answer handle(const Dialogs::Request& r) override {
        if (r.kind == Dialogs::Kind::Confirmation)
            return {Dialogs::Button::Yes, {}};
        if (r.kind == Dialogs::Kind::SaveFile)
            return {Dialogs::Button::Ok, arquivo};
        if (r.text == QStringLiteral("Arquivo gerado com sucesso!!")) {
            sucesso = true;
            return {Dialogs::Button::Ok, {}};
        }
        fprintf(stderr, "unexpected dialog: %s\n", qPrintable(r.text));
        exit(1);
    }
    void beep() override {}
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Operador operador;
    Dialogs::setHandler(&operador);
    QString path = QStringLiteral("/tmp/capcheque-bench-pagamento.db");
    QString pg;
    int runs = 11;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--db")
            path = QString::fromLocal8Bit(argv[++i]);
        else if (QByteArray(argv[i]) == "--pg")
            pg = QString::fromLocal8Bit(argv[++i]);
        else if (QByteArray(argv[i]) == "--runs")
            runs = atoi(argv[++i]);
    }
    const QString target = pg.isEmpty() ? path : pg;
    if (pg.isEmpty() && !QFile::exists(path))
        Connection::createSqliteFile(path);
    Connection cnx(QStringLiteral("bench"));
    cnx.setConnectionString(target);
    cnx.open();
    if (cnx.tableColumns(QStringLiteral("funcionario")).isEmpty()) {
        printf("building the payroll...\n");
        printf("built in %.1f s\n", timeMs([&] { build(cnx); }) / 1000);
    }
    const int inicial =
        cnx.selectValue(QStringLiteral("SELECT max(cod_pagamento) FROM pagamento_funcionario"))
            .toInt();
    std::unique_ptr<Floor> floor;
    if (pg.isEmpty())
        floor = std::make_unique<SqliteFloor>(path);
    else
        floor = std::make_unique<PgFloor>(pg);
    const bool isPg = !pg.isEmpty();
    QTemporaryDir dir;
    operador.arquivo = dir.filePath(QStringLiteral("folha.txt"));

    TfrmGeraArqPagFuncionario frm(&cnx);
    std::vector<double> show, list, gen, fShow, fList, fGen;
    const QString listaSql =
        QStringLiteral(
            "select fc.cod_funcionario, fc.nom_funcionario, fc.num_cpf, fc.num_cc_bancoob, "
            "fc.vlr_salario, dp.nom_departamento from funcionario fc, departamento dp where "
            "fc.cod_associado = 1 and fc.cod_movimento = 1 and dat_demissao is null and "
            "vlr_salario > 0 and fc.cod_departamento = dp.cod_departamento order by "
            "nom_funcionario COLLATE %1")
            .arg(QLatin1String(Dialect::NameCollation));
    for (int r = 0; r < runs; ++r) {
        show.push_back(timeMs([&] {
            frm.show();
            QApplication::processEvents();
        }));
        list.push_back(timeMs([&] {
            DbLookupComboBox* c = frm.RxDBLookupCombo1;
            c->showPopup();
            c->view()->setCurrentIndex(c->model()->index(0, 0));
            QTest::keyClick(c->view(), Qt::Key_Return);
        }));
        if (frm.RxDBGrid2->model()->rowCount() != Funcionarios) {
            fprintf(stderr, "listed %d employees\n", frm.RxDBGrid2->model()->rowCount());
            return 1;
        }
        frm.DateEdit1->setText(QStringLiteral("05/02/2025"));
        frm.findChild<QAction*>(QStringLiteral("Selecionartodos1"))->trigger();
        operador.sucesso = false;
        gen.push_back(timeMs([&] { frm.SpeedButton1->click(); }));
        if (!operador.sucesso)
            return 1;
        frm.close();
        cnx.execute(QStringLiteral("DELETE FROM pagamento_funcionario WHERE cod_pagamento > ?"),
                    {inicial});

        // The floor: the member and code lists; the employee list; the generation.
        fShow.push_back(timeMs([&] {
            floor->rows(QStringLiteral("select * from associado ac order by nom_associado COLLATE "
                                       "%1")
                            .arg(QLatin1String(Dialect::NameCollation)));
            floor->rows(QStringLiteral("select cod_movimento, num_cod_movimento, dsc_movimento "
                                       "from movimento where cod_associado = 1 order by "
                                       "num_cod_movimento"));
        }));
        fList.push_back(timeMs([&] { floor->rows(listaSql); }));
        fGen.push_back(timeMs([&] {
            floor->exec(isPg ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
            const QString hoje =
                isPg ? QStringLiteral("'2025-02-05'") : QStringLiteral("'2025-02-05 00:00:00'");
            floor->rows(QStringLiteral("insert into pagamento_funcionario (cod_funcionario, "
                                       "dat_geracao, dat_pagamento, mes_referencia, "
                                       "num_cc_func_bancoob, vlr_salario) select cod_funcionario, "
                                       "%1, %1, '202502', num_cc_bancoob, vlr_salario from "
                                       "funcionario where cod_associado = 1 and cod_movimento = 1 "
                                       "and dat_demissao is null and vlr_salario > 0 returning "
                                       "cod_funcionario, num_cc_func_bancoob, vlr_salario")
                            .arg(hoje));
            floor->rows(listaSql);
            QByteArray bytes(202 * (Funcionarios + 2), ' ');
            const int fd = ::open(qPrintable(operador.arquivo + QStringLiteral(".floor")),
                                  O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
                exit(1);
            ::fsync(fd);
            ::close(fd);
            floor->exec(QStringLiteral("COMMIT"));
        }));
        cnx.execute(QStringLiteral("DELETE FROM pagamento_funcionario WHERE cod_pagamento > ?"),
                    {inicial});
    }
    printf("\n%s, %d runs\n", isPg ? "PostgreSQL" : "SQLite", runs);
    printf("%-34s %11s %9s %7s %8s\n", "operation (median of runs)", "program ms", "floor ms",
           "ratio", "target");
    const struct {
        const char* name;
        std::vector<double>* prog;
        std::vector<double>* fl;
        double target;
    } linhas[] = {{"show the screen", &show, &fShow, 500},
                  {"list 5,000 after choosing the code", &list, &fList, 100},
                  {"generate for 5,000", &gen, &fGen, 500}};
    for (const auto& l : linhas) {
        const double p = median(*l.prog), f = median(*l.fl);
        printf("%-34s %11.1f %9.1f %7.2f %8.0f\n", l.name, p, f, p / f, l.target);
    }
    return 0;
}
