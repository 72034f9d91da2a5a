#pragma once

#include "platform/widgets/DbEdit.h"

// A box for an amount of money in the Brazilian form "1.234,56", bound to a money field.
// Only digits, the separators "." and ",", a leading "-", backspace and carriage return can
// be typed, and no more decimals than the field shows; anything else is dropped with a beep.
// The amount is read exactly (Money::parse); the thousands dots are optional while typing.
class DbCurrencyEdit : public DbEdit {
    Q_OBJECT
public:
    explicit DbCurrencyEdit(QWidget* parent = nullptr);

    // Decimals accepted (defaults to the field's); the text is shown with them.
    int decimals() const;

protected:
    void store(const QString& text) override;
    bool acceptsText(const QString& text) const override;

private:
    void filterKey(QChar& key);
};
