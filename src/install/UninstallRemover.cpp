#include "install/UninstallRemover.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "install/Uninstall.h"
#include "lib/LIB_Text.h"
#include "platform/FolderHandle.h"
#include "platform/Path.h"

namespace {

// What setup leaves in a folder besides the files that the log names: the
// settings files of the install and upgrade runs and the product's cache.
const char* const kSettingsFiles[] = {"Fotelix.Dat", "FXInst.Dat", "Fotelix.BAK"};
constexpr char kCacheFolder[] = "cache";
// More than a message box can show, of what stayed and of refused lines alike.
constexpr size_t kReportItems = 20;
// Far deeper than the product ever nests its folders; anything deeper stays.
constexpr int kDeepestFolder = 64;

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
