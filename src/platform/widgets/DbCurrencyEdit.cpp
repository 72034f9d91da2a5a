#include "platform/widgets/DbCurrencyEdit.h"

#include "platform/data/Money.h"
#include "platform/dialogs/Dialogs.h"

#include <QRegularExpression>

DbCurrencyEdit::DbCurrencyEdit(QWidget* parent) : DbEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    onKeyPress = [this](QChar& key) { filterKey(key); };
}

int DbCurrencyEdit::decimals() const {
    const FieldDef* d = link()->fieldDef();
    return d ? d->decimals : 2;
}

bool DbCurrencyEdit::acceptsText(const QString& text) const {
    // What an amount can look like on its way to being typed: "-", "1.2", "1.234,", ",5".
    const QRegularExpression partial(
        QStringLiteral("^-?[0-9.]*(,[0-9]{0,%1})?$").arg(qMax(0, decimals())));
    return partial.match(text.trimmed()).hasMatch();
}

void DbCurrencyEdit::filterKey(QChar& key) {
    const ushort c = key.unicode();
    if (c == 8 || c == 13 || c == 22 || c < 32)
        return; // backspace, Enter and the clipboard shortcuts; a paste is checked whole
    QString t = text();
    const int from = hasSelectedText() ? selectionStart() : cursorPosition();
    const int len = hasSelectedText() ? int(selectedText().size()) : 0;
    t.replace(from, len, key);
    if (!acceptsText(t)) {
        key = QChar();
        Dialogs::beep();
    }
}

void DbCurrencyEdit::store(const QString& text) {
    QString t = text.trimmed();
    if (t.isEmpty()) {
        link()->write(QVariant());
        return;
    }
    // The dots only group thousands; "1.23" half-way to "1.234" is the number 123.
    t.remove(QLatin1Char('.'));
    const std::optional<Money> m = Money::parse(t);
    if (m)
        link()->write(m->toVariant());
    else
        link()->write(QVariant()); // "-" or "," alone: no amount yet
}
