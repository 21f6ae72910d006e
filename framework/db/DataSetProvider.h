#pragma once
// TDataSetProvider: hands the rows of a dataset (usually a TADOIBQuery) to a
// client dataset as a data packet (dspProduto -> cdsProduto).
#include "data/ClientDataSet.h"
#include "data/DataSet.h"

#include <string>

class TDataSetProvider {
public:
    // The provider reads source, which must outlive it.
    TDataSetProvider(std::string name, TDataSet& source) : Name(std::move(name)), source_(source) {}

    std::string Name;  // e.g. "dspProduto"

    // A packet of the source's visible rows and data fields. A closed source is
    // opened (running its query with the current parameters), read and closed
    // again; an open one is read as it stands, from its first row, without moving its cursor.
    Variant GetData();
    // target.SetData(GetData()): the client dataset takes the rows and opens.
    void Fill(TClientDataSet& target);

private:
    TDataSet& source_;
};
