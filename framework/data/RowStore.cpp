#include "data/RowStore.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "data/ValueCompare.h"

#include <algorithm>

// What a packet handed out by a store carries for the next store to adopt.
struct RowStore::Snapshot {
    std::vector<PacketField> columns;
    bool lazy = false;
    std::shared_ptr<const DataPacket> base;
    std::shared_ptr<Records> recs;
    Log log;
    int64_t nextId = 1;
    std::vector<int> deletedPos;
    std::vector<std::pair<int, long double>> sums;
};

namespace {

// Deleter of the packets a store hands out: they wrap the store's packet
// (kept alive here, never deleted by this) and carry the store's snapshot.
struct StorePacketTag {
    std::shared_ptr<const DataPacket> keep;
    std::shared_ptr<const RowStore::Snapshot> snap;
    void operator()(const DataPacket*) const {}
};

}  // namespace

void RowStore::CheckWidth(const VariantArray& v, size_t row) const {
    if (v.size() != columns_.size())
        throw EConvertError("Data packet row " + std::to_string(row + 1) + " has " + std::to_string(v.size()) +
                            " values for " + std::to_string(columns_.size()) + " fields");
}

RowStore::RowStore(std::vector<PacketField> columns) : columns_(std::move(columns)) {}

RowStore::RowStore(std::shared_ptr<const DataPacket> packet) : columns_(packet->fields) {
    if (const StorePacketTag* tag = std::get_deleter<StorePacketTag>(packet); tag && tag->snap) {
        const Snapshot& s = *tag->snap;
        lazy_ = s.lazy;
        base_ = s.base;
        if (s.recs) recs_ = s.recs;  // shared until one side changes
        log_ = s.log;
        nextId_ = s.nextId;
        deletedPos_ = s.deletedPos;
        sums_ = s.sums;
        return;
    }
    bool plain = true;
    for (size_t i = 0; i < packet->rows.size(); ++i) {
        CheckWidth(packet->rows[i].values, i);
        if (packet->rows[i].change != RowChange::Unmodified) plain = false;
        if (packet->rows[i].change != RowChange::Unmodified && !packet->rows[i].original.empty())
            CheckWidth(packet->rows[i].original, i);
    }
    if (plain) {
        lazy_ = true;
        base_ = std::move(packet);
        nextId_ = static_cast<int64_t>(base_->rows.size()) + 1;
        return;
    }
    // A packet with a change log: inserted and modified rows are logged first,
    // deletions last, so that undoing starts with the deletions.
    std::vector<LogEntry> deletions;
    Records& recs = *recs_;
    for (const PacketRow& row : packet->rows) {
        Rec r;
        r.id = nextId_++;
        r.cur = std::make_shared<const VariantArray>(row.values);
        bool hasOrig = !row.original.empty();
        switch (row.change) {
            case RowChange::Unmodified: r.orig = r.cur; break;
            case RowChange::Inserted:
                r.change = RowChange::Inserted;
                log_.push_back({r.id, RowChange::Inserted, nullptr, RowChange::Unmodified});
                break;
            case RowChange::Modified:
                r.orig = hasOrig ? std::make_shared<const VariantArray>(row.original) : r.cur;
                r.change = RowChange::Modified;
                log_.push_back({r.id, RowChange::Modified, r.orig, RowChange::Unmodified});
                break;
            case RowChange::Deleted:
                r.deleted = true;
                deletedPos_.push_back(static_cast<int>(recs.size()));
                if (hasOrig) {
                    r.orig = std::make_shared<const VariantArray>(row.original);
                    if (!(*r.orig == *r.cur)) {
                        r.change = RowChange::Modified;
                        log_.push_back({r.id, RowChange::Modified, r.orig, RowChange::Unmodified});
                    }
                } else {
                    r.change = RowChange::Inserted;  // inserted, then deleted
                    log_.push_back({r.id, RowChange::Inserted, nullptr, RowChange::Unmodified});
                }
                deletions.push_back({r.id, RowChange::Deleted, r.cur, r.change});
                break;
        }
        recs.push_back(std::move(r));
    }
    for (LogEntry& e : deletions) log_.push_back(std::move(e));
}

void RowStore::MarkDeleted(int i) {
    auto it = std::lower_bound(deletedPos_.begin(), deletedPos_.end(), i);
    if (it == deletedPos_.end() || *it != i) deletedPos_.insert(it, i);
}

void RowStore::UnmarkDeleted(int i) {
    auto it = std::lower_bound(deletedPos_.begin(), deletedPos_.end(), i);
    if (it != deletedPos_.end() && *it == i) deletedPos_.erase(it);
}

void RowStore::Inserted(int i) {
    for (auto it = std::lower_bound(deletedPos_.begin(), deletedPos_.end(), i); it != deletedPos_.end(); ++it) ++*it;
}

void RowStore::Erased(int i) {
    UnmarkDeleted(i);
    for (auto it = std::lower_bound(deletedPos_.begin(), deletedPos_.end(), i); it != deletedPos_.end(); ++it) --*it;
}

long double RowStore::ColumnSum(int column) {
    for (const auto& [col, sum] : sums_)
        if (col == column) return sum;
    long double sum = 0;
    for (int i = 0, n = Size(); i < n; ++i) {
        const Variant& v = Values(i)[static_cast<size_t>(column)];
        if (!Deleted(i) && !v.IsNull()) sum += v.AsFloat();
    }
    sums_.emplace_back(column, sum);
    return sum;
}

void RowStore::Adjust(const VariantArray* gone, const VariantArray* came) {
    for (size_t k = 0; k < sums_.size();) {
        const size_t col = static_cast<size_t>(sums_[k].first);
        bool kept = true;
        for (auto [row, sign] : {std::pair{gone, -1.0L}, std::pair{came, 1.0L}}) {
            if (!row || (*row)[col].IsNull()) continue;
            if (!(*row)[col].IsNumberLike()) kept = false;  // left to ColumnSum to read (and refuse) again
            else sums_[k].second += sign * (*row)[col].AsFloat();
        }
        if (kept) ++k;
        else sums_.erase(sums_.begin() + static_cast<std::ptrdiff_t>(k));
    }
}

// ---- Key tags ---------------------------------------------------------------------------

uint32_t RowStore::KeyTag(std::string_view key) {
    // FNV-1a over the ASCII upper case: texts equal without regard to case
    // (text::SameText) have one tag. A byte above ASCII has no tag, so the
    // case folding of other letters is left to the comparison.
    if (text::TrimView(key).size() != key.size()) return 0;
    uint32_t h = 2166136261u;
    for (char ch : key) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80) return 0;
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
        h = (h ^ c) * 16777619u;
    }
    return h ? h : 1;
}

uint32_t RowStore::ValueTag(const Variant& v) {
    // Null reads as "", a text trimmed; any other value is compared as its text.
    if (v.IsNull()) return KeyTag({});
    if (!v.IsString()) return 0;
    return KeyTag(text::TrimView(v.TextView()));
}

void RowStore::TagColumn(int column) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) throw EConvertError("No column " + std::to_string(column) + " to tag");
    if (TaggedColumn() == column) return;
    Materialize();
    Records& recs = Mut();
    recs.tagColumn = column;
    for (size_t i = 0; i < recs.size(); ++i) Retag(recs.At(i));
}

int RowStore::NextTagged(uint32_t tag, int from) const {
    const size_t i = recs_->NextTagged(tag, static_cast<size_t>(std::max(from, 0)));
    return i < recs_->size() ? static_cast<int>(i) : -1;
}

int RowStore::ColumnIndex(const std::string& name) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (SameTextNoCase(columns_[i].name, name)) return static_cast<int>(i);
    return -1;
}

int RowStore::Find(int64_t id) const {
    if (lazy_) return id >= 1 && id <= Size() ? static_cast<int>(id - 1) : -1;
    const Records& recs = *recs_;
    for (size_t i = 0; i < recs.size(); ++i)
        if (recs[i].id == id) return static_cast<int>(i);
    return -1;
}

RowStore::Records& RowStore::Mut() {
    if (recs_.use_count() > 1) recs_ = std::make_shared<Records>(*recs_);
    return *recs_;
}

void RowStore::Materialize() {
    if (!lazy_) return;
    const auto& rows = base_->rows;
    auto recs = std::make_shared<Records>();
    for (size_t i = 0; i < rows.size(); ++i) {
        Rec r;
        r.id = static_cast<int64_t>(i) + 1;
        r.cur = std::shared_ptr<const VariantArray>(base_, &rows[i].values);  // shares the packet
        r.orig = r.cur;
        recs->push_back(std::move(r));
    }
    recs_ = std::move(recs);
    lazy_ = false;
    base_.reset();
    packet_.reset();
}

// ---- The store's own packet, kept in step -------------------------------------------

void RowStore::PacketRowFrom(int i, PacketRow& row) const {
    const Rec& r = (*recs_)[static_cast<size_t>(i)];
    row.values = *r.cur;
    row.original.clear();
    row.change = RowChange::Unmodified;
    if (r.deleted) {
        row.change = RowChange::Deleted;
        if (r.orig) row.original = *r.orig;
    } else if (r.change == RowChange::Inserted) {
        row.change = RowChange::Inserted;
    } else if (r.change == RowChange::Modified) {
        row.change = RowChange::Modified;
        row.original = *r.orig;
    }
}

void RowStore::SyncRow(int i) {
    if (PacketOwned()) PacketRowFrom(i, packet_->rows[static_cast<size_t>(i)]);
    else packet_.reset();
}

void RowStore::SyncInsert(int i) {
    if (!PacketOwned()) {
        packet_.reset();
        return;
    }
    PacketRow row;
    PacketRowFrom(i, row);
    packet_->rows.insert(packet_->rows.begin() + i, std::move(row));
}

void RowStore::SyncErase(int i) {
    if (PacketOwned()) packet_->rows.erase(packet_->rows.begin() + i);
    else packet_.reset();
}

// ---- Changes ---------------------------------------------------------------------------

int64_t RowStore::Insert(int pos, VariantArray values, bool log) {
    Materialize();
    values.resize(columns_.size());
    Records& recs = Mut();
    Rec r;
    r.id = nextId_++;
    r.cur = std::make_shared<const VariantArray>(std::move(values));
    Retag(r);
    Adjust(nullptr, r.cur.get());
    if (log) {
        r.change = RowChange::Inserted;
        log_.push_back({r.id, RowChange::Inserted, nullptr, RowChange::Unmodified});
    } else {
        r.orig = r.cur;
    }
    pos = std::clamp(pos, 0, static_cast<int>(recs.size()));
    int64_t id = r.id;
    recs.insert(static_cast<size_t>(pos), std::move(r));
    Inserted(pos);
    SyncInsert(pos);
    return id;
}

bool RowStore::Modify(int i, VariantArray values, bool log) {
    values.resize(columns_.size());
    if (Values(i) == values) return false;
    Materialize();
    Rec& r = Mut().At(static_cast<size_t>(i));
    auto next = std::make_shared<const VariantArray>(std::move(values));
    if (!r.deleted) Adjust(r.cur.get(), next.get());
    if (log) {
        log_.push_back({r.id, RowChange::Modified, r.cur, r.change});
        if (r.change == RowChange::Unmodified) r.change = RowChange::Modified;
    } else if (r.change == RowChange::Unmodified) {
        r.orig = next;
    }
    r.cur = std::move(next);
    Retag(r);
    SyncRow(i);
    return true;
}

void RowStore::Remove(int i, bool log) {
    Materialize();
    Records& recs = Mut();
    Rec& r = recs.At(static_cast<size_t>(i));
    if (!r.deleted) Adjust(r.cur.get(), nullptr);
    if (!log) {
        // Only records without pending changes can go for good: the log of
        // the others would point nowhere.
        bool logged = log_.AnyOf([&](const LogEntry& e) { return e.id == r.id; });
        if (!logged) {
            recs.erase(static_cast<size_t>(i));
            Erased(i);
            SyncErase(i);
            return;
        }
    }
    log_.push_back({r.id, RowChange::Deleted, r.cur, r.change});
    r.deleted = true;
    MarkDeleted(i);
    SyncRow(i);
}

int64_t RowStore::UndoLast() {
    if (log_.empty()) return -1;
    LogEntry e = log_.back();
    log_.pop_back();
    int i = Find(e.id);
    if (i < 0) return -1;
    Records& recs = Mut();
    Rec& r = recs.At(static_cast<size_t>(i));
    switch (e.kind) {
        case RowChange::Inserted:
            if (!r.deleted) Adjust(r.cur.get(), nullptr);
            recs.erase(static_cast<size_t>(i));
            Erased(i);
            SyncErase(i);
            return e.id;
        case RowChange::Modified:
            if (!r.deleted) Adjust(r.cur.get(), e.prevCur.get());
            r.cur = e.prevCur;
            Retag(r);
            r.change = e.prevChange;
            break;
        case RowChange::Deleted:
            if (r.deleted) Adjust(nullptr, r.cur.get());
            UnmarkDeleted(i);
            r.deleted = false;
            break;
        case RowChange::Unmodified: break;
    }
    SyncRow(i);
    return e.id;
}

void RowStore::Revert(int i) {
    if (lazy_ || i < 0) return;
    Records& recs = Mut();
    int64_t id = recs[static_cast<size_t>(i)].id;
    log_.EraseIf([&](const LogEntry& e) { return e.id == id; });
    Rec& r = recs.At(static_cast<size_t>(i));
    // The sums leave the current values and take the original ones again.
    Adjust(r.deleted ? nullptr : r.cur.get(), r.orig.get());
    UnmarkDeleted(i);
    if (!r.orig) {
        recs.erase(static_cast<size_t>(i));
        Erased(i);
        SyncErase(i);
        return;
    }
    r.cur = r.orig;
    Retag(r);
    r.change = RowChange::Unmodified;
    r.deleted = false;
    SyncRow(i);
}

void RowStore::CancelUpdates() {
    if (lazy_ || log_.empty()) return;
    Records& recs = Mut();
    // Records are read first and copied (At) only when they change, so the
    // chunks a copy of the store shares stay shared.
    for (int i = static_cast<int>(recs.size()) - 1; i >= 0; --i) {
        const Rec& seen = recs[static_cast<size_t>(i)];
        if (!seen.orig) {
            if (!seen.deleted) Adjust(seen.cur.get(), nullptr);
            recs.erase(static_cast<size_t>(i));
            SyncErase(i);
        } else if (seen.change != RowChange::Unmodified || seen.deleted || seen.cur != seen.orig) {
            Adjust(seen.deleted ? nullptr : seen.cur.get(), seen.orig.get());  // the sums follow, not read again
            Rec& r = recs.At(static_cast<size_t>(i));
            r.cur = r.orig;
            Retag(r);
            r.change = RowChange::Unmodified;
            r.deleted = false;
            SyncRow(i);
        }
    }
    log_.clear();
    deletedPos_.clear();
}

void RowStore::Merge() {
    if (lazy_) return;
    Records& recs = Mut();
    for (int i = static_cast<int>(recs.size()) - 1; i >= 0; --i) {
        const Rec& seen = recs[static_cast<size_t>(i)];  // copied only when it changes, as above
        if (seen.deleted) {
            recs.erase(static_cast<size_t>(i));
            SyncErase(i);
        } else if (seen.change != RowChange::Unmodified || seen.orig != seen.cur) {
            Rec& r = recs.At(static_cast<size_t>(i));
            r.orig = r.cur;
            r.change = RowChange::Unmodified;
            SyncRow(i);
        }
    }
    log_.clear();
    deletedPos_.clear();
}

void RowStore::Clear() {
    lazy_ = false;
    sums_.clear();
    deletedPos_.clear();
    base_.reset();
    const int tagged = recs_->tagColumn;  // an emptied store goes on tagging its new rows
    recs_ = std::make_shared<Records>();
    recs_->tagColumn = tagged;
    log_.clear();
    if (PacketOwned()) packet_->rows.clear();
    else packet_.reset();
}

std::shared_ptr<const DataPacket> RowStore::Packet() {
    auto snap = std::make_shared<Snapshot>();
    snap->columns = columns_;
    snap->nextId = nextId_;
    snap->sums = sums_;
    if (lazy_) {
        snap->lazy = true;
        snap->base = base_;
        return std::shared_ptr<const DataPacket>(base_.get(), StorePacketTag{base_, std::move(snap)});
    }
    if (!packet_) {
        packet_ = std::make_shared<DataPacket>();
        packet_->fields = columns_;
        packet_->rows.resize(recs_->size());
        for (size_t i = 0; i < recs_->size(); ++i) PacketRowFrom(static_cast<int>(i), packet_->rows[i]);
    }
    snap->recs = recs_;
    snap->log = log_;
    snap->deletedPos = deletedPos_;
    return std::shared_ptr<const DataPacket>(packet_.get(), StorePacketTag{packet_, std::move(snap)});
}

DataPacket RowStore::Delta() const {
    DataPacket p;
    p.fields = columns_;
    if (lazy_) return p;
    for (size_t i = 0; i < recs_->size(); ++i) {
        const Rec& r = (*recs_)[i];
        PacketRow row;
        if (r.deleted) {
            if (!r.orig) continue;  // never reached the server
            row.change = RowChange::Deleted;
            row.values = *r.orig;
            row.original = *r.orig;
        } else if (r.change == RowChange::Inserted) {
            row.change = RowChange::Inserted;
            row.values = *r.cur;
        } else if (r.change == RowChange::Modified) {
            row.change = RowChange::Modified;
            row.values = *r.cur;
            row.original = *r.orig;
        } else {
            continue;
        }
        p.rows.push_back(std::move(row));
    }
    return p;
}
