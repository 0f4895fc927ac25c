#pragma once
// A file's ID as its volume gave it, with the kind of answer it came in. The
// 64 bits a listing gives are compared with the 64 bits a handle's query
// gives, and the 128 bits of one with the 128 bits of the other, never one
// kind with the other: on ReFS and Dev Drives the 64 bits of one file change
// from one answer to the next, while its 128 bits stay.
#include <cstdint>

namespace dv {

enum class IdKind : uint8_t {
    None,   // no ID, or none that may be compared
    Narrow, // 64 bits
    Wide,   // 128 bits
};

struct FileId {
    uint64_t Low = 0, High = 0;
    IdKind Kind = IdKind::None;

    static FileId Narrow(uint64_t id) { return {id, 0, IdKind::Narrow}; }
    static FileId Wide(uint64_t low, uint64_t high) { return {low, high, IdKind::Wide}; }

    // Whether it tells one file from another: a volume that keeps none gives
    // 0 or all ones (ReFS: where an ID does not fit 64 bits), and 128 bits may
    // carry a 64-bit "no ID" widened, the high half 0 as in every 64-bit ID.
    bool Known() const {
        const uint64_t kOnes = ~uint64_t(0);
        const bool zero = Low == 0 && High == 0;
        const bool ones = Low == kOnes && (High == 0 || High == kOnes);
        return Kind != IdKind::None && !zero && !ones;
    }
    bool operator==(const FileId&) const = default;
};

// Whether an ID given now vouches for the file or folder recorded with an ID:
// where a known ID was recorded, only a known ID of the same kind, equal to
// it, does; an ID that cannot be had, or one of another kind, fails. Where
// none was recorded, the ID has nothing to say and the other checks decide.
inline bool IdMatches(const FileId& recorded, const FileId& given) {
    return !recorded.Known() || given == recorded;
}

} // namespace dv
