#pragma once
// The data grid: titles, an indicator column and the rows of the dataset,
// each cell painted from the toolkit's cell presentation (background, font
// colour, text and alignment, image, focus rectangle). Clicks select cells
// through the toolkit; keys reach it through the FormView like any control.
#include <QAbstractScrollArea>
#include <QHash>
#include <QPixmap>
#include <memory>

class TDBGrid;

namespace qtview {

class ControlBinding;
class FormView;

class GridWidget : public QAbstractScrollArea {
    Q_OBJECT
public:
    GridWidget(FormView& view, TDBGrid& grid, QWidget* parent);
    TDBGrid& Grid() const { return grid_; }

    int RowHeight() const;
    int TitleHeight() const;
    // A column's width on screen: its width scaled to this font, at least its
    // title's and a large value's in its display format.
    int ColumnWidth(int column) const;
    // Cell rectangle in viewport coordinates (empty when not visible).
    QRect CellRect(int row, int column) const;
    // Scrolls so that the dataset's current row is visible, and repaints.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int columnAt(int x) const;   // -1 when none
    int rowAt(int y) const;      // -1 for titles or below the rows
    int columnLeft(int column) const;
    int contentWidth() const;
    QRect ellipsisRect(const QRect& cell) const;
    void updateScrollBars();
    QPixmap picture(const std::string& name);

    FormView& view_;
    TDBGrid& grid_;
    QHash<QString, QPixmap> pictures_;
};

std::unique_ptr<ControlBinding> MakeGridBinding(FormView& view, TDBGrid& grid, QWidget* parent);

}  // namespace qtview
