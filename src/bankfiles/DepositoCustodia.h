#pragma once

#include "platform/data/Money.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

// A cheque whose stored data cannot make a correct record; the text names the cheque.
class RecordError : public std::runtime_error {
public:
    explicit RecordError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The deposit/custody file the bank receives: one 100-character record per cheque, the same
// for deposit and custody lots.
namespace DepositoCustodia {

constexpr int RecordWidth = 100;

// A cheque as stored: the nine fields of its CMC-7 line and its value.
struct Cheque {
    QString numBanco;
    QString numAgencia;
    QString numDv2;
    QString numCompe;
    QString numCheque;
    QString numTipificacao;
    QString numDv1;
    QString numConta;
    QString numDv3;
    Money vlrCheque;
};

// The record of one cheque, without the line end: "1", the CMC-7 line in its printed order,
// the value in centavos zero-filled to 17 digits, 18 zeros and 34 blanks. Raises RecordError
// for a field that is not all digits or not of its width, and for a value that is not
// positive, not whole centavos or wider than 17 digits: a wrong record would move the bank's
// reading of every field after it.
QByteArray registro(const Cheque& cheque);

} // namespace DepositoCustodia
