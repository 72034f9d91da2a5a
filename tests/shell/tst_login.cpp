// The login: the connection step run at every confirmation, the fixed credentials, Enter and Esc.
#include "DialogScript.h"
#include "ShellTest.h"
#include "shell/ScreenCursor.h"
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
const QString ConnectError = QStringLiteral("Erro ao tentar conectar ao banco de dados.");

// Still open and waiting for the operator, with the cursor back to normal.
bool waiting(const TfrmLogin& login) {
    return login.isVisible() && login.result() == 0 && !ScreenCursor::isHourglass();
}
bool accepted(const TfrmLogin& login) {
    return !login.isVisible() && login.result() == QDialog::Accepted;
}
bool connected() {
    return DMCap && DMCap->CnxPrincipal.isOpen();
}
} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(!DMCap); }
    void appearance();
    void configMissing_data();
    void configMissing();
    void blankCaminho_data();
    void blankCaminho();
    void connects_data();
    void connects();
    void connectionError_data();
    void connectionError();
    void correctedWithoutRestart_data() { TestDb::addEngineRows(); }
    void correctedWithoutRestart();
    void reopenedAtEveryConfirmation_data() { TestDb::addEngineRows(); }
    void reopenedAtEveryConfirmation();
    void credentials_data();
    void credentials();
    void enterKey_data();
    void enterKey();
    void leaving_data();
    void leaving();
};

void TestLogin::appearance() {
    TfrmLogin login;
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    QCOMPARE(login.windowTitle(), QStringLiteral("Acesso ao sistema"));
    QCOMPARE(login.minimumSize(), login.maximumSize());
    QVERIFY(!(login.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(login.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(login.Panel8->text(), QStringLiteral("Identificação do Usuário  "));
    QVERIFY(login.Panel8->alignment() & Qt::AlignRight);

    // What is painted: the band white with grey text, the rest light grey (RGB 224, 223, 227).
    const QImage shot = login.grab().toImage();
    QCOMPARE(shot.pixelColor(2, 2), QColor(Qt::white));
    QCOMPARE(shot.pixelColor(2, shot.height() - 3), QColor(224, 223, 227));
    QCOMPARE(login.Panel8->palette().color(QPalette::WindowText), QColor(128, 128, 128));

    QVERIFY(login.edtUsuario->text().isEmpty() && login.edtSenha->text().isEmpty());
    QTest::keyClicks(login.edtSenha, QStringLiteral("abc"));
    QCOMPARE(login.edtSenha->displayText(), QStringLiteral("***"));
    QCOMPARE(login.SpeedButton1->text(), QStringLiteral("OK"));
    QCOMPARE(login.SpeedButton2->text(), QStringLiteral("Sair"));

    // The focus moves between the two boxes only.
    QCOMPARE(QApplication::focusWidget(), login.edtUsuario);
    QTest::keyClick(login.edtUsuario, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), login.edtSenha);
    QTest::keyClick(login.edtSenha, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), login.edtUsuario);
    QTest::mouseClick(login.SpeedButton2, Qt::LeftButton);
    QVERIFY(!login.isVisible());
}

void TestLogin::configMissing_data() {
    QTest::addColumn<bool>("folder");
    QTest::newRow("no file") << false;
    QTest::newRow("a folder named config.ini") << true;
}

void TestLogin::configMissing() {
    QFETCH(bool, folder);
    ConfigDir cfg;
    if (folder)
        QVERIFY(QDir(cfg.path()).mkdir(QStringLiteral("config.ini")));
    DialogScript s;
    s.box(QStringLiteral("Erro"), QStringLiteral("O arquivo config.ini não foi encontrado!"));
    TfrmLogin login;
    login.show();
    // The file is looked for before the credentials are: a wrong password is not reported.
    confirm(login, User, QStringLiteral("errada"));
    VERIFY_SCRIPT(s);
    QCOMPARE(s.seen().last().icon, Icon::Error);
    QVERIFY(waiting(login));
    QCOMPARE(login.edtSenha->text(), QStringLiteral("errada"));
    QVERIFY(DMCap && !DMCap->CnxPrincipal.isOpen());
}

void TestLogin::blankCaminho_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QByteArray>("contents");
    const QList<QPair<const char*, QByteArray>> cases{
        {"nothing after the equals sign", "[DB]\r\nCAMINHO=\r\n"},
        {"only blanks", "[DB]\r\nCAMINHO=  \t  \r\n"},
        {"no section DB", "[BANCO]\r\nCAMINHO=%1\r\n"},
        {"no key CAMINHO", "[DB]\r\nARQUIVO=%1\r\n"},
        {"empty file", ""},
    };
    for (Engine e : TestDb::engines())
        for (const auto& [name, contents] : cases)
            QTest::newRow(qPrintable(rowName(e, QLatin1String(name)))) << e << contents;
}

// No message and no connection; a connection opened by an earlier confirmation is closed.
void TestLogin::blankCaminho() {
    QFETCH(Engine, engine);
    QFETCH(QByteArray, contents);
    TestDb db(engine);
    ConfigDir cfg;
    cfg.writeCaminho(db.target());
    DialogScript s;
    s.box(QStringLiteral("DB - Atenção"), BadLogin);
    TfrmLogin login;
    login.show();
    confirm(login, User, QStringLiteral("errada"));
    QVERIFY(connected());
    const int openings = TDMCap::openings();

    cfg.write(QByteArray(contents).replace("%1", db.target().toUtf8()));
    confirm(login, User, Password);
    VERIFY_SCRIPT(s);
    QVERIFY(accepted(login));
    QVERIFY(DMCap && !DMCap->CnxPrincipal.isOpen());
    QCOMPARE(TDMCap::openings(), openings);
}

void TestLogin::connects_data() {
    addEngineRows({"as written", "blanks around"}, {"relative to the program", "accented folder"});
}

void TestLogin::connects() {
    QFETCH(Engine, engine);
    QFETCH(QString, kind);
    TestDb db(engine);
    db.conn().execute(QStringLiteral("CREATE TABLE shell_probe (id INTEGER)"));
    ConfigDir cfg;
    QString caminho = db.target();
    if (kind == "blanks around") {
        caminho = "  " + caminho + " \t";
    } else if (kind != "as written") {
        const QString folder = kind == "accented folder" ? QStringLiteral("Associação São João")
                                                         : QStringLiteral("dados");
        QVERIFY(QDir(cfg.path()).mkdir(folder));
        QVERIFY(QFile::copy(db.target(), cfg.filePath(folder + "/cap.db")));
        caminho = kind == "accented folder" ? cfg.filePath(folder + "/cap.db") : "dados/cap.db";
    }
    cfg.writeCaminho(caminho);
    DialogScript s;
    TfrmLogin login;
    login.show();
    confirm(login, User, Password);
    VERIFY_SCRIPT(s);
    QVERIFY(accepted(login));
    QVERIFY(connected());
    QCOMPARE(DMCap->CnxPrincipal.engine(), engine);
    QCOMPARE(DMCap->CnxPrincipal.selectValue(QStringLiteral("SELECT count(*) FROM shell_probe")),
             QVariant(0));
}

void TestLogin::connectionError_data() {
    addEngineRows({"database without the schema"}, {"missing file", "not a database", "folder"},
                  {"unknown database", "no server"});
}

// The engine's text right after ours; the login waits, even for the right credentials.
void TestLogin::connectionError() {
    QFETCH(Engine, engine);
    QFETCH(QString, kind);
    TestDb db(engine, false);
    ConfigDir cfg;
    QString target = db.target();
    if (kind == "missing file") {
        target = cfg.filePath(QStringLiteral("nao-existe.db"));
    } else if (kind == "not a database") {
        target = cfg.filePath(QStringLiteral("texto.db"));
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(3000, 'x'));
    } else if (kind == "folder") {
        target = cfg.path();
    } else if (kind == "unknown database") {
        target = TestDb::pgUri(QStringLiteral("cap_nao_existe"));
    } else if (kind == "no server") {
        target = QStringLiteral("postgresql://cap@127.0.0.1:1/postgres");
    }
    const QString engineText = openError(target);
    QVERIFY(!engineText.isEmpty());
    cfg.writeCaminho(target);
    const int openings = TDMCap::openings();
    DialogScript s;
    s.box(QStringLiteral("BD - Atenção"), ConnectError + engineText);
    TfrmLogin login;
    login.show();
    confirm(login, User, Password);
    VERIFY_SCRIPT(s);
    QCOMPARE(s.seen().last().icon, Icon::None);
    QVERIFY(waiting(login));
    QVERIFY(!DMCap->CnxPrincipal.isOpen());
    QCOMPARE(TDMCap::openings(), openings);
    if (kind == "missing file")
        QVERIFY(!QFile::exists(target)); // never a new empty database
}

void TestLogin::correctedWithoutRestart() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    ConfigDir cfg;
    const QString wrong = engine == Engine::SQLite ? cfg.filePath(QStringLiteral("errado.db"))
                                                   : TestDb::pgUri(QStringLiteral("cap_errado"));
    cfg.writeCaminho(wrong);
    DialogScript s;
    s.box(QStringLiteral("BD - Atenção"), ConnectError + openError(wrong));
    TfrmLogin login;
    login.show();
    confirm(login, User, Password);
    VERIFY_SCRIPT(s);
    QVERIFY(waiting(login));

    cfg.writeCaminho(db.target());
    QTest::mouseClick(login.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(s);
    QVERIFY(accepted(login));
    QVERIFY(connected());
}

// Each confirmation closes the connection and opens a new one (a temporary table, private to
// one connection, does not survive it); the holder is made once.
void TestLogin::reopenedAtEveryConfirmation() {
    QFETCH(Engine, engine);
    TestDb db(engine);
    ConfigDir cfg;
    cfg.writeCaminho(db.target());
    const int creations = TDMCap::creations();
    const int openings = TDMCap::openings();
    DialogScript s;
    TfrmLogin login;
    login.show();
    const QString probe = QStringLiteral("SELECT count(*) FROM sessao");
    TDMCap* holder = nullptr;
    for (const QString& password :
         {QStringLiteral("errada"), QStringLiteral("chavemax "), Password}) {
        if (password != Password)
            s.box(QStringLiteral("DB - Atenção"), BadLogin);
        confirm(login, User, password);
        VERIFY_SCRIPT(s);
        QVERIFY(connected());
        if (!holder)
            holder = DMCap;
        QCOMPARE(DMCap, holder);
        QVERIFY_THROWS_EXCEPTION(DbError, DMCap->CnxPrincipal.selectValue(probe));
        DMCap->CnxPrincipal.execute(QStringLiteral("CREATE TEMPORARY TABLE sessao (id INTEGER)"));
    }
    QVERIFY(accepted(login));
    QCOMPARE(TDMCap::creations(), creations + 1);
    QCOMPARE(TDMCap::openings(), openings + 3);
}

void TestLogin::credentials_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("right");
    const QList<std::tuple<const char*, QString, QString, bool>> cases{
        {"right pair", User, Password, true},
        {"user in upper case", "CHEFIA", Password, false},
        {"user with a trailing blank", "chefia ", Password, false},
        {"user with a leading blank", " chefia", Password, false},
        {"password in upper case", User, "CHAVEMAX", false},
        {"password with a trailing blank", User, "chavemax ", false},
        {"password cut short", User, "chavema", false},
        {"pair swapped", Password, User, false},
        {"both empty", "", "", false},
    };
    for (Engine e : TestDb::engines())
        for (const auto& [name, user, password, right] : cases)
            QTest::newRow(qPrintable(rowName(e, QLatin1String(name))))
                << e << user << password << right;
}

// The connection is opened first, whatever was typed; a wrong pair keeps the login as it was.
void TestLogin::credentials() {
    QFETCH(Engine, engine);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, right);
    TestDb db(engine);
    ConfigDir cfg;
    cfg.writeCaminho(db.target());
    DialogScript s;
    if (!right)
        s.box(QStringLiteral("DB - Atenção"), BadLogin);
    TfrmLogin login;
    login.show();
    login.edtSenha->setFocus();
    confirm(login, user, password);
    VERIFY_SCRIPT(s);
    QVERIFY(connected());
    if (right) {
        QVERIFY(accepted(login));
        return;
    }
    QCOMPARE(s.seen().last().icon, Icon::Information);
    QVERIFY(waiting(login));
    QCOMPARE(login.edtUsuario->text(), user);
    QCOMPARE(login.edtSenha->text(), password);
    QCOMPARE(login.focusWidget(), login.edtSenha);
}

void TestLogin::enterKey_data() {
    QTest::addColumn<bool>("inPassword");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("user box, Enter") << false << int(Qt::Key_Return) << Password << "nothing";
    QTest::newRow("user box, keypad Enter") << false << int(Qt::Key_Enter) << Password << "nothing";
    QTest::newRow("password box, Enter") << true << int(Qt::Key_Return) << Password << "in";
    QTest::newRow("password box, keypad Enter") << true << int(Qt::Key_Enter) << Password << "in";
    QTest::newRow("password box, wrong") << true << int(Qt::Key_Return) << "x"
                                         << "refused";
}

void TestLogin::enterKey() {
    QFETCH(bool, inPassword);
    QFETCH(int, key);
    QFETCH(QString, password);
    QFETCH(QString, outcome);
    TestDb db(Engine::SQLite);
    ConfigDir cfg;
    cfg.writeCaminho(db.target());
    DialogScript s;
    if (outcome == "refused")
        s.box(QStringLiteral("DB - Atenção"), BadLogin);
    TfrmLogin login;
    login.show();
    QTest::keyClicks(login.edtUsuario, User);
    QTest::keyClicks(login.edtSenha, password);
    QTest::keyClick(inPassword ? login.edtSenha : login.edtUsuario, Qt::Key(key));
    VERIFY_SCRIPT(s);
    if (outcome == "in")
        QVERIFY(accepted(login));
    else
        QVERIFY(waiting(login));
    QCOMPARE(DMCap != nullptr, outcome != "nothing");
}

void TestLogin::leaving_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("terminated");
    QTest::newRow("Esc in the user box") << "esc user" << true;
    QTest::newRow("Esc in the password box") << "esc password" << true;
    QTest::newRow("Sair") << "sair" << false;
    QTest::newRow("close button") << "close" << false;
}

// Even with a database and the right pair typed: no connection, no message, result Cancel.
void TestLogin::leaving() {
    QFETCH(QString, how);
    QFETCH(bool, terminated);
    TestDb db(Engine::SQLite);
    ConfigDir cfg;
    cfg.writeCaminho(db.target());
    DialogScript s;
    TfrmLogin login;
    login.show();
    QTest::keyClicks(login.edtUsuario, User);
    QTest::keyClicks(login.edtSenha, Password);
    if (how == "esc user")
        QTest::keyClick(login.edtUsuario, Qt::Key_Escape);
    else if (how == "esc password")
        QTest::keyClick(login.edtSenha, Qt::Key_Escape);
    else if (how == "sair")
        QTest::mouseClick(login.SpeedButton2, Qt::LeftButton);
    else
        QVERIFY(login.close());
    VERIFY_SCRIPT(s);
    QVERIFY(!login.isVisible());
    QCOMPARE(login.result(), int(QDialog::Rejected));
    QCOMPARE(login.terminated(), terminated);
    QVERIFY(!DMCap);
}

CAP_SHELL_TEST_MAIN(TestLogin)
#include "tst_login.moc"
