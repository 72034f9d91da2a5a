#include "registries/ufrmDepartamento.h"

#include <QGridLayout>
#include <QLabel>

TfrmDepartamento::TfrmDepartamento(Connection* cnx, QWidget* parent)
    : TfrmCadastro(cnx, QStringLiteral(" Cadastro de Departamento"), parent) {
    setObjectName(QStringLiteral("frmDepartamento"));

    auto* grid = new QGridLayout(editArea());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);

    lblAssociado = new QLabel(QStringLiteral("Associado"), editArea());
    lblAssociado->setObjectName(QStringLiteral("lblAssociado"));
    RxDBLookupCombo1 = new DbLookupComboBox(editArea());
    RxDBLookupCombo1->setObjectName(QStringLiteral("RxDBLookupCombo1"));
    RxDBLookupCombo1->setDropDownRows(8);
    RxDBLookupCombo1->setMinimumWidth(320);

    lblNome = new QLabel(QStringLiteral("Nome"), editArea());
    lblNome->setObjectName(QStringLiteral("lblNome"));
    DBEdit1 = new DbEdit(editArea());
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setMinimumWidth(320);

    grid->addWidget(lblAssociado, 0, 0);
    grid->addWidget(lblNome, 0, 1);
    grid->addWidget(RxDBLookupCombo1, 1, 0);
    grid->addWidget(DBEdit1, 1, 1);
    lblAssociado->setBuddy(RxDBLookupCombo1);
    lblNome->setBuddy(DBEdit1);
    setTabOrder(RxDBLookupCombo1, DBEdit1);

    RxDBGrid1 = mainGrid();
    RxDBGrid1->setMinimumSize(660, 260);
}

void TfrmDepartamento::createDataModule() {
    dtmDepartamento = new TdtmDepartamento(connection(), this);
    RxDBLookupCombo1->setListSource(dtmDepartamento->dtsLkpAssociado,
                                    QStringLiteral("cod_associado"),
                                    QStringLiteral("nom_associado"));
    RxDBLookupCombo1->setDataSource(dtmDepartamento->dtsDepartamento,
                                    QStringLiteral("cod_associado"));
    DBEdit1->setDataSource(dtmDepartamento->dtsDepartamento, QStringLiteral("nom_departamento"));
    RxDBGrid1->setColumns({QStringLiteral("nom_associado"), QStringLiteral("nom_departamento")});
    RxDBGrid1->setDataSource(dtmDepartamento->dtsDepartamento);
    RxDBGrid1->setColumnWidths({320, 320});
}

void TfrmDepartamento::reopenQueries() {
    TfrmCadastro::reopenQueries();
    dtmDepartamento->qryLkpAssociado->close();
    dtmDepartamento->qryLkpAssociado->open();
}

void TfrmDepartamento::dtsDepartamentoStateChange() {
    HabilitaBotoes();
}

TfrmCadastro::SearchPrompt TfrmDepartamento::searchPrompt() const {
    return {QStringLiteral("Digite o nome do departamento"), QStringLiteral("Departamento"),
            QStringLiteral("nom_departamento")};
}

QList<TfrmCadastro::SaveCheck> TfrmDepartamento::saveChecks() const {
    return {
        {[this] { return isBlank(RxDBLookupCombo1->currentText()); },
         QStringLiteral("Favor informar o associado!")},
        {[this] { return isBlank(DBEdit1->text()); },
         QStringLiteral("Favor informar o nome do departamento!")},
    };
}
