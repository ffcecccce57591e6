// Files, folders and drives.
#include <windows.h>

#include <vector>

#include "platform/Path.h"
#include "platform/TrustedFolder.h"
#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Security.h"

namespace {

class TWin32File : public TFile {
 public:
  TWin32File(TKernelHandle handle, std::string path) : handle_(std::move(handle)), path_(std::move(path)) {}

  void Write(const void* data, size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(handle_.get(), bytes, chunk, &written, nullptr)) FailLast("write to", path_);
      // A write that takes fewer bytes than offered without an error: the
      // disk is full.
      if (written == 0) Fail(ERROR_DISK_FULL, "write to", path_);
      bytes += written;
      size -= written;
    }
  }

  size_t Read(void* data, size_t size) override {
    char* bytes = static_cast<char*>(data);
    size_t total = 0;
    while (total < size) {
      const size_t left = size - total;
      const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
      DWORD got = 0;
      if (!ReadFile(handle_.get(), bytes + total, chunk, &got, nullptr)) FailLast("read from", path_);
      if (got == 0) break;
      total += got;
    }
    return total;
  }

  void Close() override {
    if (!handle_.Close()) FailLast("close", path_);
  }

 private:
  TKernelHandle handle_;
  std::string path_;
};

// An enumeration whose search found nothing has no handle, and no entries.
class TWin32Enumerator : public TFindEnumerator {
 public:
  TWin32Enumerator(TSearchHandle handle, const WIN32_FIND_DATAA& first)
      : handle_(std::move(handle)), data_(first), pending_(static_cast<bool>(handle_)) {}

  bool Next(TSearchRec& rec) override {
    if (!pending_ && (!handle_ || !FindNextFileA(handle_.get(), &data_))) return false;
    pending_ = false;
    rec.Name = data_.cFileName;
    rec.Attr = data_.dwFileAttributes;
    return true;
  }

 private:
  TSearchHandle handle_;
  WIN32_FIND_DATAA data_;
  bool pending_;
};

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

}  // namespace

bool TWin32Platform::FolderExists(const std::string& path) {
  const DWORD attr = Attributes(path);
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool TWin32Platform::TryCreateFolder(const std::string& path, TFolderProtection protection) {
  switch (FolderAclFor(*this, path, protection)) {
    case TFolderAcl::ProgramFiles: return CreateProtectedFolder(path, kProgramFilesProtection);
    case TFolderAcl::ThisUser: {
      const std::string own = ThisUserProtection();
      return !own.empty() && CreateProtectedFolder(path, own);
    }
    case TFolderAcl::Inherited: break;
  }
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool TWin32Platform::FileExists(const std::string& path) {
  const DWORD attr = Attributes(path);
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::unique_ptr<TFile> TWin32Platform::OpenFile(const std::string& path, TOpenMode mode) {
  const bool reading = mode == TOpenMode::Read;
  const DWORD access = reading ? GENERIC_READ : GENERIC_WRITE;
  const DWORD share = reading ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
  const DWORD disposition = mode == TOpenMode::CreateTruncate ? CREATE_ALWAYS : OPEN_EXISTING;
  TKernelHandle handle(CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
  if (!handle) FailLast(reading ? "open" : "open for writing", path);
  return std::make_unique<TWin32File>(std::move(handle), path);
}

std::unique_ptr<TFile> TWin32Platform::TryCreateNewFile(const std::string& path) {
  // Made at the name itself: a link planted there makes the creation fail
  // rather than lead it elsewhere.
  TKernelHandle handle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (handle) return std::make_unique<TWin32File>(std::move(handle), path);
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return nullptr;
  Fail(error, "open for writing", path);
}

bool TWin32Platform::TryRemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

void TWin32Platform::MoveReplace(const std::string& from, const std::string& to) {
  if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) FailLast("replace", to);
}

std::unique_ptr<TFindEnumerator> TWin32Platform::FindFirst(const std::string& pattern) {
  WIN32_FIND_DATAA data = {};
  TSearchHandle handle(FindFirstFileA(pattern.c_str(), &data));
  return std::make_unique<TWin32Enumerator>(std::move(handle), data);
}

TDriveType TWin32Platform::DriveType(const std::string& root) {
  return static_cast<TDriveType>(GetDriveTypeA(root.c_str()));
}

std::string TWin32Platform::CurrentFolder() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) FailLast("read", "the current folder");
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

std::string TWin32Platform::LongPathName(const std::string& path) {
  std::vector<char> buffer(MAX_PATH);
  DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  }
  if (length == 0 || length >= buffer.size()) return path;
  const std::string full(buffer.data(), length);
  const bool folder = full.size() > 3 && full.back() == '\\';
  // The longest part that exists takes its long form; the names after it
  // are not there yet and stay as given.
  std::string head = WithoutBackslash(full), tail;
  while (head.size() > 3) {
    const DWORD needed = GetLongPathNameA(head.c_str(), nullptr, 0);
    if (needed > 0) {
      std::vector<char> expanded(needed);
      const DWORD got = GetLongPathNameA(head.c_str(), expanded.data(), needed);
      if (got > 0 && got < needed) {
        head.assign(expanded.data(), got);
        break;
      }
    }
    const size_t cut = head.find_last_of('\\');
    if (cut == std::string::npos || cut < 2) break;
    tail = head.substr(cut) + tail;
    head.resize(cut);
  }
  if (head.size() == 2) head += '\\';
  std::string result = tail.empty() ? head : WithoutBackslash(head) + tail;
  return folder ? WithBackslash(result) : result;
}

std::string TWin32Platform::LogicalDrives() {
  const DWORD mask = GetLogicalDrives();
  std::string drives;
  for (int i = 0; i < 26; ++i)
    if (mask & (1u << i)) drives += static_cast<char>('A' + i);
  return drives;
}

std::optional<std::string> TWin32Platform::VolumeLabel(const std::string& root) {
  // A drive without its disk must answer "not ready", not ask the user to
  // insert one.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  char buffer[MAX_PATH + 1] = {};
  const BOOL read =
      GetVolumeInformationA(root.c_str(), buffer, sizeof buffer, nullptr, nullptr, nullptr, nullptr, 0);
  SetErrorMode(previousMode);
  return read ? std::optional<std::string>(buffer) : std::nullopt;
}
