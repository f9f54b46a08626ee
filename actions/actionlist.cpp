#include "actions/actionlist.h"

#include "actions/actionapp.h"
#include "actions/customaction.h"
#include "actions/imagelink.h"
#include "core/messages.h"
#include "streaming/reader.h"

namespace tavelo {

// ---- TContainedAction ----

TAVELO_PUBLISH(TContainedAction) {
  c.Property("Category", &Self::Category, &Self::SetCategory);
}

TContainedAction::TContainedAction(TComponent* owner) : TBasicAction(owner) {}

TContainedAction::~TContainedAction() {
  if (actionList_) actionList_->ExtractAction(this);
}

bool TContainedAction::Trigger() {
  if (actionList_ && actionList_->ExecuteAction(this)) return true;
  const TActionAppHooks& app = ActionAppHooks();
  if (app.ExecuteAction && app.ExecuteAction(this)) return true;
  if (TBasicAction::Trigger()) return true;
  return app.SendToApplication &&
         app.SendToApplication(FM_ACTION_EXECUTE, 0, reinterpret_cast<std::intptr_t>(static_cast<TBasicAction*>(this))) == 1;
}

bool TContainedAction::RefreshState() {
  if (actionList_ && actionList_->UpdateAction(this)) return true;
  const TActionAppHooks& app = ActionAppHooks();
  if (app.UpdateAction && app.UpdateAction(this)) return true;
  if (TBasicAction::RefreshState()) return true;
  return app.SendToApplication &&
         app.SendToApplication(FM_ACTION_UPDATE, 0, reinterpret_cast<std::intptr_t>(static_cast<TBasicAction*>(this))) == 1;
}

void TContainedAction::SetCategory(const String& value) {
  if (value == category_) return;
  category_ = value;
  if (actionList_) actionList_->NotifyChanged();
}

void TContainedAction::SetActionList(TCustomActionList* value) {
  if (value == actionList_) return;
  if (actionList_) actionList_->ExtractAction(this);
  if (value) value->InsertAction(this);
}

int TContainedAction::Index() const { return actionList_ ? actionList_->IndexOfAction(this) : -1; }

void TContainedAction::SetIndex(int value) {
  if (!actionList_) return;
  int current = Index();
  int count = actionList_->ActionCount();
  if (value < 0) value = 0;
  if (value >= count) value = count - 1;
  if (value != current) actionList_->actions_.Move(current, value);
}

TComponent* TContainedAction::GetParentComponent() const { return actionList_; }

bool TContainedAction::HasParent() const { return actionList_ != nullptr; }

void TContainedAction::SetParentComponent(TComponent* parent) {
  if (ComponentState().Contains(csLoading)) return;
  if (auto* list = DynamicCast<TCustomActionList>(parent)) SetActionList(list);
}

void TContainedAction::ReadState(TReader& reader) {
  TBasicAction::ReadState(reader);
  if (auto* list = DynamicCast<TCustomActionList>(reader.Parent())) SetActionList(list);
}

// ---- TCustomActionList ----

TAVELO_CLASS_IMPL(TCustomActionList)

void TImageListLink::Changed(TCustomActionList& list, TObject* sender) { list.ImageListChange(sender); }

TCustomActionList::TCustomActionList(TComponent* owner) : TComponent(owner), imageLink_(NewImageListLink(*this)) {}

TCustomActionList::~TCustomActionList() {
  imageLink_.reset();
  while (actions_.Count() > 0) delete static_cast<TContainedAction*>(actions_.Last());
}

int TCustomActionList::IndexOfAction(const TContainedAction* action) const {
  return actions_.IndexOf(const_cast<TContainedAction*>(action));
}

void TCustomActionList::InsertAction(TContainedAction* action) {
  // An action in two lists would be freed by both.
  if (action->actionList_) action->actionList_->ExtractAction(action);
  actions_.Add(action);
  action->actionList_ = this;
  action->FreeNotification(this);
}

void TCustomActionList::ExtractAction(TContainedAction* action) {
  if (actions_.Remove(action) >= 0) action->actionList_ = nullptr;
}

void TCustomActionList::NotifyChanged() {
  if (onChange_) onChange_(this);
  for (int i = 0; i < ActionCount(); ++i) Actions(i)->NotifyChanged();
}

bool TCustomActionList::ExecuteAction(TBasicAction* action) {
  bool handled = false;
  if (onExecute_) onExecute_(action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* action) {
  bool handled = false;
  if (onUpdate_) onUpdate_(action, handled);
  return handled;
}

bool TCustomActionList::MatchShortCut(const TMessage& keyMessage) {
  if (keyMessage.WParam > 0xFFFF) return false;
  TShiftState shift = ShiftStateFromKeyData(static_cast<std::int32_t>(keyMessage.LParam));
  return MatchShortCut(MakeShortCut(static_cast<std::uint16_t>(keyMessage.WParam), shift));
}

bool TCustomActionList::MatchShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  for (int i = 0; i < ActionCount(); ++i) {
    auto* action = DynamicCast<TCustomAction>(Actions(i));
    if (action && action->HasShortCut(shortCut)) return action->RunFromShortCut();
  }
  return false;
}

void TCustomActionList::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  TCustomImageList* old = images_;
  images_ = value;
  imageLink_->Move(old, value);
}

void TCustomActionList::ImageListChange(TObject* sender) {
  if (imageLink_->Is(images_, sender)) NotifyChanged();
}

void TCustomActionList::SetState(TActionListState value) {
  if (value == state_) return;
  TActionListState old = state_;
  state_ = value;
  if (value == asSuspended) return;
  for (int i = 0; i < ActionCount(); ++i) {
    TContainedAction* action = Actions(i);
    auto* custom = DynamicCast<TCustomAction>(action);
    if (value == asSuspendedEnabled) {
      if (custom) {
        custom->savedEnabled_ = custom->Enabled();
        custom->enabledSaved_ = true;
        custom->SetEnabled(true);
      }
    } else {
      if (old == asSuspendedEnabled && custom && custom->enabledSaved_) {
        custom->enabledSaved_ = false;
        custom->SetEnabled(custom->savedEnabled_);
      }
      action->RefreshState();
    }
  }
}

void TCustomActionList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (imageLink_ && imageLink_->Is(images_, component)) {
    SetImages(nullptr);
    return;
  }
  // Found by address: a component on its way out may no longer be of its own class.
  if (TContainedAction* action = FindAction(component)) ExtractAction(action);
}

TContainedAction* TCustomActionList::FindAction(const TComponent* component) const {
  for (int i = 0; i < ActionCount(); ++i)
    if (static_cast<const TComponent*>(Actions(i)) == component) return Actions(i);
  return nullptr;
}

void TCustomActionList::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (int i = 0; i < ActionCount(); ++i) {
    TContainedAction* action = Actions(i);
    if (action->Owner() == root) proc(action);
  }
}

void TCustomActionList::SetChildOrder(TComponent* child, int order) {
  if (TContainedAction* action = FindAction(child)) action->SetIndex(order);
}

}  // namespace tavelo
