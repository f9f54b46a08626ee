#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/tests/control_test_support.h"
#include "core/exceptions.h"

namespace tavelo::testing {
namespace {

struct TJournal : TObject {
  std::vector<String> lines;
  void Enter(TObject* sender) { lines.push_back("entre " + static_cast<TComponent*>(sender)->Name()); }
  void Exit(TObject* sender) { lines.push_back("sort " + static_cast<TComponent*>(sender)->Name()); }
};

class FocusTest : public ::testing::Test {
protected:
  void SetUp() override {
    Reported().clear();
    SetWindowExceptionHandler(&ReportException);
    form = std::make_unique<TStandInForm>(nullptr);
  }
  void TearDown() override {
    form.reset();
    SetWindowExceptionHandler(nullptr);
    EXPECT_TRUE(Reported().empty());
  }
  TCustomControl* Child(TWinControl* parent, const char* name, bool tabStop = true) {
    auto* c = new TCustomControl(form.get());
    c->SetName(name);
    c->SetBounds(10 * parent->ControlCount(), 10, 8, 8);
    c->SetTabStop(tabStop);
    c->SetParent(parent);
    c->SetOnEnter(TNotifyEvent::Bind<&TJournal::Enter>(&journal));
    c->SetOnExit(TNotifyEvent::Bind<&TJournal::Exit>(&journal));
    return c;
  }
  // Posts a Tab to the focused window and runs the loop until `next` has the focus.
  bool TabTo(TWinControl* next) {
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001);
    return PumpUntil([&] { return next->Focused(); });
  }
  TJournal journal;
  std::unique_ptr<TStandInForm> form;
};

TEST_F(FocusTest, TabWrapsAroundTheFormAndEnterExitFollowTheFocus) {
  auto* first = Child(form.get(), "Premier");
  auto* skipped = Child(form.get(), "Ignore", false);
  auto* panel = Child(form.get(), "Panneau", false);
  auto* inner = Child(panel, "Interne");
  auto* last = Child(form.get(), "Dernier");
  form->Open();
  (void)skipped;

  last->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return last->Focused(); }));
  EXPECT_EQ(form->Active, last);
  journal.lines.clear();

  ASSERT_TRUE(TabTo(first));
  EXPECT_EQ(form->DialogKeys, 1);
  EXPECT_EQ(journal.lines, (std::vector<String>{"sort Dernier", "entre Premier"}));
  ASSERT_TRUE(TabTo(inner));  // depth first: the panel's own list follows the panel
  ASSERT_TRUE(TabTo(last));
  {
    TKeyHeld shift(VK_SHIFT);
    ASSERT_TRUE(TabTo(inner));
    ASSERT_TRUE(TabTo(first));
    ASSERT_TRUE(TabTo(last));  // Shift+Tab from the first goes to the last
  }
  EXPECT_EQ(form->DialogKeys, 6);
}

TEST_F(FocusTest, FindNextSkipsWhatCannotTakeTheFocusAndGivesUpAfterOneTurn) {
  auto* a = Child(form.get(), "A");
  auto* b = Child(form.get(), "B");
  auto* panel = Child(form.get(), "Panneau");
  auto* inner = Child(panel, "Interne");
  std::vector<TWinControl*> order;
  form->GetTabOrderList(order);
  EXPECT_EQ(order, (std::vector<TWinControl*>{a, b, panel, inner}));

  EXPECT_EQ(form->FindNextControl(nullptr, true, true, false), a);
  EXPECT_EQ(form->FindNextControl(nullptr, false, true, false), inner);
  EXPECT_EQ(form->FindNextControl(inner, true, true, false), a);
  EXPECT_EQ(form->FindNextControl(b, true, true, true), panel);  // a direct child only
  EXPECT_EQ(form->FindNextControl(panel, true, true, true), a);

  b->SetEnabled(false);
  panel->SetVisible(false);  // hides its child from the focus too
  EXPECT_EQ(form->FindNextControl(a, true, true, false), a);  // the full turn ends on itself
  a->SetTabStop(false);
  EXPECT_EQ(form->FindNextControl(a, true, true, false), nullptr);
  EXPECT_FALSE(inner->CanFocus());

  TCustomControl loose(nullptr);
  EXPECT_FALSE(loose.CanFocus());  // no form
  loose.SetName("Libre");
  try {
    loose.SetFocus();
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), String("Le contrôle 'Libre' n'a pas de fenêtre parente"));
  }
}

TEST_F(FocusTest, RemovingOrHidingTheFocusedControlTakesTheFormsFocusAway) {
  auto* a = Child(form.get(), "A");
  auto* b = Child(form.get(), "B");
  form->Open();
  a->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return a->Focused(); }));
  a->SetVisible(false);
  EXPECT_NE(form->Active, a);  // the platform may hand the focus to the form itself
  b->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return b->Focused(); }));
  b->SetParent(nullptr);
  EXPECT_NE(form->Active, b);
  delete b;
}

TEST_F(FocusTest, TabOrderIsClampedAndReadOrdersTakeTheirSlotsAfterReading) {
  auto* w0 = Child(form.get(), "W0");
  auto* w1 = Child(form.get(), "W1");
  auto* w2 = Child(form.get(), "W2");
  auto* w3 = Child(form.get(), "W3");
  using L = std::vector<TWinControl*>;
  w2->SetTabOrder(-4);
  EXPECT_EQ(form->TabList(), (L{w2, w0, w1, w3}));
  w2->SetTabOrder(40);
  EXPECT_EQ(form->TabList(), (L{w0, w1, w3, w2}));
  EXPECT_EQ(w2->TabOrder(), 3);
  w2->SetTabOrder(2);
  EXPECT_EQ(form->TabList(), (L{w0, w1, w2, w3}));

  // As a description is read, each child only stores its value.
  int stored[] = {3, 1, 1, -1};
  TWinControl* children[] = {w0, w1, w2, w3};
  for (int i = 0; i < 4; ++i) {
    children[i]->IncludeState(csReading);
    children[i]->SetTabOrder(stored[i]);
    children[i]->ExcludeState(csReading);
  }
  EXPECT_EQ(form->TabList(), (L{w0, w1, w2, w3}));
  // Slot 1 goes to the later W2, slot 3 to W0; W1 and W3 have none and move aside.
  form->FixupTabList();
  EXPECT_EQ(form->TabList(), (L{w2, w1, w3, w0}));
}

}  // namespace
}  // namespace tavelo::testing
