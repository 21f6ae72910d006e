// The item grid's own keys: Ctrl+Delete asks for the item's deletion (never
// the last one left), the read-only columns take no typing, the page keys
// walk the dish-type breakdown, Ctrl+V pastes a product code, and Tab or
// Enter skip the columns nobody types into.
#include "Cli_pla02000/Retirada.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "services/Consiste.h"
#include "ui/Clipboard.h"
#include "ui/Keys.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

std::string colunaDe(const TDBGrid* grid) {
    const TField* f = grid->SelectedField();
    return f ? text::Upper(f->FieldName()) : std::string();
}

// Columns shown from the item's data and never typed into (the product's
// code only while the item is new).
bool somenteLeitura(const std::string& col, bool inserindo) {
    static constexpr std::array<std::string_view, 6> kColunas{"NMPRODUTO", "SGUNIDADE", "QTPREVISRETI",
                                                              "ESTOQUEOK", "IDERRO",    "VRUNILANCTO"};
    if (col == "CDARVPROD") return !inserindo;
    return std::find(kColunas.begin(), kColunas.end(), col) != kColunas.end();
}

}  // namespace

int TfrmRetirada::ItensNaoMarcados() {
    // A copy of the items as the grid shows them (the dish's filter kept);
    // a row never marked has IDSTATUS null or "N", both count as not deleted.
    TClientDataSet& it = cdsItLanctoEst;
    cdsItlanctoVdAux.SetData(it.Data());
    const std::string naoMarcado = "(IDSTATUS <> 'D' OR IDSTATUS IS NULL)";
    cdsItlanctoVdAux.SetFilter(it.Filtered() && !it.Filter().empty() ? "(" + it.Filter() + ") AND " + naoMarcado
                                                                     : naoMarcado);
    cdsItlanctoVdAux.SetFiltered(true);
    TScopeExit semFiltro([this] { cdsItlanctoVdAux.SetFiltered(false); });
    return cdsItlanctoVdAux.RecordCount();
}

void TfrmRetirada::dbgItensKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    TClientDataSet& it = cdsItLanctoEst;
    const std::string col = colunaDe(dbgItens);

    if (Key == VK_DELETE && Shift.Ctrl) {
        Key = 0;
        if (!it.Active() || it.IsEmpty()) return;
        if (ItensNaoMarcados() <= 1) Consiste::MensErro(msgPadrao->Msg("exclui_ultimo"), true);
        if (it.FieldByName("IDSTATUS").AsString() == "D") return;
        it.Delete();  // cdsItLanctoEstBeforeDelete turns it into the mark
        return;
    }

    if (Shift.Empty() && (Key == VK_BACK || Key == VK_SPACE || Key == VK_DELETE) &&
        somenteLeitura(col, it.State() == TDataSetState::dsInsert)) {
        Key = 0;
        return;
    }

    if (dbgTipoPrat->Visible() && cdsRetiTipoPrat.Active() && it.State() == TDataSetState::dsBrowse) {
        if (Key == VK_PRIOR && Shift.Alt) {
            Key = 0;
            if (dbgTipoPrat->CanFocus()) dbgTipoPrat->SetFocus();
            return;
        }
        if ((Key == VK_PRIOR || Key == VK_NEXT) && Shift.Ctrl) {
            const bool proximo = Key == VK_NEXT;
            Key = 0;
            proximo ? cdsRetiTipoPrat.Next() : cdsRetiTipoPrat.Prior();
            return;
        }
    }

    if (Key == 'V' && Shift.Ctrl && !Shift.Alt && col == "CDARVPROD" && pgcPadrao->ActivePage() == tshFormulario) {
        Key = 0;
        // Only a new item takes a product code, as typing does: a saved
        // item's product is not replaced behind its checks.
        if (it.State() != TDataSetState::dsInsert || !Clipboard().HasText()) return;
        it.FieldByName("CDARVPROD").SetAsString(text::Trim(Clipboard().AsText()));
        return;
    }

    // The grid moves on with Tab (the key hook makes Enter a Tab) before the
    // character arrives; the character's rule then skips the columns nobody
    // types into, so both run here in that order.
    if (Key == VK_TAB && Shift.Empty() && it.Active()) {
        int proxima = dbgItens->SelectedIndex() + 1;
        while (proxima < dbgItens->Columns().Count() && !dbgItens->Columns()[proxima].Visible) ++proxima;
        if (proxima >= dbgItens->Columns().Count()) return;
        const std::string destino = text::Upper(dbgItens->Columns()[proxima].FieldName);
        if (destino != "NMPRODUTO" && destino != "SGUNIDADE" && destino != "QTPREVISRETI") return;
        Key = 0;
        dbgItens->SetSelectedIndex(proxima);
        char32_t tab = U'\t';
        dbgItensKeyPress(dbgItens, tab);
    }
}

void TfrmRetirada::dbgItensKeyPress(TObject*, char32_t& Key) {
    TClientDataSet& it = cdsItLanctoEst;
    if (!it.Active()) return;
    if (Pla02000Unit().boGridReadOnly || it.FieldByName("IDSTATUS").AsString() == "D") {
        Key = 0;
        return;
    }
    const std::string col = colunaDe(dbgItens);
    const bool tabOuEnter = Key == U'\t' || Key == U'\r';
    if (somenteLeitura(col, it.State() == TDataSetState::dsInsert) && !tabOuEnter) {
        Key = 0;
        return;
    }
    if (tabOuEnter) {
        if (col == "NMPRODUTO" || col == "SGUNIDADE" || col == "CDTIPORETI") dbgItens->SetSelectedField("CDTIPORETI");
        else if (col == "QTPREVISRETI") dbgItens->SetSelectedField("QTEXTRARETI");
        return;
    }
    for (const char* campo : {"QTEXTRARETI", "QTDEVOLVRETI", "QTTOTLANCTO"})
        if (col == campo) Vd_Virgula(dbgItens, campo, Key);
}
