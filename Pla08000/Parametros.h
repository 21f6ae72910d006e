#pragma once
// The 13 values the withdrawal screen opens "Pla08000" with, after a general
// withdrawal was checked (and perhaps recalculated) on the server:
//   0 branch, 1 the recalculation's answer (the run number, or "" when the
//   requisitions were not recalculated), 2 the run number (10 characters),
//   3 the kinds of consumption (three letters, C/X F/X P/X), 4 "N", 5 first
//   day, 6 last day, 7 true, 8 0, 9 false, 10 true, 11 recalculated,
//   12 not recalculated (11 and 12 opposite).
#include "core/DateTime.h"
#include "core/Variant.h"

#include <string>

namespace pla08000 {

struct TParamRetGeral {
    std::string Filial;
    std::string NrRetGeral;
    std::string CalcRequisicao;
    TDateTime Dia;
    bool Recalculada = false;
};

// Reads and checks the values; a malformed call raises Exception saying
// which value is wrong and why.
TParamRetGeral LeParametros(const Variant* params);

}  // namespace pla08000
