#include "qtview/GridWidget.h"

#include "qtview/Colors.h"
#include "qtview/ControlBinding.h"
#include "qtview/FormView.h"
#include "qtview/Pictures.h"
#include "data/DisplayFormat.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cstdio>

namespace qtview {

namespace {
constexpr int kIndicator = 12;
}

GridWidget::GridWidget(FormView& view, TDBGrid& grid, QWidget* parent)
    : QAbstractScrollArea(parent), view_(view), grid_(grid) {
    // A click selects the cell through the toolkit, which focuses the grid.
    setFocusPolicy(Qt::TabFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(16);
}

int GridWidget::RowHeight() const { return fontMetrics().height() + 5; }
int GridWidget::TitleHeight() const { return fontMetrics().height() + 6; }

int GridWidget::ColumnWidth(int column) const {
    if (column < 0 || column >= grid_.Columns().Count()) return 0;
    const TColumn& col = grid_.Columns()[column];
    // The forms were laid out for a narrower system font: widths follow this
    // font, and a column is never narrower than its title or than the display
    // format of a large value of its field.
    const QFontMetrics fm = fontMetrics();
    const double scale = std::max(1.0, fm.averageCharWidth() / 6.0);
    int w = static_cast<int>(col.Width * scale + 0.5);
    w = std::max(w, fm.horizontalAdvance(QString::fromStdString(grid_.ColumnTitle(column))) + 8);
    if (const TField* f = col.Field(); f && f->DataType() == TFieldType::ftFloat && !f->DisplayFormat.empty())
        w = std::max(w, fm.horizontalAdvance(QString::fromStdString(FormatFloat(f->DisplayFormat, 999999.99999))) + 6);
    return w;
}

int GridWidget::columnLeft(int column) const {
    int x = kIndicator - horizontalScrollBar()->value();
    for (int i = 0; i < column; ++i)
        if (grid_.Columns()[i].Visible) x += ColumnWidth(i);
    return x;
}

int GridWidget::contentWidth() const {
    int w = kIndicator;
    for (int i = 0; i < grid_.Columns().Count(); ++i)
        if (grid_.Columns()[i].Visible) w += ColumnWidth(i);
    return w;
}

QRect GridWidget::CellRect(int row, int column) const {
    if (column < 0 || column >= grid_.Columns().Count() || !grid_.Columns()[column].Visible) return {};
    int top = verticalScrollBar()->value();
    if (row < top) return {};
    int y = TitleHeight() + (row - top) * RowHeight();
    if (y > viewport()->height()) return {};
    return QRect(columnLeft(column), y, ColumnWidth(column), RowHeight());
}

int GridWidget::columnAt(int x) const {
    for (int i = 0; i < grid_.Columns().Count(); ++i) {
        if (!grid_.Columns()[i].Visible) continue;
        int left = columnLeft(i);
        if (x >= left && x < left + ColumnWidth(i)) return i;
    }
    return -1;
}

int GridWidget::rowAt(int y) const {
    if (y < TitleHeight()) return -1;
    int row = verticalScrollBar()->value() + (y - TitleHeight()) / RowHeight();
    return row < grid_.RowCount() ? row : -1;
}

QRect GridWidget::ellipsisRect(const QRect& cell) const {
    int w = std::min(16, cell.width() / 2);
    return QRect(cell.right() - w + 1, cell.top() + 1, w - 1, cell.height() - 2);
}

QPixmap GridWidget::picture(const std::string& name) {
    QString key = QString::fromStdString(name);
    auto it = pictures_.find(key);
    if (it != pictures_.end()) return *it;
    QPixmap pm = view_.Form() ? PictureByName(*view_.Form(), name) : QPixmap();
    pictures_.insert(key, pm);
    return pm;
}

void GridWidget::updateScrollBars() {
    int visibleRows = std::max(1, (viewport()->height() - TitleHeight()) / RowHeight());
    verticalScrollBar()->setRange(0, std::max(0, grid_.RowCount() - visibleRows));
    verticalScrollBar()->setPageStep(visibleRows);
    horizontalScrollBar()->setRange(0, std::max(0, contentWidth() - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void GridWidget::Refresh() {
    updateScrollBars();
    int cur = grid_.CurrentRow();
    if (cur >= 0) {
        int visibleRows = std::max(1, (viewport()->height() - TitleHeight()) / RowHeight());
        int top = verticalScrollBar()->value();
        if (cur < top) verticalScrollBar()->setValue(cur);
        else if (cur >= top + visibleRows) verticalScrollBar()->setValue(cur - visibleRows + 1);
    }
    // The selected column stays in sight as well.
    if (TColumn* col = grid_.SelectedColumn()) {
        int left = columnLeft(col->Index()) + horizontalScrollBar()->value();
        int hv = horizontalScrollBar()->value();
        if (left - kIndicator < hv) horizontalScrollBar()->setValue(left - kIndicator);
        else if (left + ColumnWidth(col->Index()) > hv + viewport()->width())
            horizontalScrollBar()->setValue(left + ColumnWidth(col->Index()) - viewport()->width());
    }
    viewport()->update();
}

void GridWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void GridWidget::scrollContentsBy(int, int) { viewport()->update(); }

void GridWidget::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QPalette& pal = palette();
    p.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    if (!view_.Form()) return;
    const int rows = grid_.RowCount();
    const int top = verticalScrollBar()->value();
    const int rh = RowHeight(), th = TitleHeight();
    const QColor lines = pal.color(QPalette::Mid);
    // Titles.
    QRect ind(0, 0, kIndicator, th);
    p.fillRect(ind, pal.color(QPalette::Button));
    for (int c = 0; c < grid_.Columns().Count(); ++c) {
        const TColumn& col = grid_.Columns()[c];
        if (!col.Visible) continue;
        QRect r(columnLeft(c), 0, ColumnWidth(c), th);
        p.fillRect(r, pal.color(QPalette::Button));
        p.setPen(lines);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(pal.color(QPalette::ButtonText));
        int align = col.Title.Alignment == TAlignment::taRightJustify ? Qt::AlignRight
                    : col.Title.Alignment == TAlignment::taCenter    ? Qt::AlignHCenter
                                                                     : Qt::AlignLeft;
        p.drawText(r.adjusted(3, 0, -3, 0), align | Qt::AlignVCenter,
                   QString::fromStdString(grid_.ColumnTitle(c)));
    }
    // Rows, each cell as the toolkit presents it.
    const int cur = grid_.CurrentRow();
    for (int row = top; row < rows; ++row) {
        int y = th + (row - top) * rh;
        if (y > viewport()->height()) break;
        QRect indicator(0, y, kIndicator, rh);
        p.fillRect(indicator, pal.color(QPalette::Button));
        if (row == cur) {
            p.setPen(Qt::NoPen);
            p.setBrush(pal.color(QPalette::ButtonText));
            QPointF c = QRectF(indicator).center();
            p.drawPolygon(QPolygonF({c + QPointF(-3, -4), c + QPointF(3, 0), c + QPointF(-3, 4)}));
            p.setBrush(Qt::NoBrush);
        }
        for (int c = 0; c < grid_.Columns().Count(); ++c) {
            const TColumn& col = grid_.Columns()[c];
            if (!col.Visible) continue;
            QRect cell(columnLeft(c), y, ColumnWidth(c), rh);
            if (cell.right() < 0 || cell.left() > viewport()->width()) continue;
            TCellPresentation pr;
            try {
                pr = grid_.CellPresentation(row, c);
            } catch (const std::exception& e) {
                // A faulty drawing handler must not take the window down; show the cell plainly.
                std::fprintf(stderr, "qtview: drawing %s: %s\n", grid_.Name().c_str(), e.what());
                pr.Text.assign(1, '?');
            }
            p.fillRect(cell.adjusted(1, 1, -1, -1), ToQColor(pr.Background, pal));
            if (pr.Selected && pr.Background == clHighlight) p.fillRect(cell, ToQColor(clHighlight, pal));
            if (!pr.Image.empty()) {
                QPixmap pm = picture(pr.Image);
                p.fillRect(cell.adjusted(1, 1, -1, -1), ToQColor(pr.Background, pal));
                if (!pm.isNull()) {
                    QRect target(cell.left() + pr.ImageLeft, cell.top(), pm.width(), std::min(pm.height(), cell.height()));
                    p.drawPixmap(target.topLeft(), pm, QRect(0, 0, target.width(), target.height()));
                }
            }
            if (!pr.Text.empty()) {
                p.setPen(ToQColor(pr.FontColor, pal));
                QRect tr = cell.adjusted(2, 2, -2, 0);
                int align = pr.Alignment == TAlignment::taRightJustify ? Qt::AlignRight
                            : pr.Alignment == TAlignment::taCenter    ? Qt::AlignHCenter
                                                                      : Qt::AlignLeft;
                p.drawText(tr, align | Qt::AlignTop | Qt::TextSingleLine, QString::fromStdString(pr.Text));
            }
            if (pr.Selected && grid_.EditorMode()) {
                // The in-place editor: a caret after the text typed so far.
                int w = fontMetrics().horizontalAdvance(QString::fromStdString(pr.Text));
                int x = pr.Alignment == TAlignment::taRightJustify ? cell.right() - 2 : cell.left() + 2 + w;
                p.setPen(ToQColor(pr.FontColor, pal));
                p.drawLine(x, cell.top() + 3, x, cell.bottom() - 3);
            }
            if (pr.Selected && grid_.ShowsEllipsis(c)) {
                QRect b = ellipsisRect(cell);
                p.fillRect(b, pal.color(QPalette::Button));
                p.setPen(pal.color(QPalette::ButtonText));
                p.drawText(b, Qt::AlignCenter, QStringLiteral("…"));
            }
            p.setPen(lines);
            p.drawLine(cell.topRight(), cell.bottomRight());
            p.drawLine(cell.bottomLeft(), cell.bottomRight());
            if (pr.FocusRect) {
                p.setPen(QPen(ToQColor(pr.FontColor, pal), 1, Qt::DotLine));
                p.drawRect(cell.adjusted(1, 1, -2, -2));
            }
        }
    }
}

void GridWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    int column = columnAt(pos.x());
    if (pos.y() < TitleHeight()) {
        if (column >= 0) view_.UserAction([this, column] { grid_.UserTitleClick(column); });
        return;
    }
    int row = rowAt(pos.y());
    if (column < 0) return;
    if (row < 0) {
        // Below the rows: the grid takes the focus, the cell stays.
        view_.UserAction([this] { grid_.UserSetFocus(); });
        return;
    }
    // A click on the ellipsis of the selected cell is the edit button.
    QRect cell = CellRect(row, column);
    if (row == grid_.CurrentRow() && column == grid_.SelectedIndex() && grid_.ShowsEllipsis(column) &&
        ellipsisRect(cell).contains(pos)) {
        view_.UserAction([this] { grid_.UserEditButtonClick(); });
        return;
    }
    view_.UserAction([this, row, column] { grid_.UserSelectCell(row, column); });
}

void GridWidget::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

namespace {

class GridBinding : public ControlBinding {
public:
    GridBinding(FormView& v, TDBGrid& g, QWidget* parent) : ControlBinding(v, g, new GridWidget(v, g, parent)) {}
    GridWidget* grid() const { return static_cast<GridWidget*>(widget_); }
    void Sync(std::string_view p) override {
        if (p == "Data" || p == "State" || p == "DataSource" || p == "Columns" || p == "SelectedIndex" ||
            p == "EditorText" || p == "EditorMode" || p == "Paint" || p == "ActiveControl")
            grid()->Refresh();
        ControlBinding::Sync(p);
    }
    void SyncAll() override {
        ControlBinding::SyncAll();
        grid()->Refresh();
    }
};

}  // namespace

std::unique_ptr<ControlBinding> MakeGridBinding(FormView& view, TDBGrid& grid, QWidget* parent) {
    return std::make_unique<GridBinding>(view, grid, parent);
}

}  // namespace qtview
