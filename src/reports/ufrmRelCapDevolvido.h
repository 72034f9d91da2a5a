#pragma once

#include "platform/report/ReportDef.h"

#include <QDate>
#include <QString>

class QWidget;

// The listing of one member's cheques, lot by lot, with a summary after each lot and one for
// the member: the value, the number of cheques and the number that came back.
class TfrmRelCapDevolvido {
public:
    TfrmRelCapDevolvido();

    // Texts the report screen gives it.
    QString QRLabel1 = QStringLiteral("Relação de cheques"); // the title
    QString qrlPeriodo;
    QString qrlLote;
    QDate printDate = QDate::currentDate();
    // The pages of the last run; the page label reads "n/pageTotal".
    int pageTotal = 0;

    // Lays the rows out (the rows of the cheque query, in its order).
    Report::PageModel prepare(const Report::Rows& rows);
    void preview(const Report::PageModel& pages, QWidget* parent);

    // The counters of the current lot and of the member.
    int totChequeLote = 0;
    int totChequeDevLote = 0;
    int totChequeAssoc = 0;
    int totChequeDevAssoc = 0;

    // Whether a cheque row counts as returned: flagged returned, or re-presented once or twice.
    static bool devolvido(const Report::PrintContext& row);

private:
    Report::ReportDef layout();
    void DetailBand1BeforePrint(Report::Band& band, const Report::PrintContext& row);
    void QRBand1AfterPrint();
    void QRBand2AfterPrint();
};
