#include "platform/PlatformError.h"

EPlatformError::EPlatformError(uint32_t code, const std::string& message, std::string reason)
    : std::runtime_error(message), code_(code), reason_(reason.empty() ? message : std::move(reason)) {}
