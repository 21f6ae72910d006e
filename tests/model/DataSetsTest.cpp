#include "Cli_pla02000/model/RetiradaDataSets.h"
#include "Cli_pla02010/model/FiltroRetiradaModel.h"
#include "ExpectedFields.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace model;

namespace {

// "NAME Type [size]; ..." -> "NAME Type size" lines, size 0 where none is given.
std::vector<std::string> ParseExpected(std::string_view list) {
    std::vector<std::string> out;
    std::stringstream items{std::string(list)};
    std::string item;
    while (std::getline(items, item, ';')) {
        std::stringstream words(item);
        std::string name, type;
        int size = 0;
        words >> name >> type >> size;
        if (!name.empty()) out.push_back(name + " " + type + " " + std::to_string(size));
    }
    return out;
}

std::vector<std::string> Describe(std::span<const FieldDef> fields) {
    std::vector<std::string> out;
    for (const FieldDef& f : fields)
        out.push_back(std::string(f.name) + " " + FieldTypeName(f.type) + " " + std::to_string(f.size));
    return out;
}

std::span<const DataSetDef> DataSetsOf(std::string_view form) {
    if (form == "TfrmRetirada") return ScreenDataSets();
    if (form == "TfrmFiltroRetirada") return FiltroRetiradaDataSets();
    return {};
}

}  // namespace

TEST(DataSets, EveryDataSetHasTheExpectedNamesTypesAndSizesInOrder) {
    for (const ExpectedFieldList& e : kExpectedDataSets) {
        SCOPED_TRACE(std::string(e.form) + "." + std::string(e.name));
        const DataSetDef* ds = FindDataSet(DataSetsOf(e.form), e.name);
        ASSERT_NE(ds, nullptr);
        EXPECT_EQ(ds->name, e.name);  // exact spelling, not only without regard to case
        EXPECT_EQ(Describe(ds->fields), ParseExpected(e.fields));
    }
}

TEST(DataSets, NoDataSetIsLeftOutOfTheExpectedLists) {
    std::set<std::string> expected;
    for (const ExpectedFieldList& e : kExpectedDataSets) expected.insert(std::string(e.form) + "." + std::string(e.name));
    std::set<std::string> actual;
    for (const DataSetDef& ds : ScreenDataSets()) actual.insert("TfrmRetirada." + std::string(ds.name));
    for (const DataSetDef& ds : FiltroRetiradaDataSets()) actual.insert("TfrmFiltroRetirada." + std::string(ds.name));
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(ScreenDataSets().size(), 26u);
    EXPECT_EQ(FiltroRetiradaDataSets().size(), 1u);
}

TEST(DataSets, FieldNamesAreUniqueUpperCaseAndSizedOnlyForStrings) {
    for (const DataSetDef& ds : ScreenDataSets()) {
        SCOPED_TRACE(std::string(ds.name));
        std::set<std::string_view> names;
        for (const FieldDef& f : ds.fields) {
            EXPECT_TRUE(names.insert(f.name).second) << f.name;
            for (char c : f.name) {
                EXPECT_FALSE(c >= 'a' && c <= 'z') << f.name;
            }
            const bool text = f.type == TFieldType::ftString || f.type == TFieldType::ftFixedChar;
            EXPECT_EQ(text, f.size > 0) << f.name;
        }
    }
}

TEST(DataSets, LookupIgnoresCaseAndMissesCleanly) {
    ASSERT_NE(FindScreenDataSet("CDSITLANCTOEST"), nullptr);
    EXPECT_EQ(FindScreenDataSet("CDSITLANCTOEST")->name, "cdsItLanctoEst");
    EXPECT_EQ(FindScreenDataSet("cdsRetorno"), nullptr);  // no declared fields: not a table entry
    const DataSetDef* items = FindScreenDataSet("cdsItLanctoEst");
    ASSERT_NE(items->FindField("qtdevolvreti"), nullptr);
    EXPECT_EQ(items->FindField("NOSUCHFIELD"), nullptr);
}

TEST(DataSets, ItemsAttributes) {
    const DataSetDef& ds = *FindScreenDataSet("cdsItLanctoEst");
    EXPECT_EQ(ds.providerName, "dspItLanctoEst");
    EXPECT_EQ(ds.dataSource, "dtsItLanctoEst");
    EXPECT_EQ(ds.indexFieldNames, "NRSEQUITRETI");

    const FieldDef& code = *ds.FindField("CDARVPROD");
    EXPECT_EQ(code.label, "Código");
    EXPECT_EQ(code.displayWidth, 12);
    EXPECT_TRUE(code.visible);

    const FieldDef& returned = *ds.FindField("QTDEVOLVRETI");
    EXPECT_EQ(returned.label, "Devolvida");
    EXPECT_EQ(returned.displayFormat, "#,##0.00000");
    EXPECT_EQ(returned.editFormat, "##0.00000");
    EXPECT_DOUBLE_EQ(returned.maxValue, 999999999.99999);
    EXPECT_EQ(returned.onValidate, "cdsItLanctoEstQTDEVOLVRETIValidate");
    EXPECT_DOUBLE_EQ(ds.FindField("QTPREVISRETI")->maxValue, 0);  // the planned quantity has no maximum
    EXPECT_DOUBLE_EQ(ds.FindField("QTRETIRADA")->maxValue, 999999999.99999);

    const FieldDef& stockOk = *ds.FindField("ESTOQUEOK");
    EXPECT_EQ(stockOk.type, TFieldType::ftBoolean);
    EXPECT_TRUE(stockOk.calculated);
    EXPECT_FALSE(stockOk.visible);
    EXPECT_EQ(stockOk.label, "Status");

    const FieldDef& error = *ds.FindField("IDERRO");
    EXPECT_TRUE(error.calculated);
    EXPECT_TRUE(error.visible);
    EXPECT_EQ(error.label, "OK");

    const FieldDef& status = *ds.FindField("IDSTATUS");
    EXPECT_EQ(status.type, TFieldType::ftFixedChar);
    EXPECT_EQ(status.displayWidth, 5);
    EXPECT_FALSE(status.visible);

    // Shown columns in grid order: everything else is hidden.
    std::vector<std::string_view> shown;
    for (const FieldDef& f : ds.fields)
        if (f.visible) shown.push_back(f.name);
    EXPECT_EQ(shown, (std::vector<std::string_view>{"CDARVPROD", "NMPRODUTO", "SGUNIDADE", "CDTIPORETI",
                                                    "QTPREVISRETI", "QTEXTRARETI", "QTDEVOLVRETI", "QTTOTLANCTO",
                                                    "VRUNILANCTO", "IDERRO", "QTSALDORETIRADA"}));
}

TEST(DataSets, OnlyTheItemsAndTheSummaryDeclareTheItemsProvider) {
    std::set<std::string_view> withProvider;
    for (const DataSetDef& ds : ScreenDataSets())
        if (ds.providerName == "dspItLanctoEst") withProvider.insert(ds.name);
    EXPECT_EQ(withProvider, (std::set<std::string_view>{"cdsItLanctoEst", "cdsItlanctoVdAux", "cdsItLanctoSumAux",
                                                        "cdsItLanctoFilter", "cdsResumo"}));
    EXPECT_EQ(FindScreenDataSet("cdsProduto")->providerName, "dspProduto");
}

TEST(DataSets, DisplayAttributesOfOtherDataSets) {
    const DataSetDef& dishes = *FindScreenDataSet("cdsRetiTipoPrat");
    EXPECT_EQ(dishes.FindField("IDERRO")->alignment, FieldAlign::Center);
    EXPECT_EQ(dishes.FindField("NMTIPOPRAT")->label, "Nome Tipo Prato");
    EXPECT_EQ(dishes.FindField("IDSTATUS")->type, TFieldType::ftString);  // fixed-char only in the items

    const DataSetDef& summary = *FindScreenDataSet("cdsResumo");
    EXPECT_TRUE(summary.FindField("QTRETIRADA")->readOnly);
    EXPECT_FALSE(summary.FindField("QTRETIRADA")->visible);
    EXPECT_EQ(summary.FindField("QTRETIRADA")->label, "Consumida");
    EXPECT_FALSE(summary.FindField("CUSTO")->readOnly);
    EXPECT_EQ(summary.FindField("QTESTDIACON")->label, "Qtde. Estoque");
    EXPECT_EQ(summary.FindField("QTESTDIACON")->editFormat, "");

    EXPECT_EQ(FindScreenDataSet("cdsParamEstoque")->FindField("CDTPRETIPADR")->origin,
              "DESENV.PARAMPLANEJA.CDTPRETIPADR");
    EXPECT_FALSE(FindScreenDataSet("cdsParamEstoque")->FindField("IDUTCODBARFI")->visible);
    EXPECT_EQ(FindScreenDataSet("cdsLanctoEst")->dataSource, "dtsPadrao");
    EXPECT_EQ(FindScreenDataSet("cdsLanctoEst")->FindField("CDOPERADOR")->displayWidth, 12);
    EXPECT_TRUE(FindScreenDataSet("cdsLocalizacao")->filterCaseInsensitive);
    EXPECT_FALSE(FindScreenDataSet("cdsItLanctoEst")->filterCaseInsensitive);
    EXPECT_EQ(FindScreenDataSet("cdsVdRetDia")->indexFieldNames, "CDSERVFILI");

    const DataSetDef& requisitions = *FindScreenDataSet("cdsNrPrevReti");
    EXPECT_TRUE(requisitions.FindField("DSTIPO")->calculated);
    EXPECT_EQ(requisitions.FindField("NRREQUISICAO")->displayWidth, 25);
    EXPECT_EQ(requisitions.FindField("DTPREVRETI")->type, TFieldType::ftString);  // shown as text here

    const DataSetDef& products = *FindScreenDataSet("cdsProduto");
    EXPECT_TRUE(products.FindField("CDPRODUTO")->required);
    EXPECT_TRUE(products.FindField("CDNVPRODUTO")->required);
    EXPECT_FALSE(products.FindField("CDARVPROD")->required);

    const DataSetDef& maxDates = *FindDataSet(FiltroRetiradaDataSets(), "cdsMaxData");
    for (const FieldDef& f : maxDates.fields) {
        EXPECT_TRUE(f.readOnly) << f.name;
    }
}

TEST(FieldBuilders, AStringWithoutSizeHasTwentyCharacters) {
    static_assert(StringField("X").size == 20);
    static_assert(FloatField("X").size == 0);
    constexpr FieldDef f = StringField("X", 4).Label("L").Hidden().Required().Width(6);
    static_assert(!f.visible && f.required && f.displayWidth == 6 && f.label == "L" && f.size == 4);
    SUCCEED();
}
