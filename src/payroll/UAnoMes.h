#pragma once

#include <QColor>
#include <QLineEdit>
#include <QString>
#include <QWidget>

class TUAnoMes;

// Which arrow buttons of a TUAnoMes step the value.
enum class TButtonEnabled { beAno = 0x1, beMes = 0x2 };
Q_DECLARE_FLAGS(TButtonsEnabled, TButtonEnabled)
Q_DECLARE_OPERATORS_FOR_FLAGS(TButtonsEnabled)

// An arrow button of the year-month editor, painted by itself: a raised frame split at half
// height, an up triangle above and a down triangle below. Its tag tells which it is: 1 for
// the year, 2 for the month. It never takes the focus, so a click leaves the text field's
// focus where it was.
class TBtn : public QWidget {
    Q_OBJECT
public:
    TBtn(int tag, TUAnoMes* owner);
    int tag() const { return m_tag; }
    // Whether the half is drawn sunken now (click feedback).
    bool isPressed(bool upper) const { return m_pressed == (upper ? Upper : Lower); }
    // Click feedback: the half drawn sunken for 100 ms, then raised again. A timer ends it,
    // so the rest of the screen goes on meanwhile.
    void PaintPressed(bool upper);

    static constexpr int FeedbackMs = 100;

signals:
    void released(int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum Half { None, Upper, Lower };
    int m_tag;
    TUAnoMes* m_owner;
    Half m_pressed = None;
    int m_feedback = 0; // the latest feedback; an earlier timer leaves it alone
};

// The text field between the arrows: shows YYYY/MM, and YYYYMM while it is being edited.
// Takes digits and Backspace only; any other typed character is refused with a beep.
class TEditAnoMes : public QLineEdit {
    Q_OBJECT
public:
    explicit TEditAnoMes(TUAnoMes* owner);
    void DoEnter();
    // Validates and takes over the typed value; false when it was refused.
    bool DoExit();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TUAnoMes* m_owner;
};

// A reference month YYYYMM, edited as YYYY/MM between two arrow buttons: the left one steps the
// year, the right one the month, up in the upper half of the button and down in the lower half.
// Optional limits restrict stepping. Read-only by default: then only the arrows change it.
class TUAnoMes : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Referencia READ GetReferencia WRITE SetReferencia)
    Q_PROPERTY(QColor EditColor READ EditColor WRITE SetEditColor)
    Q_PROPERTY(QString ReferenciaMax READ ReferenciaMax WRITE SetReferenciaMax)
    Q_PROPERTY(QString ReferenciaMin READ ReferenciaMin WRITE SetReferenciaMin)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
public:
    explicit TUAnoMes(QWidget* parent = nullptr);

    static constexpr int ButtonWidth = 12;

    QString GetReferencia() const { return m_ano + m_mes; }
    // Validates the value (which may show a message) and stores it whatever the outcome.
    void SetReferencia(const QString& value);
    QColor EditColor() const { return m_editColor; }
    void SetEditColor(const QColor& color);
    TButtonsEnabled ButtonsEnabled() const { return m_buttonsEnabled; }
    void SetButtonsEnabled(TButtonsEnabled buttons);
    QString ReferenciaMax() const { return m_referenciaMax; }
    void SetReferenciaMax(const QString& value);
    QString ReferenciaMin() const { return m_referenciaMin; }
    void SetReferenciaMin(const QString& value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);

    // Whether the last validation failed.
    bool invalid() const { return m_invalido; }
    // What the text field held when it was last entered, without the slash.
    QString entryText() const { return m_entrada; }

    TBtn* btnAno() const { return m_btnAno; }
    TBtn* btnMes() const { return m_btnMes; }
    TEditAnoMes* edit() const { return m_edit; }

    // The decimal text of `number` with zeros in front up to `width` characters.
    static QString PadZeros(int number, int width);

private:
    friend class TEditAnoMes;
    friend bool ValidaReferencia(TUAnoMes* control, const QString& text);

    void BtnAnoMouseUp(int y);
    void BtnMesMouseUp(int y);
    // The common part of both: takes over a typed value, then steps when the button's flag is
    // set, the half says which way, and the candidate is within the limits.
    void step(TBtn* button, TButtonEnabled flag, int y, bool ano);
    bool withinLimits(const QString& candidate) const;
    // Gives the focus to the text field once the current event has been handled.
    void focaCampo();
    void mostra();
    void pintaCampo();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TBtn* m_btnAno;
    TBtn* m_btnMes;
    TEditAnoMes* m_edit;
    QString m_ano;
    QString m_mes;
    QString m_entrada;
    QColor m_editColor;
    TButtonsEnabled m_buttonsEnabled;
    QString m_referenciaMax;
    QString m_referenciaMin;
    bool m_readOnly = true;
    bool m_invalido = false;
};

// Checks a reference text YYYYMM (a slash is allowed once) for `control`: shows "Referência
// inválida! AAAAMM" for a text that is not six digits, "Mes inválido!" and the month for a
// month outside 01 to 12, then gives the focus to the control's field. Sets the control's
// invalid flag; true when the text is valid.
bool ValidaReferencia(TUAnoMes* control, const QString& text);
