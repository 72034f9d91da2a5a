#include "registries/udtmFuncionario.h"

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
    qryLkpAssociado->defineField(QStringLiteral("nom_associado"), FieldKind::String).size = 80;

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
    qryLkpDepartamento->defineField(QStringLiteral("nom_departamento"), FieldKind::String).size =
        80;

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
    qryLkpMovimento->defineField(QStringLiteral("num_cod_movimento"), FieldKind::String).size = 2;
    qryLkpMovimento->defineField(QStringLiteral("dsc_movimento"), FieldKind::String).size = 80;

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
    qryFuncionario
        ->defineField(QStringLiteral("nom_funcionario"), FieldKind::String, QStringLiteral("Nome"))
        .size = 80;
    qryFuncionario->defineField(QStringLiteral("num_cpf"), FieldKind::String, QStringLiteral("Cpf"))
        .size = 14;
    qryFuncionario->defineField(QStringLiteral("dat_nascimento"), FieldKind::Date,
                                QStringLiteral("Nascimento"));
    qryFuncionario
        ->defineField(QStringLiteral("num_identidade"), FieldKind::String,
                      QStringLiteral("Identidade"))
        .size = 15;
    qryFuncionario->defineField(QStringLiteral("dat_admissao"), FieldKind::Date,
                                QStringLiteral("Admissão"));
    qryFuncionario->defineField(QStringLiteral("dat_demissao"), FieldKind::Date,
                                QStringLiteral("Demissão"));
    qryFuncionario
        ->defineField(QStringLiteral("vlr_salario"), FieldKind::Money, QStringLiteral("Salário"))
        .decimals = 2;
    qryFuncionario
        ->defineField(QStringLiteral("num_cc_bancoob"), FieldKind::String,
                      QStringLiteral("Nº conta"))
        .size = 10;
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
