#pragma once

#include "platform/widgets/DbEdit.h"

#include <QDate>

class QCalendarWidget;

// A date box bound to a date field: "dd/mm/yyyy" typed over the mask "  /  /    ", with a
// calendar that drops down from the button at its right. A complete, valid date is written
// as the date; the empty mask, or a date not yet complete, writes no date, and a box holding a
// date that is neither empty nor whole cannot be left or saved.
//
// With the mask in place QLineEdit::text() leaves the blanks out ("//" when empty);
// displayText() is the text the box shows, "  /  /    " when empty.
class DbDateEdit : public DbEdit {
    Q_OBJECT
public:
    explicit DbDateEdit(QWidget* parent = nullptr);

    // The date shown; invalid when the box is empty or the date incomplete.
    QDate date() const;
    bool isEmptyMask() const;

    bool holdsValidText() const override;
    QString invalidTextMessage() const override;

    // Drops the calendar down (the button does this).
    void showCalendar();
    QCalendarWidget* calendar() const { return m_calendar; }

protected:
    QString fieldText() const override;
    void store(const QString& text) override;
    bool acceptsText(const QString& text) const override;
    bool acceptsPaste(const QString& pasted) const override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void pick(const QDate& d);

    QWidget* m_popup;
    QCalendarWidget* m_calendar;
};
