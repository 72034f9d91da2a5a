#include "platform/report/ReportPreview.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/report/ReportPainter.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>
#include <memory>
#include <stdexcept>

namespace Report {
namespace {
PreviewHandler g_handler;

// Space around and between the pages on screen, in pixels.
constexpr int Gap = 12;
constexpr double MinZoom = 0.1;
constexpr double MaxZoom = 8.0;

// The pages one under another at the chosen zoom (1: the paper's real size on the screen).
// Only the pages that show are drawn, so a listing of hundreds of pages opens as fast as one
// of a single page.
class PageStrip : public QWidget {
public:
    PageStrip(const PageModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
        setAutoFillBackground(false);
    }
    double zoom() const { return m_zoom; }
    void setZoom(double zoom) {
        m_zoom = qBound(MinZoom, zoom, MaxZoom);
        resize(pageSize().width() + 2 * Gap,
               Gap + m_model.pageCount() * (pageSize().height() + Gap));
        update();
    }
    // The paper's size on the screen at zoom 1.
    QSizeF paperSize() const {
        return QSizeF(m_model.paper.width() * logicalDpiX() / double(Dpi),
                      m_model.paper.height() * logicalDpiY() / double(Dpi));
    }
    QSize pageSize() const { return (paperSize() * m_zoom).toSize(); }
    QRect pageRect(int index) const {
        return QRect(QPoint(Gap, Gap + index * (pageSize().height() + Gap)), pageSize());
    }
    // The page under the height `y` of the strip.
    int pageAt(int y) const {
        const int step = pageSize().height() + Gap;
        return qBound(0, step > 0 ? (y - Gap / 2) / step : 0, qMax(0, m_model.pageCount() - 1));
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.fillRect(event->rect(), palette().color(QPalette::Dark));
        if (m_model.pageCount() == 0)
            return;
        const int first = pageAt(event->rect().top());
        const int last = pageAt(event->rect().bottom() + Gap);
        for (int i = first; i <= last; ++i) {
            const QRect r = pageRect(i);
            if (!r.intersects(event->rect()))
                continue;
            p.fillRect(r, Qt::white);
            p.setPen(palette().color(QPalette::Shadow));
            p.drawRect(r.adjusted(-1, -1, 0, 0));
            p.save();
            p.setClipRect(r);
            p.translate(r.topLeft());
            p.scale(double(r.width()) / paperSize().width(),
                    double(r.height()) / paperSize().height());
            p.setRenderHint(QPainter::Antialiasing);
            paintPage(p, m_model, i);
            p.restore();
        }
    }

private:
    const PageModel& m_model;
    double m_zoom = 1.0;
};

// The preview window: the strip of pages in a scrolling area under a toolbar.
class PreviewWindow : public QDialog {
public:
    PreviewWindow(const PageModel& model, const QString& title, QWidget* parent)
        : QDialog(parent), m_model(model), m_title(title) {
        setObjectName(QStringLiteral("frmPreview"));
        setWindowTitle(title);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        m_bar = new QToolBar(this);
        layout->addWidget(m_bar);
        m_area = new QScrollArea(this);
        m_area->setAlignment(Qt::AlignHCenter);
        m_area->setBackgroundRole(QPalette::Dark);
        m_strip = new PageStrip(model, m_area);
        m_area->setWidget(m_strip);
        layout->addWidget(m_area, 1);

        const int total = model.pageCount();
        action(QStringLiteral("actPrimeira"), QStringLiteral("Primeira página"),
               [this] { mostraPagina(0); });
        action(QStringLiteral("actAnterior"), QStringLiteral("Página anterior"),
               [this] { mostraPagina(m_pagina->value() - 2); });
        m_pagina = new QSpinBox(this);
        m_pagina->setObjectName(QStringLiteral("spnPagina"));
        m_pagina->setRange(total > 0 ? 1 : 0, total);
        m_pagina->setKeyboardTracking(false);
        m_bar->addWidget(m_pagina);
        m_bar->addWidget(new QLabel(QStringLiteral(" / %1 ").arg(total), this));
        connect(m_pagina, &QSpinBox::valueChanged, this, [this](int n) { mostraPagina(n - 1); });
        action(QStringLiteral("actProxima"), QStringLiteral("Próxima página"),
               [this] { mostraPagina(m_pagina->value()); });
        action(QStringLiteral("actUltima"), QStringLiteral("Última página"),
               [this] { mostraPagina(m_model.pageCount() - 1); });
        m_bar->addSeparator();
        action(QStringLiteral("actAmpliar"), QStringLiteral("Ampliar"),
               [this] { aplicaZoom(m_strip->zoom() * 1.25); });
        action(QStringLiteral("actReduzir"), QStringLiteral("Reduzir"),
               [this] { aplicaZoom(m_strip->zoom() / 1.25); });
        action(QStringLiteral("actLargura"), QStringLiteral("Largura da página"), [this] {
            m_ajuste = Ajuste::Largura;
            ajusta();
        });
        action(QStringLiteral("actPaginaInteira"), QStringLiteral("Página inteira"), [this] {
            m_ajuste = Ajuste::Pagina;
            ajusta();
        });
        m_bar->addSeparator();
        action(QStringLiteral("actImprimir"), QStringLiteral("Imprimir"), [this] { imprime(); });
        m_bar->addSeparator();
        action(QStringLiteral("actExportarPdf"), QStringLiteral("Exportar PDF"),
               [this] { exportaPdf(); });
        m_area->viewport()->installEventFilter(this);
        connect(m_area->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int y) {
            const QSignalBlocker b(m_pagina);
            m_pagina->setValue(m_strip->pageAt(y + m_area->viewport()->height() / 3) + 1);
        });
        resize(900, 700);
        setWindowState(Qt::WindowMaximized);
    }

protected:
    // The fitting zooms follow the size of the visible area.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_area->viewport() && event->type() == QEvent::Resize)
            ajusta();
        return QDialog::eventFilter(watched, event);
    }

private:
    enum class Ajuste { Nenhum, Largura, Pagina };

    template <typename F> void action(const QString& name, const QString& text, F f) {
        QAction* a = m_bar->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, f);
    }
    void mostraPagina(int index) {
        if (m_model.pageCount() == 0)
            return;
        index = qBound(0, index, m_model.pageCount() - 1);
        m_area->verticalScrollBar()->setValue(m_strip->pageRect(index).top() - Gap);
        const QSignalBlocker b(m_pagina);
        m_pagina->setValue(index + 1);
    }
    void aplicaZoom(double zoom) {
        m_ajuste = Ajuste::Nenhum;
        const int pagina = m_pagina->value() - 1;
        m_strip->setZoom(zoom);
        mostraPagina(pagina);
    }
    // The zoom that fits the page's width, or the whole page, in the visible area.
    void ajusta() {
        if (m_ajuste == Ajuste::Nenhum)
            return;
        const QSizeF papel = m_strip->paperSize();
        const QSize area = m_area->viewport()->size() - QSize(2 * Gap + 2, 2 * Gap + 2);
        double zoom = area.width() / papel.width();
        if (m_ajuste == Ajuste::Pagina)
            zoom = qMin(zoom, area.height() / papel.height());
        const int pagina = m_pagina->value() - 1;
        m_strip->setZoom(zoom);
        mostraPagina(pagina);
    }
    void imprime() {
        QPrinter printer(QPrinter::HighResolution);
        setupPrinter(printer, m_title);
        printer.setFromTo(0, 0);
        QPrintDialog dlg(&printer, this);
        dlg.setMinMax(1, qMax(1, m_model.pageCount()));
        if (dlg.exec() != QDialog::Accepted)
            return;
        if (!paintAll(printer, m_model, printer.fromPage(), printer.toPage()))
            Dialogs::messageBox(this, QStringLiteral("Não foi possível imprimir a listagem."),
                                QStringLiteral("Erro"));
    }
    void exportaPdf() {
        const QString path = Dialogs::saveFile(this, QString(), QStringLiteral("pdf"),
                                               QStringLiteral("Arquivos PDF (*.pdf)"));
        if (path.isEmpty())
            return;
        try {
            writePdf(m_model, path, m_title);
        } catch (const std::exception& e) {
            Dialogs::messageBox(this, QString::fromUtf8(e.what()), QStringLiteral("Erro"));
        }
    }

    const PageModel& m_model;
    QString m_title;
    QToolBar* m_bar;
    QScrollArea* m_area;
    PageStrip* m_strip;
    QSpinBox* m_pagina = nullptr;
    Ajuste m_ajuste = Ajuste::Largura;
};

} // namespace

void setupPrinter(QPrinter& printer, const QString& title) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    printer.setDocName(title);
}

void writePdf(const PageModel& model, const QString& path, const QString& title) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                                     .arg(path, file.errorString())
                                     .toStdString());
    bool painted = false;
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(Dpi);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(title);
        pdf.setCreator(Dialogs::applicationTitle());
        painted = paintAll(pdf, model);
    }
    // QSaveFile keeps the previous file unless every write and the final flush succeeded.
    if (!painted || !file.flush() || file.error() != QFileDevice::NoError || !file.commit())
        throw std::runtime_error(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                                     .arg(path, file.errorString())
                                     .toStdString());
}

QDialog* makePreview(const PageModel& model, const QString& title, QWidget* parent) {
    return new PreviewWindow(model, title, parent);
}

void preview(const PageModel& model, const QString& title, QWidget* parent) {
    if (g_handler) {
        g_handler(model, title);
        return;
    }
    std::unique_ptr<QDialog> dlg(makePreview(model, title, parent));
    dlg->exec();
}

void setPreviewHandler(PreviewHandler handler) {
    g_handler = std::move(handler);
}

} // namespace Report
