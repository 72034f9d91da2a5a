#pragma once

#include "platform/data/Money.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMetaType>
#include <QString>
#include <optional>
#include <stdexcept>

// A value that cannot go into its place in the salary payment file; the text names the member
// or the employee and the field, for the operator.
class CampoInvalido : public std::runtime_error {
public:
    explicit CampoInvalido(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The salary payment file the bank receives: a header "01", one detail "1C" per employee and a
// trailer "9", every record 200 bytes in Windows-1252.
namespace ArquivoPagamento {

constexpr int RecordWidth = 200;

struct Associado {
    QString nomAssociado; // names the member in messages
    QString numBancoob;
    QString numAgBancoob;
    QString numConvBancoob;
    QString idtDstMovBancoob;
};

struct Funcionario {
    QString numCcBancoob;
    QString nomFuncionario;
    QString numCpf;
    Money vlrSalario;
};

// The text in Windows-1252, one byte a character; nothing when a character has no place there.
std::optional<QByteArray> cp1252(const QString& text);

// The records of the file, in order, without line ends. `numCodMovimento` is the movement
// code's two-character code; `dataPagamento` the payment date already moved off holidays.
// Each amount is the salary in whole centavos (a fraction of a centavo rounded half up); the
// trailer carries the count and the exact sum of the amounts written.
// Raises CampoInvalido for a value wider than its place, a movement code or destination not of
// two characters, a character Windows-1252 does not have, or an amount that is negative or
// wider than 17 digits: such a record would move every later field of the bank's reading.
QList<QByteArray> registros(const Associado& associado, const QString& numCodMovimento,
                            const QDate& dataPagamento, const QList<Funcionario>& funcionarios);

} // namespace ArquivoPagamento

Q_DECLARE_METATYPE(ArquivoPagamento::Associado)
Q_DECLARE_METATYPE(ArquivoPagamento::Funcionario)
