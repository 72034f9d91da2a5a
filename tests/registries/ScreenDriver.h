#pragma once

// Helpers shared by the registry screen tests: rows put in with SQL, the toolbar's state in a
// readable form, and the operator's gestures on the real controls.

#include "platform/data/Connection.h"
#include "registries/ufrmCadastro.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace drv {

inline int insertMember(Connection& c, const QString& name) {
    return c
        .insertReturning("INSERT INTO associado (nom_associado) VALUES (?) RETURNING cod_associado",
                         {name})
        .toInt();
}

inline int insertDepartment(Connection& c, int member, const QString& name) {
    return c
        .insertReturning("INSERT INTO departamento (cod_associado, nom_departamento) VALUES (?, ?) "
                         "RETURNING cod_departamento",
                         {member, name})
        .toInt();
}

// The enabled toolbar buttons in toolbar order, by their hints.
inline QString enabledButtons(const TfrmCadastro* w) {
    QStringList on;
    for (const QToolButton* b :
         {w->btnInserir, w->btnPesquisar, w->btnCancelar, w->btnExcluir, w->btnSalvar,
          w->btnPrimeiro, w->btnAnterior, w->btnProximo, w->btnUltimo})
        if (b->isEnabled())
            on << b->toolTip();
    return on.join(' ');
}

// Shows the screen as the main menu does, and waits until it has the keyboard.
inline bool showScreen(QWidget* w) {
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        return false;
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

// Key presses for each character of `text`, accented letters included.
inline void keys(QWidget* w, const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}

// Types into a box the way the operator does: puts the focus in it, then the keys.
inline void typeInto(QLineEdit* box, const QString& text, bool clear = false) {
    box->setFocus();
    if (clear) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
    }
    box->setCursorPosition(box->text().size());
    keys(box, text);
}

// Picks the entry with this caption in a drop-down, with the keyboard.
inline bool pick(QComboBox* box, const QString& caption) {
    box->setFocus();
    const int target = box->findText(caption);
    if (target < 0)
        return false;
    int guard = box->count() + 1;
    while (box->currentIndex() != target && guard-- > 0)
        QTest::keyClick(box, box->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    return box->currentIndex() == target;
}

// Clicks a row of a list.
inline void clickRow(QAbstractItemView* grid, int row) {
    const QRect r = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
}

// Clicks the toolbar button of a gesture: ins pes can exc sal pri ant pro ult. False when the
// gesture is not one of them.
inline bool toolbar(TfrmCadastro* w, const QString& gesture) {
    const QList<QPair<const char*, QToolButton*>> buttons{
        {"ins", w->btnInserir},  {"pes", w->btnPesquisar}, {"can", w->btnCancelar},
        {"exc", w->btnExcluir},  {"sal", w->btnSalvar},    {"pri", w->btnPrimeiro},
        {"ant", w->btnAnterior}, {"pro", w->btnProximo},   {"ult", w->btnUltimo}};
    for (const auto& [name, button] : buttons) {
        if (gesture == QLatin1String(name)) {
            button->click();
            return true;
        }
    }
    return false;
}

} // namespace drv
