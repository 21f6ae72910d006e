#include "ServerProcess.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

ServerProcess::ServerProcess(std::string program, std::string dbUrl, std::string logPath, std::vector<std::string> extra)
    : program_(std::move(program)), dbUrl_(std::move(dbUrl)), extra_(std::move(extra)) {
    static std::atomic<int> started{0};
    logPath_ = logPath + "." + std::to_string(getpid()) + "-" + std::to_string(++started);
    start(0);
}

ServerProcess::~ServerProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

void ServerProcess::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void ServerProcess::Restart() {
    Kill();
    // The port a killed server held may be refused for a moment.
    for (int tries = 0;; ++tries) {
        try {
            start(port_);
            return;
        } catch (const std::runtime_error&) {
            if (tries >= 20) throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
}

void ServerProcess::start(int port) {
    std::vector<std::string> args = {program_, "serve", "--db", dbUrl_, "--listen",
                                     "127.0.0.1:" + std::to_string(port)};
    args.insert(args.end(), extra_.begin(), extra_.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 2, logPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int rc = posix_spawn(&pid_, program_.c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (rc != 0) throw std::runtime_error("cannot start " + program_);
    // The program names its port on standard error once it listens.
    const std::regex serving("serving .* on http://127\\.0\\.0\\.1:([0-9]+)/rpc");
    int bound = 0;
    for (int tries = 0; tries < 300 && bound == 0; ++tries) {
        std::ifstream log(logPath_);
        std::string line;
        std::smatch m;
        while (std::getline(log, line))
            if (std::regex_search(line, m, serving)) bound = std::stoi(m[1]);
        if (bound != 0) break;
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error(program_ + " did not start; see " + logPath_);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (bound == 0) {
        Kill();
        throw std::runtime_error(program_ + " did not start in time; see " + logPath_);
    }
    port_ = bound;
}
