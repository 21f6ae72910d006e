// How the withdrawal form comes to life and goes away: the package entries,
// creation, showing, activation, the close request, closing and destruction.
#include "Cli_pla02000/Retirada.h"

#include "services/Consiste.h"
#include "services/Dbgeral.h"
#include "services/Morvena.h"
#include "services/Showavi.h"
#include "ui/Application.h"
#include "ui/PublishedDataSet.h"

namespace {

bool telaPequena() { return Application().ScreenWidth() == 640 && Application().ScreenHeight() == 480; }

constexpr TBorderIcons kIconesTelaPequena{true, true, true, false};

// Restores the default cursor however the creation ends.
struct CursorGuard {
    CursorGuard() { Application().SetCursor(TCursor::crHourGlass); }
    ~CursorGuard() { Application().SetCursor(TCursor::crDefault); }
    CursorGuard(const CursorGuard&) = delete;
    CursorGuard& operator=(const CursorGuard&) = delete;
};

}  // namespace

void CriaRetirada() {
    CursorGuard cursor;
    RetiradaUnit& u = Pla02000Unit();
    if (!u.boIdCriado) {
        u.frmRetirada = Application().CreateForm<TfrmRetirada>("frmRetirada");
        u.boIdCriado = true;
    }
    TfrmRetirada* f = u.frmRetirada;
    if (u.boRetiOffline) {
        // Off-line withdrawals still to be imported: the form never shows.
        f->Close();
        return;
    }
    f->SetWindowState(TWindowState::wsNormal);
    f->SetTop(3);
    f->Show();
    if (telaPequena())
        f->SetBorderIcons(kIconesTelaPequena);
    else
        f->SetHeight(Application().MainClientHeight() - 110);
}

void IniProc() { CriaRetirada(); }

void TfrmRetirada::FormCreate(TObject* Sender) {
    RetiradaUnit& u = Pla02000Unit();
    TfrmPadrao::FormCreate(Sender);

    // Off-line check. The flag is worked out afresh at each creation, so that
    // a branch whose withdrawals were imported meanwhile can open the screen.
    u.boRetiOffline = false;
    qryFiliOffLine.Close();
    qryFiliOffLine.ParamByName("P_CDFILIAL").SetAsString(Morvena::FiliProc());
    qryFiliOffLine.Open();
    const bool usaOffLine = !qryFiliOffLine.IsEmpty() && qryFiliOffLine.FieldByName("IDUTILOFFLINE").AsString() == "S";
    qryFiliOffLine.Close();
    if (usaOffLine) {
        qryRetOffLine.Close();
        qryRetOffLine.ParamByName("P_CDFILIAL").SetAsString(Morvena::FiliProc());
        qryRetOffLine.Open();
        const bool pendentes = !qryRetOffLine.IsEmpty() && !qryRetOffLine.FieldByName("CDFILIAL").AsString().empty();
        qryRetOffLine.Close();
        if (pendentes) {
            u.boRetiOffline = true;
            Consiste::MensErro(msgPadrao->Msg("OpBloq_RetOff"), true);
        }
    }

    // Connections kept open for the form's life move between counts 1 and 2.
    if (Dbgeral::KeepConnected())
        for (TNetConnection* c : {&netInfoProd, &netAutoriza, &netEstoque, &netRetirada}) ConnectServer(*c, true);

    u.boAtEstoque = false;
    Showavi::ActiveShowAvi(Application().MainForm(), 0);
    u.boPrimVez = true;

    // The error-mark column is kept aside until errors are shown.
    u.Coluna = std::make_unique<TColumn>(dbgItens->Columns()[10]);
    dbgItens->Columns()[dbgItens->ColumnIndexOf("NMPRODUTO")].Width = 138;
    dbgItens->Columns().Delete(dbgItens->ColumnIndexOf("IDERRO"));
    dbgTipoPrat->Columns()[dbgTipoPrat->ColumnIndexOf("IDERRO")].Visible = false;

    const std::string mascProduto = Morvena::DBPict(0);
    cdsItLanctoEst.FieldByName("CDARVPROD").EditMask = mascProduto;
    u.dbpProduto = std::make_unique<TDBPicture>(mascProduto);
    qryProduto.FieldByName("CDARVPROD").EditMask = mascProduto;
    cdsProduto.FieldByName("CDARVPROD").EditMask = mascProduto;
    cdsResumo.FieldByName("CDARVPROD").EditMask = mascProduto;
    cdsRetiTipoPrat.FieldByName("CDPRATO").EditMask = Morvena::DBPict(1);
    qryPrato.FieldByName("CDPRATO").EditMask = cdsRetiTipoPrat.FieldByName("CDPRATO").EditMask;

    medCdFilial->SetText(Morvena::FiliProc());
    edtNmFilial->SetText(Consiste::ValidaFilial(Filial(), Morvena::Operador(), true));
    medCdServico->Clear();
    edtNmServico->Clear();

    tshFormulario->SetEnabled(false);
    mnuFormulario->SetEnabled(false);
    mnuFolhaDados->SetEnabled(true);
    pgcPadrao->SetActivePage(tshFolhaDados);

    for (TDataSource* s : {&dtsPadrao, &dtsItLanctoEst, &dtsServico, &dtsRomaRetirada}) s->SetEnabled(false);
    cdsItLanctoEst.SetIndexFieldNames("NRSEQUITRETI");

    if (telaPequena()) {
        SetBorderIcons(kIconesTelaPequena);
        SetWindowState(TWindowState::wsNormal);
    } else {
        SetHeight(Application().MainClientHeight() - 105);
    }

    cdsRetorno = std::make_unique<TClientDataSet>();
    cdsRetorno->Name = "cdsRetorno";
    PublishDataSet(*this, *cdsRetorno);
    GetParamEstoque(Filial(), "S", "10", true);
    boVdColuna = true;
    boCarregandoItens = false;
}

void TfrmRetirada::FormShow(TObject* Sender) {
    TfrmPadrao::FormShow(Sender);
    const bool podeTrocar = !Morvena::ModuFili();
    lblFilial->SetEnabled(podeTrocar);
    medCdFilial->SetEnabled(podeTrocar);
    btpFilial->SetEnabled(podeTrocar);
    medCdFilial->SetText(Morvena::FiliProc());
    Showavi::DeactiveShowAvi();
}

void TfrmRetirada::FormActivate(TObject* Sender) {
    TfrmPadrao::FormActivate(Sender);
    RetiradaUnit& u = Pla02000Unit();
    Repaint();
    Morvena::MsgEventForm() = [this](TMsg& msg, bool& handled) { OnMessage(msg, handled); };
    if (u.boPrimVez) {
        u.boPrimVez = false;
        if (telaPequena()) SetWindowState(TWindowState::wsNormal);
        // A user bound to the branch never leaves the branch field, so the
        // branch is taken up at once.
        if (Morvena::ModuFili() && (!cdsLanctoEst.Active() || cdsLanctoEst.IsEmpty())) {
            VerificaFilial(false);
            panFiltroExit(panFiltro);
        }
        u.boHabilitaReti = false;
    }
    GetLocalizacao();
}

void TfrmRetirada::FormDeactivate(TObject* Sender) {
    TfrmPadrao::FormDeactivate(Sender);
    Morvena::MsgEventForm() = nullptr;
}

void TfrmRetirada::FormCloseQuery(TObject* Sender, bool& CanClose) {
    TfrmPadrao::FormCloseQuery(Sender, CanClose);
    if (ActiveControl() == medCdFilial) {
        VerifItens();
        CanClose = true;
        return;
    }
    if (pgcPadrao->ActivePage() == tshFormulario && Editando(dtsPadrao)) {
        if (msgPadrao->ShowMsg("Cancel", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) !=
            mrYes) {
            CanClose = false;
            return;
        }
        Pla02000Unit().boFechando = true;
        CancelaEdicao(cdsItLanctoEst);
        CancelaEdicao(cdsLanctoEst);
        cdsLanctoEst.CancelUpdates();
        if (cdsItLanctoEst.Active()) cdsItLanctoEst.CancelUpdates();
        if (cdsRetiTipoPrat.State() == TDataSetState::dsBrowse) cdsRetiTipoPrat.CancelUpdates();
        cdsLanctoEst.Close();
        VerifItens();
        CanClose = true;
        return;
    }
    VerifItens();
    CanClose = true;
}

void TfrmRetirada::FormClose(TObject* Sender, TCloseAction& Action) {
    for (TNetConnection* c : {&netInfoProd, &netAutoriza, &netEstoque, &netRetirada}) c->Close();
    Pla02000Unit().boIdCriado = false;
    Morvena::MsgEventForm() = nullptr;
    Showavi::DeactiveShowAvi();
    TfrmPadrao::FormClose(Sender, Action);
}

void TfrmRetirada::FormDestroy(TObject* Sender) {
    TfrmPadrao::FormDestroy(Sender);
    RetiradaUnit& u = Pla02000Unit();
    Morvena::MsgEventForm() = nullptr;
    cdsRetorno.reset();  // its published reference goes with the form, unused meanwhile
    u.Coluna.reset();
    u.dbpProduto.reset();
    // The unit must not keep pointing at a form that is gone, whichever way it went.
    if (u.frmRetirada == this) {
        u.frmRetirada = nullptr;
        u.boIdCriado = false;
    }
}
