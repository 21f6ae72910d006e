// The grids' drawing as the view receives it (colour, alignment, text,
// image per row state) and the item grid's own keys.
#include "ScreenFixture.h"

#include "core/Exception.h"
#include "ui/Clipboard.h"

using namespace screen_test;

namespace {

// The items of the open withdrawal with some fields changed per row, loaded
// as saved data (no change log, no record events).
void itensComo(TClientDataSet& itens, const std::vector<std::map<std::string, Variant>>& rows) {
    DataPacket p = itens.Data().AsPacket();
    ASSERT_GE(p.rows.size(), rows.size());
    p.rows.resize(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        for (const auto& [field, value] : rows[i]) p.rows[i].values[static_cast<size_t>(p.FieldIndex(field))] = value;
    itens.SetData(Variant(p));
}

struct Grid : ScreenTest {
    TfrmRetirada* f = nullptr;
    void SetUp() override {
        ScreenTest::SetUp();
        f = OpenWithList(0, 0);
        ASSERT_NE(f, nullptr);
        f->mnuFormulario->UserClick();
        ASSERT_EQ(f->cdsItLanctoEst.RecordCount(), 3);
    }
    TCellPresentation cell(TDBGrid* g, int row, const char* field) {
        return g->CellPresentation(row, g->ColumnIndexOf(field));
    }
    void key(WORD k, TShiftState s = {}) { f->UserKeyDown(k, s); }
};

}  // namespace

TEST_F(Grid, ANewItemShowsTheNotInStockPictureOnlyOnceItHasAProduct) {
    TClientDataSet& it = f->cdsItLanctoEst;
    itensComo(it, {{{"IDEVOLESTOQ", Variant("N")}, {"CDPRODUTO", Variant()}, {"QTTOTLANCTO", Variant(1.0)}},
                   {{"IDEVOLESTOQ", Variant("N")}, {"QTTOTLANCTO", Variant(1.0)}}});
    EXPECT_TRUE(cell(f->dbgItens, 0, "ESTOQUEOK").Image.empty());
    EXPECT_EQ(cell(f->dbgItens, 1, "ESTOQUEOK").Image, "imgNaoOk");
    // The error mark column, once shown: the product in error and the others.
    DataPacket erros;
    erros.fields = {{"CDERRO", TFieldType::ftString, 20}, {"CDOBJETO", TFieldType::ftString, 20}};
    erros.rows.push_back({{Variant("PLA02000_2"), it.ValueAt(1, it.FieldByName("CDPRODUTO"))}, RowChange::Unmodified, {}});
    f->cdsRetorno->SetData(Variant(erros));
    f->MostraColunaErro();
    EXPECT_EQ(cell(f->dbgItens, 1, "IDERRO").Image, "imgComErro");
    EXPECT_EQ(cell(f->dbgItens, 0, "IDERRO").Image, "imgSemErro");
    f->cdsRetorno->EmptyDataSet();
    f->EscondeColunaErro();
}

TEST_F(Grid, SummaryRowsNotInStockAreRed) {
    dialogs().Queue(ScriptedAnswer::Button(mrNo));  // leaving the withdrawal: its pending item not now
    f->mnuResumoClick(nullptr);
    TClientDataSet& r = f->cdsResumo;
    ASSERT_TRUE(r.Active());
    ASSERT_GE(r.RecordCount(), 1);
    DataPacket p = r.Data().AsPacket();
    p.rows.resize(1);
    p.rows.push_back(p.rows[0]);
    p.rows.push_back(p.rows[0]);
    auto set = [&](size_t row, const char* field, Variant v) { p.rows[row].values[static_cast<size_t>(p.FieldIndex(field))] = v; };
    set(0, "IDEVOLESTOQ", Variant("S"));
    set(0, "QTESTDIACON", Variant(4.0));
    set(1, "IDEVOLESTOQ", Variant("N"));
    set(1, "QTESTDIACON", Variant(4.0));
    set(2, "IDEVOLESTOQ", Variant("S"));
    set(2, "QTESTDIACON", Variant(-1.0));
    r.SetData(Variant(p));
    EXPECT_EQ(cell(f->dbgResumo, 0, "NMPRODUTO").FontColor, clWindowText);
    EXPECT_EQ(cell(f->dbgResumo, 1, "NMPRODUTO").FontColor, clRed);
    EXPECT_EQ(cell(f->dbgResumo, 2, "NMPRODUTO").FontColor, clRed);
    EXPECT_EQ(cell(f->dbgResumo, 0, "CUSTO").Alignment, TAlignment::taRightJustify);
    EXPECT_EQ(cell(f->dbgResumo, 0, "QTESTDIACON").Alignment, TAlignment::taRightJustify);
    EXPECT_EQ(cell(f->dbgResumo, 0, "NMPRODUTO").Alignment, TAlignment::taLeftJustify);
}

TEST_F(Grid, CtrlVPastesAProductCodeIntoANewItemOnly) {
    TClientDataSet& it = f->cdsItLanctoEst;
    f->dbgItens->SetFocus();
    f->dbgItens->SetSelectedField("CDARVPROD");
    const std::string antes = it.FieldByName("CDARVPROD").AsString();
    Clipboard().SetAsText("0107002");
    key('V', ssCtrl);
    EXPECT_EQ(it.FieldByName("CDARVPROD").AsString(), antes) << "a saved item keeps its product";
    EXPECT_EQ(it.State(), TDataSetState::dsBrowse);
    Clipboard().Clear();
}
