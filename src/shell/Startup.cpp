#include "shell/Startup.h"

#include "shell/UPrincipal.h"
#include "shell/ufrmLogin.h"

#include <QApplication>
#include <memory>

int runProgram(QApplication& app) {
    auto login = std::make_unique<TfrmLogin>();
    if (login->exec() != QDialog::Accepted)
        return 0;
    login->hide();
    (new TfrmPrincipal)->show();
    login.reset();
    const int code = app.exec();
    TfrmPrincipal::destroyScreens();
    return code;
}
