#pragma once
#include <memory>
#include <string>

#include "platform/FolderHandle.h"
#include "platform/Platform.h"

// Trusted folders: the one rule by which an elevated process decides where
// it may write, move and delete, and the protection that the folders it
// makes get.

// Whether path lies in the Program Files folder (or is it), both taken in
// their long form and compared without regard to the case of A to Z.
bool IsInProgramFiles(TPlatform& os, const std::string& path);

// The access list that a new folder gets.
enum class TFolderAcl {
  Inherited,     // what its parent passes on
  ProgramFiles,  // administrators and the system change, users read and run
  ThisUser,      // this process's user, the system and the administrators alone
};

// The access list that TryCreateFolder gives a new folder at path. One closed
// to other users gets the protection of Program Files when an elevated
// process makes it, and belongs to this user alone when a process that is
// not elevated makes it; inside Program Files, and inside the user's profile
// for a process that is not elevated, the parent passes on what it should.
TFolderAcl FolderAclFor(TPlatform& os, const std::string& path, TFolderProtection protection);

// A folder is trusted when it and every level above it is no link, is owned
// by the system, the administrators, the installer service or this
// process's own user, and lets no other account change it: neither add to
// the folder itself, nor, at any level, delete or rename what it holds,
// change its access list or take it over. A level above may let others add
// entries of their own (the root of a drive lets every user make folders):
// they cannot touch the entries on the way. Each level is checked through a
// handle opened as itself, through the handle of the level above. With
// every level closed to other users, nobody but an administrator can swap
// anything between a check and a use: paths within a trusted folder are
// then as safe to use as its handle.
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
  // level above it pass, and TryProtect() makes it trusted.
  bool MayProtect = false;
  bool Trusted() const { return Folder && Failed.empty(); }
};
TFolderCheck CheckFolder(TPlatform& os, const std::string& folder);

// The folder, made where it is missing (each level it makes with
// protection), then checked: a level that someone else made first is
// theirs, and the check says so.
TFolderCheck MakeCheckedFolder(TPlatform& os, const std::string& folder, TFolderProtection protection);
