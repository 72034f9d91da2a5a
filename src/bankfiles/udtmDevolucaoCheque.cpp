#include "bankfiles/udtmDevolucaoCheque.h"

#include "bankfiles/Codigos.h"
#include "bankfiles/udtmGeraArqDepositoCustodia.h"
#include "platform/data/Dialect.h"
#include "platform/data/TransactionGuard.h"

#include <QDate>

namespace {

const QString LoteLiberado =
    QStringLiteral("Este lote foi disponibilizado para nova geração em outra estação!\n\r"
                   "Nenhum cheque foi marcado como devolvido.\n\rA relação de lotes será "
                   "atualizada.");

} // namespace

TdtmDevolucaoCheque::TdtmDevolucaoCheque(Connection* cnx, QObject* parent)
    : QObject(parent), qryLoteCheque(cnx), qryCheque(cnx), qryAlinea(cnx), m_cnx(cnx) {
    setObjectName(QStringLiteral("dtmDevolucaoCheque"));
    defineCamposLote(qryLoteCheque, false, true);
    qryCheque.setSql(sqlCheques(QString()));
    defineCamposCheque(qryCheque, QStringLiteral("Compe"), QStringLiteral("Valor"),
                       QStringLiteral("Dev.?"));
    qryAlinea.setSql(QStringLiteral("select cod_alinea, num_alinea, dsc_alinea, ind_reapresenta "
                                    "from alinea order by num_alinea"));
    dtsLoteCheque.setDataSet(&qryLoteCheque);
    dtsCheque.setDataSet(&qryCheque);

    // The cheque list follows the current lot.
    qryLoteCheque.afterOpen = [this] { qryCheque.open(); };
    qryLoteCheque.afterClose = [this] { qryCheque.close(); };
    qryLoteCheque.afterScroll = [this] {
        qryCheque.close();
        qryCheque.open();
    };
    qryCheque.beforeOpen = [this] {
        qryCheque.setParam(
            QStringLiteral("pCodLote"),
            qryLoteCheque.isEmpty() ? 0 : qryLoteCheque.asInteger(QStringLiteral("cod_lote")));
    };
}

int TdtmDevolucaoCheque::devolve(const QList<int>& codigos, int codAlinea) {
    // A cheque re-presented twice is never marked, also when another copy re-presents it
    // while this runs: the condition is part of the statement. The lot of the cheques is held
    // against a release for a new generation in the meantime, and one released since the list
    // was read (its cheques may even be deleted by now) is refused: only a generated lot has
    // returned cheques.
    TransactionGuard tx(*m_cnx);
    const ResultSet lote = m_cnx->select(
        QStringLiteral("select lc.ind_gerado from lote_cheque lc where lc.cod_lote in "
                       "(select cod_lote from cheque where cod_cheque = ?)") +
            Dialect::forShare(m_cnx->engine()),
        {codigos.value(0)});
    if (lote.rows.isEmpty() || !lote.rows.first().at(0).toBool())
        throw AlteradoPorOutraEstacao(LoteLiberado);
    // Without a reason the cheque keeps the one it had, as before reasons were recorded.
    const int marcados =
        codAlinea == 0
            ? Codigos::executa(*m_cnx,
                               QStringLiteral("update cheque set ind_devolvido = ?, dat_devolucao "
                                              "= ? where dat_2reapresentacao is null and "
                                              "cod_cheque in (%1)"),
                               {true, QDate::currentDate()}, codigos)
            : Codigos::executa(*m_cnx,
                               QStringLiteral("update cheque set ind_devolvido = ?, dat_devolucao "
                                              "= ?, cod_alinea = ? where dat_2reapresentacao is "
                                              "null and cod_cheque in (%1)"),
                               {true, QDate::currentDate(), codAlinea}, codigos);
    tx.commit();
    return marcados;
}

std::optional<TdtmDevolucaoCheque::ChequeLido>
TdtmDevolucaoCheque::localiza(const LinhaCheque& l) const {
    const ResultSet rs = m_cnx->select(
        QStringLiteral("select c.cod_cheque, c.cod_lote, lc.num_lote, lc.ind_gerado, "
                       "c.dat_2reapresentacao from cheque c join lote_cheque lc on lc.cod_lote = "
                       "c.cod_lote where c.num_banco = ? and c.num_agencia = ? and c.num_dv2 = ? "
                       "and c.num_compe = ? and c.num_cheque = ? and c.num_tipificacao = ? and "
                       "c.num_dv1 = ? and c.num_conta = ? and c.num_dv3 = ?"),
        {l.banco, l.agencia, l.dv2, l.compe, l.numCheque, l.tipificacao, l.dv1, l.conta, l.dv3});
    if (rs.rows.isEmpty())
        return std::nullopt;
    const QVariantList& r = rs.rows.first();
    ChequeLido c;
    c.codCheque = r[0].toInt();
    c.codLote = r[1].toInt();
    c.numLote = r[2].toString();
    c.loteGerado = r[3].toBool();
    c.reapresentadoDuasVezes = !r[4].isNull();
    return c;
}
