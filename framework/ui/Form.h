#pragma once
// TForm: a top-level window of the toolkit. It holds the active control and
// applies the focus rules, routes the user's keys (application hook, menu
// shortcuts, KeyPreview, focused control, default behaviour), and shows
// itself modelessly or modally (nested input loop through the application).
#include "ui/Control.h"
#include "ui/Dialogs.h"

#include <functional>
#include <string>
#include <vector>

class TMainMenu;
class TButton;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
struct TBorderIcons {
    bool SystemMenu = true, Minimize = true, Maximize = true, Help = false;
    friend bool operator==(const TBorderIcons&, const TBorderIcons&) = default;
};

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TContainer {
public:
    TForm();
    std::string ClassName() const override { return "TForm"; }

    TNotifyEvent OnCreate, OnShow, OnHide, OnActivate, OnDeactivate, OnDestroy;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }

    // The focused control (null when none).
    TWinControl* ActiveControl() const { return active_; }
    // Same as focusing the control (focus rules apply). On a form not yet
    // shown it only records the control, which takes the focus on showing.
    void SetActiveControl(TWinControl* control);
    // Moves the focus following the focus rules: OnExit of the control left
    // and of each container left (innermost first), then OnEnter of each
    // container entered (outermost first) and of the control. An exception
    // in an exit handler keeps the focus where it was and propagates.
    void FocusControl(TWinControl* control);
    // Focus the first tab stop of the form.
    void SelectFirst();

    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu) { menu_ = menu; }

    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState s);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons b);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle s);
    // Pages count as showing only when visible; forms when shown.
    bool Showing() const override { return Visible(); }
    bool Active() const;

    // Shows the form modelessly and activates it; OnShow runs when it becomes
    // visible, and the first tab stop takes the focus when none has it.
    void Show() override;
    // Hides it (OnHide) and activates the form below.
    void Hide() override;
    // Shows the form modally: runs the application's input loop until
    // ModalResult is set (or Close is called), then hides the form and returns
    // the result. Throws Exception when no input pump is installed.
    int ShowModal();
    bool Modal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r);

    // Asks OnCloseQuery, then OnClose decides: hide (default), free, minimize or nothing.
    // On a modal form it only sets ModalResult to mrCancel.
    void Close();
    // OnCloseQuery's answer (true when there is no handler).
    virtual bool CloseQuery();
    // Destroys the form once the running user action ends.
    void Release();
    bool Released() const { return released_; }

    // Runs the creation event; an exception is shown and the form stays.
    virtual void DoCreate();

    // A user's key-down on the focused control (or the form), routed in order:
    // application hook, enabled menu shortcut, form KeyPreview/OnKeyDown,
    // control OnKeyDown, control default; then, for a key that makes a
    // character, form KeyPreview/OnKeyPress, control OnKeyPress, default.
    void UserKeyDown(WORD key, TShiftState shift = {});
    // Types UTF-8 text into the focused control, one character at a time.
    void UserType(const std::string& utf8);
    // A user's close request (the window's close button).
    void UserClose();
    // The user switches to this window.
    void UserActivate();

    // Used by the toolkit.
    void ControlRemoved(TControl* control);
    void ControlDisabledOrHidden(TControl* control);
    void DoActivate();
    void DoDeactivate();
    void BeforeDestruction() override;
    // Key routing with the character the key types (0 = derive it from the key).
    void RouteKey(WORD key, TShiftState shift, char32_t typed);

protected:
    void VisibleChanged() override;
    // Default dialog keys: Enter clicks the default button, Esc the cancel one.
    virtual void DialogKey(WORD& key, TShiftState shift);

private:
    TWinControl* active_ = nullptr;
    TMainMenu* menu_ = nullptr;
    bool keyPreview_ = false;
    TWindowState windowState_ = TWindowState::wsNormal;
    TBorderIcons borderIcons_;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    bool modal_ = false;
    int modalResult_ = 0;
    bool released_ = false;
    bool destroyed_ = false;
    unsigned focusGeneration_ = 0;
    std::vector<TWinControl*> exiting_;
};
