#pragma once
// The remote modules and their registration. Each Register* adds one module's
// methods to the dispatcher; each method runs on the call's connection
// (CallContext::Db) inside the transaction its Access declares.
#include "db/SqlConnection.h"
#include "rpc/Dispatcher.h"
#include "rpc/SessionStore.h"
#include "rpc/SignOnThrottle.h"

namespace appserver {

// "Session": SignOn(operator, password) -> [token, expiry]; SignOff(). The
// objects must outlive the dispatcher.
void RegisterSessionModule(Dispatcher& d, const SessionStore& sessions, const SignOnThrottle& throttle);
// "Est00000.rdmEstoque": stock parameters and the stock library's services.
void RegisterEstoqueModule(Dispatcher& d);
// "Est.rdmAutoriza": operators' rights.
void RegisterAutorizaModule(Dispatcher& d);
// "Pla02000.rdmRetirada": the withdrawal screen's methods.
void RegisterRetiradaModule(Dispatcher& d);

// "System": ListMethods() -> every "module.method" the dispatcher holds, sorted
// (it included). Reads the dispatcher at each call.
void RegisterSystemModule(Dispatcher& d);

// All of the above.
void RegisterModules(Dispatcher& d, const SessionStore& sessions, const SignOnThrottle& throttle);

inline constexpr const char* kModuleRetirada = "Pla02000.rdmRetirada";
inline constexpr const char* kModuleEstoque = "Est00000.rdmEstoque";
inline constexpr const char* kModuleAutoriza = "Est.rdmAutoriza";
inline constexpr const char* kModuleSession = "Session";
inline constexpr const char* kModuleSystem = "System";

}  // namespace appserver
