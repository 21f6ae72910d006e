// Binds the header's components to their handlers, as the form's designer would.
#include "Cli_pla02000/Retirada.h"

void TfrmRetirada::bindHeaderHandlers() {
    cdsLanctoEst.OnNewRecord = [this](TDataSet& d) { cdsLanctoEstNewRecord(d); };
    cdsLanctoEst.BeforePost = [this](TDataSet& d) { cdsLanctoEstBeforePost(d); };
    cdsLanctoEst.AfterOpen = [this](TDataSet& d) { cdsLanctoEstAfterOpen(d); };
    cdsLanctoEst.AfterCancel = [this](TDataSet& d) { cdsLanctoEstAfterCancel(d); };

    medCdServico->OnChange = [this](TObject* s) { medCdServicoChange(s); };
    medCdServico->OnExit = [this](TObject* s) { medCdServicoExit(s); };
    btpServico->OnBeforePesq = [this](TObject* s, bool& may) { btpServicoBeforePesq(s, may); };
    btpServico->OnAfterPesq = [this](TObject* s) { btpServicoAfterPesq(s); };
    dbdRetirada->OnExit = [this](TObject* s) { dbdRetiradaExit(s); };
    dbdDtCardapio->OnExit = [this](TObject* s) { dbdDtCardapioExit(s); };
    grbDados->OnExit = [this](TObject* s) { grbDadosExit(s); };
    panLancamento->OnEnter = [this](TObject* s) { panLancamentoEnter(s); };
    panLancamento->OnExit = [this](TObject* s) { panLancamentoExit(s); };

    btpNrRequisicao->OnBeforePesq = [this](TObject* s, bool& may) { btpNrRequisicaoBeforePesq(s, may); };
    btpNrRequisicao->OnAfterPesq = [this](TObject* s) { btpNrRequisicaoAfterPesq(s); };
    cdsNrPrevReti.OnCalcFields = [this](TDataSet& d) { cdsNrPrevRetiCalcFields(d); };
    dbeNrRequisicao->OnChange = [this](TObject* s) { dbeNrRequisicaoChange(s); };
    dbeNrRequisicao->OnExit = [this](TObject* s) { dbeNrRequisicaoExit(s); };
}
