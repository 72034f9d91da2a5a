#include "Soak.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSet>
#include <memory>
#include <vector>

namespace Soak {

void prepare(Connection& c) {
    // A yearly holiday and two one-off ones in a row, for the payment date's adjustment.
    for (const auto& [date, fixed] :
         {std::pair{QDate(2007, 12, 25), true}, std::pair{QDate(2007, 2, 19), false},
          std::pair{QDate(2007, 2, 20), false}})
        c.execute("INSERT INTO feriado (dat_feriado, dsc_feriado, ind_dia_fixo) VALUES (?, "
                  "'Feriado', ?)",
                  {date, fixed});
    for (int m = 1; m <= 2; ++m) {
        const QVariant membro =
            c.insertReturning("INSERT INTO associado (idt_tpo_associado, nom_associado, "
                              "num_bancoob, num_ag_bancoob, num_conv_bancoob, "
                              "idt_dst_mov_bancoob) VALUES ('J', ?, '756', '1', '1234', '11') "
                              "RETURNING cod_associado",
                              {QStringLiteral("Cooperativa %1").arg(m)});
        const QVariant mov = c.insertReturning(
            "INSERT INTO movimento (cod_associado, num_cod_movimento, dsc_movimento) VALUES "
            "(?, '01', 'Folha') RETURNING cod_movimento",
            {membro});
        const QVariant dep = c.insertReturning("INSERT INTO departamento (cod_associado, "
                                               "nom_departamento) VALUES (?, 'Adm') RETURNING "
                                               "cod_departamento",
                                               {membro});
        for (int i = 1; i <= 20; ++i)
            c.execute("INSERT INTO funcionario (cod_associado, cod_departamento, cod_movimento, "
                      "nom_funcionario, num_cpf, vlr_salario, num_cc_bancoob) VALUES (?, ?, ?, "
                      "?, ?, ?, ?)",
                      {membro, dep, mov, QStringLiteral("Funcionario %1-%2").arg(m).arg(i),
                       QStringLiteral("%1").arg(m * 1000 + i, 11, 10, QLatin1Char('0')),
                       // ten-thousandths of a real: whole centavos
                       qint64(100000 + m * 1000 + i) * 100, QString::number(m * 100 + i)});
    }
}

Run run(const QString& worker, const QString& target, const QString& folder, int procs, int seconds,
        quint32 seed, int maxOps) {
    Run r;
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int w = 1; w <= procs; ++w) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(worker, {target, folder, QString::number(w), QString::number(seed + quint32(w)),
                          QString::number(seconds), QString::number(maxOps)});
        copies.push_back(std::move(p));
    }
    // Generous: a copy ends its operation in progress after its time, which may wait for
    // the others' locks.
    const int wait = (seconds + 120) * 1000;
    for (int w = 1; w <= procs; ++w) {
        QProcess& p = *copies[size_t(w - 1)];
        if (!p.waitForFinished(wait)) {
            r.problems << QStringLiteral("cópia %1 não terminou").arg(w);
            p.kill();
            p.waitForFinished();
        } else if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            r.problems << QStringLiteral("cópia %1 terminou com %2").arg(w).arg(p.exitCode());
        }
    }
    r.ms = clock.elapsed();
    for (int w = 1; w <= procs; ++w) {
        QFile f(QDir(folder).filePath(QStringLiteral("w%1.jsonl").arg(w)));
        if (!f.open(QIODevice::ReadOnly)) {
            r.problems << QStringLiteral("cópia %1 sem registro").arg(w);
            continue;
        }
        while (!f.atEnd()) {
            const QByteArray line = f.readLine().trimmed();
            if (!line.isEmpty())
                r.ops << QJsonDocument::fromJson(line).object();
        }
    }
    return r;
}

namespace {

bool flag(const QVariant& v) {
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().toLower();
        return s == QLatin1String("t") || s == QLatin1String("true") || s == QLatin1String("1");
    }
    return v.toBool();
}

struct Lot {
    QString num;
    bool generated = false;
};

struct Cheque {
    int lot = 0;
    QString line;
    qint64 cents = 0;
    bool dated = false, returned = false, represented = false, represented2 = false;
};

struct Payment {
    int employee = 0;
    QString account;
    qint64 cents = 0;
};

struct Employee {
    QString name, cpf;
};

// One operation of the logs, with what the check asks of it.
struct Op {
    QJsonObject o;
    QString op, outcome;
    // Microseconds of the system clock, one clock for all the copies. Two times of different
    // copies that are equal may have come in either order, so "before" is never strict.
    qint64 t0 = 0, t1 = 0;
    int w = 0;
    int lot() const { return o.value(QLatin1String("lote")).toInt(); }
    int cheque() const { return o.value(QLatin1String("cheque")).toInt(); }
    QString str(const char* k) const { return o.value(QLatin1String(k)).toString(); }
    QList<int> codes(const char* k) const {
        QList<int> out;
        for (const QJsonValue& v : o.value(QLatin1String(k)).toArray())
            out << v.toInt();
        return out;
    }
    bool ok() const { return outcome == QLatin1String("ok"); }
    QString tag() const {
        return QStringLiteral("cópia %1 op %2 (%3)")
            .arg(w)
            .arg(o.value(QLatin1String("n")).toInt())
            .arg(op);
    }
};

// A file of fixed-width records, each followed by CR LF; empty on any other shape.
QList<QByteArray> records(const QString& path, int width, QString* problem) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("arquivo ausente");
        return {};
    }
    const QByteArray all = f.readAll();
    QList<QByteArray> out;
    if (all.isEmpty() || all.size() % (width + 2) != 0) {
        *problem = QStringLiteral("tamanho %1 não é múltiplo de %2").arg(all.size()).arg(width + 2);
        return {};
    }
    for (qsizetype i = 0; i < all.size(); i += width + 2) {
        if (all.mid(i + width, 2) != "\r\n") {
            *problem = QStringLiteral("registro sem CR LF");
            return {};
        }
        out << all.mid(i, width);
    }
    return out;
}

bool digits(const QByteArray& s) {
    for (char ch : s)
        if (ch < '0' || ch > '9')
            return false;
    return !s.isEmpty();
}

// A deposit/custody record: "line:centavos", or empty when it is not one.
QString depositRecord(const QByteArray& r) {
    if (r.size() != 100 || r.at(0) != '1' || !digits(r.mid(1, 30)) || !digits(r.mid(31, 17)) ||
        r.mid(48, 18) != QByteArray(18, '0') || r.mid(66) != QByteArray(34, ' '))
        return {};
    return QString::fromLatin1(r.mid(1, 30)) + QLatin1Char(':') +
           QString::number(r.mid(31, 17).toLongLong());
}

QString key(const Cheque& c) {
    return c.line + QLatin1Char(':') + QString::number(c.cents);
}

QString padLeft(const QString& s, int width, QChar fill) {
    return s.size() >= width ? s : QString(width - s.size(), fill) + s;
}

class Checker {
public:
    Checker(Connection& c, const QList<QJsonObject>& logs) {
        for (const QJsonObject& o : logs) {
            Op op;
            op.o = o;
            op.op = o.value(QLatin1String("op")).toString();
            op.outcome = o.value(QLatin1String("outcome")).toString();
            op.t0 = qint64(o.value(QLatin1String("t0")).toDouble());
            op.t1 = qint64(o.value(QLatin1String("t1")).toDouble());
            op.w = o.value(QLatin1String("w")).toInt();
            m_ops << op;
            v.counts[op.op + QLatin1Char(' ') + op.outcome] += 1;
            v.longestMs = qMax(v.longestMs, (op.t1 - op.t0) / 1000);
        }
        for (const QVariantList& r :
             c.select("SELECT cod_lote, num_lote, ind_gerado FROM lote_cheque").rows)
            m_lots.insert(r[0].toInt(), {r[1].toString(), flag(r[2])});
        for (const QVariantList& r :
             c.select("SELECT cod_cheque, cod_lote, num_banco, num_agencia, num_dv2, num_compe, "
                      "num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque, "
                      "dat_deposito, dat_devolucao, dat_reapresentacao, dat_2reapresentacao "
                      "FROM cheque")
                 .rows) {
            Cheque ch;
            ch.lot = r[1].toInt();
            for (int i = 2; i <= 10; ++i)
                ch.line += r[i].toString();
            ch.cents = r[11].toLongLong() / 100;
            ch.dated = !r[12].isNull();
            ch.returned = !r[13].isNull();
            ch.represented = !r[14].isNull();
            ch.represented2 = !r[15].isNull();
            m_cheques.insert(r[0].toInt(), ch);
        }
        for (const QVariantList& r :
             c.select("SELECT dat_feriado, ind_dia_fixo FROM feriado").rows) {
            const QDate d = r[0].typeId() == QMetaType::QString
                                ? QDate::fromString(r[0].toString().left(10), Qt::ISODate)
                                : r[0].toDate();
            if (flag(r[1]))
                m_yearly.insert(d.toString(QStringLiteral("ddMM")));
            else
                m_holidays.insert(d);
        }
        for (const QVariantList& r :
             c.select("SELECT cod_funcionario, nom_funcionario, num_cpf FROM funcionario").rows)
            m_employees.insert(r[0].toInt(), {r[1].toString(), r[2].toString()});
        for (const QVariantList& r :
             c.select("SELECT cod_funcionario, mes_referencia, num_cc_func_bancoob, vlr_salario "
                      "FROM pagamento_funcionario")
                 .rows)
            m_payments[r[1].toString()]
                << Payment{r[0].toInt(), r[2].toString(), r[3].toLongLong() / 100};
    }

    Verdict verdict() {
        errors();
        lots();
        cheques();
        firstGenerations();
        returns();
        representations();
        releases();
        salaries();
        return v;
    }

private:
    void fail(const QString& text) { v.violations << text; }

    QList<const Op*> all(const QString& op, const QString& outcome = QStringLiteral("ok")) const {
        QList<const Op*> out;
        for (const Op& o : m_ops)
            if (o.op == op && o.outcome == outcome)
                out << &o;
        return out;
    }

    // No operation failed for a reason other than a busy database, which the operator may
    // simply repeat.
    void errors() {
        for (const Op& o : m_ops)
            if (o.outcome == QLatin1String("erro"))
                fail(o.tag() + QStringLiteral(": erro \"%1\"").arg(o.str("msg")));
    }

    void lots() {
        QMap<QString, int> numbers;
        for (auto it = m_lots.cbegin(); it != m_lots.cend(); ++it)
            if (++numbers[it->num] == 2)
                fail(QStringLiteral("número de lote %1 dado duas vezes").arg(it->num));
        QSet<int> reported;
        for (const Op* o : all(QStringLiteral("lote"))) {
            reported.insert(o->lot());
            const auto it = m_lots.constFind(o->lot());
            if (it == m_lots.cend() || it->num != o->str("num"))
                fail(o->tag() + QStringLiteral(": lote %1 nº %2 informado como salvo não está "
                                               "na base assim")
                                    .arg(o->lot())
                                    .arg(o->str("num")));
        }
        for (auto it = m_lots.cbegin(); it != m_lots.cend(); ++it)
            if (!reported.contains(it.key()))
                fail(QStringLiteral("lote %1 na base sem salvamento informado").arg(it.key()));
    }

    bool generatedBefore(int lot, qint64 t) const {
        for (const Op* g : all(QStringLiteral("geracao")))
            if (g->lot() == lot && g->t0 <= t)
                return true;
        return false;
    }

    void cheques() {
        QMap<int, const Op*> stored, deleted;
        for (const Op* o : all(QStringLiteral("captura"))) {
            if (stored.contains(o->cheque()))
                fail(o->tag() + QStringLiteral(": cheque %1 gravado duas vezes").arg(o->cheque()));
            stored.insert(o->cheque(), o);
        }
        for (const Op* o : all(QStringLiteral("exclusao"))) {
            if (deleted.contains(o->cheque()))
                fail(o->tag() + QStringLiteral(": cheque %1 excluído duas vezes").arg(o->cheque()));
            deleted.insert(o->cheque(), o);
            if (m_cheques.contains(o->cheque()))
                fail(o->tag() + QStringLiteral(": cheque %1 informado como excluído continua na "
                                               "base")
                                    .arg(o->cheque()));
        }
        for (const Op* o : std::as_const(stored)) {
            if (deleted.contains(o->cheque()))
                continue;
            const auto it = m_cheques.constFind(o->cheque());
            if (it == m_cheques.cend() || it->line != o->str("linha") || it->lot != o->lot() ||
                it->cents != qint64(o->o.value(QLatin1String("centavos")).toDouble()))
                fail(o->tag() + QStringLiteral(": cheque %1 informado como gravado não está na "
                                               "base assim")
                                    .arg(o->cheque()));
        }
        QMap<QString, int> lines;
        for (auto it = m_cheques.cbegin(); it != m_cheques.cend(); ++it) {
            if (!stored.contains(it.key()))
                fail(QStringLiteral("cheque %1 na base sem captura informada").arg(it.key()));
            if (++lines[it->line] == 2)
                fail(QStringLiteral("linha %1 gravada duas vezes").arg(it->line));
        }
        // A duplicate refusal had a twin: a capture of the same line begun before the refusal
        // ended, not deleted before the refusal began.
        QMultiHash<QString, const Op*> byLine;
        for (const Op* g : std::as_const(stored))
            byLine.insert(g->str("linha"), g);
        for (const Op* d : all(QStringLiteral("captura"), QStringLiteral("duplicado"))) {
            bool twin = false;
            for (const Op* g : byLine.values(d->str("linha"))) {
                const Op* e = deleted.value(g->cheque());
                if (g->str("linha") == d->str("linha") && g->t0 <= d->t1 && !(e && e->t1 < d->t0))
                    twin = true;
            }
            if (!twin)
                fail(d->tag() + QStringLiteral(": \"já registrado\" sem cheque gêmeo"));
        }
        // "Already sent" only for a lot some copy had generated.
        for (const QString& op : {QStringLiteral("captura"), QStringLiteral("exclusao")})
            for (const Op* o : all(op, QStringLiteral("enviado")))
                if (!generatedBefore(o->lot(), o->t1))
                    fail(o->tag() + QStringLiteral(": \"já foi enviado\" para o lote %1, que "
                                                   "ninguém gerou")
                                        .arg(o->lot()));
        // "Deleted by another user" only when another copy deleted it.
        for (const Op* o : all(QStringLiteral("exclusao"), QStringLiteral("sumiu"))) {
            const Op* e = deleted.value(o->cheque());
            if (!e || e == o || e->t0 > o->t1)
                fail(o->tag() + QStringLiteral(": \"excluído por outro usuário\" sem exclusão "
                                               "do cheque %1")
                                    .arg(o->cheque()));
        }
    }

    // The cheques of a lot in the database, as "line:centavos", sorted.
    QStringList lotCheques(int lot) const {
        QStringList out;
        for (const Cheque& c : m_cheques)
            if (c.lot == lot)
                out << key(c);
        out.sort();
        return out;
    }

    // A file that a failed generation left behind.
    void noFileAfterFailure(const QString& op) {
        for (const Op& o : m_ops)
            if (o.op == op && !o.ok() && !o.str("arquivo").isEmpty() &&
                QFile::exists(o.str("arquivo")))
                fail(o.tag() + QStringLiteral(": falhou (%1) mas deixou o arquivo").arg(o.outcome));
    }

    void firstGenerations() {
        noFileAfterFailure(QStringLiteral("geracao"));
        QMap<int, QList<QStringList>> files; // lot -> each first-generation file, sorted
        for (const Op* g : all(QStringLiteral("geracao"))) {
            QString problem;
            QStringList keys;
            for (const QByteArray& r : records(g->str("arquivo"), 100, &problem)) {
                const QString k = depositRecord(r);
                if (k.isEmpty())
                    problem = QStringLiteral("registro fora do leiaute");
                keys << k;
            }
            if (!problem.isEmpty())
                fail(g->tag() + QStringLiteral(": arquivo %1: %2").arg(g->str("arquivo"), problem));
            keys.sort();
            if (keys.removeDuplicates() > 0)
                fail(g->tag() + QStringLiteral(": cheque duas vezes no arquivo"));
            files[g->lot()] << keys;
        }
        QMap<int, int> releases;
        for (const Op* r : all(QStringLiteral("liberacao")))
            ++releases[r->lot()];
        for (auto it = m_lots.cbegin(); it != m_lots.cend(); ++it) {
            const int lot = it.key();
            const int gens = int(files.value(lot).size());
            const int rels = releases.value(lot);
            // Every generation but the last undone by a release; the lot marked as the last
            // one left it.
            if (gens > rels + 1)
                fail(QStringLiteral("lote %1 gerado %2 vezes com %3 liberações")
                         .arg(lot)
                         .arg(gens)
                         .arg(rels));
            if (!it->generated) {
                if (gens > rels)
                    fail(QStringLiteral("lote %1 gerado mas não marcado").arg(lot));
                continue;
            }
            if (gens == 0) {
                fail(QStringLiteral("lote %1 marcado gerado sem arquivo").arg(lot));
                continue;
            }
            // Every cheque of a generated lot is in its file, and the file holds nothing else.
            if (!files.value(lot).contains(lotCheques(lot)))
                fail(QStringLiteral("lote %1: nenhum arquivo de primeira geração traz exatamente "
                                    "os seus %2 cheques")
                         .arg(lot)
                         .arg(lotCheques(lot).size()));
            for (auto c = m_cheques.cbegin(); c != m_cheques.cend(); ++c)
                if (c->lot == lot && !c->dated)
                    fail(QStringLiteral("cheque %1 do lote gerado %2 sem data boa")
                             .arg(c.key())
                             .arg(lot));
        }
        // An empty file refused only when cheques of the lot were deleted meanwhile.
        for (const Op* o : all(QStringLiteral("geracao"), QStringLiteral("vazio"))) {
            bool deleted = false;
            for (const Op* e : all(QStringLiteral("exclusao")))
                deleted = deleted || (e->lot() == o->lot() && e->t0 <= o->t1);
            if (!deleted)
                fail(o->tag() + QStringLiteral(": arquivo vazio recusado para o lote %1, do qual "
                                               "ninguém excluiu cheques")
                                    .arg(o->lot()));
        }
        for (const Op* o : all(QStringLiteral("geracao"), QStringLiteral("alterado")))
            if (!generatedBefore(o->lot(), o->t1))
                fail(o->tag() + QStringLiteral(": \"já foi gerado em outra estação\" para o lote "
                                               "%1, que ninguém gerou")
                                    .arg(o->lot()));
    }

    void returns() {
        QSet<int> marked;
        for (const Op* o : all(QStringLiteral("devolucao"))) {
            const QList<int> codes = o->codes("cheques");
            if (o->o.value(QLatin1String("marcados")).toInt() > codes.size())
                fail(o->tag() + QStringLiteral(": mais cheques marcados que escolhidos"));
            for (int c : codes) {
                marked.insert(c);
                if (!m_cheques.value(c).returned)
                    fail(o->tag() +
                         QStringLiteral(": cheque %1 informado como devolvido sem data de "
                                        "devolução (%2 na base, %3 marcados de %4)")
                             .arg(c)
                             .arg(m_cheques.contains(c) ? "está" : "não está")
                             .arg(o->o.value(QLatin1String("marcados")).toInt())
                             .arg(codes.size()));
            }
        }
        // "Released in another station" only when a copy released the lot.
        for (const Op* o : all(QStringLiteral("devolucao"), QStringLiteral("liberado"))) {
            bool released = false;
            for (const Op* r : all(QStringLiteral("liberacao")))
                released = released || (r->lot() == o->lot() && r->t0 <= o->t1);
            if (!released)
                fail(o->tag() + QStringLiteral(": \"disponibilizado em outra estação\" para o "
                                               "lote %1, que ninguém liberou")
                                    .arg(o->lot()));
        }
        for (const Op* o : all(QStringLiteral("devolucao"), QStringLiteral("limite")))
            for (int c : o->codes("selecionados"))
                if (!m_cheques.value(c).represented2)
                    fail(o->tag() + QStringLiteral(": \"excederam a quantidade limite\" para o "
                                                   "cheque %1, não reapresentado duas vezes")
                                        .arg(c));
        for (auto c = m_cheques.cbegin(); c != m_cheques.cend(); ++c) {
            if (!c->returned)
                continue;
            if (!marked.contains(c.key()))
                fail(QStringLiteral("cheque %1 devolvido sem devolução informada").arg(c.key()));
            // A lot with a returned cheque is never released, so it stays generated.
            if (!m_lots.value(c->lot).generated)
                fail(QStringLiteral("cheque %1 devolvido num lote não gerado (%2)")
                         .arg(c.key())
                         .arg(c->lot));
        }
    }

    void representations() {
        noFileAfterFailure(QStringLiteral("reapresentacao"));
        QMap<int, int> times; // cheque -> files that re-presented it
        QMap<int, QList<const Op*>> byCheque;
        for (const Op* o : all(QStringLiteral("reapresentacao"))) {
            const QList<int> codes = o->codes("cheques");
            QStringList expected;
            for (int c : codes) {
                ++times[c];
                byCheque[c] << o;
                expected << key(m_cheques.value(c));
            }
            QString problem;
            QStringList got;
            for (const QByteArray& r : records(o->str("arquivo"), 100, &problem))
                got << depositRecord(r);
            if (!problem.isEmpty())
                fail(o->tag() + QStringLiteral(": arquivo %1: %2").arg(o->str("arquivo"), problem));
            else if (got != expected)
                fail(o->tag() +
                     QStringLiteral(": a reapresentação traz %1 e marcou %2")
                         .arg(got.join(QLatin1Char(' ')), expected.join(QLatin1Char(' '))));
        }
        for (auto c = m_cheques.cbegin(); c != m_cheques.cend(); ++c) {
            const int marks = int(c->represented) + int(c->represented2);
            const int n = times.value(c.key());
            if (n != marks)
                fail(QStringLiteral("cheque %1 em %2 arquivos de reapresentação com %3 datas de "
                                    "reapresentação")
                         .arg(c.key())
                         .arg(n)
                         .arg(marks));
            if (n > 2)
                fail(QStringLiteral("cheque %1 reapresentado %2 vezes").arg(c.key()).arg(n));
            if (marks > 0 && !c->returned)
                fail(QStringLiteral("cheque %1 reapresentado sem devolução").arg(c.key()));
        }
        for (const Op* o : all(QStringLiteral("reapresentacao"), QStringLiteral("alterado"))) {
            bool other = false;
            for (int c : o->codes("cheques"))
                for (const Op* r : byCheque.value(c))
                    other = other || r->t0 <= o->t1;
            if (!other)
                fail(o->tag() + QStringLiteral(": \"já foram reapresentados em outra estação\" "
                                               "sem reapresentação de outra cópia"));
        }
    }

    void releases() {
        for (const Op* o : all(QStringLiteral("liberacao"), QStringLiteral("recusado"))) {
            bool returned = false;
            for (const Cheque& c : m_cheques)
                returned = returned || (c.lot == o->lot() && c.returned);
            if (!returned)
                fail(o->tag() + QStringLiteral(": \"já possui cheque devolvido\" para o lote %1 "
                                               "sem cheque devolvido")
                                    .arg(o->lot()));
        }
    }

    void salaries() {
        noFileAfterFailure(QStringLiteral("pagamento"));
        QSet<QString> months;
        for (const Op& o : m_ops)
            if (o.op == QLatin1String("pagamento")) {
                if (!o.ok() && m_payments.contains(o.str("mes")))
                    fail(o.tag() +
                         QStringLiteral(": falhou (%1) mas registrou pagamentos").arg(o.outcome));
                if (o.ok())
                    months.insert(o.str("mes"));
            }
        for (auto it = m_payments.cbegin(); it != m_payments.cend(); ++it)
            if (!months.contains(it.key()))
                fail(QStringLiteral("%1 pagamentos do mês %2 sem arquivo gerado")
                         .arg(it->size())
                         .arg(it.key()));
        for (const Op* o : all(QStringLiteral("pagamento")))
            salaryFile(*o);
        // Refused as paid by another copy only when another copy paid one of them meanwhile;
        // never as changed, since no copy changes the employees.
        for (const Op* o : all(QStringLiteral("pagamento"), QStringLiteral("desatualizada"))) {
            if (!o->str("msg").startsWith(QStringLiteral("Outra estação registrou pagamentos"))) {
                fail(o->tag() + QStringLiteral(": \"%1\" sem mudança de funcionários")
                                    .arg(o->str("msg").left(40)));
                continue;
            }
            const QList<int> mine = o->codes("funcionarios");
            bool paid = false;
            for (const Op* p : all(QStringLiteral("pagamento")))
                if (p->t1 >= o->t0 && p->t0 <= o->t1)
                    for (int f : p->codes("funcionarios"))
                        paid = paid || mine.contains(f);
            if (!paid)
                fail(o->tag() + QStringLiteral(": \"%1\" sem pagamento de outra cópia")
                                    .arg(o->str("msg").left(40)));
        }
    }

    void salaryFile(const Op& o) {
        const QList<int> employees = o.codes("funcionarios");
        QList<Payment> rows = m_payments.value(o.str("mes"));
        QMap<int, Payment> rowOf;
        for (const Payment& p : rows)
            rowOf.insert(p.employee, p);
        if (rows.size() != employees.size() || rowOf.size() != employees.size())
            fail(o.tag() + QStringLiteral(": %1 funcionários escolhidos, %2 pagamentos gravados")
                               .arg(employees.size())
                               .arg(rows.size()));
        QString problem;
        const QList<QByteArray> recs = records(o.str("arquivo"), 200, &problem);
        if (!problem.isEmpty())
            return fail(o.tag() +
                        QStringLiteral(": arquivo %1: %2").arg(o.str("arquivo"), problem));
        if (recs.size() != employees.size() + 2 || !recs.first().startsWith("01") ||
            !recs.last().startsWith("9"))
            return fail(o.tag() + QStringLiteral(": arquivo de pagamento fora do leiaute"));
        // The header's date: the typed one, or, for a holiday, a weekday a few days off in the
        // chosen direction.
        const QDate typed = QDate::fromString(o.str("data"), QStringLiteral("dd/MM/yyyy"));
        const QDate paid = QDate::fromString(QString::fromLatin1(recs.first().mid(30, 8)),
                                             QStringLiteral("yyyyMMdd"));
        const int step = o.str("tratamento") == QLatin1String("P") ? 1 : -1;
        const bool moved = paid.isValid() && paid.dayOfWeek() <= 5 &&
                           typed.daysTo(paid) * step > 0 && typed.daysTo(paid) * step <= 4;
        if (!paid.isValid() || (holiday(typed) ? !moved : paid != typed))
            fail(o.tag() + QStringLiteral(": data de pagamento %1 para %2 (%3)")
                               .arg(QString::fromLatin1(recs.first().mid(30, 8)), o.str("data"),
                                    o.str("tratamento")));
        qint64 sum = 0;
        for (int i = 0; i < employees.size(); ++i) {
            const QByteArray& r = recs.at(i + 1);
            const Payment p = rowOf.value(employees.at(i));
            const Employee e = m_employees.value(employees.at(i));
            const QString expected =
                QStringLiteral("1C") + padLeft(p.account, 10, QLatin1Char('0')) +
                e.name.left(40).leftJustified(40) + padLeft(e.cpf, 14, QLatin1Char('0'));
            if (QString::fromLatin1(r.left(66)) != expected || !digits(r.mid(111, 17)) ||
                r.mid(111, 17).toLongLong() != p.cents)
                fail(o.tag() + QStringLiteral(": registro %1 do arquivo não é o pagamento "
                                              "gravado do funcionário %2")
                                   .arg(i + 2)
                                   .arg(employees.at(i)));
            sum += r.mid(111, 17).toLongLong();
        }
        const QByteArray& t = recs.last();
        if (t.mid(23, 5).toInt() != employees.size() || t.mid(28, 17).toLongLong() != sum)
            fail(o.tag() + QStringLiteral(": rodapé não confere com os registros"));
    }

    bool holiday(const QDate& d) const {
        return m_holidays.contains(d) || m_yearly.contains(d.toString(QStringLiteral("ddMM")));
    }

    Verdict v;
    QSet<QDate> m_holidays;
    QSet<QString> m_yearly; // "ddMM"
    QList<Op> m_ops;
    QMap<int, Lot> m_lots;
    QMap<int, Cheque> m_cheques;
    QMap<int, Employee> m_employees;
    QMap<QString, QList<Payment>> m_payments;
};

} // namespace

Verdict check(Connection& c, const QList<QJsonObject>& ops) {
    return Checker(c, ops).verdict();
}

} // namespace Soak
