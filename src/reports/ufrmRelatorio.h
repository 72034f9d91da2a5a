#pragma once

#include "platform/widgets/ScreenFrame.h"

#include <QString>

class Connection;
class Dataset;
class LookupBox;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TdtmRelatorio;

// The report screen: one member, one of four listings and its criteria, and the listing in a
// print preview.
class TfrmRelatorio : public ScreenFrame {
    Q_OBJECT
public:
    explicit TfrmRelatorio(Connection* cnx, QWidget* parent = nullptr);

    TdtmRelatorio* dtmRelatorio = nullptr; // made on the first showing

    LookupBox* RxDBLookupCombo1;
    QGroupBox* RadioGroup1;
    QButtonGroup* RadioGroup1Buttons;
    QGroupBox* GroupBox1;
    QLineEdit* DateEdit1;
    QLineEdit* DateEdit2;
    QLineEdit* CurrencyEdit1;
    QGroupBox* GroupBox2;
    LookupBox* RxDBLookupCombo2;
    QPushButton* SpeedButton1;

    // The report kind, 0 to 3.
    int itemIndex() const;
    void setItemIndex(int index);

public slots:
    void SpeedButton1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void RadioGroup1Click();
    void RxDBLookupCombo2DropDown();
    void LimpaCampos(const QString& todos);
    void geraRelatorioCheque();
    void geraRelatorioFuncionario();
    bool abreComDados(Dataset* q);
    void atencao(const QString& text);
    // The member chosen, as the queries take it.
    QVariant associado() const;

    Connection* m_cnx;
    int m_kind = 0;
};
