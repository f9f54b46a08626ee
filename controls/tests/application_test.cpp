#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "actions/actionapp.h"
#include "actions/actionlist.h"
#include "actions/customaction.h"
#include "controls/application.h"
#include "core/exceptions.h"
#include "core/messages.h"

namespace tavelo::testing {
namespace {

// Pumps the queue until the condition holds or five seconds pass.
bool PumpUntil(const std::function<bool()>& condition) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > 5000) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// A form without a description that records the framework's questions.
class TStandInForm : public TForm {
public:
  explicit TStandInForm(TComponent* owner) : TForm(owner, 0) { SetBounds(60, 60, 300, 200); }
  void Open() { Show(); }
  bool IsShortCut(TMessage& key) override {
    shortCuts.push_back(static_cast<int>(key.WParam));
    return claimShortCuts;
  }
  void Dispatch(TMessage& message) override {
    switch (message.Msg) {
      case WM_CANCELMODE:
        ++cancelModes;
        break;
      case FM_ACTION_UPDATE:
      case FM_ACTION_EXECUTE:
        message.Result = takeActions ? 1 : 0;
        return;
      case WM_USER + 1:
        throw EInvalidOperation("Division par zéro");
      case Reflected(WM_KEYDOWN): {
        // What a control does with a key nobody else claimed.
        HWND app = ControlAppHooks().ApplicationWindow();
        message.Result = SendMessageA(app, FM_APP_KEY_DOWN, message.WParam, message.LParam);
        return;
      }
      case WM_KEYDOWN:
        ++keysReached;
        break;
    }
    TForm::Dispatch(message);
  }
  std::vector<int> shortCuts;
  bool claimShortCuts = true;
  bool takeActions = false;
  int cancelModes = 0;
  int keysReached = 0;

protected:
  void CreateParams(TCreateParams& params) override {
    TForm::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN;
    params.WndParent = nullptr;
  }
};

// Whether the object constructed found its reference already set.
class TCheckedForm;
TCheckedForm* checkedRef = nullptr;
bool referenceSetDuringConstruction = false;
class TCheckedForm : public TStandInForm {
public:
  explicit TCheckedForm(TComponent* owner) : TStandInForm(owner) { referenceSetDuringConstruction = checkedRef == this; }
};

class TFailingForm : public TStandInForm {
public:
  explicit TFailingForm(TComponent* owner) : TStandInForm(owner) { throw EInvalidOperation("description illisible"); }
};

// A windowless or windowed control counting the framework's mouse and hint messages.
template <class Base> class TTracked : public Base {
public:
  using Base::Base;
  void Dispatch(TMessage& message) override {
    if (message.Msg == FM_MOUSE_ENTER) ++enters;
    if (message.Msg == FM_MOUSE_LEAVE) ++leaves;
    if (message.Msg == FM_HINT_SHOW_PAUSE)
      pauses.emplace_back(static_cast<int>(message.WParam), *reinterpret_cast<int*>(message.LParam));
    Base::Dispatch(message);
  }
  int enters = 0, leaves = 0;
  std::vector<std::pair<int, int>> pauses;
};

// Every message box the application shows is read and closed by this hook.
struct TBoxRecord {
  String text, caption;
  HWND owner = nullptr;
  bool formEnabled = true;
};
std::vector<TBoxRecord> boxes;
HHOOK boxHook = nullptr;
HWND watchedForm = nullptr;

LRESULT CALLBACK BoxWatcher(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char cls[32] = {};
    GetClassNameA(box, cls, sizeof(cls));
    if (String(cls) == "#32770") {
      TBoxRecord record;
      char text[512] = {};
      GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
      record.text = text;
      GetWindowTextA(box, text, sizeof(text));
      record.caption = text;
      record.owner = GetWindow(box, GW_OWNER);
      record.formEnabled = watchedForm ? IsWindowEnabled(watchedForm) != 0 : true;
      boxes.push_back(record);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(boxHook, code, wParam, lParam);
}

BOOL CALLBACK CountWindow(HWND, LPARAM p) {
  ++*reinterpret_cast<int*>(p);
  return TRUE;
}
int ThreadWindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

struct TRecorder : TObject {
  void Idle(TObject*, bool& done) {
    ++idles;
    done = keepWaiting;
  }
  void ActionExecute(TBasicAction* action, bool& handled) {
    if (auto* hint = DynamicCast<THintAction>(static_cast<TObject*>(action))) hints.push_back(hint->Hint());
    handled = false;
  }
  int idles = 0;
  bool keepWaiting = true;
  std::vector<String> hints;
};

class ApplicationTest : public ::testing::Test {
protected:
  void SetUp() override {
    windowsBefore = ThreadWindowCount();
    boxes.clear();
    watchedForm = nullptr;
    StartControls();
    boxHook = SetWindowsHookExA(WH_CBT, &BoxWatcher, nullptr, GetCurrentThreadId());
    ASSERT_NE(boxHook, nullptr);
  }
  void TearDown() override {
    UnhookWindowsHookEx(boxHook);
    StopControls();
    EXPECT_EQ(Application(), nullptr);
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  }
  // Moves the pointer and waits until the platform reports it there, with every report of
  // an earlier position handled first (a late one would move the hint back).
  static bool MoveMouse(TPoint p) {
    SetCursorPos(p.x, p.y);
    return PumpUntil([&] {
      POINT now;
      GetCursorPos(&now);
      if (now.x == p.x && now.y == p.y && GetQueueStatus(QS_MOUSEMOVE) == 0) return true;
      SetCursorPos(p.x, p.y);
      return false;
    });
  }
  // The idle work of one empty queue, without the final wait.
  void IdleOnce() {
    Application()->ProcessMessages();
    recorder.keepWaiting = false;
    MSG msg{};
    Application()->Idle(msg);
  }
  int windowsBefore = 0;
  TRecorder recorder;
};

TEST_F(ApplicationTest, StartUpInstallsTheObjectsAndTheHooks) {
  ASSERT_NE(Application(), nullptr);
  ASSERT_NE(Screen(), nullptr);
  ASSERT_NE(Mouse(), nullptr);
  EXPECT_TRUE(Application()->ShowHint());
  EXPECT_NE(Application()->HintWindow(), nullptr);
  EXPECT_EQ(ControlAppHooks().ApplicationWindow(), Application()->Handle());
  EXPECT_NE(ActionAppHooks().SendToApplication, nullptr);
  EXPECT_NE(TaskbarCreatedMessage(), 0u);
  EXPECT_NE(ControlObjectMessage(), 0u);
  StartControls();  // a second start changes nothing
  HWND window = Application()->Handle();
  StopControls();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(ControlAppHooks().ApplicationWindow, nullptr);
  EXPECT_EQ(ControlAppHooks().HintMouseMessage, nullptr);
  EXPECT_EQ(ActionAppHooks().SendToApplication, nullptr);
  EXPECT_EQ(Screen(), nullptr);
  StartControls();
}

TEST_F(ApplicationTest, HiddenWindowHasItsClassStyleTitleAndMenu) {
  HWND window = Application()->Handle();
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof(cls));
  EXPECT_STREQ(cls, "TApplication");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & ~WS_VISIBLE, 0x84CA0000u);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  EXPECT_FALSE(IsWindowVisible(window));
  HMENU menu = GetSystemMenu(window, FALSE);
  EXPECT_EQ(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));

  EXPECT_EQ(Application()->Title(), "application_win32_tests");
  EXPECT_EQ(ApplicationTitleFromPath("C:\\Programmes\\TAVELO.EXE"), "Tavelo");
  EXPECT_EQ(ApplicationTitleFromPath("D:\\v1.2\\Mon.Editeur.exe"), "Mon");
  EXPECT_EQ(ApplicationTitleFromPath("ÉDITEUR"), "Éditeur");
  Application()->SetTitle("Tavelo");
  EXPECT_EQ(Application()->Title(), "Tavelo");
}

TEST_F(ApplicationTest, ExceptionsShowWithAFinalPointInTheApplicationBox) {
  TStandInForm form(nullptr);
  form.Open();
  watchedForm = form.Handle();
  Application()->SetTitle("Tavelo");
  const char* messages[] = {"Division par zéro", "Fichier introuvable.", "Terminé!", "", "fin é", "1 / 0 ..."};
  for (const char* text : messages) {
    try {
      throw EInvalidOperation(text);
    } catch (...) {
      Application()->HandleException(&form);
    }
  }
  ASSERT_EQ(boxes.size(), 6u);
  EXPECT_EQ(boxes[0].text, "Division par zéro.");
  EXPECT_EQ(boxes[1].text, "Fichier introuvable.");
  EXPECT_EQ(boxes[2].text, "Terminé!");
  EXPECT_EQ(boxes[3].text, "");
  EXPECT_EQ(boxes[4].text, "fin é.");
  EXPECT_EQ(boxes[5].text, "1 / 0 ...");
  EXPECT_EQ(boxes[0].caption, "Tavelo");
  EXPECT_EQ(boxes[0].owner, Application()->Handle());
  EXPECT_FALSE(boxes[0].formEnabled);  // the task's windows wait for the box
  EXPECT_TRUE(IsWindowEnabled(form.Handle()));

  // From a window procedure the exception reaches the same display, and the program goes on.
  SendMessageA(form.Handle(), WM_USER + 1, 0, 0);
  ASSERT_EQ(boxes.size(), 7u);
  EXPECT_EQ(boxes[6].text, "Division par zéro.");
}

TEST_F(ApplicationTest, AbortIsSilentButStillCancelsTheCapture) {
  TStandInForm form(nullptr);
  form.Open();
  SetCapture(form.Handle());
  try {
    throw EAbort("abandon");
  } catch (...) {
    Application()->HandleException(&form);
  }
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(form.cancelModes, 1);
  ReleaseCapture();
}

TEST_F(ApplicationTest, RunWithoutMainFormReturnsAtOnce) {
  PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 0, 0);
  Application()->Run();
  EXPECT_FALSE(Application()->Running());
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 7, WM_USER + 7, PM_REMOVE));  // the loop never ran
}

TEST_F(ApplicationTest, FirstFormCreatedBecomesMainAndAFailedOneLeavesNoReference) {
  TWinControl* plain = nullptr;
  Application()->CreateForm(plain);  // not a form: owned, but never the main form
  EXPECT_EQ(plain->Owner(), Application());
  EXPECT_EQ(Application()->MainForm(), nullptr);

  TFailingForm* failing = reinterpret_cast<TFailingForm*>(&recorder);
  EXPECT_THROW(Application()->CreateForm(failing), EInvalidOperation);
  EXPECT_EQ(failing, nullptr);
  EXPECT_EQ(Application()->MainForm(), nullptr);

  Application()->CreateForm(checkedRef);
  TCheckedForm* first = checkedRef;
  EXPECT_TRUE(referenceSetDuringConstruction);
  TStandInForm* second = nullptr;
  Application()->CreateForm(second);
  EXPECT_EQ(Application()->MainForm(), first);
  EXPECT_TRUE(first->HandleAllocated());
  EXPECT_FALSE(second->HandleAllocated());
  delete first;  // the application forgets its main form
  EXPECT_EQ(Application()->MainForm(), nullptr);
}

TEST_F(ApplicationTest, IdleTrackingSendsOneLeaveAndOneEnterAcrossEmptySpace) {
  TStandInForm form(nullptr);
  form.SetHint("Hôte|Barre d'état de l'hôte");
  auto* left = new TTracked<TWinControl>(&form);
  left->SetBounds(10, 10, 50, 50);
  left->SetParent(&form);
  auto* right = new TTracked<TGraphicControl>(&form);
  right->SetBounds(200, 10, 50, 50);
  right->SetHint("Droite|Aide de droite");
  right->SetParent(&form);
  form.Open();
  Application()->SetOnIdle(TIdleEvent::Bind<&TRecorder::Idle>(&recorder));
  Application()->SetOnActionExecute(TActionEvent::Bind<&TRecorder::ActionExecute>(&recorder));

  TPoint origin = form.ClientOrigin();
  ASSERT_TRUE(MoveMouse(Point(origin.x + 30, origin.y + 30)));
  IdleOnce();
  EXPECT_EQ(Application()->MouseControl(), left);
  EXPECT_EQ(Application()->Hint(), "Barre d'état de l'hôte");  // the parent's, long part
  ASSERT_TRUE(MoveMouse(Point(origin.x + 120, origin.y + 30)));
  IdleOnce();
  IdleOnce();
  EXPECT_EQ(Application()->MouseControl(), &form);
  ASSERT_TRUE(MoveMouse(Point(origin.x + 220, origin.y + 30)));
  IdleOnce();
  EXPECT_EQ(Application()->Hint(), "Aide de droite");
  EXPECT_EQ(left->enters, 1);
  EXPECT_EQ(left->leaves, 1);
  EXPECT_EQ(right->enters, 1);
  EXPECT_EQ(right->leaves, 0);
  // Each change of the application hint went out once through a hint action.
  EXPECT_EQ(recorder.hints, (std::vector<String>{"Barre d'état de l'hôte", "Aide de droite"}));
}

TEST_F(ApplicationTest, ShortPauseZeroReplacesAShowingHintAtOnce) {
  TStandInForm form(nullptr);
  auto* first = new TTracked<TGraphicControl>(&form);
  first->SetBounds(10, 10, 60, 40);
  first->SetHint("Premier|Aide longue");
  first->SetShowHint(true);
  first->SetParent(&form);
  auto* second = new TTracked<TGraphicControl>(&form);
  second->SetBounds(100, 10, 60, 40);
  second->SetHint("Second");
  second->SetShowHint(true);
  second->SetParent(&form);
  // The pointer may still rest where an earlier program left it, over a control to be.
  ASSERT_TRUE(MoveMouse(Point(0, 0)));
  form.Open();
  SetForegroundWindow(form.Handle());
  SetActiveWindow(form.Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == form.Handle(); }));
  Application()->SetHintPause(20);

  // The real mouse moves reach the hint handling through the controls' own window procedure.
  TPoint origin = form.ClientOrigin();
  ASSERT_TRUE(MoveMouse(Point(origin.x + 20, origin.y + 20)));
  ASSERT_TRUE(PumpUntil([&] { return Application()->HintControl() == first; }));
  ASSERT_TRUE(PumpUntil([] { return Application()->HintActive(); }));
  THintWindow* window = Application()->HintWindow();
  EXPECT_TRUE(window->HintShowing());
  EXPECT_EQ(window->Caption(), "Premier");
  // Every move before the hint showed asked for the ordinary pause, with no hint showing.
  ASSERT_FALSE(first->pauses.empty());
  for (const auto& pause : first->pauses) EXPECT_EQ(pause, (std::pair<int, int>{0, 20}));

  ASSERT_TRUE(MoveMouse(Point(origin.x + 110, origin.y + 20)));
  ASSERT_TRUE(PumpUntil([&] { return Application()->HintControl() == second; }));
  // The move that reached the second control showed its hint at once: a short pause of 0
  // while a hint was showing, so no timer ran in between. (The platform may repeat the move
  // when the hint window changes under the pointer; each repeat asks the same.)
  EXPECT_TRUE(Application()->HintActive());
  EXPECT_TRUE(window->HintShowing());
  EXPECT_EQ(window->Caption(), "Second");
  ASSERT_FALSE(second->pauses.empty());
  for (const auto& pause : second->pauses) EXPECT_EQ(pause, (std::pair<int, int>{1, 0}));

  Application()->CancelHint();
  EXPECT_FALSE(window->HintShowing());
  EXPECT_EQ(Application()->HintControl(), nullptr);
}

TEST_F(ApplicationTest, UnclaimedKeyReachesTheMainFormWhileAnotherFormIsActive) {
  TStandInForm* main = nullptr;
  Application()->CreateForm(main);
  main->Open();
  TStandInForm* other = nullptr;
  Application()->CreateForm(other);
  other->Open();
  SetForegroundWindow(other->Handle());
  SetActiveWindow(other->Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == other->Handle(); }));

  PostMessageA(other->Handle(), WM_KEYDOWN, 'O', 1);
  Application()->ProcessMessages();
  EXPECT_EQ(main->shortCuts, std::vector<int>{'O'});
  EXPECT_TRUE(other->shortCuts.empty());
  EXPECT_EQ(other->keysReached, 0);  // claimed: never dispatched

  // A disabled main form is not asked; the key then goes on to its window.
  EnableWindow(main->Handle(), FALSE);
  PostMessageA(other->Handle(), WM_KEYDOWN, 'O', 1);
  Application()->ProcessMessages();
  EXPECT_EQ(main->shortCuts.size(), 1u);
  EXPECT_EQ(other->keysReached, 1);
}

// A stand-in form whose shortcut check asks the action lists it owns, as forms do.
class TListForm : public TStandInForm {
public:
  using TStandInForm::TStandInForm;
  bool IsShortCut(TMessage& key) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (auto* list = DynamicCast<TCustomActionList>(static_cast<TObject*>(Components(i))))
        if (list->MatchShortCut(key)) return true;
    return false;
  }
};

// A focusable field that counts the keys that reach it.
class TField : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_KEYDOWN) keys.push_back(static_cast<int>(message.WParam));
    TCustomControl::Dispatch(message);
  }
  bool Got(int key) const { return std::find(keys.begin(), keys.end(), key) != keys.end(); }
  std::vector<int> keys;
};

struct TRunCounter : TObject {
  void Execute(TObject*) { ++runs; }
  int runs = 0;
};

void PressCtrl(WORD key) {
  INPUT input[4] = {};
  for (auto& i : input) i.type = INPUT_KEYBOARD;
  input[0].ki.wVk = VK_CONTROL;
  input[1].ki.wVk = key;
  input[2].ki.wVk = key;
  input[2].ki.dwFlags = KEYEVENTF_KEYUP;
  input[3].ki.wVk = VK_CONTROL;
  input[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, input, sizeof(INPUT));
}

TEST_F(ApplicationTest, ActionShortCutOfTheMainFormWorksFromTheKeyboardWhileAnotherFormIsActive) {
  TListForm* main = nullptr;
  Application()->CreateForm(main);
  auto* list = new TCustomActionList(main);
  auto* open = new TAction(main);
  open->SetActionList(list);
  open->SetShortCut(MakeShortCut('O', TShiftState{ssCtrl}));  // 16463
  TRunCounter counter;
  open->SetOnExecute(TNotifyEvent::Bind<&TRunCounter::Execute>(&counter));
  main->Open();

  TListForm* other = nullptr;
  Application()->CreateForm(other);
  other->SetBounds(120, 120, 200, 120);
  auto* field = new TField(other);
  field->SetBounds(10, 10, 100, 24);
  field->SetParent(other);
  other->Open();
  SetForegroundWindow(other->Handle());
  SetActiveWindow(other->Handle());
  SetFocus(field->Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == field->Handle(); }));

  // Real key strokes through the application's own message handling.
  PressCtrl('O');
  DWORD start = GetTickCount();
  while (counter.runs == 0 && GetTickCount() - start < 5000) {
    Application()->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  EXPECT_EQ(counter.runs, 1);
  EXPECT_FALSE(field->Got('O')) << "the claimed shortcut never reaches the focused field";
  EXPECT_EQ(main->shortCuts.size(), 0u);

  // A key that is nobody's shortcut goes on to the focused field.
  PressCtrl('Q');
  EXPECT_TRUE(PumpUntil([&] {
    Application()->ProcessMessages();
    return field->Got('Q');
  }));
  EXPECT_EQ(counter.runs, 1);
}

struct TTicker {
  static int ticks;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (++ticks == 5) Application()->Terminate();
  }
};
int TTicker::ticks = 0;

TEST_F(ApplicationTest, IdleLoopSleepsUntilTheNextMessage) {
  TStandInForm* main = nullptr;
  Application()->CreateForm(main);
  Application()->SetOnIdle(TIdleEvent::Bind<&TRecorder::Idle>(&recorder));
  TTicker::ticks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, &TTicker::Tick);
  ASSERT_NE(timer, 0u);
  Application()->Run();
  KillTimer(nullptr, timer);
  EXPECT_TRUE(Application()->Terminated());
  EXPECT_FALSE(Application()->Running());
  EXPECT_TRUE(main->Visible());
  EXPECT_GE(TTicker::ticks, 5);
  // A busy loop would pass through idle thousands of times in 100 ms.
  EXPECT_LT(recorder.idles, 60);
}

TEST_F(ApplicationTest, ActionsGoToTheActiveFormThenTheMainForm) {
  TStandInForm* main = nullptr;
  Application()->CreateForm(main);
  TAction action(nullptr);
  ASSERT_TRUE(action.DisableWithoutHandler());
  // Nobody takes it: without an execute handler it disables itself.
  EXPECT_FALSE(action.RefreshState());
  EXPECT_FALSE(action.Enabled());
  action.SetEnabled(true);
  main->takeActions = true;
  EXPECT_TRUE(action.RefreshState());
  EXPECT_TRUE(action.Enabled());
  TStandInForm active(nullptr);
  active.takeActions = true;
  main->takeActions = false;
  Screen()->SetActiveForm(&active);
  EXPECT_TRUE(action.Trigger());
  Screen()->SetActiveForm(nullptr);
}

TEST_F(ApplicationTest, ApplicationWindowShowsWhileAFormIsVisible) {
  TStandInForm form(nullptr);
  form.SetVisible(false);  // forms are made hidden
  Screen()->AddForm(&form);
  EXPECT_FALSE(IsWindowVisible(Application()->Handle()));
  form.SetVisible(true);
  Application()->UpdateVisible();  // what a form does when its visibility changes
  EXPECT_TRUE(IsWindowVisible(Application()->Handle()));
  RECT r;
  GetWindowRect(Application()->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 0);  // on the task bar, never on screen
  Screen()->RemoveForm(&form);
  EXPECT_FALSE(IsWindowVisible(Application()->Handle()));
}

struct THookLog {
  std::vector<std::pair<int, std::uint32_t>> seen;
};
bool FirstHook(void* data, TMessage& message) {
  if (message.Msg == WM_USER + 3) static_cast<THookLog*>(data)->seen.emplace_back(1, message.Msg);
  return false;
}
bool ClaimingHook(void* data, TMessage& message) {
  if (message.Msg != WM_USER + 3) return false;
  static_cast<THookLog*>(data)->seen.emplace_back(2, message.Msg);
  message.Result = 42;
  return true;
}

TEST_F(ApplicationTest, WindowHooksAndTheDialogHandleGoThroughTheApplicationWindow) {
  HWND app = Application()->Handle();
  THookLog log;
  TWindowHookRecord first{&FirstHook, &log}, claiming{&ClaimingHook, &log};
  SendMessageA(app, FM_WINDOW_HOOK, 0, reinterpret_cast<LPARAM>(&first));
  Application()->HookMainWindow(&ClaimingHook, &log);
  EXPECT_EQ(SendMessageA(app, WM_USER + 3, 0, 0), 42);
  EXPECT_EQ(log.seen, (std::vector<std::pair<int, std::uint32_t>>{{1, WM_USER + 3}, {2, WM_USER + 3}}));
  SendMessageA(app, FM_WINDOW_HOOK, 1, reinterpret_cast<LPARAM>(&claiming));
  Application()->UnhookMainWindow(&FirstHook, &log);
  log.seen.clear();
  EXPECT_EQ(SendMessageA(app, WM_USER + 3, 0, 0), 0);
  EXPECT_TRUE(log.seen.empty());

  TStandInForm dialog(nullptr);
  dialog.Open();
  SendMessageA(app, FM_DIALOG_HANDLE, 0, reinterpret_cast<LPARAM>(dialog.Handle()));
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(app, FM_DIALOG_HANDLE, 1, 0)), dialog.Handle());
  EXPECT_EQ(Application()->DialogHandle(), dialog.Handle());
  SendMessageA(app, FM_DIALOG_HANDLE, 0, 0);
  EXPECT_EQ(Application()->DialogHandle(), nullptr);
}

class TTopMostForm : public TStandInForm {
public:
  explicit TTopMostForm(TComponent* owner) : TStandInForm(owner) {}

protected:
  void CreateParams(TCreateParams& params) override {
    TStandInForm::CreateParams(params);
    params.ExStyle |= WS_EX_TOPMOST;
  }
};

// Owned windows are covered by the same walk, but this platform keeps an owned window
// top-most whatever it is asked; the main form shows the rule.
TEST_F(ApplicationTest, TopMostWindowsStepBackWhileNormalisedAndReturnOnTheLastRestore) {
  TTopMostForm* main = nullptr;
  Application()->CreateForm(main);
  main->Open();
  HWND window = main->Handle();
  auto topMost = [&] { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  ASSERT_TRUE(topMost());
  Application()->NormalizeTopMosts();  // the main form only goes with the "all" variant
  EXPECT_TRUE(topMost());
  Application()->RestoreTopMosts();
  Application()->NormalizeAllTopMosts();
  EXPECT_FALSE(topMost());
  Application()->NormalizeAllTopMosts();  // nested
  Application()->RestoreTopMosts();
  EXPECT_FALSE(topMost());
  Application()->RestoreTopMosts();
  EXPECT_TRUE(topMost());
  Application()->RestoreTopMosts();  // unbalanced: nothing happens
  EXPECT_TRUE(topMost());
}

// A control whose hint cannot be prepared.
class TFaultyHint : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  void Dispatch(TMessage& message) override {
    if (message.Msg == FM_HINT_SHOW) throw EInvalidOperation("Bulle impossible");
    TGraphicControl::Dispatch(message);
  }
};

TEST_F(ApplicationTest, AnExceptionInTheHintTimerIsShownAndTheProgramGoesOn) {
  TStandInForm form(nullptr);
  auto* faulty = new TFaultyHint(&form);
  faulty->SetBounds(10, 10, 60, 40);
  faulty->SetHint("Bulle");
  faulty->SetShowHint(true);
  faulty->SetParent(&form);
  form.Open();
  SetForegroundWindow(form.Handle());
  SetActiveWindow(form.Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == form.Handle(); }));
  Application()->SetHintPause(10);
  TPoint origin = form.ClientOrigin();
  ASSERT_TRUE(MoveMouse(Point(origin.x + 20, origin.y + 20)));
  TMessage move{WM_MOUSEMOVE, 0, MAKELONG(10, 10), 0};
  ControlAppHooks().HintMouseMessage(faulty, move);
  ASSERT_TRUE(PumpUntil([] { return !boxes.empty(); }));
  EXPECT_EQ(boxes[0].text, "Bulle impossible.");
  EXPECT_FALSE(Application()->HintActive());
  Application()->CancelHint();
}

TEST_F(ApplicationTest, CursorTableLookups) {
  HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  EXPECT_EQ(Screen()->Cursors(-1), nullptr);
  EXPECT_EQ(Screen()->Cursors(crDefault), arrow);
  EXPECT_EQ(Screen()->Cursors(crArrow), arrow);
  EXPECT_EQ(Screen()->Cursors(crIBeam), LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)));
  EXPECT_EQ(Screen()->Cursors(crHourGlass), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
  EXPECT_EQ(Screen()->Cursors(-5), LoadCursorA(nullptr, MAKEINTRESOURCEA(32640)));
  EXPECT_EQ(Screen()->Cursors(crSizeAll), LoadCursorA(nullptr, MAKEINTRESOURCEA(32646)));
  EXPECT_EQ(Screen()->Cursors(1234), arrow);
  EXPECT_EQ(Screen()->Cursors(-23), arrow);
  // The test program carries none of the program's own cursors: they fall back to the arrow.
  ASSERT_EQ(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(32761)), nullptr);
  EXPECT_EQ(Screen()->Cursors(crHandPoint), arrow);
  EXPECT_EQ(ControlAppHooks().CursorHandle(crIBeam), Screen()->Cursors(crIBeam));

  int count = Screen()->CursorCount();
  Screen()->SetCursor(crHourGlass);
  Screen()->SetCursor(crHourGlass);
  EXPECT_EQ(Screen()->CursorCount(), count + 2);  // every assignment counts
  EXPECT_EQ(ControlAppHooks().ScreenCursor(), crHourGlass);
  Screen()->SetCursor(crDefault);
  EXPECT_EQ(Screen()->Cursor(), crDefault);
}

}  // namespace
}  // namespace tavelo::testing
