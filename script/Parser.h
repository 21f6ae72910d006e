#pragma once
// The scenario language's lines: one command per line, '#' starts a comment
// outside quotes, arguments are words or double-quoted strings (\" \\ and \n
// inside quotes). A '~' right before a quote marks a substring match.
#include "ui/Dialogs.h"

#include <string>
#include <string_view>
#include <vector>

namespace script {

// A malformed scenario (syntax, unknown command, unknown control or field):
// the run stops with exit status 2. Passes through the toolkit's error handler.
class ScenarioError : public EScriptFailure {
public:
    ScenarioError(int line, const std::string& message)
        : EScriptFailure("line " + std::to_string(line) + ": " + message), line_(line) {}
    int Line() const { return line_; }

private:
    int line_;
};

struct Token {
    std::string text;
    bool quoted = false;  // came from "..." (so `null` in quotes is the text null)
    bool tilde = false;   // written ~"..."
};

struct Command {
    int line = 0;
    std::string verb;          // lower case
    std::vector<Token> args;
    std::string source;        // the line without its comment, trimmed
};

// Splits one line into tokens. Throws ScenarioError for an unterminated quote
// or a bad escape.
std::vector<Token> Tokenize(std::string_view line, int lineNo);

// Parses a whole scenario into commands (blank and comment lines dropped).
// Checks only the syntax of each line; Validate checks the commands.
std::vector<Command> ParseScenario(std::string_view text);

}  // namespace script
