#include "ui/DBGrid.h"

#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

#include <algorithm>

// ---- columns ----

TField* TColumn::Field() const {
    if (!grid_ || FieldName.empty()) return nullptr;
    TDataSet* ds = grid_->DataSet();
    return ds ? ds->FindField(FieldName) : nullptr;
}

int TColumn::Index() const {
    if (!grid_) return -1;
    for (int i = 0; i < grid_->Columns().Count(); ++i)
        if (&grid_->Columns().Items(i) == this) return i;
    return -1;
}

TColumn& TDBGridColumns::Items(int index) const {
    if (index < 0 || index >= Count())
        throw Exception("Índice de coluna fora dos limites (" + std::to_string(index) + ").");
    return *items_[static_cast<size_t>(index)];
}

TColumn& TDBGridColumns::Add() {
    items_.push_back(std::make_unique<TColumn>());
    items_.back()->grid_ = &grid_;
    changed();
    return *items_.back();
}

TColumn& TDBGridColumns::Add(const std::string& fieldName, const std::string& title, int width) {
    TColumn& c = Add();
    c.FieldName = fieldName;
    c.Title.Caption = title;
    c.Width = width;
    changed();
    return c;
}

TColumn& TDBGridColumns::Insert(int index, const TColumn& column) {
    auto c = std::make_unique<TColumn>(column);
    c->grid_ = &grid_;
    TColumn& ref = *c;
    if (index < 0 || index >= Count()) items_.push_back(std::move(c));
    else items_.insert(items_.begin() + index, std::move(c));
    changed();
    return ref;
}

void TDBGridColumns::Delete(int index) {
    if (index < 0 || index >= Count())
        throw Exception("Índice de coluna fora dos limites (" + std::to_string(index) + ").");
    items_.erase(items_.begin() + index);
    changed();
}

void TDBGridColumns::Clear() {
    items_.clear();
    changed();
}

void TDBGridColumns::changed() { grid_.ColumnsChanged(); }

// ---- grid ----

TDBGrid::TDBGrid() : columns_(*this) {
    link_.OnDataChange = [this](TField* f) {
        if (!f) {
            // Another record: the editor starts again from the field.
            editorOpen_ = Options.AlwaysShowEditor;
            editorModified_ = false;
            editorText_.clear();
        }
        Changed("Data");
    };
    link_.OnStateChange = [this] {
        TDataSet* ds = DataSet();
        if (!ds || ds->State() == TDataSetState::dsBrowse) closeEditor();
        Changed("State");
    };
    link_.OnUpdateData = [this] { UpdateData(); };
}

TDBGrid::~TDBGrid() = default;

void TDBGrid::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
    closeEditor();
    Changed("DataSource");
}

void TDBGrid::ColumnsChanged() {
    if (selected_ >= columns_.Count()) selected_ = std::max(0, columns_.Count() - 1);
    Changed("Columns");
}

TColumn* TDBGrid::SelectedColumn() const {
    if (selected_ < 0 || selected_ >= columns_.Count()) return nullptr;
    return &columns_.Items(selected_);
}

TField* TDBGrid::SelectedField() const {
    auto* c = SelectedColumn();
    return c ? c->Field() : nullptr;
}

int TDBGrid::ColumnIndexOf(const std::string& fieldName) const {
    for (int i = 0; i < columns_.Count(); ++i)
        if (text::SameText(columns_.Items(i).FieldName, fieldName)) return i;
    return -1;
}

std::string TDBGrid::ColumnTitle(int column) const {
    TColumn& c = columns_.Items(column);
    if (!c.Title.Caption.empty()) return c.Title.Caption;
    if (TField* f = c.Field()) return f->DisplayLabel();
    return c.FieldName;
}

bool TDBGrid::SetSelectedField(const std::string& fieldName) {
    int i = ColumnIndexOf(fieldName);
    if (i < 0) return false;
    SetSelectedIndex(i);
    return true;
}

void TDBGrid::SetSelectedIndex(int index) {
    if (columns_.Count() == 0) return;
    index = std::clamp(index, 0, columns_.Count() - 1);
    if (index == selected_) return;
    if (inColExit_) {
        // A column exit chose the column to go to (usually the one in error,
        // before aborting): no second exit, but that column is entered.
        closeEditor();
        selected_ = index;
        Changed("SelectedIndex");
        if (OnColEnter) OnColEnter(this);
        return;
    }
    moveColumn(index);
}

void TDBGrid::closeEditor() {
    bool was = editorOpen_;
    editorOpen_ = false;
    editorModified_ = false;
    editorText_.clear();
    if (was) Changed("EditorMode");
}

void TDBGrid::SetEditorMode(bool open) {
    if (!open) {
        closeEditor();
        return;
    }
    if (editorOpen_ || !CanEditCell()) return;
    TField* f = SelectedField();
    editorOpen_ = true;
    editorModified_ = false;
    editorText_ = f ? f->EditText() : "";
    Changed("EditorMode");
}

std::string TDBGrid::SelectedCellText() const {
    if (editorOpen_) return editorText_;
    TField* f = SelectedField();
    return f ? f->EditText() : "";
}

void TDBGrid::UpdateData() {
    if (!editorOpen_ || !editorModified_) return;
    TField* f = SelectedField();
    TDataSet* ds = DataSet();
    if (!f || !ds || (ds->State() != TDataSetState::dsEdit && ds->State() != TDataSetState::dsInsert)) {
        closeEditor();
        return;
    }
    std::string textNow = editorText_;
    f->SetText(textNow);  // may throw: the editor keeps the text for correction
    editorModified_ = false;
    if (editorOpen_) editorText_ = f->EditText();
}

bool TDBGrid::CanEditCell() const {
    if (!Options.Editing || ReadOnly) return false;
    TColumn* c = SelectedColumn();
    if (!c || c->ReadOnly || !c->Visible) return false;
    TField* f = c->Field();
    if (!f || f->ReadOnly || f->Calculated()) return false;
    TDataSet* ds = DataSet();
    if (!ds || !ds->CanModify()) return false;
    if (ds->State() == TDataSetState::dsBrowse && !DataSource()->AutoEdit) return false;
    return true;
}

bool TDBGrid::ShowsEllipsis(int column) const {
    if (column < 0 || column >= columns_.Count()) return false;
    TColumn& c = columns_.Items(column);
    return c.Visible && c.ButtonStyle == TColumnButtonStyle::cbsEllipsis;
}

bool TDBGrid::beginEdit() {
    TDataSet* ds = DataSet();
    if (!ds) return false;
    if (ds->State() == TDataSetState::dsBrowse) ds->Edit();  // an empty dataset inserts
    return ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert;
}

int TDBGrid::nextVisibleColumn(int from, int step) const {
    for (int i = from + step; i >= 0 && i < columns_.Count(); i += step)
        if (columns_.Items(i).Visible) return i;
    return -1;
}

void TDBGrid::moveColumn(int index) {
    if (index == selected_ || index < 0 || index >= columns_.Count()) return;
    UpdateData();
    int before = selected_;
    {
        inColExit_ = true;
        TScopeExit saiu([this] { inColExit_ = false; });
        if (OnColExit) OnColExit(this);
    }
    // An exit that picked the column itself has decided where the user goes.
    if (selected_ != before) return;
    closeEditor();
    selected_ = index;
    if (Options.AlwaysShowEditor) SetEditorMode(true);
    Changed("SelectedIndex");
    if (OnColEnter) OnColEnter(this);
}

void TDBGrid::moveRow(int delta) {
    TDataSet* ds = DataSet();
    if (!ds || delta == 0) return;
    UpdateData();
    // Leaving an untouched new row upwards drops it, as grids do.
    if (ds->State() == TDataSetState::dsInsert && !ds->Modified() && delta < 0) {
        ds->Cancel();
        return;
    }
    bool lastRow = ds->RowCount() == 0 || ds->CurrentRow() >= ds->RowCount() - 1;
    if (delta == 1 && lastRow) {
        bool canAppend = Options.Editing && !ReadOnly && ds->CanModify() && DataSource()->AutoEdit;
        if (ds->State() == TDataSetState::dsInsert && !ds->Modified()) return;
        ds->CheckBrowseMode();  // posts the row being left
        if (canAppend) ds->Append();
        return;
    }
    ds->MoveBy(delta);
}

int TDBGrid::RowCount() const {
    TDataSet* ds = DataSet();
    return ds ? ds->RowCount() : 0;
}

int TDBGrid::CurrentRow() const {
    TDataSet* ds = DataSet();
    return ds ? ds->CurrentRow() : -1;
}

TCellPresentation TDBGrid::CellPresentation(int row, int column) {
    TCellPresentation c;
    TColumn& col = columns_.Items(column);
    c.Alignment = col.Alignment;
    c.Background = col.Color;
    TDataSet* ds = DataSet();
    TField* f = col.Field();
    if (ds && f && row >= 0 && row < ds->RowCount()) c.Text = ds->DisplayTextAt(row, *f);
    bool current = row == CurrentRow() && column == selected_;
    if (current && editorOpen_) c.Text = editorText_;
    c.Selected = current;
    c.Focused = current && Focused();
    if (c.Selected) {
        c.Background = clHighlight;
        c.FontColor = clHighlightText;
    }
    c.FocusRect = c.Focused;
    if (OnDrawColumnCell) OnDrawColumnCell(this, row, column, col, TGridDrawState{c.Selected, c.Focused}, c);
    return c;
}

void TDBGrid::UserSelectCell(int row, int column) {
    if (!Focused()) {
        UserSetFocus();
        if (!Focused()) return;
    }
    Application().RunUserAction([&] {
        if (column >= 0 && column < columns_.Count() && column != selected_) moveColumn(column);
        int cur = CurrentRow();
        if (row >= 0 && cur >= 0 && row != cur) {
            TDataSet* ds = DataSet();
            UpdateData();
            if (ds) ds->MoveBy(row - cur);
        }
        if (OnCellClick) OnCellClick(this);
    });
}

void TDBGrid::UserEditButtonClick() {
    if (!Showing() || !EnabledChain() || !ShowsEllipsis(selected_)) return;
    if (!Focused()) {
        UserSetFocus();
        if (!Focused()) return;
    }
    Application().RunUserAction([&] {
        if (OnEditButtonClick) OnEditButtonClick(this);
    });
}

void TDBGrid::UserTitleClick(int column) {
    if (column < 0 || column >= columns_.Count()) return;
    Application().RunUserAction([&] {
        if (OnTitleClick) OnTitleClick(this);
    });
}

void TDBGrid::DefaultKeyDown(WORD& key, TShiftState shift) {
    TDataSet* ds = DataSet();
    auto firstVisible = [&] { return nextVisibleColumn(-1, 1); };
    auto lastVisible = [&] { return nextVisibleColumn(columns_.Count(), -1); };
    if (key == VK_TAB && !shift.Ctrl && !shift.Alt) {
        if (!Options.Tabs || !ds) {
            TWinControl::DefaultKeyDown(key, shift);
            return;
        }
        key = 0;
        if (!shift.Shift) {
            int n = nextVisibleColumn(selected_, 1);
            if (n >= 0) {
                moveColumn(n);
            } else {
                moveColumn(firstVisible());
                moveRow(1);
            }
        } else {
            int p = nextVisibleColumn(selected_, -1);
            if (p >= 0) {
                moveColumn(p);
            } else if (ds->CurrentRow() > 0) {
                moveColumn(lastVisible());
                moveRow(-1);
            }
        }
        return;
    }
    switch (key) {
        case VK_LEFT:
        case VK_RIGHT: {
            if (!shift.Empty()) return;
            int n = nextVisibleColumn(selected_, key == VK_RIGHT ? 1 : -1);
            if (n >= 0) moveColumn(n);
            key = 0;
            return;
        }
        case VK_UP:
        case VK_DOWN:
            if (shift.Ctrl || shift.Alt) return;
            moveRow(key == VK_DOWN ? 1 : -1);
            key = 0;
            return;
        case VK_PRIOR:
        case VK_NEXT:
            if (ds) {
                UpdateData();
                ds->MoveBy(key == VK_NEXT ? 10 : -10);
            }
            key = 0;
            return;
        case VK_HOME:
        case VK_END:
            if (shift.Ctrl) {
                if (ds) {
                    UpdateData();
                    key == VK_HOME ? ds->First() : ds->Last();
                }
            } else {
                int c = key == VK_HOME ? firstVisible() : lastVisible();
                if (c >= 0) moveColumn(c);
            }
            key = 0;
            return;
        case VK_INSERT:
            if (shift.Empty() && ds && Options.Editing && !ReadOnly && ds->CanModify()) {
                UpdateData();
                ds->Insert();
            }
            key = 0;
            return;
        case VK_DELETE:
            if (shift.Ctrl && OnDeleteRequest && ds && Options.Editing && !ReadOnly && ds->CanModify() &&
                !ds->IsEmpty()) {
                key = 0;
                OnDeleteRequest(this);
                return;
            }
            if (shift.Empty() && editorOpen_ && CanEditCell()) {
                editorText_.clear();
                editorModified_ = true;
                Changed("EditorText");
                key = 0;
            }
            return;
        case VK_ESCAPE:
            if (editorOpen_ && editorModified_) {
                closeEditor();
                key = 0;
            } else if (ds && (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert)) {
                closeEditor();
                ds->Cancel();
                key = 0;
            }
            return;
        case VK_RETURN:
            // The grid keeps Enter for itself: it commits the cell, it does
            // not press the form's default button.
            if (shift.Empty()) {
                UpdateData();
                key = 0;
            }
            return;
        case VK_F2:
            if (shift.Empty()) {
                SetEditorMode(!editorOpen_);
                key = 0;
            }
            return;
        default:
            TWinControl::DefaultKeyDown(key, shift);
    }
}

void TDBGrid::DefaultKeyPress(char32_t& key) {
    if (key == U'\r') {
        UpdateData();
        key = 0;
        return;
    }
    if (key == 27 || key == U'\t') return;
    if (key == U'\b') {
        if (!editorOpen_ || !CanEditCell()) return;
        std::u32string chars = Utf8ToChars(editorText_);
        if (!chars.empty()) chars.pop_back();
        editorText_.clear();
        for (char32_t c : chars) editorText_ += CharToUtf8(c);
        editorModified_ = true;
        Changed("EditorText");
        key = 0;
        return;
    }
    if (key < 32) return;
    if (!CanEditCell()) {
        key = 0;
        return;
    }
    if (!beginEdit()) return;
    TField* f = SelectedField();
    if (!editorOpen_) {
        editorOpen_ = true;
        editorText_.clear();
        Changed("EditorMode");
    } else if (!editorModified_) {
        editorText_.clear();  // the first key replaces the text shown
    }
    if (f && f->IsStringType() && f->Size() > 0 && static_cast<int>(text::Length(editorText_)) >= f->Size()) {
        key = 0;
        return;
    }
    editorText_ += CharToUtf8(key);
    editorModified_ = true;
    Changed("EditorText");
    key = 0;
}

void TDBGrid::DoExit() {
    UpdateData();
    TDataSet* ds = DataSet();
    if (Options.CancelOnExit && ds && ds->State() == TDataSetState::dsInsert && !ds->Modified()) ds->Cancel();
    TWinControl::DoExit();
}
