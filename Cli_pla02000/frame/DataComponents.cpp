// The form's construction: datasets, queries, connections and data sources
// from the model's tables, then the controls and the handlers.
#include "Cli_pla02000/Retirada.h"

#include "Cli_pla02000/model/RetiradaConnections.h"
#include "Cli_pla02000/model/RetiradaDataSets.h"
#include "Cli_pla02000/model/RetiradaQueries.h"
#include "core/Exception.h"
#include "data/BuildDataSet.h"
#include "db/BuildQuery.h"
#include "ui/PublishedDataSet.h"

namespace {

void declare(TClientDataSet& ds, const char* name) {
    const model::DataSetDef* def = model::FindScreenDataSet(name);
    if (!def) throw Exception(std::string("Conjunto de dados não declarado: ") + name);
    model::BuildDataSet(ds, *def);
}

void declare(TADOIBQuery& q, const char* name) {
    const model::QueryDef* def = model::FindScreenQuery(name);
    if (!def) throw Exception(std::string("Consulta não declarada: ") + name);
    model::BuildQuery(q, *def);
}

void source(TDataSource& dts, const char* name, TDataSet& ds) {
    dts.Name = name;
    dts.SetDataSet(&ds);
}

}  // namespace

TfrmRetirada::TfrmRetirada()
    : netRetirada("netRetirada"),
      netEstoque("netEstoque"),
      netInfoProd("netInfoProd"),
      netAutoriza("netAutoriza"),
      qryFilial("qryFilial"),
      qryServico("qryServico"),
      qryFiliOffLine("qryFiliOffLine"),
      qryRetOffLine("qryRetOffLine"),
      qryProduto("qryProduto"),
      qryProdutoCache("qryProdutoCache"),
      qryProdutoSemCache("qryProdutoSemCache"),
      qryParamGeral("qryParamGeral"),
      qryPesqProduto("qryPesqProduto"),
      qryValidProduto("qryValidProduto"),
      qryExisteProdTReti("qryExisteProdTReti"),
      qryValidProdReti("qryValidProdReti"),
      qryTipoPrat("qryTipoPrat"),
      qryPrato("qryPrato"),
      qryValidaPrato("qryValidaPrato"),
      dspProduto("dspProduto", qryProduto) {
    buildData();
    buildControls();
    buildMenus();
    bindHandlers();
    ControlaEdicaoItens();
    // The browse filter dialog serves this screen while it exists.
    Pla02010Unit().tela = this;
    Pla02015Unit().tela = this;
}

TfrmRetirada::~TfrmRetirada() {
    if (Pla02010Unit().tela == this) Pla02010Unit().tela = nullptr;
    if (Pla02015Unit().tela == this) Pla02015Unit().tela = nullptr;
    // The datasets go before the data sources and the controls: nothing they
    // tell on their way out may reach the form's handlers any more.
    for (TDataSource* s : {&dtsPadrao, &dtsRomaRetirada, &dtsItLanctoEst, &dtsRetiTipoPrat, &dtsResumo,
                           &dtsNrPrevReti, &dtsFilial, &dtsServico, &dtsTipoPrat, &dtsPrato, &dtsTipoReti,
                           &dtsProduto, &dtsLocalizacao}) {
        s->OnStateChange = nullptr;
        s->OnDataChange = nullptr;
        s->OnUpdateData = nullptr;
    }
}

void TfrmRetirada::buildData() {
    // Every dataset and query can be found by name among the form's components.
    auto publish = [this](TDataSet& ds) { PublishDataSet(*this, ds); };
    for (TNetConnection* c : {&netRetirada, &netEstoque, &netInfoProd, &netAutoriza}) {
        const model::ConnectionDef* def = model::FindScreenConnection(c->Name);
        c->ServerName = std::string(def->serverModule);
        // Failed calls come back as texts for the caller to examine.
        c->ThrowException = false;
    }

    declare(cdsRomaRetirada, "cdsRomaRetirada");
    declare(cdsLanctoEst, "cdsLanctoEst");
    declare(cdsItLanctoEst, "cdsItLanctoEst");
    declare(cdsItlanctoVdAux, "cdsItlanctoVdAux");
    // Every item post looks its product up in the items' snapshot (the
    // duplicate test): the items keep a tag of it that the snapshot carries.
    cdsItLanctoEst.SetKeyTagField("CDPRODUTO");
    declare(cdsItLanctoSumAux, "cdsItLanctoSumAux");
    declare(cdsItLanctoFilter, "cdsItLanctoFilter");
    declare(cdsRetiTipoPrat, "cdsRetiTipoPrat");
    declare(cdsResumo, "cdsResumo");
    declare(cdsParamEstoque, "cdsParamEstoque");
    declare(cdsParamFilial, "cdsParamFilial");
    declare(cdsCtrlEstoque, "cdsCtrlEstoque");
    declare(cdsUtilizaRetiPrat, "cdsUtilizaRetiPrat");
    declare(cdsNrPrevReti, "cdsNrPrevReti");
    declare(cdsVdPrevReti, "cdsVdPrevReti");
    declare(cdsPesqRequisicao, "cdsPesqRequisicao");
    declare(cdsPrevRetiAux, "cdsPrevRetiAux");
    declare(cdsVdServico, "cdsVdServico");
    declare(cdsVerifCardapio, "cdsVerifCardapio");
    declare(cdsTipoReti, "cdsTipoReti");
    declare(cdsLocalizacao, "cdsLocalizacao");
    declare(cdsValidProd, "cdsValidProd");
    declare(cdsPosEstDia, "cdsPosEstDia");
    declare(cdsValidaRetiTpPrat, "cdsValidaRetiTpPrat");
    declare(cdsProduto, "cdsProduto");
    declare(cdsVdRetDia, "cdsVdRetDia");
    declare(cdsRetiradaGeral, "cdsRetiradaGeral");

    declare(qryFilial, "qryFilial");
    declare(qryServico, "qryServico");
    declare(qryFiliOffLine, "qryFiliOffLine");
    declare(qryRetOffLine, "qryRetOffLine");
    declare(qryProduto, "qryProduto");
    declare(qryProdutoCache, "qryProdutoCache");
    declare(qryProdutoSemCache, "qryProdutoSemCache");
    declare(qryParamGeral, "qryParamGeral");
    declare(qryPesqProduto, "qryPesqProduto");
    declare(qryValidProduto, "qryValidProduto");
    declare(qryExisteProdTReti, "qryExisteProdTReti");
    declare(qryValidProdReti, "qryValidProdReti");
    declare(qryTipoPrat, "qryTipoPrat");
    declare(qryPrato, "qryPrato");
    declare(qryValidaPrato, "qryValidaPrato");

    for (TClientDataSet* c :
         {&cdsRomaRetirada, &cdsLanctoEst, &cdsItLanctoEst, &cdsItlanctoVdAux, &cdsItLanctoSumAux, &cdsItLanctoFilter,
          &cdsRetiTipoPrat, &cdsResumo, &cdsParamEstoque, &cdsParamFilial, &cdsCtrlEstoque, &cdsUtilizaRetiPrat,
          &cdsNrPrevReti, &cdsVdPrevReti, &cdsPesqRequisicao, &cdsPrevRetiAux, &cdsVdServico, &cdsVerifCardapio,
          &cdsTipoReti, &cdsLocalizacao, &cdsValidProd, &cdsPosEstDia, &cdsValidaRetiTpPrat, &cdsProduto,
          &cdsVdRetDia, &cdsRetiradaGeral})
        publish(*c);
    for (TADOIBQuery* q : {&qryFilial, &qryServico, &qryFiliOffLine, &qryRetOffLine, &qryProduto, &qryProdutoCache,
                           &qryProdutoSemCache, &qryParamGeral, &qryPesqProduto, &qryValidProduto,
                           &qryExisteProdTReti, &qryValidProdReti, &qryTipoPrat, &qryPrato, &qryValidaPrato})
        publish(*q);

    source(dtsPadrao, "dtsPadrao", cdsLanctoEst);
    source(dtsRomaRetirada, "dtsRomaRetirada", cdsRomaRetirada);
    source(dtsItLanctoEst, "dtsItLanctoEst", cdsItLanctoEst);
    source(dtsRetiTipoPrat, "dtsRetiTipoPrat", cdsRetiTipoPrat);
    source(dtsResumo, "dtsResumo", cdsResumo);
    source(dtsNrPrevReti, "dtsNrPrevReti", cdsNrPrevReti);
    source(dtsFilial, "dtsFilial", qryFilial);
    source(dtsServico, "dtsServico", qryServico);
    source(dtsTipoPrat, "dtsTipoPrat", qryTipoPrat);
    source(dtsPrato, "dtsPrato", qryPrato);
    source(dtsTipoReti, "dtsTipoReti", cdsTipoReti);
    source(dtsProduto, "dtsProduto", cdsProduto);
    source(dtsLocalizacao, "dtsLocalizacao", cdsLocalizacao);
}
