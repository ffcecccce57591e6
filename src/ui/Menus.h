#pragma once
// Popup menus: a list of items, each with a caption and a click handler,
// shown at a screen position until the user picks an item or dismisses it.
// The backend shows the menu and waits; the chosen item's handler then runs
// through the application's dispatch point, with the item as sender.

#include <memory>
#include <string>
#include <vector>

#include "ui/Classes.h"

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}

  std::string Caption;  // "&" marks the access key; "-" makes a separator
  TNotifyEvent OnClick;
  // Runs OnClick through the dispatch point.
  void Click();
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}

  // The items, in menu order; the menu owns them.
  const std::vector<TMenuItem*>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Add(const std::string& caption, TNotifyEvent onClick = nullptr);

  // Runs just before the menu shows.
  TNotifyEvent OnPopup;
  // Shows the menu with its top-left corner at a screen position and returns
  // once it has closed, after the chosen item's handler has run.
  void Popup(int x, int y);

 private:
  std::vector<TMenuItem*> items_;
};
