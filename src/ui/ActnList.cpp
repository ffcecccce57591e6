#include "ui/ActnList.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/Controls.h"

TActionList::~TActionList() {
  for (TAction* action : actions_) action->actionList_ = nullptr;
}

void TActionList::SetImages(TCustomImageList* images) {
  if (images == images_.get()) return;
  images_ = TComponentRef<TCustomImageList>(images);
  // A copy: a control's answer may move actions in or out of the list.
  const std::vector<TAction*> actions = actions_;
  for (TAction* action : actions)
    if (std::find(actions_.begin(), actions_.end(), action) != actions_.end()) action->Change();
}

TAction::~TAction() {
  // Leaves quietly: the controls are unlinked, not told of a change.
  Unlist();
  for (TControl* control : clients_) control->action_ = nullptr;
}

void TAction::Unlist() {
  if (!actionList_) return;
  auto& actions = actionList_->actions_;
  actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
  actionList_ = nullptr;
}

void TAction::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Change();
}

void TAction::SetImageIndex(int index) {
  if (index == imageIndex_) return;
  imageIndex_ = index;
  Change();
}

void TAction::SetActionList(TActionList* list) {
  if (list == actionList_) return;
  Unlist();
  actionList_ = list;
  if (actionList_) actionList_->actions_.push_back(this);
  Change();
}

bool TAction::Execute() {
  if (!OnExecute) return false;
  TNotifyEvent handler = OnExecute;  // the handler may free the action
  Application().Dispatch(this, [&] { handler(this); });
  return true;
}

void TAction::Change() {
  // A copy: a control may unlink itself, or another, while it follows.
  const std::vector<TControl*> clients = clients_;
  for (TControl* control : clients)
    if (std::find(clients_.begin(), clients_.end(), control) != clients_.end())
      control->ActionChange(this, false);
}

void TAction::AddClient(TControl* control) { clients_.push_back(control); }

void TAction::RemoveClient(TControl* control) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), control), clients_.end());
}
