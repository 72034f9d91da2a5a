#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Checks a bank file as the bank will read it, record by record, before it is sent: a
// deposit/custody file (100-character records of a cheque each) or a salary payment file
// (200-character records: a header, the employees, a trailer with their count and sum).
namespace VerificaArquivo {

enum class Tipo { Desconhecido, DepositoCustodia, PagamentoSalario };

// One fault: the record (from 1; 0 for the file as a whole) and the positions (from 1; 0 when
// the fault is the record's as a whole).
struct Problema {
    int registro = 0;
    int inicio = 0;
    int fim = 0;
    QString texto;

    QString descricao() const;
};

struct Resultado {
    Tipo tipo = Tipo::Desconhecido;
    int registros = 0;
    qint64 totalCentavos = 0; // the cheques' values, or the salaries of the detail records
    QList<Problema> problemas;

    bool ok() const { return problemas.isEmpty(); }
    // "Arquivo de depósito/custódia: 3 registros, total R$ 1.234,56." and the like.
    QString resumo() const;
};

// Recognises the kind of file by its first record and checks every record of it.
Resultado verifica(const QByteArray& conteudo);

// The file as written by the program must be of `esperado` and pass: raises FileError naming
// the first problems otherwise, so that a file that would not pass is never put in place.
void exige(const QByteArray& conteudo, Tipo esperado);

} // namespace VerificaArquivo
