#include "app/FoundFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace dv {

namespace {

// A key for a name the platform makes none for: the name's UTF-16 units in
// order, three bytes each in 1..255 (big end first), then the key's one zero
// byte. It orders such names by their units, before any longer name they
// start; the empty name's key, the zero alone, goes before every other key.
size_t MakeOwnKey(std::wstring_view name, std::vector<uint8_t>& keyBuffer) {
    const size_t length = 3 * name.size() + 1;
    if (keyBuffer.size() < length)
        keyBuffer.resize(length);
    uint8_t* key = keyBuffer.data();
    for (const wchar_t unit : name) {
        *key++ = uint8_t((unit >> 14) + 1);
        *key++ = uint8_t(((unit >> 7) & 0x7F) + 1);
        *key++ = uint8_t((unit & 0x7F) + 1);
    }
    *key = 0;
    return length;
}

} // namespace

FoundFile TFoundFiles::operator[](int position) const {
    const StoredFile& file = Stored(position);
    return {std::wstring(file.Name()),
            file.Dir,
            file.KB,
            {file.IdLow, file.IdHigh, file.Kind},
            file.LastWrite,
            file.Ticked};
}

std::wstring TFoundFiles::Directory(int position) const {
    return folders_.Path(Stored(position).Dir);
}

std::wstring TFoundFiles::Path(int position) const {
    return Directory(position) + L"\\" + std::wstring(Name(position));
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
        const std::wstring_view name = Name((start + step) % count);
        const int compared = prefix ? std::min(int(name.size()), length) : int(name.size());
        if (CompareStringOrdinal(name.data(), compared, text.c_str(), length, TRUE) == CSTR_EQUAL)
            return (start + step) % count;
    }
    return -1;
}

// The key orders names as lstrcmpW does: the thread's locale, and no flags,
// so that hyphens and apostrophes count as lstrcmpW counts them (word sort).
size_t TFoundFiles::MakeKey(std::wstring_view name) {
    const LCID locale = GetThreadLocale();
    const int length = int(name.size());
    auto make = [&](wchar_t* key, int size) {
        return LCMapStringW(locale, LCMAP_SORTKEY, name.data(), length, key, size);
    };
    int made = make(reinterpret_cast<wchar_t*>(keyBuffer_.data()), int(keyBuffer_.size()));
    // A longer key than any before. Any other failure (an empty name, for
    // one) answers a size query with 0 too, and a size of 0 would make the
    // next call a size query itself.
    if (made == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        const int needed = make(nullptr, 0);
        if (needed > 0 && size_t(needed) > keyBuffer_.size()) {
            keyBuffer_.resize(size_t(needed));
            made = make(reinterpret_cast<wchar_t*>(keyBuffer_.data()), needed);
        }
    }
    // Without the platform's key, one of the program's own keeps the order whole.
    return made > 0 ? size_t(made) : MakeOwnKey(name, keyBuffer_);
}

// A key ends in its only zero byte, so keys that agree up to the shorter's
// end are the same key.
int TFoundFiles::CompareKey(size_t keyLength, const StoredFile& file) const {
    return std::memcmp(keyBuffer_.data(), file.Key(), std::min<size_t>(keyLength, file.KeyLength));
}

bool TFoundFiles::IsListed(std::wstring_view name, uint32_t dir, size_t keyLength,
                           int place) const {
    // Names whose keys are equal stand together; identical names among them
    // need not be next to each other.
    for (int i = place; i-- > 0;) {
        const StoredFile& listed = Stored(i);
        if (CompareKey(keyLength, listed) != 0)
            return false;
        if (listed.Dir == dir && listed.Name() == name)
            return true;
    }
    return false;
}

int TFoundFiles::Insert(std::wstring_view name, const std::wstring& dir, int64_t kilobytes,
                        const FileId& id, int64_t lastWrite) {
    return Insert(name, DirectoryIndex(dir), kilobytes, id, lastWrite);
}

int TFoundFiles::Insert(std::wstring_view name, uint32_t dirIndex, int64_t kilobytes,
                        const FileId& id, int64_t lastWrite) {
    const size_t keyLength = MakeKey(name);
    const int place =
        order_.UpperBound([&](uint32_t file) { return CompareKey(keyLength, files_[file]) < 0; });
    if (IsListed(name, dirIndex, keyLength, place))
        return -1;
    files_.Append({kilobytes, id.Low, id.High, lastWrite, Keep(name, keyLength),
                   uint32_t(keyLength), dirIndex, uint16_t(name.size()), false, id.Kind});
    order_.Insert(place, uint32_t(files_.Count() - 1));
    return place;
}

const wchar_t* TFoundFiles::Keep(std::wstring_view name, size_t keyLength) {
    const size_t keyUnits = (keyLength + sizeof(wchar_t) - 1) / sizeof(wchar_t);
    wchar_t* text = texts_.Make(name.size() + keyUnits);
    std::memcpy(text, name.data(), name.size() * sizeof(wchar_t));
    std::memcpy(text + name.size(), keyBuffer_.data(), keyLength);
    return text;
}

void TFoundFiles::SetAllTicked(bool ticked) {
    order_.ForEach([&](uint32_t file) { files_[file].Ticked = ticked; });
}

void TFoundFiles::Remove(const std::vector<int>& positions) {
    std::vector<uint32_t> kept;
    kept.reserve(size_t(Count()) - std::min(positions.size(), size_t(Count())));
    auto next = positions.begin();
    int position = 0;
    order_.ForEach([&](uint32_t file) {
        if (next != positions.end() && *next == position)
            ++next;
        else
            kept.push_back(file);
        ++position;
    });
    order_.Assign(kept);
}

void TFoundFiles::RecordFolderId(const std::wstring& dir, const FileId& id) {
    SetFolderId(folders_.Add(dir), id);
}

std::optional<FileId> TFoundFiles::FolderId(const std::wstring& dir) const {
    const uint32_t folder = folders_.Find(dir);
    if (folder == TFolderTable::kNone)
        return std::nullopt;
    return folders_.Id(folder);
}

const Volume* TFoundFiles::ScannedVolume(const std::wstring& drive) const {
    const auto found = volumes_.find(folders_.Find(drive));
    return found == volumes_.end() ? nullptr : &found->second;
}

void TFoundFiles::Clear() {
    order_.Clear();
    files_.Clear();
    texts_.Clear();
    std::vector<uint8_t>(256).swap(keyBuffer_);
    folders_.Clear();
    volumes_.clear();
    std::wstring().swap(lastDir_);
    lastDirIndex_ = TFolderTable::kNone;
}

} // namespace dv
