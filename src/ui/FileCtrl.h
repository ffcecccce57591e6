#pragma once
// The folder list and the drive box bound to it. Both read the drives and
// folders through the platform they are given, so that a simulated Windows
// can stand behind them in tests.

#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/StdCtrls.h"

class TPlatform;

class TDriveComboBox;

struct TDirectoryItem {
  std::string Caption;  // "C:\" for the root, else the folder's name
  std::string Path;     // the folder the item stands for
  int Level = 0;        // indent: the root is 0
  bool Open = false;    // the current folder or one above it
};

// The folder tree of one drive: the folders from the root down to the
// current folder, then the current folder's sub-folders in name order.
class TDirectoryListBox : public TWinControl {
 public:
  TDirectoryListBox(TComponent* owner, TPlatform& platform);
  ~TDirectoryListBox() override;
  std::string ClassName() const override { return "TDirectoryListBox"; }

  // The current folder: a drive root with its backslash ("C:\"), others
  // without one ("C:\Program Files").
  const std::string& Directory() const { return directory_; }
  // Points the list at a folder; OnChange runs when the current folder
  // changes. An empty path leaves the list as it is; a missing folder or a
  // drive that cannot be read is an error, and the list keeps its folder.
  void SetDirectory(const std::string& path);
  // The same, for the callers to whom a folder that is not there is an
  // ordinary answer: false then, and the list keeps its folder.
  bool TrySetDirectory(const std::string& path);
  char Drive() const { return directory_.empty() ? '\0' : directory_[0]; }
  // Moves to the root of the drive.
  void SetDrive(char drive);

  const std::vector<TDirectoryItem>& Items() const { return items_; }
  // The item of the current folder.
  int ItemIndex() const { return itemIndex_; }
  int ItemHeight = 16;

  TNotifyEvent OnChange;
  // The user selects an item (the current folder stays) or opens one.
  void SelectByUser(int index);
  void OpenByUser(int index);
  int SelectedIndex() const { return selected_; }

  TDriveComboBox* DriveCombo() const { return driveCombo_; }
  void DescribeAccessible(TAccessibleInfo& info) const override;

 private:
  friend class TDriveComboBox;
  void Fill(const std::string& directory);

  TPlatform& platform_;
  std::string directory_;
  std::vector<TDirectoryItem> items_;
  int itemIndex_ = -1;
  int selected_ = -1;
  TDriveComboBox* driveCombo_ = nullptr;
};

// The drives present, "c: [label]"; choosing one moves the bound folder list
// to it, and the box follows the list's drive.
class TDriveComboBox : public TComboBox {
 public:
  TDriveComboBox(TComponent* owner, TPlatform& platform);
  ~TDriveComboBox() override;
  std::string ClassName() const override { return "TDriveComboBox"; }

  char Drive() const { return drive_; }
  // Chooses a drive that is present; the bound list moves to its root.
  void SetDrive(char drive);
  TDirectoryListBox* DirList() const { return dirList_; }
  void SetDirList(TDirectoryListBox* list);
  // Reads the drives again.
  void BuildList();

  void SelectByUser(int index) override;

 private:
  friend class TDirectoryListBox;
  void Follow(char drive);

  TPlatform& platform_;
  std::string drives_;
  char drive_ = '\0';
  TDirectoryListBox* dirList_ = nullptr;
};
