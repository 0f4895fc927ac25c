#include "scan/ListingMatch.h"

namespace dv {

TListingMatcher::TListingMatcher(const std::vector<std::wstring>& patterns) {
    patterns_.reserve(patterns.size());
    for (const std::wstring& pattern : patterns)
        patterns_.emplace_back(pattern);
}

void TListingMatcher::KeepMatches(TScanRecord& record, uint32_t folder,
                                  const std::vector<ListedEntry>& entries) {
    const uint32_t kNotKept = UINT32_MAX;
    for (const ListedEntry& entry : entries) {
        if (entry.IsDirectory())
            continue;
        name_.Assign(entry.Name);
        uint32_t file = kNotKept;
        for (size_t pattern = 0; pattern < patterns_.size(); ++pattern) {
            if (!patterns_[pattern].Matches(name_))
                continue;
            if (file == kNotKept)
                file = record.AddFile(folder, entry);
            record.Keep(pattern, file);
        }
    }
}

} // namespace dv
