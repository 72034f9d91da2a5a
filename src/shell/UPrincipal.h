#pragma once

#include <QMainWindow>
#include <functional>

class QDialog;
class QLabel;
class QPushButton;

// The nine working screens the main menu opens.
enum class Screen {
    Associado,
    Departamento,
    Funcionario,
    Feriado,
    CapturaCheque,
    GeraArqDepositoCustodia,
    DevolucaoCheque,
    GeraArqPagFuncionario,
    Relatorio,
};
inline constexpr int ScreenCount = 9;

// Makes a screen's one instance, with no owner. Called on the first click of its button.
using ScreenFactory = std::function<QDialog*()>;

// The main window: ten buttons, nine opening the working screens modally, one leaving.
class TfrmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmPrincipal(QWidget* parent = nullptr);
    ~TfrmPrincipal() override;

    // Plugs a screen into its button; a button without a factory stays disabled. Register
    // before the menu is created (main.cpp does) or at any time after.
    static void setScreenFactory(Screen screen, ScreenFactory factory);
    static bool hasScreenFactory(Screen screen);
    // The screen's kept instance; nullptr until its button was first clicked.
    static QDialog* screenInstance(Screen screen);
    // Disposes of the screens' instances (end of the run).
    static void destroyScreens();
    // Forgets every factory (tests).
    static void clearScreenFactories();

    QPushButton* buttonFor(Screen screen) const;

    QLabel* Image1;
    QPushButton* SpeedButton1;
    QPushButton* SpeedButton2;
    QPushButton* SpeedButton3;
    QPushButton* SpeedButton4;
    QPushButton* SpeedButton5;
    QPushButton* SpeedButton6;
    QPushButton* SpeedButton7;
    QPushButton* SpeedButton8;
    QPushButton* SpeedButton9;
    QPushButton* SpeedButton10;

public slots:
    void Associado1Click();
    void Departamento1Click();
    void Funcionario1Click();
    void Feriado1Click();
    void Capturadecheque1Click();
    void Gerararquivodepcust1Click();
    void Consultacapturados1Click();
    void Gerararquivopagsal1Click();
    void Relatorios1Click();
    void Sairdosistema1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // `focused`: the button the key was meant for, if any.
    bool FormKeyDown(QPushButton* focused, QKeyEvent* key);
    void FormClose(QCloseEvent* event);
    void openScreen(Screen screen);
    void updateButtons();
};

// The one instance, while it exists.
extern TfrmPrincipal* frmPrincipal;
