// What the focus, key and mouse tests share: a stand-in form that keeps its active control
// the way a form does, and a message loop that does the application's key check.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <vector>

#include "controls/controls.h"
#include "core/messages.h"

namespace tavelo::testing {

// The smallest form: a top-level window that takes the focus for its controls, tells them
// they enter and leave, and walks the tab order on Tab and Shift+Tab.
class TStandInForm : public TCustomControl {
public:
  explicit TStandInForm(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(40, 40, 300, 200);
  }
  void Open() {
    UpdateControlState();
    SetForegroundWindow(Handle());
  }
  using TWinControl::FixupTabList;

  TWinControl* Active = nullptr;
  bool Preview = false;
  bool Shortcuts = false;  // claims every key as a shortcut
  int DialogKeys = 0;
  std::vector<TWinControl*> Cancelled;  // FM_CANCEL_MODE received by the active control

  bool IsForm() const override { return true; }
  bool KeyPreview() const override { return Preview; }
  bool IsShortCut(TMessage&) override { return Shortcuts; }
  bool FormActive() const override { return true; }
  TWinControl* ActiveControl() const override { return Active; }
  void FocusControl(TWinControl* control) override {
    if (control->CanFocus()) ::SetFocus(control->Handle());
  }
  bool SetFocusedControl(TWinControl* control) override {
    if (control == Active) return true;
    if (Active) Active->Perform(FM_EXIT, 0, 0);
    Active = control;
    if (Active) Active->Perform(FM_ENTER, 0, 0);
    return true;
  }
  void DefocusControl(TWinControl* control, bool) override {
    if (control->ContainsControl(Active)) Active = nullptr;
  }
  void Dispatch(TMessage& message) override {
    if (message.Msg == FM_DIALOG_KEY && message.WParam == VK_TAB) {
      ++DialogKeys;
      SelectNext(Active, GetKeyState(VK_SHIFT) >= 0, true);
      message.Result = 1;
      return;
    }
    TCustomControl::Dispatch(message);
  }

protected:
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN;
    params.WndParent = nullptr;
  }
};

// What the application's loop does with a key message: the control whose window got it (or
// that holds the capture) sees it reflected first, and a claimed key goes no further.
inline bool ApplicationKeyCheck(const MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND window = GetCapture() ? GetCapture() : msg.hwnd;
  TWinControl* control = nullptr;
  for (; window && !control; window = GetParent(window)) control = TWinControl::FindControl(window);
  return control && control->Perform(Reflected(msg.message), msg.wParam, msg.lParam) != 0;
}

// Runs the loop until done() holds or the deadline passes; false on the deadline.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
  DWORD start = GetTickCount();
  while (!done()) {
    DWORD spent = GetTickCount() - start;
    if (spent >= milliseconds) return false;
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!ApplicationKeyCheck(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - spent, QS_ALLINPUT);
    }
  }
  return true;
}

// Handles whatever is queued now.
inline void PumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ApplicationKeyCheck(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// Holds a modifier down in this thread's key state while it lives.
class TKeyHeld {
public:
  explicit TKeyHeld(BYTE key) : key_(key) { Set(0x80); }
  ~TKeyHeld() { Set(0); }

private:
  void Set(BYTE state) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[key_] = state;
    SetKeyboardState(keys);
  }
  BYTE key_;
};

inline std::vector<String>& Reported() {
  static std::vector<String> reported;
  return reported;
}
inline void ReportException(std::exception_ptr error) { Reported().push_back(ExceptionDisplayText(error)); }

}  // namespace tavelo::testing
