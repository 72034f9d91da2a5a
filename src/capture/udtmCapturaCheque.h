#pragma once

#include "core/uBib.h"
#include "platform/data/Dataset.h"

#include <QObject>

// The queries behind the cheque capture screen: all lots (editable), the cheques of the
// current lot, and the members a lot's member is chosen from. The cheque list follows the
// current lot.
class TdtmCapturaCheque : public QObject {
    Q_OBJECT
public:
    explicit TdtmCapturaCheque(Connection* cnx, QObject* parent = nullptr);

    Dataset qryLoteCheque;
    Dataset qryCheque;
    Dataset qryLkpAssociado;
    DataSource dtsLoteCheque;
    DataSource dtsCheque;
    DataSource dtsLkpAssociado;

    Connection* connection() const { return m_cnx; }

    // Whether the lot's bank file was generated, as the database holds it now.
    bool loteEnviado(int codLote) const;
    // Sum of values and number of cheques of a lot.
    struct Totais {
        Money total;
        int quantidade = 0;
    };
    Totais totaisLote(int codLote) const;
    // Saves the current lot. A new lot gets the number one above the largest so far, given in
    // one write transaction with the insert while this copy holds the numbering, so that two
    // copies saving at the same moment never take the same number. A refusal, of the commit
    // too, raises DbError and leaves the lot as it was: in insert, without a number.
    void salvaLote();
    // Appends and posts a cheque of the current lot. Returns false, with the row cancelled,
    // when the database holds the same cheque already; any other refusal (a busy or read-only
    // database, a lot another copy deleted) cancels the row and raises its DbError.
    bool gravaCheque(const LinhaCheque& linha, Money valor);
    // Deletes the current cheque unless its lot was sent meanwhile (DbError with the sent-lot
    // text).
    void excluiCheque();

private:
    void qryLoteChequeAfterOpen();
    void qryLoteChequeAfterClose();
    void qryLoteChequeAfterScroll();
    void qryLoteChequeAfterInsert();
    void qryChequeBeforeOpen();
    qint64 proximoNumeroLote() const;

    Connection* m_cnx;
};
