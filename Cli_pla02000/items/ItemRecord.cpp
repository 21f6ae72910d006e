// The item record's own events: what is checked before an item may be
// inserted or edited, the defaults of a new item, the snapshot of the items
// before a change, the marks drawn in the grid, the location lines of the
// current item, and the form's reaction to an item being edited.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "db/LocalConnection.h"
#include "services/Codibarra.h"
#include "services/Consiste.h"
#include "ui/Pages.h"

namespace {

bool editando(const TDataSet& ds) {
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

std::string aspas(const std::string& value) {
    std::string out;
    for (char c : value) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out;
}

// A package's bar code names its product; any other code is taken as the tree code itself.
std::string arvoreDoCodigoBarra(const std::string& code) {
    auto conn = db::LocalConnection();
    if (!conn) return code;
    auto r = conn->Query("SELECT P.CDARVPROD FROM CODBARRA B, PRODUTO P"
                         " WHERE B.CDCODBARRA = :B AND P.CDPRODUTO = B.CDPRODUTO",
                         {{"B", code}});
    return r.Empty() ? code : text::TrimRight(r.rows[0][0].AsString());
}

}  // namespace

void TfrmRetirada::bindItemHandlers() {
    TClientDataSet& it = cdsItLanctoEst;
    it.BeforeInsert = [this](TDataSet& d) { cdsItLanctoEstBeforeInsert(d); };
    it.AfterInsert = [this](TDataSet& d) { cdsItLanctoEstAfterInsert(d); };
    it.BeforeEdit = [this](TDataSet& d) { cdsItLanctoEstBeforeEdit(d); };
    it.AfterEdit = [this](TDataSet& d) { cdsItLanctoEstAfterEdit(d); };
    it.BeforePost = [this](TDataSet& d) { cdsItLanctoEstBeforePost(d); };
    it.AfterPost = [this](TDataSet& d) { cdsItLanctoEstAfterPost(d); };
    it.AfterCancel = [this](TDataSet& d) { cdsItLanctoEstAfterCancel(d); };
    it.AfterScroll = [this](TDataSet& d) { cdsItLanctoEstAfterScroll(d); };
    marcaEvolEstoq_ = &it.FieldByName("IDEVOLESTOQ");
    marcaEstoqueOk_ = &it.FieldByName("ESTOQUEOK");
    marcaErro_ = &it.FieldByName("IDERRO");
    marcaProduto_ = &it.FieldByName("CDPRODUTO");
    it.OnCalcFields = [this](TDataSet& d) { cdsItLanctoEstCalcFields(d); };
    it.FieldByName("QTDEVOLVRETI").OnValidate = [this](TField& f) { cdsItLanctoEstQTDEVOLVRETIValidate(f); };
    dtsItLanctoEst.OnStateChange = [this](TDataSource& s) { dtsItLanctoEstStateChange(s); };

    dbgItens->OnEnter = [this](TObject* s) { dbgItensEnter(s); };
    dbgItens->OnExit = [this](TObject* s) { dbgItensExit(s); };
    dbgItens->OnColEnter = [this](TObject* s) { dbgItensColEnter(s); };
    dbgItens->OnColExit = [this](TObject* s) { dbgItensColExit(s); };
    dbgItens->OnEditButtonClick = [this](TObject* s) { dbgItensEditButtonClick(s); };
    qryProduto.BeforeOpen = [this](TDataSet& d) { qryProdutoBeforeOpen(d); };
    qryPesqProduto.BeforeOpen = [this](TDataSet& d) { qryPesqProdutoBeforeOpen(d); };
}

void TfrmRetirada::leCodigoBarra() { Codibarra::CodigoBarra(dbgItens, "CDARVPROD", arvoreDoCodigoBarra); }

void TfrmRetirada::janelaItens() {
    RetiradaUnit& u = Pla02000Unit();
    GetParamEstoque(Filial(), "S", "10", false);
    // Only a saved withdrawal being changed has a window; one being included or edited takes items.
    u.boGridReadOnly = cdsLanctoEst.State() == TDataSetState::dsBrowse &&
                       ForaDaJanela(cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime());
    ControlaEdicaoItens();
}

void TfrmRetirada::copiaItens() {
    if (cdsItLanctoEst.Active() && !cdsItLanctoEst.IsEmpty()) {
        cdsItlanctoVdAux.SetData(cdsItLanctoEst.Data());
    } else if (cdsItlanctoVdAux.Active()) {
        cdsItlanctoVdAux.EmptyDataSet();
    } else {
        cdsItlanctoVdAux.CreateDataSet();
    }
}

void TfrmRetirada::cdsItLanctoEstBeforeInsert(TDataSet& ds) {
    if (ds.State() == TDataSetState::dsBrowse) ValidaInventario();
    Vd_BloqInclProd();
    copiaItens();
    janelaItens();
    if (Pla02000Unit().boGridReadOnly) throw EAbort();
    if (grbTipoPrat->Visible() && cdsRetiTipoPrat.Active() && !cdsRetiTipoPrat.IsEmpty() &&
        cdsRetiTipoPrat.FieldByName("IDSTATUS").AsString() == "D")
        throw EAbort();
    const bool semPratos = !cdsRetiTipoPrat.Active() || cdsRetiTipoPrat.IsEmpty();
    Vd_TipoPrat(semPratos);
    Vd_Prato(semPratos);
    // The new item joins the items of the dish shown.
    ds.SetFiltered(false);
    if (grbTipoPrat->Visible() && cdsRetiTipoPrat.Active() && !cdsRetiTipoPrat.IsEmpty()) FiltraItensPrato();
}

void TfrmRetirada::cdsItLanctoEstAfterInsert(TDataSet& ds) {
    TColumn& codigo = dbgItens->Columns()[dbgItens->ColumnIndexOf("CDARVPROD")];
    codigo.ButtonStyle = TColumnButtonStyle::cbsEllipsis;
    dbgItens->SetSelectedField("CDARVPROD");
    const bool comPrato = grbTipoPrat->Visible() && cdsRetiTipoPrat.Active() && !cdsRetiTipoPrat.IsEmpty();
    const bool codBarra = ParamEstoque("IDUTCODBARRA") == "S" || ParamEstoque("IDUTCODBARFI") == "S";
    if (comPrato && !cdsRetiTipoPrat.FieldByName("CDTIPOPRAT").AsString().empty() && codBarra &&
        !ds.ControlsDisabled())
        leCodigoBarra();
    ds.FieldByName("IDEVOLESTOQ").SetAsString("N");
    if (comPrato)
        for (const char* f : {"CDTIPOPRAT", "CDPRATO", "CDFILAUXPRAT"})
            ds.FieldByName(f).SetValue(cdsRetiTipoPrat.FieldByName(f).Value());
    const std::string tipo = ParamEstoque("CDTPRETIPADR");
    ds.FieldByName("CDTIPORETI").SetAsString(tipo);
    if (!cdsTipoReti.Active()) GetTipoReti();
    cdsTipoReti.SetFilter("CDTIPORETI = '" + aspas(tipo) + "'");
    cdsTipoReti.SetFiltered(true);
    ds.FieldByName("NMTIPORETI").SetAsString(cdsTipoReti.IsEmpty() ? "" : cdsTipoReti.FieldByName("NMTIPORETI").AsString());
    cdsTipoReti.SetFilter("");
    cdsTipoReti.SetFiltered(false);
}

void TfrmRetirada::cdsItLanctoEstBeforeEdit(TDataSet& ds) {
    if (ds.State() == TDataSetState::dsBrowse) ValidaInventario();
    cdsItlanctoVdAux.SetData(cdsItLanctoEst.Data());
    janelaItens();
    if (Pla02000Unit().boGridReadOnly) throw EAbort();
}

void TfrmRetirada::cdsItLanctoEstAfterEdit(TDataSet& ds) {
    TField& consumida = ds.FieldByName("QTTOTLANCTO");
    if (consumida.IsNull()) consumida.SetAsFloat(0);
    // What is already in stock, so the server moves only the difference.
    if (!Pla02000Unit().boAtEstoque && ds.FieldByName("IDEVOLESTOQ").AsString() == "S")
        ds.FieldByName("VRQTDEANT").SetAsFloat(consumida.AsFloat());
}

void TfrmRetirada::cdsItLanctoEstAfterPost(TDataSet& ds) {
    copiaItens();
    boVdColuna = false;
    dbgItens->Columns()[dbgItens->ColumnIndexOf("CDARVPROD")].ButtonStyle = TColumnButtonStyle::cbsNone;
    CalculaCustoTotal();
    if (!RetiPorPrato() || !cdsRetiTipoPrat.Active() || cdsRetiTipoPrat.IsEmpty()) return;
    bool outroPrato = false;
    for (const char* f : {"CDTIPOPRAT", "CDPRATO", "CDFILAUXPRAT"})
        outroPrato = outroPrato || ds.FieldByName(f).AsString() != cdsRetiTipoPrat.FieldByName(f).AsString();
    if (outroPrato) {
        ds.SetFiltered(false);
        FiltraItensPrato();
    }
    if (editando(cdsRetiTipoPrat)) cdsRetiTipoPrat.Post();
}

void TfrmRetirada::cdsItLanctoEstAfterCancel(TDataSet&) {
    dbgItens->Columns()[dbgItens->ColumnIndexOf("CDARVPROD")].ButtonStyle = TColumnButtonStyle::cbsNone;
}

void TfrmRetirada::cdsItLanctoEstAfterScroll(TDataSet& ds) {
    if (!boUsaLocalizacao || !cdsLocalizacao.Active()) return;
    cdsLocalizacao.SetFilter("NRSEQUITRETI = '" + aspas(ds.FieldByName("NRSEQUITRETI").AsString()) + "'");
    cdsLocalizacao.SetFiltered(true);
}

bool TfrmRetirada::temErroItem(const std::string& product) const {
    TClientDataSet* r = cdsRetorno.get();
    if (!r || !r->Active() || r->IsEmpty()) return false;
    TField* objeto = r->FindField("CDOBJETO");
    if (!objeto) return false;
    // Read row by row: a repaint must not move the result list's cursor.
    const std::string procurado = text::Upper(product);
    for (int i = 0, n = r->RowCount(); i < n; ++i)
        if (text::Upper(r->ValueAt(i, *objeto).AsString()) == procurado) return true;
    return false;
}

bool TfrmRetirada::ResultErroItem(const std::string& product) {
    if (!cdsRetorno || !cdsRetorno->Active() || cdsRetorno->IsEmpty() || !cdsRetorno->FindField("CDOBJETO")) return false;
    return cdsRetorno->Locate("CDOBJETO", Variant(product), loCaseInsensitive);
}

void TfrmRetirada::cdsItLanctoEstCalcFields(TDataSet& ds) {
    // The item's declared fields live as long as the form; any other dataset looks its fields up.
    const bool itens = &ds == &cdsItLanctoEst && marcaEvolEstoq_;
    TField& evolEstoq = itens ? *marcaEvolEstoq_ : ds.FieldByName("IDEVOLESTOQ");
    TField& produto = itens ? *marcaProduto_ : ds.FieldByName("CDPRODUTO");
    (itens ? *marcaEstoqueOk_ : ds.FieldByName("ESTOQUEOK")).SetAsBoolean(evolEstoq.AsString() != "N");
    (itens ? *marcaErro_ : ds.FieldByName("IDERRO")).SetAsString(temErroItem(produto.AsString()) ? "S" : "N");
}

void TfrmRetirada::cdsItLanctoEstQTDEVOLVRETIValidate(TField& f) {
    if (!f.IsNull() && f.AsFloat() < 0) erroItem("QTDEVOLVRETI", "Quant_Inv");
}

void TfrmRetirada::dtsItLanctoEstStateChange(TDataSource&) {
    TClientDataSet& it = cdsItLanctoEst;
    if (editando(it)) {
        tshFormulario->SetEnabled(true);
        pgcPadrao->SetActivePage(tshFormulario);
        mnuFolhaDados->SetEnabled(false);
        mnuFormulario->SetEnabled(true);
        // An item change is a change of the withdrawal: it waits for confirmation or cancel.
        if (cdsLanctoEst.State() == TDataSetState::dsBrowse && !Pla02000Unit().boAtualizandoEstoque) cdsLanctoEst.Edit();
        tshFolhaDados->SetTabVisible(false);
        tshFolhaDados->SetEnabled(false);
        tshResumo->SetEnabled(tshFolhaDados->Enabled());
        mnuResumo->SetEnabled(tshResumo->Enabled());
    }
    const int codigo = dbgItens->ColumnIndexOf("CDARVPROD");
    if (codigo >= 0)
        dbgItens->Columns()[codigo].ButtonStyle =
            it.State() == TDataSetState::dsInsert ? TColumnButtonStyle::cbsEllipsis : TColumnButtonStyle::cbsNone;
    HabilitaAtuaQtdeConsumida();
}

void TfrmRetirada::btfCalculaTotCustoClick(TObject*) { CalculaCustoTotal(); }
