// Entering the items of a header being typed sends it with its requisition to
// the server (GravaRequisicao), which records the withdrawal and answers its
// items and dish rows, refuses the requisition, or leaves the items to be typed.
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02000/services/SendingKey.h"
#include "core/ScopeGuard.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/ProgressNote.h"
#include "ui/WindowUpdateLock.h"

#include <optional>

namespace {

constexpr const char* kNovoCodigo = "NOVOCODRET";

}  // namespace

bool TfrmRetirada::CabecalhoNovo() const {
    const TDataSetState s = cdsLanctoEst.State();
    return s == TDataSetState::dsInsert ||
           (s == TDataSetState::dsEdit && cdsLanctoEst.FieldByName("NRLANCESTQ").AsString() == kNovoCodigo);
}

void TfrmRetirada::MostraTipoPrat() {
    const bool porPrato = cdsUtilizaRetiPrat.Active() && !cdsUtilizaRetiPrat.IsEmpty() &&
                          cdsUtilizaRetiPrat.FieldByName("IDUTRETIPRAT").AsString() == "S";
    splPratos->SetVisible(porPrato);
    dbgTipoPrat->SetVisible(porPrato);
    grbTipoPrat->SetVisible(porPrato);
}

int TfrmRetirada::TamanhoAgrupamento() const {
    std::string ordem = "C";
    int nivel = 0;
    if (cdsParamEstoque.Active() && !cdsParamEstoque.IsEmpty()) {
        ordem = ParamEstoque("IDORDEREQU").substr(0, 1);
        const std::string n = ParamEstoque("NRNIVEREQU");
        nivel = n.empty() ? 0 : std::stoi(n);
    }
    const TDBPicture& p = *Pla02000Unit().dbpProduto;
    return ordem == "C" ? p.TamAcNivel(std::to_string(p.GetTtNiveis())) : p.TamAcNivel(std::to_string(nivel));
}

void TfrmRetirada::panItensEnter(TObject*) {
    HabilitaFiltro(false);
    {
        TWindowUpdateLock pintura(this);
        TScopeExit fim([this] { boCarregandoItens = false; });
        if (Editando(dtsPadrao)) {
            boCarregandoItens = true;
            if (!dbeNrRequisicao->Text().empty()) {
                const int tamanho = TamanhoAgrupamento();
                TProgressNote nota(1);
                enviaRequisicao(tamanho);
            }
            dbgItens->SetSelectedIndex(Consiste::IndiceCol(dbgItens, "CDARVPROD"));
        }
        if (cdsUtilizaRetiPrat.Active() && !cdsUtilizaRetiPrat.IsEmpty() &&
            cdsUtilizaRetiPrat.FieldByName("IDUTRETIPRAT").AsString() == "S" &&
            cdsRetiTipoPrat.State() == TDataSetState::dsBrowse) {
            cdsRetiTipoPrat.First();
            if (cdsRetiTipoPrat.IsEmpty()) {
                cdsRetiTipoPrat.Insert();
                // The group is typed first; its items come after it.
                if (dbgTipoPrat->CanFocus()) dbgTipoPrat->SetFocus();
            }
        }
    }
    Repaint();
    if (cdsItLanctoEst.Active() && cdsItLanctoEst.IsEmpty() && Editando(dtsPadrao)) cdsItLanctoEst.Insert();
    mnuProcurar->SetEnabled(sbtProcurar->Enabled());
    boVdColuna = true;
}

void TfrmRetirada::panItensExit(TObject*) { HabilitaFiltro(true); }

void TfrmRetirada::enviaRequisicao(int tamanho) {
    RetiradaUnit& u = Pla02000Unit();
    TField& chave = cdsLanctoEst.FieldByName("CDCHAVEENVIO");
    if (chave.AsString().empty()) chave.SetAsString(retirada::NovaChaveEnvio());
    cdsLanctoEst.Post();
    VariantArray args{cdsLanctoEst.Delta(),
                      Variant(u.stIdNovoCardapio),
                      Variant(Morvena::FiliProc()),
                      Variant(medCdFilial->Text()),
                      Variant(cdsLanctoEst.FieldByName("NRCARDAPIO").AsString()),
                      Variant(ParamEstoque("IDESTONLINE")),
                      Variant(ParamEstoque("IDPERMESTNEG")),
                      Variant(medCdServico->Text()),
                      Variant(dbeNrRequisicao->Text()),
                      Variant(tamanho),
                      dbdDtCardapio->IsEmpty() ? Variant() : Variant(dbdDtCardapio->Date()),
                      Variant(ParamEstoque("CDTPRETIPADR")),
                      dbdRetirada->IsEmpty() ? Variant() : Variant(dbdRetirada->Date()),
                      Variant(dtEstoque),
                      Variant(Morvena::DataProc(Filial()).DateOnly().Val)};
    Variant r;
    {
        // A call that fails, its answer perhaps lost after the server recorded
        // the withdrawal, leaves the header open with its sending key: entering
        // the items again repeats this sending, which the server answers once.
        TScopeFailure reabre([this] { cdsLanctoEst.Edit(); });
        r = CallServer(netRetirada, "GravaRequisicao", args);
    }
    if (args[1].IsString()) u.stIdNovoCardapio = args[1].AsString();
    if (!args[13].IsNull()) dtEstoque = args[13].AsDateTime();
    // The answer itself first: Null or a plain failure text carry no elements.
    // A Null answer has nothing to load either: the header stays open on the
    // client for its items to be typed, as when the first element is Null.
    if (r.IsNull()) {
        HabilitaFiltro(false);
        reabreCabecalho();
        novoEnvio();
        return;
    }
    if (r.IsString()) recusaRequisicao(r.AsString(), nullptr);
    if (!r.IsArray() || r.AsArray().size() < 2) throw Exception("GravaRequisicao: resposta incompleta do servidor.");
    const VariantArray& R = r.AsArray();
    if (R[0].IsString()) recusaRequisicao(R[0].AsString(), &R[1]);
    if (R[0].IsNull()) {
        recebeServico(R[1]);
        HabilitaFiltro(false);
        reabreCabecalho();
        novoEnvio();
        return;
    }
    if (R.size() < 4) throw Exception("GravaRequisicao: resposta incompleta do servidor.");
    u.boGridReadOnly = false;
    cdsLanctoEst.SetData(R[0]);
    cdsRetiTipoPrat.SetData(R[1]);
    cdsItLanctoEst.SetData(R[2]);
    cdsItlanctoVdAux.SetData(cdsItLanctoEst.Data());
    novaLinhaRomaneio();
    recebeServico(R[3]);
}

void TfrmRetirada::recebeServico(const Variant& servico) {
    cdsUtilizaRetiPrat.SetFiltered(false);
    cdsUtilizaRetiPrat.SetFilter("");
    cdsUtilizaRetiPrat.SetData(servico);
    MostraTipoPrat();
}

void TfrmRetirada::reabreCabecalho() {
    cdsLanctoEst.Edit();
    if (cdsUtilizaRetiPrat.Active() && !cdsUtilizaRetiPrat.IsEmpty())
        cdsLanctoEst.FieldByName("IDRETIPRAT").SetAsString(cdsUtilizaRetiPrat.FieldByName("IDUTRETIPRAT").AsString());
}

void TfrmRetirada::recusaRequisicao(const std::string& texto, const Variant* servico) {
    HabilitaFiltro(true);
    if (dbeNrRequisicao->CanFocus()) dbeNrRequisicao->SetFocus();
    if (servico) recebeServico(*servico);
    reabreCabecalho();
    // A refusal the server answered in full saved nothing: the next sending is
    // another one. A plain text may be an answer lost on the way (the
    // connection's failure text) after the server recorded the withdrawal:
    // the next sending repeats this one, and the server answers it once.
    if (servico) novoEnvio();
    const bool chave = texto == "BLOQ_ALT" || texto == "NAO_PERM";
    Consiste::MensErro(chave ? msgPadrao->Msg(texto) : texto, true);
    throw EAbort();
}

void TfrmRetirada::novoEnvio() { cdsLanctoEst.FieldByName("CDCHAVEENVIO").SetAsString(""); }

void TfrmRetirada::novaLinhaRomaneio() {
    RetiradaUnit& u = Pla02000Unit();
    u.boAtuaRoma = true;
    // Whatever happens, the list scrolls as before and holds no half-made row.
    TScopeExit volta([this, &u] {
        CancelaEdicao(cdsRomaRetirada);
        u.boAtuaRoma = false;
    });
    cdsRomaRetirada.Insert();
    copiaParaRomaneio();
    medCdServico->SetText(cdsLanctoEst.FieldByName("CDSERVFILI").AsString());
    edtNmServico->SetText(cdsLanctoEst.FieldByName("NMSERVICO").AsString());
    cdsRomaRetirada.Post();
}

void TfrmRetirada::copiaParaRomaneio() {
    auto copia = [this](const char* f) { cdsRomaRetirada.FieldByName(f).SetValue(cdsLanctoEst.FieldByName(f).Value()); };
    for (const char* f : {"CDFILIAL", "CDSERVFILI", "NMSERVICO", "DTLANCESTQ", "DTCARDAPIO", "NRLANCESTQ", "CDFILIMOVI",
                          "NRRETIRADA", "NRCARDAPIO", "IDRETIPRAT"})
        copia(f);
    cdsRomaRetirada.FieldByName("NRREQUEXTRRE").SetAsString(dbeNrRequisicao->Text());
}
