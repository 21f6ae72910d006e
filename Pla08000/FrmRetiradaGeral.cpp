#include "Pla08000/FrmRetiradaGeral.h"

#include "Cli_pla02000/model/RetiradaDataSets.h"
#include "Pla08000/Gravacao.h"
#include "Pla08000/model/Pla08000Model.h"
#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "data/BuildDataSet.h"
#include "data/ClientDataSet.h"
#include "db/BuildQuery.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/ProgressNote.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace {

void endereco(TNetConnection& c) {
    c.Host = Morvena::WebURL();
    c.Port = Morvena::WebPort();
}

Variant chama(TNetConnection& conn, const std::string& method, VariantArray& args) {
    conn.Open();
    TScopeExit fecha([&] { conn.Close(); });
    return conn.Call(method, args);
}

}  // namespace

TfrmAcompRetiradaGeral::TfrmAcompRetiradaGeral(pla08000::TParamRetGeral params)
    : qryServRetGeral("qryServRetGeral"), qryRequisicao("qryRequisicao"),
      netRetirada("netRetirada", "Pla02000.rdmRetirada"), netEstoque("netEstoque", "Est00000.rdmEstoque"),
      params_(std::move(params)) {
    SetCaption("Retirada Geral");
    model::BuildQuery(qryServRetGeral, *model::FindQuery(model::Pla08000Queries(), "qryServRetGeral"));
    model::BuildQuery(qryRequisicao, *model::FindQuery(model::Pla08000Queries(), "qryRequisicao"));
    dtsRequisicao.SetDataSet(&qryRequisicao);
    for (TNetConnection* c : {&netRetirada, &netEstoque}) {
        c->ThrowException = false;
        c->BeforeConnect = endereco;
    }
    lblRetGeral = CreateControl<TLabel>(this, "lblRetGeral", this);
    lblRetGeral->SetCaption("Retirada geral " + params_.NrRetGeral + " da filial " + params_.Filial + ", dia " +
                            DateToStr(params_.Dia) +
                            (params_.Recalculada ? " (requisições recalculadas)" : " (requisições como estavam)"));
    dbgRequisicao = CreateControl<TDBGrid>(this, "dbgRequisicao", this);
    dbgRequisicao->SetDataSource(&dtsRequisicao);
    dbgRequisicao->ReadOnly = true;
    lstResultado = CreateControl<TListBox>(this, "lstResultado", this);
    sbtConfirma->SetCaption("Gravar Retiradas");
    OnClose = [](TObject*, TCloseAction& a) { a = TCloseAction::caFree; };
}

void TfrmAcompRetiradaGeral::Carrega() {
    for (TADOIBQuery* q : {&qryServRetGeral, &qryRequisicao}) {
        q->Close();
        q->ParamByName("P_CDFILIAL").SetAsString(params_.Filial);
        q->ParamByName("P_NRRETGERAL").SetAsString(params_.NrRetGeral);
    }
    qryRequisicao.ParamByName("P_DTPREVRETI").SetValue(Variant(params_.Dia));
    qryServRetGeral.Open();
    qryRequisicao.Open();
    if (qryServRetGeral.IsEmpty())
        throw Exception("Retirada geral " + params_.NrRetGeral + " não encontrada na filial " + params_.Filial + ".");
}

void TfrmAcompRetiradaGeral::sbtConfirmaClick(TObject*) {
    if (Dialogs().MessageBox("Confirma a gravação das retiradas dos serviços listados?", TMsgDlgType::mtConfirmation,
                             {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) != mrYes)
        Abort();

    // The branch's stock parameters, as the screen sends them.
    pla08000::TParamEstoque estoque;
    {
        VariantArray args{Variant(params_.Filial), Variant("S"), Variant("10")};
        TClientDataSet param;
        param.Name = "cdsParamEstoque";
        model::BuildDataSet(param, *model::FindDataSet(model::ScreenDataSets(), "cdsParamEstoque"));
        param.SetData(Consiste::CheckResultServ(chama(netEstoque, "GetParamEstoque", args), true, 0));
        if (!param.IsEmpty())
            estoque = {param.FieldByName("IDESTONLINE").AsString(), param.FieldByName("IDPERMESTNEG").AsString(),
                       param.FieldByName("CDTPRETIPADR").AsString()};
    }

    lstResultado->Clear();
    int gravadas = 0, confirmadas = 0, servicos = 0;
    const pla08000::ChamaRetirada retirada = [this](const std::string& m, VariantArray& a) {
        return chama(netRetirada, m, a);
    };
    for (qryServRetGeral.First(); !qryServRetGeral.Eof(); qryServRetGeral.Next(), ++servicos) {
        const std::string cd = qryServRetGeral.FieldByName("CDSERVFILI").AsString();
        const std::string nm = qryServRetGeral.FieldByName("NMSERVICO").AsString();
        pla08000::TResultadoServico r;
        {
            TProgressNote nota(1, "Gravando retirada do serviço " + cd + " " + nm + "...");
            r = pla08000::GravaServico(retirada, params_, estoque, cd, nm);
        }
        lstResultado->AddItem(r.Texto);
        if (r.Gravada) ++gravadas;
        if (r.Confirmada) ++confirmadas;
    }
    sbtConfirma->SetEnabled(false);
    Dialogs().MessageBox("Retiradas gravadas: " + std::to_string(gravadas) + " de " + std::to_string(servicos) +
                             " serviço(s), sem recusas: " + std::to_string(confirmadas) + ".",
                         TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK}, 0);
}

extern "C" void IniProcParam(const Variant* params) {
    pla08000::TParamRetGeral p = pla08000::LeParametros(params);
    auto& app = Application();
    std::string nome = "frmAcompRetiradaGeral";
    for (int n = 1; app.FindComponent(nome); ++n) nome = "frmAcompRetiradaGeral_" + std::to_string(n);
    auto* f = app.CreateForm<TfrmAcompRetiradaGeral>(nome, std::move(p));
    TScopeFailure libera([f] { f->Release(); });
    f->Carrega();
    f->Show();
}
