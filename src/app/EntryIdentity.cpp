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

struct IdInformation {
    ULONGLONG VolumeSerialNumber;
    uint64_t Low, High; // FILE_ID_128, least significant byte first
};

// The attributes and the reparse tag, from the attribute tag where the volume
// has it, else the attributes alone from the basic information that every
// volume gives.
bool QueryAttributes(Volume& volume, HANDLE opened, Identity& identity) {
    return AskOptional(
        volume.NoAttributeTag,
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

} // namespace

FileId Comparable(const Volume& volume, const FileId& listed) {
    return volume.IdsLearned && listed.Kind == volume.Ids && listed.Known() ? listed : FileId{};
}

bool QueryHandleId(Volume& volume, HANDLE opened, IdKind kind, FileId& id) {
    id = {};
    NTSTATUS status = 0;
    if (kind == IdKind::Narrow) {
        LARGE_INTEGER index{};
        status = Nt().QueryInformation(opened, &index, sizeof index, FileClass::Internal);
        if (status >= 0)
            id = FileId::Narrow(uint64_t(index.QuadPart));
    } else if (kind == IdKind::Wide && !volume.NoWideHandleId) {
        IdInformation information{};
        status = Nt().QueryInformation(opened, &information, sizeof information, FileClass::Id);
        if (status >= 0)
            id = FileId::Wide(information.Low, information.High);
        else if (TellsOfVolume(status))
            volume.NoWideHandleId = true;
    }
    return status >= 0 || TellsOfVolume(status);
}

bool QueryIdentity(Volume& volume, HANDLE opened, IdKind kind, Identity& identity) {
    identity = {};
    // The stat query answers the attributes, the tag and the 64-bit ID at once.
    FileId statId;
    const bool read = AskOptional(
        volume.NoStatQuery,
        [&] {
            StatInformation stat{};
            const NTSTATUS status =
                Nt().QueryInformation(opened, &stat, sizeof stat, FileClass::Stat);
            identity.Attributes = stat.FileAttributes;
            identity.ReparseTag = stat.ReparseTag;
            statId = FileId::Narrow(uint64_t(stat.FileId.QuadPart));
            return status;
        },
        [&] {
            statId = {};
            return QueryAttributes(volume, opened, identity);
        });
    if (!read)
        return false;
    if (kind == IdKind::Narrow && statId.Kind == IdKind::Narrow) {
        identity.Id = statId;
        return true;
    }
    return QueryHandleId(volume, opened, kind, identity.Id);
}

bool IsListedEntry(Volume& volume, HANDLE opened, const ListedEntry& listed) {
    const FileId expected = Comparable(volume, listed.Id);
    Identity identity;
    if (!QueryIdentity(volume, opened, expected.Kind, identity))
        return false;
    const bool directory = identity.Attributes & FILE_ATTRIBUTE_DIRECTORY;
    return directory == listed.IsDirectory() &&
           IsLink(identity.Attributes, identity.ReparseTag) == listed.IsLink() &&
           MayBeSameFile(identity.Id, expected);
}

bool IsRecordedFolder(Volume& volume, HANDLE opened, const FileId& recorded) {
    Identity identity;
    return QueryIdentity(volume, opened, recorded.Known() ? recorded.Kind : IdKind::None,
                         identity) &&
           (identity.Attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !IsLink(identity.Attributes, identity.ReparseTag) &&
           MayBeSameFile(identity.Id, recorded);
}

bool IsRecordedFile(Volume& volume, HANDLE openedFile, const FileId& recorded) {
    FileId id;
    return QueryHandleId(volume, openedFile, recorded.Kind, id) && MayBeSameFile(id, recorded);
}

} // namespace dv
