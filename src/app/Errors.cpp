#include "app/Errors.h"

namespace dv {

static std::string InOutMessage(unsigned long code) {
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    default:
        return "I/O error " + std::to_string(code);
    }
}

EInOutError::EInOutError(unsigned long code) : Exception(InOutMessage(code)), ErrorCode(code) {}

EFCreateError::EFCreateError(const std::string& path) : Exception("Cannot create file " + path) {}

EFOpenError::EFOpenError(const std::string& path) : Exception("Cannot open file " + path) {}

std::string ErrorReportText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

} // namespace dv
