#include <gtest/gtest.h>

#include <memory>

#include "actions/actionapp.h"
#include "actions/customaction.h"
#include "controls/controls.h"
#include "core/exceptions.h"

namespace tavelo::testing {
namespace {

struct THandlers : TObject {
  int executed = 0;
  int own = 0;
  void Execute(TObject*) { ++executed; }
  void Own(TObject*) { ++own; }
};

class TButtonLike : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  using TControl::Click;
};

class ActionLinkTest : public ::testing::Test {
protected:
  void SetUp() override {
    action = std::make_unique<TAction>(nullptr);
    action->SetCaption("Ouvrir");
    action->SetEnabled(false);
    action->SetHint("Ouvre un fichier|Ouvre un fichier existant");
    action->SetVisible(false);
    action->SetOnExecute(TNotifyEvent::Bind<&THandlers::Execute>(&handlers));
    control = std::make_unique<TButtonLike>(nullptr);
    control->SetName("Bouton1");
    control->SetCaption("Bouton1");
  }
  void TearDown() override {
    ControlAppHooks() = TControlAppHooks();
    ActionAppHooks() = TActionAppHooks();
  }
  THandlers handlers;
  std::unique_ptr<TAction> action;
  std::unique_ptr<TButtonLike> control;
};

TEST_F(ActionLinkTest, ALoadingActionReplacesOnlyDefaultValues) {
  control->SetHint("Le mien");
  control->SetOnClick(TNotifyEvent::Bind<&THandlers::Own>(&handlers));
  action->IncludeState(csLoading);
  control->SetAction(action.get());
  action->ExcludeState(csLoading);
  EXPECT_EQ(control->Caption(), String("Ouvrir"));  // the name counts as no caption
  EXPECT_FALSE(control->Enabled());
  EXPECT_EQ(control->Hint(), String("Le mien"));
  EXPECT_FALSE(control->Visible());
  EXPECT_TRUE(control->OnClick() == TNotifyEvent::Bind<&THandlers::Own>(&handlers));
  EXPECT_TRUE(control->ControlStyle().Contains(csActionClient));

  TButtonLike other(nullptr);
  other.SetCaption("Autre");
  other.SetEnabled(false);
  other.SetHint("Le sien");
  other.SetOnClick(TNotifyEvent::Bind<&THandlers::Own>(&handlers));
  action->SetEnabled(true);
  other.SetAction(action.get());  // not loading: everything is copied
  EXPECT_EQ(other.Caption(), String("Ouvrir"));
  EXPECT_TRUE(other.Enabled());
  EXPECT_EQ(other.Hint(), String("Ouvre un fichier|Ouvre un fichier existant"));
  EXPECT_FALSE(other.Visible());
  EXPECT_TRUE(other.OnClick() == action->OnExecute());
}

TEST_F(ActionLinkTest, TheControlFollowsTheActionUntilItsValueIsChangedByHand) {
  control->SetAction(action.get());
  action->SetCaption("Fermer");
  action->SetEnabled(true);
  EXPECT_EQ(control->Caption(), String("Fermer"));
  EXPECT_TRUE(control->Enabled());
  control->SetCaption("À la main");
  action->SetCaption("Quitter");
  EXPECT_EQ(control->Caption(), String("À la main"));
  action->SetVisible(true);
  EXPECT_TRUE(control->Visible());

  // The action going away takes the link with it.
  action.reset();
  EXPECT_EQ(control->Action(), nullptr);
  EXPECT_EQ(control->ActionLink(), nullptr);
  EXPECT_FALSE(control->ControlStyle().Contains(csActionClient));
  control->Click();  // the action's handler stayed as OnClick
  EXPECT_EQ(handlers.executed, 1);
}

TEST_F(ActionLinkTest, AClickRunsTheControlsOwnHandlerElseTheAction) {
  action->SetEnabled(true);
  control->SetAction(action.get());
  control->Click();  // OnClick is the action's handler: the action runs it once
  EXPECT_EQ(handlers.executed, 1);
  control->SetOnClick(TNotifyEvent::Bind<&THandlers::Own>(&handlers));
  control->Click();
  EXPECT_EQ(handlers.own, 1);
  EXPECT_EQ(handlers.executed, 1);
  control->SetOnClick(TNotifyEvent());
  control->Click();  // no handler: the link runs the action
  EXPECT_EQ(handlers.executed, 2);
  action->SetEnabled(false);
  control->Click();  // a disabled action does not run
  EXPECT_EQ(handlers.executed, 2);
  control->SetAction(nullptr);
  control->SetOnClick(TNotifyEvent::Bind<&THandlers::Own>(&handlers));
  control->Click();
  EXPECT_EQ(handlers.own, 2);
}

TEST_F(ActionLinkTest, TheHintGetsTheShortcutTextWhenTheApplicationAsks) {
  action->SetShortCut(ParseShortCut("Ctrl+O"));
  control->SetAction(action.get());
  String hint = "Ouvre un fichier";
  control->PrepareActionHint(hint);
  EXPECT_EQ(hint, String("Ouvre un fichier"));  // no application: no shortcut text
  ActionAppHooks().HintShortCuts = [] { return true; };
  control->PrepareActionHint(hint);
  EXPECT_EQ(hint, String("Ouvre un fichier (Ctrl+O)"));
  String empty;
  control->PrepareActionHint(empty);
  EXPECT_EQ(empty, String());
  action->SetShortCut(0);
  hint = "Ouvre";
  control->PrepareActionHint(hint);
  EXPECT_EQ(hint, String("Ouvre"));
}

}  // namespace
}  // namespace tavelo::testing
