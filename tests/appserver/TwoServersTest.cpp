// Two pla-appserver processes over one database, reached over loopback HTTP:
// a session opened at one serves at the other, and a sign-off at the first
// ends it at the second. On a fresh demo database of each back end.
#include "TestDatabase.h"
#include "net/NetConnection.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// A server process on a free loopback port; stopped when destroyed.
class ServerProcess {
public:
    ServerProcess(const std::string& dbUrl, const std::string& logPath) {
        std::vector<std::string> args = {PLA_APPSERVER, "serve", "--db", dbUrl, "--listen", "127.0.0.1:0", "--threads", "2"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 2, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int rc = posix_spawn(&pid_, PLA_APPSERVER, &files, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        if (rc != 0) throw std::runtime_error("cannot start " + std::string(PLA_APPSERVER));
        // The program names its port on standard error once it listens.
        const std::regex serving("serving .* on http://127\\.0\\.0\\.1:([0-9]+)/rpc");
        for (int tries = 0; tries < 300 && port_ == 0; ++tries) {
            std::ifstream log(logPath);
            std::string line;
            std::smatch m;
            while (std::getline(log, line))
                if (std::regex_search(line, m, serving)) port_ = std::stoi(m[1]);
            if (port_ == 0) {
                if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                    pid_ = -1;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        if (port_ == 0) throw std::runtime_error("pla-appserver did not start; see " + logPath);
    }
    ~ServerProcess() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    int Port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

std::unique_ptr<TNetConnection> connect(int port, const std::string& module, const std::string& token) {
    auto c = std::make_unique<TNetConnection>("net", module);
    c->Host = "127.0.0.1";
    c->Port = port;
    c->ThrowException = false;
    c->Token = token;
    c->Open();
    return c;
}

}  // namespace

TEST(TwoServers, ASessionOpenedAtOneServesAtTheOtherUntilSignedOffAtTheFirst) {
    const std::string url = testdb::DemoUrl();
    ServerProcess one(url, ::testing::TempDir() + "two-servers-1.log");
    ServerProcess two(url, ::testing::TempDir() + "two-servers-2.log");

    auto session = connect(one.Port(), "Session", "");
    Variant signedOn = session->Call("SignOn", {Variant("DEMO"), Variant("demo")});
    ASSERT_TRUE(signedOn.IsArray()) << signedOn.AsString();
    const std::string token = signedOn.AsArray()[0].AsString();

    auto estoque = connect(two.Port(), "Est00000.rdmEstoque", token);
    EXPECT_TRUE(estoque->Call("VerificaLiberacao", {Variant("0001"), Variant(EncodeDate(2026, 1, 5))}).IsArray());

    session->Token = token;
    EXPECT_EQ(session->Call("SignOff"), Variant(true));
    Variant refused = estoque->Call("VerificaLiberacao", {Variant("0001"), Variant(EncodeDate(2026, 1, 5))});
    ASSERT_TRUE(refused.IsString());
    EXPECT_NE(refused.AsString().find("Sessão inválida"), std::string::npos) << refused.AsString();
}
