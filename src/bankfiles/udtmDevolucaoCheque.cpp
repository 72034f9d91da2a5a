#include "bankfiles/udtmDevolucaoCheque.h"

#include "bankfiles/Codigos.h"
#include "bankfiles/udtmGeraArqDepositoCustodia.h"
#include "platform/data/Dialect.h"
#include "platform/data/TransactionGuard.h"

#include <QDate>

TdtmDevolucaoCheque::TdtmDevolucaoCheque(Connection* cnx, QObject* parent)
    : QObject(parent), qryLoteCheque(cnx), qryCheque(cnx), m_cnx(cnx) {
    setObjectName(QStringLiteral("dtmDevolucaoCheque"));
    qryLoteCheque.setSql(sqlLotes(cnx->engine(), false, true));
    defineCamposLote(qryLoteCheque);
    qryCheque.setSql(sqlCheques(QString()));
    defineCamposCheque(qryCheque, QStringLiteral("Compe"), QStringLiteral("Valor"),
                       QStringLiteral("Dev.?"));
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

int TdtmDevolucaoCheque::devolve(const QList<int>& codigos) {
    // A cheque re-presented twice is never marked, also when another copy re-presents it
    // while this runs: the condition is part of the statement. The lot of the cheques is held
    // against a release for a new generation in the meantime.
    TransactionGuard tx(*m_cnx);
    m_cnx->select(QStringLiteral("select lc.cod_lote from lote_cheque lc where lc.cod_lote in "
                                 "(select cod_lote from cheque where cod_cheque = ?)") +
                      Dialect::forShare(m_cnx->engine()),
                  {codigos.value(0)});
    const int marcados = Codigos::executa(
        *m_cnx,
        QStringLiteral("update cheque set ind_devolvido = ?, dat_devolucao = ? where "
                       "dat_2reapresentacao is null and cod_cheque in (%1)"),
        {true, QDate::currentDate()}, codigos);
    tx.commit();
    return marcados;
}
