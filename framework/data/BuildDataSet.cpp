#include "data/BuildDataSet.h"

#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "data/Field.h"

#include <string>

namespace model {

void ApplyFieldDef(TField& field, const FieldDef& def) {
    if (!def.label.empty()) field.SetDisplayLabel(std::string(def.label));
    field.DisplayFormat = def.displayFormat;
    field.EditFormat = def.editFormat;
    field.EditMask = def.editMask;
    field.Visible = def.visible;
    field.Required = def.required;
    field.ReadOnly = def.readOnly;
    field.MaxValue = def.maxValue;
    field.DisplayWidth = def.displayWidth;
    field.Origin = def.origin;
}

void DeclareFields(TDataSet& dataSet, std::span<const FieldDef> fields) {
    for (const FieldDef& f : fields) {
        TField& field = dataSet.AddField(std::string(f.name), f.type, f.size,
                                         f.calculated ? TFieldKind::fkCalculated : TFieldKind::fkData);
        field.Name = dataSet.Name + std::string(f.name);
        ApplyFieldDef(field, f);
    }
}

void BuildDataSet(TClientDataSet& dataSet, const DataSetDef& def) {
    if (dataSet.Active() || dataSet.FieldCount() > 0)
        throw Exception((dataSet.Name.empty() ? std::string(def.name) : dataSet.Name) +
                        ": fields can only be declared on an inactive dataset without fields");
    if (dataSet.Name.empty()) dataSet.Name = def.name;

    dataSet.ProviderName = def.providerName;
    DeclareFields(dataSet, def.fields);
    if (!def.indexFieldNames.empty()) dataSet.SetIndexFieldNames(std::string(def.indexFieldNames));
    if (def.filterCaseInsensitive) dataSet.SetFilterOptions(dataSet.FilterOptions() | foCaseInsensitive);
}

}  // namespace model
