// The key chain: what a key is offered to before it reaches the focused window (menus, the
// form's shortcuts, the application, the parents, the form's dialog keys), and the key events
// once it does.
#include "controls/controls.h"

#include "controls/controlsimpl.h"
#include "core/messages.h"

namespace tavelo {

using namespace controls_impl;

namespace {

// The dialog code a control must answer to keep a navigation key for itself; 0 for others.
std::intptr_t DialogCodeOf(std::uintptr_t key) {
  switch (key) {
    case VK_TAB:
      return DLGC_WANTTAB;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      return DLGC_WANTARROWS;
    case VK_CANCEL:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_EXECUTE:
      return DLGC_WANTALLKEYS;
    default:
      return 0;
  }
}

std::int32_t KeyData(const TMessage& message) { return static_cast<std::int32_t>(message.LParam); }

}  // namespace

// Menus, the form's shortcuts, then the application's: the first that claims ends the key.
static bool IsMenuKey(TWinControl* control, TMessage& message) {
  if (!control->ComponentState().Contains(csDesigning)) {
    // Seam: the popup menus of the control and its parents are asked first; there are none.
    if (TWinControl* form = GetParentForm(control)) {
      TMessage key{message.Msg - FM_REFLECTED, message.WParam, message.LParam, 0};
      if (form->IsShortCut(key)) return true;
    }
  }
  if (ControlAppHooks().ApplicationWindow) {
    HWND application = ControlAppHooks().ApplicationWindow();
    if (application && SendMessageA(application, FM_APP_KEY_DOWN, static_cast<WPARAM>(message.WParam),
                                    static_cast<LPARAM>(message.LParam)) != 0)
      return true;
  }
  return false;
}

void TWinControl::ReflectedKeyDown(TMessage& message) {
  message.Result = 1;
  if (IsMenuKey(this, message)) return;
  if (!ComponentState().Contains(csDesigning)) {
    if (Perform(FM_CHILD_KEY, message.WParam, reinterpret_cast<std::intptr_t>(this)) != 0) return;
    TWinControl* form = GetParentForm(this);
    if (message.Msg == Reflected(WM_SYSKEYDOWN)) {
      if (form && form->Perform(FM_DIALOG_KEY, message.WParam, message.LParam) != 0) return;
    } else {
      std::intptr_t mask = DialogCodeOf(message.WParam);
      if (mask != 0 && Perform(FM_WANT_SPECIAL_KEY, message.WParam, message.LParam) == 0 &&
          (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0 && form &&
          form->Perform(FM_DIALOG_KEY, message.WParam, message.LParam) != 0)
        return;
    }
  }
  message.Result = 0;
}

void TWinControl::ReflectedKeyUp(TMessage& message) {
  message.Result = DialogCodeOf(message.WParam) != 0 ? Perform(FM_WANT_SPECIAL_KEY, message.WParam, message.LParam) : 0;
}

void TWinControl::ReflectedChar(TMessage& message) {
  message.Result = 1;
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
    TWinControl* form = GetParentForm(this);
    if (form && form->Perform(FM_DIALOG_CHAR, message.WParam, message.LParam) != 0) return;
  }
  message.Result = 0;
}

bool TWinControl::DoKeyDown(TMessage& message) {
  TWinControl* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyDown(message)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    auto key = static_cast<std::uint16_t>(message.WParam);
    KeyDown(key, ShiftStateFromKeyData(KeyData(message)));
    message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& message) {
  TWinControl* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyUp(message)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    auto key = static_cast<std::uint16_t>(message.WParam);
    KeyUp(key, ShiftStateFromKeyData(KeyData(message)));
    message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& message) {
  TWinControl* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyPress(message)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    char key = static_cast<char>(message.WParam);
    KeyPress(key);
    message.WParam = static_cast<unsigned char>(key);
    if (key == 0) return true;
  }
  return false;
}

void TWinControl::KeyDown(std::uint16_t& key, TShiftState shift) {
  if (onKeyDown_) onKeyDown_(this, key, shift);
}

void TWinControl::KeyUp(std::uint16_t& key, TShiftState shift) {
  if (onKeyUp_) onKeyUp_(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (onKeyPress_) onKeyPress_(this, key);
}

}  // namespace tavelo
