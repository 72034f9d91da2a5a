#include "ShellTest.h"

#include "core/Schema.h"
#include "shell/uDMCap.h"
#include "shell/ufrmLogin.h"

#include <QFile>
#include <QLineEdit>
#include <QToolButton>

ConfigDir::ConfigDir() {
    setConfigDirectory(m_dir.path());
}

ConfigDir::~ConfigDir() {
    delete DMCap;
    setConfigDirectory({});
}

void ConfigDir::write(const QByteArray& contents) {
    QFile f(m_dir.filePath(QStringLiteral("config.ini")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(contents) != contents.size())
        qFatal("cannot write config.ini");
}

void ConfigDir::writeCaminho(const QString& caminho) {
    write("[DB]\r\nCAMINHO=" + caminho.toUtf8() + "\r\n");
}

QString openError(const QString& target) {
    Connection c(QStringLiteral("probe"));
    c.setConnectionString(target);
    try {
        c.open();
        Schema::verify(c);
    } catch (const DbError& e) {
        return e.message();
    }
    return {};
}

void confirm(TfrmLogin& login, const QString& user, const QString& password) {
    login.edtUsuario->clear();
    login.edtSenha->clear();
    QTest::keyClicks(login.edtUsuario, user);
    QTest::keyClicks(login.edtSenha, password);
    QTest::mouseClick(login.SpeedButton1, Qt::LeftButton);
}

QString rowName(Engine e, const QString& name) {
    return TestDb::engineName(e) + QLatin1Char('/') + name;
}

void addEngineRows(const QStringList& cases, const QStringList& sqliteOnly,
                   const QStringList& pgOnly) {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("kind");
    for (Engine e : TestDb::engines())
        for (const QString& c : cases + (e == Engine::SQLite ? sqliteOnly : pgOnly))
            QTest::newRow(qPrintable(rowName(e, c))) << e << c;
}
