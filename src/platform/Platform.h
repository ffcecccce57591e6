#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The operating-system services that the engines and libraries use. Two
// implementations exist: the real one on Windows (platform/win32) and a
// simulated Windows on Linux (platform/hostsim) that the unit tests drive.
// Paths are Windows paths ("C:\Program Files\Fotelix\") in the ANSI code page.

// Every failure of an operating-system call. Code is the system's error code
// (GetLastError, or an HRESULT where the call returns one); Reason is what
// the message says of the cause, without the action and the path, so that a
// caller can tell the failure in its own words (the whole message when the
// thrower gave no reason).
class EPlatformError : public std::runtime_error {
 public:
  EPlatformError(uint32_t code, const std::string& message, std::string reason = std::string());
  uint32_t Code() const { return code_; }
  const std::string& Reason() const { return reason_; }

 private:
  uint32_t code_;
  std::string reason_;
};

// The system error codes that callers and the simulated system share.
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorHandleDiskFull = 39;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorDiskFull = 112;

// File attribute bits, with the values of the system's own.
inline constexpr uint32_t faReadOnly = 0x01;
inline constexpr uint32_t faHidden = 0x02;
inline constexpr uint32_t faSysFile = 0x04;
inline constexpr uint32_t faDirectory = 0x10;
inline constexpr uint32_t faArchive = 0x20;
inline constexpr uint32_t faReparsePoint = 0x400;
inline constexpr uint32_t faAnyFile = faReadOnly | faHidden | faSysFile | faDirectory | faArchive;

// Drive types as the system's drive-type query returns them.
enum class TDriveType : uint32_t {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CDRom = 5,
  RamDisk = 6,
};

// Shell folder ids.
inline constexpr int kCsidlPrograms = 2;
inline constexpr int kCsidlDesktopDirectory = 16;
inline constexpr int kCsidlLocalAppData = 28;
inline constexpr int kCsidlProgramFiles = 38;
inline constexpr int kCsidlProfile = 40;

// Show commands for starting a program.
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMaximized = 3;

struct TSearchRec {
  std::string Name;  // the entry's name alone, without its folder
  uint32_t Attr = 0;
};

// The raw entries of one find-first/find-next enumeration.
class TFindEnumerator {
 public:
  virtual ~TFindEnumerator() = default;
  // Fills rec with the next entry; false when there is none left.
  virtual bool Next(TSearchRec& rec) = 0;
};

class TFile {
 public:
  virtual ~TFile() = default;
  // Writes all of data or raises; a short write is a failure.
  virtual void Write(const void* data, size_t size) = 0;
  // Reads up to size bytes; fewer only at the end of the file.
  virtual size_t Read(void* data, size_t size) = 0;
  // Closes the file and raises when the system reports a failure; the
  // destructor closes quietly, for the paths where an error is already on
  // its way.
  virtual void Close() = 0;
};

enum class TOpenMode {
  Read,            // existing file, for reading
  CreateTruncate,  // created new, or an existing one truncated, for writing
  WriteExisting,   // existing file, for writing, kept as it is
  // Created new, for writing; fails with kErrorFileExists when the name is
  // taken, by a link too, whose target is then never opened.
  CreateNew,
};

// Who may change a folder that CreateFolder makes.
enum class TFolderProtection {
  // What its parent passes on: the user's own folders.
  Inherited,
  // A folder for programs, closed to other users wherever its parent would
  // let them replace what runs from it (see FolderAclFor).
  ClosedToOthers,
};

// The access list that a new folder gets.
enum class TFolderAcl {
  Inherited,     // what its parent passes on
  ProgramFiles,  // administrators and the system change, users read and run
  ThisUser,      // this process's user, the system and the administrators alone
};

// What a folder's owner and access list let accounts other than the system,
// the administrators, the installer service and this process's own user do
// with it. Entries that only pass on to what is made inside do not count;
// what cannot be read counts as open.
struct TFolderAccess {
  bool OwnerIsTrusted = false;       // owned by one of those accounts
  bool OthersMayAdd = true;          // make files or folders in it, change its data or attributes
  bool OthersMayRemove = true;       // delete or rename it or what it holds
  bool OthersMayChangeRules = true;  // change its access list or take it over
};

// A shell link (.lnk) as the engines make it. IconIndex below 0 leaves the
// icon unset.
struct TShellLink {
  std::string Target;
  std::string Description;
  std::string Arguments;
  std::string IconPath;
  int IconIndex = -1;
};

// A folder held open. What is listed, opened and removed through it happens
// in the folder that was opened, wherever its path leads by then, and never
// beyond a link: a folder swapped for a link after it was opened redirects
// nothing. Names are entries' own names, without a folder.
class TFolderHandle {
 public:
  virtual ~TFolderHandle() = default;
  // Where the folder is now, as the system finds it from the handle: full,
  // in long names, with a trailing backslash; empty when it cannot be told.
  virtual std::string FinalPath() = 0;
  // The entries, without "." and "..", with their attributes: a link has
  // faReparsePoint, and faDirectory too when it stands for a folder. None
  // when the folder cannot be listed.
  virtual std::vector<TSearchRec> Entries() = 0;
  // The sub-folder of that name; null when it is missing, a link, not a
  // folder, or cannot be opened.
  virtual std::unique_ptr<TFolderHandle> OpenSubFolder(const std::string& name) = 0;
  // Removes the entry of that name itself: a file, a link (never what it
  // leads to), or a folder when it is empty. True when it is not there
  // afterwards, also when it never was.
  virtual bool Remove(const std::string& name) = 0;
  // Who, besides the trusted accounts, may change the folder.
  virtual TFolderAccess Access() = 0;
  // Replaces the folder's own access list with the protection of Program
  // Files, which what is made inside then inherits; false when it cannot.
  virtual bool Protect() = 0;
};

struct TLocalTime {
  int Year = 0, Month = 0, Day = 0, DayOfWeek = 0;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

class TPlatform {
 public:
  virtual ~TPlatform() = default;

  // Folders. CreateFolder makes one level and reports success; the callers
  // decide what a failure means, as the system's own call lets them.
  virtual bool FolderExists(const std::string& path) = 0;
  virtual bool CreateFolder(const std::string& path, TFolderProtection protection) = 0;
  bool CreateFolder(const std::string& path) { return CreateFolder(path, TFolderProtection::Inherited); }
  virtual bool DeleteFolder(const std::string& path) = 0;

  // Files.
  virtual bool FileExists(const std::string& path) = 0;
  virtual std::unique_ptr<TFile> OpenFile(const std::string& path, TOpenMode mode) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Moves from onto to, replacing an existing file; raises on failure, for
  // example when to is a running program.
  virtual void MoveReplace(const std::string& from, const std::string& to) = 0;

  // The entries that match pattern (a folder plus a name mask with * and ?),
  // of every attribute; null when there is none or the folder cannot be
  // listed. TFind filters them by attributes.
  virtual std::unique_ptr<TFindEnumerator> FindFirst(const std::string& pattern) = 0;

  // The folder that path names, opened as itself: null when it is missing,
  // not a folder, a link, or cannot be opened. The folders above it are
  // followed as the system finds them.
  virtual std::unique_ptr<TFolderHandle> OpenFolderNoFollow(const std::string& path) = 0;

  // The drive letters present, upper case, in order ("CD").
  virtual std::string LogicalDrives() = 0;
  virtual TDriveType DriveType(const std::string& root) = 0;
  // The volume label of a drive root ("D:\"), empty when it has none; false
  // when the drive cannot be read, as a drive without its disk.
  virtual bool VolumeLabel(const std::string& root, std::string& label) = 0;
  virtual std::string CurrentFolder() = 0;
  // The path as the system keeps it: full (a relative one is taken from the
  // current folder), with "." and ".." resolved, and each name that exists in
  // its long form; the names that do not exist yet stay as given, and so does
  // a trailing backslash. Two spellings of one folder ("C:\PROGRA~1\" and
  // "c:\program files\") compare equal, without regard to case, only in
  // this form.
  virtual std::string LongPathName(const std::string& path) = 0;

  // SHGetFolderPathA: the result code (0 on success) and what the query put
  // into its buffer: the folder without a trailing backslash, or nothing.
  // A code other than 0 may still come with a folder (one that does not
  // exist yet), so callers look at the code first.
  virtual int32_t GetShellFolder(int csidl, std::string& path) = 0;

  // Saves link as the shell link file linkFile; raises when the link object
  // cannot be made or saved.
  virtual void CreateShellLink(const TShellLink& link, const std::string& linkFile) = 0;
  virtual TShellLink ReadShellLink(const std::string& linkFile) = 0;

  // String values below HKEY_LOCAL_MACHINE; the key is created when missing.
  virtual void WriteRegistryString(const std::string& key, const std::string& name,
                                   const std::string& value) = 0;
  // A number value (a double word) below HKEY_LOCAL_MACHINE, likewise.
  virtual void WriteRegistryNumber(const std::string& key, const std::string& name, uint32_t value) = 0;
  // False when the key or the value does not exist.
  virtual bool ReadRegistryString(const std::string& key, const std::string& name,
                                  std::string& value) = 0;

  // Starts a program; commandLine quotes a path with blanks. Raises when the
  // program cannot be started.
  virtual void StartProgram(const std::string& commandLine, int showCommand) = 0;
  // Starts a program that the setup installed, without arguments, with the
  // ordinary rights of the user signed in at the desktop: an elevated setup
  // asks the desktop's shell to start it, and starts nothing (false) when no
  // desktop shell answers, so that the program never runs as administrator.
  // Where this process is not elevated it starts as StartProgram starts it.
  // Raises when the program cannot be started.
  virtual bool StartProgramAsUser(const std::string& program, int showCommand) = 0;
  // Whether this process holds an administrator's full token.
  virtual bool IsElevated() = 0;
  // Opens a document, a program or a "mailto:" link with its associated
  // program, by the same route as StartProgramAsUser: an elevated process
  // has the desktop's shell open it, and raises when none answers.
  virtual void ShellOpen(const std::string& document) = 0;

  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual TLocalTime LocalTime() = 0;

  // The full path of the running program, whatever its length.
  virtual std::string ProgramPath() = 0;
  // Whether the file at path is the very file this program runs from, told
  // by handle; false when that cannot be told.
  virtual bool IsThisProgram(const std::string& path) = 0;
  // Ends the process at once with the code; nothing after it runs.
  virtual void ExitProcess(int code) = 0;

  // Deletes a key below HKEY_LOCAL_MACHINE with its values, never with its
  // sub-keys: a key that has any stays. True when the key is not there
  // afterwards, also when it never was.
  virtual bool DeleteRegistryKey(const std::string& key) = 0;
};

// One find-first/find-next enumeration with an attribute mask: entries that
// are hidden, system files or folders are returned only when the mask holds
// that attribute; read-only, archive and the rest never exclude an entry.
class TFind {
 public:
  TFind(TPlatform& os, const std::string& pattern, uint32_t attrMask);
  bool Next(TSearchRec& rec);

 private:
  std::unique_ptr<TFindEnumerator> enumerator_;
  uint32_t exclude_;
};

// The names of the sub-folders of a folder ("C:\" or "C:\A\B"), hidden and
// system ones included, without "." and "..", in the order the file system
// gives them; none when the folder cannot be listed.
std::vector<std::string> ListSubFolders(TPlatform& os, const std::string& folder);

// The folder part of a path, up to and including the last backslash.
std::string ExtractFilePath(const std::string& path);
// The name part of a path, after the last backslash.
std::string ExtractFileName(const std::string& path);
// The path with one trailing backslash more, unless it has one already.
std::string WithBackslash(const std::string& folder);
// The path without its trailing backslash, if it has one.
std::string WithoutBackslash(std::string path);

// The whole content of a file; raises EPlatformError when it cannot be read.
std::string ReadWholeFile(TPlatform& os, const std::string& path);

// A file made new for writing at path or, where that name is taken (by a
// leftover of an earlier run, or by anything planted there), at path + ".1",
// path + ".2" and so on: never a file that is there already, nor what a link
// at the name points to. The name it was made under goes into made. Raises
// the system's failure when no name is free or the folder takes no file.
std::unique_ptr<TFile> CreateNewFile(TPlatform& os, const std::string& path, std::string& made);

// Whether the entry at path (a folder may end with a backslash) is a link to
// somewhere else: a junction, a symbolic link or any other reparse point.
// False when there is no such entry, and for a drive's root.
bool IsReparsePoint(TPlatform& os, const std::string& path);

// The first folder on the way from the drive to path, path included, that
// exists and is a reparse point, with its closing backslash; "" when there
// is none.
std::string FirstReparsePoint(TPlatform& os, const std::string& path);

// Whether path lies in the Program Files folder (or is it), both taken in
// their long form and compared without regard to the case of A to Z.
bool IsInProgramFiles(TPlatform& os, const std::string& path);

// The access list that CreateFolder gives a new folder at path. One closed
// to other users gets the protection of Program Files when an elevated
// process makes it, and belongs to this user alone when a process that is
// not elevated makes it; inside Program Files, and inside the user's profile
// for a process that is not elevated, the parent passes on what it should.
TFolderAcl FolderAclFor(TPlatform& os, const std::string& path, TFolderProtection protection);

// Trusted folders: the one rule by which an elevated process decides where
// it may write, move and delete. A folder is trusted when it and every level
// above it is no link, is owned by the system, the administrators, the
// installer service or this process's own user, and lets no other account
// change it: neither add to the folder itself, nor, at any level, delete or
// rename what it holds, change its access list or take it over. A level
// above may let others add entries of their own (the root of a drive lets
// every user make folders): they cannot touch the entries on the way. Each
// level is checked through a handle opened as itself, through the handle of
// the level above. With every level closed to other users, nobody but an
// administrator can swap anything between a check and a use: paths within a
// trusted folder are then as safe to use as its handle.
struct TFolderCheck {
  // The folder opened as itself, to hold for the run; null when it is
  // missing, out of reach or a level is a link.
  std::unique_ptr<TFolderHandle> Folder;
  // The first level that fails, with its closing backslash; empty when every
  // level that can be opened passes (then, if Folder is null, the folder is
  // missing and may be made, or cannot be had at all).
  std::string Failed;
  bool FailedIsLink = false;
  // The folder itself fails by its access list alone: its owner and every
  // level above it pass, and Protect() makes it trusted.
  bool MayProtect = false;
  bool Trusted() const { return Folder && Failed.empty(); }
};
TFolderCheck CheckFolder(TPlatform& os, const std::string& folder);

// The folder, made where it is missing (each level it makes with
// protection), then checked: a level that someone else made first is
// theirs, and the check says so.
TFolderCheck MakeCheckedFolder(TPlatform& os, const std::string& folder, TFolderProtection protection);

// Creates the folder and every missing parent, each level with protection;
// true when the folder exists afterwards. A path shorter than 3 characters
// (a bare drive) counts as made; a path that is its own folder part
// ("C:\x:") is never made.
bool ForceFolders(TPlatform& os, const std::string& path, TFolderProtection protection);
