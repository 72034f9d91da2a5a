#include "core/uGlobal.h"
#include "support/TestDb.h"

#include <QTest>
#include <map>
#include <memory>

class TstAjustaDiaUtil : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { m_dbs.clear(); }
    void ajusta_data();
    void ajusta();
    void dataInvalida_data();
    void dataInvalida();
    void semDiaUtil_data() { TestDb::addEngineRows(); }
    void semDiaUtil();

private:
    std::map<Engine, std::unique_ptr<TestDb>> m_dbs;
};

namespace {
void addHoliday(const Connection& c, const QDateTime& when, bool yearly) {
    ExecutaSQL(QStringLiteral("insert into feriado (dat_feriado, dsc_feriado, ind_dia_fixo) "
                              "values (?, ?, ?)"),
               c, {when, QStringLiteral("feriado"), yearly});
}

void addHoliday(const Connection& c, const char* date, bool yearly, QTime time = QTime(0, 0)) {
    addHoliday(c, QDateTime(QDate::fromString(QLatin1String(date), u"dd/MM/yyyy"), time), yearly);
}

QString errorOf(const QString& date, const Connection& c, const QString& direction) {
    try {
        return QStringLiteral("no error: ") + AjustaDiaUtil(date, c, direction);
    } catch (const DbError& e) {
        return e.message();
    }
}
} // namespace

void TstAjustaDiaUtil::initTestCase() {
    for (Engine e : TestDb::engines()) {
        auto db = std::make_unique<TestDb>(e);
        const Connection& c = db->conn();
        // Yearly holidays, each stored in some year of its own.
        addHoliday(c, "01/01/2000", true);
        addHoliday(c, "21/04/1990", true);
        addHoliday(c, "25/12/2007", true);
        addHoliday(c, "07/09/1999", true, QTime(10, 0));
        // One-off holidays: Carnival 2007, one stored with a time of day, and a chain
        // Thursday, Friday, Monday around a weekend.
        addHoliday(c, "19/02/2007", false);
        addHoliday(c, "20/02/2007", false);
        addHoliday(c, "15/11/2007", false, QTime(14, 30, 5));
        addHoliday(c, "03/05/2007", false);
        addHoliday(c, "04/05/2007", false);
        addHoliday(c, "07/05/2007", false);
        m_dbs[e] = std::move(db);
    }
}

void TstAjustaDiaUtil::ajusta_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("expected");
    struct Case {
        const char* name;
        const char* date;
        const char* direction;
        const char* expected;
    };
    static const Case cases[] = {
        {"holiday, next day weekday", "25/12/2007", "P", "26/12/2007"},
        {"holiday, previous day weekday", "25/12/2007", "A", "24/12/2007"},
        {"two holidays forwards", "19/02/2007", "P", "21/02/2007"},
        {"two holidays backwards over weekend", "20/02/2007", "A", "16/02/2007"},
        {"back over a weekend", "19/02/2007", "A", "16/02/2007"},
        {"Saturday holiday forwards", "21/04/2007", "P", "23/04/2007"},
        {"Saturday holiday backwards", "21/04/2007", "A", "20/04/2007"},
        {"Friday holiday forwards", "01/01/2010", "P", "04/01/2010"},
        {"Saturday, not a holiday", "24/02/2007", "P", "24/02/2007"},
        {"Sunday, not a holiday", "25/02/2007", "A", "25/02/2007"},
        {"weekday, not a holiday", "21/02/2007", "P", "21/02/2007"},
        {"yearly holiday in another year", "25/12/2015", "P", "28/12/2015"},
        {"one-off holiday in another year", "19/02/2008", "P", "19/02/2008"},
        {"yearly holiday stored with a time", "07/09/2007", "P", "10/09/2007"},
        {"one-off holiday stored with a time", "15/11/2007", "P", "16/11/2007"},
        {"chain into a weekend forwards", "03/05/2007", "P", "08/05/2007"},
        {"chain into a weekend backwards", "07/05/2007", "A", "02/05/2007"},
        {"inside a chain", "04/05/2007", "P", "08/05/2007"},
        {"direction X", "25/12/2007", "X", "24/12/2007"},
        {"direction empty", "25/12/2007", "", "24/12/2007"},
        {"direction lower-case p", "25/12/2007", "p", "24/12/2007"},
        {"direction X over weekend", "19/02/2007", "X", "16/02/2007"},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::addRow("%s: %s", qPrintable(TestDb::engineName(e)), c.name)
                << e << QString::fromLatin1(c.date) << QString::fromLatin1(c.direction)
                << QString::fromLatin1(c.expected);
}

void TstAjustaDiaUtil::ajusta() {
    QFETCH(Engine, engine);
    QFETCH(QString, date);
    QFETCH(QString, direction);
    QFETCH(QString, expected);
    QCOMPARE(AjustaDiaUtil(date, m_dbs.at(engine)->conn(), direction), expected);
}

void TstAjustaDiaUtil::dataInvalida_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("date");
    for (Engine e : TestDb::engines())
        for (const char* d : {"31/02/2007", "1/2/2007", "2007-02-19", "19/02/07", "19.02.2007", "",
                              "  /  /    ", "19/02/2007 "})
            QTest::addRow("%s: '%s'", qPrintable(TestDb::engineName(e)), d)
                << e << QString::fromLatin1(d);
}

void TstAjustaDiaUtil::dataInvalida() {
    QFETCH(Engine, engine);
    QFETCH(QString, date);
    QCOMPARE(errorOf(date, m_dbs.at(engine)->conn(), QStringLiteral("P")),
             QStringLiteral("Data inválida: \"%1\".").arg(date));
}

void TstAjustaDiaUtil::semDiaUtil() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    const QDate first(2009, 3, 1);
    for (int i = 0; i <= BuscaDiaUtilMaxDias; ++i)
        addHoliday(db.conn(), QDateTime(first.addDays(i), QTime(0, 0)), false);
    QCOMPARE(errorOf(QStringLiteral("01/03/2009"), db.conn(), QStringLiteral("P")),
             QStringLiteral("Nenhum dia útil encontrado nos 60 dias seguintes a 01/03/2009."));
    QCOMPARE(errorOf(QStringLiteral("30/04/2009"), db.conn(), QStringLiteral("A")),
             QStringLiteral("Nenhum dia útil encontrado nos 60 dias anteriores a 30/04/2009."));
    // Just past the chain the search succeeds.
    QCOMPARE(AjustaDiaUtil(QStringLiteral("02/03/2009"), db.conn(), QStringLiteral("P")),
             QStringLiteral("01/05/2009"));
}

QTEST_GUILESS_MAIN(TstAjustaDiaUtil)
#include "tst_ajustadiautil.moc"
