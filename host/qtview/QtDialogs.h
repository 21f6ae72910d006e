#pragma once
// The toolkit's dialog service shown with Qt: message boxes with the
// platform's Portuguese button texts, the error box, the option dialog with
// its captioned buttons (10, 11, 12), a non-blocking progress note, search
// lists as a filterable table and the find dialog. Modal ones run Qt's own
// nested loop; dialogs open over the window that is active.
#include "ui/Dialogs.h"

#include <QPointer>
#include <memory>

class QWidget;

namespace qtview {

class ProgressNote;

class QtDialogs : public IDialogService {
public:
    // fallbackParent: used when no window is active (may be null).
    explicit QtDialogs(QWidget* fallbackParent = nullptr);
    ~QtDialogs() override;

    int MessageBox(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons,
                   int helpContext) override;
    void ErrorBox(const std::string& text) override;
    int OptionDialog(const std::string& text, TMsgDlgType type, const std::vector<std::string>& captions,
                     int number) override;
    void ShowProgress(int kind, const std::string& text) override;
    void HideProgress() override;
    std::vector<int> SearchList(const SearchListRequest& request) override;
    std::optional<FindAnswer> Find(const FindRequest& request) override;

    // The note while shown (tests), else null.
    QWidget* ProgressWidget() const;

private:
    QWidget* parent() const;
    QPointer<QWidget> fallback_;
    QPointer<ProgressNote> note_;
};

// Texts of the platform's buttons and dialog titles.
QString ButtonText(TMsgDlgBtn button);
QString DialogTitle(TMsgDlgType type);

}  // namespace qtview
