#pragma once

#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// A laid-out listing: pages of positioned items, in 1/1200 inch from the paper's top-left
// corner. Nothing here depends on a screen or a printer.
namespace Report {

inline constexpr int Dpi = 1200;
constexpr int fromMm(double mm) {
    return int(mm * Dpi / 25.4 + 0.5);
}
// A4, portrait.
inline constexpr int A4Width = fromMm(210);
inline constexpr int A4Height = fromMm(297);

struct FontSpec {
    double points = 8;
    bool bold = false;
    bool operator==(const FontSpec&) const = default;
};

enum class ItemKind { Text, Line, Box, Fill };

struct Item {
    ItemKind kind = ItemKind::Text;
    QRect rect; // a line runs from rect's top-left to its bottom-right
    QString text;
    QPoint origin; // a text's start on its baseline, placed in `rect` by its alignment
    int align = 0; // Qt::Alignment flags of a text
    FontSpec font;
    QColor color = Qt::black; // text and line colour; the fill colour of a Fill
    QString band;             // the band that printed the item
    QString name;             // the element's name, when it has one ("QRLabel3", "qrlLote")
};

struct Page {
    QList<Item> items;
};

struct PageModel {
    QSize paper{A4Width, A4Height};
    QList<Page> pages;
    int pageCount() const { return int(pages.size()); }
};

} // namespace Report
