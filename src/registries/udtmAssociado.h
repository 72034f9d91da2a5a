#pragma once

#include "platform/data/Dataset.h"

#include <QObject>

// The member screen's queries: the members, and the movement codes of the current member,
// re-read whenever the current member changes.
class TdtmAssociado : public QObject {
    Q_OBJECT
public:
    explicit TdtmAssociado(Connection* cnx, QObject* owner = nullptr);

    Dataset* qryAssociado;
    Dataset* qryMovimento;
    DataSource* dtsAssociado;
    DataSource* dtsMovimento;

    void qryAssociadoAfterOpen();
    void qryAssociadoAfterClose();
    void qryAssociadoAfterScroll();
    void qryAssociadoAfterInsert();
    void qryMovimentoBeforeOpen();
    void qryMovimentoAfterInsert();

private:
    // The current member's code; a member not saved yet (or none at all) counts as 0.
    int codAssociadoAtual() const;
};
