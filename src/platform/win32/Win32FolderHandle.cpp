// Folders held open by handle, for removing what an install made without
// ever acting on a path that someone may have swapped for a link meanwhile.
// The calls are those of Windows Vista and later, which the product needs
// anyway; the rest of the layer is built for the older headers.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0600
#define WINVER 0x0600

#include <windows.h>

#include <cwchar>
#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The entry itself, even when it is a link, and folders as well as files.
constexpr DWORD kNoFollow = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

// Paths for the wide calls, each ended by a null: a vector rather than a wide
// string, whose library code would add kilobytes to every program of this
// layer.
using TWidePath = std::vector<wchar_t>;

// A name that the code page cannot hold comes back with "?" in it, which no
// file name has: it is never taken for the name of another entry.
std::string Narrow(const wchar_t* text, size_t size) {
  if (size == 0) return std::string();
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(size), nullptr,
                                         0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(size), &narrow[0], length, nullptr,
                      nullptr);
  return narrow;
}

// The object's path as the system finds it from the handle, in the "\\?\"
// form and without a trailing backslash; empty when it cannot be told.
TWidePath FinalPathOf(HANDLE handle) {
  TWidePath path(MAX_PATH);
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return TWidePath();
    if (length < path.size()) {
      path.resize(path[length - 1] == L'\\' ? length - 1 : length);  // a drive's root
      path.push_back(L'\0');
      return path;
    }
    path.resize(length);  // the size it asks for, its null included
  }
}

// The path of the entry name in folder.
TWidePath EntryPath(TWidePath folder, const std::string& name) {
  folder.back() = L'\\';
  const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
  const size_t start = folder.size();
  folder.resize(start + static_cast<size_t>(length) + 1);
  MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), &folder[start], length);
  return folder;
}

bool IsFolderItself(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class TWin32Folder : public TFolderHandle {
 public:
  explicit TWin32Folder(TKernelHandle handle) : handle_(std::move(handle)) {}

  std::string FinalPath() override {
    const TWidePath path = FinalPathOf(handle_.get());
    if (path.size() < 5 || wcsncmp(path.data(), L"\\\\?\\", 4) != 0) return std::string();
    // "\\?\C:\..." or "\\?\UNC\server\share\..."
    const bool unc = wcsncmp(path.data() + 4, L"UNC\\", 4) == 0;
    const size_t start = unc ? 7 : 4;
    return WithBackslash((unc ? "\\" : "") + Narrow(path.data() + start, path.size() - 1 - start));
  }

  std::vector<TSearchRec> Entries() override {
    std::vector<TSearchRec> entries;
    // In whole 64-bit words, which the records' alignment needs.
    std::vector<LONGLONG> buffer(8192);
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
         GetFileInformationByHandleEx(handle_.get(), kind, buffer.data(),
                                      static_cast<DWORD>(buffer.size() * sizeof(LONGLONG)));
         kind = FileIdBothDirectoryInfo) {
      const char* record = reinterpret_cast<const char*>(buffer.data());
      for (;;) {
        const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(record);
        TSearchRec rec;
        rec.Name = Narrow(info->FileName, info->FileNameLength / sizeof(wchar_t));
        rec.Attr = info->FileAttributes & (faAnyFile | faReparsePoint);
        if (rec.Name != "." && rec.Name != "..") entries.push_back(std::move(rec));
        if (info->NextEntryOffset == 0) break;
        record += info->NextEntryOffset;
      }
    }
    return entries;
  }

  std::unique_ptr<TFolderHandle> OpenSubFolder(const std::string& name) override {
    TKernelHandle sub = OpenEntry(name, kFolderAccess);
    if (!sub || !IsFolderItself(sub.get())) return nullptr;
    return std::make_unique<TWin32Folder>(std::move(sub));
  }

  bool Remove(const std::string& name) override {
    TKernelHandle entry = OpenEntry(name, DELETE | FILE_READ_ATTRIBUTES);
    if (!entry) {
      const DWORD error = GetLastError();
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    // The system takes the entry away when its last handle closes; a folder
    // that is not empty refuses.
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition) &&
           entry.Close();
  }

 private:
  // The entry of that name, opened as itself by a path through where this
  // folder is now. It must then be found at exactly that path: otherwise the
  // path crossed a link (this folder moved and a link put in its place) or
  // the system followed the entry's own link (Wine does, whatever the flag
  // says). Fails with ERROR_ACCESS_DENIED then, and when this folder's own
  // path cannot be told.
  TKernelHandle OpenEntry(const std::string& name, DWORD access) {
    if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/") != std::string::npos) {
      SetLastError(ERROR_INVALID_NAME);
      return TKernelHandle();
    }
    const TWidePath folder = FinalPathOf(handle_.get());
    if (folder.empty()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return TKernelHandle();
    }
    const TWidePath path = EntryPath(folder, name);
    TKernelHandle entry(
        CreateFileW(path.data(), access, kShareAll, nullptr, OPEN_EXISTING, kNoFollow, nullptr));
    if (!entry) return entry;
    const TWidePath found = FinalPathOf(entry.get());
    if (found.empty() || CompareStringOrdinal(found.data(), -1, path.data(), -1, TRUE) != CSTR_EQUAL) {
      SetLastError(ERROR_ACCESS_DENIED);
      return TKernelHandle();
    }
    return entry;
  }

  TKernelHandle handle_;
};

}  // namespace

std::unique_ptr<TFolderHandle> TWin32Platform::OpenFolderNoFollow(const std::string& path) {
  TKernelHandle folder(
      CreateFileA(path.c_str(), kFolderAccess, kShareAll, nullptr, OPEN_EXISTING, kNoFollow, nullptr));
  if (!folder || !IsFolderItself(folder.get())) return nullptr;
  return std::make_unique<TWin32Folder>(std::move(folder));
}
