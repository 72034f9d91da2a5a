#pragma once

#include "bankfiles/udtmDevolucaoCheque.h"
#include "platform/widgets/ScreenFrame.h"

class DbGrid;
class DigitLineEdit;
class QAction;
class QComboBox;
class QMenu;
class QPushButton;
class SelectionBar;

// Returned cheques: the generated lots, all the cheques of the chosen lot, and the marking of
// the selected ones as returned.
class TfrmDevolucaoCheque : public ScreenFrame {
    Q_OBJECT
public:
    explicit TfrmDevolucaoCheque(Connection* cnx, QWidget* parent = nullptr);

    TdtmDevolucaoCheque* dtmDevolucaoCheque = nullptr;

    DbGrid* RxDBGrid1; // lots
    DbGrid* RxDBGrid2; // cheques
    QMenu* PopupMenu1;
    QAction* Pesquisar1;
    DigitLineEdit* edLinhaCheque; // a cheque's line, typed or scanned
    QPushButton* SpeedButton1;
    QComboBox* cbAlinea; // the reason recorded by "Devolver"; the first item is none
    SelectionBar* bar;

    // The reason chosen in cbAlinea; 0 for none.
    int alineaEscolhida() const;

public slots:
    void SpeedButton1Click();
    void Pesquisar1Click();
    // Enter in the line box: goes to the cheque's lot and adds the cheque to the selection.
    void edLinhaChequeEnter();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void carregaAlineas();
    // Shows a warning about the line in the box; the box keeps the focus.
    void recusaLinha(const QString& texto, bool limpa);
    // The row of lot `codLote` in the lot list; -1 when it is not listed.
    int linhaDoLote(int codLote) const;

    Connection* m_cnx;
};
