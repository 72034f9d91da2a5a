#pragma once

#include "platform/report/PageModel.h"

#include <QString>
#include <functional>

class QDialog;
class QWidget;
class QPrinter;

namespace Report {

// Writes the listing to a PDF file, replacing it only when the whole file was written.
// Raises std::runtime_error with a Portuguese text when it cannot.
void writePdf(const PageModel& model, const QString& path, const QString& title = {});

// Sets the printer to A4 portrait, the whole paper as its page (the model has its margins).
void setupPrinter(QPrinter& printer, const QString& title);

// The preview window: the pages one under another, each drawn only when it comes into view (a
// long listing shows its first page at once); zoom and page navigation, the print button, and
// "Exportar PDF", which asks for a file in the save dialog and writes the listing there. The
// model must outlive the window. Not yet shown.
QDialog* makePreview(const PageModel& model, const QString& title, QWidget* parent);

// Shows the listing in the preview and returns when the operator closes it. A test may put a
// handler in its place, which receives the model instead (nullptr: the real window again).
void preview(const PageModel& model, const QString& title, QWidget* parent);
using PreviewHandler = std::function<void(const PageModel& model, const QString& title)>;
void setPreviewHandler(PreviewHandler handler);

} // namespace Report
