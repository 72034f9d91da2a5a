// The login: the connection step run at every confirmation, the fixed credentials, Enter and Esc.
#include "DialogScript.h"
#include "ShellTest.h"
#include "core/Schema.h"
#include "platform/widgets/ScreenCursor.h"
#include "shell/uDMCap.h"
#include "shell/ufrmLogin.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using Dialogs::Icon;

namespace {
const QString User = QStringLiteral("chefia");
const QString Password = QStringLiteral("chavemax");
const QString BadLogin = QStringLiteral("Usuário/Senha inválido!");

// A database named by config.ini and the login on screen, with the dialogs scripted.
struct Run {
    explicit Run(Engine engine, bool schema = true) : db(engine, schema) {
        cfg.writeCaminho(db.target());
        login.show();
    }
    void expectBadLogin() { s.box(QStringLiteral("DB - Atenção"), BadLogin); }
    // Still open and waiting for the operator, with the cursor back to normal.
    bool waiting() const {
        return login.isVisible() && login.result() == 0 && !ScreenCursor::isHourglass();
    }
    bool accepted() const { return !login.isVisible() && login.result() == QDialog::Accepted; }
    TestDb db;
    ConfigDir cfg;
    DialogScript s;
    TfrmLogin login;
};

bool connected() {
    return DMCap && DMCap->CnxPrincipal.isOpen();
}
} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(!DMCap); }
    void appearance();
    void caminho_data();
    void caminho();
    void refused_data();
    void refused();
    void olderSchema_data() { TestDb::addEngineRows(); }
    void olderSchema();
    void correctedWithoutRestart_data() { TestDb::addEngineRows(); }
    void correctedWithoutRestart();
    void reopenedAtEveryConfirmation_data() { TestDb::addEngineRows(); }
    void reopenedAtEveryConfirmation();
    void credentials_data();
    void credentials();
    void keys_data();
    void keys();
};

void TestLogin::appearance() {
    TfrmLogin login;
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    QCOMPARE(login.minimumSize(), login.maximumSize());
    QVERIFY(!(login.windowFlags() & Qt::WindowMinMaxButtonsHint));
    // The band white with grey text, the rest light grey (red 224, green 223, blue 227).
    const QImage shot = login.grab().toImage();
    QCOMPARE(shot.pixelColor(2, 2), QColor(Qt::white));
    QCOMPARE(shot.pixelColor(2, shot.height() - 3), QColor(224, 223, 227));
    QCOMPARE(login.Panel8->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    QTest::keyClicks(login.edtSenha, QStringLiteral("abc"));
    QCOMPARE(login.edtSenha->displayText(), QStringLiteral("***"));
    // The focus moves between the two boxes only.
    QCOMPARE(QApplication::focusWidget(), login.edtUsuario);
    QTest::keyClick(login.edtUsuario, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), login.edtSenha);
    QTest::keyClick(login.edtSenha, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), login.edtUsuario);
}

void TestLogin::caminho_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QByteArray>("contents"); // %1: the database; %2: a copy in folder "São João"
    QTest::addColumn<bool>("opens");
    const QList<std::tuple<const char*, QByteArray, bool, bool>> cases{
        {"as written", "[DB]\r\nCAMINHO=%1\r\n", true, false},
        {"blanks around", "[DB]\r\nCAMINHO=  %1 \t\r\n", true, false},
        {"relative to the program", "[DB]\r\nCAMINHO=São João/cap.db\r\n", true, true},
        {"accented folder", "[DB]\r\nCAMINHO=%2\r\n", true, true},
        {"nothing after the equals sign", "[DB]\r\nCAMINHO=\r\n", false, false},
        {"only blanks", "[DB]\r\nCAMINHO=  \t  \r\n", false, false},
        {"no section DB", "[BANCO]\r\nCAMINHO=%1\r\n", false, false},
        {"no key CAMINHO", "[DB]\r\nARQUIVO=%1\r\n", false, false},
        {"empty file", "", false, false},
    };
    for (Engine e : TestDb::engines())
        for (const auto& [name, contents, opens, sqliteOnly] : cases)
            if (e == Engine::SQLite || !sqliteOnly)
                QTest::newRow(qPrintable(rowName(e, QLatin1String(name))))
                    << e << contents << opens;
}

// What CAMINHO names is opened; a blank one lets the login through with the connection closed,
// also when the confirmation before had opened it.
void TestLogin::caminho() {
    QFETCH(Engine, engine);
    QFETCH(QByteArray, contents);
    QFETCH(bool, opens);
    Run r(engine);
    r.db.conn().execute(QStringLiteral("CREATE TABLE shell_probe (id INTEGER)"));
    const QString copy = r.cfg.filePath(QStringLiteral("São João/cap.db"));
    if (engine == Engine::SQLite) {
        // Write-ahead logging keeps recent changes beside the file until a checkpoint.
        r.db.conn().execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        QVERIFY(QDir(r.cfg.path()).mkdir(QStringLiteral("São João")));
        QVERIFY(QFile::copy(r.db.target(), copy));
    }
    r.expectBadLogin();
    confirm(r.login, User, QStringLiteral("errada"));
    QVERIFY(connected());
    const int openings = TDMCap::openings();

    r.cfg.write(
        QByteArray(contents).replace("%1", r.db.target().toUtf8()).replace("%2", copy.toUtf8()));
    confirm(r.login, User, Password);
    VERIFY_SCRIPT(r.s);
    QVERIFY(r.accepted());
    QCOMPARE(connected(), opens);
    QCOMPARE(TDMCap::openings(), openings + (opens ? 1 : 0));
    if (opens) {
        QCOMPARE(DMCap->CnxPrincipal.engine(), engine);
        QCOMPARE(
            DMCap->CnxPrincipal.selectValue(QStringLiteral("SELECT count(*) FROM shell_probe")),
            QVariant(0));
    }
}

void TestLogin::refused_data() {
    addEngineRows({"config.ini missing", "config.ini a folder", "database without the schema"},
                  {"missing file", "not a database", "folder"}, {"unknown database", "no server"});
}

// The login waits, even for the right pair: the connection is tried before the pair is checked.
void TestLogin::refused() {
    QFETCH(Engine, engine);
    QFETCH(QString, kind);
    Run r(engine, false);
    QString target = r.db.target();
    if (kind == "missing file") {
        target = r.cfg.filePath(QStringLiteral("nao-existe.db"));
    } else if (kind == "not a database") {
        target = r.cfg.filePath(QStringLiteral("texto.db"));
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(3000, 'x')) == 3000);
    } else if (kind == "folder") {
        target = r.cfg.path();
    } else if (kind == "unknown database") {
        target = TestDb::pgUri(QStringLiteral("cap_nao_existe"));
    } else if (kind == "no server") {
        target = QStringLiteral("postgresql://cap@127.0.0.1:1/postgres");
    }
    r.cfg.writeCaminho(target);
    const QString ini = r.cfg.filePath(QStringLiteral("config.ini"));
    Icon icon = Icon::None;
    if (kind.startsWith("config.ini")) {
        QVERIFY(QFile::remove(ini));
        if (kind == "config.ini a folder")
            QVERIFY(QDir().mkdir(ini));
        r.s.box(QStringLiteral("Erro"), QStringLiteral("O arquivo config.ini não foi encontrado!"));
        icon = Icon::Error;
    } else {
        // The engine's own text follows ours at once.
        const QString engineText = openError(target);
        QVERIFY(!engineText.isEmpty());
        r.s.box(QStringLiteral("BD - Atenção"),
                QStringLiteral("Erro ao tentar conectar ao banco de dados.") + engineText);
    }
    const int openings = TDMCap::openings();
    confirm(r.login, User, Password);
    VERIFY_SCRIPT(r.s);
    QCOMPARE(r.s.seen().last().icon, icon);
    QVERIFY(r.waiting());
    QVERIFY(DMCap && !DMCap->CnxPrincipal.isOpen());
    QCOMPARE(TDMCap::openings(), openings);
    if (kind == "missing file")
        QVERIFY(!QFile::exists(target)); // never a new empty database
}

// A database of an earlier version is refused with the connection message and what to ask
// for; once upgraded, the same confirmation lets the operator in.
void TestLogin::olderSchema() {
    QFETCH(Engine, engine);
    Run r(engine, false);
    r.db.createSchemaVersion1();
    const QString why = openError(r.db.target());
    QVERIFY2(why.contains(QStringLiteral("versão 1 do esquema")) &&
                 why.contains(QStringLiteral("capdb atualiza")),
             qPrintable(why));
    r.s.box(QStringLiteral("BD - Atenção"),
            QStringLiteral("Erro ao tentar conectar ao banco de dados.") + why);
    confirm(r.login, User, Password);
    VERIFY_SCRIPT(r.s);
    QVERIFY(r.waiting());
    QVERIFY(!DMCap->CnxPrincipal.isOpen());

    Schema::atualiza(r.db.conn());
    QTest::mouseClick(r.login.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(r.s);
    QVERIFY(r.accepted());
    QVERIFY(connected());
}

void TestLogin::correctedWithoutRestart() {
    QFETCH(Engine, engine);
    Run r(engine);
    const QString wrong = engine == Engine::SQLite ? r.cfg.filePath(QStringLiteral("errado.db"))
                                                   : TestDb::pgUri(QStringLiteral("cap_errado"));
    r.cfg.writeCaminho(wrong);
    r.s.box(QStringLiteral("BD - Atenção"),
            QStringLiteral("Erro ao tentar conectar ao banco de dados.") + openError(wrong));
    confirm(r.login, User, Password);
    VERIFY_SCRIPT(r.s);
    QVERIFY(r.waiting());
    r.cfg.writeCaminho(r.db.target());
    QTest::mouseClick(r.login.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(r.s);
    QVERIFY(r.accepted());
    QVERIFY(connected());
}

// Each confirmation closes the connection and opens a new one (a temporary table, private to
// one connection, does not survive it); the holder is made once.
void TestLogin::reopenedAtEveryConfirmation() {
    QFETCH(Engine, engine);
    Run r(engine);
    const int creations = TDMCap::creations();
    const int openings = TDMCap::openings();
    TDMCap* holder = nullptr;
    for (const QString& password :
         {QStringLiteral("errada"), QStringLiteral("chavemax "), Password}) {
        if (password != Password)
            r.expectBadLogin();
        confirm(r.login, User, password);
        VERIFY_SCRIPT(r.s);
        QVERIFY(connected());
        if (!holder)
            holder = DMCap;
        QCOMPARE(DMCap, holder);
        QVERIFY_THROWS_EXCEPTION(DbError, DMCap->CnxPrincipal.selectValue("SELECT 1 FROM sessao"));
        DMCap->CnxPrincipal.execute(QStringLiteral("CREATE TEMPORARY TABLE sessao (id INTEGER)"));
    }
    QVERIFY(r.accepted());
    QCOMPARE(TDMCap::creations(), creations + 1);
    QCOMPARE(TDMCap::openings(), openings + 3);
}

void TestLogin::credentials_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    const QList<std::tuple<const char*, QString, QString>> cases{
        {"right pair", User, Password},
        {"user in upper case", "CHEFIA", Password},
        {"user with a trailing blank", "chefia ", Password},
        {"user with a leading blank", " chefia", Password},
        {"password in upper case", User, "CHAVEMAX"},
        {"password with a trailing blank", User, "chavemax "},
        {"password cut short", User, "chavema"},
        {"pair swapped", Password, User},
        {"both empty", "", ""},
    };
    for (Engine e : TestDb::engines())
        for (const auto& [name, user, password] : cases)
            QTest::newRow(qPrintable(rowName(e, QLatin1String(name)))) << e << user << password;
}

// The connection is opened whatever was typed; a wrong pair leaves the login as it was.
void TestLogin::credentials() {
    QFETCH(Engine, engine);
    QFETCH(QString, user);
    QFETCH(QString, password);
    const bool right = user == User && password == Password;
    Run r(engine);
    if (!right)
        r.expectBadLogin();
    r.login.edtSenha->setFocus();
    confirm(r.login, user, password);
    VERIFY_SCRIPT(r.s);
    QVERIFY(connected());
    if (right) {
        QVERIFY(r.accepted());
        return;
    }
    QCOMPARE(r.s.seen().last().icon, Icon::Information);
    QVERIFY(r.waiting());
    QCOMPARE(r.login.edtUsuario->text(), user);
    QCOMPARE(r.login.edtSenha->text(), password);
    QCOMPARE(r.login.focusWidget(), r.login.edtSenha);
}

void TestLogin::keys_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("Enter in the user box") << "user Return" << Password << "waits";
    QTest::newRow("keypad Enter in the user box") << "user Enter" << Password << "waits";
    QTest::newRow("Enter in the password box") << "password Return" << Password << "in";
    QTest::newRow("keypad Enter in the password box") << "password Enter" << Password << "in";
    QTest::newRow("Enter, wrong password") << "password Return"
                                           << "x"
                                           << "refused";
    QTest::newRow("Esc in the user box") << "user Escape" << Password << "ended";
    QTest::newRow("Esc in the password box") << "password Escape" << Password << "ended";
    QTest::newRow("Sair") << "Sair" << Password << "left";
    QTest::newRow("close button") << "close" << Password << "left";
}

// Leaving never connects nor shows anything, even with a database and the right pair typed.
void TestLogin::keys() {
    QFETCH(QString, action);
    QFETCH(QString, password);
    QFETCH(QString, outcome);
    Run r(Engine::SQLite);
    if (outcome == "refused")
        r.expectBadLogin();
    QTest::keyClicks(r.login.edtUsuario, User);
    QTest::keyClicks(r.login.edtSenha, password);
    QLineEdit* box = action.startsWith("user") ? r.login.edtUsuario : r.login.edtSenha;
    if (action.endsWith("Return"))
        QTest::keyClick(box, Qt::Key_Return);
    else if (action.endsWith("Enter"))
        QTest::keyClick(box, Qt::Key_Enter);
    else if (action.endsWith("Escape"))
        QTest::keyClick(box, Qt::Key_Escape);
    else if (action == "Sair")
        QTest::mouseClick(r.login.SpeedButton2, Qt::LeftButton);
    else
        QVERIFY(r.login.close());
    VERIFY_SCRIPT(r.s);
    if (outcome == "in")
        QVERIFY(r.accepted());
    else if (outcome == "waits" || outcome == "refused")
        QVERIFY(r.waiting());
    else
        QCOMPARE(r.login.result(), int(QDialog::Rejected));
    QCOMPARE(r.login.isVisible(), outcome == "waits" || outcome == "refused");
    QCOMPARE(r.login.terminated(), outcome == "ended");
    QCOMPARE(DMCap != nullptr, outcome == "in" || outcome == "refused");
}

CAP_SHELL_TEST_MAIN(TestLogin)
#include "tst_login.moc"
