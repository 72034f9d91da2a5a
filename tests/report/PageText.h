#pragma once

// Reading a laid-out listing in tests: the texts of named items, the bands in page order.

#include "platform/report/PageModel.h"

#include <QStringList>

namespace pt {

// The texts of the items called `name` (in band `band` when given), page after page.
inline QStringList texts(const Report::PageModel& m, const QString& name,
                         const QString& band = {}) {
    QStringList out;
    for (const Report::Page& p : m.pages)
        for (const Report::Item& i : p.items)
            if (i.kind == Report::ItemKind::Text && i.name == name &&
                (band.isEmpty() || i.band == band))
                out << i.text;
    return out;
}

// The bands of a page in print order, consecutive printings of one band counted once.
inline QStringList bands(const Report::Page& p) {
    QStringList out;
    for (const Report::Item& i : p.items)
        if (out.isEmpty() || out.last() != i.band)
            out << i.band;
    return out;
}

// Whether each detail row, in print order over all pages, was printed on grey.
inline QList<bool> shading(const Report::PageModel& m, const QString& detailBand,
                           const QString& firstField) {
    QList<bool> out;
    for (const Report::Page& p : m.pages) {
        QList<int> grey; // tops of the fills
        for (const Report::Item& i : p.items)
            if (i.band == detailBand && i.kind == Report::ItemKind::Fill)
                grey << i.rect.top();
        for (const Report::Item& i : p.items)
            if (i.band == detailBand && i.name == firstField)
                out << grey.contains(i.rect.top());
    }
    return out;
}

} // namespace pt
