// The member screen: its save checks, the number box (its length limit and a company's letters),
// the digits-only boxes, and the movement codes of the current member edited in their own list.
#include "DialogScript.h"
#include "ScreenDriver.h"
#include "TestDb.h"
#include "platform/widgets/Colors.h"
#include "registries/ufrmAssociado.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

Q_DECLARE_METATYPE(Dialogs::Button)

using Dialogs::Button;
using Dialogs::Kind;

namespace {

const QString Confirm = QStringLiteral("Tem certeza de que deseja excluir o registro?");
const QString Linked = QStringLiteral(
    "Não é possível excluir o registro, pois existem outros registros vinculados a ele!");
const QString Cpf = QStringLiteral("52998224725");     // check digits right
const QString Cnpj = QStringLiteral("11222333000181"); // check digits right

int insertMember(Connection& c, const QString& name, const QString& number = {}) {
    return c
        .insertReturning("INSERT INTO associado (nom_associado, idt_tpo_associado, num_cgc_cpf, "
                         "num_bancoob, num_ag_bancoob) VALUES (?, 'J', ?, '756', '3001') "
                         "RETURNING cod_associado",
                         {name, number.isEmpty() ? Cnpj : number})
        .toInt();
}

int insertMovement(Connection& c, int member, const QString& code, const QString& text) {
    return c
        .insertReturning("INSERT INTO movimento (cod_associado, num_cod_movimento, dsc_movimento) "
                         "VALUES (?, ?, ?) RETURNING cod_movimento",
                         {member, code, text})
        .toInt();
}

// Members "Alfa", "Beta", "Gama" (as many as asked), Alfa with codes 01 and 02, Beta with 05.
struct Fixture {
    Fixture(Engine e, int members) : db(e) {
        const char* names[] = {"Alfa", "Beta", "Gama"};
        for (int i = 0; i < members; ++i)
            codes << insertMember(db.conn(), names[i]);
        if (members > 0) {
            insertMovement(db.conn(), codes[0], "01", "Folha");
            insertMovement(db.conn(), codes[0], "02", "Adiantamento");
        }
        if (members > 1)
            insertMovement(db.conn(), codes[1], "05", "Pro-labore");
        screen = std::make_unique<TfrmAssociado>(&db.conn());
    }
    TfrmAssociado* w() const { return screen.get(); }
    Dataset* members() const { return screen->dtmAssociado->qryAssociado; }
    Dataset* movements() const { return screen->dtmAssociado->qryMovimento; }
    // "code description" of the movement rows the list shows.
    QStringList listed() const {
        QStringList out;
        const QAbstractItemModel* m = screen->RxDBGrid1->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 0).data().toString() + ' ' + m->index(r, 1).data().toString();
        return out;
    }
    // "member:code description" of the stored movement rows.
    QStringList stored() {
        QStringList out;
        for (const QVariantList& r :
             db.conn()
                 .select("SELECT a.nom_associado, m.num_cod_movimento, m.dsc_movimento FROM "
                         "movimento m JOIN associado a ON a.cod_associado = m.cod_associado "
                         "ORDER BY 1, 2")
                 .rows)
            out << r[0].toString() + ':' + r[1].toString() + ' ' + r[2].toString();
        return out;
    }
    TestDb db;
    QList<int> codes;
    std::unique_ptr<TfrmAssociado> screen;
};

// The movement area as "on|off Cancelar Excluir Salvar" (the enabled buttons only).
QString movementArea(const TfrmAssociado* w) {
    QStringList s{w->RxDBGrid1->isEnabled() ? "on" : "off"};
    for (const QToolButton* b : {w->btnCancelarMV, w->btnExcluirMV, w->btnSalvarMV})
        if (b->isEnabled())
            s << b->toolTip();
    return s.join(' ');
}

// Keys typed where the focus is (into a cell editor once the first key opened it).
void keysHere(const QString& text) {
    for (QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), char(c.unicode()));
}

// Makes a cell of the movement list current and types into it.
void typeInCell(TfrmAssociado* w, int row, int column, const QString& text) {
    w->RxDBGrid1->setFocus();
    w->RxDBGrid1->setCurrentIndex(w->RxDBGrid1->model()->index(row, column));
    keysHere(text);
}

// Runs gestures separated by blanks: ins can sal pro ult (member toolbar), type:TEXT (into
// DBEdit1), row:N (click a member), cell:R:C:TEXT (type into a movement cell), mvins (the
// Insert key in the movement list), mvcan mvsal (movement toolbar).
void run(TfrmAssociado* w, const QString& script) {
    for (const QString& op : script.split(' ', Qt::SkipEmptyParts)) {
        const QString name = op.section(':', 0, 0);
        if (drv::toolbar(w, name))
            continue;
        if (name == "type")
            drv::typeInto(w->DBEdit1, op.section(':', 1));
        else if (name == "row")
            drv::clickRow(w->RxDBGrid2, op.section(':', 1).toInt());
        else if (name == "cell")
            typeInCell(w, op.section(':', 1, 1).toInt(), op.section(':', 2, 2).toInt(),
                       op.section(':', 3));
        else if (name == "mvins") {
            w->RxDBGrid1->setFocus();
            QTest::keyClick(w->RxDBGrid1, Qt::Key_Insert);
        } else if (name == "mvcan")
            w->btnCancelarMV->click();
        else if (name == "mvsal")
            w->btnSalvarMV->click();
        else
            qFatal("unknown op %s", qPrintable(op));
    }
}

} // namespace

class TestAssociado : public QObject {
    Q_OBJECT
private slots:
    void enabling_data();
    void enabling();
    void newMember_data() { TestDb::addEngineRows(); }
    void newMember();
    void saveChecks_data();
    void saveChecks();
    void digitsOnly_data();
    void digitsOnly();
    void numberLimit_data();
    void numberLimit();
    void numberLimitKept_data() { TestDb::addEngineRows(); }
    void numberLimitKept();
    void longerStoredValues_data();
    void longerStoredValues();
    void movementRows_data() { TestDb::addEngineRows(); }
    void movementRows();
    void movementDroppedOnMove_data() { TestDb::addEngineRows(); }
    void movementDroppedOnMove();
    void movementDelete_data();
    void movementDelete();
    void refusedDelete_data();
    void refusedDelete();
    void tabOrder();
    void companyLetters_data();
    void companyLetters();
    void companyLettersSaved_data();
    void companyLettersSaved();
    void companyLettersPasted_data();
    void companyLettersPasted();
};

void TestAssociado::enabling_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<int>("members");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<QString>("area");
    struct Case {
        const char* tag;
        int members;
        const char *script, *buttons, *area;
    };
    const char* all = "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último";
    const Case cases[] = {
        {"empty table", 0, "", "Inserir Pesquisar", "off"},
        {"empty table, insert and cancel", 0, "ins can", "Inserir Pesquisar", "off"},
        {"opening", 2, "", "Inserir Pesquisar Excluir Próximo Último", "on Excluir"},
        {"member inserted", 2, "ins", "Cancelar Salvar Primeiro Anterior Próximo Último", "off"},
        {"insert cancelled", 2, "ins can", all, "on Excluir"},
        {"member edited", 2, "type:x", "Cancelar Salvar Próximo Último", "off"},
        {"member saved", 2, "type:x sal", all, "on Excluir"},
        {"movement typed", 2, "cell:0:1:x", "Inserir Pesquisar Excluir Próximo Último",
         "on Cancelar Salvar"},
        {"movement inserted", 2, "mvins", "Inserir Pesquisar Excluir Próximo Último",
         "on Cancelar Salvar"},
        {"movement saved", 2, "cell:0:1:x mvsal", "Inserir Pesquisar Excluir Próximo Último",
         "on Excluir"},
        {"movement cancelled", 2, "mvins mvcan", "Inserir Pesquisar Excluir Próximo Último",
         "on Excluir"},
        {"member without movements", 3, "ult", "Inserir Pesquisar Excluir Primeiro Anterior",
         "on Excluir"},
        // Moving reads the movements again, and that brings the whole toolbar up to date.
        {"row click updates the toolbar", 3, "row:1", all, "on Excluir"},
        {"movement typed, member clicked", 3, "cell:0:1:x row:1", all, "on Excluir"},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << c.members << QString(c.script) << QString(c.buttons) << QString(c.area);
}

void TestAssociado::enabling() {
    QFETCH(Engine, engine);
    QFETCH(int, members);
    QFETCH(QString, script);
    QFETCH(QString, buttons);
    QFETCH(QString, area);
    Fixture f(engine, members);
    QVERIFY(drv::showScreen(f.w()));
    DialogScript s; // no message on any of these
    run(f.w(), script);
    VERIFY_SCRIPT(s);
    QCOMPARE(drv::enabledButtons(f.w()), buttons);
    QCOMPARE(movementArea(f.w()), area);
    // Enabled: white; disabled: the button face.
    const QColor face = f.w()->RxDBGrid1->palette().color(QPalette::Button);
    QCOMPARE(f.w()->RxDBGrid1->backgroundColor(), area.startsWith("on") ? QColor(Qt::white) : face);
}

void TestAssociado::newMember() {
    QFETCH(Engine, engine);
    Fixture f(engine, 1);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    QCOMPARE(w->focusWidget(), w->DBEdit1);
    QCOMPARE(w->RxDBComboBox2->currentText(), QString("Conta Corrente"));
    w->DBEdit6->setFocus();
    w->btnInserir->click();
    QCOMPARE(w->focusWidget(), w->DBEdit1);
    QCOMPARE(w->RxDBComboBox1->currentText(), QString());
    QCOMPARE(w->RxDBComboBox2->currentText(), QString("Conta Corrente"));
    QCOMPARE(w->DBEdit1->text(), QString());
    QCOMPARE(f.listed(), QStringList()); // a new member has no movements

    drv::typeInto(w->DBEdit1, "Novo");
    QVERIFY(drv::pick(w->RxDBComboBox1, "Física"));
    drv::typeInto(w->DBEdit2, Cpf);
    drv::typeInto(w->DBEdit6, "756");
    drv::typeInto(w->DBEdit3, "3001");
    drv::typeInto(w->DBEdit5, "1234567");
    DialogScript s;
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(w->focusWidget(), w->DBEdit1);
    const ResultSet rs = f.db.conn().select(
        "SELECT idt_tpo_associado, num_cgc_cpf, num_bancoob, num_ag_bancoob, num_conv_bancoob, "
        "idt_dst_mov_bancoob FROM associado WHERE nom_associado = 'Novo'");
    QCOMPARE(rs.rows.size(), 1);
    QStringList got;
    for (const QVariant& v : rs.rows.first())
        got << v.toString();
    QCOMPARE(got.join(','), QString("F,%1,756,3001,1234567,03").arg(Cpf));
    // The list shows the stored codes, not the captions.
    const QAbstractItemModel* m = w->RxDBGrid2->model();
    const int row = w->RxDBGrid2->currentIndex().row();
    QCOMPARE(m->index(row, 1).data().toString(), QString("F"));
    QCOMPARE(m->index(row, 6).data().toString(), QString("03"));
    QCOMPARE(m->headerData(6, Qt::Horizontal).toString(), QString("Dest. mov."));

    QVERIFY(drv::pick(w->RxDBComboBox2, "Título Descontado"));
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(f.db.conn()
                 .selectValue("SELECT idt_dst_mov_bancoob FROM associado WHERE nom_associado = "
                              "'Novo'")
                 .toString(),
             QString("08"));
}

void TestAssociado::saveChecks_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type"); // caption picked; empty: none
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QString>("agency");
    QTest::addColumn<QString>("message"); // empty: saved
    struct Case {
        const char *tag, *name, *type, *number, *bank, *agency, *message;
    };
    const QByteArray cpf = Cpf.toLatin1(), cnpj = Cnpj.toLatin1();
    const char* noNumber = "O número informado não corresponde a um Cpf ou Cgc!";
    const char* badCpf = "O Cpf informado é inválido!";
    const char* badCgc = "O Cgc informado é inválido!";
    const char* noBank = "Favor informar o número do banco!";
    const char* noAgency = "Favor informar o número da agência\r\nonde o associado possui a conta!";
    const Case cases[] = {
        {"nothing", "", "", "", "", "", "Favor informar o nome do associado!"},
        {"blank name, all else right", "   ", "Física", cpf, "756", "3001",
         "Favor informar o nome do associado!"},
        {"no type", "Novo", "", cpf, "756", "3001", "Favor informar o tipo do associado!"},
        {"no number", "Novo", "Física", "", "756", "3001", noNumber},
        {"12 digits", "Novo", "Jurídica", "112223330001", "756", "3001", noNumber},
        {"13 digits", "Novo", "Jurídica", "1122233300018", "756", "3001", noNumber},
        {"10 digits", "Novo", "Física", "5299822472", "756", "3001", noNumber},
        {"cpf wrong digit", "Novo", "Física", "52998224724", "756", "3001", badCpf},
        {"cpf all zeros", "Novo", "Física", "00000000000", "756", "3001", badCpf},
        {"cpf wrong under Jurídica", "Novo", "Jurídica", "52998224724", "756", "3001", badCpf},
        {"cpf right under Jurídica", "Novo", "Jurídica", cpf, "", "", noBank},
        {"cnpj wrong digit", "Novo", "Jurídica", "11222333000182", "756", "3001", badCgc},
        {"cnpj all equal", "Novo", "Jurídica", "11111111111111", "756", "3001", badCgc},
        {"no bank", "Novo", "Jurídica", cnpj, "", "3001", noBank},
        {"no agency", "Novo", "Física", cpf, "756", "", noAgency},
        {"person", "Novo", "Física", cpf, "756", "3001", ""},
        {"company, cpf number", "Novo", "Jurídica", cpf, "1", "2", ""},
        {"company", "Novo", "Jurídica", cnpj, "756", "3001", ""},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.name) << QString::fromUtf8(c.type) << QString(c.number)
                << QString(c.bank) << QString(c.agency) << QString::fromUtf8(c.message);
}

void TestAssociado::saveChecks() {
    QFETCH(Engine, engine);
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, number);
    QFETCH(QString, bank);
    QFETCH(QString, agency);
    QFETCH(QString, message);
    Fixture f(engine, 1);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    w->btnInserir->click();
    drv::typeInto(w->DBEdit1, name);
    if (!type.isEmpty())
        QVERIFY(drv::pick(w->RxDBComboBox1, type));
    drv::typeInto(w->DBEdit2, number);
    drv::typeInto(w->DBEdit6, bank);
    drv::typeInto(w->DBEdit3, agency);
    QWidget* focused = w->focusWidget();

    DialogScript s;
    if (!message.isEmpty())
        s.box("Atenção", message);
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    const int stored = f.db.conn().selectValue("SELECT count(*) FROM associado").toInt();
    if (!message.isEmpty()) {
        QCOMPARE(stored, 1);
        QCOMPARE(f.members()->state(), Dataset::State::Insert);
        QCOMPARE(w->DBEdit1->text(), name);
        QCOMPARE(w->RxDBComboBox1->currentText(), type);
        QCOMPARE(w->DBEdit2->text(), number);
        QCOMPARE(w->DBEdit6->text(), bank);
        QCOMPARE(w->DBEdit3->text(), agency);
        QCOMPARE(w->focusWidget(), focused);
        QCOMPARE(movementArea(w), QString("off"));
        return;
    }
    QCOMPARE(stored, 2);
    const ResultSet rs = f.db.conn().select(
        "SELECT idt_tpo_associado, num_cgc_cpf FROM associado WHERE nom_associado = ?", {name});
    QCOMPARE(rs.rows.size(), 1);
    QCOMPARE(rs.rows.first().at(0).toString(), type.left(1) == "F" ? QString("F") : "J");
    QCOMPARE(rs.rows.first().at(1).toString(), number);
    QCOMPARE(f.members()->state(), Dataset::State::Browse);
    QCOMPARE(w->focusWidget(), w->DBEdit1);
    QCOMPARE(movementArea(w), QString("on Excluir"));
}

void TestAssociado::digitsOnly_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("beeps");
    QTest::newRow("number") << "DBEdit2"
                            << "1-2 3"
                            << "123" << 2;
    QTest::newRow("bank") << "DBEdit6"
                          << "7x5.6"
                          << "756" << 2;
    QTest::newRow("agency") << "DBEdit3"
                            << "-30,01"
                            << "3001" << 2;
    QTest::newRow("agreement") << "DBEdit5"
                               << "12/34"
                               << "1234" << 1;
    QTest::newRow("bank limit") << "DBEdit6"
                                << "75612"
                                << "756" << 0;
    QTest::newRow("agency limit") << "DBEdit3"
                                  << "300123"
                                  << "3001" << 0;
    // The salary file has seven places for it.
    QTest::newRow("agreement limit") << "DBEdit5"
                                     << "123456789"
                                     << "1234567" << 0;
    QTest::newRow("name takes anything") << "DBEdit1"
                                         << "Ab 1.x"
                                         << "Ab 1.x" << 0;
}

void TestAssociado::digitsOnly() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    Fixture f(Engine::SQLite, 1);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    auto* edit = w->findChild<DbEdit*>(box);
    QVERIFY(edit);
    DialogScript s;
    drv::typeInto(edit, typed, true);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(s.beeps(), beeps);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), shown.chopped(1));
    QCOMPARE(s.beeps(), beeps);
    QCOMPARE(f.members()->asString(edit->dataField()), shown.chopped(1));
    VERIFY_SCRIPT(s);
}

void TestAssociado::numberLimit_data() {
    QTest::addColumn<QStringList>("picks");
    QTest::addColumn<QString>("shown"); // after typing 16 digits
    const QString digits = QStringLiteral("1234567890123456");
    QTest::newRow("no pick: the column's 14") << QStringList() << digits.left(14);
    QTest::newRow("Física") << QStringList{"Física"} << digits.left(11);
    QTest::newRow("Jurídica") << QStringList{"Jurídica"} << digits.left(14);
    QTest::newRow("Física, then Jurídica") << QStringList{"Física", "Jurídica"} << digits.left(14);
    QTest::newRow("Jurídica, then Física") << QStringList{"Jurídica", "Física"} << digits.left(11);
}

void TestAssociado::numberLimit() {
    QFETCH(QStringList, picks);
    QFETCH(QString, shown);
    Fixture f(Engine::SQLite, 1);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    w->btnInserir->click();
    for (const QString& p : picks)
        QVERIFY(drv::pick(w->RxDBComboBox1, p));
    drv::typeInto(w->DBEdit2, "1234567890123456");
    QCOMPARE(w->DBEdit2->text(), shown);
    QCOMPARE(w->DBEdit2->limit(), int(shown.size()));
    QCOMPARE(f.members()->asString("num_cgc_cpf"), shown);
}

void TestAssociado::numberLimitKept() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    insertMember(db.conn(), "Alfa", Cnpj);
    insertMember(db.conn(), "Beta", Cpf);
    TfrmAssociado w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    QCOMPARE(w.DBEdit2->text(), Cnpj);
    w.btnProximo->click();
    QVERIFY(drv::pick(w.RxDBComboBox1, "Física"));
    w.btnCancelar->click();
    // Back on a company: its 14 digits are shown whole, and cannot grow.
    w.btnPrimeiro->click();
    QCOMPARE(w.DBEdit2->text(), Cnpj);
    drv::typeInto(w.DBEdit2, "9");
    QCOMPARE(w.DBEdit2->text(), Cnpj);
    // Shortened, it takes no more than a person's 11 digits again.
    drv::typeInto(w.DBEdit2, Cpf, true);
    drv::typeInto(w.DBEdit2, "123");
    QCOMPARE(w.DBEdit2->text(), Cpf);
    w.btnCancelar->click();
    QCOMPARE(w.DBEdit2->text(), Cnpj);
    // The limit outlives a closing of the screen.
    QTest::keyClick(w.DBEdit1, Qt::Key_Escape);
    QVERIFY(drv::showScreen(&w));
    w.btnInserir->click();
    drv::typeInto(w.DBEdit2, "1234567890123");
    QCOMPARE(w.DBEdit2->text(), QString("12345678901"));
}

void TestAssociado::longerStoredValues_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed"); // after the stored text
    // The agreement box takes 7 digits, the number box 11 after "Física": the columns hold more.
    QTest::newRow("agreement number") << "DBEdit5"
                                      << "num_conv_bancoob"
                                      << "1234567890"
                                      << "1";
    QTest::newRow("taxpayer number") << "DBEdit2"
                                     << "num_cgc_cpf" << Cnpj << "9";
}

// A box whose limit is below what the record holds shows the value whole, does not let it grow,
// and an edit of another field saves it unchanged.
void TestAssociado::longerStoredValues() {
    QFETCH(QString, box);
    QFETCH(QString, column);
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    Fixture f(Engine::SQLite, 1);
    f.db.conn().execute(QString("UPDATE associado SET %1 = ?").arg(column), {stored});
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    w->btnInserir->click();
    QVERIFY(drv::pick(w->RxDBComboBox1, "Física"));
    w->btnCancelar->click();
    auto* edit = w->findChild<DbEdit*>(box);
    QCOMPARE(edit->text(), stored);
    drv::typeInto(edit, typed);
    QCOMPARE(edit->text(), stored);
    drv::typeInto(w->DBEdit1, "X");
    w->btnSalvar->click();
    QCOMPARE(f.db.conn().selectValue(QString("SELECT %1 FROM associado").arg(column)).toString(),
             stored);
    QCOMPARE(f.db.conn().selectValue("SELECT nom_associado FROM associado").toString(),
             QString("AlfaX"));
}

void TestAssociado::movementRows() {
    QFETCH(Engine, engine);
    Fixture f(engine, 3);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    QCOMPARE(f.listed(), (QStringList{"01 Folha", "02 Adiantamento"}));
    QCOMPARE(f.w()->RxDBGrid1->model()->headerData(0, Qt::Horizontal).toString(),
             QString("Cod. movimento"));

    // Beta: the Insert key, the code, Tab to the description, saved from the toolbar.
    drv::clickRow(w->RxDBGrid2, 1);
    QCOMPARE(f.listed(), QStringList{"05 Pro-labore"});
    w->RxDBGrid1->setFocus();
    QTest::keyClick(w->RxDBGrid1, Qt::Key_Insert);
    QCOMPARE(f.movements()->state(), Dataset::State::Insert);
    keysHere("03");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    keysHere("Ferias");
    DialogScript s;
    w->btnSalvarMV->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(f.movements()->state(), Dataset::State::Browse);

    // Gama: moving down from the last (here no) row appends one.
    drv::clickRow(w->RxDBGrid2, 2);
    QCOMPARE(f.listed(), QStringList());
    w->RxDBGrid1->setFocus();
    QTest::keyClick(w->RxDBGrid1, Qt::Key_Down);
    QCOMPARE(f.movements()->state(), Dataset::State::Insert);
    keysHere("9");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    keysHere("Bonus");
    // Down in the open cell leaves it and, from the last row, saves it and appends one.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(f.movements()->state(), Dataset::State::Insert);
    QCOMPARE(f.movements()->recordCount(), 2);
    w->btnCancelarMV->click();
    QCOMPARE(f.movements()->recordCount(), 1);

    QCOMPARE(f.stored(), (QStringList{"Alfa:01 Folha", "Alfa:02 Adiantamento", "Beta:03 Ferias",
                                      "Beta:05 Pro-labore", "Gama:9 Bonus"}));
    QCOMPARE(f.listed(), QStringList{"9 Bonus"});
    drv::clickRow(w->RxDBGrid2, 1);
    QCOMPARE(f.listed(), (QStringList{"03 Ferias", "05 Pro-labore"}));
    drv::clickRow(w->RxDBGrid2, 0);
    QCOMPARE(f.listed(), (QStringList{"01 Folha", "02 Adiantamento"}));

    // A code takes two characters.
    typeInCell(w, 0, 0, "123");
    QCOMPARE(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), QString("12"));
    w->btnSalvarMV->click();
    QCOMPARE(f.stored().first(), QString("Alfa:02 Adiantamento"));
    QVERIFY(f.stored().contains("Alfa:12 Folha"));
}

void TestAssociado::movementDroppedOnMove() {
    QFETCH(Engine, engine);
    Fixture f(engine, 2);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    DialogScript s; // dropped without a word
    typeInCell(w, 0, 1, "X");
    QCOMPARE(f.movements()->state(), Dataset::State::Edit);
    drv::clickRow(w->RxDBGrid2, 1);
    QCOMPARE(f.listed(), QStringList{"05 Pro-labore"});
    // A row inserted and typed into, then the member toolbar moves on: dropped as well.
    w->RxDBGrid1->setFocus();
    QTest::keyClick(w->RxDBGrid1, Qt::Key_Insert);
    keysHere("07");
    w->btnPrimeiro->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(f.listed(), (QStringList{"01 Folha", "02 Adiantamento"}));
    QCOMPARE(f.stored(),
             (QStringList{"Alfa:01 Folha", "Alfa:02 Adiantamento", "Beta:05 Pro-labore"}));
    QCOMPARE(movementArea(w), QString("on Excluir"));
}

void TestAssociado::movementDelete_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<Button>("answer");
    QTest::addColumn<bool>("inUse"); // an employee is paid under the code
    QTest::addColumn<QString>("listed");
    struct Case {
        const char* tag;
        Button answer;
        bool inUse;
        const char* listed;
    };
    const Case cases[] = {
        {"Sim deletes", Button::Yes, false, "02 Adiantamento"},
        {"Não keeps", Button::No, false, "01 Folha,02 Adiantamento"},
        {"Cancela keeps", Button::Cancel, false, "01 Folha,02 Adiantamento"},
        {"in use is refused", Button::Yes, true, "01 Folha,02 Adiantamento"},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << c.answer << c.inUse << QString(c.listed);
}

void TestAssociado::movementDelete() {
    QFETCH(Engine, engine);
    QFETCH(Button, answer);
    QFETCH(bool, inUse);
    QFETCH(QString, listed);
    Fixture f(engine, 1);
    if (inUse)
        f.db.conn().execute("INSERT INTO funcionario (cod_associado, cod_movimento, "
                            "nom_funcionario) SELECT cod_associado, cod_movimento, 'Ze' FROM "
                            "movimento WHERE num_cod_movimento = '01'");
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    DialogScript s;
    s.dlg(Kind::Confirmation, Confirm, answer, {Button::Yes, Button::No, Button::Cancel});
    if (inUse)
        s.box("Atenção", Linked);
    w->btnExcluirMV->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(f.listed().join(','), listed);
    QStringList stored;
    for (const QString& r : f.stored())
        stored << r.section(':', 1);
    QCOMPARE(stored.join(','), listed);
    QCOMPARE(movementArea(w), QString("on Excluir"));
}

void TestAssociado::refusedDelete_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("child"); // SQL inserting a row that refers to Gama (?)
    QTest::addColumn<bool>("deleted");
    struct Case {
        const char *tag, *child;
        bool deleted;
    };
    const Case cases[] = {
        {"unreferenced", "", true},
        {"movement code",
         "INSERT INTO movimento (cod_associado, num_cod_movimento) VALUES (?, '01')", false},
        {"department",
         "INSERT INTO departamento (cod_associado, nom_departamento) VALUES (?, 'RH')", false},
        {"employee", "INSERT INTO funcionario (cod_associado, nom_funcionario) VALUES (?, 'Ze')",
         false},
        {"lot", "INSERT INTO lote_cheque (cod_associado, num_lote) VALUES (?, '1')", false},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.child) << c.deleted;
}

void TestAssociado::refusedDelete() {
    QFETCH(Engine, engine);
    QFETCH(QString, child);
    QFETCH(bool, deleted);
    Fixture f(engine, 3);
    if (!child.isEmpty())
        f.db.conn().execute(child, {f.codes[2]});
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    w->btnUltimo->click();
    DialogScript s;
    s.dlg(Kind::Confirmation, Confirm, Button::Yes);
    if (!deleted)
        s.box("Atenção", Linked);
    w->btnExcluir->click();
    VERIFY_SCRIPT(s);
    const int stored = f.db.conn().selectValue("SELECT count(*) FROM associado").toInt();
    QCOMPARE(stored, deleted ? 2 : 3);
    QCOMPARE(f.members()->recordCount(), stored);
    QCOMPARE(w->RxDBGrid2->model()->rowCount(), stored);
    QCOMPARE(f.members()->asString("nom_associado"), QString(deleted ? "Beta" : "Gama"));
    QCOMPARE(movementArea(w), QString("on Excluir"));
}

void TestAssociado::tabOrder() {
    Fixture f(Engine::SQLite, 1);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    QStringList order{w->focusWidget()->objectName()};
    // The member list keeps Tab for moving between its cells.
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order.join(' '), QString("DBEdit1 RxDBComboBox1 DBEdit2 DBEdit6 DBEdit3 DBEdit5 "
                                      "RxDBComboBox2 RxDBGrid2"));
    QCOMPARE(w->title(), QString(" Cadastro de Associado"));
    QCOMPARE(w->DBEdit1->limit(), 80);
}

void TestAssociado::companyLetters_data() {
    QTest::addColumn<QString>("type"); // caption picked on a new member; empty: none
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("beeps");
    QTest::newRow("company, small letters made capital") << "Jurídica"
                                                         << "12abc34501de35"
                                                         << "12ABC34501DE35" << 0;
    QTest::newRow("company, capitals") << "Jurídica"
                                       << "12ABC34501DE35"
                                       << "12ABC34501DE35" << 0;
    QTest::newRow("company, letter in a check place") << "Jurídica"
                                                      << "12ABC34501DEx5q"
                                                      << "12ABC34501DE5" << 2;
    QTest::newRow("company, letters everywhere but the check places") << "Jurídica"
                                                                      << "abcdefghijklmn12"
                                                                      << "ABCDEFGHIJKL12" << 2;
    QTest::newRow("company, no accents or signs") << "Jurídica"
                                                  << "1é2ç3-4 5"
                                                  << "12345" << 4;
    QTest::newRow("company, digits only as before") << "Jurídica"
                                                    << "1122233300018199"
                                                    << "11222333000181" << 0;
    QTest::newRow("person, letters beep") << "Física"
                                          << "5a2B9c"
                                          << "529" << 3;
    QTest::newRow("no type yet, letters beep") << ""
                                               << "1a2"
                                               << "12" << 1;
    // "|" puts the cursor at the start: a key typed there moves everything one place on.
    QTest::newRow("company, a key before pushes a letter into a check place")
        << "Jurídica"
        << "12ABC34501DE|9"
        << "12ABC34501DE" << 1;
    QTest::newRow("company, a key before digits") << "Jurídica"
                                                  << "2ABC34501DE3|1"
                                                  << "12ABC34501DE3" << 0;
}

// Typed into the number box of a new member.
void TestAssociado::companyLetters() {
    QFETCH(QString, type);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    Fixture f(Engine::SQLite, 1);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    w->btnInserir->click();
    if (!type.isEmpty())
        QVERIFY(drv::pick(w->RxDBComboBox1, type));
    DialogScript s;
    drv::typeInto(w->DBEdit2, typed.section('|', 0, 0));
    if (typed.contains('|')) {
        QTest::keyClick(w->DBEdit2, Qt::Key_Home);
        drv::keys(w->DBEdit2, typed.section('|', 1));
    }
    QCOMPARE(w->DBEdit2->text(), shown);
    QCOMPARE(s.beeps(), beeps);
    QCOMPARE(f.members()->asString("num_cgc_cpf"), shown);
    VERIFY_SCRIPT(s);
}

void TestAssociado::companyLettersSaved_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused as a wrong number
    struct Case {
        const char *tag, *typed, *stored;
    };
    const Case cases[] = {
        {"the tax authority's example", "12abc34501de35", "12ABC34501DE35"},
        {"typed in capitals", "12ABC34501DE35", "12ABC34501DE35"},
        {"a changed letter", "12abd34501de35", ""},
        {"a changed check digit", "12abc34501de36", ""},
        {"letters swapped", "12bac34501de35", ""},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.typed) << QString(c.stored);
}

void TestAssociado::companyLettersSaved() {
    QFETCH(Engine, engine);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Fixture f(engine, 1);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    w->btnInserir->click();
    drv::typeInto(w->DBEdit1, "Empresa Nova");
    QVERIFY(drv::pick(w->RxDBComboBox1, "Jurídica"));
    drv::typeInto(w->DBEdit2, typed);
    drv::typeInto(w->DBEdit6, "756");
    drv::typeInto(w->DBEdit3, "3001");
    DialogScript s;
    if (stored.isEmpty())
        s.box("Atenção", "O Cgc informado é inválido!");
    w->btnSalvar->click();
    VERIFY_SCRIPT(s);
    const ResultSet rs = f.db.conn().select(
        "SELECT idt_tpo_associado, num_cgc_cpf FROM associado WHERE nom_associado = ?",
        {QString("Empresa Nova")});
    if (stored.isEmpty()) {
        QCOMPARE(rs.rows.size(), 0);
        QCOMPARE(f.members()->state(), Dataset::State::Insert);
        QCOMPARE(w->DBEdit2->text(), typed.toUpper());
        return;
    }
    QCOMPARE(rs.rows.size(), 1);
    QCOMPARE(rs.rows.first().at(0).toString(), QString("J"));
    QCOMPARE(rs.rows.first().at(1).toString(), stored);
    QCOMPARE(f.members()->state(), Dataset::State::Browse);
    QCOMPARE(w->DBEdit2->text(), stored);
    // Read back from the table, it is shown as it was typed in.
    w->hide();
    QVERIFY(drv::showScreen(w));
    QVERIFY(f.members()->locate("nom_associado", "Empresa Nova", 0));
    QCOMPARE(w->DBEdit2->text(), stored);
}

void TestAssociado::companyLettersPasted_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("before"); // typed first; the paste goes at the cursor, at the end
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("beeps");
    QTest::newRow("company, small letters made capital") << "Jurídica"
                                                         << ""
                                                         << "12abc34501de35"
                                                         << "12ABC34501DE35" << 0;
    QTest::newRow("company, after what was typed") << "Jurídica"
                                                   << "12a"
                                                   << "bc34501de35"
                                                   << "12ABC34501DE35" << 0;
    QTest::newRow("company, letter in a check place") << "Jurídica"
                                                      << "12"
                                                      << "abc34501dex5"
                                                      << "12" << 1;
    QTest::newRow("company, a sign") << "Jurídica"
                                     << ""
                                     << "12.ABC.345/01DE-35"
                                     << "" << 1;
    // As before: a person's box takes no paste from the keyboard.
    QTest::newRow("person") << "Física"
                            << "529"
                            << "98224725"
                            << "529" << 1;
}

void TestAssociado::companyLettersPasted() {
    QFETCH(QString, type);
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    Fixture f(Engine::SQLite, 1);
    TfrmAssociado* w = f.w();
    QVERIFY(drv::showScreen(w));
    w->btnInserir->click();
    QVERIFY(drv::pick(w->RxDBComboBox1, type));
    drv::typeInto(w->DBEdit2, before);
    QApplication::clipboard()->setText(pasted);
    QCOMPARE(QApplication::clipboard()->text(), pasted);
    DialogScript s;
    QTest::keyClick(w->DBEdit2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w->DBEdit2->text(), shown);
    QCOMPARE(s.beeps(), beeps);
    QCOMPARE(f.members()->asString("num_cgc_cpf"), shown);
    VERIFY_SCRIPT(s);
}

QTEST_MAIN(TestAssociado)
#include "tst_associado.moc"
