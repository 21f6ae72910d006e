#pragma once
// TDBGrid: rows of a dataset in columns. The current row is the dataset's
// cursor; the selected column is the grid's. Typing into a cell opens the
// in-place editor (replacing the cell's text) and puts the record into edit
// (an empty dataset inserts); the editor's text goes to the field when the
// column or row is left, on Enter and when the record is posted. Leaving a
// column runs OnColExit after the field took the text (an exception keeps the
// column), then the new column's OnColEnter. Moving rows posts the record
// (the dataset's browse check); Down on the last row, or Tab on its last
// cell, appends when editing is allowed; Insert inserts; Ctrl+Delete asks
// OnDeleteRequest. The view paints each
// cell from CellPresentation, which OnDrawColumnCell may change.
#include "data/DataSource.h"
#include "ui/Control.h"
#include "ui/Graphics.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class TColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone };

struct TColumnTitle {
    std::string Caption;
    TAlignment Alignment = TAlignment::taLeftJustify;
};

class TDBGrid;

// A column: a value, copyable (the screen keeps copies to put columns back).
class TColumn {
public:
    std::string FieldName;
    TColumnTitle Title;
    int Width = 64;
    bool Visible = true;
    bool ReadOnly = false;
    TColumnButtonStyle ButtonStyle = TColumnButtonStyle::cbsAuto;
    TAlignment Alignment = TAlignment::taLeftJustify;
    TColor Color = clWindow;
    // The column's field in the grid's dataset (null when absent or inactive).
    TField* Field() const;
    TDBGrid* Grid() const { return grid_; }
    int Index() const;

private:
    friend class TDBGridColumns;
    TDBGrid* grid_ = nullptr;
};

class TDBGridColumns {
public:
    explicit TDBGridColumns(TDBGrid& grid) : grid_(grid) {}
    int Count() const { return static_cast<int>(items_.size()); }
    TColumn& Items(int index) const;  // throws Exception for a bad index
    TColumn& operator[](int index) const { return Items(index); }
    TColumn& Add();
    TColumn& Add(const std::string& fieldName, const std::string& title = "", int width = 64);
    // Puts a copy of a column at `index` (at the end when out of range).
    TColumn& Insert(int index, const TColumn& column);
    void Delete(int index);
    void Clear();

private:
    void changed();
    TDBGrid& grid_;
    std::vector<std::unique_ptr<TColumn>> items_;
};

struct TGridDrawState {
    bool Selected = false;  // the current cell
    bool Focused = false;   // the current cell of a focused grid
};

// What the view paints for a cell.
struct TCellPresentation {
    TColor Background = clWindow;
    TColor FontColor = clWindowText;
    std::string Text;
    TAlignment Alignment = TAlignment::taLeftJustify;
    std::string Image;      // name of an image component; empty for none
    int ImageLeft = 0;      // pixels from the cell's left edge
    bool FocusRect = false;
    bool Selected = false;
    bool Focused = false;
};

using TDrawColumnCellEvent = std::function<void(TObject* Sender, int Row, int DataCol, TColumn& Column,
                                                TGridDrawState State, TCellPresentation& Cell)>;

struct TDBGridOptions {
    bool Editing = true;        // cells may be edited
    bool Tabs = true;           // Tab moves between cells
    bool AlwaysShowEditor = false;
    bool RowSelect = false;
    bool CancelOnExit = true;   // leaving the grid drops an untouched new row
};

class TDBGrid : public TWinControl {
public:
    TDBGrid();
    ~TDBGrid() override;
    std::string ClassName() const override { return "TDBGrid"; }

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const { return link_.Active() ? link_.DataSet() : nullptr; }
    TDBGridColumns& Columns() { return columns_; }
    const TDBGridColumns& Columns() const { return columns_; }
    TDBGridOptions Options;
    bool ReadOnly = false;

    // Selected column (index into Columns); setting it from code runs the
    // column exit/enter events like a user's move. Inside OnColExit it runs
    // no second exit: the column chosen is entered and the move in progress
    // ends there.
    int SelectedIndex() const { return selected_; }
    void SetSelectedIndex(int index);
    TColumn* SelectedColumn() const;
    TField* SelectedField() const;
    // Selects the column of the field (by name, without regard to case); false when none.
    bool SetSelectedField(const std::string& fieldName);
    int ColumnIndexOf(const std::string& fieldName) const;  // -1 when none
    // Title text of a column: its caption, else the field's label, else its field name.
    std::string ColumnTitle(int column) const;

    // In-place editor.
    bool EditorMode() const { return editorOpen_; }
    void SetEditorMode(bool open);
    const std::string& InplaceEditorText() const { return editorText_; }
    // The text the selected cell shows now: the editor's when open, else the field's.
    std::string SelectedCellText() const;
    // Writes the editor's text to the field (the field's conversions may throw).
    void UpdateData();

    TNotifyEvent OnColEnter, OnColExit, OnEditButtonClick, OnCellClick, OnTitleClick;
    // Ctrl+Delete on a row of a grid that may edit: the screen decides what a
    // deletion means (asks, marks, calls its server). Without a handler the
    // key is left to the form: the grid deletes nothing on its own.
    TNotifyEvent OnDeleteRequest;
    TDrawColumnCellEvent OnDrawColumnCell;

    // Paint data for the view: rows as the dataset shows them.
    int RowCount() const;
    int CurrentRow() const;
    TCellPresentation CellPresentation(int row, int column);

    // A user's input.
    void UserSelectCell(int row, int column);  // click on a cell
    void UserEditButtonClick();                // ellipsis of the selected cell
    void UserTitleClick(int column);

    void DefaultKeyDown(WORD& key, TShiftState shift) override;
    void DefaultKeyPress(char32_t& key) override;
    void DoExit() override;

    // Whether the selected cell may be edited now.
    bool CanEditCell() const;
    bool ShowsEllipsis(int column) const;

    void ColumnsChanged();

private:
    // Moves the selected column by the user's rules (events included).
    void moveColumn(int index);
    int nextVisibleColumn(int from, int step) const;
    void moveRow(int delta);
    bool beginEdit();
    void closeEditor();

    TDataLink link_;
    TDBGridColumns columns_;
    int selected_ = 0;
    bool editorOpen_ = false;
    std::string editorText_;
    bool editorModified_ = false;
    bool inColExit_ = false;
};
