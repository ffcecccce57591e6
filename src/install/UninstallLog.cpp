#include "install/UninstallLog.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "install/Uninstall.h"
#include "lib/LIB_Text.h"

namespace {

// What setup leaves in a folder besides the files that the log names: the
// settings files of the install and upgrade runs and the product's cache.
const char* const kSettingsFiles[] = {"Fotelix.Dat", "FXInst.Dat", "Fotelix.BAK"};
constexpr char kCacheFolder[] = "cache";

std::string Quoted(const TUninstallLine& line) {
  return "\"<" + std::string(1, line.Tag) + line.Operand + ">\"";
}

// Why path may not be acted on, or nothing. A name that Windows would read
// as something else ("..", a trailing dot or blank, a stream after ":") or
// that holds a wildcard is refused, so the path means exactly what it says.
std::string PathProblem(TPlatform& os, const std::string& path, bool folder) {
  const char drive = LowerCase(path.empty() ? '\0' : path[0]);
  if (path.size() < 3 || drive < 'a' || drive > 'z' || path[1] != ':' || path[2] != '\\')
    return "is not a full path on a local drive";
  const TDriveType type = os.DriveType(path.substr(0, 3));
  if (type != TDriveType::Fixed && type != TDriveType::Removable && type != TDriveType::RamDisk)
    return "is not on a local drive";
  if (folder != (path.back() == '\\')) return folder ? "is not a folder" : "is not a file";
  if (path.size() == 3) return "is the root of a drive";
  const std::string body = WithoutBackslash(path.substr(3));
  size_t start = 0;
  for (;;) {
    const size_t end = std::min(body.find('\\', start), body.size());
    const std::string name = body.substr(start, end - start);
    if (name.empty()) return "holds an empty name";
    if (name.find_first_not_of('.') == std::string::npos) return "holds \"" + name + "\"";
    for (unsigned char c : name)
      if (c < 32 || std::strchr("/:*?\"<>|", c)) return "holds a name that is not a plain file name";
    if (name.back() == '.' || name.back() == ' ') return "holds a name that is not a plain file name";
    if (end == body.size()) return "";
    start = end + 1;
  }
}

bool IsLink(TPlatform& os, const std::string& path) {
  std::unique_ptr<TFindEnumerator> found = os.FindFirst(WithoutBackslash(path));
  TSearchRec rec;
  return found && found->Next(rec) && (rec.Attr & faReparsePoint);
}

class TRemover {
 public:
  explicit TRemover(TPlatform& os) : os_(os) {}

  void File(const std::string& path) {
    if (!os_.FileExists(path)) return;
    os_.RemoveFile(path);
    if (os_.FileExists(path)) stayed_.push_back(path);
  }

  void LinkGroup(const std::string& folder) {
    if (!os_.FolderExists(folder)) return;
    if (!IsLink(os_, folder)) {
      for (const TSearchRec& entry : Entries(folder))
        if (!(entry.Attr & faDirectory) && entry.Name.size() > 4 &&
            SameText(entry.Name.substr(entry.Name.size() - 4), ".lnk"))
          File(folder + entry.Name);
    }
    LastFolder(folder);
  }

  void RegistryKey(const std::string& key) {
    if (!os_.DeleteRegistryKey(key)) stayed_.push_back("HKEY_LOCAL_MACHINE\\" + key);
  }

  void Tree(const std::string& folder) {
    if (!os_.FolderExists(folder)) return;
    if (IsLink(os_, folder)) {
      Link(WithoutBackslash(folder));
      return;
    }
    for (const TSearchRec& entry : Entries(folder)) {
      const std::string path = folder + entry.Name;
      if (entry.Attr & faReparsePoint)
        Link(path);
      else if (entry.Attr & faDirectory)
        Tree(path + "\\");
      else
        File(path);
    }
    LastFolder(folder);
  }

  void SetupFolder(const std::string& folder) {
    if (!os_.FolderExists(folder)) return;
    for (const char* name : kSettingsFiles) File(folder + name);
    const std::string cache = folder + kCacheFolder;
    // Only when empty: the system refuses to remove a folder that is not.
    if (os_.FolderExists(cache) && !IsLink(os_, cache)) os_.DeleteFolder(cache);
    LastFolder(folder);
  }

  const std::vector<std::string>& Stayed() const { return stayed_; }

 private:
  std::vector<TSearchRec> Entries(const std::string& folder) {
    std::vector<TSearchRec> entries;
    TFind find(os_, folder + "*", faAnyFile);
    TSearchRec rec;
    while (find.Next(rec))
      if (rec.Name != "." && rec.Name != "..") entries.push_back(rec);
    return entries;
  }

  // A link is removed itself, never what it leads to, whether it leads to
  // a folder or a file.
  void Link(const std::string& path) {
    if (os_.FolderExists(path))
      os_.DeleteFolder(path);
    else
      os_.RemoveFile(path);
    if (os_.FolderExists(path) || os_.FileExists(path)) stayed_.push_back(path);
  }

  void LastFolder(const std::string& folder) {
    os_.DeleteFolder(WithoutBackslash(folder));
    if (os_.FolderExists(folder)) stayed_.push_back(folder);
  }

  TPlatform& os_;
  std::vector<std::string> stayed_;
};

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
  TUninstallLog log = ParseUninstallLog(ReadWholeFile(os, path));
  if (log.Product != kProductName)
    throw std::runtime_error("\"" + path + "\" is not an uninstall log of " + kProductName + ".");
  return log;
}

TUninstallPlan PlanUninstall(TPlatform& os, const TUninstallLog& log, const std::string& installDir) {
  TUninstallPlan plan;
  for (const std::string& line : log.Malformed)
    plan.Refused.push_back("\"" + line + "\" is not a line of an uninstall log");

  // The data folder that an install makes for this user.
  std::string madeDataDir;
  if (os.GetShellFolder(kCsidlLocalAppData, madeDataDir) == 0 && !madeDataDir.empty())
    madeDataDir += std::string("\\") + kProductName + "\\";
  else
    madeDataDir.clear();

  // The folders first: they decide which files may go.
  std::vector<TRemovalStep> files, links, groups, keys, dataFolders, installFolders;
  std::vector<std::string> fileRoots;
  for (const TUninstallLine& line : log.Lines) {
    if (line.Tag != 'D' && line.Tag != 'E') continue;
    std::string problem = PathProblem(os, line.Operand, true);
    if (problem.empty() && line.Tag == 'E' && !SameText(line.Operand, installDir))
      problem = "is not the folder of this uninstaller";
    if (!problem.empty()) {
      plan.Refused.push_back(Quoted(line) + " " + problem);
    } else if (line.Tag == 'E') {
      installFolders.push_back({TRemovalKind::SetupFolder, line.Operand});
      fileRoots.push_back(line.Operand);
    } else if (SameText(line.Operand, madeDataDir)) {
      dataFolders.push_back({TRemovalKind::Tree, line.Operand});
      fileRoots.push_back(line.Operand);
    } else {
      // Another user's data folder, or the installation folder when the
      // install could not make one: only what setup put there goes.
      dataFolders.push_back({TRemovalKind::SetupFolder, line.Operand});
    }
  }

  std::string desktop, programs;
  const bool hasDesktop = os.GetShellFolder(kCsidlDesktopDirectory, desktop) == 0 && !desktop.empty();
  const bool hasPrograms = os.GetShellFolder(kCsidlPrograms, programs) == 0 && !programs.empty();
  const std::string linkName = std::string(kProductName) + ".Lnk";
  for (const TUninstallLine& line : log.Lines) {
    std::string problem;
    switch (line.Tag) {
      case 'F':
        problem = PathProblem(os, line.Operand, false);
        if (problem.empty()) {
          // Directly in one of them: a sub-folder might be a link that leads
          // anywhere.
          bool inside = false;
          for (const std::string& root : fileRoots)
            inside = inside || SameText(ExtractFilePath(line.Operand), root);
          if (!inside) problem = "is not a file of the installation or data folder";
        }
        if (problem.empty()) files.push_back({TRemovalKind::File, line.Operand});
        break;
      case 'T':
        if (!SameText(line.Operand, linkName))
          problem = std::string("is not the desktop link of ") + kProductName;
        else if (!hasDesktop)
          problem = "cannot be found: the desktop folder is unknown";
        else
          links.push_back({TRemovalKind::File, desktop + "\\" + line.Operand});
        break;
      case 'S':
        if (!SameText(line.Operand, kProductName))
          problem = std::string("is not the Start-menu group of ") + kProductName;
        else if (!hasPrograms)
          problem = "cannot be found: the Start-menu folder is unknown";
        else
          groups.push_back({TRemovalKind::LinkGroup, programs + "\\" + line.Operand + "\\"});
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

  for (const auto* part : {&files, &links, &groups, &keys, &dataFolders, &installFolders})
    for (const TRemovalStep& step : *part) {
      bool planned = false;
      for (const TRemovalStep& earlier : plan.Steps)
        planned = planned || (earlier.Kind == step.Kind && SameText(earlier.Target, step.Target));
      if (!planned) plan.Steps.push_back(step);
    }
  return plan;
}

std::vector<std::string> CarryOut(TPlatform& os, const TUninstallPlan& plan) {
  TRemover remover(os);
  for (const TRemovalStep& step : plan.Steps) {
    switch (step.Kind) {
      case TRemovalKind::File: remover.File(step.Target); break;
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
    for (const std::string& item : stayed) text += "\r\n" + item;
  }
  if (!plan.Refused.empty()) {
    if (!text.empty()) text += "\r\n\r\n";
    text += "These lines of the uninstall log were left alone:";
    for (const std::string& line : plan.Refused) text += "\r\n" + line;
  }
  return text;
}
