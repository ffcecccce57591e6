#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

// Every failure of an operating-system call. Code is the system's error code
// (GetLastError, or an HRESULT where the call returns one); Reason is what
// the message says of the cause, without the action and the path, so that a
// caller can tell the failure in its own words (the whole message when the
// thrower gave no reason).
class EPlatformError : public std::runtime_error {
 public:
  EPlatformError(uint32_t code, const std::string& message, std::string reason = std::string());
  uint32_t Code() const { return code_; }
  const std::string& Reason() const { return reason_; }

 private:
  uint32_t code_;
  std::string reason_;
};

// The system error codes that callers and the simulated system share.
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorHandleDiskFull = 39;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorDiskFull = 112;
