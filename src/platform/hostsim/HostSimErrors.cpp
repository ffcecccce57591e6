#include "platform/hostsim/HostSimErrors.h"

#include <cerrno>

namespace {

std::string Reason(uint32_t code) {
  switch (code) {
    case kErrorFileNotFound: return "the file does not exist";
    case kErrorPathNotFound: return "the folder does not exist";
    case kErrorAccessDenied: return "access is denied";
    case kErrorSharingViolation: return "the file is in use by another program";
    case kErrorDiskFull: return "the disk is full";
    default: return "the system reported a failure";
  }
}

}  // namespace

void Fail(uint32_t code, const std::string& action, const std::string& path) {
  const std::string reason = Reason(code) + " (error " + std::to_string(code) + ")";
  throw EPlatformError(code, "Cannot " + action + " \"" + path + "\": " + reason, reason);
}

uint32_t CodeFromErrno(int error) {
  switch (error) {
    case ENOENT: return kErrorFileNotFound;
    case ENOSPC: return kErrorDiskFull;
    case EACCES: case EPERM: case EISDIR: case EROFS: return kErrorAccessDenied;
    default: return kErrorGeneral;
  }
}
