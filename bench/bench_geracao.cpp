// Benchmark of the bank-file screens on the large database (see BenchBase): showing the
// deposit/custody generation screen and the return screen, moving to another lot on either,
// the first generation of a 5,000-cheque lot (file written and database committed) and the
// marking of 1,000 selected cheques returned, each against the same statements sent straight
// through the engine's C API.
//
//   bench_geracao [--db FILE | --pg postgresql://user@host:port/database] [--runs N]
#include "BenchBase.h"

#include "bankfiles/DepositoCustodia.h"
#include "bankfiles/ufrmDevolucaoCheque.h"
#include "bankfiles/ufrmGeraArqDepositoCustodia.h"
#include "platform/data/Connection.h"
#include "platform/data/TransactionGuard.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/DbGrid.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <libpq-fe.h>
#include <memory>
#include <unistd.h>

using namespace Bench;

namespace {

constexpr int ChequesLoteGrande = 5000;
constexpr int Devolvidos = 1000;
const QString NumLoteGrande = QStringLiteral("9000000"); // past every built lot

// The cheques of the 5,000-cheque lot, captured again as new rows with lines never used
// before: every generation measured dates cheques that were never updated, as the first
// generation of a lot does.
void capturaCheques(Connection& c, int cod) {
    const qint64 primeiro =
        c.selectValue(QStringLiteral("select coalesce(max(cod_cheque), 0) from cheque"))
            .toLongLong();
    c.execute(QStringLiteral("delete from cheque where cod_lote = ?"), {cod});
    for (int i = 0; i < ChequesLoteGrande; ++i) {
        const QString l = linhaValida(qint64(50000000) + primeiro + i);
        c.execute(QStringLiteral("insert into cheque (cod_lote, num_banco, num_agencia, num_dv2, "
                                 "num_compe, num_cheque, num_tipificacao, num_dv1, num_conta, "
                                 "num_dv3, vlr_cheque, ind_devolvido) values "
                                 "(?,?,?,?,?,?,?,?,?,?,?,?)"),
                  {cod, l.mid(0, 3), l.mid(3, 4), l.mid(7, 1), l.mid(8, 3), l.mid(11, 6),
                   l.mid(17, 1), l.mid(18, 1), l.mid(19, 10), l.mid(29, 1), qint64(1000 + i) * 100,
                   false});
    }
}

// The 5,000-cheque lot, added in one transaction when missing or incomplete (the capture
// benchmark takes out every cheque added after the built database's). Returns its code.
int loteGrande(Connection& c) {
    int cod = c.selectValue(QStringLiteral("select cod_lote from lote_cheque where num_lote = ?"),
                            {NumLoteGrande})
                  .toInt();
    if (cod != 0 &&
        c.selectValue(QStringLiteral("select count(*) from cheque where cod_lote = ?"), {cod})
                .toInt() == ChequesLoteGrande)
        return cod;
    printf("adding the lot of %d cheques...\n", ChequesLoteGrande);
    fflush(stdout);
    TransactionGuard tx(c);
    if (cod == 0) {
        // Dated before every other lot, so that it is never the last lot the capture uses, and
        // of the last member, so that it is not the lot the screens open on.
        c.execute(
            QStringLiteral("insert into lote_cheque (cod_associado, num_lote, "
                           "idt_dep_custodia, ind_gerado, dat_lote) values (?, ?, 'D', ?, ?)"),
            {Associados, NumLoteGrande, false, QDateTime(QDate(2019, 12, 31), QTime(8, 0))});
        cod = c.selectValue(QStringLiteral("select cod_lote from lote_cheque where num_lote = ?"),
                            {NumLoteGrande})
                  .toInt();
    }
    capturaCheques(c, cod);
    tx.commit();
    return cod;
}

// The lot as just captured: not generated, its cheques new rows.
void reinicia(Connection& c, int cod) {
    TransactionGuard tx(c);
    c.execute(QStringLiteral("update lote_cheque set ind_gerado = ?, dat_gerado = null where "
                             "cod_lote = ?"),
              {false, cod});
    capturaCheques(c, cod);
    tx.commit();
}

// Answers as the operator does: "Sim" to the confirmation, the file's path to the save dialog,
// OK to the success messages (noting when each arrived). Any other dialog fails the run.
struct Operador : Dialogs::Handler {
    QString arquivo;
    QElapsedTimer relogio;
    double sucesso = -1; // ms from the start of the clock to the last success message
    Dialogs::Answer handle(const Dialogs::Request& r) override {
        switch (r.kind) {
        case Dialogs::Kind::Confirmation:
            return {Dialogs::Button::Yes, {}};
        case Dialogs::Kind::SaveFile:
            return {Dialogs::Button::Ok, arquivo};
        case Dialogs::Kind::MessageBox:
            if (r.text == QStringLiteral("Arquivo gerado com sucesso!!") ||
                r.text == QStringLiteral("Alteração realizada com sucesso!!")) {
                sucesso = relogio.nsecsElapsed() / 1e6;
                return {Dialogs::Button::Ok, {}};
            }
            break;
        default:
            break;
        }
        fprintf(stderr, "unexpected dialog: %s\n", qPrintable(r.text));
        exit(1);
    }
    void beep() override {}
};

// Shows the screen and makes it the active window, as the operator's click does.
double mostra(QWidget& frm) {
    frm.hide();
    const double ms = timeMs([&] { frm.show(); });
    QApplication::setActiveWindow(&frm); // offscreen windows are not activated by themselves
    if (!QTest::qWaitForWindowActive(&frm))
        exit(1);
    return ms;
}

// One row down and back up in the lot grid, by the keyboard; the mean of both.
double moveLote(DbGrid* lotes) {
    lotes->setFocus();
    const double ida = timeMs([&] { QTest::keyClick(lotes, Qt::Key_Down); });
    const double volta = timeMs([&] { QTest::keyClick(lotes, Qt::Key_Up); });
    return (ida + volta) / 2;
}

// The cheque select of a screen with its named parameters written out for the floor.
QByteArray chequesFloor(const QString& sql, bool gerado) {
    QString s = sql;
    s.replace(QLatin1String(":pCodLote"), QLatin1String("?"));
    s.replace(QLatin1String(":pIndTodos"), gerado ? QLatin1String("'N'") : QLatin1String("'S'"));
    s.replace(QLatin1String(":pIndDev"), gerado ? QLatin1String("'S'") : QLatin1String("'N'"));
    return s.toUtf8();
}

// The file as the program writes it: a temporary file flushed to the disk, then renamed.
void escreveFloor(const QByteArray& conteudo, const QString& caminho) {
    const QByteArray temp = (caminho + QStringLiteral(".tmp")).toLocal8Bit();
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, conteudo.constData(), size_t(conteudo.size())) != conteudo.size() ||
        ::fsync(fd) != 0 || ::close(fd) != 0 ||
        ::rename(temp.constData(), caminho.toLocal8Bit().constData()) != 0) {
        fprintf(stderr, "floor: cannot write %s\n", temp.constData());
        exit(1);
    }
}

// The records of the lot's cheques, read straight through the engine in the program's order
// and made as the program makes them.
// The rest of the rows of the first lots listed, read when a screen shows its list.
QByteArray primeirosLotes(const Dataset& lotes, bool comTotais) {
    QStringList codigos;
    for (int i = 0; i < qMin(100, lotes.recordCount()); ++i)
        codigos << lotes.valueAt(i, QStringLiteral("cod_lote")).toString();
    return sqlDetalhesLote(comTotais).arg(codigos.join(QStringLiteral(", "))).toUtf8();
}

QByteArray registrosFloor(Floor& floor, bool postgres, int lote) {
    const char* sql = "select num_banco, num_agencia, num_dv2, num_compe, num_cheque, "
                      "num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque from cheque "
                      "where cod_lote = ? order by case when dat_deposito is null then 0 else 1 "
                      "end, dat_deposito, cod_cheque";
    QByteArray conteudo;
    const auto registro = [&](const std::function<const char*(int)>& t) {
        DepositoCustodia::Cheque c;
        QString* campos[] = {&c.numBanco, &c.numAgencia, &c.numDv2,
                             &c.numCompe, &c.numCheque,  &c.numTipificacao,
                             &c.numDv1,   &c.numConta,   &c.numDv3};
        for (int i = 0; i < 9; ++i)
            *campos[i] = QString::fromUtf8(t(i));
        c.vlrCheque = Money::fromVariant(QByteArray(t(9)).toLongLong());
        conteudo += DepositoCustodia::registro(c);
    };
    if (postgres) {
        PGconn* pg = static_cast<PgFloor&>(floor).pg;
        const QByteArray valor = QByteArray::number(lote);
        const char* valores[] = {valor.constData()};
        PGresult* r = PQexecParams(pg, QByteArray(sql).replace('?', "$1").constData(), 1, nullptr,
                                   valores, nullptr, nullptr, 0);
        for (int i = 0; i < PQntuples(r); ++i)
            registro([&](int c) { return PQgetvalue(r, i, c); });
        PQclear(r);
        return conteudo;
    }
    sqlite3* db = static_cast<SqliteFloor&>(floor).db;
    sqlite3_stmt* st;
    check(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), db);
    sqlite3_bind_int(st, 1, lote);
    while (sqlite3_step(st) == SQLITE_ROW)
        registro([&](int c) { return reinterpret_cast<const char*>(sqlite3_column_text(st, c)); });
    sqlite3_finalize(st);
    return conteudo;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Operador operador;
    Dialogs::setHandler(&operador);
    int runs = 9;
    bool postgres = false;
    const QString path = prepara(argc, argv, runs, postgres);

    Connection cnx(QStringLiteral("CnxPrincipal"));
    cnx.setConnectionString(path);
    cnx.open();
    const int grande = loteGrande(cnx);
    const QString pasta = QDir::tempPath() + QStringLiteral("/bench_geracao");
    QDir().mkpath(pasta);
    operador.arquivo = pasta + QStringLiteral("/deposito.txt");
    const QString arquivoFloor = pasta + QStringLiteral("/deposito-floor.txt");

    std::unique_ptr<Floor> floorOf;
    if (postgres)
        floorOf = std::make_unique<PgFloor>(path);
    else
        floorOf = std::make_unique<SqliteFloor>(path);
    Floor& floor = *floorOf;

    // The real screens, driven as the operator does.
    TfrmGeraArqDepositoCustodia gera(&cnx);
    TfrmDevolucaoCheque devolve(&cnx);
    std::vector<double> showG, moveG, gerar, gerarTudo, showD, moveD, marcar, marcarTudo, marcarSo;
    std::vector<double> fShowG, fMoveG, fGerar, fShowD, fMoveD, fMarcar;
    const QByteArray lotesG = sqlLotes(cnx.engine(), false).toUtf8();
    const QByteArray lotesD = sqlLotes(cnx.engine(), true).toUtf8();
    for (int r = 0; r < runs; ++r) {
        reinicia(cnx, grande);
        QFile::remove(operador.arquivo);

        // The generation screen.
        showG.push_back(mostra(gera));
        TdtmGeraArqDepositoCustodia* dtmG = gera.dtmGeraArqDepositoCustodia;
        const int primeiroG = dtmG->codLoteAtual();
        const bool primeiroGerado = dtmG->loteGerado();
        moveG.push_back(moveLote(gera.RxDBGrid1));
        const int segundoG = dtmG->qryLoteCheque.valueAt(1, QStringLiteral("cod_lote")).toInt();
        const bool segundoGerado =
            dtmG->qryLoteCheque.valueAt(1, QStringLiteral("ind_gerado")).toBool();
        if (!dtmG->qryLoteCheque.locate(QStringLiteral("cod_lote"), grande) ||
            dtmG->qryCheque.recordCount() != ChequesLoteGrande) {
            fprintf(stderr, "the lot of %d cheques is not listed\n", ChequesLoteGrande);
            return 1;
        }
        operador.sucesso = -1;
        operador.relogio.start();
        gerarTudo.push_back(timeMs([&] { gera.SpeedButton1->click(); }));
        if (operador.sucesso < 0 || !QFile::exists(operador.arquivo)) {
            fprintf(stderr, "the file was not generated\n");
            return 1;
        }
        gerar.push_back(operador.sucesso);

        // The return screen, on the lot just generated.
        showD.push_back(mostra(devolve));
        TdtmDevolucaoCheque* dtmD = devolve.dtmDevolucaoCheque;
        const int primeiroD = dtmD->qryLoteCheque.valueAt(0, QStringLiteral("cod_lote")).toInt();
        moveD.push_back(moveLote(devolve.RxDBGrid1));
        const int segundoD = dtmD->qryLoteCheque.valueAt(1, QStringLiteral("cod_lote")).toInt();
        if (!dtmD->qryLoteCheque.locate(QStringLiteral("cod_lote"), grande) ||
            dtmD->qryCheque.recordCount() != ChequesLoteGrande) {
            fprintf(stderr, "the generated lot is not listed for returns\n");
            return 1;
        }
        QList<int> lista;
        for (int i = 0; i < Devolvidos; ++i) {
            lista << dtmD->qryCheque.valueAt(i, QStringLiteral("cod_cheque")).toInt();
            devolve.RxDBGrid2->setRowSelected(i, true);
        }
        operador.sucesso = -1;
        operador.relogio.start();
        marcarTudo.push_back(timeMs([&] { devolve.SpeedButton1->click(); }));
        if (operador.sucesso < 0 ||
            cnx.selectValue(QStringLiteral("select count(*) from cheque where cod_lote = ? and "
                                           "ind_devolvido = ?"),
                            {grande, true})
                    .toInt() != Devolvidos) {
            fprintf(stderr, "the cheques were not marked returned\n");
            return 1;
        }
        marcar.push_back(operador.sucesso);
        // The marking statement alone, as the screen's data module sends it (the cheques are
        // marked again): how much of the screen's time the selection walk takes.
        marcarSo.push_back(timeMs([&] { dtmD->devolve(lista); }));

        // The floor: the same statements, the same file.
        reinicia(cnx, grande);
        const QByteArray detalhesG = primeirosLotes(dtmG->qryLoteCheque, true);
        fShowG.push_back(timeMs([&] {
            floor.rows(lotesG.constData());
            floor.rows(detalhesG.constData());
            floor.rows(chequesFloor(dtmG->qryCheque.sql(), primeiroGerado).constData(), primeiroG);
        }));
        fMoveG.push_back(timeMs([&] {
            floor.rows(chequesFloor(dtmG->qryCheque.sql(), segundoGerado).constData(), segundoG);
        }));
        // Dates are written as the program writes them, a timestamp at midnight.
        const QByteArray hoje = QDate::currentDate().toString(Qt::ISODate).toUtf8() + " 00:00:00";
        const QByteArray lote = QByteArray::number(grande);
        fGerar.push_back(timeMs([&] {
            floor.rows("begin");
            floor.rows(postgres ? "select cod_lote from lote_cheque where cod_lote = ? for update"
                                : "select cod_lote from lote_cheque where cod_lote = ?",
                       grande);
            floor.rows(("update lote_cheque set ind_gerado = true, dat_gerado = '" + hoje +
                        "' where cod_lote = " + lote + " and ind_gerado = false")
                           .constData());
            // The records are made from the rows read, as the program makes them.
            const QByteArray conteudo = registrosFloor(floor, postgres, grande);
            floor.rows(("update cheque set dat_deposito = '" + hoje + "' where cod_lote = " + lote)
                           .constData());
            escreveFloor(conteudo, arquivoFloor);
            floor.rows("commit");
        }));
        const QByteArray detalhesD = primeirosLotes(dtmD->qryLoteCheque, false);
        fShowD.push_back(timeMs([&] {
            floor.rows(lotesD.constData());
            floor.rows(detalhesD.constData());
            floor.rows(chequesFloor(dtmD->qryCheque.sql(), false).constData(), primeiroD);
        }));
        fMoveD.push_back(timeMs(
            [&] { floor.rows(chequesFloor(dtmD->qryCheque.sql(), false).constData(), segundoD); }));
        // The floor marks the first cheques of the lot it generated, as the program did.
        QStringList primeiros;
        for (const QVariantList& r :
             cnx.select(QStringLiteral("select cod_cheque from cheque where cod_lote = ? order "
                                       "by cod_cheque limit ?"),
                        {grande, Devolvidos})
                 .rows)
            primeiros << r.at(0).toString();
        const QByteArray codigosFloor = primeiros.join(QStringLiteral(", ")).toUtf8();
        fMarcar.push_back(timeMs([&] {
            floor.rows("begin");
            floor.rows(postgres ? "select lc.cod_lote from lote_cheque lc where lc.cod_lote in "
                                  "(select cod_lote from cheque where cod_cheque = ?) for share"
                                : "select lc.cod_lote from lote_cheque lc where lc.cod_lote in "
                                  "(select cod_lote from cheque where cod_cheque = ?)",
                       primeiros.first().toInt());
            floor.rows(("update cheque set ind_devolvido = true, dat_devolucao = '" + hoje +
                        "' where dat_2reapresentacao is null and cod_cheque in (" + codigosFloor +
                        ")")
                           .constData());
            floor.rows("commit");
        }));
    }
    reinicia(cnx, grande);

    printf("\n%s, %d runs\n", postgres ? "PostgreSQL" : "SQLite", runs);
    printf("%-44s %11s %10s %7s %10s\n", "operation (median of runs)", "program ms", "floor ms",
           "ratio", "target ms");
    const struct {
        const char* name;
        std::vector<double>* prog;
        std::vector<double>* fl;
        double target;
    } rows[] = {
        {"show the generation screen", &showG, &fShowG, 500},
        {"move to another lot (generation)", &moveG, &fMoveG, 10},
        {"generate a 5,000-cheque lot (to the message)", &gerar, &fGerar, 200},
        {"  the same, lists read again after", &gerarTudo, &fGerar, 0},
        {"show the return screen", &showD, &fShowD, 500},
        {"move to another lot (return)", &moveD, &fMoveD, 10},
        {"mark 1,000 cheques returned (to the message)", &marcar, &fMarcar, 100},
        {"  the same, list read again after", &marcarTudo, &fMarcar, 0},
        {"  the statement alone (re-marking them)", &marcarSo, &fMarcar, 0},
    };
    for (const auto& r : rows) {
        const double p = median(*r.prog), f = median(*r.fl);
        if (r.target > 0)
            printf("%-44s %11.3f %10.3f %7.2f %10.0f\n", r.name, p, f, p / f, r.target);
        else
            printf("%-44s %11.3f %10.3f %7.2f %10s\n", r.name, p, f, p / f, "-");
    }
    printf("peak memory: %ld MB (target 300)\n", peakMb());
    return 0;
}
