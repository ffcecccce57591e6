#pragma once
#include <string>
#include <vector>

#include "install/SetupState.h"
#include "install/UninstallLog.h"
#include "platform/Platform.h"

// The two records that let the product be removed again: the uninstall
// entry, which puts it in the system's list of installed programs, and the
// uninstall log, which the carried uninstaller reads to know what to remove.

// The name under which the product is installed, listed and removed.
inline constexpr char kProductName[] = "Fotelix";

// Below HKEY_LOCAL_MACHINE.
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fotelix";
// The log's name in the installation folder, where the uninstaller finds it.
inline constexpr char kUninstallLogName[] = "UnInstall.dat";

// The command that the system runs to uninstall: the uninstaller's path in
// quotes, so that a folder with blanks ("C:\Program Files\...") cannot be
// taken for a shorter program path ("C:\Program.exe").
std::string UninstallCommand(const TSetupState& state);

// Writes "DisplayName", "UninstallString", "NoModify" and "NoRepair" under
// kUninstallKey; raises EPlatformError at the first that cannot be written.
void RegisterUninstaller(TPlatform& os, const TSetupState& state);

// The log's lines after the product's name: 10, or 11 with the desktop
// shortcut. The uninstaller reads the operands as plain paths, so they stay
// unquoted.
std::vector<TUninstallLine> UninstallLogLines(const TSetupState& state);

// Writes InstallDir + "UnInstall.dat" anew: the product's name and the
// lines, each ended by CR LF. Raises EPlatformError at the first failure;
// the lines before it stay written.
void WriteUninstallLog(TPlatform& os, const TSetupState& state);
