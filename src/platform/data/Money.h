#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <optional>

// An exact amount of money: a whole number of ten-thousandths of a real.
// Database columns keep this number as it is (BIGINT); nothing goes through double.
class Money {
public:
    static constexpr qint64 Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units) { return Money(units); }
    static constexpr Money fromCents(qint64 cents) { return Money(cents * 100); }

    constexpr qint64 units() const { return m_units; }
    // Whole cents, rounded half away from zero (the bank files carry cents).
    qint64 cents() const;

    // Parses what an operator types: "1.234,56", "1234,5", "-3", "0,29", "R$ 10,00".
    // Returns nothing for text that is not an amount or has more than four decimals.
    static std::optional<Money> parse(const QString& text);
    // Brazilian form with the given decimals: 1234.5 -> "1.234,50".
    QString format(int decimals = 2, bool thousands = true) const;
    // The screens' total mask "R$ ###,###,###.00": zero reads "R$ ,00".
    QString formatTotal() const;

    static Money fromVariant(const QVariant& v);
    QVariant toVariant() const { return QVariant::fromValue(*this); }

    constexpr bool isZero() const { return m_units == 0; }
    constexpr bool isNegative() const { return m_units < 0; }
    constexpr Money operator+(Money o) const { return Money(m_units + o.m_units); }
    constexpr Money operator-(Money o) const { return Money(m_units - o.m_units); }
    constexpr Money& operator+=(Money o) {
        m_units += o.m_units;
        return *this;
    }
    constexpr Money& operator-=(Money o) {
        m_units -= o.m_units;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;

private:
    constexpr explicit Money(qint64 units) : m_units(units) {}
    qint64 m_units = 0;
};

Q_DECLARE_METATYPE(Money)
