#include "shell/CapApplication.h"

#include "platform/data/DbError.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/dialogs/SilentAbort.h"
#include "platform/widgets/ScreenCursor.h"

#include <QLibraryInfo>
#include <QLocale>

CapApplication::CapApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // No display name: Qt would append it to every window title (" — ..."), and each window's
    // title is the system's own.
    setApplicationName(QStringLiteral("capcheque"));
    // The toolkit's own windows (the save dialog, the print dialog, the context menus of the
    // boxes) speak the operator's language too.
    if (m_qtTexts.load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTexts);
}

bool CapApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showException(std::current_exception());
    }
    return false;
}

void CapApplication::showException(std::exception_ptr error) {
    // The action that failed may have left the hourglass up.
    ScreenCursor::normal();
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort&) {
    } catch (const DbError& e) {
        showError(e.message());
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    } catch (...) {
        showError(QStringLiteral("Erro desconhecido."));
    }
}

void CapApplication::showError(const QString& text) {
    ScreenCursor::normal();
    Dialogs::messageDlg(text, Dialogs::Kind::Error, {Dialogs::Button::Ok});
}
