#pragma once

#include "platform/data/Dataset.h"

#include <QObject>

// Queries and the statement of the return screen: the generated lots and all the cheques of
// the current lot, and the marking of returned cheques.
class TdtmDevolucaoCheque : public QObject {
    Q_OBJECT
public:
    explicit TdtmDevolucaoCheque(Connection* cnx, QObject* parent = nullptr);

    Dataset qryLoteCheque;
    Dataset qryCheque;
    DataSource dtsLoteCheque;
    DataSource dtsCheque;

    Connection* connection() const { return m_cnx; }

    // Marks the cheques `codigos` returned today, except those re-presented twice (also by
    // another copy in between): one statement, so a cheque is marked once whatever the other
    // copies do. Returns how many were marked. Raises DbError, marking nothing, when another
    // copy released the lot for a new generation since the list was read.
    int devolve(const QList<int>& codigos);

private:
    Connection* m_cnx;
};
