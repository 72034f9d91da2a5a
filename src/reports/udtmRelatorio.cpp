#include "reports/udtmRelatorio.h"

#include "platform/data/Dialect.h"

namespace {
Dataset* query(Connection* cnx, QObject* owner, const char* name, const QStringList& sql) {
    auto* q = new Dataset(cnx, owner);
    q->setObjectName(QLatin1String(name));
    q->setSql(sql);
    return q;
}
} // namespace

TdtmRelatorio::TdtmRelatorio(Connection* cnx, QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("dtmRelatorio"));
    const Engine e = cnx->engine();
    using Dialect::byName;

    qryLkpAssociado =
        query(cnx, this, "qryLkpAssociado",
              {QStringLiteral("select ac.cod_associado, ac.nom_associado"),
               QStringLiteral("from associado ac"),
               QStringLiteral("order by ") + byName(QStringLiteral("ac.nom_associado"))});
    qryLkpAssociado->defineField(QStringLiteral("cod_associado"), FieldKind::Integer);

    qryLkpDepartamento =
        query(cnx, this, "qryLkpDepartamento",
              {QStringLiteral("select cod_departamento, nom_departamento"),
               QStringLiteral("from departamento"),
               QStringLiteral("where cod_associado = :pCodAssociado"),
               QStringLiteral("order by ") + byName(QStringLiteral("nom_departamento"))});
    qryLkpDepartamento->defineField(QStringLiteral("cod_departamento"), FieldKind::Integer);

    // One text for the three cheque listings: the three report flags all carry the letter of
    // the kind ("C", "E" or "D"), so only that kind's alternative can hold. Each period runs
    // from its first day at midnight up to, not including, midnight after its last day.
    const QString numLote = Dialect::castInteger(e, QStringLiteral("lote_cheque.num_lote"));
    qryRelatorioCheque = query(
        cnx, this, "qryRelatorioCheque",
        {QStringLiteral(
             "SELECT associado.cod_associado, associado.nom_associado, associado.num_ag_bancoob,"),
         QStringLiteral("lote_cheque.num_lote,"),
         QStringLiteral("CASE WHEN lote_cheque.idt_dep_custodia = 'D' THEN 'Depósito' ELSE "
                        "'Custódia' END AS ind_dep_custodia,"),
         QStringLiteral("CASE WHEN lote_cheque.ind_gerado THEN 'Sim' ELSE 'Não' END AS "
                        "ind_gerado, lote_cheque.dat_lote,"),
         QStringLiteral("cheque.num_banco, cheque.num_agencia, cheque.num_dv2, cheque.num_compe,"),
         QStringLiteral("cheque.num_cheque, cheque.num_tipificacao, cheque.num_dv1, "
                        "cheque.num_conta,"),
         QStringLiteral("cheque.num_dv3, cheque.vlr_cheque, cheque.dat_deposito,"),
         QStringLiteral("CASE WHEN cheque.ind_devolvido THEN 'Sim' ELSE 'Não' END AS "
                        "ind_devolvido,"),
         QStringLiteral("cheque.dat_reapresentacao, cheque.dat_2reapresentacao, "
                        "lote_cheque.dat_gerado,"),
         QStringLiteral("(SELECT alinea.num_alinea FROM alinea WHERE alinea.cod_alinea = "
                        "cheque.cod_alinea) AS num_alinea"),
         QStringLiteral("FROM (associado INNER JOIN lote_cheque"),
         QStringLiteral("ON lote_cheque.cod_associado = associado.cod_associado"),
         QStringLiteral(") INNER JOIN cheque"),
         QStringLiteral("ON lote_cheque.cod_lote = cheque.cod_lote"),
         QStringLiteral("WHERE associado.cod_associado = :pCodAssociado and"),
         QStringLiteral("((%1 = :pNumLote) or (:pIndLote = 'N')) and").arg(numLote),
         QStringLiteral("((:pIdtRelatorioG = 'C' and NOT lote_cheque.ind_gerado and"),
         QStringLiteral("lote_cheque.dat_lote >= :pDatIniLote and"),
         QStringLiteral("lote_cheque.dat_lote < :pDatFimLote"), QStringLiteral(") or"),
         QStringLiteral("(:pIdtRelatorioE = 'E' and lote_cheque.ind_gerado and"),
         QStringLiteral("lote_cheque.dat_gerado >= :pDatIniEnvio and"),
         QStringLiteral("lote_cheque.dat_gerado < :pDatFimEnvio and"),
         QStringLiteral("lote_cheque.dat_gerado = cheque.dat_deposito"), QStringLiteral(") or"),
         QStringLiteral("(:pIdtRelatorioD = 'D' and lote_cheque.ind_gerado and"),
         QStringLiteral("((cheque.dat_devolucao >= :pDatIniDev and cheque.dat_devolucao < "
                        ":pDatFimDev) or"),
         QStringLiteral("(cheque.dat_reapresentacao >= :pDatIniReap and "
                        "cheque.dat_reapresentacao < :pDatFimReap) or"),
         QStringLiteral("(cheque.dat_2reapresentacao >= :pDatIni2Reap and "
                        "cheque.dat_2reapresentacao < :pDatFim2Reap)"),
         QStringLiteral(")"), QStringLiteral(")"), QStringLiteral(")"),
         // Lot numbers in the order of their value: lot 9 comes before lot 10.
         QStringLiteral("ORDER BY %1, lote_cheque.dat_lote, %2, cheque.cod_cheque")
             .arg(byName(QStringLiteral("associado.nom_associado")), numLote)});
    qryRelatorioCheque->defineField(QStringLiteral("cod_associado"), FieldKind::Integer);
    qryRelatorioCheque->defineField(QStringLiteral("vlr_cheque"), FieldKind::Money);
    for (const char* f :
         {"dat_lote", "dat_deposito", "dat_reapresentacao", "dat_2reapresentacao", "dat_gerado"})
        qryRelatorioCheque->defineField(QLatin1String(f), FieldKind::Date);

    qryRelatorioFuncionario = query(
        cnx, this, "qryRelatorioFuncionario",
        {QStringLiteral(
             "SELECT associado.cod_associado, associado.nom_associado, associado.num_ag_bancoob,"),
         QStringLiteral("departamento.nom_departamento, movimento.dsc_movimento,"),
         QStringLiteral("funcionario.nom_funcionario, funcionario.num_cpf, "
                        "funcionario.dat_admissao,"),
         QStringLiteral("funcionario.vlr_salario, funcionario.num_cc_bancoob"),
         QStringLiteral("FROM ((associado INNER JOIN departamento"),
         QStringLiteral("ON associado.cod_associado = departamento.cod_associado)"),
         QStringLiteral("INNER JOIN funcionario"),
         QStringLiteral("ON (departamento.cod_departamento = funcionario.cod_departamento) AND"),
         QStringLiteral("(associado.cod_associado = funcionario.cod_associado))"),
         QStringLiteral("INNER JOIN movimento"),
         QStringLiteral("on funcionario.cod_movimento = movimento.cod_movimento"),
         QStringLiteral("WHERE associado.cod_associado = :pCodAssociado and"),
         QStringLiteral("(funcionario.cod_departamento = :pCodDepartamento or"),
         QStringLiteral(":pIdtTodos = 'S'"), QStringLiteral(")"),
         QStringLiteral("ORDER BY %1, %2, %3")
             .arg(byName(QStringLiteral("associado.nom_associado")),
                  byName(QStringLiteral("departamento.nom_departamento")),
                  byName(QStringLiteral("funcionario.nom_funcionario")))});
    qryRelatorioFuncionario->defineField(QStringLiteral("cod_associado"), FieldKind::Integer);
    qryRelatorioFuncionario->defineField(QStringLiteral("vlr_salario"), FieldKind::Money);
    qryRelatorioFuncionario->defineField(QStringLiteral("dat_admissao"), FieldKind::Date);

    dtsLkpAssociado = new DataSource(this);
    dtsLkpAssociado->setObjectName(QStringLiteral("dtsLkpAssociado"));
    dtsLkpAssociado->setDataSet(qryLkpAssociado);
    dtsLkpDepartamento = new DataSource(this);
    dtsLkpDepartamento->setObjectName(QStringLiteral("dtsLkpDepartamento"));
    dtsLkpDepartamento->setDataSet(qryLkpDepartamento);
}
