#pragma once
// Folder paths kept compactly: each folder once, as its parent and its own
// name, the names side by side in one buffer, with the ID its parent's listing
// gave it where one was recorded. A path is its names joined with "\"; any
// text splits into names and joins back to itself.
#include "app/FileId.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

class TFolderTable {
  public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // The folder below parent (kNone for a root) with that name, added when new.
    uint32_t AddChild(uint32_t parent, std::wstring_view name);
    // The folder with that path, added with the folders above it when new.
    uint32_t Add(std::wstring_view path);
    // The folder with that path, or kNone when it was never added.
    uint32_t Find(std::wstring_view path) const;

    uint32_t Count() const { return uint32_t(folders_.size()); }
    uint32_t Parent(uint32_t folder) const { return folders_[folder].Parent; }
    std::wstring_view Name(uint32_t folder) const;
    std::wstring Path(uint32_t folder) const;

    void SetId(uint32_t folder, const FileId& id);
    std::optional<FileId> Id(uint32_t folder) const;

    // Forgets every folder and gives their memory back.
    void Clear();

  private:
    // The ID's kind beside the name's length: no room lost to padding.
    struct Folder {
        uint64_t IdLow, IdHigh;
        uint32_t Parent;
        uint32_t NameStart;
        uint16_t NameLength; // a name has at most 32,767 characters
        bool HasId;
        IdKind Kind;
    };
    // The slot of the folder below parent with that name, or the empty slot
    // where it would go.
    size_t SlotOf(uint32_t parent, std::wstring_view name) const;
    void Grow();

    std::vector<Folder> folders_;
    std::wstring names_;
    // Open addressing by parent and name: folder index + 1, 0 when empty.
    std::vector<uint32_t> slots_;
};

} // namespace dv
