#include "bankfiles/ufrmGeraArqDepositoCustodia.h"

#include "platform/data/DbError.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/files/RecordFile.h"
#include "platform/widgets/Colors.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/ScreenCursor.h"
#include "platform/widgets/SelectionBar.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

const QString Sucesso = QStringLiteral("Arquivo gerado com sucesso!!");
const QString ErroGeracao = QStringLiteral("Ocorreu um erro inesperado ao gerar o arquivo: ");

} // namespace

TfrmGeraArqDepositoCustodia::TfrmGeraArqDepositoCustodia(Connection* cnx, QWidget* parent)
    : ScreenFrame(QStringLiteral(" Gerar Arquivo Depósito/Custódia"), parent), m_cnx(cnx) {
    setObjectName(QStringLiteral("frmGeraArqDepositoCustodia"));

    auto* gbLotes = new QGroupBox(QStringLiteral("Selecione o Lote desejado"), this);
    auto* ll = new QVBoxLayout(gbLotes);
    RxDBGrid1 = new DbGrid(gbLotes);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    RxDBGrid1->setMinimumSize(860, 200);
    ll->addWidget(RxDBGrid1);
    body()->addWidget(gbLotes);

    auto* gbCheques = new QGroupBox(QStringLiteral("Relação de cheques capturados"), this);
    auto* lc = new QVBoxLayout(gbCheques);
    RxDBGrid2 = new DbGrid(gbCheques);
    RxDBGrid2->setObjectName(QStringLiteral("RxDBGrid2"));
    RxDBGrid2->setMinimumSize(920, 220); // every column in view, "Alínea" the last
    lc->addWidget(RxDBGrid2);
    body()->addWidget(gbCheques);

    auto* rodape = new QHBoxLayout;
    SpeedButton1 = new QPushButton(QStringLiteral("Gerar arquivo"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setEnabled(false);
    bar = new SelectionBar(QStringLiteral("Registros gerados:"), this);
    rodape->addWidget(SpeedButton1);
    rodape->addSpacing(12);
    rodape->addWidget(bar, 1);
    body()->addLayout(rodape);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Pesquisar1 = PopupMenu1->addAction(QStringLiteral("Pesquisar"));
    Pesquisar1->setObjectName(QStringLiteral("Pesquisar1"));
    Regerarlote1 = PopupMenu1->addAction(QStringLiteral("Regerar lote"));
    Regerarlote1->setObjectName(QStringLiteral("Regerarlote1"));
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    Selecionartodos1 = PopupMenu2->addAction(QStringLiteral("Selecionar todos"));
    Selecionartodos1->setObjectName(QStringLiteral("Selecionartodos1"));
    Desfazerseleo1 = PopupMenu2->addAction(QStringLiteral("Desfazer seleção"));
    Desfazerseleo1->setObjectName(QStringLiteral("Desfazerseleo1"));

    RxDBGrid1->setPopupMenu(PopupMenu1);
    connect(Pesquisar1, &QAction::triggered, this, &TfrmGeraArqDepositoCustodia::Pesquisar1Click);
    connect(Regerarlote1, &QAction::triggered, this,
            &TfrmGeraArqDepositoCustodia::Regerarlote1Click);
    connect(Selecionartodos1, &QAction::triggered, this,
            &TfrmGeraArqDepositoCustodia::Selecionartodos1Click);
    connect(Desfazerseleo1, &QAction::triggered, this,
            &TfrmGeraArqDepositoCustodia::Desfazerseleo1Click);
    connect(SpeedButton1, &QPushButton::clicked, this,
            &TfrmGeraArqDepositoCustodia::SpeedButton1Click);

    const auto draw = [this](DbGridCell& cell) { drawCell(cell); };
    RxDBGrid1->onDrawColumnCell = draw;
    RxDBGrid2->onDrawColumnCell = draw;
}

void TfrmGeraArqDepositoCustodia::drawCell(DbGridCell& cell) const {
    if (cell.field != QLatin1String("vlr_total")) {
        DbGrid::paintCurrentRow(cell);
        return;
    }
    // The lot's total in the mask of totals, "R$ ###,###,###.00", right-aligned.
    if (cell.selected)
        cell.brush = Colors::currentRow();
    cell.fill();
    const QVariant v = cell.value();
    if (v.isNull())
        return;
    const QPalette::ColorGroup group =
        (cell.option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    cell.painter->setPen(cell.option.palette.color(group, cell.selected ? QPalette::HighlightedText
                                                                        : QPalette::Text));
    cell.painter->setFont(cell.option.font);
    cell.painter->drawText(cell.rect.adjusted(3, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter,
                           Money::fromVariant(v).formatTotal());
}

void TfrmGeraArqDepositoCustodia::showEvent(QShowEvent* event) {
    ScreenFrame::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmGeraArqDepositoCustodia::FormShow() {
    if (!dtmGeraArqDepositoCustodia) {
        dtmGeraArqDepositoCustodia = new TdtmGeraArqDepositoCustodia(m_cnx, this);
        dtmGeraArqDepositoCustodia->onChequesLidos = [this] { chequesLidos(); };
        RxDBGrid1->setColumns({QStringLiteral("nom_associado"), QStringLiteral("num_lote"),
                               QStringLiteral("idt_dep_custodia"), QStringLiteral("ind_gerado"),
                               QStringLiteral("dat_lote"), QStringLiteral("vlr_total"),
                               QStringLiteral("qtd_total")});
        RxDBGrid1->setDataSource(&dtmGeraArqDepositoCustodia->dtsLoteCheque);
        RxDBGrid1->setColumnWidths({300, 70, 80, 65, 85, 140, 80});
        RxDBGrid2->setColumns(
            {QStringLiteral("num_banco"), QStringLiteral("num_agencia"), QStringLiteral("num_dv2"),
             QStringLiteral("num_compe"), QStringLiteral("num_cheque"),
             QStringLiteral("num_tipificacao"), QStringLiteral("num_dv1"),
             QStringLiteral("num_conta"), QStringLiteral("num_dv3"), QStringLiteral("vlr_cheque"),
             QStringLiteral("dat_deposito"), QStringLiteral("ind_devolvido"),
             QStringLiteral("dat_reapresentacao"), QStringLiteral("dat_2reapresentacao"),
             QStringLiteral("num_alinea")});
        RxDBGrid2->setDataSource(&dtmGeraArqDepositoCustodia->dtsCheque);
        RxDBGrid2->setColumnWidths({45, 55, 35, 45, 70, 40, 35, 90, 35, 100, 80, 40, 80, 85, 45});
    }
    bar->reset();
    dtmGeraArqDepositoCustodia->qryLoteCheque.close();
    dtmGeraArqDepositoCustodia->qryLoteCheque.open();
    RxDBGrid1->setFocus();
}

void TfrmGeraArqDepositoCustodia::chequesLidos() {
    const Dataset& cheques = dtmGeraArqDepositoCustodia->qryCheque;
    SpeedButton1->setEnabled(cheques.isOpen() && !cheques.isEmpty());
    ajustaModo();
}

void TfrmGeraArqDepositoCustodia::ajustaModo() {
    const Dataset& lotes = dtmGeraArqDepositoCustodia->qryLoteCheque;
    if (!lotes.isOpen() || lotes.isEmpty())
        return;
    const int lote = dtmGeraArqDepositoCustodia->codLoteAtual();
    const bool gerado = dtmGeraArqDepositoCustodia->loteGerado();
    // The mode is kept while the list stays on the same lot in the same state, so that reading
    // the list again keeps what the operator selected. A lot whose state changed (generated
    // here, returned or released elsewhere) gets its mode even on the same lot: otherwise a
    // lot generated while current could never have its returned cheques selected.
    if (lote == m_ultimoLote && gerado == m_modoGerado)
        return;
    m_ultimoLote = lote;
    m_modoGerado = gerado;
    RxDBGrid2->setBackgroundColor(gerado ? Colors::fromBgr(Colors::WhiteBgr)
                                         : palette().color(QPalette::Button));
    RxDBGrid2->setMultiSelect(gerado);
    RxDBGrid2->setPopupMenu(gerado ? PopupMenu2 : nullptr);
}

QMenu* TfrmGeraArqDepositoCustodia::chequeMenu() const {
    return RxDBGrid2->popupMenu();
}

void TfrmGeraArqDepositoCustodia::Pesquisar1Click() {
    const QString texto =
        Dialogs::inputBox(QStringLiteral("Digite o número do lote"), QStringLiteral("Lote"));
    if (texto.isEmpty())
        return;
    dtmGeraArqDepositoCustodia->qryLoteCheque.locate(QStringLiteral("num_lote"), texto);
}

void TfrmGeraArqDepositoCustodia::Regerarlote1Click() {
    TdtmGeraArqDepositoCustodia* dtm = dtmGeraArqDepositoCustodia;
    if (dtm->qryLoteCheque.isEmpty())
        return;
    const int lote = dtm->codLoteAtual();
    if (!dtm->regeraLote(lote)) {
        Dialogs::messageBox(this,
                            QStringLiteral("Não foi possível disponibilizar este lote para nova\n\r"
                                           "geração, pois o mesmo já possui cheque devolvido!"),
                            QStringLiteral("Atenção"));
        return;
    }
    Dialogs::messageBox(this, QStringLiteral("Lote disponibilizado para nova geração de arquivo!!"),
                        QStringLiteral("Informação"));
    dtm->recarregaLotes(lote);
}

void TfrmGeraArqDepositoCustodia::Selecionartodos1Click() {
    if (RxDBGrid2->multiSelect())
        RxDBGrid2->selectAllRows();
}

void TfrmGeraArqDepositoCustodia::Desfazerseleo1Click() {
    RxDBGrid2->clearRowSelection();
}

void TfrmGeraArqDepositoCustodia::SpeedButton1Click() {
    if (!SpeedButton1->isEnabled())
        return;
    if (dtmGeraArqDepositoCustodia->loteGerado())
        reapresenta();
    else
        geraPrimeira();
}

QString TfrmGeraArqDepositoCustodia::perguntaArquivo() {
    if (Dialogs::messageDlg(
            QStringLiteral("Tem certeza de que deseja gerar o arquivo para este lote?"),
            Dialogs::Kind::Confirmation,
            {Dialogs::Button::Yes, Dialogs::Button::No, Dialogs::Button::Cancel}) !=
        Dialogs::Button::Yes)
        return {};
    // Cancelling the save dialog stops before anything is written or changed.
    const QString caminho = Dialogs::saveFile(this, QApplication::applicationDirPath(),
                                              QStringLiteral("txt"), QStringLiteral("*.txt"));
    if (!caminho.isEmpty())
        m_arquivo = caminho;
    return caminho;
}

void TfrmGeraArqDepositoCustodia::falhou(const QString& texto) {
    bar->reset();
    Dialogs::messageDlg(ErroGeracao + texto, Dialogs::Kind::Error, {Dialogs::Button::Ok});
}

void TfrmGeraArqDepositoCustodia::geraPrimeira() {
    TdtmGeraArqDepositoCustodia* dtm = dtmGeraArqDepositoCustodia;
    const int lote = dtm->codLoteAtual();
    bar->start(dtm->qryCheque.recordCount());
    const QString caminho = perguntaArquivo();
    if (caminho.isEmpty()) {
        bar->reset();
        return;
    }
    try {
        ScreenCursor::Busy busy;
        dtm->geraPrimeira(lote, caminho, [this](int n) { bar->step(n); });
    } catch (const AlteradoPorOutraEstacao& e) {
        bar->reset();
        Dialogs::messageBox(this, e.message(), QStringLiteral("Atenção"));
        dtm->recarregaLotes(lote);
        return;
    } catch (const RecordError& e) {
        return falhou(e.message());
    } catch (const FileError& e) {
        return falhou(e.message());
    } catch (const DbError& e) {
        return falhou(e.message());
    }
    // Told only now that the file is in place and the marking committed.
    Dialogs::messageBox(this, Sucesso, QStringLiteral("Informação"));
    dtm->recarregaLotes(lote);
    bar->reset();
}

void TfrmGeraArqDepositoCustodia::reapresenta() {
    TdtmGeraArqDepositoCustodia* dtm = dtmGeraArqDepositoCustodia;
    const QList<Bookmark> selecionados = RxDBGrid2->selectedRows();
    if (selecionados.isEmpty()) {
        Dialogs::messageBox(
            this, QStringLiteral("Por favor selecione os cheques a serem reapresentados!"),
            QStringLiteral("Informação"));
        return;
    }
    const int lote = dtm->codLoteAtual();
    bar->start(dtm->qryCheque.recordCount());
    // The selected rows in the grid's order, with the data the list read.
    QList<int> codigos;
    QList<DepositoCustodia::Cheque> cheques;
    Dataset& q = dtm->qryCheque;
    int n = 0;
    for (const Bookmark& b : selecionados) {
        bar->step(++n);
        q.gotoBookmark(b);
        codigos << q.asInteger(QStringLiteral("cod_cheque"));
        cheques << dtm->chequeAtual();
    }
    bar->setProgress(0);
    // A cheque the bank would refuse stops everything before the file is asked for.
    const QStringList recusados = dtm->recusadosPelaAlinea(codigos);
    if (!recusados.isEmpty()) {
        bar->reset();
        Dialogs::messageBox(this, TdtmGeraArqDepositoCustodia::mensagemRecusa(recusados),
                            QStringLiteral("Atenção"));
        return;
    }
    const QString caminho = perguntaArquivo();
    if (caminho.isEmpty()) {
        bar->reset();
        return;
    }
    try {
        ScreenCursor::Busy busy;
        dtm->reapresenta(codigos, cheques, caminho, [this](int i) { bar->step(i); });
    } catch (const AlteradoPorOutraEstacao& e) {
        bar->reset();
        Dialogs::messageBox(this, e.message(), QStringLiteral("Atenção"));
        dtm->recarregaLotes(lote);
        return;
    } catch (const RecordError& e) {
        return falhou(e.message());
    } catch (const FileError& e) {
        return falhou(e.message());
    } catch (const DbError& e) {
        return falhou(e.message());
    }
    Dialogs::messageBox(this, Sucesso, QStringLiteral("Informação"));
    dtm->recarregaLotes(lote);
    bar->reset();
}
