#include "registries/udtmAssociado.h"

#include "platform/data/Dialect.h"

TdtmAssociado::TdtmAssociado(Connection* cnx, QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("dtmAssociado"));

    qryAssociado = new Dataset(cnx, this);
    qryAssociado->setObjectName(QStringLiteral("qryAssociado"));
    qryAssociado->setSql(QStringList{QStringLiteral("select * from associado"),
                                     QStringLiteral("order by ") +
                                         Dialect::byName(QStringLiteral("nom_associado"))});
    qryAssociado->setUpdateTable(QStringLiteral("associado"), QStringLiteral("cod_associado"));
    qryAssociado->defineField(QStringLiteral("cod_associado"), FieldKind::Integer).readOnly = true;
    qryAssociado
        ->defineField(QStringLiteral("idt_tpo_associado"), FieldKind::String,
                      QStringLiteral("Tipo"))
        .size = 1;
    qryAssociado
        ->defineField(QStringLiteral("nom_associado"), FieldKind::String, QStringLiteral("Nome"))
        .size = 80;
    qryAssociado
        ->defineField(QStringLiteral("num_cgc_cpf"), FieldKind::String, QStringLiteral("Cnpj/Cpf"))
        .size = 14;
    qryAssociado
        ->defineField(QStringLiteral("num_bancoob"), FieldKind::String,
                      QStringLiteral("Nº Bancoob"))
        .size = 3;
    qryAssociado
        ->defineField(QStringLiteral("num_ag_bancoob"), FieldKind::String,
                      QStringLiteral("Agência"))
        .size = 4;
    qryAssociado
        ->defineField(QStringLiteral("num_conv_bancoob"), FieldKind::String,
                      QStringLiteral("Nº convênio"))
        .size = 10;
    qryAssociado
        ->defineField(QStringLiteral("idt_dst_mov_bancoob"), FieldKind::String,
                      QStringLiteral("Dest. mov."))
        .size = 2;

    qryMovimento = new Dataset(cnx, this);
    qryMovimento->setObjectName(QStringLiteral("qryMovimento"));
    qryMovimento->setSql(QStringList{QStringLiteral("select * "), QStringLiteral("from movimento"),
                                     QStringLiteral("where cod_associado = :pCodAssociado"),
                                     QStringLiteral("order by num_cod_movimento")});
    qryMovimento->setParam(QStringLiteral("pCodAssociado"), 0);
    qryMovimento->setUpdateTable(QStringLiteral("movimento"), QStringLiteral("cod_movimento"));
    qryMovimento->defineField(QStringLiteral("cod_movimento"), FieldKind::Integer).readOnly = true;
    qryMovimento->defineField(QStringLiteral("cod_associado"), FieldKind::Integer);
    qryMovimento
        ->defineField(QStringLiteral("num_cod_movimento"), FieldKind::String,
                      QStringLiteral("Cod. movimento"))
        .size = 2;
    qryMovimento
        ->defineField(QStringLiteral("dsc_movimento"), FieldKind::String,
                      QStringLiteral("Descrição"))
        .size = 80;

    qryAssociado->afterOpen = [this] { qryAssociadoAfterOpen(); };
    qryAssociado->afterClose = [this] { qryAssociadoAfterClose(); };
    qryAssociado->afterScroll = [this] { qryAssociadoAfterScroll(); };
    qryAssociado->afterInsert = [this] { qryAssociadoAfterInsert(); };
    qryMovimento->beforeOpen = [this] { qryMovimentoBeforeOpen(); };
    qryMovimento->afterInsert = [this] { qryMovimentoAfterInsert(); };

    dtsAssociado = new DataSource(this);
    dtsAssociado->setObjectName(QStringLiteral("dtsAssociado"));
    dtsAssociado->setDataSet(qryAssociado);
    dtsMovimento = new DataSource(this);
    dtsMovimento->setObjectName(QStringLiteral("dtsMovimento"));
    dtsMovimento->setDataSet(qryMovimento);
}

int TdtmAssociado::codAssociadoAtual() const {
    if (!qryAssociado->isOpen() || qryAssociado->isEmpty())
        return 0;
    return qryAssociado->asInteger(QStringLiteral("cod_associado"));
}

void TdtmAssociado::qryAssociadoAfterOpen() {
    qryMovimento->open();
}

void TdtmAssociado::qryAssociadoAfterClose() {
    qryMovimento->close();
}

void TdtmAssociado::qryAssociadoAfterScroll() {
    // Whatever was typed into a movement row of the member we leave is dropped.
    qryMovimento->close();
    qryMovimento->open();
}

void TdtmAssociado::qryAssociadoAfterInsert() {
    qryAssociado->setValue(QStringLiteral("idt_dst_mov_bancoob"), QStringLiteral("03"));
}

void TdtmAssociado::qryMovimentoBeforeOpen() {
    qryMovimento->setParam(QStringLiteral("pCodAssociado"), codAssociadoAtual());
}

void TdtmAssociado::qryMovimentoAfterInsert() {
    qryMovimento->setValue(QStringLiteral("cod_associado"), codAssociadoAtual());
}
