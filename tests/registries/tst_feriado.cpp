// The holiday screen: its order, save checks, date box, fixed-date choice, check-box column and
// the action that adds a year's national holidays.
#include "DialogScript.h"
#include "ScreenDriver.h"
#include "TestDb.h"
#include "core/Feriados.h"
#include "platform/data/DateCodec.h"
#include "platform/data/DbError.h"
#include "platform/widgets/Colors.h"
#include "registries/ufrmFeriado.h"

#include <QCalendarWidget>
#include <QPainter>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTest>

namespace {

// "Natal 2006-12-25 S" (S fixed, N not, - no value) separated by commas.
void insertHolidays(Connection& c, const QString& rows) {
    for (const QString& r : rows.split(',', Qt::SkipEmptyParts)) {
        const QStringList p = r.trimmed().split(' ');
        const QString flag = p.at(2);
        c.execute("INSERT INTO feriado (dsc_feriado, dat_feriado, ind_dia_fixo) VALUES (?, ?, ?)",
                  {p.at(0), QDate::fromString(p.at(1), Qt::ISODate),
                   flag == "-" ? QVariant() : QVariant(flag == "S")});
    }
}

QStringList listed(const TfrmFeriado& w) {
    QStringList out;
    const QAbstractItemModel* m = w.RxDBGrid1->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->index(r, 0).data().toString();
    return out;
}

// The check box as the list draws it in a cell, on the cell's own background.
QImage expectedCell(const QTableView* grid, const QSize& size, QRgb background, bool ticked) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(background);
    QPainter p(&img);
    QStyleOptionButton opt;
    opt.initFrom(grid);
    opt.palette.setColor(QPalette::Base, Qt::white);
    const QRect box = QRect(QPoint(0, 0), size).adjusted(1, 1, -1, -1);
    const int w = grid->style()->pixelMetric(QStyle::PM_IndicatorWidth, &opt, grid);
    const int h = grid->style()->pixelMetric(QStyle::PM_IndicatorHeight, &opt, grid);
    opt.rect = QRect(0, 0, qMin(w, box.width()), qMin(h, box.height()));
    opt.rect.moveCenter(box.center());
    opt.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
    p.setClipRect(box);
    grid->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &p, grid);
    return img;
}

QImage cellImage(QTableView* grid, int row, int column) {
    const QImage all =
        grid->viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRect r = grid->visualRect(grid->model()->index(row, column));
    const qreal dpr = all.devicePixelRatio();
    return all.copy(QRect(r.topLeft() * dpr, r.size() * dpr));
}

} // namespace

class TestFeriado : public QObject {
    Q_OBJECT
private slots:
    void order_data();
    void order();
    void saveChecks_data();
    void saveChecks();
    void dateBox_data() { TestDb::addEngineRows(); }
    void dateBox();
    void halfTypedDate_data();
    void halfTypedDate();
    void fixedChoice_data() { TestDb::addEngineRows(); }
    void fixedChoice();
    void checkBoxColumn();
    void yearsHolidays_data();
    void yearsHolidays();
    void yearsHolidaysTwice_data() { TestDb::addEngineRows(); }
    void yearsHolidaysTwice();
    void yearsHolidaysBusy_data() { TestDb::addEngineRows(); }
    void yearsHolidaysBusy();
};

void TestFeriado::order_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("listed");
    struct Case {
        const char *tag, *rows, *listed;
    };
    const Case cases[] = {
        {"fixed first whatever the dates",
         "Eleicao 2006-10-01 N, Natal 2006-12-25 S, Carnaval 2006-02-28 N, Tiradentes 2007-04-21 S",
         "Natal,Tiradentes,Carnaval,Eleicao"},
        {"each group by the full date",
         "B 2008-01-05 S, A 2007-12-31 S, D 2006-03-01 N, C 2006-02-01 N", "A,B,C,D"},
        {"no flag goes with the dated ones", "X 2001-01-01 -, Y 2009-09-09 S, Z 2000-01-01 N",
         "Y,Z,X"},
        {"same date both kept", "Um 2006-05-01 S, Dois 2006-05-01 S", "Um,Dois"},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.rows) << QString(c.listed);
}

void TestFeriado::order() {
    QFETCH(Engine, engine);
    QFETCH(QString, rows);
    QFETCH(QString, listed);
    TestDb db(engine);
    insertHolidays(db.conn(), rows);
    TfrmFeriado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    QStringList got = ::listed(w);
    if (listed == "Um,Dois") // same key: either order
        got.sort(), got = QStringList{"Um", "Dois"};
    QCOMPARE(got.join(','), listed);
    QCOMPARE(w.focusWidget(), w.DBEdit1);
}

void TestFeriado::saveChecks_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("date");  // keys typed into the date box
    QTest::addColumn<QString>("fixed"); // caption picked; empty: none
    QTest::addColumn<QString>("message");
    struct Case {
        const char *tag, *description, *date, *fixed, *message;
    };
    const Case cases[] = {
        {"nothing", "", "", "", "Favor informar a descrição do feriado!"},
        {"blank description", "  ", "25122006", "Sim", "Favor informar a descrição do feriado!"},
        {"no date", "Natal", "", "Sim", "Favor informar a data do feriado!"},
        {"no choice", "Natal", "25122006", "", "Favor informar se o feriado é nacional ou não!"},
        {"fixed", "Natal", "25122006", "Sim", ""},
        {"not fixed", "Eleição", "01102006", "Não", ""},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.description) << QString(c.date) << QString(c.fixed)
                << QString(c.message);
}

void TestFeriado::saveChecks() {
    QFETCH(Engine, engine);
    QFETCH(QString, description);
    QFETCH(QString, date);
    QFETCH(QString, fixed);
    QFETCH(QString, message);
    TestDb db(engine);
    insertHolidays(db.conn(), "Outro 2000-01-01 N");
    TfrmFeriado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    w.btnInserir->click();
    QCOMPARE(w.focusWidget(), w.DBEdit1);
    QCOMPARE(w.RxDBComboBox1->currentText(), QString()); // a new holiday has no choice
    drv::typeInto(w.DBEdit1, description);
    w.DBDateEdit1->setFocus();
    w.DBDateEdit1->setCursorPosition(0);
    QTest::keyClicks(w.DBDateEdit1, date);
    if (!fixed.isEmpty())
        QVERIFY(drv::pick(w.RxDBComboBox1, fixed));
    QWidget* focused = w.focusWidget();

    DialogScript s;
    if (!message.isEmpty())
        s.box("Atenção", message);
    w.btnSalvar->click();
    VERIFY_SCRIPT(s);
    const int stored = db.conn().selectValue("SELECT count(*) FROM feriado").toInt();
    if (!message.isEmpty()) {
        QCOMPARE(stored, 1);
        QCOMPARE(w.dtmFeriado->qryFeriado->state(), Dataset::State::Insert);
        QCOMPARE(w.DBEdit1->text(), description);
        QCOMPARE(w.RxDBComboBox1->currentText(), fixed);
        QCOMPARE(w.focusWidget(), focused);
        return;
    }
    QCOMPARE(stored, 2);
    const ResultSet rs = db.conn().select(
        "SELECT dat_feriado, ind_dia_fixo FROM feriado WHERE dsc_feriado = ?", {description});
    QCOMPARE(rs.rows.size(), 1);
    QCOMPARE(DateCodec::fromDb(rs.rows.first().at(0)),
             QDateTime(QDate::fromString(date, "ddMMyyyy"), QTime(0, 0)));
    QCOMPARE(rs.rows.first().at(1).toBool(), fixed == "Sim");
    QCOMPARE(w.dtmFeriado->qryFeriado->state(), Dataset::State::Browse);
    QCOMPARE(w.focusWidget(), w.DBEdit1);
    QCOMPARE(drv::enabledButtons(&w),
             QString("Inserir Pesquisar Excluir Primeiro Anterior Próximo Último"));
}

void TestFeriado::halfTypedDate_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("digits");  // typed over the date of "Eleicao"
    QTest::addColumn<QString>("gesture"); // how the operator tries to leave it
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e) + ": ";
        QTest::newRow(qPrintable(n + "two-digit year, Salvar")) << e << "251220"
                                                                << "sal";
        QTest::newRow(qPrintable(n + "no such day, Salvar")) << e << "31022007"
                                                             << "sal";
        QTest::newRow(qPrintable(n + "two-digit year, Anterior")) << e << "251220"
                                                                  << "ant";
        QTest::newRow(qPrintable(n + "day only, list click")) << e << "25"
                                                              << "row";
        QTest::newRow(qPrintable(n + "two-digit year, Tab")) << e << "251220"
                                                             << "tab";
    }
}

void TestFeriado::halfTypedDate() {
    QFETCH(Engine, engine);
    QFETCH(QString, digits);
    QFETCH(QString, gesture);
    TestDb db(engine);
    insertHolidays(db.conn(), "Natal 2006-12-25 S, Eleicao 2006-10-01 N");
    TfrmFeriado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    w.btnProximo->click();
    w.DBDateEdit1->setFocus();
    w.DBDateEdit1->selectAll();
    QTest::keyClick(w.DBDateEdit1, Qt::Key_Backspace);
    w.DBDateEdit1->setCursorPosition(0);
    QTest::keyClicks(w.DBDateEdit1, digits);
    const QString typed = w.DBDateEdit1->displayText();

    DialogScript s;
    s.box("Atenção", "Data inválida no campo Data!");
    if (gesture == "row")
        drv::clickRow(w.RxDBGrid1, 0);
    else if (gesture == "tab")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    else
        QVERIFY(drv::toolbar(&w, gesture));
    QTest::qWait(0);
    VERIFY_SCRIPT(s);
    // Nothing written, the record still edited, the text kept and the focus back in the box.
    QCOMPARE(DateCodec::fromDb(db.conn().selectValue(
                 "SELECT dat_feriado FROM feriado WHERE dsc_feriado = 'Eleicao'")),
             QDateTime(QDate(2006, 10, 1), QTime(0, 0)));
    QCOMPARE(w.dtmFeriado->qryFeriado->state(), Dataset::State::Edit);
    QCOMPARE(w.dtmFeriado->qryFeriado->asString("dsc_feriado"), QString("Eleicao"));
    QCOMPARE(w.DBDateEdit1->displayText(), typed);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.DBDateEdit1));
    // Corrected, it saves.
    w.DBDateEdit1->setCursorPosition(0);
    QTest::keyClicks(w.DBDateEdit1, "25122020");
    w.btnSalvar->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(DateCodec::fromDb(db.conn().selectValue(
                 "SELECT dat_feriado FROM feriado WHERE dsc_feriado = 'Eleicao'")),
             QDateTime(QDate(2020, 12, 25), QTime(0, 0)));
}

void TestFeriado::dateBox() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    insertHolidays(db.conn(), "Natal 2006-12-25 S, Eleicao 2006-10-01 N");
    TfrmFeriado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    QCOMPARE(w.DBDateEdit1->displayText(), QString("25/12/2006"));
    w.btnProximo->click();
    QCOMPARE(w.DBDateEdit1->displayText(), QString("01/10/2006"));
    w.btnInserir->click();
    QCOMPARE(w.DBDateEdit1->displayText(), DateCodec::EmptyMask);
    w.btnCancelar->click();
    QCOMPARE(w.DBDateEdit1->displayText(), QString("01/10/2006"));

    // Emptied and moved away from: the date goes, no check asked.
    w.DBDateEdit1->setFocus();
    w.DBDateEdit1->selectAll();
    QTest::keyClick(w.DBDateEdit1, Qt::Key_Backspace);
    QCOMPARE(w.DBDateEdit1->displayText(), DateCodec::EmptyMask);
    QVERIFY(w.dtmFeriado->qryFeriado->isNull("dat_feriado"));
    w.btnPrimeiro->click();
    QVERIFY(db.conn()
                .selectValue("SELECT dat_feriado FROM feriado WHERE dsc_feriado = "
                             "'Eleicao'")
                .isNull());

    // Chosen in the calendar.
    w.btnUltimo->click();
    w.DBDateEdit1->showCalendar();
    QCalendarWidget* cal = w.DBDateEdit1->calendar();
    QVERIFY(cal->isVisible());
    cal->setSelectedDate(QDate(2007, 9, 7));
    QTest::keyClick(cal->findChild<QTableView*>(), Qt::Key_Return);
    QVERIFY(!cal->isVisible());
    QCOMPARE(w.DBDateEdit1->displayText(), QString("07/09/2007"));
    QCOMPARE(w.dtmFeriado->qryFeriado->state(), Dataset::State::Edit);
    DialogScript s;
    w.btnSalvar->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(DateCodec::fromDb(db.conn().selectValue(
                 "SELECT dat_feriado FROM feriado WHERE dsc_feriado = 'Eleicao'")),
             QDateTime(QDate(2007, 9, 7), QTime(0, 0)));
}

void TestFeriado::fixedChoice() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    insertHolidays(db.conn(), "Natal 2006-12-25 S, Eleicao 2006-10-01 N");
    TfrmFeriado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    QCOMPARE(w.RxDBComboBox1->currentText(), QString("Sim"));
    w.btnProximo->click();
    QCOMPARE(w.RxDBComboBox1->currentText(), QString("Não"));
    QVERIFY(drv::pick(w.RxDBComboBox1, "Sim"));
    QCOMPARE(w.dtmFeriado->qryFeriado->state(), Dataset::State::Edit);
    DialogScript s;
    w.btnSalvar->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(db.conn()
                 .selectValue("SELECT ind_dia_fixo FROM feriado WHERE dsc_feriado = 'Eleicao'")
                 .toBool(),
             true);
    // Saved rows keep their place until the next opening; then both are fixed, by date.
    w.hide();
    QVERIFY(drv::showScreen(&w));
    QCOMPARE(listed(w).join(','), QString("Eleicao,Natal"));
}

void TestFeriado::checkBoxColumn() {
    TestDb db(Engine::SQLite);
    insertHolidays(db.conn(), "Natal 2006-12-25 S, Carnaval 2006-02-28 N, Velho 2001-01-01 -");
    TfrmFeriado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    QTableView* grid = w.RxDBGrid1;
    QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QString("Data fixa?"));
    // Rows: Natal (current), Velho, Carnaval. A tick where the flag is true, an empty box
    // otherwise, no "Sim"/"Não", on the cell's own background.
    const bool ticks[] = {true, false, false};
    for (int row = 0; row < 3; ++row) {
        const QImage cell = cellImage(grid, row, 2);
        const QRgb bg = cell.pixel(0, 0);
        QCOMPARE(cell, expectedCell(grid, cell.size(), bg, ticks[row]));
        QVERIFY(cell != expectedCell(grid, cell.size(), bg, !ticks[row]));
    }
    // No grey current row: its other cells keep the list's own selection colour.
    const QImage current = cellImage(grid, 0, 0);
    QVERIFY(QColor(current.pixel(current.width() - 2, 1)) != Colors::currentRow());
    QCOMPARE(cellImage(grid, 0, 2).pixel(0, 0), current.pixel(current.width() - 2, 1));
}

namespace {

const QString Gerar = QStringLiteral("Gerar feriados do ano");

int storedHolidays(Connection& c) {
    return c.selectValue("SELECT count(*) FROM feriado").toInt();
}

} // namespace

void TestFeriado::yearsHolidays_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("existing"); // rows already there
    QTest::addColumn<QString>("typed");    // the prompt's answer; null: "Cancela"
    QTest::addColumn<int>("added");        // -1: refused as no year
    struct Case {
        const char *tag, *existing, *typed;
        int added;
    };
    const Case cases[] = {
        {"empty table", "", "2026", 13},
        {"year typed with blanks", "", " 2027 ", 13},
        // A fixed holiday counts for every year; a moving one only on its own date.
        {"some there", "Natal 1990-12-25 S, Carnaval 2026-02-17 N, Carnaval 2025-03-03 N", "2026",
         11},
        {"first year taken", "", "1900", 13},
        {"last year taken", "", "2199", 13},
        {"cancelled", "", nullptr, 0},
        {"not a number", "", "dois mil", -1},
        {"digits and letters", "", "2O26", -1},
        {"before 1900", "", "1899", -1},
        {"after 2199", "", "2200", -1},
        {"negative", "", "-2026", -1},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.existing) << (c.typed ? QString(c.typed) : QString()) << c.added;
}

void TestFeriado::yearsHolidays() {
    QFETCH(Engine, engine);
    QFETCH(QString, existing);
    QFETCH(QString, typed);
    QFETCH(int, added);
    TestDb db(engine);
    insertHolidays(db.conn(), existing);
    const int before = storedHolidays(db.conn());
    TfrmFeriado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    QCOMPARE(w.btnGerarFeriados->toolTip(), Gerar);
    QVERIFY(w.btnGerarFeriados->isEnabled());

    DialogScript s;
    s.prompt(Gerar, typed, !typed.isNull());
    if (added < 0)
        s.box("Atenção", "Favor informar um ano entre 1900 e 2199!");
    else if (!typed.isNull())
        s.dlg(Dialogs::Kind::Information, Feriados::descreveInclusao(added), Dialogs::Button::Ok,
              {Dialogs::Button::Ok});
    w.btnGerarFeriados->click();
    VERIFY_SCRIPT(s);
    // The year offered is the current one.
    QCOMPARE(s.seen().first().kind, Dialogs::Kind::InputPrompt);
    QCOMPARE(s.seen().first().initialText, QString::number(QDate::currentDate().year()));
    QCOMPARE(storedHolidays(db.conn()), before + qMax(added, 0));
    // The list shows what the table holds.
    QCOMPARE(listed(w).size(), before + qMax(added, 0));
    QCOMPARE(w.dtmFeriado->qryFeriado->state(), Dataset::State::Browse);
    QVERIFY(w.btnGerarFeriados->isEnabled());
}

void TestFeriado::yearsHolidaysTwice() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    TfrmFeriado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    DialogScript s;
    s.prompt(Gerar, "2026");
    s.dlg(Dialogs::Kind::Information, "13 feriados incluídos.", Dialogs::Button::Ok);
    w.btnGerarFeriados->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(storedHolidays(db.conn()), 13);
    QVERIFY(listed(w).contains("Sexta-feira da Paixão"));
    QCOMPARE(listed(w).size(), 13);

    s.prompt(Gerar, "2026");
    s.dlg(Dialogs::Kind::Information, "Nenhum feriado incluído: todos já estavam cadastrados.",
          Dialogs::Button::Ok);
    w.btnGerarFeriados->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(storedHolidays(db.conn()), 13);

    // The next year brings only its four moving holidays.
    s.prompt(Gerar, "2027");
    s.dlg(Dialogs::Kind::Information, "4 feriados incluídos.", Dialogs::Button::Ok);
    w.btnGerarFeriados->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(storedHolidays(db.conn()), 17);
    QCOMPARE(listed(w).size(), 17);

    // Not while a holiday is being typed: the button is off, and the record stays as it is.
    w.btnInserir->click();
    QVERIFY(!w.btnGerarFeriados->isEnabled());
    drv::typeInto(w.DBEdit1, "Aniversario");
    QVERIFY(!w.btnGerarFeriados->isEnabled());
    w.btnCancelar->click();
    QVERIFY(w.btnGerarFeriados->isEnabled());
    QCOMPARE(storedHolidays(db.conn()), 17);
}

// While another copy adds holidays, the action fails with the database's error (the general error
// display shows it), reports nothing as added and leaves the list; once the other copy is done,
// it adds what is still missing.
void TestFeriado::yearsHolidaysBusy() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    TfrmFeriado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    Connection other(QStringLiteral("other_copy"));
    other.setConnectionString(db.target());
    other.open();
    other.beginTransaction();
    other.lockNumbering(QStringLiteral("feriado"));
    other.execute("INSERT INTO feriado (dsc_feriado, dat_feriado, ind_dia_fixo) VALUES (?, ?, ?)",
                  {QString("Natal"), QDate(2026, 12, 25), true});
    db.conn().setBusyTimeout(300);

    DialogScript s;
    s.prompt(Gerar, "2026");
    QVERIFY_THROWS_EXCEPTION(DbError, w.btnGerarFeriadosClick());
    VERIFY_SCRIPT(s);
    QCOMPARE(listed(w).size(), 0);
    QCOMPARE(w.dtmFeriado->qryFeriado->state(), Dataset::State::Browse);
    QVERIFY(w.btnGerarFeriados->isEnabled());

    other.commit();
    s.prompt(Gerar, "2026");
    s.dlg(Dialogs::Kind::Information, "12 feriados incluídos.", Dialogs::Button::Ok);
    w.btnGerarFeriados->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(storedHolidays(db.conn()), 13);
    QCOMPARE(listed(w).size(), 13);
}

QTEST_MAIN(TestFeriado)
#include "tst_feriado.moc"
