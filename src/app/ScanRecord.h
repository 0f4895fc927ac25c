#pragma once
// What the scan's directory pass found, kept for its pattern pass: every folder
// it walked or passed on its way down (with the ID each folder's parent listed
// it with), what each drive's volume taught the walk, and, for every pattern
// it knew, the files that match, in the order a search of each recorded folder
// would find them. It knows no window.
#include "app/FileByHandle.h"
#include "app/FolderTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

// A file kept for the patterns it matches: its folder, its name in the
// record's name buffer, and what its folder's listing said of it.
struct KeptFile {
    uint64_t Size;
    uint64_t IdLow, IdHigh;
    int64_t LastWrite;
    uint32_t Folder;
    uint32_t NameStart;
    uint16_t NameLength;
    IdKind Kind;
    FileId Id() const { return {IdLow, IdHigh, Kind}; }
};

class TScanRecord {
  public:
    // ---- folders ----
    // Adds a folder below parent (TFolderTable::kNone for a drive's root, named
    // as its path is, with no ID). A recorded folder is searched by the
    // pattern pass; the others (a drive's root, the folders above a walk's
    // root) only lead to recorded ones.
    uint32_t AddFolder(uint32_t parent, std::wstring_view name, const FileId& id, bool recorded);
    uint32_t FolderCount() const { return folders_.Count(); }
    // Folders recorded so far, which "Scanning: <n>" counts.
    uint32_t RecordedCount() const { return recordedCount_; }
    bool IsRecorded(uint32_t folder) const { return flags_[folder] & kRecorded; }
    const TFolderTable& Folders() const { return folders_; }
    // Marks the folder's ID as handed on; false when it was already.
    bool HandOnId(uint32_t folder);
    // The number the found-file store gave the folder's path, TFolderTable::kNone
    // until it is told one.
    uint32_t StoreFolder(uint32_t folder) const {
        return folder < storeFolders_.size() ? storeFolders_[folder] : TFolderTable::kNone;
    }
    void SetStoreFolder(uint32_t folder, uint32_t stored);
    // For when the store is emptied while the record is kept.
    void ForgetStoreFolders() { std::vector<uint32_t>().swap(storeFolders_); }

    // ---- volumes ----
    // What the walk of a drive (its root folder) learned of its volume.
    void SetVolume(uint32_t root, const Volume& volume);
    // The volume of a folder's drive, as its walk left it.
    Volume VolumeOf(uint32_t folder) const;
    // An ID listed on a folder's drive, as its handles give it alike; none
    // where they do not.
    FileId ComparableId(uint32_t folder, const FileId& listed) const {
        return Comparable(VolumeOf(folder), listed);
    }

    // ---- kept matches ----
    // The patterns the directory pass matches every file against.
    void SetPatterns(std::vector<std::wstring> patterns) { patterns_ = std::move(patterns); }
    const std::vector<std::wstring>& Patterns() const { return patterns_; }
    // The place of a pattern among them, or -1 when the pass did not know it.
    int PatternIndex(const std::wstring& pattern) const;
    uint32_t AddFile(uint32_t folder, const ListedEntry& entry);
    void Keep(size_t pattern, uint32_t file);
    const std::vector<uint32_t>& Kept(size_t pattern) const;
    const KeptFile& File(uint32_t file) const { return files_[file]; }
    // Stays valid until the next file is added or the record cleared.
    std::wstring_view FileName(uint32_t file) const {
        return std::wstring_view(names_).substr(files_[file].NameStart, files_[file].NameLength);
    }

    bool Empty() const { return folders_.Count() == 0 && patterns_.empty(); }
    // Forgets everything and gives the memory back.
    void Clear();

  private:
    static constexpr uint8_t kRecorded = 1, kIdHandedOn = 2;

    TFolderTable folders_;
    std::vector<uint8_t> flags_;
    std::vector<uint32_t> storeFolders_;
    uint32_t recordedCount_ = 0;
    std::vector<std::pair<uint32_t, Volume>> volumes_; // by drive root
    std::vector<std::wstring> patterns_;
    std::vector<KeptFile> files_;
    std::wstring names_;
    std::vector<std::vector<uint32_t>> kept_;
};

} // namespace dv
