#pragma once
// The files a scan found, kept by the program in list order (by name, as the
// platform's locale-aware, case-sensitive comparison orders them; a name equal
// to listed ones goes after them), with the IDs the volume gave the files and
// the folders on their way. ListFiles only shows this store. It knows no
// window, so the scan, the removal and the window's headers all build on it.
#include "app/FolderTable.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace dv {

struct FoundFile {
    std::wstring Name; // as the folder's listing gave it
    uint32_t Dir;      // index of its directory in the store's folder table
    int64_t KB;
    uint64_t FileId = 0; // the ID the folder's listing gave the file
    bool Ticked = false;
};

class TFoundFiles {
  public:
    int Count() const { return int(order_.size()); }
    const FoundFile& operator[](int position) const { return *order_[size_t(position)]; }
    std::wstring Directory(int position) const;
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
    void SetTicked(int position, bool ticked) { order_[size_t(position)]->Ticked = ticked; }
    void SetAllTicked(bool ticked);
    // Drops the files at these positions (ascending); the others keep their order.
    void Remove(const std::vector<int>& positions);

    // The ID the volume gave a folder ("C:\a\b", as the scan recorded it), kept
    // as given: 0 or all ones where the volume gives none.
    void RecordFolderId(const std::wstring& dir, uint64_t id);
    // nullopt when none was recorded.
    std::optional<uint64_t> FolderId(const std::wstring& dir) const;

    // Forgets every file and folder, and gives their memory back.
    void Clear();

  private:
    uint32_t DirectoryIndex(const std::wstring& dir);
    // Whether the file is listed already: equal names stand together, just
    // before where the file would go.
    bool IsListed(const FoundFile& file, size_t place) const;

    std::vector<FoundFile*> order_;
    // The files themselves, in the order stored; a removed one keeps its
    // place, without its name, until Clear.
    std::deque<FoundFile> files_;
    TFolderTable folders_;
    // The directory of the last file put in, looked up once for its neighbours.
    std::wstring lastDir_;
    uint32_t lastDirIndex_ = TFolderTable::kNone;
};

} // namespace dv
