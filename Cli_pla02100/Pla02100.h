#pragma once
// The printing screen "PLA02100": a module of our own (libpla02100.so) that
// Morvena::LoadBPL opens with a parameter. With "M" it prints the withdrawals
// of the withdrawal screen's browse list, with their items, as a PDF file in
// the user's documents folder (or the temporary folder) and tells the user
// where it was written.
//
// The list is the one the user sees: the dataset behind the screen's browse
// grid, found by its component path "frmRetirada.dbgPadrao" in the shared
// application, read without moving its cursor. Each withdrawal's items come
// from the server (GetItLanctoEst on "Pla02000.rdmRetirada", on a connection
// of the module's own to the signed-on server).
#include "core/Variant.h"

#include <string>

class TDataSet;

namespace pla02100 {

// Prints the list into `pasta`; returns the file written. An empty list is
// reported to the user (information) and writes nothing: returns "".
// Exceptions: a server failure text, a file that cannot be written.
std::string ImprimeRetiradas(TDataSet& lista, const std::string& pasta);

}  // namespace pla02100

// The module's entry, called by Morvena::LoadBPL. params: "M" (the browse
// list). Exception for another parameter or when the screen's list is not there.
extern "C" void IniProcParam(const Variant* params);
