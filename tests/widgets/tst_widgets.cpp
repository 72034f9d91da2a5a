// The data-aware controls over a real dataset: what they show, what typing writes, the key
// filters, the lookup box, the grid and the screen frame.
#include "DialogScript.h"
#include "TestDb.h"
#include "platform/data/DateCodec.h"
#include "platform/widgets/Colors.h"
#include "platform/widgets/DbComboBox.h"
#include "platform/widgets/DbCurrencyEdit.h"
#include "platform/widgets/DbDateEdit.h"
#include "platform/widgets/DbEdit.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/DbLookupComboBox.h"
#include "platform/widgets/ScreenFrame.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <limits>

namespace {

constexpr qint64 NoValue = std::numeric_limits<qint64>::min();

// Employees of two members, read through datasets as a screen's data module would.
struct Data {
    Data() : db(Engine::SQLite) {
        Connection& c = db.conn();
        alfa = c.insertReturning("INSERT INTO associado (nom_associado) VALUES ('Alfa') "
                                 "RETURNING cod_associado",
                                 {})
                   .toInt();
        beta = c.insertReturning("INSERT INTO associado (nom_associado) VALUES ('Beta') "
                                 "RETURNING cod_associado",
                                 {})
                   .toInt();
        c.execute("INSERT INTO funcionario (cod_associado, nom_funcionario, num_cpf, "
                  "dat_admissao, vlr_salario) VALUES (?, 'Ana', '123', ?, ?)",
                  {alfa, QDate(2006, 12, 25), Money::parse("1.500,00")->toVariant()});
        c.execute("INSERT INTO funcionario (cod_associado, nom_funcionario) VALUES (?, 'Bia')",
                  {beta});
        members.setSql("select cod_associado, nom_associado from associado order by "
                       "nom_associado");
        members.defineField("cod_associado", FieldKind::Integer);
        members.open();
        q.setSql("select * from funcionario order by nom_funcionario");
        q.setUpdateTable("funcionario", "cod_funcionario");
        q.defineField("cod_associado", FieldKind::Integer);
        q.defineField("nom_funcionario", FieldKind::String, "Nome").size = 80;
        q.defineField("num_cpf", FieldKind::String, "Cpf").size = 14;
        q.defineField("dat_admissao", FieldKind::Date, "Admissão");
        q.defineField("vlr_salario", FieldKind::Money, "Salário").decimals = 2;
        q.addLookupField("nom_associado", "cod_associado", &members, "cod_associado",
                         "nom_associado", "Associado");
        q.open();
        src.setDataSet(&q);
        srcMembers.setDataSet(&members);
    }
    QVariant stored(const QString& column, const QString& name) {
        return db.conn().selectValue(
            QString("SELECT %1 FROM funcionario WHERE nom_funcionario = ?").arg(column), {name});
    }
    TestDb db;
    int alfa = 0, beta = 0;
    Dataset members{&db.conn()};
    Dataset q{&db.conn()};
    DataSource src, srcMembers;
};

// Sends the keys of a small script: "\b" backspace, "\r" Enter, "^V" the paste shortcut,
// anything else its character.
void press(QWidget* w, const QString& keys) {
    for (int i = 0; i < keys.size(); ++i) {
        const QChar c = keys.at(i);
        if (c == '\b')
            QTest::keyClick(w, Qt::Key_Backspace);
        else if (c == '\r')
            QTest::keyClick(w, Qt::Key_Return);
        else if (c == '^' && i + 1 < keys.size()) {
            QTest::keyClick(w, keys.at(++i).toLatin1(), Qt::ControlModifier);
        } else if (c.unicode() < 128)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}

// Types into the current cell of an editable grid: the first key opens the cell's editor,
// the rest go to it, Enter commits (the grid does it from its event queue).
void typeInCell(QAbstractItemView* g, const QString& text) {
    press(g, text.left(1));
    press(QApplication::focusWidget(), text.mid(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
}

// A window holding the controls, shown and active, so that keys and focus behave.
struct Host {
    Host() { w.setLayout(new QVBoxLayout); }
    template <class T> T* add(T* c) {
        w.layout()->addWidget(c);
        return c;
    }
    bool show() {
        w.show();
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w);
    }
    QWidget w;
};

} // namespace

class TestWidgets : public QObject {
    Q_OBJECT
private slots:
    void digitsOnly_data();
    void digitsOnly();
    void digitsOnlyPaste();
    void editFollowsRecord();
    void limit();
    void dateEdit_data();
    void dateEdit();
    void datePaste_data();
    void datePaste();
    void currencyEdit_data();
    void currencyEdit();
    void comboBox();
    void lookupComboBox();
    void grid();
    void gridEditable();
    void gridPopupMenu();
    void gridWholeRows_data();
    void gridWholeRows();
    void gridTab_data();
    void gridTab();
    void colors_data();
    void colors();
    void frameEsc();
};

void TestWidgets::digitsOnly_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::newRow("digits") << "0123456789"
                            << "0123456789" << 0;
    QTest::newRow("letter dropped") << "12a3"
                                    << "123" << 1;
    QTest::newRow("space and punctuation") << "1 2.3-/"
                                           << "123" << 4;
    QTest::newRow("accented letter") << "1ç"
                                     << "1" << 1;
    QTest::newRow("backspace deletes") << "123\b"
                                       << "12" << 0;
    QTest::newRow("backspace after a refused key") << "12x\b"
                                                   << "1" << 1;
    QTest::newRow("enter passes") << "12\r"
                                  << "12" << 0;
    QTest::newRow("paste shortcut dropped") << "1^V"
                                            << "1" << 1;
    QTest::newRow("copy shortcut dropped") << "1^C"
                                           << "1" << 1;
}

void TestWidgets::digitsOnly() {
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    Data d;
    Host h;
    auto* e = h.add(new DbEdit);
    e->setDataSource(&d.src, "num_cpf");
    e->setDigitsOnly(true);
    QVERIFY(h.show());
    QGuiApplication::clipboard()->setText("999");
    e->setFocus();
    e->clear();
    DialogScript s;
    press(e, keys);
    QCOMPARE(e->text(), text);
    QCOMPARE(s.beeps(), beeps);
    VERIFY_SCRIPT(s);
}

void TestWidgets::digitsOnlyPaste() {
    Data d;
    Host h;
    auto* e = h.add(new DbEdit);
    e->setDataSource(&d.src, "num_cpf");
    e->setDigitsOnly(true);
    QVERIFY(h.show());
    DialogScript s;
    // A key the filter drops does not start an edit.
    press(e, "x");
    QCOMPARE(d.q.state(), Dataset::State::Browse);
    QGuiApplication::clipboard()->setText("45ab");
    e->setCursorPosition(3);
    e->paste();
    QCOMPARE(e->text(), QString("123"));
    QCOMPARE(s.beeps(), 2);
    QGuiApplication::clipboard()->setText("45");
    e->paste();
    QCOMPARE(e->text(), QString("12345"));
    QCOMPARE(d.q.asString("num_cpf"), QString("12345"));
    QCOMPARE(s.beeps(), 2);
}

void TestWidgets::editFollowsRecord() {
    Data d;
    Host h;
    auto* e = h.add(new DbEdit);
    e->setDataSource(&d.src, "nom_funcionario");
    QVERIFY(h.show());
    QCOMPARE(e->limit(), 80);
    QCOMPARE(e->text(), QString("Ana"));
    d.q.next();
    QCOMPARE(e->text(), QString("Bia"));
    // Typing edits the record and writes the field; the typed text stays as typed.
    e->setFocus();
    e->setCursorPosition(3);
    press(e, "na");
    QCOMPARE(d.q.state(), Dataset::State::Edit);
    QVERIFY(d.q.modified());
    QCOMPARE(d.q.asString("nom_funcionario"), QString("Biana"));
    QCOMPARE(e->text(), QString("Biana"));
    QCOMPARE(e->cursorPosition(), 5);
    d.q.cancel();
    QCOMPARE(e->text(), QString("Bia"));
    d.q.insert();
    QCOMPARE(e->text(), QString());
    press(e, "Caio");
    d.q.post();
    QCOMPARE(d.stored("count(*)", "Caio").toInt(), 1);
    // A closed dataset: nothing shown, nothing typed.
    d.q.close();
    QCOMPARE(e->text(), QString());
    QVERIFY(e->isReadOnly());
}

void TestWidgets::limit() {
    Data d;
    Host h;
    auto* e = h.add(new DbEdit);
    e->setDataSource(&d.src, "nom_funcionario");
    e->setLimit(2);
    QVERIFY(h.show());
    QCOMPARE(e->text(), QString("Ana")); // a longer value is shown whole
    e->setFocus();
    e->setCursorPosition(3);
    press(e, "x");
    QCOMPARE(e->text(), QString("Ana"));
    press(e, "\bx\bx");
    QCOMPARE(e->text(), QString("Ax"));
    press(e, "\b");
    QGuiApplication::clipboard()->setText("123");
    e->paste();
    QCOMPARE(e->text(), QString("A1"));
    QCOMPARE(d.q.asString("nom_funcionario"), QString("A1"));
    // A new limit leaves the text alone.
    e->setLimit(1);
    d.q.cancel();
    QCOMPARE(e->text(), QString("Ana"));
}

void TestWidgets::dateEdit_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QDate>("field"); // invalid: no date
    QTest::newRow("whole date") << "25122006"
                                << "25/12/2006" << QDate(2006, 12, 25);
    QTest::newRow("separators typed too") << "01/02/2003"
                                          << "01/02/2003" << QDate(2003, 2, 1);
    QTest::newRow("letters refused") << "0a1022003"
                                     << "01/02/2003" << QDate(2003, 2, 1);
    QTest::newRow("incomplete") << "2512"
                                << "25/12/    " << QDate();
    QTest::newRow("no such day") << "31022006"
                                 << "31/02/2006" << QDate();
    QTest::newRow("emptied") << "1\b" << DateCodec::EmptyMask << QDate();
}

void TestWidgets::dateEdit() {
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(QDate, field);
    Data d;
    Host h;
    auto* e = h.add(new DbDateEdit);
    auto* other = h.add(new QLineEdit);
    e->setDataSource(&d.src, "dat_admissao");
    QVERIFY(h.show());
    QCOMPARE(e->displayText(), QString("25/12/2006"));
    d.q.next(); // Bia has no admission date
    QCOMPARE(e->displayText(), DateCodec::EmptyMask);
    QVERIFY(e->isEmptyMask());
    e->setFocus();
    e->setCursorPosition(0);
    press(e, keys);
    QCOMPARE(e->displayText(), shown);
    QCOMPARE(d.q.state(), Dataset::State::Edit);
    QCOMPARE(d.q.asDateTime("dat_admissao").date(), field);
    // Leaving the box shows what the record holds; a date neither empty nor whole stays for
    // correction, the operator is told and the focus comes back.
    DialogScript s;
    const bool invalid = !field.isValid() && shown != DateCodec::EmptyMask;
    if (invalid)
        s.box("Atenção", "Data inválida no campo Admissão!");
    other->setFocus(Qt::TabFocusReason);
    QTest::qWait(0);
    VERIFY_SCRIPT(s);
    QCOMPARE(e->displayText(), shown);
    QCOMPARE(QApplication::focusWidget(), invalid ? static_cast<QWidget*>(e) : other);
    d.q.post();
    const QDateTime stored = DateCodec::fromDb(d.stored("dat_admissao", "Bia"));
    QCOMPARE(stored, field.isValid() ? QDateTime(field, QTime(0, 0)) : QDateTime());
}

void TestWidgets::datePaste_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("shiftInsert"); // else Ctrl+V
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("beeps");
    QTest::newRow("a date") << "09/12/2026" << false << "09/12/2026" << 0;
    QTest::newRow("a date, Shift+Insert") << "09122026" << true << "09/12/2026" << 0;
    QTest::newRow("words") << "9 de dezembro" << false << DateCodec::EmptyMask << 1;
    QTest::newRow("a date and more, Shift+Insert")
        << "09/12/2026 10:00" << true << DateCodec::EmptyMask << 1;
}

void TestWidgets::datePaste() {
    QFETCH(QString, clipboard);
    QFETCH(bool, shiftInsert);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    Data d;
    Host h;
    auto* e = h.add(new DbDateEdit);
    e->setDataSource(&d.src, "dat_admissao");
    QVERIFY(h.show());
    d.q.next(); // no admission date
    e->setFocus();
    e->setCursorPosition(0);
    DialogScript s;
    QGuiApplication::clipboard()->setText(clipboard);
    if (shiftInsert)
        QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
    else
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e->displayText(), shown);
    QCOMPARE(s.beeps(), beeps);
}

void TestWidgets::currencyEdit_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed"); // what the box shows while typing
    QTest::addColumn<qint64>("units");  // the field, in ten-thousandths
    QTest::addColumn<QString>("shown"); // after leaving the box
    QTest::addColumn<int>("beeps");
    QTest::newRow("thousands and cents") << "1.234,56"
                                         << "1.234,56" << qint64(12345600) << "1.234,56" << 0;
    QTest::newRow("centavos exact") << "0,29"
                                    << "0,29" << qint64(2900) << "0,29" << 0;
    QTest::newRow("no dots") << "1234,5"
                             << "1234,5" << qint64(12345000) << "1.234,50" << 0;
    QTest::newRow("whole") << "150"
                           << "150" << qint64(1500000) << "150,00" << 0;
    QTest::newRow("sign refused") << "-5"
                                  << "5" << qint64(50000) << "5,00" << 1;
    QTest::newRow("letter refused") << "12a"
                                    << "12" << qint64(120000) << "12,00" << 1;
    QTest::newRow("third decimal refused") << "1,234"
                                           << "1,23" << qint64(12300) << "1,23" << 1;
    QTest::newRow("second comma refused") << "1,2,3"
                                          << "1,23" << qint64(12300) << "1,23" << 1;
    QTest::newRow("minus inside refused") << "1-"
                                          << "1" << qint64(10000) << "1,00" << 1;
    QTest::newRow("point read as the comma") << "1500.50"
                                             << "1500,50" << qint64(15005000) << "1.500,50" << 0;
    QTest::newRow("comma after a short group refused")
        << "15.00,5"
        << "15.005" << qint64(150050000) << "15.005,00" << 1;
    QTest::newRow("half-typed thousands kept") << "15.00"
                                               << "15.00" << NoValue << "15.00" << 0;
    QTest::newRow("largest amount")
        << "999.999.999,99"
        << "999.999.999,99" << qint64(9999999999900) << "999.999.999,99" << 0;
    QTest::newRow("tenth digit refused")
        << "1234567890"
        << "123456789" << qint64(1234567890000) << "123.456.789,00" << 1;
    QTest::newRow("emptied") << "1\b"
                             << "" << NoValue << "" << 0;
}

void TestWidgets::currencyEdit() {
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(qint64, units);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    Data d;
    Host h;
    auto* e = h.add(new DbCurrencyEdit);
    auto* other = h.add(new QLineEdit);
    e->setDataSource(&d.src, "vlr_salario");
    QVERIFY(h.show());
    QCOMPARE(e->text(), QString("1.500,00"));
    d.q.next();
    QCOMPARE(e->text(), QString());
    DialogScript s;
    e->setFocus();
    press(e, keys);
    QCOMPARE(e->text(), typed);
    QCOMPARE(s.beeps(), beeps);
    if (units == NoValue)
        QVERIFY(d.q.isNull("vlr_salario"));
    else
        QCOMPARE(d.q.asMoney("vlr_salario").units(), units);
    // A text that is not a whole amount stays, and the box cannot be left with it.
    const bool invalid = units == NoValue && !typed.isEmpty();
    if (invalid)
        s.box("Atenção", "Valor inválido no campo Salário!");
    other->setFocus(Qt::TabFocusReason);
    QTest::qWait(0);
    VERIFY_SCRIPT(s);
    QCOMPARE(e->text(), shown);
    if (invalid)
        return;
    d.q.post();
    const QVariant stored = d.stored("vlr_salario", "Bia");
    if (units == NoValue)
        QVERIFY(stored.isNull());
    else
        QCOMPARE(stored.toLongLong(), units);
}

void TestWidgets::comboBox() {
    Data d;
    Host h;
    auto* c = h.add(new DbComboBox);
    c->setEntries({{"Alfa", d.alfa}, {"Beta", d.beta}});
    c->setDataSource(&d.src, "cod_associado");
    QVERIFY(h.show());
    QSignalSpy changed(c, &DbComboBox::changed);
    QCOMPARE(c->currentText(), QString("Alfa"));
    d.q.next();
    QCOMPARE(c->currentText(), QString("Beta"));
    d.q.insert();
    QCOMPARE(c->currentText(), QString()); // nothing stored: no entry
    QCOMPARE(changed.count(), 0);
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Down);
    QCOMPARE(c->currentText(), QString("Alfa"));
    QCOMPARE(d.q.value("cod_associado").toInt(), d.alfa);
    QCOMPARE(changed.count(), 1);
    d.q.cancel();
    QCOMPARE(c->currentText(), QString("Beta"));
}

void TestWidgets::lookupComboBox() {
    Data d;
    Host h;
    auto* c = h.add(new DbLookupComboBox);
    c->setListSource(&d.srcMembers, "cod_associado", "nom_associado");
    c->setDataSource(&d.src, "cod_associado");
    QVERIFY(h.show());
    QCOMPARE(c->count(), 2);
    QCOMPARE(c->currentText(), QString("Alfa"));
    d.q.next();
    QCOMPARE(c->currentText(), QString("Beta"));
    // The list dataset follows the row the box shows.
    QCOMPARE(d.members.asString("nom_associado"), QString("Beta"));
    QCOMPARE(d.q.asString("nom_associado"), QString("Beta"));

    // Picking writes the key.
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Up);
    QCOMPARE(c->currentText(), QString("Alfa"));
    QCOMPARE(d.q.state(), Dataset::State::Edit);
    QCOMPARE(d.q.value("cod_associado").toInt(), d.alfa);
    QCOMPARE(d.members.asString("nom_associado"), QString("Alfa"));
    d.q.post();
    QCOMPARE(d.stored("cod_associado", "Bia").toInt(), d.alfa);

    // Before dropping down a handler may narrow the list; the drop-down shows what it left.
    int before = -1;
    connect(c, &DbLookupComboBox::dropDown, this, [&] {
        before = c->count();
        d.members.close();
        d.members.setSql("select cod_associado, nom_associado from associado where "
                         "cod_associado = :pCodAssociado");
        d.members.setParam("pCodAssociado", d.beta);
        d.members.open();
    });
    QSignalSpy closed(c, &DbLookupComboBox::closeUp);
    c->showPopup();
    QCOMPARE(before, 2);
    QCOMPARE(c->count(), 1);
    QCOMPARE(c->itemText(0), QString("Beta"));
    QCOMPARE(c->currentText(), QString()); // Alfa is not in the narrowed list
    c->hidePopup();
    QCOMPARE(closed.count(), 1);
}

void TestWidgets::grid() {
    Data d;
    Host h;
    auto* g = h.add(new DbGrid);
    g->setColumns({"nom_funcionario", "nom_associado", "vlr_salario"});
    g->setDataSource(&d.src);
    g->onDrawColumnCell = &DbGrid::paintCurrentRow;
    g->resize(500, 200);
    QVERIFY(h.show());
    QAbstractItemModel* m = g->model();
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QString("Nome"));
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QString("Associado"));
    QCOMPARE(m->index(0, 1).data().toString(), QString("Alfa"));
    QCOMPARE(m->index(0, 2).data().toString(), QString("1.500,00"));
    QVERIFY(!g->alternatingRowColors());
    QCOMPARE(g->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(g->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(g->backgroundColor(), g->palette().color(QPalette::Button));

    // A click makes the row current; a move of the dataset moves the grid.
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(m->index(1, 0)).center());
    QCOMPARE(d.q.asString("nom_funcionario"), QString("Bia"));
    d.q.first();
    QCOMPARE(g->currentIndex().row(), 0);
    QCOMPARE(g->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(g->selectionModel()->selectedRows().first().row(), 0);

    // The current row on the grey, the others on the grid's own background.
    const QImage img = g->viewport()->grab().toImage();
    const QRect cur = g->visualRect(m->index(0, 2));
    const QRect other = g->visualRect(m->index(1, 2));
    QCOMPARE(QColor(img.pixel(cur.left() + 2, cur.top() + 2)), QColor(160, 160, 164));
    QCOMPARE(QColor(img.pixel(other.left() + 2, other.top() + 2)), g->backgroundColor());
}

// A right click on the rows opens the grid's menu, when it has one, and nothing otherwise.
void TestWidgets::gridPopupMenu() {
    Data d;
    Host h;
    auto* g = h.add(new DbGrid);
    g->setColumns({"nom_funcionario"});
    g->setDataSource(&d.src);
    QMenu menu;
    menu.addAction("Pesquisar");
    QVERIFY(h.show());
    auto rightClick = [g] {
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5),
                            g->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(g->viewport(), &e);
    };
    rightClick();
    QVERIFY(!menu.isVisible());
    g->setPopupMenu(&menu);
    rightClick();
    QTRY_VERIFY(menu.isVisible());
    menu.hide();
    g->setPopupMenu(nullptr);
    rightClick();
    QVERIFY(!menu.isVisible());
    QCOMPARE(g->popupMenu(), nullptr);
}

void TestWidgets::gridWholeRows_data() {
    QTest::addColumn<int>("height");
    for (int h : {90, 117, 150, 181, 260, 333})
        QTest::addRow("%d", h) << h;
}

// Whatever height the layout gives the grid, the rows area ends at a whole row: the last row
// shown is never cut, and at most one row's height is left blank under it.
void TestWidgets::gridWholeRows() {
    QFETCH(int, height);
    Data d;
    for (int i = 0; i < 40; ++i)
        d.db.conn().execute(
            "INSERT INTO funcionario (cod_associado, nom_funcionario) VALUES (?, ?)",
            {d.alfa, QString("Funcionário %1").arg(i, 2, 10, QChar('0'))});
    d.q.close();
    d.q.open();
    Host h;
    auto* g = h.add(new DbGrid);
    g->setColumns({"nom_funcionario", "nom_associado", "vlr_salario"});
    g->setDataSource(&d.src);
    g->setFixedHeight(height);
    QVERIFY(h.show());
    const int rowHeight = g->verticalHeader()->defaultSectionSize();
    const int shown = g->viewport()->height();
    QCOMPARE(shown % rowHeight, 0);
    QVERIFY(shown > 0);
    const int room =
        g->height() - 2 * g->frameWidth() - g->horizontalHeader()->height() -
        (g->horizontalScrollBar()->isVisible() ? g->horizontalScrollBar()->height() : 0);
    QVERIFY2(room - shown < rowHeight, qPrintable(QString("%1 of %2").arg(shown).arg(room)));
    const int last = g->rowAt(shown - 1);
    QVERIFY(last >= 0);
    QCOMPARE(g->rowViewportPosition(last) + g->rowHeight(last), shown);

    // Scrolled to the end, the last record is whole too.
    g->scrollToBottom();
    const int end = g->model()->rowCount() - 1;
    QVERIFY(g->rowViewportPosition(end) + g->rowHeight(end) <= shown);
}

void TestWidgets::gridEditable() {
    Data d;
    Host h;
    auto* g = h.add(new DbGrid);
    g->setColumns({"nom_funcionario", "num_cpf"});
    g->setDataSource(&d.src);
    g->setEditable(true);
    QVERIFY(h.show());
    g->setFocus();
    QTest::keyClick(g, Qt::Key_Insert);
    QCOMPARE(d.q.state(), Dataset::State::Insert);
    QCOMPARE(d.q.recordCount(), 3);
    QCOMPARE(g->currentIndex().row(), d.q.currentRow());
    d.q.cancel();
    d.q.last();
    QTest::keyClick(g, Qt::Key_Down); // from the last row: a new one at the end
    QCOMPARE(d.q.state(), Dataset::State::Insert);
    QCOMPARE(d.q.currentRow(), 2);
    QTest::keyClick(g, Qt::Key_Down); // still blank: stays
    QCOMPARE(d.q.recordCount(), 3);
    // Typing in a cell writes the field, no longer than the column.
    typeInCell(g, "Caio");
    QCOMPARE(d.q.asString("nom_funcionario"), QString("Caio"));
    g->setCurrentIndex(g->model()->index(2, 1));
    typeInCell(g, "123456789012345678");
    QCOMPARE(d.q.asString("num_cpf"), QString("12345678901234"));
    d.q.post();
    QCOMPARE(d.stored("num_cpf", "Caio").toString(), QString("12345678901234"));
}

void TestWidgets::gridTab_data() {
    QTest::addColumn<bool>("editable");
    QTest::addColumn<bool>("leaves");
    QTest::newRow("read-only list passes Tab on") << false << true;
    QTest::newRow("editable list moves between cells") << true << false;
}

void TestWidgets::gridTab() {
    QFETCH(bool, editable);
    QFETCH(bool, leaves);
    Data d;
    Host h;
    auto* g = h.add(new DbGrid);
    auto* next = h.add(new QLineEdit);
    g->setColumns({"nom_funcionario", "num_cpf"});
    g->setDataSource(&d.src);
    g->setEditable(editable);
    QVERIFY(h.show());
    g->setFocus();
    g->setCurrentIndex(g->model()->index(0, 0));
    QTest::keyClick(g, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget() == next, leaves);
}

void TestWidgets::colors_data() {
    QTest::addColumn<uint>("bgr");
    QTest::addColumn<QColor>("rgb");
    QTest::newRow("current row grey") << uint(Colors::CurrentRowBgr) << QColor(160, 160, 164);
    QTest::newRow("title band green") << uint(Colors::TitleBandBgr) << QColor(211, 231, 211);
    QTest::newRow("red is the low byte") << 0x0000FFu << QColor(255, 0, 0);
    QTest::newRow("blue is the high byte") << 0xFF0000u << QColor(0, 0, 255);
}

void TestWidgets::colors() {
    QFETCH(uint, bgr);
    QFETCH(QColor, rgb);
    QCOMPARE(Colors::fromBgr(bgr), rgb);
}

void TestWidgets::frameEsc() {
    ScreenFrame f(" Título");
    auto* box = new QLineEdit(&f);
    f.body()->addWidget(box);
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(f.titleBand()->text(), QString(" Título"));
    QCOMPARE(f.titleBand()->palette().color(QPalette::Window), QColor(211, 231, 211));
    box->setFocus();
    QTest::keyClicks(box, "ab");
    QCOMPARE(box->text(), QString("ab")); // other keys reach the control
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Rejected));
    // Shown again, Esc closes it again: the window is kept, not destroyed.
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::keyClick(&f, Qt::Key_Escape);
    QVERIFY(!f.isVisible());
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
