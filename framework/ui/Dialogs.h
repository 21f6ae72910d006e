#pragma once
// The one interface through which everything modal or notice-like reaches the
// user: message boxes, the error box, the option dialog, the progress note,
// search lists and the find dialog. The Qt view implements it with real
// dialogs; ScriptedDialogs answers from a queue. Search lists and the find
// dialog receive plain rows of text, so the service knows nothing of datasets.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = std::vector<TMsgDlgBtn>;

// Standard results of a modal dialog or form.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
              mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;
// The result a button gives.
int ButtonResult(TMsgDlgBtn button);
std::string DlgTypeName(TMsgDlgType type);   // "Information", "Confirmation", ...
std::string ButtonName(TMsgDlgBtn button);   // "Yes", "No", "OK", ...

// Failures of a scripted session that no handler may swallow: the script
// driver and the tests recognise them and report them as failures.
class EScriptFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// A dialog was shown that the script had no answer for (or another answer was queued).
class EUnexpectedDialog : public EScriptFailure {
public:
    using EScriptFailure::EScriptFailure;
};

struct SearchColumn {
    std::string FieldName;
    std::string Title;
};
// A list the user picks rows from. Rows are the texts of the columns.
struct SearchListRequest {
    std::string Title;
    std::vector<SearchColumn> Columns;
    std::vector<std::vector<std::string>> Rows;
    bool MultiSelect = false;
    int CurrentRow = -1;  // row shown selected at start
};
// The find dialog: the user picks a column and types what to look for.
struct FindRequest {
    std::string Title;
    std::vector<SearchColumn> Columns;
};
struct FindAnswer {
    std::string FieldName;
    std::string Text;
};

class IDialogService {
public:
    virtual ~IDialogService() = default;
    // Modal message box; returns the result of the button pressed (mrYes ...).
    virtual int MessageBox(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons,
                           int helpContext) = 0;
    // Error box with an OK button (exception texts, validation errors).
    virtual void ErrorBox(const std::string& text) = 0;
    // Option dialog: two or three captioned buttons; returns 10, 11 or 12 for
    // the first, second or third (the first when closed otherwise).
    virtual int OptionDialog(const std::string& text, TMsgDlgType type, const std::vector<std::string>& captions,
                             int number) = 0;
    // Modeless progress note; kinds pick the animation. Hide removes it.
    virtual void ShowProgress(int kind, const std::string& text) = 0;
    virtual void HideProgress() = 0;
    // Indexes of the rows picked (one unless MultiSelect); empty when cancelled.
    virtual std::vector<int> SearchList(const SearchListRequest& request) = 0;
    // What to find, or nothing when cancelled.
    virtual std::optional<FindAnswer> Find(const FindRequest& request) = 0;
};

// The application's dialog service (see TApplication::SetDialogs).
IDialogService& Dialogs();

// The platform's standard message box.
int MessageDlg(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons, int helpContext = 0);
void ShowMessage(const std::string& text);
