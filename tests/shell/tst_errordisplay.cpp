// The general error display: what no handler caught ends the action, its text is shown in the
// standard error dialog, and the program goes on.
#include "DialogScript.h"
#include "ShellTest.h"
#include "platform/data/DbError.h"
#include "platform/dialogs/SilentAbort.h"
#include "platform/widgets/ScreenCursor.h"

#include <QPushButton>
#include <QTimer>
#include <stdexcept>

using Dialogs::Button;
using Dialogs::Kind;

namespace {
[[noreturn]] void raise(const QString& kind) {
    ScreenCursor::hourglass();
    if (kind == "DbError")
        throw DbError(QStringLiteral("no such table: cheque"));
    if (kind == "std::runtime_error")
        throw std::runtime_error("Falha na gravação do arquivo");
    if (kind == "SilentAbort")
        throw SilentAbort();
    throw 42;
}
} // namespace

class TestErrorDisplay : public QObject {
    Q_OBJECT
private slots:
    void uncaught_data();
    void uncaught();
    void toolkitTexts_data();
    void toolkitTexts();
};

void TestErrorDisplay::uncaught_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("byTimer");
    QTest::addColumn<QString>("shown");
    const QList<std::pair<const char*, QString>> kinds{
        {"DbError", QStringLiteral("no such table: cheque")},
        {"std::runtime_error", QStringLiteral("Falha na gravação do arquivo")},
        {"SilentAbort", QString()},
        {"something else", QStringLiteral("Erro desconhecido.")},
    };
    for (bool byTimer : {false, true})
        for (const auto& [kind, shown] : kinds)
            QTest::newRow(
                qPrintable(QStringLiteral("%1 from a %2")
                               .arg(QLatin1String(kind),
                                    byTimer ? QStringLiteral("timer") : QStringLiteral("click"))))
                << kind << byTimer << shown;
}

void TestErrorDisplay::uncaught() {
    QFETCH(QString, kind);
    QFETCH(bool, byTimer);
    QFETCH(QString, shown);
    QPushButton button(QStringLiteral("Gravar"));
    int runs = 0;
    connect(&button, &QPushButton::clicked, [&] {
        ++runs;
        raise(kind);
    });
    button.show();
    DialogScript s;
    for (int round = 1; round <= 2; ++round) {
        if (!shown.isEmpty())
            s.dlg(Kind::Error, shown, Button::Ok, {Button::Ok});
        if (byTimer) {
            QTimer::singleShot(0, [&] {
                ++runs;
                raise(kind);
            });
            QCoreApplication::processEvents();
        } else {
            QTest::mouseClick(&button, Qt::LeftButton);
        }
        VERIFY_SCRIPT(s);
        QCOMPARE(runs, round);
        QVERIFY(!ScreenCursor::isHourglass());
    }
}

void TestErrorDisplay::toolkitTexts_data() {
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("shown");
    QTest::newRow("save dialog title") << "QFileDialog"
                                       << "Save As"
                                       << "Salvar como";
    QTest::newRow("file name label") << "QFileDialog"
                                     << "File &name:"
                                     << "&Nome do arquivo:";
    QTest::newRow("cancel button") << "QPlatformTheme"
                                   << "Cancel"
                                   << "Cancelar";
}

// The toolkit's own windows speak Portuguese whatever the machine's language (the suite runs
// under the C locale).
void TestErrorDisplay::toolkitTexts() {
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, shown);
    QCOMPARE(QCoreApplication::translate(qPrintable(context), qPrintable(source)), shown);
}

CAP_SHELL_TEST_MAIN(TestErrorDisplay)
#include "tst_errordisplay.moc"
