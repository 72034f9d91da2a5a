#include "payroll/UAnoMes.h"

#include "platform/dialogs/Dialogs.h"

#include <QApplication>
#include <QDate>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace {

const QString ReferenciaInvalida = QStringLiteral("Referência inválida! AAAAMM");
const QString MesInvalido = QStringLiteral("Mes inválido!");

bool soDigitos(const QString& s) {
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}

} // namespace

bool ValidaReferencia(TUAnoMes* control, const QString& text) {
    control->m_invalido = false;
    QString t = text;
    const qsizetype barra = t.indexOf(QLatin1Char('/'));
    if (barra >= 0)
        t.remove(barra, 1);
    QString mensagem;
    if (t.size() != 6) {
        mensagem = ReferenciaInvalida;
    } else {
        // A month part that is not two digits is an invalid month, never a conversion error.
        const QString mes = t.right(2);
        const int numero = soDigitos(mes) ? mes.toInt() : 0;
        if (numero <= 0 || numero >= 13)
            mensagem = MesInvalido + mes;
        else if (!soDigitos(t))
            mensagem = ReferenciaInvalida;
    }
    if (mensagem.isEmpty())
        return true;
    control->m_invalido = true;
    Dialogs::messageBox(control, mensagem, Dialogs::applicationTitle());
    control->focaCampo();
    return false;
}

// ---------------------------------------------------------------------------------------------

TBtn::TBtn(int tag, TUAnoMes* owner) : QWidget(owner), m_tag(tag), m_owner(owner) {
    setFocusPolicy(Qt::NoFocus);
    setFixedWidth(TUAnoMes::ButtonWidth);
    resize(TUAnoMes::ButtonWidth, 21);
    setAutoFillBackground(false);
}

void TBtn::PaintPressed(bool upper) {
    m_pressed = upper ? Upper : Lower;
    const int mine = ++m_feedback;
    update();
    QPointer<TBtn> self(this);
    QTimer::singleShot(FeedbackMs, this, [self, mine] {
        if (self && self->m_feedback == mine) {
            self->m_pressed = None;
            self->update();
        }
    });
}

void TBtn::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    emit released(int(event->position().y()));
}

void TBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor light = pal.color(QPalette::Light);
    const QColor shadow = pal.color(QPalette::Dark);
    const int w = width();
    const int h = height();
    const int meio = h / 2;
    p.fillRect(rect(), face);

    // A raised (or, for the pressed half, sunken) outline of a rectangle.
    const auto moldura = [&](const QRect& r, bool afundado) {
        p.setPen(afundado ? shadow : light);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(afundado ? light : shadow);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    };
    // The pressed half is also shaded, as a native spin button is while held.
    if (m_pressed != None)
        p.fillRect(m_pressed == Upper ? QRect(0, 0, w, meio) : QRect(0, meio, w, h - meio),
                   pal.color(QPalette::Midlight).darker(110));
    moldura(QRect(0, 0, w, h), false);
    moldura(QRect(0, 0, w, meio), m_pressed == Upper);
    moldura(QRect(0, meio, w, h - meio), m_pressed == Lower);
    // The divider: a shadow line with a highlight line just below.
    p.setPen(shadow);
    p.drawLine(1, meio - 1, w - 2, meio - 1);
    p.setPen(light);
    p.drawLine(1, meio, w - 2, meio);

    const TButtonEnabled flag = m_tag == 1 ? TButtonEnabled::beAno : TButtonEnabled::beMes;
    const bool ativo = m_owner->ButtonsEnabled().testFlag(flag) && m_owner->isEnabled();
    p.setPen(Qt::NoPen);
    p.setBrush(ativo ? QColor(Qt::black) : shadow);
    // Triangles of a base of about half the button, centred in each half.
    const int base = qMax(3, (w - 4) / 2 * 2 - 1);
    const int altura = (base + 1) / 2;
    const int x0 = (w - base) / 2;
    const int topoSobe = (meio - altura) / 2;
    const QPoint sobe[] = {
        {x0, topoSobe + altura}, {x0 + base, topoSobe + altura}, {x0 + base / 2, topoSobe}};
    const int topoDesce = meio + (h - meio - altura) / 2 + 1;
    const QPoint desce[] = {
        {x0, topoDesce}, {x0 + base, topoDesce}, {x0 + base / 2, topoDesce + altura}};
    p.drawPolygon(sobe, 3);
    p.drawPolygon(desce, 3);
}

// ---------------------------------------------------------------------------------------------

TEditAnoMes::TEditAnoMes(TUAnoMes* owner) : QLineEdit(owner), m_owner(owner) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

void TEditAnoMes::DoEnter() {
    QString t = (m_owner->m_invalido ? m_owner->m_entrada : text()).left(7);
    if (t.contains(QLatin1Char('/')))
        t.remove(4, 1);
    setText(t);
    m_owner->m_entrada = t;
}

bool TEditAnoMes::DoExit() {
    if (!ValidaReferencia(m_owner, text()))
        return false;
    QString t = text();
    t.remove(QLatin1Char('/'));
    m_owner->m_ano = t.left(4);
    m_owner->m_mes = t.right(2);
    m_owner->mostra();
    return true;
}

void TEditAnoMes::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        DoEnter();
}

void TEditAnoMes::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Another window coming to the front (a message box among them) is not leaving the field.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    DoExit(); // a refused value brings the focus back
}

void TEditAnoMes::keyPressEvent(QKeyEvent* event) {
    const QString t = event->text();
    const bool digito = t.size() == 1 && t.at(0) >= QLatin1Char('0') && t.at(0) <= QLatin1Char('9');
    const bool caractere = !t.isEmpty() && t.at(0).isPrint();
    if (caractere && !digito && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        Dialogs::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------

TUAnoMes::TUAnoMes(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus);
    m_editColor = palette().color(QPalette::Base);
    m_buttonsEnabled = TButtonEnabled::beAno | TButtonEnabled::beMes;
    const QDate hoje = QDate::currentDate();
    m_ano = QString::number(hoje.year());
    m_mes = PadZeros(hoje.month(), 2);
    m_entrada = m_ano + m_mes;
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    m_btnAno = new TBtn(1, this);
    m_btnAno->move(0, 0);
    connect(m_btnAno, &TBtn::released, this, &TUAnoMes::BtnAnoMouseUp);
    m_btnMes = new TBtn(2, this);
    connect(m_btnMes, &TBtn::released, this, &TUAnoMes::BtnMesMouseUp);
    m_edit = new TEditAnoMes(this);
    m_edit->setMaxLength(7);
    m_edit->setAlignment(Qt::AlignCenter);
    m_edit->setObjectName(QStringLiteral("EditAnoMes"));
    setFocusProxy(m_edit);
    SetEditColor(m_editColor);
    SetReadOnly(true);
    mostra();
    resize(75, 21);
}

void TUAnoMes::focaCampo() {
    // Queued: the field may be losing the focus right now, and the change of focus under way
    // has to end before the focus can come back.
    QPointer<TEditAnoMes> campo(m_edit);
    QTimer::singleShot(0, m_edit, [campo] {
        if (campo && campo->isEnabled())
            campo->setFocus(Qt::OtherFocusReason);
    });
}

QString TUAnoMes::PadZeros(int number, int width) {
    return QString::number(number).rightJustified(width, QLatin1Char('0'));
}

void TUAnoMes::mostra() {
    m_edit->setText(m_ano + QLatin1Char('/') + m_mes);
}

void TUAnoMes::SetReferencia(const QString& value) {
    ValidaReferencia(this, value);
    m_entrada = value;
    m_ano = value.left(4);
    m_mes = value.mid(4, 2);
    mostra();
}

void TUAnoMes::SetEditColor(const QColor& color) {
    m_editColor = color;
    pintaCampo();
}

void TUAnoMes::pintaCampo() {
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, m_editColor);
    pal.setColor(QPalette::Disabled, QPalette::Base, m_editColor);
    // Read-only leaves the field disabled; its value is still the control's content and reads
    // in the normal text colour while the control itself is enabled.
    pal.setColor(QPalette::Disabled, QPalette::Text,
                 isEnabled() ? palette().color(QPalette::Active, QPalette::Text)
                             : palette().color(QPalette::Disabled, QPalette::Text));
    m_edit->setPalette(pal);
}

void TUAnoMes::SetButtonsEnabled(TButtonsEnabled buttons) {
    m_buttonsEnabled = buttons;
    m_btnAno->update();
    m_btnMes->update();
}

void TUAnoMes::SetReferenciaMax(const QString& value) {
    if (!value.isEmpty())
        ValidaReferencia(this, value);
    m_referenciaMax = value;
}

void TUAnoMes::SetReferenciaMin(const QString& value) {
    if (!value.isEmpty())
        ValidaReferencia(this, value);
    m_referenciaMin = value;
}

void TUAnoMes::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    m_edit->setReadOnly(readOnly);
    m_edit->setEnabled(!readOnly);
}

bool TUAnoMes::withinLimits(const QString& candidate) const {
    // Compared as text: for two six-digit YYYYMM texts that is the order of the months.
    return (m_referenciaMax.isEmpty() || candidate <= m_referenciaMax) &&
           (m_referenciaMin.isEmpty() || candidate >= m_referenciaMin);
}

void TUAnoMes::step(TBtn* button, TButtonEnabled flag, int y, bool ano) {
    // A typed value is validated and taken over first; a refused one is left for the operator
    // to correct (the focus is back in the field) and the click does not step.
    const bool aceito = m_edit->DoExit();
    if (aceito && m_buttonsEnabled.testFlag(flag)) {
        const bool desce = y > height() / 2;
        button->PaintPressed(!desce);
        QString candidato;
        if (ano) {
            const QString novo = PadZeros(m_ano.toInt() + (desce ? -1 : 1), 4);
            candidato = novo + m_mes;
        } else {
            // Months wrap within the year: the year never changes here.
            int mes = m_mes.toInt() + (desce ? -1 : 1);
            if (mes <= 0)
                mes = 12;
            else if (mes > 12)
                mes = 1;
            candidato = m_ano + PadZeros(mes, 2);
        }
        if (withinLimits(candidato)) {
            m_ano = candidato.left(4);
            m_mes = candidato.mid(4, 2);
            mostra();
        }
    }
    m_edit->setEnabled(!m_readOnly);
}

void TUAnoMes::BtnAnoMouseUp(int y) {
    step(m_btnAno, TButtonEnabled::beAno, y, true);
}

void TUAnoMes::BtnMesMouseUp(int y) {
    step(m_btnMes, TButtonEnabled::beMes, y, false);
}

void TUAnoMes::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int h = height();
    m_btnAno->setGeometry(0, 0, ButtonWidth, h);
    m_btnMes->setGeometry(width() - ButtonWidth, 0, ButtonWidth, h);
    m_edit->setGeometry(ButtonWidth + 1, 0, qMax(0, width() - 2 * ButtonWidth - 2), h);
}

void TUAnoMes::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        pintaCampo();
        m_btnAno->update();
        m_btnMes->update();
    }
}
