#pragma once
// What the package libpla02000.so exports, with C linkage, for the host and
// the scenario driver (resolve the names with dlsym, or include this header
// and link the screen library directly).
//
//   IniProc()                      opens the withdrawal screen (calls CriaRetirada)
//   CriaRetirada()                 creates the form once per process and shows it
//   CriaFiltroRetirada()           the browse filter dialog; true once confirmed
//   CriaFiltroRetiradaGeral()      the general-withdrawal filter dialog
//   CriaVisualizaErros(kind, code) the error viewer
//   Pla02000UnitState()            the withdrawal unit's variables
//   Pla02030UnitState()            the error viewer unit's variables
//   Pla02015UnitState()            the general-withdrawal filter unit's variables
//   UnitVariable(name, value)      one variable by name (unit flags and texts, the
//                                  form's shared state while it exists, the viewer's);
//                                  false for an unknown name or a form that is not there
#include "Cli_pla02000/Retirada.h"
#include "Cli_pla02010/FiltroRetirada.h"
#include "Cli_pla02015/FiltroRetiradaGeral.h"
#include "Cli_pla02030/VisualizaErros.h"

extern "C" {
// The unit state of each unit of the package; never null, valid while the package is loaded.
RetiradaUnit* Pla02000UnitState();
VisualizaErrosUnit* Pla02030UnitState();
FiltroRetiradaGeralUnit* Pla02015UnitState();

bool UnitVariable(const char* name, Variant* value);

typedef void (*IniProcFn)();
typedef void (*CriaRetiradaFn)();
typedef bool (*CriaFiltroRetiradaFn)();
typedef void (*CriaFiltroRetiradaGeralFn)();
typedef void (*CriaVisualizaErrosFn)(const char* tipo, const char* codigo);
typedef RetiradaUnit* (*Pla02000UnitStateFn)();
}
