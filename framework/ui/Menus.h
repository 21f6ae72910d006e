#pragma once
// Menus: items with caption, enabled, checked, visible, shortcut and click.
// A form's main menu and the popup menus of the focused control's chain take
// their shortcuts before the form's key handlers see the key.
#include "ui/Component.h"
#include "ui/Control.h"
#include "ui/Keys.h"

#include <string>
#include <vector>

class TMenuItem : public TComponent {
public:
    TMenuItem() = default;
    ~TMenuItem() override;
    std::string ClassName() const override { return "TMenuItem"; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string c);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut sc);
    void SetShortCut(const std::string& text) { SetShortCut(TextToShortCut(text)); }

    TNotifyEvent OnClick;
    // Runs OnClick (as code does).
    void Click();
    // A user's click: only when enabled and visible along the menu chain;
    // exceptions go to the application's error handler.
    void UserClick();

    // Sub-items (not owned: the form owns every item).
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* ParentItem() const { return parent_; }
    // Enabled and visible along the parent chain.
    bool Usable() const;
    // The enabled item with this shortcut, searching depth first; null when none.
    TMenuItem* FindShortCut(TShortCut sc);

private:
    std::string caption_;
    bool enabled_ = true, checked_ = false, visible_ = true;
    TShortCut shortCut_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
};

// A menu: its root item holds the top-level entries.
class TMenu : public TComponent {
public:
    TMenuItem& Items() { return root_; }
    TMenuItem* FindShortCut(TShortCut sc) { return root_.FindShortCut(sc); }

private:
    TMenuItem root_;
};

class TMainMenu : public TMenu {
public:
    std::string ClassName() const override { return "TMainMenu"; }
};

class TPopupMenu : public TMenu {
public:
    std::string ClassName() const override { return "TPopupMenu"; }
    TNotifyEvent OnPopup;
    // The user opens the menu (runs OnPopup); the view shows the items.
    void Popup();
    // The program opens the menu beside a control: at (dx, dy) pixels from
    // the control's top-left corner. The view shows it there once the running
    // handler is done; headless, the menu just reads as popped.
    void PopupAt(TControl* anchor, int dx, int dy);
    TControl* PopupAnchor() const { return anchor_; }
    int PopupDx() const { return dx_; }
    int PopupDy() const { return dy_; }
    bool Popped() const { return popped_; }
    void Close() {
        popped_ = false;
        anchor_ = nullptr;
    }

private:
    bool popped_ = false;
    TControl* anchor_ = nullptr;
    int dx_ = 0, dy_ = 0;
};
