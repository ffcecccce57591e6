#pragma once
// Actions: one command with its caption and picture, shared by the controls
// linked to it. A control takes the action's values when it is linked and
// again whenever the action changes, and a click on it runs the action
// unless the control has a click handler of its own. Links never dangle:
// freeing an action unlinks its controls and its list, freeing a control or
// a list unlinks it from its actions.

#include <string>
#include <vector>

#include "ui/Classes.h"
#include "ui/ImgList.h"

class TAction;
class TControl;

class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;

  // The pictures the actions' image indexes refer to; not owned.
  TCustomImageList* Images() const { return images_.get(); }
  // The controls of every action of the list follow.
  void SetImages(TCustomImageList* images);

  const std::vector<TAction*>& Actions() const { return actions_; }

 private:
  friend class TAction;
  TComponentRef<TCustomImageList> images_;
  std::vector<TAction*> actions_;
};

class TAction : public TComponent {
 public:
  explicit TAction(TComponent* owner) : TComponent(owner) {}
  ~TAction() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // -1: no picture.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  TActionList* ActionList() const { return actionList_; }
  void SetActionList(TActionList* list);

  TNotifyEvent OnExecute;
  // Runs OnExecute, with the action as sender, through the application's
  // dispatch point; false when there is no handler.
  bool Execute();

  // Tells every linked control that the action has changed.
  void Change();

  const std::vector<TControl*>& Clients() const { return clients_; }

 private:
  friend class TActionList;
  friend class TControl;
  void AddClient(TControl* control);
  void RemoveClient(TControl* control);
  void Unlist();

  std::string caption_;
  int imageIndex_ = -1;
  TActionList* actionList_ = nullptr;
  std::vector<TControl*> clients_;
};
