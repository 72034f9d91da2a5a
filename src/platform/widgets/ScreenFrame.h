#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QVBoxLayout;

// The frame of every working screen: a fixed-size dialog with only a close box and no window
// title, centred on the screen, with a title band at its top (the caption begins with a
// space, grey on pale green). The window sees every key-down before the control that has the
// focus (FormKeyDown); Esc closes it, whatever has the focus. Closing hides the window; it is
// kept for the next showing.
class ScreenFrame : public QDialog {
    Q_OBJECT
public:
    explicit ScreenFrame(const QString& title, QWidget* parent = nullptr);
    ~ScreenFrame() override;

    QLabel* titleBand() const { return m_band; }
    QString title() const;
    // Where a screen lays out its content, below the band.
    QVBoxLayout* body() const { return m_body; }

protected:
    // Every key-down of the window, before the focused control; true when it was handled.
    virtual bool FormKeyDown(QKeyEvent* key);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void centre();
    void centreOnceFramed();

    QLabel* m_band;
    QVBoxLayout* m_body;
    bool m_filtering = false;
    // Centred before the window manager added its title bar: centred again once it has.
    bool m_frameUnknown = false;
    QTimer m_frameWait;
    int m_framePolls = 0;
};
