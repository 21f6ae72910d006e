// The browse list, the three pages, the read-only rule and the command states.
#include "ScreenFixture.h"

using namespace screen_test;

namespace {

class PagesTest : public ScreenTest {
protected:
    static void SetParam(TfrmRetirada* f, const char* field, const Variant& v) {
        f->cdsParamEstoque.Edit();
        f->cdsParamEstoque.FieldByName(field).SetValue(v);
        f->cdsParamEstoque.Post();
    }
};

}  // namespace

TEST_F(PagesTest, DishTypeWithdrawalShowsItsGroupAndFiltersTheItems) {
    TfrmRetirada* f = OpenWithList(-1, -1);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->cdsRomaRetirada.Locate("IDRETIPRAT", Variant("S")));
    f->mnuFormulario->UserClick();
    EXPECT_TRUE(f->grbTipoPrat->Visible());
    ASSERT_TRUE(f->cdsRetiTipoPrat.Active());
    EXPECT_FALSE(f->cdsRetiTipoPrat.IsEmpty());
    EXPECT_TRUE(f->cdsItLanctoEst.Filtered());
    EXPECT_NE(f->cdsItLanctoEst.Filter().find("CDTIPOPRAT = '"), std::string::npos);
    EXPECT_EQ(f->ActiveControl(), f->dbgTipoPrat);
    // The cost total covers every dish, not only the one shown.
    const std::string filtered = f->ledTotCusto->Caption();
    f->cdsItLanctoEst.SetFiltered(false);
    f->CalculaCustoTotal();
    EXPECT_EQ(f->ledTotCusto->Caption(), filtered);
}

TEST_F(PagesTest, EmptyListKeepsOnlyIncludeAndTheFilter) {
    TfrmRetirada* f = OpenWithList(-400, -390);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->cdsRomaRetirada.Active());
    ASSERT_TRUE(f->cdsRomaRetirada.IsEmpty());
    f->ControlaBotoes(f->dtsRomaRetirada);
    EXPECT_TRUE(f->sbtIncluir->Enabled()) << "the rule offers inclusion";
    EXPECT_TRUE(f->mnuIncluir->Enabled());
    EXPECT_TRUE(f->sbtFiltro->Enabled());
    for (TSpeedButton* b : {f->sbtAlterar, f->sbtExcluir, f->sbtProcurar, f->sbtVerificar, f->sbtAtuaEstoq,
                            f->sbtConfirmar, f->sbtCancelar})
        EXPECT_FALSE(b->Enabled()) << b->Name();
    EXPECT_FALSE(f->sbtRetGeral->Enabled()) << "a ten-day range";
}

TEST_F(PagesTest, ReadOnlyRuleFollowsTheDateWindow) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    const TDateTime p = Date();
    // Later dates: a branch "S" uses the branch's day count, else the general flag decides.
    SetParam(f, "IDLANCDTMAIFIL", Variant("S"));
    SetParam(f, "NRDIASSAIDPDFIL", Variant(1.0));
    EXPECT_FALSE(f->ForaDaJanela(p)) << "the processing date itself is never read-only";
    EXPECT_FALSE(f->ForaDaJanela(IncDay(p, 1)));
    EXPECT_TRUE(f->ForaDaJanela(IncDay(p, 2)));
    SetParam(f, "IDLANCDTMAIFIL", Variant(""));
    SetParam(f, "IDLANCDTMAI", Variant("S"));
    SetParam(f, "NRDIASSAIDPD", Variant(2.0));
    EXPECT_FALSE(f->ForaDaJanela(IncDay(p, 2)));
    EXPECT_TRUE(f->ForaDaJanela(IncDay(p, 3)));
    SetParam(f, "IDLANCDTMAI", Variant("N"));
    EXPECT_TRUE(f->ForaDaJanela(IncDay(p, 1))) << "neither flag: a day later is read-only";
    // Earlier dates.
    SetParam(f, "IDLANCDTMENFIL", Variant("N"));
    SetParam(f, "IDLANCDTMEN", Variant("N"));
    EXPECT_TRUE(f->ForaDaJanela(IncDay(p, -1)));
    SetParam(f, "IDLANCDTMEN", Variant("S"));
    SetParam(f, "NRDIASSAID", Variant(7.0));
    EXPECT_FALSE(f->ForaDaJanela(IncDay(p, -7)));
    EXPECT_TRUE(f->ForaDaJanela(IncDay(p, -8)));
    SetParam(f, "IDLANCDTMENFIL", Variant(""));
    SetParam(f, "NRDIASSAIDFIL", Variant(3.0));
    EXPECT_FALSE(f->ForaDaJanela(IncDay(p, -3))) << "an empty branch flag uses the branch's day count";
    EXPECT_TRUE(f->ForaDaJanela(IncDay(p, -4)));
}

TEST_F(PagesTest, PrintOpensThePrintingScreenWithM) {
    TfrmRetirada* f = OpenWithList(-1, 0);
    ASSERT_NE(f, nullptr);
    std::string code, param;
    Morvena::SetScreenLoader([&](const std::string& c, const Variant& p) {
        code = c;
        param = p.AsString();
    });
    f->sbtImprimir->UserClick();
    Morvena::SetScreenLoader(nullptr);
    EXPECT_EQ(code, "PLA02100");
    EXPECT_EQ(param, "M");
}

TEST_F(PagesTest, EditingTheHeaderForcesTheFormPageAndLocksTheBranch) {
    TfrmRetirada* f = OpenWithList(-1, 0);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->cdsRomaRetirada.Locate("DTLANCESTQ", Variant(Date())));
    f->mnuFormulario->UserClick();
    ResetCalls();
    f->cdsLanctoEst.Edit();
    EXPECT_EQ(f->pgcPadrao->ActivePage(), f->tshFormulario);
    EXPECT_FALSE(f->tshFolhaDados->Enabled());
    EXPECT_FALSE(f->tshResumo->Enabled());
    EXPECT_FALSE(f->mnuFolhaDados->Enabled());
    EXPECT_TRUE(f->mnuFormulario->Checked());
    EXPECT_FALSE(f->medCdFilial->Enabled());
    EXPECT_FALSE(f->btpFilial->Enabled());
    EXPECT_FALSE(f->edtNmFilial->Enabled()) << "the name stays read-only";
    EXPECT_TRUE(f->sbtConfirmar->Enabled());
    EXPECT_TRUE(f->sbtCancelar->Enabled());
    EXPECT_FALSE(f->sbtIncluir->Enabled());
    EXPECT_FALSE(f->navRomaneio->Enabled());
    EXPECT_GE(Calls("VerificaLiberacao"), 1) << "the release of the day is checked on entering an edit";
    EXPECT_FALSE(Pla02000Unit().boAltLiberada) << "today is an open day";
    EXPECT_EQ(f->dtEstoque, Date()) << "the stock reference date is the withdrawal's";
    EXPECT_FALSE(Pla02000Unit().boDtEstoq);

    f->cdsLanctoEst.Cancel();
    EXPECT_TRUE(f->medCdFilial->Enabled());
    EXPECT_TRUE(f->tshFolhaDados->Enabled());
    EXPECT_TRUE(f->sbtAlterar->Enabled());
    EXPECT_FALSE(f->sbtConfirmar->Enabled());
}

TEST_F(PagesTest, ReadyToIncludeStateAfterASaveOrCancel) {
    TfrmRetirada* f = OpenWithList(-1, 0);
    ASSERT_NE(f, nullptr);
    ctx().ModuFili = true;
    f->pgcPadrao->SetActivePage(f->tshFormulario);
    f->DisableForInsert();
    EXPECT_EQ(f->pgcPadrao->ActivePage(), f->tshFolhaDados);
    EXPECT_FALSE(f->pgcPadrao->Enabled());
    for (TSpeedButton* b : {f->sbtAlterar, f->sbtExcluir, f->sbtProcurar, f->sbtVerificar, f->sbtAtuaEstoq})
        EXPECT_FALSE(b->Enabled()) << b->Name();
    EXPECT_FALSE(f->mnuFormulario->Enabled());
    EXPECT_FALSE(f->mnuFolhaDados->Enabled());
    EXPECT_TRUE(f->sbtIncluir->Enabled()) << "only inclusion stays";

    // A user free to change branch goes back to it.
    ctx().ModuFili = false;
    f->pgcPadrao->SetEnabled(true);
    f->DisableForInsert();
    EXPECT_EQ(f->ActiveControl(), f->medCdFilial);
}

TEST_F(PagesTest, FindWorksOnTheListOfTheActivePage) {
    TfrmRetirada* f = OpenWithList(-1, 0);
    ASSERT_NE(f, nullptr);
    f->cdsRomaRetirada.Last();
    ASSERT_EQ(f->cdsRomaRetirada.FieldByName("NMSERVICO").AsString(), "JANTAR");
    dialogs().Queue(ScriptedAnswer::FindText("NMSERVICO", "alm"));
    f->sbtProcurar->UserClick();
    EXPECT_EQ(f->cdsRomaRetirada.FieldByName("NMSERVICO").AsString().substr(0, 4), "ALMO");
}
