#include "core/component.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/tests/test_support.h"

namespace tavelo::testing {
namespace {

std::vector<std::string> gLog;

// Logs each notification it receives as "receiver:op:component".
class TLogged : public TComponent {
  TAVELO_CLASS(TLogged, TComponent)
public:
  using TComponent::TComponent;
  void Notification(TComponent* component, TOperation operation) override {
    gLog.push_back(Name() + (operation == opInsert ? ":+" : ":-") + (component ? component->Name() : "nil"));
    TComponent::Notification(component, operation);
  }
  ~TLogged() override { gLog.push_back("~" + Name()); }
};
TAVELO_CLASS_IMPL(TLogged)

// An owner that publishes fields for its components.
class TOwnerForm : public TLogged {
  TAVELO_CLASS(TOwnerForm, TLogged)
public:
  using TLogged::TLogged;
  TLogged* Memo1 = nullptr;
  TLogged* Button1 = nullptr;
  TOwnerForm* Other = nullptr;  // a field of another class than its namesakes
};
TAVELO_PUBLISH(TOwnerForm) {
  c.Field("Memo1", &Self::Memo1);
  c.Field("Button1", &Self::Button1);
  c.Field("Other", &Self::Other);
}

TLogged* Make(TComponent* owner, const char* name) {
  auto* c = new TLogged(owner);
  c->SetName(name);
  return c;
}

class ComponentTest : public ::testing::Test {
protected:
  void SetUp() override { gLog.clear(); }
};

TEST_F(ComponentTest, FieldsFollowTheNameThroughRenameAndDestruction) {
  TOwnerForm form(nullptr);
  TLogged* memo = Make(&form, "memo1");
  EXPECT_EQ(form.Memo1, memo);  // names compare without case
  memo->SetName("Button1");
  EXPECT_EQ(form.Memo1, nullptr);
  EXPECT_EQ(form.Button1, memo);
  memo->SetName("Nothing");
  EXPECT_EQ(form.Button1, nullptr);
  memo->SetName("Memo1");
  delete memo;
  EXPECT_EQ(form.Memo1, nullptr);
  TLogged* other = Make(&form, "Other");  // a TLogged is no TOwnerForm
  EXPECT_EQ(form.Other, nullptr);
  EXPECT_EQ(form.FindComponent("OTHER"), other);
}

TEST_F(ComponentTest, NamesAreValidatedAndUniqueAmongSiblings) {
  TLogged owner(nullptr);
  TLogged* a = Make(&owner, "memo1");
  TLogged* b = Make(&owner, "Label");
  EXPECT_RAISES(b->SetName("Memo1"), EComponentError, "Un composant nommé Memo1 existe déjà");
  EXPECT_EQ(b->Name(), "Label");
  a->SetName("Memo1");  // a change of case only
  EXPECT_EQ(a->Name(), "Memo1");
  for (const char* bad : {"1abc", "a b", "\xE9", "x-y"})
    EXPECT_RAISES(b->SetName(bad), EComponentError, Format("''%s'' n'est pas un nom de composant correct", {bad}));
  Make(&owner, "");
  Make(&owner, "");  // any number of unnamed siblings
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  EXPECT_EQ(owner.FindComponent("MEMO1"), a);
  EXPECT_EQ(owner.FindComponent("Memo"), nullptr);
  EXPECT_EQ(owner.ComponentCount(), 4);
}

TEST_F(ComponentTest, InsertingANameAlreadyOwnedIsRefusedAndLeavesNoOwner) {
  TOwnerForm form(nullptr);
  TLogged* memo = Make(&form, "memo1");
  TLogged stray(nullptr);
  stray.SetName("MEMO1");
  gLog.clear();
  EXPECT_RAISES(form.InsertComponent(&stray), EComponentError, "Un composant nommé MEMO1 existe déjà");
  EXPECT_EQ(stray.Owner(), nullptr);
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Memo1, memo);
  EXPECT_TRUE(gLog.empty());  // nobody was told of an insertion

  // One that belongs elsewhere leaves its owner first, so a refusal leaves it with none.
  TOwnerForm other(nullptr);
  other.SetName("Other");
  TLogged* moving = Make(&other, "Memo1");
  EXPECT_EQ(other.Memo1, moving);
  gLog.clear();
  EXPECT_RAISES(form.InsertComponent(moving), EComponentError, "Un composant nommé Memo1 existe déjà");
  EXPECT_EQ(moving->Owner(), nullptr);
  EXPECT_EQ(other.ComponentCount(), 0);
  EXPECT_EQ(other.Memo1, nullptr);
  EXPECT_EQ(gLog.front(), "Other:-Memo1");
  EXPECT_EQ(form.FindComponent("memo1"), memo);

  // Without a clash the move goes through; inserting where it already is changes nothing.
  moving->SetName("Button1");
  form.InsertComponent(moving);
  form.InsertComponent(moving);
  EXPECT_EQ(moving->Owner(), &form);
  EXPECT_EQ(form.ComponentCount(), 2);
  EXPECT_EQ(form.Button1, moving);
  TLogged unnamed(nullptr);
  form.InsertComponent(&unnamed);  // any number of unnamed ones
  EXPECT_EQ(unnamed.Owner(), &form);
  form.RemoveComponent(&unnamed);
}

// Records the renames its owner chain is asked to validate.
class TRenameWatcher : public TLogged {
  TAVELO_CLASS(TRenameWatcher, TLogged)
public:
  using TLogged::TLogged;
  void ValidateRename(TComponent* component, const String& currentName, const String& newName) override {
    gLog.push_back(Name() + " validates " + currentName + "->" + newName);
    TLogged::ValidateRename(component, currentName, newName);
  }
};
TAVELO_CLASS_IMPL(TRenameWatcher)

TEST_F(ComponentTest, DesigningOwnersPassRenamesUpTheChain) {
  TRenameWatcher root(nullptr);
  root.SetName("Root");
  root.SetDesigning(true);
  auto* frame = new TRenameWatcher(&root);
  frame->SetName("Frame");
  TLogged* inner = Make(frame, "Inner");
  EXPECT_TRUE(inner->ComponentState().Contains(csDesigning));
  gLog.clear();
  inner->SetName("Other");
  EXPECT_EQ(gLog, (std::vector<std::string>{"Frame validates Inner->Other", "Root validates Inner->Other"}));
  Make(frame, "Taken");
  EXPECT_RAISES(inner->SetName("TAKEN"), EComponentError, "Un composant nommé TAKEN existe déjà");
}

TEST_F(ComponentTest, NotificationsReachTheTreeOwnerFirstThenLastToFirst) {
  auto* form = new TLogged(nullptr);
  form->SetName("Form");
  TLogged* a = Make(form, "A");
  Make(a, "A1");
  Make(form, "B");
  gLog.clear();
  TLogged* c = new TLogged(form);
  EXPECT_EQ(gLog, (std::vector<std::string>{"Form:+", "B:+", "A:+", "A1:+"}));
  gLog.clear();
  c->SetName("C");
  form->RemoveComponent(c);
  // Still in the list while it is told, so the component hears of its own removal too.
  EXPECT_EQ(gLog, (std::vector<std::string>{"Form:-C", "C:-C", "B:-C", "A:-C", "A1:-C"}));
  delete c;
  gLog.clear();
  delete form;
  // Destroyed from the last owned to the first, each one's tree before it.
  EXPECT_EQ(gLog, (std::vector<std::string>{"~Form", "~B", "~A", "~A1"}));
}

// A component that frees its victims when it hears of a removal.
class TCascade : public TLogged {
  TAVELO_CLASS(TCascade, TLogged)
public:
  using TLogged::TLogged;
  std::vector<TComponent*> victims;
  void Notification(TComponent* component, TOperation operation) override {
    TLogged::Notification(component, operation);
    if (operation == opRemove && component && component->Name() == "Ext") {
      std::vector<TComponent*> doomed;
      doomed.swap(victims);
      for (TComponent* v : doomed) delete v;
    }
  }
};
TAVELO_CLASS_IMPL(TCascade)

TEST_F(ComponentTest, AShrinkingListIsFollowedDown) {
  TLogged form(nullptr);
  form.SetName("Form");
  TLogged* v1 = Make(&form, "V1");
  TLogged* v2 = Make(&form, "V2");
  auto* cascade = new TCascade(&form);
  cascade->SetName("C");
  cascade->victims = {v1, v2};
  TLogged ext(nullptr);
  ext.SetName("Ext");
  gLog.clear();
  form.Notification(&ext, opRemove);
  // C, the last, frees the two before it; the loop goes on at the new last index, C again.
  std::vector<std::string> told;
  for (const std::string& line : gLog)
    if (line.find(":-Ext") != std::string::npos) told.push_back(line);
  EXPECT_EQ(told, (std::vector<std::string>{"Form:-Ext", "C:-Ext", "C:-Ext"}));
  EXPECT_EQ(form.ComponentCount(), 1);
}

TEST_F(ComponentTest, FreeNotificationsWorkBothWays) {
  TLogged ownerA(nullptr), ownerB(nullptr);
  TLogged* x = Make(&ownerA, "X");
  TLogged* y = Make(&ownerB, "Y");
  x->FreeNotification(y);
  EXPECT_TRUE(x->ComponentState().Contains(csFreeNotification));
  EXPECT_TRUE(y->ComponentState().Contains(csFreeNotification));
  gLog.clear();
  delete y;
  EXPECT_EQ(gLog.front(), "~Y");
  EXPECT_NE(std::find(gLog.begin(), gLog.end(), "X:-Y"), gLog.end());
  gLog.clear();
  delete x;  // x no longer knows y: no stale notification
  EXPECT_EQ(std::count_if(gLog.begin(), gLog.end(), [](const std::string& s) { return s == "Y:-X"; }), 0);
}

// Tells its partners of its end from its own destructor, while its own part still stands.
class TEarlyTeller : public TLogged {
public:
  using TLogged::TLogged;
  ~TEarlyTeller() override {
    TearDownComponent();
    gLog.push_back(Name() + " still whole");
  }
};

TEST_F(ComponentTest, ADerivedClassCanTellItsPartnersBeforeItsOwnPartEnds) {
  TLogged owner(nullptr), elsewhere(nullptr);
  owner.SetName("Owner");
  TLogged* partner = Make(&elsewhere, "Partner");
  auto* teller = new TEarlyTeller(&owner);
  teller->SetName("Teller");
  Make(teller, "Child");
  teller->FreeNotification(partner);
  gLog.clear();
  delete teller;
  EXPECT_EQ(gLog, (std::vector<std::string>{"Partner:-Teller", "~Child", "Owner:-Teller", "Teller:-Teller", "Teller still whole",
                                            "~Teller"}));
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(ComponentTest, IndexErrorsAndComponentIndex) {
  TLogged owner(nullptr);
  EXPECT_RAISES(owner.Components(0), EListError, "Indice de liste hors limites (0)");
  TLogged* a = Make(&owner, "A");
  Make(&owner, "B");
  EXPECT_RAISES(owner.Components(2), EListError, "Indice de liste hors limites (2)");
  a->SetComponentIndex(99);  // clamped
  EXPECT_EQ(a->ComponentIndex(), 1);
  EXPECT_EQ(owner.Components(0)->Name(), "B");
}

TEST_F(ComponentTest, NamePathsAndAssignErrors) {
  TLogged owner(nullptr);
  TLogged* a = Make(&owner, "Memo1");
  EXPECT_EQ(a->GetNamePath(), "Memo1");
  TPersistent plain;
  EXPECT_EQ(plain.GetNamePath(), "TPersistent");
  EXPECT_RAISES(a->Assign(nullptr), EConvertError, "Impossible d'affecter nil à TLogged");
  EXPECT_RAISES(a->Assign(&plain), EConvertError, "Impossible d'affecter TPersistent à TLogged");
}

TEST_F(ComponentTest, VirtualConstructorAndPublishedNameAndTag) {
  TOwnerForm form(nullptr);
  TComponent* made = CreateComponent(TLogged::StaticClass(), &form);
  EXPECT_EQ(made->ClassName(), "TLogged");
  EXPECT_EQ(made->Owner(), &form);
  EXPECT_TRUE(made->ComponentStyle().Contains(csInheritable));
  const TPropInfo* name = TComponent::StaticClass()->FindProperty("NAME");
  ASSERT_NE(name, nullptr);
  EXPECT_FALSE(name->IsStored(made));
  name->Access().SetStr(made, "Memo1");
  EXPECT_EQ(form.Memo1, made);
  const TPropInfo* tag = TOwnerForm::StaticClass()->FindProperty("tag");
  EXPECT_EQ(tag->Default(), 0);
  tag->Access().SetOrd(made, 42);
  EXPECT_EQ(made->Tag(), 42);
  EXPECT_EQ(TOwnerForm::StaticClass()->UnitName(), "component_test");
}

}  // namespace
}  // namespace tavelo::testing
