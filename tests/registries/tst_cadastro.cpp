// The record-maintenance pattern as the operator meets it, driven through the department
// screen (its plainest instance): enabling, navigation, search, delete, post on move, Esc.
#include "DialogScript.h"
#include "ScreenDriver.h"
#include "TestDb.h"
#include "platform/data/DbError.h"
#include "registries/ufrmDepartamento.h"

#include <QTest>
#include <QWindow>

Q_DECLARE_METATYPE(Dialogs::Button)

using Dialogs::Button;
using Dialogs::Kind;

namespace {

const QString Confirm = QStringLiteral("Tem certeza de que deseja excluir o registro?");

// A screen over departments named `names` (comma separated, "_" for an empty name), all of
// one member.
struct Fixture {
    explicit Fixture(Engine e, const QString& names) : db(e) {
        member = drv::insertMember(db.conn(), "Cooperado");
        for (const QString& n : names.split(',', Qt::SkipEmptyParts))
            drv::insertDepartment(db.conn(), member, n == "_" ? QString() : n);
        screen = std::make_unique<TfrmDepartamento>(&db.conn());
    }
    Dataset* q() const { return screen->dtmDepartamento->qryDepartamento; }
    QString current() const {
        return q()->isEmpty() ? QStringLiteral("-") : q()->asString("nom_departamento");
    }
    QStringList stored() {
        QStringList out;
        for (const QVariantList& r :
             db.conn().select("SELECT nom_departamento FROM departamento ORDER BY 1").rows)
            out << r.first().toString();
        return out;
    }
    TestDb db;
    int member = 0;
    std::unique_ptr<TfrmDepartamento> screen;
};

// Runs toolbar clicks and gestures separated by blanks:
//   ins pes can exc sal pri ant pro ult (the buttons), type:TEXT (into DBEdit1), row:N (click)
void run(TfrmDepartamento* w, const QString& script) {
    for (const QString& op : script.split(' ', Qt::SkipEmptyParts)) {
        const QString name = op.section(':', 0, 0), arg = op.section(':', 1);
        if (drv::toolbar(w, name))
            continue;
        if (name == "type")
            drv::typeInto(w->DBEdit1, arg);
        else if (name == "row")
            drv::clickRow(w->RxDBGrid1, arg.toInt());
        else
            qFatal("unknown op %s", qPrintable(op));
    }
}

} // namespace

class TestCadastro : public QObject {
    Q_OBJECT
private slots:
    void enabling_data();
    void enabling();
    void search_data();
    void search();
    void remove_data();
    void remove();
    void refusedDelete_data() { TestDb::addEngineRows(); }
    void refusedDelete();
    void postOnMove_data() { TestDb::addEngineRows(); }
    void postOnMove();
    void escWhileInserting_data() { TestDb::addEngineRows(); }
    void escWhileInserting();
    void frame();
};

void TestCadastro::enabling_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<QString>("current");
    struct Case {
        const char *tag, *names, *script, *buttons, *current;
    };
    const Case cases[] = {
        {"empty table", "", "", "Inserir Pesquisar", "-"},
        {"opening", "Ana,Bia,Caio", "", "Inserir Pesquisar Excluir Próximo Último", "Ana"},
        {"next", "Ana,Bia,Caio", "pro",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último", "Bia"},
        {"next onto the last", "Ana,Bia,Caio", "pro pro",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último", "Caio"},
        {"next on the last", "Ana,Bia,Caio", "pro pro pro",
         "Inserir Pesquisar Excluir Primeiro Anterior", "Caio"},
        {"last", "Ana,Bia,Caio", "ult", "Inserir Pesquisar Excluir Primeiro Anterior", "Caio"},
        {"prior from the second", "Ana,Bia,Caio", "pro ant",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último", "Ana"},
        {"prior on the first", "Ana,Bia,Caio", "pro ant ant",
         "Inserir Pesquisar Excluir Próximo Último", "Ana"},
        {"first", "Ana,Bia,Caio", "ult pri", "Inserir Pesquisar Excluir Próximo Último", "Ana"},
        {"single row", "Ana", "", "Inserir Pesquisar Excluir Próximo Último", "Ana"},
        {"single row next", "Ana", "pro", "Inserir Pesquisar Excluir Primeiro Anterior", "Ana"},
        {"insert", "Ana,Bia", "ins", "Cancelar Salvar Primeiro Anterior Próximo Último", ""},
        {"insert into empty", "", "ins", "Cancelar Salvar Primeiro Anterior Próximo Último", ""},
        {"cancel insert", "Ana,Bia", "ins can",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último", "Ana"},
        {"typing edits", "Ana,Bia", "type:x", "Cancelar Salvar Próximo Último", "Anax"},
        {"cancel edit", "Ana,Bia", "type:x can",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último", "Ana"},
        {"click a row leaves the toolbar", "Ana,Bia,Caio", "row:2",
         "Inserir Pesquisar Excluir Próximo Último", "Caio"},
        {"next after a click", "Ana,Bia,Caio", "row:2 pro",
         "Inserir Pesquisar Excluir Primeiro Anterior", "Caio"},
        // A move while a blank new record is open goes where the operator pointed.
        {"insert, click Bia", "Ana,Bia,Caio", "ins row:2",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último", "Bia"},
        {"insert, click the last row", "Ana,Bia,Caio", "pro ins row:3",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último", "Caio"},
        {"insert, last", "Ana,Bia,Caio", "ins ult", "Inserir Pesquisar Excluir Primeiro Anterior",
         "Caio"},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.names) << QString(c.script) << QString(c.buttons)
                << QString(c.current);
}

void TestCadastro::enabling() {
    QFETCH(Engine, engine);
    QFETCH(QString, names);
    QFETCH(QString, script);
    QFETCH(QString, buttons);
    QFETCH(QString, current);
    Fixture f(engine, names);
    QVERIFY(drv::showScreen(f.screen.get()));
    run(f.screen.get(), script);
    QCOMPARE(drv::enabledButtons(f.screen.get()), buttons);
    QCOMPARE(f.current(), current == "-" ? QString("-") : current);
    // The list's current row is the record's.
    if (!f.q()->isEmpty())
        QCOMPARE(f.screen->RxDBGrid1->currentIndex().row(), f.q()->currentRow());
}

void TestCadastro::search_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("before"); // navigation before the search
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("current");
    struct Case {
        const char *tag, *names, *before, *typed;
        bool ok;
        const char* current;
    };
    // Listed by name as a Brazilian reads it: Compras, contabilidade, coNtratos, Vendas.
    const char* names = "Vendas,contabilidade,Compras,coNtratos";
    const Case cases[] = {
        {"two letters any case", names, "ult", "co", true, "Compras"},
        {"upper case finds lower", names, "", "CONTA", true, "contabilidade"},
        {"first of several in order", names, "", "con", true, "contabilidade"},
        {"whole name", names, "", "vendas", true, "Vendas"},
        {"no match stays", names, "pro", "xyz", true, "contabilidade"},
        {"cancelled stays", names, "pro", "co", false, "contabilidade"},
        {"OK on empty text stays", names, "ult", "", true, "Vendas"},
        {"cancelled finds the empty name", "Vendas,_,Compras", "ult", "", false, ""},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.names) << QString(c.before) << QString(c.typed) << c.ok
                << QString(c.current);
}

void TestCadastro::search() {
    QFETCH(Engine, engine);
    QFETCH(QString, names);
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(QString, current);
    Fixture f(engine, names);
    QVERIFY(drv::showScreen(f.screen.get()));
    run(f.screen.get(), before);
    DialogScript s;
    s.prompt("Digite o nome do departamento", typed, ok);
    f.screen->btnPesquisar->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(s.seen().first().text, QString("Departamento"));
    QCOMPARE(s.seen().first().initialText, QString());
    QCOMPARE(f.current(), current);
    QCOMPARE(f.q()->state(), Dataset::State::Browse);
}

void TestCadastro::remove_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("before");
    QTest::addColumn<Button>("answer");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("buttons");
    struct Case {
        const char* tag;
        const char* before;
        Button answer;
        const char *stored, *current, *buttons;
    };
    const Case cases[] = {
        {"Sim deletes, next becomes current", "pro", Button::Yes, "Ana,Caio", "Caio",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último"},
        {"Sim on the last, previous becomes current", "ult", Button::Yes, "Ana,Bia", "Bia",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último"},
        {"Não keeps it", "pro", Button::No, "Ana,Bia,Caio", "Bia",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último"},
        {"Cancela keeps it", "pro", Button::Cancel, "Ana,Bia,Caio", "Bia",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último"},
        {"closed without answer keeps it", "pro", Button::None, "Ana,Bia,Caio", "Bia",
         "Inserir Pesquisar Excluir Primeiro Anterior Próximo Último"},
    };
    for (Engine e : TestDb::engines())
        for (const Case& c : cases)
            QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + c.tag))
                << e << QString(c.before) << c.answer << QString(c.stored) << QString(c.current)
                << QString(c.buttons);
}

void TestCadastro::remove() {
    QFETCH(Engine, engine);
    QFETCH(QString, before);
    QFETCH(Button, answer);
    QFETCH(QString, stored);
    QFETCH(QString, current);
    QFETCH(QString, buttons);
    Fixture f(engine, "Ana,Bia,Caio");
    QVERIFY(drv::showScreen(f.screen.get()));
    run(f.screen.get(), before);
    DialogScript s;
    s.dlg(Kind::Confirmation, Confirm, answer, {Button::Yes, Button::No, Button::Cancel});
    f.screen->btnExcluir->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(s.seen().first().title, QString("Confirmação"));
    QCOMPARE(s.seen().first().icon, Dialogs::Icon::Question);
    QCOMPARE(f.stored().join(','), stored);
    QCOMPARE(f.current(), current);
    QCOMPARE(drv::enabledButtons(f.screen.get()), buttons);
}

void TestCadastro::refusedDelete() {
    QFETCH(Engine, engine);
    Fixture f(engine, "Ana,Bia");
    const QVariant bia = f.db.conn().selectValue("SELECT cod_departamento FROM departamento WHERE "
                                                 "nom_departamento = 'Bia'");
    f.db.conn().execute("INSERT INTO funcionario (cod_associado, cod_departamento, "
                        "nom_funcionario) VALUES (?, ?, 'Zé')",
                        {f.member, bia});
    QVERIFY(drv::showScreen(f.screen.get()));
    f.screen->btnProximo->click();
    DialogScript s;
    s.dlg(Kind::Confirmation, Confirm, Button::Yes)
        .box("Atenção",
             "Não é possível excluir o registro, pois existem outros registros vinculados a ele!");
    f.screen->btnExcluir->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(f.stored().join(','), QString("Ana,Bia"));
    QCOMPARE(f.current(), QString("Bia"));
    QCOMPARE(f.q()->recordCount(), 2);
    QCOMPARE(f.screen->RxDBGrid1->model()->rowCount(), 2);
    QCOMPARE(drv::enabledButtons(f.screen.get()),
             QString("Inserir Pesquisar Excluir Primeiro Anterior Próximo Último"));
    // The unreferenced one still goes.
    s.dlg(Kind::Confirmation, Confirm, Button::Yes);
    f.screen->btnAnterior->click();
    f.screen->btnExcluir->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(f.stored().join(','), QString("Bia"));
}

void TestCadastro::postOnMove() {
    QFETCH(Engine, engine);
    Fixture f(engine, "Ana,Bia,Caio");
    QVERIFY(drv::showScreen(f.screen.get()));
    // A blank name would not pass the save checks; a move posts it without them.
    drv::typeInto(f.screen->DBEdit1, "", true);
    QCOMPARE(f.q()->state(), Dataset::State::Edit);
    DialogScript s; // no message expected
    f.screen->btnProximo->click();
    VERIFY_SCRIPT(s);
    QCOMPARE(f.q()->state(), Dataset::State::Browse);
    QCOMPARE(f.stored().join(','), QString(",Bia,Caio"));
    QCOMPARE(f.current(), QString("Bia"));
    // An unchanged edit is dropped by a move: nothing written.
    f.q()->edit();
    f.screen->btnProximo->click();
    QCOMPARE(f.q()->state(), Dataset::State::Browse);
    QCOMPARE(f.current(), QString("Caio"));
    QCOMPARE(f.stored().join(','), QString(",Bia,Caio"));
}

void TestCadastro::escWhileInserting() {
    QFETCH(Engine, engine);
    Fixture f(engine, "Ana");
    TfrmDepartamento* w = f.screen.get();
    QVERIFY(drv::showScreen(w));
    w->btnInserir->click();
    QVERIFY(drv::pick(w->RxDBLookupCombo1, "Cooperado"));
    drv::typeInto(w->DBEdit1, "Novo");
    QCOMPARE(f.q()->state(), Dataset::State::Insert);
    // Esc reaches the window whatever control has the focus.
    QTest::keyClick(w->DBEdit1, Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QCOMPARE(w->result(), int(QDialog::Rejected));
    QCOMPARE(f.stored().join(','), QString("Ana"));
    // Shown again: read afresh, the new record gone, the focus on the first box.
    QVERIFY(drv::showScreen(w));
    QCOMPARE(f.q()->recordCount(), 1);
    QCOMPARE(f.current(), QString("Ana"));
    QCOMPARE(f.q()->state(), Dataset::State::Browse);
    QCOMPARE(w->DBEdit1->text(), QString("Ana"));
    QCOMPARE(w->focusWidget(), w->RxDBLookupCombo1);
    QCOMPARE(drv::enabledButtons(w), QString("Inserir Pesquisar Excluir Próximo Último"));
}

void TestCadastro::frame() {
    TestDb db(Engine::SQLite);
    TfrmDepartamento w(&db.conn());
    QVERIFY(drv::showScreen(&w));
    QCOMPARE(w.title(), QString(" Cadastro de Departamento"));
    QCOMPARE(w.windowTitle(), QString());
    // An empty title would reach the title bar as the program's name: the bar gets a blank one.
    const QString bar = w.windowHandle()->title();
    QVERIFY(!bar.isEmpty() && bar.trimmed().isEmpty());
    QCOMPARE(w.minimumSize(), w.maximumSize());
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                       Qt::WindowContextHelpButtonHint)));
    // Pictures, hints, no text.
    for (QToolButton* b : w.findChildren<QToolButton*>()) {
        QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
        QVERIFY(b->text().isEmpty());
        QVERIFY(!b->toolTip().isEmpty());
    }
    QCOMPARE(w.findChild<QToolButton*>("btnUltimo")->toolTip(), QString("Último"));
    // Esc from the list and from the lookup box, which have uses of their own for keys.
    for (QWidget* focused :
         {static_cast<QWidget*>(w.RxDBGrid1), static_cast<QWidget*>(w.RxDBLookupCombo1)}) {
        QVERIFY(drv::showScreen(&w));
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_Escape);
        QVERIFY2(!w.isVisible(), focused->metaObject()->className());
    }
}

QTEST_MAIN(TestCadastro)
#include "tst_cadastro.moc"
