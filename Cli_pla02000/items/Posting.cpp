// Every post of an item: the quantities normalised, the product validated,
// consumed kept equal to planned + extra - returned, the movement keys and
// sequence numbers, the stock check, the duplicate test and the cost.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "services/Consiste.h"
#include "stocklib/Lib00210.h"

namespace {

bool editando(const TDataSet& ds) {
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

}  // namespace

bool TfrmRetirada::itemDuplicado() {
    TClientDataSet& it = cdsItLanctoEst;
    TClientDataSet& aux = cdsItlanctoVdAux;
    if (!aux.Active() || aux.IsEmpty()) return false;
    leProduto(it.FieldByName("CDARVPROD").AsString(), false);
    const std::string estoque =
        qryValidProduto.IsEmpty() ? "" : text::Trim(qryValidProduto.FieldByName("CDPRODESTO").AsString());
    // With a quantity the place tells items apart; without one only product and dish do.
    // Keys are compared trimmed and without regard to case, in place on the
    // snapshot's rows: the walk over the items copies nothing.
    const bool porLocal = it.FieldByName("QTRETIRADA").AsFloat() > 0;
    std::vector<std::pair<const TField*, std::string>> campos = {
        {&aux.FieldByName("CDFILIAL"), text::Trim(it.FieldByName("CDFILIAL").Value().AsString())},
        {&aux.FieldByName("NRRETIRADA"), text::Trim(cdsLanctoEst.FieldByName("NRRETIRADA").Value().AsString())}};
    if (porLocal)
        for (const char* f : {"CDALMOXARIFE", "CDLOCALESTOQ", "NRLOTEESTQ", "NRSUBLOTE"})
            campos.emplace_back(&aux.FieldByName(f), text::Trim(it.FieldByName(f).Value().AsString()));
    for (const char* f : {"CDTIPOPRAT", "CDFILAUXPRAT", "CDPRATO"})
        campos.emplace_back(&aux.FieldByName(f), text::Trim(it.FieldByName(f).Value().AsString()));
    // Every matching row of the snapshot counts, not only the first: the
    // item's own earlier state may come before another item.
    const std::string proprio = text::Trim(it.FieldByName("NRSEQUITRETI").Value().AsString());
    const TField& seq = aux.FieldByName("NRSEQUITRETI");
    const TField& produto = aux.FieldByName("CDPRODUTO");
    // The product first, looked up by the dataset: most rows differ there.
    for (int row = aux.FindStoredKey(produto, estoque); row >= 0; row = aux.FindStoredKey(produto, estoque, row + 1)) {
        bool mesmo = true;
        for (const auto& [f, v] : campos)
            if (!(mesmo = aux.StoredKeyAt(row, *f, v))) break;
        if (mesmo && !aux.StoredKeyAt(row, seq, proprio)) return true;
    }
    return false;
}

void TfrmRetirada::cdsItLanctoEstBeforePost(TDataSet& ds) {
    // A post from inside this one (a library completing the item) stores the
    // item as it stands; this post then takes it up again and checks it.
    if (postandoItem_ > 0) return;
    ++postandoItem_;
    produtoDoPost_ = false;
    TScopeExit fim([this] {
        --postandoItem_;
        produtoDoPost_ = false;
    });

    RetiradaUnit& u = Pla02000Unit();
    TClientDataSet& it = cdsItLanctoEst;
    const bool novo = ds.State() == TDataSetState::dsInsert;
    auto campo = [&](const char* f) -> TField& { return it.FieldByName(f); };
    auto valor = [&](const char* f) { return it.FieldByName(f).AsFloat(); };

    if (grbTipoPrat->Visible() && cdsRetiTipoPrat.Active() && !cdsRetiTipoPrat.IsEmpty())
        for (const char* f : {"CDTIPOPRAT", "CDPRATO", "CDFILAUXPRAT"}) campo(f).SetValue(cdsRetiTipoPrat.FieldByName(f).Value());
    // No road may leave a negative extra quantity behind (an edit left by its
    // row runs no column check); said before the rounding meets it.
    if (!u.boAtEstoque && !boExcluindo && valor("QTEXTRARETI") < 0) erroItem("QTEXTRARETI", "Quant_Inv");
    for (const char* f : {"QTTOTLANCTO", "QTEXTRARETI", "QTDEVOLVRETI", "QTRETIRADA"}) {
        TField& q = campo(f);
        q.SetAsFloat(q.IsNull() ? 0.0 : Consiste::RoundDec(q.AsFloat(), 5));
    }
    if (campo("IDSTATUS").AsString().empty()) campo("IDSTATUS").SetAsString("N");

    if (!u.boAtEstoque && !boExcluindo) {
        TField& codigo = campo("CDARVPROD");
        if (novo) {
            if (Consiste::EmptyString(codigo.AsString())) {
                if (dbgItens->Focused()) {
                    u.boErro = true;
                    erroItem("CDARVPROD", "Cod_Inf");
                }
                // Elsewhere the grid takes the focus (its reader may bring the code).
                if (dbgItens->CanFocus()) dbgItens->SetFocus();
                dbgItens->SetSelectedField("CDARVPROD");
                if (Consiste::EmptyString(codigo.AsString())) throw EAbort();
                Lib00210::Validacao_Produto(Filial(), codigo.AsString(), ParamFilial("IDBLPRCOMEST"));
                ValidaProduto(codigo.AsString());
                dbgItens->SetSelectedField("CDTIPORETI");
                throw EAbort();
            }
            completaCodigo(codigo);
        }
        Lib00210::Validacao_Produto(Filial(), text::Trim(codigo.AsString()), ParamFilial("IDBLPRCOMEST"));
        ValidaProduto(codigo.AsString());

        if (u.boSomaTotLancto) {
            const double p = valor("QTPREVISRETI"), e = valor("QTEXTRARETI"), d = valor("QTDEVOLVRETI"),
                         t = valor("QTTOTLANCTO"), s = p + e - d;
            if (d > p + e) erroItem("QTDEVOLVRETI", "qtdevolv_inv");
            TField* sel = dbgItens->SelectedField();
            const bool naConsumida = sel && text::Upper(sel->FieldName()) == "QTTOTLANCTO";
            if (!naConsumida && t != s) campo("QTTOTLANCTO").SetAsFloat(s);
            if (naConsumida && t != s) {
                campo("QTEXTRARETI").SetAsFloat(p < t ? t - p : 0);
                campo("QTDEVOLVRETI").SetAsFloat(p > t ? p - t : 0);
            }
        }
        const double t = valor("QTTOTLANCTO");
        const double qtEstoque = quantidadeEstoque(t);
        campo("CDFILIAL").SetValue(cdsLanctoEst.FieldByName("CDFILIAL").Value());
        const TDateTime data = dbdRetirada->Date();
        if (novo) {
            if (campo("QTPREVISRETI").IsNull()) campo("QTPREVISRETI").SetAsFloat(0);
            ++inSeqItem;
            const std::string seq = Consiste::Ajusta(std::to_string(inSeqItem), 4);
            campo("NRSEQUITEM").SetAsString(seq);
            campo("NRLANCESTQ").SetValue(cdsLanctoEst.FieldByName("NRLANCESTQ").Value());
            campo("CDFILIMOVI").SetAsString(Filial());
            campo("IDORDEMCLC").SetAsString("9");
            campo("IDTIPOMOVI").SetAsString("3");
            campo("NRRETIRADA").SetValue(cdsLanctoEst.FieldByName("NRRETIRADA").Value());
            campo("NRCARDAPIO").SetValue(cdsLanctoEst.FieldByName("NRCARDAPIO").Value());
            campo("NRSEQUITRETI").SetAsString(seq);
            campo("DTLANCMOVI").SetAsDateTime(data);
        } else if (campo("NRSEQUITEM").IsNull()) {
            campo("NRSEQUITEM").SetValue(campo("NRSEQUITRETI").Value());
            campo("NRLANCESTQ").SetValue(cdsLanctoEst.FieldByName("NRLANCESTQ").Value());
            campo("IDORDEMCLC").SetAsString("9");
            campo("IDTIPOMOVI").SetAsString("3");
            campo("DTLANCMOVI").SetAsDateTime(data);
            campo("CDFILIMOVI").SetAsString(Filial());
        }
        if (t == 0) {
            for (const char* f : {"CDFIITLANEST", "NRLANCESTRT", "NRSEQUIITRT"}) campo(f).Clear();
        } else {
            campo("CDFIITLANEST").SetValue(cdsLanctoEst.FieldByName("CDFILIAL").Value());
            campo("NRLANCESTRT").SetValue(cdsLanctoEst.FieldByName("NRLANCESTQ").Value());
            campo("NRSEQUIITRT").SetValue(campo("NRSEQUITEM").Value());
        }
        campo("CDFILIRETI").SetAsString(Filial());
        campo("CDFILIMOVI").SetAsString(Filial());
        campo("QTLANCTOEST").SetAsFloat(qtEstoque);
        campo("QTRETIRADA").SetAsFloat(t);
        campo("IDEVOLESTOQ").SetAsString("N");
        if (valor("VRQTDEANT") == 0) campo("VRQTDEANT").Clear();
        if (!novo && dbgItens->Focused() && boUsaLocalizacao) descEstoque();
        if (it.State() == TDataSetState::dsBrowse) it.Edit();  // the library posted it: checked all the same
        for (const char* f : {"CDALMOXARIFE", "CDLOCALESTOQ", "NRLOTEESTQ", "NRSUBLOTE"})
            campo(f).SetAsString(ResultValue(campo(f)));
        if (!u.boAtualizandoEstoque) Vd_Quantidade();
        if (editando(it) && itemDuplicado()) {
            if (boUsaLocalizacao) erroItem("CDARVPROD", "Prod_exist_almox");
            erroItem("CDARVPROD", "Prod_exist");
        }
    }
    if (editando(it)) custoDoDia(true);
    Vd_TipoReti(valor("QTTOTLANCTO") > 0);
}
