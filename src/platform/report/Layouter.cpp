#include "platform/data/Dataset.h"
#include "platform/data/DateCodec.h"
#include "platform/report/ReportDef.h"
#include "platform/report/ReportFont.h"

namespace Report {

QVariant TableRows::value(int row, const QString& field) const {
    const int column = int(m_columns.indexOf(field));
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_rows.at(row).size())
        return {};
    return m_rows.at(row).at(column);
}

int DatasetRows::count() const {
    return m_ds.recordCount();
}

QVariant DatasetRows::value(int row, const QString& field) const {
    return m_ds.valueAt(row, field);
}

QVariant PrintContext::value(const QString& field) const {
    return rows && row >= 0 ? rows->value(row, field) : QVariant();
}

QString PrintContext::text(const QString& field) const {
    const QVariant v = value(field);
    switch (v.metaType().id()) {
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return dateText(field);
    default:
        return v.isNull() ? QString() : v.toString();
    }
}

QString PrintContext::dateText(const QString& field) const {
    const QDateTime dt = DateCodec::fromDb(value(field));
    return dt.isValid() ? DateCodec::toText(dt.date()) : QString();
}

Money PrintContext::money(const QString& field) const {
    return Money::fromVariant(value(field));
}

Money PrintContext::sum(const QString& field) const {
    return totals ? totals->sums.value(field) : Money();
}

Element Element::label(const QRect& r, const QString& caption, FontSpec f, int align) {
    return computed(
        r, [caption](const PrintContext&) { return caption; }, f, align);
}

Element Element::field(const QRect& r, const QString& field, FontSpec f, int align) {
    Element e = computed(
        r, [field](const PrintContext& c) { return c.text(field); }, f, align);
    e.name = field;
    return e;
}

Element Element::computed(const QRect& r, TextFn fn, FontSpec f, int align, const QString& name) {
    Element e;
    e.rect = r;
    e.text = std::move(fn);
    e.font = f;
    e.align = align;
    e.name = name;
    return e;
}

Element Element::line(const QRect& r) {
    Element e;
    e.kind = Kind::Line;
    e.rect = r;
    return e;
}

Element Element::box(const QRect& r) {
    Element e;
    e.kind = Kind::Box;
    e.rect = r;
    return e;
}

namespace {

// Shortens the text to its place and puts its start on the baseline its alignment gives, so
// that drawing it needs no layout of its own.
void setText(Item& item, const QString& text) {
    item.text = fitted(text, item.font, item.rect.width());
    const int w = textWidth(item.text, item.font);
    const QRect& r = item.rect;
    int x = r.left();
    if (item.align & Qt::AlignRight)
        x = r.left() + r.width() - w;
    else if (item.align & Qt::AlignHCenter)
        x = r.left() + (r.width() - w) / 2;
    const int up = ascent(item.font);
    const int down = descent(item.font);
    int y = r.top() + (r.height() - up - down) / 2 + up;
    if (item.align & Qt::AlignTop)
        y = r.top() + up;
    else if (item.align & Qt::AlignBottom)
        y = r.top() + r.height() - down;
    item.origin = QPoint(x, y);
}

class Run {
public:
    Run(const ReportDef& def, const Rows& rows)
        : m_def(def), m_rows(rows), m_pageHeader(def.pageHeader), m_groups(def.groups),
          m_detail(def.detail), m_totals(def.groups.size()) {}

    PageModel go() {
        const int n = m_rows.count();
        if (n == 0)
            return m_model;
        const int levels = int(m_groups.size());
        newPage(0);
        for (int row = 0; row < n; ++row) {
            const int level = row == 0 ? 0 : firstChange(row - 1, row);
            if (row > 0)
                closeGroups(level, row - 1);
            // A group header is never left alone at the foot of a page: the headers that
            // start here and one detail row go together.
            int needed = m_detail.height;
            for (int l = level; l < levels; ++l)
                needed += m_groups[l].header.height;
            if (level < levels && !fits(needed))
                newPage(row);
            for (int l = level; l < levels; ++l) {
                print(m_groups[l].header, context(row), row);
                m_open = l + 1;
            }
            for (int l = 0; l < levels; ++l) {
                Totals& t = m_totals[l];
                ++t.count;
                for (const QString& f : m_groups[l].sumFields)
                    t.sums[f] += Money::fromVariant(m_rows.value(row, f));
            }
            print(m_detail, context(row), row);
        }
        closeGroups(0, n - 1);
        resolvePerPage();
        return m_model;
    }

private:
    struct Deferred {
        int page;
        int item;
        TextFn text;
        PrintContext context;
    };

    // The outermost group whose key differs between the two rows; the number of groups when
    // none does.
    int firstChange(int previous, int row) const {
        for (int l = 0; l < m_groups.size(); ++l) {
            const QString& key = m_groups[l].keyField;
            if (m_rows.value(previous, key) != m_rows.value(row, key))
                return l;
        }
        return int(m_groups.size());
    }

    // Prints the footers of the groups from the innermost to `level`; each restarts its sums.
    void closeGroups(int level, int row) {
        for (int l = int(m_groups.size()) - 1; l >= level; --l) {
            Group& g = m_groups[l];
            if (g.footer.height > 0) {
                PrintContext c = context(row);
                c.totals = &m_totals[l];
                print(g.footer, c, row);
            }
            m_totals[l] = Totals();
            m_open = l;
        }
    }

    PrintContext context(int row) const {
        PrintContext c;
        c.rows = &m_rows;
        c.row = row;
        c.page = int(m_model.pages.size());
        return c;
    }

    bool fits(int height) const { return m_y + height <= A4Height - m_def.marginBottom; }

    // A new page: the page header, then the headers of the groups that are running.
    void newPage(int row) {
        m_model.pages.append(Page());
        m_y = m_def.marginTop;
        place(m_pageHeader, context(row));
        for (int l = 0; l < m_open; ++l)
            if (m_groups[l].repeatHeader)
                place(m_groups[l].header, context(row));
    }

    void print(Band& band, PrintContext c, int row) {
        if (band.beforePrint)
            band.beforePrint(band, c);
        if (!fits(band.height)) {
            newPage(row);
            c.page = int(m_model.pages.size());
        }
        place(band, c);
        if (band.afterPrint)
            band.afterPrint();
    }

    void add(Item item, const Band& band) {
        item.band = band.name;
        m_model.pages.last().items.append(std::move(item));
    }

    void place(const Band& band, const PrintContext& c) {
        if (band.height <= 0)
            return;
        const QRect area(m_def.marginLeft, m_y, m_def.contentWidth(), band.height);
        if (band.color != QColor(Qt::white)) {
            Item fill;
            fill.kind = ItemKind::Fill;
            fill.rect = area;
            fill.color = band.color;
            add(fill, band);
        }
        for (const Element& e : band.elements) {
            Item item;
            item.rect = e.rect.translated(area.topLeft());
            item.name = e.name;
            switch (e.kind) {
            case Element::Kind::Line:
                item.kind = ItemKind::Line;
                break;
            case Element::Kind::Box:
                item.kind = ItemKind::Box;
                break;
            case Element::Kind::Text:
                item.kind = ItemKind::Text;
                item.font = e.font;
                item.align =
                    (e.align & Qt::AlignVertical_Mask) ? e.align : (e.align | Qt::AlignVCenter);
                if (e.perPage)
                    m_deferred.append({int(m_model.pages.size()) - 1,
                                       int(m_model.pages.last().items.size()), e.text, c});
                else
                    setText(item, e.text ? e.text(c) : QString());
                break;
            }
            add(item, band);
        }
        if (band.frame & FrameBox) {
            Item box;
            box.kind = ItemKind::Box;
            box.rect = area;
            add(box, band);
        }
        if (band.frame & FrameTop) {
            Item line;
            line.kind = ItemKind::Line;
            line.rect = QRect(area.topLeft(), area.topRight());
            add(line, band);
        }
        if (band.frame & FrameBottom) {
            Item line;
            line.kind = ItemKind::Line;
            line.rect = QRect(area.bottomLeft(), area.bottomRight());
            add(line, band);
        }
        m_y += band.height;
    }

    // The page number and the page total are known now: the pages of this one run.
    void resolvePerPage() {
        for (Deferred& d : m_deferred) {
            d.context.page = d.page + 1;
            d.context.pageCount = m_model.pageCount();
            setText(m_model.pages[d.page].items[d.item], d.text ? d.text(d.context) : QString());
        }
    }

    const ReportDef& m_def;
    const Rows& m_rows;
    Band m_pageHeader;
    QList<Group> m_groups;
    Band m_detail;
    QList<Totals> m_totals;
    QList<Deferred> m_deferred;
    PageModel m_model;
    int m_y = 0;
    int m_open = 0; // groups whose header printed and whose footer has not
};

} // namespace

PageModel layout(const ReportDef& def, const Rows& rows) {
    return Run(def, rows).go();
}

} // namespace Report
