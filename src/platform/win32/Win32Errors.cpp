#include "platform/win32/Win32Errors.h"

#include "platform/win32/Win32Handles.h"

namespace {

// The system's own wording of an error code, without the trailing line break.
std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  const TLocalText owned(text);
  std::string message = length ? std::string(text, length) : "unknown error";
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                              message.back() == '.' || message.back() == ' '))
    message.pop_back();
  return message;
}

}  // namespace

void Fail(DWORD code, const std::string& action, const std::string& subject) {
  const std::string reason = SystemMessage(code) + " (error " + std::to_string(code) + ")";
  throw EPlatformError(code, "Cannot " + action + " \"" + subject + "\": " + reason, reason);
}

void FailLast(const std::string& action, const std::string& subject) { Fail(GetLastError(), action, subject); }
