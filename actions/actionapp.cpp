#include "actions/actionapp.h"

#include "actions/customaction.h"

namespace tavelo {

TActionAppHooks& ActionAppHooks() {
  static TActionAppHooks hooks;
  return hooks;
}

namespace {

TBasicAction* ActionOf(const TMessage& message) { return reinterpret_cast<TBasicAction*>(message.LParam); }

}  // namespace

void RouteActionToForms(TMessage& message, TObject* activeForm, TObject* mainForm) {
  TBasicAction* action = ActionOf(message);
  bool handled = false;
  if (activeForm) handled = Perform(*activeForm, message.Msg, 0, message.LParam) == 1;
  if (!handled && mainForm && mainForm != activeForm) handled = Perform(*mainForm, message.Msg, 0, message.LParam) == 1;
  if (!handled) {
    auto* custom = DynamicCast<TCustomAction>(static_cast<TObject*>(action));
    if (custom && custom->Enabled() && custom->DisableWithoutHandler())
      custom->SetEnabled(static_cast<bool>(custom->OnExecute()));
  }
  message.Result = handled ? 1 : 0;
}

bool OfferAction(const TMessage& message, TComponent* target) {
  TBasicAction* action = ActionOf(message);
  if (!target || !action) return false;
  if (message.Msg == FM_ACTION_EXECUTE) return target->TryRunAction(action);
  if (message.Msg == FM_ACTION_UPDATE) return target->TryRefreshAction(action);
  return false;
}

}  // namespace tavelo
