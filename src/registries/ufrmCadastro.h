#pragma once

#include "platform/widgets/DbEdit.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/ScreenFrame.h"

#include <QList>
#include <QString>
#include <functional>

class Connection;
class DbError;
class QHBoxLayout;
class QToolButton;
class QWidget;

// The record-maintenance screen that the registries and the lot half of the capture share: the
// title band, an edit area of controls bound to the current record, the list of all records
// (the main grid) and the toolbar of nine picture buttons. A screen fills the edit area in its
// constructor and tells the base, through the hooks below, its data module, its queries, its
// search, its save checks and how a record is posted, where the focus goes and what more to
// enable. The base places the edit area, the list and the toolbar one under the other, unless
// the screen arranges them itself.
class TfrmCadastro : public ScreenFrame {
    Q_OBJECT
public:
    // The search prompt of a screen, the column it searches and how: by default a record
    // matches when its column begins with the text, letter case ignored.
    struct SearchPrompt {
        QString title;
        QString label;
        QString column;
        int options = Dataset::CaseInsensitive | Dataset::PartialKey;
    };
    // One save check: when `fails` holds, `message` is shown and the save stops.
    struct SaveCheck {
        std::function<bool()> fails;
        QString message;
    };

    Connection* connection() const { return m_cnx; }

    // The toolbar, left to right.
    QToolButton* btnInserir;
    QToolButton* btnPesquisar;
    QToolButton* btnCancelar;
    QToolButton* btnExcluir;
    QToolButton* btnSalvar;
    QToolButton* btnPrimeiro;
    QToolButton* btnAnterior;
    QToolButton* btnProximo;
    QToolButton* btnUltimo;

    // The list of the main query (named RxDBGrid1 unless the screen says otherwise).
    DbGrid* mainGrid() const { return m_grid; }
    QWidget* editArea() const { return m_editArea; }
    // The row of the nine toolbar buttons.
    QWidget* toolbar() const { return m_toolbar; }

    // Is the delete refusal of the database because other rows refer to the row?
    static bool isReferenceRefusal(const DbError& e);

public slots:
    void FormShow();
    void btnInserirClick();
    void btnPesquisarClick();
    void btnCancelarClick();
    void btnExcluirClick();
    void btnSalvarClick();
    void btnPrimeiroClick();
    void btnAnteriorClick();
    void btnProximoClick();
    void btnUltimoClick();

protected:
    // Standard: the edit area, the list and the toolbar one under the other in body(), where a
    // screen may add more below. Custom: the screen places the three itself.
    enum class Arrangement { Standard, Custom };

    TfrmCadastro(Connection* cnx, const QString& title, QWidget* parent = nullptr,
                 const QString& gridName = QStringLiteral("RxDBGrid1"),
                 Arrangement arrangement = Arrangement::Standard);

    // --- What a screen provides ---

    // Creates the data module (first showing) and binds the controls and the grid to its data
    // sources; hasDataModule() tells whether that happened.
    virtual void createDataModule() = 0;
    virtual bool hasDataModule() const = 0;
    virtual Dataset* mainQuery() const = 0;
    virtual DataSource* mainSource() const = 0;
    // Closes and re-opens the main query; a screen with lookup queries re-opens them after it,
    // in its order.
    virtual void reopenQueries();
    // The control that takes the focus when the screen opens.
    virtual QWidget* firstControl() const = 0;
    virtual SearchPrompt searchPrompt() const = 0;
    // The save checks, in their order.
    virtual QList<SaveCheck> saveChecks() const { return {}; }
    // Posts the record once the checks passed; a screen that gives a new record more on save
    // (a number, say) overrides it.
    virtual void postRecord();
    // Where the focus goes after an insert and after a save; nullptr: it stays.
    virtual QWidget* focusAfterInsert() const { return nullptr; }
    virtual QWidget* focusAfterSave() const { return nullptr; }
    // The screen's own enabling rules, run at the end of HabilitaBotoes.
    virtual void habilitaExtras() {}
    // The main data source's state change; a screen that does more before enabling overrides
    // it (and still ends with HabilitaBotoes).
    virtual void mainStateChange() { HabilitaBotoes(); }

    // --- What the base offers a screen ---

    void HabilitaBotoes();
    // The digits-only key filter, and the boxes it is attached to.
    void DBEdit2KeyPress(QChar& key);
    void useDigitsOnly(DbEdit* box);
    // The usual painting of the list's current row.
    void RxDBGrid1DrawColumnCell(DbGridCell& cell);
    // A box is empty when its text is blank after trimming.
    static bool isBlank(const QString& text) { return text.trimmed().isEmpty(); }
    // The save checks' message box.
    void showAttention(const QString& message);
    // While a record is edited, every box of the screen holds a text that can be written (no
    // half-typed date or amount); the first that does not says so and takes the focus.
    bool boxesHoldValidText();

    void showEvent(QShowEvent* event) override;

private:
    QToolButton* makeButton(const char* name, const QString& hint, int glyph);
    void connectMainSource();

    Connection* m_cnx;
    QWidget* m_editArea;
    DbGrid* m_grid;
    QWidget* m_toolbar;
    QHBoxLayout* m_toolbarRow;
    DataSource* m_connectedSource = nullptr;
};
