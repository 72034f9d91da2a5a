// Benchmark of finding a returned cheque by its line on the return screen, on the large
// database (see BenchBase): the operator's Enter after a scanned line, timed until the cheque
// is selected, for a cheque of another lot (the screen moves there) and of the same lot; and
// the lookup statement alone.
//
//   bench_leitura [--db FILE | --pg postgresql://user@host:port/database] [--runs N]
#include "BenchBase.h"

#include "bankfiles/ufrmDevolucaoCheque.h"
#include "core/Schema.h"
#include "core/uBib.h"
#include "platform/data/Connection.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/DigitLineEdit.h"

#include <QApplication>
#include <QTest>
#include <cstdio>

using namespace Bench;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ConfirmaTudo operador;
    Dialogs::setHandler(&operador);
    int runs = 21;
    bool postgres = false;
    const QString path = prepara(argc, argv, runs, postgres);

    Connection cnx(QStringLiteral("CnxPrincipal"));
    cnx.setConnectionString(path);
    cnx.open();
    if (Schema::versao(cnx) < Schema::Versao) {
        fprintf(stderr, "run capdb atualiza on the database first\n");
        return 1;
    }
    // Cheques of generated lots spread over the whole database, two of each lot.
    const ResultSet rs = cnx.select(
        QStringLiteral(
            "select c.num_banco || c.num_agencia || c.num_dv2 || c.num_compe || c.num_cheque || "
            "c.num_tipificacao || c.num_dv1 || c.num_conta || c.num_dv3, c.cod_lote from cheque c "
            "join lote_cheque lc on lc.cod_lote = c.cod_lote where lc.ind_gerado = ? and "
            "c.dat_2reapresentacao is null and c.cod_cheque % 99991 in (0, 1) order by "
            "c.cod_cheque"),
        {true});
    printf("%lld cheques to scan\n", qlonglong(rs.rows.size()));

    TfrmDevolucaoCheque frm(&cnx);
    const double abre = timeMs([&] { frm.show(); });
    QApplication::setActiveWindow(&frm);
    if (!QTest::qWaitForWindowActive(&frm))
        return 1;
    printf("screen shown in %.1f ms\n", abre);

    std::vector<double> outroLote, mesmoLote, consulta;
    for (int r = 0; r < runs; ++r) {
        for (const QVariantList& row : rs.rows) {
            const QString linha = row[0].toString();
            frm.edLinhaCheque->setFocus();
            frm.edLinhaCheque->setText(linha);
            const bool move =
                frm.RxDBGrid1->dataset()->asInteger(QStringLiteral("cod_lote")) != row[1].toInt();
            const double ms = timeMs([&] { QTest::keyClick(frm.edLinhaCheque, Qt::Key_Return); });
            (move ? outroLote : mesmoLote).push_back(ms);
            consulta.push_back(
                timeMs([&] { frm.dtmDevolucaoCheque->localiza(SeparaLinhaCheque(linha)); }));
        }
    }
    // The parts of a move: finding the lot in the list, and reading its cheques.
    std::vector<double> acha, cheques;
    Dataset& lotes = *frm.RxDBGrid1->dataset();
    for (const QVariantList& row : rs.rows) {
        acha.push_back(timeMs([&] { lotes.locate(QStringLiteral("cod_lote"), row[1]); }));
        cheques.push_back(timeMs([&] {
            frm.dtmDevolucaoCheque->qryCheque.close();
            frm.dtmDevolucaoCheque->qryCheque.open();
        }));
    }
    printf("locate of the lot in the list: median %.2f ms; cheques read again: median %.2f ms\n",
           median(acha), median(cheques));
    printf("scan, cheque of another lot: median %.2f ms, max %.2f ms (%zu)\n", median(outroLote),
           *std::max_element(outroLote.begin(), outroLote.end()), outroLote.size());
    if (!mesmoLote.empty())
        printf("scan, cheque of the same lot: median %.2f ms, max %.2f ms (%zu)\n",
               median(mesmoLote), *std::max_element(mesmoLote.begin(), mesmoLote.end()),
               mesmoLote.size());
    printf("lookup statement: median %.3f ms, max %.3f ms\n", median(consulta),
           *std::max_element(consulta.begin(), consulta.end()));
    printf("peak memory %ld MB\n", peakMb());
    return 0;
}
