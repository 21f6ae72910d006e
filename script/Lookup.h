#pragma once
// Finding what a scenario names: controls, menu entries, pages and datasets,
// by their component names (without regard to case). A name may be qualified
// by its form ("frmFiltro.edtServico"). The user acts only on the form that
// has the input (while a modal form is shown, only on it); expectations may
// look at any form the application holds, the one with the input first.
#include "ui/Form.h"
#include "data/DataSet.h"

#include <string>
#include <vector>

namespace script {

// The form that receives the user's input, or null when none is showing.
TForm* InputForm();

// Forms to search, in order, for an action (false) or an observation (true).
std::vector<TForm*> SearchForms(bool observing);

// The component of that name, or null.
TComponent* FindComponentNamed(const std::string& name, bool observing);

// The dataset of that name: a published one (TDataSetRef), or one behind a
// data source of a grid, data-aware edit, navigator or search button. Null
// when none is found.
TDataSet* FindDataSetNamed(const std::string& name);

}  // namespace script
