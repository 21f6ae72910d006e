#include "qtview/FormView.h"

#include "qtview/ControlBinding.h"
#include "qtview/KeyMap.h"
#include "qtview/Widgets.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QVBoxLayout>
#include <cstdio>

namespace qtview {

// Owned by the form like any component; its destruction tells the view that
// the form is going (the owner destroys it before the controls).
class FormAnchor : public TComponent {
public:
    std::function<void()> Gone;
    ~FormAnchor() override {
        if (Gone) Gone();
    }
    std::string ClassName() const override { return "TQtViewAnchor"; }
};

namespace {

bool ownedBy(const TComponent& c, const TForm* form) {
    for (const TComponent* o = c.Owner(); o; o = o->Owner())
        if (o == form) return true;
    return false;
}

QString menuText(const TMenuItem& item) {
    QString text = QString::fromStdString(item.Caption());
    if (!item.ShortCut().Empty()) text += "\t" + QString::fromStdString(ShortCutToText(item.ShortCut()));
    return text;
}

}  // namespace

FormView::FormView(TForm& form, QWidget* parent) : QWidget(parent), form_(&form) {
    setObjectName(QString::fromStdString(form.Name()));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    box->setMenuBar(menuBar_);
    client_ = new ContainerWidget(*this, form, this);
    box->addWidget(client_);
    setFocusPolicy(Qt::StrongFocus);
    controls_[this] = &form;
    controls_[client_] = &form;
    Watch(this);
    Watch(client_);

    for (TControl* c : form.ControlList()) bindTree(*c, client_);
    rebuildMenu();
    setWindowTitle(QString::fromStdString(form.Caption()));
    if (form.Width() > 0 && form.Height() > 0) resize(form.Width(), form.Height());

    auto anchor = std::make_unique<FormAnchor>();
    anchor->Gone = [this] { dropForm(); };
    anchor_ = anchor.get();
    form.InsertComponent(std::move(anchor));
    observerId_ = AddChangeObserver([this](TComponent& c, std::string_view p) { observe(c, p); });
    Rearrange(&form);
}

FormView::~FormView() {
    if (form_) {
        RemoveChangeObserver(observerId_);
        anchor_->Gone = nullptr;
        form_->DestroyComponent(anchor_);
    }
}

void FormView::dropForm() {
    // The form is being destroyed: forget every control now, touch none.
    if (!form_) return;
    RemoveChangeObserver(observerId_);
    form_ = nullptr;
    anchor_ = nullptr;
    controls_.clear();
    bindings_.clear();
    actions_.clear();
    hide();
    emit formGone();
}

QWidget* FormView::WidgetOf(const TControl* control) const {
    if (control && control == form_) return client_;
    auto it = bindings_.find(control);
    return it == bindings_.end() ? nullptr : it->second->Widget();
}

TControl* FormView::ControlOf(const QObject* widget) const {
    auto it = controls_.find(widget);
    return it == controls_.end() ? nullptr : it->second;
}

ControlBinding* FormView::BindingOf(const TControl* control) const {
    auto it = bindings_.find(control);
    return it == bindings_.end() ? nullptr : it->second.get();
}

QWidget* FormView::areaFor(const TControl* parent) const {
    if (parent == form_) return client_;
    auto* b = BindingOf(parent);
    return b ? b->ChildArea() : nullptr;
}

int FormView::menuBarHeight() const { return menuBar_->isVisible() ? menuBar_->sizeHint().height() : 0; }

void FormView::Watch(QWidget* widget) { widget->installEventFilter(this); }

void FormView::bindTree(TControl& control, QWidget* parent) {
    if (bindings_.count(&control)) return;
    auto binding = MakeBinding(*this, control, parent);
    ControlBinding* b = binding.get();
    controls_[b->Widget()] = &control;
    Watch(b->Widget());
    bindings_[&control] = std::move(binding);
    if (auto* w = dynamic_cast<TWinControl*>(&control))
        if (QWidget* area = b->ChildArea())
            for (TControl* child : w->ControlList()) bindTree(*child, area);
    b->SyncAll();
    b->ArrangeChildren();
}

void FormView::unbind(TControl& control) {
    auto it = bindings_.find(&control);
    if (it == bindings_.end()) return;
    if (auto* w = dynamic_cast<TWinControl*>(&control))
        for (TControl* child : w->ControlList()) unbind(*child);
    QWidget* widget = it->second->Widget();
    controls_.erase(widget);
    widget->hide();
    widget->deleteLater();  // never under a running handler of its own
    bindings_.erase(it);
}

void FormView::Rearrange(const TControl* container) {
    if (!form_ || !container) return;
    if (container == form_) {
        client_->Arrange();
        return;
    }
    if (auto* b = BindingOf(container)) b->ArrangeChildren();
}

void FormView::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }

void FormView::observe(TComponent& c, std::string_view p) {
    if (!form_) return;
    if (&c == form_) {
        if (p == "Caption") {
            setWindowTitle(QString::fromStdString(form_->Caption()));
            emit captionChanged(windowTitle());
        } else if (p == "ActiveControl") {
            FollowFocus();
        } else if (p == "Paint") {
            // A repaint of the form covers every control on it.
            update();
            for (auto& [control, binding] : bindings_) binding->Sync("Paint");
        } else if (p == "Enabled") {
            client_->setEnabled(form_->Enabled());
        }
        return;
    }
    if (auto* popup = dynamic_cast<TPopupMenu*>(&c)) {
        // Opened by the program: shown once its handler is done, never under it.
        if (p == "PopupAt" && popup->Popped() && ownedBy(*popup, form_))
            QMetaObject::invokeMethod(this, [this, popup] { showPopupAt(*popup); }, Qt::QueuedConnection);
        return;
    }
    if (auto* item = dynamic_cast<TMenuItem*>(&c)) {
        if (!ownedBy(*item, form_)) return;
        auto it = actions_.find(item);
        if (p == "Items" || it == actions_.end()) {
            // Structure changed: rebuild once control is back in the event loop,
            // so that no action is deleted under its own trigger.
            if (!menuDirty_) {
                menuDirty_ = true;
                QMetaObject::invokeMethod(this, [this] { rebuildMenu(); }, Qt::QueuedConnection);
            }
            return;
        }
        QAction* a = it->second;
        a->setText(menuText(*item));
        a->setEnabled(item->Enabled());
        a->setVisible(item->Visible());
        a->setCheckable(item->Checked());
        a->setChecked(item->Checked());
        return;
    }
    auto* control = dynamic_cast<TControl*>(&c);
    if (!control) return;
    if (p == "Parent") {
        // Moved or created at run time: bind it where it now sits.
        unbind(*control);
        if (control->Parent() && (control->Parent() == form_ || BindingOf(control->Parent())))
            if (QWidget* area = areaFor(control->Parent())) {
                bindTree(*control, area);
                Rearrange(control->Parent());
            }
        return;
    }
    if (auto* b = BindingOf(control)) b->Sync(p);
}

void FormView::rebuildMenu() {
    menuDirty_ = false;
    menuBar_->clear();
    actions_.clear();
    TMainMenu* menu = form_ ? form_->Menu() : nullptr;
    if (!menu || menu->Items().Count() == 0) {
        menuBar_->hide();
        return;
    }
    std::function<void(QMenu*, TMenuItem&)> fill = [&](QMenu* into, TMenuItem& parent) {
        for (int i = 0; i < parent.Count(); ++i) {
            TMenuItem* item = parent.Items(i);
            if (item->Caption() == "-") {
                into->addSeparator();
                continue;
            }
            QAction* a;
            if (item->Count() > 0) {
                QMenu* sub = into->addMenu(QString::fromStdString(item->Caption()));
                fill(sub, *item);
                a = sub->menuAction();
            } else {
                a = into->addAction(menuText(*item));
                connect(a, &QAction::triggered, this, [this, item] { UserAction([item] { item->UserClick(); }); });
            }
            a->setEnabled(item->Enabled());
            a->setVisible(item->Visible());
            a->setCheckable(item->Checked());
            a->setChecked(item->Checked());
            actions_[item] = a;
        }
    };
    for (int i = 0; i < menu->Items().Count(); ++i) {
        TMenuItem* top = menu->Items().Items(i);
        QMenu* m = menuBar_->addMenu(QString::fromStdString(top->Caption()));
        fill(m, *top);
        QAction* a = m->menuAction();
        a->setEnabled(top->Enabled());
        a->setVisible(top->Visible());
        actions_[top] = a;
        if (top->Count() == 0)
            connect(a, &QAction::triggered, this, [this, top] { UserAction([top] { top->UserClick(); }); });
    }
    menuBar_->show();
}

void FormView::ExecPopup(TPopupMenu& menu, const QPoint& globalPos) {
    UserAction([&menu] { menu.Popup(); });
    if (!form_) return;
    showPopup(menu, globalPos);
}

void FormView::showPopupAt(TPopupMenu& menu) {
    if (!form_ || !menu.Popped() || !menu.PopupAnchor()) return;
    QWidget* anchor = WidgetOf(menu.PopupAnchor());
    if (!anchor) {
        menu.Close();
        return;
    }
    showPopup(menu, anchor->mapToGlobal(QPoint(menu.PopupDx(), menu.PopupDy())));
}

void FormView::showPopup(TPopupMenu& menu, const QPoint& globalPos) {
    QMenu popup(this);
    std::function<void(QMenu*, TMenuItem&)> fill = [&](QMenu* into, TMenuItem& parent) {
        for (int i = 0; i < parent.Count(); ++i) {
            TMenuItem* item = parent.Items(i);
            if (!item->Visible()) continue;
            if (item->Caption() == "-") {
                into->addSeparator();
                continue;
            }
            if (item->Count() > 0) {
                fill(into->addMenu(QString::fromStdString(item->Caption())), *item);
                continue;
            }
            QAction* a = into->addAction(menuText(*item));
            a->setEnabled(item->Enabled());
            a->setCheckable(item->Checked());
            a->setChecked(item->Checked());
            a->setData(QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(item)));
        }
    };
    fill(&popup, menu.Items());
    QAction* chosen = popup.exec(globalPos);
    if (!form_) return;
    menu.Close();
    if (chosen) {
        auto* item = reinterpret_cast<TMenuItem*>(chosen->data().value<quintptr>());
        UserAction([item] { item->UserClick(); });
    }
}

void FormView::FollowFocus() {
    if (!form_ || following_) return;
    TWinControl* active = form_->ActiveControl();
    QWidget* target = active ? WidgetOf(active) : nullptr;
    if (!target) target = this;
    // Grids paint their focused cell from the toolkit: repaint the old and the new one.
    if (lastActive_ != active) {
        if (auto* b = BindingOf(lastActive_)) b->Sync("Paint");
        if (auto* b = BindingOf(active)) b->Sync("Paint");
        lastActive_ = active;
    }
    if (target->hasFocus() && focusWidget() == target) return;
    following_ = true;
    target->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(target))
        if (auto* e = dynamic_cast<TCustomEdit*>(active); e && e->AllSelected()) edit->selectAll();
    following_ = false;
}

void FormView::UserAction(const std::function<void()>& action) {
    if (!form_) return;
    QPointer<FormView> self(this);
    ++busy_;
    try {
        action();
    } catch (const EScriptFailure& e) {
        // Only a scripted session fails this way; under Qt it means the input
        // ended inside a modal form (the application is closing).
        std::fprintf(stderr, "qtview: %s\n", e.what());
    } catch (const std::exception& e) {
        Application().HandleException(e);
    }
    if (!self) return;
    --busy_;
    FollowFocus();
}

void FormView::RouteKey(const QKeyEvent& event, TWinControl* target) {
    if (!form_ || Busy()) return;
    KeyInput k = TranslateKey(event);
    if (k.Modifier || (k.Key == 0 && k.Text.empty())) return;
    TForm* form = form_;
    UserAction([&] {
        if (target && target != form && form->ActiveControl() != target) {
            target->UserSetFocus();
            if (form->ActiveControl() != target) return;  // refused: the key goes nowhere
        }
        if (k.Key != 0) Application().RunUserAction([&] { form->RouteKey(k.Key, k.Shift, k.Typed); });
        else form->UserType(k.Text);
    });
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    if (!form_) return false;
    switch (event->type()) {
        case QEvent::FocusIn: {
            if (following_ || Busy()) return false;
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Only the user's own moves go to the toolkit; Qt's returns of focus
            // (window activation, closed popups) are followed back afterwards.
            if (reason != Qt::MouseFocusReason && reason != Qt::ShortcutFocusReason) return false;
            auto* control = dynamic_cast<TWinControl*>(ControlOf(watched));
            if (control && control != form_ && control != form_->ActiveControl())
                UserAction([control] { control->UserSetFocus(); });
            else QMetaObject::invokeMethod(this, [this] { FollowFocus(); }, Qt::QueuedConnection);
            return false;
        }
        case QEvent::ShortcutOverride: {
            auto* ke = static_cast<QKeyEvent*>(event);
            KeyInput k = TranslateKey(*ke);
            if (k.Modifier) return false;
            // Every key belongs to the toolkit's routing, menu shortcuts included.
            event->accept();
            return true;
        }
        case QEvent::KeyPress: {
            auto* control = dynamic_cast<TWinControl*>(ControlOf(watched));
            RouteKey(*static_cast<QKeyEvent*>(event), control);
            return true;
        }
        case QEvent::KeyRelease: return true;
        case QEvent::ContextMenu: {
            for (TControl* c = ControlOf(watched); c; c = c->Parent())
                if (TPopupMenu* menu = c->PopupMenu()) {
                    ExecPopup(*menu, static_cast<QContextMenuEvent*>(event)->globalPos());
                    return true;
                }
            return false;
        }
        default: return false;
    }
}

}  // namespace qtview
