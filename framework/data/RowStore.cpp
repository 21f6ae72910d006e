#include "data/RowStore.h"

#include "core/Exception.h"
#include "core/Text.h"

#include <algorithm>

namespace {

// Deleter that marks packets built by a store. `keep` holds the packet this
// one wraps (then nothing is deleted here).
struct StorePacketTag {
    bool plain = false;
    std::shared_ptr<const DataPacket> keep;
    void operator()(const DataPacket* p) const {
        if (!keep) delete p;
    }
};

std::shared_ptr<const DataPacket> Tagged(DataPacket p, bool plain) {
    return std::shared_ptr<const DataPacket>(new DataPacket(std::move(p)), StorePacketTag{plain, nullptr});
}

}  // namespace

bool RowStore::KnownPlain(const std::shared_ptr<const DataPacket>& p) {
    const StorePacketTag* tag = std::get_deleter<StorePacketTag>(p);
    return tag && tag->plain;
}

void RowStore::CheckWidth(const VariantArray& v, size_t row) const {
    if (v.size() != columns_.size())
        throw EConvertError("Data packet row " + std::to_string(row + 1) + " has " + std::to_string(v.size()) +
                            " values for " + std::to_string(columns_.size()) + " fields");
}

RowStore::RowStore(std::vector<PacketField> columns) : columns_(std::move(columns)) {}

RowStore::RowStore(std::shared_ptr<const DataPacket> packet) : columns_(packet->fields), base_(packet) {
    if (KnownPlain(packet)) {
        lazy_ = true;
        nextId_ = static_cast<int64_t>(packet->rows.size()) + 1;
        packet_ = packet;
        return;
    }
    bool plain = true;
    for (size_t i = 0; i < packet->rows.size(); ++i) {
        CheckWidth(packet->rows[i].values, i);
        if (packet->rows[i].change != RowChange::Unmodified) plain = false;
    }
    if (plain) {
        lazy_ = true;
        nextId_ = static_cast<int64_t>(packet->rows.size()) + 1;
        return;
    }
    // A packet with a change log: inserted and modified rows are logged first,
    // deletions last, so that undoing starts with the deletions.
    std::vector<LogEntry> deletions;
    recs_.reserve(packet->rows.size());
    for (const PacketRow& row : packet->rows) {
        Rec r;
        r.id = nextId_++;
        r.cur = std::make_shared<const VariantArray>(row.values);
        bool hasOrig = row.original.size() == columns_.size();
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
        recs_.push_back(std::move(r));
    }
    log_.insert(log_.end(), deletions.begin(), deletions.end());
    base_.reset();
}

int RowStore::ColumnIndex(const std::string& name) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (text::SameText(columns_[i].name, name)) return static_cast<int>(i);
    return -1;
}

int RowStore::Find(int64_t id) const {
    if (lazy_) return id >= 1 && id <= Size() ? static_cast<int>(id - 1) : -1;
    for (size_t i = 0; i < recs_.size(); ++i)
        if (recs_[i].id == id) return static_cast<int>(i);
    return -1;
}

void RowStore::Materialize() {
    if (!lazy_) return;
    const auto& rows = base_->rows;
    recs_.clear();
    recs_.reserve(rows.size() + 16);
    for (size_t i = 0; i < rows.size(); ++i) {
        Rec r;
        r.id = static_cast<int64_t>(i) + 1;
        r.cur = std::shared_ptr<const VariantArray>(base_, &rows[i].values);  // shares the packet
        r.orig = r.cur;
        recs_.push_back(std::move(r));
    }
    lazy_ = false;
    base_.reset();
}

int64_t RowStore::Insert(int pos, VariantArray values, bool log) {
    Materialize();
    Touch();
    values.resize(columns_.size());
    Rec r;
    r.id = nextId_++;
    r.cur = std::make_shared<const VariantArray>(std::move(values));
    if (log) {
        r.change = RowChange::Inserted;
        log_.push_back({r.id, RowChange::Inserted, nullptr, RowChange::Unmodified});
    } else {
        r.orig = r.cur;
    }
    pos = std::clamp(pos, 0, static_cast<int>(recs_.size()));
    recs_.insert(recs_.begin() + pos, std::move(r));
    return recs_[pos].id;
}

bool RowStore::Modify(int i, VariantArray values, bool log) {
    values.resize(columns_.size());
    if (Values(i) == values) return false;
    Materialize();
    Touch();
    Rec& r = recs_[i];
    auto next = std::make_shared<const VariantArray>(std::move(values));
    if (log) {
        log_.push_back({r.id, RowChange::Modified, r.cur, r.change});
        if (r.change == RowChange::Unmodified) r.change = RowChange::Modified;
    } else {
        if (r.change == RowChange::Unmodified) r.orig = next;
    }
    r.cur = std::move(next);
    return true;
}

void RowStore::Remove(int i, bool log) {
    Materialize();
    Touch();
    Rec& r = recs_[i];
    if (!log) {
        // Only records without pending changes can go for good: the log of
        // the others would point nowhere.
        bool logged = std::any_of(log_.begin(), log_.end(), [&](const LogEntry& e) { return e.id == r.id; });
        if (!logged) {
            recs_.erase(recs_.begin() + i);
            return;
        }
    }
    log_.push_back({r.id, RowChange::Deleted, r.cur, r.change});
    r.deleted = true;
}

int64_t RowStore::UndoLast() {
    if (log_.empty()) return -1;
    LogEntry e = log_.back();
    log_.pop_back();
    Touch();
    int i = Find(e.id);
    if (i < 0) return -1;
    Rec& r = recs_[i];
    switch (e.kind) {
        case RowChange::Inserted: recs_.erase(recs_.begin() + i); break;
        case RowChange::Modified:
            r.cur = e.prevCur;
            r.change = e.prevChange;
            break;
        case RowChange::Deleted: r.deleted = false; break;
        case RowChange::Unmodified: break;
    }
    return e.id;
}

void RowStore::Revert(int i) {
    if (lazy_) return;
    Touch();
    int64_t id = recs_[i].id;
    log_.erase(std::remove_if(log_.begin(), log_.end(), [&](const LogEntry& e) { return e.id == id; }), log_.end());
    Rec& r = recs_[i];
    if (!r.orig) {
        recs_.erase(recs_.begin() + i);
        return;
    }
    r.cur = r.orig;
    r.change = RowChange::Unmodified;
    r.deleted = false;
}

void RowStore::CancelUpdates() {
    if (lazy_ || log_.empty()) return;
    Touch();
    std::vector<Rec> kept;
    kept.reserve(recs_.size());
    for (Rec& r : recs_) {
        if (!r.orig) continue;
        r.cur = r.orig;
        r.change = RowChange::Unmodified;
        r.deleted = false;
        kept.push_back(std::move(r));
    }
    recs_ = std::move(kept);
    log_.clear();
}

void RowStore::Merge() {
    if (lazy_) return;
    Touch();
    std::vector<Rec> kept;
    kept.reserve(recs_.size());
    for (Rec& r : recs_) {
        if (r.deleted) continue;
        r.orig = r.cur;
        r.change = RowChange::Unmodified;
        kept.push_back(std::move(r));
    }
    recs_ = std::move(kept);
    log_.clear();
}

void RowStore::Clear() {
    Touch();
    lazy_ = false;
    base_.reset();
    recs_.clear();
    log_.clear();
}

std::shared_ptr<const DataPacket> RowStore::Packet() {
    if (packet_) return packet_;
    if (lazy_) {
        // Wrap the loaded packet so the next store knows it is plain.
        packet_ = std::shared_ptr<const DataPacket>(base_.get(), StorePacketTag{true, base_});
        return packet_;
    }
    DataPacket p;
    p.fields = columns_;
    p.rows.reserve(recs_.size());
    bool plain = log_.empty();
    for (const Rec& r : recs_) {
        PacketRow row;
        row.values = *r.cur;
        if (r.deleted) {
            row.change = RowChange::Deleted;
            if (r.orig) row.original = *r.orig;
        } else if (r.change == RowChange::Inserted) {
            row.change = RowChange::Inserted;
        } else if (r.change == RowChange::Modified) {
            row.change = RowChange::Modified;
            row.original = *r.orig;
        }
        p.rows.push_back(std::move(row));
    }
    packet_ = Tagged(std::move(p), plain);
    return packet_;
}

DataPacket RowStore::Delta() const {
    DataPacket p;
    p.fields = columns_;
    if (lazy_) return p;
    for (const Rec& r : recs_) {
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
