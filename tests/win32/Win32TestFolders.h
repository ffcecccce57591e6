#pragma once
// The folders that the tests of the real Windows layer work in, and the
// real layer with its per-user shell folders among them.

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "platform/win32/Win32Security.h"

#include "platform/win32/Win32Platform.h"

// A fresh folder under the system's temporary folder, named after what it is
// for and the time, with its trailing backslash; empty when it cannot be made.
inline std::string MakeTestFolder(const std::string& purpose) {
  char temp[MAX_PATH + 1];
  if (GetTempPathA(sizeof temp, temp) == 0) return "";
  const std::string folder = std::string(temp) + "fx-" + purpose + "-" + std::to_string(GetTickCount()) + "\\";
  return CreateDirectoryA(folder.c_str(), nullptr) ? folder : "";
}

// Removes a folder with all it holds. Links go themselves, never what they
// lead to; read-only files go too.
inline void RemoveTestTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      if (isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        RemoveTestTree(path + "\\");
      else if (isFolder)
        RemoveDirectoryA(path.c_str());
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

// Lets every user change the folder, as a folder made the ordinary way below
// a drive's root does (under Wine: a Unix mode that lets every user write).
inline bool OpenToEveryone(const std::string& folder) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const std::string sddl = "D:P(A;OICI;FA;;;WD)(A;OICI;FA;;;SY)(A;OICI;FA;;;" + CurrentUserSid() + ")";
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
    return false;
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  const bool set = GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) &&
                   SetNamedSecurityInfoA(const_cast<char*>(folder.c_str()), SE_FILE_OBJECT,
                                         DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                         nullptr, dacl, nullptr) == ERROR_SUCCESS;
  LocalFree(descriptor);
  return set;
}

// The trees of links that the build makes beside the bin folder, where the
// system cannot make links itself (src/platform/CMakeLists.txt): the build
// folder's "linktree\", with its trailing backslash.
inline std::string BuiltLinkTree() {
  char exe[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = exe;
  folder.resize(folder.find_last_of('\\'));      // ...\bin
  folder.resize(folder.find_last_of('\\') + 1);  // the build folder
  return folder + "linktree\\";
}

// The real Windows layer, with the per-user shell folders in the test's own
// folder (root, with its trailing backslash).
class TUserFoldersWin32Platform : public TWin32Platform {
 public:
  explicit TUserFoldersWin32Platform(std::string root) : root_(std::move(root)) {}
  TShellFolder GetShellFolder(int csidl) override {
    switch (csidl) {
      case kCsidlPrograms: return TShellFolder{0, root_ + "Programs"};
      case kCsidlDesktopDirectory: return TShellFolder{0, root_ + "Desktop"};
      case kCsidlLocalAppData: return TShellFolder{0, root_ + "Local"};
      default: return TWin32Platform::GetShellFolder(csidl);
    }
  }

 private:
  std::string root_;
};
