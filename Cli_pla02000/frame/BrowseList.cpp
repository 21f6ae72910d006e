// The browse list a confirmed filter loaded, and the screen's entry to the
// browse filter dialog.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "ui/Application.h"

Variant TfrmRetirada::ChamaRetirada(const std::string& method, VariantArray args) {
    return CallServer(netRetirada, method, args);
}

void TfrmRetirada::FiltroCarregado(const TFiltroCarregado& carga) {
    RetiradaUnit& reti = Pla02000Unit();
    for (TDataSource* s : {&dtsPadrao, &dtsItLanctoEst, &dtsServico, &dtsRomaRetirada}) s->SetEnabled(true);
    tshFormulario->SetEnabled(true);
    dtFiltroIni = carga.DtRetiradaIni;
    dtFiltroFin = carga.DtRetiradaFin;
    reti.boHabilitaReti = true;
    Application().RequestRepaint(this);
    cdsRomaRetirada.SetData(carga.RomaRetirada);
    cdsUtilizaRetiPrat.SetData(carga.UtilizaRetiPrat);

    const bool rows = !cdsRomaRetirada.IsEmpty();
    mnuFormulario->SetEnabled(rows);
    mnuFolhaDados->SetEnabled(rows);
    tshFormulario->SetEnabled(rows);
    tshFolhaDados->SetEnabled(rows);
    tshResumo->SetEnabled(rows);
    mnuResumo->SetEnabled(tshResumo->Enabled());
    mnuFolhaDados->SetChecked(true);
    if (rows) {
        pgcPadrao->SetActivePage(tshFolhaDados);
        mnuProcurar->SetEnabled(sbtProcurar->Enabled());
    }
    reti.boDtEstoq = true;

    if (rows) {
        if (!pgcPadrao->Enabled()) pgcPadrao->SetEnabled(true);
        if (dbgPadrao->CanFocus()) dbgPadrao->SetFocus();
    } else {
        TTabSheet* p = pgcPadrao->ActivePage();
        if ((p == tshFormulario || p == tshResumo) && medCdFilial->Enabled()) {
            if (medCdFilial->CanFocus()) medCdFilial->SetFocus();
            pgcPadrao->SetActivePage(tshFolhaDados);
        }
    }
}

extern "C" bool CriaFiltroRetirada() {
    TfrmRetirada* f = frmRetirada();
    if (!f) throw Exception("A tela de retirada não está aberta.");
    return f->AbreFiltroRetirada ? f->AbreFiltroRetirada() : MostraFiltroRetirada();
}
