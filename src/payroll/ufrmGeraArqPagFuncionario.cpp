#include "payroll/ufrmGeraArqPagFuncionario.h"

#include "platform/data/DbError.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/files/RecordFile.h"
#include "platform/widgets/DbDateEdit.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/DbLookupComboBox.h"
#include "platform/widgets/ScreenCursor.h"
#include "platform/widgets/SelectionBar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Informacao = QStringLiteral("Informação");
const QString ProximoDiaUtil = QStringLiteral("Próximo dia útil");

QLabel* rotulo(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

} // namespace

TfrmGeraArqPagFuncionario::TfrmGeraArqPagFuncionario(Connection* cnx, QWidget* parent)
    : ScreenFrame(QStringLiteral(" Gerar Arquivo Pagamento Salário"), parent), m_cnx(cnx) {
    setObjectName(QStringLiteral("frmGeraArqPagFuncionario"));

    body()->addWidget(rotulo(QStringLiteral("Selecione o Associado desejado"), this));
    RxDBGrid1 = new DbGrid(this);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    RxDBGrid1->setMinimumSize(760, 150);
    RxDBGrid1->onDrawColumnCell = &DbGrid::paintCurrentRow;
    RxDBGrid1->installEventFilter(this);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* pesquisar = PopupMenu1->addAction(QStringLiteral("Pesquisar"));
    pesquisar->setObjectName(QStringLiteral("Pesquisar1"));
    connect(pesquisar, &QAction::triggered, this, &TfrmGeraArqPagFuncionario::Pesquisar1Click);
    RxDBGrid1->setPopupMenu(PopupMenu1);
    body()->addWidget(RxDBGrid1);

    auto* criterios = new QGridLayout;
    DateEdit1 = new DbDateEdit(this);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setFixedWidth(110);
    UAnoMes1 = new TUAnoMes(this);
    UAnoMes1->setObjectName(QStringLiteral("UAnoMes1"));
    UAnoMes1->SetReferencia(QStringLiteral("200701"));
    UAnoMes1->SetButtonsEnabled(TButtonEnabled::beAno | TButtonEnabled::beMes);
    UAnoMes1->SetReadOnly(true);
    UAnoMes1->setFixedSize(90, DateEdit1->sizeHint().height());
    RxDBLookupCombo1 = new DbLookupComboBox(this);
    RxDBLookupCombo1->setObjectName(QStringLiteral("RxDBLookupCombo1"));
    RxDBLookupCombo1->setDropDownRows(8);
    RxDBLookupCombo1->setMinimumWidth(240);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({ProximoDiaUtil, QStringLiteral("Dia útil anterior")});
    criterios->addWidget(rotulo(QStringLiteral("Data pagamento"), this), 0, 0);
    criterios->addWidget(rotulo(QStringLiteral("Mês referência"), this), 0, 1);
    criterios->addWidget(rotulo(QStringLiteral("Cód. movimento"), this), 0, 2);
    criterios->addWidget(rotulo(QStringLiteral("Tratamento feriado"), this), 0, 3);
    criterios->addWidget(DateEdit1, 1, 0);
    criterios->addWidget(UAnoMes1, 1, 1);
    criterios->addWidget(RxDBLookupCombo1, 1, 2);
    criterios->addWidget(ComboBox1, 1, 3);
    criterios->setColumnStretch(4, 1);
    body()->addLayout(criterios);

    body()->addWidget(rotulo(QStringLiteral("Relação de funcionários"), this));
    RxDBGrid2 = new DbGrid(this);
    RxDBGrid2->setObjectName(QStringLiteral("RxDBGrid2"));
    RxDBGrid2->setMinimumSize(760, 220);
    RxDBGrid2->setMultiSelect(true);
    RxDBGrid2->onDrawColumnCell = &DbGrid::paintCurrentRow;
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    QAction* todos = PopupMenu2->addAction(QStringLiteral("Selecionar todos"));
    todos->setObjectName(QStringLiteral("Selecionartodos1"));
    connect(todos, &QAction::triggered, this, &TfrmGeraArqPagFuncionario::Selecionartodos1Click);
    QAction* desfazer = PopupMenu2->addAction(QStringLiteral("Desfazer seleção"));
    desfazer->setObjectName(QStringLiteral("Desfazerseleo1"));
    connect(desfazer, &QAction::triggered, this, &TfrmGeraArqPagFuncionario::Desfazerseleo1Click);
    RxDBGrid2->setPopupMenu(PopupMenu2);
    body()->addWidget(RxDBGrid2);

    auto* rodape = new QHBoxLayout;
    SpeedButton1 = new QPushButton(QStringLiteral("Gerar arquivo"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    connect(SpeedButton1, &QPushButton::clicked, this,
            &TfrmGeraArqPagFuncionario::SpeedButton1Click);
    barra = new SelectionBar(QStringLiteral("Registros gerados:"), this);
    rodape->addWidget(SpeedButton1);
    rodape->addSpacing(12);
    rodape->addWidget(barra, 1);
    body()->addLayout(rodape);

    setTabOrder(DateEdit1, RxDBLookupCombo1);
    setTabOrder(RxDBLookupCombo1, ComboBox1);
    setTabOrder(ComboBox1, RxDBGrid2);

    connect(RxDBLookupCombo1, &DbLookupComboBox::dropDown, this,
            &TfrmGeraArqPagFuncionario::RxDBLookupCombo1DropDown);
    connect(RxDBLookupCombo1, &DbLookupComboBox::closeUp, this,
            &TfrmGeraArqPagFuncionario::RxDBLookupCombo1CloseUp);
    // A pick is written after the list closed up (and a pick with the keys has no drop-down):
    // every pick reads the employee list again, the same code too.
    connect(RxDBLookupCombo1, &DbLookupComboBox::changed, this,
            &TfrmGeraArqPagFuncionario::RxDBLookupCombo1Change);
}

void TfrmGeraArqPagFuncionario::showEvent(QShowEvent* event) {
    ScreenFrame::showEvent(event);
    FormShow();
}

void TfrmGeraArqPagFuncionario::FormShow() {
    if (!dtmGeraArqPagFuncionario) {
        dtmGeraArqPagFuncionario = new TdtmGeraArqPagFuncionario(m_cnx, this);
        TdtmGeraArqPagFuncionario* d = dtmGeraArqPagFuncionario;
        RxDBGrid1->setColumns({QStringLiteral("nom_associado"), QStringLiteral("idt_tpo_associado"),
                               QStringLiteral("num_cgc_cpf"), QStringLiteral("num_bancoob"),
                               QStringLiteral("num_ag_bancoob"), QStringLiteral("num_conv_bancoob"),
                               QStringLiteral("idt_dst_mov_bancoob")});
        RxDBGrid1->setDataSource(&d->dtsAssociado);
        RxDBGrid1->setColumnWidths({260, 40, 130, 70, 70, 80, 80});
        RxDBLookupCombo1->setListSource(&d->dtsLkpMovimento, QStringLiteral("cod_movimento"),
                                        QStringLiteral("dsc_movimento"));
        RxDBGrid2->setColumns({QStringLiteral("nom_departamento"),
                               QStringLiteral("nom_funcionario"), QStringLiteral("num_cpf"),
                               QStringLiteral("num_cc_bancoob"), QStringLiteral("vlr_salario")});
        RxDBGrid2->setDataSource(&d->dtsFuncionario);
        RxDBGrid2->setColumnWidths({170, 260, 120, 100, 100});
    }
    TdtmGeraArqPagFuncionario* d = dtmGeraArqPagFuncionario;
    d->qryAssociado.close();
    d->qryAssociado.open();
    d->qryLkpMovimento.close();
    d->qryLkpMovimento.open();
    d->qryFuncionario.close();
    DateEdit1->clear();
    RxDBLookupCombo1->setKeyValue(QVariant());
    d->codMovimento = QVariant();
    ComboBox1->setCurrentIndex(0);
    DateEdit1->setFocus();
}

bool TfrmGeraArqPagFuncionario::eventFilter(QObject* watched, QEvent* event) {
    if (watched == RxDBGrid1 && event->type() == QEvent::FocusIn)
        RxDBGrid1Enter();
    return ScreenFrame::eventFilter(watched, event);
}

void TfrmGeraArqPagFuncionario::RxDBGrid1Enter() {
    if (!dtmGeraArqPagFuncionario)
        return;
    dtmGeraArqPagFuncionario->qryFuncionario.close();
    RxDBLookupCombo1->setKeyValue(QVariant());
    dtmGeraArqPagFuncionario->codMovimento = QVariant();
}

void TfrmGeraArqPagFuncionario::RxDBLookupCombo1DropDown() {
    Dataset& q = dtmGeraArqPagFuncionario->qryLkpMovimento;
    q.close();
    q.open();
}

void TfrmGeraArqPagFuncionario::RxDBLookupCombo1CloseUp() {
    TdtmGeraArqPagFuncionario* d = dtmGeraArqPagFuncionario;
    const QVariant escolhido = RxDBLookupCombo1->keyValue();
    // The list already open for the code shown is not read again: its selection stays (a pick
    // is read by the change that follows).
    const int codigo = escolhido.isNull() ? 0 : escolhido.toInt();
    if (d->qryFuncionario.isOpen() &&
        d->qryFuncionario.param(QStringLiteral("pCodMovimento")).toInt() == codigo &&
        d->qryFuncionario.param(QStringLiteral("pCodAssociado")).toInt() ==
            (d->qryAssociado.isEmpty()
                 ? 0
                 : d->qryAssociado.asInteger(QStringLiteral("cod_associado"))))
        return;
    d->codMovimento = escolhido;
    reabreFuncionarios();
}

void TfrmGeraArqPagFuncionario::RxDBLookupCombo1Change() {
    dtmGeraArqPagFuncionario->codMovimento = RxDBLookupCombo1->keyValue();
    reabreFuncionarios();
}

void TfrmGeraArqPagFuncionario::reabreFuncionarios() {
    const ScreenCursor::Busy ampulheta;
    Dataset& q = dtmGeraArqPagFuncionario->qryFuncionario;
    q.close();
    q.open();
}

void TfrmGeraArqPagFuncionario::Pesquisar1Click() {
    const QString nome = Dialogs::inputBox(QStringLiteral("Digite o nome do associado"),
                                           QStringLiteral("Associado"), QString());
    if (!nome.isEmpty())
        dtmGeraArqPagFuncionario->qryAssociado.locate(QStringLiteral("nom_associado"), nome);
}

void TfrmGeraArqPagFuncionario::Selecionartodos1Click() {
    RxDBGrid2->selectAllRows();
}

void TfrmGeraArqPagFuncionario::Desfazerseleo1Click() {
    RxDBGrid2->clearRowSelection();
}

void TfrmGeraArqPagFuncionario::informa(const QString& text) {
    Dialogs::messageBox(this, text, Informacao);
}

void TfrmGeraArqPagFuncionario::SpeedButton1Click() {
    TdtmGeraArqPagFuncionario* d = dtmGeraArqPagFuncionario;
    const QList<Bookmark> selecionados = RxDBGrid2->selectedRows();
    barra->start(int(selecionados.size()));
    if (selecionados.isEmpty()) {
        informa(QStringLiteral("Selecione os funcionários a serem\n\rincluídos no arquivo de "
                               "pagamento!"));
        return;
    }
    if (DateEdit1->isEmptyMask()) {
        informa(QStringLiteral("Favor informar a data do pagamento!"));
        return;
    }
    const QString referencia = UAnoMes1->GetReferencia();
    if (referencia.isEmpty()) {
        informa(QStringLiteral("Favor informar o mês de referência do pagamento!"));
        return;
    }
    // Every value must fit its place in the file before anything is asked or recorded.
    try {
        d->verificaCampos(selecionados);
    } catch (const CampoInvalido& e) {
        informa(e.message());
        return;
    } catch (const RelacaoDesatualizada& e) {
        informa(e.message());
        return;
    }
    if (Dialogs::messageDlg(QStringLiteral("Tem certeza de que deseja gerar o arquivo\n\rde "
                                           "pagamento para estes funcionários?"),
                            Dialogs::Kind::Confirmation,
                            {Dialogs::Button::Yes, Dialogs::Button::No, Dialogs::Button::Cancel}) !=
        Dialogs::Button::Yes)
        return;
    const QString arquivo = Dialogs::saveFile(this, QCoreApplication::applicationDirPath(),
                                              QStringLiteral("txt"), QStringLiteral("*.txt"));
    if (arquivo.isEmpty())
        return;

    TdtmGeraArqPagFuncionario::Pedido pedido;
    pedido.arquivo = arquivo;
    pedido.dataDigitada = DateEdit1->displayText();
    pedido.mesReferencia = referencia;
    pedido.tratamento =
        ComboBox1->currentText() == ProximoDiaUtil ? QStringLiteral("P") : QStringLiteral("A");
    pedido.selecionados = selecionados;
    pedido.progresso = [this](int i) {
        barra->setProgress(i);
        if (i > 0)
            barra->setDone(i);
    };
    try {
        const ScreenCursor::Busy ampulheta;
        d->geraArquivo(pedido);
    } catch (const RelacaoDesatualizada& e) {
        barra->setProgress(0);
        informa(e.message());
        return;
    } catch (const std::exception& e) {
        barra->setProgress(0);
        Dialogs::messageDlg(QStringLiteral("Ocorreu um erro inesperado ao gerar o arquivo: ") +
                                QString::fromStdString(e.what()),
                            Dialogs::Kind::Error, {Dialogs::Button::Ok});
        return;
    }
    barra->reset();
    informa(QStringLiteral("Arquivo gerado com sucesso!!"));

    d->qryFuncionario.close();
    DateEdit1->clear();
    RxDBLookupCombo1->setKeyValue(QVariant());
    d->codMovimento = QVariant();
    ComboBox1->setCurrentIndex(0);
    DateEdit1->setFocus();
}
