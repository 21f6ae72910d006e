#include "UiFixture.h"

#include "core/Exception.h"
#include "services/Dbgeral.h"
#include "services/Morvena.h"

namespace {

struct Ctx : UiTest {
    void SetUp() override {
        UiTest::SetUp();
        Morvena::ResetContext();
    }
    void TearDown() override {
        Morvena::ResetContext();
        Morvena::SetScreenLoader(nullptr);
        UiTest::TearDown();
    }
};

TEST_F(Ctx, ProcessingDateOfTheBranchOrTheDefaultOrToday) {
    auto& c = Morvena::Context();
    c.DataProcFilial["0001"] = EncodeDate(2026, 12, 1);
    c.DataProcPadrao = EncodeDate(2026, 11, 30);
    EXPECT_EQ(Morvena::DataProc("0001 "), EncodeDate(2026, 12, 1));
    EXPECT_EQ(Morvena::DataProc("0002"), EncodeDate(2026, 11, 30));
    c.DataProcPadrao = TDateTime();
    EXPECT_EQ(Morvena::DataProc("0002"), Date());
}

TEST_F(Ctx, LoadBPLUsesTheInstalledLoaderOrFailsClearly) {
    std::vector<std::string> opened;
    Morvena::SetScreenLoader([&](const std::string& code, const Variant& p) {
        opened.push_back("[open-screen] " + code + " " + p.AsString());
    });
    Morvena::LoadBPL("PLA02100", Variant("M"));
    EXPECT_EQ(opened, std::vector<std::string>{"[open-screen] PLA02100 M"});
    Morvena::SetScreenLoader(nullptr);
    EXPECT_THROW(Morvena::LoadBPL("NAOEXISTE9", Variant("M")), Exception);
}

}  // namespace
