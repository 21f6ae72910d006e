// "Atualizar Quantidade Consumida" (Ctrl+A): every item of the shown
// withdrawal that nobody touched yet takes its planned quantity as its total,
// on the client; confirming saves it. Its enabled state is set by
// HabilitaAtuaQtdeConsumida (frame/CommandStates.cpp).
#include "Cli_pla02000/Retirada.h"

#include "core/ScopeGuard.h"
#include "data/ControlsDisabled.h"
#include "services/ProgressNote.h"

namespace {

bool intocado(TDataSet& it) {
    // Exact comparisons: a total of 0,000001 was typed by someone.
    return it.FieldByName("QTEXTRARETI").AsFloat() == 0 && it.FieldByName("QTDEVOLVRETI").AsFloat() == 0 &&
           it.FieldByName("QTTOTLANCTO").AsFloat() == 0 && it.FieldByName("QTPREVISRETI").AsFloat() > 0 &&
           it.FieldByName("IDSTATUS").AsString() != "D";
}

constexpr const char* kChavePrato = "CDPRATO;CDFILAUXPRAT;CDTIPOPRAT";

}  // namespace

void TfrmRetirada::mnuAtuQtConsClick(TObject*) {
    if (sbtAtuQtCons->Enabled()) sbtAtuQtConsClick(sbtAtuQtCons);
}

void TfrmRetirada::sbtAtuQtConsClick(TObject*) {
    RetiradaUnit& u = Pla02000Unit();
    TClientDataSet& it = cdsItLanctoEst;

    TControlsDisabled itens(it);
    // The edits below are the command's own: the before-edit check runs once, explicitly.
    TDataSetNotifyEvent antesDeEditar = std::move(it.BeforeEdit);
    it.BeforeEdit = nullptr;
    TScopeExit religa([&] { it.BeforeEdit = std::move(antesDeEditar); });
    TControlsDisabled pratos(cdsRetiTipoPrat);
    TProgressNote nota(1);

    if (!Editando(dtsPadrao) && !u.boAtualizandoEstoque) cdsLanctoEst.Edit();
    if (it.State() == TDataSetState::dsEdit || it.State() == TDataSetState::dsInsert) it.Post();
    cdsItLanctoEstBeforeEdit(it);

    const std::string item = it.FieldByName("NRSEQUITRETI").AsString();
    const bool porPrato = grbTipoPrat->Visible() && cdsRetiTipoPrat.Active();
    // The dish row is remembered too: walking the dishes leaves the cursor on
    // the last one, whose items do not hold the current item.
    Variant prato;
    if (porPrato && !cdsRetiTipoPrat.IsEmpty())
        prato = Variant(VariantArray{cdsRetiTipoPrat.FieldByName("CDPRATO").Value(),
                                     cdsRetiTipoPrat.FieldByName("CDFILAUXPRAT").Value(),
                                     cdsRetiTipoPrat.FieldByName("CDTIPOPRAT").Value()});

    auto atualizaItens = [&] {
        for (it.First(); !it.Eof(); it.Next()) {
            if (!intocado(it)) continue;
            it.Edit();
            it.FieldByName("QTTOTLANCTO").SetValue(it.FieldByName("QTPREVISRETI").Value());
            it.Post();
        }
    };
    if (porPrato) {
        for (cdsRetiTipoPrat.First(); !cdsRetiTipoPrat.Eof(); cdsRetiTipoPrat.Next()) atualizaItens();
    } else {
        atualizaItens();
    }
    // A refusal leaves the cursor on the refused item instead.
    if (!prato.IsNull()) cdsRetiTipoPrat.Locate(kChavePrato, prato);
    if (!item.empty()) it.Locate("NRSEQUITRETI", Variant(item));
}

void TfrmRetirada::bindGeneral() {
    sbtRetGeral->OnClick = mnuRetGeral->OnClick = [this](TObject* s) { sbtRetGeralClick(s); };
    sbtAtuQtCons->OnClick = [this](TObject* s) { sbtAtuQtConsClick(s); };
    mnuAtuQtCons->OnClick = [this](TObject* s) { mnuAtuQtConsClick(s); };
}
