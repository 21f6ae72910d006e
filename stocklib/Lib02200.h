#pragma once
// Rights of the signed-on operator, asked of the authorization module
// ("Est.rdmAutoriza") through the connection handed in (opened by the caller).
#include "net/NetConnection.h"

#include <string>

// Whom an authorization is about. Kind 0: the operator of the session.
enum class TAutoriza : int { Operador = 0 };

namespace Lib02200 {

// Whether the operator may perform the operation (a right key such as
// "ALTERACAO_RETIRADA"); text is accepted as the callers pass it (empty). A
// failure of the call is refused (shown, then EAbort); "no" is just false.
bool Autoriza(TNetConnection& netAutoriza, TAutoriza kind, const std::string& operation, const std::string& text);

}  // namespace Lib02200
