#include "stocklib/Lib00206.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "stocklib/Refusal.h"

namespace Lib00206 {

void DescEstoqProdCli(TNetConnection& /*netEstoque*/, TNetConnection& netInfoProd, const std::string& branch,
                      TClientDataSet& items, bool, bool, bool, bool, bool, bool, bool, bool, bool,
                      const std::string&, const std::string&, const std::string&, const std::string&,
                      const std::string&, TDateTime, TDateTime) {
    if (!items.Active() || items.IsEmpty()) return;
    const std::string product = text::Trim(items.FieldByName("CDPRODUTO").AsString());
    if (product.empty()) return;
    TField& storeroom = items.FieldByName("CDALMOXARIFE");
    TField& location = items.FieldByName("CDLOCALESTOQ");
    const bool needStoreroom = text::Trim(storeroom.AsString()).empty();
    const bool needLocation = text::Trim(location.AsString()).empty();
    if (!needStoreroom && !needLocation) return;

    VariantArray args{Variant(branch), Variant(product)};
    Variant v;
    try {
        v = netInfoProd.Call("GetProdAlmoxPadrao", args);
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        stocklib::Refuse(e.Message());
    }
    if (v.IsString()) stocklib::Refuse(v.AsString());
    if (!v.IsArray() || v.AsArray().size() != 2)
        stocklib::Refuse("Resposta inválida do servidor à consulta do almoxarifado do produto.");
    const std::string defStoreroom = v.AsArray()[0].AsString(), defLocation = v.AsArray()[1].AsString();
    // A location only makes sense inside its own storeroom.
    const bool setStoreroom = needStoreroom && !defStoreroom.empty();
    const bool setLocation = needLocation && !defLocation.empty() &&
                             (setStoreroom || text::Trim(storeroom.AsString()) == defStoreroom);
    if (!setStoreroom && !setLocation) return;

    const bool wasBrowsing = items.State() == TDataSetState::dsBrowse;
    if (wasBrowsing) items.Edit();
    if (setStoreroom) storeroom.SetAsString(defStoreroom);
    if (setLocation) location.SetAsString(defLocation);
    if (wasBrowsing) items.Post();
}

}  // namespace Lib00206
