#include "core/uGlobal.h"

#include "platform/data/DateCodec.h"
#include "platform/data/Dialect.h"

#include <array>
#include <span>

QVariant ConsultaCampo(const QString& sql, const Connection& cnx, int field,
                       const QVariantList& params) {
    return cnx.selectValue(sql, params, field);
}

void ExecutaSQL(const QString& sql, const Connection& cnx, const QVariantList& params) {
    cnx.execute(sql, params);
}

QString PreencheDireita(const QString& text, int width, QChar fill) {
    const qsizetype n = width - text.size();
    return n > 0 ? text + QString(n, fill) : text;
}

QString PreencheEsquerda(const QString& text, int width, QChar fill) {
    const qsizetype n = width - text.size();
    return n > 0 ? QString(n, fill) + text : text;
}

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool allAsciiDigits(const QString& s) {
    for (QChar c : s)
        if (!isAsciiDigit(c))
            return false;
    return true;
}

int digitAt(const QString& s, qsizetype i) {
    return s[i].unicode() - '0';
}

// Modulus-11 check digit of the leading digits of `s`, one weight per digit: 0 when the
// remainder is 0 or 1, otherwise 11 minus the remainder.
int modulo11(const QString& s, std::span<const int> weights) {
    int sum = 0;
    for (size_t i = 0; i < weights.size(); ++i)
        sum += weights[i] * digitAt(s, static_cast<qsizetype>(i));
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

// Numbers such as 00000000000 or 11111111111 have matching check digits but are not issued.
bool oneRepeatedDigit(const QString& s) {
    return s.count(s.front()) == s.size();
}

// Shared by CPF and CNPJ: the two check digits follow the base digits, the second computed
// over the base and the first check digit; w2 is one weight longer than w1. With
// `lettersInBase`, the base may hold capital letters too, each worth its code minus 48 ("A" is
// 17), as the alphanumeric CNPJ has them; the check digits are always digits.
bool checkTaxNumber(const QString& text, std::span<const int> w1, std::span<const int> w2,
                    bool lettersInBase = false) {
    const qsizetype len = static_cast<qsizetype>(w2.size()) + 1;
    if (text.isEmpty())
        return true;
    if (text.size() != len || !allAsciiDigits(text.right(2)))
        return false;
    for (const QChar c : text.left(len - 2))
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              (lettersInBase && c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
            return false;
    if (digitAt(text, len - 2) != modulo11(text, w1))
        return false;
    if (digitAt(text, len - 1) != modulo11(text, w2))
        return false;
    return !oneRepeatedDigit(text);
}

} // namespace

bool ValidaCPF(const QString& cpf) {
    static constexpr std::array<int, 9> w1{10, 9, 8, 7, 6, 5, 4, 3, 2};
    static constexpr std::array<int, 10> w2{11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
    return checkTaxNumber(cpf, w1, w2);
}

bool ValidaCNPJ(const QString& cnpj) {
    static constexpr std::array<int, 12> w1{5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    static constexpr std::array<int, 13> w2{6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    return checkTaxNumber(cnpj, w1, w2, true);
}

bool EhFeriado(const QDate& date, const Connection& cnx) {
    const Engine e = cnx.engine();
    const QString sql = QStringLiteral("select count(*) from feriado"
                                       " where (ind_dia_fixo = ? and %1 = %2)"
                                       " or (ind_dia_fixo = ? and %3 = ?)")
                            .arg(Dialect::datePart(e, QStringLiteral("dat_feriado")),
                                 Dialect::datePart(e, QStringLiteral("?")),
                                 Dialect::dayMonth(e, QStringLiteral("dat_feriado")));
    const QString dayMonth = date.toString(QStringLiteral("dd/MM"));
    return ConsultaCampo(sql, cnx, 0, {false, date, true, dayMonth}).toLongLong() != 0;
}

namespace {
bool isWeekend(const QDate& d) {
    return d.dayOfWeek() == Qt::Saturday || d.dayOfWeek() == Qt::Sunday;
}
} // namespace

QString AjustaDiaUtil(const QString& date, const Connection& cnx, const QString& direction) {
    const QDate given = DateCodec::fromText(date);
    if (!given.isValid())
        throw DbError(QStringLiteral("Data inválida: \"%1\".").arg(date));
    if (!EhFeriado(given, cnx))
        return date;
    const int step = direction == QLatin1String("P") ? 1 : -1;
    QDate d = given;
    for (int i = 0; i < BuscaDiaUtilMaxDias; ++i) {
        d = d.addDays(step);
        if (!isWeekend(d) && !EhFeriado(d, cnx))
            return DateCodec::toText(d);
    }
    throw DbError(
        QStringLiteral("Nenhum dia útil encontrado nos %1 dias %2 %3.")
            .arg(QString::number(BuscaDiaUtilMaxDias),
                 step > 0 ? QStringLiteral("seguintes a") : QStringLiteral("anteriores a"), date));
}
