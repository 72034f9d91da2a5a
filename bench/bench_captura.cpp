// Benchmark of the capture path on a large database: 200,000 lots and 2,000,000 cheques of
// 2,000 members. Drives the capture screen: showing it, moving to another lot and capturing one
// cheque, against the same statements sent straight through the engine's C API (the floor:
// SQLite's, or libpq for PostgreSQL).
//
//   bench_captura [--db FILE | --pg postgresql://user@host:port/database] [--runs N]
//
// The database is built once (default /tmp/capcheque-bench.db; a PostgreSQL database is
// filled when it has no tables yet) and reused.
#include "BenchBase.h"

#include "capture/uCapturaCheque.h"
#include "platform/data/Connection.h"
#include "platform/data/Dialect.h"
#include "platform/dialogs/Dialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <memory>

using namespace Bench;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ConfirmaTudo operador;
    Dialogs::setHandler(&operador);
    int runs = 15;
    bool postgres = false;
    const QString path = prepara(argc, argv, runs, postgres);

    Connection cnx(QStringLiteral("CnxPrincipal"));
    cnx.setConnectionString(path);
    cnx.open();
    // Cheques captured by an earlier run are taken out, so the same lines can be captured again.
    cnx.execute(QStringLiteral("delete from cheque where cod_cheque > ?"),
                {qlonglong(Lotes) * ChequesPorLote});
    // The real screen, driven as the operator does.
    TfrmCapturaCheque frm(&cnx);
    std::vector<double> show, move, capture, fShow, fMove, fCapture;
    qint64 serial = qint64(Lotes) * ChequesPorLote + 1000;
    std::unique_ptr<Floor> floorOf;
    if (postgres)
        floorOf = std::make_unique<PgFloor>(path);
    else
        floorOf = std::make_unique<SqliteFloor>(path);
    Floor& floor = *floorOf;
    for (int r = 0; r < runs; ++r) {
        frm.hide();
        show.push_back(timeMs([&] { frm.show(); }));
        QApplication::setActiveWindow(&frm); // offscreen windows are not activated by themselves
        if (!QTest::qWaitForWindowActive(&frm))
            return 1;
        frm.btnUltimo->click(); // an open lot, to capture into
        // The buttons' handlers: click() would also repaint the pressed button.
        const double ida = timeMs([&] { frm.btnAnteriorClick(); });
        const double volta = timeMs([&] { frm.btnProximoClick(); });
        move.push_back((ida + volta) / 2);
        const QString linha = linhaValida(++serial);
        capture.push_back(timeMs([&] {
            frm.edLinhaCheque->setFocus();
            QTest::keyClicks(frm.edLinhaCheque, linha);
            QTest::keyClick(frm.edLinhaCheque, Qt::Key_Return);
            QTest::keyClicks(frm.ceValorCheque, QStringLiteral("12,34"));
            QTest::keyClick(frm.ceValorCheque, Qt::Key_Return);
        }));
        if (!frm.edLinhaCheque->text().isEmpty()) {
            fprintf(stderr, "the cheque was not captured\n");
            return 1;
        }
        fShow.push_back(timeMs([&] {
            floor.rows("select * from lote_cheque order by dat_lote, num_lote");
            floor.rows(
                (QByteArray("select cod_associado, nom_associado from associado ac order by ") +
                 Dialect::byName(QStringLiteral("nom_associado")).toUtf8())
                    .constData());
            floor.rows("select * from cheque where cod_lote = ? order by cod_cheque", Lotes);
            floor.rows("select sum(vlr_cheque), count(*) from cheque where cod_lote = ?", Lotes);
        }));
        fMove.push_back(timeMs([&] {
            floor.rows("select * from cheque where cod_lote = ? order by cod_cheque", Lotes - 1);
            floor.rows("select sum(vlr_cheque), count(*) from cheque where cod_lote = ?",
                       Lotes - 1);
        }));
        fCapture.push_back(timeMs([&] {
            floor.rows("select ind_gerado from lote_cheque where cod_lote = ?", Lotes);
            const QByteArray sql =
                QStringLiteral(
                    "insert into cheque (cod_lote, num_banco, num_agencia, num_dv2, "
                    "num_compe, num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, "
                    "vlr_cheque, ind_devolvido) values (%1, '999', '0000', '0', '000', "
                    "'%2', '0', '0', '0000000000', '0', 10000, false) returning cod_cheque")
                    .arg(Lotes)
                    .arg(r, 6, 10, QLatin1Char('0'))
                    .toUtf8();
            floor.rows(sql.constData());
            floor.rows("select sum(vlr_cheque), count(*) from cheque where cod_lote = ?", Lotes);
        }));
    }
    floor.rows("delete from cheque where num_banco = '999'");
    cnx.execute(QStringLiteral("delete from cheque where cod_cheque > ?"),
                {qlonglong(Lotes) * ChequesPorLote});

    printf("\n%s, %d runs\n", postgres ? "PostgreSQL" : "SQLite", runs);
    printf("%-28s %12s %12s %8s %10s\n", "operation (median of runs)", "program ms", "floor ms",
           "ratio", "target ms");
    const struct {
        const char* name;
        std::vector<double>* prog;
        std::vector<double>* fl;
        double target;
    } rows[] = {{"show the capture screen", &show, &fShow, 500},
                {"move to another lot", &move, &fMove, 10},
                {"capture one cheque", &capture, &fCapture, 5}};
    for (const auto& r : rows) {
        const double p = median(*r.prog), f = median(*r.fl);
        printf("%-28s %12.3f %12.3f %8.2f %10.0f\n", r.name, p, f, p / f, r.target);
    }
    printf("peak memory: %ld MB (target 300)\n", peakMb());
    return 0;
}
