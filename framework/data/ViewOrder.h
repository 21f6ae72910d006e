#pragma once
// ViewOrder (internal to datasets): the visible records of a dataset as store
// indexes in view order, kept in blocks so that a post moves one record in
// O(log n + block) instead of shifting the whole vector. Reading by position
// is a binary search over the block starts (the block read last is tried first,
// so walks cost O(1) a step).
#include <algorithm>
#include <cstddef>
#include <vector>

class ViewOrder {
public:
    int Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    void Clear();
    // Replaces the contents with `items` in that order.
    void Assign(const std::vector<int>& items);

    int At(int pos) const {
        size_t b = BlockOf(pos);
        return blocks_[b][static_cast<size_t>(pos - starts_[b])];
    }
    void Insert(int pos, int value);  // 0 <= pos <= Size()
    void Erase(int pos);              // 0 <= pos < Size()
    int Find(int value) const;        // position of value; -1 when absent (linear)
    // Adds delta to every value >= from (the store shifted its records).
    void Shift(int from, int delta);

    // First position whose value v has !before(v), for a view ordered by `before`.
    template <class Before>
    int LowerBound(Before before) const {
        int lo = 0, hi = size_;
        while (lo < hi) {
            int mid = lo + (hi - lo) / 2;
            if (before(At(mid))) lo = mid + 1;
            else hi = mid;
        }
        return lo;
    }

private:
    static constexpr size_t kBlock = 512;
    size_t BlockOf(int pos) const {
        if (last_ < starts_.size() && pos >= starts_[last_] &&
            pos < starts_[last_] + static_cast<int>(blocks_[last_].size()))
            return last_;
        auto it = std::upper_bound(starts_.begin(), starts_.end(), pos);
        last_ = static_cast<size_t>(it - starts_.begin()) - 1;
        return last_;
    }
    void Restart(size_t fromBlock);  // block starts from fromBlock on

    std::vector<std::vector<int>> blocks_;
    std::vector<int> starts_;  // position of each block's first item
    int size_ = 0;
    mutable size_t last_ = 0;
};
