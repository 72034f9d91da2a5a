#include "core/Feriados.h"

#include "core/uGlobal.h"
#include "platform/data/Dialect.h"
#include "platform/data/TransactionGuard.h"

#include <algorithm>

namespace Feriados {

QDate domingoDePascoa(int ano) {
    const int a = ano % 19;
    const int b = ano / 100;
    const int c = ano % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int mes = (h + l - 7 * m + 114) / 31;
    const int dia = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(ano, mes, dia);
}

QList<Feriado> nacionais(int ano) {
    QList<Feriado> lista = {
        {QDate(ano, 1, 1), QStringLiteral("Confraternização Universal"), true},
        {QDate(ano, 4, 21), QStringLiteral("Tiradentes"), true},
        {QDate(ano, 5, 1), QStringLiteral("Dia do Trabalho"), true},
        {QDate(ano, 9, 7), QStringLiteral("Independência do Brasil"), true},
        {QDate(ano, 10, 12), QStringLiteral("Nossa Senhora Aparecida"), true},
        {QDate(ano, 11, 2), QStringLiteral("Finados"), true},
        {QDate(ano, 11, 15), QStringLiteral("Proclamação da República"), true},
        {QDate(ano, 11, 20), QStringLiteral("Dia Nacional de Zumbi e da Consciência Negra"), true},
        {QDate(ano, 12, 25), QStringLiteral("Natal"), true},
    };
    const QDate pascoa = domingoDePascoa(ano);
    lista << Feriado{pascoa.addDays(-48), QStringLiteral("Carnaval (segunda-feira)"), false}
          << Feriado{pascoa.addDays(-47), QStringLiteral("Carnaval (terça-feira)"), false}
          << Feriado{pascoa.addDays(-2), QStringLiteral("Sexta-feira da Paixão"), false}
          << Feriado{pascoa.addDays(60), QStringLiteral("Corpus Christi"), false};
    std::sort(lista.begin(), lista.end(),
              [](const Feriado& x, const Feriado& y) { return x.data < y.data; });
    return lista;
}

namespace {

bool temFixo(const Connection& cnx, const QDate& data) {
    const QString sql =
        QStringLiteral("select count(*) from feriado where ind_dia_fixo = ? and %1 = ?")
            .arg(Dialect::dayMonth(cnx.engine(), QStringLiteral("dat_feriado")));
    return cnx.selectValue(sql, {true, data.toString(QStringLiteral("dd/MM"))}).toLongLong() != 0;
}

} // namespace

int incluiAno(Connection& cnx, int ano) {
    if (ano < 1583 || ano > 9999)
        throw DbError(QStringLiteral("Ano inválido: %1.").arg(ano));
    TransactionGuard tx(cnx);
    // Two copies adding the same year one after the other: the second finds the first's rows.
    cnx.lockNumbering(QStringLiteral("feriado"));
    const QString insere = QStringLiteral(
        "insert into feriado (dat_feriado, dsc_feriado, ind_dia_fixo) values (?, ?, ?)");
    int incluidos = 0;
    for (const Feriado& f : nacionais(ano)) {
        const bool existe = f.diaFixo ? temFixo(cnx, f.data) : EhFeriado(f.data, cnx);
        if (existe)
            continue;
        cnx.execute(insere, {f.data, f.descricao, f.diaFixo});
        ++incluidos;
    }
    tx.commit();
    return incluidos;
}

QString descreveInclusao(int incluidos) {
    if (incluidos == 0)
        return QStringLiteral("Nenhum feriado incluído: todos já estavam cadastrados.");
    if (incluidos == 1)
        return QStringLiteral("1 feriado incluído.");
    return QStringLiteral("%1 feriados incluídos.").arg(incluidos);
}

} // namespace Feriados
