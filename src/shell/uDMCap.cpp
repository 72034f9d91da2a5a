#include "shell/uDMCap.h"

#include "core/Schema.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/dialogs/SilentAbort.h"
#include "platform/files/IniFile.h"
#include "platform/widgets/ScreenCursor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

TDMCap* DMCap = nullptr;

namespace {
int g_creations = 0;
int g_openings = 0;
QString g_configDir;

const auto NoConfigText = QStringLiteral("O arquivo config.ini não foi encontrado!");
const auto ConnectErrorText = QStringLiteral("Erro ao tentar conectar ao banco de dados.");

// A relative SQLite path means a file beside config.ini, wherever the program was started.
QString targetFor(const QString& caminho) {
    const QString path = caminho.trimmed();
    if (Connection::engineOf(path) == Engine::SQLite && QDir::isRelativePath(path))
        return QDir(configDirectory()).filePath(path);
    return caminho;
}

[[noreturn]] void connectFailed(const QString& why) {
    DMCap->CnxPrincipal.close();
    ScreenCursor::normal();
    Dialogs::messageBox(nullptr, ConnectErrorText + why, QStringLiteral("BD - Atenção"));
    throw SilentAbort();
}
} // namespace

TDMCap::TDMCap(QObject* owner) : QObject(owner), CnxPrincipal(QStringLiteral("CnxPrincipal")) {
    setObjectName(QStringLiteral("DMCap"));
    ++g_creations;
    DMCap = this;
}

TDMCap::~TDMCap() {
    if (DMCap == this)
        DMCap = nullptr;
}

int TDMCap::creations() {
    return g_creations;
}
int TDMCap::openings() {
    return g_openings;
}

QString configDirectory() {
    return g_configDir.isEmpty() ? QCoreApplication::applicationDirPath() : g_configDir;
}

QString configIniPath() {
    return QDir(configDirectory()).filePath(QStringLiteral("config.ini"));
}

void setConfigDirectory(const QString& dir) {
    g_configDir = dir;
}

void ConectaBanco() {
    if (!DMCap)
        new TDMCap(QCoreApplication::instance());
    DMCap->CnxPrincipal.close();

    const QString ini = configIniPath();
    if (!QFileInfo(ini).isFile()) {
        ScreenCursor::normal();
        Dialogs::messageBox(nullptr, NoConfigText, QStringLiteral("Erro"), Dialogs::Icon::Error);
        throw SilentAbort();
    }

    const QString caminho =
        IniFile::readString(ini, QStringLiteral("DB"), QStringLiteral("CAMINHO"), QString());
    if (caminho.trimmed().isEmpty())
        return;

    DMCap->CnxPrincipal.setConnectionString(targetFor(caminho));
    try {
        DMCap->CnxPrincipal.open();
        // A database without our tables fails here, not at the first screen.
        Schema::verify(DMCap->CnxPrincipal);
    } catch (const DbError& e) {
        connectFailed(e.message());
    } catch (const std::exception& e) {
        connectFailed(QString::fromUtf8(e.what()));
    }
    ++g_openings;
}
