#pragma once

#include "platform/widgets/DbCurrencyEdit.h"
#include "platform/widgets/DbDateEdit.h"
#include "platform/widgets/DbLookupComboBox.h"
#include "registries/udtmFuncionario.h"
#include "registries/ufrmCadastro.h"

class QLabel;

// The members' employees: member, department and movement code, personal data, dates,
// salary and the account the salary is paid into. Once dropped down, the department and
// movement-code boxes offer only the chosen member's rows, until the employee is saved or
// cancelled.
class TfrmFuncionario : public TfrmCadastro {
    Q_OBJECT
public:
    explicit TfrmFuncionario(Connection* cnx, QWidget* parent = nullptr);

    TdtmFuncionario* dtmFuncionario = nullptr;

    QLabel* lblAssociado;
    DbLookupComboBox* RxDBLookupCombo1;
    QLabel* lblDepartamento;
    DbLookupComboBox* RxDBLookupCombo2;
    QLabel* lblNome;
    DbEdit* DBEdit1;
    QLabel* lblCpf;
    DbEdit* DBEdit2;
    QLabel* lblNascimento;
    DbDateEdit* DBDateEdit2;
    QLabel* lblIdentidade;
    DbEdit* DBEdit3;
    QLabel* lblAdmissao;
    DbDateEdit* DBDateEdit3;
    QLabel* lblDemissao;
    DbDateEdit* DBDateEdit1;
    QLabel* lblSalario;
    DbCurrencyEdit* DBEdit4;
    QLabel* lblConta;
    DbEdit* DBEdit5;
    QLabel* lblMovimento;
    DbLookupComboBox* RxDBLookupCombo3;
    DbGrid* RxDBGrid1;

public slots:
    void dtsFuncionarioStateChange();
    void RxDBLookupCombo2DropDown();
    void RxDBLookupCombo3DropDown();

protected:
    void createDataModule() override;
    bool hasDataModule() const override { return dtmFuncionario != nullptr; }
    Dataset* mainQuery() const override { return dtmFuncionario->qryFuncionario; }
    DataSource* mainSource() const override { return dtmFuncionario->dtsFuncionario; }
    void reopenQueries() override;
    QWidget* firstControl() const override { return RxDBLookupCombo1; }
    SearchPrompt searchPrompt() const override;
    QList<SaveCheck> saveChecks() const override;
    QWidget* focusAfterSave() const override { return RxDBLookupCombo1; }
    void mainStateChange() override { dtsFuncionarioStateChange(); }

private:
    // The member the member box shows (or showed last).
    int associadoMostrado() const;
};
