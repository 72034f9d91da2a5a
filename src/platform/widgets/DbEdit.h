#pragma once

#include "platform/widgets/FieldLink.h"

#include <QLineEdit>
#include <functional>

// A text box bound to one field of a data source's current record. It shows the field's text
// and follows moves and changes; typing puts the dataset into edit and writes the field.
// Without a data source it is a plain box that keeps what is typed.
class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DbEdit(QWidget* parent = nullptr);

    // The limit of characters defaults to the field's size when the field declares one.
    void setDataSource(DataSource* source, const QString& field);

    // The most characters the operator can type or paste; 0: no limit. Unlike
    // QLineEdit::setMaxLength (leave that alone on these boxes) it never cuts what the record
    // holds: a longer value is shown whole, and changing the limit leaves the text as it is.
    void setLimit(int chars) { m_limit = chars; }
    int limit() const { return m_limit; }
    DataSource* dataSource() const { return m_link->dataSource(); }
    QString dataField() const { return m_link->field(); }

    // Called with each typed character (backspace is 8, carriage return 13, the clipboard
    // shortcuts their control characters); setting it to a null QChar drops the keystroke.
    std::function<void(QChar& key)> onKeyPress;

    // Digits only: "0" to "9", backspace and carriage return pass; any other character is
    // dropped with a beep, and a paste that holds anything but digits is refused the same way.
    void setDigitsOnly(bool on);
    bool digitsOnly() const { return m_digitsOnly; }
    // The digits-only rule on one keystroke.
    static void digitsOnlyKeyPress(QChar& key);

    // Whether the text can be written as it is: a box whose text is neither empty nor a whole
    // value (a half-typed date or amount) is never saved and cannot be left.
    virtual bool holdsValidText() const { return true; }
    // What the operator reads about such a text, naming the field.
    virtual QString invalidTextMessage() const { return {}; }
    // When the text is not valid: tells the operator, puts the focus back in the box and
    // returns false.
    bool checkText();
    // The field's title ("Demissão"), or its name when it has none.
    QString fieldCaption() const;

protected:
    // The text the box shows for the current record.
    virtual QString fieldText() const;
    // Writes what the operator typed.
    virtual void store(const QString& text);
    // Whether a text reached without the keyboard (paste, drop) may stay.
    virtual bool acceptsText(const QString& text) const;
    // Whether pasted or dropped text may go in at all, judged on what was pasted, before a mask
    // drops the characters it does not take.
    virtual bool acceptsPaste(const QString&) const { return true; }
    // Shows the field again (after leaving the box).
    void refresh();
    FieldLink* link() const { return m_link; }

    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void onTextEdited(const QString& text);
    void complainAfterLeaving();
    // False, with a beep, when the box refuses the text as a paste.
    bool pasteAllowed(const QString& pasted);

    FieldLink* m_link;
    bool m_digitsOnly = false;
    int m_limit = 0;
    bool m_typing = false; // the change comes from a key that went through onKeyPress
    QString m_shown;       // the text before the last change, to undo a refused paste
};
