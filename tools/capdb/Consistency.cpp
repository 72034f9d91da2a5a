#include "Consistency.h"

#include "core/Schema.h"
#include "core/uBib.h"
#include "core/uGlobal.h"
#include "platform/data/DateCodec.h"
#include "platform/data/Money.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace {

[[noreturn]] void fail(const QString& message) {
    throw DbError(message);
}

QString text(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

QString dateText(const QDateTime& d) {
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))
                       : QStringLiteral("vazia");
}

const QStringList Destinations = {QStringLiteral("02"), QStringLiteral("03"), QStringLiteral("04"),
                                  QStringLiteral("06"), QStringLiteral("07"), QStringLiteral("08")};

void checkMembers(const Connection& c) {
    const ResultSet rs = c.select(
        QStringLiteral("select cod_associado, idt_tpo_associado, num_cgc_cpf, idt_dst_mov_bancoob "
                       "from associado order by cod_associado"));
    for (const QVariantList& r : rs.rows) {
        const QString code = text(r[0]);
        const QString kind = text(r[1]);
        const QString number = text(r[2]);
        const QString destination = text(r[3]);
        if (kind != QLatin1String("F") && kind != QLatin1String("J"))
            fail(QStringLiteral("Associado %1: tipo \"%2\" não é F nem J.").arg(code, kind));
        // The member screen picks the rule by the number's length, whatever the type.
        const bool valid = number.size() == 11   ? ValidaCPF(number)
                           : number.size() == 14 ? ValidaCNPJ(number)
                                                 : false;
        if (!valid)
            fail(QStringLiteral("Associado %1: Cnpj/Cpf \"%2\" inválido.").arg(code, number));
        if (!Destinations.contains(destination))
            fail(QStringLiteral("Associado %1: destino do movimento \"%2\" inválido.")
                     .arg(code, destination));
    }
}

void checkEmployees(const Connection& c) {
    const ResultSet rs = c.select(QStringLiteral(
        "select cod_funcionario, num_cpf from funcionario order by cod_funcionario"));
    // As the employee screen saves it: 11 digits with the check digits right.
    for (const QVariantList& r : rs.rows)
        if (text(r[1]).size() != 11 || !ValidaCPF(text(r[1])))
            fail(
                QStringLiteral("Funcionário %1: Cpf \"%2\" inválido.").arg(text(r[0]), text(r[1])));
}

struct Lot {
    QString number;
    bool generated = false;
    QDateTime generatedOn;
};

QHash<qint64, Lot> checkLots(const Connection& c) {
    static const QRegularExpression positive(QStringLiteral("^[1-9][0-9]*$"));
    const ResultSet rs = c.select(QStringLiteral(
        "select cod_lote, num_lote, ind_gerado, dat_gerado from lote_cheque order by cod_lote"));
    QHash<qint64, Lot> lots;
    QSet<QString> numbers;
    for (const QVariantList& r : rs.rows) {
        Lot lot{text(r[1]), r[2].toBool(), DateCodec::fromDb(r[3])};
        const QString code = text(r[0]);
        if (!positive.match(lot.number).hasMatch())
            fail(QStringLiteral("Lote de código %1: número \"%2\" não é um número inteiro "
                                "positivo sem zeros à esquerda.")
                     .arg(code, lot.number));
        if (numbers.contains(lot.number))
            fail(QStringLiteral("Lote %1: número repetido.").arg(lot.number));
        numbers << lot.number;
        if (lot.generated && !lot.generatedOn.isValid())
            fail(QStringLiteral("Lote %1: gerado, mas sem data de geração.").arg(lot.number));
        if (lot.generated && lot.generatedOn.time() != QTime(0, 0))
            fail(QStringLiteral("Lote %1: data de geração %2 com hora do dia.")
                     .arg(lot.number, dateText(lot.generatedOn)));
        if (!lot.generated && lot.generatedOn.isValid())
            fail(QStringLiteral("Lote %1: não gerado, mas com data de geração %2.")
                     .arg(lot.number, dateText(lot.generatedOn)));
        lots.insert(r[0].toLongLong(), lot);
    }
    return lots;
}

// The column of the check digit that ValidaLinhaCheque found wrong.
QString faultyDigit(QChar result) {
    switch (result.unicode()) {
    case u'1':
        return QStringLiteral("num_dv2");
    case u'2':
        return QStringLiteral("num_dv1");
    case u'3':
        return QStringLiteral("num_dv3");
    default:
        return {};
    }
}

void checkCheques(const Connection& c, const QHash<qint64, Lot>& lots) {
    static const char* const groups[9] = {"num_banco", "num_agencia", "num_dv2",
                                          "num_compe", "num_cheque",  "num_tipificacao",
                                          "num_dv1",   "num_conta",   "num_dv3"};
    const ResultSet rs = c.select(QStringLiteral(
        "select cod_cheque, cod_lote, num_banco, num_agencia, num_dv2, num_compe, num_cheque, "
        "num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque, dat_deposito, ind_devolvido, "
        "dat_devolucao, dat_reapresentacao, dat_2reapresentacao from cheque order by cod_cheque"));
    for (const QVariantList& r : rs.rows) {
        const Lot lot = lots.value(r[1].toLongLong());
        const QString where = QStringLiteral("Cheque %1 do lote %2: ").arg(text(r[0]), lot.number);
        QString line;
        bool aligned = true;
        for (int g = 0; g < 9; ++g) {
            const QString group = text(r[2 + g]);
            aligned = aligned && group.size() == Schema::width(QStringLiteral("cheque"),
                                                               QLatin1String(groups[g]));
            for (QChar d : group)
                aligned = aligned && d >= QLatin1Char('0') && d <= QLatin1Char('9');
            line += group;
        }
        if (!aligned)
            fail(where + QStringLiteral("linha CMC-7 \"%1\" não tem 30 dígitos nos seus "
                                        "grupos.")
                             .arg(line));
        const QString fault = faultyDigit(ValidaLinhaCheque(line));
        if (!fault.isEmpty())
            fail(where + QStringLiteral("linha CMC-7 %1 com dígito verificador inválido (%2).")
                             .arg(line, fault));
        if (Money::fromVariant(r[11]).isZero())
            fail(where + QStringLiteral("valor zero."));

        const QDateTime deposited = DateCodec::fromDb(r[12]);
        const bool standsReturned = r[13].toBool();
        const QDateTime returned = DateCodec::fromDb(r[14]);
        const QDateTime represented = DateCodec::fromDb(r[15]);
        const QDateTime representedAgain = DateCodec::fromDb(r[16]);
        if (lot.generated && deposited != lot.generatedOn)
            fail(where + QStringLiteral("data boa %1 diferente da data de geração do lote %2.")
                             .arg(dateText(deposited), dateText(lot.generatedOn)));
        // A lot with a returned or re-presented cheque cannot be released for regeneration.
        if (!lot.generated && (standsReturned || returned.isValid() || represented.isValid() ||
                               representedAgain.isValid()))
            fail(where + QStringLiteral("lote não gerado, mas o cheque consta como devolvido "
                                        "ou reapresentado."));
        if (standsReturned && !returned.isValid())
            fail(where + QStringLiteral("devolvido sem data de devolução."));
        if (represented.isValid() && !returned.isValid())
            fail(where + QStringLiteral("reapresentado sem data de devolução."));
        if (representedAgain.isValid() && !represented.isValid())
            fail(where + QStringLiteral("segunda reapresentação sem a primeira."));
        if (standsReturned && representedAgain.isValid())
            fail(where + QStringLiteral("devolvido depois da segunda reapresentação."));
    }
}

// Rows whose parent is gone: left by a program that wrote with the foreign keys off, or by a
// copy of the file made before they were declared. The engines' own checks never look back.
void checkReferences(const Connection& c) {
    for (const Schema::ForeignKey& fk : Schema::foreignKeys()) {
        const QString key = Schema::columnNames(fk.table).first();
        const ResultSet rs = c.select(
            QStringLiteral("select t.%1, t.%2 from %3 t where t.%2 is not null and not exists "
                           "(select 1 from %4 p where p.%5 = t.%2) order by t.%1 limit 1")
                .arg(key, fk.column, fk.table, fk.parent, fk.parentKey));
        if (rs.rows.isEmpty())
            continue;
        fail(QStringLiteral("Registro %1 de %2: %3 = %4 não existe em %5.")
                 .arg(text(rs.rows[0][0]), fk.table, fk.column, text(rs.rows[0][1]), fk.parent));
    }
}

} // namespace

namespace Consistency {

void check(const Connection& c) {
    Schema::verify(c);
    checkReferences(c);
    checkMembers(c);
    checkEmployees(c);
    checkCheques(c, checkLots(c));
}

Counts counts(const Connection& c) {
    Counts out;
    for (const QString& t : Schema::tableNames())
        out << qMakePair(t, c.selectValue(QStringLiteral("select count(*) from ") + t).toInt());
    return out;
}

QString describe(const Counts& counts) {
    QStringList parts;
    for (const auto& [table, n] : counts)
        parts << QStringLiteral("%1 %2").arg(n).arg(table);
    return parts.join(QStringLiteral(", "));
}

} // namespace Consistency
