#pragma once
// What the scan's directory pass found, kept for its pattern pass: every folder
// it walked or passed on its way down (with the ID each folder's parent listed
// it with), and, for every pattern it knew, the files that match, in the order
// a search of each recorded folder would find them. It knows no window.
#include "app/FolderTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

// A file kept for the patterns it matches: its folder, its name in the
// record's name buffer, and what its folder's listing said of it.
struct KeptFile {
    uint32_t Folder;
    uint32_t NameStart;
    uint32_t NameLength;
    uint64_t Size;
    uint64_t FileId;
};

class TScanRecord {
  public:
    // ---- folders ----
    // Adds a folder below parent (TFolderTable::kNone for a drive's root, named
    // as its path is, with no ID). A recorded folder is searched by the
    // pattern pass; the others (a drive's root, the folders above a walk's
    // root) only lead to recorded ones.
    uint32_t AddFolder(uint32_t parent, std::wstring_view name, uint64_t id, bool recorded);
    uint32_t FolderCount() const { return folders_.Count(); }
    // Folders recorded so far, which "Scanning: <n>" counts.
    uint32_t RecordedCount() const { return recordedCount_; }
    bool IsRecorded(uint32_t folder) const { return flags_[folder] & kRecorded; }
    const TFolderTable& Folders() const { return folders_; }
    // Marks the folder's ID as handed on; false when it was already.
    bool HandOnId(uint32_t folder);

    // ---- kept matches ----
    // The patterns the directory pass matches every file against.
    void SetPatterns(std::vector<std::wstring> patterns) { patterns_ = std::move(patterns); }
    const std::vector<std::wstring>& Patterns() const { return patterns_; }
    // The place of a pattern among them, or -1 when the pass did not know it.
    int PatternIndex(const std::wstring& pattern) const;
    uint32_t AddFile(uint32_t folder, const std::wstring& name, uint64_t size, uint64_t fileId);
    void Keep(size_t pattern, uint32_t file);
    const std::vector<uint32_t>& Kept(size_t pattern) const;
    const KeptFile& File(uint32_t file) const { return files_[file]; }
    std::wstring FileName(uint32_t file) const;

    bool Empty() const { return folders_.Count() == 0 && patterns_.empty(); }
    // Forgets everything and gives the memory back.
    void Clear();

  private:
    static constexpr uint8_t kRecorded = 1, kIdHandedOn = 2;

    TFolderTable folders_;
    std::vector<uint8_t> flags_;
    uint32_t recordedCount_ = 0;
    std::vector<std::wstring> patterns_;
    std::vector<KeptFile> files_;
    std::wstring names_;
    std::vector<std::vector<uint32_t>> kept_;
};

} // namespace dv
