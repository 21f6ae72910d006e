#pragma once
// The browse filter dialog TfrmFiltroRetirada ("PLA02010"): asks for the
// withdrawal-date and menu-date ranges and an optional service, and loads the
// withdrawal screen's browse list. Implemented in this folder; the screen
// library (pla02000_screen) compiles the .cpp files of Cli_pla02010/.

// Shows the dialog modally, creating it on first use and keeping it (with the
// last filter) afterwards. Returns whether it was ever confirmed. Exported by
// the package with C linkage.
extern "C" bool CriaFiltroRetirada();
