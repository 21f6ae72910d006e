// pla-script: plays a scenario against the screen package with the headless
// toolkit and an application server, prints the transcript and exits 0 when
// every expectation held, 1 when one failed (or a message was shown and never
// expected, unless --lenient), 2 when the scenario is malformed.
#include "Commands.h"
#include "Driver.h"
#include "Parser.h"
#include "Transcript.h"

#include <CLI/CLI.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <sstream>

namespace {

int runOne(const std::string& file, const script::DriverOptions& options, bool lenient) {
    std::string text;
    if (file == "-") {
        std::ostringstream s;
        s << std::cin.rdbuf();
        text = s.str();
    } else {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cerr << "pla-script: cannot read " << file << "\n";
            return 2;
        }
        std::ostringstream s;
        s << in.rdbuf();
        text = s.str();
    }
    script::Transcript transcript(std::cout);
    std::vector<script::Command> commands;
    try {
        commands = script::ParseScenario(text);
        script::Validate(commands);
    } catch (const script::ScenarioError& e) {
        std::cout << file << ": MALFORMED " << e.what() << "\n";
        return 2;
    }
    try {
        script::Driver driver(options, transcript);
        script::Runner runner(std::move(commands), driver, transcript, lenient);
        return runner.Run();
    } catch (const std::exception& e) {
        std::cout << file << ": " << e.what() << "\n";
        return 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"pla-script: runs scenario files against the withdrawal screen"};
    std::vector<std::string> files;
    script::DriverOptions options;
    app.add_option("files", files, "scenario files; - reads standard input")->required();
    app.add_option("--module", options.modulePath, "screen module to load (default: ../lib/libpla02000.so)");
    app.add_option("--db", options.dbUrl, "database to run against instead of a fresh one: sqlite:PATH, postgresql://USER@HOST:PORT/DBNAME "
                   "(also postgres://) or libpq's key=value form (\"host=/run/postgresql dbname=pla\")");
    app.add_option("--server", options.serverUrl, "running application server (http://HOST:PORT) instead of one in process");
    bool lenient = false;
    app.add_flag("--lenient", lenient, "a message shown and never expected is only a note, not a failure");
    CLI11_PARSE(app, argc, argv);

    if (files.size() == 1) return runOne(files[0], options, lenient);
    // Each scenario gets a process of its own: the screen, the user context and
    // the application are one per process.
    int worst = 0;
    for (auto& f : files) {
        std::cout << "== " << f << "\n" << std::flush;
        pid_t pid = fork();
        if (pid < 0) {
            std::cerr << "pla-script: cannot start a process for " << f << "\n";
            return 2;
        }
        if (pid == 0) {
            int rc = runOne(f, options, lenient);
            std::cout << std::flush;
            _exit(rc);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        int rc = WIFEXITED(status) ? WEXITSTATUS(status) : 2;
        worst = std::max(worst, rc);
    }
    return worst;
}
