#include "platform/widgets/DigitLineEdit.h"

#include "platform/dialogs/Dialogs.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

// What the box can hold: digits, at most `max`, and blanks at the given positions. Keys are
// judged as they are typed; this refuses a paste or a drop.
class DigitsValidator : public QValidator {
public:
    DigitsValidator(int max, const QList<int>& blanks, QObject* parent)
        : QValidator(parent), m_max(max), m_blanks(blanks) {}
    State validate(QString& input, int&) const override {
        int digits = 0;
        for (int i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if (c == QLatin1Char(' ') && m_blanks.contains(i))
                continue;
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return Invalid;
            ++digits;
        }
        return digits <= m_max ? Intermediate : Invalid;
    }

private:
    int m_max;
    QList<int> m_blanks;
};

bool isEnter(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

} // namespace

DigitLineEdit::DigitLineEdit(int maxDigits, const QList<int>& blankPositions, QWidget* parent)
    : QLineEdit(parent), m_maxDigits(maxDigits) {
    setValidator(new DigitsValidator(maxDigits, blankPositions, this));
    connect(this, &QLineEdit::inputRejected, this, [] { Dialogs::beep(); });
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

QString DigitLineEdit::digits() const {
    QString d = text();
    d.remove(QLatin1Char(' '));
    return d;
}

bool DigitLineEdit::refuses(const QKeyEvent* k) const {
    // Keys that type nothing (arrows, Ctrl alone, Shift+Insert) and the editing keys without
    // Ctrl are the box's own; a paste they make is judged by the validator. A key with Ctrl
    // that types a control character (Ctrl+V among them) is refused like any other.
    const bool editing =
        k->key() == Qt::Key_Backspace || k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
    if (k->text().isEmpty() || (editing && !(k->modifiers() & Qt::ControlModifier)))
        return false;
    const QString t = k->text();
    const QChar c = t.size() == 1 ? t.at(0) : QChar();
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    return !digit || (digits().size() >= m_maxDigits && !hasSelectedText());
}

void DigitLineEdit::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event)) {
        event->accept();
        emit entered();
        return;
    }
    if (refuses(event)) {
        event->accept();
        Dialogs::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
