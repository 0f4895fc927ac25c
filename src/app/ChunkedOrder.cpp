#include "app/ChunkedOrder.h"

namespace dv {

namespace {

// A chunk that grows to twice this size is split in two.
const size_t kChunkSize = 512;

// The lowest set bit: the span of chunks a Fenwick entry totals.
size_t LowBit(size_t index) { return index & (~index + 1); }

} // namespace

uint32_t TChunkedOrder::At(int position) const {
    const Place place = Locate(position);
    return chunks_[place.Chunk][size_t(place.Offset)];
}

int TChunkedOrder::ChunkStart(size_t chunk) const {
    int start = 0;
    for (size_t i = chunk; i > 0; i -= LowBit(i))
        start += totals_[i - 1];
    return start;
}

TChunkedOrder::Place TChunkedOrder::Locate(int position) const {
    if (position >= count_)
        return {chunks_.size() - 1, position - ChunkStart(chunks_.size() - 1)};
    // Walks down the tree to the last chunk starting at or before position.
    size_t chunk = 0;
    size_t step = 1;
    while (step * 2 <= totals_.size())
        step *= 2;
    for (; step > 0; step /= 2)
        if (chunk + step <= totals_.size() && totals_[chunk + step - 1] <= position) {
            chunk += step;
            position -= totals_[chunk - 1];
        }
    return {chunk, position};
}

void TChunkedOrder::AddToSize(size_t chunk, int delta) {
    for (size_t i = chunk + 1; i <= totals_.size(); i += LowBit(i))
        totals_[i - 1] += delta;
}

void TChunkedOrder::Insert(int position, uint32_t item) {
    if (chunks_.empty()) {
        chunks_.emplace_back();
        lasts_.push_back(item);
        totals_.push_back(0);
    }
    const Place place = Locate(position);
    Chunk& chunk = chunks_[place.Chunk];
    chunk.insert(chunk.begin() + place.Offset, item);
    lasts_[place.Chunk] = chunk.back();
    ++count_;
    if (chunk.size() >= 2 * kChunkSize)
        Split(place.Chunk);
    else
        AddToSize(place.Chunk, 1);
}

void TChunkedOrder::Split(size_t chunk) {
    Chunk& full = chunks_[chunk];
    Chunk upper(full.begin() + ptrdiff_t(kChunkSize), full.end());
    full.resize(kChunkSize);
    lasts_[chunk] = full.back();
    lasts_.insert(lasts_.begin() + ptrdiff_t(chunk) + 1, upper.back());
    chunks_.insert(chunks_.begin() + ptrdiff_t(chunk) + 1, std::move(upper));
    RebuildTotals();
}

void TChunkedOrder::RebuildTotals() {
    totals_.assign(chunks_.size(), 0);
    for (size_t i = 1; i <= chunks_.size(); ++i) {
        totals_[i - 1] += int(chunks_[i - 1].size());
        const size_t parent = i + LowBit(i);
        if (parent <= totals_.size())
            totals_[parent - 1] += totals_[i - 1];
    }
}

void TChunkedOrder::Assign(const std::vector<uint32_t>& items) {
    Clear();
    for (size_t start = 0; start < items.size(); start += kChunkSize) {
        const size_t end = std::min(items.size(), start + kChunkSize);
        chunks_.emplace_back(items.begin() + ptrdiff_t(start), items.begin() + ptrdiff_t(end));
        lasts_.push_back(items[end - 1]);
    }
    count_ = int(items.size());
    RebuildTotals();
}

void TChunkedOrder::Clear() {
    std::vector<Chunk>().swap(chunks_);
    std::vector<uint32_t>().swap(lasts_);
    std::vector<int>().swap(totals_);
    count_ = 0;
}

} // namespace dv
