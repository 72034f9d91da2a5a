#pragma once

#include "TestDb.h"
#include "shell/CapApplication.h"

#include <QTemporaryDir>
#include <QTest>

class TfrmLogin;

// A folder standing for the executable's, where config.ini is written. While it lives the
// connection step reads it; at its end the connection holder is gone, so the next test starts
// as the program does.
class ConfigDir {
public:
    ConfigDir();
    ~ConfigDir();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // config.ini as written by hand on Windows: CR LF, UTF-8.
    void write(const QByteArray& contents);
    void writeCaminho(const QString& caminho);

private:
    QTemporaryDir m_dir;
};

// What opening `target` the way the connection step does raises ("" when it opens).
QString openError(const QString& target);

// Types into the login's boxes and clicks "OK".
void confirm(TfrmLogin& login, const QString& user, const QString& password);

// Adds the columns "engine" and "kind": a row per engine for each case, plus the cases that
// only one engine has.
void addEngineRows(const QStringList& cases, const QStringList& sqliteOnly = {},
                   const QStringList& pgOnly = {});
QString rowName(Engine e, const QString& name);

// The application object of the program, so that tests see its general error display.
#define CAP_SHELL_TEST_MAIN(TestClass)                                                             \
    int main(int argc, char** argv) {                                                              \
        CapApplication app(argc, argv);                                                            \
        TestClass tc;                                                                              \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
