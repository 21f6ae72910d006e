#include "Cli_pla02015/FiltroRetiradaGeral.h"

#include "Cli_pla02015/model/FiltroRetiradaGeralCatalog.h"
#include "Cli_pla02015/model/FiltroRetiradaGeralModel.h"
#include "db/BuildQuery.h"
#include "services/Morvena.h"
#include "ui/Application.h"
#include "ui/CursorGuard.h"

TfrmFiltroRetiradaGeral::TfrmFiltroRetiradaGeral()
    : netFiltroRetirada("netFiltroRetirada"), qryGrupServ("qryGrupServ"), qryServico("qryServico") {
    SetCaption("Filtro de Retirada Geral");
    msgPadrao = TComponent::Create<TMessages>(this, "msgPadrao");
    msgPadrao->LoadFromText(model::MsgPadraoFiltroRetiradaGeralResource());
    const model::ConnectionDef* conn = model::FindConnection(model::FiltroRetiradaGeralConnections(), "netFiltroRetirada");
    netFiltroRetirada.ServerName = std::string(conn->serverModule);
    netFiltroRetirada.ThrowException = false;
    netFiltroRetirada.BeforeConnect = [](TNetConnection& c) {
        c.Host = Morvena::WebURL();
        c.Port = Morvena::WebPort();
    };
    model::BuildQuery(qryGrupServ, *model::FindQuery(model::FiltroRetiradaGeralQueries(), "qryGrupServ"));
    model::BuildQuery(qryServico, *model::FindQuery(model::FiltroRetiradaGeralQueries(), "qryServico"));
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TfrmFiltroRetiradaGeral::FormClose(TObject*, TCloseAction& Action) {
    FiltroRetiradaGeralUnit& u = Pla02015Unit();
    if (u.frmFiltroRetiradaGeral == this) {
        u.frmFiltroRetiradaGeral = nullptr;
        u.boIdCriado = false;
    }
    Action = TCloseAction::caFree;
}

FiltroRetiradaGeralUnit& Pla02015Unit() {
    static FiltroRetiradaGeralUnit unit;
    return unit;
}

extern "C" void CriaFiltroRetiradaGeral() {
    auto& app = Application();
    FiltroRetiradaGeralUnit& u = Pla02015Unit();
    {
        THourGlass espera;
        u.frmFiltroRetiradaGeral = app.CreateForm<TfrmFiltroRetiradaGeral>("frmFiltroRetiradaGeral");
        u.boIdCriado = true;
    }
    u.frmFiltroRetiradaGeral->Show();
}
