#include "core/Feriados.h"
#include "core/uGlobal.h"
#include "support/TestDb.h"

#include <QTest>

class TstFeriados : public QObject {
    Q_OBJECT

private slots:
    void moveisComAPascoa_data();
    void moveisComAPascoa();
    void incluiAno_data();
    void incluiAno();
    void outraCopiaIncluindo_data() { TestDb::addEngineRows(); }
    void outraCopiaIncluindo();
};

void TstFeriados::moveisComAPascoa_data() {
    QTest::addColumn<int>("ano");
    QTest::addColumn<QStringList>(
        "datas"); // Carnival Monday and Tuesday, Good Friday, Corpus Christi
    QTest::newRow("2026") << 2026 << QStringList{"16/02", "17/02", "03/04", "04/06"};
    QTest::newRow("2027") << 2027 << QStringList{"08/02", "09/02", "26/03", "27/05"};
    QTest::newRow("2024 leap year") << 2024 << QStringList{"12/02", "13/02", "29/03", "30/05"};
    QTest::newRow("2025") << 2025 << QStringList{"03/03", "04/03", "18/04", "19/06"};
    QTest::newRow("2008 Easter on 23 March")
        << 2008 << QStringList{"04/02", "05/02", "21/03", "22/05"};
    QTest::newRow("2038 Easter on 25 April, the latest")
        << 2038 << QStringList{"08/03", "09/03", "23/04", "24/06"};
    QTest::newRow("1943 Easter on 25 April")
        << 1943 << QStringList{"08/03", "09/03", "23/04", "24/06"};
    QTest::newRow("2285 Easter on 22 March, the earliest")
        << 2285 << QStringList{"02/02", "03/02", "20/03", "21/05"};
    QTest::newRow("2000 century leap year")
        << 2000 << QStringList{"06/03", "07/03", "21/04", "22/06"};
}

void TstFeriados::moveisComAPascoa() {
    QFETCH(int, ano);
    QFETCH(QStringList, datas);
    QStringList moveis;
    int fixos = 0;
    for (const Feriados::Feriado& f : Feriados::nacionais(ano)) {
        QCOMPARE(f.data.year(), ano);
        if (f.diaFixo)
            ++fixos;
        else
            moveis << f.data.toString(QStringLiteral("dd/MM"));
    }
    QCOMPARE(moveis, datas);
    QCOMPARE(fixos, 9);
}

void TstFeriados::incluiAno_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("existentes"); // rows already there: "dd/MM/yyyy F|U"
    QTest::addColumn<int>("ano");
    QTest::addColumn<int>("incluidos");
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e);
        QTest::addRow("%s empty", qPrintable(n)) << e << QString() << 2026 << 13;
        // A fixed holiday typed in another year counts for every year.
        QTest::addRow("%s Christmas kept from 2019", qPrintable(n))
            << e << "25/12/2019 F" << 2026 << 12;
        // Tiradentes typed as a one-off of another year does not count for this one.
        QTest::addRow("%s one-off of another year", qPrintable(n))
            << e << "21/04/2025 U" << 2026 << 13;
        // Carnival already typed by hand for this year.
        QTest::addRow("%s Carnival typed", qPrintable(n))
            << e << "16/02/2026 U,17/02/2026 U" << 2026 << 11;
        // A fixed holiday on a moving one's day and month (Good Friday 2027 is 26/03).
        QTest::addRow("%s fixed on the same day", qPrintable(n))
            << e << "26/03/2000 F" << 2027 << 12;
    }
}

// The year's holidays are added once: what is there is kept, a second run adds nothing, and the
// business-day rule then sees every one of them.
void TstFeriados::incluiAno() {
    QFETCH(Engine, engine);
    QFETCH(QString, existentes);
    QFETCH(int, ano);
    QFETCH(int, incluidos);
    TestDb db(engine);
    Connection& c = db.conn();
    for (const QString& e : existentes.split(QLatin1Char(','), Qt::SkipEmptyParts))
        c.execute(QStringLiteral("insert into feriado (dat_feriado, dsc_feriado, ind_dia_fixo) "
                                 "values (?, ?, ?)"),
                  {QDate::fromString(e.left(10), QStringLiteral("dd/MM/yyyy")),
                   QStringLiteral("já cadastrado"), e.endsWith(QLatin1Char('F'))});
    const int antes = c.selectValue(QStringLiteral("select count(*) from feriado")).toInt();

    QCOMPARE(Feriados::incluiAno(c, ano), incluidos);
    QCOMPARE(c.selectValue(QStringLiteral("select count(*) from feriado")).toInt(),
             antes + incluidos);
    QCOMPARE(Feriados::incluiAno(c, ano), 0);
    for (const Feriados::Feriado& f : Feriados::nacionais(ano))
        QVERIFY2(EhFeriado(f.data, c), qPrintable(f.data.toString()));
}

// Another copy adding the same year at the same moment waits for the first, then finds its rows.
void TstFeriados::outraCopiaIncluindo() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    Connection outra(QStringLiteral("outra_copia"));
    outra.setConnectionString(db.target());
    outra.open();
    outra.beginTransaction();
    outra.lockNumbering(QStringLiteral("feriado"));
    outra.execute(QStringLiteral("insert into feriado (dat_feriado, dsc_feriado, ind_dia_fixo) "
                                 "values (?, ?, ?)"),
                  {QDate(2026, 12, 25), QStringLiteral("Natal"), true});
    db.conn().setBusyTimeout(300);
    QVERIFY_THROWS_EXCEPTION(DbError, Feriados::incluiAno(db.conn(), 2026));
    outra.commit();
    QCOMPARE(Feriados::incluiAno(db.conn(), 2026), 12);
    QCOMPARE(db.conn().selectValue(QStringLiteral("select count(*) from feriado")).toInt(), 13);
}

QTEST_GUILESS_MAIN(TstFeriados)
#include "tst_feriados.moc"
