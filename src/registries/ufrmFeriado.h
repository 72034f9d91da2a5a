#pragma once

#include "platform/widgets/DbComboBox.h"
#include "platform/widgets/DbDateEdit.h"
#include "registries/udtmFeriado.h"
#include "registries/ufrmCadastro.h"

class QLabel;
class QToolButton;

// The holidays the business-day rule reads: a description, a date, and whether the date is
// the same day and month every year.
class TfrmFeriado : public TfrmCadastro {
    Q_OBJECT
public:
    explicit TfrmFeriado(Connection* cnx, QWidget* parent = nullptr);

    TdtmFeriado* dtmFeriado = nullptr;

    QLabel* lblDescricao;
    DbEdit* DBEdit1;
    QLabel* lblData;
    DbDateEdit* DBDateEdit1;
    QLabel* lblDataFixa;
    DbComboBox* RxDBComboBox1;
    DbGrid* RxDBGrid1;
    // Beside the toolbar: adds the year's national holidays that are missing.
    QToolButton* btnGerarFeriados;

    // The list's painting: a check box in place of the flag's text.
    void RxDBGrid1DrawColumnCell(DbGridCell& cell);

public slots:
    void dtsFeriadoStateChange();
    void btnGerarFeriadosClick();

protected:
    void createDataModule() override;
    bool hasDataModule() const override { return dtmFeriado != nullptr; }
    Dataset* mainQuery() const override { return dtmFeriado->qryFeriado; }
    DataSource* mainSource() const override { return dtmFeriado->dtsFeriado; }
    QWidget* firstControl() const override { return DBEdit1; }
    SearchPrompt searchPrompt() const override;
    QList<SaveCheck> saveChecks() const override;
    QWidget* focusAfterSave() const override { return DBEdit1; }
    void mainStateChange() override { dtsFeriadoStateChange(); }
    void habilitaExtras() override;
};
