// The dish-type rows of a withdrawal by dish: a new row is checked (type,
// dish, no second row of the same group) before it is posted, its key can no
// longer be typed afterwards, and the item grid shows the items of the current
// row. Deleting a row marks it (dishtypes/DishDeletion.cpp).
#include "Cli_pla02000/Retirada.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/Pesquisa.h"
#include "ui/Keys.h"

namespace {

bool inserindo(const TDataSet& ds) { return ds.State() == TDataSetState::dsInsert; }

std::string coluna(const TDBGrid* grid) {
    const TField* f = grid->SelectedField();
    return f ? text::Upper(f->FieldName()) : std::string();
}

std::string aspas(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

}  // namespace

void TfrmRetirada::bindDishTypeHandlers() {
    cdsRetiTipoPrat.BeforeInsert = [this](TDataSet& d) { cdsRetiTipoPratBeforeInsert(d); };
    cdsRetiTipoPrat.AfterInsert = [this](TDataSet& d) { cdsRetiTipoPratAfterInsert(d); };
    cdsRetiTipoPrat.BeforePost = [this](TDataSet& d) { cdsRetiTipoPratBeforePost(d); };
    cdsRetiTipoPrat.AfterPost = [this](TDataSet& d) { cdsRetiTipoPratAfterPost(d); };
    cdsRetiTipoPrat.AfterScroll = [this](TDataSet& d) { cdsRetiTipoPratAfterScroll(d); };
    dtsRetiTipoPrat.OnStateChange = [this](TDataSource& s) { dtsRetiTipoPratStateChange(s); };
    dbgTipoPrat->OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { dbgTipoPratKeyDown(s, k, sh); };
    dbgTipoPrat->OnKeyPress = [this](TObject* s, char32_t& k) { dbgTipoPratKeyPress(s, k); };
    dbgTipoPrat->OnEditButtonClick = [this](TObject* s) { dbgTipoPratEditButtonClick(s); };
    dbgTipoPrat->OnColExit = [this](TObject* s) { dbgTipoPratColExit(s); };
    dbgTipoPrat->OnEnter = [this](TObject* s) { dbgTipoPratEnter(s); };
    dbgTipoPrat->OnExit = [this](TObject* s) { dbgTipoPratExit(s); };
    panItens->OnEnter = [this](TObject* s) { panItensEnter(s); };
    panItens->OnExit = [this](TObject* s) { panItensExit(s); };
    bindGridDrawing();
}

bool TfrmRetirada::PratoBloqueado() const {
    return RetiPorPrato() && cdsUtilizaRetiPrat.Active() && !cdsUtilizaRetiPrat.IsEmpty() &&
           cdsUtilizaRetiPrat.FieldByName("IDBLOQALTPRA").AsString() == "S";
}

std::string TfrmRetirada::FiltroTipoPrat(const TDataSet& ds) const {
    auto v = [&](const char* f) { return aspas(ds.FieldByName(f).AsString()); };
    return "CDTIPOPRAT = " + v("CDTIPOPRAT") + " AND CDPRATO = " + v("CDPRATO") + " AND CDFILAUXPRAT = " +
           v("CDFILAUXPRAT");
}

void TfrmRetirada::cdsRetiTipoPratBeforeInsert(TDataSet& ds) {
    RetiradaUnit& u = Pla02000Unit();
    if (ds.State() == TDataSetState::dsBrowse) ValidaInventario();
    if (!dbgTipoPrat->Visible()) throw EAbort();
    if (pgcPadrao->ActivePage() != tshFormulario) return;
    if (dbgTipoPrat->Focused() && PratoBloqueado()) throw EAbort();
    dbgTipoPrat->SetSelectedField("CDTIPOPRAT");
    cdsValidaRetiTpPrat.SetData(cdsRetiTipoPrat.Data());
    GetParamEstoque(Filial(), "S", "10", false);
    u.boGridReadOnly = ForaDaJanela(cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime());
    if (u.boGridReadOnly) throw EAbort();
}

void TfrmRetirada::cdsRetiTipoPratAfterInsert(TDataSet& ds) {
    if (cdsLanctoEst.State() == TDataSetState::dsBrowse && !cdsLanctoEst.IsEmpty() &&
        pgcPadrao->ActivePage() == tshFormulario)
        cdsLanctoEst.Edit();
    ds.FieldByName("IDERRO").SetAsString("N");
}

void TfrmRetirada::cdsRetiTipoPratBeforePost(TDataSet& ds) {
    if (!inserindo(ds) || pgcPadrao->ActivePage() != tshFormulario) return;
    Vd_TipoPrat(true);
    Vd_Prato(true);
    Vd_ChaveTipoPrat();
    cdsRetiTipoPratAfterScroll(ds);
    if (cdsItLanctoEst.IsEmpty() && grbTipoPrat->Visible() && !Editando(dtsPadrao))
        Consiste::MensErro(msgPadrao->Msg("Oper_Lan"), true);
}

void TfrmRetirada::cdsRetiTipoPratAfterPost(TDataSet&) {}

void TfrmRetirada::cdsRetiTipoPratAfterScroll(TDataSet&) {
    cdsItLanctoEst.SetFiltered(false);
    if (!grbTipoPrat->Visible() || !cdsRetiTipoPrat.Active()) return;
    cdsItLanctoEst.SetFilter(FiltroTipoPrat(cdsRetiTipoPrat));
    cdsItLanctoEst.SetFiltered(true);
}

void TfrmRetirada::Vd_ChaveTipoPrat() {
    if (!grbTipoPrat->Visible() || !inserindo(cdsRetiTipoPrat)) return;
    TScopeFailure foco([this] {
        if (dbgTipoPrat->CanFocus()) dbgTipoPrat->SetFocus();
        dbgTipoPrat->SetSelectedField("CDTIPOPRAT");
    });
    // The copy taken before the insert: a group already there, marked deleted or not.
    if (!cdsValidaRetiTpPrat.Active()) return;
    cdsValidaRetiTpPrat.SetFilter(FiltroTipoPrat(cdsRetiTipoPrat));
    cdsValidaRetiTpPrat.SetFiltered(true);
    TScopeExit semFiltro([this] { cdsValidaRetiTpPrat.SetFiltered(false); });
    if (!cdsValidaRetiTpPrat.IsEmpty() && cdsRetiTipoPrat.FieldByName("IDSTATUS").AsString() != "D") {
        dbgTipoPrat->SetSelectedField("CDTIPOPRAT");
        Consiste::MensErro(msgPadrao->Msg("RetiTpPrato_Cad"), true);
    }
}

void TfrmRetirada::dtsRetiTipoPratStateChange(TDataSource&) {
    const auto estilo = inserindo(cdsRetiTipoPrat) ? TColumnButtonStyle::cbsEllipsis : TColumnButtonStyle::cbsNone;
    for (const char* f : {"CDTIPOPRAT", "CDPRATO"}) {
        const int i = dbgTipoPrat->ColumnIndexOf(f);
        if (i >= 0) dbgTipoPrat->Columns()[static_cast<size_t>(i)].ButtonStyle = estilo;
    }
}

void TfrmRetirada::dbgTipoPratEditButtonClick(TObject*) {
    if (!inserindo(cdsRetiTipoPrat)) return;
    const std::string col = coluna(dbgTipoPrat);
    if (col == "CDTIPOPRAT") {
        qryTipoPrat.Close();
        qryTipoPrat.ParamByName("P_CDTIPOPRAT").SetAsString("");
        qryTipoPrat.ParamByName("P_TCDTIPOPRAT").SetAsString("T");
        if (Pesquisa::Pesquisar(&dtsTipoPrat, msgPadrao->Msg("TIPOPRAT") + "|" + msgPadrao->Msg("NCad_TipoPrat")))
            for (const char* f : {"CDTIPOPRAT", "NMTIPOPRAT"})
                cdsRetiTipoPrat.FieldByName(f).SetValue(qryTipoPrat.FieldByName(f).Value());
    } else if (col == "CDPRATO") {
        qryPrato.Close();
        qryPrato.ParamByName("P_CDFILIAL").SetAsString(Filial());
        qryPrato.ParamByName("P_NIVEL").SetAsString(std::to_string(Morvena::DBPictObj(1).GetTtNiveis()));
        if (Pesquisa::Pesquisar(&dtsPrato, msgPadrao->Msg("Prato") + "|" + msgPadrao->Msg("NCad_Prato"))) {
            for (const char* f : {"CDPRATO", "NMPRATO", "CDFILAUXPRAT"})
                cdsRetiTipoPrat.FieldByName(f).SetValue(qryPrato.FieldByName(f).Value());
            focaProdutoDoPrato();
        }
    }
}

void TfrmRetirada::focaProdutoDoPrato() {
    if (dbgItens->CanFocus()) dbgItens->SetFocus();
    dbgItens->SetSelectedField("CDARVPROD");
}

void TfrmRetirada::dbgTipoPratColExit(TObject*) {
    const std::string col = coluna(dbgTipoPrat);
    if (col == "CDTIPOPRAT") Vd_TipoPrat(false);
    else if (col == "CDPRATO") Vd_Prato(false);
}

void TfrmRetirada::dbgTipoPratEnter(TObject*) { ControlaBloqAltPra(); }

void TfrmRetirada::dbgTipoPratExit(TObject*) {
    if (dbgTipoPrat->Visible() && !Pla02000Unit().boFechando) {
        Vd_TipoPrat(true);
        Vd_Prato(true);
        Vd_ChaveTipoPrat();
    }
    // The commands the grid's focus held back come back as it is left.
    saindoTipoPrat_ = true;
    TScopeExit fim([this] { saindoTipoPrat_ = false; });
    ControlaBloqAltPra();
}

void TfrmRetirada::dbgTipoPratKeyDown(TObject*, WORD& key, TShiftState shift) {
    const bool ctrlDelete = key == VK_DELETE && shift.Ctrl;
    if (ctrlDelete && PratoBloqueado()) throw EAbort();
    if (key == VK_NEXT && shift.Alt && cdsItLanctoEst.Active() && !cdsItLanctoEst.IsEmpty()) {
        key = 0;
        if (dbgItens->CanFocus()) dbgItens->SetFocus();
        return;
    }
    if (ctrlDelete) {
        key = 0;
        cdsValidaRetiTpPrat.SetFiltered(false);
        cdsValidaRetiTpPrat.SetData(cdsRetiTipoPrat.Data());
        int vivos = 0;
        for (int i = 0; i < cdsValidaRetiTpPrat.RowCount(); ++i)
            if (cdsValidaRetiTpPrat.DisplayTextAt(i, cdsValidaRetiTpPrat.FieldByName("IDSTATUS")) != "D") ++vivos;
        if (vivos <= 1) Consiste::MensErro(msgPadrao->Msg("exclui_ultimo"), true);
        if (cdsRetiTipoPrat.FieldByName("IDSTATUS").AsString() == "D") return;
        cdsRetiTipoPrat.Delete();  // cdsRetiTipoPratBeforeDelete turns it into the marks
        return;
    }
    const std::string col = coluna(dbgTipoPrat);
    const bool chave = col == "CDTIPOPRAT" || col == "CDPRATO";
    if ((key == VK_DELETE || key == VK_BACK) && !shift.Ctrl && chave &&
        cdsRetiTipoPrat.State() == TDataSetState::dsEdit) {
        key = 0;
    } else if (key == VK_TAB && col == "CDPRATO" && inserindo(cdsRetiTipoPrat)) {
        key = 0;
        focaProdutoDoPrato();
    }
}

void TfrmRetirada::dbgTipoPratKeyPress(TObject*, char32_t& key) {
    // A saved group's key is not retyped.
    if (!inserindo(cdsRetiTipoPrat)) key = 0;
}
