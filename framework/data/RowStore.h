#pragma once
// RowStore (internal to datasets): the rows of a dataset with their change log.
// Rows are immutable shared value arrays, so copies of a store or of its packet
// share them. A store made from a packet without changes stays "lazy": its rows
// are the packet's own, read in place, until the first change.
//
// Packets handed out by Packet() carry a snapshot of the store (records and
// log) that another store adopts instead of reading the rows, so copying data
// between datasets costs no row copies. The store keeps its own packet up to
// date change by change while nobody else holds it.
#include "core/Packet.h"
#include "core/Variant.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

class RowStore {
public:
    // The packet is shared, not copied. Throws EConvertError when a row's value
    // count differs from the field count.
    explicit RowStore(std::shared_ptr<const DataPacket> packet);
    explicit RowStore(std::vector<PacketField> columns);  // empty

    const std::vector<PacketField>& Columns() const { return columns_; }
    int ColumnIndex(const std::string& name) const;  // without regard to case; -1 when absent

    int Size() const { return lazy_ ? static_cast<int>(base_->rows.size()) : static_cast<int>(recs_->size()); }
    const VariantArray& Values(int i) const { return lazy_ ? base_->rows[i].values : *(*recs_)[i].cur; }
    int64_t Id(int i) const { return lazy_ ? i + 1 : (*recs_)[i].id; }
    bool Deleted(int i) const { return !lazy_ && (*recs_)[i].deleted; }
    // Unmodified, Inserted or Modified since the last merge (deleted rows keep theirs).
    RowChange Change(int i) const { return lazy_ ? RowChange::Unmodified : (*recs_)[i].change; }
    int Find(int64_t id) const;  // index of a record by id; -1 when absent
    bool Lazy() const { return lazy_; }
    int DeletedCount() const { return static_cast<int>(deletedPos_.size()); }  // records flagged deleted
    // Index of the n-th record not flagged deleted (n < Size() - DeletedCount());
    // O(deleted records).
    int LiveIndex(int n) const {
        for (int d : deletedPos_) {
            if (d > n) break;
            ++n;
        }
        return n;
    }
    // Records flagged deleted before index i.
    int DeletedBefore(int i) const {
        return static_cast<int>(std::lower_bound(deletedPos_.begin(), deletedPos_.end(), i) - deletedPos_.begin());
    }

    // Changes. log=false accepts them at once (no log entry, deletions are physical).
    int64_t Insert(int pos, VariantArray values, bool log);
    // False (nothing logged) when the values equal the current ones.
    bool Modify(int i, VariantArray values, bool log);
    void Remove(int i, bool log);

    // Sum of a column's values over the records not flagged deleted (nulls
    // count nothing). The first call reads every record; from then on the sum
    // is kept change by change and travels with the store's packets. Throws
    // EConvertError for a value that is not a number.
    long double ColumnSum(int column);

    // Key tags: one column's values, trimmed and without regard to case, as a
    // number kept in every record, so that a lookup by key reads the records
    // (contiguous) instead of each row's values. TagColumn starts keeping them
    // (O(records) once; one column per store, asking for another replaces it);
    // from then on every change keeps them in step, and stores made from this
    // store's packets carry them. A lazy store becomes a materialized one.
    void TagColumn(int column);
    int TaggedColumn() const { return lazy_ ? -1 : recs_->tagColumn; }
    // The tag of a key given trimmed; 0 when it has none (not plain ASCII, or
    // not trimmed), and then only reading every value can find it.
    static uint32_t KeyTag(std::string_view key);
    // The first record at or after `from` whose tag is `tag` or which has no
    // tag (a value that is not a plain ASCII text); -1 when none. Needs a
    // tagged column. Equal tags may still differ in value: compare the value.
    int NextTagged(uint32_t tag, int from) const;

    int ChangeCount() const { return static_cast<int>(log_.size()); }
    // Undoes the newest log entry; returns the id of the record it touched (-1: empty log).
    int64_t UndoLast();
    void Revert(int i);  // every change of one record; an inserted record goes away
    void CancelUpdates();
    void Merge();
    void Clear();  // no rows, no log

    // All rows with the change log (change kinds and originals); O(1) when
    // nothing changed since the packet was loaded or last built.
    std::shared_ptr<const DataPacket> Packet();
    DataPacket Delta() const;

    struct Snapshot;

private:
    struct Rec {
        std::shared_ptr<const VariantArray> cur;
        std::shared_ptr<const VariantArray> orig;  // null: inserted since the last merge
        RowChange change = RowChange::Unmodified;
        uint32_t tag = 0;  // key tag of cur's tagged column (see TagColumn)
        bool deleted = false;
        int64_t id = 0;
    };
    struct LogEntry {
        int64_t id;
        RowChange kind;  // Inserted, Modified, Deleted
        std::shared_ptr<const VariantArray> prevCur;
        RowChange prevChange;
    };
    // The change log in chunks shared between copies (a store and the stores
    // made from its packets): appending copies at most the last chunk, so
    // handing the log on costs the same however many edits it holds.
    class Log {
    public:
        size_t size() const { return size_; }
        bool empty() const { return size_ == 0; }
        const LogEntry& back() const { return chunks_.back()->back(); }
        void push_back(LogEntry e) {
            if (chunks_.empty() || chunks_.back()->size() == kChunk) {
                chunks_.push_back(std::make_shared<Chunk>());
                chunks_.back()->reserve(kChunk);
            } else if (chunks_.back().use_count() > 1) {
                chunks_.back() = std::make_shared<Chunk>(*chunks_.back());
            }
            chunks_.back()->push_back(std::move(e));
            ++size_;
        }
        void pop_back() {
            auto& last = chunks_.back();
            if (last.use_count() > 1) last = std::make_shared<Chunk>(*last);
            last->pop_back();
            if (last->empty()) chunks_.pop_back();
            --size_;
        }
        void clear() {
            chunks_.clear();
            size_ = 0;
        }
        template <class Pred>
        bool AnyOf(Pred p) const {
            for (const auto& c : chunks_)
                for (const LogEntry& e : *c)
                    if (p(e)) return true;
            return false;
        }
        template <class Pred>
        void EraseIf(Pred p) {
            Log kept;
            for (const auto& c : chunks_)
                for (const LogEntry& e : *c)
                    if (!p(e)) kept.push_back(e);
            *this = std::move(kept);
        }

    private:
        static constexpr size_t kChunk = 256;
        using Chunk = std::vector<LogEntry>;
        std::vector<std::shared_ptr<Chunk>> chunks_;
        size_t size_ = 0;
    };
    // Records in chunks of chunks, shared between copies: a change copies its
    // chunk and the block of chunk pointers above it, whatever the row count,
    // and copying the whole store copies one pointer per block.
    class Records {
    public:
        int tagColumn = -1;  // the column the records' tags are of; -1: none
        size_t size() const { return size_; }
        const Rec& operator[](size_t i) const { return (*(*blocks_[i / kBlock])[i / kChunk % kFan])[i % kChunk]; }
        Rec& At(size_t i) { return own(own(blocks_[i / kBlock])[i / kChunk % kFan])[i % kChunk]; }
        void push_back(Rec r) {
            if (size_ % kBlock == 0) {
                blocks_.push_back(std::make_shared<Block>());
                blocks_.back()->reserve(kFan);
            }
            Block& b = own(blocks_.back());
            if (size_ % kChunk == 0) {
                b.push_back(std::make_shared<Chunk>());
                b.back()->reserve(kChunk);
            }
            own(b.back()).push_back(std::move(r));
            ++size_;
        }
        void insert(size_t pos, Rec r) {
            push_back(Rec());
            for (size_t i = size_ - 1; i > pos; --i) At(i) = (*this)[i - 1];
            At(pos) = std::move(r);
        }
        // The first record at or after `from` with the tag or no tag; size() when none.
        size_t NextTagged(uint32_t tag, size_t from) const {
            for (size_t i = from; i < size_;) {
                const Chunk& c = *(*blocks_[i / kBlock])[i / kChunk % kFan];
                for (size_t k = i % kChunk; k < c.size(); ++k, ++i)
                    if (c[k].tag == tag || c[k].tag == 0) return i;
            }
            return size_;
        }
        void erase(size_t pos) {
            for (size_t i = pos; i + 1 < size_; ++i) At(i) = (*this)[i + 1];
            Block& b = own(blocks_.back());
            Chunk& c = own(b.back());
            c.pop_back();
            if (c.empty()) {
                b.pop_back();
                if (b.empty()) blocks_.pop_back();
            }
            --size_;
        }

    private:
        static constexpr size_t kChunk = 64;  // records per chunk
        static constexpr size_t kFan = 32;    // chunks per block
        static constexpr size_t kBlock = kChunk * kFan;
        using Chunk = std::vector<Rec>;
        using Block = std::vector<std::shared_ptr<Chunk>>;
        // The part, copied first when another copy shares it.
        template <class T>
        static T& own(std::shared_ptr<T>& p) {
            if (p.use_count() > 1) p = std::make_shared<T>(*p);
            return *p;
        }
        std::vector<std::shared_ptr<Block>> blocks_;
        size_t size_ = 0;
    };
    void Materialize();
    // Sets a record's tag from its current values (after cur changed).
    void Retag(Rec& r) const {
        if (recs_->tagColumn >= 0) r.tag = ValueTag((*r.cur)[static_cast<size_t>(recs_->tagColumn)]);
    }
    static uint32_t ValueTag(const Variant& v);
    Records& Mut();  // the records, copied first when a snapshot shares them
    // Own packet kept in step: true when it may be changed in place.
    bool PacketOwned() const { return packet_ && packet_.use_count() == 1; }
    void PacketRowFrom(int i, PacketRow& row) const;
    void SyncRow(int i);           // after records[i] changed
    void SyncInsert(int i);        // after a record was inserted at i
    void SyncErase(int i);         // after the record at i went away
    void CheckWidth(const VariantArray& v, size_t row) const;
    // Keeps the column sums in step: `gone` left the sums, `came` joined them (either may be null).
    void Adjust(const VariantArray* gone, const VariantArray* came);
    // Keep deletedPos_ in step with the records.
    void MarkDeleted(int i);
    void UnmarkDeleted(int i);
    void Inserted(int i);  // a record came in at i
    void Erased(int i);    // the record at i went away


    std::vector<PacketField> columns_;
    std::shared_ptr<const DataPacket> base_;  // lazy: the rows
    bool lazy_ = false;
    std::shared_ptr<Records> recs_ = std::make_shared<Records>();
    Log log_;
    int64_t nextId_ = 1;
    std::vector<std::pair<int, long double>> sums_;  // column sums kept in step (ColumnSum)
    std::vector<int> deletedPos_;  // indexes of the records flagged deleted, ascending
    std::shared_ptr<DataPacket> packet_;  // all rows with the log, kept in step once built
};
