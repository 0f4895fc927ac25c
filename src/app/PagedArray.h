#pragma once
// Items appended in pages of a fixed size that never move: adding one copies
// none, and reaching one by its number reads only a short table of pages
// besides the item, which stays in the cache when little else does.
#include <cstddef>
#include <memory>
#include <vector>

namespace dv {

template <class T> class TPagedArray {
  public:
    size_t Count() const { return count_; }
    T& operator[](size_t index) { return pages_[index / kPage][index % kPage]; }
    const T& operator[](size_t index) const { return pages_[index / kPage][index % kPage]; }

    void Append(const T& item) {
        if (count_ % kPage == 0)
            pages_.push_back(std::make_unique_for_overwrite<T[]>(kPage));
        pages_.back()[count_ % kPage] = item;
        ++count_;
    }

    // Forgets every item and gives the memory back.
    void Clear() {
        std::vector<std::unique_ptr<T[]>>().swap(pages_);
        count_ = 0;
    }

  private:
    static constexpr size_t kPage = 4096; // items

    std::vector<std::unique_ptr<T[]>> pages_;
    size_t count_ = 0;
};

} // namespace dv
