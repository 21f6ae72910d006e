#include "qtview/ControlBinding.h"

#include "qtview/FormView.h"
#include "ui/Control.h"
#include "ui/DBGrid.h"
#include "ui/Pages.h"
#include "ui/StdCtrls.h"

#include <QRect>
#include <QSize>
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

constexpr int kGap = 4;

// Controls that stretch across their row when they were given no size.
bool fills(const TControl& c) {
    return dynamic_cast<const TDBGrid*>(&c) || dynamic_cast<const TPageControl*>(&c) ||
           dynamic_cast<const TListBox*>(&c);
}

// Controls placed without any layout hint: the view lays them out in a flow.
bool unplaced(const TControl& c) {
    return c.Align() == TAlign::alNone && c.Left() == 0 && c.Top() == 0 && c.Width() == 0 && c.Height() == 0;
}

// Position among its owner's components: the creation order, which decides
// between controls aligned to the same side at the same place.
int creationIndex(const TControl& c) {
    if (TComponent* o = c.Owner())
        for (int i = 0; i < o->ComponentCount(); ++i)
            if (o->Components(i) == &c) return i;
    return 0;
}

}  // namespace

QSize PreferredSize(FormView& view, const TControl& c) {
    QWidget* w = view.WidgetOf(&c);
    QSize hint = w ? w->sizeHint().expandedTo(QSize(8, 8)) : QSize(64, 22);
    QSize natural = hint;
    if (auto* e = dynamic_cast<const TCustomEdit*>(&c)) {
        // Wide enough for what the edit takes, as the forms were drawn.
        int chars = e->MaxLength() > 0 ? e->MaxLength() + 1 : 24;
        int avg = w ? w->fontMetrics().averageCharWidth() : 7;
        natural.setWidth(std::max(40, chars * avg + 14));
    } else if (fills(c)) {
        natural.setHeight(std::max(hint.height(), 150));
    } else if (auto* wc = dynamic_cast<const TWinControl*>(&c); wc && !wc->ControlList().empty()) {
        if (auto* b = view.BindingOf(&c); b && b->ChildArea()) natural = NaturalSize(view, *wc);
    }
    return {c.Width() > 0 ? c.Width() : natural.width(), c.Height() > 0 ? c.Height() : natural.height()};
}

QSize NaturalSize(FormView& view, const TWinControl& container) {
    // Flowing controls wrap at the width of the nearest sized ancestor.
    int wrap = 600;
    for (const TControl* a = &container; a; a = a->Parent())
        if (a->Width() > 0) {
            wrap = a->Width() - 2 * kGap;
            break;
        }
    int right = 0, bottom = 0, stackW = 0, stackH = 0, flowW = 0, flowH = 0, rowW = 0, rowH = 0;
    for (TControl* c : container.ControlList()) {
        if (!c->Visible() || dynamic_cast<TTabSheet*>(c)) continue;
        QSize own = PreferredSize(view, *c);
        if (unplaced(*c)) {
            if (rowW > 0 && rowW + own.width() > wrap) {
                flowH += rowH + kGap;
                rowW = rowH = 0;
            }
            rowW += own.width() + kGap;
            rowH = std::max(rowH, own.height());
            flowW = std::max(flowW, rowW);
            continue;
        }
        switch (c->Align()) {
            case TAlign::alTop:
            case TAlign::alBottom:
                stackH += own.height();
                right = std::max(right, own.width());
                break;
            case TAlign::alLeft:
            case TAlign::alRight:
                stackW += own.width();
                bottom = std::max(bottom, own.height());
                break;
            case TAlign::alClient:
                right = std::max(right, own.width());
                bottom = std::max(bottom, own.height());
                break;
            case TAlign::alNone:
                right = std::max(right, c->Left() + own.width());
                bottom = std::max(bottom, c->Top() + own.height());
                break;
        }
    }
    if (rowH > 0) flowH += rowH + 2 * kGap;
    int extra = dynamic_cast<const TGroupBox*>(&container) ? 22 : 4;
    return {std::max({stackW + right, flowW + kGap, 60}) + 4, std::max(stackH + bottom, flowH) + extra};
}

void ArrangeChildren(FormView& view, const TWinControl& container, const QRect& area, int originX, int originY) {
    // The platform's order: top, bottom, left, right, then the client fills the rest.
    std::vector<TControl*> kids;
    for (TControl* c : container.ControlList())
        if (view.WidgetOf(c) && c->Visible() && !dynamic_cast<TTabSheet*>(c)) kids.push_back(c);
    QRect rest = area;
    auto byCreation = [](TControl* a, TControl* b) { return creationIndex(*a) < creationIndex(*b); };
    auto take = [&](TAlign a, auto less) {
        std::vector<TControl*> list;
        for (TControl* c : kids)
            if (c->Align() == a && !unplaced(*c)) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), byCreation);
        std::stable_sort(list.begin(), list.end(), less);
        for (TControl* c : list) {
            QWidget* w = view.WidgetOf(c);
            QSize s = PreferredSize(view, *c);
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
    // Controls given no place at all flow left to right in creation order,
    // a new row when one is full; grids and lists take a row of their own.
    std::vector<TControl*> flow;
    for (TControl* c : kids)
        if (unplaced(*c)) flow.push_back(c);
    std::stable_sort(flow.begin(), flow.end(), byCreation);
    int x = area.left() + kGap, y = area.top() + kGap, rowH = 0;
    for (TControl* c : flow) {
        QSize s = PreferredSize(view, *c);
        if (fills(*c)) s.setWidth(std::max(40, area.width() - 2 * kGap));
        if (x > area.left() + kGap && x + s.width() > area.right() - kGap) {
            x = area.left() + kGap;
            y += rowH + kGap;
            rowH = 0;
        }
        view.WidgetOf(c)->setGeometry(x, y, s.width(), s.height());
        x += s.width() + kGap;
        rowH = std::max(rowH, s.height());
    }
}

}  // namespace qtview
