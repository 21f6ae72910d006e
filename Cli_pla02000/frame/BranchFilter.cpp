// The branch panel: entering resets the screen to an empty browse page;
// leaving validates the branch, loads its parameters and opens the browse filter.
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02010/FiltroRetirada.h"
#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "services/Consiste.h"
#include "services/Morvena.h"

namespace {
void setEnabled(std::initializer_list<TControl*> controls, bool on) {
    for (TControl* c : controls) c->SetEnabled(on);
}
void setEnabled(std::initializer_list<TMenuItem*> items, bool on) {
    for (TMenuItem* m : items) m->SetEnabled(on);
}
}  // namespace

void TfrmRetirada::panFiltroEnter(TObject*) {
    tshFolhaDados->SetEnabled(true);
    pgcPadrao->SetActivePage(tshFolhaDados);
    mnuFolhaDados->SetEnabled(true);
    mnuFolhaDados->SetChecked(true);
    tshFormulario->SetEnabled(false);
    mnuFormulario->SetChecked(false);
    mnuFormulario->SetEnabled(false);
    for (TDataSource* s : {&dtsPadrao, &dtsRomaRetirada, &dtsItLanctoEst, &dtsServico}) s->SetEnabled(false);
    cdsRomaRetirada.Close();
    cdsLanctoEst.Close();
    cdsItLanctoEst.Close();
    setEnabled({sbtIncluir, sbtAlterar, sbtExcluir, sbtProcurar, sbtVerificar, sbtAtuaEstoq, sbtFiltro, sbtRetGeral},
               false);
    setEnabled({mnuIncluir, mnuAlterar, mnuExcluir, mnuProcurar, mnuVerificar, mnuAtuaEstoque, mnuFiltraLanc,
                mnuRetGeral, mnuConfirmar, mnuCancelar},
               false);
    tshResumo->SetEnabled(false);
    mnuResumo->SetEnabled(tshResumo->Enabled());
}

void TfrmRetirada::medCdFilialChange(TObject*) {
    edtNmFilial->Clear();
    medCdServico->Clear();
    edtNmServico->Clear();
    for (TDataSource* s : {&dtsPadrao, &dtsItLanctoEst, &dtsServico, &dtsRomaRetirada}) s->SetEnabled(false);
}

void TfrmRetirada::btpFilialBeforePesq(TObject*, bool&) {
    qryFilial.Close();
    qryFilial.ParamByName("P_CDFILIAL").SetAsString("");
    qryFilial.ParamByName("P_TCDFILIAL").SetAsString("T");
    // The list shows what the query holds, so it runs here.
    qryFilial.Open();
}

void TfrmRetirada::btpFilialAfterPesq(TObject*) {
    medCdFilial->SetText(qryFilial.FieldByName("CDFILIAL").AsString());
    edtNmFilial->SetText(qryFilial.FieldByName("NMFILIAL").AsString());
}

void TfrmRetirada::falhaFilial() {
    if (medCdFilial->EnabledChain()) {
        if (!medCdFilial->Focused() && medCdFilial->CanFocus()) medCdFilial->SetFocus();
        return;
    }
    setEnabled({tshFolhaDados, tshFormulario, tshResumo}, false);
    setEnabled({mnuFolhaDados, mnuFormulario, mnuResumo}, false);
}

void TfrmRetirada::VerificaFilial(bool flag) {
    TScopeFailure falha([this] { falhaFilial(); });
    medCdFilial->SetText(Consiste::Ajusta(Filial(), 4));
    edtNmFilial->SetText(Consiste::ValidaFilial(Filial(), Morvena::Operador(), flag));
    // The header of a new withdrawal takes the company and registrations
    // from the branch's row.
    qryFilial.Close();
    qryFilial.ParamByName("P_CDFILIAL").SetAsString(Filial());
    qryFilial.ParamByName("P_TCDFILIAL").SetAsString("N");
    qryFilial.Open();
    GetParamEstoque(Filial(), "S", "10", false);
    if (ParamEstoque("IDCTRLESTQ") != "S") {
        tshResumo->SetEnabled(false);
        tshFormulario->SetEnabled(false);
        mnuResumo->SetEnabled(tshResumo->Enabled());
        mnuFormulario->SetEnabled(tshFormulario->Enabled());
    }
}

void TfrmRetirada::medCdFilialExit(TObject*) { VerificaFilial(false); }

void TfrmRetirada::GetParamFilial() {
    TScopeFailure falha([this] { falhaFilial(); });
    Variant result = Consiste::CheckResultServ(CallServer(netRetirada, "GetParamFilial", {Variant(Filial())}), true, 0);
    cdsParamFilial.SetData(result);
}

void TfrmRetirada::UsaLocalizacao() {
    Variant result = Consiste::CheckResultServ(CallServer(netRetirada, "UsaLocalizacao", {Variant(Filial())}), true, 0);
    boUsaLocalizacao = result.AsBoolean();
    grbLocalizacao->SetVisible(boUsaLocalizacao);
    if (!boUsaLocalizacao) cdsLocalizacao.Close();
}

void TfrmRetirada::HabilitaRetGeral() {
    HabilitaComando(retirada::Comando::RetGeral, dtFiltroIni == dtFiltroFin && Pla02000Unit().boHabilitaReti);
}

void TfrmRetirada::panFiltroExit(TObject*) {
    VerificaFilial(true);
    GetParamFilial();

    bool ficaNaFilial = false;
    if (!CriaFiltroRetirada()) {
        if (medCdFilial->EnabledChain())
            ficaNaFilial = true;
        else if (dbgPadrao->CanFocus())
            dbgPadrao->SetFocus();
        // The filter stays at hand, so that a cancelled one can be opened again.
        sbtFiltro->SetEnabled(true);
        mnuFiltraLanc->SetEnabled(sbtFiltro->Enabled());
        HabilitaRetGeral();
    }

    UsaLocalizacao();

    // Without a list the user goes back to the branch field: the focus move
    // that left the panel is refused.
    if (ficaNaFilial && medCdFilial->Focused()) Abort();
    if (ficaNaFilial && medCdFilial->CanFocus()) medCdFilial->SetFocus();
}

void TfrmRetirada::habilitaPainelFilial(bool on) {
    for (TControl* c : {static_cast<TControl*>(lblFilial), static_cast<TControl*>(medCdFilial),
                        static_cast<TControl*>(btpFilial)})
        c->SetEnabled(on);
}
