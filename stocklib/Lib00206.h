#pragma once
// Completes the current item of a stock dataset from the product's usual
// place in the branch.
#include "core/DateTime.h"
#include "data/ClientDataSet.h"
#include "net/NetConnection.h"

#include <string>

namespace Lib00206 {

// When the current item (fields CDPRODUTO, CDALMOXARIFE, CDLOCALESTOQ) has a
// product but an empty or blank storeroom or location, fills the missing ones
// with the product's usual place (where most of its stock lies in the branch,
// else the branch's first storeroom and location), asked of the stock module
// through netInfoProd. An item in browse state is put in edit and posted; an
// item being edited or inserted is left in that state. Nothing happens for an
// empty dataset, an item without product, or a branch without storerooms.
// netEstoque, the nine options, the five texts and the two dates are accepted
// as the callers pass them and change nothing. A failure is refused.
void DescEstoqProdCli(TNetConnection& netEstoque, TNetConnection& netInfoProd, const std::string& branch,
                      TClientDataSet& items, bool op1, bool op2, bool op3, bool op4, bool op5, bool op6, bool op7,
                      bool op8, bool op9, const std::string& text1, const std::string& text2,
                      const std::string& text3, const std::string& text4, const std::string& text5, TDateTime date1,
                      TDateTime date2);

}  // namespace Lib00206
