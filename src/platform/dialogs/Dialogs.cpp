#include "platform/dialogs/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace Dialogs {

namespace {
Handler* g_handler = nullptr;

QMessageBox::Icon toQt(Icon i) {
    switch (i) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole roleOf(Button b) {
    switch (b) {
    case Button::Yes:
        return QMessageBox::YesRole;
    case Button::No:
        return QMessageBox::NoRole;
    case Button::Cancel:
        return QMessageBox::RejectRole;
    default:
        return QMessageBox::AcceptRole;
    }
}

Icon iconOf(Kind k) {
    switch (k) {
    case Kind::Warning:
        return Icon::Warning;
    case Kind::Error:
        return Icon::Error;
    case Kind::Information:
        return Icon::Information;
    case Kind::Confirmation:
        return Icon::Question;
    default:
        return Icon::None;
    }
}

// The system's messages break their lines with "\n\r" (some with "\r\n"): each pair is one
// line break on screen, not an empty line.
QString shownText(QString text) {
    text.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

Answer showBox(QWidget* owner, const Request& r) {
    QMessageBox box(owner);
    box.setWindowTitle(r.title);
    box.setText(shownText(r.text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(toQt(r.icon));
    QList<QPair<QAbstractButton*, Button>> made;
    for (Button b : r.buttons)
        made << qMakePair(static_cast<QAbstractButton*>(box.addButton(caption(b), roleOf(b))), b);
    if (!made.isEmpty())
        box.setDefaultButton(static_cast<QPushButton*>(made.first().first));
    box.exec();
    for (const auto& [button, which] : made)
        if (box.clickedButton() == button)
            return {which, {}};
    return {};
}
} // namespace

void setHandler(Handler* h) {
    g_handler = h;
}
Handler* handler() {
    return g_handler;
}

QString caption(Button b) {
    switch (b) {
    case Button::Ok:
        return QStringLiteral("OK");
    case Button::Cancel:
        return QStringLiteral("Cancela");
    case Button::Yes:
        return QStringLiteral("&Sim");
    case Button::No:
        return QStringLiteral("&Não");
    case Button::None:
        break;
    }
    return {};
}

QString standardTitle(Kind k) {
    switch (k) {
    case Kind::Warning:
        return QStringLiteral("Aviso");
    case Kind::Error:
        return QStringLiteral("Erro");
    case Kind::Information:
        return QStringLiteral("Informação");
    case Kind::Confirmation:
        return QStringLiteral("Confirmação");
    default:
        return {};
    }
}

void messageBox(QWidget* owner, const QString& text, const QString& title, Icon icon) {
    Request r;
    r.kind = Kind::MessageBox;
    r.title = title;
    r.text = text;
    r.buttons = {Button::Ok};
    r.icon = icon;
    if (g_handler) {
        g_handler->handle(r);
        return;
    }
    showBox(owner ? owner : QApplication::activeWindow(), r);
}

Button messageDlg(const QString& text, Kind kind, const QList<Button>& buttons) {
    Request r;
    r.kind = kind;
    r.title = standardTitle(kind);
    r.text = text;
    r.buttons = buttons;
    r.icon = iconOf(kind);
    if (g_handler)
        return g_handler->handle(r).button;
    return showBox(QApplication::activeWindow(), r).button;
}

QString inputBox(const QString& title, const QString& label, const QString& initial) {
    Request r;
    r.kind = Kind::InputPrompt;
    r.title = title;
    r.text = label;
    r.buttons = {Button::Ok, Button::Cancel};
    r.initialText = initial;
    if (g_handler) {
        const Answer a = g_handler->handle(r);
        return a.button == Button::Ok ? a.text : QString();
    }
    QInputDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(title);
    dlg.setLabelText(shownText(label));
    dlg.setTextValue(initial);
    dlg.setOkButtonText(caption(Button::Ok));
    dlg.setCancelButtonText(caption(Button::Cancel));
    return dlg.exec() == QDialog::Accepted ? dlg.textValue() : QString();
}

QString saveFile(QWidget* owner, const QString& initialDir, const QString& defaultSuffix,
                 const QString& filter) {
    Request r;
    r.kind = Kind::SaveFile;
    r.initialText = initialDir;
    r.defaultSuffix = defaultSuffix;
    r.filter = filter;
    r.buttons = {Button::Ok, Button::Cancel};
    if (g_handler) {
        const Answer a = g_handler->handle(r);
        return a.button == Button::Ok ? a.text : QString();
    }
    QFileDialog dlg(owner ? owner : QApplication::activeWindow());
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDirectory(initialDir);
    dlg.setDefaultSuffix(defaultSuffix);
    dlg.setNameFilter(filter);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}

void beep() {
    if (g_handler) {
        g_handler->beep();
        return;
    }
    QApplication::beep();
}

} // namespace Dialogs
