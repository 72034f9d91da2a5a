#include "TestDb.h"
#include "core/Schema.h"
#include "platform/data/Dialect.h"
#include "platform/data/Money.h"
#include "platform/data/TransactionGuard.h"

#include <QTest>
#include <algorithm>
#include <map>
#include <memory>

namespace {

// 001 2345 1 018 000123 5 5 0000123456 6, a line with valid check digits.
const QString Line = QStringLiteral("001234510180001235500001234566");
// Where each of the nine groups of a line starts, and its width.
const int GroupStart[9] = {0, 3, 7, 8, 11, 17, 18, 19, 29};
const int GroupWidth[9] = {3, 4, 1, 3, 6, 1, 1, 10, 1};
const char* const GroupColumn[9] = {"num_banco", "num_agencia", "num_dv2",
                                    "num_compe", "num_cheque",  "num_tipificacao",
                                    "num_dv1",   "num_conta",   "num_dv3"};

const QString InsertCheque = QStringLiteral(
    "insert into cheque (cod_lote, num_banco, num_agencia, num_dv2, num_compe, num_cheque, "
    "num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque) "
    "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) returning cod_cheque");

// Parameters of InsertCheque; "@name" stands for a key of the fixture.
QVariantList chequeParams(const QString& lot, const QString& line) {
    QVariantList p{lot};
    for (int g = 0; g < 9; ++g)
        p << line.mid(GroupStart[g], GroupWidth[g]);
    p << Money::fromCents(12345).toVariant();
    return p;
}

qint64 insert(Connection& c, const QString& sql, const QVariantList& params) {
    return c.insertReturning(sql, params).toLongLong();
}

// A member for each kind of child, each child referred to or not, so that every refused delete
// is refused for one reason only.
QHash<QString, qint64> buildFixture(Connection& c) {
    QHash<QString, qint64> k;
    const QString member =
        QStringLiteral("insert into associado (nom_associado) values (?) returning cod_associado");
    for (const char* m : {"memberLot", "memberMov", "memberDept", "memberEmp", "memberFree"})
        k[QLatin1String(m)] = insert(c, member, {QLatin1String(m)});

    const QString lot =
        QStringLiteral("insert into lote_cheque (cod_associado, num_lote, dat_lote) "
                       "values (?, ?, ?) returning cod_lote");
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    k[QStringLiteral("lotCheque")] = insert(c, lot, {k[QStringLiteral("memberLot")], "1", when});
    k[QStringLiteral("lotFree")] = insert(c, lot, {k[QStringLiteral("memberLot")], "2", when});
    QVariantList cp = chequeParams({}, Line);
    cp[0] = k[QStringLiteral("lotCheque")];
    k[QStringLiteral("cheque")] = insert(c, InsertCheque, cp);

    const QString mov = QStringLiteral("insert into movimento (cod_associado, num_cod_movimento) "
                                       "values (?, ?) returning cod_movimento");
    k[QStringLiteral("movUsed")] = insert(c, mov, {k[QStringLiteral("memberMov")], "01"});
    k[QStringLiteral("movFree")] = insert(c, mov, {k[QStringLiteral("memberMov")], "02"});

    const QString dept =
        QStringLiteral("insert into departamento (cod_associado, nom_departamento) "
                       "values (?, ?) returning cod_departamento");
    k[QStringLiteral("deptUsed")] = insert(c, dept, {k[QStringLiteral("memberDept")], "Vendas"});
    k[QStringLiteral("deptFree")] = insert(c, dept, {k[QStringLiteral("memberDept")], "Compras"});

    const QString emp = QStringLiteral(
        "insert into funcionario (cod_associado, cod_departamento, cod_movimento, nom_funcionario) "
        "values (?, ?, ?, ?) returning cod_funcionario");
    k[QStringLiteral("empOfMember")] =
        insert(c, emp, {k[QStringLiteral("memberEmp")], QVariant(), QVariant(), "Ana"});
    k[QStringLiteral("empPaid")] = insert(
        c, emp, {QVariant(), k[QStringLiteral("deptUsed")], k[QStringLiteral("movUsed")], "Bia"});
    c.execute(QStringLiteral("insert into pagamento_funcionario (cod_funcionario, dat_geracao, "
                             "dat_pagamento, mes_referencia, vlr_salario) values (?, ?, ?, ?, ?)"),
              {k[QStringLiteral("empPaid")], QDate(2024, 3, 5), QDate(2024, 3, 6), "202403",
               Money::fromCents(150000).toVariant()});
    return k;
}

QVariantList resolve(const QVariantList& params, const QHash<QString, qint64>& keys) {
    QVariantList out;
    for (const QVariant& p : params) {
        const QString s = p.typeId() == QMetaType::QString ? p.toString() : QString();
        out << (s.startsWith(QLatin1Char('@')) ? QVariant(keys.value(s.mid(1))) : p);
    }
    return out;
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    void cleanupTestCase() { m_dbs.clear(); }
    void refusals_data();
    void refusals();
    void defaults_data();
    void defaults();
    void verify_data();
    void verify();
    void lotNumberIndex_data() { TestDb::addEngineRows(); }
    void lotNumberIndex();
    void nameOrder_data() { TestDb::addEngineRows(); }
    void nameOrder();
    void nameIndexes_data();
    void nameIndexes();

private:
    // One database per engine, shared by the cases: each case runs in a transaction that is
    // rolled back at its end, which keeps the run short on PostgreSQL.
    TestDb& shared(Engine e) {
        auto& db = m_dbs[e];
        if (!db)
            db = std::make_unique<TestDb>(e);
        return *db;
    }
    std::map<Engine, std::unique_ptr<TestDb>> m_dbs;
};

void TestSchema::refusals_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("params");
    QTest::addColumn<bool>("refused");

    const QString lot = QStringLiteral(
        "insert into lote_cheque (cod_associado, num_lote) values (?, ?) returning cod_lote");
    const auto del = [](const char* table, const char* key) {
        return QStringLiteral("delete from %1 where %2 = ?")
            .arg(QLatin1String(table), QLatin1String(key));
    };
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e) + QStringLiteral(": ");
        const auto row = [&](const QString& name, const QString& sql, const QVariantList& params,
                             bool refused) {
            QTest::newRow(qPrintable(n + name)) << e << sql << params << refused;
        };
        row("cheque: same line in the same lot", InsertCheque, chequeParams("@lotCheque", Line),
            true);
        row("cheque: same line in another lot", InsertCheque, chequeParams("@lotFree", Line), true);
        // Each of the nine groups is part of what makes a cheque the same cheque.
        for (int g = 0; g < 9; ++g) {
            QString other = Line;
            const int at = GroupStart[g] + GroupWidth[g] - 1;
            other[at] = QLatin1Char(other[at] == QLatin1Char('9') ? '8' : '9');
            row(QStringLiteral("cheque: line differing in %1").arg(QLatin1String(GroupColumn[g])),
                InsertCheque, chequeParams("@lotCheque", other), false);
        }
        row("cheque: unknown lot", InsertCheque, chequeParams("999999", Line.left(29) + "0"), true);
        row("lot: number already given", lot, {"@memberFree", "1"}, true);
        row("lot: next number", lot, {"@memberFree", "3"}, false);
        row("lot: without number", lot, {"@memberFree", QVariant()}, true);
        row("member: text wider than its column",
            QStringLiteral(
                "insert into associado (num_bancoob) values (?) returning cod_associado"),
            {"7560"}, true);
        row("employee: unknown department",
            QStringLiteral("insert into funcionario (cod_departamento) values (?) "
                           "returning cod_funcionario"),
            {"999999"}, true);

        row("delete member with a lot", del("associado", "cod_associado"), {"@memberLot"}, true);
        row("delete member with a movement code", del("associado", "cod_associado"), {"@memberMov"},
            true);
        row("delete member with a department", del("associado", "cod_associado"), {"@memberDept"},
            true);
        row("delete member with an employee", del("associado", "cod_associado"), {"@memberEmp"},
            true);
        row("delete member referred to by nothing", del("associado", "cod_associado"),
            {"@memberFree"}, false);
        row("delete lot with cheques", del("lote_cheque", "cod_lote"), {"@lotCheque"}, true);
        row("delete lot without cheques", del("lote_cheque", "cod_lote"), {"@lotFree"}, false);
        row("delete cheque", del("cheque", "cod_cheque"), {"@cheque"}, false);
        row("delete department with employees", del("departamento", "cod_departamento"),
            {"@deptUsed"}, true);
        row("delete department without employees", del("departamento", "cod_departamento"),
            {"@deptFree"}, false);
        row("delete movement code in use", del("movimento", "cod_movimento"), {"@movUsed"}, true);
        row("delete movement code not in use", del("movimento", "cod_movimento"), {"@movFree"},
            false);
        row("delete employee with payments", del("funcionario", "cod_funcionario"), {"@empPaid"},
            true);
        row("delete employee without payments", del("funcionario", "cod_funcionario"),
            {"@empOfMember"}, false);

        if (e == Engine::SQLite) {
            // PostgreSQL's types refuse these by themselves; on SQLite the checks do.
            const QString upd = QStringLiteral("update lote_cheque set %1 where cod_lote = ?");
            row("date text with a T", upd.arg("dat_lote = '2024-03-05T14:07:09'"), {"@lotFree"},
                true);
            row("date text without time", upd.arg("dat_gerado = '2024-03-05'"), {"@lotFree"}, true);
            row("date text in stored form", upd.arg("dat_gerado = '2024-03-05 00:00:00'"),
                {"@lotFree"}, false);
            row("flag other than 0 or 1", upd.arg("ind_gerado = 2"), {"@lotFree"}, true);
            row("money with a fraction",
                QStringLiteral("update cheque set vlr_cheque = 12.5 where cod_cheque = ?"),
                {"@cheque"}, true);
        }
    }
}

void TestSchema::refusals() {
    QFETCH(Engine, engine);
    QFETCH(QString, sql);
    QFETCH(QVariantList, params);
    QFETCH(bool, refused);

    TestDb& db = shared(engine);
    TransactionGuard tx(db.conn());
    const QHash<QString, qint64> keys = buildFixture(db.conn());
    QString error;
    try {
        if (sql.contains(QLatin1String("returning")))
            db.conn().insertReturning(sql, resolve(params, keys));
        else
            QCOMPARE(db.conn().execute(sql, resolve(params, keys)), 1);
    } catch (const DbError& e) {
        error = e.message();
    }
    QCOMPARE(!error.isEmpty(), refused);
}

void TestSchema::defaults_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("expected");

    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e) + QStringLiteral(": ");
        QTest::newRow(qPrintable(n + "member destination"))
            << e
            << QStringLiteral("insert into associado (nom_associado) values ('A') "
                              "returning cod_associado")
            << "select idt_dst_mov_bancoob from associado" << QVariant("03");
        const QString lot =
            QStringLiteral("insert into lote_cheque (num_lote) values ('1') returning cod_lote");
        QTest::newRow(qPrintable(n + "lot deposit or custody"))
            << e << lot << "select idt_dep_custodia from lote_cheque" << QVariant("D");
        QTest::newRow(qPrintable(n + "lot generated"))
            << e << lot << "select ind_gerado from lote_cheque" << QVariant(false);
        QTest::newRow(qPrintable(n + "cheque returned"))
            << e << lot << "select ind_devolvido from cheque" << QVariant(false);
    }
}

void TestSchema::defaults() {
    QFETCH(Engine, engine);
    QFETCH(QString, insert);
    QFETCH(QString, column);
    QFETCH(QVariant, expected);

    TestDb& db = shared(engine);
    TransactionGuard tx(db.conn());
    const QVariant key = db.conn().insertReturning(insert, {});
    if (column.contains(QLatin1String("from cheque")))
        db.conn().insertReturning(InsertCheque, [&] {
            QVariantList p = chequeParams({}, Line);
            p[0] = key;
            return p;
        }());
    const QVariant v = db.conn().selectValue(column);
    if (expected.typeId() == QMetaType::Bool)
        QCOMPARE(v.toBool(), expected.toBool());
    else
        QCOMPARE(v.toString(), expected.toString());
}

void TestSchema::verify_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("withSchema");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message");

    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e) + QStringLiteral(": ");
        QTest::newRow(qPrintable(n + "complete")) << e << true << QString() << QString();
        QTest::newRow(qPrintable(n + "empty database"))
            << e << false << QString() << "Tabela associado não encontrada no banco de dados.";
        QTest::newRow(qPrintable(n + "last table missing"))
            << e << true << "drop table pagamento_funcionario"
            << "Tabela pagamento_funcionario não encontrada no banco de dados.";
        QTest::newRow(qPrintable(n + "column missing"))
            << e << true << "alter table cheque drop column dat_2reapresentacao"
            << "Coluna cheque.dat_2reapresentacao não encontrada no banco de dados.";
        QTest::newRow(qPrintable(n + "column with a default missing"))
            << e << true << "alter table associado drop column idt_dst_mov_bancoob"
            << "Coluna associado.idt_dst_mov_bancoob não encontrada no banco de dados.";
    }
}

void TestSchema::verify() {
    QFETCH(Engine, engine);
    QFETCH(bool, withSchema);
    QFETCH(QString, damage);
    QFETCH(QString, message);

    std::unique_ptr<TestDb> empty;
    if (!withSchema)
        empty = std::make_unique<TestDb>(engine, false);
    TestDb& db = withSchema ? shared(engine) : *empty;
    TransactionGuard tx(db.conn());
    if (!damage.isEmpty())
        db.conn().execute(damage);
    QString error;
    try {
        Schema::verify(db.conn());
    } catch (const DbError& e) {
        error = e.message();
    }
    QCOMPARE(error, message);
}

void TestSchema::lotNumberIndex() {
    QFETCH(Engine, engine);
    TestDb& db = shared(engine);
    TransactionGuard tx(db.conn());
    // The numeric maximum of the lot numbers, as the capture screen asks for it.
    const QString max = QStringLiteral("select max(%1) from lote_cheque")
                            .arg(Dialect::castInteger(engine, QStringLiteral("num_lote")));
    QString plan;
    if (engine == Engine::SQLite) {
        for (const QVariantList& r :
             db.conn().select(QStringLiteral("explain query plan ") + max).rows)
            plan += r.last().toString() + QLatin1Char('\n');
    } else {
        db.conn().execute(QStringLiteral("set local enable_seqscan = off"));
        for (const QVariantList& r : db.conn().select(QStringLiteral("explain ") + max).rows)
            plan += r.first().toString() + QLatin1Char('\n');
    }
    QVERIFY2(plan.contains(QLatin1String("ix_lote_cheque_num_lote_valor")), qPrintable(plan));
}

namespace {
// The plan of a select, one line per step.
QString planOf(Connection& c, const QString& select) {
    QString plan;
    if (c.engine() == Engine::SQLite) {
        for (const QVariantList& r : c.select(QStringLiteral("explain query plan ") + select).rows)
            plan += r.last().toString() + QLatin1Char('\n');
    } else {
        for (const QVariantList& r : c.select(QStringLiteral("explain ") + select).rows)
            plan += r.first().toString() + QLatin1Char('\n');
    }
    return plan;
}
} // namespace

void TestSchema::nameOrder() {
    // Names read as a Brazilian reads them: letters first, case and accents ignored; then the
    // accents, then the case; the same order on both engines, whatever the server's locale.
    QFETCH(Engine, engine);
    TestDb& db = shared(engine);
    TransactionGuard tx(db.conn());
    const QStringList expected{"Ágata", "Agencia",   "agência",   "agua",     "Água",   "ÁGUA",
                               "alfa",  "Ana Maria", "Ana-Maria", "AnaMaria", "Beto",   "ca",
                               "Çá",    "Cb",        "D Avila",   "d'Ávila",  "Davila", "Zeta"};
    QStringList scrambled = expected;
    std::reverse(scrambled.begin(), scrambled.end());
    std::rotate(scrambled.begin(), scrambled.begin() + 7, scrambled.end());
    for (const QString& n : scrambled)
        db.conn().execute(QStringLiteral("insert into associado (nom_associado) values (?)"), {n});
    QStringList names;
    for (const QVariantList& r :
         db.conn()
             .select(QStringLiteral("select nom_associado from associado order by ") +
                     Dialect::byName(QStringLiteral("nom_associado")))
             .rows)
        names << r.first().toString();
    QCOMPARE(names, expected);
}

void TestSchema::nameIndexes_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("index");
    const auto byName = [](const char* c) { return Dialect::byName(QLatin1String(c)); };
    for (Engine e : TestDb::engines()) {
        const QString n = TestDb::engineName(e) + QStringLiteral(": ");
        QTest::newRow(qPrintable(n + "members"))
            << e << QStringLiteral("select * from associado order by ") + byName("nom_associado")
            << "ix_associado_nome";
        QTest::newRow(qPrintable(n + "departments"))
            << e
            << QStringLiteral("select * from departamento order by ") + byName("nom_departamento")
            << "ix_departamento_nome";
        QTest::newRow(qPrintable(n + "employees"))
            << e
            << QStringLiteral("select * from funcionario order by ") + byName("nom_funcionario")
            << "ix_funcionario_nome";
        QTest::newRow(qPrintable(n + "a member's employees"))
            << e
            << QStringLiteral("select * from funcionario where cod_associado = 1 order by ") +
                   byName("nom_funcionario")
            << "ix_funcionario_associado";
    }
}

void TestSchema::nameIndexes() {
    // The lists in the order of names read an index in that order, with no sort of their own.
    // PostgreSQL is told to shun whole-table reads and sorts, which a table this small would
    // take: what counts is that an index serves the order.
    QFETCH(Engine, engine);
    QFETCH(QString, select);
    QFETCH(QString, index);
    TestDb& db = shared(engine);
    TransactionGuard tx(db.conn());
    if (engine == Engine::PostgreSQL) {
        db.conn().execute(QStringLiteral("set local enable_seqscan = off"));
        db.conn().execute(QStringLiteral("set local enable_sort = off"));
    }
    const QString plan = planOf(db.conn(), select);
    QVERIFY2(plan.contains(index), qPrintable(plan));
    QVERIFY2(!plan.contains(QLatin1String("TEMP B-TREE")) && !plan.contains(QLatin1String("Sort")),
             qPrintable(plan));
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
