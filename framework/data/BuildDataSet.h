#pragma once
// Gives a client dataset the fields and attributes its table entry declares,
// the way the form's designer would have.
#include "data/ModelTypes.h"

class TClientDataSet;
class TDataSet;
class TField;

namespace model {

// Sets the dataset's Name (when empty), ProviderName, IndexFieldNames and
// case-insensitive filtering, and declares every field in order with its
// attributes; each field's component Name is the dataset's name followed by the
// field name (cdsItLanctoEstQTDEVOLVRETI). Handlers are the form's to attach.
// The dataset must be inactive and without fields: throws Exception otherwise
// (declaring twice would leave duplicate or stale fields).
void BuildDataSet(TClientDataSet& dataSet, const DataSetDef& def);

// Declares the fields in order on a dataset that has its Name, each with its
// attributes and the component name Name + field name (BuildQuery uses it too).
void DeclareFields(TDataSet& dataSet, std::span<const FieldDef> fields);

// Copies a declaration's display and edit attributes onto an existing field.
void ApplyFieldDef(TField& field, const FieldDef& def);

}  // namespace model
