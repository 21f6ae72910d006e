// "System": what the server offers, for clients and tests that check their
// calls against it.
#include "modules/Modules.h"

#include <algorithm>

namespace appserver {

void RegisterSystemModule(Dispatcher& d) {
    d.Register(kModuleSystem, {"ListMethods", {}, [&d](CallContext&, VariantArray&) -> Variant {
                                   std::vector<std::string> names = d.MethodNames();
                                   std::sort(names.begin(), names.end());
                                   VariantArray out;
                                   out.reserve(names.size());
                                   for (auto& n : names) out.emplace_back(n);
                                   return Variant(std::move(out));
                               }});
}

}  // namespace appserver
