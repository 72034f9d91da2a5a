#include "platform/widgets/SelectionBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

SelectionBar::SelectionBar(const QString& doneCaption, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto label = [this, layout](const QString& text, const char* name) {
        auto* l = new QLabel(text, this);
        if (name)
            l->setObjectName(QLatin1String(name));
        layout->addWidget(l);
        return l;
    };
    label(QStringLiteral("Total de registros:"), nullptr);
    lblTotRegistros = label(QStringLiteral("0"), "lblTotRegistros");
    lblTotRegistros->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")));
    layout->addSpacing(12);
    label(doneCaption, nullptr);
    lblRegistrosGerados = label(QStringLiteral("0"), "lblRegistrosGerados");
    lblRegistrosGerados->setMinimumWidth(lblTotRegistros->minimumWidth());
    pgCont = new QProgressBar(this);
    pgCont->setObjectName(QStringLiteral("pgCont"));
    pgCont->setTextVisible(false);
    pgCont->setRange(0, 100);
    pgCont->setValue(0);
    layout->addWidget(pgCont, 1);
}

void SelectionBar::start(int total) {
    m_painted.start();
    pgCont->setRange(0, total);
    pgCont->setValue(0);
    lblTotRegistros->setText(QString::number(total));
}

void SelectionBar::step(int n) {
    setProgress(n);
    setDone(n);
}

void SelectionBar::setProgress(int n) {
    // The progress bar paints itself at once, and with it everything pending in the window,
    // each time its percentage changes. A long run shows its progress a few times a second;
    // a short one is shown when the screen paints next.
    const bool now = !m_painted.isValid() || m_painted.elapsed() >= 100;
    if (!now)
        pgCont->setUpdatesEnabled(false);
    pgCont->setValue(n);
    if (now)
        m_painted.start();
    else
        pgCont->setUpdatesEnabled(true);
}

void SelectionBar::setDone(int n) {
    lblRegistrosGerados->setText(QString::number(n));
}

void SelectionBar::reset() {
    pgCont->setValue(0);
    lblTotRegistros->setText(QStringLiteral("0"));
    lblRegistrosGerados->setText(QStringLiteral("0"));
}
