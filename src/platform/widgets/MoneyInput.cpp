#include "platform/widgets/MoneyInput.h"

#include "platform/dialogs/Dialogs.h"

#include <QLineEdit>
#include <QRegularExpression>

namespace {

// The whole part without its grouping points and leading zeros fits the largest amount.
bool wholeFits(QString whole) {
    whole.remove(QLatin1Char('.'));
    while (whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    return whole.size() <= MoneyInput::WholeDigits;
}

} // namespace

bool MoneyInput::isPartial(const QString& text) {
    // Points group thousands: one to three digits, then groups of three; before the comma the
    // groups are whole, while typing the last one may still be short.
    static const QRegularExpression form(
        QStringLiteral("^(\\d*|\\d{1,3}(\\.\\d{3})*(\\.\\d{0,3})?)$|"
                       "^(\\d*|\\d{1,3}(\\.\\d{3})+),\\d{0,%1}$")
            .arg(Decimals));
    return form.match(text).hasMatch() && wholeFits(text.section(QLatin1Char(','), 0, 0));
}

bool MoneyInput::isComplete(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(\\d+|\\d{1,3}(\\.\\d{3})+)(,\\d{0,%1})?$|^,\\d{1,%1}$").arg(Decimals));
    return text.isEmpty() || (isPartial(text) && form.match(text).hasMatch());
}

void MoneyInput::install(QLineEdit* box) {
    box->setValidator(new MoneyValidator(box));
    QObject::connect(box, &QLineEdit::inputRejected, box, [] { Dialogs::beep(); });
}

QValidator::State MoneyValidator::validate(QString& input, int& pos) const {
    if (MoneyInput::isPartial(input))
        return MoneyInput::isComplete(input) ? Acceptable : Intermediate;
    // A point just typed where it cannot group thousands is the decimal comma.
    if (pos > 0 && input.at(pos - 1) == QLatin1Char('.') && !input.contains(QLatin1Char(','))) {
        QString asComma = input;
        asComma[pos - 1] = QLatin1Char(',');
        if (MoneyInput::isPartial(asComma)) {
            input = asComma;
            return MoneyInput::isComplete(input) ? Acceptable : Intermediate;
        }
    }
    return Invalid;
}
