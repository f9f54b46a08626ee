#include "actions/hints.h"

#include "actions/tests/action_support.h"

namespace tavelo::testing {
namespace {

using HintsTest = ActionTest;

TEST_F(HintsTest, TheFirstBarSplitsShortFromLong) {
  EXPECT_EQ(ShortHintOf("Ouvrir|Ouvrir un fichier existant"), "Ouvrir");
  EXPECT_EQ(LongHintOf("Ouvrir|Ouvrir un fichier existant"), "Ouvrir un fichier existant");
  EXPECT_EQ(ShortHintOf("Ouvrir"), "Ouvrir");
  EXPECT_EQ(LongHintOf("Ouvrir"), "Ouvrir");
  EXPECT_EQ(ShortHintOf("|x"), "");
  EXPECT_EQ(LongHintOf("|x"), "x");
  EXPECT_EQ(ShortHintOf("a|b|c"), "a");
  EXPECT_EQ(LongHintOf("a|b|c"), "b|c");
  EXPECT_EQ(LongHintOf("a|"), "");
  EXPECT_EQ(ShortHintOf(""), "");
  EXPECT_EQ(LongHintOf(""), "");
}

TEST_F(HintsTest, AnActionsHintGetsItsShortCutWhenEverythingAllows) {
  TAppStandIn app;
  TAction action(nullptr);
  action.SetShortCut(16467);  // Ctrl+S
  auto hintFor = [&](String hint) {
    PrepareActionHint(&action, hint);
    return hint;
  };
  EXPECT_EQ(hintFor("Enregistrer"), "Enregistrer (Ctrl+S)");
  EXPECT_EQ(hintFor(""), "");
  app.hintShortCuts = false;
  EXPECT_EQ(hintFor("Enregistrer"), "Enregistrer");
  app.hintShortCuts = true;
  action.SetShortCut(0);
  EXPECT_EQ(hintFor("Enregistrer"), "Enregistrer");
  action.SetShortCut(16467);

  // OnHint may change the text and keep the shortcut off; the hint shows either way.
  TLogger logger;
  action.SetOnHint(THintEvent::Bind<&TLogger::Hint>(&logger));
  logger.hintText = "Sauver";
  EXPECT_EQ(hintFor("Enregistrer"), "Sauver (Ctrl+S)");
  logger.showShortCut = false;
  EXPECT_EQ(hintFor("Enregistrer"), "Sauver");
  String hint = "x";
  EXPECT_FALSE(action.PrepareHint(hint));

  // Only custom actions have shortcuts; without an application there is no flag.
  TBasicAction basic(nullptr);
  String plain = "Enregistrer";
  PrepareActionHint(&basic, plain);
  EXPECT_EQ(plain, "Enregistrer");
}

TEST_F(HintsTest, WithoutAnApplicationNoShortCutText) {
  TAction action(nullptr);
  action.SetShortCut(16467);
  String hint = "Enregistrer";
  PrepareActionHint(&action, hint);
  EXPECT_EQ(hint, "Enregistrer");
}

}  // namespace
}  // namespace tavelo::testing
