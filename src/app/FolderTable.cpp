#include "app/FolderTable.h"

namespace dv {

namespace {

const wchar_t kSeparator = L'\\';

size_t HashOf(uint32_t parent, std::wstring_view name) {
    size_t hash = 2166136261u ^ parent;
    for (wchar_t c : name)
        hash = (hash ^ size_t(c)) * 16777619u;
    return hash;
}

} // namespace

std::wstring_view TFolderTable::Name(uint32_t folder) const {
    const Folder& f = folders_[folder];
    return std::wstring_view(names_).substr(f.NameStart, f.NameLength);
}

size_t TFolderTable::SlotOf(uint32_t parent, std::wstring_view name) const {
    const size_t mask = slots_.size() - 1;
    for (size_t slot = HashOf(parent, name) & mask;; slot = (slot + 1) & mask) {
        const uint32_t entry = slots_[slot];
        if (entry == 0 || (folders_[entry - 1].Parent == parent && Name(entry - 1) == name))
            return slot;
    }
}

// Twice the room whenever the table is half full, so a free slot is near.
void TFolderTable::Grow() {
    if (slots_.size() > 2 * folders_.size())
        return;
    std::vector<uint32_t> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
    for (uint32_t entry : old)
        if (entry != 0)
            slots_[SlotOf(folders_[entry - 1].Parent, Name(entry - 1))] = entry;
}

uint32_t TFolderTable::AddChild(uint32_t parent, std::wstring_view name) {
    Grow();
    const size_t slot = SlotOf(parent, name);
    if (slots_[slot] != 0)
        return slots_[slot] - 1;
    folders_.push_back(
        {0, 0, parent, uint32_t(names_.size()), uint16_t(name.size()), false, IdKind::None});
    names_.append(name);
    slots_[slot] = uint32_t(folders_.size());
    return uint32_t(folders_.size() - 1);
}

uint32_t TFolderTable::Add(std::wstring_view path) {
    uint32_t folder = kNone;
    for (size_t start = 0;;) {
        const size_t end = path.find(kSeparator, start);
        folder = AddChild(folder, path.substr(start, end - start));
        if (end == std::wstring_view::npos)
            return folder;
        start = end + 1;
    }
}

uint32_t TFolderTable::Find(std::wstring_view path) const {
    if (slots_.empty())
        return kNone;
    uint32_t folder = kNone;
    for (size_t start = 0;;) {
        const size_t end = path.find(kSeparator, start);
        const uint32_t entry = slots_[SlotOf(folder, path.substr(start, end - start))];
        if (entry == 0)
            return kNone;
        folder = entry - 1;
        if (end == std::wstring_view::npos)
            return folder;
        start = end + 1;
    }
}

std::wstring TFolderTable::Path(uint32_t folder) const {
    size_t length = 0;
    for (uint32_t f = folder; f != kNone; f = folders_[f].Parent)
        length += folders_[f].NameLength + 1;
    std::wstring path(length - 1, kSeparator);
    for (uint32_t f = folder; f != kNone; f = folders_[f].Parent) {
        length -= folders_[f].NameLength + 1;
        const std::wstring_view name = Name(f);
        path.replace(length, name.size(), name);
    }
    return path;
}

void TFolderTable::SetId(uint32_t folder, const FileId& id) {
    Folder& f = folders_[folder];
    f.IdLow = id.Low;
    f.IdHigh = id.High;
    f.Kind = id.Kind;
    f.HasId = true;
}

std::optional<FileId> TFolderTable::Id(uint32_t folder) const {
    const Folder& f = folders_[folder];
    if (!f.HasId)
        return std::nullopt;
    return FileId{f.IdLow, f.IdHigh, f.Kind};
}

void TFolderTable::Clear() {
    std::vector<Folder>().swap(folders_);
    std::wstring().swap(names_);
    std::vector<uint32_t>().swap(slots_);
}

} // namespace dv
