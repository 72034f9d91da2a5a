#pragma once

#include "payroll/UAnoMes.h"
#include "payroll/udtmGeraArqPagFuncionario.h"
#include "platform/widgets/ScreenFrame.h"

class DbDateEdit;
class DbGrid;
class DbLookupComboBox;
class QComboBox;
class QMenu;
class QPushButton;
class SelectionBar;

// Salary payments: the operator picks a member, a payment date, a reference month, a movement
// code and the holiday treatment, selects employees, and generates the salary payment file,
// recording one payment per employee in the same transaction.
class TfrmGeraArqPagFuncionario : public ScreenFrame {
    Q_OBJECT
public:
    explicit TfrmGeraArqPagFuncionario(Connection* cnx, QWidget* parent = nullptr);

    TdtmGeraArqPagFuncionario* dtmGeraArqPagFuncionario = nullptr;

    DbGrid* RxDBGrid1;
    QMenu* PopupMenu1;
    DbDateEdit* DateEdit1;
    TUAnoMes* UAnoMes1;
    DbLookupComboBox* RxDBLookupCombo1;
    QComboBox* ComboBox1;
    DbGrid* RxDBGrid2;
    QMenu* PopupMenu2;
    QPushButton* SpeedButton1;
    SelectionBar* barra;

public slots:
    void Pesquisar1Click();
    void Selecionartodos1Click();
    void Desfazerseleo1Click();
    void SpeedButton1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void RxDBGrid1Enter();
    void RxDBLookupCombo1DropDown();
    void RxDBLookupCombo1CloseUp();
    void RxDBLookupCombo1Change();
    void reabreFuncionarios();
    void informa(const QString& text);

    Connection* m_cnx;
};
