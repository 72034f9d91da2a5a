#include "platform/widgets/DbDateEdit.h"

#include "platform/data/DateCodec.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QIcon calendarIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(180, 40, 40));
    p.setPen(QColor(90, 90, 90));
    for (int y = 8; y <= 12; y += 2)
        for (int x = 3; x <= 12; x += 3)
            p.drawPoint(x, y);
    return QIcon(pm);
}

} // namespace

DbDateEdit::DbDateEdit(QWidget* parent) : DbEdit(parent) {
    setInputMask(QStringLiteral("99/99/9999; "));
    QAction* drop = addAction(calendarIcon(), QLineEdit::TrailingPosition);
    drop->setObjectName(QStringLiteral("calendarButton"));
    connect(drop, &QAction::triggered, this, &DbDateEdit::showCalendar);

    m_popup = new QWidget(this, Qt::Popup);
    auto* lay = new QVBoxLayout(m_popup);
    lay->setContentsMargins(0, 0, 0, 0);
    m_calendar = new QCalendarWidget(m_popup);
    m_calendar->setGridVisible(true);
    m_calendar->setLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    lay->addWidget(m_calendar);
    connect(m_calendar, &QCalendarWidget::clicked, this, &DbDateEdit::pick);
    connect(m_calendar, &QCalendarWidget::activated, this, &DbDateEdit::pick);
}

QDate DbDateEdit::date() const {
    return DateCodec::fromText(displayText());
}

bool DbDateEdit::isEmptyMask() const {
    return displayText() == DateCodec::EmptyMask;
}

bool DbDateEdit::holdsValidText() const {
    return isEmptyMask() || date().isValid();
}

QString DbDateEdit::invalidTextMessage() const {
    return QStringLiteral("Data inválida no campo %1!").arg(fieldCaption());
}

QString DbDateEdit::fieldText() const {
    const QVariant v = link()->value();
    if (v.isNull())
        return {};
    return DateCodec::toText(DateCodec::fromDb(v).date());
}

void DbDateEdit::store(const QString&) {
    const QDate d = date();
    link()->write(d.isValid() ? QVariant(d) : QVariant());
}

bool DbDateEdit::acceptsText(const QString&) const {
    return true; // the mask already refuses what is not a digit
}

bool DbDateEdit::acceptsPaste(const QString& pasted) const {
    // Digits, and the slashes and blanks of a date's own form: "09/12/2026", "09122026".
    for (QChar c : pasted)
        if ((c < QLatin1Char('0') || c > QLatin1Char('9')) && c != QLatin1Char('/') &&
            c != QLatin1Char(' '))
            return false;
    return pasted.size() <= DateCodec::EmptyMask.size();
}

void DbDateEdit::focusInEvent(QFocusEvent* event) {
    DbEdit::focusInEvent(event);
    // An empty box is typed from its first position, wherever the click landed.
    if (isEmptyMask())
        QTimer::singleShot(0, this, [this] {
            if (isEmptyMask())
                setCursorPosition(0);
        });
}

void DbDateEdit::showCalendar() {
    if (isReadOnly())
        return;
    const QDate d = date();
    m_calendar->setSelectedDate(d.isValid() ? d : QDate::currentDate());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(width() - m_popup->width(), height())));
    m_popup->show();
    m_calendar->setFocus();
}

void DbDateEdit::pick(const QDate& d) {
    m_popup->hide();
    setFocus();
    if (!link()->dataSource()) {
        setText(DateCodec::toText(d));
        return;
    }
    link()->write(QVariant(d));
    refresh();
}
