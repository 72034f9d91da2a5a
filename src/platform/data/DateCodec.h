#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

// The one conversion point for dates between the program, the screens and the engines.
namespace DateCodec {

// Text stored by SQLite and bound to both engines: "YYYY-MM-DD HH:MM:SS".
QString toSql(const QDateTime& dt);
QString toSql(const QDate& d);
// Reads what an engine returns (QDateTime, QDate or our stored text); null for NULL or garbage.
QDateTime fromDb(const QVariant& v);

// The screens' "dd/mm/yyyy", independent of the machine's regional settings.
QString toText(const QDate& d);
// Parses "dd/mm/yyyy" strictly; an invalid QDate for anything else.
QDate fromText(const QString& text);

// The empty text of a date box.
inline const QString EmptyMask = QStringLiteral("  /  /    ");

} // namespace DateCodec
