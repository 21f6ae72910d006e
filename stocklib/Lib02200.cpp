#include "stocklib/Lib02200.h"

#include "core/Exception.h"
#include "stocklib/Refusal.h"

namespace Lib02200 {

bool Autoriza(TNetConnection& netAutoriza, TAutoriza kind, const std::string& operation, const std::string& text) {
    VariantArray args{Variant(static_cast<int>(kind)), Variant(operation), Variant(text)};
    Variant v;
    try {
        v = netAutoriza.Call("Autoriza", args);
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        stocklib::Refuse(e.Message());
    }
    if (v.IsString()) stocklib::Refuse(v.AsString());
    if (v.Type() != VarType::Bool) stocklib::Refuse("Resposta inválida do servidor à autorização.");
    return v.AsBoolean();
}

}  // namespace Lib02200
