#include "qtview/ControlBinding.h"

#include "qtview/FormView.h"
#include "ui/Control.h"
#include "ui/Pages.h"

#include <QRect>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace qtview {

ControlBinding::ControlBinding(FormView& view, TControl& control, QWidget* widget)
    : view_(view), control_(control), widget_(widget) {
    widget_->setObjectName(QString::fromStdString(control.Name()));
}

ControlBinding::~ControlBinding() = default;

bool ControlBinding::ShouldShow() const { return control_.Visible(); }

void ControlBinding::Sync(std::string_view p) {
    if (p == "Enabled") {
        widget_->setEnabled(control_.Enabled());
    } else if (p == "Visible" || p == "Bounds" || p == "Align") {
        widget_->setVisible(ShouldShow());
        view_.Rearrange(control_.Parent());
    } else if (p == "Caption") {
        widget_->setToolTip(QString::fromStdString(control_.Hint()));
    } else if (p == "Paint") {
        widget_->update();
    }
}

void ControlBinding::SyncAll() {
    widget_->setEnabled(control_.Enabled());
    if (!control_.Hint().empty()) widget_->setToolTip(QString::fromStdString(control_.Hint()));
    widget_->setVisible(ShouldShow());
}

namespace {

QSize sizeFor(const TControl& c, QWidget* w) {
    QSize hint = w->sizeHint().expandedTo(QSize(8, 8));
    return {c.Width() > 0 ? c.Width() : hint.width(), c.Height() > 0 ? c.Height() : hint.height()};
}

}  // namespace

void ArrangeChildren(FormView& view, const TWinControl& container, const QRect& area, int originX, int originY) {
    // The platform's order: top, bottom, left, right, then the client fills the rest.
    std::vector<TControl*> kids;
    for (TControl* c : container.ControlList())
        if (view.WidgetOf(c) && c->Visible() && !dynamic_cast<TTabSheet*>(c)) kids.push_back(c);
    QRect rest = area;
    auto take = [&](TAlign a, auto less) {
        std::vector<TControl*> list;
        for (TControl* c : kids)
            if (c->Align() == a) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), less);
        for (TControl* c : list) {
            QWidget* w = view.WidgetOf(c);
            QSize s = sizeFor(*c, w);
            QRect g;
            switch (a) {
                case TAlign::alTop:
                    g = QRect(rest.left(), rest.top(), rest.width(), s.height());
                    rest.setTop(rest.top() + s.height());
                    break;
                case TAlign::alBottom:
                    g = QRect(rest.left(), rest.bottom() - s.height() + 1, rest.width(), s.height());
                    rest.setBottom(rest.bottom() - s.height());
                    break;
                case TAlign::alLeft:
                    g = QRect(rest.left(), rest.top(), s.width(), rest.height());
                    rest.setLeft(rest.left() + s.width());
                    break;
                case TAlign::alRight:
                    g = QRect(rest.right() - s.width() + 1, rest.top(), s.width(), rest.height());
                    rest.setRight(rest.right() - s.width());
                    break;
                case TAlign::alClient: g = rest; break;
                case TAlign::alNone: g = QRect(originX + c->Left(), originY + c->Top(), s.width(), s.height()); break;
            }
            w->setGeometry(g.normalized());
        }
    };
    take(TAlign::alTop, [](TControl* a, TControl* b) { return a->Top() < b->Top(); });
    take(TAlign::alBottom, [](TControl* a, TControl* b) { return a->Top() > b->Top(); });
    take(TAlign::alLeft, [](TControl* a, TControl* b) { return a->Left() < b->Left(); });
    take(TAlign::alRight, [](TControl* a, TControl* b) { return a->Left() > b->Left(); });
    take(TAlign::alClient, [](TControl*, TControl*) { return false; });
    take(TAlign::alNone, [](TControl*, TControl*) { return false; });
}

}  // namespace qtview
