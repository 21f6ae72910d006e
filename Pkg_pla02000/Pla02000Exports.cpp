// The package unit: binds the screen and its three dialogs into one module.
// The entries themselves are defined by the units; this file adds access to
// the units' variables.
#include "Pkg_pla02000/Pla02000Exports.h"

extern "C" RetiradaUnit* Pla02000UnitState() { return &Pla02000Unit(); }
extern "C" VisualizaErrosUnit* Pla02030UnitState() { return &Pla02030Unit(); }
extern "C" FiltroRetiradaGeralUnit* Pla02015UnitState() { return &Pla02015Unit(); }
