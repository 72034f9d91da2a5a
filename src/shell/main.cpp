#include "bankfiles/ufrmDevolucaoCheque.h"
#include "bankfiles/ufrmGeraArqDepositoCustodia.h"
#include "capture/uCapturaCheque.h"
#include "payroll/ufrmGeraArqPagFuncionario.h"
#include "registries/ufrmAssociado.h"
#include "registries/ufrmDepartamento.h"
#include "registries/ufrmFeriado.h"
#include "registries/ufrmFuncionario.h"
#include "reports/ufrmRelatorio.h"
#include "shell/CapApplication.h"
#include "shell/Startup.h"
#include "shell/UPrincipal.h"
#include "shell/uDMCap.h"

// Each working screen plugs into its menu button here. The screens are made on the first click,
// after the login, when the connection exists.
static void registerScreens() {
    TfrmPrincipal::setScreenFactory(Screen::Associado,
                                    [] { return new TfrmAssociado(&DMCap->CnxPrincipal); });
    TfrmPrincipal::setScreenFactory(Screen::Departamento,
                                    [] { return new TfrmDepartamento(&DMCap->CnxPrincipal); });
    TfrmPrincipal::setScreenFactory(Screen::Funcionario,
                                    [] { return new TfrmFuncionario(&DMCap->CnxPrincipal); });
    TfrmPrincipal::setScreenFactory(Screen::Feriado,
                                    [] { return new TfrmFeriado(&DMCap->CnxPrincipal); });
    TfrmPrincipal::setScreenFactory(Screen::CapturaCheque,
                                    [] { return new TfrmCapturaCheque(&DMCap->CnxPrincipal); });
    TfrmPrincipal::setScreenFactory(Screen::GeraArqPagFuncionario, [] {
        return new TfrmGeraArqPagFuncionario(&DMCap->CnxPrincipal);
    });
    TfrmPrincipal::setScreenFactory(Screen::Relatorio,
                                    [] { return new TfrmRelatorio(&DMCap->CnxPrincipal); });
    TfrmPrincipal::setScreenFactory(Screen::GeraArqDepositoCustodia, [] {
        return new TfrmGeraArqDepositoCustodia(&DMCap->CnxPrincipal);
    });
    TfrmPrincipal::setScreenFactory(Screen::DevolucaoCheque,
                                    [] { return new TfrmDevolucaoCheque(&DMCap->CnxPrincipal); });
}

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
