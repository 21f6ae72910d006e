// The bindings of the standard controls: each makes its widget, copies the
// control's state to it and hands the widget's user input to the control.
#include "qtview/ControlBinding.h"
#include "qtview/FormView.h"
#include "qtview/GridWidget.h"
#include "qtview/Pictures.h"
#include "qtview/Widgets.h"
#include "ui/DBCtrls.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"
#include "ui/Pages.h"
#include "ui/SearchList.h"
#include "ui/StdCtrls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>

namespace qtview {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Captions carry "&" before an accelerator letter; labels show it plainly.
QString plainCaption(const std::string& caption) {
    QString c = qs(caption);
    QString out;
    for (int i = 0; i < c.size(); ++i) {
        if (c[i] == '&' && i + 1 < c.size()) ++i;
        out += c[i];
    }
    return out;
}

class ContainerBinding : public ControlBinding {
public:
    ContainerBinding(FormView& v, TWinControl& c, QWidget* parent)
        : ControlBinding(v, c, new ContainerWidget(v, c, parent)) {
        if (c.ClassName() == "TPanel") static_cast<QFrame*>(widget_)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    }
    QWidget* ChildArea() const override { return widget_; }
    void ArrangeChildren() override { static_cast<ContainerWidget*>(widget_)->Arrange(); }
    void Sync(std::string_view p) override {
        if (p == "Caption") widget_->update();
        ControlBinding::Sync(p);
    }
};

class SheetBinding : public ContainerBinding {
public:
    using ContainerBinding::ContainerBinding;
    bool ShouldShow() const override {
        auto& sheet = static_cast<TTabSheet&>(control_);
        return sheet.Visible() && sheet.PageControl() && sheet.PageControl()->ActivePage() == &sheet;
    }
    void Sync(std::string_view p) override {
        if (p == "Caption" || p == "TabVisible" || p == "Enabled" || p == "Visible") syncTabs();
        if (p != "Visible") ContainerBinding::Sync(p);
    }
    void syncTabs() {
        auto* pc = static_cast<TTabSheet&>(control_).PageControl();
        if (auto* w = dynamic_cast<PageControlWidget*>(view_.WidgetOf(pc))) w->SyncTabs();
    }
};

class GroupBinding : public ControlBinding {
public:
    GroupBinding(FormView& v, TWinControl& c, QWidget* parent) : ControlBinding(v, c, new GroupWidget(v, c, parent)) {}
    QWidget* ChildArea() const override { return widget_; }
    void ArrangeChildren() override { static_cast<GroupWidget*>(widget_)->Arrange(); }
    void Sync(std::string_view p) override {
        if (p == "Caption") static_cast<QGroupBox*>(widget_)->setTitle(plainCaption(control_.Caption()));
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        Sync("Caption");
        ControlBinding::SyncAll();
    }
};

class PageControlBinding : public ControlBinding {
public:
    PageControlBinding(FormView& v, TPageControl& c, QWidget* parent)
        : ControlBinding(v, c, new PageControlWidget(v, c, parent)) {
        widget_->setFocusPolicy(Qt::TabFocus);
    }
    QWidget* ChildArea() const override { return widget_; }
    void ArrangeChildren() override { static_cast<PageControlWidget*>(widget_)->Arrange(); }
    void Sync(std::string_view p) override {
        if (p == "ActivePage" || p == "Pages") static_cast<PageControlWidget*>(widget_)->SyncTabs();
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        ControlBinding::SyncAll();
        static_cast<PageControlWidget*>(widget_)->SyncTabs();
    }
};

class LabelBinding : public ControlBinding {
public:
    LabelBinding(FormView& v, TControl& c, QWidget* parent) : ControlBinding(v, c, new QLabel(parent)) {
        widget_->setFocusPolicy(Qt::NoFocus);
    }
    void Sync(std::string_view p) override {
        if (p == "Caption") static_cast<QLabel*>(widget_)->setText(plainCaption(control_.Caption()));
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        Sync("Caption");
        ControlBinding::SyncAll();
    }
};

class ImageBinding : public ControlBinding {
public:
    ImageBinding(FormView& v, TImage& c, QWidget* parent) : ControlBinding(v, c, new QLabel(parent)) {
        widget_->setFocusPolicy(Qt::NoFocus);
    }
    void SyncAll() override {
        static_cast<QLabel*>(widget_)->setPixmap(PictureOf(static_cast<TImage&>(control_)));
        ControlBinding::SyncAll();
    }
};

class SplitterBinding : public ControlBinding {
public:
    SplitterBinding(FormView& v, TControl& c, QWidget* parent) : ControlBinding(v, c, new QFrame(parent)) {
        auto* f = static_cast<QFrame*>(widget_);
        f->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        f->setFocusPolicy(Qt::NoFocus);
    }
};

class EditBinding : public ControlBinding {
public:
    EditBinding(FormView& v, TCustomEdit& c, QWidget* parent) : ControlBinding(v, c, new QLineEdit(parent)) {
        auto* e = static_cast<QLineEdit*>(widget_);
        e->setFocusPolicy(Qt::StrongFocus);
        // Keys go to the toolkit; only edits made without keys (paste from the
        // context menu, drops) arrive here, as a whole new text.
        QObject::connect(e, &QLineEdit::textEdited, e, [this, &c](const QString& text) {
            view_.UserAction([&c, text] { c.UserSetText(text.toStdString()); });
            if (view_.Form()) SyncAll();
        });
    }
    void Sync(std::string_view p) override {
        auto& c = static_cast<TCustomEdit&>(control_);
        auto* e = static_cast<QLineEdit*>(widget_);
        if (p == "Text") {
            QString t = qs(c.Text());
            if (e->text() != t) e->setText(t);
            if (c.AllSelected() && e->hasFocus()) e->selectAll();
        } else if (p == "ReadOnly") {
            e->setReadOnly(c.ReadOnly());
        }
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        Sync("Text");
        Sync("ReadOnly");
        ControlBinding::SyncAll();
    }
};

class ButtonBinding : public ControlBinding {
public:
    ButtonBinding(FormView& v, TButton& c, QWidget* parent) : ControlBinding(v, c, new QPushButton(parent)) {
        auto* b = static_cast<QPushButton*>(widget_);
        // A click focuses through the toolkit (TabFocus keeps Qt from doing it first).
        b->setFocusPolicy(Qt::TabFocus);
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, b, [this, &c] { view_.UserAction([&c] { c.UserClick(); }); });
    }
    void Sync(std::string_view p) override {
        if (p == "Caption") static_cast<QPushButton*>(widget_)->setText(qs(control_.Caption()));
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        Sync("Caption");
        ControlBinding::SyncAll();
    }
};

template <class QtButton, class TkButton>
class CheckableBinding : public ControlBinding {
public:
    CheckableBinding(FormView& v, TkButton& c, QWidget* parent) : ControlBinding(v, c, new QtButton(parent)) {
        auto* b = static_cast<QtButton*>(widget_);
        b->setFocusPolicy(Qt::TabFocus);
        b->setAutoExclusive(false);  // the toolkit unchecks the siblings
        QObject::connect(b, &QAbstractButton::clicked, b, [this, &c] {
            view_.UserAction([&c] { c.UserClick(); });
            if (view_.Form()) Sync("Checked");  // the toolkit may have refused
        });
    }
    void Sync(std::string_view p) override {
        auto* b = static_cast<QtButton*>(widget_);
        if (p == "Caption") b->setText(qs(control_.Caption()));
        else if (p == "Checked") b->setChecked(static_cast<TkButton&>(control_).Checked());
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        Sync("Caption");
        Sync("Checked");
        ControlBinding::SyncAll();
    }
};

class ToolButtonBinding : public ControlBinding {
public:
    ToolButtonBinding(FormView& v, TSpeedButton& c, QWidget* parent) : ControlBinding(v, c, new QToolButton(parent)) {
        auto* b = static_cast<QToolButton*>(widget_);
        b->setFocusPolicy(Qt::NoFocus);  // speed buttons never take the focus
        QIcon icon = GlyphIcon(c.Glyph);
        if (icon.isNull()) {
            b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        } else {
            b->setIcon(icon);
            b->setIconSize(QSize(24, 24));
            b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        }
        QObject::connect(b, &QToolButton::clicked, b, [this, &c] { view_.UserAction([&c] { c.UserClick(); }); });
    }
    void Sync(std::string_view p) override {
        if (p == "Caption") {
            QString caption = plainCaption(control_.Caption());
            // A search button without caption shows the usual ellipsis.
            if (caption.isEmpty() && dynamic_cast<TBtnPesquisa*>(&control_)) caption = QStringLiteral("…");
            // Tool buttons drawn with a glyph elsewhere show their hint as text here.
            if (caption.isEmpty()) caption = qs(control_.Hint());
            static_cast<QToolButton*>(widget_)->setText(caption);
        }
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        Sync("Caption");
        ControlBinding::SyncAll();
    }
};

class ListBoxBinding : public ControlBinding {
public:
    ListBoxBinding(FormView& v, TListBox& c, QWidget* parent) : ControlBinding(v, c, new QListWidget(parent)) {
        auto* l = static_cast<QListWidget*>(widget_);
        l->setFocusPolicy(Qt::StrongFocus);
        l->setSelectionMode(c.MultiSelect ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
        QObject::connect(l, &QListWidget::itemClicked, l, [this, &c, l](QListWidgetItem* item) {
            int row = l->row(item);
            view_.UserAction([&c, row] { c.UserSelect(row); });
            if (view_.Form()) SyncAll();
        });
    }
    void Sync(std::string_view p) override {
        auto& c = static_cast<TListBox&>(control_);
        auto* l = static_cast<QListWidget*>(widget_);
        if (p == "Items" || p == "ItemIndex" || p == "Selected") {
            QSignalBlocker block(l);
            if (l->count() != static_cast<int>(c.Items.size())) {
                l->clear();
                for (auto& s : c.Items) l->addItem(qs(s));
            } else {
                for (int i = 0; i < l->count(); ++i) l->item(i)->setText(qs(c.Items[static_cast<size_t>(i)]));
            }
            for (int i = 0; i < l->count(); ++i) l->item(i)->setSelected(c.MultiSelect ? c.Selected(i) : i == c.ItemIndex());
            if (c.ItemIndex() >= 0) l->setCurrentRow(c.ItemIndex(), QItemSelectionModel::NoUpdate);
        }
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        Sync("Items");
        ControlBinding::SyncAll();
    }
};

class ComboBinding : public ControlBinding {
public:
    ComboBinding(FormView& v, TComboBox& c, QWidget* parent) : ControlBinding(v, c, new QComboBox(parent)) {
        auto* b = static_cast<QComboBox*>(widget_);
        b->setFocusPolicy(Qt::StrongFocus);
        QObject::connect(b, &QComboBox::activated, b, [this, &c](int index) {
            view_.UserAction([&c, index] { c.UserSelect(index); });
            if (view_.Form()) SyncAll();
        });
    }
    void Sync(std::string_view p) override {
        auto& c = static_cast<TComboBox&>(control_);
        auto* b = static_cast<QComboBox*>(widget_);
        if (p == "Items" || p == "ItemIndex") {
            QSignalBlocker block(b);
            QStringList items;
            for (auto& s : c.Items) items << qs(s);
            QStringList current;
            for (int i = 0; i < b->count(); ++i) current << b->itemText(i);
            if (current != items) {
                b->clear();
                b->addItems(items);
            }
            b->setCurrentIndex(c.ItemIndex());
        }
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        Sync("Items");
        ControlBinding::SyncAll();
    }
};

class NavigatorBinding : public ControlBinding {
public:
    NavigatorBinding(FormView& v, TDBNavigator& c, QWidget* parent) : ControlBinding(v, c, new QWidget(parent)) {
        auto* box = new QHBoxLayout(widget_);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(1);
        struct B {
            TNavigateBtn btn;
            const char* glyph;
            const char* tip;
        };
        static const B kButtons[] = {
            {TNavigateBtn::nbFirst, "|◀", "Primeiro"}, {TNavigateBtn::nbPrior, "◀", "Anterior"},
            {TNavigateBtn::nbNext, "▶", "Próximo"},    {TNavigateBtn::nbLast, "▶|", "Último"},
            {TNavigateBtn::nbInsert, "+", "Incluir"},  {TNavigateBtn::nbDelete, "−", "Excluir"},
            {TNavigateBtn::nbEdit, "✎", "Alterar"},    {TNavigateBtn::nbPost, "✓", "Gravar"},
            {TNavigateBtn::nbCancel, "✕", "Cancelar"}, {TNavigateBtn::nbRefresh, "↻", "Atualizar"},
        };
        for (const B& b : kButtons) {
            auto* tb = new QToolButton(widget_);
            tb->setText(QString::fromUtf8(b.glyph));
            tb->setToolTip(QString::fromUtf8(b.tip));
            tb->setFocusPolicy(Qt::NoFocus);
            box->addWidget(tb);
            TNavigateBtn which = b.btn;
            buttons_.push_back({which, tb});
            QObject::connect(tb, &QToolButton::clicked, tb,
                             [this, &c, which] { view_.UserAction([&c, which] { c.UserBtnClick(which); }); });
        }
    }
    void Sync(std::string_view p) override {
        if (p == "Buttons" || p == "Enabled") {
            auto& nav = static_cast<TDBNavigator&>(control_);
            for (auto& [btn, tb] : buttons_) tb->setEnabled(nav.ButtonEnabled(btn));
        }
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        Sync("Buttons");
        ControlBinding::SyncAll();
    }

private:
    std::vector<std::pair<TNavigateBtn, QToolButton*>> buttons_;
};

class PlainBinding : public ControlBinding {
public:
    PlainBinding(FormView& v, TControl& c, QWidget* parent) : ControlBinding(v, c, new QWidget(parent)) {
        widget_->setFocusPolicy(Qt::NoFocus);
    }
};

}  // namespace

std::unique_ptr<ControlBinding> MakeBinding(FormView& view, TControl& c, QWidget* parent) {
    if (auto* g = dynamic_cast<TDBGrid*>(&c)) return MakeGridBinding(view, *g, parent);
    if (auto* pc = dynamic_cast<TPageControl*>(&c)) return std::make_unique<PageControlBinding>(view, *pc, parent);
    if (auto* s = dynamic_cast<TTabSheet*>(&c)) return std::make_unique<SheetBinding>(view, *s, parent);
    if (auto* g = dynamic_cast<TGroupBox*>(&c)) return std::make_unique<GroupBinding>(view, *g, parent);
    if (auto* n = dynamic_cast<TDBNavigator*>(&c)) return std::make_unique<NavigatorBinding>(view, *n, parent);
    if (auto* e = dynamic_cast<TCustomEdit*>(&c)) return std::make_unique<EditBinding>(view, *e, parent);
    if (auto* b = dynamic_cast<TButton*>(&c)) return std::make_unique<ButtonBinding>(view, *b, parent);
    if (auto* b = dynamic_cast<TCheckBox*>(&c))
        return std::make_unique<CheckableBinding<QCheckBox, TCheckBox>>(view, *b, parent);
    if (auto* b = dynamic_cast<TRadioButton*>(&c))
        return std::make_unique<CheckableBinding<QRadioButton, TRadioButton>>(view, *b, parent);
    if (auto* l = dynamic_cast<TListBox*>(&c)) return std::make_unique<ListBoxBinding>(view, *l, parent);
    if (auto* b = dynamic_cast<TComboBox*>(&c)) return std::make_unique<ComboBinding>(view, *b, parent);
    if (auto* b = dynamic_cast<TSpeedButton*>(&c)) return std::make_unique<ToolButtonBinding>(view, *b, parent);
    if (auto* i = dynamic_cast<TImage*>(&c)) return std::make_unique<ImageBinding>(view, *i, parent);
    if (dynamic_cast<TSplitter*>(&c)) return std::make_unique<SplitterBinding>(view, c, parent);
    if (dynamic_cast<TLabel*>(&c)) return std::make_unique<LabelBinding>(view, c, parent);
    if (auto* w = dynamic_cast<TWinControl*>(&c)) return std::make_unique<ContainerBinding>(view, *w, parent);
    return std::make_unique<PlainBinding>(view, c, parent);
}

}  // namespace qtview
