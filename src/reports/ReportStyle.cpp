#include "reports/ReportStyle.h"

#include "platform/data/DateCodec.h"

namespace ReportStyle {

using Report::Element;

QList<QRect> columnRects(std::span<const Column> columns, int y, int height) {
    constexpr int ColumnPad = 30;
    QList<QRect> out;
    int x = 0;
    for (const Column& c : columns) {
        x += c.lead;
        out << QRect(x + ColumnPad, y, c.width - 2 * ColumnPad, height);
        x += c.width;
    }
    return out;
}

Report::Band pageHeader(const QString& name, const QString& title, const QDate& date, int width) {
    Report::Band b;
    b.name = name;
    b.height = 260 + RowHeight + 120;
    b.elements << Element::label(QRect(0, 0, width, 260), title, Title, Qt::AlignHCenter);
    b.elements.last().name = QStringLiteral("QRLabel1");
    b.elements << Element::label(QRect(0, 280, 3000, RowHeight),
                                 QStringLiteral("Data: ") + DateCodec::toText(date), Text);
    constexpr int LabelWidth = 800;
    b.elements << Element::label(QRect(width - LabelWidth - 1000, 280, 1000, RowHeight),
                                 QStringLiteral("Página: "), Text, Qt::AlignRight);
    Element page = Element::computed(
        QRect(width - LabelWidth, 280, LabelWidth, RowHeight),
        [](const Report::PrintContext& c) {
            return QStringLiteral("%1/%2").arg(c.page).arg(c.pageCount);
        },
        Text, Qt::AlignLeft, QStringLiteral("QRLabel3"));
    page.perPage = true;
    b.elements << page;
    return b;
}

void alternate(Report::Band& band) {
    band.color = band.color == QColor(Qt::white) ? Grey : QColor(Qt::white);
}

QString money(Money m) {
    return QStringLiteral("R$ ") + m.format(2, true);
}

QString moneyPlain(Money m) {
    return QStringLiteral("R$ ") + m.format(2, false);
}

void summaryLine(Report::Band& band, int y, int width, const QString& caption, Report::TextFn value,
                 const QString& name) {
    constexpr int ValueWidth = 1800;
    band.elements << Element::label(QRect(width - ValueWidth - 2600, y, 2600, RowHeight), caption,
                                    Caption, Qt::AlignRight);
    band.elements << Element::computed(QRect(width - ValueWidth - Pad, y, ValueWidth, RowHeight),
                                       std::move(value), Caption, Qt::AlignRight, name);
}

} // namespace ReportStyle
