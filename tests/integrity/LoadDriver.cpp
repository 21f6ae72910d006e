#include "LoadDriver.h"

#include "Invariants.h"
#include "ServerProcess.h"
#include "db/ConnectionUrl.h"
#include "store/DemoData.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sstream>
#include <thread>

namespace integrity {

namespace {

constexpr size_t kMostViolations = 50;

void add(std::vector<std::string>& to, const std::vector<std::string>& found, const std::string& when) {
    for (const auto& v : found)
        if (to.size() < kMostViolations) to.push_back(when + ": " + v);
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

// The final checks, with nobody writing.
void finalChecks(Report& r, db::SqlConnection& c, const Baseline& before, Deletions& deletions,
                 const std::vector<ModelWithdrawal>& models) {
    add(r.violations, CheckInvariants(c, before, deletions), "at the end");
    add(r.violations, CheckModels(c, before, models), "at the end");
    add(r.violations, EngineConsistency(c, &r.engineNote), "at the end");
    ++r.checks;
}

}  // namespace

std::string Report::Text() const {
    std::ostringstream o;
    int64_t total = 0;
    for (const auto& [k, n] : figures.operations) total += n;
    o << "operations: " << total;
    for (const auto& [k, n] : figures.operations) o << ", " << k << " " << n;
    o << "\n";
    if (iterations > 0) o << "kill -9 iterations: " << iterations << "\n";
    char buf[160];
    std::snprintf(buf, sizeof buf, "items posted: %lld in %.1f s, %.0f per second\n",
                  static_cast<long long>(figures.itemsPosted), seconds,
                  seconds > 0 ? static_cast<double>(figures.itemsPosted) / seconds : 0.0);
    o << buf;
    o << "answers lost and sent again: " << figures.lostAnswers << "\n";
    o << "invariant checks: " << checks << "\n";
    o << "violations: " << violations.size() << "\n";
    for (const auto& v : violations) o << "  " << v << "\n";
    o << "unexpected answers: " << figures.unexpected.size() << "\n";
    for (const auto& u : figures.unexpected) o << "  " << u << "\n";
    for (const auto& [method, ms] : figures.latencyMs) {
        std::snprintf(buf, sizeof buf, "latency %-16s calls %7zu  p50 %7.2f ms  p99 %7.2f ms\n", method.c_str(),
                      ms.size(), percentile(ms, 0.50), percentile(ms, 0.99));
        o << buf;
    }
    if (!engineNote.empty()) o << "engine check: " << engineNote << "\n";
    return o.str();
}

Report RunLoad(const LoadOptions& opt) {
    auto reader = db::OpenConnection(opt.dbUrl);
    const Baseline before = TakeBaseline(*reader);
    std::vector<std::unique_ptr<ServerProcess>> servers;
    for (int s = 0; s < opt.servers; ++s)
        servers.push_back(std::make_unique<ServerProcess>(
            opt.program, opt.dbUrl, opt.logDir + "/load-server-" + std::to_string(s + 1) + ".log",
            std::vector<std::string>{"--threads", std::to_string(opt.threads), "--log-format", "logfmt"}));
    const std::string token =
        LossyClient::SignOn("127.0.0.1", servers[0]->Port(), store::demo::kOperator, store::demo::kPassword);

    Deletions deletions;
    std::vector<std::unique_ptr<LossyClient>> rpcs;
    std::vector<std::unique_ptr<Operator>> operators;
    WorkloadOptions w;
    w.lossRate = opt.lossRate;
    w.maxItems = opt.maxItems;
    if (opt.everyProduct) w.products = StockedProducts(*reader);
    for (int i = 0; i < opt.clients; ++i) {
        rpcs.push_back(std::make_unique<LossyClient>("127.0.0.1", servers[static_cast<size_t>(i % opt.servers)]->Port(), token));
        operators.push_back(std::make_unique<Operator>(*rpcs.back(), deletions, opt.seed * 1000 + static_cast<uint32_t>(i), w));
    }

    Report r;
    std::atomic<int64_t> next{0};
    std::atomic<bool> done{false};
    std::mutex failures;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (auto& op : operators)
        threads.emplace_back([&, op = op.get()] {
            try {
                while (next.fetch_add(1) < opt.operations) op->Step();
            } catch (const std::exception& e) {
                std::lock_guard lock(failures);
                r.violations.push_back(std::string("an operator stopped: ") + e.what());
            }
        });
    std::thread checker([&] {
        std::mt19937 rng(opt.seed);
        while (!done) {
            const auto pause = std::chrono::milliseconds(
                std::uniform_int_distribution<int64_t>(0, 2 * opt.checkEvery.count())(rng));
            for (auto until = std::chrono::steady_clock::now() + pause; !done && std::chrono::steady_clock::now() < until;)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (done) break;
            auto found = CheckInvariants(*reader, before, deletions);
            std::lock_guard lock(failures);
            add(r.violations, found, "during the run");
            ++r.checks;
        }
    });
    for (auto& t : threads) t.join();
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    done = true;
    checker.join();

    std::vector<ModelWithdrawal> models;
    for (auto& op : operators) {
        r.figures.Merge(op->Counts());
        models.insert(models.end(), op->Withdrawals().begin(), op->Withdrawals().end());
    }
    finalChecks(r, *reader, before, deletions, models);
    return r;
}

Report RunCrash(const CrashOptions& opt) {
    auto reader = db::OpenConnection(opt.dbUrl);
    const Baseline before = TakeBaseline(*reader);
    ServerProcess server(opt.program, opt.dbUrl, opt.logDir + "/crash-server.log", {"--threads", "2"});
    const std::string token = LossyClient::SignOn("127.0.0.1", server.Port(), store::demo::kOperator, store::demo::kPassword);

    Deletions deletions;
    WorkloadOptions w;
    w.lossRate = 0.15;
    w.cutConnections = true;
    LossyClient rpc1("127.0.0.1", server.Port(), token), rpc2("127.0.0.1", server.Port(), token);
    Operator one(rpc1, deletions, opt.seed * 1000 + 1, w), two(rpc2, deletions, opt.seed * 1000 + 2, w);

    Report r;
    std::atomic<bool> done{false};
    std::mutex failures;
    auto stream = [&](Operator& op) {
        try {
            while (!done) op.StepConfirmOrDelete();
        } catch (const std::exception& e) {
            std::lock_guard lock(failures);
            r.violations.push_back(std::string("an operator stopped: ") + e.what());
        }
    };
    const auto start = std::chrono::steady_clock::now();
    std::thread a(stream, std::ref(one)), b(stream, std::ref(two));
    std::mt19937 rng(opt.seed);
    for (int i = 0; i < opt.iterations; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(
            std::uniform_int_distribution<int64_t>(5, std::max<int64_t>(6, opt.longestRun.count()))(rng)));
        server.Kill();
        // What the killed server left: every transaction whole or not at all.
        auto found = CheckInvariants(*reader, before, deletions);
        auto engine = EngineConsistency(*reader, &r.engineNote);
        {
            std::lock_guard lock(failures);
            add(r.violations, found, "after kill " + std::to_string(i + 1));
            add(r.violations, engine, "after kill " + std::to_string(i + 1));
            ++r.checks;
        }
        server.Restart();
        ++r.iterations;
    }
    // Let the operators settle their lost calls on the last server, then stop them.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    done = true;
    a.join();
    b.join();
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.figures.Merge(one.Counts());
    r.figures.Merge(two.Counts());
    std::vector<ModelWithdrawal> models = one.Withdrawals();
    models.insert(models.end(), two.Withdrawals().begin(), two.Withdrawals().end());
    finalChecks(r, *reader, before, deletions, models);
    return r;
}

}  // namespace integrity
