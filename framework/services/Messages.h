#pragma once
// TMessages: a form's keyed message catalog. The resource text has one entry
// per line, "key|text": the key is everything before the first "|", the text
// everything after it, blanks included. In a text "\n" stands for a line
// break and "\\" for a backslash. Empty lines are skipped; a CR before the
// line end is dropped. Keys are looked up without regard to case.
#include "ui/Component.h"
#include "ui/Dialogs.h"

#include <string>
#include <string_view>
#include <vector>

class TMessages : public TComponent {
public:
    std::string ClassName() const override { return "TMessages"; }

    // Replaces the entries. Throws Exception naming the line for a line
    // without "|", an empty key, or a key repeated without regard to case.
    void LoadFromText(std::string_view resource);
    // Reads the file and loads it; Exception when it cannot be read.
    void LoadFromFile(const std::string& path);
    // Adds one entry (same checks as loading).
    void Add(const std::string& key, const std::string& text);
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Has(const std::string& key) const;

    // The text of the key. A key the catalog does not hold gives the key
    // itself, so a missing entry shows up on screen instead of a blank box.
    std::string Msg(const std::string& key) const;
    // The text with its "%s" replaced by args in order.
    std::string Msg(const std::string& key, const std::vector<std::string>& args) const;
    // Looks the key up and shows a message box; returns the button pressed.
    int ShowMsg(const std::string& key, TMsgDlgType type, const TMsgDlgButtons& buttons, int helpContext = 0) const;

private:
    struct Entry {
        std::string key, text;
    };
    const Entry* find(const std::string& key) const;
    std::vector<Entry> entries_;
};
