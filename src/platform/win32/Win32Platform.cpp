#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/Path.h"
#include "platform/TrustedFolder.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Security.h"

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

[[noreturn]] void Fail(DWORD code, const std::string& action, const std::string& subject) {
  const std::string reason = SystemMessage(code) + " (error " + std::to_string(code) + ")";
  throw EPlatformError(code, "Cannot " + action + " \"" + subject + "\": " + reason, reason);
}

[[noreturn]] void FailLast(const std::string& action, const std::string& subject) {
  Fail(GetLastError(), action, subject);
}

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

// With its terminating null. A vector rather than a wide string: that one
// alone would link the C++ library's wide-string code into every program.
std::vector<wchar_t> Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(length > 0 ? length : 1, L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  return wide;
}

void Check(HRESULT result, const std::string& action, const std::string& subject) {
  if (FAILED(result)) Fail(static_cast<DWORD>(result), action, subject);
}

void MakeLinkObject(TComPtr<IShellLinkA>& link, TComPtr<IPersistFile>& file,
                    const std::string& linkFile) {
  Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         link.Out()),
        "create the shell link", linkFile);
  Check(link->QueryInterface(IID_IPersistFile, file.Out()), "create the shell link", linkFile);
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

}  // namespace

void RestrictDllSearchToSystemFolder() {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  // Both calls are looked up: a program that imported either could not
  // start on the systems that lack it. Through void(*)() so that the casts
  // between function types are explicit.
  const auto find = [kernel](const char* name) {
    return reinterpret_cast<void (*)()>(::GetProcAddress(kernel, name));
  };
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  using TSetDllDirectory = BOOL(WINAPI*)(LPCSTR);
  // The flag's value, since the old target headers of the products lack it.
  constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;
  const auto setDefault = reinterpret_cast<TSetDefaultDllDirectories>(find("SetDefaultDllDirectories"));
  if (setDefault && setDefault(kLoadLibrarySearchSystem32)) return;
  // Without it the program's own folder stays in the search, but the
  // current folder at least, which whoever starts the program chooses, goes.
  const auto setDirectory = reinterpret_cast<TSetDllDirectory>(find("SetDllDirectoryA"));
  if (setDirectory) setDirectory("");
}

// The program's entry, before the C runtime's: no DLL that a constructor
// loads (the stack protector's seed loads the system's cryptography) is
// looked for beside the program.
extern "C" int WinMainCRTStartup(void);
extern "C" int FxStartup(void) {
  RestrictDllSearchToSystemFolder();
  return WinMainCRTStartup();
}

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
  WIN32_FIND_DATAA data;
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

TShellFolder TWin32Platform::GetShellFolder(int csidl) {
  char buffer[MAX_PATH + 1] = {};
  const HRESULT result = SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer);
  return TShellFolder{static_cast<int32_t>(result), buffer};
}

void TWin32Platform::CreateShellLink(const TShellLink& link, const std::string& linkFile) {
  TComScope com;
  TComPtr<IShellLinkA> shellLink;
  TComPtr<IPersistFile> file;
  MakeLinkObject(shellLink, file, linkFile);
  Check(shellLink->SetArguments(link.Arguments.c_str()), "set the arguments of the shell link", linkFile);
  Check(shellLink->SetDescription(link.Description.c_str()), "set the description of the shell link",
        linkFile);
  Check(shellLink->SetPath(link.Target.c_str()), "set the target of the shell link", linkFile);
  if (link.IconIndex >= 0)
    Check(shellLink->SetIconLocation(link.IconPath.c_str(), link.IconIndex),
          "set the icon of the shell link", linkFile);
  // A link that was not saved is no link; the caller decides whether that matters.
  Check(file->Save(Wide(linkFile).data(), FALSE), "save the shell link", linkFile);
}

TShellLink TWin32Platform::ReadShellLink(const std::string& linkFile) {
  TComScope com;
  TComPtr<IShellLinkA> shellLink;
  TComPtr<IPersistFile> file;
  MakeLinkObject(shellLink, file, linkFile);
  Check(file->Load(Wide(linkFile).data(), STGM_READ), "read the shell link", linkFile);
  char buffer[INFOTIPSIZE + MAX_PATH] = {};
  TShellLink link;
  Check(shellLink->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH), "read the shell link", linkFile);
  link.Target = buffer;
  buffer[0] = '\0';
  Check(shellLink->GetDescription(buffer, sizeof buffer), "read the shell link", linkFile);
  link.Description = buffer;
  buffer[0] = '\0';
  Check(shellLink->GetArguments(buffer, sizeof buffer), "read the shell link", linkFile);
  link.Arguments = buffer;
  buffer[0] = '\0';
  int index = 0;
  Check(shellLink->GetIconLocation(buffer, MAX_PATH, &index), "read the shell link", linkFile);
  link.IconPath = buffer;
  link.IconIndex = link.IconPath.empty() ? -1 : index;
  return link;
}

namespace {

void WriteRegistryValue(const std::string& key, const std::string& name, DWORD type, const void* data,
                        DWORD size) {
  const std::string subject = "HKEY_LOCAL_MACHINE\\" + key;
  TRegKey handle;
  LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, handle.Out(), nullptr);
  if (result != ERROR_SUCCESS) Fail(result, "open the registry key", subject);
  result = RegSetValueExA(handle.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  if (result != ERROR_SUCCESS) Fail(result, "write the registry value " + name + " of", subject);
}

}  // namespace

void TWin32Platform::WriteRegistryString(const std::string& key, const std::string& name,
                                         const std::string& value) {
  WriteRegistryValue(key, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TWin32Platform::WriteRegistryNumber(const std::string& key, const std::string& name, uint32_t value) {
  const DWORD number = value;
  WriteRegistryValue(key, name, REG_DWORD, &number, sizeof number);
}

std::optional<std::string> TWin32Platform::ReadRegistryString(const std::string& key, const std::string& name) {
  TRegKey handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, handle.Out()) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::vector<char> buffer(size + 1, '\0');
  if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(buffer.data());  // up to the terminating zero, which size counts
}

void TWin32Platform::StartProgram(const std::string& commandLine, int showCommand) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    FailLast("start", commandLine);
  TKernelHandle processHandle(process.hProcess);
  TKernelHandle threadHandle(process.hThread);
}

bool TWin32Platform::IsElevated() { return ::IsElevated(); }

void TWin32Platform::StartProgramAsUser(const std::string& program, int showCommand) {
  // The shell reports a missing program in a message box of its own, on a
  // desktop the user may not be looking at.
  if (!FileExists(program)) Fail(ERROR_FILE_NOT_FOUND, "start", program);
  if (IsElevated())
    OpenThroughDesktopShell(program, showCommand);
  else
    StartProgram("\"" + program + "\"", showCommand);
}

bool TWin32Platform::TryShellOpen(const std::string& document) {
  if (IsElevated()) return OpenThroughDesktopShell(document, SW_SHOWNORMAL);
  // ShellExecute's answers above 32 mean success.
  return reinterpret_cast<INT_PTR>(
             ShellExecuteA(nullptr, "open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

void TWin32Platform::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

TLocalTime TWin32Platform::LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  TLocalTime t;
  t.Year = now.wYear;
  t.Month = now.wMonth;
  t.Day = now.wDay;
  t.DayOfWeek = now.wDayOfWeek;
  t.Hour = now.wHour;
  t.Minute = now.wMinute;
  t.Second = now.wSecond;
  t.Millisecond = now.wMilliseconds;
  return t;
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

std::string TWin32Platform::ProgramPath() {
  // Grown until the whole path fits: a setup program deep in a folder tree
  // must still be able to restart itself.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) FailLast("find the path of", "the running program");
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void TWin32Platform::HoldProgramFile() {
  // Reading, and letting others only read: the share mode binds only a
  // handle that may read.
  HANDLE file = CreateFileA(ProgramPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) program_.reset(file, [](void* held) { ::CloseHandle(held); });
}

bool TWin32Platform::IsThisProgram(const std::string& path) {
  const TKernelHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION found, held;
  return program_ && file && GetFileInformationByHandle(file.get(), &found) &&
         GetFileInformationByHandle(program_.get(), &held) &&
         found.dwVolumeSerialNumber == held.dwVolumeSerialNumber && found.nFileIndexHigh == held.nFileIndexHigh &&
         found.nFileIndexLow == held.nFileIndexLow;
}

void TWin32Platform::ExitProcess(int code) { ::ExitProcess(static_cast<UINT>(code)); }

bool TWin32Platform::TryDeleteRegistryKey(const std::string& key) {
  // RegDeleteKey refuses a key that has sub-keys, which is what keeps a
  // wrong name from taking a whole branch with it.
  const LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
