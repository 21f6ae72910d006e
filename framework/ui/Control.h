#pragma once
// TControl and TWinControl: the visual tree of a form. The owner (usually the
// form) owns controls; the parent only lists them. Enabled/Visible follow the
// parent chain; focus and tab order live on windowed controls.
#include "ui/Component.h"
#include "ui/Keys.h"

#include <functional>
#include <string>
#include <vector>

class TForm;
class TWinControl;
class TPopupMenu;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
// Key = 0 discards the character.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TControl : public TComponent {
public:
    ~TControl() override;
    std::string ClassName() const override { return "TControl"; }

    TWinControl* Parent() const { return parent_; }
    // Moves the control into another container (null detaches it).
    void SetParent(TWinControl* parent);
    // The form this control sits on (the control itself when it is a form).
    TForm* ParentForm() const;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    virtual void Show() { SetVisible(true); }
    virtual void Hide() { SetVisible(false); }
    // Visible and every parent visible (pages count only when active).
    virtual bool Showing() const;
    // Enabled and every parent enabled.
    bool EnabledChain() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);
    void SetBounds(int left, int top, int width, int height);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint) { hint_ = std::move(hint); }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int v) { helpContext_ = v; }

    // Its shortcuts work while the control (or a child) has the focus.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }

    TNotifyEvent OnClick;
    // Runs the click as code does (no enabled check), then OnClick.
    virtual void Click();
    // A user's click: ignored unless showing and enabled; an exception goes to
    // the application's error handler. Clicking a windowed control focuses it.
    virtual void UserClick();

    // Asks views to paint again (a counter the views watch).
    void Invalidate() { Changed("Paint"); }
    void Repaint() { Invalidate(); }

protected:
    // Lets a container veto or follow its children's visibility.
    virtual void VisibleChanged() {}

private:
    TWinControl* parent_ = nullptr;
    bool enabled_ = true;
    bool visible_ = true;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    std::string caption_, hint_;
    int helpContext_ = 0;
    TPopupMenu* popupMenu_ = nullptr;
};

class TWinControl : public TControl {
public:
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;
    const std::vector<TControl*>& ControlList() const { return controls_; }
    // True when `control` is this or lies inside it.
    bool ContainsControl(const TControl* control) const;

    // Position among the windowed siblings for Tab; setting it renumbers them.
    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    TNotifyEvent OnEnter, OnExit;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // A control can take focus when it is showing, enabled along its parent
    // chain, and of a kind that takes focus.
    virtual bool CanFocus() const;
    // Takes the focus the way the form's focus rules say (exit handlers, then
    // enter handlers). Throws Exception when the control cannot take focus;
    // an exception from an exit handler leaves the focus where it was and
    // propagates.
    void SetFocus();
    bool Focused() const;

    // Focusable descendants in tab order (depth first, by TabOrder).
    std::vector<TWinControl*> TabOrderList() const;
    // Next focusable control after `current` in this container's tab order
    // (wrapping); checkTabStop skips controls without TabStop, checkParent
    // keeps to direct children of this. Null when there is none.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                 bool checkParent) const;
    // Focuses FindNextControl(current, goForward, checkTabStop, false).
    TWinControl* SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    // First focusable tab stop inside this container, or null.
    TWinControl* FirstTabStop() const;

    // The hooks the form's key routing calls, in this order, for the focused control.
    virtual void KeyDown(WORD& key, TShiftState shift);  // OnKeyDown
    virtual void KeyPress(char32_t& key);                // OnKeyPress
    // Default behaviour after the handlers: Tab moves focus; edits and grids
    // override for their own keys.
    virtual void DefaultKeyDown(WORD& key, TShiftState shift);
    virtual void DefaultKeyPress(char32_t& key);

    // Focus notifications, run by the focus rules: default work first
    // (data-aware controls write their field on exit), then the handler.
    virtual void DoEnter();
    virtual void DoExit();

    // A user's input, as the view or the script delivers it. Each runs to the
    // end of its handlers; an exception goes to the application's error handler.
    void UserSetFocus();
    // Focuses this control (unless focused) and presses the key.
    void UserKeyDown(WORD key, TShiftState shift = {});
    // Focuses this control and types the text, character by character.
    void UserType(const std::string& utf8);
    void UserClick() override;

    // Whether the control is a focusable kind (containers such as panels are not).
    virtual bool IsFocusable() const { return true; }

protected:
    friend class TControl;
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);

private:
    std::vector<TControl*> controls_;
    bool tabStop_ = true;
};

// Containers whose children take focus but which do not take it themselves.
class TContainer : public TWinControl {
public:
    TContainer() { SetTabStop(false); }
    std::string ClassName() const override { return "TContainer"; }
    bool IsFocusable() const override { return false; }
};

// Creates a control owned by `owner` inside `parent`, with a caption when one
// is given: the one step a form's component tree is written in.
template <class T>
T* CreateControl(TComponent* owner, const char* name, TWinControl* parent, const std::string& caption = {}) {
    T* c = TComponent::Create<T>(owner, name);
    c->SetParent(parent);
    if (!caption.empty()) c->SetCaption(caption);
    return c;
}
