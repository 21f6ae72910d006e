#pragma once
// What a scenario prints: each command echoed, each thing the user would have
// seen ("  [error] TEXT", "  [confirm] TEXT", ...), failures with their line,
// and the closing "N passed, M failed". It also keeps the messages shown and
// not yet expected, oldest first, for `expect message`.
#include "ui/ScriptedDialogs.h"

#include <deque>
#include <optional>
#include <ostream>
#include <string>

namespace script {

class Transcript {
public:
    explicit Transcript(std::ostream& out) : out_(out) {}

    void Echo(const std::string& commandText);
    // A dialog record from the scripted dialog service, as the user saw it.
    void Shown(const DialogRecord& record);
    // Another screen opened by code (Morvena::LoadBPL).
    void OpenScreen(const std::string& code, const std::string& params);
    // A free line ("  [dump] ...", "  [note] ...").
    void Line(const std::string& text);

    void Pass() { ++passed_; }
    // Prints "  FAILED line N: WHAT (found: FOUND)" and counts it.
    void Fail(int line, const std::string& what, const std::string& found);
    int Passed() const { return passed_; }
    int Failed() const { return failed_; }
    // "N passed, M failed".
    void Summary();

    // Oldest message not yet expected; nothing when none is pending.
    std::optional<std::string> TakeMessage();
    size_t PendingMessages() const { return messages_.size(); }

private:
    std::ostream& out_;
    std::deque<std::string> messages_;
    int passed_ = 0, failed_ = 0;
};

// Line breaks as the user reads them in a box ("\r\n" and "\r" become "\n").
std::string NormalizeBreaks(const std::string& text);

}  // namespace script
