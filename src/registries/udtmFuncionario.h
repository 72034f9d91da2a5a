#pragma once

#include "platform/data/Dataset.h"

#include <QObject>

// The employee screen's queries: the employees, and the members, departments and movement
// codes for the lookups. The last two give all members' rows, or one member's.
class TdtmFuncionario : public QObject {
    Q_OBJECT
public:
    explicit TdtmFuncionario(Connection* cnx, QObject* owner = nullptr);

    Dataset* qryFuncionario;
    Dataset* qryLkpAssociado;
    Dataset* qryLkpDepartamento;
    Dataset* qryLkpMovimento;
    DataSource* dtsFuncionario;
    DataSource* dtsLkpAssociado;
    DataSource* dtsDepartamento;
    DataSource* dtsLkpMovimento;

    // Closes the lookup, sets its member and whether every member's rows qualify ("S") or
    // only that member's ("N"), and opens it again.
    static void reabre(Dataset* lookup, int codAssociado, const QString& indTodos);

    // After post and after cancel of an employee.
    void qryFuncionarioAfterPost();
};
