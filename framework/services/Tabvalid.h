#pragma once
// Tabvalid: validation of tree codes (products, dishes) against their picture.
#include "data/DataSource.h"

#include <string>

namespace Tabvalid {

// Options, combined with |.
enum TValidOption : unsigned {
    voExiste = 1u << 0,       // the code must exist in the data source's dataset
    voUltimoNivel = 1u << 1,  // the code must be complete (last level)
};
using TValidOptions = unsigned;

// Checks a code against the picture of kind `pictureKind` (Morvena::DBPict):
// its characters must fit the mask and its length must end a level (with
// voUltimoNivel, the last one); with voExiste and a data source, the code
// must be found in `fieldName` of its dataset. On failure, with `showError`
// the error box shows "Código <code> inválido." and the operation ends
// (EAbort); otherwise the result is false.
bool ValidEx(TDataSource* source, int pictureKind, const std::string& code, TValidOptions options,
             const std::string& fieldName, bool showError);

}  // namespace Tabvalid
