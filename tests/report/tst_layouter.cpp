// The banded engine on its own: pagination on the page model, and the preview's PDF export.

#include "DialogScript.h"
#include "PageText.h"
#include "platform/report/ReportDef.h"
#include "platform/report/ReportPainter.h"
#include "platform/report/ReportPreview.h"

#include <QAction>
#include <QDialog>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Report;

namespace {

// A page header of 1000, one group (key "g", header 500, footer 400 summing "v"), details of
// `detail` height; the usable height of a page is A4 less 10 mm at top and bottom.
ReportDef def(int detail) {
    ReportDef d;
    d.pageHeader.name = "head";
    d.pageHeader.height = 1000;
    Element page = Element::computed(
        QRect(0, 0, 1000, 200),
        [](const PrintContext& c) { return QString("%1/%2").arg(c.page).arg(c.pageCount); }, {},
        Qt::AlignLeft, "page");
    page.perPage = true;
    d.pageHeader.elements << page;
    Group g;
    g.keyField = "g";
    g.sumFields = {"v"};
    g.header.name = "gh";
    g.header.height = 500;
    g.header.elements << Element::field(QRect(0, 0, 1000, 200), "g");
    g.footer.name = "gf";
    g.footer.height = 400;
    g.footer.elements << Element::computed(
        QRect(0, 0, 2000, 200),
        [](const PrintContext& c) {
            return c.sum("v").format(0) + "/" + QString::number(c.count());
        },
        {}, Qt::AlignLeft, "sum");
    d.groups << g;
    d.detail.name = "d";
    d.detail.height = detail;
    d.detail.elements << Element::field(QRect(0, 0, 1000, 100), "n");
    return d;
}

TableRows rows(const QList<QPair<QString, int>>& groups) {
    TableRows r({"g", "v", "n"});
    int n = 0;
    for (const auto& [g, count] : groups)
        for (int i = 0; i < count; ++i, ++n)
            r.append({g, Money::fromCents(100 * (n + 1)).toVariant(), QString::number(n)});
    return r;
}

const int Usable = A4Height - 2 * fromMm(10); // 13087

} // namespace

class TestLayouter : public QObject {
    Q_OBJECT
private slots:
    void pagination_data();
    void pagination();
    void noRowsNoPages();
    void previewExportsPdf();
    void previewPages();
    void printRange_data();
    void printRange();
};

void TestLayouter::pagination_data() {
    QTest::addColumn<int>("detail");
    QTest::addColumn<QList<int>>("groups"); // rows per group
    QTest::addColumn<QStringList>("pages"); // the bands of each page, "|" between pages
    QTest::addColumn<QStringList>("sums");
    // 1000 + 500 + 11 * 1000 + 400 = 12900 fits; one more detail row does not.
    QTest::newRow("all on one page")
        << 1000 << QList<int>{11} << QStringList{"head gh d gf"} << QStringList{"66/11"};
    QTest::newRow("a detail that would overflow moves on, the header repeats")
        << 1000 << QList<int>{12} << QStringList{"head gh d", "head gh d gf"}
        << QStringList{"78/12"};
    QTest::newRow("sums restart after each footer")
        << 1000 << QList<int>{2, 3} << QStringList{"head gh d gf gh d gf"}
        << QStringList{"3/2", "12/3"};
    // A header that would stand alone at the foot goes over with its first row.
    QTest::newRow("no header alone at the foot")
        << 1000 << QList<int>{10, 1} << QStringList{"head gh d gf", "head gh d gf"}
        << QStringList{"55/10", "11/1"};
    QTest::newRow("a footer that does not fit follows its group onto the next page")
        << 1150 << QList<int>{10} << QStringList{"head gh d", "head gh gf"} << QStringList{"55/10"};
}

void TestLayouter::pagination() {
    QFETCH(int, detail);
    QFETCH(QList<int>, groups);
    QFETCH(QStringList, pages);
    QFETCH(QStringList, sums);
    QVERIFY(1000 + 500 + 11 * 1000 + 400 <= Usable && 1000 + 500 + 12 * 1000 + 400 > Usable);
    QList<QPair<QString, int>> spec;
    for (int i = 0; i < groups.size(); ++i)
        spec << qMakePair(QString("G%1").arg(i), groups[i]);
    const PageModel m = layout(def(detail), rows(spec));
    QStringList seen;
    for (const Page& p : m.pages)
        seen << pt::bands(p).join(' ');
    QCOMPARE(seen, pages);
    QCOMPARE(pt::texts(m, "sum"), sums);
    QStringList labels;
    for (int i = 1; i <= m.pageCount(); ++i)
        labels << QString("%1/%2").arg(i).arg(m.pageCount());
    QCOMPARE(pt::texts(m, "page"), labels);
    for (const Page& p : m.pages)
        for (const Item& i : p.items)
            QVERIFY(i.rect.bottom() <= A4Height - fromMm(10));
}

void TestLayouter::noRowsNoPages() {
    QCOMPARE(layout(def(1000), TableRows({"g", "v", "n"})).pageCount(), 0);
}

// "Exportar PDF" asks for a file in the save dialog and writes every page there.
void TestLayouter::previewExportsPdf() {
    QTemporaryDir dir;
    const QString path = dir.filePath("listagem.pdf");
    const PageModel m = layout(def(1000), rows({{"A", 12}, {"B", 30}}));
    QCOMPARE(m.pageCount(), 4);
    std::unique_ptr<QDialog> preview(makePreview(m, "Listagem", nullptr));
    auto* action = preview->findChild<QAction*>("actExportarPdf");
    QVERIFY(action);
    QCOMPARE(action->text(), QStringLiteral("Exportar PDF"));
    DialogScript script;
    script.save(path);
    script.save(QString()); // cancelled: nothing written
    action->trigger();
    action->trigger();
    VERIFY_SCRIPT(script);
    QVERIFY(QFile::exists(path));
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
        QSKIP("pdfinfo (poppler-utils) is not installed");
    QProcess info;
    info.start("pdfinfo", {path});
    QVERIFY(info.waitForFinished());
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(out.contains(QRegularExpression("Pages:\\s+4\\n")), qPrintable(out));

    // A folder that cannot be written is told, and nothing is left behind.
    const QString bad = dir.filePath("nao/existe.pdf");
    script.clear();
    script.save(bad);
    script.allowAny(true);
    action->trigger();
    QCOMPARE(script.pending(), 0);
    QCOMPARE(script.seen().size(), 2);
    QCOMPARE(script.seen().last().title, QStringLiteral("Erro"));
    QVERIFY(script.seen().last().text.startsWith(
        QString("Não foi possível criar o arquivo %1").arg(bad)));
    QVERIFY(!QFile::exists(bad));
}

// The preview shows the first page drawn as soon as it is up, and moves by page.
void TestLayouter::previewPages() {
    const PageModel m = layout(def(1000), rows({{"A", 12}, {"B", 30}}));
    std::unique_ptr<QDialog> preview(makePreview(m, "Listagem", nullptr));
    preview->setWindowState(Qt::WindowNoState);
    preview->resize(800, 600);
    preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
    auto* pagina = preview->findChild<QSpinBox*>("spnPagina");
    QVERIFY(pagina);
    QCOMPARE(pagina->value(), 1);
    QCOMPARE(pagina->maximum(), 4);
    // The first page is in view, white with black text on it.
    auto* area = preview->findChild<QScrollArea*>();
    const QImage tela = area->viewport()->grab().toImage();
    int escuros = 0, brancos = 0;
    for (int y = 0; y < tela.height(); y += 2)
        for (int x = 0; x < tela.width(); x += 2) {
            const QColor c = tela.pixelColor(x, y);
            escuros += c.lightness() < 80;
            brancos += c == Qt::white;
        }
    QVERIFY2(escuros > 20 && brancos > tela.width() * tela.height() / 16,
             qPrintable(QString("%1 dark, %2 white").arg(escuros).arg(brancos)));
    const struct {
        const char* action;
        int page;
    } moves[] = {{"actUltima", 4},  {"actAnterior", 3}, {"actPrimeira", 1}, {"actAnterior", 1},
                 {"actProxima", 2}, {"actUltima", 4},   {"actProxima", 4}};
    for (const auto& mv : moves) {
        preview->findChild<QAction*>(mv.action)->trigger();
        QCOMPARE(pagina->value(), mv.page);
    }
    pagina->setValue(2);
    const int emDois = area->verticalScrollBar()->value();
    QVERIFY(emDois > 0);
    // Zooming keeps the page in view.
    preview->findChild<QAction*>("actAmpliar")->trigger();
    QCOMPARE(pagina->value(), 2);
    QVERIFY(area->verticalScrollBar()->value() > emDois);
}

void TestLayouter::printRange_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("pages");
    QTest::newRow("all") << 0 << 0 << 4;
    QTest::newRow("middle") << 2 << 3 << 2;
    QTest::newRow("to the end") << 3 << 0 << 2;
    QTest::newRow("first only") << 0 << 1 << 1;
    QTest::newRow("past the end") << 4 << 9 << 1;
}

// Printing a range of pages puts exactly those pages on paper.
void TestLayouter::printRange() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, pages);
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
        QSKIP("pdfinfo (poppler-utils) is not installed");
    const PageModel m = layout(def(1000), rows({{"A", 12}, {"B", 30}}));
    QTemporaryDir dir;
    const QString path = dir.filePath("faixa.pdf");
    {
        QPdfWriter pdf(path);
        pdf.setResolution(Dpi);
        QVERIFY(paintAll(pdf, m, from, to));
    }
    QProcess info;
    info.start("pdfinfo", {path});
    QVERIFY(info.waitForFinished());
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(out.contains(QRegularExpression(QString("Pages:\\s+%1\\n").arg(pages))),
             qPrintable(out));
}

QTEST_MAIN(TestLayouter)
#include "tst_layouter.moc"
