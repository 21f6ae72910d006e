// Calls on a pool of connections: readers side by side, writers one at a
// time, a busy database reported as a fault, a by-reference argument given
// afresh to a write that runs again.
#include "AppServer.h"
#include "db/ConnectionPool.h"
#include "db/SqliteConnection.h"
#include "net/RpcProtocol.h"
#include "rpc/CallRunner.h"
#include "store/Database.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <future>
#include <thread>

using namespace appserver;

namespace {

// A demo database in a file of its own (connections of a pool must share it).
struct DemoFile {
    std::string path;
    explicit DemoFile(const char* name) {
        path = (std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()) + ".db")).string();
        store::CreateDemoDatabase(path);
    }
    ~DemoFile() {
        std::error_code ec;
        for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(path + s, ec);
    }
};

// Waits until n callers are inside together; false when they are not within the time.
class Rendezvous {
public:
    explicit Rendezvous(int n) : n_(n) {}
    bool Arrive(std::chrono::milliseconds wait) {
        std::unique_lock lock(m_);
        if (++inside_ >= n_) met_ = true;
        cv_.notify_all();
        bool met = cv_.wait_for(lock, wait, [this] { return met_; });
        --inside_;
        return met;
    }

private:
    int n_, inside_ = 0;
    bool met_ = false;
    std::mutex m_;
    std::condition_variable cv_;
};

std::string signOn(const net::RpcHandler& h) {
    auto r = net::DecodeResponse(h(net::EncodeRequest(1, "Session.SignOn", {Variant("DEMO"), Variant("demo")}), ""));
    return r.value.AsArray()[0].AsString();
}

// The answer's value, or the error's code and text.
struct Answer {
    Variant value;
    int code = 0;
    std::string message;
};

Answer call(const net::RpcHandler& h, const std::string& token, const std::string& method, VariantArray args = {}) {
    Answer a;
    try {
        a.value = net::DecodeResponse(h(net::EncodeRequest(1, method, args), token)).value;
    } catch (const net::ERpcError& e) {
        a.code = e.Code();
        a.message = e.Message();
    }
    return a;
}

}  // namespace

TEST(Concurrency, ReadersRunSideBySideAndWritersOneAtATime) {
    DemoFile file("pla-concurrency");
    Rendezvous readers(2), writers(2);
    AppServerOptions o;
    o.dbUrl = "sqlite:" + file.path;
    o.connections = 4;
    o.log = NullLogSink();
    o.extraModules = [&](Dispatcher& d) {
        // Each returns whether the other call of its kind was inside at the same time.
        d.Register("Test.rdmTeste", {"Read", {}, [&](CallContext& ctx, VariantArray&) {
                                         ctx.Db().Query("SELECT COUNT(*) FROM FILIAL");
                                         return Variant(readers.Arrive(std::chrono::seconds(10)));
                                     }});
        d.Register("Test.rdmTeste", {"Write", {}, [&](CallContext& ctx, VariantArray&) {
                                         ctx.Db().Execute("UPDATE FILIAL SET NMFILIAL = NMFILIAL");
                                         return Variant(writers.Arrive(std::chrono::milliseconds(300)));
                                     },
                                     true, Access::Write});
    };
    AppServer server(o);
    auto h = server.Handler();
    std::string token = signOn(h);
    auto both = [&](const char* method) {
        auto a = std::async(std::launch::async, [&] { return call(h, token, method); });
        auto b = std::async(std::launch::async, [&] { return call(h, token, method); });
        return std::pair{a.get(), b.get()};
    };
    auto [r1, r2] = both("Test.rdmTeste.Read");
    EXPECT_EQ(r1.value, Variant(true)) << r1.message;
    EXPECT_EQ(r2.value, Variant(true)) << r2.message;
    // Serialized writers never meet: each waits alone and answers false.
    auto [w1, w2] = both("Test.rdmTeste.Write");
    EXPECT_EQ(w1.value, Variant(false)) << w1.message;
    EXPECT_EQ(w2.value, Variant(false)) << w2.message;
}

TEST(Concurrency, ADatabaseBusyPastItsTimeoutIsAFaultNotAnAnswer) {
    DemoFile file("pla-busy");
    auto conn = std::make_unique<db::SqliteConnection>(file.path, db::SqliteOptions{.busyTimeoutMs = 50});
    AppServerOptions o;
    std::vector<std::string> log;
    std::mutex logMutex;
    o.log = [&](const std::string& line) {
        std::lock_guard lock(logMutex);
        log.push_back(line);
    };
    AppServer server(std::move(conn), o);
    auto h = server.Handler();
    std::string token = signOn(h);
    db::SqliteConnection other(file.path);
    other.Begin(db::TxMode::Write);  // another process holds the write lock
    auto r = call(h, token, "Est00000.rdmEstoque.GravaLiberacao", {Variant("0001"), Variant(EncodeDate(2020, 1, 6))});
    EXPECT_EQ(r.code, net::rpc_code::InternalError) << r.value.AsString();
    EXPECT_NE(r.message.find("locked"), std::string::npos);
    EXPECT_NE(log.back().find("GravaLiberacao"), std::string::npos);
    EXPECT_NE(log.back().find(std::to_string(net::rpc_code::InternalError)), std::string::npos);
    // Reads go on meanwhile (WAL), and the write succeeds once the lock is gone.
    EXPECT_TRUE(call(h, token, "Pla02000.rdmRetirada.GetTipoReti").value.IsPacket());
    other.Rollback();
    r = call(h, token, "Est00000.rdmEstoque.GravaLiberacao", {Variant("0001"), Variant(EncodeDate(2020, 1, 6))});
    EXPECT_EQ(r.value, Variant(true)) << r.message;
}

TEST(Concurrency, AWriteRunAgainAfterAConflictStartsFromTheArgumentsAsTheyCame) {
    Dispatcher d([](db::SqlConnection&, Access access, const std::function<void()>& body) {
        if (access != Access::Write) return body();
        // A runner that loses the first attempt to a concurrent writer.
        try {
            body();
        } catch (...) {
        }
        body();
    });
    int runs = 0;
    d.Register("T", {"Bump", {{"n", ArgType::Number, true}}, [&](CallContext&, VariantArray& a) {
                         a[0] = Variant(a[0].AsInteger() + 1);
                         if (++runs == 1) throw db::SqlError("lost", db::SqlFailure::Conflict);
                         return Variant(true);
                     },
                     true, Access::Write});
    db::SqliteConnection conn(":memory:");
    CallContext ctx;
    ctx.Conn = &conn;
    auto out = d.Invoke(*d.Find("T.Bump"), {Variant(41)}, ctx);
    EXPECT_EQ(out.result.refs.at(0), Variant(42));
}

TEST(ConnectionPool, LendsEachConnectionToOneCallerAndTakesItBackRolledBack) {
    db::ConnectionPool pool(2, [] { return std::make_unique<db::SqliteConnection>(":memory:"); });
    EXPECT_EQ(pool.Size(), 2u);
    {
        auto a = pool.Acquire();
        auto b = pool.Acquire();
        EXPECT_NE(&*a, &*b);
        a->Begin(db::TxMode::Write);
        try {
            pool.Acquire(std::chrono::milliseconds(20));
            ADD_FAILURE() << "a third lease from a pool of two";
        } catch (const db::SqlError& e) {
            EXPECT_EQ(e.Failure(), db::SqlFailure::Busy);
        }
    }
    auto c = pool.Acquire();
    auto d = pool.Acquire();
    EXPECT_FALSE(c->InTransaction());
    EXPECT_FALSE(d->InTransaction());
}

TEST(CallRunner, ConflictsAreRetriedABoundedNumberOfTimesOnPostgresOnly) {
    // The runner's dialect comes from the connection: a SQLite conflict is never retried.
    CallRunner runner;
    db::SqliteConnection conn(":memory:");
    int runs = 0;
    EXPECT_THROW(runner.Run(conn, Access::Write, [&] {
        ++runs;
        throw db::SqlError("lost", db::SqlFailure::Conflict);
    }),
                 db::SqlError);
    EXPECT_EQ(runs, 1);
}
