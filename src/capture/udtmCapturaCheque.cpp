#include "capture/udtmCapturaCheque.h"

#include "core/Schema.h"
#include "core/uGlobal.h"
#include "platform/data/Dialect.h"
#include "platform/data/TransactionGuard.h"

#include <QDateTime>

namespace {

const QString LoteJaEnviado = QStringLiteral(
    "Não é possível capturar cheques para\n\reste lote, pois o mesmo já foi enviado!");

} // namespace

TdtmCapturaCheque::TdtmCapturaCheque(Connection* cnx, QObject* parent)
    : QObject(parent), qryLoteCheque(cnx), qryCheque(cnx), qryLkpAssociado(cnx), m_cnx(cnx) {
    qryLoteCheque.setSql(QStringLiteral("select * from lote_cheque order by dat_lote, num_lote"));
    qryLoteCheque.setUpdateTable(QStringLiteral("lote_cheque"), QStringLiteral("cod_lote"));
    qryLoteCheque.defineField(QStringLiteral("cod_lote"), FieldKind::Integer).readOnly = true;
    qryLoteCheque.defineField(QStringLiteral("cod_associado"), FieldKind::Integer);
    Schema::textField(qryLoteCheque, QStringLiteral("lote_cheque"), QStringLiteral("num_lote"),
                      QStringLiteral("Nº Lote"));
    qryLoteCheque.defineField(QStringLiteral("idt_dep_custodia"), FieldKind::String,
                              QStringLiteral("Dep/Cust."));
    qryLoteCheque.defineField(QStringLiteral("ind_gerado"), FieldKind::Boolean,
                              QStringLiteral("Gerado?"));
    qryLoteCheque.defineField(QStringLiteral("dat_lote"), FieldKind::Date, QStringLiteral("Data"));
    qryLoteCheque.defineField(QStringLiteral("dat_gerado"), FieldKind::Date);

    qryCheque.setSql(
        QStringLiteral("select * from cheque where cod_lote = :pCodLote order by cod_cheque"));
    qryCheque.setUpdateTable(QStringLiteral("cheque"), QStringLiteral("cod_cheque"));
    qryCheque.defineField(QStringLiteral("cod_cheque"), FieldKind::Integer).readOnly = true;
    qryCheque.defineField(QStringLiteral("cod_lote"), FieldKind::Integer);
    const struct {
        const char* name;
        const char* label;
    } grupos[] = {
        {"num_banco", "Banco"}, {"num_agencia", "Agência"},  {"num_dv2", "Dv2"},
        {"num_compe", "Comp."}, {"num_cheque", "Nº cheque"}, {"num_tipificacao", "Tipif."},
        {"num_dv1", "Dv1"},     {"num_conta", "Nº conta"},   {"num_dv3", "Dv3"}};
    for (const auto& g : grupos)
        Schema::textField(qryCheque, QStringLiteral("cheque"), QLatin1String(g.name),
                          QString::fromUtf8(g.label));
    qryCheque.defineField(QStringLiteral("vlr_cheque"), FieldKind::Money,
                          QStringLiteral("Vlr. cheque"));
    qryCheque.defineField(QStringLiteral("dat_deposito"), FieldKind::Date,
                          QStringLiteral("Data boa"));
    qryCheque.defineField(QStringLiteral("ind_devolvido"), FieldKind::Boolean,
                          QStringLiteral("Devolvido?"));
    qryCheque.defineField(QStringLiteral("dat_devolucao"), FieldKind::Date);
    qryCheque.defineField(QStringLiteral("dat_reapresentacao"), FieldKind::Date,
                          QStringLiteral("Data reap."));
    qryCheque.defineField(QStringLiteral("dat_2reapresentacao"), FieldKind::Date,
                          QStringLiteral("Data 2ª reap."));

    qryLkpAssociado.setSql(
        QStringLiteral("select cod_associado, nom_associado from associado ac order by ") +
        Dialect::byName(QStringLiteral("nom_associado")));
    qryLkpAssociado.defineField(QStringLiteral("cod_associado"), FieldKind::Integer);
    qryLkpAssociado.defineField(QStringLiteral("nom_associado"), FieldKind::String,
                                QStringLiteral("Nome"));

    dtsLoteCheque.setDataSet(&qryLoteCheque);
    dtsCheque.setDataSet(&qryCheque);
    dtsLkpAssociado.setDataSet(&qryLkpAssociado);

    qryLoteCheque.afterOpen = [this] { qryLoteChequeAfterOpen(); };
    qryLoteCheque.afterClose = [this] { qryLoteChequeAfterClose(); };
    qryLoteCheque.afterScroll = [this] { qryLoteChequeAfterScroll(); };
    qryLoteCheque.afterInsert = [this] { qryLoteChequeAfterInsert(); };
    qryCheque.beforeOpen = [this] { qryChequeBeforeOpen(); };
}

void TdtmCapturaCheque::qryLoteChequeAfterOpen() {
    qryCheque.open();
}

void TdtmCapturaCheque::qryLoteChequeAfterClose() {
    qryCheque.close();
}

void TdtmCapturaCheque::qryLoteChequeAfterScroll() {
    qryCheque.close();
    qryCheque.open();
}

void TdtmCapturaCheque::qryLoteChequeAfterInsert() {
    const QDateTime agora = QDateTime::currentDateTime();
    qryLoteCheque.setValue(QStringLiteral("dat_lote"),
                           QDateTime(agora.date(), QTime(agora.time().hour(), agora.time().minute(),
                                                         agora.time().second())));
    qryLoteCheque.setValue(QStringLiteral("ind_gerado"), false);
    qryLoteCheque.setValue(QStringLiteral("idt_dep_custodia"), QStringLiteral("D"));
}

void TdtmCapturaCheque::qryChequeBeforeOpen() {
    // A lot not saved yet has no code: 0 lists no cheque.
    qryCheque.setParam(
        QStringLiteral("pCodLote"),
        qryLoteCheque.isEmpty() ? 0 : qryLoteCheque.asInteger(QStringLiteral("cod_lote")));
}

bool TdtmCapturaCheque::loteEnviado(int codLote) const {
    return ConsultaCampo(QStringLiteral("select ind_gerado from lote_cheque where cod_lote = ?"),
                         *m_cnx, 0, {codLote})
        .toBool();
}

TdtmCapturaCheque::Totais TdtmCapturaCheque::totaisLote(int codLote) const {
    const ResultSet rs = m_cnx->select(
        QStringLiteral("select sum(vlr_cheque), count(*) from cheque where cod_lote = ?"),
        {codLote});
    Totais t;
    const QVariantList& r = rs.rows.first();
    if (!r.at(0).isNull() && !r.at(1).isNull()) {
        t.total = Money::fromVariant(r.at(0));
        t.quantidade = r.at(1).toInt();
    }
    return t;
}

qint64 TdtmCapturaCheque::proximoNumeroLote() const {
    const QVariant max =
        ConsultaCampo(QStringLiteral("select max(%1) from lote_cheque")
                          .arg(Dialect::castInteger(m_cnx->engine(), QStringLiteral("num_lote"))),
                      *m_cnx);
    return max.isNull() ? 1 : max.toLongLong() + 1;
}

void TdtmCapturaCheque::salvaLote() {
    if (qryLoteCheque.state() != Dataset::State::Insert) {
        qryLoteCheque.post();
        return;
    }
    // The copies take lot numbers one after the other: the highest number is read and the
    // next one inserted while this copy holds the numbering. When anything fails, commit
    // included, the transaction's rollback puts the lot back as it was before: in insert,
    // without a number.
    TransactionGuard tx(*m_cnx);
    m_cnx->lockNumbering(QStringLiteral("lote_cheque.num_lote"));
    qryLoteCheque.setValue(QStringLiteral("num_lote"), QString::number(proximoNumeroLote()));
    qryLoteCheque.post();
    tx.commit();
}

bool TdtmCapturaCheque::gravaCheque(const LinhaCheque& linha, Money valor) {
    try {
        // The lot's state and the insert are one transaction holding the lot: a generation
        // of the lot either comes after and writes this cheque, or came first and the cheque
        // is refused; it never lands in a generated lot outside its file.
        TransactionGuard tx(*m_cnx);
        const int lote = qryLoteCheque.asInteger(QStringLiteral("cod_lote"));
        if (ConsultaCampo(QStringLiteral("select ind_gerado from lote_cheque where cod_lote = ?") +
                              Dialect::forShare(m_cnx->engine()),
                          *m_cnx, 0, {lote})
                .toBool())
            throw DbError(LoteJaEnviado);
        qryCheque.append();
        qryCheque.setValue(QStringLiteral("cod_lote"),
                           qryLoteCheque.asInteger(QStringLiteral("cod_lote")));
        qryCheque.setValue(QStringLiteral("num_banco"), linha.banco);
        qryCheque.setValue(QStringLiteral("num_agencia"), linha.agencia);
        qryCheque.setValue(QStringLiteral("num_dv2"), linha.dv2);
        qryCheque.setValue(QStringLiteral("num_compe"), linha.compe);
        qryCheque.setValue(QStringLiteral("num_cheque"), linha.numCheque);
        qryCheque.setValue(QStringLiteral("num_tipificacao"), linha.tipificacao);
        qryCheque.setValue(QStringLiteral("num_dv1"), linha.dv1);
        qryCheque.setValue(QStringLiteral("num_conta"), linha.conta);
        qryCheque.setValue(QStringLiteral("num_dv3"), linha.dv3);
        qryCheque.setValue(QStringLiteral("vlr_cheque"), valor.toVariant());
        qryCheque.setValue(QStringLiteral("ind_devolvido"), false);
        qryCheque.post();
        tx.commit();
        return true;
    } catch (const DbError& e) {
        if (qryCheque.isEditing())
            qryCheque.cancel();
        if (e.kind() == DbError::Kind::Unique)
            return false;
        throw;
    }
}

void TdtmCapturaCheque::excluiCheque() {
    // Like the capture, the lot's state and the delete are one transaction holding the lot: a
    // cheque is deleted before a generation reads its lot, or refused once the lot is sent.
    try {
        TransactionGuard tx(*m_cnx);
        if (ConsultaCampo(QStringLiteral("select ind_gerado from lote_cheque where cod_lote = ?") +
                              Dialect::forShare(m_cnx->engine()),
                          *m_cnx, 0, {qryCheque.asInteger(QStringLiteral("cod_lote"))})
                .toBool())
            throw DbError(LoteJaEnviado);
        qryCheque.remove();
        tx.commit();
    } catch (const DbError&) {
        // The rollback put the list back as it was; another copy may have deleted the cheque
        // meanwhile, so the list is read again before the refusal is shown.
        const QVariant perto =
            qryCheque.isEmpty() ? QVariant() : qryCheque.value(QStringLiteral("cod_cheque"));
        try {
            qryCheque.open();
            if (perto.isValid())
                qryCheque.locate(QStringLiteral("cod_cheque"), perto);
        } catch (const DbError&) {
        }
        throw;
    }
}
