#include "registries/ufrmFuncionario.h"

#include "core/uGlobal.h"
#include "platform/data/DateCodec.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TfrmFuncionario::TfrmFuncionario(Connection* cnx, QWidget* parent)
    : TfrmCadastro(cnx, QStringLiteral(" Cadastro de Funcionário"), parent) {
    setObjectName(QStringLiteral("frmFuncionario"));

    auto* lines = new QVBoxLayout(editArea());
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(6);

    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, editArea());
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto lookup = [this](const char* name, int width) {
        auto* c = new DbLookupComboBox(editArea());
        c->setObjectName(QString::fromLatin1(name));
        c->setDropDownRows(8);
        c->setFixedWidth(width);
        return c;
    };
    auto date = [this](const char* name) {
        auto* d = new DbDateEdit(editArea());
        d->setObjectName(QString::fromLatin1(name));
        d->setFixedWidth(120);
        return d;
    };
    // Each box takes the limit of its field.
    auto box = [](auto* e, const char* name, int width) {
        e->setObjectName(QString::fromLatin1(name));
        e->setFixedWidth(width);
        return e;
    };

    lblAssociado = label("lblAssociado", QStringLiteral("Associado"));
    RxDBLookupCombo1 = lookup("RxDBLookupCombo1", 300);
    lblDepartamento = label("lblDepartamento", QStringLiteral("Departamento"));
    RxDBLookupCombo2 = lookup("RxDBLookupCombo2", 250);
    lblNome = label("lblNome", QStringLiteral("Nome"));
    DBEdit1 = box(new DbEdit(editArea()), "DBEdit1", 330);

    lblCpf = label("lblCpf", QStringLiteral("Cpf"));
    DBEdit2 = box(new DbEdit(editArea()), "DBEdit2", 120);
    useDigitsOnly(DBEdit2);
    lblNascimento = label("lblNascimento", QStringLiteral("Nascimento"));
    DBDateEdit2 = date("DBDateEdit2");
    lblIdentidade = label("lblIdentidade", QStringLiteral("Identidade"));
    DBEdit3 = box(new DbEdit(editArea()), "DBEdit3", 150);
    lblAdmissao = label("lblAdmissao", QStringLiteral("Admissão"));
    DBDateEdit3 = date("DBDateEdit3");
    lblDemissao = label("lblDemissao", QStringLiteral("Demissão"));
    DBDateEdit1 = date("DBDateEdit1");

    lblSalario = label("lblSalario", QStringLiteral("Salário"));
    DBEdit4 = box(new DbCurrencyEdit(editArea()), "DBEdit4", 120);
    lblConta = label("lblConta", QStringLiteral("Nº conta"));
    DBEdit5 = box(new DbEdit(editArea()), "DBEdit5", 120);
    lblMovimento = label("lblMovimento", QStringLiteral("Cód. movimento"));
    RxDBLookupCombo3 = lookup("RxDBLookupCombo3", 300);

    // Three lines: who and where; the person; the pay.
    auto* top = new QHBoxLayout;
    auto* middle = new QHBoxLayout;
    auto* bottom = new QHBoxLayout;
    auto pair = [](QHBoxLayout* line, QLabel* l, QWidget* w) {
        auto* col = new QVBoxLayout;
        col->setSpacing(2);
        col->addWidget(l);
        col->addWidget(w);
        line->addLayout(col);
        l->setBuddy(w);
    };
    pair(top, lblAssociado, RxDBLookupCombo1);
    pair(top, lblDepartamento, RxDBLookupCombo2);
    pair(top, lblNome, DBEdit1);
    pair(middle, lblCpf, DBEdit2);
    pair(middle, lblNascimento, DBDateEdit2);
    pair(middle, lblIdentidade, DBEdit3);
    pair(middle, lblAdmissao, DBDateEdit3);
    pair(middle, lblDemissao, DBDateEdit1);
    pair(bottom, lblSalario, DBEdit4);
    pair(bottom, lblConta, DBEdit5);
    pair(bottom, lblMovimento, RxDBLookupCombo3);
    for (QHBoxLayout* line : {top, middle, bottom}) {
        line->setSpacing(8);
        line->addStretch(1);
    }
    lines->addLayout(top);
    lines->addLayout(middle);
    lines->addLayout(bottom);

    setTabOrder(RxDBLookupCombo1, RxDBLookupCombo2);
    setTabOrder(RxDBLookupCombo2, DBEdit1);
    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, DBDateEdit2);
    setTabOrder(DBDateEdit2, DBEdit3);
    setTabOrder(DBEdit3, DBDateEdit3);
    setTabOrder(DBDateEdit3, DBDateEdit1);
    setTabOrder(DBDateEdit1, DBEdit4);
    setTabOrder(DBEdit4, DBEdit5);
    setTabOrder(DBEdit5, RxDBLookupCombo3);

    RxDBGrid1 = mainGrid();
    RxDBGrid1->setMinimumSize(1022, 260);

    connect(RxDBLookupCombo2, &DbLookupComboBox::dropDown, this,
            &TfrmFuncionario::RxDBLookupCombo2DropDown);
    connect(RxDBLookupCombo3, &DbLookupComboBox::dropDown, this,
            &TfrmFuncionario::RxDBLookupCombo3DropDown);
}

void TfrmFuncionario::createDataModule() {
    dtmFuncionario = new TdtmFuncionario(connection(), this);
    TdtmFuncionario* d = dtmFuncionario;
    RxDBLookupCombo1->setListSource(d->dtsLkpAssociado, QStringLiteral("cod_associado"),
                                    QStringLiteral("nom_associado"));
    RxDBLookupCombo1->setDataSource(d->dtsFuncionario, QStringLiteral("cod_associado"));
    RxDBLookupCombo2->setListSource(d->dtsDepartamento, QStringLiteral("cod_departamento"),
                                    QStringLiteral("nom_departamento"));
    RxDBLookupCombo2->setDataSource(d->dtsFuncionario, QStringLiteral("cod_departamento"));
    DBEdit1->setDataSource(d->dtsFuncionario, QStringLiteral("nom_funcionario"));
    DBEdit2->setDataSource(d->dtsFuncionario, QStringLiteral("num_cpf"));
    // A CPF has 11 digits, though the column holds more.
    DBEdit2->setLimit(11);
    DBDateEdit2->setDataSource(d->dtsFuncionario, QStringLiteral("dat_nascimento"));
    DBEdit3->setDataSource(d->dtsFuncionario, QStringLiteral("num_identidade"));
    DBDateEdit3->setDataSource(d->dtsFuncionario, QStringLiteral("dat_admissao"));
    DBDateEdit1->setDataSource(d->dtsFuncionario, QStringLiteral("dat_demissao"));
    DBEdit4->setDataSource(d->dtsFuncionario, QStringLiteral("vlr_salario"));
    DBEdit5->setDataSource(d->dtsFuncionario, QStringLiteral("num_cc_bancoob"));
    RxDBLookupCombo3->setListSource(d->dtsLkpMovimento, QStringLiteral("cod_movimento"),
                                    QStringLiteral("dsc_movimento"));
    RxDBLookupCombo3->setDataSource(d->dtsFuncionario, QStringLiteral("cod_movimento"));

    RxDBGrid1->setColumns({QStringLiteral("nom_associado"), QStringLiteral("nom_departamento"),
                           QStringLiteral("nom_funcionario"), QStringLiteral("num_cpf"),
                           QStringLiteral("dat_nascimento"), QStringLiteral("num_identidade"),
                           QStringLiteral("dat_admissao"), QStringLiteral("dat_demissao"),
                           QStringLiteral("vlr_salario"), QStringLiteral("num_cc_bancoob"),
                           QStringLiteral("num_cod_movimento")});
    RxDBGrid1->setDataSource(d->dtsFuncionario);
    RxDBGrid1->setColumnWidths({100, 96, 124, 104, 86, 84, 86, 86, 84, 66, 100});
}

void TfrmFuncionario::reopenQueries() {
    TfrmCadastro::reopenQueries();
    TdtmFuncionario* d = dtmFuncionario;
    d->qryLkpAssociado->close();
    d->qryLkpAssociado->open();
    // Read again, the members start on the first row; they stay on the one the box shows.
    const QVariant shown = RxDBLookupCombo1->shownKey();
    if (!shown.isNull())
        d->qryLkpAssociado->locate(QStringLiteral("cod_associado"), shown);
    d->qryLkpDepartamento->close();
    d->qryLkpDepartamento->open();
    TdtmFuncionario::reabre(d->qryLkpMovimento, 1, QStringLiteral("S"));
}

void TfrmFuncionario::dtsFuncionarioStateChange() {
    // Opened, saved or cancelled: the departments of every member again.
    if (dtmFuncionario->qryFuncionario->state() == Dataset::State::Browse)
        TdtmFuncionario::reabre(dtmFuncionario->qryLkpDepartamento, 1, QStringLiteral("S"));
    HabilitaBotoes();
}

int TfrmFuncionario::associadoMostrado() const {
    const Dataset* q = dtmFuncionario->qryLkpAssociado;
    if (!q->isOpen() || q->isEmpty())
        return 0;
    return q->asInteger(QStringLiteral("cod_associado"));
}

void TfrmFuncionario::RxDBLookupCombo2DropDown() {
    TdtmFuncionario::reabre(dtmFuncionario->qryLkpDepartamento, associadoMostrado(),
                            QStringLiteral("N"));
}

void TfrmFuncionario::RxDBLookupCombo3DropDown() {
    TdtmFuncionario::reabre(dtmFuncionario->qryLkpMovimento, associadoMostrado(),
                            QStringLiteral("N"));
}

TfrmCadastro::SearchPrompt TfrmFuncionario::searchPrompt() const {
    return {QStringLiteral("Digite o nome do funcionário"), QStringLiteral("Funcionário"),
            QStringLiteral("nom_funcionario")};
}

QList<TfrmCadastro::SaveCheck> TfrmFuncionario::saveChecks() const {
    return {
        {[this] { return isBlank(DBEdit1->text()); },
         QStringLiteral("Favor informar o nome do funcionário!")},
        {[this] { return DBDateEdit3->displayText() == DateCodec::EmptyMask; },
         QStringLiteral("Favor informar a data de admissão do funcionário!")},
        {[this] { return isBlank(DBEdit4->text()); },
         QStringLiteral("Favor informar o salário do funcionário!")},
        {[this] { return isBlank(DBEdit5->text()); },
         QStringLiteral("Favor informar o número da conta do\n\rfuncionário para crédito do "
                        "salário!")},
        {[this] { return DBEdit2->text().size() != 11; },
         QStringLiteral("O número informado não corresponde a um Cpf!")},
        {[this] { return !ValidaCPF(DBEdit2->text()); },
         QStringLiteral("O Cpf informado é inválido!")},
    };
}
