#include "platform/data/Dialect.h"

#include <QStringList>

namespace Dialect {

QString castInteger(Engine e, const QString& expr) {
    return e == Engine::PostgreSQL ? QStringLiteral("CAST(%1 AS BIGINT)").arg(expr)
                                   : QStringLiteral("CAST(%1 AS INTEGER)").arg(expr);
}

QString datePart(Engine e, const QString& expr) {
    return e == Engine::PostgreSQL ? QStringLiteral("CAST(%1 AS DATE)").arg(expr)
                                   : QStringLiteral("date(%1)").arg(expr);
}

QString dayMonth(Engine e, const QString& expr) {
    return e == Engine::PostgreSQL ? QStringLiteral("to_char(%1, 'DD/MM')").arg(expr)
                                   : QStringLiteral("strftime('%d/%m', %1)").arg(expr);
}

QString placeholders(int n) {
    QStringList marks;
    marks.reserve(n);
    for (int i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

QString forUpdate(Engine e) {
    return e == Engine::PostgreSQL ? QStringLiteral(" FOR UPDATE") : QString();
}

QString forShare(Engine e) {
    return e == Engine::PostgreSQL ? QStringLiteral(" FOR SHARE") : QString();
}

QString byName(const QString& column) {
    return column + QStringLiteral(" COLLATE ") + QLatin1String(NameCollation);
}

} // namespace Dialect
