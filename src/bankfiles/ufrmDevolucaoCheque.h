#pragma once

#include "bankfiles/udtmDevolucaoCheque.h"
#include "platform/widgets/ScreenFrame.h"

class DbGrid;
class QAction;
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
    QPushButton* SpeedButton1;
    SelectionBar* bar;

public slots:
    void SpeedButton1Click();
    void Pesquisar1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    Connection* m_cnx;
};
