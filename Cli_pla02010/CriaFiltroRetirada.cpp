// The package's entry to the browse filter dialog, alone in its file so that
// a test program of the screen can play the dialog with a stand-in.
#include "Cli_pla02010/FiltroRetirada.h"

#include "Cli_pla02000/Retirada.h"
#include "core/Exception.h"
#include "ui/Application.h"
#include "ui/CursorGuard.h"

extern "C" bool CriaFiltroRetirada() {
    if (!frmRetirada()) throw Exception("A tela de retirada não está aberta.");
    FiltroRetiradaUnit& u = Pla02010Unit();
    TApplication& app = Application();
    if (!u.frmFiltroRetirada) {
        THourGlass espera;
        u.frmFiltroRetirada = app.CreateForm<TfrmFiltroRetirada>("frmFiltroRetirada");
    }
    // Each showing reports its own outcome: closing without confirming is
    // never taken for an earlier confirmation.
    u.boConfirma = false;
    u.frmFiltroRetirada->ShowModal();
    return u.boConfirma;
}
