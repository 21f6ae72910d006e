#pragma once
// Gives a client dataset the fields and attributes its table entry declares,
// the way the form's designer would have.
#include "Cli_pla02000/model/ModelTypes.h"

class TClientDataSet;
class TField;

namespace model {

// Sets the dataset's Name (when empty), ProviderName, IndexFieldNames and
// case-insensitive filtering, and declares every field in order with its
// attributes; each field's component Name is the dataset's name followed by the
// field name (cdsItLanctoEstQTDEVOLVRETI). Handlers are the form's to attach.
// The dataset must be inactive and without fields: throws Exception otherwise
// (declaring twice would leave duplicate or stale fields).
void BuildDataSet(TClientDataSet& dataSet, const DataSetDef& def);

// Copies a declaration's display and edit attributes onto an existing field.
void ApplyFieldDef(TField& field, const FieldDef& def);

}  // namespace model
