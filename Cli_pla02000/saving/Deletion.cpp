// The Delete command: on the list page a whole saved withdrawal is deleted on
// the server at once (DelLancto); on the form page the current item or
// dish-type group is only marked "D", and the next confirmation removes it.
// A server refusal by result rows keeps the withdrawal and shows why.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/Msgaler.h"
#include "services/ProgressNote.h"
#include "stocklib/Lib00200.h"
#include "stocklib/Lib02200.h"
#include "ui/Pages.h"

namespace {

bool temLinha(TDataSet& ds, const char* key) {
    return ds.Active() && !ds.IsEmpty() && ds.FindField("CDERRO") &&
           ds.Locate("CDERRO", Variant(key), loCaseInsensitive);
}

}  // namespace

Variant TfrmRetirada::ChamaDelLancto(VariantArray& args) {
    // The server's refusal for a service with billed meals, in the user's
    // words, whether it comes as the answer's text or as a raised failure.
    const std::string faturado = "EFET_FATU";
    Variant result;
    try {
        result = CallServer(netRetirada, "DelLancto", args);
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        if (e.Message() == faturado) throw Exception(msgPadrao->Msg(faturado));
        throw;
    }
    if (result.IsString() && result.AsString() == faturado) throw Exception(msgPadrao->Msg(faturado));
    return Consiste::CheckResultServ(result, true, 0);
}

TDateTime TfrmRetirada::FimExclusao(TDateTime data) {
    const TDateTime dia = Morvena::DataProc(Filial()).DateOnly();
    return dia >= data.DateOnly() ? dia : data;
}

void TfrmRetirada::RetornoDaExclusao(const Variant& result) {
    if (result.IsPacket()) cdsRetorno->SetData(result);
    else if (cdsRetorno->Active()) cdsRetorno->EmptyDataSet();
}

bool TfrmRetirada::ExclusaoRecusada() {
    // The server deletes all or nothing and answers error rows only when it
    // kept the withdrawal, so any error row is a refusal: whatever the ignore
    // list and IDPERMESTNEG say, the withdrawal must not leave the list.
    for (const char* key : {"LIB00200_3", "LIB00200_4", "PLA02000_1", "PLA02000_2"})
        if (temLinha(*cdsRetorno, key)) return true;
    return false;
}

void TfrmRetirada::sbtExcluirClick(TObject*) {
    const bool naLista = pgcPadrao->ActivePage() == tshFolhaDados;
    {
        TConnectionUse estoque = UsoConexao(netEstoque);
        TConnectionUse autoriza = UsoConexao(netAutoriza);
        Lib00200::ValidaInventario(netEstoque, Filial(), Morvena::DataProc(Filial()));
        if (!Lib02200::Autoriza(netAutoriza, TAutoriza::Operador, "EXCLUSAO_RETIRADA", "")) throw EAbort();
        // On the list the withdrawal deleted is the row's, whatever header the form page holds.
        const TDateTime data = naLista && cdsRomaRetirada.Active() && !cdsRomaRetirada.IsEmpty()
                                   ? cdsRomaRetirada.FieldByName("DTLANCESTQ").AsDateTime()
                                   : dbdRetirada->Date();
        Lib00200::Confirma_Liberacao(netEstoque, netAutoriza, Filial(), data, Pla02000Unit().boAltLiberada);
    }
    if (naLista) {
        if (msgPadrao->ShowMsg("Excl_Lanc", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) !=
            mrYes)
            return;
        Repaint();
        Exclusao("0");
        return;
    }
    if (!dbgTipoPrat->Visible() || dbgItens->Focused()) {
        if (!cdsItLanctoEst.Active() || cdsItLanctoEst.IsEmpty()) return;
        // The last item not yet marked stays: a withdrawal keeps one item at least.
        if (ItensNaoMarcados() <= 1) Consiste::MensErro(msgPadrao->Msg("exclui_ultimo"), true);
        if (cdsItLanctoEst.FieldByName("IDSTATUS").AsString() != "D") cdsItLanctoEst.Delete();
        return;
    }
    if (dbgTipoPrat->Focused() && cdsRetiTipoPrat.Active() && !cdsRetiTipoPrat.IsEmpty() &&
        cdsRetiTipoPrat.FieldByName("IDSTATUS").AsString() != "D")
        cdsRetiTipoPrat.Delete();
}

void TfrmRetirada::Exclusao(const std::string& ignoreList) {
    if (!cdsRomaRetirada.Active() || cdsRomaRetirada.IsEmpty()) return;
    {
        TScopeExit repinta([this] { Repaint(); });
        TProgressNote nota(1, msgPadrao->Msg("Exc_msg"));
        auto campo = [&](const char* f) { return Variant(cdsRomaRetirada.FieldByName(f).AsString()); };
        const TDateTime data = cdsRomaRetirada.FieldByName("DTLANCESTQ").AsDateTime();
        VariantArray args{campo("CDFILIAL"),   campo("CDFILIMOVI"),       campo("NRLANCESTQ"),
                          campo("NRRETIRADA"), Variant(data),             Variant(FimExclusao(data)),
                          Variant(ParamEstoque("IDPERMESTNEG")),          Variant(ignoreList),
                          campo("NRCARDAPIO"), Variant(data),             campo("NRREQUEXTRRE")};
        RetornoDaExclusao(ChamaDelLancto(args));
    }
    if (ExclusaoRecusada()) {
        if (ParamEstoque("IDPERMESTNEG") != "S") {
            Consiste::MensErro(msgPadrao->Msg("Del_Est_Irreg"), false);
            if (pgcPadrao->ActivePage() != tshFormulario) ativaPagina(tshFormulario);
            // The items that blocked the deletion show their marks.
            MostraColunaErro();
            return;
        }
        const std::string texto = msgPadrao->Msg("OpcExc") + "\r\n\r\n" + msgPadrao->Msg("opc_exc1") + "\r\n" +
                                  msgPadrao->Msg("opc_exc2");
        const int escolha = Tmsgaler::MsgAlertEx(texto, TMsgDlgType::mtConfirmation,
                                                 {msgPadrao->Msg("BtnExc1"), msgPadrao->Msg("BtnExc2")}, 1, 0, 0);
        Repaint();
        if (escolha == 10) Exclusao(ResultIrreg());
        return;
    }
    // Deleted on the server: the row leaves the list.
    if (cdsRetorno->Active() && !cdsRetorno->IsEmpty()) cdsRetorno->EmptyDataSet();
    HabilitaComando(retirada::Comando::VisualizaErros, false);
    cdsRomaRetirada.Delete();
    dtsRomaRetirada.SetEnabled(true);
    ativaPagina(tshFolhaDados);
    const bool linhas = !cdsRomaRetirada.IsEmpty();
    for (TControl* c : {static_cast<TControl*>(tshFormulario), static_cast<TControl*>(tshFolhaDados)}) c->SetEnabled(linhas);
    mnuFormulario->SetEnabled(linhas);
    mnuFolhaDados->SetEnabled(linhas);
    tshResumo->SetEnabled(tshFolhaDados->Enabled());
    mnuResumo->SetEnabled(tshResumo->Enabled());
    if (!linhas) DisableForInsert();
}

void TfrmRetirada::cdsItLanctoEstBeforeDelete(TDataSet& ds) {
    RetiradaUnit& u = Pla02000Unit();
    if (ds.State() == TDataSetState::dsBrowse) ValidaInventario();
    const bool interativa = dbgItens->Focused();
    if (!interativa) return;  // the program's own removals (the save's) go through
    if (cdsLanctoEst.State() == TDataSetState::dsBrowse) {
        GetParamEstoque(Filial(), "S", "10", true);
        u.boGridReadOnly = ForaDaJanela(cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime());
    } else {
        u.boGridReadOnly = false;
    }
    if (u.boGridReadOnly) throw EAbort();
    if (ds.FieldByName("IDSTATUS").AsString() == "D") return;
    if (msgPadrao->ShowMsg("Excl_prod", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) != mrYes)
        throw EAbort();
    if (dtsPadrao.State() == TDataSetState::dsBrowse) cdsLanctoEst.Edit();
    {
        boExcluindo = true;
        TScopeExit fim([this] { boExcluindo = false; });
        if (ds.State() == TDataSetState::dsBrowse) ds.Edit();
        ds.FieldByName("IDSTATUS").SetAsString("D");
        ds.Post();
    }
    // The row stays, marked, until the next confirmation removes it.
    throw EAbort();
}

void TfrmRetirada::bindDeletion() {
    cdsItLanctoEst.BeforeDelete = [this](TDataSet& d) { cdsItLanctoEstBeforeDelete(d); };
    cdsRetiTipoPrat.BeforeDelete = [this](TDataSet& d) { cdsRetiTipoPratBeforeDelete(d); };
    cdsRetiTipoPrat.AfterDelete = [this](TDataSet& d) { cdsRetiTipoPratAfterDelete(d); };
}
