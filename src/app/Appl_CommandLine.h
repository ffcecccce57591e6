#pragma once
// The setup program's command line: pure functions in a unit of their own,
// which the fuzz build compiles without the rest of the program.

#include <string>
#include <vector>

#include "install/SetupState.h"

// The arguments 1 to N of a whole command line, as GetCommandLineA gives it:
// blanks separate, double quotes group and are removed. A backslash is a
// plain character, so a quoted folder may end in one ("C:\Fotelix\").
std::vector<std::string> CommandLineArguments(const std::string& commandLine);

// Reads the command line, given as CommandLineArguments split it. The
// product starts the setup program with "/autoupdate <folder>" for an
// automatic update: that sets AutoUpdate and InstallDir (with a trailing
// "\"). Everything else is ignored.
void ReadCommandLine(const std::vector<std::string>& arguments, TSetupState& state);
