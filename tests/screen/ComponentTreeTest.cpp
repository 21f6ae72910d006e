// The form's components as later steps rely on them: datasets and queries
// field by field, grids, menus and the catalog.
#include "ScreenFixture.h"

#include "Cli_pla02000/services/AcceptedErrors.h"
#include "model/ExpectedFields.h"

#include <sstream>

using namespace screen_test;

namespace {

class ComponentTreeTest : public ScreenTest {};

std::string fieldList(const TDataSet& ds) {
    std::string out;
    for (int i = 0; i < ds.FieldCount(); ++i) {
        const TField& f = ds.Fields(i);
        if (!out.empty()) out += "; ";
        out += f.FieldName() + " " + FieldTypeName(f.DataType());
        if (f.IsStringType()) out += " " + std::to_string(f.Size());
    }
    return out;
}

std::string normalized(std::string_view list) {
    std::string out;
    std::stringstream in{std::string(list)};
    std::string item;
    while (std::getline(in, item, ';')) {
        const auto b = item.find_first_not_of(' ');
        const auto e = item.find_last_not_of(' ');
        if (b == std::string::npos) continue;
        if (!out.empty()) out += "; ";
        out += item.substr(b, e - b + 1);
    }
    return out;
}

}  // namespace

TEST_F(ComponentTreeTest, EveryDataSetAndQueryHasTheExpectedFields) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    int checked = 0;
    for (const ExpectedFieldList& e : kExpectedDataSets) {
        if (e.form != "TfrmRetirada") continue;
        auto* ds = [&]() -> TDataSet* {
            for (TClientDataSet* c :
                 {&f->cdsRomaRetirada, &f->cdsLanctoEst, &f->cdsItLanctoEst, &f->cdsItlanctoVdAux, &f->cdsItLanctoSumAux,
                  &f->cdsItLanctoFilter, &f->cdsRetiTipoPrat, &f->cdsResumo, &f->cdsParamEstoque, &f->cdsParamFilial,
                  &f->cdsCtrlEstoque, &f->cdsUtilizaRetiPrat, &f->cdsNrPrevReti, &f->cdsVdPrevReti,
                  &f->cdsPesqRequisicao, &f->cdsPrevRetiAux, &f->cdsVdServico, &f->cdsVerifCardapio, &f->cdsTipoReti,
                  &f->cdsLocalizacao, &f->cdsValidProd, &f->cdsPosEstDia, &f->cdsValidaRetiTpPrat, &f->cdsProduto,
                  &f->cdsVdRetDia, &f->cdsRetiradaGeral})
                if (c->Name == e.name) return c;
            return nullptr;
        }();
        ASSERT_NE(ds, nullptr) << e.name;
        EXPECT_EQ(fieldList(*ds), normalized(e.fields)) << e.name;
        ++checked;
    }
    for (const ExpectedFieldList& e : kExpectedQueries) {
        if (e.form != "TfrmRetirada") continue;
        auto* q = [&]() -> TDataSet* {
            for (TADOIBQuery* c : {&f->qryFilial, &f->qryServico, &f->qryFiliOffLine, &f->qryRetOffLine, &f->qryProduto,
                                   &f->qryProdutoCache, &f->qryProdutoSemCache, &f->qryParamGeral, &f->qryPesqProduto,
                                   &f->qryValidProduto, &f->qryExisteProdTReti, &f->qryValidProdReti, &f->qryTipoPrat,
                                   &f->qryPrato, &f->qryValidaPrato})
                if (c->Name == e.name) return c;
            return nullptr;
        }();
        ASSERT_NE(q, nullptr) << e.name;
        EXPECT_EQ(fieldList(*q), normalized(e.fields)) << e.name;
        ++checked;
    }
    EXPECT_GE(checked, 40);
    // The three copies of the items declare the same provider as the items.
    for (TClientDataSet* c : {&f->cdsItLanctoEst, &f->cdsItlanctoVdAux, &f->cdsItLanctoSumAux, &f->cdsItLanctoFilter,
                              &f->cdsResumo})
        EXPECT_EQ(c->ProviderName, "dspItLanctoEst") << c->Name;
    EXPECT_EQ(f->cdsItlanctoVdAux.FieldByName("ESTOQUEOK").DisplayLabel(), "Estoque");
    EXPECT_EQ(f->cdsItLanctoEst.FieldByName("QTDEVOLVRETI").EditFormat, "##0.00000");
    EXPECT_EQ(f->cdsItLanctoSumAux.FieldByName("QTDEVOLVRETI").EditFormat, "#,##0.00000");
    EXPECT_TRUE(f->cdsItLanctoEst.FieldByName("IDERRO").Calculated());
    EXPECT_EQ(f->cdsItLanctoEst.FieldByName("QTEXTRARETI").Name, "cdsItLanctoEstQTEXTRARETI");
}

TEST_F(ComponentTreeTest, GridsHaveTheirColumnsTitlesAndButtons) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    const TDBGridColumns& roma = f->dbgPadrao->Columns();
    ASSERT_EQ(roma.Count(), 6);
    EXPECT_EQ(roma[1].FieldName, "NMSERVICO");
    EXPECT_EQ(roma[1].Width, 232);
    EXPECT_EQ(f->dbgPadrao->ColumnTitle(2), "Data Retirada ");
    EXPECT_EQ(f->dbgPadrao->ColumnTitle(5), "Nº Lançamento Estoque");
    EXPECT_TRUE(f->dbgPadrao->ReadOnly);

    const char* itens[] = {"CDARVPROD", "NMPRODUTO", "SGUNIDADE", "CDTIPORETI", "QTPREVISRETI",
                           "QTEXTRARETI", "QTDEVOLVRETI", "QTTOTLANCTO", "VRUNILANCTO", "ESTOQUEOK"};
    ASSERT_EQ(f->dbgItens->Columns().Count(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(f->dbgItens->Columns()[i].FieldName, itens[i]);
    EXPECT_EQ(f->dbgItens->Columns()[3].ButtonStyle, TColumnButtonStyle::cbsEllipsis);
    EXPECT_EQ(f->dbgItens->Columns()[0].ButtonStyle, TColumnButtonStyle::cbsNone);
    EXPECT_EQ(f->dbgItens->Columns()[7].Width, 60);
    EXPECT_EQ(f->dbgItens->Columns()[4].Title.Alignment, TAlignment::taRightJustify);
    EXPECT_EQ(Pla02000Unit().Coluna->Width, 21);

    // The error mark comes back and goes away again.
    f->MostraColunaErro();
    EXPECT_EQ(f->dbgItens->Columns().Count(), 11);
    EXPECT_EQ(f->dbgItens->Columns()[1].Width, 117);
    f->EscondeColunaErro();
    EXPECT_EQ(f->dbgItens->Columns().Count(), 10);
    EXPECT_EQ(f->dbgItens->Columns()[1].Width, 138);

    EXPECT_GE(f->dbgResumo->ColumnIndexOf("QTESTDIACON"), 0);
    EXPECT_GE(f->dbgLocalizacao->ColumnIndexOf("NRSUBLOTE"), 0);
    EXPECT_GE(f->dbgTipoPrat->ColumnIndexOf("NMPRATO"), 0);
}

TEST_F(ComponentTreeTest, MenusCarryTheirCaptionsAndShortcuts) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->mnuFolhaDados->Caption(), "R&omaneio");
    EXPECT_EQ(f->mnuFormulario->Caption(), "&Lançamento");
    EXPECT_EQ(f->mnuResumo->Caption(), "R&esumo");
    EXPECT_EQ(ShortCutToText(f->mnuAtuaEstoque->ShortCut()), "Ctrl+E");
    EXPECT_EQ(ShortCutToText(f->mnuFiltraLanc->ShortCut()), "Ctrl+L");
    EXPECT_EQ(ShortCutToText(f->mnuRetGeral->ShortCut()), "Ctrl+R");
    EXPECT_EQ(ShortCutToText(f->mnuVisualizaErros->ShortCut()), "Ctrl+N");
    EXPECT_EQ(ShortCutToText(f->mnuAtuQtCons->ShortCut()), "Ctrl+A");
    EXPECT_EQ(f->mnuAtuaEstoque->Caption(), "Atuali&zar Estoque");
    EXPECT_FALSE(f->mnuErrosLanc->Enabled());
    EXPECT_EQ(f->mnuErrosItem->Caption(), "Erros no Item");
    EXPECT_FALSE(f->sbtVisualizaErros->Enabled());
    EXPECT_EQ(f->sbtAtuQtCons->Hint(), "Atualizar Quantidade Consumida");
    EXPECT_FALSE(f->imgOk->Visible());
    EXPECT_EQ(f->imgSemErro->Width(), 18);
    EXPECT_EQ(f->medCdFilial->EditMask(), ">aaaa;0; ");
    EXPECT_EQ(f->medCdServico->MaxLength(), 5);
    EXPECT_EQ(f->dbdRetirada->Tag(), 3);
    EXPECT_FALSE(f->edtNmServico->TabStop());
    // Catalog: 130 entries, looked up without regard to case.
    EXPECT_EQ(f->msgPadrao->Count(), 130);
    EXPECT_EQ(f->msgPadrao->Msg("serv_inativo"), f->msgPadrao->Msg("SERV_INATIVO"));
}

TEST_F(ComponentTreeTest, AcceptedErrorsFollowTheIgnoreListAndNegativeStock) {
    TClientDataSet r;
    r.AddField("CDERRO", TFieldType::ftString, 20);
    r.AddField("CDOBJETO", TFieldType::ftString, 20);
    r.CreateDataSet();
    auto add = [&](const char* key) { r.AppendRecord({Variant(key), Variant("100001")}); };
    add("NRLANCESTQ");
    add("NRRETIRADA");
    EXPECT_FALSE(ErroNaoAceito(r, "0", 2, "N")) << "only numbers came back";
    add("lib00200_3");
    EXPECT_TRUE(ErroNaoAceito(r, "0", 2, "N")) << "found without regard to case";
    EXPECT_TRUE(ErroNaoAceito(r, "", 2, "N"));
    EXPECT_FALSE(ErroNaoAceito(r, "#LIB00200_3#", 2, "N"));
    EXPECT_FALSE(ErroNaoAceito(r, "0", 2, "S")) << "negative stock allowed accepts it";
    EXPECT_FALSE(ErroNaoAceito(r, "0", 3, "N")) << "not more rows than the limit";
    add("LIB00200_4");
    EXPECT_TRUE(ErroNaoAceito(r, "#LIB00200_3#", 2, "N")) << "LIB00200_4 is not in the list";
    EXPECT_FALSE(ErroNaoAceito(r, "#LIB00200_3##LIB00200_4#", 2, "N"));
    EXPECT_FALSE(ErroNaoAceito(r, "#LIB00200_3##LIB00200_4#", 2, "S"));
    add("PLA02000_2");
    EXPECT_TRUE(ErroNaoAceito(r, "#LIB00200_3##LIB00200_4#", 2, "S"));
    EXPECT_FALSE(ErroAceito("LIB00200_3", "LIB00200_3")) << "a key counts only framed by #";

    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    f->cdsRetorno->SetData(r.Data());
    EXPECT_TRUE(f->RetornouErro("0", 0));
    EXPECT_FALSE(f->RetornouErro("0", 10));
}
