#pragma once
// Pesquisa, Pesqlista, Procurar: the search list, the multi-select list and
// the find dialog over a dataset, shown through the dialog service.
#include "data/DataSource.h"

#include <string>

namespace Pesquisa {
// Search list over the data source's dataset; true when the user picked a row,
// the dataset then standing on it. The title may carry the empty-list text
// after "|" ("Produto|Não há produto cadastrado."), shown instead of an empty
// list. `fields` ("A;B") chooses the columns; empty shows the visible fields.
// Throws Exception without a data source, a dataset, or with the source disabled.
bool Pesquisar(TDataSource* source, const std::string& title, const std::string& fields = "");
}  // namespace Pesquisa

namespace Pesqlista {
// Multi-select list; the chosen codes (field `codeField`) go to `result`, each
// followed by "_" ("00001_00003_"), the form the server reads for lists.
// `singleSelect` limits the choice to one row. True when something was chosen;
// `result` is left unchanged on cancel.
bool PesquisaLista(TDataSource* source, const std::string& codeField, const std::string& title, bool singleSelect,
                   std::string& result);
}  // namespace Pesqlista

namespace Procurar {
// Find dialog over the dataset's visible fields: the user picks a field and
// types the start of a value; the dataset moves to the first record whose
// value starts so (without regard to case). True when found; a value not
// found is told to the user ("Registro não encontrado.") and returns false.
bool Procura(TDataSet* dataSet, const std::string& title = "Procurar");
}  // namespace Procurar
