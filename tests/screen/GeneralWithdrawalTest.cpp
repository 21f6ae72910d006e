// The general withdrawal's answers read as what they are: a text in place of
// the count is the server's failure, an unknown key is shown as it came, and
// nothing is opened after either.
#include "ScreenFixture.h"

#include "core/Exception.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace screen_test {
namespace {

class GeneralWithdrawalTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        Morvena::SetScreenLoader([this](const std::string& code, const Variant&) { opened.push_back(code); });
    }
    void TearDown() override {
        Morvena::SetScreenLoader(nullptr);
        ScreenTest::TearDown();
    }
    // The run of 0002's day P+1 for its ALMOÇO, as a confirmed dialog hands it over.
    void Run(TfrmRetirada& f) {
        TEscolhaRetiradaGeral e{IncDay(Date(), 1), "00001_", "CFP"};
        f.RetiradaGeral(e);
    }
    std::vector<std::string> opened;
};

TEST_F(GeneralWithdrawalTest, FailureTextsAndUnknownKeysStopTheRunAsTheyCame) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->medCdFilial->SetText("0002");
    ResetCalls();
    // A text in place of the count is the server's failure, not a count.
    AnswerOnce("GetRetiradaGeral", Variant("Falha ao contar as quantidades consumidas."));
    EXPECT_THROW(Run(*f), EAbort);
    EXPECT_THAT(Shown(), HasSubstr("Falha ao contar as quantidades consumidas."));
    EXPECT_EQ(Calls("GetRequisicao"), 0);
    EXPECT_FALSE(f->cdsRetiradaGeral.Active() && f->cdsRetiradaGeral.FindField("QNTMOVI") == nullptr);
    ResetCalls();
    AnswerOnce("VdRetGeral", Variant(VariantArray{Variant(), Variant("SERV_INEXIST")}));
    EXPECT_THROW(Run(*f), EAbort);
    EXPECT_THAT(Shown(), HasSubstr("SERV_INEXIST"));
    AnswerOnce("VdRetGeral", Variant("Serviço 00009 não cadastrado para a filial 0002."));
    EXPECT_THROW(Run(*f), Exception);
    EXPECT_EQ(Calls("GetRetiradaGeral"), 0);
    EXPECT_TRUE(opened.empty());
}

}  // namespace
}  // namespace screen_test
