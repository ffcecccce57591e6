#pragma once
// The shared setup state of the running program.

#include <functional>
#include <string>
#include <vector>

#include "install/SetupState.h"

class TPlatform;

extern TSetupState Setup;

// What the pages reach of the operating system and of their own process. The
// program entry puts the real services here before the main window is made;
// tests put their own.
struct TSystemServices {
  // Opens a document or a "mailto:" link with its associated program.
  std::function<void(const std::string& document)> ShellOpen;
  // The full path of the running program, whatever its length.
  std::function<std::string()> ProgramPath;
  // Ends the process at once with the code.
  std::function<void(int code)> ExitProcess;
};
extern TSystemServices System;

// Creates the fourteen wizard pages in their order and hands each to the main
// window's AddPage.
void CreatePages();

// Reads the command line, given as the platform split it (arguments 1 to N,
// quotes removed). The product starts the setup program with
// "/autoupdate <folder>" for an automatic update: that sets AutoUpdate and
// InstallDir (with a trailing "\"). Everything else is ignored.
void ReadCommandLine(const std::vector<std::string>& arguments, TSetupState& state);
