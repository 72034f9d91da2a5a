#include "bankfiles/DepositoCustodia.h"

#include <limits>

namespace DepositoCustodia {

namespace {

constexpr int ValueWidth = 17;

QString naming(const Cheque& c) {
    return QStringLiteral("o cheque do banco %1, agência %2, número %3")
        .arg(c.numBanco, c.numAgencia, c.numCheque);
}

[[noreturn]] void refuse(const Cheque& c, const QString& what) {
    throw RecordError(naming(c) + QStringLiteral(" ") + what + QLatin1Char('.'));
}

bool allDigits(const QString& s) {
    for (const QChar ch : s)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

QByteArray registro(const Cheque& c) {
    struct Field {
        const QString& value;
        int width;
        const char* name;
    };
    const Field line[] = {
        {c.numBanco, 3, "Banco"}, {c.numAgencia, 4, "Agência"},  {c.numDv2, 1, "Dv2"},
        {c.numCompe, 3, "Comp."}, {c.numCheque, 6, "Nº cheque"}, {c.numTipificacao, 1, "Tipif."},
        {c.numDv1, 1, "Dv1"},     {c.numConta, 10, "Nº conta"},  {c.numDv3, 1, "Dv3"},
    };
    QByteArray out;
    out.reserve(RecordWidth);
    out += '1';
    for (const Field& f : line) {
        if (f.value.size() != f.width || !allDigits(f.value))
            refuse(c, QStringLiteral("tem no campo \"%1\" o valor \"%2\", que não tem "
                                     "exatamente %3")
                          .arg(QString::fromUtf8(f.name), f.value,
                               f.width == 1 ? QStringLiteral("1 dígito")
                                            : QStringLiteral("%1 dígitos").arg(f.width)));
        out += f.value.toLatin1();
    }
    // Exact from the stored units: R$ 0,29 is 2900 units, 29 centavos.
    const qint64 units = c.vlrCheque.units();
    constexpr qint64 unitsPerCent = Money::Scale / 100;
    if (units == 0)
        refuse(c, QStringLiteral("tem valor zero"));
    if (units < 0)
        refuse(c, QStringLiteral("tem valor negativo"));
    if (units % unitsPerCent != 0)
        refuse(c, QStringLiteral("tem valor com frações de centavo"));
    // Every amount Money can hold has at most 17 digits in centavos.
    static_assert(std::numeric_limits<qint64>::max() / unitsPerCent < 100000000000000000LL);
    const QByteArray cents = QByteArray::number(units / unitsPerCent);
    out += QByteArray(ValueWidth - cents.size(), '0') + cents;
    out += "00000000";
    out += "0000000000";
    out += QByteArray(34, ' ');
    return out;
}

} // namespace DepositoCustodia
