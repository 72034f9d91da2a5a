#include "reports/ufrmRelFuncionario.h"

#include "platform/report/ReportPreview.h"
#include "reports/ReportStyle.h"

using namespace ReportStyle;
using Report::Element;
using Report::PrintContext;

namespace {

const Column Columns[] = {
    {"Funcionário", "nom_funcionario", 2800, Qt::AlignLeft},
    {"Cpf", "num_cpf", 1200, Qt::AlignLeft},
    {"Admissão", "dat_admissao", 880, Qt::AlignLeft},
    {"Salário", "vlr_salario", 1250, Qt::AlignRight},
    {"Nº conta", "num_cc_bancoob", 900, Qt::AlignLeft, 150},
    {"Cód. movimento", "dsc_movimento", 1790, Qt::AlignLeft},
};

} // namespace

TfrmRelFuncionario::TfrmRelFuncionario() = default;

Report::ReportDef TfrmRelFuncionario::layout() {
    Report::ReportDef def;
    const int w = def.contentWidth();

    def.pageHeader = pageHeader(QStringLiteral("ColumnHeaderBand1"), QRLabel1, printDate, w);

    Report::Group member;
    member.keyField = QStringLiteral("cod_associado");
    member.sumFields = {QStringLiteral("vlr_salario")};
    Report::Band& mh = member.header;
    mh.name = QStringLiteral("QRGroup1");
    mh.frame = Report::FrameBox;
    mh.height = 2 * RowHeight + 3 * Pad;
    mh.elements << Element::label(QRect(Pad, Pad, 6000, RowHeight), QStringLiteral("Associado"),
                                  Caption);
    mh.elements << Element::label(QRect(6300, Pad, 1200, RowHeight), QStringLiteral("Agência"),
                                  Caption, Qt::AlignHCenter);
    mh.elements << Element::field(QRect(Pad, 2 * Pad + RowHeight, 6000, RowHeight),
                                  QStringLiteral("nom_associado"), Text);
    mh.elements << Element::field(QRect(6300, 2 * Pad + RowHeight, 1200, RowHeight),
                                  QStringLiteral("num_ag_bancoob"), Text, Qt::AlignHCenter);

    Report::Group dept;
    dept.keyField = QStringLiteral("nom_departamento");
    dept.sumFields = {QStringLiteral("vlr_salario")};
    Report::Band& dh = dept.header;
    dh.name = QStringLiteral("QRGroup2");
    dh.frame = Report::FrameBottom;
    dh.height = Pad + 2 * RowHeight + Pad + RowHeight + Pad / 2;
    dh.elements << Element::label(QRect(Pad, Pad, 6000, RowHeight), QStringLiteral("Departamento"),
                                  Caption);
    dh.elements << Element::field(QRect(Pad, Pad + RowHeight, 8000, RowHeight),
                                  QStringLiteral("nom_departamento"), Text);
    const QList<QRect> heads = columnRects(Columns, Pad + 2 * RowHeight + Pad, RowHeight);
    for (int i = 0; i < heads.size(); ++i)
        dh.elements << Element::label(heads[i], QString::fromUtf8(Columns[i].heading), Caption,
                                      Columns[i].align);

    // The summaries: the salary total without thousands grouping, and the number of rows.
    auto summary = [w](Report::Band& b, const QString& name, const QString& title) {
        b.name = name;
        b.frame = Report::FrameBottom;
        b.height = Pad + 220 + 2 * RowHeight + Pad;
        b.elements << Element::label(QRect(Pad, Pad, 4000, 220), title, Summary);
        summaryLine(
            b, Pad + 220, w, QStringLiteral("Total salário:"),
            [](const PrintContext& c) { return moneyPlain(c.sum(QStringLiteral("vlr_salario"))); },
            QStringLiteral("qrSomaSalario"));
        summaryLine(
            b, Pad + 220 + RowHeight, w, QStringLiteral("Qtde. funcionários:"),
            [](const PrintContext& c) { return QString::number(c.count()); },
            QStringLiteral("qrQtdeFuncionario"));
    };
    summary(dept.footer, QStringLiteral("QRBand2"), QStringLiteral("Resumo departamento"));
    summary(member.footer, QStringLiteral("QRBand1"), QStringLiteral("Resumo associado"));

    Report::Band& d = def.detail;
    d.name = QStringLiteral("DetailBand1");
    d.height = RowHeight;
    const QList<QRect> rects = columnRects(Columns, 0, RowHeight);
    for (int i = 0; i < rects.size(); ++i) {
        const QString field = QString::fromUtf8(Columns[i].field);
        Report::TextFn text;
        if (field == QLatin1String("vlr_salario"))
            text = [field](const PrintContext& c) {
                return c.value(field).isNull() ? QString() : money(c.money(field));
            };
        else if (field == QLatin1String("dat_admissao"))
            text = [field](const PrintContext& c) { return c.dateText(field); };
        else
            text = [field](const PrintContext& c) { return c.text(field); };
        d.elements << Element::computed(rects[i], text, Text, Columns[i].align, field);
    }
    d.beforePrint = [](Report::Band& b, const PrintContext&) { alternate(b); };

    def.groups = {member, dept};
    return def;
}

Report::PageModel TfrmRelFuncionario::prepare(const Report::Rows& rows) {
    Report::PageModel pages = Report::layout(layout(), rows);
    pageTotal = pages.pageCount();
    return pages;
}

void TfrmRelFuncionario::preview(const Report::PageModel& pages, QWidget* parent) {
    Report::preview(pages, QRLabel1, parent);
}
