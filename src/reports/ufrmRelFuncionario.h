#pragma once

#include "platform/report/ReportDef.h"

#include <QDate>
#include <QString>

class QWidget;

// The listing of one member's employees, department by department, with the salary total and
// the number of employees of each department and of the member.
class TfrmRelFuncionario {
public:
    TfrmRelFuncionario();

    QString QRLabel1 = QStringLiteral("Relatório de funcionários"); // the title
    QDate printDate = QDate::currentDate();
    // The pages of the last run; the page label reads "n/pageTotal".
    int pageTotal = 0;

    // Lays the rows out (the rows of the employee query, in its order).
    Report::PageModel prepare(const Report::Rows& rows);
    void preview(const Report::PageModel& pages, QWidget* parent);

private:
    Report::ReportDef layout();
};
