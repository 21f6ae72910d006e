#include "qtview/ViewManager.h"

#include "qtview/ControlBinding.h"
#include "qtview/FormView.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QResizeEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <cstdio>

namespace qtview {

namespace {
bool pumpStopped = false;
}

ViewManager::ViewManager(QMdiArea* mdi, QWidget* owner) : mdi_(mdi), owner_(owner) {
    pumpStopped = false;
    observerId_ = AddChangeObserver([this](TComponent& c, std::string_view p) { observe(c, p); });
    if (QScreen* s = QGuiApplication::primaryScreen())
        Application().SetScreenSize(s->geometry().width(), s->geometry().height());
    if (mdi_) {
        mdi_->viewport()->installEventFilter(this);
        connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
            auto it = windows_.find(w);
            if (it != windows_.end()) userActivate(it->second);
        });
    }
    // Forms already showing (created before the view) get their windows now.
    for (TForm* f : Application().ShowingForms()) showForm(*f);
}

ViewManager::~ViewManager() {
    RemoveChangeObserver(observerId_);
    pumpStopped = true;
    if (cursorSet_) QApplication::restoreOverrideCursor();
    for (auto& [form, e] : forms_) {
        if (e.window) e.window->removeEventFilter(this);
        if (e.sub && mdi_) {
            delete e.sub;  // deletes the view with it
        } else if (e.view) {
            delete e.view.data();
        }
    }
}

void ViewManager::StopInputPump() { pumpStopped = true; }

void ViewManager::InstallInputPump() {
    Application().SetInputPump([] {
        if (pumpStopped || QCoreApplication::closingDown()) return false;
        QEventLoop loop;
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
        return true;
    });
}

FormView* ViewManager::ViewOf(const TForm* form) const {
    auto it = forms_.find(form);
    return it == forms_.end() ? nullptr : it->second.view.data();
}

QWidget* ViewManager::WindowOf(const TForm* form) const {
    auto it = forms_.find(form);
    return it == forms_.end() ? nullptr : it->second.window.data();
}

void ViewManager::observe(TComponent& c, std::string_view p) {
    if (&c == &Application()) {
        if (p == "ActiveForm") followActiveForm();
        else if (p == "Cursor") followCursor();
        else if (p == "WindowUpdateLock") followLock();
        return;
    }
    auto* form = dynamic_cast<TForm*>(&c);
    if (!form) return;
    if (p == "Visible") {
        if (form->Visible()) showForm(*form);
        else hideForm(*form);
    } else if (p == "Bounds" || p == "WindowState") {
        if (forms_.count(form)) placeForm(*form);
    }
}

void ViewManager::showForm(TForm& form) {
    if (!form.Visible()) return;
    auto it = forms_.find(&form);
    if (it == forms_.end()) {
        Entry e;
        auto* view = new FormView(form);
        e.view = view;
        if (mdi_ && form.FormStyle() == TFormStyle::fsMDIChild) {
            e.sub = mdi_->addSubWindow(view);
            e.sub->setAttribute(Qt::WA_DeleteOnClose, false);
            e.window = e.sub;
            connect(view, &FormView::captionChanged, e.sub, &QWidget::setWindowTitle);
            e.sub->setWindowTitle(view->windowTitle());
        } else {
            view->setParent(owner_, Qt::Window | Qt::Dialog);
            e.window = view;
        }
        e.window->installEventFilter(this);
        windows_[e.window.data()] = &form;
        const TForm* key = &form;
        connect(view, &FormView::formGone, this, [this, key] { forget(key); });
        it = forms_.emplace(&form, e).first;
        placeForm(form);
    }
    QWidget* w = it->second.window;
    if (!w) return;
    // Modality is fixed while hidden: a modal form blocks the others while it shows.
    if (w->isVisible() && w->isModal() != form.Modal()) w->hide();
    w->setWindowModality(form.Modal() ? Qt::ApplicationModal : Qt::NonModal);
    if (form.WindowState() == TWindowState::wsMaximized) w->showMaximized();
    else if (form.WindowState() == TWindowState::wsMinimized) w->showMinimized();
    else w->show();
    w->raise();
    followActiveForm();
}

void ViewManager::placeForm(TForm& form) {
    auto& e = forms_[&form];
    if (!e.window || !e.view) return;
    // A form without a size of its own gets the size its controls need.
    QSize natural = form.Width() > 0 && form.Height() > 0 ? QSize() : NaturalSize(*e.view, form);
    int w = form.Width() > 0 ? form.Width() : natural.width();
    int h = form.Height() > 0 ? form.Height() : natural.height() + e.view->menuBarHeight();
    if (e.sub) {
        e.sub->resize(w, h);
        e.sub->move(form.Left(), form.Top());
    } else {
        e.view->resize(w, h);
        // Dialogs open over the middle of their owner.
        QWidget* over = owner_ ? owner_.data() : nullptr;
        QRect area = over ? over->geometry()
                          : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                              : QRect(0, 0, 1024, 768));
        e.view->move(area.center() - QPoint(w / 2, h / 2));
    }
    if (form.WindowState() == TWindowState::wsMaximized && e.window->isVisible()) e.window->showMaximized();
}

void ViewManager::hideForm(TForm& form) {
    auto it = forms_.find(&form);
    if (it == forms_.end() || !it->second.window) return;
    it->second.window->hide();
}

void ViewManager::forget(const TForm* form) {
    auto it = forms_.find(form);
    if (it == forms_.end()) return;
    if (QWidget* w = it->second.window) {
        windows_.erase(w);
        w->removeEventFilter(this);
        w->hide();
        w->deleteLater();
    }
    forms_.erase(it);
}

void ViewManager::userActivate(TForm* form) {
    if (activating_ || !form || !form->Visible() || Application().ActiveForm() == form) return;
    // While a modal form shows, no other form can be chosen: it stays in front.
    for (TForm* f : Application().ShowingForms())
        if (f->Modal() && f != form) {
            QMetaObject::invokeMethod(this, [this] { followActiveForm(); }, Qt::QueuedConnection);
            return;
        }
    if (FormView* v = ViewOf(form)) v->UserAction([form] { form->UserActivate(); });
}

void ViewManager::followActiveForm() {
    TForm* active = Application().ActiveForm();
    auto it = forms_.find(active);
    if (it == forms_.end() || !it->second.window) return;
    activating_ = true;
    if (it->second.sub && mdi_) mdi_->setActiveSubWindow(it->second.sub);
    else {
        it->second.window->raise();
        it->second.window->activateWindow();
    }
    activating_ = false;
    if (it->second.view) it->second.view->FollowFocus();
}

void ViewManager::followCursor() {
    bool busy = Application().Cursor() == TCursor::crHourGlass;
    if (busy && !cursorSet_) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!busy && cursorSet_) QApplication::restoreOverrideCursor();
    cursorSet_ = busy;
}

void ViewManager::followLock() {
    const TForm* locked = Application().LockedForm();
    if (locked == lockedForm_) return;
    if (QWidget* w = WindowOf(lockedForm_)) {
        w->setUpdatesEnabled(true);
        w->update();
    }
    lockedForm_ = locked;
    if (QWidget* w = WindowOf(locked)) w->setUpdatesEnabled(false);
}

bool ViewManager::eventFilter(QObject* watched, QEvent* event) {
    if (mdi_ && watched == mdi_->viewport() && event->type() == QEvent::Resize) {
        // The screens size themselves by the height of the area they open in.
        Application().SetMainClientHeight(static_cast<QResizeEvent*>(event)->size().height());
        return false;
    }
    auto it = windows_.find(watched);
    if (it == windows_.end()) return false;
    TForm* form = it->second;
    if (event->type() == QEvent::Close) {
        // The close button asks the toolkit, whose form decides (it may refuse).
        if (!form->Visible()) return false;
        event->ignore();
        if (FormView* v = ViewOf(form)) v->UserAction([form] { form->UserClose(); });
        return true;
    }
    if (event->type() == QEvent::WindowActivate && !forms_[form].sub) userActivate(form);
    return false;
}

}  // namespace qtview
