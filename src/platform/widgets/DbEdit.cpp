#include "platform/widgets/DbEdit.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/SelectOnEntry.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

namespace {

// The character a key-down would type, as the key filter sees it; null for keys that type
// nothing (arrows, Delete, function keys).
QChar typedChar(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    default:
        break;
    }
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if ((mods & Qt::ControlModifier) && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
        return QChar(e->key() - Qt::Key_A + 1); // ^A..^Z, as the clipboard shortcuts type
    if (e->matches(QKeySequence::Paste))
        return QChar(22);
    if (e->matches(QKeySequence::Cut))
        return QChar(24);
    if (e->matches(QKeySequence::Copy))
        return QChar(3);
    const QString t = e->text();
    if (t.isEmpty() || (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return {};
    return t.at(0);
}

bool allDigits(const QString& t) {
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

DbEdit::DbEdit(QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(this, [this] { refresh(); })) {
    connect(this, &QLineEdit::textEdited, this, &DbEdit::onTextEdited);
    selectOnEntry(this);
}

void DbEdit::setDataSource(DataSource* source, const QString& field) {
    m_link->setDataSource(source, field);
    const FieldDef* d = m_link->fieldDef();
    if (d && d->size > 0)
        setLimit(d->size);
}

void DbEdit::digitsOnlyKeyPress(QChar& key) {
    const ushort c = key.unicode();
    if ((c >= '0' && c <= '9') || c == 8 || c == 13)
        return;
    key = QChar();
    Dialogs::beep();
}

void DbEdit::setDigitsOnly(bool on) {
    m_digitsOnly = on;
    if (on)
        onKeyPress = &DbEdit::digitsOnlyKeyPress;
    else
        onKeyPress = nullptr;
}

QString DbEdit::fieldText() const {
    return m_link->displayText();
}

void DbEdit::store(const QString& text) {
    m_link->write(text);
}

bool DbEdit::acceptsText(const QString& text) const {
    return !m_digitsOnly || allDigits(text);
}

void DbEdit::refresh() {
    // A box without a data source is a plain box: it keeps its own text.
    if (!m_link->dataSource())
        return;
    const bool readable = m_link->canRead();
    const FieldDef* d = m_link->fieldDef();
    setReadOnly(!readable || (d && d->readOnly));
    const QString t = fieldText();
    if (t != text())
        setText(t);
    m_shown = text();
}

bool DbEdit::pasteAllowed(const QString& pasted) {
    if (acceptsPaste(pasted))
        return true;
    Dialogs::beep();
    return false;
}

void DbEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection of the desktop.
    if (event->button() == Qt::MiddleButton &&
        !pasteAllowed(QGuiApplication::clipboard()->text(QClipboard::Selection))) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void DbEdit::dropEvent(QDropEvent* event) {
    if (!pasteAllowed(event->mimeData()->text())) {
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}

void DbEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (QAction* pasteAction = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        disconnect(pasteAction, &QAction::triggered, nullptr, nullptr);
        connect(pasteAction, &QAction::triggered, this, [this] {
            if (pasteAllowed(QGuiApplication::clipboard()->text()))
                paste();
        });
    }
    menu->popup(event->globalPos());
}

void DbEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) &&
        !pasteAllowed(QGuiApplication::clipboard()->text())) {
        event->accept();
        return;
    }
    QChar key = typedChar(event);
    if (!key.isNull() && onKeyPress) {
        onKeyPress(key);
        if (key.isNull()) {
            event->accept();
            return;
        }
    }
    const bool printable = !key.isNull() && key.unicode() >= 32 && key.unicode() != 127;
    if (printable && m_limit > 0 && text().size() - selectedText().size() >= m_limit) {
        event->accept(); // full
        return;
    }
    // Printable keys were filtered one by one; anything else that changes the text (a paste
    // shortcut the filter let through) is checked as a whole.
    m_typing = !key.isNull() && (key.unicode() >= 32 || key.unicode() == 8 || key.unicode() == 13);
    QLineEdit::keyPressEvent(event);
    m_typing = false;
}

void DbEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!holdsValidText()) {
        // The text stays for correction. Another window or the box's own calendar taking the
        // focus is not leaving the box.
        if (event->reason() != Qt::ActiveWindowFocusReason &&
            event->reason() != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, &DbEdit::complainAfterLeaving);
        return;
    }
    // Show what the record holds, in the field's own form.
    if (m_link->canRead() && !m_link->writing())
        refresh();
}

void DbEdit::complainAfterLeaving() {
    // Run once the focus has settled: a click that something else already refused (a save, a
    // move in the list) has brought the focus back here, and the operator was told.
    if (!hasFocus() && isVisible() && isEnabled())
        checkText();
}

bool DbEdit::checkText() {
    if (holdsValidText())
        return true;
    Dialogs::messageBox(window(), invalidTextMessage(), QStringLiteral("Atenção"));
    setFocus(Qt::OtherFocusReason);
    return false;
}

QString DbEdit::fieldCaption() const {
    const FieldDef* d = m_link->fieldDef();
    return d && !d->label.isEmpty() ? d->label : m_link->field();
}

void DbEdit::onTextEdited(const QString& text) {
    if (!m_typing && !acceptsText(text)) {
        // A paste or a drop the box does not take.
        Dialogs::beep();
        setText(m_shown);
        return;
    }
    if (!m_link->dataSource()) {
        m_shown = this->text();
        return;
    }
    if (!m_link->canRead()) {
        setText(m_shown);
        return;
    }
    if (!m_typing && m_limit > 0 && text.size() > m_limit && text.size() > m_shown.size()) {
        // A paste takes what fits.
        setText(text.left(qMax(m_limit, int(m_shown.size()))));
        onTextEdited(this->text());
        return;
    }
    try {
        store(text);
    } catch (...) {
        setText(fieldText());
        m_shown = this->text();
        throw;
    }
    m_shown = this->text();
}
