// The screen's print command on a list the dialog loaded: the printing module
// is opened by code with "M" (the framework's own loader finds
// libpla02100.so), writes the PDF into the user's documents and says where.
#include "DialogFixture.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>

using ::testing::HasSubstr;

namespace filterdlg_test {
namespace {

namespace fs = std::filesystem;

TEST_F(DialogTest, PrintWritesTheBrowseListIntoTheUsersDocuments) {
    const fs::path home = fs::temp_directory_path() / ("pla-print-home-" + std::to_string(::getpid()));
    fs::remove_all(home);
    fs::create_directories(home / "Documents");
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);

    Fill("", IncDay(today, -1), today, IncDay(today, -1), today);
    Confirm();
    OpenFromScreen();
    TfrmRetirada& f = Screen();
    ASSERT_EQ(f.cdsRomaRetirada.RecordCount(), 3);
    f.cdsRomaRetirada.First();
    screen_test::ResetCalls();
    dialogs().ClearTranscript();

    Application().RunUserAction([&] { f.sbtImprimirClick(nullptr); });

    EXPECT_THAT(Shown(), HasSubstr("Relatório de retiradas gravado em:"));
    EXPECT_EQ(screen_test::Calls("GetItLanctoEst"), 3);
    EXPECT_EQ(f.cdsRomaRetirada.CurrentRow(), 0);  // the list stays where the user left it
    std::vector<fs::path> written;
    for (const auto& e : fs::directory_iterator(home / "Documents")) written.push_back(e.path());
    ASSERT_EQ(written.size(), 1u) << Shown();
    EXPECT_EQ(written[0].extension(), ".pdf");
    EXPECT_THAT(written[0].filename().string(), HasSubstr("Retiradas_0001_"));
    EXPECT_GT(fs::file_size(written[0]), 1000u);
    EXPECT_THAT(Shown(), HasSubstr(written[0].string()));

    ::setenv("HOME", oldHome.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(home);
}

}  // namespace
}  // namespace filterdlg_test
