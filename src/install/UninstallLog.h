#pragma once
#include <string>
#include <vector>

#include "platform/Platform.h"

// The uninstaller's side of the uninstall log: reading it, deciding which of
// its lines may be acted on, and removing what they name. A line is trusted
// only as far as it names something that an install of the product makes, so
// that a damaged or planted log cannot remove anything else: a drive's root,
// a user's documents, another program's entry.

struct TUninstallLine {
  char Tag;             // F, D, E, R, S or T
  std::string Operand;  // between the tag letter and the last ">"
};

struct TUninstallLog {
  std::string Product;                 // the first line
  std::vector<TUninstallLine> Lines;   // the well-formed lines after it, in order
  std::vector<std::string> Malformed;  // the other lines, as they stand
};

// Lines end with CR LF or a bare LF; empty lines are skipped.
TUninstallLog ParseUninstallLog(const std::string& text);

// Reads and parses installDir + "UnInstall.dat". Raises EPlatformError when
// the file cannot be read and std::runtime_error when it is not a log of
// this product or is longer than any log an install writes (64 KB), which
// is read no further.
TUninstallLog ReadUninstallLog(TPlatform& os, const std::string& installDir);

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
  // the installation folder last.
  std::vector<TRemovalStep> Steps;
  // Every line that is left alone, quoted, with the reason.
  std::vector<std::string> Refused;
};

// installDir is the folder that the uninstaller was started from, with its
// trailing backslash. The "E" line must name that folder; a "D" line the data
// folder that an install makes for this user, or that folder too (where the
// install could not make one); "F" lines files directly in either; both
// sides compared in long form, so that a short name matches its long one. "D"
// and "E" must be folders below a local drive's root; "R", "S" and "T" must
// name the product's own entry, Start-menu group and desktop link. The
// folders of the steps are in long form.
TUninstallPlan PlanUninstall(TPlatform& os, const TUninstallLog& log, const std::string& installDir);

// Carries out the steps and returns what is still there, one line per item.
// What is already gone counts as removed. A folder is opened as itself and
// everything in it goes through its handle, so that a folder swapped for a
// link meanwhile redirects nothing: a folder that is a link, or that is no
// longer where its path says, is not entered. Links (reparse points) inside
// a folder are removed themselves, never what they lead to.
std::vector<std::string> CarryOut(TPlatform& os, const TUninstallPlan& plan);

// The closing message: what stayed and which lines were left alone, the
// first 20 of each and then how many more; empty when there is nothing to
// report.
std::string UninstallReport(const TUninstallPlan& plan, const std::vector<std::string>& stayed);
