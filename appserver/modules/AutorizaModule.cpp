// "Est.rdmAutoriza": whether the session's operator holds a right.
#include "core/Text.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"

namespace appserver {

void RegisterAutorizaModule(Dispatcher& d) {
    // Autoriza(kind, operation key, text) -> yes/no for the session's operator.
    // Kind 0 asks about the operator himself; other kinds are not used here.
    d.Register(kModuleAutoriza, {"Autoriza",
                                 {Num("kind"), Str("operation"), Str("text")},
                                 [](CallContext& ctx, VariantArray& a) -> Variant {
                                     if (!a[0].IsNull() && a[0].AsInteger() != 0)
                                         Fail("Tipo de autorização " + a[0].AsString() + " não suportado.");
                                     std::string key = text::Upper(text::Trim(ArgText(a[1])));
                                     if (key.empty()) Fail("Operação a autorizar não informada.");
                                     return Variant(HoldsRight(ctx.Db(), ctx.Operator, key));
                                 }});
}

}  // namespace appserver
