#pragma once

#include "platform/data/Connection.h"

#include <QChar>
#include <QDate>
#include <QString>
#include <QVariant>
#include <QVariantList>

// Routines shared by several screens: single-value queries and statements on a connection,
// fixed-width filling, the CPF and CNPJ check digits and the business-day adjustment.

// The value of column `field` (from 0) in the first row of the select, or a null QVariant when
// the select finds no row. A rejected statement or a column beyond the result raises DbError.
QVariant ConsultaCampo(const QString& sql, const Connection& cnx, int field = 0,
                       const QVariantList& params = {});

// Runs a statement that returns no rows; inside the caller's transaction when one is open.
// A rejected statement raises DbError.
void ExecutaSQL(const QString& sql, const Connection& cnx, const QVariantList& params = {});

// The text filled to `width` with `fill` on the right (PreencheDireita) or on the left
// (PreencheEsquerda). A text already as wide or wider comes back unchanged: it is never cut.
QString PreencheDireita(const QString& text, int width, QChar fill);
QString PreencheEsquerda(const QString& text, int width, QChar fill);

// Check digits of the personal (11 digits) and company (14 digits) taxpayer numbers.
// The empty text is accepted (the number is optional); a number made of one repeated digit,
// zeros included, is refused.
bool ValidaCPF(const QString& cpf);
bool ValidaCNPJ(const QString& cnpj);

// Whether the date is a holiday: a one-off holiday on that date, or a yearly holiday on its
// day and month. One query.
bool EhFeriado(const QDate& date, const Connection& cnx);

// A holiday moved to the nearest business day (neither weekend nor holiday) after it when
// `direction` is "P", before it otherwise. A date that is not a holiday comes back unchanged,
// even on a weekend. Dates are "dd/mm/yyyy" text. Raises DbError for a text that is not such a
// date, or when no business day lies within BuscaDiaUtilMaxDias days.
QString AjustaDiaUtil(const QString& date, const Connection& cnx, const QString& direction);

inline constexpr int BuscaDiaUtilMaxDias = 60;
