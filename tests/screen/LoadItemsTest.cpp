// Entering the items with a header the server answers in ways the header's
// own checks leave out: a plain failure text, a bare Null, and a recorded
// withdrawal whose browse row cannot be posted.
#include "ScreenFixture.h"

using namespace screen_test;

namespace {

class LoadItemsTest : public ScreenTest {
protected:
    // A new JANTAR header of the day `menu` with the extra requisition 0000000001 (JANTAR, P-1).
    TfrmRetirada* header(int menu) {
        TfrmRetirada* f = OpenWithList(-1, 0);
        if (!f) return nullptr;
        f->sbtIncluirClick(f->sbtIncluir);
        f->cdsLanctoEst.FieldByName("NRREQUEXTRRE").SetAsString("0000000001");
        f->dbdRetirada->SetDate(IncDay(Date(), -1));
        f->dbdDtCardapio->SetDate(IncDay(Date(), menu));
        f->medCdServico->SetText("00002");
        return f;
    }
};

}  // namespace

// retirada_requisicao_invalida shows the text and the header open again.
TEST_F(LoadItemsTest, APlainFailureTextKeepsTheSendingsKey) {
    TfrmRetirada* f = header(0);  // the requisition is of P-1
    ASSERT_NE(f, nullptr);
    EXPECT_THROW(f->panItensEnter(f->panItens), EAbort);
    EXPECT_FALSE(f->boCarregandoItens);
    // Kept: a text may also be a lost answer, and the server records no key for a refusal.
    EXPECT_NE(f->cdsLanctoEst.FieldByName("CDCHAVEENVIO").AsString(), "");
}

TEST_F(LoadItemsTest, AFailedBrowseRowIsCancelledAndTheListScrollsAgain) {
    TfrmRetirada* f = header(-1);
    ASSERT_NE(f, nullptr);
    const int rows = f->cdsRomaRetirada.RecordCount();
    f->cdsRomaRetirada.BeforePost = [](TDataSet&) { throw Exception("lista cheia"); };
    EXPECT_THROW(f->panItensEnter(f->panItens), Exception);
    EXPECT_NE(f->cdsLanctoEst.FieldByName("NRRETIRADA").AsString(), "NOVOCODRET") << "recorded before the row";
    EXPECT_FALSE(Pla02000Unit().boAtuaRoma);
    EXPECT_EQ(f->cdsRomaRetirada.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(f->cdsRomaRetirada.RecordCount(), rows);
    EXPECT_FALSE(f->boCarregandoItens);
}

TEST_F(LoadItemsTest, ANullAnswerLeavesTheHeaderOpenForItemsToBeTyped) {
    // The requisition free again, whichever test recorded a withdrawal with it.
    Execute("DELETE FROM USOREQUEXTR WHERE CDFILIAL = '0001' AND NRREQUEXTR = '0000000001'");
    Execute("UPDATE LANCTOEST SET NRREQUEXTRRE = '0000000000' WHERE CDFILIAL = '0001' AND NRREQUEXTRRE = '0000000001'");
    TfrmRetirada* f = header(-1);
    ASSERT_NE(f, nullptr);
    const int rows = f->cdsRomaRetirada.RecordCount();
    AnswerOnce("GravaRequisicao", Variant());
    // The user goes from the menu date to the items.
    f->dbdDtCardapio->UserSetFocus();
    f->dbgItens->UserSetFocus();
    EXPECT_EQ(Calls("GravaRequisicao"), 1);
    EXPECT_EQ(Shown().find("Box["), std::string::npos) << Shown();  // no message, only progress notes
    EXPECT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsEdit);
    EXPECT_EQ(f->cdsLanctoEst.FieldByName("NRLANCESTQ").AsString(), "NOVOCODRET");
    EXPECT_EQ(f->cdsLanctoEst.FieldByName("CDCHAVEENVIO").AsString(), "");
    EXPECT_FALSE(f->dbeNrRequisicao->Enabled());
    EXPECT_EQ(f->cdsItLanctoEst.State(), TDataSetState::dsInsert);
    EXPECT_EQ(f->cdsRomaRetirada.RecordCount(), rows);
    EXPECT_FALSE(f->boCarregandoItens);
}

TEST_F(LoadItemsTest, ASendingWhoseAnswerWasLostIsRepeatedAndAnsweredOnce) {
    // A new JANTAR header of today on the planned requisition.
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->sbtIncluirClick(f->sbtIncluir);
    ASSERT_EQ(f->cdsLanctoEst.FieldByName("NRREQUEXTRRE").AsString(), "0000000000");
    f->dbdRetirada->SetDate(Date());
    f->dbdDtCardapio->SetDate(Date());
    f->medCdServico->SetText("00002");
    const int rows = f->cdsRomaRetirada.RecordCount();
    const std::string jantar = "SELECT COUNT(*) FROM LANCTOEST WHERE CDFILIAL = '0001' AND CDSERVFILI = '00002'";
    const int before = std::stoi(QueryText(jantar));
    // Recorded on the server, its answer lost on the way back: the
    // connection's failure text, the header open on the requisition.
    LoseNextAnswer("GravaRequisicao");
    f->dbdDtCardapio->UserSetFocus();
    f->dbgItens->UserSetFocus();
    EXPECT_NE(Shown().find("Conexão perdida com o servidor."), std::string::npos) << Shown();
    EXPECT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsEdit);
    EXPECT_EQ(f->cdsLanctoEst.FieldByName("NRLANCESTQ").AsString(), "NOVOCODRET");
    const std::string key = f->cdsLanctoEst.FieldByName("CDCHAVEENVIO").AsString();
    EXPECT_FALSE(key.empty());
    EXPECT_EQ(std::stoi(QueryText(jantar)), before + 1);
    // Entering the items again repeats that sending: its first answer comes back.
    f->dbgItens->UserSetFocus();
    EXPECT_EQ(Calls("GravaRequisicao"), 2);
    EXPECT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsBrowse) << Shown();
    const std::string posting = f->cdsLanctoEst.FieldByName("NRLANCESTQ").AsString();
    EXPECT_EQ(QueryText("SELECT NRLANCESTQ FROM ENVIOREQUI WHERE CDCHAVEENVIO = '" + key + "'"), posting);
    EXPECT_EQ(std::stoi(QueryText(jantar)), before + 1);
    EXPECT_EQ(f->cdsRomaRetirada.RecordCount(), rows + 1);
    EXPECT_GT(f->cdsItLanctoEst.RecordCount(), 0);
}

TEST_F(LoadItemsTest, TheAggregationLengthFollowsTheOrderingAndLevel) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    TClientDataSet& p = f->cdsParamEstoque;
    ASSERT_FALSE(p.IsEmpty());
    auto length = [&](const char* ordering, const char* level) {
        p.Edit();
        p.FieldByName("IDORDEREQU").SetAsString(ordering);
        p.FieldByName("NRNIVEREQU").SetAsString(level);
        p.Post();
        return f->TamanhoAgrupamento();
    };
    // The 2-2-3 product tree: the whole code when ordered "C", else up to the level.
    EXPECT_EQ(length("C", "2"), 7);
    EXPECT_EQ(length("A", "2"), 4);
    EXPECT_EQ(length("A", "1"), 2);
    EXPECT_EQ(length("A", ""), 0);  // level 0: the server takes the whole code
    p.EmptyDataSet();
    EXPECT_EQ(f->TamanhoAgrupamento(), 7);
}
