#include "clean/FreedSpace.h"

#include <windows.h>

namespace dv {

namespace {

std::string DecimalSeparator() {
    char separator[8] = "";
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) <= 1)
        return ".";
    return separator;
}

} // namespace

std::string FreedSpaceText(int32_t totalKB) {
    // Whole tenths of a megabyte, truncated toward zero; formatted from integers
    // so that the text is exact.
    int32_t tenths = totalKB / 100;
    int64_t magnitude = tenths < 0 ? -int64_t(tenths) : tenths;
    std::string text = tenths < 0 ? "-" : "";
    text += std::to_string(magnitude / 10);
    if (magnitude % 10 != 0) {
        text += DecimalSeparator();
        text += char('0' + magnitude % 10);
    }
    text += "MB";
    return text;
}

} // namespace dv
