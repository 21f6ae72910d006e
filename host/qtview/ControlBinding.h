#pragma once
// The tie between one toolkit control and the Qt widget that shows it. The
// binding copies the control's properties to the widget when the toolkit
// reports a change, and turns the widget's user input into the control's
// User* calls (through its FormView, which then lets Qt follow the toolkit's
// focus). The widget belongs to Qt's parent chain; the binding only points to it.
#include <memory>
#include <string_view>

class QWidget;
class QRect;
class QSize;
class TControl;
class TWinControl;

namespace qtview {

class FormView;

class ControlBinding {
public:
    ControlBinding(FormView& view, TControl& control, QWidget* widget);
    virtual ~ControlBinding();
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;

    TControl& Control() const { return control_; }
    QWidget* Widget() const { return widget_; }
    // Where the control's children are placed; null for controls without children.
    virtual QWidget* ChildArea() const { return nullptr; }
    // Places the children inside the child area by their layout hints.
    virtual void ArrangeChildren() {}
    // A property of the control changed; the base handles the common ones
    // (Enabled, Visible, Bounds, Align, Paint).
    virtual void Sync(std::string_view property);
    // Copies every property (after creation).
    virtual void SyncAll();
    // Whether the widget should show now (pages: only the active one).
    virtual bool ShouldShow() const;

protected:
    FormView& view_;
    TControl& control_;
    QWidget* widget_;
};

// Makes the widget and binding that fit the control's kind, inside `parent`.
std::unique_ptr<ControlBinding> MakeBinding(FormView& view, TControl& control, QWidget* parent);

// Lays out the children of `container` whose widgets the view knows:
// aligned ones inside `area` (top, bottom, left, right, then client), the
// others at their left/top relative to `origin` with their preferred size;
// controls with no hint at all flow in rows inside `area`.
void ArrangeChildren(FormView& view, const TWinControl& container, const QRect& area, int originX, int originY);

// The size a control takes: its width/height hints, else what its kind needs
// (edits by their length, containers by their children).
QSize PreferredSize(FormView& view, const TControl& control);
// The size a container needs for its children (forms and panels given no size).
QSize NaturalSize(FormView& view, const TWinControl& container);

}  // namespace qtview
