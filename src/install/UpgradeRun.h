#pragma once
#include <string>

#include "install/RunProgress.h"
#include "install/SetupState.h"
#include "platform/Platform.h"

// The upgrade run: replaces the program file and the uninstaller in
// InstallDir and writes "Fotelix.BAK" beside them. It deletes nothing and
// leaves shortcuts, the uninstall entry, the log and the user's settings
// files alone.

// How often the program file is tried, and the seconds between tries.
inline constexpr int kUpgradeAttempts = 21;
inline constexpr int kUpgradeRetrySeconds = 15;

// The notice shown while the program file is in use.
std::string UpgradeRetryMessage(int attempt);

// The installed product's program file in installDir.
std::string ProductProgram(const std::string& installDir);

// Whether the file is a copy of the product that this setup may replace:
// its first byte, read as the settings reader reads one, is below 231 (a
// program file starts with 77). False when it cannot be read.
bool IsProductCopy(TPlatform& os, const std::string& program);

// Whether an upgrade may write into dir: always without elevation, which
// writes nowhere its user could not; elevated, when dir is trusted, or is
// owned by a trusted account and only its own access list is open, which
// the upgrade then replaces with Program Files' protection.
bool MayUpgrade(TPlatform& os, const std::string& dir);

// The whole upgrade: gives InstallDir its trailing backslash; refuses one
// that is not a full folder name within the path limit (std::invalid_argument
// naming it), since an automatic update takes it from a command line; takes
// it in its long form and refuses it when it, or a folder above it, is a
// link to another place; elevated, refuses a folder that MayUpgrade refuses,
// protects one that it allows, saying so in the status line, and for an
// automatic update refuses an existing folder without a copy of the product;
// creates the folder when missing (the levels it makes closed to other
// users), raising an error that names it when it cannot be made; waits three
// seconds first for an automatic update, so that the product that started
// the update can end; writes the program file, trying again while it is in
// use (not when the disk is full: that is raised at once) with a notice in
// the status line, and raises, with the last cause, when the last attempt
// fails too; writes the uninstaller and "Fotelix.BAK", raising on failure of
// either; shows 100 %. Then, for an automatic update, starts the product
// maximised as the signed-in user (raising when it cannot be started, and
// skipping the start where no desktop shell would start it as that user).
// What comes next, the finished page or the end of the process, is the
// caller's.
void RunUpgrade(TPlatform& os, TSetupState& state, IRunProgress& progress);
