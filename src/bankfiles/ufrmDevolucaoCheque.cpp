#include "bankfiles/ufrmDevolucaoCheque.h"

#include "bankfiles/udtmGeraArqDepositoCustodia.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/Colors.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/DigitLineEdit.h"
#include "platform/widgets/ScreenCursor.h"
#include "platform/widgets/SelectionBar.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmDevolucaoCheque::TfrmDevolucaoCheque(Connection* cnx, QWidget* parent)
    : ScreenFrame(QStringLiteral(" Develução de Cheque"), parent), m_cnx(cnx) {
    setObjectName(QStringLiteral("frmDevolucaoCheque"));

    auto* gbLotes = new QGroupBox(QStringLiteral("Selecione o Lote desejado"), this);
    auto* ll = new QVBoxLayout(gbLotes);
    RxDBGrid1 = new DbGrid(gbLotes);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    RxDBGrid1->setMinimumSize(860, 200);
    ll->addWidget(RxDBGrid1);
    body()->addWidget(gbLotes);

    auto* gbCheques = new QGroupBox(QStringLiteral("Relação de cheques capturados"), this);
    auto* lc = new QVBoxLayout(gbCheques);
    auto* busca = new QHBoxLayout;
    edLinhaCheque = new DigitLineEdit(TamanhoLinhaCheque, BrancosLinhaCheque, gbCheques);
    edLinhaCheque->setObjectName(QStringLiteral("edLinhaCheque"));
    edLinhaCheque->setMinimumWidth(300);
    auto* lblLinha =
        new QLabel(QStringLiteral("Linha do cheque (digite ou passe o leitor):"), gbCheques);
    lblLinha->setBuddy(edLinhaCheque);
    busca->addWidget(lblLinha);
    busca->addWidget(edLinhaCheque);
    busca->addStretch(1);
    lc->addLayout(busca);
    connect(edLinhaCheque, &DigitLineEdit::entered, this, &TfrmDevolucaoCheque::edLinhaChequeEnter);
    RxDBGrid2 = new DbGrid(gbCheques);
    RxDBGrid2->setObjectName(QStringLiteral("RxDBGrid2"));
    RxDBGrid2->setMinimumSize(920, 220); // every column in view, "Alínea" the last
    RxDBGrid2->setMultiSelect(true);
    RxDBGrid2->setContextMenuPolicy(Qt::NoContextMenu);
    lc->addWidget(RxDBGrid2);
    body()->addWidget(gbCheques);

    auto* rodape = new QHBoxLayout;
    SpeedButton1 = new QPushButton(QStringLiteral("Devolver"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    bar = new SelectionBar(QStringLiteral("Registros devolvidos:"), this);
    cbAlinea = new QComboBox(this);
    cbAlinea->setObjectName(QStringLiteral("cbAlinea"));
    cbAlinea->setMinimumContentsLength(28);
    cbAlinea->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* lblAlinea = new QLabel(QStringLiteral("Alínea"), this);
    lblAlinea->setBuddy(cbAlinea);
    rodape->addWidget(SpeedButton1);
    rodape->addSpacing(8);
    rodape->addWidget(lblAlinea);
    rodape->addWidget(cbAlinea);
    rodape->addSpacing(12);
    rodape->addWidget(bar, 1);
    body()->addLayout(rodape);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Pesquisar1 = PopupMenu1->addAction(QStringLiteral("Pesquisar"));
    Pesquisar1->setObjectName(QStringLiteral("Pesquisar1"));
    RxDBGrid1->setPopupMenu(PopupMenu1);
    connect(Pesquisar1, &QAction::triggered, this, &TfrmDevolucaoCheque::Pesquisar1Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TfrmDevolucaoCheque::SpeedButton1Click);

    RxDBGrid1->onDrawColumnCell = &DbGrid::paintCurrentRow;
    RxDBGrid2->onDrawColumnCell = &DbGrid::paintCurrentRow;
}

void TfrmDevolucaoCheque::showEvent(QShowEvent* event) {
    ScreenFrame::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmDevolucaoCheque::FormShow() {
    if (!dtmDevolucaoCheque) {
        dtmDevolucaoCheque = new TdtmDevolucaoCheque(m_cnx, this);
        RxDBGrid1->setColumns({QStringLiteral("nom_associado"), QStringLiteral("num_lote"),
                               QStringLiteral("idt_dep_custodia"), QStringLiteral("ind_gerado"),
                               QStringLiteral("dat_lote")});
        RxDBGrid1->setDataSource(&dtmDevolucaoCheque->dtsLoteCheque);
        RxDBGrid1->setColumnWidths({400, 80, 90, 70, 90});
        RxDBGrid2->setColumns(
            {QStringLiteral("num_banco"), QStringLiteral("num_agencia"), QStringLiteral("num_dv2"),
             QStringLiteral("num_compe"), QStringLiteral("num_cheque"),
             QStringLiteral("num_tipificacao"), QStringLiteral("num_dv1"),
             QStringLiteral("num_conta"), QStringLiteral("num_dv3"), QStringLiteral("vlr_cheque"),
             QStringLiteral("dat_deposito"), QStringLiteral("ind_devolvido"),
             QStringLiteral("dat_reapresentacao"), QStringLiteral("dat_2reapresentacao"),
             QStringLiteral("num_alinea")});
        RxDBGrid2->setDataSource(&dtmDevolucaoCheque->dtsCheque);
        RxDBGrid2->setColumnWidths({45, 55, 35, 45, 70, 40, 35, 90, 35, 100, 80, 40, 80, 85, 45});
    }
    carregaAlineas();
    bar->reset();
    dtmDevolucaoCheque->qryLoteCheque.close();
    dtmDevolucaoCheque->qryLoteCheque.open();
    RxDBGrid1->setFocus();
}

void TfrmDevolucaoCheque::Pesquisar1Click() {
    const QString texto =
        Dialogs::inputBox(QStringLiteral("Digite o número do Lote"), QStringLiteral("Lote"));
    if (texto.isEmpty())
        return;
    dtmDevolucaoCheque->qryLoteCheque.locate(QStringLiteral("num_lote"), texto,
                                             Dataset::CaseInsensitive | Dataset::PartialKey);
}

void TfrmDevolucaoCheque::SpeedButton1Click() {
    Dataset& q = dtmDevolucaoCheque->qryCheque;
    // The selected rows are read in place: moving the cursor to each would redraw the grid and
    // search the rows once per cheque.
    const QList<int> selecionados = RxDBGrid2->selectedRowNumbers();
    if (selecionados.isEmpty()) {
        Dialogs::messageBox(this, QStringLiteral("Selecione os cheques a serem devolvidos!"),
                            QStringLiteral("Atenção"));
        return;
    }
    bar->start(int(selecionados.size()));
    // A cheque re-presented twice is passed over; the counter shows how many are accepted. The
    // cursor ends on the last selected cheque.
    QList<int> codigos;
    for (int row : selecionados)
        if (q.valueAt(row, QStringLiteral("dat_2reapresentacao")).isNull())
            codigos << q.valueAt(row, QStringLiteral("cod_cheque")).toInt();
    q.gotoBookmark(q.bookmarkAt(selecionados.last()));
    bar->setProgress(int(selecionados.size()));
    bar->setDone(int(codigos.size()));
    if (codigos.isEmpty()) {
        Dialogs::messageBox(this,
                            QStringLiteral("Os cheques selecionados excederam a\n\rquantidade "
                                           "limite de vezes para devolução!"),
                            QStringLiteral("Informação"));
        bar->reset();
        RxDBGrid2->clearRowSelection();
        return;
    }
    try {
        ScreenCursor::Busy busy;
        dtmDevolucaoCheque->devolve(codigos, alineaEscolhida());
    } catch (const AlteradoPorOutraEstacao& e) {
        // The lot is no longer generated: it leaves the list.
        bar->reset();
        Dialogs::messageBox(this, e.message(), QStringLiteral("Atenção"));
        dtmDevolucaoCheque->qryLoteCheque.close();
        dtmDevolucaoCheque->qryLoteCheque.open();
        return;
    } catch (...) {
        bar->reset();
        throw; // the general error display tells what failed
    }
    Dialogs::messageBox(this, QStringLiteral("Alteração realizada com sucesso!!"),
                        QStringLiteral("Informação"));
    q.close();
    q.open();
    bar->reset();
}

void TfrmDevolucaoCheque::carregaAlineas() {
    // The reasons as the table holds them now; the one chosen stays chosen while listed.
    const int escolhida = alineaEscolhida();
    Dataset& q = dtmDevolucaoCheque->qryAlinea;
    q.close();
    q.open();
    cbAlinea->clear();
    cbAlinea->addItem(QString(), 0);
    for (q.first(); !q.eof(); q.next())
        cbAlinea->addItem(q.asString(QStringLiteral("num_alinea")) + QStringLiteral(" - ") +
                              q.asString(QStringLiteral("dsc_alinea")),
                          q.asInteger(QStringLiteral("cod_alinea")));
    q.close();
    cbAlinea->setCurrentIndex(qMax(0, cbAlinea->findData(escolhida)));
    // The box shows the start of a reason; its list shows each one whole.
    cbAlinea->view()->setMinimumWidth(cbAlinea->view()->sizeHintForColumn(0) + 24);
}

int TfrmDevolucaoCheque::alineaEscolhida() const {
    return cbAlinea->currentData().toInt();
}

void TfrmDevolucaoCheque::recusaLinha(const QString& texto, bool limpa) {
    Dialogs::messageDlg(texto, Dialogs::Kind::Warning, {Dialogs::Button::Ok});
    if (limpa)
        edLinhaCheque->clear();
    else
        edLinhaCheque->selectAll();
    edLinhaCheque->setFocus();
}

void TfrmDevolucaoCheque::edLinhaChequeEnter() {
    const QString digitos = edLinhaCheque->digits();
    if (digitos.size() < TamanhoLinhaCheque)
        return recusaLinha(MensagemLinhaIncompleta(), false);
    const QChar r = ValidaLinhaCheque(digitos);
    if (r != QLatin1Char('0'))
        return recusaLinha(MensagemLinhaCheque(r), true);
    const LinhaCheque linha = SeparaLinhaCheque(digitos);
    edLinhaCheque->setText(linha.formatted());
    const auto cheque = dtmDevolucaoCheque->localiza(linha);
    if (!cheque)
        return recusaLinha(QStringLiteral("Nenhum cheque capturado tem esta linha!"), false);
    if (!cheque->loteGerado)
        return recusaLinha(QStringLiteral("O cheque é do lote %1, cujo arquivo ainda não foi "
                                          "gerado!")
                               .arg(cheque->numLote),
                           false);
    if (cheque->reapresentadoDuasVezes)
        return recusaLinha(QStringLiteral("O cheque já foi reapresentado duas vezes e excedeu a\n\r"
                                          "quantidade limite de vezes para devolução!"),
                           false);

    Dataset& lotes = dtmDevolucaoCheque->qryLoteCheque;
    if (lotes.isEmpty() || lotes.asInteger(QStringLiteral("cod_lote")) != cheque->codLote) {
        const int marcados = RxDBGrid2->selectedCount();
        if (marcados > 0 &&
            Dialogs::messageDlg(QStringLiteral("O cheque é do lote %1. Os %2 cheque(s) "
                                               "selecionado(s) do lote %3 deixarão de estar "
                                               "selecionados.\n\rDeseja continuar?")
                                    .arg(cheque->numLote)
                                    .arg(marcados)
                                    .arg(lotes.asString(QStringLiteral("num_lote"))),
                                Dialogs::Kind::Confirmation,
                                {Dialogs::Button::Yes, Dialogs::Button::No}) !=
                Dialogs::Button::Yes) {
            edLinhaCheque->selectAll();
            edLinhaCheque->setFocus();
            return;
        }
        // A lot generated by another copy after the list was read is not in it yet.
        int linha = linhaDoLote(cheque->codLote);
        if (linha < 0) {
            lotes.close();
            lotes.open();
            linha = linhaDoLote(cheque->codLote);
        }
        if (linha >= 0)
            lotes.moveTo(linha);
    }
    Dataset& cheques = dtmDevolucaoCheque->qryCheque;
    if (cheques.locate(QStringLiteral("cod_cheque"), cheque->codCheque))
        RxDBGrid2->setRowSelected(cheques.currentRow(), true);
    edLinhaCheque->clear();
    edLinhaCheque->setFocus();
}

int TfrmDevolucaoCheque::linhaDoLote(int codLote) const {
    return dtmDevolucaoCheque->qryLoteCheque.rowOf(QStringLiteral("cod_lote"), codLote);
}
