// How the three grids draw their cells: rows marked as deleted (and summary
// rows not in stock) in red, quantities right-aligned, the withdrawal type by
// name, and the status and error columns as images. The grids hand each cell
// to these handlers with the row being drawn; values are read at that row,
// never by moving the dataset's cursor.
#include "Cli_pla02000/Retirada.h"

#include "core/Text.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr TColor kVermelho = RGB(255, 0, 0);

template <size_t N>
bool umDe(const std::string& field, const std::array<std::string_view, N>& names) {
    const std::string upper = text::Upper(field);
    return std::find(names.begin(), names.end(), upper) != names.end();
}

constexpr std::array<std::string_view, 4> kDireitaItens{"QTPREVISRETI", "QTEXTRARETI", "QTDEVOLVRETI", "QTTOTLANCTO"};
constexpr std::array<std::string_view, 6> kDireitaResumo{"QTPREVISRETI", "QTEXTRARETI", "QTDEVOLVRETI",
                                                         "QTRETIRADA",   "QTESTDIACON", "CUSTO"};

// The value of a field at the row drawn; null when the dataset has no such field.
Variant valor(TDataSet& ds, int row, const char* field) {
    TField* f = ds.FindField(field);
    return f ? ds.ValueAt(row, *f) : Variant();
}

std::string texto(TDataSet& ds, int row, const char* field) {
    Variant v = valor(ds, row, field);
    return v.IsNull() ? std::string() : v.AsString();
}

// What every grid does: info background, red or window text, the selected
// cell on highlight with caption text, the alignment, the focus rectangle.
void desenhoComum(TCellPresentation& cell, TGridDrawState state, bool marcado, bool direita) {
    cell.Background = clInfoBk;
    cell.FontColor = marcado ? kVermelho : clWindowText;
    if (state.Selected) {
        cell.Background = clHighlight;
        cell.FontColor = clCaptionText;
    }
    cell.Alignment = direita ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
    cell.FocusRect = state.Focused;
}

void imagem(TCellPresentation& cell, const char* name, int left) {
    cell.Text.clear();
    cell.Image = name;
    cell.ImageLeft = left;
}

}  // namespace

void TfrmRetirada::dbgItensDrawColumnCell(TObject*, int Row, int, TColumn& Column, TGridDrawState State,
                                          TCellPresentation& Cell) {
    TDataSet* ds = dbgItens->DataSet();
    if (!ds || Row < 0 || Row >= ds->RowCount()) return;
    const std::string campo = text::Upper(Column.FieldName);
    desenhoComum(Cell, State, texto(*ds, Row, "IDSTATUS") == "D", umDe(campo, kDireitaItens));

    if (campo == "CDTIPORETI") {
        // The code while it is being typed in the cell, the type's name otherwise.
        const bool editandoCelula = Row == ds->CurrentRow() && State.Selected && dbgItens->EditorMode() &&
                                    (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert);
        if (!editandoCelula) Cell.Text = texto(*ds, Row, "NMTIPORETI");
        return;
    }
    if (campo == "ESTOQUEOK") {
        Variant ok = valor(*ds, Row, "ESTOQUEOK");
        if (ok.IsNull()) return;
        Variant consumida = valor(*ds, Row, "QTTOTLANCTO");
        if (consumida.IsNull() || consumida.AsFloat() == 0) imagem(Cell, "imgDesconsid", 5);
        else if (ok.AsBoolean()) imagem(Cell, "imgOk", 5);
        else if (!texto(*ds, Row, "CDPRODUTO").empty()) imagem(Cell, "imgNaoOk", 5);
        else Cell.Text.clear();
        return;
    }
    if (campo == "IDERRO") {
        Variant erro = valor(*ds, Row, "IDERRO");
        if (!erro.IsNull()) imagem(Cell, erro.AsString() == "S" ? "imgComErro" : "imgSemErro", 5);
    }
}

void TfrmRetirada::dbgTipoPratDrawColumnCell(TObject*, int Row, int, TColumn& Column, TGridDrawState State,
                                             TCellPresentation& Cell) {
    TDataSet* ds = dbgTipoPrat->DataSet();
    if (!ds || Row < 0 || Row >= ds->RowCount()) return;
    desenhoComum(Cell, State, texto(*ds, Row, "IDSTATUS") == "D", false);
    if (text::Upper(Column.FieldName) != "IDERRO") return;
    Variant erro = valor(*ds, Row, "IDERRO");
    if (!erro.IsNull()) imagem(Cell, erro.AsString() == "S" ? "imgComErro" : "imgSemErro", 4);
}

void TfrmRetirada::dbgResumoDrawColumnCell(TObject*, int Row, int, TColumn& Column, TGridDrawState State,
                                           TCellPresentation& Cell) {
    TDataSet* ds = dbgResumo->DataSet();
    if (!ds || Row < 0 || Row >= ds->RowCount()) return;
    Variant estoque = valor(*ds, Row, "QTESTDIACON");
    const bool foraDoEstoque =
        texto(*ds, Row, "IDEVOLESTOQ") != "S" || (!estoque.IsNull() && estoque.AsFloat() < 0);
    desenhoComum(Cell, State, foraDoEstoque, umDe(Column.FieldName, kDireitaResumo));
}

void TfrmRetirada::bindGridDrawing() {
    dbgItens->OnDrawColumnCell = [this](TObject* s, int r, int c, TColumn& col, TGridDrawState st,
                                        TCellPresentation& cell) { dbgItensDrawColumnCell(s, r, c, col, st, cell); };
    dbgTipoPrat->OnDrawColumnCell = [this](TObject* s, int r, int c, TColumn& col, TGridDrawState st,
                                           TCellPresentation& cell) {
        dbgTipoPratDrawColumnCell(s, r, c, col, st, cell);
    };
    dbgResumo->OnDrawColumnCell = [this](TObject* s, int r, int c, TColumn& col, TGridDrawState st,
                                         TCellPresentation& cell) { dbgResumoDrawColumnCell(s, r, c, col, st, cell); };
    dbgItens->OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { dbgItensKeyDown(s, k, sh); };
    dbgItens->OnKeyPress = [this](TObject* s, char32_t& k) { dbgItensKeyPress(s, k); };
}
