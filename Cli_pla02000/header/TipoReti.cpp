// The withdrawal type of an item: the list of types from the server and the
// check of the current item's type, with the type's product restriction.
#include "Cli_pla02000/Retirada.h"

#include "services/Consiste.h"

void TfrmRetirada::focaColunaItem(const char* field) {
    if (dbgItens->CanFocus()) dbgItens->SetFocus();
    dbgItens->SetSelectedField(field);
}

void TfrmRetirada::GetTipoReti() {
    Variant result = CallServer(netRetirada, "GetTipoReti", {});
    cdsTipoReti.SetData(Consiste::CheckResultServ(result, true, 0));
}

void TfrmRetirada::Vd_TipoReti(bool required) {
    TClientDataSet& item = cdsItLanctoEst;
    const TDataSetState s = item.State();
    if (s != TDataSetState::dsEdit && s != TDataSetState::dsInsert) return;
    if (item.FieldByName("IDSTATUS").AsString() == "D") return;
    TField& tipo = item.FieldByName("CDTIPORETI");
    if (tipo.AsString().empty()) {
        item.FieldByName("NMTIPORETI").SetAsString("");
        if (required) {
            focaColunaItem("CDTIPORETI");
            Consiste::MensErro(msgPadrao->Msg("inftiporeti"), true);
        }
        return;
    }
    tipo.SetAsString(Consiste::Ajusta(tipo.AsString(), tipo.Size()));
    if (!cdsTipoReti.Active() || cdsTipoReti.IsEmpty()) GetTipoReti();
    if (!cdsTipoReti.Locate("CDTIPORETI", Variant(tipo.AsString()), loCaseInsensitive)) {
        focaColunaItem("CDTIPORETI");
        Consiste::MensErro(msgPadrao->Msg("vdtiporeti"), true);
    }
    tipo.SetAsString(cdsTipoReti.FieldByName("CDTIPORETI").AsString());
    item.FieldByName("NMTIPORETI").SetAsString(cdsTipoReti.FieldByName("NMTIPORETI").AsString());

    qryExisteProdTReti.Close();
    qryExisteProdTReti.ParamByName("P_CDTIPORETI").SetAsString(tipo.AsString());
    qryExisteProdTReti.Open();
    if (qryExisteProdTReti.IsEmpty()) return;
    qryValidProdReti.Close();
    qryValidProdReti.ParamByName("P_CDTIPORETI").SetAsString(tipo.AsString());
    qryValidProdReti.ParamByName("P_CDPRODUTO").SetAsString(item.FieldByName("CDARVPROD").AsString());
    qryValidProdReti.Open();
    if (qryValidProdReti.IsEmpty()) {
        focaColunaItem("CDTIPORETI");
        Consiste::MensErro(msgPadrao->Msg("TReti_NRelacProd"), true);
    }
}
