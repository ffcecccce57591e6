#pragma once
#include "install/RunProgress.h"
#include "install/SetupState.h"
#include "lib/LIB_Data1_ReadWrite.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

// What the product finds in its settings file after a setup: the folders and
// connection of this setup, the two download addresses of the setup program
// and a block of product defaults. The order of the items is the format; the
// product reads them back in the same order.

// The writer of the file being written, for WriteDefaultSettings; set by the
// whole-file routines for the duration of one file, empty otherwise.
extern TLibData1_ReadWrite* SettingsStore;

// The connection's performance value: 5, 8, 12, 27, 30 for the kinds 0 to 7,
// 20 for "I don't know" (8) and anything unknown.
int32_t PerformanceValue(int32_t connection_kind);

// Tag 203, the name, the value, through SettingsStore.
void WriteSettingPair(TDataOutput& f, const std::string& name, const std::string& value);

// The block of product defaults, through SettingsStore; it ends with tag 0.
void WriteDefaultSettings(TDataOutput& f);

// One whole settings file, with a new key: the install form (InstallerEdition
// first, the cache folder CacheDir) or the upgrade form (no edition, the
// cache folder InstallDir + "Cache\"). The path is created new or truncated
// through the platform; any failure to open, write or close it is raised,
// and the file must then be taken as incomplete. Reports 99 % of the
// progress range before each of the two closing tags.
void WriteSettingsFile(TPlatform& os, const std::string& path, const TSetupState& state,
                       IRunProgress& progress);
void WriteUpgradeSettingsFile(TPlatform& os, const std::string& path, const TSetupState& state,
                              IRunProgress& progress);

// The same into a sink of the caller's, which is closed at the end.
void WriteSettingsFile(TDataSink& file, const TSetupState& state, IRunProgress& progress);
void WriteUpgradeSettingsFile(TDataSink& file, const TSetupState& state, IRunProgress& progress);

// The named defaults of the block, in the order in which they are written.
struct TNamedDefault {
  std::string Name;
  std::string Value;
};
const std::vector<TNamedDefault>& NamedDefaults();

// The two addresses of the setup program itself, on the maker's web site and
// on the mirror.
std::string SetupDownloadAddress1();
std::string SetupDownloadAddress2();
