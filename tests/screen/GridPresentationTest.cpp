// The summary grid's drawing as the view receives it (the item grid's is
// retirada_grade's and the Qt paint test's) and pasting into the item grid.
#include "ScreenFixture.h"

#include "ui/Clipboard.h"

using namespace screen_test;

namespace {

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
