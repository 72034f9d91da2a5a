#pragma once

#include <QDialog>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QToolButton;

// The first window of the program: the fixed user and password, checked after the connection
// step. It ends with Accepted when both were right, with Rejected when the operator left.
class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget* parent = nullptr);

    // What the window does once its close handling has run.
    enum class CloseAction { Hide, Free, None };

    // Esc in one of the boxes: the operator asked to end the program at once.
    bool terminated() const { return m_terminated; }

    QLabel* Panel8;
    QLineEdit* edtUsuario;
    QLineEdit* edtSenha;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;

public slots:
    void Image2Click();
    void Image3Click();
    // Runs the close handling first; the window stays open when it says so.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool edtUsuarioKeyPress(QKeyEvent* key);
    bool edtSenhaKeyPress(QKeyEvent* key);
    void FormClose(int modalResult, CloseAction& action);
    bool ValidaUsuario() const;
    void terminateApplication();

    bool m_terminated = false;
};
