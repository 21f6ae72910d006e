#include "Cli_pla02000/model/RetiradaDataSets.h"
#include "Cli_pla02010/model/FiltroRetiradaModel.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace model;

TEST(DataSets, TheScreenAndTheFilterDialogDeclareTheirDataSetsOnce) {
    std::set<std::string_view> names;
    for (auto sets : {ScreenDataSets(), FiltroRetiradaDataSets()})
        for (const DataSetDef& ds : sets) EXPECT_TRUE(names.insert(ds.name).second) << ds.name;
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
