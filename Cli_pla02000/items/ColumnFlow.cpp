// Items typed into dbgItens one column at a time: the product code completed
// and validated, the quantities kept consistent (consumed = planned + extra -
// returned), the stock quantity and the cost of the day, the duplicate of a
// place, the ellipsis lists, and the dish validators shared with the
// dish-type breakdown.
#include "Cli_pla02000/Retirada.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "services/Consiste.h"
#include "services/Morvena.h"
#include "services/Pesquisa.h"
#include "services/Tabvalid.h"
#include "stocklib/Lib00200.h"
#include "stocklib/Lib00206.h"
#include "stocklib/Lib00210.h"

namespace {

bool editando(const TDataSet& ds) {
    return ds.State() == TDataSetState::dsEdit || ds.State() == TDataSetState::dsInsert;
}

double valor(const TDataSet& ds, const char* field) { return ds.FieldByName(field).AsFloat(); }

std::string colunaSelecionada(const TDBGrid* grid) {
    TField* f = grid->SelectedField();
    return f ? text::Upper(f->FieldName()) : std::string();
}

}  // namespace

void TfrmRetirada::erroItem(const char* field, const char* key) {
    const int col = Consiste::IndiceCol(dbgItens, field);
    if (col >= 0) dbgItens->SetSelectedIndex(col);
    Consiste::MensErro(msgPadrao->Msg(key), true);
    throw EAbort();  // MensErro with abort never returns; the compiler cannot know
}

std::string TfrmRetirada::ResultValue(const TField& field) {
    if (field.IsNull() || text::Trim(field.AsString()).empty()) return " ";
    return field.AsString();
}

void TfrmRetirada::Atualiza_Valores(TField& field, double value) {
    if (!field.IsNull() && field.AsFloat() == value) return;
    if (!editando(cdsItLanctoEst)) cdsItLanctoEst.Edit();
    field.SetAsFloat(value);
}

void TfrmRetirada::completaCodigo(TField& code) {
    const std::string c = text::Trim(code.AsString());
    code.SetAsString(c);
    const TDBPicture& pic = *Pla02000Unit().dbpProduto;
    const int niveis = pic.GetTtNiveis();
    const int tamanho = static_cast<int>(text::Length(c));
    if (tamanho == pic.TamAcNivel(niveis - 1)) {
        // Only the last level missing: its first product.
        code.SetAsString(c + std::string(static_cast<size_t>(pic.TamNivel(niveis)), '0'));
    } else if (tamanho != pic.TamAcNivel(niveis)) {
        Tabvalid::ValidEx(nullptr, 0, c, Tabvalid::voUltimoNivel, "", true);
    }
}

void TfrmRetirada::leProduto(const std::string& code, bool validacao) {
    TParam& produto = qryValidProduto.ParamByName("P_CDPRODUTO");
    if (!validacao && postandoItem_ > 0 && produtoDoPost_ && qryValidProduto.Active() &&
        produto.Value().IsString() && produto.Value().TextView() == code)
        return;
    qryValidProduto.Close();
    produto.SetAsString(code);
    qryValidProduto.Open();
    produtoDoPost_ = validacao && postandoItem_ > 0;
}

void TfrmRetirada::ValidaProduto(const std::string& code) {
    leProduto(code, true);
    if (qryValidProduto.IsEmpty()) erroItem("CDARVPROD", "Prod_Cad");
    if (qryValidProduto.FieldByName("CDPRODUTO").AsString() != qryValidProduto.FieldByName("CDPRODESTO").AsString())
        erroItem("CDARVPROD", "Prod_Comp");
    TClientDataSet& it = cdsItLanctoEst;
    for (const char* f : {"CDPRODUTO", "NMPRODUTO", "SGUNIDADE"})
        it.FieldByName(f).SetValue(qryValidProduto.FieldByName(f).Value());
    it.FieldByName("CDPRODMOVI").SetValue(qryValidProduto.FieldByName("CDPRODESTO").Value());
}

double TfrmRetirada::quantidadeEstoque(double consumed) {
    if (consumed == 0) return 0;
    leProduto(cdsItLanctoEst.FieldByName("CDARVPROD").AsString(), false);
    const double fator = qryValidProduto.IsEmpty() ? 0 : qryValidProduto.FieldByName("VRFATOCONV").AsFloat();
    return fator == 0 ? consumed : consumed * fator;
}

void TfrmRetirada::custoDoDia(bool defaultType) {
    TClientDataSet& it = cdsItLanctoEst;
    stAlmoxarife = ResultValue(it.FieldByName("CDALMOXARIFE"));
    stLocalEstoq = ResultValue(it.FieldByName("CDLOCALESTOQ"));
    stLoteEstq = ResultValue(it.FieldByName("NRLOTEESTQ"));
    stSubLote = ResultValue(it.FieldByName("NRSUBLOTE"));
    TField& data = it.FieldByName("DTLANCMOVI");
    const TDateTime referencia = data.IsNull() ? Morvena::DataProc(Morvena::FiliProc()) : data.AsDateTime();
    it.FieldByName("VRUNILANCTO").SetAsFloat(0);
    it.FieldByName("VRTOTLANCTO").SetAsFloat(0);
    if (valor(it, "QTTOTLANCTO") <= 0) return;
    {
        TConnectionUse estoque = UsoConexao(netEstoque);
        const std::string tipoCusto = text::Trim(ParamEstoque("CDTIPCUSTEST"));
        cdsPosEstDia.SetData(Lib00200::Consulta_PosEstDia(netEstoque, Filial(), it.FieldByName("CDPRODUTO").AsString(),
                                                          stAlmoxarife, stLocalEstoq, stLoteEstq, stSubLote,
                                                          referencia, tipoCusto.empty() ? 0 : std::stoi(tipoCusto), -1));
    }
    Vd_CtrlEstoque();
    const double custo = cdsPosEstDia.IsEmpty() ? 0 : cdsPosEstDia.FieldByName("VRCUSTOPROD").AsFloat();
    if (custo > 0) {
        it.FieldByName("VRUNILANCTO").SetAsFloat(custo);
        it.FieldByName("VRTOTLANCTO").SetAsFloat(valor(it, "QTLANCTOEST") * custo);
    }
    if (defaultType && it.FieldByName("CDTIPORETI").AsString().empty())
        it.FieldByName("CDTIPORETI").SetAsString(ParamEstoque("CDTPRETIPADR"));
}

void TfrmRetirada::descEstoque() {
    TConnectionUse estoque = UsoConexao(netEstoque);
    TConnectionUse info = UsoConexao(netInfoProd);
    Lib00206::DescEstoqProdCli(netEstoque, netInfoProd, Filial(), cdsItLanctoEst, false, true, false, false, true,
                               true, false, false, false, "", "", "", "", "", TDateTime(), TDateTime());
}

void TfrmRetirada::dbgItensEnter(TObject*) {
    RetiradaUnit& u = Pla02000Unit();
    TClientDataSet& it = cdsItLanctoEst;
    const bool codBarra = ParamEstoque("IDUTCODBARRA") == "S" || ParamEstoque("IDUTCODBARFI") == "S";
    if (grbTipoPrat->Visible() && cdsRetiTipoPrat.Active() && !cdsRetiTipoPrat.IsEmpty() &&
        !cdsRetiTipoPrat.FieldByName("CDTIPOPRAT").AsString().empty() && colunaSelecionada(dbgItens) == "CDARVPROD" &&
        it.Active() && it.FieldByName("CDARVPROD").AsString().empty() && codBarra && !it.ControlsDisabled()) {
        // A post just refused for a missing code brought the focus here: no reader over the error.
        if (u.boErro) {
            u.boErro = false;
        } else {
            leCodigoBarra();
        }
    }
    u.boSomaTotLancto = true;
    ControlaBloqAltPra();
    if (cdsRetiTipoPrat.State() == TDataSetState::dsInsert && it.Active() && it.State() != TDataSetState::dsInsert)
        it.Insert();
}

void TfrmRetirada::dbgItensExit(TObject*) {
    if (cdsItLanctoEst.Active() && editando(cdsItLanctoEst)) cdsItLanctoEst.Post();
}

void TfrmRetirada::dbgItensColEnter(TObject*) {
    TClientDataSet& it = cdsItLanctoEst;
    const std::string col = colunaSelecionada(dbgItens);
    if (it.State() == TDataSetState::dsInsert && it.FieldByName("CDARVPROD").IsNull()) {
        // The product comes first.
        if (dbgItens->SelectedIndex() != 0) dbgItens->SetSelectedIndex(0);
        return;
    }
    if (Pla02000Unit().boSomaTotLancto && editando(it) && col == "QTTOTLANCTO" &&
        it.FieldByName("IDSTATUS").AsString() != "D")
        it.FieldByName("QTTOTLANCTO")
            .SetAsFloat(valor(it, "QTPREVISRETI") + valor(it, "QTEXTRARETI") - valor(it, "QTDEVOLVRETI"));
    dbgItens->Options.Editing = col != "ESTOQUEOK" && col != "IDERRO";
}

void TfrmRetirada::dbgItensColExit(TObject*) {
    RetiradaUnit& u = Pla02000Unit();
    TClientDataSet& it = cdsItLanctoEst;
    if (!it.Active()) return;
    if (it.State() == TDataSetState::dsInsert) boVdColuna = true;
    const std::string col = colunaSelecionada(dbgItens);
    const bool marcado = it.FieldByName("IDSTATUS").AsString() == "D";

    // A quantity left: null becomes 0 once there is a product, negative is refused, the rest rounded.
    auto quantidade = [&](const char* field) {
        TField& f = it.FieldByName(field);
        if (f.IsNull()) {
            if (!it.FieldByName("CDARVPROD").IsNull()) Atualiza_Valores(f, 0);
            return;
        }
        if (f.AsFloat() < 0) erroItem(field, "Quant_Inv");
        Atualiza_Valores(f, Consiste::RoundDec(f.AsFloat(), 5));
    };

    if (u.boSomaTotLancto && boVdColuna && !marcado) {
        if (col == "QTEXTRARETI") quantidade("QTEXTRARETI");
        if (col == "QTDEVOLVRETI") {
            quantidade("QTDEVOLVRETI");
            if (valor(it, "QTDEVOLVRETI") > valor(it, "QTPREVISRETI") + valor(it, "QTEXTRARETI"))
                erroItem("QTDEVOLVRETI", "qtdevolv_inv");
        }
        TField& codigo = it.FieldByName("CDARVPROD");
        if (!codigo.IsNull() && col == "CDARVPROD" && editando(it)) {
            if (Consiste::EmptyString(codigo.AsString())) erroItem("CDARVPROD", "Cod_Inf");
            if (it.FieldByName("QTTOTLANCTO").IsNull()) it.FieldByName("QTTOTLANCTO").SetAsFloat(0);
            if (cdsProduto.Active() && !cdsProduto.IsEmpty() &&
                cdsProduto.FieldByName("CDARVPROD").AsString() == codigo.AsString()) {
                for (const char* f : {"CDPRODUTO", "NMPRODUTO", "SGUNIDADE"})
                    it.FieldByName(f).SetValue(cdsProduto.FieldByName(f).Value());
                it.FieldByName("CDPRODMOVI").SetValue(cdsProduto.FieldByName("CDPRODESTO").Value());
            } else if (it.State() == TDataSetState::dsInsert) {
                completaCodigo(codigo);
            }
            Lib00210::Validacao_Produto(Filial(), codigo.AsString(), ParamFilial("IDBLPRCOMEST"));
            ValidaProduto(codigo.AsString());
        }
        if (col == "CDARVPROD" && it.State() == TDataSetState::dsInsert && !it.FieldByName("CDPRODUTO").AsString().empty()) {
            if (boUsaLocalizacao) descEstoque();
            if (it.State() == TDataSetState::dsBrowse) return;  // the library posted the item
            Variant r = CallServer(
                netRetirada, "Vd_ExistProdAlmox",
                {Variant(Filial()), Variant(cdsLanctoEst.FieldByName("NRRETIRADA").AsString()),
                 Variant(it.FieldByName("CDPRODUTO").AsString()), Variant(ResultValue(it.FieldByName("NRSEQUITRETI"))),
                 Variant(ResultValue(it.FieldByName("CDALMOXARIFE"))), Variant(ResultValue(it.FieldByName("CDLOCALESTOQ"))),
                 Variant(ResultValue(it.FieldByName("NRLOTEESTQ"))), Variant(ResultValue(it.FieldByName("NRSUBLOTE"))),
                 Variant(it.FieldByName("CDTIPOPRAT").AsString()), Variant(it.FieldByName("CDPRATO").AsString()),
                 Variant(it.FieldByName("CDFILAUXPRAT").AsString())});
            if (Consiste::CheckResultServ(r, true, 0).AsBoolean()) {
                dbgItens->SetSelectedField("CDARVPROD");
                // Without places the duplicate is refused when the item is posted.
                if (boUsaLocalizacao) erroItem("CDARVPROD", "Prod_exist_almox");
            }
        }
        if (col == "QTDEVOLVRETI" && valor(it, "QTTOTLANCTO") == 0)
            Atualiza_Valores(it.FieldByName("QTTOTLANCTO"),
                             Consiste::RoundDec(valor(it, "QTPREVISRETI") + valor(it, "QTEXTRARETI") -
                                                    valor(it, "QTDEVOLVRETI"),
                                                5));
        if (col == "QTTOTLANCTO") {
            const double t = valor(it, "QTTOTLANCTO"), p = valor(it, "QTPREVISRETI");
            // A negative consumption would turn into a returned quantity above the planned one.
            if (t < 0) erroItem("QTTOTLANCTO", "Quant_Inv");
            if (t != p + valor(it, "QTEXTRARETI") - valor(it, "QTDEVOLVRETI")) {
                Atualiza_Valores(it.FieldByName("QTEXTRARETI"), p < t ? Consiste::RoundDec(t - p, 5) : 0);
                Atualiza_Valores(it.FieldByName("QTDEVOLVRETI"), p > t ? Consiste::RoundDec(p - t, 5) : 0);
            }
        }
    }
    if (col == "QTTOTLANCTO" && !marcado && editando(it)) {
        it.FieldByName("QTLANCTOEST").SetAsFloat(quantidadeEstoque(valor(it, "QTTOTLANCTO")));
        custoDoDia(false);
    }
    if (col == "CDTIPORETI") Vd_TipoReti(false);
    boVdColuna = true;
}

void TfrmRetirada::dbgItensEditButtonClick(TObject*) {
    TClientDataSet& it = cdsItLanctoEst;
    const std::string col = colunaSelecionada(dbgItens);
    if (col == "CDTIPORETI") {
        if (it.Active() && !it.IsEmpty() && it.State() == TDataSetState::dsBrowse) it.Edit();
        if (!editando(it) || Pla02000Unit().boGridReadOnly) return;
        if (!cdsTipoReti.Active() || cdsTipoReti.IsEmpty()) GetTipoReti();
        cdsTipoReti.SetFilter("");
        cdsTipoReti.SetFiltered(false);
        if (Pesquisa::Pesquisar(&dtsTipoReti, msgPadrao->Msg("tiporeti"))) {
            it.FieldByName("CDTIPORETI").SetAsString(cdsTipoReti.FieldByName("CDTIPORETI").AsString());
            it.FieldByName("NMTIPORETI").SetAsString(cdsTipoReti.FieldByName("NMTIPORETI").AsString());
        }
    } else if (col == "CDARVPROD") {
        if (cdsRetiTipoPrat.State() == TDataSetState::dsInsert && it.State() == TDataSetState::dsBrowse) it.Insert();
        if (it.State() != TDataSetState::dsInsert) return;
        dspProduto.Fill(cdsProduto);
        if (Pesquisa::Pesquisar(&dtsProduto, msgPadrao->Msg("Produto") + "|" + msgPadrao->Msg("Prod_Nao_Cad"))) {
            for (const char* f : {"CDPRODUTO", "CDARVPROD", "NMPRODUTO"})
                it.FieldByName(f).SetValue(cdsProduto.FieldByName(f).Value());
            dbgItens->SetSelectedField("SGUNIDADE");
        }
    }
}

void TfrmRetirada::qryProdutoBeforeOpen(TDataSet&) {
    qryParamGeral.Open();
    const bool cache = !qryParamGeral.IsEmpty() && qryParamGeral.FieldByName("IDCACHPRODFI").AsString() == "S";
    qryParamGeral.Close();
    if (cache) {
        qryProduto.AssignSQL(qryProdutoCache);
        qryProduto.ParamByName("P_CDFILIAL").SetAsString(Filial());
    } else {
        qryProduto.AssignSQL(qryProdutoSemCache);
    }
    // Only products of the last level are listed.
    qryProduto.ParamByName("P_CDNVPRODUTO").SetAsString(std::to_string(Pla02000Unit().dbpProduto->GetTtNiveis()));
}

void TfrmRetirada::qryPesqProdutoBeforeOpen(TDataSet&) {
    if (TParam* p = qryPesqProduto.Params().FindParam("P_CDNVPRODUTO"))
        p->SetAsString(std::to_string(Pla02000Unit().dbpProduto->GetTtNiveis()));
    if (TParam* p = qryPesqProduto.Params().FindParam("P_CDFILIAL")) p->SetAsString(Filial());
}

namespace {
bool algumEditando(std::initializer_list<const TDataSet*> sets) {
    for (const TDataSet* d : sets)
        if (editando(*d)) return true;
    return false;
}
}  // namespace

void TfrmRetirada::Vd_TipoPrat(bool mandatory) {
    if (!grbTipoPrat->Visible() || !algumEditando({&cdsRetiTipoPrat, &cdsItLanctoEst, &cdsLanctoEst, &cdsRomaRetirada}))
        return;
    if (!cdsRetiTipoPrat.Active()) return;
    TField& tipo = cdsRetiTipoPrat.FieldByName("CDTIPOPRAT");
    if (tipo.AsString().empty()) {
        if (mandatory) Consiste::MensErro(msgPadrao->Msg("TipoPrato_Inf"), true);
        return;
    }
    if (!editando(cdsRetiTipoPrat)) return;
    tipo.SetAsString(Consiste::Ajusta(tipo.AsString(), tipo.Size()));
    qryTipoPrat.Close();
    qryTipoPrat.ParamByName("P_CDTIPOPRAT").SetAsString(tipo.AsString());
    qryTipoPrat.ParamByName("P_TCDTIPOPRAT").SetAsString("");
    qryTipoPrat.Open();
    if (qryTipoPrat.IsEmpty()) Consiste::MensErro(msgPadrao->Msg("TipoPrato_NCad"), true);
    cdsRetiTipoPrat.FieldByName("NMTIPOPRAT").SetAsString(qryTipoPrat.FieldByName("NMTIPOPRAT").AsString());
}

void TfrmRetirada::Vd_Prato(bool mandatory) {
    if (!grbTipoPrat->Visible() || !algumEditando({&cdsRetiTipoPrat, &cdsItLanctoEst, &cdsLanctoEst, &cdsRomaRetirada}))
        return;
    if (!cdsRetiTipoPrat.Active()) return;
    const std::string prato = cdsRetiTipoPrat.FieldByName("CDPRATO").AsString();
    if (prato.empty()) {
        if (mandatory) Consiste::MensErro(msgPadrao->Msg("Prato_Inf"), true);
        return;
    }
    qryValidaPrato.Close();
    qryValidaPrato.ParamByName("P_CDPRATO").SetAsString(prato);
    qryValidaPrato.ParamByName("P_CDFILAUXPRAT").SetAsString(Filial());
    qryValidaPrato.ParamByName("P_NIVEL").SetAsString(std::to_string(Morvena::DBPictObj(1).GetTtNiveis()));
    qryValidaPrato.Open();
    if (qryValidaPrato.IsEmpty()) Consiste::MensErro(msgPadrao->Msg("Prato_NCad"), true);
    if (!editando(cdsRetiTipoPrat)) return;
    cdsRetiTipoPrat.FieldByName("CDFILAUXPRAT").SetValue(qryValidaPrato.FieldByName("CDFILAUXPRAT").Value());
    cdsRetiTipoPrat.FieldByName("NMPRATO").SetValue(qryValidaPrato.FieldByName("NMPRATO").Value());
}

void TfrmRetirada::Vd_Virgula(TDBGrid* grid, const std::string& fieldName, char32_t& key) {
    TField* f = grid->SelectedField();
    if (!f || !text::SameText(f->FieldName(), fieldName)) return;
    const char sep = SystemFormat().DecimalSeparator;
    if (key != static_cast<char32_t>(sep)) return;
    const std::string atual = Consiste::GridText(grid, fieldName);
    if (atual.empty() || atual.find(sep) != std::string::npos) key = 0;
}
