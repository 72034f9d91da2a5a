#pragma once

#include <QDate>
#include <QString>

// Check digits and calendar arithmetic that capdb needs to make and to check data.
namespace Digits {

// Modulus-10 check digit of a text of decimal digits: weights 2, 1, 2, ... from the rightmost
// digit, the decimal digits of each product summed, 0 when the sum is a multiple of 10,
// otherwise 10 minus the sum's last digit.
int modulus10(const QString& digits);
// The check digit of a 30-digit CMC-7 line that is wrong, tested in the order DV1 (position 19,
// over positions 1-7), DV2 (position 8, over 9-18), DV3 (position 30, over 20-29), as the name
// of its column ("num_dv1", "num_dv2", "num_dv3"); empty when all three hold. A text that is
// not 30 decimal digits gives "linha".
QString cmc7Fault(const QString& line);
// The line with the three check digits computed: bank (3), branch (4), compe (3), cheque
// number (6), type (1) and account (10) digits in, 30 digits out.
QString cmc7Line(const QString& bank, const QString& branch, const QString& compe,
                 const QString& number, const QString& type, const QString& account);

// A CPF from its first nine digits, and a CNPJ from its first twelve.
QString cpf(const QString& nineDigits);
QString cnpj(const QString& twelveDigits);
// The rules the registry screens apply: 11 digits with both check digits right and not one
// digit from 1 to 9 repeated; 14 digits with both check digits right.
bool isValidCpf(const QString& text);
bool isValidCnpj(const QString& text);

// Easter Sunday of a Gregorian year.
QDate easter(int year);

} // namespace Digits
