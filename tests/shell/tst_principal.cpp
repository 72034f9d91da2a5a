// The main menu (buttons, screens kept once opened, the exit confirmation) and the start-up
// sequence around it.
#include "DialogScript.h"
#include "ShellTest.h"
#include "shell/Startup.h"
#include "shell/UPrincipal.h"
#include "shell/uDMCap.h"
#include "shell/ufrmLogin.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>

using Dialogs::Button;
using Dialogs::Kind;

namespace {
const QString LeaveQuestion = QStringLiteral("Deseja sair do sistema?");

// Runs `act` as soon as `ready` holds, from the event loop that is running then (a modal one).
void when(std::function<bool()> ready, std::function<void()> act) {
    QTimer::singleShot(0, [=] {
        if (ready())
            act();
        else
            when(ready, act);
    });
}

// Should the event loop run with no way out, this ends it with a code of its own.
void watchdog(QTimer& t) {
    t.setSingleShot(true);
    QObject::connect(&t, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    t.start(20000);
}

QDialog* modal() {
    return qobject_cast<QDialog*>(QApplication::activeModalWidget());
}

void plugAll(int* made = nullptr) {
    for (int i = 0; i < ScreenCount; ++i)
        TfrmPrincipal::setScreenFactory(Screen(i), [made] {
            if (made)
                ++*made;
            return new QDialog;
        });
}
} // namespace

class TestPrincipal : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void buttons_data();
    void buttons();
    void disabledUntilPlugged();
    void closing_data();
    void closing();
    void loginLeftEndsProgram_data();
    void loginLeftEndsProgram();
    void loginRunsMenuUntilClosed_data() { TestDb::addEngineRows(); }
    void loginRunsMenuUntilClosed();
};

void TestPrincipal::cleanup() {
    delete frmPrincipal;
    TfrmPrincipal::destroyScreens();
    TfrmPrincipal::clearScreenFactories();
}

void TestPrincipal::buttons_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("screen"); // -1: leaves the program
    const QList<std::tuple<const char*, const char*, int, int, int>> rows{
        {"SpeedButton1", "Cadastro de associado", 0, 0, int(Screen::Associado)},
        {"SpeedButton4", "Cadastro de departamento", 0, 1, int(Screen::Departamento)},
        {"SpeedButton2", "Cadastro de funcionário", 0, 2, int(Screen::Funcionario)},
        {"SpeedButton3", "Cadastro de feriado", 0, 3, int(Screen::Feriado)},
        {"SpeedButton5", "Captura de cheque", 0, 4, int(Screen::CapturaCheque)},
        {"SpeedButton7", "Gerar arquivo depósito/custódia", 1, 0,
         int(Screen::GeraArqDepositoCustodia)},
        {"SpeedButton6", "Devolução cheque", 1, 1, int(Screen::DevolucaoCheque)},
        {"SpeedButton8", "Gerar arquivo pagamento salário", 1, 2,
         int(Screen::GeraArqPagFuncionario)},
        {"SpeedButton9", "Relatórios", 1, 3, int(Screen::Relatorio)},
        {"SpeedButton10", "Sair do sistema", 1, 4, -1},
    };
    for (const auto& [name, caption, column, row, screen] : rows)
        QTest::newRow(name) << name << QString::fromUtf8(caption) << column << row << screen;
}

// Where each button stands (its column by its left edge, its row by its height), where Tab
// reaches it from the first one, and that each click shows its screen's one instance modally,
// Esc closing only the screen.
void TestPrincipal::buttons() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(int, screen);
    int made = 0;
    plugAll(&made);
    DialogScript s;
    auto* m = new TfrmPrincipal;
    m->show();
    QVERIFY(QTest::qWaitForWindowActive(m));
    auto* b = m->findChild<QPushButton*>(name);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    QVERIFY(b->font().bold());
    QList<int> lefts, tops;
    for (QPushButton* other : m->findChildren<QPushButton*>()) {
        if (!lefts.contains(other->x()))
            lefts << other->x();
        if (other->x() == b->x())
            tops << other->y();
    }
    std::sort(lefts.begin(), lefts.end());
    std::sort(tops.begin(), tops.end());
    QCOMPARE(lefts.size(), 2);
    QCOMPARE(lefts.indexOf(b->x()), column);
    QCOMPARE(tops.size(), 5);
    QCOMPARE(tops.indexOf(b->y()), row);

    QCOMPARE(QApplication::focusWidget(), m->SpeedButton1);
    for (int i = 0; i < column * 5 + row; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), b);
    if (screen < 0)
        return;

    QList<QDialog*> shown;
    for (int click = 0; click < 2; ++click) {
        when([] { return modal() != nullptr; },
             [&] {
                 shown << modal();
                 QTest::keyClick(modal(), Qt::Key_Escape);
             });
        QTest::mouseClick(b, Qt::LeftButton);
    }
    VERIFY_SCRIPT(s);
    QCOMPARE(made, 1);
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0], shown[1]);
    QCOMPARE(TfrmPrincipal::screenInstance(Screen(screen)), shown[0]);
    QVERIFY(!shown[0]->isVisible() && m->isVisible());
}

void TestPrincipal::disabledUntilPlugged() {
    auto* m = new TfrmPrincipal;
    for (int i = 0; i < ScreenCount; ++i)
        QVERIFY(!m->buttonFor(Screen(i))->isEnabled());
    QVERIFY(m->SpeedButton10->isEnabled());
    TfrmPrincipal::setScreenFactory(Screen::Feriado, [] { return new QDialog; });
    QVERIFY(m->SpeedButton3->isEnabled());
    QVERIFY(!m->SpeedButton1->isEnabled());
}

void TestPrincipal::closing_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<Button>("answer");
    for (const char* how : {"Esc", "Sair do sistema", "close button", "Enter on Sair"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, OK").arg(how))) << how << Button::Ok;
        QTest::newRow(qPrintable(QStringLiteral("%1, Cancela").arg(how))) << how << Button::Cancel;
        QTest::newRow(qPrintable(QStringLiteral("%1, no choice").arg(how))) << how << Button::None;
    }
}

void TestPrincipal::closing() {
    QFETCH(QString, how);
    QFETCH(Button, answer);
    plugAll();
    DialogScript s;
    s.dlg(Kind::Confirmation, LeaveQuestion, answer, {Button::Ok, Button::Cancel});
    QPointer<TfrmPrincipal> m = new TfrmPrincipal;
    m->show();
    if (how == "Esc")
        QTest::keyClick(m->SpeedButton1, Qt::Key_Escape);
    else if (how == "Sair do sistema")
        QTest::mouseClick(m->SpeedButton10, Qt::LeftButton);
    else if (how == "close button")
        m->close();
    else {
        m->SpeedButton10->setFocus();
        QTest::keyClick(m->SpeedButton10, Qt::Key_Return);
    }
    VERIFY_SCRIPT(s);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (answer == Button::Ok) {
        QVERIFY(m.isNull());
        QVERIFY(!frmPrincipal);
    } else {
        QVERIFY(m && m->isVisible());
    }
}

void TestPrincipal::loginLeftEndsProgram_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Sair") << "sair";
}

void TestPrincipal::loginLeftEndsProgram() {
    QFETCH(QString, how);
    TestDb db(Engine::SQLite);
    ConfigDir cfg;
    cfg.writeCaminho(db.target());
    DialogScript s;
    when([] { return qobject_cast<TfrmLogin*>(modal()); },
         [how] {
             auto* login = qobject_cast<TfrmLogin*>(modal());
             QTest::keyClicks(login->edtUsuario, QStringLiteral("chefia"));
             QTest::keyClicks(login->edtSenha, QStringLiteral("chavemax"));
             if (how == "esc")
                 QTest::keyClick(login->edtSenha, Qt::Key_Escape);
             else
                 QTest::mouseClick(login->SpeedButton2, Qt::LeftButton);
         });
    QTimer guard;
    watchdog(guard);
    QCOMPARE(runProgram(*qApp), 0);
    VERIFY_SCRIPT(s);
    QVERIFY(!frmPrincipal);
    QVERIFY(!DMCap);
    QVERIFY(!modal());
}

void TestPrincipal::loginRunsMenuUntilClosed() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    ConfigDir cfg;
    cfg.writeCaminho(db.target());
    plugAll();
    DialogScript s;
    QPointer<QDialog> screen;
    bool menuSeen = false;
    when([] { return qobject_cast<TfrmLogin*>(modal()); },
         [] { confirm(*qobject_cast<TfrmLogin*>(modal()), "chefia", "chavemax"); });
    when([] { return frmPrincipal && frmPrincipal->isVisible(); },
         [&] {
             // The login is gone; the menu is the window, on the open connection.
             menuSeen = DMCap && DMCap->CnxPrincipal.isOpen() && !modal();
             for (QWidget* w : QApplication::topLevelWidgets())
                 menuSeen = menuSeen && !qobject_cast<TfrmLogin*>(w);
             // A screen opened and closed; then Esc and "Cancela"; then "Sair do sistema", OK.
             when([] { return modal() != nullptr; },
                  [&] {
                      screen = modal();
                      screen->reject();
                  });
             QTest::mouseClick(frmPrincipal->SpeedButton1, Qt::LeftButton);
             s.dlg(Kind::Confirmation, LeaveQuestion, Button::Cancel);
             QTest::keyClick(frmPrincipal->SpeedButton1, Qt::Key_Escape);
             menuSeen = menuSeen && frmPrincipal && frmPrincipal->isVisible();
             s.dlg(Kind::Confirmation, LeaveQuestion, Button::Ok);
             QTest::mouseClick(frmPrincipal->SpeedButton10, Qt::LeftButton);
         });
    QTimer guard;
    watchdog(guard);
    QCOMPARE(runProgram(*qApp), 0);
    VERIFY_SCRIPT(s);
    QVERIFY(menuSeen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!frmPrincipal);
    QVERIFY(screen.isNull()); // the screens end with the program
}

CAP_SHELL_TEST_MAIN(TestPrincipal)
#include "tst_principal.moc"
