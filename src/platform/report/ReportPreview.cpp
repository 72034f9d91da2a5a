#include "platform/report/ReportPreview.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/report/ReportPainter.h"

#include <QAction>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QToolBar>
#include <stdexcept>

namespace Report {
namespace {
PreviewHandler g_handler;
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

QPrintPreviewDialog* makePreview(const PageModel& model, const QString& title, QPrinter& printer,
                                 QWidget* parent) {
    setupPrinter(printer, title);
    auto* dlg = new QPrintPreviewDialog(&printer, parent);
    dlg->setObjectName(QStringLiteral("frmPreview"));
    dlg->setWindowTitle(title);
    dlg->setWindowState(Qt::WindowMaximized);
    QObject::connect(dlg, &QPrintPreviewDialog::paintRequested, dlg,
                     [&model](QPrinter* p) { paintAll(*p, model); });
    if (auto* bar = dlg->findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* pdf = bar->addAction(QStringLiteral("Exportar PDF"));
        pdf->setObjectName(QStringLiteral("actExportarPdf"));
        QObject::connect(pdf, &QAction::triggered, dlg, [dlg, &model, title] {
            const QString path = Dialogs::saveFile(dlg, QString(), QStringLiteral("pdf"),
                                                   QStringLiteral("Arquivos PDF (*.pdf)"));
            if (path.isEmpty())
                return;
            try {
                writePdf(model, path, title);
            } catch (const std::exception& e) {
                Dialogs::messageBox(dlg, QString::fromUtf8(e.what()), QStringLiteral("Erro"));
            }
        });
    }
    return dlg;
}

void preview(const PageModel& model, const QString& title, QWidget* parent) {
    if (g_handler) {
        g_handler(model, title);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog* dlg = makePreview(model, title, printer, parent);
    dlg->exec();
    delete dlg;
}

void setPreviewHandler(PreviewHandler handler) {
    g_handler = std::move(handler);
}

} // namespace Report
