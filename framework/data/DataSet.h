#pragma once
// TDataSet: an in-memory cursor over rows with fields, states, navigation,
// filters, ordering, Locate, a change log, events and notifications to data
// sources. TClientDataSet (ClientDataSet.h) is the public face of the change
// log and of Data; a read-only query dataset derives from TDataSet, sets
// ReadOnly and overrides InternalOpen to fill itself with LoadPacket.
//
// Event order (each Before* event may raise, EAbort included: the operation then
// stops with state, cursor and data untouched; "CheckBrowseMode" below posts a
// modified edit, or cancels an unmodified one, with their own events):
//   Open:    BeforeOpen, [fields made, rows loaded, state Browse], AfterOpen,
//            AfterScroll (only when not empty). No BeforeScroll.
//   Close:   BeforeClose, [pending edit discarded without cancel events,
//            state Inactive], AfterClose.
//   Insert/Append: CheckBrowseMode, BeforeInsert, BeforeScroll, [new record,
//            state Insert], OnNewRecord (raising cancels the insert), AfterInsert,
//            AfterScroll. Values set in OnNewRecord do not count as Modified.
//   Edit:    (in Edit/Insert: nothing) an empty dataset inserts instead;
//            CheckBrowseMode, BeforeEdit, [state Edit], AfterEdit.
//   Post:    UpdateData to the data sources (controls write pending text),
//            BeforePost, [Required fields checked, row stored, change logged,
//            state Browse], AfterPost. A failed Required check keeps the edit.
//   Cancel:  BeforeCancel, [edit discarded, state Browse], AfterCancel.
//   Delete:  in Insert: Cancel. Otherwise (raises on an empty dataset):
//            BeforeDelete, BeforeScroll, [row removed, logged, state Browse],
//            AfterDelete, AfterScroll.
//   First/Last/MoveBy/Next/Prior/RecNo/Locate/GotoBookmark: CheckBrowseMode,
//            BeforeScroll, [move], AfterScroll. Next at Eof and Prior at Bof run
//            BeforeScroll only; Locate that finds nothing runs no scroll event.
//   Filter/Filtered/FilterOptions/StatusFilter change while open:
//            CheckBrowseMode, then First (BeforeScroll, AfterScroll).
//   IndexFieldNames change: CheckBrowseMode; the cursor stays on its record, no events.
//   OnCalcFields: for the current record after every scroll and after each
//            field change in Edit/Insert, and for any row a grid reads
//            (ValueAt); state reads dsCalcFields meanwhile.
// Data sources are told of state changes (OnStateChange) and of data changes
// (OnDataChange: the field that changed, or nullptr for scroll/record/dataset
// changes). DisableControls holds those notifications back; the last
// EnableControls sends one state change (if the state changed) and one data change.
#include "core/Packet.h"
#include "core/Variant.h"
#include "data/Field.h"
#include "data/ValueCompare.h"
#include "data/ViewOrder.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TDataSource;
class RowStore;
class FilterExpression;

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields };
const char* DataSetStateName(TDataSetState s);  // "dsInactive", ...

// Locate options, combined with |.
enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;
// Filter options: case-insensitive string comparison; without foNoPartialCompare
// a string constant ending in '*' matches by prefix (as "CD = 'AB*'").
enum TFilterOption : unsigned { foCaseInsensitive = 1, foNoPartialCompare = 2 };
using TFilterOptions = unsigned;
// Update status of a record; a status filter is a combination with |.
enum TUpdateStatus : unsigned { usUnmodified = 1, usModified = 2, usInserted = 4, usDeleted = 8 };
using TUpdateStatusSet = unsigned;
constexpr TUpdateStatusSet usDefaultStatusFilter = usUnmodified | usModified | usInserted;

// Identifies a record for the dataset's life (until it is closed or its data
// replaced); kInvalidBookmark when none.
using TBookmark = int64_t;
constexpr TBookmark kInvalidBookmark = -1;

class TDataSet;
using TDataSetNotifyEvent = std::function<void(TDataSet&)>;

class TDataSet {
public:
    TDataSet();
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    std::string Name;  // component name, e.g. "cdsItLanctoEst"
    // A read-only dataset refuses Insert/Edit/Delete: "Cannot modify a read-only dataset".
    bool ReadOnly = false;

    // ---- Fields -------------------------------------------------------------
    // Declares a field; the dataset must be inactive. A string field with size 0
    // gets size 20. Throws for a duplicate name. The returned field lives as
    // long as the dataset.
    TField& AddField(const std::string& fieldName, TFieldType type, int size = 0,
                     TFieldKind kind = TFieldKind::fkData);
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField& Fields(int index) const;  // field order (Index); throws for a bad index
    // Without regard to case, by a name index (no walk over the fields).
    // FieldByName throws "<Name>: Field 'X' not found".
    TField* FindField(const std::string& fieldName) const;
    TField& FieldByName(const std::string& fieldName) const;
    // True when the fields were declared (AddField), false when they come from the data.
    bool HasDeclaredFields() const { return declaredFields_; }

    // ---- State --------------------------------------------------------------
    TDataSetState State() const { return state_; }
    bool Active() const { return state_ != TDataSetState::dsInactive; }
    void Open();
    void Close();
    void SetActive(bool active) { active ? Open() : Close(); }
    // True when a field was set since the last Edit/Insert (not counting OnNewRecord).
    bool Modified() const { return modified_; }
    bool CanModify() const { return !ReadOnly; }

    // ---- Editing ------------------------------------------------------------
    void Insert();  // new record before the current one (natural order)
    void Append();  // new record at the end
    void Edit();
    void Post();    // raises "Dataset not in edit or insert mode" in browse
    void Cancel();  // no-op in browse
    void Delete();
    // Posts any edit, then appends and posts a record with the values in field order
    // (fewer values leave the rest null).
    void AppendRecord(const VariantArray& values);
    // Posts a modified edit, cancels an unmodified one; nothing in browse.
    void CheckBrowseMode();

    // ---- Navigation (over the visible records: filter, status filter, order) --
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    int MoveBy(int distance);  // returns the distance moved
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    // 1-based position of the current record; 0 when empty or inactive; in Insert
    // state, the position the new record shows at.
    int RecNo() const;
    void SetRecNo(int recNo);  // moves like MoveBy; out of range raises
    int RecordCount() const;   // visible records, not counting an unposted insert
    bool IsEmpty() const;      // no visible record and not inserting
    TBookmark Bookmark() const;  // current record
    bool BookmarkValid(TBookmark b) const;
    void GotoBookmark(TBookmark b);  // raises "Record not found" for an invalid one

    // Locate: moves to the first visible record whose key fields ("A;B;C")
    // match keyValues (one value, or VarArrayOf with one per field); strings
    // compare without regard to case with loCaseInsensitive and by prefix with
    // loPartialKey; other kinds compare "as variants", null matches null.
    // Returns false and stays put when nothing matches.
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options = 0);
    // Values of resultFields ("A;B" gives an array) of the first record matching
    // exactly; Null when none. Does not move the cursor.
    Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields);

    // ---- Filter and order ---------------------------------------------------
    // Filter expression: comparisons (= <> < > <= >=) of fields with 'quoted'
    // strings (a doubled quote inside), numbers and NULL, IS [NOT] NULL, AND,
    // OR, NOT, parentheses. Field names without regard to case. A malformed
    // expression or an unknown field raises EFilterError naming the problem, when
    // the filter is applied (set while Filtered and active, or on switching Filtered on).
    const std::string& Filter() const { return filterText_; }
    void SetFilter(const std::string& expression);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool filtered);
    TFilterOptions FilterOptions() const { return filterOptions_; }
    void SetFilterOptions(TFilterOptions options);
    // Sort order of the visible records: "A;B" ascending; "" = natural order.
    // An unknown field raises.
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& names);
    // A data field whose stored values FindStoredKey looks up often: each time
    // the dataset opens, its records keep a tag of that field (O(records) once,
    // then kept in step), which this dataset and any dataset given its Data()
    // read instead of every row. Takes effect at the next open.
    void SetKeyTagField(std::string name) { keyTagField_ = std::move(name); }

    // Sum of a data field over every record not flagged deleted, whatever the
    // filter (nulls count nothing). Reads every record once; then kept up to
    // date by each post, deletion and undo, and handed on with Data() to the
    // dataset the rows are copied to. Raises for an inactive dataset, a
    // calculated field and a value that is not a number.
    long double FieldSum(const TField& field);

    // ---- Controls -----------------------------------------------------------
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // ---- Row access for grids (does not move the cursor or run scroll events) --
    // Value of a field in the visible record at 0-based row; calculated fields
    // run OnCalcFields for that row. Throws for a row out of range.
    Variant ValueAt(int row, const TField& field);
    // The same for a data field, without a copy, for comparing in place: the
    // reference (and any TextView of it) is valid only until the dataset
    // changes (a field set, a post, cancel, insert, delete, reload or close).
    // Throws for a row out of range and for a calculated field.
    const Variant& StoredValueAt(int row, const TField& field) const;
    // The first of those rows at or after `from` whose stored value of a data
    // field, as text and trimmed, is `key` without regard to case (null reads
    // as ""); -1 when there is none. `key` is given trimmed. For lookups by a
    // code over every row: no copy and no callback per row. Throws as StoredValueAt.
    int FindStoredKey(const TField& field, std::string_view key, int from = 0) const;
    // Whether that row's stored value matches `key` the same way. Throws as StoredValueAt.
    bool StoredKeyAt(int row, const TField& field, std::string_view key) const;
    std::string DisplayTextAt(int row, const TField& field);
    // Rows a grid shows: the visible records plus, in Insert state, the new
    // record at CurrentRow(). In Edit state the current row reads the edit buffer.
    int RowCount() const;
    // 0-based row of the current record (of the new one in Insert state); -1 when empty/inactive.
    int CurrentRow() const;

    // ---- Events ---------------------------------------------------------------
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, OnNewRecord, AfterInsert;
    TDataSetNotifyEvent BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost;
    TDataSetNotifyEvent BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete;
    TDataSetNotifyEvent BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnCalcFields;

protected:
    // Opening: the default loads nothing new and needs rows already given
    // (LoadPacket before Open, as CreateDataSet and SetData do); otherwise it
    // raises "Missing data provider or data packet". A query overrides it to run
    // its text and call LoadPacket.
    virtual void InternalOpen();
    // Replaces the rows (and the change log, when the packet carries one) with
    // the packet's; the dataset must be inactive (call from InternalOpen or
    // before Open). Without declared fields, fields are made from the packet.
    // Declared data fields missing from the packet raise "Field 'X' not found".
    // Costs O(1) for a packet without changes; the packet is shared, not copied.
    void LoadPacket(std::shared_ptr<const DataPacket> packet);
    bool HasRows() const;  // rows are loaded (LoadPacket/CreateDataSet since the last close)
    // Empty rows shaped like the declared data fields.
    void LoadEmpty();

    // Change log, exposed by TClientDataSet.
    int LogChangeCount() const;
    Variant LogData() const;
    Variant LogDelta() const;
    void LogCancelUpdates();
    void LogMergeChangeLog();
    bool LogUndoLastChange(bool followChange);
    void LogRevertRecord();
    TUpdateStatus RecordUpdateStatus() const;
    void SetRecordStatusFilter(TUpdateStatusSet filter);
    TUpdateStatusSet RecordStatusFilter() const { return statusFilter_; }
    void EmptyRows();
    bool logChanges_ = true;

private:
    friend class TField;
    friend class TDataSource;

    // Field access from TField.
    const Variant& ReadField(const TField& f) const;
    void WriteField(TField& f, const Variant& v);
    void CheckFieldWritable(const TField& f) const;

    void CheckActive() const;
    void CheckCanModify() const;
    void SetState(TDataSetState s);
    void NotifyDataChange(TField* field);
    void NotifyUpdateData();
    void AddSource(TDataSource* s);
    void RemoveSource(TDataSource* s);
    void DropDynamicFields();
    void FieldsChanged();  // after fields_ gained, lost or replaced fields
    void BindFields();
    void RebuildView(int64_t keepId);
    int ViewRecordChanged(int storeIndex, bool inserted, int viewHint = -1);
    int ImplicitPos(int storeIndex) const;
    bool IdentityView() const;
    bool ViewLess(int a, int b) const;
    void SetCursorTo(int64_t id);
    void CalcCurrent();
    void CalcRow(const VariantArray* row, VariantArray& calc);
    void BeginInsertAppend(bool append);
    void Fire(const TDataSetNotifyEvent& e) { if (e) e(*this); }
    int VisibleCount() const;
    int StoreIndex(int viewIndex) const;
    const VariantArray* RowAt(int viewIndex) const;
    int64_t IdAt(int viewIndex) const;
    int ResolveColumn(const std::string& name, const char* purpose) const;
    std::unique_ptr<FilterExpression> ParseFilter(const std::string& text, TFilterOptions options) const;
    std::vector<int> ParseIndex(const std::string& names) const;
    bool PassesView(int storeIndex) const;
    int ViewPosOf(int64_t id) const;
    void AfterMove();
    void DiscardEdit();

    std::vector<std::unique_ptr<TField>> fields_;  // field order
    struct NameHash {
        size_t operator()(std::string_view s) const { return HashNoCase(s); }
    };
    struct NameEqual {
        bool operator()(std::string_view a, std::string_view b) const { return SameTextNoCase(a, b); }
    };
    // Field by name (views of the fields' own names); the first of equal names.
    std::unordered_map<std::string_view, TField*, NameHash, NameEqual> fieldIndex_;
    // Column names the fields were last bound to: rows of the same columns
    // (a copy of the same dataset) keep the binding. Emptied when fields change.
    std::vector<std::string> boundColumns_;
    bool bindingKept_ = false;
    bool declaredFields_ = false;
    std::vector<TDataSource*> sources_;
    TDataSetState state_ = TDataSetState::dsInactive;
    std::unique_ptr<RowStore> store_;
    // Visible records: indexes into the store; identity_ means every record not
    // flagged deleted, in store order (a few flagged ones are skipped on reading).
    ViewOrder view_;
    bool identity_ = true;
    int cursor_ = 0;  // index into the visible records
    bool eof_ = true, bof_ = true;
    int insertAt_ = 0;  // Insert state: visible position of the new record
    bool insertAppend_ = false;
    int64_t editId_ = -1;
    VariantArray editBuf_;
    VariantArray calcBuf_;
    const VariantArray* rowOverride_ = nullptr;  // row fields read from (calculating/ValueAt)
    VariantArray* calcOverride_ = nullptr;
    int64_t insertBeforeId_ = -1;
    bool modified_ = false;
    bool inCalc_ = false;
    int calcFieldCount_ = 0;
    std::string filterText_;
    bool filtered_ = false;
    TFilterOptions filterOptions_ = 0;
    std::unique_ptr<FilterExpression> filter_;
    std::string indexFieldNames_;
    std::string keyTagField_;
    std::vector<int> indexColumns_;
    TUpdateStatusSet statusFilter_ = usDefaultStatusFilter;
    int disableCount_ = 0;
    bool pendingDataChange_ = false;
    TDataSetState stateAtDisable_ = TDataSetState::dsInactive;
};
