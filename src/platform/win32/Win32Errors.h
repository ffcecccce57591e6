#pragma once
#include <windows.h>

#include <string>

#include "platform/PlatformError.h"

// The failures of the real layer, raised with the system's own wording.

// Raises "Cannot <action> "<subject>": <the system's message> (error <code>)".
[[noreturn]] void Fail(DWORD code, const std::string& action, const std::string& subject);
// The same with the calling thread's last error.
[[noreturn]] void FailLast(const std::string& action, const std::string& subject);
