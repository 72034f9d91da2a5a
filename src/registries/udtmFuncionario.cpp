#include "registries/udtmFuncionario.h"

#include "core/Schema.h"
#include "platform/data/Dialect.h"

TdtmFuncionario::TdtmFuncionario(Connection* cnx, QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("dtmFuncionario"));

    qryLkpAssociado = new Dataset(cnx, this);
    qryLkpAssociado->setObjectName(QStringLiteral("qryLkpAssociado"));
    qryLkpAssociado->setSql(QStringList{QStringLiteral("select ac.cod_associado, ac.nom_associado"),
                                        QStringLiteral("from associado ac"),
                                        QStringLiteral("order by ") +
                                            Dialect::byName(QStringLiteral("ac.nom_associado"))});
    qryLkpAssociado->defineField(QStringLiteral("cod_associado"), FieldKind::Integer).readOnly =
        true;
    Schema::textField(*qryLkpAssociado, QStringLiteral("associado"),
                      QStringLiteral("nom_associado"));

    qryLkpDepartamento = new Dataset(cnx, this);
    qryLkpDepartamento->setObjectName(QStringLiteral("qryLkpDepartamento"));
    qryLkpDepartamento->setSql(QStringList{
        QStringLiteral("select cod_departamento, nom_departamento"),
        QStringLiteral("from departamento"),
        QStringLiteral("where cod_associado = :pCodAssociado or :pIndTodos = 'S'"),
        QStringLiteral("order by ") + Dialect::byName(QStringLiteral("nom_departamento"))});
    qryLkpDepartamento->setParam(QStringLiteral("pCodAssociado"), 0);
    qryLkpDepartamento->setParam(QStringLiteral("pIndTodos"), QStringLiteral("S"));
    qryLkpDepartamento->defineField(QStringLiteral("cod_departamento"), FieldKind::Integer)
        .readOnly = true;
    Schema::textField(*qryLkpDepartamento, QStringLiteral("departamento"),
                      QStringLiteral("nom_departamento"));

    qryLkpMovimento = new Dataset(cnx, this);
    qryLkpMovimento->setObjectName(QStringLiteral("qryLkpMovimento"));
    qryLkpMovimento->setSql(
        QStringList{QStringLiteral("select cod_movimento, num_cod_movimento, dsc_movimento"),
                    QStringLiteral("from movimento"),
                    QStringLiteral("where (cod_associado = :pCodAssociado or :pIndTodos = 'S')"),
                    QStringLiteral("order by num_cod_movimento")});
    qryLkpMovimento->setParam(QStringLiteral("pCodAssociado"), 0);
    qryLkpMovimento->setParam(QStringLiteral("pIndTodos"), QStringLiteral("S"));
    qryLkpMovimento->defineField(QStringLiteral("cod_movimento"), FieldKind::Integer).readOnly =
        true;
    Schema::textField(*qryLkpMovimento, QStringLiteral("movimento"),
                      QStringLiteral("num_cod_movimento"));
    Schema::textField(*qryLkpMovimento, QStringLiteral("movimento"),
                      QStringLiteral("dsc_movimento"));

    qryFuncionario = new Dataset(cnx, this);
    qryFuncionario->setObjectName(QStringLiteral("qryFuncionario"));
    qryFuncionario->setSql(QStringList{QStringLiteral("select * from funcionario"),
                                       QStringLiteral("order by ") +
                                           Dialect::byName(QStringLiteral("nom_funcionario"))});
    qryFuncionario->setUpdateTable(QStringLiteral("funcionario"),
                                   QStringLiteral("cod_funcionario"));
    qryFuncionario->defineField(QStringLiteral("cod_funcionario"), FieldKind::Integer).readOnly =
        true;
    qryFuncionario->defineField(QStringLiteral("cod_associado"), FieldKind::Integer);
    qryFuncionario->defineField(QStringLiteral("cod_departamento"), FieldKind::Integer);
    qryFuncionario->defineField(QStringLiteral("cod_movimento"), FieldKind::Integer);
    Schema::textField(*qryFuncionario, QStringLiteral("funcionario"),
                      QStringLiteral("nom_funcionario"), QStringLiteral("Nome"));
    Schema::textField(*qryFuncionario, QStringLiteral("funcionario"), QStringLiteral("num_cpf"),
                      QStringLiteral("Cpf"));
    qryFuncionario->defineField(QStringLiteral("dat_nascimento"), FieldKind::Date,
                                QStringLiteral("Nascimento"));
    Schema::textField(*qryFuncionario, QStringLiteral("funcionario"),
                      QStringLiteral("num_identidade"), QStringLiteral("Identidade"));
    qryFuncionario->defineField(QStringLiteral("dat_admissao"), FieldKind::Date,
                                QStringLiteral("Admissão"));
    qryFuncionario->defineField(QStringLiteral("dat_demissao"), FieldKind::Date,
                                QStringLiteral("Demissão"));
    qryFuncionario
        ->defineField(QStringLiteral("vlr_salario"), FieldKind::Money, QStringLiteral("Salário"))
        .decimals = 2;
    Schema::textField(*qryFuncionario, QStringLiteral("funcionario"),
                      QStringLiteral("num_cc_bancoob"), QStringLiteral("Nº conta"));
    qryFuncionario->addLookupField(QStringLiteral("nom_associado"), QStringLiteral("cod_associado"),
                                   qryLkpAssociado, QStringLiteral("cod_associado"),
                                   QStringLiteral("nom_associado"), QStringLiteral("Associado"));
    qryFuncionario->addLookupField(
        QStringLiteral("nom_departamento"), QStringLiteral("cod_departamento"), qryLkpDepartamento,
        QStringLiteral("cod_departamento"), QStringLiteral("nom_departamento"),
        QStringLiteral("Departamento"));
    // The column shows the code's description, as the movement-code box does.
    qryFuncionario->addLookupField(QStringLiteral("num_cod_movimento"),
                                   QStringLiteral("cod_movimento"), qryLkpMovimento,
                                   QStringLiteral("cod_movimento"), QStringLiteral("dsc_movimento"),
                                   QStringLiteral("Cód. movimento"));
    qryFuncionario->afterPost = [this] { qryFuncionarioAfterPost(); };
    qryFuncionario->afterCancel = [this] { qryFuncionarioAfterPost(); };

    dtsFuncionario = new DataSource(this);
    dtsFuncionario->setObjectName(QStringLiteral("dtsFuncionario"));
    dtsFuncionario->setDataSet(qryFuncionario);
    dtsLkpAssociado = new DataSource(this);
    dtsLkpAssociado->setObjectName(QStringLiteral("dtsLkpAssociado"));
    dtsLkpAssociado->setDataSet(qryLkpAssociado);
    dtsDepartamento = new DataSource(this);
    dtsDepartamento->setObjectName(QStringLiteral("dtsDepartamento"));
    dtsDepartamento->setDataSet(qryLkpDepartamento);
    dtsLkpMovimento = new DataSource(this);
    dtsLkpMovimento->setObjectName(QStringLiteral("dtsLkpMovimento"));
    dtsLkpMovimento->setDataSet(qryLkpMovimento);

    qryLkpAssociado->open();
    qryLkpDepartamento->open();
}

void TdtmFuncionario::reabre(Dataset* lookup, int codAssociado, const QString& indTodos) {
    lookup->close();
    lookup->setParam(QStringLiteral("pCodAssociado"), codAssociado);
    lookup->setParam(QStringLiteral("pIndTodos"), indTodos);
    lookup->open();
}

void TdtmFuncionario::qryFuncionarioAfterPost() {
    // Back to every member's movement codes.
    reabre(qryLkpMovimento, 1, QStringLiteral("S"));
}
