#pragma once
// Runs the workload against real pla-appserver processes over loopback HTTP
// and checks the invariants meanwhile and at the end (Invariants.h).
//
// RunLoad: `clients` operators (Workload.h), spread over `servers` processes
// over one database, until `operations` operations are done in all; a
// separate reader checks the invariants at random moments (on average every
// `checkEvery`) and once more after the last operation, with the models.
// RunCrash: one server and two operators doing only confirmations and
// deletions, some of their connections reset mid-answer; the server is
// killed (SIGKILL) at a random moment `iterations` times, the invariants and
// the engine's consistency checked while it is down, and it is started again;
// the operators send their lost calls again until it answers.
// Both need a demo database (init-db --demo) and throw Exception when a
// server does not start.
#include "Workload.h"

#include <chrono>
#include <string>
#include <vector>

namespace integrity {

struct LoadOptions {
    std::string program;  // pla-appserver
    std::string dbUrl;
    std::string logDir;   // the servers' logs
    int servers = 1;
    int threads = 4;      // --threads of each server
    int clients = 16;
    int64_t operations = 1000;
    uint32_t seed = 1;
    double lossRate = 0.1;
    int maxItems = 6;             // typed items of a new withdrawal
    bool everyProduct = false;    // type every stocked product (StockedProducts), not a few
    std::chrono::milliseconds checkEvery{500};
};

struct CrashOptions {
    std::string program, dbUrl, logDir;
    int iterations = 10;
    uint32_t seed = 1;
    std::chrono::milliseconds longestRun{150};  // a server lives up to this between kills
};

struct Report {
    Figures figures;
    double seconds = 0;
    int64_t checks = 0;
    int iterations = 0;                   // kills survived (RunCrash)
    std::vector<std::string> violations;  // must stay empty
    std::string engineNote;
    std::string Text() const;  // the figures, one per line
};

Report RunLoad(const LoadOptions& options);
Report RunCrash(const CrashOptions& options);

}  // namespace integrity
