#include "platform/data/Money.h"

#include <QRegularExpression>

qint64 Money::cents() const {
    const qint64 half = m_units >= 0 ? 50 : -50;
    return (m_units + half) / 100;
}

std::optional<Money> Money::parse(const QString& text) {
    QString t = text.trimmed();
    if (t.startsWith(QLatin1String("R$")))
        t = t.mid(2).trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-'))) {
        negative = true;
        t = t.mid(1).trimmed();
    }
    static const QRegularExpression form(QStringLiteral("^(\\d{1,3}(\\.\\d{3})+|\\d*)(,(\\d*))?$"));
    const auto m = form.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    QString whole = m.captured(1);
    whole.remove(QLatin1Char('.'));
    const QString frac = m.captured(4);
    if (whole.isEmpty() && frac.isEmpty())
        return std::nullopt;
    if (frac.size() > 4 || whole.size() > 14)
        return std::nullopt;
    const qint64 w = whole.isEmpty() ? 0 : whole.toLongLong();
    const qint64 f = (frac + QString(4 - frac.size(), QLatin1Char('0'))).toLongLong();
    const qint64 units = w * Scale + f;
    return Money(negative ? -units : units);
}

static QString groupThousands(const QString& digits) {
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char('.');
        out += digits[i];
    }
    return out;
}

QString Money::format(int decimals, bool thousands) const {
    qint64 div = 1;
    for (int i = decimals; i < 4; ++i)
        div *= 10;
    qint64 a = m_units < 0 ? -m_units : m_units;
    a = (a + div / 2) / div; // rounded to the shown decimals
    qint64 pow = 1;
    for (int i = 0; i < decimals; ++i)
        pow *= 10;
    const QString whole = QString::number(a / pow);
    QString out = thousands ? groupThousands(whole) : whole;
    if (decimals > 0)
        out += QLatin1Char(',') + QStringLiteral("%1").arg(a % pow, decimals, 10, QLatin1Char('0'));
    if (m_units < 0 && a != 0)
        out.prepend(QLatin1Char('-'));
    return out;
}

QString Money::formatTotal() const {
    // "###,###,###.00": no leading zero before the decimal comma.
    QString s = format(2);
    if (s.startsWith(QLatin1String("0,")))
        s = s.mid(1);
    else if (s.startsWith(QLatin1String("-0,")))
        s = QLatin1Char('-') + s.mid(2);
    return QStringLiteral("R$ ") + s;
}

Money Money::fromVariant(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return Money();
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>();
    if (v.metaType().id() == QMetaType::QString) {
        // Text from an engine that returned a number as text.
        return Money(v.toString().toLongLong());
    }
    return Money(v.toLongLong());
}
