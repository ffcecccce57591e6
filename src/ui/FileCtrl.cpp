#include "ui/FileCtrl.h"

#include <algorithm>
#include <optional>
#include <cctype>
#include <stdexcept>

#include "lib/LIB_Text.h"
#include "platform/Find.h"
#include "platform/Path.h"

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// "c:\a\b\" and "C:\A\B" name the same folder; the form kept is the root
// with its backslash, other folders without. Empty for a path that does not
// start at a drive's root.
std::string Normalize(const std::string& path) {
  if (!StartsAtDriveRoot(path)) return std::string();
  std::string folder = DriveRoot(path[0]);
  for (const std::string& name : SplitPath(path))
    if (!name.empty()) folder = JoinPath(folder, name);
  return folder;
}

}  // namespace

// -------------------------------------------------------- TDirectoryListBox

TDirectoryListBox::TDirectoryListBox(TComponent* owner, TPlatform& platform)
    : TWinControl(owner, TControlKind::ListBox), platform_(platform) {
  SetColor(clWindow);
  SetBounds(0, 0, 145, 97);
}

TDirectoryListBox::~TDirectoryListBox() {
  if (driveCombo_) driveCombo_->dirList_ = nullptr;
}

void TDirectoryListBox::SetDirectory(const std::string& path) {
  if (TrySetDirectory(path)) return;
  const std::string folder = Normalize(path);
  if (!folder.empty()) {
    const std::string root = folder.substr(0, 3);
    if (platform_.DriveType(root) != TDriveType::NoRootDir && !platform_.VolumeLabel(root))
      throw std::runtime_error("The drive " + folder.substr(0, 2) + " is not ready.");
  }
  throw std::runtime_error("The folder \"" + path + "\" does not exist.");
}

bool TDirectoryListBox::TrySetDirectory(const std::string& path) {
  if (path.empty()) return true;
  const std::string folder = Normalize(path);
  if (folder.empty() || !platform_.FolderExists(folder)) return false;
  // Read first: a drive that fails halfway leaves the list as it was.
  const std::string before = directory_;
  Fill(folder);
  if (driveCombo_) driveCombo_->Follow(Drive());
  if (before != directory_) Fire(OnChange);
  return true;
}

void TDirectoryListBox::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::List;
  info.Focusable = true;
}

void TDirectoryListBox::SetDrive(char drive) { SetDirectory(DriveRoot(drive)); }

void TDirectoryListBox::Fill(const std::string& directory) {
  std::vector<std::string> subs = ListSubFolders(platform_, directory);
  std::stable_sort(subs.begin(), subs.end(), LessText);
  std::vector<TDirectoryItem> items;
  std::string path = directory.substr(0, 3);
  items.push_back({path, path, 0, true});
  for (const std::string& name : SplitPath(directory)) {
    path = JoinPath(path, name);
    items.push_back({name, path, static_cast<int>(items.size()), true});
  }
  const int current = static_cast<int>(items.size()) - 1;
  for (const std::string& name : subs) items.push_back({name, JoinPath(directory, name), current + 1, false});
  directory_ = directory;
  items_ = std::move(items);
  itemIndex_ = current;
  selected_ = current;
  TWinControl::Changed(TPeerChange::State);
}

void TDirectoryListBox::SelectByUser(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  selected_ = index;
  TWinControl::Changed(TPeerChange::State);
}

void TDirectoryListBox::OpenByUser(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  // Copied: the change handler may refill the items.
  const std::string path = items_[index].Path;
  SetDirectory(path);
  DblClick();
}

// ---------------------------------------------------------- TDriveComboBox

TDriveComboBox::TDriveComboBox(TComponent* owner, TPlatform& platform)
    : TComboBox(owner), platform_(platform) {
  BuildList();
}

TDriveComboBox::~TDriveComboBox() {
  if (dirList_) dirList_->driveCombo_ = nullptr;
}

void TDriveComboBox::BuildList() {
  drives_ = platform_.LogicalDrives();
  std::vector<std::string> items;
  for (char d : drives_) {
    std::string item = std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(d)))) + ":";
    // A removable drive is not asked: without its disk it may keep the user waiting.
    const std::string root = DriveRoot(d);
    const TDriveType type = platform_.DriveType(root);
    const std::optional<std::string> label =
        type == TDriveType::Removable || type == TDriveType::CDRom ? std::nullopt : platform_.VolumeLabel(root);
    if (label && !label->empty()) item += " [" + *label + "]";
    items.push_back(item);
  }
  SetItems(std::move(items));
  Follow(drive_ ? drive_ : (drives_.find('C') != std::string::npos ? 'C' : (drives_.empty() ? '\0' : drives_[0])));
}

void TDriveComboBox::Follow(char drive) {
  drive_ = Upper(drive);
  const size_t index = drives_.find(drive_);
  SetItemIndex(index == std::string::npos || drive_ == '\0' ? -1 : static_cast<int>(index));
}

void TDriveComboBox::SetDrive(char drive) {
  drive = Upper(drive);
  if (drives_.find(drive) == std::string::npos || drive == '\0')
    throw std::runtime_error(std::string("The drive ") + drive + ": is not present.");
  // The list moves first: when the drive cannot be read, the box stays too.
  if (dirList_ && dirList_->Drive() != drive) dirList_->SetDrive(drive);
  const bool changed = drive != drive_;
  Follow(drive);
  if (changed) Fire(OnChange);
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
  if (dirList_) dirList_->driveCombo_ = nullptr;
  dirList_ = list;
  if (!list) return;
  if (list->driveCombo_) list->driveCombo_->dirList_ = nullptr;
  list->driveCombo_ = this;
  if (list->Drive()) Follow(list->Drive());
}

void TDriveComboBox::SelectByUser(int index) {
  if (index < 0 || index >= static_cast<int>(drives_.size())) return;
  try {
    SetDrive(drives_[index]);
  } catch (...) {
    // The box shows the drive it stays on before the error is reported.
    Follow(drive_);
    throw;
  }
}
