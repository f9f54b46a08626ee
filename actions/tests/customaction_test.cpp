#include "actions/customaction.h"

#include <functional>
#include <stdexcept>

#include "actions/tests/action_support.h"
#include "core/stringlist.h"
#include "core/tests/test_support.h"

namespace tavelo::testing {
namespace {

using CustomActionTest = ActionTest;

// An action named and owned like one read from a form.
TAction* NewAction(TComponent* owner, const char* name) {
  auto* action = new TAction(owner);
  action->SetName(name);
  return action;
}

TEST_F(CustomActionTest, SettersPushToEveryLinkWhileTheOldValueIsStillStoredThenNotify) {
  TComponent owner(nullptr);
  TAction* action = NewAction(&owner, "Save");
  TLogger logger;
  action->SetOnChange(TNotifyEvent::Bind<&TLogger::Changed>(&logger));
  TRecordingLink first(nullptr, "L1"), second(nullptr, "L2");
  first.SetAction(action);
  second.SetAction(action);

  struct TCase {
    std::function<void()> set;
    std::vector<std::string> expected;
  };
  const std::vector<TCase> cases = {
      {[&] { action->SetCaption("&Enregistrer"); },
       {"L1.Caption=&Enregistrer (was Save)", "L2.Caption=&Enregistrer (was Save)", "changed(Save)"}},
      {[&] { action->SetChecked(true); }, {"L1.Checked=true (was false)", "L2.Checked=true (was false)", "changed(Save)"}},
      {[&] { action->SetEnabled(false); }, {"L1.Enabled=false (was true)", "L2.Enabled=false (was true)", "changed(Save)"}},
      {[&] { action->SetHelpContext(12); }, {"L1.HelpContext=12 (was 0)", "L2.HelpContext=12 (was 0)", "changed(Save)"}},
      {[&] { action->SetHelpKeyword("aide"); }, {"L1.HelpKeyword=aide (was )", "L2.HelpKeyword=aide (was )", "changed(Save)"}},
      {[&] { action->SetHelpType(htContext); }, {"L1.HelpType=1 (was 0)", "L2.HelpType=1 (was 0)", "changed(Save)"}},
      {[&] { action->SetHint("Enregistrer|Enregistrer le fichier"); },
       {"L1.Hint=Enregistrer|Enregistrer le fichier (was )", "L2.Hint=Enregistrer|Enregistrer le fichier (was )",
        "changed(Save)"}},
      {[&] { action->SetImageIndex(3); }, {"L1.ImageIndex=3 (was -1)", "L2.ImageIndex=3 (was -1)", "changed(Save)"}},
      {[&] { action->SetShortCut(16467); }, {"L1.ShortCut=16467 (was 0)", "L2.ShortCut=16467 (was 0)", "changed(Save)"}},
      {[&] { action->SetVisible(false); }, {"L1.Visible=false (was true)", "L2.Visible=false (was true)", "changed(Save)"}},
      {[&] { action->SetAutoCheck(true); }, {"L1.AutoCheck=true (was false)", "L2.AutoCheck=true (was false)", "changed(Save)"}},
      {[&] { action->SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&logger)); },
       {"L1.OnExecute=set (was none)", "L2.OnExecute=set (was none)", "changed(Save)"}},
      // The one exception: the group index is stored before the links hear of it.
      {[&] { action->SetGroupIndex(2); }, {"L1.GroupIndex=2 (was 2)", "L2.GroupIndex=2 (was 2)", "changed(Save)"}},
  };
  for (const TCase& c : cases) {
    Log().clear();
    c.set();
    EXPECT_EQ(Log(), c.expected);
    // The same value again changes nothing and tells nobody.
    Log().clear();
    c.set();
    EXPECT_EQ(Log(), TLog{});
  }
}

TEST_F(CustomActionTest, OnExecuteComparesHandlerAndObject) {
  TAction action(nullptr);
  TLogger one, two;
  TRecordingLink link(nullptr, "L");
  link.SetAction(&action);
  action.SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&one));
  Log().clear();
  action.SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&two));  // same handler, other object
  EXPECT_EQ(Log(), (TLog{"L.OnExecute=set (was set)"}));
  EXPECT_EQ(action.OnExecute().Data(), &two);
}

TEST_F(CustomActionTest, AClientThatCannotFollowStopsTheSetterBeforeAnythingChanges) {
  TAction action(nullptr);
  TRecordingLink follower(nullptr, "L");
  TBasicActionLink plain(nullptr);
  follower.SetAction(&action);
  plain.SetAction(&action);
  Log().clear();
  EXPECT_RAISES(action.SetCaption("Nouveau"), EInvalidCast, "Transtypage de classe incorrect");
  EXPECT_EQ(action.Caption(), "");
  EXPECT_EQ(Log(), TLog{});
  // The run handler belongs to every link, plain ones too.
  TLogger logger;
  action.SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&logger));
  EXPECT_EQ(Log(), (TLog{"L.OnExecute=set (was none)"}));
}

TEST_F(CustomActionTest, FollowTestsHoldExactlyForCustomActions) {
  struct TProbe : TActionLink {
    using TActionLink::TActionLink;
    std::vector<bool> All() {
      return {ClientFollowsCaption(), ClientFollowsChecked(), ClientFollowsEnabled(), ClientFollowsGroupIndex(),
              ClientFollowsHelpContext(), ClientFollowsHelp(), ClientFollowsHint(), ClientFollowsImageIndex(),
              ClientFollowsShortCut(), ClientFollowsVisible(), ClientFollowsOnExecute()};
    }
  };
  TProbe probe(nullptr);
  EXPECT_EQ(probe.All(), std::vector<bool>({false, false, false, false, false, false, false, false, false, false, true}));
  TBasicAction basic(nullptr);
  probe.SetAction(&basic);
  EXPECT_EQ(probe.All(), std::vector<bool>({false, false, false, false, false, false, false, false, false, false, true}));
  TCustomAction custom(nullptr);
  probe.SetAction(&custom);
  EXPECT_EQ(probe.All(), std::vector<bool>(11, true));
}

TEST_F(CustomActionTest, CheckingAGroupMemberUnchecksItsPeersInTheList) {
  TComponent owner(nullptr);
  TCustomActionList list(&owner), other(&owner);
  TAction* left = NewAction(&owner, "Left");
  TAction* center = NewAction(&owner, "Center");
  TAction* right = NewAction(&owner, "Right");
  TAction* elsewhere = NewAction(&owner, "Elsewhere");
  TAction* loose = NewAction(&owner, "Loose");
  for (TAction* a : {left, center, right}) {
    a->SetActionList(&list);
    a->SetGroupIndex(1);
  }
  elsewhere->SetActionList(&other);
  elsewhere->SetGroupIndex(1);
  loose->SetGroupIndex(1);
  TLogger logger;
  for (TAction* a : {left, center, right}) a->SetOnChange(TNotifyEvent::Bind<&TLogger::Changed>(&logger));

  left->SetChecked(true);
  center->SetChecked(true);
  elsewhere->SetChecked(true);
  loose->SetChecked(true);
  EXPECT_FALSE(left->Checked());
  EXPECT_TRUE(center->Checked());
  EXPECT_TRUE(elsewhere->Checked());  // another list's group
  EXPECT_TRUE(loose->Checked());      // an action in no list has no peers
  Log().clear();
  right->SetChecked(true);
  // The peer is unchecked (and told) before the action itself tells of its change.
  EXPECT_EQ(Log(), (TLog{"changed(Center)", "changed(Right)"}));
  right->SetChecked(false);  // unchecking leaves the others alone
  EXPECT_FALSE(center->Checked());

  // Group 0 is no group.
  for (TAction* a : {left, center, right}) a->SetGroupIndex(0);
  left->SetChecked(true);
  center->SetChecked(true);
  EXPECT_TRUE(left->Checked());
  EXPECT_TRUE(center->Checked());
}

// Sets the action's Checked again from inside the push, or raises from it.
class TMeddlingLink : public TActionLink {
public:
  using TActionLink::TActionLink;
  bool raise = false;

protected:
  void PushChecked(bool value) override {
    auto* action = static_cast<TCustomAction*>(Action());
    action->SetChecked(!value);  // ignored: the setter is already running
    Log().push_back(std::string("push ") + (value ? "true" : "false"));
    if (raise) throw EInvalidOperation("refusé");
  }
};

TEST_F(CustomActionTest, CheckedIgnoresReentryAndRecoversFromARaisingClient) {
  TComponent owner(nullptr);
  TCustomActionList list(&owner);
  TAction* a = NewAction(&owner, "A");
  TAction* b = NewAction(&owner, "B");
  a->SetActionList(&list);
  b->SetActionList(&list);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  TMeddlingLink link(nullptr);
  link.SetAction(b);
  b->SetChecked(true);
  EXPECT_TRUE(b->Checked());
  EXPECT_EQ(Log(), TLog{"push true"});

  link.raise = true;
  EXPECT_THROW(a->SetChecked(true), EInvalidOperation);  // raised by b's client, while unchecking b
  EXPECT_TRUE(a->Checked());
  EXPECT_TRUE(b->Checked());
  link.raise = false;
  // Neither action is stuck inside its setter.
  b->SetChecked(false);
  EXPECT_FALSE(b->Checked());
  a->SetChecked(false);
  EXPECT_FALSE(a->Checked());
}

TEST_F(CustomActionTest, RenamingCarriesTheCaptionOnlyWhileItEqualsTheNameAndNobodyIsLinked) {
  TComponent owner(nullptr);
  auto* action = new TAction(&owner);
  action->SetName("Action1");  // an empty caption equals the empty name
  EXPECT_EQ(action->Caption(), "Action1");
  action->SetName("FileSave");
  EXPECT_EQ(action->Caption(), "FileSave");

  action->SetCaption("&Enregistrer");
  action->SetName("FileSave1");
  EXPECT_EQ(action->Caption(), "&Enregistrer");

  action->SetCaption("FileSave1");
  {
    TActionLink link(nullptr);
    link.SetAction(action);
    action->SetName("Linked");
    EXPECT_EQ(action->Caption(), "FileSave1");
    action->SetName("FileSave1");
  }
  owner.IncludeState(csLoading);
  action->SetName("WhileLoading");
  EXPECT_EQ(action->Caption(), "FileSave1");
  owner.ExcludeState(csLoading);

  // A rejected name leaves the caption too.
  action->SetCaption("WhileLoading");
  auto* other = new TAction(&owner);
  other->SetName("Taken");
  EXPECT_THROW(action->SetName("Taken"), EComponentError);
  EXPECT_EQ(action->Caption(), "WhileLoading");
}

TEST_F(CustomActionTest, AssignCopiesThroughTheSettersIntoActionsOnly) {
  TAction source(nullptr);
  TLogger logger;
  source.SetCaption("&Copier");
  source.SetChecked(true);
  source.SetEnabled(false);
  source.SetHelpContext(7);
  source.SetHint("Copier|Copier la sélection");
  source.SetImageIndex(4);
  source.SetShortCut(16451);
  source.SetVisible(false);
  source.SetGroupIndex(3);
  source.SetAutoCheck(true);
  source.SetHelpKeyword("copie");
  source.SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&logger));
  source.SetOnUpdate(TNotifyEvent::Bind<&TLogger::Update>(&logger));
  source.SetOnChange(TNotifyEvent::Bind<&TLogger::Changed>(&logger));

  TCustomAction dest(nullptr);
  dest.SetName("Dest");
  TRecordingLink link(nullptr, "L");
  link.SetAction(&dest);
  Log().clear();
  dest.Assign(&source);
  // The change callback comes last, so the setters told nobody.
  EXPECT_EQ(Log(), (TLog{"L.Caption=&Copier (was Dest)", "L.Checked=true (was false)", "L.Enabled=false (was true)",
                         "L.HelpContext=7 (was 0)", "L.Hint=Copier|Copier la sélection (was )",
                         "L.ImageIndex=4 (was -1)", "L.ShortCut=16451 (was 0)", "L.Visible=false (was true)",
                         "L.OnExecute=set (was none)"}));
  EXPECT_EQ(dest.OnUpdate().Code(), source.OnUpdate().Code());
  EXPECT_EQ(dest.OnChange().Code(), source.OnChange().Code());
  // Not among what is copied.
  EXPECT_EQ(dest.GroupIndex(), 0);
  EXPECT_FALSE(dest.AutoCheck());
  EXPECT_EQ(dest.HelpKeyword(), "");

  TStringList strings;
  EXPECT_RAISES(strings.Assign(&source), EConvertError, "Impossible d'affecter TAction à TStringList");
}

TEST_F(CustomActionTest, PublishedPropertiesInTheirOrder) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TAction::StaticClass()->Properties()) names.push_back(p->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "Category", "AutoCheck", "Caption", "Checked", "Enabled",
                                             "GroupIndex", "HelpContext", "HelpKeyword", "HelpType", "Hint",
                                             "ImageIndex", "ShortCut", "SecondaryShortCuts", "Visible", "OnExecute",
                                             "OnHint", "OnUpdate"}));
  names.clear();
  for (const TPropInfo* p : THintAction::StaticClass()->Properties()) names.push_back(p->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "Category", "Hint"}));
  EXPECT_EQ(TAction::StaticClass()->FindProperty("ImageIndex")->Default(), -1);
  EXPECT_EQ(TAction::StaticClass()->FindProperty("Enabled")->Default(), 1);
  EXPECT_EQ(TAction::StaticClass()->FindProperty("OnHint")->PropType()->Name, "THintEvent");
  EXPECT_FALSE(TCustomAction(nullptr).DisableWithoutHandler());
  EXPECT_TRUE(TAction(nullptr).DisableWithoutHandler());
  EXPECT_FALSE(THintAction(nullptr).DisableWithoutHandler());
}

TEST_F(CustomActionTest, SecondaryShortCutsAreMadeOnDemandAndCopiedOnSet) {
  TAction action(nullptr);
  EXPECT_FALSE(action.HasShortCut(16467));  // asking makes no list
  EXPECT_FALSE(action.IsSecondaryShortCutsStored());
  TShortCutList lines;
  lines.Add("Ctrl+S");
  action.SetSecondaryShortCuts(&lines);
  lines.Clear();
  ASSERT_EQ(action.SecondaryShortCuts()->Count(), 1);
  EXPECT_TRUE(action.IsSecondaryShortCutsStored());
  EXPECT_TRUE(action.HasShortCut(16467));
  action.SetShortCut(16462);
  EXPECT_TRUE(action.HasShortCut(16462));
  EXPECT_FALSE(action.HasShortCut(16463));
}

}  // namespace
}  // namespace tavelo::testing
