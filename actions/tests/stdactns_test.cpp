// The ready-made actions on a real form: the edit actions follow the focused memo through the
// application's refresh, the file action runs its dialog, the exit action closes the main form
// through its ordinary path.
#include <gtest/gtest.h>

#include "actions/actionlist.h"
#include "actions/stdactns.h"
#include "controls/application.h"
#include "controls/forms.h"
#include "controls/stdctrls.h"
#include "controls/tests/control_test_support.h"
#include "dialogs/clipbrd.h"
#include "core/system.h"
#include "dialogs/tests/dialog_test_support.h"
#include "streaming/classregistry.h"
#include "tools/formtext.h"

namespace tavelo::testing {
namespace {

struct TEvents : TObject {
  void Accept(TObject*) { accepted.push_back("accept"); }
  void Cancel(TObject*) { accepted.push_back("cancel"); }
  void Before(TObject*) { accepted.push_back("before"); }
  void Close(TObject*, TCloseAction& action) {
    ++closes;
    action = keepOpen ? caNone : caFree;
  }
  std::vector<std::string> accepted;
  int closes = 0;
  bool keepOpen = true;
};

class StdActionsTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    Application()->CreateForm(form);
    form->SetBounds(40, 40, 320, 200);
    list = new TCustomActionList(form);
    memo = Add<TMemo>(10, 10, 200, 80);
    other = Add<TMemo>(10, 100, 200, 40);
    button = Add<TButton>(220, 10, 80, 25);
    cut = Join(new TEditCut(form));
    copy = Join(new TEditCopy(form));
    paste = Join(new TEditPaste(form));
    selectAll = Join(new TEditSelectAll(form));
    form->Show();
    SetForegroundWindow(form->Handle());
  }
  void TearDown() override { StopControls(); }
  template <class T> T* Add(int l, int t, int w, int h) {
    auto* c = new T(form);
    c->SetBounds(l, t, w, h);
    c->SetParent(form);
    return c;
  }
  template <class T> T* Join(T* action) {
    action->SetActionList(list);
    return action;
  }
  void Focus(TWinControl* control) {
    form->SetActiveControl(control);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == control->Handle(); }));
  }
  // The idle refresh of every action, as the loop does it.
  void Refresh() {
    for (TBasicAction* a : {static_cast<TBasicAction*>(cut), static_cast<TBasicAction*>(copy),
                            static_cast<TBasicAction*>(paste), static_cast<TBasicAction*>(selectAll)})
      a->RefreshState();
  }
  TForm* form = nullptr;
  TCustomActionList* list = nullptr;
  TMemo* memo = nullptr;
  TMemo* other = nullptr;
  TButton* button = nullptr;
  TEditCut* cut = nullptr;
  TEditCopy* copy = nullptr;
  TEditPaste* paste = nullptr;
  TEditSelectAll* selectAll = nullptr;
};

TEST_F(StdActionsTest, EditActionsFollowTheFocusedMemoAndTheClipboard) {
  memo->SetText("abc");
  Focus(memo);
  memo->SetSelLength(0);
  Clipboard()->Clear();
  Refresh();
  EXPECT_FALSE(cut->Enabled());
  EXPECT_FALSE(copy->Enabled());
  EXPECT_FALSE(paste->Enabled()) << "no text on the clipboard";
  EXPECT_TRUE(selectAll->Enabled());

  ASSERT_TRUE(selectAll->Trigger());
  EXPECT_EQ(memo->SelLength(), 3);
  Refresh();
  EXPECT_TRUE(cut->Enabled());
  EXPECT_TRUE(copy->Enabled());
  ASSERT_TRUE(copy->Trigger());
  EXPECT_EQ(Clipboard()->AsText(), "abc");
  Refresh();
  EXPECT_TRUE(paste->Enabled()) << "text on the clipboard now";
  ASSERT_TRUE(cut->Trigger());
  EXPECT_EQ(memo->Text(), "");
  Refresh();
  EXPECT_FALSE(selectAll->Enabled()) << "nothing left to select";
  ASSERT_TRUE(paste->Trigger());
  ASSERT_TRUE(paste->Trigger());
  EXPECT_EQ(memo->Text(), "abcabc");
}

TEST_F(StdActionsTest, WithNoEditControlFocusedTheEditActionsAreDisabled) {
  memo->SetText("abc");
  Clipboard()->SetAsText("x");
  Focus(button);
  Refresh();
  for (TCustomAction* a : {static_cast<TCustomAction*>(cut), static_cast<TCustomAction*>(copy),
                           static_cast<TCustomAction*>(paste), static_cast<TCustomAction*>(selectAll)})
    EXPECT_FALSE(a->Enabled()) << a->ClassName();
  // A fixed target that is not the focused control is not accepted either.
  Focus(memo);
  selectAll->SetControl(other);
  Refresh();
  EXPECT_FALSE(selectAll->Enabled());
  EXPECT_TRUE(paste->Enabled());
  // Freed, the fixed target is forgotten: the focused memo is the target again.
  delete other;
  other = nullptr;
  EXPECT_EQ(selectAll->Control(), nullptr);
  Refresh();
  EXPECT_TRUE(selectAll->Enabled());
}

TEST_F(StdActionsTest, FileOpenRunsItsDialogAndReportsACancel) {
  TEvents events;
  auto* open = Join(new TFileOpen(form));
  ASSERT_NE(open->Dialog(), nullptr);
  EXPECT_EQ(open->Dialog()->Name(), "OpenDialog");
  EXPECT_EQ(open->Dialog()->Owner(), open);
  EXPECT_TRUE(open->Dialog()->ComponentStyle().Contains(csSubComponent));
  EXPECT_FALSE(open->DisableWithoutHandler());
  open->SetBeforeExecute(TNotifyEvent::Bind<&TEvents::Before>(&events));
  open->SetOnAccept(TNotifyEvent::Bind<&TEvents::Accept>(&events));
  open->SetOnCancel(TNotifyEvent::Bind<&TEvents::Cancel>(&events));
  // With no control focused the form itself takes the action: it stays enabled.
  Focus(button);
  open->RefreshState();
  EXPECT_TRUE(open->Enabled());

  // The dialog's own window is the parent of the window the dialog object takes over.
  auto dialogWindow = [&]() -> HWND {
    HWND taken = open->Dialog()->Handle();
    return taken ? GetParent(taken) : nullptr;
  };
  TModalDriver driver(
      [&] {
        HWND dialog = dialogWindow();
        if (!dialog || !IsWindowVisible(dialog)) return false;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
      },
      [&] {
        if (HWND dialog = dialogWindow()) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      });
  ASSERT_TRUE(open->Trigger());
  EXPECT_FALSE(driver.Expired());
  EXPECT_FALSE(open->ExecuteResult());
  EXPECT_EQ(events.accepted, (std::vector<std::string>{"before", "cancel"}));
}

TEST_F(StdActionsTest, FileExitClosesTheMainFormThroughItsOnClose) {
  TEvents events;
  form->SetOnClose(TCloseEvent::Bind<&TEvents::Close>(&events));
  auto* exit = Join(new TFileExit(form));
  ASSERT_TRUE(exit->Trigger());
  EXPECT_EQ(events.closes, 1);
  PumpPending();
  EXPECT_TRUE(form->Visible()) << "the handler kept the window open";
  EXPECT_FALSE(Application()->Terminated());
  events.keepOpen = false;
  ASSERT_TRUE(exit->Trigger());
  EXPECT_EQ(events.closes, 2);
  // Closing the main form ends the application: the loop stops at the quit message.
  EXPECT_TRUE(PumpUntil([] {
    Application()->ProcessMessages();
    return Application()->Terminated();
  }));
}

class TActionsForm : public TForm {
  TAVELO_CLASS(TActionsForm, TForm)
public:
  explicit TActionsForm(TComponent* owner) : TForm(owner) {}
  TFileOpen* FileOpen1 = nullptr;
};

TAVELO_PUBLISH(TActionsForm) { c.Field("FileOpen1", &Self::FileOpen1); }

// The editor's description sets the owned dialog through dotted names inside the action's entry.
TEST_F(StdActionsTest, TheOwnedDialogIsReadThroughDottedNames) {
  static const std::string text = R"(ActionsForm: TActionsForm {
  ActionList1: TCustomActionList {
    FileOpen1: TFileOpen {
      Caption = "&Ouvrir..."
      Dialog.DefaultExt = "js"
      Dialog.Filter = "Fichier Javascript (*.js*)|*.js|Tous les fichiers (*.*)|*.*"
      Dialog.Title = "Ouverture de fichier"
    }
  }
}
)";
  static const formtext::TCompiled compiled = formtext::Compile(text, ".");
  sys::RegisterResource(compiled.rootClass, sys::kRcData, compiled.bytes.data(),
                        static_cast<std::int32_t>(compiled.bytes.size()));
  RegisterClasses({TCustomActionList::StaticClass(), TFileOpen::StaticClass()});
  TActionsForm* read = nullptr;
  Application()->CreateForm(read);
  ASSERT_NE(read->FileOpen1, nullptr);
  TOpenDialog* dialog = read->FileOpen1->Dialog();
  EXPECT_EQ(dialog->Name(), "OpenDialog");
  EXPECT_EQ(dialog->DefaultExt(), "js");
  EXPECT_EQ(dialog->Filter(), "Fichier Javascript (*.js*)|*.js|Tous les fichiers (*.*)|*.*");
  EXPECT_EQ(dialog->Title(), "Ouverture de fichier");
  EXPECT_EQ(read->FileOpen1->Caption(), "&Ouvrir...");
  EXPECT_NE(read->FileOpen1->ActionList(), nullptr);
  // The dialog belongs to its action, not to the form.
  EXPECT_EQ(read->FindComponent("OpenDialog"), nullptr);
}

}  // namespace
}  // namespace tavelo::testing
