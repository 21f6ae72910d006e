// Short bounded runs of the load driver. Load: 16 operators over one server
// on SQLite, over two servers on PostgreSQL; no invariant may break during
// the run or after it, and no call may get an answer a well-formed call
// should not. Crash: the server killed (SIGKILL) at random moments of a
// stream of confirmations and deletions, some of whose connections are reset
// mid-answer: after each kill the database holds no partial posting and
// passes the engine's own check; after the last, every operator's
// withdrawals are as confirmed.
#include "LoadDriver.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

TEST(Load, SixteenOperatorsKeepEveryInvariant) {
    integrity::LoadOptions o;
    o.program = PLA_APPSERVER;
    o.dbUrl = testdb::DemoUrl();
    o.logDir = ::testing::TempDir();
    o.servers = testdb::OnPostgres() ? 2 : 1;
    o.threads = 2;
    o.clients = 16;
    o.operations = 400;
    o.seed = 22;
    o.checkEvery = std::chrono::milliseconds(300);
    integrity::Report r = integrity::RunLoad(o);
    std::cout << r.Text();
    EXPECT_TRUE(r.violations.empty()) << r.Text();
    EXPECT_TRUE(r.figures.unexpected.empty()) << r.Text();
    EXPECT_GT(r.checks, 1);
    EXPECT_GT(r.figures.lostAnswers, 0);
    EXPECT_GT(r.figures.itemsPosted, 0);
    for (const char* kind : {"include", "include requisition", "alter", "delete item", "pending update", "delete withdrawal"})
        EXPECT_GT(r.figures.operations[kind], 0) << kind;
}

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
