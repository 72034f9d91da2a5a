// The department screen: its save checks, the member lookup and the list.
#include "DialogScript.h"
#include "ScreenDriver.h"
#include "TestDb.h"
#include "registries/ufrmDepartamento.h"

#include <QTest>

class TestDepartamento : public QObject {
    Q_OBJECT
private slots:
    void saveChecks_data();
    void saveChecks();
    void editAndSave_data() { TestDb::addEngineRows(); }
    void editAndSave();
    void lookup_data() { TestDb::addEngineRows(); }
    void lookup();
};

void TestDepartamento::saveChecks_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("member");  // picked in the lookup box; empty: none
    QTest::addColumn<QString>("name");    // typed
    QTest::addColumn<QString>("message"); // empty: saved
    struct Case {
        const char *tag, *member, *name, *message;
    };
    const Case cases[] = {
        {"nothing", "", "", "Favor informar o associado!"},
        {"name without member", "", "Compras", "Favor informar o associado!"},
        {"member without name", "Beta", "", "Favor informar o nome do departamento!"},
        {"blank name", "Beta", "   ", "Favor informar o nome do departamento!"},
        {"member and name", "Beta", "Compras", ""},
        {"name with blanks kept", "Alfa", " RH ", ""},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.member) << QString(c.name) << QString(c.message);
}

void TestDepartamento::saveChecks() {
    QFETCH(Engine, engine);
    QFETCH(QString, member);
    QFETCH(QString, name);
    QFETCH(QString, message);
    TestDb db(engine);
    const int alfa = drv::insertMember(db.conn(), "Alfa");
    const int beta = drv::insertMember(db.conn(), "Beta");
    TfrmDepartamento w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    w.btnInserir->click();
    QCOMPARE(w.focusWidget(), w.RxDBLookupCombo1); // insert does not move the focus
    if (!member.isEmpty())
        QVERIFY(drv::pick(w.RxDBLookupCombo1, member));
    drv::typeInto(w.DBEdit1, name);

    DialogScript s;
    if (!message.isEmpty())
        s.box("Atenção", message);
    w.btnSalvar->click();
    VERIFY_SCRIPT(s);
    const int stored = db.conn().selectValue("SELECT count(*) FROM departamento").toInt();
    Dataset* q = w.dtmDepartamento->qryDepartamento;
    if (!message.isEmpty()) {
        // Stopped at the first failing check: nothing written, the typed values still there.
        QCOMPARE(s.seen().size(), 1);
        QCOMPARE(stored, 0);
        QCOMPARE(q->state(), Dataset::State::Insert);
        QCOMPARE(w.DBEdit1->text(), name);
        QCOMPARE(w.RxDBLookupCombo1->currentText(), member);
        QCOMPARE(w.focusWidget(), w.DBEdit1);
        QCOMPARE(drv::enabledButtons(&w),
                 QString("Cancelar Salvar Primeiro Anterior Próximo Último"));
        return;
    }
    QCOMPARE(stored, 1);
    const ResultSet rs =
        db.conn().select("SELECT cod_associado, nom_departamento FROM departamento");
    QCOMPARE(rs.rows.first().at(0).toInt(), member == "Alfa" ? alfa : beta);
    QCOMPARE(rs.rows.first().at(1).toString(), name);
    QCOMPARE(q->state(), Dataset::State::Browse);
    QCOMPARE(drv::enabledButtons(&w),
             QString("Inserir Pesquisar Excluir Primeiro Anterior Próximo Último"));
    QCOMPARE(w.focusWidget(), w.DBEdit1); // the focus stays where it was
    QCOMPARE(w.RxDBGrid1->model()->index(0, 0).data().toString(), member);
    QCOMPARE(w.RxDBGrid1->model()->index(0, 1).data().toString(), name);
}

void TestDepartamento::editAndSave() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    const int alfa = drv::insertMember(db.conn(), "Alfa");
    const int beta = drv::insertMember(db.conn(), "Beta");
    drv::insertDepartment(db.conn(), alfa, "Vendas");
    const int compras = drv::insertDepartment(db.conn(), alfa, "Compras");
    TfrmDepartamento w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    QCOMPARE(w.DBEdit1->text(), QString("Compras"));
    // Moving the department to another member and renaming it.
    QVERIFY(drv::pick(w.RxDBLookupCombo1, "Beta"));
    QCOMPARE(w.dtmDepartamento->qryDepartamento->state(), Dataset::State::Edit);
    drv::typeInto(w.DBEdit1, " e Suprimentos");
    DialogScript s;
    w.btnSalvar->click();
    VERIFY_SCRIPT(s);
    const ResultSet rs = db.conn().select(
        "SELECT cod_associado, nom_departamento FROM departamento WHERE cod_departamento = ?",
        {compras});
    QCOMPARE(rs.rows.first().at(0).toInt(), beta);
    QCOMPARE(rs.rows.first().at(1).toString(), QString("Compras e Suprimentos"));
}

void TestDepartamento::lookup() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    const int zeta = drv::insertMember(db.conn(), "Zeta");
    const int alfa = drv::insertMember(db.conn(), "Alfa");
    drv::insertDepartment(db.conn(), zeta, "Vendas");
    drv::insertDepartment(db.conn(), alfa, "Vendas");
    drv::insertDepartment(db.conn(), zeta, "Almoxarifado");
    TfrmDepartamento w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    // Listed by department name, the member's name beside it; same names side by side.
    QAbstractItemModel* m = w.RxDBGrid1->model();
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QString("Associado"));
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QString("Departamento"));
    QStringList rows;
    for (int r = 0; r < m->rowCount(); ++r)
        rows << m->index(r, 0).data().toString() + "/" + m->index(r, 1).data().toString();
    QCOMPARE(rows.join(','), QString("Zeta/Almoxarifado,Zeta/Vendas,Alfa/Vendas"));
    // The box shows the current department's member, and lists the members by name.
    QCOMPARE(w.RxDBLookupCombo1->currentText(), QString("Zeta"));
    QStringList offered;
    for (int i = 0; i < w.RxDBLookupCombo1->count(); ++i)
        offered << w.RxDBLookupCombo1->itemText(i);
    QCOMPARE(offered.join(','), QString("Alfa,Zeta"));
    drv::clickRow(w.RxDBGrid1, 2);
    QCOMPARE(w.RxDBLookupCombo1->currentText(), QString("Alfa"));

    // A member added elsewhere is offered at the next opening.
    drv::insertMember(db.conn(), "Meio");
    w.hide();
    QVERIFY(drv::showScreen(&w));
    QCOMPARE(w.RxDBLookupCombo1->count(), 3);
    QCOMPARE(w.RxDBLookupCombo1->itemText(1), QString("Meio"));
}

QTEST_MAIN(TestDepartamento)
#include "tst_departamento.moc"
