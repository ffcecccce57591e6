#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

// A simulated Windows on the host's file system, for the unit tests. Drive
// letters are mapped to host folders, and a path that starts with one
// backslash is on the current folder's drive (faults are set on full paths);
// names are matched without regard to the letter case of A to Z, as Windows
// does; DOS attributes, shell-folder answers and faults are set by the test;
// shell links and the registry are plain text files that a test can read;
// the clock is virtual and only Sleep moves it; a folder opened by handle is
// held by a descriptor on Linux, so that swapping it for a link afterwards
// changes nothing for what goes through it. Files and folders it opens must
// be closed before it is destroyed.
//
// Who may change a folder is kept per folder, as Windows keeps an owner and
// an access list: the accounts that may change it (add to it, delete or
// rename it or what it holds, change its access list) and those that what
// is made inside inherits. A drive's root lets every user make folders of
// their own, which every user may then change: a folder made the ordinary
// way below it, by a test on the host side too, is open to everyone. A test
// plays another user through the ...As calls, which do only what Windows
// lets that account do.
//
// One unit for each job: the process and its clock (HostSim.cpp), drives,
// path resolution, files, find-first listings, folders held open, rights
// and other users, faults, the registry and the shell (HostSim<Job>.cpp),
// and the host's own calls where Linux and Windows differ (HostFolder_*.cpp).
class THostSimPlatform : public TPlatform {
 public:
  // The accounts that Windows trusts besides the process's own user, and
  // the group of every signed-in user.
  static constexpr const char* kSystem = "SYSTEM";
  static constexpr const char* kAdministrators = "Administrators";
  static constexpr const char* kTrustedInstaller = "TrustedInstaller";
  static constexpr const char* kEveryUser = "Users";
  // The account the simulated process runs as.
  static constexpr const char* kUser = "Ann";

  struct TFolderSecurity {
    std::string Owner;
    std::set<std::string> Writers;      // may change the folder
    std::set<std::string> Inheritable;  // what is made inside gets as writers, besides its maker
    bool EveryUserMayAddFolders = false;
  };

  // The registry file is kept in stateFolder, which must exist.
  explicit THostSimPlatform(std::filesystem::path stateFolder);

  // --- Set-up by the test ---
  void MapDrive(char letter, const std::filesystem::path& folder, TDriveType type);
  // A drive that is not ready (a drive without its disk) is listed with its
  // type, but nothing on it can be read.
  void SetVolume(char letter, const std::string& label, bool ready = true);
  void SetCurrentFolder(const std::string& path) { currentFolder_ = path; }
  // The program file that the simulated process runs from, held as the
  // setup holds its own: no one can write, rename or delete it.
  void SetProgramPath(const std::string& path);
  // Hidden, system, read-only and archive; folders and reparse points follow
  // from the host entry itself (a host symbolic link to a folder is a
  // reparse point).
  void SetAttributes(const std::string& path, uint32_t attr);
  void SetShellFolder(int csidl, const std::string& path, int32_t result);
  void SetClock(const TLocalTime& now);
  // The simulated process holds an administrator's full token.
  void SetElevated(bool elevated) { elevated_ = elevated; }
  // The owner of the folder and who may change it, passed on to what is made
  // inside: as Program Files or a user's profile are kept.
  void SetFolderSecurity(const std::string& path, const std::string& owner, std::set<std::string> writers);
  TFolderSecurity FolderSecurity(const std::string& path) const;
  // Whether a desktop shell answers for the signed-in user.
  void SetDesktopShell(bool answers) { desktopShell_ = answers; }

  // --- Another account, with the rights the folders give it ---
  // Each does what Windows lets that account do, and reports whether it could.
  bool MakeFolderAs(const std::string& account, const std::string& path);
  // A folder or file moved to a new name (to must not exist), with what
  // Windows keeps of it: its owner and access list.
  bool RenameAs(const std::string& account, const std::string& from, const std::string& to);
  // A junction at link, a new name, to the folder target.
  bool LinkAs(const std::string& account, const std::string& link, const std::string& target);
  bool WriteFileAs(const std::string& account, const std::string& path, const std::string& content);

  // --- Faults ---
  // Creating exactly this folder fails.
  void FailCreateFolder(const std::string& path);
  // A file that is open elsewhere without sharing, as a running program is:
  // opening it for writing, deleting it and replacing it fail.
  void LockFile(const std::string& path, bool locked = true);
  // The path and everything below it: nothing can be opened, created,
  // listed or deleted there.
  void DenyAccess(const std::string& path);
  // The drive accepts this many more bytes of file data, then is full.
  void SetDiskSpace(char letter, uint64_t bytes);
  void FailRegistry(bool fail) { failRegistry_ = fail; }
  void FailStartProgram(bool fail) { failStart_ = fail; }
  // Runs right after a folder is opened by handle, with its path (without a
  // trailing backslash): where a test swaps that folder for a link, as
  // another user could between two steps of a program.
  void OnFolderOpened(std::function<void(const std::string& path)> hook) { folderOpened_ = std::move(hook); }

  // --- What happened ---
  // The host path that a Windows path maps to, with existing names matched
  // without regard to case. Raises for a path without a mapped drive.
  std::filesystem::path HostPath(const std::string& path) const;
  std::filesystem::path RegistryFile() const { return stateFolder_ / "registry.txt"; }
  const std::vector<std::pair<std::string, int>>& StartedPrograms() const { return started_; }
  // The programs that StartProgramAsUser started, with their show commands.
  const std::vector<std::pair<std::string, int>>& StartedAsUser() const { return startedAsUser_; }
  // The folders, as given, that were made with an access list of their own
  // (Program Files' protection, or this user's alone) rather than their
  // parent's.
  const std::vector<std::string>& ProtectedFolders() const { return protected_; }
  const std::vector<std::string>& OpenedDocuments() const { return opened_; }
  uint64_t SleptMilliseconds() const { return slept_; }
  // The codes ExitProcess was called with; the simulated process goes on.
  const std::vector<int>& ExitCodes() const { return exitCodes_; }

  // --- TPlatform ---
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
  std::string LogicalDrives() override;
  TDriveType DriveType(const std::string& root) override;
  std::optional<std::string> VolumeLabel(const std::string& root) override;
  std::string LongPathName(const std::string& path) override;
  std::string CurrentFolder() override { return currentFolder_; }
  TShellFolder GetShellFolder(int csidl) override;
  void CreateShellLink(const TShellLink& link, const std::string& linkFile) override;
  TShellLink ReadShellLink(const std::string& linkFile) override;
  void WriteRegistryString(const std::string& key, const std::string& name,
                           const std::string& value) override;
  void WriteRegistryNumber(const std::string& key, const std::string& name, uint32_t value) override;
  std::optional<std::string> ReadRegistryString(const std::string& key, const std::string& name) override;
  bool TryDeleteRegistryKey(const std::string& key) override;
  void StartProgram(const std::string& commandLine, int showCommand) override;
  void StartProgramAsUser(const std::string& program, int showCommand) override;
  bool IsElevated() override { return elevated_; }
  bool TryShellOpen(const std::string& document) override;
  void Sleep(uint32_t milliseconds) override;
  TLocalTime LocalTime() override;
  std::string ProgramPath() override { return programPath_; }
  bool IsThisProgram(const std::string& path) override;
  void ExitProcess(int code) override { exitCodes_.push_back(code); }

 private:
  struct TDrive {
    std::filesystem::path folder;
    TDriveType type = TDriveType::Fixed;
    bool limited = false;
    uint64_t space = 0;
    std::string label;
    bool ready = true;
  };
  friend class THostSimFile;
  friend class THostSimFolder;

  // The upper-case letter under which a drive is kept.
  static char DriveLetter(char letter);
  // The path on the current folder's drive when it starts with one backslash.
  std::string OnCurrentDrive(const std::string& path) const;
  bool Resolve(const std::string& path, std::filesystem::path& host) const;
  bool IsDenied(const std::string& path) const;
  bool IsLocked(const std::string& path) const;
  uint32_t StoredAttributes(const std::string& path) const;
  // Whether account may add an entry to folder, or remove (and so rename)
  // the entry at path.
  bool MayAdd(const std::string& account, const std::string& folder, bool aFolder) const;
  bool MayRemove(const std::string& account, const std::string& path) const;
  bool IsProgramFile(const std::string& path) const;
  // Moves what is kept of the folders at and below from to the same places below to.
  void MoveSecurity(const std::string& from, const std::string& to);
  TDrive* DriveOf(const std::string& path);
  // The Windows path of a host path on a mapped drive, with a trailing
  // backslash; empty when it is on none.
  std::string WindowsPath(const std::filesystem::path& host) const;
  void SaveRegistry() const;
  // Opens path as the C library's fopen does with how ("rb", "wb", "r+b",
  // or "wbx" for a file made new, null where the name is taken).
  std::unique_ptr<TFile> Open(const std::string& path, const std::string& how);

  std::filesystem::path stateFolder_;
  std::map<char, TDrive> drives_;
  std::string currentFolder_ = "C:\\";
  std::string programPath_ = "C:\\fxtest\\Install_Fotelix.exe";
  std::vector<int> exitCodes_;
  std::map<std::string, uint32_t> attributes_;
  std::map<int, std::pair<std::string, int32_t>> shellFolders_;
  std::set<std::string> failCreate_, locked_, denied_;
  bool failRegistry_ = false, failStart_ = false, elevated_ = false, desktopShell_ = true;
  std::map<std::string, TFolderSecurity> security_;
  std::filesystem::path programHost_;
  std::vector<std::string> protected_;
  std::function<void(const std::string&)> folderOpened_;
  // A value as the registry file shows it: the key and name as written, and
  // the text of a string or "dword:" and the eight hex digits of a number,
  // as the system's registry export does.
  struct TRegistryValue {
    std::string Label, Text;
    bool Number;
  };
  // Keyed by the lower-cased key and name, which Windows compares without case.
  std::map<std::string, TRegistryValue> registry_;
  void WriteRegistryValue(const std::string& key, const std::string& name, TRegistryValue value);
  std::vector<std::pair<std::string, int>> started_, startedAsUser_;
  std::vector<std::string> opened_;
  int64_t clockMs_ = 0;  // milliseconds since 1970-01-01 00:00 local time
  uint64_t slept_ = 0;
};

// Windows' name matching: * and ? without regard to the case of A to Z, and
// a mask ending in ".*" also matches a name without any dot.
bool MatchesMask(const std::string& mask, const std::string& name);

// The order in which NTFS lists a folder: that of the upper-cased names.
bool InNtfsOrder(const TSearchRec& a, const TSearchRec& b);
