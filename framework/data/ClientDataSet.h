#pragma once
// TClientDataSet: the in-memory dataset the screen keeps its working data in.
// Filled by assigning a data packet (SetData, usually a server result) or made
// empty from its declared fields (CreateDataSet). Every insert, modification and
// deletion is kept in a change log until merged or cancelled; Delta is what the
// server is sent.
//
// Copies: Data() and SetData() share rows instead of copying them. Data()
// builds its packet once and then keeps it in step with each change while
// nobody else holds it, and SetData of a packet that came from another dataset adopts that
// dataset's rows and change log without reading them: the same cost for 20
// rows as for 20,000. Copies stay independent: a change on either side copies
// the block of 256 row pointers it falls in (never the values). A packet from
// elsewhere (the server) is checked once and then read in place.
//
// Change log across copies: between datasets the log travels whole, in order.
// A packet from elsewhere carries each changed row once with its change kind
// and original values (a deleted row without originals was inserted and then
// deleted); loading it logs the inserted and modified rows first and the
// deletions last, so UndoLastChange undoes deletions first.
#include "data/DataSet.h"

class TClientDataSet : public TDataSet {
public:
    TClientDataSet() = default;

    std::string ProviderName;  // informative; no provider is ever called

    // Makes the dataset empty from its declared data fields and opens it
    // (closing it first when open). Raises when no field was declared.
    void CreateDataSet();
    // Removes all rows and the change log; stays open. Raises when inactive.
    void EmptyDataSet();

    // A packet of the rows and the change log (Null when inactive).
    Variant Data() const { return LogData(); }
    // Closes (with its events), replaces the rows, the change log and, without
    // declared fields, the fields, and opens. Null just closes. Anything but a
    // packet or Null raises EConvertError.
    void SetData(const Variant& data);

    // ---- Change log -----------------------------------------------------------
    int ChangeCount() const { return LogChangeCount(); }
    // A packet of the changed rows: inserted (current values), modified (current
    // values and the originals), deleted (the originals). Rows inserted and
    // deleted since the last merge are left out. Always a packet, maybe empty.
    Variant Delta() const { return LogDelta(); }
    // Drops every change: rows come back as they were after the last merge/load.
    // Cancels a pending edit first. The cursor stays on its record when it is still there.
    void CancelUpdates() { LogCancelUpdates(); }
    // Accepts every change: the current rows become the originals, the log empties.
    void MergeChangeLog() { LogMergeChangeLog(); }
    // Undoes the most recent change of the log; with followChange the cursor
    // goes to the record it restored (when visible). False when the log is empty.
    bool UndoLastChange(bool followChange) { return LogUndoLastChange(followChange); }
    // Undoes every change of the current record (an inserted record goes away).
    void RevertRecord() { LogRevertRecord(); }
    // Status of the current record (usUnmodified when empty).
    TUpdateStatus UpdateStatus() const { return RecordUpdateStatus(); }
    // Which records are visible by status; usDeleted shows deleted records (read
    // only). Default usDefaultStatusFilter. Changing it moves to the first record.
    TUpdateStatusSet StatusFilter() const { return RecordStatusFilter(); }
    void SetStatusFilter(TUpdateStatusSet filter) { SetRecordStatusFilter(filter); }
    // When false, changes are accepted at once (not logged).
    bool LogChanges() const { return logChanges_; }
    void SetLogChanges(bool on) { logChanges_ = on; }
};
