#pragma once

#include "platform/data/Money.h"
#include "platform/report/ReportDef.h"

#include <QColor>
#include <QList>
#include <QRect>
#include <span>

// The look the listings share: type sizes, row heights, the page header and the shading.
namespace ReportStyle {

inline constexpr Report::FontSpec Title{12, true};
inline constexpr Report::FontSpec Text{8, false};
inline constexpr Report::FontSpec Caption{8, true};
inline constexpr Report::FontSpec Small{7, false};
inline constexpr Report::FontSpec SmallBold{7, true};
inline constexpr Report::FontSpec Summary{10, true};

inline constexpr int RowHeight = 170;   // a line of 8-point type
inline constexpr int SmallHeight = 150; // a line of 7-point type
inline constexpr int Pad = 40;          // inside a box, and between columns
inline const QColor Grey = QColor(0xDF, 0xDF, 0xDF);

// A column of a listing's detail rows, under its heading; `lead` is room left before it
// (after a right-aligned column, say).
struct Column {
    const char* heading;
    const char* field;
    int width;
    int align;
    int lead = 0;
};
// The rectangles of the columns, side by side from the left margin, each with a little room
// on both sides.
QList<QRect> columnRects(std::span<const Column> columns, int y, int height);

// The heading on top of every page: the title centred, the date at the left and
// "Página: n/N" at the right.
Report::Band pageHeader(const QString& name, const QString& title, const QDate& date, int width);

// Consecutive detail rows alternate between grey and white.
void alternate(Report::Band& band);

// "R$ ###,###,##0.00": two decimals, thousands grouped.
QString money(Money m);
// "R$ 0.00": two decimals, no grouping.
QString moneyPlain(Money m);

// One summary line: a caption and its value, right-aligned, both bold.
void summaryLine(Report::Band& band, int y, int width, const QString& caption, Report::TextFn value,
                 const QString& name = {});

} // namespace ReportStyle
