#include "platform/widgets/DbCurrencyEdit.h"

#include "platform/data/Money.h"
#include "platform/widgets/MoneyInput.h"

DbCurrencyEdit::DbCurrencyEdit(QWidget* parent) : DbEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MoneyInput::install(this);
}

int DbCurrencyEdit::decimals() const {
    const FieldDef* d = link()->fieldDef();
    return d ? d->decimals : MoneyInput::Decimals;
}

bool DbCurrencyEdit::holdsValidText() const {
    return MoneyInput::isComplete(text().trimmed());
}

QString DbCurrencyEdit::invalidTextMessage() const {
    return QStringLiteral("Valor inválido no campo %1!").arg(fieldCaption());
}

void DbCurrencyEdit::store(const QString& text) {
    const QString t = text.trimmed();
    const std::optional<Money> m =
        MoneyInput::isComplete(t) && !t.isEmpty() ? Money::parse(t) : std::nullopt;
    link()->write(m ? m->toVariant() : QVariant());
}
