// What an opened entry says it is, and whether that is the entry listed or
// recorded: its kind, whether it is a link, and its ID where the volume gives
// IDs alike in listings and handles.
#include "app/VolumeQueries.h"

namespace dv {

namespace {

struct BasicInformation {
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
    ULONG FileAttributes;
};

struct AttributeTagInformation {
    ULONG FileAttributes;
    ULONG ReparseTag;
};

struct StatInformation {
    LARGE_INTEGER FileId;
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
    LARGE_INTEGER AllocationSize, EndOfFile;
    ULONG FileAttributes, ReparseTag, NumberOfLinks;
    ACCESS_MASK EffectiveAccess;
};

// FILE_ALL_INFORMATION up to the FILE_NAME_INFORMATION it ends in.
struct AllInformation {
    BasicInformation Basic;
    LARGE_INTEGER AllocationSize, EndOfFile;
    ULONG NumberOfLinks;
    BOOLEAN DeletePending, Directory;
    LARGE_INTEGER InternalId;
    ULONG EaSize;
    ACCESS_MASK Access;
    LARGE_INTEGER Position;
    ULONG Mode, Alignment;
};
constexpr size_t kAllNameAt = sizeof(AllInformation);
static_assert(kAllNameAt == 96);

// The attributes and the reparse tag, from the attribute tag where the volume
// has it, else the attributes alone from the basic information that every
// volume gives.
bool QueryAttributes(Volume& volume, HANDLE opened, Identity& identity) {
    return AskOptional(
        volume, OptionalClass::AttributeTag,
        [&] {
            AttributeTagInformation tag{};
            const NTSTATUS status =
                Nt().QueryInformation(opened, &tag, sizeof tag, FileClass::AttributeTag);
            identity.Attributes = tag.FileAttributes;
            identity.ReparseTag = tag.ReparseTag;
            return status;
        },
        [&] {
            BasicInformation basic{};
            identity.ReparseTag = 0;
            if (Nt().QueryInformation(opened, &basic, sizeof basic, FileClass::Basic) < 0)
                return false;
            identity.Attributes = basic.FileAttributes;
            return true;
        });
}

// The stat query: the attributes, the tag and the 64-bit ID at once.
NTSTATUS ReadStat(HANDLE opened, Identity& identity, FileId& id) {
    StatInformation stat{};
    const NTSTATUS status = Nt().QueryInformation(opened, &stat, sizeof stat, FileClass::Stat);
    if (status >= 0) {
        identity.Attributes = stat.FileAttributes;
        identity.ReparseTag = stat.ReparseTag;
        id = FileId::Narrow(uint64_t(stat.FileId.QuadPart));
    }
    return status;
}

FileId NarrowId(Volume& volume, HANDLE opened) {
    FileId id;
    if (volume.MayKnow(OptionalClass::Stat)) {
        Identity identity;
        const NTSTATUS status = ReadStat(opened, identity, id);
        volume.Heard(OptionalClass::Stat, status);
        if (status >= 0 || volume.MayKnow(OptionalClass::Stat))
            return id;
    }
    LARGE_INTEGER index{};
    if (Nt().QueryInformation(opened, &index, sizeof index, FileClass::Internal) < 0)
        return {};
    return FileId::Narrow(uint64_t(index.QuadPart));
}

FileId WideId(Volume& volume, HANDLE opened) {
    if (!volume.MayKnow(OptionalClass::WideHandleId))
        return {};
    IdInformation information{};
    const NTSTATUS status =
        Nt().QueryInformation(opened, &information, sizeof information, FileClass::Id);
    volume.Heard(OptionalClass::WideHandleId, status);
    if (status < 0)
        return {};
    return FileId::Wide(information.Low, information.High);
}

bool IsDirectory(const Identity& identity) {
    return identity.Attributes & FILE_ATTRIBUTE_DIRECTORY;
}

// What a file's checks compare, and what its handle told of it.
struct FileParts {
    bool Path;
    IdKind Id;
    bool LastWrite;
};
struct FileFacts {
    std::wstring Path;
    FileId Id;
    int64_t LastWrite = 0;
};

// The 64-bit ID and the time from the stat query, where the walk took its
// 64-bit IDs from it, leaving the rest to other classes; false when it is
// refused for this file alone, since no other class gives its 64-bit ID.
bool ReadFromStat(Volume& volume, HANDLE opened, FileParts& left, FileFacts& read) {
    StatInformation stat{};
    const NTSTATUS status = Nt().QueryInformation(opened, &stat, sizeof stat, FileClass::Stat);
    volume.Heard(OptionalClass::Stat, status);
    if (status < 0)
        return !volume.MayKnow(OptionalClass::Stat);
    read.Id = FileId::Narrow(uint64_t(stat.FileId.QuadPart));
    read.LastWrite = stat.LastWriteTime.QuadPart;
    left.Id = IdKind::None;
    left.LastWrite = false;
    return true;
}

// The path, the internal ID and the time, in one query.
NTSTATUS ReadFromAll(HANDLE opened, const FileParts& left, FileFacts& read) {
    static thread_local std::vector<LONGLONG> buffer(65);
    const NTSTATUS status = QueryWithName(opened, FileClass::All, kAllNameAt, buffer);
    if (status < 0)
        return status;
    const auto& all = *reinterpret_cast<const AllInformation*>(buffer.data());
    if (left.Path)
        read.Path = NameIn(buffer, kAllNameAt);
    if (left.Id == IdKind::Narrow)
        read.Id = FileId::Narrow(uint64_t(all.InternalId.QuadPart));
    if (left.LastWrite)
        read.LastWrite = all.Basic.LastWriteTime.QuadPart;
    return status;
}

// The internal ID and the time by their own classes, where the one query is
// refused. The path is left untold: the walk, which needs none, decides.
bool ReadApart(Volume& volume, HANDLE opened, const FileParts& left, FileFacts& read) {
    if (left.Id == IdKind::Narrow)
        read.Id = HandleId(volume, opened, IdKind::Narrow);
    if (!left.LastWrite)
        return true;
    BasicInformation basic{};
    if (Nt().QueryInformation(opened, &basic, sizeof basic, FileClass::Basic) < 0)
        return false;
    read.LastWrite = basic.LastWriteTime.QuadPart;
    return true;
}

// Reads what is wanted of an opened file in as few queries as the volume
// allows; false when it cannot be read.
bool ReadFacts(Volume& volume, HANDLE opened, const FileParts& wanted, FileFacts& read) {
    FileParts left = wanted;
    if (wanted.Id == IdKind::Narrow && volume.MayKnow(OptionalClass::Stat)) {
        if (!ReadFromStat(volume, opened, left, read))
            return false;
    } else if (wanted.Id == IdKind::Wide) {
        read.Id = WideId(volume, opened);
        left.Id = IdKind::None;
    }
    return !(left.Path || left.Id != IdKind::None || left.LastWrite) ||
           AskOptional(
               volume, OptionalClass::AllAtOnce, [&] { return ReadFromAll(opened, left, read); },
               [&] { return ReadApart(volume, opened, left, read); });
}

} // namespace

void Volume::Heard(OptionalClass kind, NTSTATUS status) {
    ClassAnswer& answer = Answer(kind);
    if (status >= 0)
        answer = ClassAnswer::Answered;
    else if (answer == ClassAnswer::NotAsked && TellsOfVolume(status))
        answer = ClassAnswer::Unknown;
}

void Volume::Recall(const Volume& earlier) {
    for (size_t kind = 0; kind < size_t(OptionalClass::Count); ++kind)
        if (earlier.answers_[kind] != ClassAnswer::NotAsked)
            answers_[kind] = earlier.answers_[kind];
}

FileId Comparable(const Volume& volume, const FileId& listed) {
    return volume.IdsLearned && listed.Kind == volume.Ids && listed.Known() ? listed : FileId{};
}

FileId HandleId(Volume& volume, HANDLE opened, IdKind kind) {
    return kind == IdKind::Narrow ? NarrowId(volume, opened)
           : kind == IdKind::Wide ? WideId(volume, opened)
                                  : FileId{};
}

bool QueryIdentity(Volume& volume, HANDLE opened, IdKind kind, Identity& identity) {
    identity = {};
    // Where the volume answers the stat query, one query serves a 64-bit
    // check whole; where it refuses it for this handle alone, the attributes
    // still come from the plainer classes, but the 64-bit ID from no other.
    FileId statId;
    const bool read = AskOptional(
        volume, OptionalClass::Stat, [&] { return ReadStat(opened, identity, statId); },
        [&] { return QueryAttributes(volume, opened, identity); });
    if (!read)
        return false;
    identity.Id = kind == IdKind::Narrow && volume.MayKnow(OptionalClass::Stat)
                      ? statId
                      : HandleId(volume, opened, kind);
    return true;
}

bool IsListedEntry(Volume& volume, HANDLE opened, const ListedEntry& listed) {
    const FileId expected = Comparable(volume, listed.Id);
    Identity identity;
    return QueryIdentity(volume, opened, expected.Kind, identity) &&
           IsDirectory(identity) == listed.IsDirectory() &&
           IsLink(identity.Attributes, identity.ReparseTag) == listed.IsLink() &&
           IdMatches(expected, identity.Id);
}

bool IsRecordedFolder(Volume& volume, HANDLE opened, const FileId& recorded) {
    Identity identity;
    return QueryIdentity(volume, opened, recorded.Kind, identity) && IsDirectory(identity) &&
           !IsLink(identity.Attributes, identity.ReparseTag) && IdMatches(recorded, identity.Id);
}

FileMatch MatchRecordedFile(Volume& volume, HANDLE openedFile, const FileId& recorded,
                            int64_t lastWrite, std::wstring_view reachedBy) {
    const FileParts wanted{!reachedBy.empty(), recorded.Kind,
                           lastWrite != 0 && !(volume.IdsLast && recorded.Known())};
    FileFacts read;
    if (!ReadFacts(volume, openedFile, wanted, read))
        return FileMatch::Other;
    if (wanted.Path && read.Path != reachedBy)
        return FileMatch::ReachedElsewhere;
    return IdMatches(recorded, read.Id) && (!wanted.LastWrite || read.LastWrite == lastWrite)
               ? FileMatch::Recorded
               : FileMatch::Other;
}

} // namespace dv
