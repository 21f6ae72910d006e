#include "ui/Menus.h"

#include "ui/Application.h"

#include <algorithm>

TMenuItem::~TMenuItem() {
    if (parent_) parent_->Remove(this);
    for (auto* item : items_) item->parent_ = nullptr;
}

void TMenuItem::SetCaption(std::string c) {
    if (c == caption_) return;
    caption_ = std::move(c);
    Changed("Caption");
}

void TMenuItem::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Changed("Enabled");
}

void TMenuItem::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    Changed("Checked");
}

void TMenuItem::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Changed("Visible");
}

void TMenuItem::SetShortCut(TShortCut sc) {
    if (sc == shortCut_) return;
    shortCut_ = sc;
    Changed("ShortCut");
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

void TMenuItem::UserClick() {
    if (!Usable()) return;
    Application().RunUserAction([&] { Click(); });
}

void TMenuItem::Add(TMenuItem* item) {
    if (!item || item == this) return;
    if (item->parent_) item->parent_->Remove(item);
    item->parent_ = this;
    items_.push_back(item);
    Changed("Items");
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    Changed("Items");
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<size_t>(index)];
}

bool TMenuItem::Usable() const {
    for (const TMenuItem* m = this; m; m = m->parent_)
        if (!m->enabled_ || !m->visible_) return false;
    return true;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut sc) {
    if (sc.Empty()) return nullptr;
    for (auto* item : items_) {
        if (!item->enabled_ || !item->visible_) continue;
        if (item->shortCut_ == sc) return item;
        if (auto* sub = item->FindShortCut(sc)) return sub;
    }
    return nullptr;
}

void TPopupMenu::PopupAt(TControl* anchor, int dx, int dy) {
    if (OnPopup) OnPopup(this);
    anchor_ = anchor;
    dx_ = dx;
    dy_ = dy;
    popped_ = true;
    Changed("PopupAt");
}

void TPopupMenu::Popup() {
    Application().RunUserAction([&] {
        if (OnPopup) OnPopup(this);
        popped_ = true;
        Changed("Popup");
    });
}
