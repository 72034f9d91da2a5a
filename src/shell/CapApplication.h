#pragma once

#include <QApplication>
#include <QTranslator>
#include <exception>

// The application object. Its event dispatch is the general error display: an exception that
// no handler caught ends the current action and its text is shown in the standard error
// dialog; the program goes on. SilentAbort ends the action without a message.
class CapApplication : public QApplication {
    Q_OBJECT
public:
    CapApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The error dialog for an exception caught elsewhere (nothing for SilentAbort).
    static void showException(std::exception_ptr error);
    static void showError(const QString& text);

private:
    QTranslator m_qtTexts;
};
