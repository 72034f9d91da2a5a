#pragma once

#include "bankfiles/udtmGeraArqDepositoCustodia.h"
#include "platform/widgets/ScreenFrame.h"

class DbGrid;
class QAction;
class QMenu;
class QPushButton;
class SelectionBar;
struct DbGridCell;

// Generation of the deposit/custody file: the lots with their totals, the cheques of the
// chosen lot, the first generation of a lot, the re-presentation of its returned cheques and
// the release of a lot for a new generation.
class TfrmGeraArqDepositoCustodia : public ScreenFrame {
    Q_OBJECT
public:
    explicit TfrmGeraArqDepositoCustodia(Connection* cnx, QWidget* parent = nullptr);

    TdtmGeraArqDepositoCustodia* dtmGeraArqDepositoCustodia = nullptr;

    DbGrid* RxDBGrid1; // lots
    DbGrid* RxDBGrid2; // cheques
    QMenu* PopupMenu1;
    QAction* Pesquisar1;
    QAction* Regerarlote1;
    QMenu* PopupMenu2;
    QAction* Selecionartodos1;
    QAction* Desfazerseleo1;
    QPushButton* SpeedButton1;
    SelectionBar* bar;

    // The context menu attached to the cheque grid now; nullptr when none.
    QMenu* chequeMenu() const;
    int ultimoLote() const { return m_ultimoLote; }

public slots:
    void SpeedButton1Click();
    void Pesquisar1Click();
    void Regerarlote1Click();
    void Selecionartodos1Click();
    void Desfazerseleo1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void chequesLidos();
    void ajustaModo();
    void geraPrimeira();
    void reapresenta();
    // The confirmation and the save dialog; the chosen path, or empty to stop.
    QString perguntaArquivo();
    void falhou(const QString& texto);
    void drawCell(DbGridCell& cell) const;

    Connection* m_cnx;
    int m_ultimoLote = 0;
    bool m_modoGerado = false; // the generated-lot mode the cheque grid is in
    QString m_arquivo;         // the name chosen last in the save dialog
};
