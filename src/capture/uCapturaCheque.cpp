#include "capture/uCapturaCheque.h"

#include "core/uBib.h"
#include "platform/data/DbError.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/DbComboBox.h"
#include "platform/widgets/DbDateEdit.h"
#include "platform/widgets/DbLookupComboBox.h"
#include "platform/widgets/DigitLineEdit.h"
#include "platform/widgets/MoneyInput.h"
#include "platform/widgets/SelectOnEntry.h"
#include "platform/widgets/ToolIcons.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString LoteEnviado = QStringLiteral(
    "Não é possível capturar cheques para\n\reste lote, pois o mesmo já foi enviado!");
const QString ConfirmaExclusao = QStringLiteral("Tem certeza de que deseja excluir o registro?");

QLineEdit* grupo(QWidget* parent, const char* name, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFixedWidth(width);
    return e;
}

QLabel* rotulo(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

bool isEnter(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

} // namespace

TfrmCapturaCheque::TfrmCapturaCheque(Connection* cnx, QWidget* parent)
    : TfrmCadastro(cnx, QStringLiteral(" Captura de Cheque"), parent, QStringLiteral("DBGrid1"),
                   Arrangement::Custom) {
    setObjectName(QStringLiteral("frmCapturaCheque"));

    // Lot area, with the lot toolbar below it.
    auto* gbLote = new QGroupBox(QStringLiteral(" Lote "), editArea());
    auto* gl = new QGridLayout(gbLote);
    DBEdit1 = new DbEdit(gbLote);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setEnabled(false);
    DBEdit1->setFixedWidth(90);
    RxDBLookupCombo1 = new DbLookupComboBox(gbLote);
    RxDBLookupCombo1->setObjectName(QStringLiteral("RxDBLookupCombo1"));
    RxDBLookupCombo1->setDropDownRows(20);
    RxDBLookupCombo1->setMinimumWidth(300);
    RxDBComboBox1 = new DbComboBox(gbLote);
    RxDBComboBox1->setObjectName(QStringLiteral("RxDBComboBox1"));
    RxDBComboBox1->setEntries({{QStringLiteral("Depósito"), QStringLiteral("D")},
                               {QStringLiteral("Custódia"), QStringLiteral("C")}});
    RxDBComboBox1->setEnabled(false);
    RxDBComboBox2 = new DbComboBox(gbLote);
    RxDBComboBox2->setObjectName(QStringLiteral("RxDBComboBox2"));
    RxDBComboBox2->setEntries({{QStringLiteral("Sim"), true}, {QStringLiteral("Não"), false}});
    RxDBComboBox2->setEnabled(false);
    DBDateEdit2 = new DbDateEdit(gbLote);
    DBDateEdit2->setObjectName(QStringLiteral("DBDateEdit2"));
    gl->addWidget(rotulo(QStringLiteral("Lote"), gbLote), 0, 0);
    gl->addWidget(rotulo(QStringLiteral("Associado"), gbLote), 0, 1);
    gl->addWidget(rotulo(QStringLiteral("Operação"), gbLote), 0, 2);
    gl->addWidget(rotulo(QStringLiteral("Arq. Gerado?"), gbLote), 0, 3);
    gl->addWidget(rotulo(QStringLiteral("Data"), gbLote), 0, 4);
    gl->addWidget(DBEdit1, 1, 0);
    gl->addWidget(RxDBLookupCombo1, 1, 1);
    gl->addWidget(RxDBComboBox1, 1, 2);
    gl->addWidget(RxDBComboBox2, 1, 3);
    gl->addWidget(DBDateEdit2, 1, 4);
    // The lot toolbar goes under the lot fields.
    gl->addWidget(toolbar(), 2, 0, 1, 5);

    // Capture area.
    auto* gbCaptura = new QGroupBox(QStringLiteral(" Captura "), editArea());
    auto* gc = new QGridLayout(gbCaptura);
    edLinhaCheque = new DigitLineEdit(TamanhoLinhaCheque, BrancosLinhaCheque, gbCaptura);
    edLinhaCheque->setObjectName(QStringLiteral("edLinhaCheque"));
    edLinhaCheque->setMinimumWidth(300);
    selectOnEntry(edLinhaCheque);
    ceValorCheque = new QLineEdit(gbCaptura);
    ceValorCheque->setObjectName(QStringLiteral("ceValorCheque"));
    ceValorCheque->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MoneyInput::install(ceValorCheque);
    ceValorCheque->setFixedWidth(130);
    ceValorCheque->setContextMenuPolicy(Qt::NoContextMenu);
    ceValorCheque->setAcceptDrops(false);
    selectOnEntry(ceValorCheque);
    DBDateEdit1 = new DbDateEdit(gbCaptura);
    DBDateEdit1->setObjectName(QStringLiteral("DBDateEdit1"));
    DBDateEdit1->setEnabled(false);
    gc->addWidget(rotulo(QStringLiteral("Linha do Cheque"), gbCaptura), 0, 0);
    gc->addWidget(rotulo(QStringLiteral("Valor (em R$)"), gbCaptura), 0, 1);
    gc->addWidget(rotulo(QStringLiteral("Data boa"), gbCaptura), 0, 2);
    gc->addWidget(edLinhaCheque, 1, 0);
    gc->addWidget(ceValorCheque, 1, 1);
    gc->addWidget(DBDateEdit1, 1, 2);
    gc->setColumnStretch(3, 1);
    edBanco = grupo(gbCaptura, "edBanco", 44);
    edAgencia = grupo(gbCaptura, "edAgencia", 54);
    edDV2 = grupo(gbCaptura, "edDV2", 26);
    edCompe = grupo(gbCaptura, "edCompe", 44);
    edNumCheque = grupo(gbCaptura, "edNumCheque", 80);
    edTPF = grupo(gbCaptura, "edTPF", 30);
    edDV1 = grupo(gbCaptura, "edDV1", 26);
    edConta = grupo(gbCaptura, "edConta", 110);
    edDV3 = grupo(gbCaptura, "edDV3", 26);
    const QStringList titulos{
        QStringLiteral("Banco"), QStringLiteral("Agência"),      QStringLiteral("DV"),
        QStringLiteral("Comp."), QStringLiteral("Nº do Cheque"), QStringLiteral("TPF"),
        QStringLiteral("DV"),    QStringLiteral("Conta"),        QStringLiteral("DV")};
    // The nine groups side by side, each under its title, in line order.
    auto* linhaGrupos = new QHBoxLayout;
    const QList<QLineEdit*> gs = grupos();
    for (int i = 0; i < gs.size(); ++i) {
        auto* coluna = new QVBoxLayout;
        coluna->addWidget(rotulo(titulos.at(i), gbCaptura));
        coluna->addWidget(gs.at(i));
        linhaGrupos->addLayout(coluna);
    }
    linhaGrupos->addStretch(1);
    gc->addLayout(linhaGrupos, 2, 0, 1, 4);

    auto* edit = new QVBoxLayout(editArea());
    edit->setContentsMargins(0, 0, 0, 0);
    edit->addWidget(gbLote);
    edit->addWidget(gbCaptura);
    body()->addWidget(editArea());

    // Cheque area: the base's list, over the cheques, with the delete button and the totals.
    auto* gbCheques = new QGroupBox(QStringLiteral(" Cheques Capturados "), this);
    auto* gq = new QVBoxLayout(gbCheques);
    DBGrid1 = mainGrid();
    DBGrid1->setMinimumSize(760, 220);
    gq->addWidget(DBGrid1);
    auto* rodape = new QHBoxLayout;
    btnExcluirCQ = ToolIcons::button(gbCheques, "btnExcluirCQ", QStringLiteral("Excluir"),
                                     ToolIcons::Glyph::Delete);
    btnExcluirCQ->setEnabled(false);
    StaticText3 = new QLabel(QStringLiteral("0.00"), gbCheques);
    StaticText3->setObjectName(QStringLiteral("StaticText3"));
    StaticText5 = new QLabel(QStringLiteral("0"), gbCheques);
    StaticText5->setObjectName(QStringLiteral("StaticText5"));
    for (QLabel* l : {StaticText3, StaticText5}) {
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(130);
    }
    rodape->addWidget(btnExcluirCQ);
    rodape->addStretch(1);
    rodape->addWidget(rotulo(QStringLiteral("Valor Total:"), gbCheques));
    rodape->addWidget(StaticText3);
    rodape->addSpacing(12);
    rodape->addWidget(rotulo(QStringLiteral("Qtde Cheques:"), gbCheques));
    rodape->addWidget(StaticText5);
    gq->addLayout(rodape);
    body()->addWidget(gbCheques);

    setTabOrder(RxDBLookupCombo1, DBDateEdit2);
    setTabOrder(DBDateEdit2, edLinhaCheque);
    setTabOrder(edLinhaCheque, ceValorCheque);

    connect(btnExcluirCQ, &QToolButton::clicked, this, &TfrmCapturaCheque::btnExcluirCQClick);
    connect(edLinhaCheque, &QLineEdit::textChanged, this, &TfrmCapturaCheque::edLinhaChequeChange);
}

QList<QLineEdit*> TfrmCapturaCheque::grupos() const {
    return {edBanco, edAgencia, edDV2, edCompe, edNumCheque, edTPF, edDV1, edConta, edDV3};
}

void TfrmCapturaCheque::createDataModule() {
    dtmCapturaCheque = new TdtmCapturaCheque(connection(), this);
    auto* lote = &dtmCapturaCheque->dtsLoteCheque;
    DBEdit1->setDataSource(lote, QStringLiteral("num_lote"));
    RxDBLookupCombo1->setListSource(&dtmCapturaCheque->dtsLkpAssociado,
                                    QStringLiteral("cod_associado"),
                                    QStringLiteral("nom_associado"));
    RxDBLookupCombo1->setDataSource(lote, QStringLiteral("cod_associado"));
    RxDBComboBox1->setDataSource(lote, QStringLiteral("idt_dep_custodia"));
    RxDBComboBox2->setDataSource(lote, QStringLiteral("ind_gerado"));
    DBDateEdit2->setDataSource(lote, QStringLiteral("dat_lote"));
    DBDateEdit1->setDataSource(&dtmCapturaCheque->dtsCheque, QStringLiteral("dat_deposito"));
    DBGrid1->setColumns(
        {QStringLiteral("num_banco"), QStringLiteral("num_agencia"), QStringLiteral("num_dv2"),
         QStringLiteral("num_compe"), QStringLiteral("num_cheque"),
         QStringLiteral("num_tipificacao"), QStringLiteral("num_dv1"), QStringLiteral("num_conta"),
         QStringLiteral("num_dv3"), QStringLiteral("vlr_cheque"), QStringLiteral("dat_deposito")});
    DBGrid1->setDataSource(&dtmCapturaCheque->dtsCheque);
    DBGrid1->setColumnWidths({50, 60, 40, 50, 80, 50, 40, 100, 40, 100, 90});
    connect(&dtmCapturaCheque->dtsLkpAssociado, &DataSource::stateChange, this,
            &TfrmCapturaCheque::HabilitaBotoes);
    connect(lote, &DataSource::dataChange, this, &TfrmCapturaCheque::dtsLoteChequeDataChange);
}

void TfrmCapturaCheque::reopenQueries() {
    TdtmCapturaCheque* d = dtmCapturaCheque;
    d->qryLoteCheque.close();
    d->qryLkpAssociado.close();
    d->qryLoteCheque.open();
    d->qryLkpAssociado.open();
    limpaCaptura();
}

QWidget* TfrmCapturaCheque::firstControl() const {
    if (dtmCapturaCheque->qryLoteCheque.isEmpty())
        return RxDBLookupCombo1;
    return edLinhaCheque;
}

TfrmCadastro::SearchPrompt TfrmCapturaCheque::searchPrompt() const {
    // The whole number, exactly.
    return {QStringLiteral("Digite o número do lote"), QStringLiteral("Lote"),
            QStringLiteral("num_lote"), 0};
}

QWidget* TfrmCapturaCheque::focusAfterInsert() const {
    return RxDBLookupCombo1;
}

void TfrmCapturaCheque::habilitaExtras() {
    const Dataset& lotes = dtmCapturaCheque->qryLoteCheque;
    const Dataset& cheques = dtmCapturaCheque->qryCheque;
    if (!cheques.isOpen())
        return;
    const bool lotesBrowse = !lotes.isEmpty() && lotes.state() == Dataset::State::Browse;
    btnExcluirCQ->setEnabled(!cheques.isEmpty() && cheques.state() == Dataset::State::Browse &&
                             lotesBrowse && !lotes.asBoolean(QStringLiteral("ind_gerado")));
    edLinhaCheque->setEnabled(lotesBrowse);
    ceValorCheque->setEnabled(lotesBrowse);
}

void TfrmCapturaCheque::postRecord() {
    // A new lot is numbered as it is saved.
    dtmCapturaCheque->salvaLote();
}

void TfrmCapturaCheque::limpaCaptura() {
    edLinhaCheque->clear();
    ceValorCheque->clear();
    for (QLineEdit* g : grupos())
        g->clear();
}

void TfrmCapturaCheque::edLinhaChequeChange(const QString& text) {
    // Any change of the line takes back its acceptance; the groups follow an emptied line.
    if (m_linhaAceita && text != m_linhaAceita->formatted())
        m_linhaAceita.reset();
    if (text.isEmpty())
        for (QLineEdit* g : grupos())
            g->clear();
}

void TfrmCapturaCheque::edLinhaChequeEnter() {
    // An accepted line carries two blanks; the line is judged on its digits alone.
    const QString digitos = edLinhaCheque->digits();
    if (digitos.size() < TamanhoLinhaCheque) {
        Dialogs::messageDlg(MensagemLinhaIncompleta(), Dialogs::Kind::Warning,
                            {Dialogs::Button::Ok});
        edLinhaCheque->setFocus();
        return;
    }
    const LinhaCheque l = SeparaLinhaCheque(digitos);
    const QStringList partes{l.banco,       l.agencia, l.dv2,   l.compe, l.numCheque,
                             l.tipificacao, l.dv1,     l.conta, l.dv3};
    const QList<QLineEdit*> gs = grupos();
    for (int i = 0; i < gs.size(); ++i)
        gs.at(i)->setText(partes.at(i));
    const QChar r = ValidaLinhaCheque(digitos);
    if (r != QLatin1Char('0')) {
        Dialogs::messageDlg(MensagemLinhaCheque(r), Dialogs::Kind::Warning, {Dialogs::Button::Ok});
        edLinhaCheque->clear();
        return;
    }
    edLinhaCheque->setText(l.formatted());
    m_linhaAceita = l;
    ceValorCheque->setFocus();
}

bool TfrmCapturaCheque::loteEnviadoAviso() {
    const int lote = dtmCapturaCheque->qryLoteCheque.asInteger(QStringLiteral("cod_lote"));
    if (!dtmCapturaCheque->loteEnviado(lote))
        return false;
    Dialogs::messageBox(this, LoteEnviado, QStringLiteral("Atenção"));
    return true;
}

void TfrmCapturaCheque::GravaCheque() {
    using Dialogs::Button;
    if (!m_linhaAceita) {
        // Nothing to capture without a line accepted since the last cheque.
        Dialogs::messageDlg(MensagemLinhaIncompleta(), Dialogs::Kind::Warning, {Button::Ok});
        edLinhaCheque->setFocus();
        return;
    }
    if (loteEnviadoAviso())
        return;
    if (Dialogs::messageDlg(QStringLiteral("Confirma Captura do Cheque?"),
                            Dialogs::Kind::Confirmation, {Button::Yes, Button::No}) == Button::No) {
        edLinhaCheque->clear();
        edLinhaCheque->setFocus();
        return;
    }
    const std::optional<Money> valor = Money::parse(ceValorCheque->text());
    if (!valor || valor->isZero() || valor->isNegative()) {
        Dialogs::messageDlg(QStringLiteral("Favor informar o valor do cheque!"),
                            Dialogs::Kind::Warning, {Button::Ok});
        edLinhaCheque->clear();
        ceValorCheque->clear();
        return;
    }
    try {
        if (!dtmCapturaCheque->gravaCheque(*m_linhaAceita, *valor)) {
            Dialogs::messageDlg(QStringLiteral("Cheque já registrado na base de dados!"),
                                Dialogs::Kind::Error, {Button::Ok});
            edLinhaCheque->setFocus();
            return;
        }
    } catch (const DbError& e) {
        // Not stored, and not a duplicate: the operator reads why, the line and the value stay,
        // and Enter in the value box tries again.
        Dialogs::messageDlg(e.message(), Dialogs::Kind::Error, {Button::Ok});
        ceValorCheque->setFocus();
        return;
    }
    m_total += *valor;
    ++m_quantidade;
    HabilitaBotoes();
    ExibeTotais();
    ceValorCheque->clear();
    edLinhaCheque->clear();
    edLinhaCheque->setFocus();
}

void TfrmCapturaCheque::btnExcluirCQClick() {
    using Dialogs::Button;
    if (Dialogs::messageDlg(ConfirmaExclusao, Dialogs::Kind::Confirmation,
                            {Button::Yes, Button::No}) != Button::Yes) {
        edLinhaCheque->setFocus();
        return;
    }
    if (loteEnviadoAviso())
        return;
    Dataset& cheques = dtmCapturaCheque->qryCheque;
    const Money valor = cheques.asMoney(QStringLiteral("vlr_cheque"));
    try {
        dtmCapturaCheque->excluiCheque();
    } catch (const DbError&) {
        // Another copy may have deleted the cheque first: the totals are the database's again.
        const TdtmCapturaCheque::Totais t = dtmCapturaCheque->totaisLote(
            dtmCapturaCheque->qryLoteCheque.asInteger(QStringLiteral("cod_lote")));
        m_total = t.total;
        m_quantidade = t.quantidade;
        ExibeTotais();
        throw;
    }
    m_total -= valor;
    --m_quantidade;
    ExibeTotais();
    HabilitaBotoes();
    edLinhaCheque->setFocus();
}

void TfrmCapturaCheque::ExibeTotais() {
    StaticText3->setText(m_total.formatTotal());
    StaticText5->setText(QString::number(m_quantidade));
}

void TfrmCapturaCheque::dtsLoteChequeDataChange(const QString& field) {
    const Dataset& lotes = dtmCapturaCheque->qryLoteCheque;
    if (!field.isEmpty() || lotes.state() != Dataset::State::Browse || lotes.isEmpty())
        return;
    const int lote = lotes.asInteger(QStringLiteral("cod_lote"));
    if (lote == m_ultimoLote)
        return;
    m_ultimoLote = lote;
    const TdtmCapturaCheque::Totais t = dtmCapturaCheque->totaisLote(lote);
    m_total = t.total;
    m_quantidade = t.quantidade;
    ExibeTotais();
}

bool TfrmCapturaCheque::FormKeyDown(QKeyEvent* k) {
    QWidget* watched = QApplication::focusWidget();
    if (k->key() == Qt::Key_Escape || (watched != edLinhaCheque && watched != ceValorCheque))
        return TfrmCadastro::FormKeyDown(k);
    if (isEnter(k)) {
        if (watched == edLinhaCheque)
            edLinhaChequeEnter();
        else
            GravaCheque();
        return true;
    }
    // The value box's own rule (MoneyInput) judges what is typed or pasted there, the line
    // box's its own.
    return false;
}
