#include "platform/widgets/ScreenFrame.h"

#include "platform/widgets/Colors.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

ScreenFrame::ScreenFrame(const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(QString());
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    // The window keeps the size its content asks for.
    outer->setSizeConstraint(QLayout::SetFixedSize);

    m_frameWait.setInterval(20);
    connect(&m_frameWait, &QTimer::timeout, this, &ScreenFrame::centreOnceFramed);

    m_band = new QLabel(title, this);
    m_band->setObjectName(QStringLiteral("lblTitulo"));
    m_band->setAutoFillBackground(true);
    QPalette p = m_band->palette();
    p.setColor(QPalette::Window, Colors::titleBand());
    p.setColor(QPalette::WindowText, Colors::titleText());
    m_band->setPalette(p);
    QFont f = m_band->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.6);
    m_band->setFont(f);
    m_band->setFixedHeight(QFontMetrics(f).height() + 18);
    m_band->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_band->setContentsMargins(6, 0, 6, 0);
    outer->addWidget(m_band);

    m_body = new QVBoxLayout;
    m_body->setContentsMargins(8, 8, 8, 8);
    m_body->setSpacing(6);
    outer->addLayout(m_body);
}

ScreenFrame::~ScreenFrame() {
    if (m_filtering)
        qApp->removeEventFilter(this);
}

QString ScreenFrame::title() const {
    return m_band->text();
}

bool ScreenFrame::FormKeyDown(QKeyEvent* key) {
    if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return false;
}

bool ScreenFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QDialog::eventFilter(watched, event);
    auto* w = static_cast<QWidget*>(watched);
    // Once per key: at its first receiver, the focused control (or the window itself), before
    // it travels up to the parents.
    QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    if (w != first || w->window() != this)
        return QDialog::eventFilter(watched, event);
    return FormKeyDown(static_cast<QKeyEvent*>(event));
}

void ScreenFrame::showEvent(QShowEvent* event) {
    if (!m_filtering) {
        qApp->installEventFilter(this);
        m_filtering = true;
    }
    if (!event->spontaneous())
        centre();
    // The window system would put the program's name on an empty title bar; a blank title
    // keeps the bar empty.
    if (windowHandle() && windowTitle().isEmpty())
        windowHandle()->setTitle(QStringLiteral(" "));
    QDialog::showEvent(event);
}

void ScreenFrame::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    m_frameUnknown = false;
    if (m_filtering && !event->spontaneous()) {
        qApp->removeEventFilter(this);
        m_filtering = false;
    }
}

// The window manager frames the window some time after it is shown, and tells no event of it:
// the frame is looked at for a short while, and the first time it is known the whole window,
// title bar included, is centred again. Without a window manager there is no frame to wait for.
void ScreenFrame::centreOnceFramed() {
    if (!m_frameUnknown || !isVisible() || ++m_framePolls > 50) {
        m_frameWait.stop();
        return;
    }
    if (frameGeometry().size() != size()) {
        m_frameWait.stop();
        centre();
    }
}

void ScreenFrame::centre() {
    if (layout())
        layout()->activate();
    adjustSize();
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    // The frame of the last framed screen stands in for this one's until it is known.
    static QMargins lastFrame;
    QSize whole = frameGeometry().size();
    m_frameUnknown = whole == size();
    if (m_frameUnknown)
        whole = whole.grownBy(lastFrame);
    else
        lastFrame =
            QMargins(geometry().x() - frameGeometry().x(), geometry().y() - frameGeometry().y(),
                     frameGeometry().right() - geometry().right(),
                     frameGeometry().bottom() - geometry().bottom());
    if (m_frameUnknown && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        m_framePolls = 0;
        m_frameWait.start();
    }
    // move() places the frame's top-left corner.
    move(area.center() - QPoint(whole.width() / 2, whole.height() / 2));
}
