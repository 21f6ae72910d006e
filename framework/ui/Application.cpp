#include "ui/Application.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "ui/Form.h"
#include "ui/ScriptedDialogs.h"

#include <algorithm>

TApplication& Application() {
    static TApplication app;
    return app;
}

TApplication::TApplication() {
    // The observer list must outlive the application (statics die in reverse order).
    RemoveChangeObserver(0);
    SetName("Application");
    dialogs_ = std::make_unique<ScriptedDialogs>();
}

TApplication::~TApplication() {
    // At process exit the forms go without events: their modules may be gone.
    zorder_.clear();
    active_ = nullptr;
}

TForm* TApplication::ActiveForm() const { return active_; }

std::vector<TForm*> TApplication::ShowingForms() const { return zorder_; }

void TApplication::ActivateForm(TForm* form) {
    if (!form || form == active_ || !form->Visible()) return;
    TForm* old = active_;
    auto it = std::find(zorder_.begin(), zorder_.end(), form);
    if (it != zorder_.end()) zorder_.erase(it);
    zorder_.push_back(form);
    active_ = form;
    Changed("ActiveForm");
    if (old) old->DoDeactivate();
    if (active_ == form) form->DoActivate();
}

void TApplication::FormCreated(TForm* form) {
    if (!mainForm_) mainForm_ = form;
    form->DoCreate();
}

void TApplication::FormShown(TForm* form) {
    if (std::find(zorder_.begin(), zorder_.end(), form) == zorder_.end()) zorder_.insert(zorder_.begin(), form);
}

void TApplication::FormHidden(TForm* form) {
    auto it = std::find(zorder_.begin(), zorder_.end(), form);
    if (it != zorder_.end()) zorder_.erase(it);
    if (active_ != form) return;
    active_ = nullptr;
    form->DoDeactivate();
    if (!zorder_.empty()) ActivateForm(zorder_.back());
    else Changed("ActiveForm");
}

void TApplication::FormDestroying(TForm* form) {
    zorder_.erase(std::remove(zorder_.begin(), zorder_.end(), form), zorder_.end());
    released_.erase(std::remove(released_.begin(), released_.end(), form), released_.end());
    if (mainForm_ == form) mainForm_ = nullptr;
    if (locked_ == form) locked_ = nullptr;
    if (active_ == form) {
        active_ = nullptr;
        if (!zorder_.empty()) ActivateForm(zorder_.back());
    }
}

void TApplication::HandleException(const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e)) return;
    if (OnException) {
        OnException(e);
        return;
    }
    DialogService().ErrorBox(e.what());
}

void TApplication::RunUserAction(const std::function<void()>& action) {
    struct Depth {
        int& d;
        explicit Depth(int& depth) : d(depth) { ++d; }
        ~Depth() { --d; }
    };
    {
        Depth depth(actionDepth_);
        try {
            action();
        } catch (const EScriptFailure&) {
            throw;
        } catch (const std::exception& e) {
            HandleException(e);
        }
    }
    if (actionDepth_ == 0) {
        ProcessMessages();
        if (OnIdle) OnIdle();
    }
}

TComponent* TApplication::FindComponentPath(const std::string& path) const {
    const TComponent* at = this;
    for (auto& name : text::Split(path, '.')) {
        at = at->FindComponentDeep(text::Trim(name));
        if (!at) return nullptr;
    }
    return at == this ? nullptr : const_cast<TComponent*>(at);
}

IDialogService& TApplication::DialogService() { return *dialogs_; }

void TApplication::SetDialogs(std::unique_ptr<IDialogService> dialogs) {
    dialogs_ = dialogs ? std::move(dialogs) : std::make_unique<ScriptedDialogs>();
}

void TApplication::ProcessInputUntil(const std::function<bool()>& done, const std::string& what) {
    if (!pump_) throw Exception("Não há fonte de entrada do usuário para " + what + ".");
    // The loop counts as a running action: forms released inside it wait for
    // the outermost action to end.
    ++actionDepth_;
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{actionDepth_};
    while (!done()) {
        if (!pump_()) throw EInputExhausted("A entrada do usuário terminou com " + what + " aberta.");
    }
}

void TApplication::ProcessMessages() {
    while (!released_.empty()) {
        TForm* f = released_.front();
        released_.erase(released_.begin());
        if (auto* owner = f->Owner()) owner->DestroyComponent(f);
    }
}

void TApplication::SetCursor(TCursor c) {
    if (c == cursor_) return;
    cursor_ = c;
    Changed("Cursor");
}

void TApplication::SetScreenSize(int width, int height) {
    screenW_ = width;
    screenH_ = height;
    Changed("ScreenSize");
}

void TApplication::SetMainClientHeight(int h) {
    mainClientHeight_ = h;
    Changed("MainClientHeight");
}

void TApplication::LockWindowUpdate(TForm* form) {
    locked_ = form;
    Changed("WindowUpdateLock");
}

void TApplication::RequestRepaint(TForm* form) {
    ++repaints_;
    if (form) form->Invalidate();
}

void TApplication::ReleaseForm(TForm* form) {
    // Destroyed later, never under the caller's feet: at the end of the
    // outermost user action or at the next ProcessMessages.
    if (std::find(released_.begin(), released_.end(), form) == released_.end()) released_.push_back(form);
}

void TApplication::Reset() {
    while (ComponentCount() > 0) DestroyComponent(Components(ComponentCount() - 1));
    zorder_.clear();
    released_.clear();
    active_ = nullptr;
    mainForm_ = nullptr;
    OnMessage = nullptr;
    OnException = nullptr;
    OnIdle = nullptr;
    dialogs_ = std::make_unique<ScriptedDialogs>();
    pump_ = nullptr;
    cursor_ = TCursor::crDefault;
    screenW_ = 1024;
    screenH_ = 768;
    mainClientHeight_ = 700;
    locked_ = nullptr;
    repaints_ = 0;
    actionDepth_ = 0;
}
