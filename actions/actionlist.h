// Action lists and the actions that belong to one: the list streams its actions as its
// children, gives them their images, answers shortcut keys for them and can suspend them.
#pragma once

#include <memory>

#include "actions/basicaction.h"
#include "core/list.h"
#include "graphics/shortcuts.h"

namespace tavelo {

class TCustomActionList;
class TCustomImageList;
class TImageListLink;

enum TActionListState { asNormal, asSuspended, asSuspendedEnabled };
TAVELO_ENUM(TActionListState, asNormal, asSuspended, asSuspendedEnabled)

TAVELO_EVENT(TActionEvent, void(TBasicAction* action, bool& handled))

// An action that can belong to an action list.
class TContainedAction : public TBasicAction {
  TAVELO_CLASS(TContainedAction, TBasicAction)
public:
  explicit TContainedAction(TComponent* owner);
  // Leaves its list first.
  ~TContainedAction() override;

  // The list's OnExecute, the application's action-execute event, the own OnExecute, then
  // FM_ACTION_EXECUTE to the application: the first that claims the action ends the chain.
  bool Trigger() override;
  // The same chain with the update events and FM_ACTION_UPDATE.
  bool RefreshState() override;

  const String& Category() const { return category_; }
  void SetCategory(const String& value);
  TCustomActionList* ActionList() const { return actionList_; }
  // Leaves the current list and joins the new one, at its end.
  void SetActionList(TCustomActionList* value);
  // The position in the list, -1 in none.
  int Index() const;
  // Clamped to the list's positions; nothing outside a list.
  void SetIndex(int value);

  TComponent* GetParentComponent() const override;
  bool HasParent() const override;
  // Outside loading, an action list given as parent takes the action.
  void SetParentComponent(TComponent* parent) override;
  // An action read as a child of an action list joins it once its own state is read.
  void ReadState(TReader& reader) override;

private:
  friend class TCustomActionList;
  String category_;
  TCustomActionList* actionList_ = nullptr;
};

class TCustomActionList : public TComponent {
  TAVELO_CLASS(TCustomActionList, TComponent)
public:
  using TConstructorArg = TComponent;

  explicit TCustomActionList(TComponent* owner);
  // Drops the image link, then frees every action still in the list, the last first,
  // whoever owns it.
  ~TCustomActionList() override;

  int ActionCount() const { return actions_.Count(); }
  // Raises EListError SListIndexError.
  TContainedAction* Actions(int index) const { return static_cast<TContainedAction*>(actions_.Get(index)); }
  int IndexOfAction(const TContainedAction* action) const;
  // Appends the action (taking it from the list it was in).
  void InsertAction(TContainedAction* action);
  void ExtractAction(TContainedAction* action);

  // Fires OnChange, then every action's NotifyChanged in list order.
  virtual void NotifyChanged();
  // The list's OnExecute (OnUpdate) with handled preset false: whether it claimed the action.
  virtual bool ExecuteAction(TBasicAction* action);
  virtual bool UpdateAction(TBasicAction* action);

  // A key message (the virtual key in WParam, the key data in LParam): the first action in
  // list order that has its shortcut code, secondary shortcuts included, runs; its answer
  // is the result. False when none has it.
  bool MatchShortCut(const TMessage& keyMessage);
  bool MatchShortCut(TShortCut shortCut);

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TActionListState State() const { return state_; }
  void SetState(TActionListState value);
  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }
  TActionEvent OnExecute() const { return onExecute_; }
  void SetOnExecute(TActionEvent value) { onExecute_ = value; }
  TActionEvent OnUpdate() const { return onUpdate_; }
  void SetOnUpdate(TActionEvent value) { onUpdate_ = value; }

  void Notification(TComponent* component, TOperation operation) override;
  // The actions owned by the root being written, in list order.
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order) override;

protected:
  // The image list's change link calls this with the image list that changed.
  virtual void ImageListChange(TObject* sender);

private:
  friend class TContainedAction;
  friend class TImageListLink;
  TContainedAction* FindAction(const TComponent* component) const;
  TList actions_;
  TCustomImageList* images_ = nullptr;
  std::unique_ptr<TImageListLink> imageLink_;
  TActionListState state_ = asNormal;
  TNotifyEvent onChange_;
  TActionEvent onExecute_;
  TActionEvent onUpdate_;
};

}  // namespace tavelo
