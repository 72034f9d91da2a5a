// Several copies of the program capturing at once, each a process of its own on one database:
// the lots they save and the cheques they capture, held against what the database kept.
#include "TestDb.h"
#include "capture/udtmCapturaCheque.h"
#include "platform/data/TransactionGuard.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

constexpr int Copies = 4;
constexpr int Seconds = 12;
constexpr int SharedLines = 100000;

struct Outcome {
    int worker = 0;
    QString what; // L or C
    QString result;
    QString key; // lot number or cheque line
    QString lot; // cod_lote
    qint64 ms = 0;
};

QList<Outcome> readLog(const QString& path, int worker) {
    QList<Outcome> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    while (!f.atEnd()) {
        const QStringList p = QString::fromUtf8(f.readLine()).trimmed().split(QLatin1Char('\t'));
        if (p.size() == 5)
            out << Outcome{worker, p[0], p[1], p[2], p[3], p[4].toLongLong()};
    }
    return out;
}

int newMember(Connection& c) {
    return c
        .insertReturning("INSERT INTO associado (idt_tpo_associado, nom_associado) "
                         "VALUES ('J', 'Cooperativa') RETURNING cod_associado",
                         {})
        .toInt();
}

} // namespace

class TestConcorrencia : public QObject {
    Q_OBJECT
private slots:
    void copiesAtOnce_data() { TestDb::addEngineRows(); }
    void copiesAtOnce();
    void largestAmountsSumExactly_data() { TestDb::addEngineRows(); }
    void largestAmountsSumExactly();
};

void TestConcorrencia::copiesAtOnce() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    const int member = newMember(db.conn());
    QTemporaryDir logs;
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int w = 1; w <= Copies; ++w) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(CAPTURA_WORKER),
                 {db.target(), QString::number(w), QString::number(Seconds),
                  logs.filePath(QStringLiteral("w%1.log").arg(w)), QString::number(member),
                  QString::number(SharedLines)});
        copies.push_back(std::move(p));
    }
    for (auto& p : copies) {
        QVERIFY(p->waitForFinished((Seconds + 30) * 1000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
    }

    QList<Outcome> all;
    for (int w = 1; w <= Copies; ++w)
        all += readLog(logs.filePath(QStringLiteral("w%1.log").arg(w)), w);
    QMap<QString, QString> lotsSaved;    // cod_lote -> num_lote
    QMap<QString, QString> chequeStored; // line -> cod_lote
    QStringList storedTwice, duplicates, errors;
    QSet<QString> lastBusy; // lines whose last try was refused as busy
    int lotBusy = 0, chequeBusy = 0;
    qint64 longest = 0;
    for (const Outcome& o : std::as_const(all)) {
        longest = qMax(longest, o.ms);
        if (o.result == QLatin1String("erro")) {
            errors << QStringLiteral("%1 %2: %3").arg(o.worker).arg(o.key, o.lot);
        } else if (o.what == QLatin1String("L")) {
            if (o.result == QLatin1String("ok"))
                lotsSaved.insert(o.lot, o.key);
            else
                ++lotBusy;
        } else if (o.result == QLatin1String("gravado")) {
            if (chequeStored.contains(o.key))
                storedTwice << o.key;
            chequeStored.insert(o.key, o.lot);
            lastBusy.remove(o.key);
        } else if (o.result == QLatin1String("duplicado")) {
            duplicates << o.key;
            lastBusy.remove(o.key);
        } else {
            ++chequeBusy;
            lastBusy.insert(o.key);
        }
    }

    // What the database kept.
    Connection& c = db.conn();
    QMap<QString, QString> lotsKept;
    for (const QVariantList& r : c.select("SELECT cod_lote, num_lote FROM lote_cheque").rows)
        lotsKept.insert(r[0].toString(), r[1].toString());
    QMap<QString, QString> chequesKept;
    int chequeRows = 0;
    for (const QVariantList& r :
         c.select("SELECT cod_lote, num_banco, num_agencia, num_dv2, num_compe, num_cheque, "
                  "num_tipificacao, num_dv1, num_conta, num_dv3 FROM cheque")
             .rows) {
        QString line;
        for (int i = 1; i < r.size(); ++i)
            line += r[i].toString();
        chequesKept.insert(line, r[0].toString());
        ++chequeRows;
    }
    const QStringList numbers = lotsKept.values();
    const int distinctNumbers = int(QSet<QString>(numbers.begin(), numbers.end()).size());
    QStringList falseDuplicates;
    for (const QString& l : std::as_const(duplicates))
        if (!chequesKept.contains(l))
            falseDuplicates << l;

    qInfo().noquote() << QStringLiteral(
                             "%1: %2 processos por %3 s: %4 lotes, %5 cheques gravados, %6 "
                             "recusados como já registrados, %7 recusas por banco ocupado "
                             "(%8 de lotes), maior espera %9 ms")
                             .arg(TestDb::engineName(engine))
                             .arg(Copies)
                             .arg(Seconds)
                             .arg(lotsSaved.size())
                             .arg(chequeStored.size())
                             .arg(duplicates.size())
                             .arg(lotBusy + chequeBusy)
                             .arg(lotBusy)
                             .arg(longest);

    QCOMPARE(errors, QStringList());
    QVERIFY(lotsSaved.size() >= Copies);
    // No lot number given twice, and the lots kept are exactly the lots reported saved.
    QCOMPARE(distinctNumbers, int(lotsKept.size()));
    QCOMPARE(lotsKept, lotsSaved);
    // No cheque lost or stored twice: the cheques kept are exactly those reported stored, each
    // in the lot it was captured into; every cheque tried was stored by one copy or another.
    QCOMPARE(storedTwice, QStringList());
    QCOMPARE(chequeRows, int(chequesKept.size()));
    QCOMPARE(chequesKept, chequeStored);
    QCOMPARE(QStringList(lastBusy.begin(), lastBusy.end()), QStringList());
    // A cheque reported as already registered is one that another copy had stored.
    QCOMPARE(falseDuplicates, QStringList());
    // On PostgreSQL two copies saving lots at once never fail.
    if (engine == Engine::PostgreSQL)
        QCOMPARE(lotBusy, 0);
}

void TestConcorrencia::largestAmountsSumExactly() {
    // A lot of cheques at the largest amount a box accepts, R$ 999.999.999,99, totals exactly.
    QFETCH(Engine, engine);
    TestDb db(engine);
    const int member = newMember(db.conn());
    TdtmCapturaCheque dtm(&db.conn());
    dtm.qryLoteCheque.open();
    dtm.qryLoteCheque.insert();
    dtm.qryLoteCheque.setValue("cod_associado", member);
    dtm.salvaLote();
    const int lote = dtm.qryLoteCheque.asInteger("cod_lote");
    constexpr int Cheques = 500;
    const Money largest = *Money::parse("999.999.999,99");
    {
        TransactionGuard tx(db.conn());
        for (int i = 0; i < Cheques; ++i)
            db.conn().execute("INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, "
                              "num_compe, num_cheque, num_tipificacao, num_dv1, num_conta, "
                              "num_dv3, vlr_cheque) VALUES (?, '001', '0001', '0', '018', ?, "
                              "'5', '0', '0000000001', '0', ?)",
                              {lote, QString("%1").arg(i, 6, 10, QChar('0')), largest.toVariant()});
        tx.commit();
    }
    const TdtmCapturaCheque::Totais t = dtm.totaisLote(lote);
    QCOMPARE(t.quantidade, Cheques);
    QCOMPARE(t.total.units(), largest.units() * Cheques);
    QCOMPARE(t.total.formatTotal(), QString("R$ 499.999.999.995,00"));
}

QTEST_GUILESS_MAIN(TestConcorrencia)
#include "tst_concorrencia.moc"
