#include "app/Appl_CommandLine.h"

#include "lib/LIB_Text.h"
#include "platform/Path.h"

namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& lowerPrefix) {
  return LowerCase(text.substr(0, lowerPrefix.size())) == lowerPrefix;
}

}  // namespace

std::vector<std::string> CommandLineArguments(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string argument;
  bool inArgument = false;
  bool quoted = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inArgument = true;  // "" is an empty argument
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) arguments.push_back(argument);
      argument.clear();
      inArgument = false;
    } else {
      argument += c;
      inArgument = true;
    }
  }
  if (inArgument) arguments.push_back(argument);
  // The first is the program itself.
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

void ReadCommandLine(const std::vector<std::string>& arguments, TSetupState& state) {
  // Joined back with single blanks, so a folder with blanks works whether or
  // not the product quoted it.
  std::string line;
  for (const std::string& argument : arguments) line += argument + ' ';
  line = Trim(line);

  // The switch must be followed by a blank, so "/autoupdate" alone does nothing.
  static const std::string kSwitch = "/autoupdate ";
  if (!StartsWithIgnoringCase(line, kSwitch)) return;
  state.InstallDir = WithBackslash(Trim(line.substr(kSwitch.size() - 1)));
  state.AutoUpdate = true;
}
