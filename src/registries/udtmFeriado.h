#pragma once

#include "platform/data/Dataset.h"

#include <QObject>

// The holiday screen's query.
class TdtmFeriado : public QObject {
    Q_OBJECT
public:
    explicit TdtmFeriado(Connection* cnx, QObject* owner = nullptr);

    Dataset* qryFeriado;
    DataSource* dtsFeriado;
};
