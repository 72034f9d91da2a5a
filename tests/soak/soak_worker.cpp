// One copy of the program doing at random, flat out, what operators do on the cheque and salary
// screens, through the screens' own data modules: save lots, capture cheques (half of them from
// a pool of lines that every copy walks in the same order, so that duplicates race), delete
// cheques, generate lots, return cheques, re-present them, release lots ("Regerar lote") and
// generate salary files. The files are written in FOLDER.
//
//   soak_worker TARGET FOLDER WORKER SEED SECONDS MAXOPS
//
// Every operation is one JSON line in FOLDER/wWORKER.jsonl, written as soon as it ended:
//   w, n       the copy and the operation's number in it
//   op         lote | captura | exclusao | geracao | devolucao | reapresentacao | liberacao |
//              pagamento
//   t0, t1     when it began and ended, microseconds since the epoch
//   outcome    what happened (ok, duplicado, enviado, sumiu, liberado, alterado, vazio,
//              recusado, limite, desatualizada, ocupado, erro)
//   msg        the message the screen shows the operator for it, empty when none
// and the operation's own values (lot, cheque code, line, value in centavos, file, codes...).
#include "bankfiles/DepositoCustodia.h"
#include "bankfiles/udtmDevolucaoCheque.h"
#include "bankfiles/udtmGeraArqDepositoCustodia.h"
#include "capture/udtmCapturaCheque.h"
#include "payroll/udtmGeraArqPagFuncionario.h"
#include "platform/files/RecordFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTextStream>
#include <chrono>

namespace {

// The screens' own texts for each outcome.
const QString Duplicado = QStringLiteral("Cheque já registrado na base de dados!");
const QString LoteEnviado = QStringLiteral(
    "Não é possível capturar cheques para\n\reste lote, pois o mesmo já foi enviado!");
const QString Sucesso = QStringLiteral("Arquivo gerado com sucesso!!");
const QString ErroGeracao = QStringLiteral("Ocorreu um erro inesperado ao gerar o arquivo: ");
const QString Devolvidos = QStringLiteral("Alteração realizada com sucesso!!");
const QString Limite = QStringLiteral(
    "Os cheques selecionados excederam a\n\rquantidade limite de vezes para devolução!");
const QString Liberado = QStringLiteral("Lote disponibilizado para nova geração de arquivo!!");
const QString NaoLiberado =
    QStringLiteral("Não foi possível disponibilizar este lote para nova\n\rgeração, pois o "
                   "mesmo já possui cheque devolvido!");
const QString LoteLiberado =
    QStringLiteral("Este lote foi disponibilizado para nova geração em outra estação!\n\r"
                   "Nenhum cheque foi marcado como devolvido.\n\rA relação de lotes será "
                   "atualizada.");
const QString RegistroSumiu = QStringLiteral(
    "O registro não existe mais na base de dados. Ele foi excluído por outro usuário.");

// Microseconds: the operations of four copies come several to a millisecond.
qint64 agora() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// One operation's log line: started when made, written by end().
class Registro {
public:
    Registro(QFile& log, int worker, int n, const char* op) : m_log(log) {
        m_o[QStringLiteral("w")] = worker;
        m_o[QStringLiteral("n")] = n;
        m_o[QStringLiteral("op")] = QLatin1String(op);
        m_o[QStringLiteral("t0")] = agora();
    }
    ~Registro() {
        if (!m_done)
            end(QStringLiteral("erro"), QStringLiteral("operação interrompida"));
    }
    void set(const char* key, const QJsonValue& v) { m_o[QLatin1String(key)] = v; }
    void end(const QString& outcome, const QString& msg = {}) {
        m_o[QStringLiteral("t1")] = agora();
        m_o[QStringLiteral("outcome")] = outcome;
        m_o[QStringLiteral("msg")] = msg;
        m_log.write(QJsonDocument(m_o).toJson(QJsonDocument::Compact) + '\n');
        m_log.flush();
        m_done = true;
    }
    // A refusal of the database, with its text as the screen shows it (after `prefix`).
    void end(const DbError& e, const QString& prefix = {}) {
        const QString m = e.message();
        if (e.kind() == DbError::Kind::Busy)
            end(QStringLiteral("ocupado"), prefix + m);
        else if (m == LoteEnviado)
            end(QStringLiteral("enviado"), m);
        else if (m == RegistroSumiu)
            end(QStringLiteral("sumiu"), m);
        else
            end(QStringLiteral("erro"), prefix + m);
    }
    // Refused because another copy changed what the list showed.
    void end(const AlteradoPorOutraEstacao& e) {
        end(e.message() == LoteLiberado ? QStringLiteral("liberado") : QStringLiteral("alterado"),
            e.message());
    }

private:
    QFile& m_log;
    QJsonObject m_o;
    bool m_done = false;
};

QJsonArray arrayOf(const QList<int>& codes) {
    QJsonArray a;
    for (int c : codes)
        a.append(c);
    return a;
}

class Worker {
public:
    Worker(Connection& c, QFile& log, const QString& folder, int id, quint32 seed)
        : m_log(log), m_folder(folder), m_id(id), m_rng(seed), m_cap(&c), m_ger(&c), m_dev(&c),
          m_pag(&c) {
        m_cap.qryLkpAssociado.open();
        for (int r = 0; r < m_cap.qryLkpAssociado.recordCount(); ++r)
            m_membros << m_cap.qryLkpAssociado.valueAt(r, QStringLiteral("cod_associado")).toInt();
    }

    // One operation, chosen at random with the weights of an office's day.
    void step() {
        ++m_n;
        const int r = int(m_rng.bounded(100));
        try {
            if (r < 8)
                novoLote();
            else if (r < 48)
                captura();
            else if (r < 56)
                exclusao();
            else if (r < 66)
                geracao();
            else if (r < 77)
                devolucao();
            else if (r < 88)
                reapresentacao();
            else if (r < 92)
                liberacao();
            else
                pagamento();
        } catch (const std::exception& e) {
            // A failure outside the actions the screens guard (reading a list): the general
            // error display would show it.
            Registro x(m_log, m_id, m_n, "lista");
            x.end(QStringLiteral("erro"), QString::fromUtf8(e.what()));
        }
    }

private:
    int escolhe(int n) { return int(m_rng.bounded(n)); }

    // Rows of `q` whose `field` reads `value`.
    static QList<int> linhasCom(const Dataset& q, const QString& field, const QVariant& value) {
        QList<int> rows;
        for (int r = 0; r < q.recordCount(); ++r)
            if (q.valueAt(r, field) == value)
                rows << r;
        return rows;
    }

    // Up to `max` distinct rows of `n`, in list order, as a grid's selection gives them.
    QList<int> selecao(int n, int max) {
        QList<int> rows;
        const int k = 1 + escolhe(qMin(n, max));
        while (rows.size() < k) {
            const int r = escolhe(n);
            if (!rows.contains(r))
                rows << r;
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QString arquivo() const {
        return QDir(m_folder).filePath(QStringLiteral("w%1-%2.txt").arg(m_id).arg(m_n));
    }

    // The next line: the copy's own, or the next of the pool every copy walks.
    LinhaCheque proximaLinha() {
        const bool pool = m_rng.bounded(2) == 0;
        LinhaCheque l;
        l.banco = QStringLiteral("001");
        l.agencia = QStringLiteral("2345");
        l.compe = QStringLiteral("018");
        l.numCheque =
            QStringLiteral("%1").arg(pool ? m_pool++ : ++m_proprios, 6, 10, QLatin1Char('0'));
        l.tipificacao = QStringLiteral("5");
        l.conta = QStringLiteral("%1").arg(pool ? 999999 : 100000 + m_id, 10, 10, QLatin1Char('0'));
        l.dv1 = QString::number(CalculaDVModulo10(l.banco + l.agencia));
        l.dv2 = QString::number(CalculaDVModulo10(l.compe + l.numCheque + l.tipificacao));
        l.dv3 = QString::number(CalculaDVModulo10(l.conta));
        return l;
    }

    // The capture screen's lot list read again, on a lot the operator picks: one still open
    // most of the time. False when there is none.
    bool loteDaCaptura() {
        Dataset& lotes = m_cap.qryLoteCheque;
        lotes.close();
        lotes.open();
        if (lotes.isEmpty())
            return false;
        QList<int> rows = linhasCom(lotes, QStringLiteral("ind_gerado"), false);
        if (rows.isEmpty() || m_rng.bounded(10) == 0)
            rows = linhasCom(lotes, QStringLiteral("ind_gerado"), true) + rows;
        if (rows.isEmpty())
            return false;
        lotes.moveTo(rows.at(escolhe(int(rows.size()))));
        m_cap.qryCheque.close();
        m_cap.qryCheque.open();
        return true;
    }

    void novoLote() {
        Registro r(m_log, m_id, m_n, "lote");
        Dataset& lotes = m_cap.qryLoteCheque;
        if (!lotes.isOpen())
            lotes.open();
        try {
            lotes.insert();
            lotes.setValue(QStringLiteral("cod_associado"),
                           m_membros.at(escolhe(int(m_membros.size()))));
            m_cap.salvaLote();
            r.set("lote", lotes.asInteger(QStringLiteral("cod_lote")));
            r.set("num", lotes.asString(QStringLiteral("num_lote")));
            r.end(QStringLiteral("ok"));
        } catch (const DbError& e) {
            if (lotes.isEditing())
                lotes.cancel();
            r.end(e);
        }
    }

    void captura() {
        if (!loteDaCaptura())
            return;
        Registro r(m_log, m_id, m_n, "captura");
        const int lote = m_cap.qryLoteCheque.asInteger(QStringLiteral("cod_lote"));
        const LinhaCheque l = proximaLinha();
        const qint64 centavos = 1 + qint64(m_rng.bounded(9999999));
        r.set("lote", lote);
        r.set("linha", l.joined());
        r.set("centavos", centavos);
        try {
            // The screen warns before asking for the value when the lot was sent.
            if (m_cap.loteEnviado(lote))
                return r.end(QStringLiteral("enviado"), LoteEnviado);
            if (!m_cap.gravaCheque(l, Money::fromCents(centavos)))
                return r.end(QStringLiteral("duplicado"), Duplicado);
            r.set("cheque", m_cap.qryCheque.asInteger(QStringLiteral("cod_cheque")));
            r.end(QStringLiteral("ok"));
        } catch (const DbError& e) {
            r.end(e);
        }
    }

    void exclusao() {
        if (!loteDaCaptura() || m_cap.qryCheque.isEmpty())
            return;
        Dataset& q = m_cap.qryCheque;
        q.moveTo(escolhe(q.recordCount()));
        Registro r(m_log, m_id, m_n, "exclusao");
        const int lote = m_cap.qryLoteCheque.asInteger(QStringLiteral("cod_lote"));
        r.set("lote", lote);
        r.set("cheque", q.asInteger(QStringLiteral("cod_cheque")));
        try {
            if (m_cap.loteEnviado(lote))
                return r.end(QStringLiteral("enviado"), LoteEnviado);
            m_cap.excluiCheque();
            r.end(QStringLiteral("ok"));
        } catch (const DbError& e) {
            r.end(e);
        }
    }

    // The generation screen's lot list read again, on a lot the operator picks among those
    // generated (or not) whose cheque list is not empty. False when there is none.
    bool loteDaGeracao(bool gerado) {
        Dataset& lotes = m_ger.qryLoteCheque;
        lotes.close();
        lotes.open();
        QList<int> rows;
        for (int row : linhasCom(lotes, QStringLiteral("ind_gerado"), gerado))
            if (gerado || lotes.valueAt(row, QStringLiteral("qtd_total")).toInt() > 0)
                rows << row;
        if (rows.isEmpty())
            return false;
        lotes.moveTo(rows.at(escolhe(int(rows.size()))));
        m_ger.qryCheque.close();
        m_ger.qryCheque.open();
        return true;
    }

    // The generation screen's handling of a generation's outcome.
    template <typename Work> void gera(Registro& r, Work&& work) {
        try {
            work();
            r.end(QStringLiteral("ok"), Sucesso);
        } catch (const AlteradoPorOutraEstacao& e) {
            r.end(e);
        } catch (const RecordError& e) {
            r.end(QStringLiteral("erro"), ErroGeracao + e.message());
        } catch (const FileError& e) {
            // A lot whose cheques another copy deleted after the list was read gives an empty
            // file, which is refused.
            const bool vazio = e.message().endsWith(QLatin1String("arquivo vazio"));
            r.end(vazio ? QStringLiteral("vazio") : QStringLiteral("erro"),
                  ErroGeracao + e.message());
        } catch (const DbError& e) {
            r.end(e, ErroGeracao);
        }
    }

    void geracao() {
        if (!loteDaGeracao(false) || m_ger.qryCheque.isEmpty())
            return;
        Registro r(m_log, m_id, m_n, "geracao");
        const int lote = m_ger.codLoteAtual();
        const QString f = arquivo();
        r.set("lote", lote);
        r.set("arquivo", f);
        gera(r, [&] { m_ger.geraPrimeira(lote, f, {}); });
    }

    void reapresentacao() {
        if (!loteDaGeracao(true) || m_ger.qryCheque.isEmpty())
            return;
        Dataset& q = m_ger.qryCheque;
        QList<int> codigos;
        QList<DepositoCustodia::Cheque> cheques;
        for (int row : selecao(q.recordCount(), 4)) {
            q.moveTo(row);
            codigos << q.asInteger(QStringLiteral("cod_cheque"));
            cheques << m_ger.chequeAtual();
        }
        Registro r(m_log, m_id, m_n, "reapresentacao");
        const QString f = arquivo();
        r.set("lote", m_ger.codLoteAtual());
        r.set("cheques", arrayOf(codigos));
        r.set("arquivo", f);
        gera(r, [&] { m_ger.reapresenta(codigos, cheques, f, {}); });
    }

    void liberacao() {
        if (!loteDaGeracao(true))
            return;
        Registro r(m_log, m_id, m_n, "liberacao");
        const int lote = m_ger.codLoteAtual();
        r.set("lote", lote);
        try {
            if (m_ger.regeraLote(lote))
                r.end(QStringLiteral("ok"), Liberado);
            else
                r.end(QStringLiteral("recusado"), NaoLiberado);
        } catch (const DbError& e) {
            r.end(e);
        }
    }

    void devolucao() {
        Dataset& lotes = m_dev.qryLoteCheque;
        lotes.close();
        lotes.open();
        if (lotes.isEmpty())
            return;
        lotes.moveTo(escolhe(lotes.recordCount()));
        Dataset& q = m_dev.qryCheque;
        q.close();
        q.open();
        if (q.isEmpty())
            return;
        // Those re-presented twice are passed over, as the screen does.
        QList<int> selecionados, codigos;
        for (int row : selecao(q.recordCount(), 3)) {
            const int cod = q.valueAt(row, QStringLiteral("cod_cheque")).toInt();
            selecionados << cod;
            if (q.valueAt(row, QStringLiteral("dat_2reapresentacao")).isNull())
                codigos << cod;
        }
        Registro r(m_log, m_id, m_n, "devolucao");
        r.set("lote", lotes.asInteger(QStringLiteral("cod_lote")));
        r.set("selecionados", arrayOf(selecionados));
        r.set("cheques", arrayOf(codigos));
        if (codigos.isEmpty())
            return r.end(QStringLiteral("limite"), Limite);
        try {
            r.set("marcados", m_dev.devolve(codigos));
            r.end(QStringLiteral("ok"), Devolvidos);
        } catch (const AlteradoPorOutraEstacao& e) {
            r.end(e);
        } catch (const DbError& e) {
            r.end(e);
        }
    }

    void pagamento() {
        // The operation begins with the reading of the list: a payment another copy records
        // after that makes the list out of date.
        const qint64 inicio = agora();
        Dataset& membros = m_pag.qryAssociado;
        membros.close();
        membros.open();
        if (membros.isEmpty())
            return;
        membros.moveTo(escolhe(membros.recordCount()));
        m_pag.qryLkpMovimento.close();
        m_pag.qryLkpMovimento.open();
        if (m_pag.qryLkpMovimento.isEmpty())
            return;
        m_pag.codMovimento = m_pag.qryLkpMovimento.value(QStringLiteral("cod_movimento"));
        Dataset& lista = m_pag.qryFuncionario;
        lista.close();
        lista.open();
        if (lista.isEmpty())
            return;
        // All of them ("Selecionar todos") half of the time, a few otherwise.
        const QList<int> rows = m_rng.bounded(2) == 0
                                    ? selecao(lista.recordCount(), lista.recordCount())
                                    : selecao(lista.recordCount(), 4);
        TdtmGeraArqPagFuncionario::Pedido p;
        QList<int> codigos;
        for (int row : rows) {
            p.selecionados << lista.bookmarkAt(row);
            codigos << lista.valueAt(row, QStringLiteral("cod_funcionario")).toInt();
        }
        // A reference month of its own for every attempt, so that its payments can be told
        // from any other's.
        const int serie = m_id * 2000 + ++m_pagamentos;
        p.mesReferencia = QStringLiteral("%1%2")
                              .arg(2000 + serie / 12)
                              .arg(serie % 12 + 1, 2, 10, QLatin1Char('0'));
        // Half of the time a day of the fortnight around the soak's holidays of February.
        const QDate dia = m_rng.bounded(2) == 0 ? QDate(2007, 2, 12).addDays(escolhe(14))
                                                : QDate(2007, 1, 1).addDays(escolhe(365));
        p.dataDigitada = dia.toString(QStringLiteral("dd/MM/yyyy"));
        p.tratamento = m_rng.bounded(2) == 0 ? QStringLiteral("P") : QStringLiteral("A");
        p.arquivo = arquivo();

        Registro r(m_log, m_id, m_n, "pagamento");
        r.set("t0", inicio);
        r.set("associado", membros.asInteger(QStringLiteral("cod_associado")));
        r.set("funcionarios", arrayOf(codigos));
        r.set("mes", p.mesReferencia);
        r.set("data", p.dataDigitada);
        r.set("tratamento", p.tratamento);
        r.set("arquivo", p.arquivo);
        try {
            m_pag.verificaCampos(p.selecionados);
            m_pag.geraArquivo(p);
            r.end(QStringLiteral("ok"), Sucesso);
        } catch (const RelacaoDesatualizada& e) {
            r.end(QStringLiteral("desatualizada"), e.message());
        } catch (const CampoInvalido& e) {
            r.end(QStringLiteral("erro"), e.message());
        } catch (const FileError& e) {
            r.end(QStringLiteral("erro"), ErroGeracao + e.message());
        } catch (const DbError& e) {
            r.end(e, ErroGeracao);
        }
    }

    QFile& m_log;
    QString m_folder;
    int m_id;
    QRandomGenerator m_rng;
    TdtmCapturaCheque m_cap;
    TdtmGeraArqDepositoCustodia m_ger;
    TdtmDevolucaoCheque m_dev;
    TdtmGeraArqPagFuncionario m_pag;
    QList<int> m_membros;
    int m_n = 0;
    int m_proprios = 0;
    int m_pool = 0;
    int m_pagamentos = 0;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 7) {
        QTextStream(stderr) << "uso: soak_worker CAMINHO PASTA WORKER SEMENTE SEGUNDOS MAXOPS\n";
        return 2;
    }
    const int id = a[3].toInt();
    const int maxOps = a[6].toInt();
    QFile log(QDir(a[2]).filePath(QStringLiteral("w%1.jsonl").arg(id)));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 3;
    try {
        Connection c(QStringLiteral("soak"));
        c.setConnectionString(a[1]);
        c.open();
        Worker w(c, log, a[2], id, a[4].toUInt());
        const QDeadlineTimer deadline(a[5].toLongLong() * 1000);
        for (int n = 0; !deadline.hasExpired() && (maxOps <= 0 || n < maxOps); ++n)
            w.step();
    } catch (const std::exception& e) {
        QTextStream(stderr) << "soak_worker " << id << ": " << e.what() << '\n';
        return 1;
    }
    return 0;
}
