#include "app/Appl_Globals.h"

#include <cctype>
#include <memory>

#include "app/Form_Main.h"
#include "pages/PNL_Disclaimer.h"
#include "pages/PNL_Error.h"
#include "pages/PNL_Install.h"
#include "pages/PNL_InstallChooseConnection.h"
#include "pages/PNL_InstallChooseDir.h"
#include "pages/PNL_InstallChooseDownloadDir.h"
#include "pages/PNL_InstallGo.h"
#include "pages/PNL_InstallInstalling.h"
#include "pages/PNL_InstallReady.h"
#include "pages/PNL_UpgradeFindDir.h"
#include "pages/PNL_UpgradeReady.h"
#include "pages/PNL_UpgradeStart.h"
#include "pages/PNL_UpgradeUpgrading.h"
#include "pages/PNL_Welcome.h"

TSetupState Setup;

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string Trim(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsBlankOrControl(text[first])) ++first;
  while (last > first && IsBlankOrControl(text[last - 1])) --last;
  return text.substr(first, last - first);
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != lowerPrefix[i]) return false;
  return true;
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
  state.InstallDir = Trim(line.substr(kSwitch.size() - 1));
  if (state.InstallDir.back() != '\\') state.InstallDir += '\\';
  state.AutoUpdate = true;
}

namespace {

template <class TPage>
void AddNewPage(TFormMain& form) {
  form.AddPage(std::make_unique<TPage>(nullptr, form));
}

}  // namespace

void CreatePages(TFormMain& form) {
  AddNewPage<TPnlWelcome>(form);
  AddNewPage<TPnlDisclaimer>(form);
  AddNewPage<TPnlInstall>(form);
  AddNewPage<TPnlInstallChooseDir>(form);
  AddNewPage<TPNLInstallChooseDownloadDir>(form);
  AddNewPage<TPNLInstallChooseConnection>(form);
  AddNewPage<TPNLInstallGo>(form);
  AddNewPage<TPNLInstallInstalling>(form);
  AddNewPage<TPNLInstallReady>(form);
  AddNewPage<TPnlUpgradeFindDir>(form);
  AddNewPage<TPNLUpgradeStart>(form);
  AddNewPage<TPNLUpgradeUpgrading>(form);
  AddNewPage<TPNLUpgradeReady>(form);
  AddNewPage<TPnlError>(form);
}
