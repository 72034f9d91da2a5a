// Money parsing and formatting, and the date texts.
#include "platform/data/DateCodec.h"
#include "platform/data/Money.h"

#include <QTest>

class TestCodecs : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void formats_data();
    void formats();
    void dates_data();
    void dates();
};

void TestCodecs::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qlonglong>("units");
    QTest::newRow("cents") << "0,29" << true << 2900LL;
    QTest::newRow("thousands") << "1.234,56" << true << 12345600LL;
    QTest::newRow("millions") << "1.234.567,8" << true << 12345678000LL;
    QTest::newRow("no thousands") << "1234,5" << true << 12345000LL;
    QTest::newRow("whole") << "100" << true << 1000000LL;
    QTest::newRow("comma only decimals") << ",5" << true << 5000LL;
    QTest::newRow("four decimals") << "0,0001" << true << 1LL;
    QTest::newRow("negative") << "-3,10" << true << -31000LL;
    QTest::newRow("currency sign") << "R$ 10,00" << true << 100000LL;
    QTest::newRow("five decimals") << "0,00001" << false << 0LL;
    QTest::newRow("bad grouping") << "12.34,00" << false << 0LL;
    QTest::newRow("letters") << "12a" << false << 0LL;
    QTest::newRow("empty") << "" << false << 0LL;
    QTest::newRow("dot decimal") << "10.5" << false << 0LL;
}

void TestCodecs::parse() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qlonglong, units);
    const auto m = Money::parse(text);
    QCOMPARE(m.has_value(), valid);
    if (valid)
        QCOMPARE(m->units(), units);
}

void TestCodecs::formats_data() {
    QTest::addColumn<qlonglong>("units");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("total");
    QTest::addColumn<qlonglong>("cents");
    QTest::newRow("zero") << 0LL << "0,00"
                          << "R$ ,00" << 0LL;
    QTest::newRow("cents") << 2900LL << "0,29"
                           << "R$ ,29" << 29LL;
    QTest::newRow("hundred") << 1000000LL << "100,00"
                             << "R$ 100,00" << 10000LL;
    QTest::newRow("grouped") << 12345678900LL << "1.234.567,89"
                             << "R$ 1.234.567,89" << 123456789LL;
    QTest::newRow("rounds half up") << 1050LL << "0,11"
                                    << "R$ ,11" << 11LL;
    QTest::newRow("negative") << -505000LL << "-50,50"
                              << "R$ -50,50" << -5050LL;
}

void TestCodecs::formats() {
    QFETCH(qlonglong, units);
    QFETCH(QString, plain);
    QFETCH(QString, total);
    QFETCH(qlonglong, cents);
    const Money m = Money::fromUnits(units);
    QCOMPARE(m.format(), plain);
    QCOMPARE(m.formatTotal(), total);
    QCOMPARE(m.cents(), cents);
}

void TestCodecs::dates_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("sqlite text") << QVariant("2007-02-19 00:00:00") << "19/02/2007";
    QTest::newRow("qt iso text") << QVariant("2024-03-05T14:07:09.123") << "05/03/2024";
    QTest::newRow("date only") << QVariant("2010-01-01") << "01/01/2010";
    QTest::newRow("datetime") << QVariant(QDateTime(QDate(2006, 12, 25), QTime(13, 5)))
                              << "25/12/2006";
    QTest::newRow("null") << QVariant() << "";
    QTest::newRow("garbage") << QVariant("31/02/2007") << "";
    QTest::newRow("impossible stored date") << QVariant("2007-02-31 00:00:00") << "";
    QTest::newRow("letters in stored form") << QVariant("2007-0a-01 00:00:00") << "";
}

void TestCodecs::dates() {
    QFETCH(QVariant, stored);
    QFETCH(QString, text);
    QCOMPARE(DateCodec::toText(DateCodec::fromDb(stored).date()), text);
    if (!text.isEmpty())
        QCOMPARE(DateCodec::toText(DateCodec::fromText(text)), text);
    QVERIFY(!DateCodec::fromText("1/2/2007").isValid());
    QVERIFY(!DateCodec::fromText(DateCodec::EmptyMask).isValid());
    QCOMPARE(DateCodec::toSql(QDate(2007, 2, 19)), QString("2007-02-19 00:00:00"));
}

QTEST_GUILESS_MAIN(TestCodecs)
#include "tst_codecs.moc"
