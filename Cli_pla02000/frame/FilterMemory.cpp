// After a confirmation the browse filter remembers what the form now shows.
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02010/FiltroRetirada.h"

void TfrmRetirada::ChangeParams() {
    // A dialog never opened remembers nothing yet.
    TfrmFiltroRetirada* filtro = Pla02010Unit().frmFiltroRetirada;
    if (!filtro) return;
    filtro->LembraFiltro(medCdServico->Text(), edtNmServico->Text());
}
