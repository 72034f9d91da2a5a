#include "shell/CapApplication.h"
#include "shell/Startup.h"
#include "shell/UPrincipal.h"

// Each working screen plugs into its menu button here, as it comes to exist:
//   TfrmPrincipal::setScreenFactory(Screen::Associado, [] { return new TfrmAssociado; });
static void registerScreens() {}

int main(int argc, char** argv) {
    CapApplication app(argc, argv);
    registerScreens();
    try {
        return runProgram(app);
    } catch (...) {
        CapApplication::showException(std::current_exception());
        return 1;
    }
}
