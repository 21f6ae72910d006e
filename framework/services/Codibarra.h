#pragma once
// Codibarra: bar-code entry into a grid's field. A small modal form
// ("frmCodigoBarra", edit "edtCodigo", buttons "btnOk"/"btnCancelar") takes
// what the reader types; on OK the code goes into the field (the record is
// put into edit when browsing) and the grid selects the field's column.
#include <functional>
#include <string>

class TDBGrid;

namespace Codibarra {

// True when a code was read and written. Throws Exception when the grid has
// no active dataset or no such field; ShowModal's rules apply (input pump).
bool CodigoBarra(TDBGrid* grid, const std::string& fieldName);

// The same, writing what `traduz` makes of the code read (a bar code printed
// on a package standing for the code the field takes). Exceptions of traduz
// propagate, the field untouched.
using TTraducaoCodigo = std::function<std::string(const std::string& code)>;
bool CodigoBarra(TDBGrid* grid, const std::string& fieldName, const TTraducaoCodigo& traduz);

}  // namespace Codibarra
