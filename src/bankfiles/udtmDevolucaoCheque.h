#pragma once

#include "core/uBib.h"
#include "platform/data/Dataset.h"

#include <QObject>
#include <optional>

// Queries and the statement of the return screen: the generated lots and all the cheques of
// the current lot, and the marking of returned cheques.
class TdtmDevolucaoCheque : public QObject {
    Q_OBJECT
public:
    explicit TdtmDevolucaoCheque(Connection* cnx, QObject* parent = nullptr);

    Dataset qryLoteCheque;
    Dataset qryCheque;
    // The return reasons, in order of their code.
    Dataset qryAlinea;
    DataSource dtsLoteCheque;
    DataSource dtsCheque;

    Connection* connection() const { return m_cnx; }

    // Marks the cheques `codigos` returned today for the reason `codAlinea` (0: none, the
    // reason they had is kept), except those re-presented twice (also by another copy in
    // between): one statement, so a cheque is marked once whatever the other copies do.
    // Returns how many were marked. Raises AlteradoPorOutraEstacao, marking nothing, when
    // another copy released the lot for a new generation since the list was read.
    int devolve(const QList<int>& codigos, int codAlinea = 0);

    // A stored cheque found by its line, with what the return screen needs to know of it.
    struct ChequeLido {
        int codCheque = 0;
        int codLote = 0;
        QString numLote;
        bool loteGerado = false;
        bool reapresentadoDuasVezes = false;
    };
    // The cheque whose nine groups are those of `linha`, in whichever lot; none when no stored
    // cheque has the line. One read through the line's unique index.
    std::optional<ChequeLido> localiza(const LinhaCheque& linha) const;

private:
    Connection* m_cnx;
};
