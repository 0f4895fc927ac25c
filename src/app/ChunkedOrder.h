#pragma once
// A sequence of item numbers kept in chunks of a few hundred: putting one in
// moves at most one chunk, and the item at a position, or the position of a
// chunk, is found in logarithmic time through running totals of the chunk
// sizes (a Fenwick tree).
#include <cstdint>
#include <vector>

namespace dv {

class TChunkedOrder {
  public:
    int Count() const { return count_; }
    uint32_t At(int position) const;
    void Insert(int position, uint32_t item);
    // The first position whose item comes after the new one: sortsBefore(item)
    // tells whether the new one goes before item. The items must be in that
    // order already.
    template <class SortsBefore> int UpperBound(SortsBefore sortsBefore) const;
    // Every item, in order.
    template <class Visit> void ForEach(Visit visit) const;
    // Keeps the items in this order, and only them.
    void Assign(const std::vector<uint32_t>& items);
    void Clear();

  private:
    using Chunk = std::vector<uint32_t>;
    // The chunk holding a position, and the position within it; a position
    // just past the end is in the last chunk.
    struct Place {
        size_t Chunk;
        int Offset;
    };
    Place Locate(int position) const;
    int ChunkStart(size_t chunk) const;
    void AddToSize(size_t chunk, int delta);
    void Split(size_t chunk);
    void RebuildTotals();

    std::vector<Chunk> chunks_;
    // The last item of each chunk, side by side: the search among the chunks
    // reads no chunk but the one it ends in.
    std::vector<uint32_t> lasts_;
    std::vector<int> totals_; // Fenwick tree over the chunk sizes
    int count_ = 0;
};

template <class SortsBefore> int TChunkedOrder::UpperBound(SortsBefore sortsBefore) const {
    // The first chunk whose last item comes after the new one; the new one
    // goes within it.
    size_t low = 0, high = chunks_.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (sortsBefore(lasts_[middle]))
            high = middle;
        else
            low = middle + 1;
    }
    if (low == chunks_.size())
        return count_;
    const Chunk& chunk = chunks_[low];
    int first = 0, last = int(chunk.size());
    while (first < last) {
        const int middle = (first + last) / 2;
        if (sortsBefore(chunk[size_t(middle)]))
            last = middle;
        else
            first = middle + 1;
    }
    return ChunkStart(low) + first;
}

template <class Visit> void TChunkedOrder::ForEach(Visit visit) const {
    for (const Chunk& chunk : chunks_)
        for (uint32_t item : chunk)
            visit(item);
}

} // namespace dv
