// Boxes without a data source, whose value lives only on the screen: the date box keeps what is
// typed, and the lookup drop-down keeps the chosen key across a re-reading of its list.
#include "TestDb.h"
#include "platform/data/Dataset.h"
#include "platform/widgets/DbDateEdit.h"
#include "platform/widgets/DbLookupComboBox.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

class TestUnbound : public QObject {
    Q_OBJECT
private slots:
    void dateBox_data();
    void dateBox();
    void lookup();
};

void TestUnbound::dateBox_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QDate>("date");
    QTest::newRow("whole date") << "22012007"
                                << "22/01/2007" << QDate(2007, 1, 22);
    QTest::newRow("incomplete") << "2201"
                                << "22/01/    " << QDate();
    QTest::newRow("not a date") << "31022007"
                                << "31/02/2007" << QDate();
    QTest::newRow("nothing") << ""
                             << "  /  /    " << QDate();
}

void TestUnbound::dateBox() {
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(QDate, date);
    QWidget w;
    auto* box = new DbDateEdit(&w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    box->setFocus();
    box->setCursorPosition(0);
    QTest::keyClicks(box, keys);
    QCOMPARE(box->displayText(), shown);
    QCOMPARE(box->date(), date);
    QVERIFY(!box->isReadOnly());
    // Leaving the box keeps the text: there is no record to show instead.
    box->clearFocus();
    QCOMPARE(box->displayText(), shown);
    box->clear();
    QVERIFY(box->isEmptyMask());
}

void TestUnbound::lookup() {
    TestDb db(Engine::SQLite, false);
    db.conn().execute("CREATE TABLE m (cod INTEGER PRIMARY KEY, grupo INTEGER, nome VARCHAR(10))");
    for (int i = 0; i < 4; ++i)
        db.conn().execute("INSERT INTO m VALUES (?, ?, ?)",
                          {10 + i, i < 3 ? 1 : 2, QString("m%1").arg(i)});
    Dataset q(&db.conn());
    q.setSql("select cod, nome from m where grupo = :pGrupo order by cod");
    q.setParam("pGrupo", 1);
    q.open();
    DataSource src;
    src.setDataSet(&q);
    QWidget w;
    auto* box = new DbLookupComboBox(&w);
    box->setListSource(&src, "cod", "nome");
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(box->currentIndex(), -1);
    QSignalSpy changed(box, &DbLookupComboBox::changed);

    box->setFocus();
    box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(1, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(box->keyValue().toInt(), 11);
    QCOMPARE(box->currentText(), QString("m1"));
    QCOMPARE(q.currentRow(), 1); // the list follows the choice

    // Read again, the list shows the same choice; a list without it shows none but keeps it.
    q.close();
    q.open();
    QCOMPARE(box->currentText(), QString("m1"));
    q.close();
    q.setParam("pGrupo", 2);
    q.open();
    QCOMPARE(box->currentIndex(), -1);
    QCOMPARE(box->keyValue().toInt(), 11);

    box->setKeyValue(13);
    QCOMPARE(box->currentText(), QString("m3"));
    box->setKeyValue(QVariant());
    QCOMPARE(box->currentIndex(), -1);
    QVERIFY(box->keyValue().isNull());
}

QTEST_MAIN(TestUnbound)
#include "tst_unbound.moc"
