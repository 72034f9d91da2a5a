#include "core/uBib.h"

#include <QTest>

namespace {
// A valid line: bank 001, branch 2345, DV2 1, clearing house 018, number 000123, type 5,
// DV1 5, account 0000123456, DV3 6.
const QString Valid = QStringLiteral("001234510180001235500001234566");
// A valid line whose three check digits are 0: each group's digit sum is a multiple of 10.
const QString ValidZeros = QStringLiteral("756300200900001095000000070490");

// `line` with the digits at the given positions (from 1) replaced.
QString with(QString line, std::initializer_list<std::pair<int, char>> changes) {
    for (auto [pos, digit] : changes)
        line[pos - 1] = QLatin1Char(digit);
    return line;
}
} // namespace

class TstUBib : public QObject {
    Q_OBJECT

private slots:
    void modulo10_data();
    void modulo10();
    void validaLinha_data();
    void validaLinha();
    void separaLinha_data();
    void separaLinha();
    void mensagem_data();
    void mensagem();
};

void TstUBib::modulo10_data() {
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("expected");
    QTest::newRow("1234567") << "1234567" << 4;
    QTest::newRow("bank and branch") << "0012345" << 5;
    QTest::newRow("clearing, number, type") << "0180001235" << 1;
    QTest::newRow("account") << "0000123456" << 6;
    QTest::newRow("sum multiple of 10, 7 digits") << "7563002" << 0;
    QTest::newRow("sum multiple of 10, 10 digits") << "0000007049" << 0;
    QTest::newRow("all zeros") << "0000000" << 0;
    QTest::newRow("nines") << "9999999" << 7;
    QTest::newRow("not a digit") << "12a4567" << -1;
}

void TstUBib::modulo10() {
    QFETCH(QString, digits);
    QFETCH(int, expected);
    QCOMPARE(CalculaDVModulo10(digits), expected);
}

void TstUBib::validaLinha_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("valid") << Valid << "0";
    QTest::newRow("check digits 0") << ValidZeros << "0";
    // Each of these three still holds when the digits of the products are not summed.
    QTest::newRow("19 set to 6") << with(Valid, {{19, '6'}}) << "2";
    QTest::newRow("8 set to 2") << with(Valid, {{8, '2'}}) << "1";
    QTest::newRow("30 set to 7") << with(Valid, {{30, '7'}}) << "3";
    // Every other digit at each check position.
    for (auto [pos, code] : {std::pair{19, "2"}, {8, "1"}, {30, "3"}}) {
        for (char d = '0'; d <= '9'; ++d) {
            if (Valid[pos - 1] != QLatin1Char(d))
                QTest::addRow("%d set to %c", pos, d) << with(Valid, {{pos, d}}) << code;
            if (ValidZeros[pos - 1] != QLatin1Char(d))
                QTest::addRow("zeros, %d set to %c", pos, d)
                    << with(ValidZeros, {{pos, d}}) << code;
        }
    }
    QTest::newRow("8 and 19") << with(Valid, {{8, '2'}, {19, '6'}}) << "2";
    QTest::newRow("19 and 30") << with(Valid, {{19, '6'}, {30, '7'}}) << "2";
    QTest::newRow("8 and 30") << with(Valid, {{8, '2'}, {30, '7'}}) << "1";
    QTest::newRow("all three") << with(Valid, {{8, '2'}, {19, '6'}, {30, '7'}}) << "2";
    QTest::newRow("group digit wrong, bank") << with(Valid, {{1, '1'}}) << "2";
    QTest::newRow("group digit wrong, type") << with(Valid, {{18, '4'}}) << "1";
    QTest::newRow("group digit wrong, account") << with(Valid, {{20, '9'}}) << "3";
    QTest::newRow("longer, judged on 30") << Valid + "12345"
                                          << "0";
    QTest::newRow("longer, 30 wrong") << with(Valid, {{30, '7'}}) + "6"
                                      << "3";
    QTest::newRow("letter in account") << with(Valid, {{25, 'x'}}) << "3";
    QTest::newRow("short of the account") << Valid.left(25) << "3";
}

void TstUBib::validaLinha() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(QString(ValidaLinhaCheque(line)), expected);
}

void TstUBib::separaLinha_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QString>("formatted");
    const QStringList groups{"001", "2345", "1", "018", "000123", "5", "5", "0000123456", "6"};
    const QString formatted = QStringLiteral("00123451 0180001235 500001234566");
    QTest::newRow("30 digits") << Valid << groups << formatted;
    QTest::newRow("longer") << Valid + "999" << groups << formatted;
    QTest::newRow("check digits 0")
        << ValidZeros
        << QStringList{"756", "3002", "0", "090", "000109", "5", "0", "0000007049", "0"}
        << "75630020 0900001095 000000070490";
}

void TstUBib::separaLinha() {
    QFETCH(QString, line);
    QFETCH(QStringList, groups);
    QFETCH(QString, formatted);
    const LinhaCheque c = SeparaLinhaCheque(line);
    const QStringList got{c.banco,       c.agencia, c.dv2,   c.compe, c.numCheque,
                          c.tipificacao, c.dv1,     c.conta, c.dv3};
    QCOMPARE(got, groups);
    QCOMPARE(c.joined(), line.left(30));
    QCOMPARE(c.formatted(), formatted);
}

void TstUBib::mensagem_data() {
    QTest::addColumn<QChar>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << QChar(u'0') << QString();
    QTest::newRow("1") << QChar(u'1') << "DV-1 Inválido. Verifique!!";
    QTest::newRow("2") << QChar(u'2') << "DV-2 Inválido. Verifique!!";
    QTest::newRow("3") << QChar(u'3') << "DV-3 Inválido. Verifique!!";
}

void TstUBib::mensagem() {
    QFETCH(QChar, code);
    QFETCH(QString, expected);
    QCOMPARE(MensagemLinhaCheque(code), expected);
}

QTEST_GUILESS_MAIN(TstUBib)
#include "tst_ubib.moc"
