#pragma once
// Many short runs of one plain type (names, sort keys) side by side in large
// blocks that never move: a run costs its own length and no heap block, and
// stays where it is until Clear.
#include <algorithm>
#include <memory>
#include <vector>

namespace dv {

template <class T> class TArena {
  public:
    // Room for a run of this length, to be filled by the caller; it stays
    // until Clear.
    T* Make(size_t length) {
        if (length > capacity_ - used_)
            NewBlock(length);
        T* room = blocks_.back().get() + used_;
        used_ += length;
        return room;
    }

    void Clear() {
        std::vector<std::unique_ptr<T[]>>().swap(blocks_);
        used_ = capacity_ = 0;
    }

  private:
    static constexpr size_t kBlock = 32768; // elements

    void NewBlock(size_t atLeast) {
        capacity_ = std::max(kBlock, atLeast);
        blocks_.push_back(std::make_unique_for_overwrite<T[]>(capacity_));
        used_ = 0;
    }

    std::vector<std::unique_ptr<T[]>> blocks_;
    size_t used_ = 0;
    size_t capacity_ = 0;
};

} // namespace dv
