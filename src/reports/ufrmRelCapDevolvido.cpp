#include "reports/ufrmRelCapDevolvido.h"

#include "platform/report/ReportPreview.h"
#include "reports/ReportStyle.h"

using namespace ReportStyle;
using Report::Element;
using Report::PrintContext;

namespace {

// The detail columns: the nine parts of the CMC-7 line, then the value, the dates and the
// return reason.
const Column Columns[] = {
    {"Bco.", "num_banco", 370, Qt::AlignHCenter},
    {"Ag.", "num_agencia", 380, Qt::AlignHCenter},
    {"Dv2", "num_dv2", 330, Qt::AlignHCenter},
    {"Comp", "num_compe", 440, Qt::AlignHCenter},
    {"Nº cheque", "num_cheque", 780, Qt::AlignLeft},
    {"Tip.", "num_tipificacao", 330, Qt::AlignHCenter},
    {"Dv1", "num_dv1", 330, Qt::AlignHCenter},
    {"Nº conta", "num_conta", 840, Qt::AlignLeft},
    {"Dv3", "num_dv3", 330, Qt::AlignHCenter},
    {"Vlr. cheque", "vlr_cheque", 1220, Qt::AlignRight},
    {"Data boa", "dat_deposito", 750, Qt::AlignLeft, 80},
    {"Dev?", "ind_devolvido", 440, Qt::AlignHCenter},
    {"Data reap.", "dat_reapresentacao", 840, Qt::AlignLeft},
    {"Data 2ª reap.", "dat_2reapresentacao", 1000, Qt::AlignLeft},
    // The reason of the last return, when one was recorded.
    {"Alínea", "num_alinea", 480, Qt::AlignHCenter},
};

bool isDate(const QString& field) {
    return field.startsWith(QLatin1String("dat_"));
}

} // namespace

TfrmRelCapDevolvido::TfrmRelCapDevolvido() = default;

bool TfrmRelCapDevolvido::devolvido(const PrintContext& row) {
    return row.text(QStringLiteral("ind_devolvido")) == QLatin1String("Sim") ||
           !row.dateText(QStringLiteral("dat_reapresentacao")).isEmpty() ||
           !row.dateText(QStringLiteral("dat_2reapresentacao")).isEmpty();
}

void TfrmRelCapDevolvido::DetailBand1BeforePrint(Report::Band& band, const PrintContext& row) {
    alternate(band);
    ++totChequeLote;
    ++totChequeAssoc;
    if (devolvido(row)) {
        ++totChequeDevLote;
        ++totChequeDevAssoc;
    }
}

void TfrmRelCapDevolvido::QRBand1AfterPrint() {
    totChequeLote = 0;
    totChequeDevLote = 0;
}

void TfrmRelCapDevolvido::QRBand2AfterPrint() {
    totChequeLote = 0;
    totChequeDevLote = 0;
    totChequeAssoc = 0;
    totChequeDevAssoc = 0;
}

Report::ReportDef TfrmRelCapDevolvido::layout() {
    Report::ReportDef def;
    const int w = def.contentWidth();

    def.pageHeader = pageHeader(QStringLiteral("PageHeaderBand1"), QRLabel1, printDate, w);

    // The member, boxed: captions over values.
    Report::Group member;
    member.keyField = QStringLiteral("cod_associado");
    member.sumFields = {QStringLiteral("vlr_cheque")};
    Report::Band& mh = member.header;
    mh.name = QStringLiteral("QRGroup1");
    mh.frame = Report::FrameBox;
    mh.height = 2 * RowHeight + 3 * Pad;
    {
        struct Cell {
            const char* caption;
            int x, width, align;
        };
        const Cell cells[] = {{"Associado", Pad, 4300, Qt::AlignLeft},
                              {"Agência", 4500, 900, Qt::AlignHCenter},
                              {"Período de geração do lote", 5600, 2300, Qt::AlignLeft},
                              {"Nº Lote", 8000, w - 8000 - Pad, Qt::AlignLeft}};
        for (const Cell& c : cells)
            mh.elements << Element::label(QRect(c.x, Pad, c.width, RowHeight),
                                          QString::fromUtf8(c.caption), Caption, c.align);
        const int y = Pad + RowHeight + Pad;
        mh.elements << Element::field(QRect(cells[0].x, y, cells[0].width, RowHeight),
                                      QStringLiteral("nom_associado"), Text);
        mh.elements << Element::field(QRect(cells[1].x, y, cells[1].width, RowHeight),
                                      QStringLiteral("num_ag_bancoob"), Text, Qt::AlignHCenter);
        mh.elements << Element::label(QRect(cells[2].x, y, cells[2].width, RowHeight), qrlPeriodo,
                                      Text);
        mh.elements.last().name = QStringLiteral("qrlPeriodo");
        mh.elements << Element::label(QRect(cells[3].x, y, cells[3].width, RowHeight), qrlLote,
                                      Text);
        mh.elements.last().name = QStringLiteral("qrlLote");
    }
    Report::Band& mf = member.footer;
    mf.name = QStringLiteral("QRBand2");
    mf.frame = Report::FrameBottom;

    // The lot: its data, then the column headings; ruled below.
    Report::Group lot;
    lot.keyField = QStringLiteral("num_lote");
    lot.sumFields = {QStringLiteral("vlr_cheque")};
    Report::Band& lh = lot.header;
    lh.name = QStringLiteral("QRGroup2");
    lh.frame = Report::FrameBottom;
    lh.height = Pad + 2 * RowHeight + Pad + SmallHeight + Pad / 2;
    {
        struct Cell {
            const char* caption;
            const char* field;
            int x, width;
        };
        const Cell cells[] = {{"Lote", "num_lote", Pad, 1000},
                              {"Dep/Cust.", "ind_dep_custodia", 1200, 1200},
                              {"Gerado?", "ind_gerado", 2600, 900},
                              {"Data Inclusão", "dat_lote", 3700, 1300},
                              {"Data Depósito", "dat_gerado", 5200, 1300}};
        for (const Cell& c : cells) {
            const QString field = QString::fromUtf8(c.field);
            lh.elements << Element::label(QRect(c.x, Pad, c.width, RowHeight),
                                          QString::fromUtf8(c.caption), Caption);
            const QRect r(c.x, Pad + RowHeight, c.width, RowHeight);
            if (isDate(field))
                lh.elements << Element::computed(
                    r, [field](const PrintContext& p) { return p.dateText(field); }, Text,
                    Qt::AlignLeft, field);
            else
                lh.elements << Element::field(r, field, Text);
        }
        const QList<QRect> rects = columnRects(Columns, Pad + 2 * RowHeight + Pad, SmallHeight);
        for (int i = 0; i < rects.size(); ++i)
            lh.elements << Element::label(rects[i], QString::fromUtf8(Columns[i].heading),
                                          SmallBold, Columns[i].align);
    }
    Report::Band& lf = lot.footer;
    lf.name = QStringLiteral("QRBand1");
    lf.frame = Report::FrameTop | Report::FrameBottom;

    // The two summaries: the same three lines, for the lot and for the member.
    auto summary = [w](Report::Band& b, const QString& title, const QString& sumName,
                       const int* cheques, const int* returned, const QString& chequesName,
                       const QString& returnedName) {
        b.height = Pad + 220 + 3 * RowHeight + Pad;
        b.elements << Element::label(QRect(Pad, Pad, 4000, 220), title, Summary);
        int y = Pad + 220;
        summaryLine(
            b, y, w, QStringLiteral("Valor total: "),
            [](const PrintContext& c) { return money(c.sum(QStringLiteral("vlr_cheque"))); },
            sumName);
        y += RowHeight;
        summaryLine(
            b, y, w, QStringLiteral("Qtde. tot. cheques: "),
            [cheques](const PrintContext&) { return QString::number(*cheques); }, chequesName);
        y += RowHeight;
        summaryLine(
            b, y, w, QStringLiteral("Qtde. cheques devolvidos: "),
            [returned](const PrintContext&) { return QString::number(*returned); }, returnedName);
    };
    summary(lf, QStringLiteral("Resumo do lote"), QStringLiteral("qrSomaLote"), &totChequeLote,
            &totChequeDevLote, QStringLiteral("qrTotChequeLote"),
            QStringLiteral("qrTotChequesDevLote"));
    summary(mf, QStringLiteral("Resumo do associado"), QStringLiteral("qrSomaAssoc"),
            &totChequeAssoc, &totChequeDevAssoc, QStringLiteral("qrTotChequeAssoc"),
            QStringLiteral("qrTotChequeDevAssoc"));
    lf.afterPrint = [this] { QRBand1AfterPrint(); };
    mf.afterPrint = [this] { QRBand2AfterPrint(); };

    // One row per cheque.
    Report::Band& d = def.detail;
    d.name = QStringLiteral("DetailBand1");
    d.height = SmallHeight;
    const QList<QRect> rects = columnRects(Columns, 0, SmallHeight);
    for (int i = 0; i < rects.size(); ++i) {
        const QString field = QString::fromUtf8(Columns[i].field);
        Report::TextFn text;
        if (field == QLatin1String("vlr_cheque"))
            text = [field](const PrintContext& c) { return money(c.money(field)); };
        else if (isDate(field))
            text = [field](const PrintContext& c) { return c.dateText(field); };
        else
            text = [field](const PrintContext& c) { return c.text(field); };
        d.elements << Element::computed(rects[i], text, Small, Columns[i].align, field);
    }
    d.beforePrint = [this](Report::Band& b, const PrintContext& c) {
        DetailBand1BeforePrint(b, c);
    };

    def.groups = {member, lot};
    return def;
}

Report::PageModel TfrmRelCapDevolvido::prepare(const Report::Rows& rows) {
    Report::PageModel pages = Report::layout(layout(), rows);
    pageTotal = pages.pageCount();
    return pages;
}

void TfrmRelCapDevolvido::preview(const Report::PageModel& pages, QWidget* parent) {
    Report::preview(pages, QRLabel1, parent);
}
