#pragma once

#include "platform/widgets/DbComboBox.h"
#include "registries/udtmAssociado.h"
#include "registries/ufrmCadastro.h"

class MovimentoDelegate;
class QHBoxLayout;
class QLabel;

// The members: name, type, taxpayer number, the bank, branch and agreement numbers and the
// destination of the member's movements; below them, the movement codes of the current
// member, edited in place in their own list with a toolbar of three buttons.
class TfrmAssociado : public TfrmCadastro {
    Q_OBJECT
public:
    explicit TfrmAssociado(Connection* cnx, QWidget* parent = nullptr);
    ~TfrmAssociado() override;

    TdtmAssociado* dtmAssociado = nullptr;

    QLabel* lblNome;
    DbEdit* DBEdit1;
    QLabel* lblTipo;
    DbComboBox* RxDBComboBox1;
    QLabel* lblCgcCpf;
    DbEdit* DBEdit2;
    QLabel* lblBanco;
    DbEdit* DBEdit6;
    QLabel* lblAgencia;
    DbEdit* DBEdit3;
    QLabel* lblConvenio;
    DbEdit* DBEdit5;
    QLabel* lblDestino;
    DbComboBox* RxDBComboBox2;
    // The members.
    DbGrid* RxDBGrid2;
    // The current member's movement codes, and their toolbar.
    DbGrid* RxDBGrid1;
    QToolButton* btnCancelarMV;
    QToolButton* btnExcluirMV;
    QToolButton* btnSalvarMV;

    void RxDBGrid2DrawColumnCell(DbGridCell& cell);

public slots:
    void dtsAssociadoStateChange();
    void dtsMovimentoStateChange();
    void RxDBComboBox1Change();
    void btnCancelarMVClick();
    void btnExcluirMVClick();
    void btnSalvarMVClick();

protected:
    void createDataModule() override;
    bool hasDataModule() const override { return dtmAssociado != nullptr; }
    Dataset* mainQuery() const override { return dtmAssociado->qryAssociado; }
    DataSource* mainSource() const override { return dtmAssociado->dtsAssociado; }
    QWidget* firstControl() const override { return DBEdit1; }
    SearchPrompt searchPrompt() const override;
    QList<SaveCheck> saveChecks() const override;
    QWidget* focusAfterInsert() const override { return DBEdit1; }
    QWidget* focusAfterSave() const override { return DBEdit1; }
    void habilitaExtras() override;
    void mainStateChange() override { dtsAssociadoStateChange(); }

private:
    QToolButton* makeMovementButton(const char* name, const QString& hint, int glyph);
    void habilitaMovimento(bool lista, bool cancelar, bool excluir, bool salvar);

    QHBoxLayout* m_movementBar = nullptr;
    MovimentoDelegate* m_celulas = nullptr;
};
