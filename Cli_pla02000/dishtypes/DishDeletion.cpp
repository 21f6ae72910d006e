// Deleting a dish-type group: asked for, it marks the group and its items "D"
// (the next confirmation removes them); a marked group is let through. When
// the last group is really removed, the withdrawal itself is deleted on the
// server, and a refusal there stops the save.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "data/ControlsDisabled.h"
#include "services/Consiste.h"

void TfrmRetirada::cdsRetiTipoPratBeforeDelete(TDataSet& ds) {
    if (ds.State() == TDataSetState::dsBrowse) ValidaInventario();
    if (ds.FieldByName("IDSTATUS").AsString() == "D") return;
    if (msgPadrao->ShowMsg("Excl_prat", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) != mrYes)
        throw EAbort();
    {
        boExcluindo = true;
        TScopeExit fim([this] { boExcluindo = false; });
        if (ds.State() == TDataSetState::dsBrowse) ds.Edit();
        if (cdsLanctoEst.State() == TDataSetState::dsBrowse) cdsLanctoEst.Edit();
        ds.FieldByName("IDSTATUS").SetAsString("D");
        ds.Post();
        // The items follow the group's filter: every one shown is the group's.
        TClientDataSet& it = cdsItLanctoEst;
        TControlsDisabled semControles(it);
        FiltraItensPrato();
        for (it.First(); !it.Eof(); it.Next()) {
            if (it.FieldByName("IDSTATUS").AsString() == "D") continue;
            if (it.State() == TDataSetState::dsBrowse) it.Edit();
            it.FieldByName("IDSTATUS").SetAsString("D");
            it.Post();
        }
    }
    // The group stays, marked, until the next confirmation removes it.
    throw EAbort();
}

void TfrmRetirada::cdsRetiTipoPratAfterDelete(TDataSet& ds) {
    if (!ds.IsEmpty()) return;
    // The withdrawal being edited, and only once the server knows it: an
    // unsaved one has nothing to delete, and the list's current row may be
    // another withdrawal altogether.
    const std::string lancamento = cdsLanctoEst.Active() && !cdsLanctoEst.IsEmpty()
                                       ? cdsLanctoEst.FieldByName("NRLANCESTQ").AsString()
                                       : std::string();
    if (lancamento.empty() || lancamento == "NOVOCODRET") {
        ativaPagina(tshFolhaDados);
        return;
    }
    TScopeFailure desfaz([this] {
        cdsItLanctoEst.CancelUpdates();
        cdsRetiTipoPrat.CancelUpdates();
        ativaPagina(tshFolhaDados);
        Repaint();
    });
    auto campo = [&](const char* f) { return Variant(cdsLanctoEst.FieldByName(f).AsString()); };
    const TDateTime data = cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime();
    VariantArray args{campo("CDFILIAL"),   campo("CDFILIMOVI"), campo("NRLANCESTQ"),
                      campo("NRRETIRADA"), Variant(data),       Variant(FimExclusao(data)),
                      Variant(ParamEstoque("IDPERMESTNEG")),    Variant("0"),
                      campo("NRCARDAPIO"), Variant(data),       campo("NRREQUEXTRRE")};
    RetornoDaExclusao(ChamaDelLancto(args));
    // A refusal by result rows stops the save as an exception does: the
    // withdrawal is still on the server and must not look deleted.
    if (ExclusaoRecusada()) throw Exception(msgPadrao->Msg("Del_Est_Irreg"));
    ativaPagina(tshFolhaDados);
}
