#pragma once
#include <string>
#include <vector>

// Who this process runs as, and folders made with a protection of their
// own rather than their parent's. The setup program and the uninstaller run
// elevated on most systems; a folder they make under a folder that every
// user may write (the root of a drive, the temporary folder) would otherwise
// let any user replace what an administrator runs from it later.

// True when the process holds an administrator's full token: elevated, or an
// administrator on a system without elevation.
bool IsElevated();

// The security identifier of the user this process runs as, in its text form
// ("S-1-5-21-..."); empty when the token cannot be read.
std::string CurrentUserSid();

// The protection that the Program Files folder has: SYSTEM and the
// administrators have full control, the users read and execute; nothing is
// inherited from the parent, and what is made inside inherits the same.
inline constexpr char kProgramFilesProtection[] =
    "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

// The protection of a folder that belongs to this process's user alone:
// that user, the system and the administrators have full control, nothing is
// inherited from the parent. Empty when the user cannot be told.
std::string ThisUserProtection();

// The accounts that may change what an elevated setup trusts: the system,
// the administrators, the installer service and this process's own user.
class TTrustedAccounts {
 public:
  TTrustedAccounts();
  // sid: the system's PSID.
  bool Holds(void* sid) const;

 private:
  std::vector<std::vector<char>> sids_;
};

// Makes one folder whose protection is the security descriptor that sddl
// describes. False when it cannot be made, an existing folder included, with
// the system's reason as the last error.
bool CreateProtectedFolder(const std::string& path, const std::string& sddl);

// Asks the desktop's shell to open the file (a program, a document or a
// "mailto:" link), without arguments, shown as showCommand: what it starts
// then runs as the user signed in at the desktop, with that user's ordinary
// rights, whatever this process holds. False when no desktop shell answers
// (none runs, or it lacks a step of the way) or it refuses.
bool OpenThroughDesktopShell(const std::string& file, int showCommand);
