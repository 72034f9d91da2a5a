#include "registries/ufrmAssociado.h"

#include "core/uGlobal.h"
#include "platform/data/DbError.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/Colors.h"
#include "platform/widgets/ToolIcons.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

// The cells of the movement list. The list's own editors are used, but what is typed goes
// into the row at once, so the first key already puts the movement query into edit (and the
// movement toolbar follows), and "Salvar" saves what the open cell shows.
class MovimentoDelegate : public QStyledItemDelegate {
public:
    MovimentoDelegate(DbGrid* grid, QAbstractItemDelegate* own)
        : QStyledItemDelegate(grid), m_grid(grid), m_own(own) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        m_own->paint(painter, option, index);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* w = m_own->createEditor(parent, option, index);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            const QPersistentModelIndex at(index);
            DbGrid* grid = m_grid;
            connect(e, &QLineEdit::textEdited, this, [grid, at](const QString& text) {
                if (at.isValid() && grid->model())
                    grid->model()->setData(at, text);
            });
        }
        m_editor = w;
        return w;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        // The row changed because of the editor itself: leave its text and cursor alone.
        if (auto* e = qobject_cast<QLineEdit*>(editor))
            if (e->text() == index.data(Qt::EditRole).toString())
                return;
        QStyledItemDelegate::setEditorData(editor, index);
    }

    // Up and Down leave the cell and move in the list as they do outside a cell (Down from the
    // last row appends one).
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) &&
                key->modifiers() == Qt::NoModifier) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                QKeyEvent again(QEvent::KeyPress, key->key(), key->modifiers());
                QCoreApplication::sendEvent(m_grid, &again);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    // Closes the open cell, if any; what it shows is already in the row.
    void closeOpenEditor() {
        // The list hides an editor it let go of, and deletes it later.
        if (m_editor && m_editor->isVisible())
            emit closeEditor(m_editor, QAbstractItemDelegate::NoHint);
    }

private:
    DbGrid* m_grid;
    QAbstractItemDelegate* m_own;
    mutable QPointer<QWidget> m_editor;
};

namespace {

// The taxpayer number box. A company's number may carry capital letters in its first twelve
// places and digits in its last two; a small letter, typed or pasted, goes in as a capital. A
// person's number is digits only.
class NumeroCgcCpfEdit : public DbEdit {
public:
    NumeroCgcCpfEdit(QWidget* parent, std::function<bool()> juridica)
        : DbEdit(parent), m_juridica(std::move(juridica)) {
        onKeyPress = [this](QChar& key) { keyPress(key); };
    }

protected:
    bool acceptsText(const QString& text) const override {
        return m_juridica() ? cnpjChars(text) : allDigits(text);
    }

    void store(const QString& text) override {
        const QString upper = text.toUpper();
        DbEdit::store(upper);
        if (upper != text) {
            const int at = cursorPosition();
            setText(upper);
            setCursorPosition(at);
        }
    }

private:
    static bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
    static bool isLetter(QChar c) {
        const QChar u = c.toUpper();
        return u >= QLatin1Char('A') && u <= QLatin1Char('Z');
    }
    static bool allDigits(const QString& t) { return std::all_of(t.begin(), t.end(), isDigit); }
    // Letters or digits in the first twelve places, digits after them.
    static bool cnpjChars(const QString& t) {
        for (int i = 0; i < t.size(); ++i)
            if (!isDigit(t.at(i)) && (i >= 12 || !isLetter(t.at(i))))
                return false;
        return true;
    }

    void keyPress(QChar& key) {
        if (!m_juridica()) {
            DbEdit::digitsOnlyKeyPress(key);
            return;
        }
        // Backspace, carriage return and the clipboard shortcuts pass; what a paste brings is
        // judged as a whole.
        if (key.unicode() < 32)
            return;
        // The text the key would make: a key typed before a letter moves the letter one place on.
        const int at = hasSelectedText() ? selectionStart() : cursorPosition();
        QString after = text();
        after.replace(at, selectedText().size(), key);
        if (cnpjChars(after))
            return;
        key = QChar();
        Dialogs::beep();
    }

    std::function<bool()> m_juridica;
};

const QString Confirmacao = QStringLiteral("Tem certeza de que deseja excluir o registro?");
const QString Vinculado = QStringLiteral(
    "Não é possível excluir o registro, pois existem outros registros vinculados a ele!");

} // namespace

TfrmAssociado::TfrmAssociado(Connection* cnx, QWidget* parent)
    : TfrmCadastro(cnx, QStringLiteral(" Cadastro de Associado"), parent,
                   QStringLiteral("RxDBGrid2")) {
    setObjectName(QStringLiteral("frmAssociado"));

    auto* grid = new QGridLayout(editArea());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);

    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, editArea());
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    // Each box takes the limit of its field.
    auto box = [this](const char* name, int width) {
        auto* e = new DbEdit(editArea());
        e->setObjectName(QString::fromLatin1(name));
        e->setFixedWidth(width);
        return e;
    };

    lblNome = label("lblNome", QStringLiteral("Nome"));
    DBEdit1 = box("DBEdit1", 380);

    lblTipo = label("lblTipo", QStringLiteral("Tipo"));
    RxDBComboBox1 = new DbComboBox(editArea());
    RxDBComboBox1->setObjectName(QStringLiteral("RxDBComboBox1"));
    RxDBComboBox1->setEntries({{QStringLiteral("Física"), QStringLiteral("F")},
                               {QStringLiteral("Jurídica"), QStringLiteral("J")}});
    RxDBComboBox1->setFixedWidth(110);

    lblCgcCpf = label("lblCgcCpf", QStringLiteral("Cnpj/Cpf"));
    DBEdit2 = new NumeroCgcCpfEdit(editArea(), [this] {
        return dtmAssociado && dtmAssociado->qryAssociado->isOpen() &&
               dtmAssociado->qryAssociado->asString(QStringLiteral("idt_tpo_associado")) ==
                   QLatin1String("J");
    });
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setFixedWidth(150);
    lblBanco = label("lblBanco", QStringLiteral("Nº Banco"));
    DBEdit6 = box("DBEdit6", 70);
    lblAgencia = label("lblAgencia", QStringLiteral("Agência"));
    DBEdit3 = box("DBEdit3", 70);
    lblConvenio = label("lblConvenio", QStringLiteral("Nº convênio"));
    DBEdit5 = box("DBEdit5", 100);
    for (DbEdit* e : {DBEdit6, DBEdit3, DBEdit5})
        useDigitsOnly(e);

    lblDestino = label("lblDestino", QStringLiteral("Destino movimento"));
    RxDBComboBox2 = new DbComboBox(editArea());
    RxDBComboBox2->setObjectName(QStringLiteral("RxDBComboBox2"));
    RxDBComboBox2->setEntries({{QStringLiteral("Capital"), QStringLiteral("02")},
                               {QStringLiteral("Conta Corrente"), QStringLiteral("03")},
                               {QStringLiteral("Captação Remunerada"), QStringLiteral("04")},
                               {QStringLiteral("Financiamento Rural"), QStringLiteral("06")},
                               {QStringLiteral("Financiamento Mútuo"), QStringLiteral("07")},
                               {QStringLiteral("Título Descontado"), QStringLiteral("08")}});
    RxDBComboBox2->setFixedWidth(200);

    grid->addWidget(lblNome, 0, 0, 1, 3);
    grid->addWidget(lblTipo, 0, 3);
    grid->addWidget(lblCgcCpf, 0, 4);
    grid->addWidget(DBEdit1, 1, 0, 1, 3);
    grid->addWidget(RxDBComboBox1, 1, 3);
    grid->addWidget(DBEdit2, 1, 4);
    grid->addWidget(lblBanco, 2, 0);
    grid->addWidget(lblAgencia, 2, 1);
    grid->addWidget(lblConvenio, 2, 2);
    grid->addWidget(lblDestino, 2, 3, 1, 2);
    grid->addWidget(DBEdit6, 3, 0);
    grid->addWidget(DBEdit3, 3, 1);
    grid->addWidget(DBEdit5, 3, 2);
    grid->addWidget(RxDBComboBox2, 3, 3, 1, 2);
    grid->setColumnStretch(5, 1);
    grid->setAlignment(Qt::AlignLeft);
    lblNome->setBuddy(DBEdit1);
    lblTipo->setBuddy(RxDBComboBox1);
    lblCgcCpf->setBuddy(DBEdit2);
    lblBanco->setBuddy(DBEdit6);
    lblAgencia->setBuddy(DBEdit3);
    lblConvenio->setBuddy(DBEdit5);
    lblDestino->setBuddy(RxDBComboBox2);

    RxDBGrid2 = mainGrid();
    RxDBGrid2->setMinimumSize(740, 220);
    RxDBGrid2->onDrawColumnCell = [this](DbGridCell& cell) { RxDBGrid2DrawColumnCell(cell); };

    // Below the member toolbar: the movement codes and their own toolbar.
    RxDBGrid1 = new DbGrid(this);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    RxDBGrid1->setMinimumSize(740, 130);
    RxDBGrid1->setEditable(true);
    RxDBGrid1->setTabKeyNavigation(true);
    m_celulas = new MovimentoDelegate(RxDBGrid1, RxDBGrid1->itemDelegate());
    RxDBGrid1->setItemDelegate(m_celulas);
    body()->addWidget(RxDBGrid1);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    m_movementBar = bar;
    using G = ToolIcons::Glyph;
    btnCancelarMV = makeMovementButton("btnCancelarMV", QStringLiteral("Cancelar"), int(G::Cancel));
    btnExcluirMV = makeMovementButton("btnExcluirMV", QStringLiteral("Excluir"), int(G::Delete));
    btnSalvarMV = makeMovementButton("btnSalvarMV", QStringLiteral("Salvar"), int(G::Save));
    bar->addStretch(1);
    body()->addLayout(bar);
    connect(btnCancelarMV, &QToolButton::clicked, this, &TfrmAssociado::btnCancelarMVClick);
    connect(btnExcluirMV, &QToolButton::clicked, this, &TfrmAssociado::btnExcluirMVClick);
    connect(btnSalvarMV, &QToolButton::clicked, this, &TfrmAssociado::btnSalvarMVClick);

    // Until a member list is there to work on, the movement area is off.
    habilitaMovimento(false, false, false, false);

    setTabOrder(DBEdit1, RxDBComboBox1);
    setTabOrder(RxDBComboBox1, DBEdit2);
    setTabOrder(DBEdit2, DBEdit6);
    setTabOrder(DBEdit6, DBEdit3);
    setTabOrder(DBEdit3, DBEdit5);
    setTabOrder(DBEdit5, RxDBComboBox2);
    setTabOrder(RxDBComboBox2, RxDBGrid2);
    setTabOrder(RxDBGrid2, RxDBGrid1);

    connect(RxDBComboBox1, &DbComboBox::changed, this, &TfrmAssociado::RxDBComboBox1Change);
}

TfrmAssociado::~TfrmAssociado() {
    // An open cell would write its text into the row as the window goes.
    RxDBGrid1->setDataSource(nullptr);
}

QToolButton* TfrmAssociado::makeMovementButton(const char* name, const QString& hint, int glyph) {
    QToolButton* b = ToolIcons::button(this, name, hint, ToolIcons::Glyph(glyph));
    m_movementBar->addWidget(b);
    return b;
}

void TfrmAssociado::createDataModule() {
    dtmAssociado = new TdtmAssociado(connection(), this);
    TdtmAssociado* d = dtmAssociado;

    DBEdit1->setDataSource(d->dtsAssociado, QStringLiteral("nom_associado"));
    RxDBComboBox1->setDataSource(d->dtsAssociado, QStringLiteral("idt_tpo_associado"));
    DBEdit2->setDataSource(d->dtsAssociado, QStringLiteral("num_cgc_cpf"));
    DBEdit6->setDataSource(d->dtsAssociado, QStringLiteral("num_bancoob"));
    DBEdit3->setDataSource(d->dtsAssociado, QStringLiteral("num_ag_bancoob"));
    DBEdit5->setDataSource(d->dtsAssociado, QStringLiteral("num_conv_bancoob"));
    // The salary file has seven places for the agreement number.
    DBEdit5->setLimit(7);
    RxDBComboBox2->setDataSource(d->dtsAssociado, QStringLiteral("idt_dst_mov_bancoob"));

    RxDBGrid2->setColumns({QStringLiteral("nom_associado"), QStringLiteral("idt_tpo_associado"),
                           QStringLiteral("num_cgc_cpf"), QStringLiteral("num_bancoob"),
                           QStringLiteral("num_ag_bancoob"), QStringLiteral("num_conv_bancoob"),
                           QStringLiteral("idt_dst_mov_bancoob")});
    RxDBGrid2->setDataSource(d->dtsAssociado);
    RxDBGrid2->setColumnWidths({250, 45, 120, 80, 65, 90, 75});

    RxDBGrid1->setColumns({QStringLiteral("num_cod_movimento"), QStringLiteral("dsc_movimento")});
    RxDBGrid1->setDataSource(d->dtsMovimento);
    RxDBGrid1->setColumnWidths({110, 500});
    connect(d->dtsMovimento, &DataSource::stateChange, this,
            &TfrmAssociado::dtsMovimentoStateChange);
}

void TfrmAssociado::dtsAssociadoStateChange() {
    HabilitaBotoes();
}

void TfrmAssociado::dtsMovimentoStateChange() {
    HabilitaBotoes();
}

TfrmCadastro::SearchPrompt TfrmAssociado::searchPrompt() const {
    return {QStringLiteral("Digite o nome do associado"), QStringLiteral("Associado"),
            QStringLiteral("nom_associado")};
}

QList<TfrmCadastro::SaveCheck> TfrmAssociado::saveChecks() const {
    // The number's length alone says whether it is a person's or a company's; the type
    // picked plays no part.
    return {
        {[this] { return isBlank(DBEdit1->text()); },
         QStringLiteral("Favor informar o nome do associado!")},
        {[this] { return isBlank(RxDBComboBox1->currentText()); },
         QStringLiteral("Favor informar o tipo do associado!")},
        {[this] { return DBEdit2->text().size() == 11 && !ValidaCPF(DBEdit2->text()); },
         QStringLiteral("O Cpf informado é inválido!")},
        {[this] { return DBEdit2->text().size() == 14 && !ValidaCNPJ(DBEdit2->text()); },
         QStringLiteral("O Cgc informado é inválido!")},
        {[this] { return DBEdit2->text().size() != 11 && DBEdit2->text().size() != 14; },
         QStringLiteral("O número informado não corresponde a um Cpf ou Cgc!")},
        {[this] { return isBlank(DBEdit6->text()); },
         QStringLiteral("Favor informar o número do banco!")},
        {[this] { return isBlank(DBEdit3->text()); },
         QStringLiteral("Favor informar o número da agência\r\nonde o associado possui a conta!")},
    };
}

void TfrmAssociado::habilitaMovimento(bool lista, bool cancelar, bool excluir, bool salvar) {
    RxDBGrid1->setEnabled(lista);
    RxDBGrid1->setBackgroundColor(lista ? Colors::fromBgr(Colors::WhiteBgr)
                                        : RxDBGrid1->palette().color(QPalette::Button));
    btnCancelarMV->setEnabled(cancelar);
    btnExcluirMV->setEnabled(excluir);
    btnSalvarMV->setEnabled(salvar);
}

void TfrmAssociado::habilitaExtras() {
    const Dataset* associado = dtmAssociado->qryAssociado;
    const Dataset* movimento = dtmAssociado->qryMovimento;
    if (!movimento->isOpen() || associado->state() != Dataset::State::Browse)
        habilitaMovimento(false, false, false, false);
    else if (!associado->isEmpty() && movimento->state() == Dataset::State::Browse)
        habilitaMovimento(true, false, true, false);
    else if (!associado->isEmpty())
        habilitaMovimento(true, true, false, true);
    // An empty member list in browse leaves the movement area as it was.
}

void TfrmAssociado::RxDBComboBox1Change() {
    const int i = RxDBComboBox1->currentIndex();
    const bool juridica =
        i >= 0 && RxDBComboBox1->entries().at(i).second.toString() == QLatin1String("J");
    // Until the first pick the box takes the column's width. The limit stays with the box, across
    // moves and showings; a longer number a record holds is shown whole and just cannot grow.
    DBEdit2->setLimit(juridica ? 14 : 11);
}

void TfrmAssociado::btnCancelarMVClick() {
    m_celulas->closeOpenEditor();
    dtmAssociado->qryMovimento->cancel();
    HabilitaBotoes();
}

void TfrmAssociado::btnExcluirMVClick() {
    using Dialogs::Button;
    const Button answer = Dialogs::messageDlg(Confirmacao, Dialogs::Kind::Confirmation,
                                              {Button::Yes, Button::No, Button::Cancel});
    if (answer != Button::Yes)
        return;
    try {
        dtmAssociado->qryMovimento->remove();
    } catch (const DbError& e) {
        // A code that employees are paid under stays.
        if (!isReferenceRefusal(e))
            throw;
        showAttention(Vinculado);
    }
    HabilitaBotoes();
}

void TfrmAssociado::btnSalvarMVClick() {
    m_celulas->closeOpenEditor();
    dtmAssociado->qryMovimento->post();
    HabilitaBotoes();
}

void TfrmAssociado::RxDBGrid2DrawColumnCell(DbGridCell& cell) {
    DbGrid::paintCurrentRow(cell);
}
