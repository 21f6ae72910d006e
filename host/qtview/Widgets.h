#pragma once
// Qt widgets for toolkit containers: they lay their children out by the
// toolkit's layout hints whenever they are resized.
#include <QFrame>
#include <QGroupBox>

class QTabBar;
class TWinControl;
class TPageControl;

namespace qtview {

class FormView;

// Panels, forms' client areas, tab sheets, unknown windowed controls.
class ContainerWidget : public QFrame {
    Q_OBJECT
public:
    ContainerWidget(FormView& view, TWinControl& control, QWidget* parent);
    TWinControl& Control() const { return control_; }
    void Arrange();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    FormView& view_;
    TWinControl& control_;
};

class GroupWidget : public QGroupBox {
    Q_OBJECT
public:
    GroupWidget(FormView& view, TWinControl& control, QWidget* parent);
    void Arrange();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    FormView& view_;
    TWinControl& control_;
};

// Tabs over the area of the active sheet. A tab the user picks goes to the
// toolkit, which may refuse; the tab bar always shows the toolkit's page.
class PageControlWidget : public QWidget {
    Q_OBJECT
public:
    PageControlWidget(FormView& view, TPageControl& control, QWidget* parent);
    QTabBar* TabBar() const { return tabs_; }
    // Tabs, captions, hidden tabs and the current one from the toolkit.
    void SyncTabs();
    void Arrange();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void userPicked(int index);
    FormView& view_;
    TPageControl& control_;
    QTabBar* tabs_;
    bool syncing_ = false;
};

}  // namespace qtview
