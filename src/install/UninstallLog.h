#pragma once
#include <string>
#include <vector>

#include "platform/Platform.h"

// The uninstall log, which the install run writes into the installation
// folder and the carried uninstaller reads there to know what to remove: the
// product's name on the first line, then a line for each thing that the
// install makes, "<", the tag's letter, the operand, ">".

enum class TUninstallTag : char {
  File = 'F',            // a file, by its full path
  DataFolder = 'D',      // the product's data folder, with its trailing backslash
  InstallFolder = 'E',   // the installation folder, likewise
  RegistryKey = 'R',     // a key below HKEY_LOCAL_MACHINE, without the root
  StartMenuGroup = 'S',  // a folder's name in the Start-menu programs folder
  DesktopLink = 'T',     // a link's file name in the desktop folder
};

struct TUninstallLine {
  TUninstallTag Tag;
  std::string Operand;  // between the tag letter and the last ">"
};

// The line as the log holds it, without its line end.
std::string UninstallLineText(const TUninstallLine& line);

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
