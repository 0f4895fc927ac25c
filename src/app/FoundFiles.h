#pragma once
// The files a scan found, kept by the program in list order (by name, as the
// platform's locale-aware, case-sensitive comparison orders them; a name equal
// to listed ones goes after them), with the IDs the volume gave the files and
// the folders on their way. ListFiles only shows this store. It knows no
// window, so the scan, the removal and the window's headers all build on it.
//
// Each name is compared through its sort key, made once when the file comes
// in; each name and its key lie side by side in one arena, and the order is
// kept in chunks, so that a file costs the same to put in however many are
// listed.
#include "app/Arena.h"
#include "app/ChunkedOrder.h"
#include "app/FileByHandle.h"
#include "app/FileId.h"
#include "app/FolderTable.h"
#include "app/PagedArray.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

struct FoundFile {
    std::wstring Name; // as the folder's listing gave it
    uint32_t Dir;      // index of its directory in the store's folder table
    int64_t KB;
    FileId Id;             // the ID the folder's listing gave the file
    int64_t LastWrite = 0; // and its last-write time; 0: none
    bool Ticked = false;
};

class TFoundFiles {
  public:
    int Count() const { return order_.Count(); }
    FoundFile operator[](int position) const;
    std::wstring_view Name(int position) const { return Stored(position).Name(); }
    bool Ticked(int position) const { return Stored(position).Ticked; }
    int64_t KB(int position) const { return Stored(position).KB; }
    std::wstring Directory(int position) const;
    // The full path: directory, "\" and name.
    std::wstring Path(int position) const;

    // The first file from start on (then from the first, when wrapping) whose
    // name is text, or begins with it for a prefix, letter case aside as the
    // file system compares names; -1 when there is none.
    int Find(const std::wstring& text, int start, bool prefix, bool wrap) const;
    // Puts a file at its place by name and returns that place, or -1 when the
    // same name in the same directory is listed already.
    int Insert(std::wstring_view name, const std::wstring& dir, int64_t kilobytes,
               const FileId& id = {}, int64_t lastWrite = 0);
    // The same for a file of a folder the store has (AddFolder).
    int Insert(std::wstring_view name, uint32_t folder, int64_t kilobytes, const FileId& id,
               int64_t lastWrite);
    void SetTicked(int position, bool ticked) { Stored(position).Ticked = ticked; }
    void SetAllTicked(bool ticked);
    // Drops the files at these positions (ascending); the others keep their order.
    void Remove(const std::vector<int>& positions);

    // The ID the volume gave a folder ("C:\a\b", as the scan recorded it), kept
    // as given: none where the volume gives none alike.
    void RecordFolderId(const std::wstring& dir, const FileId& id);
    // The folder below parent (TFolderTable::kNone for a drive) with that name
    // (no "\" in it), added when new: the same folder as the path that ends
    // in that name, with the same ID.
    uint32_t AddFolder(uint32_t parent, std::wstring_view name) {
        return folders_.AddChild(parent, name);
    }
    void SetFolderId(uint32_t folder, const FileId& id) { folders_.SetId(folder, id); }
    // nullopt when none was recorded.
    std::optional<FileId> FolderId(const std::wstring& dir) const;
    // The volume a drive's files were found on, as its walk knew it (its
    // serial number, the classes that answered), by the drive's folder ("C:");
    // nullptr where none was handed on.
    void SetScannedVolume(uint32_t drive, const Volume& volume) { volumes_[drive] = volume; }
    const Volume* ScannedVolume(const std::wstring& drive) const;

    // Forgets every file and folder, and gives their memory back.
    void Clear();

  private:
    struct StoredFile {
        int64_t KB;
        uint64_t IdLow, IdHigh;
        int64_t LastWrite;
        const wchar_t* Text; // the name, then its sort key
        uint32_t KeyLength;  // bytes
        uint32_t Dir;
        uint16_t NameLength; // a name has at most 32,767 characters
        bool Ticked;
        IdKind Kind;
        std::wstring_view Name() const { return {Text, NameLength}; }
        const uint8_t* Key() const { return reinterpret_cast<const uint8_t*>(Text + NameLength); }
    };
    const StoredFile& Stored(int position) const { return files_[order_.At(position)]; }
    StoredFile& Stored(int position) { return files_[order_.At(position)]; }
    uint32_t DirectoryIndex(const std::wstring& dir);
    // The sort key of a name, in keyBuffer_; its length in bytes.
    size_t MakeKey(std::wstring_view name);
    // Whether the file is listed already: equal names stand together, just
    // before where the file would go.
    bool IsListed(std::wstring_view name, uint32_t dir, size_t keyLength, int place) const;
    // A lasting copy of the name with its key (keyBuffer_) behind it.
    const wchar_t* Keep(std::wstring_view name, size_t keyLength);
    // The order of the new name's key (keyBuffer_) against a stored file's.
    int CompareKey(size_t keyLength, const StoredFile& file) const;

    TChunkedOrder order_; // indexes into files_, in list order
    // The files themselves, in the order stored; a removed one keeps its
    // place until Clear.
    TPagedArray<StoredFile> files_;
    TArena<wchar_t> texts_;
    std::vector<uint8_t> keyBuffer_ = std::vector<uint8_t>(256);
    TFolderTable folders_;
    std::map<uint32_t, Volume> volumes_; // by drive folder
    // The directory of the last file put in, looked up once for its neighbours.
    std::wstring lastDir_;
    uint32_t lastDirIndex_ = TFolderTable::kNone;
};

} // namespace dv
