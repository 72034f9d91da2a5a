#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// Every message box, confirmation, input prompt, save dialog and beep of the program goes
// through here, so that tests can put a script in place of the real windows.
namespace Dialogs {

enum class Kind {
    MessageBox,   // plain box: the screen's title, the text, OK
    Warning,      // standard dialog titled "Aviso"
    Error,        // "Erro"
    Information,  // "Informação"
    Confirmation, // "Confirmação"
    InputPrompt,  // single-line prompt with "OK" and "Cancela"
    SaveFile,     // file save dialog
};

enum class Icon { None, Information, Warning, Error, Question };
enum class Button { None, Ok, Cancel, Yes, No };

// What a dialog asked; a test script sees exactly this.
struct Request {
    Kind kind = Kind::MessageBox;
    QString title;
    QString text;          // message, or the prompt's label
    QList<Button> buttons; // in the order shown
    Icon icon = Icon::None;
    QString initialText;   // prompt: initial text; save dialog: initial folder
    QString defaultSuffix; // save dialog
    QString filter;        // save dialog
};

// What came back: the button, and for a prompt or a save dialog the text or path.
struct Answer {
    Button button = Button::None;
    QString text;
};

// Takes the place of the real windows (in tests).
class Handler {
public:
    virtual ~Handler() = default;
    virtual Answer handle(const Request& request) = 0;
    virtual void beep() = 0;
};
void setHandler(Handler* handler); // nullptr: the real windows again
Handler* handler();

// The application's title: the caption of the messages that carry no title of their own.
inline QString applicationTitle() {
    return QStringLiteral("Sistema de captura de cheques");
}

// The caption a button carries on screen: "&Sim", "&Não", "OK", "Cancela".
QString caption(Button b);
// The title of a standard dialog of the kind.
QString standardTitle(Kind k);

// Plain message box owned by `owner`, with one OK button.
void messageBox(QWidget* owner, const QString& text, const QString& title, Icon icon = Icon::None);
// Standard message dialog of a kind; returns the button chosen, None when closed without one.
Button messageDlg(const QString& text, Kind kind, const QList<Button>& buttons);
// Single-line prompt: the typed text on "OK"; the empty text on "Cancela" or when closed.
QString inputBox(const QString& title, const QString& label, const QString& initial = {});
// Save dialog: the chosen path, or empty when cancelled.
QString saveFile(QWidget* owner, const QString& initialDir, const QString& defaultSuffix,
                 const QString& filter);
// The default system beep.
void beep();

} // namespace Dialogs
