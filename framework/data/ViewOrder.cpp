#include "data/ViewOrder.h"

void ViewOrder::Clear() {
    blocks_.clear();
    starts_.clear();
    size_ = 0;
    last_ = 0;
}

void ViewOrder::Assign(const std::vector<int>& items) {
    Clear();
    for (size_t i = 0; i < items.size(); i += kBlock) {
        size_t end = std::min(items.size(), i + kBlock);
        starts_.push_back(static_cast<int>(i));
        blocks_.emplace_back(items.begin() + static_cast<std::ptrdiff_t>(i),
                             items.begin() + static_cast<std::ptrdiff_t>(end));
    }
    size_ = static_cast<int>(items.size());
}

void ViewOrder::Restart(size_t fromBlock) {
    for (size_t b = fromBlock; b < blocks_.size(); ++b)
        starts_[b] = b == 0 ? 0 : starts_[b - 1] + static_cast<int>(blocks_[b - 1].size());
    last_ = 0;
}

void ViewOrder::Insert(int pos, int value) {
    if (blocks_.empty()) {
        blocks_.push_back({value});
        starts_.push_back(0);
        size_ = 1;
        return;
    }
    size_t b = pos == size_ ? blocks_.size() - 1 : BlockOf(pos);
    auto& block = blocks_[b];
    block.insert(block.begin() + (pos - starts_[b]), value);
    if (block.size() >= 2 * kBlock) {
        std::vector<int> tail(block.begin() + static_cast<std::ptrdiff_t>(kBlock), block.end());
        block.resize(kBlock);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(tail));
        starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(b) + 1, 0);
    }
    ++size_;
    Restart(b + 1);
}

void ViewOrder::Erase(int pos) {
    size_t b = BlockOf(pos);
    auto& block = blocks_[b];
    block.erase(block.begin() + (pos - starts_[b]));
    if (block.empty()) {
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
        starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(b));
    }
    --size_;
    Restart(b == 0 ? 0 : b);
}

int ViewOrder::Find(int value) const {
    for (size_t b = 0; b < blocks_.size(); ++b) {
        auto it = std::find(blocks_[b].begin(), blocks_[b].end(), value);
        if (it != blocks_[b].end()) return starts_[b] + static_cast<int>(it - blocks_[b].begin());
    }
    return -1;
}

void ViewOrder::Shift(int from, int delta) {
    for (auto& block : blocks_)
        for (int& v : block)
            if (v >= from) v += delta;
}
