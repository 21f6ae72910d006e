// The packets the server builds and the client datasets that receive them are
// declared on two sides; these tests hold the two together field by field.
#include "Cli_pla02000/model/RetiradaDataSets.h"
#include "Cli_pla02010/model/FiltroRetiradaModel.h"
#include "core/Exception.h"
#include "data/BuildDataSet.h"
#include "data/ClientDataSet.h"
#include "modules/Datasets.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace model;
namespace ds = appserver::datasets;

namespace {

const DataSetDef* ClientDataSet(std::string_view name) {
    if (const DataSetDef* d = FindScreenDataSet(name)) return d;
    return FindDataSet(FiltroRetiradaDataSets(), name);
}

std::string Describe(std::string_view name, TFieldType type, int size) {
    return std::string(name) + " " + FieldTypeName(type) + " " + std::to_string(size);
}

// The packet carries every field the dataset declares, in order; calculated
// ones travel too (empty) and the client works their values out itself.
std::vector<std::string> DeclaredFields(const DataSetDef& def) {
    std::vector<std::string> out;
    for (const FieldDef& f : def.fields) out.push_back(Describe(f.name, f.type, f.size));
    return out;
}

std::vector<std::string> PacketFields(const ds::Fields& fields) {
    std::vector<std::string> out;
    for (const PacketField& f : fields) out.push_back(Describe(f.name, f.type, f.size));
    return out;
}

}  // namespace

TEST(PacketShapes, EveryServerPacketHasTheNamesTypesAndSizesOfItsClientDataSet) {
    std::set<std::string> seen;
    for (const ds::Shape& s : ds::All()) {
        SCOPED_TRACE(s.dataSet);
        EXPECT_TRUE(seen.insert(s.dataSet).second) << "two shapes for one dataset";
        const DataSetDef* def = ClientDataSet(s.dataSet);
        ASSERT_NE(def, nullptr) << "no client dataset receives this packet";
        EXPECT_EQ(PacketFields(s.fields), DeclaredFields(*def));
    }
}

TEST(PacketShapes, TheClientDataSetTakesTheServersPacketWithItsRows) {
    for (const ds::Shape& s : ds::All()) {
        SCOPED_TRACE(s.dataSet);
        const DataSetDef* def = ClientDataSet(s.dataSet);
        ASSERT_NE(def, nullptr);
        TClientDataSet client;
        BuildDataSet(client, *def);
        DataPacket packet;
        packet.fields = s.fields;
        PacketRow row;
        for (const PacketField& f : s.fields) {
            const bool text = f.type == TFieldType::ftString || f.type == TFieldType::ftFixedChar;
            row.values.push_back(text ? Variant(std::string(static_cast<size_t>(f.size), 'X')) : Variant());
        }
        packet.rows.push_back(row);
        ASSERT_NO_THROW(client.SetData(Variant(packet)));
        EXPECT_EQ(client.RecordCount(), 1);
        // A full-length text arrives whole: the client's size is not smaller than the server's.
        for (const PacketField& f : s.fields) {
            if (f.size > 0 && !def->FindField(f.name)->calculated) {
                EXPECT_EQ(client.FieldByName(f.name).AsString().size(), static_cast<size_t>(f.size)) << f.name;
            }
        }
    }
}
