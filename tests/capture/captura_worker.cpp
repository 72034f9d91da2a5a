// One copy of the program capturing flat out, for the test of several copies at once: it saves
// lots and captures cheques through the capture screen's data module, and writes one line per
// outcome, so that the test can hold the log against what the database kept.
//
//   captura_worker TARGET WORKER SECONDS LOG MEMBER SHARED
//
// Each lot gets four cheques: two of this worker's own and two from a pool of SHARED lines that
// every worker walks in the same order, so that the copies try the same cheques at the same
// moments. A cheque refused as busy is tried again, as an operator would press Enter again.
//
// Log lines, tab-separated:  L ok NUM_LOTE COD_LOTE MS | L ocupado - - MS | L erro TEXT - MS
//                            C gravado LINE COD_LOTE MS | C duplicado LINE - MS
//                            C ocupado LINE - MS | C erro LINE TEXT MS
#include "capture/udtmCapturaCheque.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

namespace {

LinhaCheque linha(int numero, int conta) {
    LinhaCheque l;
    l.banco = QStringLiteral("001");
    l.agencia = QStringLiteral("2345");
    l.compe = QStringLiteral("018");
    l.numCheque = QStringLiteral("%1").arg(numero, 6, 10, QLatin1Char('0'));
    l.tipificacao = QStringLiteral("5");
    l.conta = QStringLiteral("%1").arg(conta, 10, 10, QLatin1Char('0'));
    l.dv1 = QString::number(CalculaDVModulo10(l.banco + l.agencia));
    l.dv2 = QString::number(CalculaDVModulo10(l.compe + l.numCheque + l.tipificacao));
    l.dv3 = QString::number(CalculaDVModulo10(l.conta));
    return l;
}

class Worker {
public:
    Worker(Connection& c, QTextStream& log, int member) : m_dtm(&c), m_log(log), m_member(member) {
        m_dtm.qryLoteCheque.open();
    }

    // Saves a new lot; false when it was refused (and cancelled).
    bool novoLote() {
        QElapsedTimer t;
        t.start();
        Dataset& lotes = m_dtm.qryLoteCheque;
        try {
            lotes.insert();
            lotes.setValue(QStringLiteral("cod_associado"), m_member);
            m_dtm.salvaLote();
            write({QStringLiteral("L"), QStringLiteral("ok"),
                   lotes.asString(QStringLiteral("num_lote")),
                   QString::number(lotes.asInteger(QStringLiteral("cod_lote"))), ms(t)});
            return true;
        } catch (const DbError& e) {
            lotes.cancel();
            const bool busy = e.kind() == DbError::Kind::Busy;
            write({QStringLiteral("L"), busy ? QStringLiteral("ocupado") : QStringLiteral("erro"),
                   busy ? QStringLiteral("-") : e.message().simplified(), QStringLiteral("-"),
                   ms(t)});
            return false;
        }
    }

    // Captures one cheque into the current lot the way the capture screen does: an append and
    // a post of the cheque list. Busy refusals are tried again a few times.
    void cheque(const LinhaCheque& l) {
        for (int tentativa = 0; tentativa < 10; ++tentativa) {
            QElapsedTimer t;
            t.start();
            Dataset& q = m_dtm.qryCheque;
            try {
                q.append();
                q.setValue(QStringLiteral("cod_lote"),
                           m_dtm.qryLoteCheque.asInteger(QStringLiteral("cod_lote")));
                q.setValue(QStringLiteral("num_banco"), l.banco);
                q.setValue(QStringLiteral("num_agencia"), l.agencia);
                q.setValue(QStringLiteral("num_dv2"), l.dv2);
                q.setValue(QStringLiteral("num_compe"), l.compe);
                q.setValue(QStringLiteral("num_cheque"), l.numCheque);
                q.setValue(QStringLiteral("num_tipificacao"), l.tipificacao);
                q.setValue(QStringLiteral("num_dv1"), l.dv1);
                q.setValue(QStringLiteral("num_conta"), l.conta);
                q.setValue(QStringLiteral("num_dv3"), l.dv3);
                q.setValue(QStringLiteral("vlr_cheque"), Money::fromCents(12345).toVariant());
                q.setValue(QStringLiteral("ind_devolvido"), false);
                q.post();
                write({QStringLiteral("C"), QStringLiteral("gravado"), l.joined(),
                       QString::number(q.asInteger(QStringLiteral("cod_lote"))), ms(t)});
                return;
            } catch (const DbError& e) {
                q.cancel();
                const auto kind = e.kind();
                const QString outcome = kind == DbError::Kind::Unique ? QStringLiteral("duplicado")
                                        : kind == DbError::Kind::Busy ? QStringLiteral("ocupado")
                                                                      : QStringLiteral("erro");
                write({QStringLiteral("C"), outcome, l.joined(),
                       kind == DbError::Kind::Unique || kind == DbError::Kind::Busy
                           ? QStringLiteral("-")
                           : e.message().simplified(),
                       ms(t)});
                if (kind != DbError::Kind::Busy)
                    return;
            }
        }
    }

private:
    static QString ms(const QElapsedTimer& t) { return QString::number(t.elapsed()); }
    void write(const QStringList& fields) {
        m_log << fields.join(QLatin1Char('\t')) << '\n';
        m_log.flush();
    }

    TdtmCapturaCheque m_dtm;
    QTextStream& m_log;
    int m_member;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 7) {
        QTextStream(stderr) << "uso: captura_worker CAMINHO WORKER SEGUNDOS LOG ASSOCIADO "
                               "COMPARTILHADOS\n";
        return 2;
    }
    const int worker = a[2].toInt();
    const int seconds = a[3].toInt();
    const int member = a[5].toInt();
    const int shared = a[6].toInt();
    QFile file(a[4]);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 3;
    QTextStream log(&file);
    try {
        Connection c(QStringLiteral("worker"));
        c.setConnectionString(a[1]);
        c.open();
        Worker w(c, log, member);
        QDeadlineTimer deadline(seconds * 1000);
        int own = 0, pool = 0;
        while (!deadline.hasExpired()) {
            if (!w.novoLote())
                continue;
            for (int k = 0; k < 4; ++k) {
                if (k % 2 == 0)
                    w.cheque(linha(++own, 100000 + worker));
                else
                    w.cheque(linha(pool++ % shared, 999999));
            }
        }
    } catch (const std::exception& e) {
        log << "X\terro\t" << QString::fromUtf8(e.what()).simplified() << "\t-\t0\n";
        return 1;
    }
    return 0;
}
