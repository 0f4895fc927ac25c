#pragma once
// The byte work of the played volume: fields read and written in the answers
// of the NT file calls, at the offsets the answers keep them.
#include "app/NtFiles.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace dvtest::played {

template <class T> void Put(void* buffer, size_t offset, T value) {
    std::memcpy(static_cast<char*>(buffer) + offset, &value, sizeof value);
}

template <class T> T Get(const void* buffer, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const char*>(buffer) + offset, sizeof value);
    return value;
}

inline std::wstring Lower(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(text.data(), DWORD(text.size()));
    return text;
}

// Shows the entry of the answer as a reparse point of the tag.
inline void MarkReparsePoint(void* buffer, size_t attributesOffset, size_t tagOffset, ULONG tag) {
    const auto attributes = Get<ULONG>(buffer, attributesOffset);
    Put<ULONG>(buffer, attributesOffset, attributes | FILE_ATTRIBUTE_REPARSE_POINT);
    if (tagOffset)
        Put<ULONG>(buffer, tagOffset, tag);
}

inline bool IsOneOf(FILE_INFORMATION_CLASS kind,
                    std::initializer_list<FILE_INFORMATION_CLASS> kinds) {
    for (FILE_INFORMATION_CLASS one : kinds)
        if (kind == one)
            return true;
    return false;
}

// The upper 64 bits of every 128-bit ID of the played ReFS.
constexpr uint64_t kReFSHigh = 0x5EF5000000000001;

} // namespace dvtest::played
