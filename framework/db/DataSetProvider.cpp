#include "db/DataSetProvider.h"

#include "core/ScopeGuard.h"

Variant TDataSetProvider::GetData() {
    bool opened = false;
    if (!source_.Active()) {
        source_.Open();
        opened = true;
    }
    TScopeExit closeAgain([&] {
        if (opened) source_.Close();
    });
    DataPacket p;
    {
        std::vector<TField*> fields;
        for (int i = 0; i < source_.FieldCount(); ++i) {
            TField& f = source_.Fields(i);
            if (f.Calculated()) continue;
            fields.push_back(&f);
            p.fields.push_back({f.FieldName(), f.DataType(), f.Size()});
        }
        int rows = source_.RecordCount();
        p.rows.reserve(static_cast<size_t>(rows));
        for (int r = 0; r < rows; ++r) {
            PacketRow row;
            row.values.reserve(fields.size());
            for (TField* f : fields) row.values.push_back(source_.ValueAt(r, *f));
            p.rows.push_back(std::move(row));
        }
    }
    return Variant(std::move(p));
}

void TDataSetProvider::Fill(TClientDataSet& target) { target.SetData(GetData()); }
