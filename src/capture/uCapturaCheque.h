#pragma once

#include "capture/udtmCapturaCheque.h"
#include "platform/widgets/DigitLineEdit.h"
#include "registries/ufrmCadastro.h"

#include <QPointer>
#include <optional>

class DbComboBox;
class DbDateEdit;
class DbLookupComboBox;
class QLabel;
class QLineEdit;

// Cheque capture: lots of a member, and the capture of each cheque of a lot by its CMC-7 line
// and value. The lot toolbar is the record-maintenance toolbar over the lots.
class TfrmCapturaCheque : public TfrmCadastro {
    Q_OBJECT
public:
    explicit TfrmCapturaCheque(Connection* cnx, QWidget* parent = nullptr);

    TdtmCapturaCheque* dtmCapturaCheque = nullptr;

    // Lot area.
    DbEdit* DBEdit1;
    DbLookupComboBox* RxDBLookupCombo1;
    DbComboBox* RxDBComboBox1; // operation
    DbComboBox* RxDBComboBox2; // file generated?
    DbDateEdit* DBDateEdit2;
    // Capture area.
    DigitLineEdit* edLinhaCheque;
    QLineEdit* ceValorCheque;
    DbDateEdit* DBDateEdit1; // "Data boa" of the current cheque
    QLineEdit* edBanco;
    QLineEdit* edAgencia;
    QLineEdit* edDV2;
    QLineEdit* edCompe;
    QLineEdit* edNumCheque;
    QLineEdit* edTPF;
    QLineEdit* edDV1;
    QLineEdit* edConta;
    QLineEdit* edDV3;
    // Cheque area.
    DbGrid* DBGrid1;
    QToolButton* btnExcluirCQ;
    QLabel* StaticText3; // total value
    QLabel* StaticText5; // cheque count

public slots:
    void btnExcluirCQClick();

protected:
    void createDataModule() override;
    bool hasDataModule() const override { return dtmCapturaCheque != nullptr; }
    Dataset* mainQuery() const override { return &dtmCapturaCheque->qryLoteCheque; }
    DataSource* mainSource() const override { return &dtmCapturaCheque->dtsLoteCheque; }
    void reopenQueries() override;
    QWidget* firstControl() const override;
    SearchPrompt searchPrompt() const override;
    void postRecord() override;
    QWidget* focusAfterInsert() const override;
    void habilitaExtras() override;
    // The keys of the line and value boxes.
    bool FormKeyDown(QKeyEvent* key) override;

private:
    void edLinhaChequeEnter();
    void edLinhaChequeChange(const QString& text);
    void GravaCheque();
    void ExibeTotais();
    void dtsLoteChequeDataChange(const QString& field);
    void limpaCaptura();
    bool loteEnviadoAviso();
    QList<QLineEdit*> grupos() const;

    // Totals of the lot last read from the database, kept up to date by captures and deletions.
    int m_quantidade = 0;
    Money m_total;
    int m_ultimoLote = 0;
    // The line accepted since the last capture; empty when none.
    std::optional<LinhaCheque> m_linhaAceita;
};
