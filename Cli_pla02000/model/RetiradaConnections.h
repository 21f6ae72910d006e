#pragma once
// The four server connections of TfrmRetirada and the remote methods it calls.
#include "data/ModelTypes.h"

#include <span>
#include <string_view>

namespace model {

// netRetirada, netEstoque, netInfoProd, netAutoriza, in declaration order.
std::span<const ConnectionDef> ScreenConnections();
const ConnectionDef* FindScreenConnection(std::string_view name);

// A remote method as the form calls it: the connection it goes through and
// the number of ordered arguments it takes.
struct RemoteMethodDef {
    std::string_view name;
    std::string_view connection;
    int argCount = 0;
};

// Every remote method the form calls, by name as the server module spells it.
std::span<const RemoteMethodDef> ScreenRemoteMethods();
// By name without regard to case (one call site spells getEstoqMin); nullptr when unknown.
const RemoteMethodDef* FindScreenRemoteMethod(std::string_view name);

}  // namespace model
