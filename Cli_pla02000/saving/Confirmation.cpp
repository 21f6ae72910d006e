// The Confirm command: the withdrawal being included or altered travels to the
// server as the change logs of header and items (Confirma_Lanc), which posts
// the stock and answers the generated numbers and the items in error. The
// numbers replace "NOVOCODRET"; a success updates the browse list and merges
// the logs, a failure keeps the withdrawal open with its items marked.
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02000/services/AcceptedErrors.h"
#include "Cli_pla02000/services/SendingKey.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "data/ControlsDisabled.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/Msgaler.h"
#include "services/ProgressNote.h"
#include "stocklib/Lib02200.h"
#include "ui/Pages.h"
#include "ui/WindowUpdateLock.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr const char* kNovoCodigo = "NOVOCODRET";
// The number rows always come back and are not counted: any error row counts.
constexpr int kLimiteErros = 0;

bool editando(const TDataSet& ds) {
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

bool temLinha(TDataSet& ds, const char* key) {
    return ds.Active() && !ds.IsEmpty() && ds.FindField("CDERRO") && ds.Locate("CDERRO", Variant(key), loCaseInsensitive);
}

// CDOBJETO of the result row, blank when the row is missing.
std::string numeroDevolvido(TDataSet& retorno, const char* key) {
    if (!temLinha(retorno, key)) return "";
    return text::Trim(retorno.FieldByName("CDOBJETO").AsString());
}

struct Numero {
    const char* campo;
    std::string valor;
};

// Each field still "NOVOCODRET" takes its number when one came back; the
// record enters edit only when something changes. Whether it changed.
bool trocaNumeros(TDataSet& ds, std::initializer_list<const Numero*> numeros) {
    bool mudou = false;
    for (const Numero* n : numeros) {
        TField& f = ds.FieldByName(n->campo);
        if (n->valor.empty() || f.AsString() != kNovoCodigo) continue;
        if (!editando(ds)) ds.Edit();
        f.SetAsString(n->valor);
        mudou = true;
    }
    return mudou;
}

}  // namespace

std::string TfrmRetirada::ResultIrreg() {
    return cdsRetorno && temLinha(*cdsRetorno, "LIB00200_3") ? "#LIB00200_3#" : "0";
}

void TfrmRetirada::sbtConfirmarClick(TObject* Sender) {
    Consiste::RefreshGrid(dbgItens);
    if (dbgTipoPrat->Visible()) Consiste::RefreshGrid(dbgTipoPrat);
    for (TWinControl* c : {static_cast<TWinControl*>(medCdServico), static_cast<TWinControl*>(dbdRetirada),
                           static_cast<TWinControl*>(dbdDtCardapio)})
        if (c->Focused() && c->OnExit) c->OnExit(c);

    const bool porPrato = dbgTipoPrat->Visible() && cdsRetiTipoPrat.Active() && !cdsRetiTipoPrat.IsEmpty();
    Variant grupo[3];
    if (porPrato) {
        grupo[0] = cdsRetiTipoPrat.FieldByName("CDPRATO").Value();
        grupo[1] = cdsRetiTipoPrat.FieldByName("CDFILAUXPRAT").Value();
        grupo[2] = cdsRetiTipoPrat.FieldByName("CDTIPOPRAT").Value();
        Vd_TipoPrat(true);
        Vd_Prato(true);
    }
    if (!cdsItLanctoEst.Active() || cdsItLanctoEst.IsEmpty())
        Consiste::MensErro(msgPadrao->Msg("Oper_Lan"), true);

    if (!boCarregandoItens) {
        TConnectionUse autoriza = UsoConexao(netAutoriza);
        if (!Lib02200::Autoriza(netAutoriza, TAutoriza::Operador, "ALTERACAO_RETIRADA", "")) throw EAbort();
    }
    ConfirmaLiberacao(dbdRetirada->Date());

    const std::string ignora = ResultIrreg();
    {
        TWindowUpdateLock pintura(this);
        auto grava = [&](const std::string& lista) {
            if (editando(cdsItLanctoEst)) cdsItLanctoEst.Post();
            // One key per sending: a repeat of this one, its answer lost, is answered once.
            if (editando(cdsLanctoEst)) {
                TField& chave = cdsLanctoEst.FieldByName("CDCHAVEENVIO");
                if (chave.AsString().empty()) chave.SetAsString(retirada::NovaChaveEnvio());
            }
            TfrmPadrao::sbtConfirmarClick(Sender);
            Confirma(lista);
        };
        if (ignora == "0" || ParamEstoque("IDPERMESTNEG") != "S") {
            if (msgPadrao->ShowMsg("Confirma", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) !=
                mrYes)
                throw EAbort();
            grava("0");
        } else {
            const std::string texto = msgPadrao->Msg("Opcao") + "\r\n\r\n" + msgPadrao->Msg("opc1") + "\r\n" +
                                      msgPadrao->Msg("opc2") + "\r\n" + msgPadrao->Msg("opc3");
            const int escolha =
                Tmsgaler::MsgAlertEx(texto, TMsgDlgType::mtConfirmation,
                                     {msgPadrao->Msg("Btn1"), msgPadrao->Msg("Btn2"), msgPadrao->Msg("Btn3")}, 1, 0, 0);
            if (escolha == 10) grava("0");
            else if (escolha == 11) grava("#LIB00200_3#");
        }
        CalculaCustoTotal();
        boCarregandoItens = false;
        if (ParamEstoque("IDESTONLINE") == "S" && !sbtVisualizaErros->Enabled()) Atualiza_Produtos_Estoque();
    }

    if (porPrato && dbgTipoPrat->Visible() && cdsRetiTipoPrat.Active())
        cdsRetiTipoPrat.Locate("CDPRATO;CDFILAUXPRAT;CDTIPOPRAT", VarArrayOf({grupo[0], grupo[1], grupo[2]}),
                               loCaseInsensitive);
    if (pgcPadrao->ActivePage() == tshFolhaDados) {
        if (cdsRomaRetirada.Active()) cdsRomaRetirada.EmptyDataSet();
        DisableForInsert();
    }
}

int TfrmRetirada::removeItensMarcados() {
    TClientDataSet& it = cdsItLanctoEst;
    TControlsDisabled quieto(it);
    int removidos = 0;
    it.First();
    while (!it.Eof()) {
        if (it.FieldByName("IDSTATUS").AsString() == "D") {
            it.Delete();
            ++removidos;
        } else {
            it.Next();
        }
    }
    return removidos;
}

void TfrmRetirada::Confirma(const std::string& ignoreList) {
    RetiradaUnit& u = Pla02000Unit();
    const TDateTime dia = dbdRetirada->Date().DateOnly();
    const TDateTime estoque = dtEstoque.DateOnly();
    const TDateTime inicio = std::min(dia, estoque);
    const TDateTime fim = std::max({dia, Morvena::DataProc(Filial()).DateOnly(), estoque});

    // Rows marked deleted leave before the logs are taken; a failure brings them back.
    int itensRemovidos = 0, pratosRemovidos = 0;
    if (dbgTipoPrat->Visible() && cdsRetiTipoPrat.Active()) {
        cdsRetiTipoPrat.First();  // its after-scroll narrows the items to the group
        while (!cdsRetiTipoPrat.Eof()) {
            if (cdsItLanctoEst.ChangeCount() > 0) itensRemovidos += removeItensMarcados();
            if (cdsItLanctoEst.IsEmpty() && cdsRetiTipoPrat.FieldByName("IDSTATUS").AsString() == "D") {
                cdsRetiTipoPrat.Delete();
                ++pratosRemovidos;
            } else {
                cdsRetiTipoPrat.Next();
            }
        }
    } else if (cdsItLanctoEst.ChangeCount() > 0) {
        itensRemovidos = removeItensMarcados();
    }

    VariantArray args{cdsLanctoEst.ChangeCount() > 0 ? cdsLanctoEst.Delta() : Variant(),
                      cdsItLanctoEst.ChangeCount() > 0 ? cdsItLanctoEst.Delta() : Variant(),
                      Variant(u.stIdNovoCardapio),
                      Variant(medCdFilial->Text()),
                      Variant(Morvena::FiliProc()),
                      Variant(cdsLanctoEst.FieldByName("NRCARDAPIO").AsString()),
                      Variant(cdsLanctoEst.FieldByName("NRLANCESTQ").AsString()),
                      Variant(cdsLanctoEst.FieldByName("NRRETIRADA").AsString()),
                      Variant(ParamEstoque("IDESTONLINE")),
                      Variant(ParamEstoque("IDPERMESTNEG")),
                      Variant(inicio),
                      Variant(fim),
                      Variant(ignoreList),
                      Variant(medCdServico->Text()),
                      Variant(cdsLanctoEst.FieldByName("DTCARDAPIO").AsDateTime())};
    if (cdsRetorno->Active() && !cdsRetorno->IsEmpty()) cdsRetorno->EmptyDataSet();

    TProgressNote nota(1, msgPadrao->Msg("Confirm_Reti"));
    {
        // A call that fails, its answer perhaps lost after the server saved the
        // withdrawal, leaves it open with its logs and sending key: confirming
        // again repeats this sending, which the server answers once.
        TScopeFailure reabre([this] {
            if (cdsLanctoEst.State() != TDataSetState::dsBrowse) return;
            reabrindoEnvio_ = true;
            TScopeExit fim([this] { reabrindoEnvio_ = false; });
            cdsLanctoEst.Edit();
        });
        cdsRetorno->SetData(Consiste::CheckResultServ(CallServer(netRetirada, "Confirma_Lanc", args), true, 0));
    }
    if (args[2].IsString()) u.stIdNovoCardapio = args[2].AsString();
    const std::string ignora = args[12].IsString() ? args[12].AsString() : ignoreList;

    const bool falhou = RetornouErro(ignora, kLimiteErros);
    if (falhou) {
        for (int i = 0; i < itensRemovidos; ++i) cdsItLanctoEst.UndoLastChange(false);
        // The groups too, or their items would come back under no group.
        for (int i = 0; i < pratosRemovidos; ++i) cdsRetiTipoPrat.UndoLastChange(false);
        nota.Close();
        auto mostra = [&](const char* key, const char* texto) {
            if (temLinha(*cdsRetorno, key) && !ErroAceito(ignora, key)) Consiste::MensErro(msgPadrao->Msg(texto), false);
        };
        if (ParamEstoque("IDPERMESTNEG") != "S") mostra("LIB00200_3", "Atua_Est_Parc");
        mostra("LIB00200_4", "Invent_Pend");
        mostra("PLA02000_2", "ProdNEst");
        Repaint();
    }

    reabreNavegacao();
    ChangeParams();

    {
        // Item posts skip their checks meanwhile: whatever happens, they check again afterwards.
        u.boAtEstoque = true;
        TScopeExit fimNumeros([&u] { u.boAtEstoque = false; });
        aplicaNumeros(!falhou);
    }

    if (falhou) {
        if (cdsLanctoEst.State() == TDataSetState::dsBrowse) cdsLanctoEst.Edit();
        MostraColunaErro();
        dbgTipoPrat->Columns()[dbgTipoPrat->ColumnIndexOf("IDERRO")].Visible = true;
        HabilitaComando(retirada::Comando::VisualizaErros, true);
    } else {
        linhaRomaneio();
        if (cdsRetorno->Active() && !cdsRetorno->IsEmpty()) cdsRetorno->EmptyDataSet();
        HabilitaComando(retirada::Comando::VisualizaErros, false);
        for (TClientDataSet* ds : {&cdsLanctoEst, &cdsItLanctoEst, &cdsRetiTipoPrat})
            if (ds->Active() && ds->ChangeCount() > 0 && !editando(*ds)) ds->MergeChangeLog();
    }
    GetLocalizacao();
    RecalculaMarcas();
    nota.Close();
    Repaint();
}

void TfrmRetirada::RecalculaMarcas() {
    // The marks are calculated from cdsRetorno, which the item's record does not see change.
    if (cdsItLanctoEst.State() == TDataSetState::dsBrowse && !cdsItLanctoEst.IsEmpty())
        cdsItLanctoEst.GotoBookmark(cdsItLanctoEst.Bookmark());
}

void TfrmRetirada::aplicaNumeros(bool sucesso) {
    const Numero lanc{"NRLANCESTQ", numeroDevolvido(*cdsRetorno, "NRLANCESTQ")};
    const Numero reti{"NRRETIRADA", numeroDevolvido(*cdsRetorno, "NRRETIRADA")};
    const Numero card{"NRCARDAPIO", numeroDevolvido(*cdsRetorno, "NRCARDAPIO")};
    {
        TControlsDisabled quieto(cdsLanctoEst);
        trocaNumeros(cdsLanctoEst, {&lanc, &reti, &card});
        // A saved sending is done with: the next confirmation is another one.
        TField& chave = cdsLanctoEst.FieldByName("CDCHAVEENVIO");
        if (sucesso && !chave.AsString().empty()) {
            if (!editando(cdsLanctoEst)) cdsLanctoEst.Edit();
            chave.SetAsString("");
        }
        if (editando(cdsLanctoEst)) cdsLanctoEst.Post();
    }
    if (lanc.valor.empty()) return;

    auto numeraItens = [&] {
        TControlsDisabled quieto(cdsItLanctoEst);
        cdsItLanctoEst.First();
        while (!cdsItLanctoEst.Eof()) {
            if (trocaNumeros(cdsItLanctoEst, {&lanc, &reti, &card})) cdsItLanctoEst.Post();
            cdsItLanctoEst.Next();
        }
    };
    if (!dbgTipoPrat->Visible() || !cdsRetiTipoPrat.Active()) {
        numeraItens();
        return;
    }
    TControlsDisabled quieto(cdsRetiTipoPrat);
    cdsRetiTipoPrat.First();  // its after-scroll narrows the items to the group
    while (!cdsRetiTipoPrat.Eof()) {
        // A group without items takes the branch of the header.
        const std::string filial = cdsItLanctoEst.IsEmpty() ? cdsLanctoEst.FieldByName("CDFILIAL").AsString()
                                                            : cdsItLanctoEst.FieldByName("CDFILIMOVI").AsString();
        TField& fFilial = cdsRetiTipoPrat.FieldByName("CDFILIAL");
        TField& fRetirada = cdsRetiTipoPrat.FieldByName("NRRETIRADA");
        const bool outraFilial = !filial.empty() && fFilial.AsString() != filial;
        const bool outraRetirada = !reti.valor.empty() && fRetirada.AsString() != reti.valor;
        if (outraFilial || outraRetirada) {
            cdsRetiTipoPrat.Edit();
            if (outraFilial) fFilial.SetAsString(filial);
            if (outraRetirada) fRetirada.SetAsString(reti.valor);
            cdsRetiTipoPrat.Post();
        }
        numeraItens();
        cdsRetiTipoPrat.Next();
    }
}

void TfrmRetirada::linhaRomaneio() {
    RetiradaUnit& u = Pla02000Unit();
    if (cdsRomaRetirada.State() != TDataSetState::dsBrowse) return;
    u.boAtuaRoma = true;
    TScopeExit volta([this, &u] {
        CancelaEdicao(cdsRomaRetirada);
        u.boAtuaRoma = false;
    });
    const bool mesma = !cdsRomaRetirada.IsEmpty() &&
                       cdsRomaRetirada.FieldByName("CDFILIAL").AsString() == cdsLanctoEst.FieldByName("CDFILIAL").AsString() &&
                       cdsRomaRetirada.FieldByName("NRLANCESTQ").AsString() == cdsLanctoEst.FieldByName("NRLANCESTQ").AsString();
    if (mesma) cdsRomaRetirada.Edit();
    else cdsRomaRetirada.Insert();
    copiaParaRomaneio();
    cdsRomaRetirada.Post();
}
