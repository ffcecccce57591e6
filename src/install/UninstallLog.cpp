#include "install/UninstallLog.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "install/Uninstall.h"
#include "lib/LIB_Text.h"
#include "platform/FolderHandle.h"
#include "platform/Path.h"

namespace {

// What setup leaves in a folder besides the files that the log names: the
// settings files of the install and upgrade runs and the product's cache.
const char* const kSettingsFiles[] = {"Fotelix.Dat", "FXInst.Dat", "Fotelix.BAK"};
constexpr char kCacheFolder[] = "cache";
// A log of an install holds a dozen lines of paths: a few kilobytes.
constexpr size_t kLogLimit = 64 * 1024;
// More than a message box can show, of what stayed and of refused lines alike.
constexpr size_t kReportItems = 20;
// Far deeper than the product ever nests its folders; anything deeper stays.
constexpr int kDeepestFolder = 64;

std::string Quoted(const TUninstallLine& line) {
  return "\"<" + std::string(1, line.Tag) + line.Operand + ">\"";
}

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

class TRemover {
 public:
  explicit TRemover(TPlatform& os) : os_(os) {}

  void File(const std::string& path) {
    if (!os_.FileExists(path)) return;
    std::unique_ptr<TFolderHandle> folder = OpenRoot(ExtractFilePath(path));
    if (!folder || !folder->TryRemove(ExtractFileName(path))) stayed_.push_back(path);
  }

  // The desktop folder is the system's answer and the link's name is fixed,
  // so the path is taken as it stands: the system never follows a link at
  // the name itself.
  void DesktopLink(const std::string& path) {
    if (!os_.FileExists(path)) return;
    os_.TryRemoveFile(path);
    if (os_.FileExists(path)) stayed_.push_back(path);
  }

  void LinkGroup(const std::string& folder) {
    if (!os_.FolderExists(folder)) return;
    if (std::unique_ptr<TFolderHandle> group = OpenRoot(folder)) {
      for (const TSearchRec& entry : group->Entries())
        if (!(entry.Attr & faDirectory) && entry.Name.size() > 4 &&
            SameText(entry.Name.substr(entry.Name.size() - 4), ".lnk") && !group->TryRemove(entry.Name))
          stayed_.push_back(folder + entry.Name);
    }
    LastFolder(folder);
  }

  void RegistryKey(const std::string& key) {
    if (!os_.TryDeleteRegistryKey(key)) stayed_.push_back("HKEY_LOCAL_MACHINE\\" + key);
  }

  void Tree(const std::string& folder) {
    if (!os_.FolderExists(folder)) return;
    if (std::unique_ptr<TFolderHandle> root = OpenRoot(folder))
      if (const std::optional<std::string> where = root->FinalPath()) Empty(*root, *where, folder, 0);
    LastFolder(folder);
  }

  void SetupFolder(const std::string& folder) {
    if (!os_.FolderExists(folder)) return;
    if (std::unique_ptr<TFolderHandle> root = OpenRoot(folder)) {
      for (const TSearchRec& entry : root->Entries()) {
        const bool isFolder = (entry.Attr & faDirectory) != 0;
        if (!isFolder && IsSettingsFile(entry.Name)) {
          if (!root->TryRemove(entry.Name)) stayed_.push_back(folder + entry.Name);
        } else if (isFolder && !(entry.Attr & faReparsePoint) && SameText(entry.Name, kCacheFolder)) {
          // Only when empty: the product keeps its pictures there when the
          // install could not make a data folder, and the folder refuses
          // to go while it holds any.
          root->TryRemove(entry.Name);
        }
      }
    }
    LastFolder(folder);
  }

  const std::vector<std::string>& Stayed() const { return stayed_; }

 private:
  static bool IsSettingsFile(const std::string& name) {
    for (const char* settings : kSettingsFiles)
      if (SameText(name, settings)) return true;
    return false;
  }

  // The folder that path names, when it is there as itself, not a link, and
  // where its path says, compared in long form without case. A folder that
  // is not is never entered: what lies below it is not this install's.
  std::unique_ptr<TFolderHandle> OpenRoot(const std::string& folder) {
    std::unique_ptr<TFolderHandle> handle = os_.TryOpenFolderNoFollow(folder);
    const std::optional<std::string> where = handle ? handle->FinalPath() : std::nullopt;
    if (!where || !SameText(*where, os_.LongPathName(folder))) handle.reset();
    return handle;
  }

  // Everything in a folder of a tree, depth first. A sub-folder is entered
  // only when it is itself and still lies in the tree; a link is removed
  // itself, never what it leads to.
  void Empty(TFolderHandle& folder, const std::string& root, const std::string& shown, int depth) {
    for (const TSearchRec& entry : folder.Entries()) {
      const bool isFolder = (entry.Attr & faDirectory) && !(entry.Attr & faReparsePoint);
      const std::string path = shown + entry.Name + (isFolder ? "\\" : "");
      if (isFolder && depth < kDeepestFolder) {
        std::unique_ptr<TFolderHandle> sub = folder.TryOpenSubFolder(entry.Name);
        const std::optional<std::string> where = sub ? sub->FinalPath() : std::nullopt;
        if (where && IsBelow(*where, root)) Empty(*sub, root, path, depth + 1);
      }
      if (!folder.TryRemove(entry.Name)) stayed_.push_back(path);
    }
  }

  static bool IsBelow(const std::string& path, const std::string& root) {
    return path.size() > root.size() && SameText(path.substr(0, root.size()), root);
  }

  // Through the handle of the folder above, like any entry, so that a link
  // in its place goes itself; and only when that folder is where its path
  // says: below a link, the folder of that name is someone else's.
  void LastFolder(const std::string& folder) {
    const std::string path = WithoutBackslash(folder);
    std::unique_ptr<TFolderHandle> parent = OpenRoot(ExtractFilePath(path));
    if (!(parent && parent->TryRemove(ExtractFileName(path))) && os_.FolderExists(folder))
      stayed_.push_back(folder);
  }

  TPlatform& os_;
  std::vector<std::string> stayed_;
};

// The items of a list in the report, as many as a message box can show.
void AppendItems(std::string& text, const std::vector<std::string>& items) {
  const size_t shown = std::min(items.size(), kReportItems);
  for (size_t i = 0; i < shown; ++i) text += "\r\n" + items[i];
  if (items.size() > shown) text += "\r\n... and " + std::to_string(items.size() - shown) + " more";
}

}  // namespace

TUninstallLog ParseUninstallLog(const std::string& text) {
  TUninstallLog log;
  bool first = true;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (first) {
      log.Product = line;
      first = false;
    } else if (line.size() >= 3 && line.front() == '<' && line.back() == '>' &&
               std::strchr("FDERST", line[1]) && line[1] != '\0') {
      log.Lines.push_back(TUninstallLine{line[1], line.substr(2, line.size() - 3)});
    } else {
      log.Malformed.push_back(line);
    }
  }
  return log;
}

TUninstallLog ReadUninstallLog(TPlatform& os, const std::string& installDir) {
  const std::string path = installDir + kUninstallLogName;
  // One byte beyond the limit tells a longer file; the rest is never read.
  std::string text(kLogLimit + 1, '\0');
  std::unique_ptr<TFile> file = os.OpenFile(path, TOpenMode::Read);
  text.resize(file->Read(&text[0], text.size()));
  file->Close();
  if (text.size() > kLogLimit)
    throw std::runtime_error("\"" + path + "\" is damaged: it is longer than any uninstall log of " +
                             kProductName + ".");
  TUninstallLog log = ParseUninstallLog(text);
  if (log.Product != kProductName)
    throw std::runtime_error("\"" + path + "\" is not an uninstall log of " + kProductName + ".");
  return log;
}

TUninstallPlan PlanUninstall(TPlatform& os, const TUninstallLog& log, const std::string& installDir) {
  TUninstallPlan plan;
  for (const std::string& line : log.Malformed)
    plan.Refused.push_back("\"" + line + "\" is not a line of an uninstall log");

  // The two folders that an install makes, in long form: a log or a start
  // may name either by a short name. The data folder is this user's.
  const std::string ownDir = os.LongPathName(installDir);
  const std::optional<std::string> localData = os.GetShellFolder(kCsidlLocalAppData).Known();
  const std::string madeDataDir =
      localData ? os.LongPathName(WithBackslash(JoinPath(*localData, kProductName))) : std::string();

  // Each folder that lines name is asked for once: a long log names the
  // same few over and over.
  std::unordered_map<std::string, std::string> longFolders;
  const auto longFolder = [&](const std::string& folder) -> const std::string& {
    const auto known = longFolders.emplace(LowerCase(folder), std::string());
    if (known.second) known.first->second = os.LongPathName(folder);
    return known.first->second;
  };

  // The folders first: they decide which files may go.
  std::vector<TRemovalStep> files, links, groups, keys, dataFolders, installFolders;
  bool ownDirListed = false, madeDataDirListed = false;
  for (const TUninstallLine& line : log.Lines) {
    if (line.Tag != 'D' && line.Tag != 'E') continue;
    std::string problem = PathProblem(os, line.Operand, true);
    if (problem.empty()) {
      const std::string& folder = longFolder(line.Operand);
      if (line.Tag == 'D' && !madeDataDir.empty() && SameText(folder, madeDataDir)) {
        dataFolders.push_back({TRemovalKind::Tree, folder});
        madeDataDirListed = true;
      } else if (SameText(folder, ownDir)) {
        // The "D" line names it too when the install could not make a data
        // folder: only what setup put there goes.
        installFolders.push_back({TRemovalKind::SetupFolder, folder});
        ownDirListed = true;
      } else {
        problem = line.Tag == 'E' ? "is not the folder of this uninstaller"
                                  : "is neither this user's data folder of " + std::string(kProductName) +
                                        " nor the folder of this uninstaller";
      }
    }
    if (!problem.empty()) plan.Refused.push_back(Quoted(line) + " " + problem);
  }

  const std::optional<std::string> desktop = os.GetShellFolder(kCsidlDesktopDirectory).Known();
  const std::optional<std::string> programs = os.GetShellFolder(kCsidlPrograms).Known();
  const std::string linkName = std::string(kProductName) + ".Lnk";
  for (const TUninstallLine& line : log.Lines) {
    std::string problem;
    switch (line.Tag) {
      case 'F': {
        problem = PathProblem(os, line.Operand, false);
        if (!problem.empty()) break;
        // Directly in one of them: a sub-folder might be a link that leads
        // anywhere. The file's own name stays as the log gives it; the
        // removal finds it only by its long name.
        const std::string& folder = longFolder(ExtractFilePath(line.Operand));
        if ((ownDirListed && SameText(folder, ownDir)) || (madeDataDirListed && SameText(folder, madeDataDir)))
          files.push_back({TRemovalKind::File, folder + ExtractFileName(line.Operand)});
        else
          problem = "is not a file of the installation or data folder";
        break;
      }
      case 'T':
        if (!SameText(line.Operand, linkName))
          problem = std::string("is not the desktop link of ") + kProductName;
        else if (!desktop)
          problem = "cannot be found: the desktop folder is unknown";
        else
          links.push_back({TRemovalKind::DesktopLink, JoinPath(*desktop, line.Operand)});
        break;
      case 'S':
        if (!SameText(line.Operand, kProductName))
          problem = std::string("is not the Start-menu group of ") + kProductName;
        else if (!programs)
          problem = "cannot be found: the Start-menu folder is unknown";
        else
          groups.push_back({TRemovalKind::LinkGroup, WithBackslash(JoinPath(*programs, line.Operand))});
        break;
      case 'R':
        if (SameText(line.Operand, kUninstallKey))
          keys.push_back({TRemovalKind::RegistryKey, line.Operand});
        else
          problem = std::string("is not the uninstall entry of ") + kProductName;
        break;
      default:
        break;
    }
    if (!problem.empty()) plan.Refused.push_back(Quoted(line) + " " + problem);
  }

  // Each step once, however often a log repeats it.
  std::unordered_set<std::string> planned;
  for (const auto* part : {&files, &links, &groups, &keys, &dataFolders, &installFolders})
    for (const TRemovalStep& step : *part) {
      const char kind = static_cast<char>('0' + static_cast<int>(step.Kind));
      if (planned.insert(kind + LowerCase(step.Target)).second) plan.Steps.push_back(step);
    }
  return plan;
}

std::vector<std::string> CarryOut(TPlatform& os, const TUninstallPlan& plan) {
  TRemover remover(os);
  for (const TRemovalStep& step : plan.Steps) {
    switch (step.Kind) {
      case TRemovalKind::File: remover.File(step.Target); break;
      case TRemovalKind::DesktopLink: remover.DesktopLink(step.Target); break;
      case TRemovalKind::LinkGroup: remover.LinkGroup(step.Target); break;
      case TRemovalKind::RegistryKey: remover.RegistryKey(step.Target); break;
      case TRemovalKind::Tree: remover.Tree(step.Target); break;
      case TRemovalKind::SetupFolder: remover.SetupFolder(step.Target); break;
    }
  }
  return remover.Stayed();
}

std::string UninstallReport(const TUninstallPlan& plan, const std::vector<std::string>& stayed) {
  std::string text;
  if (!stayed.empty()) {
    text = std::string(kProductName) + " could not be removed completely. These are still there:";
    AppendItems(text, stayed);
  }
  if (!plan.Refused.empty()) {
    if (!text.empty()) text += "\r\n\r\n";
    text += "These lines of the uninstall log were left alone:";
    AppendItems(text, plan.Refused);
  }
  return text;
}
