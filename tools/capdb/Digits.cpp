#include "Digits.h"

namespace Digits {

namespace {

bool allDigits(const QString& t) {
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

int digit(QChar c) {
    return c.unicode() - '0';
}

// The weighted modulus-11 digit of CPF and CNPJ: 0 for remainders 0 and 1, else 11 - r.
int modulus11(const QString& digits, const QList<int>& weights) {
    int sum = 0;
    for (qsizetype i = 0; i < digits.size(); ++i)
        sum += digit(digits[i]) * weights[i];
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

const QList<int> CpfWeights1{10, 9, 8, 7, 6, 5, 4, 3, 2};
const QList<int> CpfWeights2{11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
const QList<int> CnpjWeights1{5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
const QList<int> CnpjWeights2{6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};

} // namespace

int modulus10(const QString& digits) {
    int sum = 0;
    int weight = 2;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const int p = digit(digits[i]) * weight;
        sum += p / 10 + p % 10;
        weight = weight == 2 ? 1 : 2;
    }
    return sum % 10 == 0 ? 0 : 10 - sum % 10;
}

QString cmc7Fault(const QString& line) {
    if (line.size() != 30 || !allDigits(line))
        return QStringLiteral("linha");
    if (digit(line[18]) != modulus10(line.left(7)))
        return QStringLiteral("num_dv1");
    if (digit(line[7]) != modulus10(line.mid(8, 10)))
        return QStringLiteral("num_dv2");
    if (digit(line[29]) != modulus10(line.mid(19, 10)))
        return QStringLiteral("num_dv3");
    return {};
}

QString cmc7Line(const QString& bank, const QString& branch, const QString& compe,
                 const QString& number, const QString& type, const QString& account) {
    const QString second = compe + number + type;
    return bank + branch + QString::number(modulus10(second)) + second +
           QString::number(modulus10(bank + branch)) + account +
           QString::number(modulus10(account));
}

QString cpf(const QString& nineDigits) {
    const QString ten = nineDigits + QString::number(modulus11(nineDigits, CpfWeights1));
    return ten + QString::number(modulus11(ten, CpfWeights2));
}

QString cnpj(const QString& twelveDigits) {
    const QString thirteen = twelveDigits + QString::number(modulus11(twelveDigits, CnpjWeights1));
    return thirteen + QString::number(modulus11(thirteen, CnpjWeights2));
}

bool isValidCpf(const QString& text) {
    if (text.size() != 11 || !allDigits(text) || cpf(text.left(9)) != text)
        return false;
    return text == QString(11, QLatin1Char('0')) || text != QString(11, text[0]);
}

bool isValidCnpj(const QString& text) {
    return text.size() == 14 && allDigits(text) && cnpj(text.left(12)) == text;
}

QDate easter(int year) {
    // The anonymous Gregorian algorithm (Meeus/Jones/Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

} // namespace Digits
