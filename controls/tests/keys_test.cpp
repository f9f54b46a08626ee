#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/tests/control_test_support.h"
#include "core/exceptions.h"

namespace tavelo::testing {
namespace {

struct TKeys : TObject {
  std::vector<String> lines;
  std::uint16_t swallow = 0;
  void Down(TObject* sender, std::uint16_t& key, TShiftState shift) {
    String line = static_cast<TComponent*>(sender)->Name() + " bas " + IntToStr(key);
    if (shift.Contains(ssCtrl)) line += " ctrl";
    if (shift.Contains(ssAlt)) line += " alt";
    lines.push_back(line);
    if (key == swallow) key = 0;
  }
  void Up(TObject* sender, std::uint16_t& key, TShiftState) {
    lines.push_back(static_cast<TComponent*>(sender)->Name() + " haut " + IntToStr(key));
  }
  void Press(TObject* sender, char& key) {
    lines.push_back(static_cast<TComponent*>(sender)->Name() + " car " + String(1, key));
    if (key == 'x') key = 0;
  }
  void Fail(TObject*, std::uint16_t&, TShiftState) { throw EInvalidOperation("touche impossible"); }
};

// A control that keeps what reaches its window and what it is asked.
class TKeyTarget : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  std::vector<std::uint32_t> Seen;
  bool WantsSpecial = false;
  std::intptr_t DialogCode = 0;
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_KEYDOWN || message.Msg == WM_CHAR || message.Msg == FM_DIALOG_CHAR ||
        message.Msg == FM_DIALOG_KEY)
      Seen.push_back(message.Msg);
    if (message.Msg == FM_WANT_SPECIAL_KEY) {
      message.Result = WantsSpecial;
      return;
    }
    if (message.Msg == WM_GETDLGCODE) {
      message.Result = DialogCode;
      return;
    }
    if (message.Msg == FM_DIALOG_CHAR && message.WParam == 'm') {
      message.Result = 1;  // its mnemonic
      return;
    }
    TCustomControl::Dispatch(message);
  }
  // The keys that went on to the window's own handling.
  std::vector<std::uint32_t> Defaults;
  void DefaultHandler(TMessage& message) override {
    if (message.Msg == WM_KEYDOWN || message.Msg == WM_CHAR) Defaults.push_back(message.Msg);
    TCustomControl::DefaultHandler(message);
  }
};

// The application window's end of the chain: counts the keys offered to it.
int appKeys = 0;
bool appClaims = false;
LRESULT CALLBACK AppProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == FM_APP_KEY_DOWN) {
    ++appKeys;
    return appClaims ? 1 : 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}
HWND appWindow = nullptr;

class KeysTest : public ::testing::Test {
protected:
  void SetUp() override {
    Reported().clear();
    SetWindowExceptionHandler(&ReportException);
    WNDCLASSA cls{};
    cls.lpfnWndProc = &AppProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "TestApplicationKeys";
    RegisterClassA(&cls);
    appWindow = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, cls.hInstance, nullptr);
    ControlAppHooks().ApplicationWindow = [] { return appWindow; };
    appKeys = 0;
    appClaims = false;
    form = std::make_unique<TStandInForm>(nullptr);
    form->SetName("Fiche");
    edit = new TKeyTarget(form.get());
    edit->SetName("Saisie");
    edit->SetBounds(0, 0, 50, 20);
    edit->SetTabStop(true);
    edit->SetParent(form.get());
    edit->SetOnKeyDown(TKeyEvent::Bind<&TKeys::Down>(&keys));
    edit->SetOnKeyUp(TKeyEvent::Bind<&TKeys::Up>(&keys));
    edit->SetOnKeyPress(TKeyPressEvent::Bind<&TKeys::Press>(&keys));
    other = new TKeyTarget(form.get());
    other->SetParent(form.get());
    form->Open();
  }
  void TearDown() override {
    form.reset();
    ControlAppHooks().ApplicationWindow = nullptr;
    DestroyWindow(appWindow);
    UnregisterClassA("TestApplicationKeys", GetModuleHandleA(nullptr));
    SetWindowExceptionHandler(nullptr);
  }
  // A key message as the loop meets it: the key check first, then the window.
  void Key(UINT msg, WPARAM key, LPARAM data = 0x00000001) {
    MSG m{edit->Handle(), msg, key, data, 0, {0, 0}};
    if (!ApplicationKeyCheck(m)) SendMessageA(edit->Handle(), msg, key, data);
  }
  TKeys keys;
  std::unique_ptr<TStandInForm> form;
  TKeyTarget* edit = nullptr;
  TKeyTarget* other = nullptr;
};

TEST_F(KeysTest, UnclaimedKeysReachTheApplicationThenTheControlsEvents) {
  Key(WM_KEYDOWN, 'A');
  EXPECT_EQ(appKeys, 1);
  Key(WM_KEYUP, 'A');
  EXPECT_EQ(keys.lines, (std::vector<String>{"Saisie bas 65", "Saisie haut 65"}));
  {
    TKeyHeld ctrl(VK_CONTROL);
    Key(WM_SYSKEYDOWN, 'B', 0x20000001);  // Alt from the context bit
  }
  EXPECT_EQ(keys.lines.back(), String("Saisie bas 66 ctrl alt"));
  Key(WM_CHAR, 'c');
  EXPECT_EQ(keys.lines.back(), String("Saisie car c"));
  // The system key and the character were offered to the form, which handed them to its
  // controls before the window got them.
  using M = std::vector<std::uint32_t>;
  EXPECT_EQ(edit->Seen, (M{WM_KEYDOWN, FM_DIALOG_KEY, FM_DIALOG_CHAR, WM_CHAR}));
  EXPECT_EQ(other->Seen, (M{FM_DIALOG_KEY, FM_DIALOG_CHAR}));
  EXPECT_EQ(edit->Defaults, (M{WM_KEYDOWN, WM_CHAR}));

  // A key or character set to 0 stops at the handler.
  keys.swallow = 'D';
  Key(WM_KEYDOWN, 'D');
  Key(WM_CHAR, 'x');
  EXPECT_EQ(keys.lines.back(), String("Saisie car x"));
  EXPECT_EQ(edit->Defaults, (M{WM_KEYDOWN, WM_CHAR}));
  Key(WM_CHAR, 'y');
  EXPECT_EQ(edit->Defaults, (M{WM_KEYDOWN, WM_CHAR, WM_CHAR}));
}

TEST_F(KeysTest, ShortcutsOfTheFormAndTheApplicationClaimTheKeyFirst) {
  form->Shortcuts = true;
  Key(WM_KEYDOWN, 'O');
  EXPECT_EQ(appKeys, 0);
  EXPECT_TRUE(keys.lines.empty());
  form->Shortcuts = false;
  appClaims = true;
  Key(WM_KEYDOWN, 'O');
  EXPECT_EQ(appKeys, 1);
  EXPECT_TRUE(keys.lines.empty());
  // The preview lets the form see keys first.
  appClaims = false;
  form->Preview = true;
  form->SetOnKeyDown(TKeyEvent::Bind<&TKeys::Down>(&keys));
  Key(WM_KEYDOWN, 'P');
  EXPECT_EQ(keys.lines, (std::vector<String>{"Fiche bas 80", "Saisie bas 80"}));
  keys.swallow = 'Q';
  Key(WM_KEYDOWN, 'Q');
  EXPECT_EQ(keys.lines.back(), String("Fiche bas 81"));
}

TEST_F(KeysTest, NavigationKeysGoToTheFormUnlessTheControlWantsThem) {
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(form->DialogKeys, 1);
  EXPECT_TRUE(keys.lines.empty());
  edit->DialogCode = DLGC_WANTTAB;
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(form->DialogKeys, 1);
  EXPECT_EQ(keys.lines.back(), String("Saisie bas 9"));
  edit->DialogCode = 0;
  edit->WantsSpecial = true;
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(form->DialogKeys, 1);
  MSG up{edit->Handle(), WM_KEYUP, VK_TAB, 1, 0, {0, 0}};
  EXPECT_TRUE(ApplicationKeyCheck(up));  // the key-up belongs to whoever wanted the key
  edit->WantsSpecial = false;
  EXPECT_FALSE(ApplicationKeyCheck(up));

  // Arrows and Escape go to the form's dialog keys, which the form hands to its controls;
  // nobody used this one, so the window gets it after all.
  edit->Seen.clear();
  Key(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(other->Seen, (std::vector<std::uint32_t>{FM_DIALOG_KEY}));
  EXPECT_EQ(edit->Seen, (std::vector<std::uint32_t>{FM_DIALOG_KEY, WM_KEYDOWN}));
  // A character the control does not want is offered to the form as a mnemonic first.
  edit->Seen.clear();
  other->Seen.clear();
  Key(WM_CHAR, 'm');
  EXPECT_EQ(edit->Seen, (std::vector<std::uint32_t>{FM_DIALOG_CHAR}));  // claimed by the first
  EXPECT_TRUE(other->Seen.empty());
  edit->DialogCode = DLGC_WANTCHARS;
  Key(WM_CHAR, 'm');
  EXPECT_EQ(edit->Seen.back(), static_cast<std::uint32_t>(WM_CHAR));
}

TEST_F(KeysTest, WithoutAFormNavigationKeysGoStraightToTheWindow) {
  TKeyTarget hosted(nullptr);
  hosted.SetName("Hote");
  hosted.SetBounds(0, 0, 20, 20);
  hosted.SetParentWindow(appWindow);
  hosted.SetOnKeyDown(TKeyEvent::Bind<&TKeys::Down>(&keys));
  for (WPARAM key : {WPARAM(VK_TAB), WPARAM(VK_ESCAPE)}) {
    MSG m{hosted.Handle(), WM_KEYDOWN, key, 1, 0, {0, 0}};
    EXPECT_FALSE(ApplicationKeyCheck(m));
    SendMessageA(hosted.Handle(), WM_KEYDOWN, key, 1);
  }
  MSG m{hosted.Handle(), WM_SYSKEYDOWN, 'F', 0x20000001, 0, {0, 0}};
  EXPECT_FALSE(ApplicationKeyCheck(m));
  MSG c{hosted.Handle(), WM_CHAR, 'a', 1, 0, {0, 0}};
  EXPECT_FALSE(ApplicationKeyCheck(c));
  EXPECT_EQ(keys.lines, (std::vector<String>{"Hote bas 9", "Hote bas 27"}));
  // Such a control takes the platform focus itself.
  SetWindowPos(appWindow, nullptr, 0, 0, 50, 50, SWP_NOZORDER | SWP_SHOWWINDOW);
  SetForegroundWindow(appWindow);
  hosted.SetFocus();
  EXPECT_TRUE(PumpUntil([&] { return hosted.Focused(); }));
}

TEST_F(KeysTest, AnExceptionFromAKeyHandlerReachesTheHook) {
  edit->SetOnKeyDown(TKeyEvent::Bind<&TKeys::Fail>(&keys));
  edit->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return edit->Focused(); }));
  PostMessageA(edit->Handle(), WM_KEYDOWN, 'E', 1);
  ASSERT_TRUE(PumpUntil([&] { return !Reported().empty(); }));
  EXPECT_EQ(Reported(), (std::vector<String>{"touche impossible"}));
}

}  // namespace
}  // namespace tavelo::testing
