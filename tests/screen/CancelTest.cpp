// Cancel, level by level: the item being typed, the dish-type group being
// typed (only what was typed under it goes), then everything after a question.
#include "ScreenFixture.h"

#include "core/Exception.h"

using namespace screen_test;

namespace {

// Unfiltered items that are the group's (its three key fields).
int itensDoGrupo(TClientDataSet& it, const std::string& tipo, const std::string& prato, const std::string& filial) {
    int n = 0;
    TField& t = it.FieldByName("CDTIPOPRAT");
    TField& p = it.FieldByName("CDPRATO");
    TField& f = it.FieldByName("CDFILAUXPRAT");
    const bool filtrado = it.Filtered();
    it.SetFiltered(false);
    for (int i = 0; i < it.RowCount(); ++i)
        if (it.ValueAt(i, t).AsString() == tipo && it.ValueAt(i, p).AsString() == prato &&
            it.ValueAt(i, f).AsString() == filial)
            ++n;
    it.SetFiltered(filtrado);
    return n;
}

struct DishCancel : ScreenTest {
    TfrmRetirada* f = nullptr;
    std::string tipo, prato, filial;
    void SetUp() override {
        ScreenTest::SetUp();
        // 0001's ALMOÇO of yesterday: saved, by dish, inside the window.
        f = OpenWithList(-1, -1);
        ASSERT_NE(f, nullptr);
        ASSERT_TRUE(f->cdsRomaRetirada.Locate("CDSERVFILI", Variant("00001"), 0));
        f->mnuFormulario->UserClick();
        ASSERT_TRUE(f->grbTipoPrat->Visible());
        ASSERT_GT(f->cdsRetiTipoPrat.RecordCount(), 1);
        f->cdsRetiTipoPrat.First();
        tipo = f->cdsRetiTipoPrat.FieldByName("CDTIPOPRAT").AsString();
        prato = f->cdsRetiTipoPrat.FieldByName("CDPRATO").AsString();
        filial = f->cdsRetiTipoPrat.FieldByName("CDFILAUXPRAT").AsString();
        ASSERT_GT(itensDoGrupo(f->cdsItLanctoEst, tipo, prato, filial), 0);
    }
};

}  // namespace

TEST_F(DishCancel, ASavedGroupInEditKeepsItsSavedItems) {
    const int antes = itensDoGrupo(f->cdsItLanctoEst, tipo, prato, filial);
    f->cdsRetiTipoPrat.Edit();
    f->sbtCancelarClick(f->sbtCancelar);
    EXPECT_EQ(f->cdsRetiTipoPrat.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(itensDoGrupo(f->cdsItLanctoEst, tipo, prato, filial), antes);
    EXPECT_EQ(f->cdsItLanctoEst.ChangeCount(), 0);
    EXPECT_EQ(Shown().find("Box"), std::string::npos) << Shown();
}

TEST_F(DishCancel, ANewGroupTakesOnlyTheItemsTypedUnderIt) {
    TClientDataSet& it = f->cdsItLanctoEst;
    const int antes = itensDoGrupo(it, tipo, prato, filial);
    // A new group repeating the first one's key, refused at its post, with an
    // item already posted under it (the item's own checks are not the point here).
    f->dbgTipoPrat->SetFocus();
    f->cdsRetiTipoPrat.Append();
    ASSERT_EQ(f->cdsRetiTipoPrat.State(), TDataSetState::dsInsert);
    f->cdsRetiTipoPrat.FieldByName("CDTIPOPRAT").SetAsString(tipo);
    f->cdsRetiTipoPrat.FieldByName("CDPRATO").SetAsString(prato);
    f->cdsRetiTipoPrat.FieldByName("CDFILAUXPRAT").SetAsString(filial);
    {
        auto bi = it.BeforeInsert, ai = it.AfterInsert, bp = it.BeforePost, ap = it.AfterPost;
        it.BeforeInsert = it.AfterInsert = it.BeforePost = it.AfterPost = nullptr;
        it.Append();
        it.FieldByName("CDTIPOPRAT").SetAsString(tipo);
        it.FieldByName("CDPRATO").SetAsString(prato);
        it.FieldByName("CDFILAUXPRAT").SetAsString(filial);
        it.FieldByName("CDARVPROD").SetAsString("0107002");
        it.FieldByName("NRSEQUITRETI").SetAsString("9999");
        it.Post();
        it.BeforeInsert = bi;
        it.AfterInsert = ai;
        it.BeforePost = bp;
        it.AfterPost = ap;
    }
    ASSERT_EQ(itensDoGrupo(it, tipo, prato, filial), antes + 1);
    f->sbtCancelarClick(f->sbtCancelar);
    EXPECT_EQ(f->cdsRetiTipoPrat.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(itensDoGrupo(it, tipo, prato, filial), antes) << "the saved items of the same key stay";
    EXPECT_FALSE(it.Locate("NRSEQUITRETI", Variant("9999"), 0));
    EXPECT_EQ(Shown().find("Box"), std::string::npos) << Shown();
}

// retirada_cancelar walks the levels; here the error display a failed save left.
TEST_F(ScreenTest, CancelKeepsTheErrorDisplayForTheItemLevelAndDropsItAtTheQuestion) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->mnuFormulario->UserClick();
    f->dbgItens->SetFocus();
    f->UserKeyDown(VK_INSERT, {});
    ASSERT_EQ(f->cdsItLanctoEst.State(), TDataSetState::dsInsert);
    DataPacket erros;
    erros.fields = {{"CDERRO", TFieldType::ftString, 20}, {"CDOBJETO", TFieldType::ftString, 20}};
    erros.rows.push_back({{Variant("PLA02000_1"), Variant("X")}, RowChange::Unmodified, {}});
    f->cdsRetorno->SetData(Variant(erros));
    f->MostraColunaErro();
    f->HabilitaComando(retirada::Comando::VisualizaErros, true);

    f->sbtCancelar->UserClick();
    EXPECT_EQ(f->dbgItens->Columns().Count(), 11) << "the item level keeps the error display";
    dialogs().Queue(ScriptedAnswer::Button(mrNo));
    f->sbtCancelar->UserClick();
    EXPECT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsEdit);
    EXPECT_EQ(f->dbgItens->Columns().Count(), 10);
    EXPECT_FALSE(f->sbtVisualizaErros->Enabled());
    EXPECT_EQ(f->cdsRetorno->RecordCount(), 1) << "the marks may still be drawn";
    dialogs().Queue(ScriptedAnswer::Button(mrYes));
    f->sbtCancelar->UserClick();
    EXPECT_EQ(f->cdsRetorno->RecordCount(), 0);
    EXPECT_TRUE(Pla02000Unit().boDtEstoq);
}
