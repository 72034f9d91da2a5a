#include "shell/ufrmLogin.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/dialogs/SilentAbort.h"
#include "platform/widgets/ScreenCursor.h"
#include "shell/uDMCap.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const auto FixedUser = QStringLiteral("chefia");
const auto FixedPassword = QStringLiteral("chavemax");

// Flat single-line border, and '*' for every character of a password.
const auto EditStyle =
    QStringLiteral("QLineEdit { border: 1px solid #808080; background: white; padding: 2px;"
                   " lineedit-password-character: 42; }");

// Flat: no raised edge, a thin frame so that they still read as buttons.
const auto ButtonStyle = QStringLiteral(
    "QToolButton { border: 1px solid #a8a8ac; border-radius: 2px; background: #ececef;"
    " padding: 3px 8px; }"
    " QToolButton:hover { background: white; }"
    " QToolButton:pressed { background: #d4d4d8; }");

bool isEnter(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}
} // namespace

TfrmLogin::TfrmLogin(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Acesso ao sistema"));
    setModal(true);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(224, 223, 227));
    setPalette(pal);
    setAutoFillBackground(true);

    Panel8 = new QLabel(QStringLiteral("Identificação do Usuário  "), this);
    Panel8->setObjectName(QStringLiteral("Panel8"));
    Panel8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Panel8->setAutoFillBackground(true);
    QPalette band = Panel8->palette();
    band.setColor(QPalette::Window, Qt::white);
    band.setColor(QPalette::WindowText, QColor(128, 128, 128));
    Panel8->setPalette(band);
    QFont bandFont = Panel8->font();
    bandFont.setPixelSize(16);
    bandFont.setBold(true);
    Panel8->setFont(bandFont);
    Panel8->setFixedHeight(40);

    auto makeEdit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setStyleSheet(EditStyle);
        e->setFixedWidth(160);
        e->installEventFilter(this);
        return e;
    };
    edtUsuario = makeEdit("edtUsuario");
    edtSenha = makeEdit("edtSenha");
    edtSenha->setEchoMode(QLineEdit::Password);

    auto makeButton = [this](const char* name, const QString& caption) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setAutoRaise(true);
        b->setStyleSheet(ButtonStyle);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(56);
        return b;
    };
    SpeedButton1 = makeButton("SpeedButton1", QStringLiteral("OK"));
    SpeedButton2 = makeButton("SpeedButton2", QStringLiteral("Sair"));
    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmLogin::Image2Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TfrmLogin::Image3Click);

    auto* lblUsuario = new QLabel(QStringLiteral("Usuário:"), this);
    lblUsuario->setBuddy(edtUsuario);
    auto* lblSenha = new QLabel(QStringLiteral("Senha:"), this);
    lblSenha->setBuddy(edtSenha);

    auto* fields = new QGridLayout;
    fields->setContentsMargins(16, 14, 16, 16);
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(10);
    fields->addWidget(lblUsuario, 0, 0, Qt::AlignRight);
    fields->addWidget(edtUsuario, 0, 1);
    fields->addWidget(SpeedButton1, 0, 2);
    fields->addWidget(lblSenha, 1, 0, Qt::AlignRight);
    fields->addWidget(edtSenha, 1, 1);
    fields->addWidget(SpeedButton2, 1, 2);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(Panel8);
    outer->addLayout(fields);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(edtUsuario, edtSenha);
    edtUsuario->setFocus();
}

void TfrmLogin::Image2Click() {
    done(QDialog::Accepted);
}

void TfrmLogin::Image3Click() {
    done(QDialog::Rejected);
}

bool TfrmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == edtUsuario)
            return edtUsuarioKeyPress(key);
        if (watched == edtSenha)
            return edtSenhaKeyPress(key);
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmLogin::edtUsuarioKeyPress(QKeyEvent* key) {
    if (key->key() == Qt::Key_Escape) {
        terminateApplication();
        return true;
    }
    // Enter is the box's own: it must not reach the window as a confirmation.
    return isEnter(key);
}

bool TfrmLogin::edtSenhaKeyPress(QKeyEvent* key) {
    if (key->key() == Qt::Key_Escape) {
        terminateApplication();
        return true;
    }
    if (isEnter(key)) {
        Image2Click();
        return true;
    }
    return false;
}

// Ends the modal display with Cancel without the close handling: no connection, no message.
void TfrmLogin::terminateApplication() {
    m_terminated = true;
    QDialog::done(QDialog::Rejected);
}

void TfrmLogin::done(int result) {
    CloseAction action = CloseAction::Hide;
    FormClose(result, action);
    if (action == CloseAction::None) {
        setResult(0);
        return;
    }
    // Disposing of the window is its creator's business (the start-up sequence).
    QDialog::done(result);
}

void TfrmLogin::FormClose(int modalResult, CloseAction& action) {
    ScreenCursor::Busy busy;
    if (modalResult == QDialog::Accepted) {
        try {
            ConectaBanco();
        } catch (const SilentAbort&) {
            action = CloseAction::None;
            return;
        }
        if (ValidaUsuario()) {
            action = CloseAction::Free;
        } else {
            action = CloseAction::None;
            ScreenCursor::normal();
            Dialogs::messageBox(this, QStringLiteral("Usuário/Senha inválido!"),
                                QStringLiteral("DB - Atenção"), Dialogs::Icon::Information);
        }
    } else if (modalResult == QDialog::Rejected) {
        action = CloseAction::Free;
    }
}

bool TfrmLogin::ValidaUsuario() const {
    return edtUsuario->text() == FixedUser && edtSenha->text() == FixedPassword;
}
