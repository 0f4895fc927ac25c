#include "app/FoundFiles.h"

#include <windows.h>

#include <algorithm>

namespace dv {

const std::wstring& TFoundFiles::Directory(int position) const {
    return directories_[(*this)[position].Dir];
}

std::wstring TFoundFiles::Path(int position) const {
    return Directory(position) + L"\\" + (*this)[position].Name;
}

size_t TFoundFiles::FileHash::operator()(const FoundFile* file) const {
    return std::hash<std::wstring>()(file->Name) ^ (size_t(file->Dir) * 0x9e3779b9u);
}

uint32_t TFoundFiles::DirectoryIndex(const std::wstring& dir) {
    auto [at, added] = directoryIndex_.try_emplace(dir, uint32_t(directories_.size()));
    if (added)
        directories_.push_back(dir);
    return at->second;
}

int TFoundFiles::Find(const std::wstring& text, int start, bool prefix, bool wrap) const {
    const int count = Count();
    if (start < 0 || start >= count)
        start = 0;
    const int length = int(text.size());
    for (int step = 0, steps = wrap ? count : count - start; step < steps; ++step) {
        const std::wstring& name = (*this)[(start + step) % count].Name;
        const int compared = prefix ? std::min(int(name.size()), length) : int(name.size());
        if (CompareStringOrdinal(name.c_str(), compared, text.c_str(), length, TRUE) == CSTR_EQUAL)
            return (start + step) % count;
    }
    return -1;
}

int TFoundFiles::Insert(const std::wstring& name, const std::wstring& dir, int64_t kilobytes,
                        uint64_t fileId) {
    FoundFile probe{name, DirectoryIndex(dir), kilobytes, fileId};
    if (listed_.contains(&probe))
        return -1;
    auto file = std::make_unique<FoundFile>(std::move(probe));
    // lstrcmpW orders exactly as lstrcmpA does for every name the code page spells.
    auto place = std::upper_bound(order_.begin(), order_.end(), name,
                                  [](const std::wstring& key, const std::unique_ptr<FoundFile>& f) {
                                      return lstrcmpW(key.c_str(), f->Name.c_str()) < 0;
                                  });
    listed_.insert(file.get());
    const auto inserted = order_.insert(place, std::move(file));
    return int(inserted - order_.begin());
}

void TFoundFiles::SetAllTicked(bool ticked) {
    for (auto& file : order_)
        file->Ticked = ticked;
}

void TFoundFiles::Remove(const std::vector<int>& positions) {
    auto next = positions.begin();
    size_t kept = 0;
    for (size_t i = 0; i < order_.size(); ++i) {
        if (next != positions.end() && size_t(*next) == i) {
            ++next;
            listed_.erase(order_[i].get());
            order_[i].reset();
            continue;
        }
        order_[kept++] = std::move(order_[i]);
    }
    order_.resize(kept);
}

void TFoundFiles::Clear() {
    listed_.clear();
    order_.clear();
    directories_.clear();
    directoryIndex_.clear();
    folderIds_.clear();
}

} // namespace dv
