#include "ui/Control.h"

#include "core/Exception.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <algorithm>

// ---- TControl ----

TControl::~TControl() {
    if (parent_) SetParent(nullptr);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) {
        // A control leaving its form must not stay the form's focus.
        if (auto* form = ParentForm()) form->ControlRemoved(this);
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (parent_) parent_->InsertControl(this);
    Changed("Parent");
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c) {
        if (auto* f = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(f);
        c = c->parent_;
    }
    return nullptr;
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    if (!value)
        if (auto* form = ParentForm(); form && form != this) form->ControlDisabledOrHidden(this);
    Changed("Enabled");
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    if (!value)
        if (auto* form = ParentForm(); form && form != this) form->ControlDisabledOrHidden(this);
    VisibleChanged();
    Changed("Visible");
}

bool TControl::Showing() const {
    if (!visible_) return false;
    return parent_ ? parent_->Showing() : true;
}

bool TControl::EnabledChain() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->enabled_) return false;
    return true;
}

void TControl::SetLeft(int v) { SetBounds(v, top_, width_, height_); }
void TControl::SetTop(int v) { SetBounds(left_, v, width_, height_); }
void TControl::SetWidth(int v) { SetBounds(left_, top_, v, height_); }
void TControl::SetHeight(int v) { SetBounds(left_, top_, width_, v); }

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed("Bounds");
}

void TControl::SetAlign(TAlign a) {
    if (a == align_) return;
    align_ = a;
    Changed("Align");
}

void TControl::SetCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    Changed("Caption");
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::UserClick() {
    if (!Showing() || !EnabledChain()) return;
    Application().RunUserAction([&] { Click(); });
}

// ---- TWinControl ----

TWinControl::~TWinControl() {
    auto children = controls_;
    for (auto* c : children) c->SetParent(nullptr);
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) return nullptr;
    return controls_[static_cast<size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

void TWinControl::InsertControl(TControl* c) { controls_.push_back(c); }

void TWinControl::RemoveControl(TControl* c) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
}

int TWinControl::TabOrder() const {
    if (!Parent()) return 0;
    int i = 0;
    for (auto* c : Parent()->controls_) {
        if (c == this) return i;
        if (dynamic_cast<TWinControl*>(c)) ++i;
    }
    return -1;
}

void TWinControl::SetTabOrder(int order) {
    auto* p = Parent();
    if (!p) return;
    // Windowed siblings in their current order; move this one to `order`.
    std::vector<TControl*> win, others;
    for (auto* c : p->controls_) (dynamic_cast<TWinControl*>(c) ? win : others).push_back(c);
    win.erase(std::remove(win.begin(), win.end(), this), win.end());
    order = std::clamp(order, 0, static_cast<int>(win.size()));
    win.insert(win.begin() + order, this);
    p->controls_ = win;
    p->controls_.insert(p->controls_.end(), others.begin(), others.end());
    Changed("TabOrder");
}

void TWinControl::SetTabStop(bool value) {
    if (value == tabStop_) return;
    tabStop_ = value;
    Changed("TabStop");
}

bool TWinControl::CanFocus() const {
    return IsFocusable() && Showing() && EnabledChain() && ParentForm() != nullptr;
}

void TWinControl::SetFocus() {
    auto* form = ParentForm();
    if (!form || !CanFocus())
        throw Exception("Não é possível focar um controle desabilitado ou invisível (" + Name() + ").");
    form->FocusControl(this);
}

bool TWinControl::Focused() const {
    auto* form = ParentForm();
    return form && form->ActiveControl() == this;
}

namespace {

void collectTabOrder(const TWinControl* container, std::vector<TWinControl*>& out) {
    for (auto* c : container->ControlList()) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || dynamic_cast<TForm*>(w)) continue;
        out.push_back(w);
        collectTabOrder(w, out);
    }
}

}  // namespace

std::vector<TWinControl*> TWinControl::TabOrderList() const {
    std::vector<TWinControl*> out;
    collectTabOrder(this, out);
    return out;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
    auto list = TabOrderList();
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[static_cast<size_t>(i)] == current) start = i;
    // Without a current control the walk starts before the first (or after the last).
    if (start < 0) start = goForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = goForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == current) break;
        if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus())
            return c;
    }
    return nullptr;
}

TWinControl* TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    TWinControl* next = FindNextControl(current, goForward, checkTabStop, false);
    if (next) next->SetFocus();
    return next;
}

TWinControl* TWinControl::FirstTabStop() const {
    for (auto* c : TabOrderList())
        if (c->TabStop() && c->CanFocus()) return c;
    return nullptr;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char32_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::DefaultKeyDown(WORD& key, TShiftState shift) {
    if (key == VK_TAB && !shift.Ctrl && !shift.Alt) {
        if (auto* form = ParentForm()) form->SelectNext(this, !shift.Shift, true);
        key = 0;
    }
}

void TWinControl::DefaultKeyPress(char32_t&) {}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::UserSetFocus() {
    if (!CanFocus()) return;
    Application().RunUserAction([&] {
        if (auto* form = ParentForm()) form->FocusControl(this);
    });
}

void TWinControl::UserKeyDown(WORD key, TShiftState shift) {
    auto* form = ParentForm();
    if (!form) return;
    if (!Focused()) {
        UserSetFocus();
        if (!Focused()) return;  // the focus was refused; the key goes nowhere
    }
    form->UserKeyDown(key, shift);
}

void TWinControl::UserType(const std::string& utf8) {
    auto* form = ParentForm();
    if (!form) return;
    if (!Focused()) {
        UserSetFocus();
        if (!Focused()) return;
    }
    form->UserType(utf8);
}

void TWinControl::UserClick() {
    if (!Showing() || !EnabledChain()) return;
    // A click focuses a focusable control first, as a mouse click does.
    if (IsFocusable() && !Focused() && CanFocus()) {
        UserSetFocus();
        if (!Focused()) return;
    }
    Application().RunUserAction([&] { Click(); });
}
