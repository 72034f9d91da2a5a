// The deposit/custody record, byte for byte, from the stored data.
#include "bankfiles/DepositoCustodia.h"
#include "platform/files/RecordFile.h"

#include <QTest>

using DepositoCustodia::Cheque;

namespace {

// The cheque of a 30-digit CMC-7 line, cut as the capture stores it.
Cheque cheque(const QString& line, Money value) {
    Cheque c;
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

const QString line = "001234510180001235500001234566";
const QByteArray tail = "000000000000000000" + QByteArray(34, ' ');

} // namespace

class TestDepositoCustodia : public QObject {
    Q_OBJECT
private slots:
    void record_data();
    void record();
    void refused_data();
    void refused();
    void file();
};

void TestDepositoCustodia::record_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("worked line") << "1.234,56" << QByteArray("00000000000123456");
    QTest::newRow("0,29 is 29 centavos") << "0,29" << QByteArray("00000000000000029");
    QTest::newRow("10,00") << "10,00" << QByteArray("00000000000001000");
    QTest::newRow("one centavo") << "0,01" << QByteArray("00000000000000001");
    QTest::newRow("largest amount") << "999.999.999,99" << QByteArray("00000099999999999");
}

void TestDepositoCustodia::record() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, value);
    const std::optional<Money> m = Money::parse(typed);
    QVERIFY(m);
    const QByteArray r = DepositoCustodia::registro(cheque(line, *m));
    QCOMPARE(r, "1" + line.toLatin1() + value + tail);
    QCOMPARE(r.size(), 100);
}

void TestDepositoCustodia::refused_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<QString>("message");
    const QString who = "o cheque do banco 001, agência 2345, número 000123 ";
    QTest::newRow("zero") << ""
                          << "" << qint64(0) << who + "tem valor zero.";
    QTest::newRow("negative") << ""
                              << "" << qint64(-2900) << who + "tem valor negativo.";
    QTest::newRow("fraction of a centavo")
        << ""
        << "" << qint64(2901) << who + "tem valor com frações de centavo.";
    QTest::newRow("short account")
        << "conta"
        << "123456" << qint64(2900)
        << who + "tem no campo \"Nº conta\" o valor \"123456\", que não tem exatamente 10 dígitos.";
    QTest::newRow("long type digit")
        << "tipif"
        << "55" << qint64(2900)
        << who + "tem no campo \"Tipif.\" o valor \"55\", que não tem exatamente 1 dígito.";
    QTest::newRow("blank in the compe")
        << "compe"
        << "01 " << qint64(2900)
        << who + "tem no campo \"Comp.\" o valor \"01 \", que não tem exatamente 3 dígitos.";
}

void TestDepositoCustodia::refused() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(qint64, units);
    QFETCH(QString, message);
    Cheque c = cheque(line, Money::fromUnits(units));
    if (field == "conta")
        c.numConta = text;
    else if (field == "tipif")
        c.numTipificacao = text;
    else if (field == "compe")
        c.numCompe = text;
    try {
        DepositoCustodia::registro(c);
        QFAIL("a record was made");
    } catch (const RecordError& e) {
        QCOMPARE(e.message(), message);
    }
}

void TestDepositoCustodia::file() {
    // Three cheques: three lines of 100 characters, each with CR LF, 306 bytes.
    const QList<QByteArray> records{
        DepositoCustodia::registro(cheque(line, Money::fromCents(123456))),
        DepositoCustodia::registro(cheque("341123450010000015500000000012", Money::fromCents(29))),
        DepositoCustodia::registro(
            cheque("237000110270999995199999999997", Money::fromCents(1000))),
    };
    const QByteArray bytes = RecordFile::bytesOf(records);
    QCOMPARE(bytes.size(), 306);
    QCOMPARE(bytes.mid(100, 2), QByteArray("\r\n"));
    QCOMPARE(bytes.right(2), QByteArray("\r\n"));
    QCOMPARE(bytes.mid(102, 31), "1" + QByteArray("341123450010000015500000000012"));
}

QTEST_APPLESS_MAIN(TestDepositoCustodia)
#include "tst_depositocustodia.moc"
