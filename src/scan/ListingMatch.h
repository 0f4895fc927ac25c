#pragma once
// The directory pass's matching: every file of a recorded folder's listing
// against every pattern the pass knows, each match kept in the record under
// its pattern, in listing order.
#include "app/FileByHandle.h"
#include "app/ScanRecord.h"
#include "scan/NameMatch.h"

#include <string>
#include <vector>

namespace dv {

class TListingMatcher {
  public:
    explicit TListingMatcher(const std::vector<std::wstring>& patterns);
    void KeepMatches(TScanRecord& record, uint32_t folder, const std::vector<ListedEntry>& entries);

  private:
    std::vector<TNamePattern> patterns_;
    TFoldedName name_;
};

} // namespace dv
