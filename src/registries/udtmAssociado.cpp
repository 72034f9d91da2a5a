#include "registries/udtmAssociado.h"

#include "core/Schema.h"
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
    Schema::textField(*qryAssociado, QStringLiteral("associado"),
                      QStringLiteral("idt_tpo_associado"), QStringLiteral("Tipo"));
    Schema::textField(*qryAssociado, QStringLiteral("associado"), QStringLiteral("nom_associado"),
                      QStringLiteral("Nome"));
    Schema::textField(*qryAssociado, QStringLiteral("associado"), QStringLiteral("num_cgc_cpf"),
                      QStringLiteral("Cnpj/Cpf"));
    Schema::textField(*qryAssociado, QStringLiteral("associado"), QStringLiteral("num_bancoob"),
                      QStringLiteral("Nº Bancoob"));
    Schema::textField(*qryAssociado, QStringLiteral("associado"), QStringLiteral("num_ag_bancoob"),
                      QStringLiteral("Agência"));
    Schema::textField(*qryAssociado, QStringLiteral("associado"),
                      QStringLiteral("num_conv_bancoob"), QStringLiteral("Nº convênio"));
    Schema::textField(*qryAssociado, QStringLiteral("associado"),
                      QStringLiteral("idt_dst_mov_bancoob"), QStringLiteral("Dest. mov."));

    qryMovimento = new Dataset(cnx, this);
    qryMovimento->setObjectName(QStringLiteral("qryMovimento"));
    qryMovimento->setSql(QStringList{QStringLiteral("select * "), QStringLiteral("from movimento"),
                                     QStringLiteral("where cod_associado = :pCodAssociado"),
                                     QStringLiteral("order by num_cod_movimento")});
    qryMovimento->setParam(QStringLiteral("pCodAssociado"), 0);
    qryMovimento->setUpdateTable(QStringLiteral("movimento"), QStringLiteral("cod_movimento"));
    qryMovimento->defineField(QStringLiteral("cod_movimento"), FieldKind::Integer).readOnly = true;
    qryMovimento->defineField(QStringLiteral("cod_associado"), FieldKind::Integer);
    Schema::textField(*qryMovimento, QStringLiteral("movimento"),
                      QStringLiteral("num_cod_movimento"), QStringLiteral("Cod. movimento"));
    Schema::textField(*qryMovimento, QStringLiteral("movimento"), QStringLiteral("dsc_movimento"),
                      QStringLiteral("Descrição"));

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
