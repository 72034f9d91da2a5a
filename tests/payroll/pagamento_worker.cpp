// One copy of the program generating a salary payment file, for the test of two copies at once.
//
//   pagamento_worker TARGET FILE
//
// Lists the employees of the first member under its movement code "01" through the salary
// screen's data module, writes "listed" and waits for a line on its input; then selects all and
// generates FILE, and writes "ok", "refused TEXT" or "error TEXT".
#include "payroll/udtmGeraArqPagFuncionario.h"
#include "platform/files/RecordFile.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    QTextStream out(stdout);
    Connection cnx(QStringLiteral("worker"));
    cnx.setConnectionString(args.at(1));
    cnx.open();
    cnx.setBusyTimeout(20000);
    TdtmGeraArqPagFuncionario dtm(&cnx);
    dtm.qryAssociado.open();
    dtm.qryLkpMovimento.open();
    dtm.qryLkpMovimento.locate(QStringLiteral("num_cod_movimento"), QStringLiteral("01"));
    dtm.codMovimento = dtm.qryLkpMovimento.value(QStringLiteral("cod_movimento"));
    dtm.qryFuncionario.open();
    out << "listed " << dtm.qryFuncionario.recordCount() << Qt::endl;

    char go[16];
    if (!std::fgets(go, sizeof go, stdin))
        return 3;
    TdtmGeraArqPagFuncionario::Pedido p;
    p.arquivo = args.at(2);
    p.dataDigitada = QStringLiteral("24/01/2007");
    p.mesReferencia = QStringLiteral("200701");
    p.tratamento = QStringLiteral("P");
    for (int row = 0; row < dtm.qryFuncionario.recordCount(); ++row)
        p.selecionados << dtm.qryFuncionario.bookmarkAt(row);
    try {
        dtm.geraArquivo(p);
        out << "ok" << Qt::endl;
    } catch (const RelacaoDesatualizada& e) {
        out << "refused " << e.message() << Qt::endl;
    } catch (const std::exception& e) {
        out << "error " << QString::fromStdString(e.what()) << Qt::endl;
    }
    return 0;
}
