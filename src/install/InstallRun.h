#pragma once
#include <cstdint>
#include <string>

#include "install/RunProgress.h"
#include "install/SetupState.h"
#include "platform/Platform.h"
#include "platform/TrustedFolder.h"

// The install run: everything the installing page does between being shown
// and switching to the finished page, with no control and no Windows header
// in sight. The page hands in its progress display.

// Creates the folder with its parents, or else as a single level, with
// protection. Reports nothing: callers look for the folder afterwards.
void MakeFolder(TPlatform& os, const std::string& path, TFolderProtection protection);

// Saves one shell link. An icon index below 0 leaves the icon unset;
// otherwise the icon is that index of the target. Raises when the link
// cannot be made.
void CreateShortcut(TPlatform& os, const std::string& target, const std::string& linkFile,
                    const std::string& description, const std::string& arguments, int iconIndex);

// The addresses that the Start-menu group links to.
std::string ProductPageAddress();
std::string ManualAddress();

// The bar's range for the install run: the program file's span and a
// thirtieth more for the steps after it.
int32_t InstallProgressMax();

// The sentence that refuses to verb ("install", "update") Fotelix in dir,
// whose check failed: which level is a link or can be changed by others.
std::string FolderRefusal(const std::string& verb, const std::string& dir, const TFolderCheck& check);

// The whole install: settles InstallDir (the levels it makes for it closed
// to other users), DataDir and CacheDir in state; refuses an installation
// folder that is a link to another place and, when elevated, one that is not
// trusted (CheckFolder); ends on a chosen folder that exists but takes no
// files; writes
// the program file (with progress), the uninstaller, the Start-menu group
// and optional desktop link, the uninstall entry, the two settings files
// and the uninstall log. A failure to write the program file or the
// settings file in DataDir, and the refusal, are raised and end the run with
// what was made so far left in place; every other step swallows its own
// failures. The switch to the finished page is the caller's.
void RunInstall(TPlatform& os, TSetupState& state, IRunProgress& progress);
