#pragma once

#include "platform/data/Connection.h"

#include <QObject>
#include <QString>

// The holder of the program's one database connection. Every query of every screen runs on
// DMCap->CnxPrincipal.
class TDMCap : public QObject {
    Q_OBJECT
public:
    explicit TDMCap(QObject* owner = nullptr);
    ~TDMCap() override;

    Connection CnxPrincipal;

    // How many holders were created in this process, and how many times ConectaBanco opened
    // the connection: the login's promise of one holder and one opening per confirmation.
    static int creations();
    static int openings();
};

// The one instance, created by the first ConectaBanco and owned by the application object;
// nullptr before that.
extern TDMCap* DMCap;

// The connection step of the login's confirmation: creates DMCap on first use, closes the
// connection, reads CAMINHO from section DB of config.ini and, when it names a database, opens
// it. Returns with the connection open, or closed when CAMINHO is blank. When config.ini is
// missing or the database cannot be opened it shows its message, leaves the connection closed
// and raises SilentAbort. An error while reading config.ini is raised as it is.
void ConectaBanco();

// config.ini in the executable's directory, or in the directory set by setConfigDirectory.
QString configDirectory();
QString configIniPath();
// Points ConectaBanco at another directory (tests); an empty text restores the executable's.
void setConfigDirectory(const QString& dir);
