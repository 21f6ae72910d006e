#pragma once
// Small items datasets for the data tests.
#include "data/ClientDataSet.h"

#include <string>
#include <vector>

inline void DeclareItems(TClientDataSet& ds) {
    ds.Name = "cdsItens";
    ds.AddField("CODE", TFieldType::ftString, 10);
    ds.AddField("NAME", TFieldType::ftString, 20);
    ds.AddField("QTY", TFieldType::ftFloat);
    ds.AddField("GRP", TFieldType::ftString, 4);
}

// A packet with rows ("C<i>", "Item <i>", i, group "G<i % groups>").
inline DataPacket ItemsPacket(int rows, int groups = 3) {
    DataPacket p;
    p.fields = {{"CODE", TFieldType::ftString, 10}, {"NAME", TFieldType::ftString, 20},
                {"QTY", TFieldType::ftFloat, 0}, {"GRP", TFieldType::ftString, 4}};
    for (int i = 1; i <= rows; ++i)
        p.rows.push_back({{Variant("C" + std::to_string(i)), Variant("Item " + std::to_string(i)),
                           Variant(static_cast<double>(i)), Variant("G" + std::to_string(i % groups))},
                          RowChange::Unmodified,
                          {}});
    return p;
}

// Values of one field over the visible records, in order (moves the cursor).
inline std::vector<std::string> Column(TDataSet& ds, const std::string& field) {
    std::vector<std::string> out;
    ds.First();
    while (!ds.Eof()) {
        out.push_back(ds.FieldByName(field).AsString());
        ds.Next();
    }
    return out;
}
