// The branch's stock parameters and the small helpers that read them.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "services/Consiste.h"
#include "ui/Pages.h"

namespace {
std::string fieldText(const TDataSet& ds, const std::string& field) {
    if (!ds.Active() || ds.IsEmpty()) return "";
    return ds.FieldByName(field).AsString();
}
}  // namespace

std::string TfrmRetirada::Filial() const { return medCdFilial->Text(); }

std::string TfrmRetirada::ParamEstoque(const std::string& field) const { return fieldText(cdsParamEstoque, field); }

std::string TfrmRetirada::ParamFilial(const std::string& field) const { return fieldText(cdsParamFilial, field); }

bool TfrmRetirada::Editando(const TDataSource& source) {
    const TDataSetState s = source.State();
    return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert;
}

void TfrmRetirada::CancelaEdicao(TDataSet& ds) {
    if (ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert) ds.Cancel();
}

void TfrmRetirada::GetParamEstoque(const std::string& branch, const std::string& idParam,
                                   const std::string& nrParam, bool force) {
    if (!force && cdsParamEstoque.Active() && ParamEstoque("CDFILIAL") == branch) return;
    // A forced reload replaces the record only once the new one has arrived,
    // so that a failed call leaves the parameters as they were.
    Variant result = CallServer(netEstoque, "GetParamEstoque", {Variant(branch), Variant(idParam), Variant(nrParam)});
    if (result.IsString()) throw Exception(result.AsString());
    cdsParamEstoque.SetData(result);
}

void TfrmRetirada::HabilitaFiltro(bool enable) {
    medCdServico->SetEnabled(enable);
    btpServico->SetEnabled(enable);
    dbdRetirada->SetEnabled(enable);
    btpNrRequisicao->SetEnabled(enable);
    dbeNrRequisicao->SetEnabled(enable);
    dbdDtCardapio->SetEnabled(enable && ParamEstoque("IDCARDIFRETI") != "N");
    if (!enable && pgcPadrao->ActivePage() == tshFormulario && !grbTipoPrat->Visible() && dbgItens->CanFocus())
        dbgItens->SetFocus();
}

void TfrmRetirada::Vd_CtrlEstoque() {
    Variant result = CallServer(netRetirada, "GetCtrlEstoque",
                                {Variant(Filial()), Variant(cdsItLanctoEst.FieldByName("CDPRODUTO").AsString())});
    cdsCtrlEstoque.SetData(Consiste::CheckResultServ(result, true, 0));
    if (cdsCtrlEstoque.FieldByName("IDCNTRESTOQ").AsString() == "N")
        Consiste::MensErro(msgPadrao->Msg("Oper_Bloq"), true);
}
