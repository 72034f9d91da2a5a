// Multiple selection in the grid, by mouse and keys, kept while the cursor moves, painted as the
// current row; and the bottom bar of the screens that act on the selection.
#include "TestDb.h"
#include "platform/data/Dataset.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/SelectionBar.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Six rows, codes 10 to 15, in a grid on a shown window.
struct Fixture {
    Fixture() : db(Engine::SQLite, false) {
        db.conn().execute("CREATE TABLE n (cod INTEGER PRIMARY KEY, nome VARCHAR(10))");
        for (int i = 0; i < 6; ++i)
            db.conn().execute("INSERT INTO n (cod, nome) VALUES (?, ?)",
                              {10 + i, QString("linha %1").arg(i)});
        q.setSql("select cod, nome from n order by cod");
        q.open();
        src.setDataSet(&q);
        w.setLayout(new QVBoxLayout);
        g = new DbGrid;
        w.layout()->addWidget(g);
        g->setColumns({"cod", "nome"});
        g->setDataSource(&src);
        g->onDrawColumnCell = &DbGrid::paintCurrentRow;
        g->setMultiSelect(true);
        w.resize(300, 300);
    }
    bool show() {
        w.show();
        w.activateWindow();
        g->setFocus();
        return QTest::qWaitForWindowActive(&w);
    }
    QPoint rowPoint(int row) const { return g->visualRect(g->model()->index(row, 1)).center(); }
    void click(int row, Qt::KeyboardModifiers m = {}) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, m, rowPoint(row));
    }
    // The codes of the selected rows, in the order the grid gives them.
    QList<int> selectedCodes() {
        QList<int> out;
        const Bookmark here = q.bookmark();
        for (const Bookmark& b : g->selectedRows()) {
            q.gotoBookmark(b);
            out << q.asInteger("cod");
        }
        q.gotoBookmark(here);
        return out;
    }
    TestDb db;
    Dataset q{&db.conn()};
    DataSource src;
    QWidget w;
    DbGrid* g = nullptr;
};

const QColor grey(160, 160, 164);

} // namespace

class TestSelection : public QObject {
    Q_OBJECT
private slots:
    void gestures_data();
    void gestures();
    void keptWhileMoving();
    void painting();
    void offMode();
    void bar();
};

void TestSelection::gestures_data() {
    // Steps: "click N", "ctrl N", "shift N" (mouse on row N); "down", "shift down",
    // "ctrl down", "space", "ctrl space", "ctrl a" (keys); "all", "clear" (the menu's calls).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("current");
    QTest::newRow("a click marks one row") << QStringList{"click 2"} << QList<int>{12} << 2;
    QTest::newRow("a second click replaces it")
        << QStringList{"click 2", "click 4"} << QList<int>{14} << 4;
    QTest::newRow("ctrl+click adds and toggles, in grid order")
        << QStringList{"click 4", "ctrl 0", "ctrl 2", "ctrl 5", "ctrl 2"} << QList<int>{10, 14, 15}
        << 2;
    QTest::newRow("shift+click marks a range")
        << QStringList{"click 1", "shift 4"} << QList<int>{11, 12, 13, 14} << 4;
    QTest::newRow("shift+click upwards")
        << QStringList{"click 4", "shift 2"} << QList<int>{12, 13, 14} << 2;
    QTest::newRow("ctrl+shift+click adds a range")
        << QStringList{"click 0", "ctrl 3", "ctrl shift 5"} << QList<int>{10, 13, 14, 15} << 5;
    QTest::newRow("down moves the mark") << QStringList{"click 0", "down"} << QList<int>{11} << 1;
    QTest::newRow("shift+down extends")
        << QStringList{"click 1", "shift down", "shift down"} << QList<int>{11, 12, 13} << 3;
    QTest::newRow("ctrl+down moves without marking, space marks")
        << QStringList{"click 0", "ctrl down", "ctrl down", "space"} << QList<int>{10, 12} << 2;
    QTest::newRow("ctrl+space unmarks the current row")
        << QStringList{"click 3", "ctrl space"} << QList<int>{} << 3;
    QTest::newRow("ctrl+A marks all")
        << QStringList{"click 3", "ctrl a"} << QList<int>{10, 11, 12, 13, 14, 15} << 3;
    QTest::newRow("select all") << QStringList{"all"} << QList<int>{10, 11, 12, 13, 14, 15} << 0;
    QTest::newRow("clear") << QStringList{"click 1", "shift 3", "clear"} << QList<int>{} << 3;
}

void TestSelection::gestures() {
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, codes);
    QFETCH(int, current);
    Fixture f;
    QVERIFY(f.show());
    QSignalSpy changed(f.g, &DbGrid::rowSelectionChanged);
    for (const QString& s : steps) {
        const QStringList w = s.split(' ');
        const bool ctrl = w.contains("ctrl");
        const bool shift = w.contains("shift");
        const Qt::KeyboardModifiers m = (ctrl ? Qt::ControlModifier : Qt::NoModifier) |
                                        (shift ? Qt::ShiftModifier : Qt::NoModifier);
        bool isRow = false;
        const int row = w.last().toInt(&isRow);
        if (isRow)
            f.click(row, m);
        else if (w.last() == "down")
            QTest::keyClick(f.g, Qt::Key_Down, m);
        else if (w.last() == "space")
            QTest::keyClick(f.g, Qt::Key_Space, m);
        else if (w.last() == "a")
            QTest::keyClick(f.g, Qt::Key_A, m);
        else if (w.last() == "all")
            f.g->selectAllRows();
        else if (w.last() == "clear")
            f.g->clearRowSelection();
    }
    QCOMPARE(f.selectedCodes(), codes);
    QCOMPARE(f.g->selectedCount(), codes.size());
    QCOMPARE(f.q.currentRow(), current);
    for (int r = 0; r < 6; ++r)
        QCOMPARE(f.g->isRowSelected(r), codes.contains(10 + r));
    QVERIFY(changed.count() > 0);
}

void TestSelection::keptWhileMoving() {
    // A generation loop goes to each selected row: the marks stay, in their order.
    Fixture f;
    QVERIFY(f.show());
    f.click(1);
    f.click(3, Qt::ControlModifier);
    f.click(4, Qt::ControlModifier);
    QList<int> visited;
    for (const Bookmark& b : f.g->selectedRows()) {
        QVERIFY(f.q.gotoBookmark(b));
        visited << f.q.asInteger("cod");
    }
    QCOMPARE(visited, (QList<int>{11, 13, 14}));
    f.q.first();
    f.q.last();
    QCOMPARE(f.selectedCodes(), (QList<int>{11, 13, 14}));
    // Reading the rows again clears the marks, and says so.
    QSignalSpy changed(f.g, &DbGrid::rowSelectionChanged);
    f.q.close();
    f.q.open();
    QCOMPARE(f.g->selectedCount(), 0);
    QCOMPARE(changed.count(), 1);
    QVERIFY(f.g->selectionModel()->isRowSelected(0)); // the current row is still shown
}

void TestSelection::painting() {
    // Marked rows and the current row on the grey; the others on the grid's background.
    Fixture f;
    QVERIFY(f.show());
    f.click(1);
    f.click(3, Qt::ControlModifier);
    f.q.first(); // the current row moves to 0; the marks stay
    auto colourOf = [&](int row) {
        const QImage img = f.g->viewport()->grab().toImage();
        const QRect r = f.g->visualRect(f.g->model()->index(row, 1));
        return QColor(img.pixel(r.left() + 2, r.top() + 2));
    };
    for (int r = 0; r < 6; ++r)
        QCOMPARE(colourOf(r), (r == 0 || r == 1 || r == 3) ? grey : f.g->backgroundColor());
    f.g->setMultiSelect(false);
    for (int r = 0; r < 6; ++r)
        QCOMPARE(colourOf(r), r == 0 ? grey : f.g->backgroundColor());
}

void TestSelection::offMode() {
    // Without multiple selection a click only moves, and nothing gets marked.
    Fixture f;
    f.g->setMultiSelect(false);
    QVERIFY(f.show());
    f.click(1);
    f.click(3, Qt::ControlModifier);
    QTest::keyClick(f.g, Qt::Key_Space);
    f.g->selectAllRows();
    QCOMPARE(f.g->selectedCount(), 0);
    QCOMPARE(f.q.currentRow(), 3);
    QCOMPARE(f.g->selectionModel()->selectedRows().size(), 1);
}

void TestSelection::bar() {
    QWidget screen;
    auto* bar = new SelectionBar("Registros gerados:", &screen);
    auto* total = screen.findChild<QLabel*>("lblTotRegistros");
    auto* done = screen.findChild<QLabel*>("lblRegistrosGerados");
    auto* progress = screen.findChild<QProgressBar*>("pgCont");
    QVERIFY(total && done && progress);
    QStringList captions;
    for (QLabel* l : bar->findChildren<QLabel*>())
        captions << l->text();
    QCOMPARE(captions, (QStringList{"Total de registros:", "0", "Registros gerados:", "0"}));
    bar->start(5);
    QCOMPARE(total->text(), QString("5"));
    QCOMPARE(progress->maximum(), 5);
    bar->step(1);
    bar->step(2);
    QCOMPARE(done->text(), QString("2"));
    QCOMPARE(progress->value(), 2);
    bar->reset();
    QCOMPARE(total->text(), QString("0"));
    QCOMPARE(done->text(), QString("0"));
    QCOMPARE(progress->value(), 0);
}

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
