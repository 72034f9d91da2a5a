#include "DemoData.h"

#include "core/Feriados.h"
#include "core/uBib.h"
#include "core/uGlobal.h"
#include "platform/data/Money.h"

#include <QSet>
#include <random>

namespace {

// A fixed seed, and only the generator's raw output (whose sequence the standard fixes), so
// every run and every platform makes the same data.
constexpr quint32 Seed = 7560301;

class Random {
public:
    Random() : m_gen(Seed) {}
    int between(int lo, int hi) { return lo + int(m_gen() % quint32(hi - lo + 1)); }
    QString digits(int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + between(0, 9));
        return s;
    }
    // Digits that are not all the same, as taxpayer numbers never are.
    QString mixedDigits(int n) {
        for (;;) {
            const QString s = digits(n);
            if (s != QString(n, s[0]))
                return s;
        }
    }
    // A number of n digits without a leading zero.
    QString number(int n) { return QString::number(between(1, 9)) + digits(n - 1); }
    template <class T> const T& pick(const QList<T>& list) {
        return list[between(0, int(list.size()) - 1)];
    }

private:
    std::mt19937 m_gen;
};

// The taxpayer number that `base` begins: the two check digits the registry screens accept.
QString withCheckDigits(const QString& base, bool (*valid)(const QString&)) {
    for (int dv = 0; dv < 100; ++dv) {
        const QString n = base + QStringLiteral("%1").arg(dv, 2, 10, QLatin1Char('0'));
        if (valid(n))
            return n;
    }
    Q_UNREACHABLE();
    return {};
}

QString cpf(const QString& nineDigits) {
    return withCheckDigits(nineDigits, &ValidaCPF);
}

QString cnpj(const QString& twelveDigits) {
    return withCheckDigits(twelveDigits, &ValidaCNPJ);
}

// A CMC-7 line from its groups, with the three check digits computed.
QString cmc7Line(const QString& bank, const QString& branch, const QString& compe,
                 const QString& number, const QString& type, const QString& account) {
    const QString second = compe + number + type;
    return bank + branch + QString::number(CalculaDVModulo10(second)) + second +
           QString::number(CalculaDVModulo10(bank + branch)) + account +
           QString::number(CalculaDVModulo10(account));
}

QDate weekdayOnOrAfter(QDate d) {
    while (d.dayOfWeek() > 5)
        d = d.addDays(1);
    return d;
}

QDate weekdayOnOrBefore(QDate d) {
    while (d.dayOfWeek() > 5)
        d = d.addDays(-1);
    return d;
}

QVariant dateOrNull(const QDate& d) {
    return d.isValid() ? QVariant(d) : QVariant();
}

struct Member {
    const char* name;
    const char* kind;        // "F" natural person, "J" company
    const char* destination; // idt_dst_mov_bancoob
    int movements;
    int departments;
    int employees;
};

const QList<Member> Members = {
    {"Padaria Pão Dourado Ltda", "J", "03", 3, 3, 6},
    {"Comercial Santos & Filhos Ltda", "J", "02", 2, 2, 5},
    {"Auto Peças Rota Sul Ltda", "J", "04", 2, 3, 5},
    {"Farmácia Vida Nova Ltda", "J", "06", 3, 2, 4},
    {"Ana Paula Ferreira Lima", "F", "07", 1, 1, 2},
    {"José Carlos Moreira", "F", "08", 1, 1, 1},
    {"Maria de Lourdes Souza Prado", "F", "03", 1, 0, 0},
    {"Ricardo Almeida Teixeira", "F", "03", 0, 0, 0},
};

const QList<std::pair<const char*, const char*>> MovementCodes = {
    {"01", "Pagamento de salário"},
    {"02", "Adiantamento salarial"},
    {"13", "Décimo terceiro salário"},
};

const QStringList CompanyDepartments = {
    QStringLiteral("Administrativo"), QStringLiteral("Vendas"),      QStringLiteral("Produção"),
    QStringLiteral("Financeiro"),     QStringLiteral("Atendimento"), QStringLiteral("Logística"),
};

const QStringList FirstNames = {
    QStringLiteral("Adriana"),   QStringLiteral("Antônio"),  QStringLiteral("Beatriz"),
    QStringLiteral("Bruno"),     QStringLiteral("Camila"),   QStringLiteral("Carlos"),
    QStringLiteral("Daniela"),   QStringLiteral("Eduardo"),  QStringLiteral("Fernanda"),
    QStringLiteral("Francisco"), QStringLiteral("Gabriela"), QStringLiteral("João"),
    QStringLiteral("Juliana"),   QStringLiteral("Luiz"),     QStringLiteral("Márcia"),
    QStringLiteral("Paulo"),     QStringLiteral("Patrícia"), QStringLiteral("Rafael"),
    QStringLiteral("Sebastião"), QStringLiteral("Tatiane"),
};

const QStringList Surnames = {
    QStringLiteral("Alves"),      QStringLiteral("Barbosa"),   QStringLiteral("Cardoso"),
    QStringLiteral("Carvalho"),   QStringLiteral("Conceição"), QStringLiteral("Costa"),
    QStringLiteral("Gomes"),      QStringLiteral("Lopes"),     QStringLiteral("Martins"),
    QStringLiteral("Nascimento"), QStringLiteral("Oliveira"),  QStringLiteral("Pereira"),
    QStringLiteral("Ribeiro"),    QStringLiteral("Rocha"),     QStringLiteral("Santos"),
    QStringLiteral("Silva"),
};

// Banks whose cheques members bring in.
const QStringList Banks = {
    QStringLiteral("001"), QStringLiteral("033"), QStringLiteral("041"), QStringLiteral("104"),
    QStringLiteral("237"), QStringLiteral("341"), QStringLiteral("399"), QStringLiteral("422"),
    QStringLiteral("748"), QStringLiteral("756"),
};

enum class LotState { Open, Released, Generated };

// What happened to a cheque after its lot's file was generated.
enum class History {
    Clean,            // nothing
    Returned,         // returned, not yet re-presented
    Represented,      // returned and re-presented once
    ReturnedAgain,    // returned again after the first re-presentation
    RepresentedTwice, // re-presented a second time; it can no longer be returned
};

struct LotPlan {
    int daysAgo;
    LotState state;
    QList<History> histories; // of the lot's first cheques; the others stay clean
    bool empty = false;
};

using H = History;
const QList<LotPlan> Lots = {
    {130, LotState::Generated, {H::RepresentedTwice, H::RepresentedTwice, H::Represented}},
    {118, LotState::Generated, {H::RepresentedTwice, H::ReturnedAgain}},
    {104, LotState::Generated, {H::ReturnedAgain, H::Represented}},
    {90, LotState::Generated, {H::Returned, H::Represented}},
    {75, LotState::Generated, {}},
    {62, LotState::Released, {}},
    {50, LotState::Generated, {}},
    {41, LotState::Generated, {H::Returned, H::Returned}},
    {30, LotState::Generated, {}},
    {21, LotState::Generated, {H::Returned}},
    {12, LotState::Open, {}},
    {7, LotState::Open, {}},
    {2, LotState::Open, {}},
    {0, LotState::Open, {}, true},
};

class Filler {
public:
    Filler(Connection& c, const QDate& today) : m_c(c), m_today(today) {}

    void run() {
        members();
        holidays();
        lots();
        reasons();
        payments();
    }

    // Returned cheques with the reason the bank gave: the first return for lack of funds, which
    // allows a new presentation, and the second one, which does not. Cheques re-presented twice
    // were returned before reasons were recorded and have none.
    void reasons() {
        const QString sql = QStringLiteral(
            "update cheque set cod_alinea = (select cod_alinea from alinea where num_alinea = ?) "
            "where dat_devolucao is not null and dat_2reapresentacao is null and %1");
        m_c.execute(sql.arg(QStringLiteral("dat_reapresentacao is null")), {QStringLiteral("11")});
        m_c.execute(sql.arg(QStringLiteral("dat_reapresentacao is not null and ind_devolvido = ?")),
                    {QStringLiteral("12"), true});
        m_c.execute(sql.arg(QStringLiteral("dat_reapresentacao is not null and ind_devolvido = ?")),
                    {QStringLiteral("11"), false});
    }

private:
    qint64 insert(const QString& sql, const QVariantList& params) {
        return m_c.insertReturning(sql, params).toLongLong();
    }

    QDate notAfterToday(const QDate& d) const { return qMin(d, m_today); }

    void members() {
        const QString sqlMember = QStringLiteral(
            "insert into associado (idt_tpo_associado, nom_associado, num_cgc_cpf, num_bancoob, "
            "num_ag_bancoob, num_conv_bancoob, idt_dst_mov_bancoob) values (?, ?, ?, ?, ?, ?, ?) "
            "returning cod_associado");
        const QString sqlMovement = QStringLiteral(
            "insert into movimento (cod_associado, num_cod_movimento, dsc_movimento) "
            "values (?, ?, ?) returning cod_movimento");
        const QString sqlDepartment = QStringLiteral(
            "insert into departamento (cod_associado, nom_departamento) values (?, ?) "
            "returning cod_departamento");
        const QStringList branches = {QStringLiteral("3019"), QStringLiteral("4027"),
                                      QStringLiteral("3150")};
        int companyDepartment = 0;
        int companies = 0;
        for (const Member& m : Members) {
            const bool company = QLatin1String(m.kind) == QLatin1String("J");
            QString base = company ? m_rnd.mixedDigits(8) : m_rnd.mixedDigits(9);
            // The second company has one of the numbers with letters issued since July 2026.
            if (company && ++companies == 2)
                base.replace(0, 3, QStringLiteral("CAP"));
            const QString taxNumber = company ? cnpj(base + "0001") : cpf(base);
            const qint64 member =
                insert(sqlMember, {QLatin1String(m.kind), QString::fromUtf8(m.name), taxNumber,
                                   QStringLiteral("756"), m_rnd.pick(branches), m_rnd.number(7),
                                   QLatin1String(m.destination)});
            m_members << member;

            QList<qint64> movements;
            for (int i = 0; i < m.movements; ++i)
                movements << insert(sqlMovement, {member, QLatin1String(MovementCodes[i].first),
                                                  QString::fromUtf8(MovementCodes[i].second)});
            QList<qint64> departments;
            for (int i = 0; i < m.departments; ++i) {
                const QString name =
                    company ? CompanyDepartments[companyDepartment++ % CompanyDepartments.size()]
                            : QStringLiteral("Serviços domésticos");
                departments << insert(sqlDepartment, {member, name});
            }
            for (int i = 0; i < m.employees; ++i)
                employee(member, departments, movements);
        }
    }

    void employee(qint64 member, const QList<qint64>& departments, const QList<qint64>& movements) {
        const int n = m_employees++;
        QString name;
        do {
            name = m_rnd.pick(FirstNames) + QLatin1Char(' ') + m_rnd.pick(Surnames) +
                   QLatin1Char(' ') + m_rnd.pick(Surnames);
        } while (m_names.contains(name));
        m_names << name;

        const QDate admitted = m_today.addDays(-m_rnd.between(400, 4000));
        const QDate born = admitted.addDays(-m_rnd.between(18 * 365, 45 * 365));
        // Every sixth employee has left; every eighth has no salary; one has no department.
        QDate dismissed;
        if (n % 6 == 4)
            dismissed = admitted.addDays(m_rnd.between(180, int(admitted.daysTo(m_today)) - 20));
        const Money salary = n % 8 == 6 ? Money()
                                        : Money::fromCents(m_rnd.between(1412, 9500) * 100LL +
                                                           m_rnd.pick(QList<int>{0, 0, 50, 75}));
        const QVariant department =
            n == 10 || departments.isEmpty() ? QVariant() : QVariant(m_rnd.pick(departments));
        const QString identity =
            QStringLiteral("%1.%2.%3-%4")
                .arg(m_rnd.digits(2), m_rnd.digits(3), m_rnd.digits(3), m_rnd.digits(1));
        const qint64 key = insert(
            QStringLiteral("insert into funcionario (cod_associado, cod_departamento, "
                           "cod_movimento, nom_funcionario, num_cpf, dat_nascimento, "
                           "num_identidade, dat_admissao, dat_demissao, vlr_salario, "
                           "num_cc_bancoob) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                           "returning cod_funcionario"),
            {member, department, movements.isEmpty() ? QVariant() : QVariant(movements.first()),
             name, cpf(m_rnd.mixedDigits(9)), born, identity, admitted, dateOrNull(dismissed),
             salary.toVariant(), m_rnd.number(m_rnd.between(5, 8))});
        if (member == m_members.first() && !dismissed.isValid() && !salary.isZero() &&
            department.isValid())
            m_payable << key;
    }

    void holidays() {
        const QString sql = QStringLiteral("insert into feriado (dat_feriado, dsc_feriado, "
                                           "ind_dia_fixo) values (?, ?, ?) returning cod_feriado");
        const int year = m_today.year();
        // Fixed-date holidays match their day and month in every year: one row each; those that
        // move with Easter take one row per year.
        for (const Feriados::Feriado& f : Feriados::nacionais(year))
            insert(sql, {f.data, f.descricao, f.diaFixo});
        for (const Feriados::Feriado& f : Feriados::nacionais(year + 1))
            if (!f.diaFixo)
                insert(sql, {f.data, f.descricao, false});
    }

    QString newLine() {
        for (;;) {
            const QString line =
                cmc7Line(m_rnd.pick(Banks), m_rnd.digits(4), m_rnd.digits(3), m_rnd.digits(6),
                         m_rnd.between(0, 9) < 8 ? QStringLiteral("5") : QStringLiteral("6"),
                         QStringLiteral("000") + m_rnd.digits(7));
            if (!m_lines.contains(line)) {
                m_lines << line;
                return line;
            }
        }
    }

    Money chequeValue() {
        const qint64 reais =
            m_rnd.between(0, 9) == 0 ? m_rnd.between(5000, 25000) : m_rnd.between(25, 3500);
        return Money::fromCents(reais * 100 + m_rnd.between(0, 99));
    }

    void lots() {
        const QString sqlLot = QStringLiteral(
            "insert into lote_cheque (cod_associado, num_lote, idt_dep_custodia, ind_gerado, "
            "dat_lote, dat_gerado) values (?, ?, ?, ?, ?, ?) returning cod_lote");
        const QString sqlCheque = QStringLiteral(
            "insert into cheque (cod_lote, num_banco, num_agencia, num_dv2, num_compe, "
            "num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque, dat_deposito, "
            "ind_devolvido, dat_devolucao, dat_reapresentacao, dat_2reapresentacao) "
            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) returning cod_cheque");
        int number = 0;
        for (const LotPlan& plan : Lots) {
            // Members bring their lots on weekdays; the newest lot is today's, whatever the day.
            const QDate day =
                plan.daysAgo == 0 ? m_today : weekdayOnOrBefore(m_today.addDays(-plan.daysAgo));
            const QTime time = plan.daysAgo == 0
                                   ? QTime(8, m_rnd.between(0, 59))
                                   : QTime(m_rnd.between(8, 17), m_rnd.between(0, 59));
            // The file is generated a few days after the lot; a released lot was generated
            // once and keeps its cheques' "data boa".
            const QDate generated =
                plan.state == LotState::Open
                    ? QDate()
                    : notAfterToday(weekdayOnOrAfter(day.addDays(m_rnd.between(1, 3))));
            const qint64 lot = insert(
                sqlLot, {m_rnd.pick(m_members), QString::number(++number), QStringLiteral("D"),
                         plan.state == LotState::Generated, QDateTime(day, time),
                         plan.state == LotState::Generated ? QVariant(generated) : QVariant()});
            const int cheques =
                plan.empty ? 0 : m_rnd.between(qMax(3, int(plan.histories.size())), 9);
            for (int i = 0; i < cheques; ++i) {
                const QString line = newLine();
                const History h = i < plan.histories.size() ? plan.histories[i] : History::Clean;
                // Return, re-present, return again, re-present again, each a few days on.
                const QDate returned1 =
                    notAfterToday(weekdayOnOrAfter(generated.addDays(m_rnd.between(3, 6))));
                const QDate represented1 =
                    notAfterToday(weekdayOnOrAfter(returned1.addDays(m_rnd.between(2, 5))));
                const QDate returned2 =
                    notAfterToday(weekdayOnOrAfter(represented1.addDays(m_rnd.between(3, 6))));
                const QDate represented2 =
                    notAfterToday(weekdayOnOrAfter(returned2.addDays(m_rnd.between(2, 5))));
                QDate returned, represented, representedAgain;
                bool standsReturned = false;
                switch (h) {
                case History::Clean:
                    break;
                case History::Returned:
                    standsReturned = true;
                    returned = returned1;
                    break;
                case History::Represented:
                    returned = returned1;
                    represented = represented1;
                    break;
                case History::ReturnedAgain:
                    standsReturned = true;
                    returned = returned2;
                    represented = represented1;
                    break;
                case History::RepresentedTwice:
                    returned = returned2;
                    represented = represented1;
                    representedAgain = represented2;
                    break;
                }
                insert(sqlCheque,
                       {lot, line.mid(0, 3), line.mid(3, 4), line.mid(7, 1), line.mid(8, 3),
                        line.mid(11, 6), line.mid(17, 1), line.mid(18, 1), line.mid(19, 10),
                        line.mid(29, 1), chequeValue().toVariant(), dateOrNull(generated),
                        standsReturned, dateOrNull(returned), dateOrNull(represented),
                        dateOrNull(representedAgain)});
            }
        }
    }

    // Last month's salaries of the first member's employees, as the salary screen records them.
    void payments() {
        const QDate firstOfMonth(m_today.year(), m_today.month(), 1);
        const QDate lastMonth = firstOfMonth.addMonths(-1);
        const QDate generatedOn = weekdayOnOrBefore(lastMonth.addDays(24));
        const QDate payday = weekdayOnOrBefore(firstOfMonth.addDays(-1));
        for (qint64 employee : m_payable) {
            const ResultSet r = m_c.select(QStringLiteral("select num_cc_bancoob, vlr_salario "
                                                          "from funcionario where "
                                                          "cod_funcionario = ?"),
                                           {employee});
            m_c.execute(QStringLiteral("insert into pagamento_funcionario (cod_funcionario, "
                                       "dat_geracao, dat_pagamento, mes_referencia, "
                                       "num_cc_func_bancoob, vlr_salario) "
                                       "values (?, ?, ?, ?, ?, ?)"),
                        {employee, generatedOn, payday,
                         lastMonth.toString(QStringLiteral("yyyyMM")), r.rows[0][0], r.rows[0][1]});
        }
    }

    Connection& m_c;
    const QDate m_today;
    Random m_rnd;
    QList<qint64> m_members;
    QList<qint64> m_payable;
    QSet<QString> m_names;
    QSet<QString> m_lines;
    int m_employees = 0;
};

} // namespace

namespace DemoData {

void fill(Connection& c, const QDate& today) {
    Filler(c, today).run();
}

} // namespace DemoData
