// The server killed (SIGKILL) at random moments of a stream of confirmations
// and deletions, some of whose connections are reset mid-answer: after each
// kill the database holds no partial posting and passes the engine's own
// check; after the last, every operator's withdrawals are as confirmed.
#include "LoadDriver.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

TEST(Crash, KillNineMidStreamLeavesNoPartialPosting) {
    integrity::CrashOptions o;
    o.program = PLA_APPSERVER;
    o.dbUrl = testdb::DemoUrl();
    o.logDir = ::testing::TempDir();
    o.iterations = 8;
    o.seed = 9;
    const integrity::Report r = integrity::RunCrash(o);
    std::cout << r.Text();
    EXPECT_TRUE(r.violations.empty()) << r.Text();
    EXPECT_TRUE(r.figures.unexpected.empty()) << r.Text();
    EXPECT_EQ(r.iterations, 8);
    EXPECT_GT(r.figures.lostAnswers, 0);
}
