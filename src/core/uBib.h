#pragma once

#include <QChar>
#include <QList>
#include <QString>

// The cheque's CMC-7 line: 30 digits in nine groups, three of them modulus-10 check digits.
//
//   positions  1-3 bank, 4-7 branch, 8 DV2 (checks 9-18), 9-11 clearing house,
//   12-17 cheque number, 18 type, 19 DV1 (checks 1-7), 20-29 account, 30 DV3 (checks 20-29)

inline constexpr int TamanhoLinhaCheque = 30;
// Where the boxes that take a line show it with a blank (see LinhaCheque::formatted).
inline const QList<int> BrancosLinhaCheque = {8, 19};

// The nine groups of a line, in line order; each is stored in the cheque column of that name.
struct LinhaCheque {
    QString banco, agencia, dv2, compe, numCheque, tipificacao, dv1, conta, dv3;

    // The groups joined back in line order: the line itself.
    QString joined() const;
    // The line as the capture box shows it: 8 digits, blank, 10 digits, blank, 12 digits.
    QString formatted() const;
};

// The groups of the first 30 characters of `line`; a shorter line leaves the last groups short
// or empty.
LinhaCheque SeparaLinhaCheque(const QString& line);

// Modulus-10 check digit (0 to 9) of a text of decimal digits: weights 2, 1, 2, ... from the
// right, the decimal digits of the products summed. -1 when the text holds anything else.
int CalculaDVModulo10(const QString& digits);

// Checks the three check digits of the first 30 characters of `line`, in this order, the first
// failure deciding: '2' when position 19 does not check positions 1-7, '1' when position 8 does
// not check 9-18, '3' when position 30 does not check 20-29; '0' when all three hold.
// A non-digit, or a line too short to reach a group, fails that group's test.
QChar ValidaLinhaCheque(const QString& line);

// The warning for a line of fewer than 30 digits.
QString MensagemLinhaIncompleta();

// The capture screen's warning for a result of ValidaLinhaCheque; empty for '0'. The warnings
// number the check digits by their place in the line (position 8 is "DV-1").
QString MensagemLinhaCheque(QChar resultado);
