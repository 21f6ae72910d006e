#include "ui/Pages.h"

#include "core/Exception.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <algorithm>

void TTabSheet::SetPageControl(TPageControl* pc) {
    if (pc == pageControl_) return;
    if (pageControl_) pageControl_->RemovePage(this);
    if (pc) pc->AddPage(this);
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    for (int i = 0; i < pageControl_->PageCount(); ++i)
        if (pageControl_->Pages(i) == this) return i;
    return -1;
}

void TTabSheet::SetTabVisible(bool v) {
    if (v == tabVisible_) return;
    tabVisible_ = v;
    Changed("TabVisible");
}

bool TTabSheet::Showing() const {
    if (pageControl_ && pageControl_->ActivePage() != this) return false;
    return TContainer::Showing();
}

TPageControl::~TPageControl() {
    for (auto* p : pages_) p->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount()) return nullptr;
    return pages_[static_cast<size_t>(index)];
}

int TPageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }

void TPageControl::AddPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    if (page->Parent() != this) page->SetParent(this);
    if (!active_) active_ = page;
    Changed("Pages");
}

void TPageControl::RemovePage(TTabSheet* page) {
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    page->pageControl_ = nullptr;
    if (active_ == page) active_ = pages_.empty() ? nullptr : pages_.front();
    Changed("Pages");
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page == active_) return;
    if (page && page->PageControl() != this)
        throw Exception("A página " + page->Name() + " não pertence a " + Name() + ".");
    TTabSheet* old = active_;
    active_ = page;
    // The focus cannot stay on a page that is no longer shown.
    if (old)
        if (auto* form = ParentForm()) form->ControlDisabledOrHidden(old);
    Changed("ActivePage");
}

void TPageControl::SetActivePageIndex(int index) { SetActivePage(Pages(index)); }

bool TPageControl::changeByUser(TTabSheet* page) {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return false;
    SetActivePage(page);
    if (OnChange) OnChange(this);
    return true;
}

bool TPageControl::UserSelectPage(TTabSheet* page) {
    if (!page || page == active_ || page->PageControl() != this) return false;
    if (!Showing() || !EnabledChain() || !page->TabVisible() || !page->Enabled()) return false;
    bool changed = false;
    Application().RunUserAction([&] { changed = changeByUser(page); });
    return changed;
}

void TPageControl::DefaultKeyDown(WORD& key, TShiftState shift) {
    if (key == VK_TAB && shift.Ctrl && !pages_.empty()) {
        int n = PageCount();
        int i = std::max(ActivePageIndex(), 0);
        for (int step = 1; step < n; ++step) {
            TTabSheet* p = Pages((i + (shift.Shift ? -step : step) + n * step) % n);
            if (p->TabVisible() && p->Enabled()) {
                changeByUser(p);
                break;
            }
        }
        key = 0;
        return;
    }
    if ((key == VK_LEFT || key == VK_RIGHT) && shift.Empty() && !pages_.empty()) {
        int n = PageCount();
        int i = std::max(ActivePageIndex(), 0);
        for (int j = i + (key == VK_RIGHT ? 1 : -1); j >= 0 && j < n; j += (key == VK_RIGHT ? 1 : -1)) {
            TTabSheet* p = Pages(j);
            if (p->TabVisible() && p->Enabled()) {
                changeByUser(p);
                break;
            }
        }
        key = 0;
        return;
    }
    TWinControl::DefaultKeyDown(key, shift);
}
