#pragma once
#include <cstdint>
#include <string>

namespace dv {

// The freed-space total in megabytes of 1000 kilobytes, cut to one decimal,
// with the user's decimal separator: 12345 reads "12.3MB".
std::string FreedSpaceText(int32_t totalKB);

} // namespace dv
