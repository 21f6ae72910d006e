// The dish-type page and the read-only rule of the list.
#include "ScreenFixture.h"

using namespace screen_test;

TEST_F(ScreenTest, DishTypeWithdrawalFiltersItsItemsButCostsThemAll) {
    TfrmRetirada* f = OpenWithList(-1, -1);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->cdsRomaRetirada.Locate("IDRETIPRAT", Variant("S")));
    f->mnuFormulario->UserClick();
    EXPECT_TRUE(f->grbTipoPrat->Visible());
    EXPECT_NE(f->cdsItLanctoEst.Filter().find("CDTIPOPRAT = '"), std::string::npos);
    EXPECT_EQ(f->ActiveControl(), f->dbgTipoPrat);
    const std::string filtered = f->ledTotCusto->Caption();
    f->cdsItLanctoEst.SetFiltered(false);
    f->CalculaCustoTotal();
    EXPECT_EQ(f->ledTotCusto->Caption(), filtered);
}

// Unlike the date window of a typed header, an empty branch flag here uses the branch's day count.
TEST_F(ScreenTest, ReadOnlyRuleFollowsTheBranchAndGeneralFlags) {
    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    auto set = [&](const char* field, const Variant& v) {
        f->cdsParamEstoque.Edit();
        f->cdsParamEstoque.FieldByName(field).SetValue(v);
        f->cdsParamEstoque.Post();
    };
    auto fora = [&](int dias) { return f->ForaDaJanela(IncDay(Date(), dias)); };
    set("IDLANCDTMAIFIL", Variant("S"));
    set("NRDIASSAIDPDFIL", Variant(1.0));
    EXPECT_FALSE(fora(0)) << "the processing date itself is never read-only";
    EXPECT_FALSE(fora(1));
    EXPECT_TRUE(fora(2));
    set("IDLANCDTMAIFIL", Variant(""));
    set("IDLANCDTMAI", Variant("S"));
    set("NRDIASSAIDPD", Variant(2.0));
    EXPECT_FALSE(fora(2));
    EXPECT_TRUE(fora(3));
    set("IDLANCDTMAI", Variant("N"));
    EXPECT_TRUE(fora(1)) << "neither flag: a day later is read-only";
    set("IDLANCDTMENFIL", Variant("N"));
    set("IDLANCDTMEN", Variant("N"));
    EXPECT_TRUE(fora(-1));
    set("IDLANCDTMENFIL", Variant(""));
    set("IDLANCDTMEN", Variant("S"));
    set("NRDIASSAID", Variant(7.0));
    set("NRDIASSAIDFIL", Variant(3.0));
    EXPECT_FALSE(fora(-3));
    EXPECT_TRUE(fora(-4));
}
