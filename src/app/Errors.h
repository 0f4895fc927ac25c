#pragma once
// The errors that leave an operation and reach the general error report.
#include <stdexcept>
#include <string>

namespace dv {

class Exception : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A directory that cannot be made the current one, by its system error code.
class EInOutError : public Exception {
  public:
    explicit EInOutError(unsigned long code);
    unsigned long ErrorCode;
};

class ERegistryException : public Exception {
  public:
    using Exception::Exception;
};

class EFCreateError : public Exception {
  public:
    explicit EFCreateError(const std::string& path);
};

class EFOpenError : public Exception {
  public:
    explicit EFOpenError(const std::string& path);
};

// The message box text: a full stop is added when the last character sorts after ".".
std::string ErrorReportText(const std::string& message);

} // namespace dv
