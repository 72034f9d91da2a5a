#pragma once

#include "platform/data/Dataset.h"

#include <QObject>

// The department screen's queries: the departments, and the members for the lookup.
class TdtmDepartamento : public QObject {
    Q_OBJECT
public:
    explicit TdtmDepartamento(Connection* cnx, QObject* owner = nullptr);

    Dataset* qryDepartamento;
    Dataset* qryLkpAssociado;
    DataSource* dtsDepartamento;
    DataSource* dtsLkpAssociado;
};
