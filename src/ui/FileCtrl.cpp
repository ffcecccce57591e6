#include "ui/FileCtrl.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "lib/LIB_Text.h"
#include "platform/Platform.h"

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// "c:\a\b\" and "C:\A\B" name the same folder; the form kept is the root
// with its backslash, other folders without.
std::string Normalize(const std::string& path) {
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\' || !std::isalpha(static_cast<unsigned char>(path[0])))
    throw std::runtime_error("The folder \"" + path + "\" does not exist.");
  std::string result = path;
  result[0] = Upper(result[0]);
  while (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
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
  if (path.empty()) return;
  const std::string folder = Normalize(path);
  if (!platform_.FolderExists(folder)) {
    const std::string root = folder.substr(0, 3);
    std::string label;
    if (platform_.DriveType(root) != TDriveType::NoRootDir && !platform_.VolumeLabel(root, label))
      throw std::runtime_error("The drive " + folder.substr(0, 2) + " is not ready.");
    throw std::runtime_error("The folder \"" + path + "\" does not exist.");
  }
  // Read first: a drive that fails halfway leaves the list as it was.
  const std::string before = directory_;
  Fill(folder);
  if (driveCombo_) driveCombo_->Follow(Drive());
  if (before != directory_) Fire(OnChange);
}

void TDirectoryListBox::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::List;
  info.Focusable = true;
}

void TDirectoryListBox::SetDrive(char drive) { SetDirectory(std::string(1, Upper(drive)) + ":\\"); }

void TDirectoryListBox::Fill(const std::string& directory) {
  std::vector<std::string> subs = ListSubFolders(platform_, directory);
  std::stable_sort(subs.begin(), subs.end(), LessText);
  std::vector<TDirectoryItem> items;
  items.push_back({directory.substr(0, 3), directory.substr(0, 3), 0, true});
  size_t pos = 3;
  std::string path = directory.substr(0, 3);
  while (pos < directory.size()) {
    size_t end = directory.find('\\', pos);
    if (end == std::string::npos) end = directory.size();
    const std::string name = directory.substr(pos, end - pos);
    path += (path.back() == '\\' ? "" : "\\") + name;
    items.push_back({name, path, static_cast<int>(items.size()), true});
    pos = end + 1;
  }
  const int current = static_cast<int>(items.size()) - 1;
  for (const std::string& name : subs)
    items.push_back({name, directory + (directory.back() == '\\' ? "" : "\\") + name, current + 1, false});
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
    std::string label;
    // A removable drive is not asked: without its disk it may keep the user waiting.
    const std::string root = std::string(1, d) + ":\\";
    const TDriveType type = platform_.DriveType(root);
    if (type != TDriveType::Removable && type != TDriveType::CDRom && platform_.VolumeLabel(root, label) &&
        !label.empty())
      item += " [" + label + "]";
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
