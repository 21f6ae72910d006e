// Binds the components' events to the form's handlers, as the form's designer
// would. Lifecycle, page and base command events are bound by TfrmPadrao.
#include "Cli_pla02000/Retirada.h"

void TfrmRetirada::bindHandlers() {
    netRetirada.BeforeConnect = [this](TNetConnection& c) { netRetiradaBeforeConnect(c); };
    netEstoque.BeforeConnect = [this](TNetConnection& c) { netEstoqueBeforeConnect(c); };
    netInfoProd.BeforeConnect = [this](TNetConnection& c) { netInfoProdBeforeConnect(c); };
    netAutoriza.BeforeConnect = [this](TNetConnection& c) { netAutorizaBeforeConnect(c); };

    dtsPadrao.OnStateChange = [this](TDataSource& s) { dtsPadraoStateChange(s); };
    dtsRomaRetirada.OnStateChange = [this](TDataSource& s) { dtsRomaRetiradaStateChange(s); };
    cdsRomaRetirada.AfterScroll = [this](TDataSet& d) { cdsRomaRetiradaAfterScroll(d); };

    panFiltro->OnEnter = [this](TObject* s) { panFiltroEnter(s); };
    panFiltro->OnExit = [this](TObject* s) { panFiltroExit(s); };
    medCdFilial->OnChange = [this](TObject* s) { medCdFilialChange(s); };
    medCdFilial->OnExit = [this](TObject* s) { medCdFilialExit(s); };
    btpFilial->OnBeforePesq = [this](TObject* s, bool& may) { btpFilialBeforePesq(s, may); };
    btpFilial->OnAfterPesq = [this](TObject* s) { btpFilialAfterPesq(s); };

    medCdServico->OnKeyPress = [this](TObject* s, char32_t& k) { medCdServicoKeyPress(s, k); };
    dbeNrRequisicao->OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { dbeNrRequisicaoKeyDown(s, k, sh); };

    dbgPadrao->OnEnter = [this](TObject* s) { dbgPadraoEnter(s); };
    sbtFiltro->OnClick = mnuFiltraLanc->OnClick = [this](TObject* s) { sbtFiltroClick(s); };
    bindHeaderHandlers();
    bindItemHandlers();
    bindDishTypeHandlers();
    bindErrorReview();
    bindDeletion();
    bindGeneral();
    bindStockUpdate();
}
