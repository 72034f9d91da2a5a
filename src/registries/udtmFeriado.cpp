#include "registries/udtmFeriado.h"

#include "core/Schema.h"

TdtmFeriado::TdtmFeriado(Connection* cnx, QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("dtmFeriado"));

    qryFeriado = new Dataset(cnx, this);
    qryFeriado->setObjectName(QStringLiteral("qryFeriado"));
    // The holidays of a fixed day and month come first, then the others; each group by its
    // stored date. Written with CASE because the engines order booleans false first.
    qryFeriado->setSql(QStringList{
        QStringLiteral("select * from feriado"),
        QStringLiteral("order by case when ind_dia_fixo then 0 else 1 end, dat_feriado")});
    qryFeriado->setUpdateTable(QStringLiteral("feriado"), QStringLiteral("cod_feriado"));
    qryFeriado->defineField(QStringLiteral("cod_feriado"), FieldKind::Integer).readOnly = true;
    qryFeriado->defineField(QStringLiteral("dat_feriado"), FieldKind::Date, QStringLiteral("Data"));
    Schema::textField(*qryFeriado, QStringLiteral("feriado"), QStringLiteral("dsc_feriado"),
                      QStringLiteral("Descrição"));
    qryFeriado->defineField(QStringLiteral("ind_dia_fixo"), FieldKind::Boolean,
                            QStringLiteral("Data fixa?"));

    dtsFeriado = new DataSource(this);
    dtsFeriado->setObjectName(QStringLiteral("dtsFeriado"));
    dtsFeriado->setDataSet(qryFeriado);
}
