#pragma once
// Page control and its tab sheets. A user's tab change asks OnChanging
// (which may refuse) and then runs OnChange; setting the active page from
// code runs neither. Controls on a page that is not active are not showing,
// so they cannot take the focus.
#include "ui/Control.h"

#include <functional>
#include <vector>

class TPageControl;

class TTabSheet : public TContainer {
public:
    std::string ClassName() const override { return "TTabSheet"; }
    // Puts the sheet into a page control (as its last page); null removes it.
    void SetPageControl(TPageControl* pc);
    TPageControl* PageControl() const { return pageControl_; }
    int PageIndex() const;
    // Whether its tab is shown; a hidden tab cannot be chosen by the user.
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool v);
    bool Showing() const override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TWinControl {
public:
    ~TPageControl() override;
    std::string ClassName() const override { return "TPageControl"; }

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const { return active_; }
    int ActivePageIndex() const;
    // From code: no events. A sheet of another control is refused (Exception).
    void SetActivePage(TTabSheet* page);
    void SetActivePageIndex(int index);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    // The user clicks a tab: only a visible, enabled tab of an enabled
    // control; OnChanging may refuse; then the page changes and OnChange runs.
    // Exceptions go to the application's error handler. Returns whether the page changed.
    bool UserSelectPage(TTabSheet* page);
    // Ctrl+Tab / Ctrl+Shift+Tab go to the next / previous usable tab.
    void DefaultKeyDown(WORD& key, TShiftState shift) override;

    // Used by TTabSheet.
    void AddPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);

private:
    // The change itself as the user makes it (events included).
    bool changeByUser(TTabSheet* page);
    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
};
