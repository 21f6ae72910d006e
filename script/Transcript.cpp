#include "Transcript.h"

namespace script {

std::string NormalizeBreaks(const std::string& text) {
    std::string s;
    s.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            s += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            s += text[i];
        }
    }
    return s;
}

namespace {

// Continuation lines of a multi-line text stay indented under their tag.
std::string indentBreaks(const std::string& text) {
    std::string s;
    for (char c : NormalizeBreaks(text)) {
        s += c;
        if (c == '\n') s += "    ";
    }
    return s;
}

}  // namespace

void Transcript::Echo(const std::string& commandText) { out_ << commandText << '\n' << std::flush; }

void Transcript::Line(const std::string& text) { out_ << "  " << indentBreaks(text) << '\n' << std::flush; }

void Transcript::Shown(const DialogRecord& r) {
    std::string tag;
    bool message = true;
    if (r.Kind == "ErrorBox") {
        tag = "error";
    } else if (r.Kind == "MessageBox") {
        if (r.Type == "Error") tag = "error";
        else if (r.Type == "Confirmation") tag = "confirm";
        else if (r.Type == "Warning") tag = "warning";
        else tag = "info";
    } else if (r.Kind == "OptionDialog") {
        std::string text = r.Text;
        for (auto& b : r.Buttons) text += " | " + b;
        Line("[options] " + text);
        messages_.push_back(NormalizeBreaks(r.Text));
        return;
    } else if (r.Kind == "ProgressShow") {
        tag = "progress";
        message = false;
    } else if (r.Kind == "SearchList") {
        tag = "list";
        message = false;
    } else if (r.Kind == "Find") {
        tag = "find";
        message = false;
    } else {
        return;  // the note going away shows nothing
    }
    Line("[" + tag + "]" + (r.Text.empty() ? "" : " " + r.Text));
    if (message) messages_.push_back(NormalizeBreaks(r.Text));
}

void Transcript::OpenScreen(const std::string& code, const std::string& params) {
    Line("[open-screen] " + code + (params.empty() ? "" : " " + params));
}

void Transcript::Fail(int line, const std::string& what, const std::string& found) {
    ++failed_;
    out_ << "  FAILED line " << line << ": " << what;
    if (!found.empty()) out_ << " (found: " << indentBreaks(found) << ")";
    out_ << '\n' << std::flush;
}

void Transcript::Summary() { out_ << passed_ << " passed, " << failed_ << " failed\n" << std::flush; }

std::optional<std::string> Transcript::TakeMessage() {
    if (messages_.empty()) return std::nullopt;
    std::string m = std::move(messages_.front());
    messages_.pop_front();
    return m;
}

}  // namespace script
