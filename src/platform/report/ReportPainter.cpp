#include "platform/report/ReportPainter.h"

#include "platform/report/ReportFont.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace Report {
namespace {
// A hairline rule, about 0.1 mm.
constexpr int RuleWidth = 5;
} // namespace

void paintPage(QPainter& p, const PageModel& model, int index) {
    if (index < 0 || index >= model.pageCount())
        return;
    p.save();
    const QPaintDevice* device = p.device();
    p.scale(double(device->logicalDpiX()) / Dpi, double(device->logicalDpiY()) / Dpi);
    p.setRenderHint(QPainter::TextAntialiasing);
    const FontSpec* current = nullptr;
    for (const Item& item : model.pages.at(index).items) {
        switch (item.kind) {
        case ItemKind::Fill:
            p.fillRect(item.rect, item.color);
            break;
        case ItemKind::Line:
            p.setPen(QPen(item.color, RuleWidth));
            p.drawLine(item.rect.topLeft(), item.rect.bottomRight());
            break;
        case ItemKind::Box:
            p.setPen(QPen(item.color, RuleWidth));
            p.setBrush(Qt::NoBrush);
            p.drawRect(item.rect);
            break;
        case ItemKind::Text:
            p.setPen(item.color);
            if (!current || !(*current == item.font)) {
                p.setFont(font(item.font));
                current = &item.font;
            }
            p.drawText(item.origin, item.text);
            break;
        }
    }
    p.restore();
}

template <typename PagedDevice>
bool paintAll(PagedDevice& device, const PageModel& model, int from, int to) {
    const int first = from > 0 ? from - 1 : 0;
    const int last = to > 0 ? qMin(to, model.pageCount()) - 1 : model.pageCount() - 1;
    QPainter p;
    if (!p.begin(&device))
        return false;
    for (int i = first; i <= last; ++i) {
        if (i > first)
            device.newPage();
        paintPage(p, model, i);
    }
    return p.end();
}

template bool paintAll<QPrinter>(QPrinter&, const PageModel&, int, int);
template bool paintAll<QPdfWriter>(QPdfWriter&, const PageModel&, int, int);

} // namespace Report
