#include "ui/Form.h"

#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "ui/Application.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <algorithm>

TForm::TForm() { SetVisible(false); }

void TForm::SetActiveControl(TWinControl* control) {
    if (!Visible() && control && control->ParentForm() == this) {
        active_ = control;
        Changed("ActiveControl");
        return;
    }
    FocusControl(control);
}

void TForm::FocusControl(TWinControl* target) {
    if (target == active_) return;
    if (target && (target->ParentForm() != this || !target->CanFocus()))
        throw Exception("Não é possível focar um controle desabilitado ou invisível (" + target->Name() + ").");
    std::vector<TWinControl*> from, to;
    for (TWinControl* c = active_; c && c != this; c = c->Parent()) from.push_back(c);
    for (TWinControl* c = target; c && c != this; c = c->Parent()) to.push_back(c);
    while (!from.empty() && !to.empty() && from.back() == to.back()) {
        from.pop_back();
        to.pop_back();
    }
    unsigned gen = ++focusGeneration_;
    // Exits, innermost first. A control whose exit is already running (its
    // handler moves the focus itself) is not asked again.
    for (auto* c : from) {
        if (std::find(exiting_.begin(), exiting_.end(), c) != exiting_.end()) continue;
        {
            exiting_.push_back(c);
            TScopeExit saiu([this, c] { exiting_.erase(std::find(exiting_.begin(), exiting_.end(), c)); });
            c->DoExit();
        }
        // The handler focused something else itself: that move stands.
        if (focusGeneration_ != gen) return;
    }
    if (target && !target->CanFocus()) return;  // an exit handler disabled or hid it
    active_ = target;
    Changed("ActiveControl");
    for (auto it = to.rbegin(); it != to.rend(); ++it) {
        (*it)->DoEnter();
        if (focusGeneration_ != gen) return;
    }
}

void TForm::SelectFirst() {
    if (auto* first = FirstTabStop()) FocusControl(first);
}

void TForm::SetWindowState(TWindowState s) {
    if (s == windowState_) return;
    windowState_ = s;
    Changed("WindowState");
}

void TForm::SetBorderIcons(TBorderIcons b) {
    if (b == borderIcons_) return;
    borderIcons_ = b;
    Changed("BorderIcons");
}

void TForm::SetFormStyle(TFormStyle s) {
    if (s == formStyle_) return;
    formStyle_ = s;
    Changed("FormStyle");
}

bool TForm::Active() const { return Application().ActiveForm() == this; }

void TForm::VisibleChanged() {
    if (Visible()) {
        Application().FormShown(this);
        if (OnShow) OnShow(this);
    } else {
        if (OnHide) OnHide(this);
        Application().FormHidden(this);
    }
}

void TForm::Show() {
    if (destroyed_) return;
    bool wasVisible = Visible();
    SetVisible(true);
    if (!Visible()) return;  // OnShow hid it again
    Application().ActivateForm(this);
    if (!Visible() || wasVisible) return;
    // The control recorded before showing (or the first tab stop) is entered now.
    TWinControl* wanted = active_;
    active_ = nullptr;
    if (wanted && wanted->CanFocus()) FocusControl(wanted);
    else SelectFirst();
}

void TForm::Hide() { SetVisible(false); }

void TForm::SetModalResult(int r) {
    modalResult_ = r;
    Changed("ModalResult");
}

int TForm::ShowModal() {
    auto& app = Application();
    if (!app.HasInputPump())
        throw Exception("Não é possível mostrar " + Name() + " de forma modal: não há fonte de entrada do usuário.");
    if (modal_ || Visible()) throw Exception("Não é possível tornar modal uma janela visível (" + Name() + ").");
    TForm* previous = app.ActiveForm();
    modal_ = true;
    modalResult_ = 0;
    auto finished = [&]() -> bool {
        if (released_ || destroyed_) return true;
        if (!Visible()) {
            if (modalResult_ == 0) modalResult_ = mrCancel;
            return true;
        }
        if (modalResult_ == 0) return false;
        // Closing a modal form asks the same questions as closing any form.
        bool closing = false;
        app.RunUserAction([&] {
            if (!CloseQuery()) return;
            TCloseAction action = TCloseAction::caHide;
            if (OnClose) OnClose(this, action);
            if (action == TCloseAction::caNone) return;
            if (action == TCloseAction::caFree) Release();
            closing = true;
        });
        if (!closing) modalResult_ = 0;
        return closing;
    };
    {
        // A failed modal loop leaves the form hidden and no longer modal.
        TScopeFailure esconde([this] {
            if (!destroyed_ && Visible()) SetVisible(false);
        });
        TScopeExit fim([this] { modal_ = false; });
        Show();
        app.ProcessInputUntil(finished, "a janela modal " + Name());
    }
    int result = modalResult_;
    if (!destroyed_ && Visible()) SetVisible(false);
    if (previous && previous != this) {
        auto showing = app.ShowingForms();
        if (std::find(showing.begin(), showing.end(), previous) != showing.end()) app.ActivateForm(previous);
    }
    return result;
}

bool TForm::CloseQuery() {
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TForm::Close() {
    if (modal_) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    switch (action) {
        case TCloseAction::caNone: break;
        case TCloseAction::caHide: Hide(); break;
        case TCloseAction::caMinimize: SetWindowState(TWindowState::wsMinimized); break;
        case TCloseAction::caFree:
            Hide();
            Release();
            break;
    }
}

void TForm::Release() {
    if (released_) return;
    released_ = true;
    Application().ReleaseForm(this);
}

void TForm::DoCreate() {
    if (!OnCreate) return;
    Application().RunUserAction([&] { OnCreate(this); });
}

void TForm::UserClose() {
    Application().RunUserAction([&] { Close(); });
}

void TForm::UserActivate() {
    if (!Visible()) return;
    Application().RunUserAction([&] { Application().ActivateForm(this); });
}

void TForm::UserKeyDown(WORD key, TShiftState shift) {
    Application().RunUserAction([&] { RouteKey(key, shift, 0); });
}

void TForm::UserType(const std::string& utf8) {
    for (char32_t ch : Utf8ToChars(utf8)) {
        TShiftState shift;
        WORD key = CharToKey(ch, shift);
        if (ch == U'\t') ch = 0;
        Application().RunUserAction([&] { RouteKey(key, shift, ch); });
    }
}

namespace {

TMenuItem* findShortCut(TForm* form, TWinControl* target, TShortCut sc) {
    for (TControl* c = target; c; c = c->Parent())
        if (c->PopupMenu())
            if (auto* item = c->PopupMenu()->FindShortCut(sc)) return item;
    if (form->Menu()) return form->Menu()->FindShortCut(sc);
    return nullptr;
}

}  // namespace

void TForm::RouteKey(WORD key, TShiftState shift, char32_t typed) {
    const WORD original = key;
    TWinControl* target = nullptr;
    if (original != 0) {
        TMsg msg{WM_KEYDOWN, key, shift};
        bool handled = false;
        if (auto& hook = Application().OnMessage) {
            hook(msg, handled);
            if (handled) return;
            key = msg.Key;
            shift = msg.Shift;
        }
        if (key == 0) return;
        target = active_ ? active_ : this;
        if (auto* item = findShortCut(this, target, TShortCut{key, shift})) {
            item->Click();
            return;
        }
        if (keyPreview_ || target == this) {
            TWinControl::KeyDown(key, shift);
            if (key == 0) return;
        }
        if (target != this) {
            target->KeyDown(key, shift);
            if (key == 0) return;
            target->DefaultKeyDown(key, shift);
            if (key == 0) return;
        } else {
            TWinControl::DefaultKeyDown(key, shift);
            if (key == 0) return;
        }
        DialogKey(key, shift);
        if (key == 0) return;
    }
    // The character: the typed one, unless a handler rewrote the key.
    char32_t ch = (key == original && typed != 0) ? typed : KeyToChar(key, shift);
    if (original == 0) ch = typed;
    if (ch == 0) return;
    target = active_ ? active_ : this;
    if (keyPreview_ || target == this) {
        TWinControl::KeyPress(ch);
        if (ch == 0) return;
    }
    if (target != this) {
        target->KeyPress(ch);
        if (ch == 0) return;
        target->DefaultKeyPress(ch);
    }
}

namespace {

TButton* findButton(const TWinControl* container, bool wantDefault) {
    for (auto* c : container->ControlList()) {
        if (auto* b = dynamic_cast<TButton*>(c))
            if ((wantDefault ? b->Default : b->Cancel) && b->Showing() && b->EnabledChain()) return b;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (auto* b = findButton(w, wantDefault)) return b;
    }
    return nullptr;
}

}  // namespace

void TForm::DialogKey(WORD& key, TShiftState shift) {
    if (!shift.Empty()) return;
    if (key == VK_RETURN) {
        // Enter on a button clicks that button; elsewhere the default button.
        if (dynamic_cast<TButton*>(active_)) return;
        if (auto* b = findButton(this, true)) {
            key = 0;
            b->Click();
        }
    } else if (key == VK_ESCAPE) {
        if (auto* b = findButton(this, false)) {
            key = 0;
            b->Click();
        }
    }
}

void TForm::ControlRemoved(TControl* control) {
    for (TControl* c = active_; c; c = c->Parent())
        if (c == control) {
            active_ = nullptr;
            Changed("ActiveControl");
            return;
        }
}

void TForm::ControlDisabledOrHidden(TControl* control) { ControlRemoved(control); }

void TForm::DoActivate() {
    if (OnActivate) OnActivate(this);
}

void TForm::DoDeactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TForm::BeforeDestruction() {
    if (destroyed_) return;
    destroyed_ = true;
    Application().FormDestroying(this);
    if (OnDestroy) Application().RunUserAction([&] { OnDestroy(this); });
    active_ = nullptr;
    TContainer::BeforeDestruction();
}
