#include "actions/basicaction.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TBasicActionLink)

TBasicActionLink::TBasicActionLink(TObject* client) { BindClient(client); }

TBasicActionLink::~TBasicActionLink() {
  if (action_) action_->DetachLink(this);
}

void TBasicActionLink::BindClient(TObject*) {}

void TBasicActionLink::NotifyChanged() {
  if (onChange_) onChange_(action_);
}

void TBasicActionLink::RebindAction(TBasicAction* action) {
  if (action == action_) return;
  if (action_) action_->DetachLink(this);
  action_ = action;
  if (action) action->AttachLink(this);
}

bool TBasicActionLink::Trigger(TComponent*) { return action_ && action_->Trigger(); }

bool TBasicActionLink::RefreshState() { return action_ && action_->RefreshState(); }

void TBasicActionLink::PushOnExecute(TNotifyEvent) {}

// ---- TBasicAction ----

TAVELO_CLASS_IMPL(TBasicAction)

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {
  // The components ask their offered actions through these (TryRunAction).
  static const bool hooked = [] {
    TActionTargetHooks& hooks = ActionTargetHooks();
    hooks.AcceptsTarget = [](TBasicAction* action, TComponent* target) { return action->AcceptsTarget(target); };
    hooks.RunOnTarget = [](TBasicAction* action, TComponent* target) { action->RunOnTarget(target); };
    hooks.RefreshOnTarget = [](TBasicAction* action, TComponent* target) { action->RefreshOnTarget(target); };
    return true;
  }();
  (void)hooked;
}

TBasicAction::~TBasicAction() {
  // Partners hear of the end while the links still name this action, so that a client can
  // tell its own action went and drop its link.
  TearDownComponent();
  while (clients_.Count() > 0) {
    auto* link = static_cast<TBasicActionLink*>(clients_.Last());
    link->action_ = nullptr;
    clients_.Delete(clients_.Count() - 1);
  }
}

bool TBasicAction::Trigger() {
  if (!onExecute_) return false;
  onExecute_(this);
  return true;
}

bool TBasicAction::RefreshState() {
  if (!onUpdate_) return false;
  onUpdate_(this);
  return true;
}

void TBasicAction::NotifyChanged() {
  if (onChange_) onChange_(this);
}

bool TBasicAction::PrepareHint(String&) { return true; }

bool TBasicAction::AcceptsTarget(TComponent*) { return false; }
void TBasicAction::RefreshOnTarget(TComponent*) {}
void TBasicAction::RunOnTarget(TComponent*) {}

void TBasicAction::AttachLink(TBasicActionLink* link) {
  // A link is in one action's clients exactly while it names that action.
  if (link->action_) link->action_->DetachLink(link);
  link->action_ = this;
  clients_.Add(link);
}

void TBasicAction::DetachLink(TBasicActionLink* link) {
  int index = clients_.IndexOf(link);
  if (index < 0) return;
  link->action_ = nullptr;
  clients_.Delete(index);
}

void TBasicAction::SetOnExecuteHandler(TNotifyEvent value) {
  if (value.Code() == onExecute_.Code() && value.Data() == onExecute_.Data()) return;
  for (int i = 0; i < ClientCount(); ++i) Clients(i)->PushOnExecute(value);
  onExecute_ = value;
  NotifyChanged();
}

}  // namespace tavelo
