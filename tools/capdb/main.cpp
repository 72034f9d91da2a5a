#include "Capdb.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // The SQL drivers are plugins, which need an application object to be found.
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Capdb::run(app.arguments().mid(1), out, err);
}
