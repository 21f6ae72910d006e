// The three working copies of the items take packets of cdsItLanctoEst, so any
// drift in names, types or sizes would break the copy; display attributes
// differ on purpose and only where listed here.
#include "Cli_pla02000/model/RetiradaDataSets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace model;

namespace {

std::string FormatValue(double v) { return std::to_string(v); }

// Every attribute in which the copy's field differs from the items' field of the same name.
std::set<std::string> Differences(const FieldDef& a, const FieldDef& b) {
    std::set<std::string> d;
    const std::string n(a.name);
    auto text = [&](const char* attr, std::string_view x, std::string_view y) {
        if (x != y) d.insert(n + "." + attr + "=" + std::string(y));
    };
    auto flag = [&](const char* attr, bool x, bool y) {
        if (x != y) d.insert(n + "." + attr + "=" + (y ? "true" : "false"));
    };
    text("label", a.label, b.label);
    text("displayFormat", a.displayFormat, b.displayFormat);
    text("editFormat", a.editFormat, b.editFormat);
    text("editMask", a.editMask, b.editMask);
    text("origin", a.origin, b.origin);
    text("onValidate", a.onValidate, b.onValidate);
    flag("visible", a.visible, b.visible);
    flag("required", a.required, b.required);
    flag("readOnly", a.readOnly, b.readOnly);
    flag("calculated", a.calculated, b.calculated);
    if (a.maxValue != b.maxValue) d.insert(n + ".maxValue=" + FormatValue(b.maxValue));
    if (a.displayWidth != b.displayWidth) d.insert(n + ".displayWidth=" + std::to_string(b.displayWidth));
    if (a.alignment != b.alignment) d.insert(n + ".alignment");
    if (a.type != b.type) d.insert(n + ".type");
    if (a.size != b.size) d.insert(n + ".size");
    return d;
}

std::set<std::string> DifferencesFromItems(std::string_view copyName) {
    const DataSetDef& items = *FindScreenDataSet("cdsItLanctoEst");
    const DataSetDef& copy = *FindScreenDataSet(copyName);
    std::set<std::string> all;
    for (const FieldDef& f : copy.fields) {
        const FieldDef* base = items.FindField(f.name);
        if (!base) {
            all.insert(std::string(f.name) + " not in the items");
            continue;
        }
        all.merge(Differences(*base, f));
    }
    return all;
}

std::vector<std::string_view> Names(const DataSetDef& ds) {
    std::vector<std::string_view> out;
    for (const FieldDef& f : ds.fields) out.push_back(f.name);
    return out;
}


}  // namespace

TEST(ItemsCopies, SameFieldsWithTheConsumedQuantityBeforeTheType) {
    const DataSetDef& items = *FindScreenDataSet("cdsItLanctoEst");
    std::vector<std::string_view> expected = Names(items);
    expected.erase(std::find(expected.begin(), expected.end(), "QTTOTLANCTO"));
    expected.insert(std::find(expected.begin(), expected.end(), "CDTIPORETI"), "QTTOTLANCTO");
    ASSERT_EQ(expected[3], "QTTOTLANCTO");

    for (std::string_view copy : {"cdsItlanctoVdAux", "cdsItLanctoSumAux", "cdsItLanctoFilter"}) {
        SCOPED_TRACE(std::string(copy));
        const DataSetDef* ds = FindScreenDataSet(copy);
        ASSERT_NE(ds, nullptr);
        EXPECT_EQ(ds->name, copy);
        EXPECT_EQ(Names(*ds), expected);
        EXPECT_EQ(ds->providerName, "dspItLanctoEst");
        EXPECT_EQ(ds->dataSource, "");
    }
}

TEST(ItemsCopies, FilterDiffersOnlyInColumnOrder) {
    EXPECT_EQ(DifferencesFromItems("cdsItLanctoFilter"), std::set<std::string>{});
}
