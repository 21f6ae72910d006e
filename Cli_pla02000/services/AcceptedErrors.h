#pragma once
// The accepted-error test over the result list of a save or a deletion.
#include "data/DataSet.h"

#include <string>

// Whether an error kind was accepted: its key framed by "#" ("#LIB00200_3#")
// occurs in the ignore list (plain substring search; "0" accepts nothing).
bool ErroAceito(const std::string& ignoreList, const std::string& key);

// True when `retorno` holds more than `limit` error rows (rows of generated
// numbers do not count) and holds, located in
// CDERRO without regard to case, any of: "LIB00200_3" not accepted while
// negative stock is not allowed (permEstNeg other than "S"); "LIB00200_4",
// "PLA02000_1" or "PLA02000_2" not accepted. An inactive list holds no rows.
// Moves the list's cursor.
bool ErroNaoAceito(TDataSet& retorno, const std::string& ignoreList, int limit, const std::string& permEstNeg);
