#include "registries/ufrmCadastro.h"

#include "platform/data/DbError.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/ToolIcons.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString Attention = QStringLiteral("Atenção");
} // namespace

TfrmCadastro::TfrmCadastro(Connection* cnx, const QString& title, QWidget* parent,
                           const QString& gridName, Arrangement arrangement)
    : ScreenFrame(title, parent), m_cnx(cnx) {
    m_editArea = new QWidget(this);
    m_editArea->setObjectName(QStringLiteral("pnlEdicao"));

    m_grid = new DbGrid(this);
    m_grid->setObjectName(gridName);
    m_grid->onDrawColumnCell = [this](DbGridCell& cell) { RxDBGrid1DrawColumnCell(cell); };
    m_grid->canLeaveRow = [this] { return boxesHoldValidText(); };

    m_toolbar = new QWidget(this);
    m_toolbar->setObjectName(QStringLiteral("pnlBotoes"));
    m_toolbarRow = new QHBoxLayout(m_toolbar);
    m_toolbarRow->setContentsMargins(0, 0, 0, 0);
    m_toolbarRow->setSpacing(2);
    using G = ToolIcons::Glyph;
    btnInserir = makeButton("btnInserir", QStringLiteral("Inserir"), int(G::Insert));
    btnPesquisar = makeButton("btnPesquisar", QStringLiteral("Pesquisar"), int(G::Search));
    m_toolbarRow->addSpacing(12);
    btnCancelar = makeButton("btnCancelar", QStringLiteral("Cancelar"), int(G::Cancel));
    btnExcluir = makeButton("btnExcluir", QStringLiteral("Excluir"), int(G::Delete));
    btnSalvar = makeButton("btnSalvar", QStringLiteral("Salvar"), int(G::Save));
    m_toolbarRow->addSpacing(12);
    btnPrimeiro = makeButton("btnPrimeiro", QStringLiteral("Primeiro"), int(G::First));
    btnAnterior = makeButton("btnAnterior", QStringLiteral("Anterior"), int(G::Prior));
    btnProximo = makeButton("btnProximo", QStringLiteral("Próximo"), int(G::Next));
    btnUltimo = makeButton("btnUltimo", QStringLiteral("Último"), int(G::Last));
    m_toolbarRow->addStretch(1);

    if (arrangement == Arrangement::Standard) {
        body()->addWidget(m_editArea);
        body()->addWidget(m_grid);
        body()->addWidget(m_toolbar);
    }

    connect(btnInserir, &QToolButton::clicked, this, &TfrmCadastro::btnInserirClick);
    connect(btnPesquisar, &QToolButton::clicked, this, &TfrmCadastro::btnPesquisarClick);
    connect(btnCancelar, &QToolButton::clicked, this, &TfrmCadastro::btnCancelarClick);
    connect(btnExcluir, &QToolButton::clicked, this, &TfrmCadastro::btnExcluirClick);
    connect(btnSalvar, &QToolButton::clicked, this, &TfrmCadastro::btnSalvarClick);
    connect(btnPrimeiro, &QToolButton::clicked, this, &TfrmCadastro::btnPrimeiroClick);
    connect(btnAnterior, &QToolButton::clicked, this, &TfrmCadastro::btnAnteriorClick);
    connect(btnProximo, &QToolButton::clicked, this, &TfrmCadastro::btnProximoClick);
    connect(btnUltimo, &QToolButton::clicked, this, &TfrmCadastro::btnUltimoClick);

    // Until the first showing nothing can be done.
    for (QToolButton* b : {btnInserir, btnPesquisar, btnCancelar, btnExcluir, btnSalvar,
                           btnPrimeiro, btnAnterior, btnProximo, btnUltimo})
        b->setEnabled(false);
}

QToolButton* TfrmCadastro::makeButton(const char* name, const QString& hint, int glyph) {
    QToolButton* b = ToolIcons::button(m_toolbar, name, hint, ToolIcons::Glyph(glyph));
    m_toolbarRow->addWidget(b);
    return b;
}

void TfrmCadastro::showEvent(QShowEvent* event) {
    ScreenFrame::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmCadastro::connectMainSource() {
    DataSource* src = mainSource();
    if (src == m_connectedSource)
        return;
    if (m_connectedSource)
        disconnect(m_connectedSource, nullptr, this, nullptr);
    m_connectedSource = src;
    if (src)
        connect(src, &DataSource::stateChange, this, [this] { mainStateChange(); });
}

void TfrmCadastro::reopenQueries() {
    mainQuery()->close();
    mainQuery()->open();
}

void TfrmCadastro::FormShow() {
    if (!hasDataModule())
        createDataModule();
    connectMainSource();
    reopenQueries();
    // The lookup columns have their texts once every query is open.
    m_grid->fitColumns();
    if (QWidget* w = firstControl())
        w->setFocus();
    if (mainQuery()->isOpen())
        HabilitaBotoes();
}

void TfrmCadastro::HabilitaBotoes() {
    const Dataset* q = mainQuery();
    const Dataset::State st = q->state();
    const bool browse = st == Dataset::State::Browse;
    const bool editing = st == Dataset::State::Edit || st == Dataset::State::Insert;
    btnPrimeiro->setEnabled(!q->bof());
    btnAnterior->setEnabled(!q->bof());
    btnProximo->setEnabled(!q->eof());
    btnUltimo->setEnabled(!q->eof());
    btnInserir->setEnabled(browse);
    btnPesquisar->setEnabled(browse);
    btnCancelar->setEnabled(editing || q->modified());
    btnSalvar->setEnabled(editing || q->modified());
    btnExcluir->setEnabled(!q->isEmpty() && browse);
    habilitaExtras();
}

void TfrmCadastro::btnInserirClick() {
    Dataset* q = mainQuery();
    if (q->modified())
        q->cancel();
    q->insert();
    HabilitaBotoes();
    if (QWidget* w = focusAfterInsert())
        w->setFocus();
}

void TfrmCadastro::btnPesquisarClick() {
    const SearchPrompt p = searchPrompt();
    const QString text = Dialogs::inputBox(p.title, p.label);
    mainQuery()->locate(p.column, text, p.options);
    HabilitaBotoes();
}

void TfrmCadastro::btnCancelarClick() {
    mainQuery()->cancel();
    HabilitaBotoes();
}

void TfrmCadastro::btnExcluirClick() {
    using Dialogs::Button;
    const Button answer =
        Dialogs::messageDlg(QStringLiteral("Tem certeza de que deseja excluir o registro?"),
                            Dialogs::Kind::Confirmation, {Button::Yes, Button::No, Button::Cancel});
    if (answer != Button::Yes)
        return;
    try {
        mainQuery()->remove();
    } catch (const DbError& e) {
        if (!isReferenceRefusal(e))
            throw;
        showAttention(QStringLiteral(
            "Não é possível excluir o registro, pois existem outros registros vinculados a ele!"));
    }
    HabilitaBotoes();
}

void TfrmCadastro::btnSalvarClick() {
    if (!boxesHoldValidText())
        return;
    for (const SaveCheck& c : saveChecks()) {
        if (c.fails()) {
            showAttention(c.message);
            return;
        }
    }
    postRecord();
    HabilitaBotoes();
    if (QWidget* w = focusAfterSave())
        w->setFocus();
}

void TfrmCadastro::postRecord() {
    mainQuery()->post();
}

bool TfrmCadastro::boxesHoldValidText() {
    if (!hasDataModule() || !mainQuery()->isEditing())
        return true;
    for (DbEdit* box : m_editArea->findChildren<DbEdit*>())
        if (box->dataSource() == mainSource() && box->isEnabled() && !box->checkText())
            return false;
    return true;
}

// A move while editing posts the record: not with a box the record cannot hold.
void TfrmCadastro::btnPrimeiroClick() {
    if (!boxesHoldValidText())
        return;
    mainQuery()->first();
    HabilitaBotoes();
}

void TfrmCadastro::btnAnteriorClick() {
    if (!boxesHoldValidText())
        return;
    mainQuery()->prior();
    HabilitaBotoes();
}

void TfrmCadastro::btnProximoClick() {
    if (!boxesHoldValidText())
        return;
    mainQuery()->next();
    HabilitaBotoes();
}

void TfrmCadastro::btnUltimoClick() {
    if (!boxesHoldValidText())
        return;
    mainQuery()->last();
    HabilitaBotoes();
}

void TfrmCadastro::DBEdit2KeyPress(QChar& key) {
    DbEdit::digitsOnlyKeyPress(key);
}

void TfrmCadastro::useDigitsOnly(DbEdit* box) {
    box->setDigitsOnly(true);
    box->onKeyPress = [this](QChar& key) { DBEdit2KeyPress(key); };
}

void TfrmCadastro::RxDBGrid1DrawColumnCell(DbGridCell& cell) {
    DbGrid::paintCurrentRow(cell);
}

void TfrmCadastro::showAttention(const QString& message) {
    Dialogs::messageBox(this, message, Attention);
}

bool TfrmCadastro::isReferenceRefusal(const DbError& e) {
    return e.kind() == DbError::Kind::ForeignKey;
}
