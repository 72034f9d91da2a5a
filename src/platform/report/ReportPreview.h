#pragma once

#include "platform/report/PageModel.h"

#include <QString>
#include <functional>

class QWidget;
class QPrintPreviewDialog;
class QPrinter;

namespace Report {

// Writes the listing to a PDF file, replacing it only when the whole file was written.
// Raises std::runtime_error with a Portuguese text when it cannot.
void writePdf(const PageModel& model, const QString& path, const QString& title = {});

// Sets the printer to A4 portrait, the whole paper as its page (the model has its margins).
void setupPrinter(QPrinter& printer, const QString& title);

// The preview window: zoom and page navigation, the print button, and "Exportar PDF", which
// asks for a file in the save dialog and writes the listing there. Not yet shown.
QPrintPreviewDialog* makePreview(const PageModel& model, const QString& title, QPrinter& printer,
                                 QWidget* parent);

// Shows the listing in the preview and returns when the operator closes it. A test may put a
// handler in its place, which receives the model instead (nullptr: the real window again).
void preview(const PageModel& model, const QString& title, QWidget* parent);
using PreviewHandler = std::function<void(const PageModel& model, const QString& title)>;
void setPreviewHandler(PreviewHandler handler);

} // namespace Report
