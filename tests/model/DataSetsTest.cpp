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

TEST(DataSets, OnlyTheItemsAndTheSummaryDeclareTheItemsProvider) {
    std::set<std::string_view> withProvider;
    for (const DataSetDef& ds : ScreenDataSets())
        if (ds.providerName == "dspItLanctoEst") withProvider.insert(ds.name);
    EXPECT_EQ(withProvider, (std::set<std::string_view>{"cdsItLanctoEst", "cdsItlanctoVdAux", "cdsItLanctoSumAux",
                                                        "cdsItLanctoFilter", "cdsResumo"}));
    EXPECT_EQ(FindScreenDataSet("cdsProduto")->providerName, "dspProduto");
}
