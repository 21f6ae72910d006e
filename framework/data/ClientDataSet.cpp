#include "data/ClientDataSet.h"

#include "core/Exception.h"

void TClientDataSet::CreateDataSet() {
    Close();
    LoadEmpty();
    Open();
}

void TClientDataSet::EmptyDataSet() { EmptyRows(); }

void TClientDataSet::SetData(const Variant& data) {
    if (data.IsNull()) {
        Close();
        return;
    }
    if (!data.IsPacket())
        throw EConvertError(Name + ": Data must be a data packet, not " + data.TypeName());
    std::shared_ptr<const DataPacket> packet = data.PacketPtr();
    Close();
    LoadPacket(std::move(packet));
    Open();
}
