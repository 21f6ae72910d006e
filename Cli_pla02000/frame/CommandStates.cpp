// Which commands are available: after a state change of the header or of the
// browse list, after a browse-row change, and the commands of the frame itself
// (find, filter, print, the ready-to-include state).
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02010/FiltroRetirada.h"
#include "core/DateTime.h"
#include "core/ScopeGuard.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/Pesquisa.h"

using retirada::Comando;

namespace {

void par(TSpeedButton* button, TMenuItem* item, bool on) {
    item->SetEnabled(on);
    button->SetEnabled(item->Enabled());
}

bool temLinhas(const TDataSource& source) {
    return source.State() != TDataSetState::dsInactive && !source.DataSet()->IsEmpty();
}

}  // namespace

void TfrmRetirada::ControlaBotoes(TDataSource& source) {
    RetiradaUnit& u = Pla02000Unit();
    const TDataSetState s = source.State();
    const bool editando = s == TDataSetState::dsEdit || s == TDataSetState::dsInsert;
    const bool parado = !editando;
    const bool aberto = s != TDataSetState::dsInactive;
    const bool linhas = temLinhas(source);

    HabilitaComando(Comando::Cancelar, editando);
    HabilitaComando(Comando::Confirmar, editando);
    HabilitaComando(Comando::Incluir, parado && aberto);
    HabilitaComando(Comando::Alterar, parado && linhas && !u.boGridReadOnly);
    HabilitaComando(Comando::Excluir, parado && linhas && !u.boGridReadOnly);
    par(sbtProcurar, mnuProcurar, parado && linhas);
    HabilitaComando(Comando::Verificar, parado && linhas);
    HabilitaComando(Comando::AtuaEstoque, parado && linhas && !u.boGridReadOnly);
    par(sbtFiltro, mnuFiltraLanc, parado);
    HabilitaComando(Comando::RetGeral, parado && dtFiltroIni == dtFiltroFin && u.boHabilitaReti);

    HabilitaAtuaQtdeConsumida();
    ControlaBloqAltPra();
    ControlaEdicaoItens();

    const bool cabecalhoParado = !Editando(dtsPadrao);
    navRomaneio->SetEnabled(cabecalhoParado);
    tshFolhaDados->SetEnabled(cabecalhoParado);
    mnuFolhaDados->SetEnabled(cabecalhoParado);
    tshResumo->SetEnabled(tshFolhaDados->Enabled());
    mnuResumo->SetEnabled(tshResumo->Enabled());

    // The page follows the header (not while a page change is being handled).
    if (mudandoPagina_ > 0) return;
    const TDataSetState h = dtsPadrao.State();
    if (h == TDataSetState::dsBrowse && cdsLanctoEst.IsEmpty()) {
        if (pgcPadrao->ActivePage() != tshFolhaDados) ativaPagina(tshFolhaDados);
    } else if (h == TDataSetState::dsInsert ||
               (h == TDataSetState::dsEdit && pgcPadrao->ActivePage() == tshFolhaDados)) {
        pgcPadrao->SetActivePage(tshFormulario);
    }
}

void TfrmRetirada::cdsRomaRetiradaAfterScroll(TDataSet&) {
    RetiradaUnit& u = Pla02000Unit();
    if (!u.boAtuaRoma) {
        GetParamEstoque(Filial(), "S", "10", false);
        CalculaReadOnly();
        if (pgcPadrao->ActivePage() == tshFormulario) pgcPadraoChange(pgcPadrao);
        ControlaBotoes(dtsRomaRetirada);
        const bool inserindo = dtsPadrao.State() == TDataSetState::dsInsert;
        const bool linhas = cdsRomaRetirada.Active() && !cdsRomaRetirada.IsEmpty();
        const bool altera = !u.boGridReadOnly && !inserindo;
        const bool consulta = !inserindo && linhas;
        HabilitaComando(Comando::Alterar, altera);
        HabilitaComando(Comando::Excluir, altera);
        par(sbtProcurar, mnuProcurar, consulta);
        HabilitaComando(Comando::Verificar, consulta);
        HabilitaComando(Comando::AtuaEstoque, altera && consulta);
        if (cdsUtilizaRetiPrat.Active() && linhas) {
            std::string servico = cdsRomaRetirada.FieldByName("CDSERVFILI").AsString();
            std::string quoted;
            for (char c : servico) quoted += c == '\'' ? std::string("''") : std::string(1, c);
            cdsUtilizaRetiPrat.SetFilter("CDSERVFILI = '" + quoted + "'");
            cdsUtilizaRetiPrat.SetFiltered(true);
        }
        ControlaBloqAltPra();
    }
    u.boAltLiberada = false;
}

void TfrmRetirada::dtsPadraoStateChange(TDataSource&) {
    RetiradaUnit& u = Pla02000Unit();
    const TDataSetState s = cdsLanctoEst.State();
    const TDataSetState anterior = estadoCabecalho_;
    estadoCabecalho_ = dtsPadrao.State();
    const bool editando = s == TDataSetState::dsEdit || s == TDataSetState::dsInsert;
    if (editando) {
        mnuFolhaDados->SetEnabled(false);
        mnuFormulario->SetEnabled(true);
        if (u.boDtEstoq) {
            if (s == TDataSetState::dsInsert) {
                dtEstoque = Morvena::DataProc(Filial()).DateOnly();
            } else {
                dtEstoque = cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime();
                u.boDtEstoq = false;
            }
        }
        tshFolhaDados->SetEnabled(false);
        tshFormulario->SetEnabled(true);
        pgcPadrao->SetActivePage(tshFormulario);
        mnuFolhaDados->SetChecked(false);
        mnuFormulario->SetChecked(true);
        tshResumo->SetEnabled(tshFolhaDados->Enabled());
        mnuResumo->SetEnabled(tshResumo->Enabled());
    }

    ControlaBotoes(dtsPadrao);
    navRomaneio->SetEnabled(!Editando(dtsPadrao));

    // The branch cannot change while a withdrawal is being edited.
    if (!Morvena::ModuFili()) habilitaPainelFilial(!editando);

    if (dtsPadrao.State() == TDataSetState::dsEdit && anterior != TDataSetState::dsEdit && !reabrindoEnvio_) {
        // A refused release takes the edit back.
        TScopeFailure desfaz([this] {
            CancelaEdicao(cdsLanctoEst);
            CancelaEdicao(cdsItLanctoEst);
            ControlaBotoes(dtsPadrao);
        });
        ConfirmaLiberacao(cdsLanctoEst.FieldByName("DTLANCESTQ").AsDateTime());
    }
}

void TfrmRetirada::dtsRomaRetiradaStateChange(TDataSource&) {
    if (Pla02000Unit().boAtuaRoma) return;
    ControlaBotoes(dtsRomaRetirada);
}

void TfrmRetirada::sbtProcurarClick(TObject*) {
    TTabSheet* p = pgcPadrao->ActivePage();
    TDataSet* ds = p == tshFormulario ? static_cast<TDataSet*>(&cdsItLanctoEst)
                   : p == tshResumo   ? static_cast<TDataSet*>(&cdsResumo)
                                      : static_cast<TDataSet*>(&cdsRomaRetirada);
    Procurar::Procura(ds);
}

void TfrmRetirada::sbtFiltroClick(TObject*) {
    VerifItens();
    CriaFiltroRetirada();
    HabilitaRetGeral();
}

void TfrmRetirada::sbtImprimirClick(TObject*) { Morvena::LoadBPL("PLA02100", Variant("M")); }

void TfrmRetirada::dbgPadraoEnter(TObject*) { ControlaBloqAltPra(); }

void TfrmRetirada::DisableForInsert() {
    if (Morvena::ModuFili()) {
        ativaPagina(tshFolhaDados);
        HabilitaComando(Comando::Alterar, false);
        HabilitaComando(Comando::Excluir, false);
        par(sbtProcurar, mnuProcurar, false);
        HabilitaComando(Comando::Verificar, false);
        HabilitaComando(Comando::AtuaEstoque, false);
        pgcPadrao->SetEnabled(false);
        mnuFormulario->SetEnabled(false);
        mnuFolhaDados->SetEnabled(false);
    } else if (medCdFilial->CanFocus()) {
        medCdFilial->SetFocus();
    }
}

void TfrmRetirada::ControlaBloqAltPra() {
    RetiradaUnit& u = Pla02000Unit();
    TDataSource& fonte = pgcPadrao->ActivePage() == tshFolhaDados ? dtsRomaRetirada : dtsPadrao;
    const TDataSetState s = fonte.State();
    const bool parado = s != TDataSetState::dsEdit && s != TDataSetState::dsInsert;
    const bool aberto = fonte.DataSet() && fonte.DataSet()->Active();
    const bool linhas = aberto && !fonte.DataSet()->IsEmpty();
    bool incluir = parado && aberto;
    bool alterar = parado && linhas && !u.boGridReadOnly;
    // Only while the dish grid has the focus (its exit asks again, as leaving it).
    const bool bloqueado = dbgTipoPrat->Focused() && !saindoTipoPrat_ && PratoBloqueado();
    if (bloqueado) incluir = alterar = false;
    HabilitaComando(Comando::Incluir, incluir);
    HabilitaComando(Comando::Alterar, alterar);
    HabilitaComando(Comando::Excluir, alterar);
}

void TfrmRetirada::HabilitaAtuaQtdeConsumida() {
    const bool on = dtsItLanctoEst.DataSet() && dtsItLanctoEst.DataSet()->Active() &&
                    !dtsItLanctoEst.DataSet()->IsEmpty() && !Pla02000Unit().boGridReadOnly && !boUsaLocalizacao &&
                    pgcPadrao->ActivePage() == tshFormulario;
    HabilitaComando(Comando::AtuQtCons, on);
}
