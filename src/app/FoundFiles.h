#pragma once
// The files a scan found, kept by the program in list order (by name, as the
// platform's locale-aware, case-sensitive comparison orders them; a name equal
// to listed ones goes after them). ListFiles only shows this store. It knows
// no window, so the scan, the removal and the window's headers all build on it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace dv {

struct FoundFile {
    std::wstring Name; // as the directory search gave it
    uint32_t Dir;      // index of its directory in the store's directory table
    int64_t KB;
    uint64_t FileId = 0; // the ID the folder's listing gave the file
    bool Ticked = false;
};

class TFoundFiles {
  public:
    int Count() const { return int(order_.size()); }
    const FoundFile& operator[](int position) const { return *order_[size_t(position)]; }
    const std::wstring& Directory(int position) const;
    // The full path: directory, "\" and name.
    std::wstring Path(int position) const;

    // The first file from start on (then from the first, when wrapping) whose
    // name is text, or begins with it for a prefix, letter case aside as the
    // file system compares names; -1 when there is none.
    int Find(const std::wstring& text, int start, bool prefix, bool wrap) const;
    // Puts a file at its place by name and returns that place, or -1 when the
    // same name in the same directory is listed already.
    int Insert(const std::wstring& name, const std::wstring& dir, int64_t kilobytes,
               uint64_t fileId = 0);
    void RecordFolderId(const std::wstring& dir, uint64_t id) { folderIds_[dir] = id; }
    std::optional<uint64_t> FolderId(const std::wstring& dir) const {
        const auto id = folderIds_.find(dir);
        return id == folderIds_.end() ? std::nullopt : std::optional<uint64_t>(id->second);
    }
    void SetTicked(int position, bool ticked) { order_[size_t(position)]->Ticked = ticked; }
    void SetAllTicked(bool ticked);
    // Drops the files at these positions (ascending); the others keep their order.
    void Remove(const std::vector<int>& positions);
    void Clear();

  private:
    struct SameFile {
        bool operator()(const FoundFile* a, const FoundFile* b) const {
            return a->Dir == b->Dir && a->Name == b->Name;
        }
    };
    struct FileHash {
        size_t operator()(const FoundFile* file) const;
    };
    uint32_t DirectoryIndex(const std::wstring& dir);

    std::vector<std::unique_ptr<FoundFile>> order_;
    std::unordered_set<const FoundFile*, FileHash, SameFile> listed_;
    std::vector<std::wstring> directories_;
    std::unordered_map<std::wstring, uint32_t> directoryIndex_;
    std::unordered_map<std::wstring, uint64_t> folderIds_;
};

} // namespace dv
