#include "services/Dbgeral.h"

#include "services/Morvena.h"

namespace Dbgeral {
bool KeepConnected() { return Morvena::Context().KeepConnected; }
}  // namespace Dbgeral
