// The employee screen: its save checks, the lookups that narrow to the chosen member, the
// salary typed in the Brazilian form and kept exact, the date boxes and the list.
#include "DialogScript.h"
#include "ScreenDriver.h"
#include "TestDb.h"
#include "platform/data/DateCodec.h"
#include "registries/ufrmFuncionario.h"

#include <QTest>

Q_DECLARE_METATYPE(Dialogs::Button)

using Dialogs::Button;
using Dialogs::Kind;

namespace {

const QString Cpf = QStringLiteral("52998224725"); // check digits right

// Alfa with the departments Compras and RH and the codes 01 and 02; Beta with Vendas and 05.
struct Fixture {
    Fixture(Engine e, bool employee) : db(e) {
        Connection& c = db.conn();
        alfa = drv::insertMember(c, "Alfa");
        beta = drv::insertMember(c, "Beta");
        drv::insertDepartment(c, alfa, "RH");
        drv::insertDepartment(c, alfa, "Compras");
        vendas = drv::insertDepartment(c, beta, "Vendas");
        code(alfa, "02", "Adiantamento Alfa");
        code(alfa, "01", "Folha Alfa");
        folhaBeta = code(beta, "05", "Folha Beta");
        if (employee)
            c.execute("INSERT INTO funcionario (cod_associado, cod_departamento, cod_movimento, "
                      "nom_funcionario, num_cpf, dat_admissao, vlr_salario, num_cc_bancoob) "
                      "VALUES (?, ?, ?, 'Joao', ?, ?, ?, '4455')",
                      {beta, vendas, folhaBeta, Cpf, QDate(2020, 1, 2),
                       Money::fromCents(123456).toVariant()});
        screen = std::make_unique<TfrmFuncionario>(&db.conn());
    }
    int code(int member, const QString& num, const QString& text) {
        return db.conn()
            .insertReturning("INSERT INTO movimento (cod_associado, num_cod_movimento, "
                             "dsc_movimento) VALUES (?, ?, ?) RETURNING cod_movimento",
                             {member, num, text})
            .toInt();
    }
    TfrmFuncionario* w() const { return screen.get(); }
    Dataset* q() const { return screen->dtmFuncionario->qryFuncionario; }
    TestDb db;
    int alfa = 0, beta = 0, vendas = 0, folhaBeta = 0;
    std::unique_ptr<TfrmFuncionario> screen;
};

QStringList entries(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// Drops the list down as the operator does (F4), notes what it offers, closes it.
QStringList dropDown(QComboBox* box) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F4);
    const QStringList offered = entries(box);
    box->hidePopup();
    return offered;
}

void typeDate(DbDateEdit* box, const QString& digits) {
    box->setFocus();
    box->setCursorPosition(0);
    QTest::keyClicks(box, digits);
}

// Everything the save checks ask for.
void fillRequired(TfrmFuncionario* w, const QString& name) {
    drv::typeInto(w->DBEdit1, name);
    drv::typeInto(w->DBEdit2, Cpf);
    typeDate(w->DBDateEdit3, "01022024");
    drv::typeInto(w->DBEdit4, "1.500,00");
    drv::typeInto(w->DBEdit5, "778899");
}

} // namespace

class TestFuncionario : public QObject {
    Q_OBJECT
private slots:
    void enabling_data();
    void enabling();
    void saveChecks_data();
    void saveChecks();
    void lookups_data();
    void lookups();
    void salary_data();
    void salary();
    void dates_data() { TestDb::addEngineRows(); }
    void dates();
    void cpfBox();
    void longerStoredCpf();
    void list_data() { TestDb::addEngineRows(); }
    void list();
    void listReadable();
    void refusedDelete_data();
    void refusedDelete();
};

void TestFuncionario::enabling_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("employee");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("buttons");
    struct Case {
        const char* tag;
        bool employee;
        const char *script, *buttons;
    };
    const Case cases[] = {
        {"empty table", false, "", "Inserir Pesquisar"},
        {"one employee", true, "", "Inserir Pesquisar Excluir Próximo Último"},
        {"insert", true, "ins", "Cancelar Salvar Primeiro Anterior Próximo Último"},
        {"insert, cancel", true, "ins can",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último"},
        {"typing edits", true, "type", "Cancelar Salvar Próximo Último"},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << c.employee << QString(c.script) << QString(c.buttons);
}

void TestFuncionario::enabling() {
    QFETCH(Engine, engine);
    QFETCH(bool, employee);
    QFETCH(QString, script);
    QFETCH(QString, buttons);
    Fixture f(engine, employee);
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    QCOMPARE(w->focusWidget(), w->RxDBLookupCombo1);
    for (const QString& op : script.split(' ', Qt::SkipEmptyParts)) {
        if (op == "ins")
            w->btnInserir->click();
        else if (op == "can")
            w->btnCancelar->click();
        else if (op == "type")
            drv::typeInto(w->DBEdit3, "x");
    }
    QCOMPARE(drv::enabledButtons(w), buttons);
    // Inserting does not move the focus.
    QCOMPARE(w->focusWidget(), script == "type" ? (QWidget*)w->DBEdit3 : w->RxDBLookupCombo1);
}

void TestFuncionario::saveChecks_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("admission"); // digits typed into the date box
    QTest::addColumn<QString>("salary");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("cpf");
    QTest::addColumn<QString>("message"); // empty: saved
    struct Case {
        const char *tag, *name, *admission, *salary, *account, *cpf, *message;
    };
    const QByteArray cpf = Cpf.toLatin1();
    const char* noAdmission = "Favor informar a data de admissão do funcionário!";
    const char* noSalary = "Favor informar o salário do funcionário!";
    const char* noAccount =
        "Favor informar o número da conta do\n\rfuncionário para crédito do salário!";
    const char* length = "O número informado não corresponde a um Cpf!";
    const char* digits = "O Cpf informado é inválido!";
    const Case cases[] = {
        {"nothing", "", "", "", "", "", "Favor informar o nome do funcionário!"},
        {"blank name", "  ", "01022024", "10,00", "1", cpf,
         "Favor informar o nome do funcionário!"},
        {"no admission", "Ana", "", "10,00", "1", cpf, noAdmission},
        // A date left half typed is never saved as no date.
        {"admission half typed", "Ana", "0102", "10,00", "1", cpf,
         "Data inválida no campo Admissão!"},
        {"no salary", "Ana", "01022024", "", "1", cpf, noSalary},
        {"no account", "Ana", "01022024", "10,00", "", cpf, noAccount},
        {"no cpf", "Ana", "01022024", "10,00", "1", "", length},
        {"cpf of 10", "Ana", "01022024", "10,00", "1", "5299822472", length},
        {"cpf wrong digit", "Ana", "01022024", "10,00", "1", "52998224724", digits},
        {"cpf all zeros", "Ana", "01022024", "10,00", "1", "00000000000", digits},
        {"all right", "Ana", "01022024", "10,00", "1", cpf, ""},
        {"salary of zero", "Ana", "01022024", "0,00", "1", cpf, ""},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.name) << QString(c.admission) << QString(c.salary)
                << QString(c.account) << QString(c.cpf) << QString::fromUtf8(c.message);
}

void TestFuncionario::saveChecks() {
    QFETCH(Engine, engine);
    QFETCH(QString, name);
    QFETCH(QString, admission);
    QFETCH(QString, salary);
    QFETCH(QString, account);
    QFETCH(QString, cpf);
    QFETCH(QString, message);
    Fixture f(engine, true);
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    w->btnInserir->click();
    drv::typeInto(w->DBEdit1, name);
    drv::typeInto(w->DBEdit2, cpf);
    typeDate(w->DBDateEdit3, admission);
    drv::typeInto(w->DBEdit4, salary);
    drv::typeInto(w->DBEdit5, account);
    QWidget* focused = w->focusWidget();

    DialogScript s;
    if (!message.isEmpty())
        s.box("Atenção", message);
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    const int stored = f.db.conn().selectValue("SELECT count(*) FROM funcionario").toInt();
    if (!message.isEmpty()) {
        QCOMPARE(stored, 1);
        QCOMPARE(f.q()->state(), Dataset::State::Insert);
        QCOMPARE(w->DBEdit1->text(), name);
        QCOMPARE(w->DBEdit2->text(), cpf);
        QCOMPARE(w->DBEdit4->text(), salary);
        QCOMPARE(w->DBEdit5->text(), account);
        // A half-typed date takes the focus back, its text kept for correction.
        if (message.startsWith("Data inválida")) {
            QCOMPARE(w->focusWidget(), static_cast<QWidget*>(w->DBDateEdit3));
            QCOMPARE(w->DBDateEdit3->displayText(), QString("01/02/    "));
        } else {
            QCOMPARE(w->focusWidget(), focused);
        }
        return;
    }
    QCOMPARE(stored, 2);
    QCOMPARE(f.q()->state(), Dataset::State::Browse);
    QCOMPARE(w->focusWidget(), w->RxDBLookupCombo1);
    QCOMPARE(f.db.conn()
                 .selectValue("SELECT num_cpf FROM funcionario WHERE nom_funcionario = ?", {name})
                 .toString(),
             cpf);
}

void TestFuncionario::lookups_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("employee");  // Beta's employee current before the insert
    QTest::addColumn<QString>("member"); // picked; empty: none
    QTest::addColumn<QString>("departments");
    QTest::addColumn<QString>("codes");
    QTest::addColumn<bool>("save"); // else cancel
    struct Case {
        const char* tag;
        bool employee;
        const char *member, *departments, *codes;
        bool save;
    };
    const Case cases[] = {
        {"Alfa, saved", true, "Alfa", "Compras,RH", "Folha Alfa,Adiantamento Alfa", true},
        {"Alfa, cancelled", true, "Alfa", "Compras,RH", "Folha Alfa,Adiantamento Alfa", false},
        {"Beta, saved", false, "Beta", "Vendas", "Folha Beta", true},
        {"no member: the one shown last", true, "", "Vendas", "Folha Beta", false},
        {"no member on an empty list: the first", false, "", "Compras,RH",
         "Folha Alfa,Adiantamento Alfa", false},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << c.employee << QString(c.member) << QString(c.departments)
                << QString(c.codes) << c.save;
}

void TestFuncionario::lookups() {
    QFETCH(Engine, engine);
    QFETCH(bool, employee);
    QFETCH(QString, member);
    QFETCH(QString, departments);
    QFETCH(QString, codes);
    QFETCH(bool, save);
    Fixture f(engine, employee);
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    const QString allDepartments = "Compras,RH,Vendas";
    const QString allCodes = "Folha Alfa,Adiantamento Alfa,Folha Beta";
    QCOMPARE(entries(w->RxDBLookupCombo2).join(','), allDepartments);
    QCOMPARE(entries(w->RxDBLookupCombo3).join(','), allCodes);

    w->btnInserir->click();
    if (!member.isEmpty())
        QVERIFY(drv::pick(w->RxDBLookupCombo1, member));
    QCOMPARE(entries(w->RxDBLookupCombo2).join(','), allDepartments); // not before dropping
    QCOMPARE(dropDown(w->RxDBLookupCombo2).join(','), departments);
    QCOMPARE(dropDown(w->RxDBLookupCombo3).join(','), codes);
    // Chosen from the narrowed lists.
    const QString department = departments.section(',', -1);
    const QString code = codes.section(',', -1);
    QVERIFY(drv::pick(w->RxDBLookupCombo2, department));
    QVERIFY(drv::pick(w->RxDBLookupCombo3, code));
    QCOMPARE(entries(w->RxDBLookupCombo2).join(','), departments); // until saved or cancelled

    DialogScript s;
    if (save) {
        fillRequired(w, "Novo");
        w->btnSalvar->click();
    } else {
        w->btnCancelar->click();
    }
    VERIFY_SCRIPT(s);
    QCOMPARE(entries(w->RxDBLookupCombo2).join(','), allDepartments);
    QCOMPARE(entries(w->RxDBLookupCombo3).join(','), allCodes);
    if (!save)
        return;
    const ResultSet rs = f.db.conn().select(
        "SELECT a.nom_associado, d.nom_departamento, m.dsc_movimento FROM funcionario f "
        "JOIN associado a ON a.cod_associado = f.cod_associado "
        "JOIN departamento d ON d.cod_departamento = f.cod_departamento "
        "JOIN movimento m ON m.cod_movimento = f.cod_movimento WHERE f.nom_funcionario = 'Novo'");
    QCOMPARE(rs.rows.size(), 1);
    QCOMPARE(rs.rows.first().at(0).toString(), member);
    QCOMPARE(rs.rows.first().at(1).toString(), department);
    QCOMPARE(rs.rows.first().at(2).toString(), code);
    // Shown with all members' rows again.
    QCOMPARE(w->RxDBLookupCombo2->currentText(), department);
    QCOMPARE(w->RxDBLookupCombo3->currentText(), code);
}

void TestFuncionario::salary_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qlonglong>("units"); // ten-thousandths stored
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("beeps");
    struct Case {
        const char *tag, *typed;
        qlonglong units;
        const char* shown;
        int beeps;
    };
    const Case cases[] = {
        {"thousands and cents", "1.234,56", 12345600, "1.234,56", 0},
        {"29 centavos", "0,29", 2900, "0,29", 0},
        {"no dots", "1234,5", 12345000, "1.234,50", 0},
        {"whole", "1000000", 10000000000LL, "1.000.000,00", 0},
        {"comma first", ",07", 700, "0,07", 0},
        {"third decimal refused", "12,345", 123400, "12,34", 1},
        {"letters refused", "8a0,0b1", 800100, "80,01", 2},
        // A decimal point never multiplies the amount by a hundred.
        {"point as the decimal separator", "1500.50", 15005000, "1.500,50", 0},
        {"thousands point", "1.500,50", 15005000, "1.500,50", 0},
        {"second comma refused", ",,23", 2300, "0,23", 1},
        {"sign refused", "-10", 100000, "10,00", 1},
        {"largest amount", "999999999,99", 9999999999900LL, "999.999.999,99", 0},
        {"tenth digit refused", "9999999999", 9999999990000LL, "999.999.999,00", 1},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.typed) << c.units << QString(c.shown) << c.beeps;
}

void TestFuncionario::salary() {
    QFETCH(Engine, engine);
    QFETCH(QString, typed);
    QFETCH(qlonglong, units);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    Fixture f(engine, true);
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    QCOMPARE(w->DBEdit4->text(), QString("1.234,56"));
    DialogScript s;
    drv::typeInto(w->DBEdit4, typed, true);
    QCOMPARE(s.beeps(), beeps);
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(f.db.conn().selectValue("SELECT vlr_salario FROM funcionario").toLongLong(), units);
    QCOMPARE(w->DBEdit4->text(), shown);
    const int column = w->RxDBGrid1->columns().indexOf("vlr_salario");
    QCOMPARE(w->RxDBGrid1->model()->index(0, column).data().toString(), shown);
    // Read back afresh.
    QTest::keyClick(w->DBEdit1, Qt::Key_Escape);
    QVERIFY(drv::showScreen(w));
    QCOMPARE(w->DBEdit4->text(), shown);
}

void TestFuncionario::dates() {
    QFETCH(Engine, engine);
    Fixture f(engine, true);
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    QCOMPARE(w->DBDateEdit3->displayText(), QString("02/01/2020"));
    QCOMPARE(w->DBDateEdit2->displayText(), DateCodec::EmptyMask);
    QCOMPARE(w->DBDateEdit1->displayText(), DateCodec::EmptyMask);

    w->btnInserir->click();
    QCOMPARE(w->DBDateEdit3->displayText(), DateCodec::EmptyMask);
    fillRequired(w, "Nova");
    typeDate(w->DBDateEdit2, "29021988");
    typeDate(w->DBDateEdit1, "31122024");
    DialogScript s;
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    const ResultSet rs = f.db.conn().select("SELECT dat_nascimento, dat_admissao, dat_demissao "
                                            "FROM funcionario WHERE nom_funcionario = 'Nova'");
    QCOMPARE(rs.rows.size(), 1);
    QCOMPARE(DateCodec::fromDb(rs.rows.first().at(0)), QDateTime(QDate(1988, 2, 29), QTime()));
    QCOMPARE(DateCodec::fromDb(rs.rows.first().at(1)), QDateTime(QDate(2024, 2, 1), QTime()));
    QCOMPARE(DateCodec::fromDb(rs.rows.first().at(2)), QDateTime(QDate(2024, 12, 31), QTime()));

    // A dismissal typed with a two-digit year is refused, never stored as no date.
    w->DBDateEdit1->setFocus();
    w->DBDateEdit1->selectAll();
    QTest::keyClick(w->DBDateEdit1, Qt::Key_Backspace);
    typeDate(w->DBDateEdit1, "251220");
    s.box("Atenção", "Data inválida no campo Demissão!");
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(w->DBDateEdit1->displayText(), QString("25/12/20  "));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->DBDateEdit1));
    QCOMPARE(DateCodec::fromDb(f.db.conn().selectValue(
                 "SELECT dat_demissao FROM funcionario WHERE nom_funcionario = 'Nova'")),
             QDateTime(QDate(2024, 12, 31), QTime()));
    // A half-typed salary likewise.
    w->DBDateEdit1->setCursorPosition(0);
    QTest::keyClicks(w->DBDateEdit1, "31122024");
    drv::typeInto(w->DBEdit4, "2.5", true);
    s.box("Atenção", "Valor inválido no campo Salário!");
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->DBEdit4));
    QCOMPARE(f.db.conn()
                 .selectValue("SELECT vlr_salario FROM funcionario WHERE nom_funcionario = 'Nova'")
                 .toLongLong(),
             qlonglong(15000000));
    drv::typeInto(w->DBEdit4, "1.500", true);

    // The dismissal emptied again stores no date.
    w->DBDateEdit1->setFocus();
    w->DBDateEdit1->selectAll();
    QTest::keyClick(w->DBDateEdit1, Qt::Key_Backspace);
    QCOMPARE(w->DBDateEdit1->displayText(), DateCodec::EmptyMask);
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    QVERIFY(f.db.conn()
                .selectValue("SELECT dat_demissao FROM funcionario WHERE nom_funcionario = 'Nova'")
                .isNull());
    const int column = w->RxDBGrid1->columns().indexOf("dat_nascimento");
    QCOMPARE(w->RxDBGrid1->model()->index(f.q()->currentRow(), column).data().toString(),
             QString("29/02/1988"));
}

void TestFuncionario::cpfBox() {
    Fixture f(Engine::SQLite, true);
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    DialogScript s;
    drv::typeInto(w->DBEdit2, "5a29.98-2247 2599", true);
    QCOMPARE(w->DBEdit2->text(), Cpf); // digits only, at most 11
    QCOMPARE(s.beeps(), 4);
    QTest::keyClick(w->DBEdit2, Qt::Key_Backspace);
    QCOMPARE(w->DBEdit2->text(), Cpf.chopped(1));
    QCOMPARE(s.beeps(), 4);
    QCOMPARE(f.q()->asString("num_cpf"), Cpf.chopped(1));
    VERIFY_SCRIPT(s);
}

// The CPF box takes 11 digits; a longer number the column holds is shown whole and kept.
void TestFuncionario::longerStoredCpf() {
    Fixture f(Engine::SQLite, true);
    f.db.conn().execute("UPDATE funcionario SET num_cpf = '12345678901234'");
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    QCOMPARE(w->DBEdit2->text(), QString("12345678901234"));
    drv::typeInto(w->DBEdit2, "5");
    QCOMPARE(w->DBEdit2->text(), QString("12345678901234"));
    QCOMPARE(f.q()->asString("num_cpf"), QString("12345678901234"));
}

void TestFuncionario::list() {
    QFETCH(Engine, engine);
    Fixture f(engine, true);
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    const QAbstractItemModel* m = w->RxDBGrid1->model();
    QStringList titles, row;
    for (int c = 0; c < m->columnCount(); ++c) {
        titles << m->headerData(c, Qt::Horizontal).toString();
        row << m->index(0, c).data().toString();
    }
    QCOMPARE(titles.join('|'), QString("Associado|Departamento|Nome|Cpf|Nascimento|Identidade|"
                                       "Admissão|Demissão|Salário|Nº conta|Cód. movimento"));
    // The movement column shows the description, not the code.
    QCOMPARE(row.join('|'),
             QString("Beta|Vendas|Joao|%1|||02/01/2020||1.234,56|4455|Folha Beta").arg(Cpf));
    QCOMPARE(w->RxDBLookupCombo1->currentText(), QString("Beta"));
    QCOMPARE(w->RxDBLookupCombo2->currentText(), QString("Vendas"));
    QCOMPARE(w->RxDBLookupCombo3->currentText(), QString("Folha Beta"));
}

// Every column shows its title and its longest text whole, however long the names are.
void TestFuncionario::listReadable() {
    Fixture f(Engine::SQLite, true);
    f.db.conn().execute("UPDATE associado SET nom_associado = "
                        "'Cooperativa dos Produtores Rurais do Vale' WHERE cod_associado = ?",
                        {f.beta});
    f.db.conn().execute("UPDATE movimento SET dsc_movimento = 'Folha de pagamento mensal "
                        "da matriz' WHERE cod_movimento = ?",
                        {f.folhaBeta});
    f.db.conn().execute("UPDATE funcionario SET nom_funcionario = "
                        "'Maria Aparecida dos Santos Nogueira'");
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    DbGrid* g = w->RxDBGrid1;
    const QAbstractItemModel* m = g->model();
    const QFontMetrics fm(g->font());
    for (int c = 0; c < m->columnCount(); ++c) {
        const QString title = m->headerData(c, Qt::Horizontal).toString();
        const QString text = m->index(0, c).data().toString();
        const int need = qMax(fm.horizontalAdvance(title), fm.horizontalAdvance(text));
        QVERIFY2(g->columnWidth(c) > need, qPrintable(title));
    }
    if (!qEnvironmentVariableIsEmpty("CAP_SHOT"))
        w->grab().save(qEnvironmentVariable("CAP_SHOT"));
}

void TestFuncionario::refusedDelete_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("paid");
    for (Engine e : TestDb::engines()) {
        QTest::newRow(qPrintable(TestDb::engineName(e) + ": never paid")) << e << false;
        QTest::newRow(qPrintable(TestDb::engineName(e) + ": paid")) << e << true;
    }
}

void TestFuncionario::refusedDelete() {
    QFETCH(Engine, engine);
    QFETCH(bool, paid);
    Fixture f(engine, true);
    if (paid)
        f.db.conn().execute("INSERT INTO pagamento_funcionario (cod_funcionario, dat_geracao, "
                            "dat_pagamento, mes_referencia) SELECT cod_funcionario, ?, ?, "
                            "'202401' FROM funcionario",
                            {QDate(2024, 1, 5), QDate(2024, 1, 5)});
    TfrmFuncionario* w = f.w();
    QVERIFY(drv::showScreen(w));
    DialogScript s;
    s.dlg(Kind::Confirmation, "Tem certeza de que deseja excluir o registro?", Button::Yes);
    if (paid)
        s.box("Atenção", "Não é possível excluir o registro, pois existem outros registros "
                         "vinculados a ele!");
    w->btnExcluir->click();
    VERIFY_SCRIPT(s);
    const int left = paid ? 1 : 0;
    QCOMPARE(f.db.conn().selectValue("SELECT count(*) FROM funcionario").toInt(), left);
    QCOMPARE(f.q()->recordCount(), left);
    QCOMPARE(w->DBEdit1->text(), QString(paid ? "Joao" : ""));
}

QTEST_MAIN(TestFuncionario)
#include "tst_funcionario.moc"
