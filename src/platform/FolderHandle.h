#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

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

// A folder held open (TPlatform::TryOpenFolderNoFollow). What is listed,
// opened and removed through it happens in the folder that was opened,
// wherever its path leads by then, and never beyond a link: a folder swapped
// for a link after it was opened redirects nothing. Names are entries' own
// names, without a folder. Its calls tell failure as TPlatform's do.
class TFolderHandle {
 public:
  virtual ~TFolderHandle() = default;
  // Where the folder is now, as the system finds it from the handle: full,
  // in long names, with a trailing backslash; none when it cannot be told.
  virtual std::optional<std::string> FinalPath() = 0;
  // The entries, without "." and "..", with their attributes: a link has
  // faReparsePoint, and faDirectory too when it stands for a folder. None
  // when the folder cannot be listed.
  virtual std::vector<TSearchRec> Entries() = 0;
  // The sub-folder of that name; null when it is missing, a link, not a
  // folder, or cannot be opened.
  virtual std::unique_ptr<TFolderHandle> TryOpenSubFolder(const std::string& name) = 0;
  // Removes the entry of that name itself: a file, a link (never what it
  // leads to), or a folder when it is empty. True when it is not there
  // afterwards, also when it never was.
  virtual bool TryRemove(const std::string& name) = 0;
  // Who, besides the trusted accounts, may change the folder.
  virtual TFolderAccess Access() = 0;
  // Replaces the folder's own access list with the protection of Program
  // Files, which what is made inside then inherits; false when it cannot.
  virtual bool TryProtect() = 0;
};
