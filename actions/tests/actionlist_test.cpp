#include "actions/actionlist.h"

#include "actions/tests/action_support.h"
#include "core/streams.h"
#include "core/tests/test_support.h"
#include "streaming/classregistry.h"
#include "streaming/reader.h"
#include "streaming/writer.h"
#include "tools/formtext.h"

namespace tavelo::testing {
namespace {

using ActionListTest = ActionTest;

TAction* NewAction(TComponent* owner, const char* name, TCustomActionList* list = nullptr) {
  auto* action = new TAction(owner);
  action->SetName(name);
  if (list) action->SetActionList(list);
  return action;
}

// An edit control of the stand-in forms.
class TEditStandIn : public TComponent {
public:
  using TComponent::TComponent;
};

// Works on whichever edit it is offered, like the standard edit actions; enables itself
// when it finds one.
class TEditActionStandIn : public TAction {
public:
  using TAction::TAction;
  bool AcceptsTarget(TComponent* target) override { return dynamic_cast<TEditStandIn*>(target) != nullptr; }
  void RefreshOnTarget(TComponent* target) override {
    Log().push_back("refresh on " + target->Name());
    SetEnabled(true);
  }
  void RunOnTarget(TComponent* target) override { Log().push_back("run on " + target->Name()); }
};

// A window with an action list, two forms and the application's end of the chains.
struct TScene {
  TComponent owner{nullptr};
  TCustomActionList* list = new TCustomActionList(&owner);
  TFormStandIn* active = new TFormStandIn(&owner);
  TFormStandIn* main = new TFormStandIn(&owner);
  TAppStandIn app;
  TLogger logger;
  TScene() {
    list->SetName("List");
    active->SetName("Active");
    main->SetName("Main");
    app.activeForm = active;
    app.mainForm = main;
    list->SetOnExecute(TActionEvent::Bind<&TLogger::ListExecute>(&logger));
    list->SetOnUpdate(TActionEvent::Bind<&TLogger::ListUpdate>(&logger));
  }
};

TEST_F(ActionListTest, TriggerTriesEachStepOfTheChainInOrder) {
  TScene scene;
  auto* action = new TCustomAction(&scene.owner);
  action->SetName("Plain");
  action->SetActionList(scene.list);
  scene.app.onActionExecute = [](TBasicAction*) { return false; };
  scene.app.onActionUpdate = [](TBasicAction*) { return false; };
  Log().clear();
  EXPECT_FALSE(action->Trigger());
  EXPECT_EQ(Log(), (TLog{"list update(Plain)", "app update(Plain)", "app:FM_ACTION_UPDATE(Plain)",
                         "Active:FM_ACTION_UPDATE", "Main:FM_ACTION_UPDATE", "list execute(Plain)",
                         "app execute(Plain)", "app:FM_ACTION_EXECUTE(Plain)", "Active:FM_ACTION_EXECUTE",
                         "Main:FM_ACTION_EXECUTE"}));
  // A custom action does not disable itself for want of a handler.
  EXPECT_TRUE(action->Enabled());

  // Each step that claims ends its chain.
  scene.logger.claimList = true;
  Log().clear();
  EXPECT_TRUE(action->Trigger());
  EXPECT_EQ(Log(), (TLog{"list update(Plain)", "list execute(Plain)"}));
  scene.logger.claimList = false;
  scene.app.onActionExecute = [](TBasicAction*) { return true; };
  Log().clear();
  EXPECT_TRUE(action->Trigger());
  EXPECT_EQ(Log().back(), "app execute(Plain)");

  // Out of any list, the list step is skipped.
  action->SetActionList(nullptr);
  scene.app.onActionUpdate = nullptr;
  Log().clear();
  EXPECT_TRUE(action->Trigger());
  EXPECT_EQ(Log(), (TLog{"app:FM_ACTION_UPDATE(Plain)", "Active:FM_ACTION_UPDATE", "Main:FM_ACTION_UPDATE",
                         "app execute(Plain)"}));
}

TEST_F(ActionListTest, AnActionWithAHandlerNeverSendsTheExecuteMessage) {
  TScene scene;
  TAction* action = NewAction(&scene.owner, "Save", scene.list);
  action->SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&scene.logger));
  Log().clear();
  EXPECT_TRUE(action->Trigger());
  EXPECT_EQ(Log(), (TLog{"list update(Save)", "app:FM_ACTION_UPDATE(Save)", "Active:FM_ACTION_UPDATE",
                         "Main:FM_ACTION_UPDATE", "list execute(Save)", "execute(Save)"}));
  EXPECT_TRUE(action->Enabled());  // unclaimed, but it has a handler
}

TEST_F(ActionListTest, AnActionWithoutHandlerOrTargetDisablesItselfUntilATargetTakesIt) {
  TScene scene;
  TAction* action = NewAction(&scene.owner, "Orphan", scene.list);
  auto* custom = new TCustomAction(&scene.owner);
  custom->SetName("Custom");
  custom->SetActionList(scene.list);
  EXPECT_FALSE(action->RefreshState());
  EXPECT_FALSE(action->Enabled());
  EXPECT_FALSE(custom->RefreshState());
  EXPECT_TRUE(custom->Enabled());

  // A disabled action runs nothing, but is refreshed by its Trigger.
  Log().clear();
  EXPECT_FALSE(action->Trigger());
  EXPECT_EQ(Log(), (TLog{"list update(Orphan)", "app:FM_ACTION_UPDATE(Orphan)", "Active:FM_ACTION_UPDATE",
                         "Main:FM_ACTION_UPDATE"}));

  // The target search: the active form's active control first.
  auto* edit = new TEditActionStandIn(&scene.owner);
  edit->SetName("Cut");
  edit->SetActionList(scene.list);
  edit->SetEnabled(false);
  auto* memo = new TEditStandIn(&scene.owner);
  memo->SetName("Memo");
  EXPECT_FALSE(edit->RefreshState());  // no edit anywhere
  EXPECT_FALSE(edit->Enabled());
  scene.main->controls.push_back(memo);
  Log().clear();
  EXPECT_TRUE(edit->Trigger());
  EXPECT_EQ(Log(), (TLog{"list update(Cut)", "app:FM_ACTION_UPDATE(Cut)", "Active:FM_ACTION_UPDATE",
                         "Main:FM_ACTION_UPDATE", "refresh on Memo", "list execute(Cut)",
                         "app:FM_ACTION_EXECUTE(Cut)", "Active:FM_ACTION_EXECUTE", "Main:FM_ACTION_EXECUTE",
                         "run on Memo"}));
  // A form that does not show searches nothing; the main form is not asked twice.
  scene.main->showing = false;
  scene.app.activeForm = scene.main;
  Log().clear();
  EXPECT_FALSE(edit->RefreshState());
  EXPECT_EQ(Log(), (TLog{"list update(Cut)", "app:FM_ACTION_UPDATE(Cut)", "Main:FM_ACTION_UPDATE"}));
  EXPECT_FALSE(edit->Enabled());
}

TEST_F(ActionListTest, ASuspendedListRunsNothingAndOnlyStoresEnabled) {
  TScene scene;
  TAction* action = NewAction(&scene.owner, "Save", scene.list);
  action->SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&scene.logger));
  action->SetShortCut(16467);
  action->SetOnChange(TNotifyEvent::Bind<&TLogger::Changed>(&scene.logger));
  TRecordingLink link(nullptr, "L");
  link.SetAction(action);
  scene.list->SetState(asSuspended);
  Log().clear();
  EXPECT_FALSE(action->Trigger());
  EXPECT_FALSE(link.Trigger(nullptr));
  EXPECT_FALSE(scene.list->MatchShortCut(TShortCut(16467)));
  action->SetEnabled(false);
  EXPECT_FALSE(action->Enabled());
  EXPECT_EQ(Log(), TLog{});
  scene.list->SetState(asNormal);
  EXPECT_EQ(Log(), (TLog{"list update(Save)", "app:FM_ACTION_UPDATE(Save)", "Active:FM_ACTION_UPDATE",
                         "Main:FM_ACTION_UPDATE"}));
}

TEST_F(ActionListTest, SuspendedEnabledEnablesEveryActionAndGivesTheSavedStatesBack) {
  TScene scene;
  TAction* on = NewAction(&scene.owner, "On", scene.list);
  TAction* off = NewAction(&scene.owner, "Off", scene.list);
  auto* basic = new TContainedAction(&scene.owner);
  basic->SetName("Basic");
  basic->SetActionList(scene.list);
  for (TAction* a : {on, off}) a->SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&scene.logger));
  off->SetEnabled(false);
  TRecordingLink onLink(nullptr, "On"), offLink(nullptr, "Off");
  onLink.SetAction(on);
  offLink.SetAction(off);
  scene.list->SetOnUpdate(TActionEvent());
  scene.app.activeForm = scene.app.mainForm = nullptr;

  Log().clear();
  scene.list->SetState(asSuspendedEnabled);
  EXPECT_EQ(Log(), TLog{"Off.Enabled=true (was false)"});
  EXPECT_TRUE(off->Enabled());
  off->SetEnabled(false);  // forced on while suspended this way
  EXPECT_TRUE(off->Enabled());
  EXPECT_FALSE(off->Trigger());  // still suspended: nothing runs

  Log().clear();
  scene.list->SetState(asNormal);
  EXPECT_EQ(Log(), (TLog{"app:FM_ACTION_UPDATE(On)", "Off.Enabled=false (was true)", "app:FM_ACTION_UPDATE(Off)",
                         "app:FM_ACTION_UPDATE(Basic)"}));
  EXPECT_TRUE(on->Enabled());
  EXPECT_FALSE(off->Enabled());

  // Only actions saved on the way in get a state back.
  scene.list->SetState(asSuspendedEnabled);
  TAction* late = NewAction(&scene.owner, "Late", scene.list);
  late->SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&scene.logger));
  scene.list->SetState(asNormal);
  EXPECT_TRUE(late->Enabled());
  EXPECT_FALSE(off->Enabled());
}

TEST_F(ActionListTest, AutoCheckTogglesBeforeTheEnabledTest) {
  TScene scene;
  auto* action = new TCustomAction(&scene.owner);
  action->SetName("Bold");
  action->SetActionList(scene.list);
  action->SetAutoCheck(true);
  action->SetEnabled(false);
  EXPECT_FALSE(action->Trigger());
  EXPECT_TRUE(action->Checked());
  EXPECT_FALSE(action->Trigger());
  EXPECT_FALSE(action->Checked());
  // In a suspended list not even that.
  scene.list->SetState(asSuspended);
  EXPECT_FALSE(action->Trigger());
  EXPECT_FALSE(action->Checked());
}

TEST_F(ActionListTest, TheFirstActionInListOrderDecidesAShortCut) {
  TScene scene;
  TAction* first = NewAction(&scene.owner, "First", scene.list);
  TAction* second = NewAction(&scene.owner, "Second", scene.list);
  for (TAction* a : {first, second}) {
    a->SetShortCut(16467);  // Ctrl+S
    a->SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&scene.logger));
  }
  scene.list->SetOnUpdate(TActionEvent());
  scene.list->SetOnExecute(TActionEvent());
  scene.app.activeForm = scene.app.mainForm = nullptr;
  Log().clear();
  EXPECT_TRUE(scene.list->MatchShortCut(TShortCut(16467)));
  EXPECT_EQ(Log(), (TLog{"app:FM_ACTION_UPDATE(First)", "execute(First)"}));

  first->SetOnUpdate(TNotifyEvent::Bind<&TLogger::Update>(&scene.logger));
  first->SetEnabled(false);  // its own OnUpdate leaves it so
  Log().clear();
  EXPECT_FALSE(scene.list->MatchShortCut(TShortCut(16467)));
  EXPECT_EQ(Log(), TLog{"update(First)"});

  // Secondary shortcuts count, in list order too; a plain contained action has none.
  auto* basic = new TContainedAction(&scene.owner);
  basic->SetActionList(scene.list);
  basic->SetIndex(0);
  second->SecondaryShortCuts()->Add("Maj+Suppr");
  Log().clear();
  EXPECT_TRUE(scene.list->MatchShortCut(TShortCut(0x202E)));
  EXPECT_EQ(Log().back(), "execute(Second)");
  EXPECT_FALSE(scene.list->MatchShortCut(TShortCut(16468)));
  EXPECT_FALSE(scene.list->MatchShortCut(TShortCut(0)));

  // From a key message: Alt from bit 29 of the key data.
  second->SetShortCut(0x8053);  // Alt+S
  TMessage key;
  key.WParam = 'S';
  key.LParam = 0x20000000 | 1;
  Log().clear();
  EXPECT_TRUE(scene.list->MatchShortCut(key));
  EXPECT_EQ(Log().back(), "execute(Second)");
  key.LParam = 1;
  EXPECT_FALSE(scene.list->MatchShortCut(key));  // plain S is nobody's
}

TEST_F(ActionListTest, IndexIsClampedToTheListAndMinusOneOutsideIt) {
  TComponent owner(nullptr);
  TCustomActionList list(&owner);
  TAction* a = NewAction(&owner, "A", &list);
  TAction* b = NewAction(&owner, "B", &list);
  TAction* c = NewAction(&owner, "C", &list);
  TAction* loose = NewAction(&owner, "Loose");
  auto order = [&] {
    std::string names;
    for (int i = 0; i < list.ActionCount(); ++i) names += list.Actions(i)->Name();
    return names;
  };
  c->SetIndex(-5);
  EXPECT_EQ(order(), "CAB");
  c->SetIndex(99);
  EXPECT_EQ(order(), "ABC");
  b->SetIndex(0);
  EXPECT_EQ(order(), "BAC");
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(loose->Index(), -1);
  loose->SetIndex(0);
  EXPECT_EQ(loose->Index(), -1);
  list.SetChildOrder(c, 0);
  EXPECT_EQ(order(), "CBA");
  list.SetChildOrder(loose, 0);
  EXPECT_EQ(order(), "CBA");

  // Moving from one list to another leaves the first.
  TCustomActionList other(&owner);
  b->SetActionList(&other);
  EXPECT_EQ(order(), "CA");
  EXPECT_EQ(b->ActionList(), &other);
  other.InsertAction(a);
  EXPECT_EQ(order(), "C");
  EXPECT_EQ(other.ActionCount(), 2);
  list.ExtractAction(a);  // not in this list: nothing
  EXPECT_EQ(a->ActionList(), &other);
}

TEST_F(ActionListTest, NotifyChangedTellsTheListThenEachActionInOrder) {
  TComponent owner(nullptr);
  TCustomActionList list(&owner);
  list.SetName("List");
  TLogger logger;
  list.SetOnChange(TNotifyEvent::Bind<&TLogger::ListChanged>(&logger));
  TAction* a = NewAction(&owner, "A", &list);
  TAction* b = NewAction(&owner, "B", &list);
  for (TAction* x : {a, b}) x->SetOnChange(TNotifyEvent::Bind<&TLogger::Changed>(&logger));
  Log().clear();
  b->SetCategory("Fichier");
  EXPECT_EQ(Log(), (TLog{"list changed(List)", "changed(A)", "changed(B)"}));
  Log().clear();
  b->SetCategory("Fichier");
  a->SetActionList(nullptr);
  a->SetCategory("Edition");  // out of the list: nobody to tell
  EXPECT_EQ(Log(), TLog{});
}

TEST_F(ActionListTest, ParentsAreListsOutsideLoading) {
  TComponent owner(nullptr);
  TCustomActionList list(&owner);
  TAction* action = NewAction(&owner, "A");
  EXPECT_FALSE(action->HasParent());
  EXPECT_EQ(action->GetParentComponent(), nullptr);
  action->SetParentComponent(&owner);  // not a list
  EXPECT_EQ(action->ActionList(), nullptr);
  action->IncludeState(csLoading);
  action->SetParentComponent(&list);
  EXPECT_EQ(action->ActionList(), nullptr);
  action->ExcludeState(csLoading);
  action->SetParentComponent(&list);
  EXPECT_EQ(action->ActionList(), &list);
  EXPECT_TRUE(action->HasParent());
  EXPECT_EQ(action->GetParentComponent(), &list);
}

// Notes whether it is in a list while its properties are read.
class TProbeAction : public TAction {
  TAVELO_CLASS(TProbeAction, TAction)
public:
  using TAction::TAction;
  int Probe() const { return 0; }
  void SetProbe(int) { Log().push_back(Name() + (ActionList() ? " read in a list" : " read alone")); }
};
TAVELO_PUBLISH(TProbeAction) {
  c.Property("Probe", &Self::Probe, &Self::SetProbe).Default(1);
}

// A root that writes its owned components that have no parent, as a form does.
class TActionRoot : public TComponent {
  TAVELO_CLASS(TActionRoot, TComponent)
public:
  using TComponent::TComponent;
  TCustomActionList* ActionList1 = nullptr;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent() && Components(i)->Owner() == root) proc(Components(i));
  }
};
TAVELO_PUBLISH(TActionRoot) {
  c.Field("ActionList1", &Self::ActionList1);
}

std::string Dump(TComponent* root) {
  TMemoryStream stream;
  WriteComponentToStream(stream, root);
  stream.SetPosition(0);
  return formtext::Dump(stream);
}

TEST_F(ActionListTest, ActionsStreamAsChildrenOfTheirListAndJoinItOnceRead) {
  RegisterClasses({TActionRoot::StaticClass(), TCustomActionList::StaticClass(), TAction::StaticClass(),
                   TProbeAction::StaticClass()});
  TActionRoot root(nullptr);
  root.SetName("Form1");
  auto* list = new TCustomActionList(&root);
  list->SetName("ActionList1");
  TAction* save = NewAction(&root, "FileSave", list);
  save->SetCaption("&Enregistrer");
  save->SetShortCut(16467);
  save->SetCategory("Fichier");
  save->SecondaryShortCuts()->Add("Maj+Suppr");
  TAction* copy = NewAction(&root, "EditCopy", list);
  copy->SetCaption("&Copier");
  copy->SetEnabled(false);
  copy->SetImageIndex(2);
  copy->SetIndex(0);
  TComponent stranger(nullptr);
  NewAction(&stranger, "Foreign", list);  // another root's: not written here
  auto* probe = new TProbeAction(&root);
  probe->SetName("Probe1");
  probe->SetCaption("Sonde");
  probe->SetActionList(list);

  const std::string text = Dump(&root);
  EXPECT_EQ(text,
            "Form1: TActionRoot {\n"
            "  ActionList1: TCustomActionList {\n"
            "    EditCopy: TAction {\n"
            "      Caption = \"&Copier\"\n"
            "      Enabled = False\n"
            "      ImageIndex = 2\n"
            "    }\n"
            "    FileSave: TAction {\n"
            "      Category = \"Fichier\"\n"
            "      Caption = \"&Enregistrer\"\n"
            "      ShortCut = 16467\n"
            "      SecondaryShortCuts.Strings = (\n"
            "        \"Maj+Suppr\"\n"
            "      )\n"
            "    }\n"
            "    Probe1: TProbeAction {\n"
            "      Caption = \"Sonde\"\n"
            "      Probe = 0\n"
            "    }\n"
            "  }\n"
            "}\n");

  TMemoryStream stream;
  WriteComponentToStream(stream, &root);
  stream.SetPosition(0);
  Log().clear();
  std::unique_ptr<TComponent> read(ReadComponentFromStream(stream, nullptr));
  EXPECT_EQ(Log(), TLog{"Probe1 read alone"});
  auto* readRoot = static_cast<TActionRoot*>(read.get());
  ASSERT_NE(readRoot->ActionList1, nullptr);
  TCustomActionList* readList = readRoot->ActionList1;
  ASSERT_EQ(readList->ActionCount(), 3);
  auto* readCopy = static_cast<TAction*>(readList->Actions(0));
  auto* readSave = static_cast<TAction*>(readList->Actions(1));
  EXPECT_EQ(readCopy->Name(), "EditCopy");
  EXPECT_EQ(readCopy->Caption(), "&Copier");
  EXPECT_FALSE(readCopy->Enabled());
  EXPECT_EQ(readCopy->ImageIndex(), 2);
  EXPECT_EQ(readSave->Caption(), "&Enregistrer");
  EXPECT_EQ(readSave->Category(), "Fichier");
  EXPECT_TRUE(readSave->HasShortCut(0x202E));
  EXPECT_EQ(readList->Actions(2)->ClassName(), "TProbeAction");
  EXPECT_EQ(readSave->Owner(), readRoot);
  // Written again, the same text.
  EXPECT_EQ(Dump(readRoot), text);
}

class TDyingAction : public TAction {
public:
  using TAction::TAction;
  ~TDyingAction() override { Log().push_back("~" + Name()); }
};

TEST_F(ActionListTest, AListFreesItsActionsLastFirstWhoeverOwnsThem) {
  TComponent owner(nullptr), elsewhere(nullptr);
  auto* list = new TCustomActionList(&owner);
  for (const char* name : {"A", "B"}) {
    auto* action = new TDyingAction(&owner);
    action->SetName(name);
    action->SetActionList(list);
  }
  auto* foreign = new TDyingAction(&elsewhere);
  foreign->SetName("C");
  foreign->SetActionList(list);
  Log().clear();
  delete list;
  EXPECT_EQ(Log(), (TLog{"~C", "~B", "~A"}));
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(elsewhere.ComponentCount(), 0);

  // Freed by its owner, an action leaves its list first.
  TCustomActionList kept(&owner);
  auto* action = new TDyingAction(&elsewhere);
  action->SetName("D");
  action->SetActionList(&kept);
  Log().clear();
  delete action;
  EXPECT_EQ(Log(), TLog{"~D"});
  EXPECT_EQ(kept.ActionCount(), 0);

  // A window freeing both its list and the actions in it frees each once.
  auto* window = new TComponent(nullptr);
  auto* windowList = new TCustomActionList(window);
  for (int i = 0; i < 3; ++i) (new TDyingAction(window))->SetActionList(windowList);
  auto* after = new TCustomActionList(window);
  (new TDyingAction(window))->SetActionList(after);
  delete window;
}

}  // namespace
}  // namespace tavelo::testing
