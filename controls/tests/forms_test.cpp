#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <memory>
#include <string>

#include "actions/actionlist.h"
#include "actions/customaction.h"
#include "controls/application.h"
#include "controls/tests/control_test_support.h"
#include "core/exceptions.h"
#include "core/publish.h"
#include "core/system.h"
#include "streaming/fixups.h"
#include "tools/formtext.h"

namespace tavelo::testing {

// A focusable child that counts its instances and, on WM_USER + 10, sets its form's
// ModalResult to WParam as a button would.
class TBox : public TCustomControl {
  TAVELO_CLASS(TBox, TCustomControl)
public:
  explicit TBox(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 60, 20);
    SetTabStop(true);
    ++Alive;
  }
  ~TBox() override { --Alive; }
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_USER + 10) {
      MainEnabledInside = Application()->MainForm() && IsWindowEnabled(Application()->MainForm()->Handle());
      if (auto* form = DynamicCast<TCustomForm>(GetParentForm(this))) form->SetModalResult(static_cast<int>(message.WParam));
      return;
    }
    TCustomControl::Dispatch(message);
  }
  static inline int Alive = 0;
  static inline bool MainEnabledInside = true;
};

TAVELO_PUBLISH(TBox) {
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alNone);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("TabStop", &Self::TabStop, &Self::SetTabStop);
}

// What the description forms' handlers saw, kept past the forms' end.
struct TCreateLog {
  int creates = 0;
  bool sawBox = false;
  String caption;
  int destroys = 0;
  bool boxAtDestroy = false;
};
inline TCreateLog createLog;

#define TAVELO_TEST_FORM(Name)                                                         \
  class Name : public TForm {                                                         \
    TAVELO_CLASS(Name, TForm)                                                         \
  public:                                                                             \
    explicit Name(TComponent* owner) : TForm(owner) {}                                \
    TBox* Box1 = nullptr;                                                             \
    void FormCreate(TObject*) {                                                       \
      ++createLog.creates;                                                            \
      createLog.sawBox = Box1 != nullptr;                                             \
      createLog.caption = Box1 ? Box1->Caption() : String();                          \
    }                                                                                 \
    void FormDestroy(TObject*) {                                                      \
      ++createLog.destroys;                                                           \
      createLog.boxAtDestroy = FindComponent("Box1") != nullptr;                      \
    }                                                                                 \
  };
TAVELO_TEST_FORM(TNewOrderForm)
TAVELO_TEST_FORM(TOldOrderForm)
TAVELO_TEST_FORM(TScaledForm)
TAVELO_TEST_FORM(TBadForm)
TAVELO_TEST_FORM(TMissingForm)
#define TAVELO_TEST_FORM_PUBLISH(Name)            \
  TAVELO_PUBLISH(Name) {                          \
    c.Field("Box1", &Self::Box1);                 \
    c.Method<&Self::FormCreate>("FormCreate");    \
    c.Method<&Self::FormDestroy>("FormDestroy");  \
  }
TAVELO_TEST_FORM_PUBLISH(TNewOrderForm)
TAVELO_TEST_FORM_PUBLISH(TOldOrderForm)
TAVELO_TEST_FORM_PUBLISH(TScaledForm)
TAVELO_TEST_FORM_PUBLISH(TBadForm)
TAVELO_TEST_FORM_PUBLISH(TMissingForm)

// An action that takes one kind of target and remembers where it ran.
class TTargetAction : public TAction {
public:
  explicit TTargetAction(TComponent* owner) : TAction(owner) {}
  bool AcceptsTarget(TComponent* target) override {
    offered.push_back(target);
    return target == wanted;
  }
  void RunOnTarget(TComponent* target) override { ran = target; }
  TComponent* wanted = nullptr;
  TComponent* ran = nullptr;
  std::vector<TComponent*> offered;
};

namespace {

// Compiles a description and gives it to the program as the resource of its root class.
void Describe(const std::string& text) {
  static std::list<std::string> kept;
  formtext::TCompiled compiled = formtext::Compile(text, ".");
  kept.push_back(compiled.bytes);
  sys::RegisterResource(compiled.rootClass, sys::kRcData, kept.back().data(), static_cast<std::int32_t>(kept.back().size()));
}

// The height of "0" in a new form's font: a description stating it is not scaled.
int CurrentTextHeight() {
  TForm probe(nullptr, 0);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, probe.Font()->Handle());
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc, "0", 1, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cy;
}

std::string Header(const char* name, const char* cls, int textHeight) {
  return std::string(name) + ": " + cls + " {\n  PixelsPerInch = " + std::to_string(Screen()->PixelsPerInch()) +
         "\n  TextHeight = " + std::to_string(textHeight) + "\n";
}

// Runs the application's own loop until the condition holds; false on the deadline.
bool RunUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
  DWORD start = GetTickCount();
  while (!done()) {
    DWORD spent = GetTickCount() - start;
    if (spent >= milliseconds) return false;
    Application()->ProcessMessages();
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(50, milliseconds - spent), QS_ALLINPUT);
  }
  return true;
}

template <class F> String MessageOf(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  } catch (const formtext::TFormError& e) {
    return "formtext: " + e.message;
  }
  return "(rien)";
}

struct THandlers : TObject {
  TCloseAction action = caHide;
  int closes = 0;
  std::vector<String> shown;
  int executes = 0;
  void Close(TObject*, TCloseAction& value) {
    ++closes;
    value = action;
  }
  void HideAgain(TObject* sender) { static_cast<TCustomForm*>(sender)->Hide(); }
  void Error(TObject*, Exception& e) { shown.push_back(e.Message()); }
  void Execute(TObject*) { ++executes; }
  std::vector<String> walk;
  void Enter(TObject* sender) { walk.push_back("+" + static_cast<TComponent*>(sender)->Name()); }
  void Exit(TObject* sender) { walk.push_back("-" + static_cast<TComponent*>(sender)->Name()); }
  TWinControl* redirect = nullptr;  // an enter handler that moves the focus on
  void EnterAndMove(TObject* sender) {
    Enter(sender);
    if (redirect) redirect->SetFocus();
  }
  std::vector<int> keys;
  void FormKey(TObject*, std::uint16_t& key, TShiftState) {
    keys.push_back(-key);
    if (key == 'K') key = 0;
  }
  void BoxKey(TObject*, std::uint16_t& key, TShiftState) { keys.push_back(key); }
  void ShortCut(TMessage& key, bool& handled) { handled = key.WParam == VK_F5; }
};

class FormsTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    Application()->SetOnException(TExceptionEvent::Bind<&THandlers::Error>(&handlers));
    createLog = TCreateLog{};
  }
  void TearDown() override {
    StopControls();
    EXPECT_EQ(TBox::Alive, 0);
  }
  TForm* NewPlainForm(TComponent* owner = nullptr) {
    auto* form = new TForm(owner, 0);
    form->SetBounds(50, 50, 300, 200);
    return form;
  }
  THandlers handlers;
};

TEST_F(FormsTest, AFormWithoutADescriptionFailsAndLeavesNothingBehind) {
  int forms = Screen()->CustomFormCount();
  TMissingForm* missing = nullptr;
  EXPECT_EQ(MessageOf([&] { Application()->CreateForm(missing); }), "Ressource TMissingForm non trouvée");
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(Application()->MainForm(), nullptr);
  EXPECT_EQ(Screen()->CustomFormCount(), forms);

  // A description that fails half way destroys what it built, boxes included.
  Describe(Header("BadForm", "TBadForm", CurrentTextHeight()) +
           "  Box1: TBox {\n    Caption = \"un\"\n    Nope = 1\n  }\n}\n");
  TBadForm* bad = nullptr;
  EXPECT_EQ(MessageOf([&] { Application()->CreateForm(bad); }),
            "Erreur lors de la lecture de Box1.Nope: La propriété Nope n'existe pas");
  EXPECT_EQ(bad, nullptr);
  EXPECT_EQ(TBox::Alive, 0);
  EXPECT_EQ(Screen()->CustomFormCount(), forms);
  EXPECT_EQ(Application()->ComponentCount(), 0);
}

TEST_F(FormsTest, OnCreateSeesTheWholeFormAndOnDestroyFollowsTheCreateOrder) {
  int th = CurrentTextHeight();
  std::string body =
      "  Caption = \"Fiche\"\n  ClientWidth = 300\n  ClientHeight = 200\n  OnCreate = FormCreate\n"
      "  OnDestroy = FormDestroy\n  Box1: TBox {\n    Left = 8\n    Top = 8\n    Caption = \"Premier\"\n  }\n}\n";
  Describe(Header("NewOrderForm", "TNewOrderForm", th) + "  OldCreateOrder = False\n" + body);
  Describe(Header("OldOrderForm", "TOldOrderForm", th) + "  OldCreateOrder = True\n" + body);

  TNewOrderForm* form = nullptr;
  Application()->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Application()->MainForm(), form);
  EXPECT_EQ(createLog.creates, 1);
  EXPECT_TRUE(createLog.sawBox);
  EXPECT_EQ(createLog.caption, "Premier");
  EXPECT_EQ(form->Caption(), "Fiche");
  EXPECT_FALSE(form->OldCreateOrder());
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->ClientWidth(), 300);
  EXPECT_EQ(form->ClientHeight(), 200);
  EXPECT_EQ(form->Box1->Left(), 8);  // the text height matches: nothing is scaled
  EXPECT_EQ(FindGlobalComponent("NEWORDERFORM"), form);
  delete form;
  EXPECT_EQ(createLog.destroys, 1);
  EXPECT_TRUE(createLog.boxAtDestroy);  // before the components go

  createLog = TCreateLog{};
  TOldOrderForm* old = NewForm<TOldOrderForm>(nullptr);
  EXPECT_EQ(createLog.creates, 1);
  EXPECT_TRUE(createLog.sawBox);
  EXPECT_TRUE(old->OldCreateOrder());
  delete old;
  EXPECT_EQ(createLog.destroys, 1);
  EXPECT_FALSE(createLog.boxAtDestroy);  // after them
}

TEST_F(FormsTest, ADescriptionMadeForAnotherTextHeightIsScaled) {
  int th = CurrentTextHeight();
  Describe(Header("ScaledForm", "TScaledForm", th * 2) +
           "  Box1: TBox {\n    Left = 20\n    Top = 40\n    Width = 100\n    Height = 30\n  }\n}\n");
  TScaledForm* form = NewForm<TScaledForm>(nullptr);
  EXPECT_EQ(form->Box1->Left(), MulDiv(20, th, th * 2));
  EXPECT_EQ(form->Box1->Top(), MulDiv(40, th, th * 2));
  EXPECT_EQ(form->Box1->Width(), MulDiv(120, th, th * 2) - MulDiv(20, th, th * 2));
  EXPECT_EQ(form->TextHeight(), th);
  delete form;
}

TEST_F(FormsTest, AFormWithoutAnIconOfItsOwnShowsTheProgramsAndADialogNone) {
  HICON program = LoadIconA(nullptr, IDI_INFORMATION);  // stands for the program's icon
  HICON own = LoadIconA(nullptr, IDI_WARNING);
  Application()->Icon()->SetHandle(program);
  std::unique_ptr<TForm> plain(NewPlainForm()), dialog(NewPlainForm()), owned(NewPlainForm());
  dialog->SetBorderStyle(bsDialog);
  owned->Icon()->SetHandle(own);
  auto big = [](TForm* form) { return reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0)); };
  EXPECT_EQ(big(plain.get()), program);
  EXPECT_EQ(big(dialog.get()), nullptr);
  EXPECT_EQ(big(owned.get()), own);
}

TEST_F(FormsTest, ScreenCentringHappensOnTheFirstShowingOnly) {
  TForm* form = NewPlainForm();
  form->SetPosition(poScreenCenter);
  form->SetBounds(0, 0, 200, 120);
  form->Show();
  EXPECT_EQ(form->Left(), (Screen()->Width() - 200) / 2);
  EXPECT_EQ(form->Top(), (Screen()->Height() - 120) / 2);
  EXPECT_EQ(form->Position(), poDesigned);
  form->Hide();
  form->SetBounds(10, 20, 200, 120);  // the user moved it
  form->Show();
  EXPECT_EQ(form->Left(), 10);
  EXPECT_EQ(form->Top(), 20);
  delete form;
}

TEST_F(FormsTest, CloseActionsDecideWhatClosingMeans) {
  TForm* form = NewPlainForm();
  form->SetOnClose(TCloseEvent::Bind<&THandlers::Close>(&handlers));
  form->Show();
  handlers.action = caNone;
  form->Close();
  EXPECT_TRUE(form->Visible());
  handlers.action = caHide;
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(IsWindowVisible(form->Handle()));

  // Freed only once the message that closed it has been handled.
  form->Show();
  handlers.action = caFree;
  int forms = Screen()->CustomFormCount();
  form->Close();
  EXPECT_EQ(Screen()->CustomFormCount(), forms);
  ASSERT_TRUE(RunUntil([&] { return Screen()->CustomFormCount() == forms - 1; }));
  EXPECT_EQ(handlers.closes, 3);
}

TEST_F(FormsTest, ClosingTheMainFormTerminatesWhateverTheAction) {
  TForm* main = nullptr;
  Application()->CreateForm(main);
  main->SetOnClose(TCloseEvent::Bind<&THandlers::Close>(&handlers));
  main->Show();
  handlers.action = caNone;
  main->Close();
  Application()->ProcessMessages();
  EXPECT_FALSE(Application()->Terminated());
  handlers.action = caHide;
  main->Close();
  EXPECT_TRUE(main->Visible());  // not hidden: the application ends instead
  Application()->ProcessMessages();
  EXPECT_TRUE(Application()->Terminated());
}

TEST_F(FormsTest, AModalFormReturnsItsResult) {
  TForm* main = nullptr;
  Application()->CreateForm(main);
  main->Show();
  TForm* dialog = NewPlainForm();
  auto* button = new TBox(dialog);
  button->SetParent(dialog);
  dialog->HandleNeeded();
  Screen()->SetCursor(crHourGlass);

  TBox::MainEnabledInside = true;
  PostMessageA(button->Handle(), WM_USER + 10, ResultOk, 0);
  EXPECT_EQ(dialog->ShowModal(), ResultOk);
  EXPECT_FALSE(TBox::MainEnabledInside);  // the other windows were disabled meanwhile
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(Screen()->Cursor(), crHourGlass);

  // The caption's close button and a plain close both cancel.
  PostMessageA(dialog->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(dialog->ShowModal(), ResultCancel);
  PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(dialog->ShowModal(), ResultCancel);
  EXPECT_FALSE(dialog->FormState().Contains(fsModal));

  dialog->Show();
  EXPECT_EQ(MessageOf([&] { dialog->ShowModal(); }), "Impossible de rendre modale une fenêtre visible");
  dialog->Hide();
  Screen()->SetCursor(crDefault);

  // The application ending ends the modal run too.
  PostQuitMessage(0);
  EXPECT_EQ(dialog->ShowModal(), ResultCancel);
  delete dialog;
}

TEST_F(FormsTest, TheActiveControlMustLieOnTheFormAndBeFocusable) {
  TForm* one = NewPlainForm();
  TForm* two = NewPlainForm();
  auto* other = new TBox(two);
  other->SetParent(two);
  EXPECT_EQ(MessageOf([&] { one->SetActiveControl(other); }), "Impossible de focaliser une fenêtre désactivée ou invisible");
  EXPECT_EQ(MessageOf([&] { one->SetActiveControl(one); }), "Impossible de focaliser une fenêtre désactivée ou invisible");
  other->SetVisible(false);
  EXPECT_EQ(MessageOf([&] { two->SetActiveControl(other); }), "Impossible de focaliser une fenêtre désactivée ou invisible");
  other->SetVisible(true);
  two->SetActiveControl(other);
  EXPECT_EQ(two->ActiveControl(), other);
  EXPECT_EQ(MessageOf([&] { one->SetFocus(); }), "Impossible de focaliser une fenêtre désactivée ou invisible");
  delete one;
  delete two;
}

TEST_F(FormsTest, TabAndShiftTabWalkTheFormAndWrap) {
  TForm* form = NewPlainForm();
  TBox* boxes[3];
  for (int i = 0; i < 3; ++i) {
    boxes[i] = new TBox(form);
    boxes[i]->SetBounds(10, 10 + 30 * i, 80, 20);
    boxes[i]->SetParent(form);
  }
  form->Show();
  SetForegroundWindow(form->Handle());
  // Activation gives the focus to the first tab stop.
  ASSERT_TRUE(RunUntil([&] { return form->Active() && GetFocus() == boxes[0]->Handle(); }));
  EXPECT_EQ(form->ActiveControl(), boxes[0]);
  EXPECT_EQ(Screen()->ActiveForm(), form);
  EXPECT_EQ(Screen()->ActiveControl(), boxes[0]);
  auto tab = [&](TBox* from, TBox* to) {
    PostMessageA(from->Handle(), WM_KEYDOWN, VK_TAB, 0x000F0001);
    return RunUntil([&] { return form->ActiveControl() == to && GetFocus() == to->Handle(); });
  };
  EXPECT_TRUE(tab(boxes[0], boxes[1]));
  EXPECT_TRUE(tab(boxes[1], boxes[2]));
  EXPECT_TRUE(tab(boxes[2], boxes[0]));
  {
    TKeyHeld shift(VK_SHIFT);
    EXPECT_TRUE(tab(boxes[0], boxes[2]));
  }
  // An arrow moves among the siblings, tab stop or not.
  boxes[0]->SetTabStop(false);
  PostMessageA(boxes[2]->Handle(), WM_KEYDOWN, VK_RIGHT, 0x014D0001);
  EXPECT_TRUE(RunUntil([&] { return form->ActiveControl() == boxes[0]; }));
  delete form;
}

TEST_F(FormsTest, FocusLeavesAndEntersEachLevelOnTheWay) {
  TForm* form = NewPlainForm();
  auto make = [&](TWinControl* parent, const char* name, int top) {
    auto* box = new TBox(form);
    box->SetName(name);
    box->SetControlStyle(box->ControlStyle() + TControlStyle{csAcceptsControls});
    box->SetBounds(10, top, 120, 60);
    box->SetParent(parent);
    box->SetOnEnter(TNotifyEvent::Bind<&THandlers::Enter>(&handlers));
    box->SetOnExit(TNotifyEvent::Bind<&THandlers::Exit>(&handlers));
    return box;
  };
  TBox* panel = make(form, "Panel", 10);
  TBox* inner = make(panel, "Inner", 10);
  inner->SetBounds(5, 5, 50, 20);
  TBox* other = make(form, "Other", 100);
  other->SetTabStop(false);
  form->Show();
  SetForegroundWindow(form->Handle());
  ASSERT_TRUE(RunUntil([&] { return form->Active() && GetFocus() == panel->Handle(); }));
  handlers.walk.clear();
  inner->SetFocus();
  ASSERT_TRUE(RunUntil([&] { return GetFocus() == inner->Handle(); }));
  EXPECT_EQ(handlers.walk, (std::vector<String>{"+Inner"}));
  int count = FocusCount();
  other->SetFocus();
  ASSERT_TRUE(RunUntil([&] { return GetFocus() == other->Handle(); }));
  EXPECT_EQ(handlers.walk, (std::vector<String>{"+Inner", "-Inner", "-Panel", "+Other"}));
  EXPECT_GT(FocusCount(), count);
  EXPECT_EQ(form->ActiveControl(), other);

  // An enter handler that moves the focus elsewhere stops the walk it interrupted.
  handlers.walk.clear();
  panel->SetOnEnter(TNotifyEvent::Bind<&THandlers::EnterAndMove>(&handlers));
  handlers.redirect = other;
  inner->SetFocus();
  ASSERT_TRUE(RunUntil([&] { return GetFocus() == other->Handle() && form->ActiveControl() == other; }));
  EXPECT_EQ(std::count(handlers.walk.begin(), handlers.walk.end(), "+Inner"), 0);
  EXPECT_EQ(handlers.walk.front(), "-Other");
  EXPECT_EQ(handlers.walk[1], "+Panel");
  delete form;
}

TEST_F(FormsTest, TheFormSeesKeysFirstWithPreviewAndItsShortCutEventClaimsThem) {
  TForm* form = NewPlainForm();
  auto* box = new TBox(form);
  box->SetParent(form);
  box->SetOnKeyDown(TKeyEvent::Bind<&THandlers::BoxKey>(&handlers));
  form->SetOnKeyDown(TKeyEvent::Bind<&THandlers::FormKey>(&handlers));
  form->SetOnShortCut(TShortCutEvent::Bind<&THandlers::ShortCut>(&handlers));
  form->Show();
  SetForegroundWindow(form->Handle());
  ASSERT_TRUE(RunUntil([&] { return GetFocus() == box->Handle(); }));
  auto press = [&](WPARAM key) {
    PostMessageA(box->Handle(), WM_KEYDOWN, key, 1);
    Application()->ProcessMessages();
  };
  press('J');
  EXPECT_EQ(handlers.keys, std::vector<int>{'J'});
  form->SetKeyPreview(true);
  press('J');
  press('K');  // the form's handler consumes it
  press(VK_F5);  // claimed as a shortcut: no key event at all
  EXPECT_EQ(handlers.keys, (std::vector<int>{'J', -'J', 'J', -'K'}));
  EXPECT_EQ(form->Perform(FM_IS_SHORTCUT, VK_F5, 1), 1);
  EXPECT_EQ(form->Perform(FM_IS_SHORTCUT, VK_F6, 1), 0);
  delete form;
}

TEST_F(FormsTest, TheMainFormsActionShortCutWorksWhileAnotherFormIsActive) {
  TForm* main = nullptr;
  Application()->CreateForm(main);
  auto* list = new TCustomActionList(main);
  auto* action = new TAction(main);
  action->SetActionList(list);
  action->SetShortCut(MakeShortCut('O', TShiftState{ssCtrl}));
  action->SetOnExecute(TNotifyEvent::Bind<&THandlers::Execute>(&handlers));
  ASSERT_EQ(main->ActionLists().size(), 1u);
  main->Show();
  TForm* other = NewPlainForm();
  auto* box = new TBox(other);
  box->SetParent(other);
  other->Show();
  SetForegroundWindow(other->Handle());
  ASSERT_TRUE(RunUntil([&] { return GetFocus() == box->Handle(); }));
  EXPECT_EQ(Screen()->ActiveForm(), other);
  {
    TKeyHeld ctrl(VK_CONTROL);
    PostMessageA(box->Handle(), WM_KEYDOWN, 'O', 0x00180001);
    EXPECT_TRUE(RunUntil([&] { return handlers.executes == 1; }));
  }
  // Without Ctrl the key is nobody's shortcut.
  PostMessageA(box->Handle(), WM_KEYDOWN, 'O', 0x00180001);
  Application()->ProcessMessages();
  EXPECT_EQ(handlers.executes, 1);
  delete other;
}

TEST_F(FormsTest, AnActionIsOfferedToTheActiveControlTheFormThenEveryVisibleControl) {
  TForm* main = nullptr;
  Application()->CreateForm(main);
  auto* first = new TBox(main);
  first->SetParent(main);
  auto* hidden = new TBox(main);
  hidden->SetVisible(false);
  hidden->SetParent(main);
  auto* last = new TBox(main);
  last->SetParent(main);
  TTargetAction action(nullptr);
  action.wanted = last;
  EXPECT_FALSE(action.Trigger());  // not showing: nobody is asked
  EXPECT_TRUE(action.offered.empty());
  EXPECT_FALSE(action.Enabled());  // and without a handler it gave up
  action.SetEnabled(true);
  main->Show();
  SetForegroundWindow(main->Handle());
  ASSERT_TRUE(RunUntil([&] { return main->ActiveControl() == first; }));
  EXPECT_TRUE(action.Trigger());
  EXPECT_EQ(action.ran, last);
  // The run's own search (a refresh may have searched the same way before it).
  ASSERT_GE(action.offered.size(), 4u);
  EXPECT_EQ(std::vector<TComponent*>(action.offered.end() - 4, action.offered.end()),
            (std::vector<TComponent*>{first, main, first, last}));
}

TEST_F(FormsTest, VisibleCannotChangeInsideOnShow) {
  TForm* form = NewPlainForm();
  form->SetOnShow(TNotifyEvent::Bind<&THandlers::HideAgain>(&handlers));
  form->Show();
  EXPECT_EQ(handlers.shown, std::vector<String>{"Impossible de changer Visible dans OnShow ou OnHide"});
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  delete form;
}

TEST_F(FormsTest, TheVerticalBarAppearsBelowTheHeightOfTheTopAndBottomBars) {
  TForm* form = NewPlainForm();
  auto add = [&](TAlign align, int height) {
    auto* box = new TBox(form);
    box->SetTabStop(false);
    box->SetBounds(0, 0, 100, height);
    box->SetAlign(align);
    box->SetParent(form);
  };
  add(alTop, 29);
  add(alTop, 29);
  add(alBottom, 19);
  add(alClient, 10);
  form->Show();
  form->SetClientHeight(120);
  EXPECT_EQ(form->VertScrollBar()->Range(), 77);
  EXPECT_FALSE(form->VertScrollBar()->IsScrollBarVisible());
  form->SetClientHeight(76);
  EXPECT_TRUE(form->VertScrollBar()->IsScrollBarVisible());
  EXPECT_FALSE(form->HorzScrollBar()->IsScrollBarVisible());
  form->SetClientHeight(77);
  EXPECT_FALSE(form->VertScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(form->HorzScrollBar()->Range(), 0);
  // Without automatic scrolling (a dialog border) nothing follows the children.
  form->SetBorderStyle(bsDialog);
  EXPECT_FALSE(form->AutoScroll());
  EXPECT_EQ(form->VertScrollBar()->Range(), 0);
  delete form;
}

}  // namespace
}  // namespace tavelo::testing
