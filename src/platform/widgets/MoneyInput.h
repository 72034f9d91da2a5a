#pragma once

#include <QValidator>

class QLineEdit;

// The one typing rule of every money box ("1.500,50"): digits, the comma as the decimal
// separator with at most two decimals after it, and a point only where it groups thousands.
// A point typed where no thousands separator can stand is taken as the decimal comma when the
// amount has none yet, so "1500.50" reads R$ 1.500,50 and never R$ 150.050,00. The whole part
// has at most nine digits: no amount goes above R$ 999.999.999,99.
namespace MoneyInput {

constexpr int Decimals = 2;
constexpr int WholeDigits = 9;

// Whether the text is an amount on its way to being typed ("", "1.", "1.5", "1.500,").
bool isPartial(const QString& text);
// Whether the text is empty or a whole amount ("1.500,50", "1500,5", "0,29", "7").
bool isComplete(const QString& text);

// Puts the rule on a box: typing, pasting, dropping and typing over a selection all go
// through it; what it refuses leaves the box as it was and beeps.
void install(QLineEdit* box);

} // namespace MoneyInput

// The rule as a validator, for QLineEdit to apply to every change the operator makes.
class MoneyValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
