#include "app/FoundFiles.h"

#include <windows.h>

#include <algorithm>

namespace dv {

std::wstring TFoundFiles::Directory(int position) const {
    return folders_.Path((*this)[position].Dir);
}

std::wstring TFoundFiles::Path(int position) const {
    return Directory(position) + L"\\" + (*this)[position].Name;
}

uint32_t TFoundFiles::DirectoryIndex(const std::wstring& dir) {
    if (lastDirIndex_ == TFolderTable::kNone || dir != lastDir_) {
        lastDirIndex_ = folders_.Add(dir);
        lastDir_ = dir;
    }
    return lastDirIndex_;
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

bool TFoundFiles::IsListed(const FoundFile& file, size_t place) const {
    // A name the comparison takes as equal to the file's may stand between
    // files of the very same name; the run of equal names is looked through.
    for (size_t i = place; i-- > 0;) {
        const FoundFile& listed = *order_[i];
        if (listed.Name == file.Name) {
            if (listed.Dir == file.Dir)
                return true;
        } else if (lstrcmpW(listed.Name.c_str(), file.Name.c_str()) != 0) {
            return false;
        }
    }
    return false;
}

int TFoundFiles::Insert(const std::wstring& name, const std::wstring& dir, int64_t kilobytes,
                        uint64_t fileId) {
    FoundFile probe{name, DirectoryIndex(dir), kilobytes, fileId};
    // lstrcmpW orders exactly as lstrcmpA does for every name the code page spells.
    const auto place = std::upper_bound(order_.begin(), order_.end(), name,
                                        [](const std::wstring& key, const FoundFile* f) {
                                            return lstrcmpW(key.c_str(), f->Name.c_str()) < 0;
                                        });
    if (IsListed(probe, size_t(place - order_.begin())))
        return -1;
    const auto inserted = order_.insert(place, &files_.emplace_back(std::move(probe)));
    return int(inserted - order_.begin());
}

void TFoundFiles::SetAllTicked(bool ticked) {
    for (FoundFile* file : order_)
        file->Ticked = ticked;
}

void TFoundFiles::Remove(const std::vector<int>& positions) {
    auto next = positions.begin();
    size_t kept = 0;
    for (size_t i = 0; i < order_.size(); ++i) {
        if (next != positions.end() && size_t(*next) == i) {
            ++next;
            std::wstring().swap(order_[i]->Name);
            continue;
        }
        order_[kept++] = order_[i];
    }
    order_.resize(kept);
}

void TFoundFiles::RecordFolderId(const std::wstring& dir, uint64_t id) {
    folders_.SetId(folders_.Add(dir), id);
}

std::optional<uint64_t> TFoundFiles::FolderId(const std::wstring& dir) const {
    const uint32_t folder = folders_.Find(dir);
    if (folder == TFolderTable::kNone)
        return std::nullopt;
    return folders_.Id(folder);
}

void TFoundFiles::Clear() {
    std::vector<FoundFile*>().swap(order_);
    std::deque<FoundFile>().swap(files_);
    folders_.Clear();
    std::wstring().swap(lastDir_);
    lastDirIndex_ = TFolderTable::kNone;
}

} // namespace dv
