#pragma once
// The name of every wizard page: its tab sheet's name and what ShowPage is
// given, so that a mistyped one does not compile.

namespace PageName {

inline constexpr char PnlWelcome[] = "PnlWelcome";
inline constexpr char PnlDisclaimer[] = "PnlDisclaimer";
inline constexpr char PnlInstall[] = "PnlInstall";
inline constexpr char PnlInstallChooseDir[] = "PnlInstallChooseDir";
inline constexpr char PNLInstallChooseDownloadDir[] = "PNLInstallChooseDownloadDir";
inline constexpr char PNLInstallChooseConnection[] = "PNLInstallChooseConnection";
inline constexpr char PNLInstallGo[] = "PNLInstallGo";
inline constexpr char PNLInstallInstalling[] = "PNLInstallInstalling";
inline constexpr char PNLInstallReady[] = "PNLInstallReady";
inline constexpr char PnlUpgradeFindDir[] = "PnlUpgradeFindDir";
inline constexpr char PNLUpgradeStart[] = "PNLUpgradeStart";
inline constexpr char PNLUpgradeUpgrading[] = "PNLUpgradeUpgrading";
inline constexpr char PNLUpgradeReady[] = "PNLUpgradeReady";
inline constexpr char PnlError[] = "PnlError";

}  // namespace PageName
