#include "Parser.h"

#include "core/Text.h"

namespace script {

std::vector<Token> Tokenize(std::string_view line, int lineNo) {
    std::vector<Token> tokens;
    size_t i = 0;
    const size_t n = line.size();
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (i < n) {
        if (space(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        Token t;
        if (line[i] == '~' && i + 1 < n && line[i + 1] == '"') {
            t.tilde = true;
            ++i;
        }
        if (line[i] == '"') {
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < n) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\') {
                    if (i >= n) break;
                    char e = line[i++];
                    if (e == '"' || e == '\\') t.text += e;
                    else if (e == 'n') t.text += '\n';
                    else if (e == 'r') t.text += '\r';
                    else throw ScenarioError(lineNo, std::string("unknown escape \\") + e);
                    continue;
                }
                t.text += c;
            }
            if (!closed) throw ScenarioError(lineNo, "unterminated quote");
            // A quoted argument ends where its quote does.
            if (i < n && !space(line[i]) && line[i] != '#')
                throw ScenarioError(lineNo, "text right after a closing quote: " + std::string(line.substr(i)));
        } else {
            while (i < n && !space(line[i])) {
                if (line[i] == '"') throw ScenarioError(lineNo, "quote inside a word");
                t.text += line[i++];
            }
        }
        tokens.push_back(std::move(t));
    }
    return tokens;
}

std::vector<Command> ParseScenario(std::string_view text) {
    std::vector<Command> commands;
    int lineNo = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        ++lineNo;
        pos = end + 1;
        auto tokens = Tokenize(line, lineNo);
        if (tokens.empty()) {
            if (end == text.size()) break;
            continue;
        }
        if (tokens[0].quoted) throw ScenarioError(lineNo, "a command cannot be quoted");
        Command c;
        c.line = lineNo;
        c.verb = text::Lower(tokens[0].text);
        c.args.assign(tokens.begin() + 1, tokens.end());
        // The echo shows the line as written, without its comment.
        std::string src(line);
        bool inQuote = false;
        for (size_t k = 0; k < src.size(); ++k) {
            if (src[k] == '\\' && inQuote) {
                ++k;
                continue;
            }
            if (src[k] == '"') inQuote = !inQuote;
            if (src[k] == '#' && !inQuote) {
                src.resize(k);
                break;
            }
        }
        c.source = text::Trim(src);
        commands.push_back(std::move(c));
        if (end == text.size()) break;
    }
    return commands;
}

}  // namespace script
