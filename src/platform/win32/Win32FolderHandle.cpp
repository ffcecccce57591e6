// Folders held open by handle, for removing what an install made without
// ever acting on a path that someone may have swapped for a link meanwhile.
// The calls are those of Windows Vista and later, which the product needs
// anyway; the rest of the layer is built for the older headers.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0600
#define WINVER 0x0600

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <winternl.h>

#include <cwchar>
#include <vector>

#include "platform/FolderHandle.h"
#include "platform/Path.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Security.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The entry itself, even when it is a link, and folders as well as files.
constexpr DWORD kNoFollow = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;

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

// The entry name of the folder that folder holds open, as itself, never
// what a link there leads to. Through the system's native call, the only one
// that opens a name relative to a folder's handle; looked up, since the
// import libraries of the old targets lack it.
TKernelHandle OpenRelative(HANDLE folder, const std::string& name, DWORD access) {
  using TNtCreateFile = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*, IO_STATUS_BLOCK*, LARGE_INTEGER*,
                                     ULONG, ULONG, ULONG, ULONG, void*, ULONG);
  using TStatusToError = ULONG(NTAPI*)(LONG);
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const auto find = [ntdll](const char* function) {
    return reinterpret_cast<void (*)()>(ntdll ? GetProcAddress(ntdll, function) : nullptr);
  };
  const auto create = reinterpret_cast<TNtCreateFile>(find("NtCreateFile"));
  const auto toError = reinterpret_cast<TStatusToError>(find("RtlNtStatusToDosError"));
  const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
  if (!create || !toError || length <= 0 || length > 32767) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return TKernelHandle();
  }
  TWidePath wide(static_cast<size_t>(length));
  MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), length);
  UNICODE_STRING unicode;
  unicode.Buffer = wide.data();
  unicode.Length = unicode.MaximumLength = static_cast<USHORT>(wide.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &unicode, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK status;
  // FILE_OPEN; FILE_SYNCHRONOUS_IO_NONALERT, FILE_OPEN_FOR_BACKUP_INTENT,
  // FILE_OPEN_REPARSE_POINT: the values, which the old headers lack.
  constexpr ULONG kOpen = 1;
  constexpr ULONG kOptions = 0x00000020 | 0x00004000 | 0x00200000;
  HANDLE entry = nullptr;
  const LONG result = create(&entry, access | SYNCHRONIZE, &attributes, &status, nullptr, 0, kShareAll, kOpen,
                             kOptions, nullptr, 0);
  if (result < 0) {
    SetLastError(toError(result));
    return TKernelHandle();
  }
  return TKernelHandle(entry);
}

bool IsFolderItself(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class TWin32Folder : public TFolderHandle {
 public:
  explicit TWin32Folder(TKernelHandle handle) : handle_(std::move(handle)) {}

  std::optional<std::string> FinalPath() override {
    const TWidePath path = FinalPathOf(handle_.get());
    if (path.size() < 5 || wcsncmp(path.data(), L"\\\\?\\", 4) != 0) return std::nullopt;
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

  std::unique_ptr<TFolderHandle> TryOpenSubFolder(const std::string& name) override {
    TKernelHandle sub = OpenEntry(name, kFolderAccess);
    if (!sub || !IsFolderItself(sub.get())) return nullptr;
    return std::make_unique<TWin32Folder>(std::move(sub));
  }

  bool TryRemove(const std::string& name) override {
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

  TFolderAccess Access() override {
    TFolderAccess access;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(handle_.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                        &owner, nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
      return access;
    const TLocalText owned(static_cast<char*>(descriptor));
    const TTrustedAccounts trusted;
    access.OwnerIsTrusted = trusted.Holds(owner);
    // No access list at all lets everyone do everything.
    access.OthersMayAdd = access.OthersMayRemove = access.OthersMayChangeRules = dacl == nullptr;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
      void* ace = nullptr;
      if (!GetAce(dacl, i, &ace)) continue;
      const auto* header = static_cast<const ACE_HEADER*>(ace);
      // Denials only narrow what the grants give; an entry for what is made
      // inside does not apply to the folder.
      if ((header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) ||
          (header->AceFlags & INHERIT_ONLY_ACE))
        continue;
      const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
      if (trusted.Holds(const_cast<DWORD*>(&allowed->SidStart))) continue;
      const ACCESS_MASK mask = allowed->Mask;
      constexpr ACCESS_MASK kAll = GENERIC_ALL | MAXIMUM_ALLOWED;
      access.OthersMayAdd |= (mask & (FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_EA |
                                      FILE_WRITE_ATTRIBUTES | GENERIC_WRITE | kAll)) != 0;
      access.OthersMayRemove |= (mask & (DELETE | FILE_DELETE_CHILD | kAll)) != 0;
      access.OthersMayChangeRules |= (mask & (WRITE_DAC | WRITE_OWNER | kAll)) != 0;
    }
    return access;
  }

  bool TryProtect() override {
    // The very folder of this handle, not whatever has its path by now.
    const TKernelHandle writable(ReOpenFile(handle_.get(), WRITE_DAC | READ_CONTROL, kShareAll,
                                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT));
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!writable || !ConvertStringSecurityDescriptorToSecurityDescriptorA(kProgramFilesProtection, SDDL_REVISION_1,
                                                                          &descriptor, nullptr))
      return false;
    const TLocalText owned(static_cast<char*>(descriptor));
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    return GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present &&
           SetSecurityInfo(writable.get(), SE_FILE_OBJECT,
                           DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                           nullptr) == ERROR_SUCCESS;
  }

 private:
  // The entry of that name, opened as itself through this folder's handle,
  // wherever the folder is by then: a path would reach whatever another
  // folder stands at the folder's old place. It must then be found in this
  // folder by the system, which Wine does not do when it follows the entry's
  // own link, whatever the flag says. Fails with ERROR_ACCESS_DENIED then.
  TKernelHandle OpenEntry(const std::string& name, DWORD access) {
    if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/") != std::string::npos) {
      SetLastError(ERROR_INVALID_NAME);
      return TKernelHandle();
    }
    TKernelHandle entry = OpenRelative(handle_.get(), name, access);
    if (!entry) return entry;
    const TWidePath folder = FinalPathOf(handle_.get());
    const TWidePath found = FinalPathOf(entry.get());
    if (folder.empty() || found.empty() ||
        CompareStringOrdinal(found.data(), -1, EntryPath(folder, name).data(), -1, TRUE) != CSTR_EQUAL) {
      SetLastError(ERROR_ACCESS_DENIED);
      return TKernelHandle();
    }
    return entry;
  }

  TKernelHandle handle_;
};

}  // namespace

std::unique_ptr<TFolderHandle> TWin32Platform::TryOpenFolderNoFollow(const std::string& path) {
  TKernelHandle folder(
      CreateFileA(path.c_str(), kFolderAccess, kShareAll, nullptr, OPEN_EXISTING, kNoFollow, nullptr));
  if (!folder || !IsFolderItself(folder.get())) return nullptr;
  return std::make_unique<TWin32Folder>(std::move(folder));
}
