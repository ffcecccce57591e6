#pragma once
#include <memory>

#include "platform/Platform.h"

// The real operating-system services, through the ANSI forms of the Windows
// API. Every handle it opens is owned by a small wrapper and closed on every
// path, the error paths included. Files, folders and drives are in
// Win32Files.cpp, folders held open in Win32FolderHandle.cpp, the shell in
// Win32Shell.cpp, the registry in Win32Registry.cpp, who this process runs
// as and the protection of folders in Win32Security.cpp, the system's error
// texts in Win32Errors.cpp, the process itself in Win32Platform.cpp.
class TWin32Platform : public TPlatform {
 public:
  using TPlatform::TryCreateFolder;
  bool FolderExists(const std::string& path) override;
  bool TryCreateFolder(const std::string& path, TFolderProtection protection) override;
  bool FileExists(const std::string& path) override;
  std::unique_ptr<TFile> OpenFile(const std::string& path, TOpenMode mode) override;
  std::unique_ptr<TFile> TryCreateNewFile(const std::string& path) override;
  bool TryRemoveFile(const std::string& path) override;
  void MoveReplace(const std::string& from, const std::string& to) override;
  std::unique_ptr<TFindEnumerator> FindFirst(const std::string& pattern) override;
  std::unique_ptr<TFolderHandle> TryOpenFolderNoFollow(const std::string& path) override;
  TDriveType DriveType(const std::string& root) override;
  std::string LogicalDrives() override;
  std::optional<std::string> VolumeLabel(const std::string& root) override;
  std::string LongPathName(const std::string& path) override;
  std::string CurrentFolder() override;
  TShellFolder GetShellFolder(int csidl) override;
  void CreateShellLink(const TShellLink& link, const std::string& linkFile) override;
  TShellLink ReadShellLink(const std::string& linkFile) override;
  void WriteRegistryNumber(const std::string& key, const std::string& name, uint32_t value) override;
  void WriteRegistryString(const std::string& key, const std::string& name,
                           const std::string& value) override;
  std::optional<std::string> ReadRegistryString(const std::string& key, const std::string& name) override;
  bool TryDeleteRegistryKey(const std::string& key) override;
  void StartProgram(const std::string& commandLine, int showCommand) override;
  void StartProgramAsUser(const std::string& program, int showCommand) override;
  bool IsElevated() override;
  bool TryShellOpen(const std::string& document) override;
  void Sleep(uint32_t milliseconds) override;
  TLocalTime LocalTime() override;
  std::string ProgramPath() override;
  bool IsThisProgram(const std::string& path) override;
  void ExitProcess(int code) override;

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
