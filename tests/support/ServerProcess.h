#pragma once
// A pla-appserver process serving a database on a loopback port, for tests
// that need the real program: started by the constructor (waits until it
// names its port on standard error, written to logPath), stopped with
// SIGTERM when destroyed, or killed at any moment with Kill (SIGKILL: no
// clean-up of any kind) and started again with Restart on the same port.
// Throws std::runtime_error when the program does not come up.
#include <string>
#include <sys/types.h>
#include <vector>

class ServerProcess {
public:
    ServerProcess(std::string program, std::string dbUrl, std::string logPath, std::vector<std::string> extra = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int Port() const { return port_; }
    void Kill();     // SIGKILL and reap; no-op when not running
    void Restart();  // Kill when running, then start again on Port()

private:
    void start(int port);
    std::string program_, dbUrl_, logPath_;
    std::vector<std::string> extra_;
    pid_t pid_ = -1;
    int port_ = 0;
};
