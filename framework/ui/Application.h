#pragma once
// TApplication: the one per process. It owns the forms it creates, knows the
// main and the active form, holds the key hook (OnMessage), the dialog
// service, the cursor, window-update locks and the screen size, and runs the
// nested input loop of modal forms through an injectable input pump.
#include "ui/Component.h"
#include "ui/Dialogs.h"
#include "ui/Keys.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TForm;

// The input pump ran dry while a modal form waited for input: a script that
// ends inside a dialog. Not an Exception, so no handler swallows it.
class EInputExhausted : public EScriptFailure {
public:
    using EScriptFailure::EScriptFailure;
};

enum class TCursor { crDefault, crHourGlass };

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    std::string ClassName() const override { return "TApplication"; }

    // Creates a form owned by the application (or by `owner`) and runs its
    // creation event (an exception there goes to the error handler, as the
    // form still exists). The first form created becomes the main form.
    template <class T, class... Args>
    T* CreateForm(std::string name, Args&&... args) {
        return CreateFormOwned<T>(this, std::move(name), std::forward<Args>(args)...);
    }
    template <class T, class... Args>
    T* CreateFormOwned(TComponent* owner, std::string name, Args&&... args) {
        T* f = TComponent::Create<T>(owner, std::move(name), std::forward<Args>(args)...);
        FormCreated(f);
        return f;
    }

    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }
    // The form that receives the user's input: the last shown or activated.
    TForm* ActiveForm() const;
    // Makes a showing form the active one (deactivation, then activation events).
    void ActivateForm(TForm* form);
    // Forms currently showing, oldest first.
    std::vector<TForm*> ShowingForms() const;

    // Key hook: sees every key-down before the forms; may rewrite msg.Key or
    // set handled. Empty = no hook.
    std::function<void(TMsg& msg, bool& handled)> OnMessage;

    // Shows an exception as the user sees it: the error box, nothing for
    // EAbort. OnException, when set, replaces the box.
    void HandleException(const std::exception& e);
    std::function<void(const std::exception& e)> OnException;
    // Runs a user's action: exceptions go to HandleException, except the
    // script failures, which propagate. Forms released meanwhile are destroyed
    // when the outermost action ends.
    void RunUserAction(const std::function<void()>& action);

    // Runs after each outermost user action (when the application would idle).
    std::function<void()> OnIdle;
    // A component by path "form.component" (names without regard to case):
    // the first name is a form (or any component) owned by the application,
    // each next one is searched among what the previous owns, at any depth.
    // Null when a name is missing.
    TComponent* FindComponentPath(const std::string& path) const;

    // The dialog service; a ScriptedDialogs with no answers until one is set.
    IDialogService& DialogService();
    void SetDialogs(std::unique_ptr<IDialogService> dialogs);

    // Input pump: delivers one piece of user input (or waits for it) and
    // returns false when no more input will come.
    void SetInputPump(std::function<bool()> pump) { pump_ = std::move(pump); }
    bool HasInputPump() const { return static_cast<bool>(pump_); }
    // Keeps pumping input until `done` holds. Throws Exception without a pump
    // and EInputExhausted when the pump runs dry first.
    void ProcessInputUntil(const std::function<bool()>& done, const std::string& what);
    // Destroys the forms released since the last call.
    void ProcessMessages();

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);
    int ScreenWidth() const { return screenW_; }
    int ScreenHeight() const { return screenH_; }
    void SetScreenSize(int width, int height);
    // Client height of the main window (the MDI area the screens sit in).
    int MainClientHeight() const { return mainClientHeight_; }
    void SetMainClientHeight(int h);

    // Window-update lock as the Windows call: a form locks, null unlocks.
    // Views skip repainting while WindowUpdateLocked().
    void LockWindowUpdate(TForm* form);
    bool WindowUpdateLocked() const { return locked_ != nullptr; }
    TForm* LockedForm() const { return locked_; }
    // Repaint requests counted for views and tests.
    void RequestRepaint(TForm* form);
    int RepaintRequests() const { return repaints_; }

    // Schedules destruction of a form (Release).
    void ReleaseForm(TForm* form);
    // Destroys all forms and resets hooks, settings and the dialog service.
    void Reset();

    // Used by forms.
    void FormShown(TForm* form);
    void FormHidden(TForm* form);
    void FormDestroying(TForm* form);
    void FormCreated(TForm* form);

private:
    TForm* mainForm_ = nullptr;
    std::vector<TForm*> zorder_;  // showing forms, active last
    TForm* active_ = nullptr;
    std::unique_ptr<IDialogService> dialogs_;
    std::function<bool()> pump_;
    std::vector<TForm*> released_;
    int actionDepth_ = 0;
    TCursor cursor_ = TCursor::crDefault;
    int screenW_ = 1024, screenH_ = 768, mainClientHeight_ = 700;
    TForm* locked_ = nullptr;
    int repaints_ = 0;
};

// The process's application.
TApplication& Application();
