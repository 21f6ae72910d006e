// Reading the units' variables by name, for the scenario driver and anyone
// automating the screen: the withdrawal unit's flags and texts, the form's
// shared state while the form exists, and the error viewer's.
#include "Pkg_pla02000/Pla02000Exports.h"

#include "core/Text.h"

#include <functional>
#include <string>
#include <vector>

namespace {

struct Entry {
    const char* name;
    std::function<bool(Variant&)> read;  // false when not available now
};

Entry flag(const char* name, bool RetiradaUnit::*member) {
    return {name, [member](Variant& v) {
                v = Variant(Pla02000Unit().*member);
                return true;
            }};
}

Entry formFlag(const char* name, bool TfrmRetirada::*member) {
    return {name, [member](Variant& v) {
                TfrmRetirada* f = frmRetirada();
                if (!f) return false;
                v = Variant(f->*member);
                return true;
            }};
}

Entry formDate(const char* name, TDateTime TfrmRetirada::*member) {
    return {name, [member](Variant& v) {
                TfrmRetirada* f = frmRetirada();
                if (!f) return false;
                v = Variant(f->*member);
                return true;
            }};
}

Entry formText(const char* name, std::string TfrmRetirada::*member) {
    return {name, [member](Variant& v) {
                TfrmRetirada* f = frmRetirada();
                if (!f) return false;
                v = Variant(f->*member);
                return true;
            }};
}

const std::vector<Entry>& entries() {
    static const std::vector<Entry> all = {
        flag("boIdCriado", &RetiradaUnit::boIdCriado),
        flag("boRetiOffline", &RetiradaUnit::boRetiOffline),
        flag("boPrimVez", &RetiradaUnit::boPrimVez),
        flag("boHabilitaReti", &RetiradaUnit::boHabilitaReti),
        flag("boGridReadOnly", &RetiradaUnit::boGridReadOnly),
        flag("boAltLiberada", &RetiradaUnit::boAltLiberada),
        flag("boAtuaRoma", &RetiradaUnit::boAtuaRoma),
        flag("boSomaTotLancto", &RetiradaUnit::boSomaTotLancto),
        flag("boAtualizandoEstoque", &RetiradaUnit::boAtualizandoEstoque),
        flag("boAtEstoque", &RetiradaUnit::boAtEstoque),
        flag("boFechando", &RetiradaUnit::boFechando),
        flag("boErro", &RetiradaUnit::boErro),
        flag("boDtEstoq", &RetiradaUnit::boDtEstoq),
        {"stNrCardapio", [](Variant& v) { v = Variant(Pla02000Unit().stNrCardapio); return true; }},
        {"stIdNovoCardapio", [](Variant& v) { v = Variant(Pla02000Unit().stIdNovoCardapio); return true; }},
        formFlag("boVdColuna", &TfrmRetirada::boVdColuna),
        formFlag("boUsaLocalizacao", &TfrmRetirada::boUsaLocalizacao),
        formFlag("boExcluindo", &TfrmRetirada::boExcluindo),
        formFlag("boReqPesquisada", &TfrmRetirada::boReqPesquisada),
        formFlag("boCarregandoItens", &TfrmRetirada::boCarregandoItens),
        formDate("dtEstoque", &TfrmRetirada::dtEstoque),
        formDate("dtFiltroIni", &TfrmRetirada::dtFiltroIni),
        formDate("dtFiltroFin", &TfrmRetirada::dtFiltroFin),
        formText("stAlmoxarife", &TfrmRetirada::stAlmoxarife),
        formText("stLocalEstoq", &TfrmRetirada::stLocalEstoq),
        formText("stLoteEstq", &TfrmRetirada::stLoteEstq),
        formText("stSubLote", &TfrmRetirada::stSubLote),
        {"inSeqItem",
         [](Variant& v) {
             TfrmRetirada* f = frmRetirada();
             if (!f) return false;
             v = Variant(static_cast<int64_t>(f->inSeqItem));
             return true;
         }},
        {"stTipoErro", [](Variant& v) { v = Variant(Pla02030Unit().stTipoErro); return true; }},
        {"stCdProduto", [](Variant& v) { v = Variant(Pla02030Unit().stCdProduto); return true; }},
    };
    return all;
}

}  // namespace

extern "C" bool UnitVariable(const char* name, Variant* value) {
    if (!name || !value) return false;
    for (const Entry& e : entries())
        if (text::SameText(e.name, name)) return e.read(*value);
    return false;
}
