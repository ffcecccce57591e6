#include "install/UninstallPlan.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "install/Uninstall.h"
#include "lib/LIB_Text.h"
#include "platform/Path.h"

namespace {

std::string Quoted(const TUninstallLine& line) { return "\"" + UninstallLineText(line) + "\""; }

// Why path may not be acted on, or nothing. A name that Windows would read
// as something else ("..", a trailing dot or blank, a stream after ":") or
// that holds a wildcard is refused, so the path means exactly what it says.
std::string PathProblem(TPlatform& os, const std::string& path, bool folder) {
  if (!StartsAtDriveRoot(path)) return "is not a full path on a local drive";
  const TDriveType type = os.DriveType(path.substr(0, 3));
  if (type != TDriveType::Fixed && type != TDriveType::Removable && type != TDriveType::RamDisk)
    return "is not on a local drive";
  if (folder != (path.back() == '\\')) return folder ? "is not a folder" : "is not a file";
  if (path.size() == 3) return "is the root of a drive";
  for (const std::string& name : SplitPath(path)) {
    if (name.empty()) return "holds an empty name";
    if (name.find_first_not_of('.') == std::string::npos) return "holds \"" + name + "\"";
    for (unsigned char c : name)
      if (c < 32 || std::strchr("/:*?\"<>|", c)) return "holds a name that is not a plain file name";
    if (name.back() == '.' || name.back() == ' ') return "holds a name that is not a plain file name";
  }
  return "";
}

bool IsFolderTag(TUninstallTag tag) {
  return tag == TUninstallTag::DataFolder || tag == TUninstallTag::InstallFolder;
}

// The steps that the lines of one log ask for, a tag at a time. Each planning
// of a line gives the reason it is refused, or nothing when it is planned.
class TPlanner {
 public:
  TPlanner(TPlatform& os, const std::string& installDir)
      : os_(os),
        ownDir_(os.LongPathName(installDir)),
        desktop_(os.GetShellFolder(kCsidlDesktopDirectory).Known()),
        programs_(os.GetShellFolder(kCsidlPrograms).Known()) {
    // The two folders that an install makes, in long form: a log or a start
    // may name either by a short name. The data folder is this user's.
    if (const std::optional<std::string> localData = os.GetShellFolder(kCsidlLocalAppData).Known())
      madeDataDir_ = os.LongPathName(WithBackslash(JoinPath(*localData, kProductName)));
  }

  std::string Plan(const TUninstallLine& line) {
    switch (line.Tag) {
      case TUninstallTag::DataFolder:
      case TUninstallTag::InstallFolder: return Folder(line);
      case TUninstallTag::File: return File(line.Operand);
      case TUninstallTag::DesktopLink: return DesktopLink(line.Operand);
      case TUninstallTag::StartMenuGroup: return StartMenuGroup(line.Operand);
      case TUninstallTag::RegistryKey: return RegistryKey(line.Operand);
    }
    return "";
  }

  // In the order of their kinds, each once.
  std::vector<TRemovalStep> Steps() {
    std::stable_sort(steps_.begin(), steps_.end(),
                     [](const TRemovalStep& a, const TRemovalStep& b) { return a.Kind < b.Kind; });
    std::vector<TRemovalStep> once;
    std::unordered_set<std::string> planned;
    for (const TRemovalStep& step : steps_) {
      const char kind = static_cast<char>('0' + static_cast<int>(step.Kind));
      if (planned.insert(kind + LowerCase(step.Target)).second) once.push_back(step);
    }
    return once;
  }

 private:
  std::string Folder(const TUninstallLine& line) {
    const std::string problem = PathProblem(os_, line.Operand, true);
    if (!problem.empty()) return problem;
    const std::string& folder = LongFolder(line.Operand);
    if (line.Tag == TUninstallTag::DataFolder && !madeDataDir_.empty() && SameText(folder, madeDataDir_)) {
      steps_.push_back({TRemovalKind::Tree, folder});
      madeDataDirListed_ = true;
      return "";
    }
    if (SameText(folder, ownDir_)) {
      // The data folder's line names it too when the install could not make
      // a data folder: only what setup put there goes.
      steps_.push_back({TRemovalKind::SetupFolder, folder});
      ownDirListed_ = true;
      return "";
    }
    return line.Tag == TUninstallTag::InstallFolder
               ? "is not the folder of this uninstaller"
               : "is neither this user's data folder of " + std::string(kProductName) +
                     " nor the folder of this uninstaller";
  }

  // Directly in one of the two folders, once their lines are planned: a
  // sub-folder might be a link that leads anywhere. The file's own name stays
  // as the log gives it; the removal finds it only by its long name.
  std::string File(const std::string& path) {
    const std::string problem = PathProblem(os_, path, false);
    if (!problem.empty()) return problem;
    const std::string& folder = LongFolder(ExtractFilePath(path));
    if (!(ownDirListed_ && SameText(folder, ownDir_)) && !(madeDataDirListed_ && SameText(folder, madeDataDir_)))
      return "is not a file of the installation or data folder";
    steps_.push_back({TRemovalKind::File, folder + ExtractFileName(path)});
    return "";
  }

  std::string DesktopLink(const std::string& name) {
    if (!SameText(name, std::string(kProductName) + ".Lnk"))
      return std::string("is not the desktop link of ") + kProductName;
    if (!desktop_) return "cannot be found: the desktop folder is unknown";
    steps_.push_back({TRemovalKind::DesktopLink, JoinPath(*desktop_, name)});
    return "";
  }

  std::string StartMenuGroup(const std::string& name) {
    if (!SameText(name, kProductName)) return std::string("is not the Start-menu group of ") + kProductName;
    if (!programs_) return "cannot be found: the Start-menu folder is unknown";
    steps_.push_back({TRemovalKind::LinkGroup, WithBackslash(JoinPath(*programs_, name))});
    return "";
  }

  std::string RegistryKey(const std::string& key) {
    if (!SameText(key, kUninstallKey)) return std::string("is not the uninstall entry of ") + kProductName;
    steps_.push_back({TRemovalKind::RegistryKey, key});
    return "";
  }

  // Each folder that lines name is asked for once: a long log names the
  // same few over and over.
  const std::string& LongFolder(const std::string& folder) {
    const auto known = longFolders_.emplace(LowerCase(folder), std::string());
    if (known.second) known.first->second = os_.LongPathName(folder);
    return known.first->second;
  }

  TPlatform& os_;
  const std::string ownDir_;
  std::string madeDataDir_;
  const std::optional<std::string> desktop_, programs_;
  bool ownDirListed_ = false, madeDataDirListed_ = false;
  std::unordered_map<std::string, std::string> longFolders_;
  std::vector<TRemovalStep> steps_;
};

}  // namespace

TUninstallPlan PlanUninstall(TPlatform& os, const TUninstallLog& log, const std::string& installDir) {
  TUninstallPlan plan;
  for (const std::string& line : log.Malformed)
    plan.Refused.push_back("\"" + line + "\" is not a line of an uninstall log");
  TPlanner planner(os, installDir);
  // The folders first: they decide which files may go.
  for (const bool folders : {true, false})
    for (const TUninstallLine& line : log.Lines) {
      if (IsFolderTag(line.Tag) != folders) continue;
      const std::string problem = planner.Plan(line);
      if (!problem.empty()) plan.Refused.push_back(Quoted(line) + " " + problem);
    }
  plan.Steps = planner.Steps();
  return plan;
}
