#pragma once

#include "platform/widgets/DbLookupComboBox.h"
#include "registries/udtmDepartamento.h"
#include "registries/ufrmCadastro.h"

class QLabel;

// The departments of the members: a member and a name each.
class TfrmDepartamento : public TfrmCadastro {
    Q_OBJECT
public:
    explicit TfrmDepartamento(Connection* cnx, QWidget* parent = nullptr);

    TdtmDepartamento* dtmDepartamento = nullptr;

    QLabel* lblAssociado;
    DbLookupComboBox* RxDBLookupCombo1;
    QLabel* lblNome;
    DbEdit* DBEdit1;
    DbGrid* RxDBGrid1;

public slots:
    void dtsDepartamentoStateChange();

protected:
    void createDataModule() override;
    bool hasDataModule() const override { return dtmDepartamento != nullptr; }
    Dataset* mainQuery() const override { return dtmDepartamento->qryDepartamento; }
    DataSource* mainSource() const override { return dtmDepartamento->dtsDepartamento; }
    void reopenQueries() override;
    QWidget* firstControl() const override { return RxDBLookupCombo1; }
    SearchPrompt searchPrompt() const override;
    QList<SaveCheck> saveChecks() const override;
    void mainStateChange() override { dtsDepartamentoStateChange(); }
};
