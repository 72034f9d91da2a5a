// The cheque and employee listings laid out on pages, without pixels; and one written to PDF.

#include "PageText.h"
#include "platform/report/ReportFont.h"
#include "platform/report/ReportPreview.h"
#include "reports/ufrmRelCapDevolvido.h"
#include "reports/ufrmRelFuncionario.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Report::PageModel;
using Report::TableRows;

namespace {

const QStringList ChequeColumns = {
    "cod_associado",       "nom_associado", "num_ag_bancoob", "num_lote",
    "ind_dep_custodia",    "ind_gerado",    "dat_lote",       "num_banco",
    "num_agencia",         "num_dv2",       "num_compe",      "num_cheque",
    "num_tipificacao",     "num_dv1",       "num_conta",      "num_dv3",
    "vlr_cheque",          "dat_deposito",  "ind_devolvido",  "dat_reapresentacao",
    "dat_2reapresentacao", "dat_gerado",    "num_alinea"};

// One cheque of a lot: `flags` is "S" when flagged returned, then "1" and "2" for the
// re-presentation dates it has, e.g. "N2"; a returned one was returned for reason 11.
QVariantList cheque(const QString& lote, qint64 cents, const QString& flags, int n = 1) {
    const QDate day(2024, 3, 5);
    return {1,
            "Padaria Pão Quente Ltda",
            "3041",
            lote,
            "Depósito",
            "Sim",
            QDateTime(day, QTime(9, 30)),
            "756",
            "3041",
            "7",
            "018",
            QStringLiteral("%1").arg(n, 6, 10, QChar('0')),
            "5",
            "3",
            "0012345678",
            "9",
            Money::fromCents(cents).toVariant(),
            QDateTime(day.addDays(1), QTime()),
            flags.startsWith('S') ? "Sim" : "Não",
            flags.contains('1') ? QVariant(QDateTime(day.addDays(10), QTime())) : QVariant(),
            flags.contains('2') ? QVariant(QDateTime(day.addDays(20), QTime())) : QVariant(),
            QDateTime(day.addDays(1), QTime()),
            flags.startsWith('S') ? QVariant("11") : QVariant()};
}

PageModel chequeListing(const TableRows& rows, TfrmRelCapDevolvido* rel = nullptr) {
    TfrmRelCapDevolvido own;
    TfrmRelCapDevolvido& r = rel ? *rel : own;
    r.QRLabel1 += " capturados";
    r.qrlPeriodo = "01/03/2024  a  31/03/2024";
    r.qrlLote = "0";
    return r.prepare(rows);
}

TableRows manyCheques(int n, const QString& lote = "7") {
    TableRows rows(ChequeColumns);
    for (int i = 0; i < n; ++i)
        rows.append(cheque(lote, 10000 + i, "N", i + 1));
    return rows;
}

const QStringList EmployeeColumns = {
    "cod_associado",   "nom_associado", "num_ag_bancoob", "nom_departamento", "dsc_movimento",
    "nom_funcionario", "num_cpf",       "dat_admissao",   "vlr_salario",      "num_cc_bancoob"};

QVariantList employee(const QString& dept, const QString& name, QVariant salary) {
    return {1,
            "Padaria Pão Quente Ltda",
            "3041",
            dept,
            "Pagamento de salário",
            name,
            "12345678909",
            QDateTime(QDate(2019, 2, 1), QTime()),
            salary,
            "0012345"};
}

} // namespace

class TestListings : public QObject {
    Q_OBJECT
private slots:
    void chequeCounters_data();
    void chequeCounters();
    void chequeLotRunsOntoNewPage();
    void chequePageLabels();
    void shadingAlternatesAcrossPages();
    void sameDataSamePages();
    void chequeFormats();
    void employeeTotals_data();
    void employeeTotals();
    void employeeDepartmentRunsOntoNewPage();
    void nothingIsCut();
    void pdfPagesAndTexts();
};

// Lots are given as "lot:flags flags ...", one cheque per flags word (see cheque()).
void TestListings::chequeCounters_data() {
    QTest::addColumn<QStringList>("lots");
    QTest::addColumn<QStringList>("lotFooters"); // cheques/returned/value, per lot
    QTest::addColumn<QString>("memberFooter");   // cheques/returned/value
    QTest::newRow("three, one re-presented")
        << QStringList{"7:N N1 N"} << QStringList{"3/1/R$ 300,00"} << "3/1/R$ 300,00";
    QTest::newRow("not returned but re-presented twice")
        << QStringList{"7:N2"} << QStringList{"1/1/R$ 100,00"} << "1/1/R$ 100,00";
    QTest::newRow("flagged returned")
        << QStringList{"7:S N"} << QStringList{"2/1/R$ 200,00"} << "2/1/R$ 200,00";
    QTest::newRow("two lots") << QStringList{"7:S N", "8:N N12 N"}
                              << QStringList{"2/1/R$ 200,00", "3/1/R$ 300,00"} << "5/2/R$ 500,00";
}

void TestListings::chequeCounters() {
    QFETCH(QStringList, lots);
    QFETCH(QStringList, lotFooters);
    QFETCH(QString, memberFooter);
    TableRows rows(ChequeColumns);
    int n = 0;
    for (const QString& lot : lots) {
        const QString number = lot.section(':', 0, 0);
        for (const QString& flags : lot.section(':', 1).split(' '))
            rows.append(cheque(number, 10000, flags, ++n));
    }
    TfrmRelCapDevolvido rel;
    const PageModel m = chequeListing(rows, &rel);
    QCOMPARE(m.pageCount(), 1);

    QStringList lotsSeen;
    const QStringList cheques = pt::texts(m, "qrTotChequeLote");
    const QStringList returned = pt::texts(m, "qrTotChequesDevLote");
    const QStringList values = pt::texts(m, "qrSomaLote");
    QCOMPARE(cheques.size(), lots.size());
    for (int i = 0; i < cheques.size(); ++i)
        lotsSeen << cheques[i] + '/' + returned.value(i) + '/' + values.value(i);
    QCOMPARE(lotsSeen, lotFooters);
    QCOMPARE(pt::texts(m, "num_lote", "QRGroup2").size(), lots.size());
    QCOMPARE(pt::texts(m, "qrTotChequeAssoc").join(',') + '/' +
                 pt::texts(m, "qrTotChequeDevAssoc").join(',') + '/' +
                 pt::texts(m, "qrSomaAssoc").join(','),
             memberFooter);
    // The member footer ends the run with every counter back at 0.
    QCOMPARE(rel.totChequeLote + rel.totChequeDevLote + rel.totChequeAssoc + rel.totChequeDevAssoc,
             0);
}

void TestListings::chequeLotRunsOntoNewPage() {
    const PageModel m = chequeListing(manyCheques(120));
    QCOMPARE(m.pageCount(), 2);
    const QStringList second = pt::bands(m.pages[1]);
    QCOMPARE(second.mid(0, 4),
             (QStringList{"PageHeaderBand1", "QRGroup1", "QRGroup2", "DetailBand1"}));
    QCOMPARE(second.mid(4), (QStringList{"QRBand1", "QRBand2"}));
    // The lot's header on the new page is the same lot's, and its footer counts all its rows.
    QCOMPARE(pt::texts(m, "num_lote", "QRGroup2"), (QStringList{"7", "7"}));
    QCOMPARE(pt::texts(m, "qrTotChequeLote"), QStringList{"120"});
    QCOMPARE(pt::texts(m, "qrlPeriodo"), QStringList(2, "01/03/2024  a  31/03/2024"));
    // Nothing runs into the bottom margin.
    for (const Report::Page& p : m.pages)
        for (const Report::Item& i : p.items)
            QVERIFY2(i.rect.bottom() <= Report::A4Height - Report::fromMm(10),
                     qPrintable(i.band + ' ' + i.name));
}

void TestListings::chequePageLabels() {
    TfrmRelCapDevolvido rel;
    const PageModel m = chequeListing(manyCheques(200), &rel);
    QCOMPARE(m.pageCount(), 3);
    QCOMPARE(rel.pageTotal, 3);
    QCOMPARE(pt::texts(m, "QRLabel3"), (QStringList{"1/3", "2/3", "3/3"}));
    QCOMPARE(pt::texts(m, "QRLabel1"), QStringList(3, "Relação de cheques capturados"));
}

void TestListings::shadingAlternatesAcrossPages() {
    const PageModel m = chequeListing(manyCheques(130));
    QVERIFY(m.pageCount() > 1);
    const QList<bool> grey = pt::shading(m, "DetailBand1", "num_banco");
    QCOMPARE(grey.size(), 130);
    for (int i = 0; i < grey.size(); ++i)
        QVERIFY2(grey[i] == (i % 2 == 0), qPrintable(QString::number(i)));
}

void TestListings::sameDataSamePages() {
    TfrmRelCapDevolvido rel;
    const TableRows rows = manyCheques(150);
    const PageModel a = chequeListing(rows, &rel);
    rel.QRLabel1 = "Relação de cheques";
    const PageModel b = chequeListing(rows, &rel);
    QCOMPARE(a.pageCount(), b.pageCount());
    for (int p = 0; p < a.pageCount(); ++p) {
        QCOMPARE(a.pages[p].items.size(), b.pages[p].items.size());
        for (int i = 0; i < a.pages[p].items.size(); ++i) {
            const Report::Item &x = a.pages[p].items[i], &y = b.pages[p].items[i];
            QCOMPARE(x.text, y.text);
            QCOMPARE(x.rect, y.rect);
            QCOMPARE(x.color, y.color);
        }
    }
}

void TestListings::chequeFormats() {
    TableRows rows(ChequeColumns);
    rows.append(cheque("7", 123456789, "N1"));
    rows.append(cheque("7", 29, "N"));
    rows.append(cheque("7", 1, "S"));
    const PageModel m = chequeListing(rows);
    QCOMPARE(pt::texts(m, "num_alinea"), (QStringList{"", "", "11"}));
    QCOMPARE(pt::texts(m, "vlr_cheque"), (QStringList{"R$ 1.234.567,89", "R$ 0,29", "R$ 0,01"}));
    QCOMPARE(pt::texts(m, "qrSomaLote"), QStringList{"R$ 1.234.568,19"});
    QCOMPARE(pt::texts(m, "dat_reapresentacao"), (QStringList{"15/03/2024", "", ""}));
    QCOMPARE(pt::texts(m, "dat_lote", "QRGroup2"), QStringList{"05/03/2024"});
    QCOMPARE(pt::texts(m, "ind_devolvido"), (QStringList{"Não", "Não", "Sim"}));
    QCOMPARE(pt::texts(m, "qrlLote"), QStringList{"0"});
}

void TestListings::employeeTotals_data() {
    QTest::addColumn<QStringList>("departments"); // "name:salary salary ..." in cents, "-": none
    QTest::addColumn<QStringList>("deptFooters");
    QTest::addColumn<QString>("memberFooter");
    QTest::newRow("two and three") << QStringList{"Cozinha:100000 250050", "Vendas:123450 0 -"}
                                   << QStringList{"2/R$ 3500,50", "3/R$ 1234,50"} << "5/R$ 4735,00";
    QTest::newRow("one department chosen")
        << QStringList{"Vendas:123450 100000"} << QStringList{"2/R$ 2234,50"} << "2/R$ 2234,50";
}

void TestListings::employeeTotals() {
    QFETCH(QStringList, departments);
    QFETCH(QStringList, deptFooters);
    QFETCH(QString, memberFooter);
    TableRows rows(EmployeeColumns);
    QStringList salaries;
    int n = 0;
    for (const QString& d : departments)
        for (const QString& s : d.section(':', 1).split(' ')) {
            const QVariant salary =
                s == "-" ? QVariant() : Money::fromCents(s.toLongLong()).toVariant();
            rows.append(employee(d.section(':', 0, 0), QString("Funcionário %1").arg(++n), salary));
            salaries << (salary.isNull() ? QString()
                                         : "R$ " + Money::fromCents(s.toLongLong()).format());
        }
    TfrmRelFuncionario rel;
    const PageModel m = rel.prepare(rows);
    QCOMPARE(m.pageCount(), 1);
    QCOMPARE(pt::texts(m, "nom_departamento", "QRGroup2").size(), departments.size());
    QStringList footers;
    const QStringList counts = pt::texts(m, "qrQtdeFuncionario", "QRBand2");
    const QStringList sums = pt::texts(m, "qrSomaSalario", "QRBand2");
    for (int i = 0; i < counts.size(); ++i)
        footers << counts[i] + '/' + sums.value(i);
    QCOMPARE(footers, deptFooters);
    QCOMPARE(pt::texts(m, "qrQtdeFuncionario", "QRBand1").join(',') + '/' +
                 pt::texts(m, "qrSomaSalario", "QRBand1").join(','),
             memberFooter);
    // Every employee is listed, the one without salary too; the detail groups thousands.
    QCOMPARE(pt::texts(m, "vlr_salario"), salaries);
}

void TestListings::employeeDepartmentRunsOntoNewPage() {
    TableRows rows(EmployeeColumns);
    for (int i = 0; i < 90; ++i)
        rows.append(employee(i < 3 ? "Administração" : "Produção", QString("F %1").arg(i),
                             Money::fromCents(150000).toVariant()));
    TfrmRelFuncionario rel;
    const PageModel m = rel.prepare(rows);
    QCOMPARE(m.pageCount(), 2);
    QCOMPARE(pt::texts(m, "QRLabel3"), (QStringList{"1/2", "2/2"}));
    QCOMPARE(pt::bands(m.pages[1]).mid(0, 4),
             (QStringList{"ColumnHeaderBand1", "QRGroup1", "QRGroup2", "DetailBand1"}));
    QCOMPARE(pt::texts(m, "nom_departamento", "QRGroup2"),
             (QStringList{"Administração", "Produção", "Produção"}));
    QCOMPARE(pt::texts(m, "qrQtdeFuncionario"), (QStringList{"3", "87", "90"}));
    QCOMPARE(pt::shading(m, "DetailBand1", "nom_funcionario").count(true), 45);
}

// Every text fits its place at the fixed reference (a long name is shortened, never cut).
void TestListings::nothingIsCut() {
    TableRows rows(ChequeColumns);
    QVariantList big = cheque("1234567", 99999999999LL, "S12");
    big[1] = QString("Cooperativa de Crédito dos Produtores Rurais e Comerciantes do Vale do "
                     "Paraíba");
    rows.append(big);
    const PageModel m = chequeListing(rows);
    for (const Report::Item& i : m.pages[0].items)
        if (i.kind == Report::ItemKind::Text) {
            QVERIFY2(Report::textWidth(i.text, i.font) <= i.rect.width(),
                     qPrintable(i.band + ' ' + i.name + ' ' + i.text));
            if (i.name != "nom_associado")
                QVERIFY2(!i.text.contains(QChar(0x2026)), qPrintable(i.text));
        }
    QVERIFY(pt::texts(m, "nom_associado")[0].endsWith(QChar(0x2026)));
}

void TestListings::pdfPagesAndTexts() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("cheques.pdf");
    const PageModel m = chequeListing(manyCheques(200));
    Report::writePdf(m, path, "Relação de cheques capturados");

    QProcess info;
    info.start("pdfinfo", {path});
    QVERIFY(info.waitForFinished());
    QVERIFY2(QString::fromUtf8(info.readAllStandardOutput())
                 .contains(QRegularExpression("Pages:\\s+3\\n")),
             "three pages");
    for (int page = 1; page <= 3; ++page) {
        QProcess text;
        text.start("pdftotext", {"-layout", "-f", QString::number(page), "-l",
                                 QString::number(page), path, "-"});
        QVERIFY(text.waitForFinished());
        const QString t = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(t.contains("Relação de cheques capturados"), qPrintable(t.left(400)));
        QVERIFY2(t.contains(QString("Página: %1/3").arg(page)), qPrintable(t.left(400)));
        QVERIFY(t.contains("Padaria Pão Quente Ltda"));
        QVERIFY(t.contains("Data 2ª reap."));
        QCOMPARE(t.contains("Resumo do associado"), page == 3);
    }
    QVERIFY(QFile::exists(path));
}

QTEST_MAIN(TestListings)
#include "tst_listings.moc"
