// The whole road at once: four copies of the program, each a process of its own on one
// database, doing at random what operators do, and then the check of everything they were told
// against what the database and the files hold. Then the check itself, shown a database, a
// file or a log with one fault put in, must name it.
#include "Soak.h"
#include "TestDb.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <memory>

namespace {

constexpr int Copies = 4;
constexpr int Seconds = 10;

// One soak per engine, kept for the check's own tests.
struct Soaked {
    std::unique_ptr<TestDb> db;
    QTemporaryDir folder;
    Soak::Run run;
};
std::map<Engine, std::unique_ptr<Soaked>> soaked;

Soaked& soakOn(Engine engine) {
    auto& s = soaked[engine];
    if (!s) {
        s = std::make_unique<Soaked>();
        s->db = std::make_unique<TestDb>(engine);
        Soak::prepare(s->db->conn());
        s->run = Soak::run(QStringLiteral(SOAK_WORKER), s->db->target(), s->folder.path(), Copies,
                           Seconds, 20261210);
    }
    return *s;
}

const QJsonObject* firstOp(const Soak::Run& run, const QString& op,
                           const std::function<bool(const QJsonObject&)>& also = {}) {
    for (const QJsonObject& o : run.ops)
        if (o.value("op").toString() == op && o.value("outcome").toString() == "ok" &&
            (!also || also(o)))
            return &o;
    return nullptr;
}

QString violationsText(const Soak::Verdict& v) {
    return v.violations.mid(0, 20).join('\n');
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void soak_data() { TestDb::addEngineRows(); }
    void soak();
    void checkFindsFault_data();
    void checkFindsFault();
    void cleanupTestCase() { soaked.clear(); }
};

void TestSoak::soak() {
    QFETCH(Engine, engine);
    Soaked& s = soakOn(engine);
    QCOMPARE(s.run.problems, QStringList());
    const Soak::Verdict v = Soak::check(s.db->conn(), s.run.ops);
    QStringList summary;
    for (auto it = v.counts.cbegin(); it != v.counts.cend(); ++it)
        summary << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
    qInfo().noquote() << QStringLiteral("%1: %2 operações em %3 ms, maior espera %4 ms; %5")
                             .arg(TestDb::engineName(engine))
                             .arg(s.run.ops.size())
                             .arg(s.run.ms)
                             .arg(v.longestMs)
                             .arg(summary.join(", "));
    QVERIFY2(v.violations.isEmpty(), qPrintable(violationsText(v)));
    // Every step of the road was taken at least once, and duplicates did race.
    for (const char* op : {"lote", "captura", "exclusao", "geracao", "devolucao", "reapresentacao",
                           "liberacao", "pagamento"})
        QVERIFY2(v.count(op, "ok") > 0, op);
    QVERIFY(v.count("captura", "duplicado") > 0);
}

void TestSoak::checkFindsFault_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("named");
    const struct {
        const char* fault;
        const char* named;
    } faults[] = {
        {"cheque lost", "informado como gravado não está na base"},
        {"lot number reported wrong", "informado como salvo não está na base"},
        {"cheque missing from its file", "nenhum arquivo de primeira geração"},
        {"re-presentation not marked", "arquivos de reapresentação com"},
        {"payment row lost", "pagamentos gravados"},
        {"duplicate refusal without twin", "sem cheque gêmeo"},
        {"success reported for a failure", "sem arquivo gerado"},
    };
    for (Engine e : TestDb::engines())
        for (const auto& f : faults)
            QTest::addRow("%s %s", qPrintable(TestDb::engineName(e)), f.fault)
                << e << QString(f.fault) << QString::fromUtf8(f.named);
}

void TestSoak::checkFindsFault() {
    QFETCH(Engine, engine);
    QFETCH(QString, fault);
    QFETCH(QString, named);
    Soaked& s = soakOn(engine);
    Connection& c = s.db->conn();
    QList<QJsonObject> ops = s.run.ops;
    QString file;
    QByteArray fileBefore;

    c.beginTransaction();
    if (fault == "cheque lost") {
        QVERIFY(c.execute("DELETE FROM cheque WHERE cod_cheque = (SELECT max(cod_cheque) FROM "
                          "cheque)") == 1);
    } else if (fault == "lot number reported wrong") {
        for (QJsonObject& o : ops)
            if (o.value("op") == "lote" && o.value("outcome") == "ok") {
                o["num"] = QString::number(o.value("num").toString().toInt() + 100000);
                break;
            }
    } else if (fault == "cheque missing from its file") {
        // A lot generated once: its one file loses its last record.
        const QJsonObject* g = firstOp(s.run, "geracao", [&](const QJsonObject& o) {
            int gens = 0;
            for (const QJsonObject& x : s.run.ops)
                gens += x.value("op") == "geracao" && x.value("outcome") == "ok" &&
                        x.value("lote") == o.value("lote");
            return gens == 1 && c.selectValue("SELECT count(*) FROM lote_cheque WHERE cod_lote "
                                              "= ? AND ind_gerado = ?",
                                              {o.value("lote").toInt(), true})
                                        .toInt() == 1;
        });
        QVERIFY(g);
        file = g->value("arquivo").toString();
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        fileBefore = f.readAll();
        f.close();
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(fileBefore.left(fileBefore.size() - 102));
    } else if (fault == "re-presentation not marked") {
        QVERIFY(c.execute("UPDATE cheque SET dat_reapresentacao = NULL, dat_2reapresentacao = "
                          "NULL WHERE cod_cheque = (SELECT min(cod_cheque) FROM cheque WHERE "
                          "dat_reapresentacao IS NOT NULL)") == 1);
    } else if (fault == "payment row lost") {
        QVERIFY(c.execute("DELETE FROM pagamento_funcionario WHERE cod_pagamento = (SELECT "
                          "max(cod_pagamento) FROM pagamento_funcionario)") == 1);
    } else if (fault == "duplicate refusal without twin") {
        QJsonObject o{{"w", 9},  {"n", 1},  {"op", "captura"},           {"outcome", "duplicado"},
                      {"t0", 0}, {"t1", 1}, {"linha", QString(30, '7')}, {"lote", 1}};
        ops << o;
    } else if (fault == "success reported for a failure") {
        // A salary generation that said it failed, while its payments stayed recorded.
        for (QJsonObject& o : ops)
            if (o.value("op") == "pagamento" && o.value("outcome") == "ok") {
                o["outcome"] = "ocupado";
                o["arquivo"] = "";
                break;
            }
    }
    const Soak::Verdict v = Soak::check(c, ops);
    c.rollback();
    if (!file.isEmpty()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(fileBefore);
    }
    QVERIFY2(!v.violations.filter(named).isEmpty(), qPrintable(violationsText(v)));
}

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
