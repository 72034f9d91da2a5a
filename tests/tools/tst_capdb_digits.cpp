#include "Digits.h"

#include <QTest>

// The check digits capdb writes into demo data and verifies in "check", and the Easter dates
// its moveable holidays hang on.
class TestCapdbDigits : public QObject {
    Q_OBJECT

private slots:
    void modulus10_data();
    void modulus10();
    void cmc7Fault_data();
    void cmc7Fault();
    void cmc7Line();
    void taxNumbers_data();
    void taxNumbers();
    void easter_data();
    void easter();
};

void TestCapdbDigits::modulus10_data() {
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("digit");
    // Products from the right 14, 6, 10, 4, 6, 2, 2: digit sum 26.
    QTest::newRow("bank and branch") << "1234567" << 4;
    QTest::newRow("sum a multiple of ten gives 0, not 10") << "19" << 0;
    QTest::newRow("one digit, product 10") << "5" << 9;
    QTest::newRow("second group") << "0180001235" << 1;
    QTest::newRow("account") << "0000123456" << 6;
}

void TestCapdbDigits::modulus10() {
    QFETCH(QString, digits);
    QFETCH(int, digit);
    QCOMPARE(Digits::modulus10(digits), digit);
}

void TestCapdbDigits::cmc7Fault_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fault");
    QTest::newRow("valid") << "001234510180001235500001234566"
                           << "";
    QTest::newRow("position 19 wrong") << "001234510180001235600001234566"
                                       << "num_dv1";
    QTest::newRow("position 8 wrong") << "001234520180001235500001234566"
                                      << "num_dv2";
    QTest::newRow("position 30 wrong") << "001234510180001235500001234567"
                                       << "num_dv3";
    QTest::newRow("8 and 19 wrong: 19 is tested first") << "001234520180001235600001234566"
                                                        << "num_dv1";
    QTest::newRow("29 digits") << "00123451018000123550000123456"
                               << "linha";
    QTest::newRow("a letter") << "00123451018000123550000123456X"
                              << "linha";
}

void TestCapdbDigits::cmc7Fault() {
    QFETCH(QString, line);
    QFETCH(QString, fault);
    QCOMPARE(Digits::cmc7Fault(line), fault);
}

void TestCapdbDigits::cmc7Line() {
    QCOMPARE(Digits::cmc7Line("001", "2345", "018", "000123", "5", "0000123456"),
             QStringLiteral("001234510180001235500001234566"));
}

void TestCapdbDigits::taxNumbers_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("valid");
    QTest::newRow("CPF") << "31415926590" << true;
    QTest::newRow("CPF, last digit wrong") << "31415926591" << false;
    QTest::newRow("CPF, first check digit wrong") << "31415926500" << false;
    QTest::newRow("CPF of ones") << "11111111111" << false;
    QTest::newRow("CPF of zeros") << "00000000000" << true;
    QTest::newRow("ten digits") << "3141592659" << false;
    QTest::newRow("CPF with a letter") << "3141592659X" << false;
    QTest::newRow("CNPJ") << "31415926000171" << true;
    QTest::newRow("CNPJ, last digit wrong") << "31415926000172" << false;
    QTest::newRow("CNPJ of zeros") << "00000000000000" << true;
    QTest::newRow("empty") << "" << false;
}

void TestCapdbDigits::taxNumbers() {
    QFETCH(QString, number);
    QFETCH(bool, valid);
    QCOMPARE(number.size() == 14 ? Digits::isValidCnpj(number) : Digits::isValidCpf(number), valid);
    // What capdb makes from the leading digits is exactly a valid number.
    if (valid && number.size() == 11)
        QCOMPARE(Digits::cpf(number.left(9)), number);
    if (valid && number.size() == 14)
        QCOMPARE(Digits::cnpj(number.left(12)), number);
}

void TestCapdbDigits::easter_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("sunday");
    QTest::newRow("2000") << 2000 << QDate(2000, 4, 23);
    QTest::newRow("2008, early") << 2008 << QDate(2008, 3, 23);
    QTest::newRow("2019") << 2019 << QDate(2019, 4, 21);
    QTest::newRow("2024") << 2024 << QDate(2024, 3, 31);
    QTest::newRow("2025") << 2025 << QDate(2025, 4, 20);
    QTest::newRow("2038, late") << 2038 << QDate(2038, 4, 25);
}

void TestCapdbDigits::easter() {
    QFETCH(int, year);
    QFETCH(QDate, sunday);
    QCOMPARE(Digits::easter(year), sunday);
}

QTEST_GUILESS_MAIN(TestCapdbDigits)
#include "tst_capdb_digits.moc"
