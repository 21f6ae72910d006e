#include "data/BuildDataSet.h"
#include "Cli_pla02000/model/RetiradaDataSets.h"
#include "Cli_pla02010/model/FiltroRetiradaModel.h"
#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "data/Field.h"

#include <gtest/gtest.h>

#include <memory>

using namespace model;

namespace {

std::unique_ptr<TClientDataSet> Build(std::string_view name) {
    auto ds = std::make_unique<TClientDataSet>();
    BuildDataSet(*ds, *FindScreenDataSet(name));
    return ds;
}

}  // namespace

TEST(BuildDataSet, DeclaresTheFieldsAttributes) {
    // Sizes and types as the server sends them: PacketShapesTest.
    auto items = Build("cdsItLanctoEst");
    EXPECT_EQ(items->IndexFieldNames(), "NRSEQUITRETI");
    const TField& returned = items->FieldByName("QTDEVOLVRETI");
    EXPECT_EQ(returned.Name, "cdsItLanctoEstQTDEVOLVRETI");
    EXPECT_EQ(returned.DisplayFormat, "#,##0.00000");
    EXPECT_DOUBLE_EQ(returned.MaxValue, 999999999.99999);
    EXPECT_TRUE(items->FieldByName("ESTOQUEOK").Calculated());
    EXPECT_EQ(items->FieldByName("NRRETIRADA").DisplayLabel(), "NRRETIRADA");  // no label declared
    EXPECT_TRUE(Build("cdsLocalizacao")->FilterOptions() & foCaseInsensitive);
    EXPECT_FALSE(items->FilterOptions() & foCaseInsensitive);
}

TEST(BuildDataSet, EveryDeclaredDataSetCanBeCreatedEmpty) {
    for (const DataSetDef& def : ScreenDataSets()) {
        TClientDataSet ds;
        BuildDataSet(ds, def);
        EXPECT_NO_THROW(ds.CreateDataSet()) << def.name;
        EXPECT_TRUE(ds.IsEmpty()) << def.name;
    }
    TClientDataSet maxDates;
    BuildDataSet(maxDates, FiltroRetiradaDataSets()[0]);
    EXPECT_NO_THROW(maxDates.CreateDataSet());
    EXPECT_TRUE(maxDates.FieldByName("DTLANCESTQ").ReadOnly);
}

TEST(BuildDataSet, RefusesADataSetThatAlreadyHasFieldsOrIsOpen) {
    auto items = Build("cdsItLanctoEst");
    EXPECT_THROW(BuildDataSet(*items, *FindScreenDataSet("cdsItLanctoEst")), Exception);
    EXPECT_EQ(items->FieldCount(), static_cast<int>(FindScreenDataSet("cdsItLanctoEst")->fields.size()));
}

// The working copies receive the items' packet whole: the same fields, with
// the consumed quantity moved before the type, and that order must not matter.
TEST(BuildDataSet, ItemsCopiesTakeTheItemsPacket) {
    auto items = Build("cdsItLanctoEst");
    items->CreateDataSet();
    items->Append();
    items->FieldByName("CDARVPROD").SetAsString("0101001");
    items->FieldByName("QTPREVISRETI").SetAsFloat(2.5);
    items->FieldByName("QTTOTLANCTO").SetAsFloat(2.5);
    items->FieldByName("IDSTATUS").SetAsString("N");
    items->Post();

    for (std::string_view name : {"cdsItlanctoVdAux", "cdsItLanctoSumAux", "cdsItLanctoFilter"}) {
        auto copy = Build(name);
        ASSERT_NO_THROW(copy->SetData(items->Data())) << name;
        EXPECT_EQ(copy->RecordCount(), 1) << name;
        EXPECT_EQ(copy->FieldByName("CDARVPROD").AsString(), "0101001") << name;
        EXPECT_DOUBLE_EQ(copy->FieldByName("QTTOTLANCTO").AsFloat(), 2.5) << name;
        EXPECT_EQ(copy->Fields(3).FieldName(), "QTTOTLANCTO") << name;
        EXPECT_EQ(copy->FieldCount(), items->FieldCount()) << name;
    }
}
