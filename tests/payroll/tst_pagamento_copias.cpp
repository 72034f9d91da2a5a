// Two copies of the program, as separate processes on their own connections, both list the
// same employees and then generate at the same moment: exactly one pays them and writes its
// file; the other is refused, records nothing and writes nothing.
#include "TestDb.h"
#include "platform/data/Money.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TestPagamentoCopias : public QObject {
    Q_OBJECT
private slots:
    void twoCopiesAtOnce_data() { TestDb::addEngineRows(); }
    void twoCopiesAtOnce();
};

void TestPagamentoCopias::twoCopiesAtOnce() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    Connection& c = db.conn();
    const int assoc = c.insertReturning("INSERT INTO associado (nom_associado, num_bancoob, "
                                        "num_ag_bancoob, num_conv_bancoob, idt_dst_mov_bancoob) "
                                        "VALUES ('Ana', '756', '1', '1234', '11') RETURNING "
                                        "cod_associado",
                                        {})
                          .toInt();
    const int mov = c.insertReturning("INSERT INTO movimento (cod_associado, num_cod_movimento, "
                                      "dsc_movimento) VALUES (?, '01', 'Folha') RETURNING "
                                      "cod_movimento",
                                      {assoc})
                        .toInt();
    const int dep = c.insertReturning("INSERT INTO departamento (cod_associado, nom_departamento) "
                                      "VALUES (?, 'Adm') RETURNING cod_departamento",
                                      {assoc})
                        .toInt();
    constexpr int Funcionarios = 200;
    for (int i = 0; i < Funcionarios; ++i)
        c.execute("INSERT INTO funcionario (cod_associado, cod_departamento, cod_movimento, "
                  "nom_funcionario, num_cpf, vlr_salario, num_cc_bancoob) VALUES (?, ?, ?, ?, "
                  "'1', ?, '1')",
                  {assoc, dep, mov, QString("F%1").arg(i, 4, 10, QChar('0')),
                   Money::fromCents(100000 + i).toVariant()});

    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> copias;
    for (int w = 0; w < 2; ++w) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(PAGAMENTO_WORKER, {db.target(), dir.filePath(QString("w%1.txt").arg(w))});
        QVERIFY(p->waitForStarted());
        copias.push_back(std::move(p));
    }
    for (auto& p : copias) {
        QVERIFY(p->waitForReadyRead(30000));
        QCOMPARE(p->readLine().trimmed(), QByteArray("listed ") + QByteArray::number(Funcionarios));
    }
    // Both listed before either generates; now both go.
    for (auto& p : copias)
        p->write("go\n");
    QStringList saidas;
    for (auto& p : copias) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
        saidas << QString::fromUtf8(p->readAll().trimmed());
    }
    saidas.sort();
    QCOMPARE(saidas.at(0), QString("ok"));
    QVERIFY2(saidas.at(1).startsWith("refused Outra estação registrou pagamentos"),
             qPrintable(saidas.at(1)));
    QCOMPARE(c.selectValue("SELECT count(*) FROM pagamento_funcionario").toInt(), Funcionarios);
    QCOMPARE(
        c.selectValue("SELECT count(DISTINCT cod_funcionario) FROM pagamento_funcionario").toInt(),
        Funcionarios);
    const int escritos =
        int(QFile::exists(dir.filePath("w0.txt"))) + int(QFile::exists(dir.filePath("w1.txt")));
    QCOMPARE(escritos, 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

QTEST_MAIN(TestPagamentoCopias)
#include "tst_pagamento_copias.moc"
