// Several copies at once, each on its own connection and thread, really holding the database:
// two generations of one lot, and captures racing a generation.
#include "TestDb.h"
#include "bankfiles/udtmDevolucaoCheque.h"
#include "bankfiles/udtmGeraArqDepositoCustodia.h"
#include "capture/udtmCapturaCheque.h"
#include "core/uBib.h"
#include "platform/data/DbError.h"
#include "platform/files/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

namespace {

int novoLote(Connection& c, const QString& numero) {
    const int assoc = c.insertReturning("INSERT INTO associado (idt_tpo_associado, "
                                        "nom_associado) VALUES ('F', ?) RETURNING cod_associado",
                                        {"Ana " + numero})
                          .toInt();
    return c
        .insertReturning("INSERT INTO lote_cheque (cod_associado, num_lote, dat_lote) VALUES "
                         "(?, ?, ?) RETURNING cod_lote",
                         {assoc, numero, QDateTime(QDate(2026, 12, 1), QTime(9, 0))})
        .toInt();
}

// The check digit of the compe, cheque number and type groups, as a captured line has it.
int dv2(int numero) {
    return CalculaDVModulo10("018" + QString("%1").arg(numero, 6, 10, QChar('0')) + "5");
}

void novoCheque(Connection& c, int lote, int numero) {
    c.execute("INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, num_compe, "
              "num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque, "
              "ind_devolvido) VALUES (?, '001', '2345', ?, '018', ?, '5', '5', '0000123456', "
              "'6', ?, ?)",
              {lote, QString::number(dv2(numero)), QString("%1").arg(numero, 6, 10, QChar('0')),
               Money::fromCents(100 + numero).toVariant(), false});
}

// One copy of the program: its own connection, opened in its own thread.
struct Copia {
    explicit Copia(const QString& target) : cnx("copia") {
        cnx.setConnectionString(target);
        cnx.open();
        cnx.setBusyTimeout(20000);
    }
    Connection cnx;
};

} // namespace

class TestGeracaoConcorrencia : public QObject {
    Q_OBJECT
private slots:
    void duasGeracoesDoMesmoLote_data() { TestDb::addEngineRows(); }
    void duasGeracoesDoMesmoLote();
    void segundaGeracaoEsperaAPrimeira_data() { TestDb::addEngineRows(); }
    void segundaGeracaoEsperaAPrimeira();
    void capturasDuranteAGeracao_data() { TestDb::addEngineRows(); }
    void capturasDuranteAGeracao();
    void reapresentacaoPorOutraCopia_data() { TestDb::addEngineRows(); }
    void reapresentacaoPorOutraCopia();
    void exclusaoDuranteAGeracao_data() { TestDb::addEngineRows(); }
    void exclusaoDuranteAGeracao();
    void devolucaoDeLoteLiberado_data();
    void devolucaoDeLoteLiberado();
};

void TestGeracaoConcorrencia::duasGeracoesDoMesmoLote() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    QTemporaryDir dir;
    for (int rodada = 0; rodada < 5; ++rodada) {
        const int lote = novoLote(db.conn(), QString::number(rodada + 1));
        for (int i = 1; i <= 200; ++i)
            novoCheque(db.conn(), lote, rodada * 1000 + i);
        std::atomic<int> prontos{0};
        std::atomic<int> okA{0}, okB{0}, jaA{0}, jaB{0};
        QString erroA, erroB;
        auto copia = [&](const QString& arquivo, std::atomic<int>& ok, std::atomic<int>& ja,
                         QString& erro) {
            Copia c(db.target());
            TdtmGeraArqDepositoCustodia dtm(&c.cnx);
            ++prontos;
            while (prontos < 2) {
            }
            try {
                dtm.geraPrimeira(lote, arquivo, {});
                ++ok;
            } catch (const AlteradoPorOutraEstacao&) {
                ++ja;
            } catch (const DbError& e) {
                erro = e.message();
            } catch (const FileError& e) {
                erro = e.message();
            }
        };
        const QString a = dir.filePath(QString("a%1.txt").arg(rodada));
        const QString b = dir.filePath(QString("b%1.txt").arg(rodada));
        std::thread ta(copia, a, std::ref(okA), std::ref(jaA), std::ref(erroA));
        std::thread tb(copia, b, std::ref(okB), std::ref(jaB), std::ref(erroB));
        ta.join();
        tb.join();
        QVERIFY2(erroA.isEmpty() && erroB.isEmpty(), qPrintable(erroA + " / " + erroB));
        const int gerados = okA + okB;
        const int recusados = jaA + jaB;
        // Exactly one file and one marking; the other copy wrote nothing.
        QCOMPARE(gerados, 1);
        QCOMPARE(recusados, 1);
        QCOMPARE(QFile::exists(a), bool(okA));
        QCOMPARE(QFile::exists(b), bool(okB));
        QFile f(okA ? a : b);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.size(), 200 * 102);
        QCOMPARE(db.conn()
                     .selectValue("select count(*) from cheque where cod_lote = ? and "
                                  "dat_deposito is not null",
                                  {lote})
                     .toInt(),
                 200);
        QCOMPARE(
            db.conn().selectValue("select ind_gerado from lote_cheque where cod_lote = ?", {lote}),
            QVariant(true));
    }
}

void TestGeracaoConcorrencia::segundaGeracaoEsperaAPrimeira() {
    // Another copy is in the middle of generating the lot (it holds it, marked and not yet
    // committed): this copy waits, then finds it generated and writes nothing.
    QFETCH(Engine, engine);
    TestDb db(engine);
    QTemporaryDir dir;
    const int lote = novoLote(db.conn(), "1");
    novoCheque(db.conn(), lote, 1);
    Copia outra(db.target());
    outra.cnx.beginTransaction();
    outra.cnx.select(QStringLiteral("select cod_lote from lote_cheque where cod_lote = ?") +
                         (engine == Engine::PostgreSQL ? " FOR UPDATE" : ""),
                     {lote});
    outra.cnx.execute("update lote_cheque set ind_gerado = ? where cod_lote = ?", {true, lote});
    std::atomic<int> resultado{0}; // 1 generated, 2 refused as generated, 3 other error
    const QString alvo = dir.filePath("x.txt");
    std::thread t([&] {
        Copia c(db.target());
        TdtmGeraArqDepositoCustodia dtm(&c.cnx);
        try {
            dtm.geraPrimeira(lote, alvo, {});
            resultado = 1;
        } catch (const AlteradoPorOutraEstacao&) {
            resultado = 2;
        } catch (...) {
            resultado = 3;
        }
    });
    QTest::qWait(500);
    // Still waiting for the lot.
    QCOMPARE(resultado.load(), 0);
    outra.cnx.commit();
    t.join();
    QCOMPARE(resultado.load(), 2);
    QVERIFY(!QFile::exists(alvo));
    QVERIFY(db.conn().selectValue("select dat_deposito from cheque").isNull());
}

void TestGeracaoConcorrencia::capturasDuranteAGeracao() {
    // One copy captures cheques into the lot as fast as it can while another generates it:
    // every cheque the lot holds afterwards is in the file, and the captures after the
    // generation are refused with the sent-lot message.
    QFETCH(Engine, engine);
    TestDb db(engine);
    QTemporaryDir dir;
    for (int rodada = 0; rodada < 3; ++rodada) {
        const int lote = novoLote(db.conn(), QString::number(rodada + 1));
        for (int i = 1; i <= 20; ++i)
            novoCheque(db.conn(), lote, rodada * 100000 + i);
        std::atomic<bool> gerando{false};
        std::atomic<int> capturados{0}, recusados{0};
        QString erroCaptura, erroGeracao;
        std::thread captura([&] {
            Copia c(db.target());
            TdtmCapturaCheque dtm(&c.cnx);
            dtm.qryLoteCheque.open();
            dtm.qryLoteCheque.locate("cod_lote", lote);
            LinhaCheque l = SeparaLinhaCheque("001234510180001235500001234566");
            for (int i = 0; i < 100000; ++i) {
                const int numero = rodada * 100000 + 50000 + i;
                l.numCheque = QString("%1").arg(numero, 6, 10, QChar('0'));
                l.dv2 = QString::number(dv2(numero));
                try {
                    dtm.gravaCheque(l, Money::fromCents(500));
                    ++capturados;
                } catch (const DbError& e) {
                    if (!e.message().contains("já foi enviado"))
                        erroCaptura = e.message();
                    ++recusados;
                    break;
                }
                if (i == 5)
                    gerando = true;
            }
        });
        const QString alvo = dir.filePath(QString("g%1.txt").arg(rodada));
        std::thread geracao([&] {
            while (!gerando) {
            }
            Copia c(db.target());
            TdtmGeraArqDepositoCustodia dtm(&c.cnx);
            try {
                dtm.geraPrimeira(lote, alvo, {});
            } catch (const std::exception& e) {
                erroGeracao = QString::fromUtf8(e.what());
            }
        });
        captura.join();
        geracao.join();
        QVERIFY2(erroCaptura.isEmpty(), qPrintable(erroCaptura));
        QVERIFY2(erroGeracao.isEmpty(), qPrintable(erroGeracao));
        QCOMPARE(recusados.load(), 1);
        QFile f(alvo);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const int noLote =
            db.conn().selectValue("select count(*) from cheque where cod_lote = ?", {lote}).toInt();
        QCOMPARE(noLote, 20 + capturados.load());
        QCOMPARE(int(f.size()), noLote * 102);
        QCOMPARE(db.conn()
                     .selectValue("select count(*) from cheque where cod_lote = ? and "
                                  "dat_deposito is null",
                                  {lote})
                     .toInt(),
                 0);
    }
}

void TestGeracaoConcorrencia::reapresentacaoPorOutraCopia() {
    // Two copies listed the same returned cheques; the first re-presents them, the second,
    // still holding the old list, is refused: no file, nothing re-presented twice at once.
    QFETCH(Engine, engine);
    TestDb db(engine);
    QTemporaryDir dir;
    const int lote = novoLote(db.conn(), "1");
    novoCheque(db.conn(), lote, 1);
    novoCheque(db.conn(), lote, 2);
    const QDate ontem = QDate::currentDate().addDays(-1);
    db.conn().execute("update lote_cheque set ind_gerado = ?", {true});
    db.conn().execute("update cheque set ind_devolvido = ?, dat_deposito = ?, dat_devolucao = ?",
                      {true, ontem, ontem});
    const QList<int> codigos = {
        db.conn().selectValue("select min(cod_cheque) from cheque").toInt(),
        db.conn().selectValue("select max(cod_cheque) from cheque").toInt()};
    const QList<DepositoCustodia::Cheque> cheques(
        2, chequeDe(db.conn().select("select * from cheque").rows.first(),
                    db.conn().select("select * from cheque").columns));
    Copia a(db.target()), b(db.target());
    TdtmGeraArqDepositoCustodia dtmA(&a.cnx), dtmB(&b.cnx);
    dtmA.reapresenta(codigos, cheques, dir.filePath("a.txt"), {});
    QVERIFY_THROWS_EXCEPTION(
        AlteradoPorOutraEstacao,
        dtmB.reapresenta({codigos.last()}, {cheques.last()}, dir.filePath("b.txt"), {}));
    QVERIFY(!QFile::exists(dir.filePath("b.txt")));
    QCOMPARE(QFile(dir.filePath("a.txt")).size(), 204);
    QCOMPARE(
        db.conn()
            .selectValue("select count(*) from cheque where dat_reapresentacao is not null and "
                         "dat_2reapresentacao is null and ind_devolvido = ?",
                         {false})
            .toInt(),
        2);
}

void TestGeracaoConcorrencia::exclusaoDuranteAGeracao() {
    // A cheque deleted on the capture screen while another copy generates its lot waits for
    // the generation and is then refused: the file keeps holding a stored cheque.
    QFETCH(Engine, engine);
    TestDb db(engine);
    const int lote = novoLote(db.conn(), "1");
    novoCheque(db.conn(), lote, 1);
    Copia outra(db.target());
    outra.cnx.beginTransaction();
    outra.cnx.select(QStringLiteral("select cod_lote from lote_cheque where cod_lote = ?") +
                         (engine == Engine::PostgreSQL ? " FOR UPDATE" : ""),
                     {lote});
    outra.cnx.execute("update lote_cheque set ind_gerado = ? where cod_lote = ?", {true, lote});
    std::atomic<int> resultado{0}; // 1 deleted, 2 refused as sent, 3 other error
    std::thread t([&] {
        Copia c(db.target());
        TdtmCapturaCheque dtm(&c.cnx);
        dtm.qryLoteCheque.open();
        dtm.qryLoteCheque.locate("cod_lote", lote);
        try {
            dtm.excluiCheque();
            resultado = 1;
        } catch (const DbError& e) {
            resultado = e.message().contains("já foi enviado") ? 2 : 3;
        }
    });
    QTest::qWait(500);
    QCOMPARE(resultado.load(), 0);
    outra.cnx.commit();
    t.join();
    QCOMPARE(resultado.load(), 2);
    QCOMPARE(db.conn().selectValue("select count(*) from cheque").toInt(), 1);
}

void TestGeracaoConcorrencia::devolucaoDeLoteLiberado_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("excluido");
    for (Engine e : TestDb::engines()) {
        const QString nome = TestDb::engineName(e);
        QTest::newRow(qPrintable(nome + " liberado")) << e << false;
        QTest::newRow(qPrintable(nome + " liberado e cheque excluído")) << e << true;
    }
}

void TestGeracaoConcorrencia::devolucaoDeLoteLiberado() {
    // The return screen listed a generated lot; meanwhile another copy released it for a new
    // generation (and deleted one of its cheques). Returning the listed cheques is refused and
    // marks nothing: a lot that is not generated has no returned cheques, and the operator is
    // not told of a success.
    QFETCH(Engine, engine);
    QFETCH(bool, excluido);
    TestDb db(engine);
    const int lote = novoLote(db.conn(), "1");
    novoCheque(db.conn(), lote, 1);
    novoCheque(db.conn(), lote, 2);
    db.conn().execute("update lote_cheque set ind_gerado = ?", {true});
    Copia a(db.target()), b(db.target());
    TdtmDevolucaoCheque devolucao(&a.cnx);
    devolucao.qryLoteCheque.open();
    QCOMPARE(devolucao.qryCheque.recordCount(), 2);
    const QList<int> codigos = {devolucao.qryCheque.valueAt(0, "cod_cheque").toInt(),
                                devolucao.qryCheque.valueAt(1, "cod_cheque").toInt()};

    TdtmGeraArqDepositoCustodia geracao(&b.cnx);
    QVERIFY(geracao.regeraLote(lote));
    if (excluido)
        b.cnx.execute("delete from cheque where cod_cheque = ?", {codigos.first()});

    try {
        devolucao.devolve(codigos);
        QFAIL("a devolução de um lote liberado foi aceita");
    } catch (const AlteradoPorOutraEstacao& e) {
        QVERIFY2(e.message().startsWith("Este lote foi disponibilizado para nova geração em outra "
                                        "estação!"),
                 qPrintable(e.message()));
    }
    QCOMPARE(db.conn()
                 .selectValue("select count(*) from cheque where ind_devolvido = ? or "
                              "dat_devolucao is not null",
                              {true})
                 .toInt(),
             0);
}

QTEST_MAIN(TestGeracaoConcorrencia)
#include "tst_geracao_concorrencia.moc"
