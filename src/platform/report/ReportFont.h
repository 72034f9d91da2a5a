#pragma once

#include "platform/report/PageModel.h"

#include <QFont>
#include <QString>

// The one font listings are laid out and drawn with: DejaVu Sans, bundled with the program,
// sized in pixels of 1/1200 inch. Text is measured against this font at that fixed resolution,
// never against the printer of the moment, so the same data gives the same pages everywhere.
namespace Report {

// The bundled font at `spec`, in 1/1200-inch pixels (the painter scales to the device).
const QFont& font(const FontSpec& spec);
// Width of `text` in 1/1200 inch.
int textWidth(const QString& text, const FontSpec& spec);
// Height of one line in 1/1200 inch, and its parts above and below the baseline.
int lineHeight(const FontSpec& spec);
int ascent(const FontSpec& spec);
int descent(const FontSpec& spec);
// `text`, shortened with "…" so that it fits `width`.
QString fitted(const QString& text, const FontSpec& spec, int width);

} // namespace Report
