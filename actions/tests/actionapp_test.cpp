#include "actions/actionapp.h"

#include "actions/tests/action_support.h"

namespace tavelo::testing {
namespace {

using ActionAppTest = ActionTest;

// Takes every action offered to it.
class TGreedy : public TComponent {
public:
  using TComponent::TComponent;
  bool TryRunAction(TBasicAction*) override {
    Log().push_back(Name() + " runs");
    return true;
  }
  bool TryRefreshAction(TBasicAction*) override {
    Log().push_back(Name() + " refreshes");
    return true;
  }
};

TMessage ActionMessage(std::uint32_t msg, TBasicAction* action) {
  TMessage message;
  message.Msg = msg;
  message.LParam = reinterpret_cast<std::intptr_t>(action);
  message.Result = 77;
  return message;
}

TEST_F(ActionAppTest, RoutingAsksTheActiveFormThenTheMainFormOnce) {
  TComponent owner(nullptr);
  auto* active = new TFormStandIn(&owner);
  active->SetName("Active");
  auto* main = new TFormStandIn(&owner);
  main->SetName("Main");
  auto* taker = new TGreedy(&owner);
  taker->SetName("Taker");
  TAction action(nullptr);

  TMessage message = ActionMessage(FM_ACTION_EXECUTE, &action);
  RouteActionToForms(message, active, main);
  EXPECT_EQ(message.Result, 0);
  EXPECT_EQ(Log(), (TLog{"Active:FM_ACTION_EXECUTE", "Main:FM_ACTION_EXECUTE"}));
  EXPECT_FALSE(action.Enabled());  // unclaimed, no handler

  action.SetEnabled(true);
  active->controls.push_back(taker);
  Log().clear();
  message = ActionMessage(FM_ACTION_UPDATE, &action);
  RouteActionToForms(message, active, main);
  EXPECT_EQ(message.Result, 1);
  EXPECT_EQ(Log(), (TLog{"Active:FM_ACTION_UPDATE", "Taker refreshes"}));
  EXPECT_TRUE(action.Enabled());

  // No active form: the main form alone; the main form as active form: asked once.
  active->controls.clear();
  main->controls.push_back(taker);
  for (TObject* activeForm : {static_cast<TObject*>(nullptr), static_cast<TObject*>(main)}) {
    Log().clear();
    message = ActionMessage(FM_ACTION_EXECUTE, &action);
    RouteActionToForms(message, activeForm, main);
    EXPECT_EQ(message.Result, 1);
    EXPECT_EQ(Log(), (TLog{"Main:FM_ACTION_EXECUTE", "Taker runs"}));
  }
}

TEST_F(ActionAppTest, OnlyAnEnabledActionThatMustNotStayWithoutHandlerIsDisabled) {
  TLogger logger;
  TAction withHandler(nullptr);
  withHandler.SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&logger));
  TCustomAction custom(nullptr);
  TAction disabled(nullptr);
  disabled.SetEnabled(false);
  TBasicAction basic(nullptr);
  for (TBasicAction* action : std::initializer_list<TBasicAction*>{&withHandler, &custom, &disabled, &basic}) {
    TMessage message = ActionMessage(FM_ACTION_UPDATE, action);
    RouteActionToForms(message, nullptr, nullptr);
    EXPECT_EQ(message.Result, 0);
  }
  EXPECT_TRUE(withHandler.Enabled());
  EXPECT_TRUE(custom.Enabled());
  EXPECT_FALSE(disabled.Enabled());
  EXPECT_EQ(Log(), TLog{});
}

TEST_F(ActionAppTest, OfferingUsesTheRunOrTheRefreshOfTheTarget) {
  TGreedy target(nullptr);
  target.SetName("T");
  TAction action(nullptr);
  EXPECT_TRUE(OfferAction(ActionMessage(FM_ACTION_EXECUTE, &action), &target));
  EXPECT_TRUE(OfferAction(ActionMessage(FM_ACTION_UPDATE, &action), &target));
  EXPECT_FALSE(OfferAction(ActionMessage(FM_ACTIVATE, &action), &target));
  EXPECT_FALSE(OfferAction(ActionMessage(FM_ACTION_EXECUTE, nullptr), &target));
  EXPECT_FALSE(OfferAction(ActionMessage(FM_ACTION_EXECUTE, &action), nullptr));
  EXPECT_EQ(Log(), (TLog{"T runs", "T refreshes"}));
}

}  // namespace
}  // namespace tavelo::testing
