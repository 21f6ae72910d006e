#pragma once
// The system clipboard, text only. Headless it is a process-wide text; the
// Qt view mirrors it to the real clipboard, the scenario driver fills it for
// a paste.
#include <string>

class TClipboard {
public:
    const std::string& AsText() const { return text_; }
    void SetAsText(std::string text) { text_ = std::move(text); }
    bool HasText() const { return !text_.empty(); }
    void Clear() { text_.clear(); }

private:
    std::string text_;
};

// The process's clipboard.
TClipboard& Clipboard();
