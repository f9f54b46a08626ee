// The application's and the forms' ends of the run and refresh chains. The application
// object and the forms sit above the actions, so the actions reach them through these hooks,
// which the application fills in when it is made; until then the chains end with the
// action's own handlers and hints show no shortcut text.
#pragma once

#include <cstdint>

#include "core/messages.h"

namespace tavelo {

class TBasicAction;
class TComponent;

struct TActionAppHooks {
  // The application's OnActionExecute (OnActionUpdate), handled preset false: whether its
  // handler claimed the action.
  bool (*ExecuteAction)(TBasicAction* action) = nullptr;
  bool (*UpdateAction)(TBasicAction* action) = nullptr;
  // Sends a message to the application's window; its answer.
  std::intptr_t (*SendToApplication)(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = nullptr;
  // The application's flag that puts an action's shortcut text after its hint.
  bool (*HintShortCuts)() = nullptr;
};
TActionAppHooks& ActionAppHooks();

// The application's handling of FM_ACTION_EXECUTE and FM_ACTION_UPDATE (the action in
// LParam): performed on the active form, then on the main form when that is another one;
// when neither took it, an action that must not stay enabled without a handler follows
// whether it has one. The answer is 1 when a form took it, else 0.
void RouteActionToForms(TMessage& message, TObject* activeForm, TObject* mainForm);

// One step of a form's target search: offers the action of an FM_ACTION_EXECUTE
// (FM_ACTION_UPDATE) message to target through TryRunAction (TryRefreshAction); true when
// it took it.
bool OfferAction(const TMessage& message, TComponent* target);

}  // namespace tavelo
