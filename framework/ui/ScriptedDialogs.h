#pragma once
// Headless dialog service: answers from a queue and records, in order,
// everything shown. A dialog that needs an answer and finds none (or finds an
// answer meant for another kind of dialog) raises EUnexpectedDialog, never waits.
// Error boxes, OK-only message boxes and progress notes need no answer unless
// SetStrict(true); they are recorded all the same.
#include "ui/Dialogs.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One thing shown to the user.
struct DialogRecord {
    std::string Kind;                  // MessageBox, ErrorBox, OptionDialog, ProgressShow, ProgressHide, SearchList, Find
    std::string Type;                  // Information, Confirmation, Error, Warning, Custom; or progress kind
    std::string Text;                  // text, or title of lists
    std::vector<std::string> Buttons;  // button names or captions
    std::string Answer;                // what the script answered ("Yes", "10", "row 2", "cancel")
    // One line for transcripts: Kind[Type] "Text" {Buttons} -> Answer
    std::string Line() const;
};

// An answer waiting in the queue. Kind empty matches any dialog that needs an answer.
struct ScriptedAnswer {
    std::string Kind;
    int Result = 0;                             // MessageBox result or OptionDialog 10/11/12
    std::vector<int> Rows;                      // SearchList rows picked (empty = cancel)
    std::string MatchField, MatchText;          // SearchList: pick the first row whose field reads so
    std::optional<FindAnswer> FindWhat;         // Find: nothing = cancel

    static ScriptedAnswer Button(int result) { return {"MessageBox", result, {}, {}, {}, {}}; }
    static ScriptedAnswer Option(int result) { return {"OptionDialog", result, {}, {}, {}, {}}; }
    static ScriptedAnswer PickRows(std::vector<int> rows) { return {"SearchList", 0, std::move(rows), {}, {}, {}}; }
    static ScriptedAnswer PickWhere(std::string field, std::string text) {
        return {"SearchList", 0, {}, std::move(field), std::move(text), {}};
    }
    static ScriptedAnswer CancelList() { return {"SearchList", 0, {}, {}, {}, {}}; }
    static ScriptedAnswer FindText(std::string field, std::string text) {
        return {"Find", 0, {}, {}, {}, FindAnswer{std::move(field), std::move(text)}};
    }
    static ScriptedAnswer CancelFind() { return {"Find", 0, {}, {}, {}, std::nullopt}; }
};

class ScriptedDialogs : public IDialogService {
public:
    void Queue(ScriptedAnswer answer) { answers_.push_back(std::move(answer)); }
    size_t Pending() const { return answers_.size(); }
    void ClearAnswers() { answers_.clear(); }
    const std::vector<DialogRecord>& Transcript() const { return transcript_; }
    void ClearTranscript() { transcript_.clear(); }
    // Transcript lines joined by "\n".
    std::string TranscriptText() const;
    // Depth of progress notes currently shown.
    int ProgressDepth() const { return progressDepth_; }
    void SetStrict(bool strict) { strict_ = strict; }
    // Called for every record as it is made (the driver prints the transcript live).
    std::function<void(const DialogRecord&)> OnRecord;

    int MessageBox(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons,
                   int helpContext) override;
    void ErrorBox(const std::string& text) override;
    int OptionDialog(const std::string& text, TMsgDlgType type, const std::vector<std::string>& captions,
                     int number) override;
    void ShowProgress(int kind, const std::string& text) override;
    void HideProgress() override;
    std::vector<int> SearchList(const SearchListRequest& request) override;
    std::optional<FindAnswer> Find(const FindRequest& request) override;

private:
    // The next answer for `rec`, or EUnexpectedDialog naming what was shown.
    ScriptedAnswer take(DialogRecord& rec);
    void record(DialogRecord rec);

    std::deque<ScriptedAnswer> answers_;
    std::vector<DialogRecord> transcript_;
    int progressDepth_ = 0;
    bool strict_ = false;
};
