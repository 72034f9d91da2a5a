#include "shell/UPrincipal.h"

#include "platform/dialogs/Dialogs.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <array>

TfrmPrincipal* frmPrincipal = nullptr;

namespace {
// A screen's factory and its one instance, which lives for the rest of the run.
struct ScreenSlot {
    ScreenFactory factory;
    QPointer<QDialog> instance;
};
std::array<ScreenSlot, ScreenCount> g_screens;

ScreenSlot& slotOf(Screen s) {
    return g_screens[static_cast<size_t>(s)];
}

constexpr int ButtonWidth = 280;
constexpr int ButtonHeight = 46;
constexpr int Margin = 20;
constexpr int ColumnGap = 16;
constexpr int BannerWidth = 2 * ButtonWidth + ColumnGap + 2 * Margin;
constexpr int BannerHeight = 110;

// The largest font of `pixels` or less in which `text` fits `width`.
QFont fitted(QFont font, int pixels, const QString& text, int width) {
    for (; pixels > 8; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(text) <= width)
            break;
    }
    return font;
}

// The banner: a cheque with its CMC-7 band beside the program's name.
QPixmap makeBanner() {
    QPixmap pm(BannerWidth, BannerHeight);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF cheque(22, 14, 170, 82);
    QLinearGradient paper(cheque.topLeft(), cheque.bottomRight());
    paper.setColorAt(0, QColor(0xE6, 0xF2, 0xE6));
    paper.setColorAt(1, QColor(0xC8, 0xE0, 0xC8));
    p.setPen(QPen(QColor(0x4A, 0x7A, 0x4A), 1.5));
    p.setBrush(paper);
    p.drawRoundedRect(cheque, 6, 6);
    p.setPen(QPen(QColor(0x6E, 0x94, 0x6E), 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(cheque.left() + 12, cheque.top() + 22 + i * 14),
                   QPointF(cheque.right() - (i == 0 ? 60 : 12), cheque.top() + 22 + i * 14));
    p.setPen(QPen(QColor(0x4A, 0x7A, 0x4A), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(cheque.right() - 52, cheque.top() + 12, 40, 16));
    // The magnetic line: thin bars of varying height, in groups.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x30, 0x20));
    double x = cheque.left() + 12;
    for (int i = 0; i < 30; ++i) {
        const double h = 5 + (i * 7 % 5);
        p.drawRect(QRectF(x, cheque.bottom() - 10 - h, 2.2, h));
        x += (i % 8 == 7) ? 8 : 4.6;
    }

    const QRectF text(216, 18, BannerWidth - 216 - Margin, 44);
    const QString name = QStringLiteral("Captura de Cheques");
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    p.setFont(fitted(title, 30, name, int(text.width())));
    p.setPen(QColor(0x2E, 0x5E, 0x2E));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, name);
    const QString tagline = QStringLiteral("Depósito, custódia e pagamento de salários");
    p.setFont(fitted(QFont(QStringLiteral("DejaVu Sans")), 14, tagline, int(text.width())));
    p.setPen(QColor(0x70, 0x70, 0x70));
    p.drawText(QRectF(text.left(), 62, text.width(), 24), Qt::AlignLeft | Qt::AlignVCenter,
               tagline);
    p.setPen(QPen(QColor(0x9C, 0xC4, 0x9C), 2));
    p.drawLine(QPointF(text.left(), 90), QPointF(text.right(), 90));
    return pm;
}
} // namespace

TfrmPrincipal::TfrmPrincipal(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(Dialogs::applicationTitle() + QStringLiteral(" 1.2"));
    setAttribute(Qt::WA_DeleteOnClose);
    frmPrincipal = this;

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));

    Image1 = new QLabel(central);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(makeBanner());
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setAutoFillBackground(true);
    QPalette white = Image1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Image1->setPalette(white);

    auto make = [&](const char* name, const QString& caption, auto handler) {
        auto* b = new QPushButton(caption, central);
        b->setObjectName(QLatin1String(name));
        QFont f = b->font();
        f.setBold(true);
        f.setPixelSize(14);
        b->setFont(f);
        b->setMinimumSize(ButtonWidth, ButtonHeight);
        b->setFocusPolicy(Qt::StrongFocus);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    SpeedButton1 = make("SpeedButton1", QStringLiteral("Cadastro de associado"),
                        &TfrmPrincipal::Associado1Click);
    SpeedButton4 = make("SpeedButton4", QStringLiteral("Cadastro de departamento"),
                        &TfrmPrincipal::Departamento1Click);
    SpeedButton2 = make("SpeedButton2", QStringLiteral("Cadastro de funcionário"),
                        &TfrmPrincipal::Funcionario1Click);
    SpeedButton3 =
        make("SpeedButton3", QStringLiteral("Cadastro de feriado"), &TfrmPrincipal::Feriado1Click);
    SpeedButton5 = make("SpeedButton5", QStringLiteral("Captura de cheque"),
                        &TfrmPrincipal::Capturadecheque1Click);
    SpeedButton7 = make("SpeedButton7", QStringLiteral("Gerar arquivo depósito/custódia"),
                        &TfrmPrincipal::Gerararquivodepcust1Click);
    SpeedButton6 = make("SpeedButton6", QStringLiteral("Devolução cheque"),
                        &TfrmPrincipal::Consultacapturados1Click);
    SpeedButton8 = make("SpeedButton8", QStringLiteral("Gerar arquivo pagamento salário"),
                        &TfrmPrincipal::Gerararquivopagsal1Click);
    SpeedButton9 =
        make("SpeedButton9", QStringLiteral("Relatórios"), &TfrmPrincipal::Relatorios1Click);
    SpeedButton10 = make("SpeedButton10", QStringLiteral("Sair do sistema"),
                         &TfrmPrincipal::Sairdosistema1Click);

    const QList<QPushButton*> left{SpeedButton1, SpeedButton4, SpeedButton2, SpeedButton3,
                                   SpeedButton5};
    const QList<QPushButton*> right{SpeedButton7, SpeedButton6, SpeedButton8, SpeedButton9,
                                    SpeedButton10};
    auto* grid = new QGridLayout;
    grid->setContentsMargins(Margin, 16, Margin, Margin);
    grid->setHorizontalSpacing(ColumnGap);
    grid->setVerticalSpacing(10);
    for (int row = 0; row < 5; ++row) {
        grid->addWidget(left[row], row, 0);
        grid->addWidget(right[row], row, 1);
    }
    QWidget* previous = nullptr;
    for (QPushButton* b : left + right) {
        if (previous)
            setTabOrder(previous, b);
        previous = b;
    }

    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(Image1);
    outer->addLayout(grid);
    setCentralWidget(central);

    updateButtons();
    SpeedButton1->setFocus();

    setFixedSize(sizeHint());
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

TfrmPrincipal::~TfrmPrincipal() {
    if (frmPrincipal == this)
        frmPrincipal = nullptr;
}

QPushButton* TfrmPrincipal::buttonFor(Screen s) const {
    switch (s) {
    case Screen::Associado:
        return SpeedButton1;
    case Screen::Departamento:
        return SpeedButton4;
    case Screen::Funcionario:
        return SpeedButton2;
    case Screen::Feriado:
        return SpeedButton3;
    case Screen::CapturaCheque:
        return SpeedButton5;
    case Screen::GeraArqDepositoCustodia:
        return SpeedButton7;
    case Screen::DevolucaoCheque:
        return SpeedButton6;
    case Screen::GeraArqPagFuncionario:
        return SpeedButton8;
    case Screen::Relatorio:
        return SpeedButton9;
    }
    return nullptr;
}

void TfrmPrincipal::setScreenFactory(Screen s, ScreenFactory factory) {
    slotOf(s).factory = std::move(factory);
    if (frmPrincipal)
        frmPrincipal->updateButtons();
}

bool TfrmPrincipal::hasScreenFactory(Screen s) {
    return bool(slotOf(s).factory);
}

QDialog* TfrmPrincipal::screenInstance(Screen s) {
    return slotOf(s).instance;
}

void TfrmPrincipal::destroyScreens() {
    for (ScreenSlot& slot : g_screens)
        delete slot.instance;
}

void TfrmPrincipal::clearScreenFactories() {
    for (ScreenSlot& slot : g_screens)
        slot.factory = nullptr;
    if (frmPrincipal)
        frmPrincipal->updateButtons();
}

void TfrmPrincipal::updateButtons() {
    for (int i = 0; i < ScreenCount; ++i)
        buttonFor(Screen(i))->setEnabled(hasScreenFactory(Screen(i)));
}

void TfrmPrincipal::openScreen(Screen s) {
    ScreenSlot& slot = slotOf(s);
    if (!slot.factory)
        return;
    if (!slot.instance)
        slot.instance = slot.factory();
    if (slot.instance)
        slot.instance->exec();
}

void TfrmPrincipal::Associado1Click() {
    openScreen(Screen::Associado);
}
void TfrmPrincipal::Departamento1Click() {
    openScreen(Screen::Departamento);
}
void TfrmPrincipal::Funcionario1Click() {
    openScreen(Screen::Funcionario);
}
void TfrmPrincipal::Feriado1Click() {
    openScreen(Screen::Feriado);
}
void TfrmPrincipal::Capturadecheque1Click() {
    openScreen(Screen::CapturaCheque);
}
void TfrmPrincipal::Gerararquivodepcust1Click() {
    openScreen(Screen::GeraArqDepositoCustodia);
}
void TfrmPrincipal::Consultacapturados1Click() {
    openScreen(Screen::DevolucaoCheque);
}
void TfrmPrincipal::Gerararquivopagsal1Click() {
    openScreen(Screen::GeraArqPagFuncionario);
}
void TfrmPrincipal::Relatorios1Click() {
    openScreen(Screen::Relatorio);
}

void TfrmPrincipal::Sairdosistema1Click() {
    close();
}

// The window sees the keys before its buttons: Esc leaves; Enter presses the focused button,
// as Space does by itself.
bool TfrmPrincipal::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        FormKeyDown(qobject_cast<QPushButton*>(watched), static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TfrmPrincipal::keyPressEvent(QKeyEvent* event) {
    if (!FormKeyDown(nullptr, event))
        QMainWindow::keyPressEvent(event);
}

bool TfrmPrincipal::FormKeyDown(QPushButton* focused, QKeyEvent* key) {
    if (key->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (focused && focused->isEnabled()) {
            focused->click();
            return true;
        }
    }
    return false;
}

void TfrmPrincipal::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

void TfrmPrincipal::FormClose(QCloseEvent* event) {
    const Dialogs::Button answer =
        Dialogs::messageDlg(QStringLiteral("Deseja sair do sistema?"), Dialogs::Kind::Confirmation,
                            {Dialogs::Button::Ok, Dialogs::Button::Cancel});
    if (answer == Dialogs::Button::Ok)
        event->accept();
    else
        event->ignore();
}
