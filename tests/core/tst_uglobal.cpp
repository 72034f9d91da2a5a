#include "core/uGlobal.h"
#include "support/TestDb.h"

#include <QTest>
#include <map>
#include <memory>

class TstUGlobal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { m_dbs.clear(); }
    void fill_data();
    void fill();
    void validaCpf_data();
    void validaCpf();
    void validaCnpj_data();
    void validaCnpj();
    void consultaCampo_data();
    void consultaCampo();
    void executaSqlRejeitada_data();
    void executaSqlRejeitada();

private:
    // Databases with the table `regra` for the read-only tests, one per engine.
    std::map<Engine, std::unique_ptr<TestDb>> m_dbs;
};

void TstUGlobal::fill_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QChar>("fill");
    QTest::addColumn<QString>("direita");
    QTest::addColumn<QString>("esquerda");
    QTest::newRow("zeros") << "123" << 5 << QChar(u'0') << "12300"
                           << "00123";
    QTest::newRow("blanks") << "AB" << 4 << QChar(u' ') << "AB  "
                            << "  AB";
    QTest::newRow("longer, not cut") << "123456" << 4 << QChar(u'0') << "123456"
                                     << "123456";
    QTest::newRow("exact width") << "1234" << 4 << QChar(u'0') << "1234"
                                 << "1234";
    QTest::newRow("empty text") << "" << 3 << QChar(u'x') << "xxx"
                                << "xxx";
    QTest::newRow("width zero") << "ab" << 0 << QChar(u'x') << "ab"
                                << "ab";
    QTest::newRow("negative width") << "ab" << -3 << QChar(u'x') << "ab"
                                    << "ab";
}

void TstUGlobal::fill() {
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QChar, fill);
    QFETCH(QString, direita);
    QFETCH(QString, esquerda);
    QCOMPARE(PreencheDireita(text, width, fill), direita);
    QCOMPARE(PreencheEsquerda(text, width, fill), esquerda);
}

namespace {
// Rows shared by both taxpayer numbers: each check digit wrong, one repeated digit, a letter
// in each position, one digit too few and too many, the empty text.
void addTaxNumberRows(const QString& valid) {
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("expected");
    QTest::newRow("valid") << valid << true;
    const qsizetype n = valid.size();
    for (qsizetype pos : {n - 2, n - 1}) {
        QString wrong = valid;
        wrong[pos] = QChar(u'0' + (valid[pos].unicode() - u'0' + 1) % 10);
        QTest::addRow("check digit %lld wrong", static_cast<long long>(pos + 1)) << wrong << false;
    }
    for (char16_t d = u'0'; d <= u'9'; ++d)
        QTest::addRow("all %c", char(d)) << QString(n, QChar(d)) << false;
    for (qsizetype pos = 0; pos < n; ++pos) {
        QString letter = valid;
        letter[pos] = QChar(u'a');
        QTest::addRow("small letter at %lld", static_cast<long long>(pos + 1)) << letter << false;
    }
    QString foreignDigit = valid;
    foreignDigit[0] = QChar(0x0660 + foreignDigit[0].unicode() - u'0'); // Arabic-Indic digit
    QTest::newRow("non-ASCII digit") << foreignDigit << false;
    QTest::newRow("one digit short") << valid.left(n - 1) << false;
    QTest::newRow("one digit over") << valid + QLatin1Char('0') << false;
    QTest::newRow("blank added") << valid + QLatin1Char(' ') << false;
    QTest::newRow("empty") << QString() << true;
}
} // namespace

void TstUGlobal::validaCpf_data() {
    addTaxNumberRows(QStringLiteral("31415926590"));
    QTest::newRow("first check digit 0") << "10000612308" << true;
    QTest::newRow("second check digit 0") << "10000912360" << true;
    QTest::newRow("punctuated") << "314.159.265-90" << false;
    QTest::newRow("capital letter") << "3141592A590" << false;
}

void TstUGlobal::validaCpf() {
    QFETCH(QString, number);
    QFETCH(bool, expected);
    QCOMPARE(ValidaCPF(number), expected);
}

void TstUGlobal::validaCnpj_data() {
    addTaxNumberRows(QStringLiteral("31415926000171"));
    QTest::newRow("other valid") << "11222333000181" << true;
    QTest::newRow("first check digit 0") << "10000070000101" << true;
    QTest::newRow("second check digit 0") << "10000010000180" << true;
    QTest::newRow("CPF length") << "31415926590" << false;
    // Alphanumeric numbers: twelve capital letters or digits, then two numeric check digits.
    QTest::newRow("alphanumeric, the tax authority's example") << "12ABC34501DE35" << true;
    QTest::newRow("alphanumeric, a letter changed") << "12ABD34501DE35" << false;
    QTest::newRow("alphanumeric, a check digit changed") << "12ABC34501DE36" << false;
    QTest::newRow("alphanumeric, small letters") << "12abc34501de35" << false;
    QTest::newRow("alphanumeric, a letter as check digit") << "12ABC34501DE3F" << false;
    QTest::newRow("alphanumeric, all letters") << "ABCDEFGHIJKL80" << true;
    QTest::newRow("alphanumeric, a letter beyond Z") << "12ABC34501D[35" << false;
    QTest::newRow("alphanumeric, an accented letter") << "12ÁBC34501DE35" << false;
}

void TstUGlobal::validaCnpj() {
    QFETCH(QString, number);
    QFETCH(bool, expected);
    QCOMPARE(ValidaCNPJ(number), expected);
}

namespace {
void createTable(const Connection& c) {
    ExecutaSQL(QStringLiteral("create table regra (k integer primary key, v varchar(10) not null)"),
               c);
    for (const auto& [k, v] : {std::pair{1, "a"}, {2, "b"}, {3, "o'x"}})
        ExecutaSQL(QStringLiteral("insert into regra (k, v) values (?, ?)"), c,
                   {k, QString::fromUtf8(v)});
}

QString rowName(Engine e, const QString& name) {
    return TestDb::engineName(e) + QStringLiteral(": ") + name;
}
} // namespace

void TstUGlobal::initTestCase() {
    for (Engine e : TestDb::engines()) {
        m_dbs[e] = std::make_unique<TestDb>(e, false);
        createTable(m_dbs[e]->conn());
    }
}

void TstUGlobal::consultaCampo_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("field");
    QTest::addColumn<QVariantList>("params");
    QTest::addColumn<QString>("expected");
    struct Case {
        const char* name;
        const char* sql;
        int field;
        QVariantList params;
        const char* expected;
    };
    const QList<Case> cases{
        {"count of nothing is 0", "select count(*) from regra where v = ?", 0, {"z"}, "0"},
        {"no row is null", "select k from regra where v = ?", 0, {"z"}, "NULL"},
        {"max of nothing is null", "select max(k) from regra where v = ?", 0, {"z"}, "NULL"},
        {"first row", "select v from regra order by k desc", 0, {}, "o'x"},
        {"second field", "select k, v from regra where k = ?", 1, {2}, "b"},
        {"bound quote", "select k from regra where v = ?", 0, {"o'x"}, "3"},
        {"rejected statement", "select k from nao_existe", 0, {}, "DbError"},
        {"field beyond the result", "select k, v from regra", 2, {}, "DbError"},
        {"field beyond, no row", "select k, v from regra where k = ?", 2, {99}, "DbError"},
        {"negative field", "select k from regra", -1, {}, "DbError"},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(rowName(e, QString::fromLatin1(c.name))))
                << e << QString::fromLatin1(c.sql) << c.field << c.params
                << QString::fromLatin1(c.expected);
}

void TstUGlobal::consultaCampo() {
    QFETCH(Engine, engine);
    QFETCH(QString, sql);
    QFETCH(int, field);
    QFETCH(QVariantList, params);
    QFETCH(QString, expected);
    QString got;
    try {
        const QVariant v = ConsultaCampo(sql, m_dbs.at(engine)->conn(), field, params);
        // PostgreSQL hands NULL back typed, so that toString() reads "0".
        got = v.isNull() ? QStringLiteral("NULL") : v.toString();
    } catch (const DbError&) {
        got = QStringLiteral("DbError");
    }
    QCOMPARE(got, expected);
}

void TstUGlobal::executaSqlRejeitada_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("inTransaction");
    QTest::addColumn<QVariantList>("params");
    // Two rows in one statement; the second breaks a constraint.
    const QList<std::pair<const char*, QVariantList>> cases{
        {"duplicate key", {10, "x", 1, "dup"}},
        {"null value", {10, "x", 11, QVariant()}},
    };
    for (Engine e : TestDb::engines())
        for (bool inTransaction : {false, true})
            for (const auto& [name, params] : cases)
                QTest::newRow(qPrintable(rowName(e, QString::fromLatin1(name) +
                                                        (inTransaction ? ", in transaction" : ""))))
                    << e << inTransaction << params;
}

void TstUGlobal::executaSqlRejeitada() {
    QFETCH(Engine, engine);
    QFETCH(bool, inTransaction);
    QFETCH(QVariantList, params);
    TestDb db(engine, false);
    Connection& c = db.conn();
    createTable(c);
    if (inTransaction)
        c.beginTransaction();
    ExecutaSQL(QStringLiteral("update regra set v = ? where k = ?"), c, {"novo", 2});
    bool raised = false;
    try {
        ExecutaSQL(QStringLiteral("insert into regra (k, v) values (?, ?), (?, ?)"), c, params);
    } catch (const DbError&) {
        raised = true;
    }
    if (inTransaction)
        c.commit();
    QCOMPARE(raised, true);
    QCOMPARE(ConsultaCampo(QStringLiteral("select count(*) from regra"), c).toInt(), 3);
    QCOMPARE(ConsultaCampo(QStringLiteral("select v from regra where k = ?"), c, 0, {2}).toString(),
             QStringLiteral("novo"));
}

QTEST_GUILESS_MAIN(TstUGlobal)
#include "tst_uglobal.moc"
