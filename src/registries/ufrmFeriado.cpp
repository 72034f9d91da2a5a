#include "registries/ufrmFeriado.h"

#include "core/Feriados.h"
#include "platform/data/DateCodec.h"
#include "platform/dialogs/Dialogs.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>

TfrmFeriado::TfrmFeriado(Connection* cnx, QWidget* parent)
    : TfrmCadastro(cnx, QStringLiteral(" Cadastro de Feriado"), parent) {
    setObjectName(QStringLiteral("frmFeriado"));

    auto* grid = new QGridLayout(editArea());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);

    lblDescricao = new QLabel(QStringLiteral("Descrição"), editArea());
    lblDescricao->setObjectName(QStringLiteral("lblDescricao"));
    DBEdit1 = new DbEdit(editArea());
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setMinimumWidth(340);

    lblData = new QLabel(QStringLiteral("Data"), editArea());
    lblData->setObjectName(QStringLiteral("lblData"));
    DBDateEdit1 = new DbDateEdit(editArea());
    DBDateEdit1->setObjectName(QStringLiteral("DBDateEdit1"));
    DBDateEdit1->setFixedWidth(120);

    lblDataFixa = new QLabel(QStringLiteral("Data fixa?"), editArea());
    lblDataFixa->setObjectName(QStringLiteral("lblDataFixa"));
    RxDBComboBox1 = new DbComboBox(editArea());
    RxDBComboBox1->setObjectName(QStringLiteral("RxDBComboBox1"));
    RxDBComboBox1->setEntries(
        {{QStringLiteral("Sim"), QVariant(true)}, {QStringLiteral("Não"), QVariant(false)}});
    RxDBComboBox1->setMinimumWidth(90);

    grid->addWidget(lblDescricao, 0, 0);
    grid->addWidget(lblData, 0, 1);
    grid->addWidget(lblDataFixa, 0, 2);
    grid->addWidget(DBEdit1, 1, 0);
    grid->addWidget(DBDateEdit1, 1, 1);
    grid->addWidget(RxDBComboBox1, 1, 2);
    grid->setColumnStretch(3, 1);
    lblDescricao->setBuddy(DBEdit1);
    lblData->setBuddy(DBDateEdit1);
    lblDataFixa->setBuddy(RxDBComboBox1);
    setTabOrder(DBEdit1, DBDateEdit1);
    setTabOrder(DBDateEdit1, RxDBComboBox1);

    // After the nine picture buttons, apart from them, and like them out of the tab order.
    btnGerarFeriados = new QToolButton(toolbar());
    btnGerarFeriados->setObjectName(QStringLiteral("btnGerarFeriados"));
    btnGerarFeriados->setText(QStringLiteral("Gerar feriados do ano"));
    btnGerarFeriados->setToolTip(QStringLiteral("Gerar feriados do ano"));
    btnGerarFeriados->setFocusPolicy(Qt::NoFocus);
    btnGerarFeriados->setFixedHeight(btnInserir->sizeHint().height());
    btnGerarFeriados->setEnabled(false);
    if (auto* row = qobject_cast<QHBoxLayout*>(toolbar()->layout())) {
        // The row ends with a stretch: the button goes before it.
        const int end = row->count() - 1;
        row->insertSpacing(end, 12);
        row->insertWidget(end + 1, btnGerarFeriados);
    }
    connect(btnGerarFeriados, &QToolButton::clicked, this, &TfrmFeriado::btnGerarFeriadosClick);

    RxDBGrid1 = mainGrid();
    RxDBGrid1->setMinimumSize(600, 260);
    RxDBGrid1->onDrawColumnCell = [this](DbGridCell& cell) { RxDBGrid1DrawColumnCell(cell); };
}

void TfrmFeriado::createDataModule() {
    dtmFeriado = new TdtmFeriado(connection(), this);
    DBEdit1->setDataSource(dtmFeriado->dtsFeriado, QStringLiteral("dsc_feriado"));
    DBDateEdit1->setDataSource(dtmFeriado->dtsFeriado, QStringLiteral("dat_feriado"));
    RxDBComboBox1->setDataSource(dtmFeriado->dtsFeriado, QStringLiteral("ind_dia_fixo"));
    RxDBGrid1->setColumns({QStringLiteral("dsc_feriado"), QStringLiteral("dat_feriado"),
                           QStringLiteral("ind_dia_fixo")});
    RxDBGrid1->setDataSource(dtmFeriado->dtsFeriado);
    RxDBGrid1->setColumnWidths({340, 110, 90});
}

void TfrmFeriado::dtsFeriadoStateChange() {
    HabilitaBotoes();
}

void TfrmFeriado::habilitaExtras() {
    btnGerarFeriados->setEnabled(mainQuery()->state() == Dataset::State::Browse);
}

void TfrmFeriado::btnGerarFeriadosClick() {
    if (mainQuery()->state() != Dataset::State::Browse)
        return;
    const QString typed =
        Dialogs::inputBox(QStringLiteral("Gerar feriados do ano"), QStringLiteral("Ano"),
                          QString::number(QDate::currentDate().year()));
    if (typed.isEmpty())
        return; // "Cancela"
    bool number = false;
    const int ano = typed.trimmed().toInt(&number);
    if (!number || ano < 1900 || ano > 2199) {
        showAttention(QStringLiteral("Favor informar um ano entre 1900 e 2199!"));
        return;
    }
    // A failure goes to the general error display; the list is re-read only after a commit.
    const int incluidos = Feriados::incluiAno(*connection(), ano);
    Dialogs::messageDlg(Feriados::descreveInclusao(incluidos), Dialogs::Kind::Information,
                        {Dialogs::Button::Ok});
    reopenQueries();
    HabilitaBotoes();
}

TfrmCadastro::SearchPrompt TfrmFeriado::searchPrompt() const {
    return {QStringLiteral("Digite a descrição do feriado"), QStringLiteral("Feriado"),
            QStringLiteral("dsc_feriado")};
}

QList<TfrmCadastro::SaveCheck> TfrmFeriado::saveChecks() const {
    return {
        {[this] { return isBlank(DBEdit1->text()); },
         QStringLiteral("Favor informar a descrição do feriado!")},
        {[this] { return DBDateEdit1->displayText() == DateCodec::EmptyMask; },
         QStringLiteral("Favor informar a data do feriado!")},
        {[this] { return RxDBComboBox1->currentText().isEmpty(); },
         QStringLiteral("Favor informar se o feriado é nacional ou não!")},
    };
}

void TfrmFeriado::RxDBGrid1DrawColumnCell(DbGridCell& cell) {
    const Dataset* q = cell.grid->dataset();
    if (!q || !q->isOpen() || q->isEmpty())
        return;
    if (cell.field != QLatin1String("ind_dia_fixo"))
        return;
    const QRect box = cell.rect.adjusted(1, 1, -1, -1);
    // Away with the "Sim"/"Não" the list wrote; the current row keeps its selection colour.
    cell.fill();
    const QVariant v = cell.value();
    const bool ticked = !v.isNull() && v.toBool();

    const QStyle* style = cell.grid->style();
    QStyleOptionButton opt;
    opt.initFrom(cell.grid);
    // A white box, as on any check box, whatever the list's background.
    opt.palette.setColor(QPalette::Base, Qt::white);
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &opt, cell.grid);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &opt, cell.grid);
    opt.rect = QRect(0, 0, qMin(w, box.width()), qMin(h, box.height()));
    opt.rect.moveCenter(box.center());
    opt.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
    cell.painter->setClipRect(box);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, cell.painter, cell.grid);
}
