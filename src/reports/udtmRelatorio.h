#pragma once

#include "platform/data/Dataset.h"

#include <QObject>

// The report screen's queries: the member and department choices, and the data of the cheque
// and employee listings.
class TdtmRelatorio : public QObject {
    Q_OBJECT
public:
    explicit TdtmRelatorio(Connection* cnx, QObject* owner = nullptr);

    Dataset* qryLkpAssociado;
    Dataset* qryLkpDepartamento;
    Dataset* qryRelatorioCheque;
    Dataset* qryRelatorioFuncionario;
    DataSource* dtsLkpAssociado;
    DataSource* dtsLkpDepartamento;
};
