// The check of a bank file before it is sent: clean files pass, each kind of fault is found at
// its record and positions.
#include "bankfiles/DepositoCustodia.h"
#include "bankfiles/VerificaArquivo.h"
#include "platform/files/RecordFile.h"

#include <QTest>

using namespace VerificaArquivo;

namespace {

DepositoCustodia::Cheque cheque(const QString& line, Money value) {
    DepositoCustodia::Cheque c;
    c.numBanco = line.mid(0, 3);
    c.numAgencia = line.mid(3, 4);
    c.numDv2 = line.mid(7, 1);
    c.numCompe = line.mid(8, 3);
    c.numCheque = line.mid(11, 6);
    c.numTipificacao = line.mid(17, 1);
    c.numDv1 = line.mid(18, 1);
    c.numConta = line.mid(19, 10);
    c.numDv3 = line.mid(29, 1);
    c.vlrCheque = value;
    return c;
}

QList<QByteArray> depositRecords() {
    return {
        DepositoCustodia::registro(
            cheque("001234510180001235500001234566", Money::fromCents(123456))),
        DepositoCustodia::registro(cheque("001234510180001235500001234566", Money::fromCents(29))),
        DepositoCustodia::registro(
            cheque("001234510180001235500001234566", Money::fromCents(99999999999LL)))};
}

QByteArray field(const QByteArray& text, int width, char fill, bool left) {
    const QByteArray pad(qMax(0, width - int(text.size())), fill);
    return left ? pad + text : text + pad;
}

// A salary payment file written by hand from the layout: header, two employees, trailer.
QList<QByteArray> salaryRecords() {
    const QByteArray header = "01" + field("756", 3, '0', true) + field("3019", 4, '0', true) +
                              field("1234567", 7, '0', true) + QByteArray(10, ' ') + "01" + "02" +
                              "20261211" + QByteArray(162, ' ');
    auto detail = [](const QByteArray& account, const QByteArray& name, const QByteArray& cpf,
                     qint64 cents) {
        return "1C" + field(account, 10, '0', true) + field(name, 40, ' ', false) +
               field(cpf, 14, '0', true) + QByteArray(12, ' ') + "000" + QByteArray(30, ' ') +
               field(QByteArray::number(cents), 17, '0', true) + QByteArray(72, ' ');
    };
    const QByteArray trailer = "9" + QByteArray(22, '0') + "00002" +
                               field(QByteArray::number(150000 + 99999999999LL), 17, '0', true) +
                               QByteArray(155, ' ');
    // "JOSÉ" in Windows-1252: one byte for the accented letter.
    return {header, detail("123456", "MARIA DA SILVA", "31415926590", 150000),
            detail("", "JOS\xC9 DE SOUZA", "10000612308", 99999999999LL), trailer};
}

QByteArray joined(const QList<QByteArray>& records) {
    return RecordFile::bytesOf(records);
}

} // namespace

class TestVerificaArquivo : public QObject {
    Q_OBJECT
private slots:
    void cleanFiles();
    void faults_data();
    void faults();
    void refusedBeforeWriting();
};

void TestVerificaArquivo::cleanFiles() {
    const Resultado d = verifica(joined(depositRecords()));
    QVERIFY2(d.ok(), qPrintable(d.problemas.value(0).descricao()));
    QCOMPARE(d.tipo, Tipo::DepositoCustodia);
    QCOMPARE(d.registros, 3);
    QCOMPARE(d.totalCentavos, 123456 + 29 + 99999999999LL);
    QCOMPARE(d.resumo(), QStringLiteral("Arquivo de depósito/custódia de cheques: 3 registro(s), "
                                        "total R$ 1.000.001.234,84."));

    const Resultado s = verifica(joined(salaryRecords()));
    QVERIFY2(s.ok(), qPrintable(s.problemas.value(0).descricao()));
    QCOMPARE(s.tipo, Tipo::PagamentoSalario);
    QCOMPARE(s.registros, 4);
    QCOMPARE(s.totalCentavos, 150000 + 99999999999LL);
}

void TestVerificaArquivo::faults_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("problems");

    const QList<QByteArray> dep = depositRecords();
    auto changed = [](QList<QByteArray> recs, int record, int position, const QByteArray& text) {
        recs[record - 1].replace(position - 1, text.size(), text);
        return joined(recs);
    };
    {
        QList<QByteArray> recs = dep;
        recs[1].chop(1);
        QTest::newRow("deposit: a record one character short")
            << joined(recs)
            << QStringList{"Registro 2: o registro tem 99 caracteres em vez de 100",
                           "Registro 2, posições 67 a 100: campo que deve ficar em branco"};
    }
    {
        QByteArray f = joined(dep);
        f.remove(f.indexOf("\r\n"), 1);
        QTest::newRow("deposit: LF without CR")
            << f << QStringList{"Registro 1: registro terminado só com LF, sem CR"};
    }
    {
        QByteArray f = joined(dep);
        f.chop(2);
        QTest::newRow("deposit: the last record without its line end")
            << f << QStringList{"Registro 3: o último registro não termina com CR LF"};
    }
    QTest::newRow("deposit: a letter in an amount")
        << changed(dep, 1, 40, "A")
        << QStringList{"Registro 1, posições 32 a 48: valor com caractere que não é dígito"};
    QTest::newRow("deposit: a wrong third check digit")
        << changed(dep, 3, 31, "7")
        << QStringList{"Registro 3, posições 21 a 31: dígito verificador da posição 31 não "
                       "confere com as posições 21 a 30 (linha CMC-7)"};
    QTest::newRow("deposit: a wrong first check digit")
        << changed(dep, 2, 9, "0")
        << QStringList{"Registro 2, posições 9 a 19: dígito verificador da posição 9 não "
                       "confere com as posições 10 a 19 (linha CMC-7)"};
    QTest::newRow("deposit: a zero value")
        << changed(dep, 1, 32, QByteArray(17, '0'))
        << QStringList{"Registro 1, posições 32 a 48: valor zero"};
    QTest::newRow("deposit: a letter in the zero fields")
        << changed(dep, 2, 60, "x")
        << QStringList{"Registro 2, posições 49 a 66: campos de zeros: esperado "
                       "\"000000000000000000\""};
    QTest::newRow("empty file") << QByteArray() << QStringList{"arquivo vazio"};
    QTest::newRow("neither kind")
        << QByteArray("2abc\r\n")
        << QStringList{"Registro 1, posições 1 a 2: não é um arquivo de depósito/custódia "
                       "(registros começados por \"1\") nem de pagamento de salários "
                       "(cabeçalho \"01\")"};

    const QList<QByteArray> sal = salaryRecords();
    QTest::newRow("salary: trailer count disagrees")
        << changed(sal, 4, 24, "00003")
        << QStringList{"Registro 4, posições 24 a 28: quantidade 3 diferente dos 2 registros de "
                       "funcionário"};
    QTest::newRow("salary: trailer sum disagrees")
        << changed(sal, 4, 45, "0")
        << QStringList{"Registro 4, posições 29 a 45: soma R$ 1.000.001.499,90 diferente da "
                       "soma dos registros de funcionário, R$ 1.000.001.499,99"};
    QTest::newRow("salary: a letter in an amount")
        << changed(sal, 2, 120, "O")
        << QStringList{"Registro 2, posições 112 a 128: valor com caractere que não é dígito",
                       "Registro 4, posições 29 a 45: soma R$ 1.000.001.499,99 diferente da "
                       "soma dos registros de funcionário, R$ 999.999.999,99"};
    {
        QList<QByteArray> recs = sal;
        recs.swapItemsAt(0, 1);
        QTest::newRow("salary: employee before the header")
            << joined(recs)
            << QStringList{"Registro 1, posições 1 a 2: tipo do registro de cabeçalho: "
                           "esperado \"01\"",
                           "Registro 2, posições 1 a 2: cabeçalho fora do primeiro registro",
                           "Registro 4, posições 24 a 28: quantidade 2 diferente dos 1 registros "
                           "de funcionário",
                           "Registro 4, posições 29 a 45: soma R$ 1.000.001.499,99 diferente da "
                           "soma dos registros de funcionário, R$ 999.999.999,99"};
    }
    {
        QList<QByteArray> recs = sal;
        recs.insert(2, recs[0]);
        QTest::newRow("salary: header twice")
            << joined(recs)
            << QStringList{"Registro 3, posições 1 a 2: cabeçalho fora do primeiro registro"};
    }
    QTest::newRow("salary: an impossible payment date")
        << changed(sal, 1, 31, "20260230")
        << QStringList{"Registro 1, posições 31 a 38: data de pagamento inexistente"};
    {
        QList<QByteArray> recs = sal;
        recs.removeLast();
        QTest::newRow("salary: no trailer")
            << joined(recs)
            << QStringList{"Registro 3, posição 1: tipo do registro final: esperado \"9\""};
    }
}

void TestVerificaArquivo::faults() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, problems);
    const Resultado r = verifica(file);
    QStringList got;
    for (const Problema& p : r.problemas)
        got << p.descricao();
    QCOMPARE(got, problems);
}

// The program's own check: a file of the wrong kind or with a fault is refused with a text
// naming the fault.
void TestVerificaArquivo::refusedBeforeWriting() {
    exige(joined(depositRecords()), Tipo::DepositoCustodia);
    exige(joined(salaryRecords()), Tipo::PagamentoSalario);
    try {
        exige(joined(salaryRecords()), Tipo::DepositoCustodia);
        QFAIL("a salary file passed as a deposit file");
    } catch (const FileError& e) {
        QVERIFY2(e.message().contains("não é de depósito/custódia de cheques"),
                 qPrintable(e.message()));
    }
    QList<QByteArray> recs = depositRecords();
    recs[0][40] = 'A';
    QVERIFY_THROWS_EXCEPTION(FileError, exige(joined(recs), Tipo::DepositoCustodia));
}

QTEST_GUILESS_MAIN(TestVerificaArquivo)
#include "tst_verificaarquivo.moc"
