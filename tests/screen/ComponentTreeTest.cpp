// The form's components as later steps rely on them: datasets and queries
// field by field, grids, menus and the catalog.
#include "ScreenFixture.h"

#include "Cli_pla02000/model/RetiradaDataSets.h"
#include "Cli_pla02000/model/RetiradaQueries.h"
#include "Cli_pla02000/services/AcceptedErrors.h"

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

std::string declared(std::span<const model::FieldDef> fields) {
    std::string out;
    for (const model::FieldDef& f : fields) {
        if (!out.empty()) out += "; ";
        out += std::string(f.name) + " " + FieldTypeName(f.type);
        if (f.size > 0) out += " " + std::to_string(f.size);
    }
    return out;
}

}  // namespace

TEST_F(ComponentTreeTest, EveryDataSetAndQueryHasTheFieldsItsTableDeclares) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    int checked = 0;
    for (const model::DataSetDef& e : model::ScreenDataSets()) {
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
        EXPECT_EQ(fieldList(*ds), declared(e.fields)) << e.name;
        ++checked;
    }
    for (const model::QueryDef& e : model::ScreenQueries()) {
        auto* q = [&]() -> TDataSet* {
            for (TADOIBQuery* c : {&f->qryFilial, &f->qryServico, &f->qryFiliOffLine, &f->qryRetOffLine, &f->qryProduto,
                                   &f->qryProdutoCache, &f->qryProdutoSemCache, &f->qryParamGeral, &f->qryPesqProduto,
                                   &f->qryValidProduto, &f->qryExisteProdTReti, &f->qryValidProdReti, &f->qryTipoPrat,
                                   &f->qryPrato, &f->qryValidaPrato})
                if (c->Name == e.name) return c;
            return nullptr;
        }();
        ASSERT_NE(q, nullptr) << e.name;
        EXPECT_EQ(fieldList(*q), declared(e.fields)) << e.name;
        ++checked;
    }
    EXPECT_GE(checked, 40);
}

TEST_F(ComponentTreeTest, AcceptedErrorsFollowTheIgnoreListAndNegativeStock) {
    TClientDataSet r;
    r.AddField("CDERRO", TFieldType::ftString, 20);
    r.AddField("CDOBJETO", TFieldType::ftString, 20);
    r.CreateDataSet();
    auto add = [&](const char* key) { r.AppendRecord({Variant(key), Variant("100001")}); };
    add("NRLANCESTQ");
    add("NRRETIRADA");
    EXPECT_FALSE(ErroNaoAceito(r, "0", 0, "N")) << "only numbers came back";
    add("lib00200_3");
    EXPECT_TRUE(ErroNaoAceito(r, "0", 0, "N")) << "found without regard to case";
    EXPECT_TRUE(ErroNaoAceito(r, "", 0, "N"));
    EXPECT_FALSE(ErroNaoAceito(r, "#LIB00200_3#", 0, "N"));
    EXPECT_FALSE(ErroNaoAceito(r, "0", 0, "S")) << "negative stock allowed accepts it";
    EXPECT_FALSE(ErroNaoAceito(r, "0", 1, "N")) << "not more error rows than the limit";
    EXPECT_FALSE(ErroNaoAceito(r, "0", 2, "N")) << "two error rows would be needed; numbers do not count";
    add("LIB00200_4");
    EXPECT_TRUE(ErroNaoAceito(r, "#LIB00200_3#", 0, "N")) << "LIB00200_4 is not in the list";
    EXPECT_FALSE(ErroNaoAceito(r, "#LIB00200_3##LIB00200_4#", 0, "N"));
    EXPECT_FALSE(ErroNaoAceito(r, "#LIB00200_3##LIB00200_4#", 0, "S"));
    add("PLA02000_2");
    EXPECT_TRUE(ErroNaoAceito(r, "#LIB00200_3##LIB00200_4#", 0, "S"));
    EXPECT_FALSE(ErroAceito("LIB00200_3", "LIB00200_3")) << "a key counts only framed by #";

    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    f->cdsRetorno->SetData(r.Data());
    EXPECT_TRUE(f->RetornouErro("0", 0));
    EXPECT_FALSE(f->RetornouErro("0", 10));
}
