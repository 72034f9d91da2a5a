#pragma once

#include "payroll/ArquivoPagamento.h"
#include "platform/data/Dataset.h"

#include <QDate>
#include <QObject>
#include <functional>

// The employee list no longer matches the database: another copy paid some of its employees,
// or one was dismissed, moved or had the salary zeroed since the list was read.
class RelacaoDesatualizada : public std::runtime_error {
public:
    explicit RelacaoDesatualizada(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The queries behind the salary payment screen: the members, the movement codes of the current
// member, and the active employees with a salary under the chosen code; and the generation.
class TdtmGeraArqPagFuncionario : public QObject {
    Q_OBJECT
public:
    explicit TdtmGeraArqPagFuncionario(Connection* cnx, QObject* parent = nullptr);

    Dataset qryAssociado;
    Dataset qryLkpMovimento;
    Dataset qryFuncionario;
    DataSource dtsAssociado;
    DataSource dtsLkpMovimento;
    DataSource dtsFuncionario;

    Connection* connection() const { return m_cnx; }

    // The movement code chosen on the screen (cod_movimento), null when none: the employee
    // list opens for it, and lists nothing without one.
    QVariant codMovimento;

    struct Pedido {
        QString arquivo;
        QString dataDigitada; // "dd/mm/yyyy" as typed
        QString mesReferencia;
        QString tratamento;           // "P": next business day; "A": previous one
        QList<Bookmark> selecionados; // rows of qryFuncionario, in list order
        std::function<void(int)> progresso;
    };

    // The member, the code and the selected employees as the list shows them, for checking
    // that every value fits the file before anything is asked or recorded. Raises
    // CampoInvalido naming the value that does not fit.
    void verificaCampos(const QList<Bookmark>& selecionados);

    // Records one payment per selected employee and writes the salary payment file, all or
    // nothing. The payments and the file are read from the same transaction, so the file holds
    // exactly what was recorded. Raises RelacaoDesatualizada when the list is out of date,
    // CampoInvalido, FileError or DbError otherwise; nothing is then recorded and the file's
    // path holds what it held before.
    void geraArquivo(const Pedido& pedido);

private:
    void qryFuncionarioBeforeOpen();
    void qryLkpMovimentoBeforeOpen();
    ArquivoPagamento::Associado associadoDaLista() const;
    // The rows of qryFuncionario the bookmarks point at, in their order.
    QList<int> linhasDe(const QList<Bookmark>& selecionados) const;

    Connection* m_cnx;
    qint64 m_ultimoPagamento = 0; // the newest payment when the employee list was read
};
