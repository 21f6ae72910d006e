// The three pages: leaving a page, the page-change handling that loads the
// browse row's withdrawal or its summary, and the page menu entries.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "services/Consiste.h"
#include "services/ProgressNote.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace {

std::string text(const TDataSet& ds, const char* field) {
    if (!ds.Active() || ds.IsEmpty()) return "";
    return ds.FieldByName(field).AsString();
}

std::string quoted(const std::string& value) {
    std::string out = "'";
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

void filtroDesligado(TDataSet& ds) {
    if (ds.Active()) ds.SetFiltered(false);
}

// Counts a page-change handling in progress, however it ends.
struct Reentrada {
    explicit Reentrada(int& n) : n_(n) { ++n_; }
    ~Reentrada() { --n_; }
    Reentrada(const Reentrada&) = delete;
    Reentrada& operator=(const Reentrada&) = delete;
    int& n_;
};

}  // namespace

bool TfrmRetirada::RetiPorPrato() const { return text(cdsRomaRetirada, "IDRETIPRAT") == "S"; }

void TfrmRetirada::pgcPadraoChanging(TObject* Sender, bool& AllowChange) {
    TfrmPadrao::pgcPadraoChanging(Sender, AllowChange);
    TTabSheet* atual = pgcPadrao->ActivePage();
    if (atual == tshFolhaDados) {
        if (dbgPadrao->CanFocus()) dbgPadrao->SetFocus();
        VerifItens();
    } else if (atual == tshFormulario) {
        VerifItens();
        if (Editando(dtsPadrao) || Editando(dtsItLanctoEst)) {
            // The header's own exit checks decide whether the page may be left.
            try {
                if (medCdServico->OnExit) medCdServico->OnExit(medCdServico);
                if (dbdDtCardapio->OnExit) dbdDtCardapio->OnExit(dbdDtCardapio);
            } catch (const EAbort&) {
                AllowChange = false;  // already told by the check itself
            } catch (const std::exception& e) {
                MessageDlg(e.what(), TMsgDlgType::mtError, {TMsgDlgBtn::mbOK}, 0);
                AllowChange = false;
            }
        }
    } else if (atual == tshResumo) {
        ControlaBotoes(dtsPadrao);
    }
}

void TfrmRetirada::FiltraItensPrato() {
    filtroDesligado(cdsItLanctoEst);
    if (!grbTipoPrat->Visible() || !cdsRetiTipoPrat.Active() || cdsRetiTipoPrat.IsEmpty() || !cdsItLanctoEst.Active())
        return;
    cdsItLanctoEst.SetFilter("CDTIPOPRAT = " + quoted(text(cdsRetiTipoPrat, "CDTIPOPRAT")) +
                             " AND CDPRATO = " + quoted(text(cdsRetiTipoPrat, "CDPRATO")) +
                             " AND CDFILAUXPRAT = " + quoted(text(cdsRetiTipoPrat, "CDFILAUXPRAT")));
    cdsItLanctoEst.SetFiltered(true);
}

void TfrmRetirada::MostraColunaErro() {
    RetiradaUnit& u = Pla02000Unit();
    if (dbgItens->Columns().Count() != 10 || !u.Coluna) return;
    dbgItens->Columns()[dbgItens->ColumnIndexOf("NMPRODUTO")].Width = 117;
    dbgItens->Columns().Insert(10, *u.Coluna);
}

void TfrmRetirada::EscondeColunaErro() {
    if (dbgItens->Columns().Count() != 11) return;
    dbgItens->Columns()[dbgItens->ColumnIndexOf("NMPRODUTO")].Width = 138;
    const int erro = dbgItens->ColumnIndexOf("IDERRO");
    if (erro >= 0) dbgItens->Columns().Delete(erro);
}

void TfrmRetirada::carregaLancamento() {
    Repaint();
    TProgressNote nota(6, msgPadrao->Msg("Get_Data"));
    Variant result = CallServer(netRetirada, "GetLanctoEst",
                                {Variant(text(cdsRomaRetirada, "CDFILIAL")),
                                 Variant(text(cdsRomaRetirada, "CDFILIMOVI")),
                                 Variant(text(cdsRomaRetirada, "NRLANCESTQ")),
                                 Variant(text(cdsRomaRetirada, "NRRETIRADA")),
                                 Variant(text(cdsRomaRetirada, "NRCARDAPIO"))});
    if (result.IsString()) throw Exception(result.AsString());
    const VariantArray& partes = result.AsArray();
    if (partes.size() < 3) throw Exception("GetLanctoEst: resposta incompleta do servidor.");
    // Result rows left by the withdrawal the form showed before are not this
    // one's: they must not mark its items nor offer its confirmation the
    // options for irregular stock. (Rows of a deletion from the list are the row's.)
    const bool outra = cdsLanctoEst.Active() && !cdsLanctoEst.IsEmpty() &&
                       (text(cdsLanctoEst, "NRLANCESTQ") != text(cdsRomaRetirada, "NRLANCESTQ") ||
                        text(cdsLanctoEst, "CDFILIAL") != text(cdsRomaRetirada, "CDFILIAL"));
    if (outra && cdsRetorno && cdsRetorno->Active() && !cdsRetorno->IsEmpty()) cdsRetorno->EmptyDataSet();
    if (grbTipoPrat->Visible())
        cdsRetiTipoPrat.SetData(partes[1]);
    else
        filtroDesligado(cdsItLanctoEst);
    cdsLanctoEst.SetData(partes[0]);
    cdsItLanctoEst.SetData(partes[2]);
    cdsItlanctoVdAux.SetData(cdsItLanctoEst.Data());
    CalculaCustoTotal();
    if (grbTipoPrat->Visible()) {
        FiltraItensPrato();
    } else {
        cdsItLanctoEst.SetFilter("");
        cdsItLanctoEst.SetFiltered(false);
    }
    GetLocalizacao();
}

void TfrmRetirada::pgcPadraoChange(TObject* Sender) {
    Reentrada emCurso(mudandoPagina_);
    ++trocasDePagina_;
    TfrmPadrao::pgcPadraoChange(Sender);
    TTabSheet* pagina = pgcPadrao->ActivePage();
    mnuResumo->SetChecked(pagina == tshResumo);

    if (dtsPadrao.State() == TDataSetState::dsInsert) {
        HabilitaFiltro(true);
    } else {
        const bool porPrato = cdsLanctoEst.State() == TDataSetState::dsInsert && !dtsPadrao.Enabled()
                                  ? text(cdsUtilizaRetiPrat, "IDUTRETIPRAT") == "S"
                                  : RetiPorPrato();
        grbTipoPrat->SetVisible(porPrato);
        dbgTipoPrat->SetVisible(porPrato);
        splPratos->SetVisible(porPrato);
        HabilitaFiltro(false);
    }

    if (pagina == tshFormulario) {
        const bool temLinha = cdsRomaRetirada.Active() && !cdsRomaRetirada.IsEmpty();
        const bool precisaCarregar = !Editando(dtsPadrao) && temLinha &&
                                     (text(cdsRomaRetirada, "NRLANCESTQ") != text(cdsLanctoEst, "NRLANCESTQ") ||
                                      text(cdsRomaRetirada, "CDFILIAL") != text(cdsLanctoEst, "CDFILIAL"));
        if (precisaCarregar) {
            carregaLancamento();
        } else {
            filtroDesligado(cdsItLanctoEst);
            if (grbTipoPrat->Visible()) {
                const bool outraRetirada = text(cdsRetiTipoPrat, "CDFILIAL") != text(cdsRomaRetirada, "CDFILIMOVI") ||
                                           text(cdsRetiTipoPrat, "NRRETIRADA") != text(cdsRomaRetirada, "NRRETIRADA");
                if (outraRetirada && temLinha && cdsRetiTipoPrat.State() == TDataSetState::dsBrowse &&
                    cdsLanctoEst.State() != TDataSetState::dsInsert) {
                    Variant result = CallServer(netRetirada, "GetRetiTipoPrat",
                                                {Variant(text(cdsRomaRetirada, "CDFILIMOVI")),
                                                 Variant(text(cdsRomaRetirada, "NRRETIRADA")),
                                                 Variant(text(cdsRomaRetirada, "NRCARDAPIO"))});
                    cdsRetiTipoPrat.SetData(Consiste::CheckResultServ(result, true, 0));
                }
                FiltraItensPrato();
            }
        }
        if (cdsLanctoEst.Active()) {
            medCdServico->SetText(text(cdsLanctoEst, "CDSERVFILI"));
            edtNmServico->SetText(text(cdsLanctoEst, "NMSERVICO"));
        }
        if (!Editando(dtsPadrao)) {
            TDBGrid* grade = grbTipoPrat->Visible() ? dbgTipoPrat : dbgItens;
            if (grade->CanFocus()) grade->SetFocus();
        }
    } else {
        mnuVisualizaErros->SetEnabled(false);
        sbtVisualizaErros->SetEnabled(false);
        boCarregandoItens = false;
    }

    mnuFolhaDados->SetChecked(pagina == tshFolhaDados);
    mnuFormulario->SetChecked(pagina == tshFormulario);

    if (pagina == tshFolhaDados) {
        EscondeColunaErro();
        dbgTipoPrat->Columns()[dbgTipoPrat->ColumnIndexOf("IDERRO")].Visible = false;
        filtroDesligado(cdsItLanctoEst);
        ControlaBloqAltPra();
    } else if (pagina == tshResumo) {
        CalculaCustoTotal();
        dbgResumo->Columns()[dbgResumo->ColumnIndexOf("QTESTDIACON")].Visible = ParamFilial("IDPERMVISPOSEST") == "S";
        if (cdsRomaRetirada.Active() && !cdsRomaRetirada.IsEmpty()) {
            Variant result = CallServer(
                netRetirada, "GetResumoItemReti",
                {Variant(text(cdsRomaRetirada, "CDFILIMOVI")), Variant(text(cdsRomaRetirada, "NRRETIRADA")),
                 Variant(cdsRomaRetirada.FieldByName("DTLANCESTQ").AsDateTime())});
            cdsResumo.SetData(Consiste::CheckResultServ(result, true, 0));
        }
        for (TSpeedButton* b : {sbtIncluir, sbtAlterar, sbtExcluir}) b->SetEnabled(false);
        for (TMenuItem* m : {mnuIncluir, mnuAlterar, mnuExcluir}) m->SetEnabled(false);
        navRomaneio->SetEnabled(false);
    }

    HabilitaAtuaQtdeConsumida();
    Repaint();
}

void TfrmRetirada::ativaPagina(TTabSheet* page) {
    pgcPadrao->SetActivePage(page);
    pgcPadraoChange(pgcPadrao);
}

void TfrmRetirada::mnuFolhaDadosClick(TObject* Sender) { TfrmPadrao::mnuFolhaDadosClick(Sender); }
void TfrmRetirada::mnuFormularioClick(TObject* Sender) { TfrmPadrao::mnuFormularioClick(Sender); }
void TfrmRetirada::mnuResumoClick(TObject* Sender) { TfrmPadrao::mnuResumoClick(Sender); }
