#include "core/ScopeGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

TEST(ScopeGuard, ExitRunsOnEveryWayOutFailureOnlyOnErrors) {
    std::vector<std::string> log;
    {
        TScopeExit a([&] { log.push_back("exit"); });
        TScopeFailure b([&] { log.push_back("failure"); });
    }
    EXPECT_EQ(log, (std::vector<std::string>{"exit"}));

    log.clear();
    EXPECT_THROW(
        {
            TScopeExit a([&] { log.push_back("exit"); });
            TScopeFailure b([&] { log.push_back("failure"); });
            throw std::runtime_error("x");
        },
        std::runtime_error);
    // Innermost first, as the hand-written blocks undid things.
    EXPECT_EQ(log, (std::vector<std::string>{"failure", "exit"}));

    log.clear();
    {
        TScopeExit a([&] { log.push_back("exit"); });
        a.Dismiss();
    }
    EXPECT_TRUE(log.empty());
}

TEST(ScopeGuard, AFailingCleanUpPropagatesUnlessAnErrorIsAlreadyOnItsWay) {
    auto normalExit = [] { TScopeExit g([] { throw std::logic_error("clean-up"); }); };
    EXPECT_THROW(normalExit(), std::logic_error);

    // The first error is the one the caller sees; the program goes on.
    try {
        TScopeExit g([] { throw std::logic_error("clean-up"); });
        throw std::runtime_error("first");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "first");
    }
}

TEST(ScopeGuard, AGuardInsideACatchHandlerStillSeesANormalExit) {
    // A guard made while an exception is being handled counts from there:
    // leaving its own scope normally is a normal exit.
    bool failed = false, ran = false;
    try {
        throw std::runtime_error("handled");
    } catch (const std::exception&) {
        TScopeFailure f([&] { failed = true; });
        TScopeExit e([&] { ran = true; });
    }
    EXPECT_FALSE(failed);
    EXPECT_TRUE(ran);
}

}  // namespace
