#pragma once

#include <QLineEdit>

// A box for a line of digits typed or read by a scanner: it takes ASCII digits only, at most
// `maxDigits`, and refuses anything else with a beep (a key, a paste or a drop). The text may
// carry blanks at the given positions, where the program shows the line in groups. Enter ends
// the line: `entered` is emitted and the key goes no further (not to a dialog's default
// button).
class DigitLineEdit : public QLineEdit {
    Q_OBJECT
public:
    DigitLineEdit(int maxDigits, const QList<int>& blankPositions, QWidget* parent = nullptr);

    // The digits of the text, without the blanks.
    QString digits() const;
    // Whether the box refuses the key (Enter is not judged here).
    bool refuses(const QKeyEvent* key) const;

signals:
    void entered();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_maxDigits;
};
