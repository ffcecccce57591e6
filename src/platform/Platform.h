#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/PlatformError.h"

// The operating-system services that the engines and libraries use. Two
// implementations exist: the real one on Windows (platform/win32) and a
// simulated Windows on Linux (platform/hostsim) that the unit tests drive.
// Paths are Windows paths ("C:\Program Files\Fotelix\") in the ANSI code page.
//
// How a call tells failure depends on its kind, and each call below is of
// one kind:
// - A query asks what is there and answers with a value. Where "none" is an
//   ordinary answer (a registry value that is not set, a drive without its
//   disk, a shell folder that the system does not name) the value is a
//   std::optional or a small result, and where no match is one, an empty
//   enumeration. A query about what must be there (the running program's
//   path, the current folder, a shell link's file) raises EPlatformError
//   when the system cannot answer.
// - An action makes, writes, moves, deletes or starts something. It returns
//   nothing and raises EPlatformError, with the system's code and reason,
//   when the system refuses; OpenFile, which hands back what it opened,
//   raises alike.
// - A Try... form is an action whose refusal is an ordinary answer that its
//   callers act on (a folder that exists already, a name that is taken, a
//   file in use, a shell that does not answer). It returns false, or a null
//   handle, for that refusal and raises nothing for it.
// The objects that the calls hand out (TFile, TFolderHandle) follow the
// same rules.

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
};

// Who may change a folder that TryCreateFolder makes.
enum class TFolderProtection {
  // What its parent passes on: the user's own folders.
  Inherited,
  // A folder for programs, closed to other users wherever its parent would
  // let them replace what runs from it (see FolderAclFor).
  ClosedToOthers,
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

// The shell's answer for a folder id (SHGetFolderPathA, flags 0).
struct TShellFolder {
  int32_t Code = 0;  // the query's result code, 0 when it succeeded
  // What the query put into its buffer: the folder without a trailing
  // backslash, or nothing. A query that fails may still name a folder: one
  // that does not exist yet.
  std::string Path;
  // The folder, when the query succeeded and named one.
  std::optional<std::string> Known() const {
    return Code == 0 && !Path.empty() ? std::optional<std::string>(Path) : std::nullopt;
  }
  // The folder it named, whether the query succeeded or not.
  std::optional<std::string> Named() const {
    return Path.empty() ? std::nullopt : std::optional<std::string>(Path);
  }
};

struct TLocalTime {
  int Year = 0, Month = 0, Day = 0, DayOfWeek = 0;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

class TFolderHandle;  // platform/FolderHandle.h

class TPlatform {
 public:
  virtual ~TPlatform() = default;

  // Folders. TryCreateFolder makes one level; false when it cannot, as for a
  // folder that exists already or a missing parent.
  virtual bool FolderExists(const std::string& path) = 0;
  virtual bool TryCreateFolder(const std::string& path, TFolderProtection protection) = 0;
  bool TryCreateFolder(const std::string& path) { return TryCreateFolder(path, TFolderProtection::Inherited); }

  // Files.
  virtual bool FileExists(const std::string& path) = 0;
  virtual std::unique_ptr<TFile> OpenFile(const std::string& path, TOpenMode mode) = 0;
  // A file made new for writing; null when the name is taken by anything,
  // a link too, whose target is then never opened. Raises every other
  // failure.
  virtual std::unique_ptr<TFile> TryCreateNewFile(const std::string& path) = 0;
  // False when the file cannot be deleted (it is missing, in use, read-only).
  virtual bool TryRemoveFile(const std::string& path) = 0;
  // Moves from onto to, replacing an existing file, for example when to is
  // a running program.
  virtual void MoveReplace(const std::string& from, const std::string& to) = 0;

  // The entries that match pattern (a folder plus a name mask with * and ?),
  // of every attribute; none when nothing matches or the folder cannot be
  // listed. TFind filters them by attributes.
  virtual std::unique_ptr<TFindEnumerator> FindFirst(const std::string& pattern) = 0;

  // The folder that path names, opened as itself: null when it is missing,
  // not a folder, a link, or cannot be opened. The folders above it are
  // followed as the system finds them.
  virtual std::unique_ptr<TFolderHandle> TryOpenFolderNoFollow(const std::string& path) = 0;

  // The drive letters present, upper case, in order ("CD").
  virtual std::string LogicalDrives() = 0;
  virtual TDriveType DriveType(const std::string& root) = 0;
  // The volume label of a drive root ("D:\"), empty when it has none; none
  // when the drive cannot be read, as a drive without its disk.
  virtual std::optional<std::string> VolumeLabel(const std::string& root) = 0;
  virtual std::string CurrentFolder() = 0;
  // The path as the system keeps it: full (a relative one is taken from the
  // current folder), with "." and ".." resolved, and each name that exists in
  // its long form; the names that do not exist yet stay as given, and so does
  // a trailing backslash. Two spellings of one folder ("C:\PROGRA~1\" and
  // "c:\program files\") compare equal, without regard to case, only in
  // this form.
  virtual std::string LongPathName(const std::string& path) = 0;

  virtual TShellFolder GetShellFolder(int csidl) = 0;

  // Saves link as the shell link file linkFile.
  virtual void CreateShellLink(const TShellLink& link, const std::string& linkFile) = 0;
  virtual TShellLink ReadShellLink(const std::string& linkFile) = 0;

  // String values below HKEY_LOCAL_MACHINE; the key is created when missing.
  virtual void WriteRegistryString(const std::string& key, const std::string& name,
                                   const std::string& value) = 0;
  // A number value (a double word) below HKEY_LOCAL_MACHINE, likewise.
  virtual void WriteRegistryNumber(const std::string& key, const std::string& name, uint32_t value) = 0;
  // None when the key or the string value does not exist.
  virtual std::optional<std::string> ReadRegistryString(const std::string& key, const std::string& name) = 0;
  // Deletes a key below HKEY_LOCAL_MACHINE with its values, never with its
  // sub-keys: a key that has any stays. True when the key is not there
  // afterwards, also when it never was.
  virtual bool TryDeleteRegistryKey(const std::string& key) = 0;

  // Starts a program; commandLine quotes a path with blanks.
  virtual void StartProgram(const std::string& commandLine, int showCommand) = 0;
  // Starts a program that the setup installed, without arguments, with the
  // ordinary rights of the user signed in at the desktop: an elevated setup
  // asks the desktop's shell to start it, and starts nothing when no desktop
  // shell answers, so that the program never runs as administrator. Where
  // this process is not elevated it starts as StartProgram starts it.
  // Raises when the program cannot be started.
  virtual void StartProgramAsUser(const std::string& program, int showCommand) = 0;
  // Whether this process holds an administrator's full token.
  virtual bool IsElevated() = 0;
  // Opens a document, a program or a "mailto:" link with its associated
  // program, by the same route as StartProgramAsUser: an elevated process
  // has the desktop's shell open it. False when nothing opens it, an
  // elevated process whose desktop shell does not answer included.
  virtual bool TryShellOpen(const std::string& document) = 0;

  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual TLocalTime LocalTime() = 0;

  // The full path of the running program, whatever its length.
  virtual std::string ProgramPath() = 0;
  // Whether the file at path is the very file this program runs from, told
  // by handle; false when that cannot be told.
  virtual bool IsThisProgram(const std::string& path) = 0;
  // Ends the process at once with the code; nothing after it runs.
  virtual void ExitProcess(int code) = 0;

};
