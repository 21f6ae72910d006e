// The header's meal service: the typed code checked on the server, its name,
// and the service search list of the branch.
#include "Cli_pla02000/Retirada.h"

#include "core/ScopeGuard.h"
#include "services/Consiste.h"

void TfrmRetirada::Vd_CdServico(bool required) {
    if (!Editando(dtsPadrao)) return;
    TScopeFailure foco([this] {
        if (medCdServico->CanFocus()) medCdServico->SetFocus();
    });
    if (medCdServico->Text().empty()) {
        if (required) Consiste::MensErro(msgPadrao->Msg("Cod_Inf"), true);
        return;
    }
    medCdServico->SetText(Consiste::Ajusta(medCdServico->Text(), 5));
    Variant result = CallServer(netRetirada, "getVdServico", {Variant(Filial()), Variant(medCdServico->Text())});
    cdsVdServico.SetData(Consiste::CheckResultServ(result, true, 0));
    if (cdsVdServico.IsEmpty()) Consiste::MensErro(msgPadrao->Msg("Serv_Inv"), true);
    if (cdsVdServico.FieldByName("IDSERVATIV").AsString() == "N")
        Consiste::MensErro(msgPadrao->Msg("Serv_Inativo"), true);
    edtNmServico->SetText(cdsVdServico.FieldByName("NMSERVICO").AsString());
}

void TfrmRetirada::medCdServicoChange(TObject*) { edtNmServico->Clear(); }

void TfrmRetirada::medCdServicoExit(TObject*) {
    if (!Editando(dtsPadrao)) return;
    Vd_CdServico(false);
    cdsLanctoEst.FieldByName("CDSERVFILI").SetAsString(medCdServico->Text());
    cdsLanctoEst.FieldByName("NMSERVICO").SetAsString(edtNmServico->Text());
}

void TfrmRetirada::btpServicoBeforePesq(TObject*, bool&) {
    qryServico.Close();
    qryServico.ParamByName("P_CDFILIAL").SetAsString(Filial());
    // The list shows an open dataset only.
    qryServico.Open();
}

void TfrmRetirada::btpServicoAfterPesq(TObject*) {
    // The code first: its change handler clears the name.
    medCdServico->SetText(qryServico.FieldByName("CDSERVFILI").AsString());
    edtNmServico->SetText(qryServico.FieldByName("NMSERVICO").AsString());
}
