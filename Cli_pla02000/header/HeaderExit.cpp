// Leaving the header: the server's change check that settles the menu number,
// then the whole header validated before the items may be entered; entering
// it again opens its inputs.
#include "Cli_pla02000/Retirada.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "services/Consiste.h"
#include "ui/Dialogs.h"
#include "ui/Pages.h"

namespace {

std::string campo(const TDataSet& ds, const char* field) {
    if (!ds.Active() || ds.IsEmpty()) return "";
    return ds.FieldByName(field).AsString();
}

Variant data(const TDBDateEdit* edit) { return edit->IsEmpty() ? Variant() : Variant(edit->Date()); }

bool temLinha(TDataSet& ds, const char* field, const std::string& value) {
    if (!ds.Active()) return false;
    for (int i = 0; i < ds.RowCount(); ++i)
        if (text::SameText(ds.DisplayTextAt(i, ds.FieldByName(field)), value)) return true;
    return false;
}

}  // namespace

void TfrmRetirada::grbDadosExit(TObject*) {
    RetiradaUnit& u = Pla02000Unit();
    // Nothing to check or to number on a header that is not being typed.
    if (!Editando(dtsPadrao)) return;
    // The diet prefix is the header's service's: a record left from another
    // service (the requisition filled the code, another withdrawal was typed
    // before) is fetched again.
    if (!medCdServico->Text().empty() && campo(cdsVdServico, "CDSERVFILI") != medCdServico->Text())
        Vd_CdServico(false);
    const bool dieta = campo(cdsVdServico, "IDTIPOSERV") == "D";
    Variant result = CallServer(
        netRetirada, "Verif_Alteracao",
        {Variant(cdsLanctoEst.FieldByName("CDFILIMOVI").AsString()), cdsLanctoEst.FieldByName("DTLANCESTQ").Value(),
         Variant(Filial()), Variant(medCdServico->Text()), data(dbdDtCardapio), Variant(dieta ? "PAH_" : "")});
    result = Consiste::CheckResultServ(result, true, 0);
    if (!result.IsArray() || result.AsArray().size() < 3)
        throw Exception("Verif_Alteracao: resposta incompleta do servidor.");
    const VariantArray& partes = result.AsArray();
    cdsRetorno->SetData(partes[0]);
    if (temLinha(*cdsRetorno, "CDERRO", "Lib00200_2") &&
        msgPadrao->ShowMsg("Lanc_Bloq_Impl", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) !=
            mrYes) {
        CancelaEdicao(cdsLanctoEst);
        CancelaEdicao(cdsRetiTipoPrat);
        CancelaEdicao(cdsItLanctoEst);
        CancelaEdicao(cdsLocalizacao);
        // The header is gone: the browse page comes back (the include hid
        // it), and nothing may be written into the header any more.
        tshFolhaDados->SetTabVisible(true);
        tshFolhaDados->SetEnabled(true);
        tshResumo->SetEnabled(true);
        mnuResumo->SetEnabled(true);
        throw EAbort();
    }
    if (!Editando(dtsPadrao)) return;
    cdsVerifCardapio.SetData(partes[1]);
    if (!cdsVerifCardapio.IsEmpty()) {
        u.stNrCardapio = cdsVerifCardapio.FieldByName("NRCARDAPIO").AsString();
        u.stIdNovoCardapio = "N";
    } else if (dieta && partes[2].IsString() && partes[2].AsString() == "N") {
        if (medCdServico->CanFocus()) medCdServico->SetFocus();
        Consiste::MensErro(msgPadrao->Msg("DietServ_NCad"), true);
    } else {
        u.stNrCardapio = "NOVOCODRET";
        u.stIdNovoCardapio = "S";
    }
    cdsLanctoEst.FieldByName("NRCARDAPIO").SetAsString(u.stNrCardapio);
}

void TfrmRetirada::panLancamentoEnter(TObject*) {
    if (Editando(dtsPadrao)) HabilitaFiltro(true);
}

void TfrmRetirada::panLancamentoExit(TObject*) {
    if (!Editando(dtsPadrao)) return;
    const std::string requisicao = dbeNrRequisicao->Text();
    if (!requisicao.empty() && requisicao != "0000000000") {
        TScopeFailure foco([this] {
            if (dbeNrRequisicao->CanFocus()) dbeNrRequisicao->SetFocus();
        });
        Variant result = CallServer(netRetirada, "GetPrevRetiAux",
                                    {Variant(Filial()), Variant(requisicao), Variant(medCdServico->Text()),
                                     data(dbdDtCardapio)});
        cdsPrevRetiAux.SetData(Consiste::CheckResultServ(result, true, 0));
        const bool confere = !cdsPrevRetiAux.IsEmpty() &&
                             cdsPrevRetiAux.FieldByName("CDSERVFILI").AsString() == medCdServico->Text() &&
                             !dbdDtCardapio->IsEmpty() &&
                             cdsPrevRetiAux.FieldByName("DTPREVRETI").AsDateTime().DateOnly() ==
                                 dbdDtCardapio->Date().DateOnly();
        if (!confere) Consiste::MensErro(msgPadrao->Msg("REQ_INVALIDO"), true);
    }
    Vd_CdServico(true);
    Vd_DataRetirada();
    Vd_DataCardapio();
    HabilitaFiltro(false);
}
