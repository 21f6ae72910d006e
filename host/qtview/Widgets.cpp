#include "qtview/Widgets.h"

#include "qtview/ControlBinding.h"
#include "qtview/FormView.h"
#include "ui/Pages.h"

#include <QPainter>
#include <QTabBar>

namespace qtview {

ContainerWidget::ContainerWidget(FormView& view, TWinControl& control, QWidget* parent)
    : QFrame(parent), view_(view), control_(control) {}

void ContainerWidget::Arrange() {
    QRect area = contentsRect();
    ArrangeChildren(view_, control_, area, area.left(), area.top());
}

void ContainerWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    Arrange();
}

void ContainerWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // A panel shows its caption in the middle, under its children.
    const QString caption = QString::fromStdString(control_.Caption());
    if (caption.isEmpty() || control_.ClassName() != "TPanel") return;
    QPainter p(this);
    p.drawText(contentsRect(), Qt::AlignCenter, caption);
}

GroupWidget::GroupWidget(FormView& view, TWinControl& control, QWidget* parent)
    : QGroupBox(parent), view_(view), control_(control) {}

void GroupWidget::Arrange() {
    // Children's left/top count from the box's corner, title included, as the
    // forms were laid out; aligned children fill the area under the title.
    const int title = fontMetrics().height() + 4;
    QRect area = rect().adjusted(2, title, -2, -2);
    ArrangeChildren(view_, control_, area, 0, 0);
}

void GroupWidget::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    Arrange();
}

PageControlWidget::PageControlWidget(FormView& view, TPageControl& control, QWidget* parent)
    : QWidget(parent), view_(view), control_(control), tabs_(new QTabBar(this)) {
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->setDrawBase(true);
    tabs_->setExpanding(false);
    connect(tabs_, &QTabBar::currentChanged, this, &PageControlWidget::userPicked);
}

void PageControlWidget::SyncTabs() {
    syncing_ = true;
    while (tabs_->count() > control_.PageCount()) tabs_->removeTab(tabs_->count() - 1);
    for (int i = 0; i < control_.PageCount(); ++i) {
        TTabSheet* page = control_.Pages(i);
        QString caption = QString::fromStdString(page->Caption());
        if (i >= tabs_->count()) tabs_->addTab(caption);
        else tabs_->setTabText(i, caption);
        tabs_->setTabVisible(i, page->TabVisible());
        tabs_->setTabEnabled(i, page->Enabled());
    }
    tabs_->setCurrentIndex(control_.ActivePageIndex());
    syncing_ = false;
    Arrange();
}

void PageControlWidget::Arrange() {
    const int h = tabs_->sizeHint().height();
    tabs_->setGeometry(0, 0, width(), h);
    QRect area(0, h, width(), std::max(0, height() - h));
    for (int i = 0; i < control_.PageCount(); ++i) {
        TTabSheet* page = control_.Pages(i);
        QWidget* w = view_.WidgetOf(page);
        if (!w) continue;
        w->setGeometry(area);
        w->setVisible(page == control_.ActivePage() && page->Visible());
    }
}

void PageControlWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

void PageControlWidget::userPicked(int index) {
    if (syncing_) return;
    TTabSheet* page = index >= 0 && index < control_.PageCount() ? control_.Pages(index) : nullptr;
    if (page && page != control_.ActivePage()) {
        TPageControl* pc = &control_;
        view_.UserAction([pc, page] { pc->UserSelectPage(page); });
    }
    // The toolkit may have refused: show its page, whatever was clicked.
    if (view_.Form() && view_.BindingOf(&control_)) SyncTabs();
}

}  // namespace qtview
