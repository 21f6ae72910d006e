// Confirming a withdrawal: what the screen does with the server's result rows
// (numbers that did not come back, error rows however few), its flags when the
// numbering fails, the dish rows' log, a confirmation whose answer was lost, and which
// error rows the confirmation accepts.
#include "ScreenFixture.h"

#include "Cli_pla02000/services/AcceptedErrors.h"
#include "core/Packet.h"

using namespace screen_test;

namespace {

class ConfirmationTest : public ScreenTest {
protected:
    // A new LANCHE AVULSO withdrawal of tomorrow in 0001 (no requisition: the
    // item is typed; the other tests' lists of today do not see it), one item
    // of EXTRATO DE TOMATE posted, not yet confirmed.
    TfrmRetirada* novaRetirada() {
        TfrmRetirada* f = OpenWithList(0, 0);
        if (!f) return nullptr;
        f->sbtIncluirClick(f->sbtIncluir);
        f->dbdRetirada->SetDate(IncDay(Date(), 1));
        f->dbdDtCardapio->SetDate(IncDay(Date(), 1));
        f->medCdServico->SetText("00006");
        f->dbdDtCardapio->UserSetFocus();
        f->dbgItens->UserSetFocus();
        TClientDataSet& it = f->cdsItLanctoEst;
        if (it.State() != TDataSetState::dsInsert) return nullptr;
        it.FieldByName("CDARVPROD").SetAsString("0107002");
        it.FieldByName("QTEXTRARETI").SetAsFloat(1);
        it.FieldByName("QTTOTLANCTO").SetAsFloat(1);
        it.Post();
        return f;
    }
    void confirma(TfrmRetirada* f) {
        dialogs().Queue(ScriptedAnswer::Button(mrYes));
        f->sbtConfirmar->UserClick();
    }
};

Variant resultado(std::vector<std::pair<std::string, std::string>> rows) {
    DataPacket p;
    p.fields = {{"CDERRO", TFieldType::ftString, 20},
                {"CDOBJETO", TFieldType::ftString, 20},
                {"CDOBJETO2", TFieldType::ftString, 20},
                {"CDOBJETO3", TFieldType::ftString, 20}};
    for (const auto& [k, o] : rows)
        p.rows.push_back({{Variant(k), Variant(o), Variant(""), Variant("")}, RowChange::Unmodified, {}});
    return Variant(std::move(p));
}

std::string campo(TDataSet& ds, const char* f) { return ds.FieldByName(f).AsString(); }

}  // namespace

TEST_F(ConfirmationTest, ResultRowsDecideByErrorsAndOnlyNumbersThatCameBackAreWritten) {
    TfrmRetirada* f = novaRetirada();
    ASSERT_NE(f, nullptr) << Shown();
    const int linhas = f->cdsRomaRetirada.RecordCount();
    // One error row and a posting number, no withdrawal number: fewer rows than
    // the two number rows, and still a failure.
    AnswerOnce("Confirma_Lanc", resultado({{"NRLANCESTQ", "0000009999"}, {"PLA02000_1", "300002"}}));
    confirma(f);
    EXPECT_EQ(Calls("Confirma_Lanc"), 1);
    EXPECT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsEdit) << Shown();
    EXPECT_GT(f->cdsLanctoEst.ChangeCount(), 0) << "the logs stay for the next sending";
    EXPECT_GT(f->cdsItLanctoEst.ChangeCount(), 0);
    EXPECT_TRUE(f->sbtVisualizaErros->Enabled());
    EXPECT_EQ(f->dbgItens->Columns().Count(), 11);
    EXPECT_EQ(f->cdsRomaRetirada.RecordCount(), linhas);
    EXPECT_EQ(f->cdsRetorno->RecordCount(), 2) << "the rows kept for the marks";
    EXPECT_EQ(campo(f->cdsItLanctoEst, "IDERRO"), "S");
    // The number that came back is written everywhere; the one that did not
    // leaves the placeholder, in the items as in the header.
    EXPECT_EQ(campo(f->cdsLanctoEst, "NRLANCESTQ"), "0000009999");
    EXPECT_EQ(campo(f->cdsItLanctoEst, "NRLANCESTQ"), "0000009999");
    EXPECT_EQ(campo(f->cdsLanctoEst, "NRRETIRADA"), "NOVOCODRET");
    EXPECT_EQ(campo(f->cdsItLanctoEst, "NRRETIRADA"), "NOVOCODRET");
    EXPECT_FALSE(Pla02000Unit().boAtEstoque);
}

TEST_F(ConfirmationTest, AFailureWhileNumberingTheItemsLeavesTheirChecksOn) {
    TfrmRetirada* f = novaRetirada();
    ASSERT_NE(f, nullptr) << Shown();
    // The item walk after the save meets an inventory opened meanwhile.
    AnswerOnce("ValidaInventario", Variant("Inventário aberto na filial."));
    confirma(f);
    EXPECT_EQ(Calls("Confirma_Lanc"), 1);
    EXPECT_NE(Shown().find("Inventário aberto na filial."), std::string::npos) << Shown();
    EXPECT_FALSE(Pla02000Unit().boAtEstoque) << "item posts would skip their checks";
}

TEST_F(ConfirmationTest, AConfirmationWhoseAnswerWasLostIsSentAgainAndSavedOnce) {
    TfrmRetirada* f = novaRetirada();
    ASSERT_NE(f, nullptr) << Shown();
    const std::string contagem = "SELECT COUNT(*) FROM LANCTOEST WHERE CDFILIAL = '0001'";
    const int antes = std::stoi(QueryText(contagem));
    LoseNextAnswer("Confirma_Lanc");
    confirma(f);
    EXPECT_NE(Shown().find("Conexão perdida com o servidor."), std::string::npos) << Shown();
    EXPECT_EQ(std::stoi(QueryText(contagem)), antes + 1) << "the server saved it";
    const std::string chave = campo(f->cdsLanctoEst, "CDCHAVEENVIO");
    ASSERT_FALSE(chave.empty());
    EXPECT_EQ(campo(f->cdsLanctoEst, "NRLANCESTQ"), "NOVOCODRET");
    EXPECT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsEdit) << "open for another sending";
    // Sent again: the first answer, nothing saved twice.
    confirma(f);
    EXPECT_EQ(Calls("Confirma_Lanc"), 2);
    EXPECT_EQ(std::stoi(QueryText(contagem)), antes + 1) << Shown();
    const std::string lanc = campo(f->cdsLanctoEst, "NRLANCESTQ");
    EXPECT_NE(lanc, "NOVOCODRET");
    EXPECT_EQ(QueryText("SELECT NRLANCESTQ FROM ENVIOCONFIRMA WHERE CDCHAVEENVIO = '" + chave + "'"), lanc);
    EXPECT_EQ(QueryText("SELECT SUM(QTMOVIESTQ) FROM MOVIESTQ WHERE CDFILIAL = '0001' AND NRLANCESTQ = '" + lanc + "'"),
              "-1");
    EXPECT_EQ(campo(f->cdsLanctoEst, "CDCHAVEENVIO"), "") << "the next confirmation is another sending";
    EXPECT_EQ(f->cdsLanctoEst.ChangeCount(), 0);
}

TEST_F(ConfirmationTest, TheDishRowsLogIsMergedOnlyOnSuccess) {
    // 0001's withdrawal of ALMOÇO of the day before, by dish type.
    TfrmRetirada* f = OpenWithList(-1, -1);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->cdsRomaRetirada.Locate("NRLANCESTQ", Variant("0000000002")));
    f->mnuFormulario->UserClick();
    ASSERT_TRUE(f->dbgTipoPrat->Visible()) << Shown();
    f->sbtAlterarClick(f->sbtAlterar);
    ASSERT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsEdit) << Shown();
    f->cdsRetiTipoPrat.Edit();
    f->cdsRetiTipoPrat.FieldByName("IDERRO").SetAsString("S");
    f->cdsRetiTipoPrat.Post();
    ASSERT_GT(f->cdsRetiTipoPrat.ChangeCount(), 0);

    AnswerOnce("Confirma_Lanc", resultado({{"NRLANCESTQ", ""}, {"NRRETIRADA", ""}, {"LIB00200_4", ""}}));
    confirma(f);
    EXPECT_NE(Shown().find("Operação bloqueada! Inventário pendente para a filial."), std::string::npos) << Shown();
    EXPECT_GT(f->cdsRetiTipoPrat.ChangeCount(), 0) << "kept with the other logs after a failure";
    EXPECT_GT(f->cdsLanctoEst.ChangeCount(), 0);

    // No stock update after it, whose group marks would log changes of their own.
    f->cdsParamEstoque.Edit();
    f->cdsParamEstoque.FieldByName("IDESTONLINE").SetAsString("N");
    f->cdsParamEstoque.Post();
    AnswerOnce("Confirma_Lanc", resultado({{"NRLANCESTQ", "0000000002"}, {"NRRETIRADA", "0000000002"}}));
    confirma(f);
    EXPECT_EQ(Calls("Confirma_Lanc"), 2);
    EXPECT_EQ(f->cdsRetiTipoPrat.ChangeCount(), 0) << Shown();
    EXPECT_EQ(f->cdsLanctoEst.ChangeCount(), 0);
    EXPECT_FALSE(f->sbtVisualizaErros->Enabled());
}

TEST_F(ScreenTest, AcceptedErrorsFollowTheIgnoreListAndNegativeStock) {
    TClientDataSet r;
    r.AddField("CDERRO", TFieldType::ftString, 20);
    r.AddField("CDOBJETO", TFieldType::ftString, 20);
    r.CreateDataSet();
    auto add = [&](const char* key) { r.AppendRecord({Variant(key), Variant("100001")}); };
    add("NRLANCESTQ");
    add("NRRETIRADA");
    EXPECT_FALSE(ErroNaoAceito(r, "0", 0, "N")) << "only numbers came back";
    add("lib00200_3");
    EXPECT_TRUE(ErroNaoAceito(r, "0", 0, "N")) << "found without regard to case";
    EXPECT_TRUE(ErroNaoAceito(r, "", 0, "N"));
    EXPECT_FALSE(ErroNaoAceito(r, "#LIB00200_3#", 0, "N"));
    EXPECT_FALSE(ErroNaoAceito(r, "0", 0, "S")) << "negative stock allowed accepts it";
    EXPECT_FALSE(ErroNaoAceito(r, "0", 1, "N")) << "not more error rows than the limit";
    EXPECT_FALSE(ErroNaoAceito(r, "0", 2, "N")) << "two error rows would be needed; numbers do not count";
    add("LIB00200_4");
    EXPECT_TRUE(ErroNaoAceito(r, "#LIB00200_3#", 0, "N")) << "LIB00200_4 is not in the list";
    EXPECT_FALSE(ErroNaoAceito(r, "#LIB00200_3##LIB00200_4#", 0, "N"));
    EXPECT_FALSE(ErroNaoAceito(r, "#LIB00200_3##LIB00200_4#", 0, "S"));
    add("PLA02000_2");
    EXPECT_TRUE(ErroNaoAceito(r, "#LIB00200_3##LIB00200_4#", 0, "S"));
    EXPECT_FALSE(ErroAceito("LIB00200_3", "LIB00200_3")) << "a key counts only framed by #";

    TfrmRetirada* f = Open();
    ASSERT_NE(f, nullptr);
    f->cdsRetorno->SetData(r.Data());
    EXPECT_TRUE(f->RetornouErro("0", 0));
    EXPECT_FALSE(f->RetornouErro("0", 10));
}
