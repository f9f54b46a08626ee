#include "actions/basicaction.h"

#include <memory>

#include "actions/tests/action_support.h"

namespace tavelo::testing {
namespace {

using BasicActionTest = ActionTest;

TEST_F(BasicActionTest, ALinkIsAClientExactlyWhileItNamesTheAction) {
  TBasicAction first(nullptr), second(nullptr);
  auto link = std::make_unique<TBasicActionLink>(nullptr);
  TBasicActionLink other(nullptr);
  link->SetAction(&first);
  other.SetAction(&first);
  EXPECT_EQ(first.ClientCount(), 2);
  EXPECT_EQ(first.Clients(0), link.get());
  link->RebindAction(&second);
  EXPECT_EQ(link->Action(), &second);
  EXPECT_EQ(first.ClientCount(), 1);
  EXPECT_EQ(second.ClientCount(), 1);
  // Attaching directly moves the link too.
  first.AttachLink(link.get());
  EXPECT_EQ(second.ClientCount(), 0);
  EXPECT_EQ(first.ClientCount(), 2);
  first.DetachLink(link.get());
  EXPECT_EQ(link->Action(), nullptr);
  second.DetachLink(&other);  // not its client: nothing
  EXPECT_EQ(other.Action(), &first);
  link->SetAction(&second);
  link.reset();  // a freed link leaves its action
  EXPECT_EQ(second.ClientCount(), 0);
  other.SetAction(nullptr);
  EXPECT_EQ(first.ClientCount(), 0);
}

TEST_F(BasicActionTest, LinksRunRefreshAndReportThroughTheirAction) {
  TBasicAction action(nullptr);
  action.SetName("Run");
  TLogger logger;
  TBasicActionLink link(nullptr);
  EXPECT_FALSE(link.Trigger(nullptr));
  EXPECT_FALSE(link.RefreshState());
  link.SetAction(&action);
  EXPECT_FALSE(link.Trigger(nullptr));
  EXPECT_FALSE(link.RefreshState());
  action.SetOnExecute(TNotifyEvent::Bind<&TLogger::Execute>(&logger));
  action.SetOnUpdate(TNotifyEvent::Bind<&TLogger::Update>(&logger));
  link.SetOnChange(TNotifyEvent::Bind<&TLogger::Changed>(&logger));
  EXPECT_TRUE(link.Trigger(nullptr));
  EXPECT_TRUE(link.RefreshState());
  link.NotifyChanged();
  EXPECT_EQ(Log(), (TLog{"execute(Run)", "update(Run)", "changed(Run)"}));
}

// A client that drops its link when it hears its action went, as controls do.
class TClient : public TComponent {
public:
  using TComponent::TComponent;
  std::unique_ptr<TBasicActionLink> link;
  TCustomActionList* list = nullptr;
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation != opRemove || !link) return;
    Log().push_back(Name() + " hears " + component->Name() + (link->Action() == component ? ", its action" : ""));
    if (list) {
      bool inList = false;
      for (int i = 0; i < list->ActionCount(); ++i) inList = inList || list->Actions(i) == component;
      Log().push_back(inList ? "in the list" : "out of the list");
    }
    if (link->Action() == component) link.reset();
  }
};

TEST_F(BasicActionTest, AFreedActionLetsItsClientsHearOfItBeforeItsLinksLoseIt) {
  TComponent form(nullptr), otherForm(nullptr);
  TCustomActionList list(&form);
  auto* action = new TAction(&form);
  action->SetName("Save");
  action->SetActionList(&list);
  auto* sibling = new TClient(&form);  // hears through the common owner
  sibling->SetName("Sibling");
  sibling->list = &list;
  sibling->link = std::make_unique<TActionLink>(sibling);
  sibling->link->SetAction(action);
  auto* stranger = new TClient(&otherForm);  // asked for a free notification
  stranger->SetName("Stranger");
  stranger->link = std::make_unique<TActionLink>(stranger);
  stranger->link->SetAction(action);
  action->FreeNotification(stranger);
  TBasicActionLink orphan(nullptr), orphan2(nullptr);  // nobody's: they stay, without their action
  orphan.SetAction(action);
  orphan2.SetAction(action);
  Log().clear();
  delete action;
  EXPECT_EQ(Log(), (TLog{"Stranger hears Save, its action", "Sibling hears Save, its action", "out of the list"}));
  EXPECT_EQ(sibling->link, nullptr);
  EXPECT_EQ(stranger->link, nullptr);
  EXPECT_EQ(orphan.Action(), nullptr);
  EXPECT_EQ(orphan2.Action(), nullptr);
}

// Accepts one target; runs and refreshes on it.
class TTargetedAction : public TBasicAction {
public:
  using TBasicAction::TBasicAction;
  TComponent* accepted = nullptr;
  bool AcceptsTarget(TComponent* target) override { return target == accepted; }
  void RunOnTarget(TComponent* target) override { Log().push_back("run on " + target->Name()); }
  void RefreshOnTarget(TComponent* target) override { Log().push_back("refresh on " + target->Name()); }
};

TEST_F(BasicActionTest, AComponentRunsOrRefreshesAnActionThatAcceptsIt) {
  TComponent memo(nullptr), label(nullptr);
  memo.SetName("Memo1");
  label.SetName("Label1");
  TTargetedAction action(nullptr);
  action.accepted = &memo;
  EXPECT_TRUE(memo.TryRunAction(&action));
  EXPECT_TRUE(memo.TryRefreshAction(&action));
  EXPECT_FALSE(label.TryRunAction(&action));
  EXPECT_FALSE(label.TryRefreshAction(&action));
  EXPECT_FALSE(memo.TryRunAction(nullptr));
  EXPECT_EQ(Log(), (TLog{"run on Memo1", "refresh on Memo1"}));
  // A plain action accepts nothing.
  TBasicAction plain(nullptr);
  EXPECT_FALSE(memo.TryRunAction(&plain));
}

}  // namespace
}  // namespace tavelo::testing
