#pragma once

#include "platform/data/Money.h"
#include "platform/report/PageModel.h"

#include <QHash>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class Dataset;

// The description of a banded listing: a page header, nested groups with their headers and
// footers, and a detail band, filled from rows of named fields.
namespace Report {

// The rows a listing prints, in print order.
class Rows {
public:
    virtual ~Rows() = default;
    virtual int count() const = 0;
    virtual QVariant value(int row, const QString& field) const = 0;
};

// Rows held in memory.
class TableRows : public Rows {
public:
    explicit TableRows(const QStringList& columns) : m_columns(columns) {}
    void append(const QVariantList& values) { m_rows << values; }
    int count() const override { return int(m_rows.size()); }
    QVariant value(int row, const QString& field) const override;

private:
    QStringList m_columns;
    QList<QVariantList> m_rows;
};

// The rows of an open dataset, read where they are.
class DatasetRows : public Rows {
public:
    explicit DatasetRows(const Dataset& ds) : m_ds(ds) {}
    int count() const override;
    QVariant value(int row, const QString& field) const override;

private:
    const Dataset& m_ds;
};

// The sums and count of one group's rows since its footer last printed.
struct Totals {
    QHash<QString, Money> sums;
    int count = 0;
};

// What an element's text is made from when its band prints.
struct PrintContext {
    const Rows* rows = nullptr;
    int row = -1;
    int page = 0;                   // 1-based
    int pageCount = 0;              // known only to elements marked perPage
    const Totals* totals = nullptr; // a footer's group

    QVariant value(const QString& field) const;
    // Text of a field: a date as "dd/mm/yyyy", empty for none; other values as text.
    QString text(const QString& field) const;
    QString dateText(const QString& field) const;
    Money money(const QString& field) const;
    Money sum(const QString& field) const;
    int count() const { return totals ? totals->count : 0; }
};

using TextFn = std::function<QString(const PrintContext&)>;

struct Element {
    enum class Kind { Text, Line, Box };
    Kind kind = Kind::Text;
    QRect rect; // from the band's top-left corner (the left margin)
    FontSpec font;
    int align = 0x0001; // Qt::AlignLeft; centred vertically unless said otherwise
    QString name;
    TextFn text;
    bool perPage = false; // reads the page number or the page total

    static Element label(const QRect& r, const QString& caption, FontSpec f = {}, int align = 1);
    static Element field(const QRect& r, const QString& field, FontSpec f = {}, int align = 1);
    static Element computed(const QRect& r, TextFn fn, FontSpec f = {}, int align = 1,
                            const QString& name = {});
    static Element line(const QRect& r);
    static Element box(const QRect& r);
};

enum Frame { NoFrame = 0, FrameTop = 1, FrameBottom = 2, FrameBox = 4 };

struct Band {
    QString name;
    int height = 0;
    QList<Element> elements;
    QColor color = Qt::white; // the band's background; a hook may change it
    int frame = NoFrame;
    // Before the band prints (it may change the band's colour), and after.
    std::function<void(Band&, const PrintContext&)> beforePrint;
    std::function<void()> afterPrint;
};

struct Group {
    QString keyField;
    Band header;
    Band footer;              // height 0: none
    bool repeatHeader = true; // again at the top of every page while the group runs
    QStringList sumFields;    // money fields summed over the group's rows
};

struct ReportDef {
    int marginLeft = fromMm(10);
    int marginTop = fromMm(10);
    int marginRight = fromMm(10);
    int marginBottom = fromMm(10);
    Band pageHeader;
    QList<Group> groups; // outermost first
    Band detail;

    int contentWidth() const { return A4Width - marginLeft - marginRight; }
};

// Lays the rows out on pages. No rows: no pages. The same description and rows give the same
// pages every time: the run works on its own copy of the bands.
PageModel layout(const ReportDef& def, const Rows& rows);

} // namespace Report
