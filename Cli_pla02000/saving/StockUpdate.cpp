// Items the server left out of stock: the offer before leaving a withdrawal
// (VerifItens) and the retry itself (Atualiza_Produtos_Estoque).
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "data/ControlsDisabled.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/ProgressNote.h"
#include "ui/Application.h"
#include "ui/CursorGuard.h"

#include <algorithm>

namespace {

std::string campo(const TDataSet& ds, const char* field) {
    if (!ds.Active() || ds.IsEmpty()) return "";
    return ds.FieldByName(field).AsString();
}

// The product has a row in the result list (what the item's calculated mark shows).
bool erroDoProduto(TClientDataSet* retorno, const std::string& product) {
    return retorno && retorno->Active() && !retorno->IsEmpty() &&
           retorno->Locate("CDOBJETO", Variant(product), loCaseInsensitive);
}

}  // namespace

void TfrmRetirada::VerifItens() {
    if (!sbtAtuaEstoq->Enabled() || !cdsLanctoEst.Active() || cdsLanctoEst.IsEmpty()) return;
    bool pendentes = false;
    {
        TScopeExit repinta([this] { Repaint(); });
        THourGlass espera;
        Variant result = CallServer(netRetirada, "verifitens",
                                    {Variant(Filial()), Variant(campo(cdsRomaRetirada, "NRRETIRADA"))});
        pendentes = Consiste::CheckResultServ(result, true, 0).AsBoolean();
    }

    if (pendentes &&
        msgPadrao->ShowMsg("AtualEstq", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) == mrYes) {
        ConfirmaLiberacao(cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime());
        Repaint();
        Atualiza_Produtos_Estoque();
        // The retry left errors on the withdrawal: the user stays on it.
        if (pgcPadrao->ActivePage() == tshFormulario && sbtVisualizaErros->Enabled()) Abort();
    }
    Repaint();
}

void TfrmRetirada::Atualiza_Produtos_Estoque() {
    RetiradaUnit& u = Pla02000Unit();
    u.boAtualizandoEstoque = true;
    // However the update ends, the flag drops and an item left in edit is posted
    // (a failing post, while another error unwinds, keeps the edit for the user).
    TScopeExit limpeza([this] {
        Pla02000Unit().boAtualizandoEstoque = false;
        const TDataSetState s = cdsItLanctoEst.State();
        if (s == TDataSetState::dsEdit || s == TDataSetState::dsInsert) cdsItLanctoEst.Post();
    });

    const TDateTime inicio = cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime().DateOnly();
    const TDateTime fim = std::max({inicio, Morvena::DataProc(Filial()).DateOnly(), dtEstoque});

    if (cdsRetorno && cdsRetorno->Active() && !cdsRetorno->IsEmpty()) cdsRetorno->EmptyDataSet();
    Variant result;
    {
        TProgressNote nota(1, msgPadrao->Msg("Atua_Estoq"));
        VariantArray args{Variant(campo(cdsLanctoEst, "CDFILIAL")),   Variant(campo(cdsLanctoEst, "CDFILIMOVI")),
                          Variant(campo(cdsLanctoEst, "NRLANCESTQ")), Variant(inicio),
                          Variant(fim),                                 Variant(ParamEstoque("IDPERMESTNEG")),
                          Variant("0"),                                 Variant(campo(cdsLanctoEst, "NRRETIRADA")),
                          Variant(campo(cdsLanctoEst, "NRCARDAPIO"))};
        result = CallServer(netRetirada, "AtualizaEstoque", args);
        if (result.IsString()) throw Exception(result.AsString());
        const VariantArray& partes = result.AsArray();
        if (partes.size() < 3) throw Exception("AtualizaEstoque: resposta incompleta do servidor.");
        cdsRetorno->SetData(partes[0]);
        cdsItLanctoEst.SetData(partes[1]);
        GetLocalizacao();
    }
    Repaint();

    const VariantArray& partes = result.AsArray();
    const bool porPrato = RetiPorPrato();
    if (porPrato && (!cdsRetiTipoPrat.Active() || cdsRetiTipoPrat.IsEmpty())) cdsRetiTipoPrat.SetData(partes[2]);

    if (cdsRetorno->Active() && !cdsRetorno->IsEmpty()) {
        Consiste::MensErro(msgPadrao->Msg("Atua_Est_Parc"), false);
        Repaint();
        MostraColunaErro();
        dbgTipoPrat->Columns()[dbgTipoPrat->ColumnIndexOf("IDERRO")].Visible = true;
        sbtVisualizaErros->SetEnabled(true);
        mnuVisualizaErros->SetEnabled(true);
        if (porPrato && cdsRetiTipoPrat.Active()) {
            TControlsDisabled semTela(cdsRetiTipoPrat);
        for (cdsRetiTipoPrat.First(); !cdsRetiTipoPrat.Eof(); cdsRetiTipoPrat.Next()) {
                FiltraItensPrato();
                TField& marca = cdsRetiTipoPrat.FieldByName("IDERRO");
                std::string ultimo;
                bool achou = false;
                for (cdsItLanctoEst.First(); !cdsItLanctoEst.Eof(); cdsItLanctoEst.Next()) {
                    const bool erro =
                        erroDoProduto(cdsRetorno.get(), cdsItLanctoEst.FieldByName("CDPRODUTO").AsString());
                    ultimo.assign(1, erro ? 'S' : 'N');
                    if (ultimo == "S") {
                        cdsRetiTipoPrat.Edit();
                        marca.SetAsString("S");
                        cdsRetiTipoPrat.Post();
                        achou = true;
                        break;
                    }
                }
                if (!achou && ultimo == "N" && marca.AsString() != "N") {
                    cdsRetiTipoPrat.Edit();
                    marca.SetAsString("N");
                    cdsRetiTipoPrat.Post();
                }
            }
        }
        return;
    }

    if (porPrato && cdsRetiTipoPrat.Active()) {
        // The marks are cleared without the scroll handler, which comes back after.
        TScopeExit devolve([this, aposRolar = std::move(cdsRetiTipoPrat.AfterScroll)]() mutable {
            cdsRetiTipoPrat.AfterScroll = std::move(aposRolar);
        });
        cdsRetiTipoPrat.AfterScroll = nullptr;
        for (cdsRetiTipoPrat.First(); !cdsRetiTipoPrat.Eof(); cdsRetiTipoPrat.Next()) {
            cdsRetiTipoPrat.Edit();
            cdsRetiTipoPrat.FieldByName("IDERRO").SetAsString("N");
            cdsRetiTipoPrat.Post();
        }
    }
    u.boDtEstoq = true;
    FiltraItensPrato();
    if (!Morvena::ModuFili()) {
        btpFilial->SetEnabled(true);
        lblFilial->SetEnabled(true);
        medCdFilial->SetEnabled(true);
    }
    tshFolhaDados->SetEnabled(true);
    mnuFolhaDados->SetEnabled(true);
    tshResumo->SetEnabled(tshFolhaDados->Enabled());
    mnuResumo->SetEnabled(tshResumo->Enabled());
}
