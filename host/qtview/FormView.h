#pragma once
// FormView: one toolkit form rendered as Qt widgets. It builds a widget per
// control, keeps both sides in sync through the toolkit's change observers,
// and routes Qt input into the toolkit's User* methods, so that the toolkit's
// focus and key rules decide; afterwards Qt's focus follows the toolkit's
// active control (also after a refused exit). It holds no screen logic.
//
// The view watches the form's lifetime itself: when the form is destroyed it
// drops every tie to it, emits formGone() and hides; the window that holds it
// is then deleted later by its owner (never under a running handler).
#include "ui/Keys.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>

class QAction;
class QMenuBar;
class QKeyEvent;
class TComponent;
class TControl;
class TForm;
class TMenuItem;
class TPopupMenu;
class TWinControl;

namespace qtview {

class ControlBinding;
class ContainerWidget;
class FormAnchor;

class FormView : public QWidget {
    Q_OBJECT
public:
    explicit FormView(TForm& form, QWidget* parent = nullptr);
    ~FormView() override;

    // The form shown; null once it is destroyed.
    TForm* Form() const { return form_; }
    // The widget of a control (null when the control has none).
    QWidget* WidgetOf(const TControl* control) const;
    // The control a widget shows (null for widgets of no control).
    TControl* ControlOf(const QObject* widget) const;
    ControlBinding* BindingOf(const TControl* control) const;

    // Qt's focus follows the toolkit's active control.
    void FollowFocus();
    // Runs a user's action on the toolkit (its errors go to the toolkit's
    // error handler; script failures are logged), then follows the focus.
    // Input arriving while an action of this view runs is dropped.
    void UserAction(const std::function<void()>& action);
    bool Busy() const { return busy_ > 0; }
    // Delivers a Qt key press to the toolkit, aimed at `target` (focused first).
    void RouteKey(const QKeyEvent& event, TWinControl* target);
    // Re-lays out the children of a container (after a child moved, showed or hid).
    void Rearrange(const TControl* container);
    // Shows a popup menu at a global position; runs its OnPopup first.
    void ExecPopup(TPopupMenu& menu, const QPoint& globalPos);
    // Height of the form's menu bar (0 without a menu).
    int menuBarHeight() const;
    // Watches a widget that belongs to a control (focus, keys, context menu).
    void Watch(QWidget* widget);

signals:
    void formGone();
    void captionChanged(const QString& caption);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void observe(TComponent& component, std::string_view property);
    // A popup opened by the program beside its anchor control; the menu's items at a point.
    void showPopupAt(TPopupMenu& menu);
    void showPopup(TPopupMenu& menu, const QPoint& globalPos);
    void bindTree(TControl& control, QWidget* parent);
    void unbind(TControl& control);
    void rebuildMenu();
    void dropForm();
    QWidget* areaFor(const TControl* parent) const;

    TForm* form_;
    FormAnchor* anchor_ = nullptr;
    TWinControl* lastActive_ = nullptr;
    int observerId_ = 0;
    int busy_ = 0;
    bool following_ = false;
    bool menuDirty_ = false;
    QMenuBar* menuBar_ = nullptr;
    ContainerWidget* client_ = nullptr;
    std::unordered_map<const TControl*, std::unique_ptr<ControlBinding>> bindings_;
    std::unordered_map<const QObject*, TControl*> controls_;
    std::unordered_map<const TMenuItem*, QAction*> actions_;
};

}  // namespace qtview
