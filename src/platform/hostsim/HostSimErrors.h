#pragma once
#include <cstdint>
#include <string>

#include "platform/PlatformError.h"

// The simulation's failures, raised as the system's: its code, and the
// cause in the words of the system's own messages.

// The invalid handle of a file that was closed.
inline constexpr uint32_t kErrorInvalidHandle = 6;
// ERROR_GEN_FAILURE: what the simulation reports of a host failure that has
// no closer code.
inline constexpr uint32_t kErrorGeneral = 31;

// Raises "Cannot <action> "<path>": <reason> (error <code>)".
[[noreturn]] void Fail(uint32_t code, const std::string& action, const std::string& path);

// The system's code for a failure of the host's C library.
uint32_t CodeFromErrno(int error);
