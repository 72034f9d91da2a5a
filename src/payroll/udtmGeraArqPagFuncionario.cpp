#include "payroll/udtmGeraArqPagFuncionario.h"

#include "bankfiles/VerificaArquivo.h"
#include "core/Schema.h"
#include "core/uGlobal.h"
#include "platform/data/DateCodec.h"
#include "platform/data/Dialect.h"
#include "platform/files/RecordFile.h"

#include <QHash>

namespace {

// Codes bound per statement: well under what either engine takes in one statement.
constexpr int CodesPerStatement = 2000;

const QString ListaPaga =
    QStringLiteral("Outra estação registrou pagamentos para funcionários desta relação depois que "
                   "ela foi aberta.\n\rEscolha novamente o código de movimento para ver a "
                   "relação atual.");
const QString ListaMudou =
    QStringLiteral("A relação de funcionários mudou depois que foi aberta (funcionário demitido, "
                   "transferido ou com salário alterado para zero).\n\rEscolha novamente o "
                   "código de movimento para ver a relação atual.");

} // namespace

TdtmGeraArqPagFuncionario::TdtmGeraArqPagFuncionario(Connection* cnx, QObject* parent)
    : QObject(parent), qryAssociado(cnx), qryLkpMovimento(cnx), qryFuncionario(cnx), m_cnx(cnx) {
    qryAssociado.setSql(QStringList{QStringLiteral("select *"), QStringLiteral("from associado ac"),
                                    QStringLiteral("order by ") +
                                        Dialect::byName(QStringLiteral("nom_associado"))});
    qryAssociado.defineField(QStringLiteral("cod_associado"), FieldKind::Integer);
    const QString associado = QStringLiteral("associado");
    Schema::textField(qryAssociado, associado, QStringLiteral("nom_associado"),
                      QStringLiteral("Associado"));
    Schema::textField(qryAssociado, associado, QStringLiteral("idt_tpo_associado"),
                      QStringLiteral("Tipo"));
    Schema::textField(qryAssociado, associado, QStringLiteral("num_cgc_cpf"),
                      QStringLiteral("Cnpj/Cpf"));
    Schema::textField(qryAssociado, associado, QStringLiteral("num_bancoob"),
                      QStringLiteral("Nº Banco"));
    Schema::textField(qryAssociado, associado, QStringLiteral("num_ag_bancoob"),
                      QStringLiteral("Agência"));
    Schema::textField(qryAssociado, associado, QStringLiteral("num_conv_bancoob"),
                      QStringLiteral("Nº conv."));
    Schema::textField(qryAssociado, associado, QStringLiteral("idt_dst_mov_bancoob"),
                      QStringLiteral("Dest. mov."));

    qryLkpMovimento.setSql(QStringList{
        QStringLiteral("select cod_movimento, num_cod_movimento, dsc_movimento"),
        QStringLiteral("from movimento"), QStringLiteral("where cod_associado = :pCodAssociado"),
        QStringLiteral("order by num_cod_movimento")});
    qryLkpMovimento.defineField(QStringLiteral("cod_movimento"), FieldKind::Integer);
    qryLkpMovimento.setParam(QStringLiteral("pCodAssociado"), 0);

    qryFuncionario.setSql(QStringList{
        QStringLiteral("select fc.cod_funcionario, fc.nom_funcionario, fc.num_cpf, "
                       "fc.num_cc_bancoob,"),
        QStringLiteral("       fc.vlr_salario, dp.nom_departamento"),
        QStringLiteral("from funcionario fc, departamento dp"),
        QStringLiteral("where fc.cod_associado = :pCodAssociado and"),
        QStringLiteral("      fc.cod_movimento = :pCodMovimento and"),
        QStringLiteral("      dat_demissao is null and"),
        QStringLiteral("      vlr_salario > 0 and"),
        QStringLiteral("      fc.cod_departamento = dp.cod_departamento"),
        QStringLiteral("order by ") + Dialect::byName(QStringLiteral("nom_funcionario"))});
    qryFuncionario.defineField(QStringLiteral("cod_funcionario"), FieldKind::Integer);
    const QString funcionario = QStringLiteral("funcionario");
    Schema::textField(qryFuncionario, QStringLiteral("departamento"),
                      QStringLiteral("nom_departamento"), QStringLiteral("Departamento"));
    Schema::textField(qryFuncionario, funcionario, QStringLiteral("nom_funcionario"),
                      QStringLiteral("Funcionário"));
    Schema::textField(qryFuncionario, funcionario, QStringLiteral("num_cpf"),
                      QStringLiteral("Cpf"));
    Schema::textField(qryFuncionario, funcionario, QStringLiteral("num_cc_bancoob"),
                      QStringLiteral("Nº conta"));
    qryFuncionario.defineField(QStringLiteral("vlr_salario"), FieldKind::Money,
                               QStringLiteral("Salário"));
    qryFuncionario.setParam(QStringLiteral("pCodAssociado"), 0);
    qryFuncionario.setParam(QStringLiteral("pCodMovimento"), 0);

    dtsAssociado.setDataSet(&qryAssociado);
    dtsLkpMovimento.setDataSet(&qryLkpMovimento);
    dtsFuncionario.setDataSet(&qryFuncionario);

    qryLkpMovimento.beforeOpen = [this] { qryLkpMovimentoBeforeOpen(); };
    qryFuncionario.beforeOpen = [this] { qryFuncionarioBeforeOpen(); };
}

void TdtmGeraArqPagFuncionario::qryLkpMovimentoBeforeOpen() {
    if (qryAssociado.isOpen())
        qryLkpMovimento.setParam(
            QStringLiteral("pCodAssociado"),
            qryAssociado.isEmpty() ? 0 : qryAssociado.asInteger(QStringLiteral("cod_associado")));
}

void TdtmGeraArqPagFuncionario::qryFuncionarioBeforeOpen() {
    if (qryAssociado.isOpen())
        qryFuncionario.setParam(
            QStringLiteral("pCodAssociado"),
            qryAssociado.isEmpty() ? 0 : qryAssociado.asInteger(QStringLiteral("cod_associado")));
    // The last payment recorded before the list is read: a payment of a listed employee after
    // it was recorded by another copy (payments are recorded one copy at a time, so their keys
    // grow in the order they are committed).
    m_ultimoPagamento =
        m_cnx->selectValue(QStringLiteral("select max(cod_pagamento) from pagamento_funcionario"))
            .toLongLong();
    // The code the box shows, so that the list always belongs to what the operator sees.
    qryFuncionario.setParam(QStringLiteral("pCodMovimento"),
                            codMovimento.isNull() ? 0 : codMovimento.toInt());
}

ArquivoPagamento::Associado TdtmGeraArqPagFuncionario::associadoDaLista() const {
    // The member whose employees the list holds, as the database has it now.
    const ResultSet rs = m_cnx->select(
        QStringLiteral("select nom_associado, num_bancoob, num_ag_bancoob, num_conv_bancoob, "
                       "idt_dst_mov_bancoob from associado where cod_associado = ?"),
        {qryFuncionario.param(QStringLiteral("pCodAssociado"))});
    if (rs.rows.isEmpty())
        throw RelacaoDesatualizada(ListaMudou);
    const QVariantList& r = rs.rows.first();
    return {r.at(0).toString(), r.at(1).toString(), r.at(2).toString(), r.at(3).toString(),
            r.at(4).toString()};
}

QList<int> TdtmGeraArqPagFuncionario::linhasDe(const QList<Bookmark>& selecionados) const {
    // Read in place, without moving the list's current row: one pass over the rows, not one
    // search and one move of the grid per employee.
    QHash<quint64, int> linhaDe;
    linhaDe.reserve(qryFuncionario.recordCount());
    for (int row = 0; row < qryFuncionario.recordCount(); ++row)
        linhaDe.insert(qryFuncionario.bookmarkAt(row).id, row);
    QList<int> linhas;
    linhas.reserve(selecionados.size());
    for (const Bookmark& b : selecionados)
        linhas << linhaDe.value(b.id, -1);
    return linhas;
}

void TdtmGeraArqPagFuncionario::verificaCampos(const QList<Bookmark>& selecionados) {
    QList<ArquivoPagamento::Funcionario> lista;
    lista.reserve(selecionados.size());
    for (int row : linhasDe(selecionados)) {
        const auto texto = [&](const char* campo) {
            return qryFuncionario.valueAt(row, QLatin1String(campo)).toString();
        };
        lista.append(
            {texto("num_cc_bancoob"), texto("nom_funcionario"), texto("num_cpf"),
             Money::fromVariant(qryFuncionario.valueAt(row, QStringLiteral("vlr_salario")))});
    }
    const QString numCodMovimento = qryLkpMovimento
                                        .lookup(QStringLiteral("cod_movimento"), codMovimento,
                                                QStringLiteral("num_cod_movimento"))
                                        .toString();
    ArquivoPagamento::registros(associadoDaLista(), numCodMovimento, QDate(2000, 1, 1), lista);
}

void TdtmGeraArqPagFuncionario::geraArquivo(const Pedido& p) {
    const auto progresso = [&p](int i) {
        if (p.progresso)
            p.progresso(i);
    };
    const int codAssociado = qryFuncionario.param(QStringLiteral("pCodAssociado")).toInt();
    const int codMov = qryFuncionario.param(QStringLiteral("pCodMovimento")).toInt();

    // The selected rows in list order.
    QList<int> codigos;
    codigos.reserve(p.selecionados.size());
    const QList<int> linhas = linhasDe(p.selecionados);
    for (int i = 0; i < linhas.size(); ++i) {
        progresso(i + 1);
        const int row = linhas.at(i);
        codigos << qryFuncionario.valueAt(row, QStringLiteral("cod_funcionario")).toInt();
    }

    RecordFile::writeInTransaction(
        *m_cnx, p.arquivo,
        [&] {
            // Copies generating at the same moment take turns here (on SQLite the write
            // transaction already holds the file), so the check below and the insert that
            // follows see every payment the others committed.
            m_cnx->lockNumbering(QStringLiteral("pagamento_funcionario"));
            const QString ajustada = AjustaDiaUtil(p.dataDigitada, *m_cnx, p.tratamento);
            const QDate dataPagamento =
                QDate::fromString(p.dataDigitada, QStringLiteral("dd/MM/yyyy"));
            const QDate dataAjustada = QDate::fromString(ajustada, QStringLiteral("dd/MM/yyyy"));

            const ArquivoPagamento::Associado associado = associadoDaLista();
            const QVariant numCodMovimento =
                m_cnx->selectValue(QStringLiteral("select num_cod_movimento from movimento "
                                                  "where cod_movimento = ? and cod_associado = ?"),
                                   {codMov, codAssociado});
            if (numCodMovimento.isNull())
                throw RelacaoDesatualizada(ListaMudou);

            struct Pago {
                QString conta;
                Money salario;
                QString nome;
                QString cpf;
            };
            QHash<int, Pago> pagos;
            pagos.reserve(codigos.size());
            qint64 pagosPorOutro = 0;
            const QDate hoje = QDate::currentDate();
            for (qsizetype inicio = 0; inicio < codigos.size(); inicio += CodesPerStatement) {
                const QList<int> parte = codigos.mid(inicio, CodesPerStatement);
                const QString lista = Dialect::placeholders(int(parte.size()));
                QVariantList codigosParte;
                for (int c : parte)
                    codigosParte << c;

                // Read by the key's range (the "+ 0" keeps the engines off the employee index,
                // which would visit every payment of every listed employee).
                pagosPorOutro +=
                    m_cnx
                        ->selectValue(QStringLiteral("select count(*) from pagamento_funcionario "
                                                     "where cod_pagamento > ? and "
                                                     "cod_funcionario + 0 in (%1)")
                                          .arg(lista),
                                      QVariantList{m_ultimoPagamento} + codigosParte)
                        .toLongLong();

                // Only employees that still belong to the list are paid, with the account and the
                // salary they have now; the file is written from what this records.
                const ResultSet inseridos = m_cnx->select(
                    QStringLiteral(
                        "insert into pagamento_funcionario (cod_funcionario, dat_geracao, "
                        "dat_pagamento, mes_referencia, num_cc_func_bancoob, vlr_salario) "
                        "select cod_funcionario, ?, ?, ?, num_cc_bancoob, vlr_salario "
                        "from funcionario where cod_funcionario in (%1) and cod_associado = ? and "
                        "cod_movimento = ? and dat_demissao is null and vlr_salario > 0 "
                        "returning cod_funcionario, num_cc_func_bancoob, vlr_salario")
                        .arg(lista),
                    QVariantList{hoje, dataPagamento, p.mesReferencia} + codigosParte +
                        QVariantList{codAssociado, codMov});
                for (const QVariantList& r : inseridos.rows)
                    pagos.insert(r.at(0).toInt(),
                                 {r.at(1).toString(), Money::fromVariant(r.at(2)), {}, {}});

                const ResultSet nomes = m_cnx->select(
                    QStringLiteral(
                        "select cod_funcionario, nom_funcionario, num_cpf from funcionario "
                        "where cod_funcionario in (%1)")
                        .arg(lista),
                    codigosParte);
                for (const QVariantList& r : nomes.rows) {
                    auto it = pagos.find(r.at(0).toInt());
                    if (it != pagos.end()) {
                        it->nome = r.at(1).toString();
                        it->cpf = r.at(2).toString();
                    }
                }
            }
            if (pagosPorOutro > 0)
                throw RelacaoDesatualizada(ListaPaga);
            if (pagos.size() != codigos.size())
                throw RelacaoDesatualizada(ListaMudou);
            progresso(0);

            QList<ArquivoPagamento::Funcionario> funcionarios;
            funcionarios.reserve(codigos.size());
            for (int i = 0; i < codigos.size(); ++i) {
                progresso(i + 1);
                const Pago& f = pagos[codigos.at(i)];
                funcionarios.append({f.conta, f.nome, f.cpf, f.salario});
            }
            return ArquivoPagamento::registros(associado, numCodMovimento.toString(), dataAjustada,
                                               funcionarios);
        },
        [](const QByteArray& conteudo) {
            // Checked as the bank will read it before it reaches the operator's folder.
            VerificaArquivo::exige(conteudo, VerificaArquivo::Tipo::PagamentoSalario);
        });
}
