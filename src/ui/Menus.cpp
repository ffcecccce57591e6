#include "ui/Menus.h"

#include "ui/Application.h"

void TMenuItem::Click() {
  if (!OnClick) return;
  TNotifyEvent handler = OnClick;  // the handler may free the item
  Application().Dispatch(this, [&] { handler(this); });
}

TMenuItem* TPopupMenu::Add(const std::string& caption, TNotifyEvent onClick) {
  TMenuItem* item = Create<TMenuItem>();
  item->Caption = caption;
  item->OnClick = std::move(onClick);
  items_.push_back(item);
  return item;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) {
    TNotifyEvent handler = OnPopup;
    Application().Dispatch(this, [&] { handler(this); });
  }
  std::vector<std::string> captions;
  for (const TMenuItem* item : items_) captions.push_back(item->Caption);
  // Timers keep running while the menu is shown, and one of them may free
  // the menu; items are only ever added, so an index stays good otherwise.
  const TComponentRef<TPopupMenu> self(this);
  const int chosen = Application().Backend().TrackPopupMenu(captions, {x, y});
  if (!self.get() || chosen < 0 || chosen >= Count()) return;
  TMenuItem* item = items_[static_cast<size_t>(chosen)];
  if (item->Caption != "-") item->Click();
}
