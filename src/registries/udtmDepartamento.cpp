#include "registries/udtmDepartamento.h"

#include "core/Schema.h"
#include "platform/data/Dialect.h"

TdtmDepartamento::TdtmDepartamento(Connection* cnx, QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("dtmDepartamento"));

    qryLkpAssociado = new Dataset(cnx, this);
    qryLkpAssociado->setObjectName(QStringLiteral("qryLkpAssociado"));
    qryLkpAssociado->setSql(QStringList{QStringLiteral("select ac.cod_associado, nom_associado"),
                                        QStringLiteral("from associado ac"),
                                        QStringLiteral("order by ") +
                                            Dialect::byName(QStringLiteral("nom_associado"))});
    qryLkpAssociado->defineField(QStringLiteral("cod_associado"), FieldKind::Integer).readOnly =
        true;
    Schema::textField(*qryLkpAssociado, QStringLiteral("associado"),
                      QStringLiteral("nom_associado"));

    qryDepartamento = new Dataset(cnx, this);
    qryDepartamento->setObjectName(QStringLiteral("qryDepartamento"));
    qryDepartamento->setSql(QStringList{QStringLiteral("select * from departamento"),
                                        QStringLiteral("order by ") +
                                            Dialect::byName(QStringLiteral("nom_departamento"))});
    qryDepartamento->setUpdateTable(QStringLiteral("departamento"),
                                    QStringLiteral("cod_departamento"));
    qryDepartamento->defineField(QStringLiteral("cod_departamento"), FieldKind::Integer).readOnly =
        true;
    qryDepartamento->defineField(QStringLiteral("cod_associado"), FieldKind::Integer);
    Schema::textField(*qryDepartamento, QStringLiteral("departamento"),
                      QStringLiteral("nom_departamento"), QStringLiteral("Departamento"));
    qryDepartamento->addLookupField(QStringLiteral("nom_associado"),
                                    QStringLiteral("cod_associado"), qryLkpAssociado,
                                    QStringLiteral("cod_associado"),
                                    QStringLiteral("nom_associado"), QStringLiteral("Associado"));

    dtsDepartamento = new DataSource(this);
    dtsDepartamento->setObjectName(QStringLiteral("dtsDepartamento"));
    dtsDepartamento->setDataSet(qryDepartamento);
    dtsLkpAssociado = new DataSource(this);
    dtsLkpAssociado->setObjectName(QStringLiteral("dtsLkpAssociado"));
    dtsLkpAssociado->setDataSet(qryLkpAssociado);
}
