#pragma once

#include "platform/widgets/DbEdit.h"

// A box for an amount of money in the Brazilian form "1.234,56", bound to a money field. What
// can be typed or pasted is the money typing rule (MoneyInput); the amount is read exactly.
// While the text is not a whole amount yet ("1.5", ",") the field holds no amount, and the
// box refuses to be left or saved that way.
class DbCurrencyEdit : public DbEdit {
    Q_OBJECT
public:
    explicit DbCurrencyEdit(QWidget* parent = nullptr);

    // Decimals shown (the field's).
    int decimals() const;

    bool holdsValidText() const override;
    QString invalidTextMessage() const override;

protected:
    void store(const QString& text) override;
};
