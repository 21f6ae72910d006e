#include "stocklib/Lib00200.h"

#include "core/Exception.h"
#include "stocklib/Lib02200.h"
#include "stocklib/Refusal.h"

namespace Lib00200 {

namespace {

// A call whose failure is a refusal of the service.
Variant call(TNetConnection& net, const std::string& method, VariantArray args) {
    Variant v;
    try {
        v = net.Call(method, args);
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        stocklib::Refuse(e.Message());
    }
    if (v.IsString()) stocklib::Refuse(v.AsString());
    return v;
}

}  // namespace

void ValidaInventario(TNetConnection& netEstoque, const std::string& branch, TDateTime date) {
    call(netEstoque, "ValidaInventario", {Variant(branch), Variant(date.DateOnly())});
}

void Confirma_Liberacao(TNetConnection& netEstoque, TNetConnection& netAutoriza, const std::string& branch,
                        TDateTime date, bool& released) {
    const TDateTime day = date.DateOnly();
    Variant v = call(netEstoque, "VerificaLiberacao", {Variant(branch), Variant(day)});
    if (!v.IsArray() || v.AsArray().size() != 2) stocklib::Refuse("Resposta inválida do servidor à verificação de liberação.");
    const bool closed = v.AsArray()[0].AsBoolean();
    if (!closed) {
        released = false;
        return;
    }
    if (v.AsArray()[1].AsBoolean()) {
        released = true;
        return;
    }
    if (!Lib02200::Autoriza(netAutoriza, TAutoriza::Operador, "LIBERACAO_DATA", ""))
        stocklib::Refuse("A data " + DateToStr(day) + " está fechada para a filial " + branch +
                         " e não há liberação registrada. Alteração não permitida.");
    call(netEstoque, "GravaLiberacao", {Variant(branch), Variant(day)});
    released = true;
}

Variant Consulta_PosEstDia(TNetConnection& netEstoque, const std::string& branch, const std::string& product,
                           const std::string& storeroom, const std::string& location, const std::string& lot,
                           const std::string& sublot, TDateTime date, int costType, int option) {
    Variant v = call(netEstoque, "Consulta_PosEstDia",
                     {Variant(branch), Variant(product), Variant(storeroom), Variant(location), Variant(lot),
                      Variant(sublot), Variant(date.DateOnly()), Variant(costType), Variant(option)});
    if (!v.IsPacket()) stocklib::Refuse("Resposta inválida do servidor à consulta da posição de estoque.");
    return v;
}

double Arredond_Parametrizado(TNetConnection& netEstoque, const std::string& branch, const std::string& product,
                              double quantity) {
    Variant v = call(netEstoque, "Arredond_Parametrizado", {Variant(branch), Variant(product), Variant(quantity)});
    if (!v.IsNumeric()) stocklib::Refuse("Resposta inválida do servidor ao arredondamento da quantidade.");
    return v.AsFloat();
}

}  // namespace Lib00200
