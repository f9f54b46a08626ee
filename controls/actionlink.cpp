// A control's action: the link that keeps the control in step with it, the copy of the
// action's values into the control, and the shortcut text in the control's hint.
#include "controls/controls.h"

#include "actions/hints.h"
#include "controls/controlconsts.h"
#include "core/exceptions.h"
#include "core/publish.h"
#include "core/rtlconsts.h"
#include "core/sysutils.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TControlActionLink)

// ---- TControlActionLink ----

TControlActionLink::TControlActionLink(TObject* client) : TActionLink(client) {
  // The base's constructor reached only its own BindClient.
  BindClient(client);
}

void TControlActionLink::BindClient(TObject* client) { client_ = DynamicCast<TControl>(client); }

TCustomAction* TControlActionLink::CustomAction() const {
  return DynamicCast<TCustomAction>(static_cast<TObject*>(Action()));
}

bool TControlActionLink::ClientFollowsCaption() {
  return inherited::ClientFollowsCaption() && client_ && client_->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::ClientFollowsEnabled() {
  return inherited::ClientFollowsEnabled() && client_ && client_->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::ClientFollowsHint() {
  return inherited::ClientFollowsHint() && client_ && client_->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::ClientFollowsVisible() {
  return inherited::ClientFollowsVisible() && client_ && client_->Visible() == CustomAction()->Visible();
}

bool TControlActionLink::ClientFollowsOnExecute() {
  return Action() && client_ && client_->OnClick() == Action()->OnExecute();
}

void TControlActionLink::PushCaption(const String& value) {
  if (ClientFollowsCaption()) client_->SetCaption(value);
}

void TControlActionLink::PushEnabled(bool value) {
  if (ClientFollowsEnabled()) client_->SetEnabled(value);
}

void TControlActionLink::PushHint(const String& value) {
  if (ClientFollowsHint()) client_->SetHint(value);
}

void TControlActionLink::PushVisible(bool value) {
  if (ClientFollowsVisible()) client_->SetVisible(value);
}

void TControlActionLink::PushOnExecute(TNotifyEvent value) {
  if (ClientFollowsOnExecute()) client_->SetOnClick(value);
}

bool TControlActionLink::DoShowHint(String& hint) {
  ::tavelo::PrepareActionHint(Action(), hint);
  return true;
}

// ---- TControl ----

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

TClass TControl::ActionLinkClass() const { return TControlActionLink::StaticClass(); }

void TControl::SetAction(TBasicAction* value) {
  if (!value) {
    actionLink_.reset();
    controlStyle_.Exclude(csActionClient);
    return;
  }
  controlStyle_.Include(csActionClient);
  if (!actionLink_) {
    std::unique_ptr<TObject> made(ActionLinkClass()->Construct(this));
    auto* link = DynamicCast<TControlActionLink>(made.get());
    if (!link) throw EInvalidCast(SInvalidCast);
    made.release();
    actionLink_.reset(link);
  }
  actionLink_->SetAction(value);
  actionLink_->SetOnChange(TNotifyEvent::Bind<&TControl::DoActionChange>(this));
  ApplyActionToClient(value->ComponentState().Contains(csLoading));
  value->FreeNotification(this);
}

void TControl::DoActionChange(TObject* sender) {
  if (sender && sender == Action()) ApplyActionToClient(false);
}

void TControl::ApplyActionToClient(bool checkDefaults) {
  auto* action = DynamicCast<TCustomAction>(static_cast<TObject*>(Action()));
  if (!action) return;
  if (!checkDefaults || Caption().empty() || Caption() == Name()) SetCaption(action->Caption());
  if (!checkDefaults || Enabled()) SetEnabled(action->Enabled());
  if (!checkDefaults || Hint().empty()) SetHint(action->Hint());
  if (!checkDefaults || Visible()) SetVisible(action->Visible());
  if (!checkDefaults || !OnClick()) SetOnClick(action->OnExecute());
}

void TControl::RefreshActionState() {
  if (actionLink_) actionLink_->RefreshState();
}

void TControl::PrepareActionHint(String& hint) {
  if (actionLink_) actionLink_->DoShowHint(hint);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component && component == Action()) SetAction(nullptr);
}

}  // namespace tavelo
