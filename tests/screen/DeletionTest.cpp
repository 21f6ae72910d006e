// Removing the last dish group of a saved withdrawal deletes the withdrawal
// on the server; a refusal by result rows stops the removal like an exception
// and brings back every group and item, marks dropped.
#include "ScreenFixture.h"

#include "core/Exception.h"

using namespace screen_test;

namespace {

Variant recusa(const char* erro, const char* produto) {
    DataPacket p;
    p.fields = {{"CDERRO", TFieldType::ftString, 20},
                {"CDOBJETO", TFieldType::ftString, 20},
                {"CDOBJETO2", TFieldType::ftString, 6},
                {"CDOBJETO3", TFieldType::ftString, 6}};
    p.rows.push_back({{Variant(erro), Variant(produto), Variant("000001"), Variant("A01")}, RowChange::Unmodified, {}});
    return Variant(std::move(p));
}

// Marks every group (and so every item) through the command, then removes
// the marked rows as the save does, group by group; the last group's removal
// is the one that reaches DelLancto.
void marcaERemoveTudo(ScriptedDialogs& dialogs, TfrmRetirada& f) {
    TClientDataSet& g = f.cdsRetiTipoPrat;
    f.dbgTipoPrat->SetFocus();
    for (g.First(); !g.Eof(); g.Next()) {
        dialogs.Queue(ScriptedAnswer::Button(mrYes));
        // The mark ends the deletion with a silent stop, as the user's click would.
        EXPECT_THROW(f.sbtExcluirClick(f.sbtExcluir), EAbort);
    }
    g.First();
    while (!g.IsEmpty()) {
        TClientDataSet& it = f.cdsItLanctoEst;
        it.First();
        while (!it.IsEmpty()) it.Delete();
        g.Delete();
    }
}

}  // namespace

TEST_F(ScreenTest, ARefusedDeletionOfTheLastGroupBringsEverythingBack) {
    // 0001's ALMOÇO of yesterday: saved, by dish.
    TfrmRetirada* f = OpenWithList(-1, -1);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->cdsRomaRetirada.Locate("CDSERVFILI", Variant("00001"), 0));
    f->mnuFormulario->UserClick();
    ASSERT_TRUE(f->grbTipoPrat->Visible());
    const int grupos = f->cdsRetiTipoPrat.RecordCount();
    f->cdsItLanctoEst.SetFiltered(false);
    const int itens = f->cdsItLanctoEst.RecordCount();
    f->cdsRetiTipoPrat.First();
    ResetCalls();

    AnswerOnce("DelLancto", recusa("LIB00200_4", "100025"));
    try {
        marcaERemoveTudo(dialogs(), *f);
        ADD_FAILURE() << "the refusal went unnoticed";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Não foi possível deletar toda a retirada do estoque: alguns itens gerariam valores "
                               "negativos para o estoque caso fossem excluídos.");
    }
    EXPECT_EQ(Calls("DelLancto"), 1);
    EXPECT_EQ(f->pgcPadrao->ActivePage(), f->tshFolhaDados);
    EXPECT_EQ(f->cdsRetiTipoPrat.RecordCount(), grupos);
    EXPECT_FALSE(f->cdsRetiTipoPrat.Locate("IDSTATUS", Variant("D"), 0));
    f->cdsItLanctoEst.SetFiltered(false);
    EXPECT_EQ(f->cdsItLanctoEst.RecordCount(), itens);
    EXPECT_FALSE(f->cdsItLanctoEst.Locate("IDSTATUS", Variant("D"), 0));
    EXPECT_EQ(f->cdsRomaRetirada.RecordCount(), 2) << "the withdrawal stays in the list";
    EXPECT_EQ(QueryText("SELECT COUNT(*) FROM LANCTOEST WHERE CDFILIAL = '0001' AND NRLANCESTQ = '0000000002'"), "1");
}
