// Cancel steps back one level at a time: the item being typed, then the new
// dish-type group being typed, and only after a question every unsaved change
// of the withdrawal. The error display of a failed save goes with every level
// but the first two.
#include "Cli_pla02000/Retirada.h"

#include "core/ScopeGuard.h"
#include "services/Morvena.h"

#include <vector>

namespace {

bool editando(const TDataSet& ds) {
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

}  // namespace

void TfrmRetirada::removeItensNovosDoPrato() {
    // Only items typed under this new group and never saved go: a saved
    // group's saved items are never removed behind the user's back.
    TClientDataSet& it = cdsItLanctoEst;
    if (!it.Active()) return;
    const std::string tipo = cdsRetiTipoPrat.FieldByName("CDTIPOPRAT").AsString();
    const std::string prato = cdsRetiTipoPrat.FieldByName("CDPRATO").AsString();
    const std::string filial = cdsRetiTipoPrat.FieldByName("CDFILAUXPRAT").AsString();
    auto doGrupo = [&] {
        return it.FieldByName("CDTIPOPRAT").AsString() == tipo && it.FieldByName("CDPRATO").AsString() == prato &&
               it.FieldByName("CDFILAUXPRAT").AsString() == filial;
    };
    // No question, mark or inventory check: these rows never reached the server.
    auto antes = it.BeforeDelete;
    it.BeforeDelete = nullptr;
    TScopeExit religa([&] { it.BeforeDelete = antes; });
    const bool filtrado = it.Filtered();
    it.SetFiltered(false);
    TScopeExit refiltra([&] { it.SetFiltered(filtrado); });
    it.First();
    while (!it.Eof()) {
        if (doGrupo() && it.UpdateStatus() == usInserted) it.Delete();
        else it.Next();
    }
}

void TfrmRetirada::sbtCancelarClick(TObject*) {
    RetiradaUnit& u = Pla02000Unit();
    if (medCdFilial->Focused()) {
        fechaCancelamento();
        return;
    }
    if (editando(cdsItLanctoEst)) {
        cdsItLanctoEst.Cancel();
        return;
    }
    if (editando(cdsRetiTipoPrat)) {
        if (grbTipoPrat->Visible() && cdsRetiTipoPrat.State() == TDataSetState::dsInsert) removeItensNovosDoPrato();
        cdsRetiTipoPrat.Cancel();
        return;
    }
    if (msgPadrao->ShowMsg("Cancel", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) != mrYes) {
        fechaCancelamento();
        return;
    }
    CancelaEdicao(cdsLanctoEst);
    if (cdsLanctoEst.Active()) cdsLanctoEst.CancelUpdates();
    CancelaEdicao(cdsItLanctoEst);
    if (cdsItLanctoEst.Active()) cdsItLanctoEst.CancelUpdates();
    if (dbgTipoPrat->Visible() && cdsRetiTipoPrat.Active()) cdsRetiTipoPrat.CancelUpdates();

    reabreNavegacao();
    CalculaCustoTotal();
    u.boDtEstoq = true;
    if (cdsRetorno && cdsRetorno->Active() && !cdsRetorno->IsEmpty()) cdsRetorno->EmptyDataSet();
    cdsRetiTipoPratAfterScroll(cdsRetiTipoPrat);
    fechaCancelamento();
}

void TfrmRetirada::reabreNavegacao() {
    if (!Morvena::ModuFili()) habilitaPainelFilial(true);
    mnuFolhaDados->SetEnabled(true);
    mnuFormulario->SetEnabled(true);
    tshFolhaDados->SetTabVisible(true);
    tshFolhaDados->SetEnabled(true);
    tshResumo->SetEnabled(tshFolhaDados->Enabled());
    mnuResumo->SetEnabled(tshResumo->Enabled());
}

void TfrmRetirada::fechaCancelamento() {
    HabilitaComando(retirada::Comando::VisualizaErros, false);
    mnuFolhaDados->SetChecked(pgcPadrao->ActivePage() == tshFolhaDados);
    mnuFormulario->SetChecked(pgcPadrao->ActivePage() == tshFormulario);
    EscondeColunaErro();
    const int erroPrato = dbgTipoPrat->ColumnIndexOf("IDERRO");
    if (erroPrato >= 0) dbgTipoPrat->Columns()[erroPrato].Visible = false;
    if (!cdsRomaRetirada.Active() || cdsRomaRetirada.IsEmpty()) DisableForInsert();
}
