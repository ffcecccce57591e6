#pragma once
#include <memory>

#include "platform/Platform.h"

// The real operating-system services, through the ANSI forms of the Windows
// API. Every handle it opens is owned by a small wrapper and closed on every
// path, the error paths included.
class TWin32Platform : public TPlatform {
 public:
  using TPlatform::CreateFolder;
  bool FolderExists(const std::string& path) override;
  bool CreateFolder(const std::string& path, TFolderProtection protection) override;
  bool DeleteFolder(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  std::unique_ptr<TFile> OpenFile(const std::string& path, TOpenMode mode) override;
  bool RemoveFile(const std::string& path) override;
  void MoveReplace(const std::string& from, const std::string& to) override;
  std::unique_ptr<TFindEnumerator> FindFirst(const std::string& pattern) override;
  // In Win32FolderHandle.cpp.
  std::unique_ptr<TFolderHandle> OpenFolderNoFollow(const std::string& path) override;
  TDriveType DriveType(const std::string& root) override;
  std::string LogicalDrives() override;
  bool VolumeLabel(const std::string& root, std::string& label) override;
  std::string LongPathName(const std::string& path) override;
  std::string CurrentFolder() override;
  int32_t GetShellFolder(int csidl, std::string& path) override;
  void CreateShellLink(const TShellLink& link, const std::string& linkFile) override;
  TShellLink ReadShellLink(const std::string& linkFile) override;
  void WriteRegistryNumber(const std::string& key, const std::string& name, uint32_t value) override;
  void WriteRegistryString(const std::string& key, const std::string& name,
                           const std::string& value) override;
  bool ReadRegistryString(const std::string& key, const std::string& name,
                          std::string& value) override;
  void StartProgram(const std::string& commandLine, int showCommand) override;
  bool StartProgramAsUser(const std::string& program, int showCommand) override;
  bool IsElevated() override;
  void ShellOpen(const std::string& document) override;
  void Sleep(uint32_t milliseconds) override;
  TLocalTime LocalTime() override;
  std::string ProgramPath() override;
  bool IsThisProgram(const std::string& path) override;
  void ExitProcess(int code) override;
  bool DeleteRegistryKey(const std::string& key) override;

  // Holds the file this program runs from, from now until the process
  // ends, against being written, renamed or deleted, so that IsThisProgram
  // can tell it by handle; without it, IsThisProgram is false.
  void HoldProgramFile();

 private:
  std::shared_ptr<void> program_;
};

// Limits where this process loads DLLs from to the Windows system folder, so
// that a DLL planted beside the program (a Downloads folder, the temporary
// folder an uninstaller runs from) is never picked up. The programs' entry,
// FxStartup (cmake/Hardening.cmake), calls it before the C runtime starts
// and runs the constructors. Systems without that (Windows 7 and older
// before their 2012 security update) lose the current folder from the search
// instead, where they can; nothing else changes there.
void RestrictDllSearchToSystemFolder();
