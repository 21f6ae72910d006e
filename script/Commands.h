#pragma once
// Running a scenario: set-up commands, the user's actions, queued answers,
// expectations and dumps, one line at a time. The runner is also the input
// pump of the toolkit's nested loop: while a modal form is shown, the lines
// that follow are run from inside that loop and act on the modal form, until
// it closes and the line that opened it completes.
#include "Parser.h"

#include "ui/Keys.h"

#include <string>
#include <vector>

namespace script {

class Driver;
class Transcript;

// Checks every line before anything runs: known command, argument count and
// shape. Throws ScenarioError at the first bad line.
void Validate(const std::vector<Command>& commands);

// A key as `key NAME` writes it: "Enter", "Ctrl+Delete", "Alt+PageDown", "F12",
// "Decimal", "Period", a single character. Throws ScenarioError.
struct KeyStroke {
    WORD key = 0;
    TShiftState shift;
    char32_t typed = 0;  // the character for a single-character key
};
KeyStroke ParseKey(const std::string& name, int line);

class Runner {
public:
    // Installs itself as the application's input pump. A message shown and
    // never expected fails the run at its end, unless `lenient` (then it is a note).
    Runner(std::vector<Command> commands, Driver& driver, Transcript& transcript, bool lenient = false);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Runs every line and prints the summary. Returns the exit status:
    // 0 every expectation held, 1 one failed (or the run stopped on an
    // unexpected dialog), 2 the scenario is malformed.
    int Run();

private:
    bool step();  // runs the next line; false at the end
    void execute(const Command& c);
    void signOn(const Command& c);
    void set(const Command& c);
    void answer(const Command& c);
    void pick(const Command& c);
    void find(const Command& c);
    void row(const Command& c);
    void dump(const Command& c);

    std::vector<Command> commands_;
    size_t next_ = 0;
    int line_ = 0;  // line being run (innermost)
    Driver& driver_;
    Transcript& t_;
    bool lenient_;
};

}  // namespace script
