#pragma once
#include <string>
#include <vector>

#include "install/UninstallLog.h"
#include "platform/Platform.h"

// Which lines of an uninstall log the uninstaller may act on. A line is
// trusted only as far as it names something that an install of the product
// makes, so that a damaged or planted log cannot remove anything else: a
// drive's root, a user's documents, another program's entry.

// In the order in which a plan takes them.
enum class TRemovalKind {
  File,         // a file directly in the installation or data folder
  DesktopLink,  // the desktop link, in the folder that the system names
  LinkGroup,    // a Start-menu group: its links, then the folder if empty
  RegistryKey,  // below HKEY_LOCAL_MACHINE
  Tree,         // the data folder that an install makes, with all it holds
  SetupFolder,  // the installation folder: the settings files and the empty
                // "cache" folder that setup leaves there, then the folder
                // itself if empty
};

struct TRemovalStep {
  TRemovalKind Kind;
  std::string Target;  // a full path (folders end with "\") or a registry key
};

struct TUninstallPlan {
  // Files first, then the links, the registry entry, the data folder, and
  // the installation folder last; each once, however often the log repeats
  // it.
  std::vector<TRemovalStep> Steps;
  // Every line that is left alone, quoted, with the reason.
  std::vector<std::string> Refused;
};

// installDir is the folder that the uninstaller was started from, with its
// trailing backslash. The installation folder's line must name that folder;
// the data folder's line the data folder that an install makes for this
// user, or that folder too (where the install could not make one); file
// lines files directly in either; both sides compared in long form, so that
// a short name matches its long one. Both folders must lie below a local
// drive's root; the registry key, Start-menu group and desktop link must be
// the product's own. The folders of the steps are in long form.
TUninstallPlan PlanUninstall(TPlatform& os, const TUninstallLog& log, const std::string& installDir);
