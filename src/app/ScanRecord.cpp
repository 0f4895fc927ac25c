#include "app/ScanRecord.h"

#include <algorithm>

namespace dv {

uint32_t TScanRecord::AddFolder(uint32_t parent, std::wstring_view name, const FileId& id,
                                bool recorded) {
    const uint32_t folder = folders_.AddChild(parent, name);
    folders_.SetId(folder, id);
    flags_.resize(folders_.Count(), 0);
    if (recorded) {
        flags_[folder] |= kRecorded;
        ++recordedCount_;
    }
    return folder;
}

bool TScanRecord::HandOnId(uint32_t folder) {
    if (flags_[folder] & kIdHandedOn)
        return false;
    flags_[folder] |= kIdHandedOn;
    return true;
}

void TScanRecord::SetStoreFolder(uint32_t folder, uint32_t stored) {
    if (storeFolders_.size() <= folder)
        storeFolders_.resize(folders_.Count(), TFolderTable::kNone);
    storeFolders_[folder] = stored;
}

void TScanRecord::SetVolume(uint32_t root, const Volume& volume) {
    for (auto& [folder, known] : volumes_)
        if (folder == root) {
            known = volume;
            return;
        }
    volumes_.emplace_back(root, volume);
}

Volume TScanRecord::VolumeOf(uint32_t folder) const {
    uint32_t root = folder;
    while (folders_.Parent(root) != TFolderTable::kNone)
        root = folders_.Parent(root);
    for (const auto& [drive, volume] : volumes_)
        if (drive == root)
            return volume;
    return {};
}

int TScanRecord::PatternIndex(const std::wstring& pattern) const {
    const auto found = std::find(patterns_.begin(), patterns_.end(), pattern);
    return found == patterns_.end() ? -1 : int(found - patterns_.begin());
}

uint32_t TScanRecord::AddFile(uint32_t folder, const ListedEntry& entry) {
    files_.push_back({entry.Size, entry.Id.Low, entry.Id.High, entry.LastWrite, folder,
                      uint32_t(names_.size()), uint16_t(entry.Name.size()), entry.Id.Kind});
    names_.append(entry.Name);
    return uint32_t(files_.size() - 1);
}

void TScanRecord::Keep(size_t pattern, uint32_t file) {
    if (kept_.size() < patterns_.size())
        kept_.resize(patterns_.size());
    kept_[pattern].push_back(file);
}

const std::vector<uint32_t>& TScanRecord::Kept(size_t pattern) const {
    static const std::vector<uint32_t> none;
    return pattern < kept_.size() ? kept_[pattern] : none;
}

void TScanRecord::Clear() {
    folders_.Clear();
    std::vector<uint8_t>().swap(flags_);
    ForgetStoreFolders();
    recordedCount_ = 0;
    volumes_.clear();
    std::vector<std::wstring>().swap(patterns_);
    std::vector<KeptFile>().swap(files_);
    std::wstring().swap(names_);
    std::vector<std::vector<uint32_t>>().swap(kept_);
}

} // namespace dv
