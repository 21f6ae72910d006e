#include "data/DataSet.h"

#include "core/Exception.h"
#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "data/DataSource.h"
#include "data/FilterExpression.h"
#include "data/RowStore.h"
#include "data/ValueCompare.h"

#include <algorithm>

namespace {

const Variant& NullValue() {
    static const Variant null;
    return null;
}

bool IsEditing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> out;
    for (const std::string& part : text::Split(names, ';')) {
        std::string n = text::Trim(part);
        if (!n.empty()) out.push_back(n);
    }
    return out;
}

}  // namespace

const char* DataSetStateName(TDataSetState s) {
    switch (s) {
        case TDataSetState::dsInactive: return "dsInactive";
        case TDataSetState::dsBrowse: return "dsBrowse";
        case TDataSetState::dsEdit: return "dsEdit";
        case TDataSetState::dsInsert: return "dsInsert";
        case TDataSetState::dsCalcFields: return "dsCalcFields";
    }
    return "dsInactive";
}

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
    auto sources = sources_;
    sources_.clear();
    for (TDataSource* s : sources) s->DataSetGone();
}

// ---- Fields -------------------------------------------------------------------

TField& TDataSet::AddField(const std::string& fieldName, TFieldType type, int size, TFieldKind kind) {
    if (Active()) throw Exception(Name + ": Cannot perform this operation on an open dataset");
    if (text::Trim(fieldName).empty()) throw Exception(Name + ": Field name missing");
    if (FindField(fieldName)) throw Exception(Name + ": Duplicate field name '" + fieldName + "'");
    if (!declaredFields_) fields_.clear();  // fields made from an earlier packet give way
    declaredFields_ = true;
    fields_.push_back(std::make_unique<TField>(*this, fieldName, type, size, kind));
    FieldsChanged();
    return *fields_.back();
}

TField& TDataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw Exception(Name + ": Field index out of range (" + std::to_string(index) + ")");
    return *fields_[index];
}

TField* TDataSet::FindField(const std::string& fieldName) const {
    auto at = fieldIndex_.find(fieldName);
    return at == fieldIndex_.end() ? nullptr : at->second;
}

void TDataSet::FieldsChanged() {
    fieldIndex_.clear();
    for (const auto& f : fields_) fieldIndex_.emplace(f->FieldName(), f.get());  // keeps the first
    boundColumns_.clear();
    bindingKept_ = false;
}

TField& TDataSet::FieldByName(const std::string& fieldName) const {
    TField* f = FindField(fieldName);
    if (!f) throw Exception(Name + ": Field '" + fieldName + "' not found");
    return *f;
}

void TDataSet::BindFields() {
    // A field's column follows from its name and the column names alone: the
    // same fields over the same columns keep the columns they have.
    const std::vector<PacketField>& cols = store_->Columns();
    const bool same = bindingKept_ && boundColumns_.size() == cols.size() &&
                      std::equal(cols.begin(), cols.end(), boundColumns_.begin(),
                                 [](const PacketField& c, const std::string& n) { return c.name == n; });
    if (!same) {
        bindingKept_ = false;
        int calc = 0;
        for (auto& f : fields_) {
            if (f->Calculated()) {
                f->column_ = calc++;
                continue;
            }
            int col = store_->ColumnIndex(f->FieldName());
            if (col < 0) throw Exception(Name + ": Field '" + f->FieldName() + "' not found");
            f->column_ = col;
        }
        calcFieldCount_ = calc;
        boundColumns_.clear();
        for (const PacketField& c : cols) boundColumns_.push_back(c.name);
        bindingKept_ = true;
    }
    calcBuf_.assign(static_cast<size_t>(calcFieldCount_), Variant());
}

int TDataSet::ResolveColumn(const std::string& name, const char* purpose) const {
    if (TField* f = FindField(name)) {
        if (f->Calculated())
            throw EFilterError(Name + ": Calculated field '" + name + "' cannot be used in " + purpose);
        if (store_) return store_->ColumnIndex(f->FieldName());
    }
    return store_ ? store_->ColumnIndex(name) : -1;
}

// ---- Open / close ---------------------------------------------------------------

void TDataSet::InternalOpen() {
    if (!store_) throw Exception(Name + ": Missing data provider or data packet");
}

bool TDataSet::HasRows() const { return store_ != nullptr; }

void TDataSet::LoadPacket(std::shared_ptr<const DataPacket> packet) {
    if (Active()) throw Exception(Name + ": Cannot perform this operation on an open dataset");
    if (!packet) throw EConvertError(Name + ": Missing data packet");
    auto store = std::make_unique<RowStore>(packet);
    if (!declaredFields_) {
        // Fields follow the packet; a field of the same name and type survives.
        std::vector<std::unique_ptr<TField>> next;
        for (const PacketField& pf : store->Columns()) {
            std::unique_ptr<TField> f;
            for (auto& old : fields_)
                if (old && text::SameText(old->FieldName(), pf.name) && old->DataType() == pf.type &&
                    old->Size() == (pf.size > 0 ? pf.size : old->Size()))
                    f = std::move(old);
            if (!f) {
                f = std::make_unique<TField>(*this, pf.name, pf.type, pf.size, TFieldKind::fkData);
                f->Name = Name + pf.name;
            }
            next.push_back(std::move(f));
        }
        fields_ = std::move(next);
        FieldsChanged();
    }
    store_ = std::move(store);
}

void TDataSet::LoadEmpty() {
    if (Active()) throw Exception(Name + ": Cannot perform this operation on an open dataset");
    std::vector<PacketField> cols;
    for (const auto& f : fields_)
        if (!f->Calculated()) cols.push_back({f->FieldName(), f->DataType(), f->Size()});
    if (cols.empty()) throw Exception(Name + ": Missing field definitions");
    store_ = std::make_unique<RowStore>(std::move(cols));
}

void TDataSet::Open() {
    if (Active()) return;
    Fire(BeforeOpen);
    InternalOpen();
    {
        TScopeFailure fecha([this] { store_.reset(); });
        BindFields();
        // Data without the column is still searched, by reading the rows.
        if (!keyTagField_.empty())
            if (const int col = store_->ColumnIndex(keyTagField_); col >= 0) store_->TagColumn(col);
        indexColumns_ = ParseIndex(indexFieldNames_);
        filter_ = filtered_ && !text::Trim(filterText_).empty() ? ParseFilter(filterText_, filterOptions_) : nullptr;
    }
    editBuf_.clear();
    modified_ = false;
    state_ = TDataSetState::dsBrowse;
    RebuildView(-1);
    cursor_ = 0;
    bof_ = true;
    eof_ = VisibleCount() == 0;
    CalcCurrent();
    if (disableCount_ == 0) {
        for (TDataSource* s : std::vector<TDataSource*>(sources_)) s->StateChanged();
    }
    NotifyDataChange(nullptr);
    Fire(AfterOpen);
    if (!IsEmpty()) Fire(AfterScroll);
}

void TDataSet::Close() {
    if (!Active()) return;
    Fire(BeforeClose);
    editBuf_.clear();
    modified_ = false;
    store_.reset();
    view_.Clear();
    identity_ = true;
    cursor_ = 0;
    bof_ = eof_ = true;
    filter_.reset();
    SetState(TDataSetState::dsInactive);
    NotifyDataChange(nullptr);
    Fire(AfterClose);
}

void TDataSet::CheckActive() const {
    if (!Active()) throw Exception(Name + ": Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckCanModify() const {
    if (!CanModify()) throw Exception(Name + ": Cannot modify a read-only dataset");
}

void TDataSet::SetState(TDataSetState s) {
    if (state_ == s) return;
    state_ = s;
    if (disableCount_ > 0) return;
    for (TDataSource* src : std::vector<TDataSource*>(sources_)) src->StateChanged();
}

// ---- View -------------------------------------------------------------------------

// Up to this many records flagged deleted are skipped on reading instead of
// building a view: a copy of a dataset with a deletion stays O(1).
constexpr int kSkippedDeletions = 32;

int TDataSet::VisibleCount() const {
    if (!store_) return 0;
    return identity_ ? store_->Size() - store_->DeletedCount() : view_.Size();
}

int TDataSet::StoreIndex(int viewIndex) const { return identity_ ? store_->LiveIndex(viewIndex) : view_.At(viewIndex); }

int TDataSet::ImplicitPos(int storeIndex) const {
    return store_->Deleted(storeIndex) ? -1 : storeIndex - store_->DeletedBefore(storeIndex);
}

const VariantArray* TDataSet::RowAt(int viewIndex) const { return &store_->Values(StoreIndex(viewIndex)); }

int64_t TDataSet::IdAt(int viewIndex) const { return store_->Id(StoreIndex(viewIndex)); }

bool TDataSet::PassesView(int i) const {
    if (store_->Deleted(i)) {
        if (!(statusFilter_ & usDeleted)) return false;
    } else {
        unsigned st = store_->Change(i) == RowChange::Inserted   ? usInserted
                      : store_->Change(i) == RowChange::Modified ? usModified
                                                                 : usUnmodified;
        if (!(statusFilter_ & st)) return false;
    }
    return !filter_ || filter_->Matches(store_->Values(i));
}

bool TDataSet::ViewLess(int a, int b) const {
    const VariantArray& ra = store_->Values(a);
    const VariantArray& rb = store_->Values(b);
    for (int col : indexColumns_) {
        int c = CompareValues(ra[col], rb[col]);
        if (c != 0) return c < 0;
    }
    return a < b;  // equal keys keep the natural order
}

bool TDataSet::IdentityView() const {
    return !filter_ && indexColumns_.empty() && statusFilter_ == usDefaultStatusFilter &&
           store_->DeletedCount() <= kSkippedDeletions;
}

void TDataSet::RebuildView(int64_t keepId) {
    if (!store_) return;
    identity_ = IdentityView();
    view_.Clear();
    if (!identity_) {
        std::vector<int> rows;
        int n = store_->Size();
        rows.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            if (PassesView(i)) rows.push_back(i);
        // Rows mostly come in index order already (the server sorts them): check before sorting.
        auto less = [this](int a, int b) { return ViewLess(a, b); };
        if (!indexColumns_.empty() && !std::is_sorted(rows.begin(), rows.end(), less))
            std::sort(rows.begin(), rows.end(), less);
        view_.Assign(rows);
    }
    if (keepId >= 0) SetCursorTo(keepId);
    int count = VisibleCount();
    if (cursor_ >= count) cursor_ = count > 0 ? count - 1 : 0;
    if (cursor_ < 0) cursor_ = 0;
    if (count == 0) bof_ = eof_ = true;
}

// Keeps the view in step after one stored record was added or rewritten;
// cheaper than a rebuild for the common post of one record. Returns the
// record's visible position, -1 when it is not shown.
int TDataSet::ViewRecordChanged(int storeIndex, bool inserted, int viewHint) {
    bool identity = IdentityView();
    if (identity && identity_) return ImplicitPos(storeIndex);
    if (identity != identity_) {
        RebuildView(-1);
        if (identity_) return ImplicitPos(storeIndex);
        return view_.Find(storeIndex);
    }
    if (inserted && storeIndex < store_->Size() - 1) view_.Shift(storeIndex, 1);
    if (!inserted) {
        // The caller usually knows where the record was shown.
        int at = viewHint >= 0 && viewHint < view_.Size() && view_.At(viewHint) == storeIndex ? viewHint
                                                                                               : view_.Find(storeIndex);
        // An edit that leaves the keys in order keeps its place.
        if (at >= 0 && !indexColumns_.empty() && PassesView(storeIndex) &&
            (at == 0 || ViewLess(view_.At(at - 1), storeIndex)) &&
            (at + 1 == view_.Size() || ViewLess(storeIndex, view_.At(at + 1))))
            return at;
        if (at >= 0) view_.Erase(at);
    }
    if (!PassesView(storeIndex)) return -1;
    int pos = indexColumns_.empty() ? view_.LowerBound([storeIndex](int v) { return v < storeIndex; })
                                    : view_.LowerBound([this, storeIndex](int v) { return ViewLess(v, storeIndex); });
    view_.Insert(pos, storeIndex);
    return pos;
}

int TDataSet::ViewPosOf(int64_t id) const {
    int s = store_ ? store_->Find(id) : -1;
    if (s < 0) return -1;
    return identity_ ? ImplicitPos(s) : view_.Find(s);
}

void TDataSet::SetCursorTo(int64_t id) {
    int p = ViewPosOf(id);
    if (p >= 0) cursor_ = p;
}

std::unique_ptr<FilterExpression> TDataSet::ParseFilter(const std::string& text, TFilterOptions options) const {
    return FilterExpression::Parse(
        text, [this](const std::string& name) { return ResolveColumn(name, "a filter"); },
        (options & foCaseInsensitive) != 0, (options & foNoPartialCompare) == 0);
}

std::vector<int> TDataSet::ParseIndex(const std::string& names) const {
    std::vector<int> cols;
    for (const std::string& n : SplitNames(names)) {
        int c = ResolveColumn(n, "an index");
        if (c < 0) throw Exception(Name + ": Field '" + n + "' not found");
        cols.push_back(c);
    }
    return cols;
}

// ---- Field access --------------------------------------------------------------------

const Variant& TDataSet::ReadField(const TField& f) const {
    if (f.Calculated()) {
        const VariantArray* calc = calcOverride_ ? calcOverride_ : &calcBuf_;
        return f.column_ >= 0 && f.column_ < static_cast<int>(calc->size()) ? (*calc)[f.column_] : NullValue();
    }
    const VariantArray* row = rowOverride_;
    if (!row) {
        if (IsEditing(state_)) row = &editBuf_;
        else if (state_ != TDataSetState::dsInactive && cursor_ < VisibleCount()) row = RowAt(cursor_);
    }
    if (!row || f.column_ < 0 || f.column_ >= static_cast<int>(row->size())) return NullValue();
    return (*row)[f.column_];
}

void TDataSet::CheckFieldWritable(const TField& f) const {
    if (f.Calculated()) {
        if (state_ != TDataSetState::dsCalcFields)
            throw Exception("Calculated field '" + f.FieldName() + "' can only be set in OnCalcFields");
        return;
    }
    if (!IsEditing(state_) || rowOverride_) throw Exception("Dataset not in edit or insert mode");
    if (f.ReadOnly) throw Exception("Field '" + f.DisplayLabel() + "' cannot be modified");
}

void TDataSet::WriteField(TField& f, const Variant& v) {
    size_t col = static_cast<size_t>(f.column_);
    if (f.Calculated()) {
        VariantArray* calc = calcOverride_ ? calcOverride_ : &calcBuf_;
        if (col < calc->size()) (*calc)[col] = v;
        return;
    }
    if (col >= editBuf_.size()) throw Exception(Name + ": Field '" + f.FieldName() + "' is not bound");
    Variant old = editBuf_[col];
    editBuf_[col] = v;
    if (f.OnValidate) {
        // A refused value gives the old one back.
        TScopeFailure volta([&] {
            if (IsEditing(state_) && col < editBuf_.size()) editBuf_[col] = old;
        });
        f.OnValidate(f);
    }
    modified_ = true;
    if (f.OnChange) f.OnChange(f);
    CalcCurrent();
    NotifyDataChange(&f);
}

// ---- Calculated fields ------------------------------------------------------------------

void TDataSet::CalcRow(const VariantArray* row, VariantArray& calc) {
    calc.assign(static_cast<size_t>(calcFieldCount_), Variant());
    if (!OnCalcFields || calcFieldCount_ == 0) return;
    TDataSetState savedState = state_;
    const VariantArray* savedRow = rowOverride_;
    VariantArray* savedCalc = calcOverride_;
    state_ = TDataSetState::dsCalcFields;  // not announced: a passing state
    rowOverride_ = row;
    calcOverride_ = &calc;
    TScopeExit volta([&] {
        state_ = savedState;
        rowOverride_ = savedRow;
        calcOverride_ = savedCalc;
    });
    OnCalcFields(*this);
}

void TDataSet::CalcCurrent() {
    if (calcFieldCount_ == 0) return;
    const VariantArray* row = nullptr;
    if (IsEditing(state_)) row = &editBuf_;
    else if (state_ == TDataSetState::dsBrowse && cursor_ < VisibleCount()) row = RowAt(cursor_);
    if (!row) {
        calcBuf_.assign(static_cast<size_t>(calcFieldCount_), Variant());
        return;
    }
    VariantArray calc;
    CalcRow(row, calc);
    calcBuf_ = std::move(calc);
}

// ---- Notifications -----------------------------------------------------------------------

void TDataSet::NotifyDataChange(TField* field) {
    if (disableCount_ > 0) {
        pendingDataChange_ = true;
        return;
    }
    for (TDataSource* s : std::vector<TDataSource*>(sources_)) s->DataChanged(field);
}

void TDataSet::NotifyUpdateData() {
    if (disableCount_ > 0) return;
    for (TDataSource* s : std::vector<TDataSource*>(sources_)) s->UpdateData();
}

void TDataSet::AddSource(TDataSource* s) {
    if (std::find(sources_.begin(), sources_.end(), s) == sources_.end()) sources_.push_back(s);
}

void TDataSet::RemoveSource(TDataSource* s) { sources_.erase(std::remove(sources_.begin(), sources_.end(), s), sources_.end()); }

void TDataSet::DisableControls() {
    if (disableCount_++ == 0) {
        stateAtDisable_ = state_;
        pendingDataChange_ = false;
    }
}

void TDataSet::EnableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ > 0) return;
    bool stateChanged = state_ != stateAtDisable_;
    bool dataChanged = pendingDataChange_ || stateChanged;
    pendingDataChange_ = false;
    if (stateChanged)
        for (TDataSource* s : std::vector<TDataSource*>(sources_)) s->StateChanged();
    if (dataChanged) NotifyDataChange(nullptr);
}

// ---- Editing ---------------------------------------------------------------------------------

void TDataSet::DiscardEdit() {
    editBuf_.clear();
    editId_ = -1;
    modified_ = false;
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    if (!IsEditing(state_)) return;
    NotifyUpdateData();
    if (modified_) Post();
    else Cancel();
}

void TDataSet::BeginInsertAppend(bool append) {
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeInsert);
    Fire(BeforeScroll);
    int count = VisibleCount();
    insertAppend_ = append || count == 0;
    insertAt_ = insertAppend_ ? count : cursor_;
    insertBeforeId_ = insertAppend_ ? -1 : IdAt(cursor_);
    editBuf_.assign(store_->Columns().size(), Variant());
    editId_ = -1;
    modified_ = false;
    SetState(TDataSetState::dsInsert);
    {
        // A failing new-record handler takes the insert back.
        TScopeFailure desfaz([this] {
            DiscardEdit();
            SetState(TDataSetState::dsBrowse);
            CalcCurrent();
        });
        Fire(OnNewRecord);
        CalcCurrent();
    }
    modified_ = false;
    NotifyDataChange(nullptr);
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void TDataSet::Insert() { BeginInsertAppend(false); }
void TDataSet::Append() { BeginInsertAppend(true); }

void TDataSet::Edit() {
    CheckActive();
    if (IsEditing(state_)) return;
    CheckCanModify();
    if (IsEmpty()) {
        Insert();
        return;
    }
    if (store_->Deleted(StoreIndex(cursor_))) throw Exception(Name + ": Cannot modify a deleted record");
    Fire(BeforeEdit);
    editBuf_ = *RowAt(cursor_);
    editId_ = IdAt(cursor_);
    modified_ = false;
    SetState(TDataSetState::dsEdit);
    NotifyDataChange(nullptr);
    Fire(AfterEdit);
}

void TDataSet::Post() {
    CheckActive();
    if (!IsEditing(state_)) throw Exception("Dataset not in edit or insert mode");
    NotifyUpdateData();
    Fire(BeforePost);
    if (!IsEditing(state_)) return;  // BeforePost ended the edit itself
    for (auto& f : fields_) {
        if (!f->Required || f->Calculated() || f->ReadOnly) continue;
        if (editBuf_[static_cast<size_t>(f->column_)].IsNull()) {
            f->FocusControl();
            throw Exception("Field '" + f->DisplayLabel() + "' must have a value");
        }
    }
    int shownAt = -1;
    if (state_ == TDataSetState::dsInsert) {
        int pos = store_->Size();
        if (insertBeforeId_ >= 0) {
            int before = insertAt_ < VisibleCount() ? StoreIndex(insertAt_) : -1;
            if (before < 0 || store_->Id(before) != insertBeforeId_) before = store_->Find(insertBeforeId_);
            if (before >= 0) pos = before;
        }
        store_->Insert(pos, editBuf_, logChanges_);
        shownAt = ViewRecordChanged(pos, true);
    } else {
        int idx = cursor_ < VisibleCount() ? StoreIndex(cursor_) : -1;
        if (idx < 0 || store_->Id(idx) != editId_) idx = store_->Find(editId_);
        shownAt = cursor_;
        if (idx >= 0 && store_->Modify(idx, editBuf_, logChanges_)) shownAt = ViewRecordChanged(idx, false, cursor_);
    }
    DiscardEdit();
    int count = VisibleCount();
    if (shownAt >= 0) cursor_ = shownAt;
    else if (cursor_ >= count) cursor_ = count > 0 ? count - 1 : 0;
    bof_ = eof_ = count == 0;
    SetState(TDataSetState::dsBrowse);
    CalcCurrent();
    NotifyDataChange(nullptr);
    Fire(AfterPost);
}

void TDataSet::Cancel() {
    CheckActive();
    if (!IsEditing(state_)) return;
    Fire(BeforeCancel);
    DiscardEdit();
    SetState(TDataSetState::dsBrowse);
    CalcCurrent();
    NotifyDataChange(nullptr);
    Fire(AfterCancel);
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (IsEmpty()) throw Exception(Name + ": Cannot perform this operation on an empty dataset");
    CheckCanModify();
    if (store_->Deleted(StoreIndex(cursor_))) throw Exception(Name + ": Cannot modify a deleted record");
    Fire(BeforeDelete);
    Fire(BeforeScroll);
    bool wasLast = cursor_ == VisibleCount() - 1;
    int idx = StoreIndex(cursor_);
    int64_t id = store_->Id(idx);
    DiscardEdit();
    int sizeBefore = store_->Size();
    store_->Remove(idx, logChanges_);
    if (identity_ || store_->Size() != sizeBefore) RebuildView(-1);
    else ViewRecordChanged(idx, false, cursor_);
    int p = ViewPosOf(id);  // still shown when deleted records are
    int count = VisibleCount();
    if (p >= 0) cursor_ = p;
    if (cursor_ >= count) cursor_ = count > 0 ? count - 1 : 0;
    bof_ = count == 0;
    eof_ = count == 0 || (wasLast && p < 0);
    SetState(TDataSetState::dsBrowse);
    CalcCurrent();
    NotifyDataChange(nullptr);
    Fire(AfterDelete);
    Fire(AfterScroll);
}

void TDataSet::AppendRecord(const VariantArray& values) {
    Append();
    TScopeFailure desfaz([this] {
        if (state_ == TDataSetState::dsInsert) Cancel();
    });
    int n = std::min(static_cast<int>(values.size()), FieldCount());
    for (int i = 0; i < n; ++i)
        if (!Fields(i).Calculated()) Fields(i).SetValue(values[static_cast<size_t>(i)]);
    Post();
}

// ---- Navigation ------------------------------------------------------------------------------

void TDataSet::AfterMove() {
    CalcCurrent();
    NotifyDataChange(nullptr);
    Fire(AfterScroll);
}

void TDataSet::First() {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    cursor_ = 0;
    bof_ = true;
    eof_ = VisibleCount() == 0;
    AfterMove();
}

void TDataSet::Last() {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    int count = VisibleCount();
    cursor_ = count > 0 ? count - 1 : 0;
    eof_ = true;
    bof_ = count == 0;
    AfterMove();
}

int TDataSet::MoveBy(int distance) {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    if (!((distance > 0 && !eof_) || (distance < 0 && !bof_))) return 0;
    int count = VisibleCount();
    int old = cursor_;
    long long target = static_cast<long long>(cursor_) + distance;
    if (target >= count) {
        cursor_ = count > 0 ? count - 1 : 0;
        eof_ = true;
        bof_ = count == 0;
    } else if (target < 0) {
        cursor_ = 0;
        bof_ = true;
        eof_ = count == 0;
    } else {
        cursor_ = static_cast<int>(target);
        bof_ = eof_ = false;
    }
    AfterMove();
    return cursor_ - old;
}

int TDataSet::RecNo() const {
    if (!Active()) return 0;
    if (state_ == TDataSetState::dsInsert) return insertAt_ + 1;
    return VisibleCount() == 0 ? 0 : cursor_ + 1;
}

void TDataSet::SetRecNo(int recNo) {
    CheckActive();
    CheckBrowseMode();
    if (recNo < 1 || recNo > VisibleCount())
        throw Exception(Name + ": Record number " + std::to_string(recNo) + " out of range");
    Fire(BeforeScroll);
    cursor_ = recNo - 1;
    bof_ = eof_ = false;
    AfterMove();
}

int TDataSet::RecordCount() const { return Active() ? VisibleCount() : 0; }

bool TDataSet::IsEmpty() const { return state_ != TDataSetState::dsInsert && RecordCount() == 0; }

int TDataSet::RowCount() const { return RecordCount() + (state_ == TDataSetState::dsInsert ? 1 : 0); }

int TDataSet::CurrentRow() const {
    if (!Active()) return -1;
    if (state_ == TDataSetState::dsInsert) return insertAt_;
    return VisibleCount() == 0 ? -1 : cursor_;
}

TBookmark TDataSet::Bookmark() const {
    if (!Active() || VisibleCount() == 0 || state_ == TDataSetState::dsInsert) return kInvalidBookmark;
    return IdAt(cursor_);
}

bool TDataSet::BookmarkValid(TBookmark b) const { return Active() && b >= 0 && ViewPosOf(b) >= 0; }

void TDataSet::GotoBookmark(TBookmark b) {
    CheckActive();
    CheckBrowseMode();
    int p = b >= 0 ? ViewPosOf(b) : -1;
    if (p < 0) throw Exception(Name + ": Record not found");
    Fire(BeforeScroll);
    cursor_ = p;
    bof_ = eof_ = false;
    AfterMove();
}

// ---- Locate -------------------------------------------------------------------------------------

bool TDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckActive();
    CheckBrowseMode();
    std::vector<TField*> keys;
    for (const std::string& n : SplitNames(keyFields)) keys.push_back(&FieldByName(n));
    if (keys.empty()) throw Exception(Name + ": Locate needs at least one key field");
    VariantArray values;
    if (keyValues.IsArray()) values = keyValues.AsArray();
    else values.push_back(keyValues);
    if (values.size() != keys.size())
        throw Exception(Name + ": Locate got " + std::to_string(values.size()) + " values for " +
                        std::to_string(keys.size()) + " key fields");
    const bool noCase = options & loCaseInsensitive, partial = options & loPartialKey;
    // Key texts are prepared once; rows compare without building new strings.
    std::vector<std::string> keyText(keys.size());
    for (size_t k = 0; k < keys.size(); ++k)
        if (keys[k]->IsStringType() && !values[k].IsNull()) keyText[k] = values[k].AsString();
    bool anyCalc = std::any_of(keys.begin(), keys.end(), [](TField* f) { return f->Calculated(); });

    int count = VisibleCount();
    VariantArray calc;
    for (int r = 0; r < count; ++r) {
        const VariantArray& row = *RowAt(r);
        if (anyCalc) CalcRow(&row, calc);
        bool match = true;
        for (size_t k = 0; k < keys.size() && match; ++k) {
            const TField& f = *keys[k];
            const Variant& v = f.Calculated() ? calc[static_cast<size_t>(f.column_)] : row[static_cast<size_t>(f.column_)];
            const Variant& key = values[k];
            if (key.IsNull() || v.IsNull()) {
                match = key.IsNull() && v.IsNull();
            } else if (f.IsStringType() && v.IsString()) {
                match = TextMatches(v, keyText[k], noCase, partial);
            } else {
                match = VarSameValue(v, key);
            }
        }
        if (match) {
            Fire(BeforeScroll);
            cursor_ = r;
            bof_ = eof_ = false;
            AfterMove();
            return true;
        }
    }
    return false;
}

Variant TDataSet::Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields) {
    CheckActive();
    std::vector<TField*> keys, results;
    for (const std::string& n : SplitNames(keyFields)) keys.push_back(&FieldByName(n));
    for (const std::string& n : SplitNames(resultFields)) results.push_back(&FieldByName(n));
    VariantArray values = keyValues.IsArray() ? keyValues.AsArray() : VariantArray{keyValues};
    if (values.size() != keys.size() || keys.empty() || results.empty())
        throw Exception(Name + ": Lookup key fields and values do not match");
    int count = VisibleCount();
    for (int r = 0; r < count; ++r) {
        const VariantArray* row = RowAt(r);
        VariantArray calc;
        CalcRow(row, calc);
        const VariantArray* savedRow = rowOverride_;
        VariantArray* savedCalc = calcOverride_;
        rowOverride_ = row;
        calcOverride_ = &calc;
        bool match = true;
        for (size_t k = 0; k < keys.size() && match; ++k) match = VarSameValue(keys[k]->Value(), values[k]);
        Variant out;
        if (match) {
            if (results.size() == 1) out = results[0]->Value();
            else {
                VariantArray a;
                for (TField* f : results) a.push_back(f->Value());
                out = VarArrayOf(std::move(a));
            }
        }
        rowOverride_ = savedRow;
        calcOverride_ = savedCalc;
        if (match) return out;
    }
    return Variant();
}

// ---- Filter and order ------------------------------------------------------------------------------

void TDataSet::SetFilter(const std::string& expression) {
    if (expression == filterText_) return;
    if (Active() && filtered_) {
        CheckBrowseMode();
        auto parsed = text::Trim(expression).empty() ? nullptr : ParseFilter(expression, filterOptions_);
        filterText_ = expression;
        filter_ = std::move(parsed);
        RebuildView(-1);
        First();
        return;
    }
    filterText_ = expression;
}

void TDataSet::SetFiltered(bool filtered) {
    if (filtered == filtered_) return;
    if (Active()) {
        CheckBrowseMode();
        auto parsed = filtered && !text::Trim(filterText_).empty() ? ParseFilter(filterText_, filterOptions_) : nullptr;
        filtered_ = filtered;
        filter_ = std::move(parsed);
        RebuildView(-1);
        First();
        return;
    }
    filtered_ = filtered;
}

void TDataSet::SetFilterOptions(TFilterOptions options) {
    if (options == filterOptions_) return;
    if (Active() && filtered_) {
        CheckBrowseMode();
        auto parsed = text::Trim(filterText_).empty() ? nullptr : ParseFilter(filterText_, options);
        filterOptions_ = options;
        filter_ = std::move(parsed);
        RebuildView(-1);
        First();
        return;
    }
    filterOptions_ = options;
}

void TDataSet::SetIndexFieldNames(const std::string& names) {
    if (names == indexFieldNames_) return;
    if (Active()) {
        CheckBrowseMode();
        auto cols = ParseIndex(names);
        int64_t keep = VisibleCount() > 0 ? IdAt(cursor_) : -1;
        indexFieldNames_ = names;
        indexColumns_ = std::move(cols);
        RebuildView(keep);
        CalcCurrent();
        NotifyDataChange(nullptr);
        return;
    }
    indexFieldNames_ = names;
}

long double TDataSet::FieldSum(const TField& field) {
    CheckActive();
    if (&field.DataSet() != this) throw Exception(Name + ": Field '" + field.FieldName() + "' belongs to another dataset");
    if (field.Calculated()) throw Exception(Name + ": Calculated field '" + field.FieldName() + "' has no stored values");
    return store_->ColumnSum(field.column_);
}

// ---- Grid access ----------------------------------------------------------------------------------------

Variant TDataSet::ValueAt(int row, const TField& field) {
    CheckActive();
    if (row < 0 || row >= RowCount()) throw Exception(Name + ": Row " + std::to_string(row) + " out of range");
    if (&field.DataSet() != this) throw Exception(Name + ": Field '" + field.FieldName() + "' belongs to another dataset");
    bool current = (state_ == TDataSetState::dsInsert && row == insertAt_) ||
                   (state_ == TDataSetState::dsEdit && row == cursor_) ||
                   (state_ == TDataSetState::dsBrowse && row == cursor_);
    if (current) return ReadField(field);
    int visible = (state_ == TDataSetState::dsInsert && row > insertAt_) ? row - 1 : row;
    const VariantArray* r = RowAt(visible);
    if (!field.Calculated()) return (*r)[static_cast<size_t>(field.column_)];
    VariantArray calc;
    CalcRow(r, calc);
    return calc[static_cast<size_t>(field.column_)];
}

namespace {

// Stored values are read only for the dataset's own data fields.
void checkStoredField(const TDataSet& ds, const TField& field) {
    if (&field.DataSet() != &ds) throw Exception(ds.Name + ": Field '" + field.FieldName() + "' belongs to another dataset");
    if (field.Calculated()) throw Exception(ds.Name + ": Calculated field '" + field.FieldName() + "' has no stored values");
}

}  // namespace

const Variant& TDataSet::StoredValueAt(int row, const TField& field) const {
    // Called once per row by walks over every record: the checks and the row
    // are read inline.
    if (!store_ || state_ == TDataSetState::dsInactive) CheckActive();
    const bool inserting = state_ == TDataSetState::dsInsert;
    const int visible = identity_ ? store_->Size() - store_->DeletedCount() : view_.Size();
    if (row < 0 || row >= visible + (inserting ? 1 : 0))
        throw Exception(Name + ": Row " + std::to_string(row) + " out of range");
    checkStoredField(*this, field);
    const bool editRow = (inserting && row == insertAt_) || (state_ == TDataSetState::dsEdit && row == cursor_);
    const int v = inserting && row > insertAt_ ? row - 1 : row;
    const VariantArray& r = editRow ? editBuf_ : store_->Values(identity_ ? store_->LiveIndex(v) : view_.At(v));
    const size_t col = static_cast<size_t>(field.column_);
    return col < r.size() ? r[col] : NullValue();
}

namespace {

bool blankAt(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether a stored value, as text and trimmed, is the trimmed key without
// regard to case: the slow part, for values that are not plain texts of the key's shape.
bool sameKeySlow(const Variant& v, std::string_view key) {
    if (!v.IsString() && !v.IsNull()) {
        const std::string text = v.AsString();
        return text::SameText(text::TrimView(text), key);
    }
    return text::SameText(text::TrimView(v.TextView()), key);
}

unsigned char asciiUpper(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

// The same, with what decides most rows of a walk done inline: a text of
// another length or another first letter.
inline bool sameKey(const Variant& v, std::string_view key) {
    if (!v.IsString()) return sameKeySlow(v, key);
    const std::string_view s = v.TextView();
    if (s.size() < key.size()) return false;  // trimming only shortens
    if (s.empty()) return key.empty();
    // Codes seldom carry blanks: then only a text of the key's length can match.
    if (blankAt(s.front()) || blankAt(s.back())) return sameKeySlow(v, key);
    if (s.size() != key.size()) return false;
    const auto a = static_cast<unsigned char>(s[0]), b = static_cast<unsigned char>(key[0]);
    if (a < 0x80 && b < 0x80 && asciiUpper(a) != asciiUpper(b)) return false;
    return text::SameText(s, key);
}

}  // namespace

bool TDataSet::StoredKeyAt(int row, const TField& field, std::string_view key) const {
    return sameKey(StoredValueAt(row, field), key);
}

int TDataSet::FindStoredKey(const TField& field, std::string_view key, int from) const {
    CheckActive();
    checkStoredField(*this, field);
    const int n = RowCount();
    from = std::max(from, 0);
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert && identity_) {
        // Browsing every record in store order: the rows are the store's own
        // records less the deleted ones. With the field's tags, only records
        // of the key's tag (or of none) are read.
        if (from >= n) return -1;
        const uint32_t tag = store_->TaggedColumn() == field.column_ ? RowStore::KeyTag(key) : 0;
        const size_t col = static_cast<size_t>(field.column_);
        for (int i = store_->LiveIndex(from), size = store_->Size(); i < size; ++i) {
            if (tag && (i = store_->NextTagged(tag, i)) < 0) break;
            if (store_->Deleted(i)) continue;
            const VariantArray& r = store_->Values(i);
            if (sameKey(col < r.size() ? r[col] : NullValue(), key)) return i - store_->DeletedBefore(i);
        }
        return -1;
    }
    for (int row = from; row < n; ++row)
        if (sameKey(StoredValueAt(row, field), key)) return row;
    return -1;
}

std::string TDataSet::DisplayTextAt(int row, const TField& field) {
    CheckActive();
    if (row < 0 || row >= RowCount()) throw Exception(Name + ": Row " + std::to_string(row) + " out of range");
    bool current = (state_ == TDataSetState::dsInsert && row == insertAt_) ||
                   (state_ != TDataSetState::dsInsert && row == cursor_);
    if (current) return field.DisplayText();
    int visible = (state_ == TDataSetState::dsInsert && row > insertAt_) ? row - 1 : row;
    const VariantArray* r = RowAt(visible);
    VariantArray calc;
    if (field.Calculated()) CalcRow(r, calc);
    const VariantArray* savedRow = rowOverride_;
    VariantArray* savedCalc = calcOverride_;
    rowOverride_ = r;
    calcOverride_ = &calc;
    TScopeExit volta([&] {
        rowOverride_ = savedRow;
        calcOverride_ = savedCalc;
    });
    return field.DisplayText();
}

// ---- Change log (exposed by TClientDataSet) -------------------------------------------------------------------

int TDataSet::LogChangeCount() const { return store_ ? store_->ChangeCount() : 0; }

Variant TDataSet::LogData() const {
    if (!Active() || !store_) return Variant();
    return Variant(store_->Packet());
}

Variant TDataSet::LogDelta() const {
    if (!store_) {
        DataPacket empty;
        for (const auto& f : fields_)
            if (!f->Calculated()) empty.fields.push_back({f->FieldName(), f->DataType(), f->Size()});
        return Variant(std::move(empty));
    }
    return Variant(store_->Delta());
}

void TDataSet::LogCancelUpdates() {
    CheckActive();
    if (IsEditing(state_)) Cancel();
    int64_t keep = VisibleCount() > 0 ? IdAt(cursor_) : -1;
    store_->CancelUpdates();
    RebuildView(keep);
    bof_ = eof_ = VisibleCount() == 0;
    CalcCurrent();
    NotifyDataChange(nullptr);
}

void TDataSet::LogMergeChangeLog() {
    CheckActive();
    CheckBrowseMode();
    int64_t keep = VisibleCount() > 0 ? IdAt(cursor_) : -1;
    store_->Merge();
    RebuildView(keep);
    bof_ = eof_ = VisibleCount() == 0;
    CalcCurrent();
    NotifyDataChange(nullptr);
}

bool TDataSet::LogUndoLastChange(bool followChange) {
    CheckActive();
    if (IsEditing(state_)) {
        Cancel();
        return true;
    }
    int64_t keep = VisibleCount() > 0 ? IdAt(cursor_) : -1;
    int64_t id = store_->UndoLast();
    if (id < 0) return false;
    RebuildView(keep);
    if (followChange) SetCursorTo(id);
    bof_ = eof_ = VisibleCount() == 0;
    CalcCurrent();
    NotifyDataChange(nullptr);
    return true;
}

void TDataSet::LogRevertRecord() {
    CheckActive();
    if (IsEditing(state_)) Cancel();
    if (VisibleCount() == 0) return;
    int64_t id = IdAt(cursor_);
    store_->Revert(store_->Find(id));
    RebuildView(id);
    bof_ = eof_ = VisibleCount() == 0;
    CalcCurrent();
    NotifyDataChange(nullptr);
}

TUpdateStatus TDataSet::RecordUpdateStatus() const {
    if (!Active()) return usUnmodified;
    if (state_ == TDataSetState::dsInsert) return usInserted;
    if (VisibleCount() == 0) return usUnmodified;
    int i = StoreIndex(cursor_);
    if (store_->Deleted(i)) return usDeleted;
    switch (store_->Change(i)) {
        case RowChange::Inserted: return usInserted;
        case RowChange::Modified: return usModified;
        default: return usUnmodified;
    }
}

void TDataSet::SetRecordStatusFilter(TUpdateStatusSet filter) {
    if (filter == 0) filter = usDefaultStatusFilter;
    if (filter == statusFilter_) return;
    if (Active()) {
        CheckBrowseMode();
        statusFilter_ = filter;
        RebuildView(-1);
        First();
        return;
    }
    statusFilter_ = filter;
}

void TDataSet::EmptyRows() {
    CheckActive();
    CheckBrowseMode();
    store_->Clear();
    RebuildView(-1);
    cursor_ = 0;
    bof_ = eof_ = true;
    CalcCurrent();
    NotifyDataChange(nullptr);
}
