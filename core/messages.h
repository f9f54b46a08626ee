// The framework's own messages: controls, forms, the application and the actions tell each
// other about changes and ask each other questions with these numbers, sent to a window or
// performed on an object. One module sends what another one answers, so the numbers are
// fixed here, once. Unless noted, both parameters carry nothing and the answer is 0; for a
// question, 0 is also what an object that does not handle it answers.
#pragma once

#include <cstdint>

#include "core/object.h"

namespace tavelo {

inline constexpr std::uint32_t FM_BASE = 0xB000;

inline constexpr std::uint32_t FM_ACTIVATE = FM_BASE + 0x00;
inline constexpr std::uint32_t FM_DEACTIVATE = FM_BASE + 0x01;
// A press of the mouse somewhere else: the active control of an active form drops what it
// was tracking (an open list, a drag); LParam is the control that was pressed.
inline constexpr std::uint32_t FM_CANCEL_MODE = FM_BASE + 0x04;
// A navigation or default key offered to a form and its controls; non-zero when used.
inline constexpr std::uint32_t FM_DIALOG_KEY = FM_BASE + 0x05;
// A character offered as an accelerator; non-zero when used.
inline constexpr std::uint32_t FM_DIALOG_CHAR = FM_BASE + 0x06;
// Sent down the control tree when the form's focused control changed.
inline constexpr std::uint32_t FM_FOCUS_CHANGED = FM_BASE + 0x07;
inline constexpr std::uint32_t FM_PARENT_FONT_CHANGED = FM_BASE + 0x08;
inline constexpr std::uint32_t FM_PARENT_COLOR_CHANGED = FM_BASE + 0x09;
// Is the point in LParam (control coordinates) part of the control; non-zero when it is.
inline constexpr std::uint32_t FM_HIT_TEST = FM_BASE + 0x0A;
inline constexpr std::uint32_t FM_VISIBLE_CHANGED = FM_BASE + 0x0B;
inline constexpr std::uint32_t FM_ENABLED_CHANGED = FM_BASE + 0x0C;
inline constexpr std::uint32_t FM_COLOR_CHANGED = FM_BASE + 0x0D;
inline constexpr std::uint32_t FM_FONT_CHANGED = FM_BASE + 0x0E;
inline constexpr std::uint32_t FM_CURSOR_CHANGED = FM_BASE + 0x0F;
inline constexpr std::uint32_t FM_TEXT_CHANGED = FM_BASE + 0x12;
inline constexpr std::uint32_t FM_MOUSE_ENTER = FM_BASE + 0x13;
inline constexpr std::uint32_t FM_MOUSE_LEAVE = FM_BASE + 0x14;
inline constexpr std::uint32_t FM_MENU_CHANGED = FM_BASE + 0x15;
// A key nobody claimed, offered to the application's shortcuts; 1 when claimed.
inline constexpr std::uint32_t FM_APP_KEY_DOWN = FM_BASE + 0x16;
// A system key command handed to the main form; 1 when handled.
inline constexpr std::uint32_t FM_APP_SYS_COMMAND = FM_BASE + 0x17;
inline constexpr std::uint32_t FM_SHOWING_CHANGED = FM_BASE + 0x19;
inline constexpr std::uint32_t FM_ENTER = FM_BASE + 0x1A;
inline constexpr std::uint32_t FM_EXIT = FM_BASE + 0x1B;
inline constexpr std::uint32_t FM_ICON_CHANGED = FM_BASE + 0x1D;
// Does the control want this navigation key for itself; non-zero when it does.
inline constexpr std::uint32_t FM_WANT_SPECIAL_KEY = FM_BASE + 0x1E;
inline constexpr std::uint32_t FM_INVOKE_HELP = FM_BASE + 0x1F;
// Adds (WParam 0) or removes (WParam 1) the application window hook LParam points to.
inline constexpr std::uint32_t FM_WINDOW_HOOK = FM_BASE + 0x20;
// Posted to a form to free it once the messages queued before it are handled.
inline constexpr std::uint32_t FM_RELEASE = FM_BASE + 0x21;
// A child control (WParam) is being inserted (LParam 1) or removed (LParam 0).
inline constexpr std::uint32_t FM_CONTROL_LIST_CHANGE = FM_BASE + 0x2C;
// A key offered to the parents of the focused control; non-zero when used.
inline constexpr std::uint32_t FM_CHILD_KEY = FM_BASE + 0x2E;
// A hint is about to show; LParam points to the hint information the control may change;
// non-zero refuses the hint.
inline constexpr std::uint32_t FM_HINT_SHOW = FM_BASE + 0x30;
// WParam 1 asks for the application's modeless dialog handle; otherwise LParam becomes it.
inline constexpr std::uint32_t FM_DIALOG_HANDLE = FM_BASE + 0x31;
inline constexpr std::uint32_t FM_RECREATE_WINDOW = FM_BASE + 0x33;
inline constexpr std::uint32_t FM_INVALIDATE = FM_BASE + 0x34;
inline constexpr std::uint32_t FM_SYS_FONT_CHANGED = FM_BASE + 0x35;
// A child control (WParam) was inserted (LParam 1) or is being removed (LParam 0).
inline constexpr std::uint32_t FM_CONTROL_CHANGE = FM_BASE + 0x36;
inline constexpr std::uint32_t FM_CHANGED = FM_BASE + 0x37;
// The control's 3-D look changed, and the parent's, for a child following it (ParentCtl3D).
inline constexpr std::uint32_t FM_CTL3D_CHANGED = FM_BASE + 0x38;
inline constexpr std::uint32_t FM_PARENT_CTL3D_CHANGED = FM_BASE + 0x39;
inline constexpr std::uint32_t FM_BORDER_CHANGED = FM_BASE + 0x3B;
// The control's bidirectional mode changed, and the parent's, for a child following it.
inline constexpr std::uint32_t FM_BIDIMODE_CHANGED = FM_BASE + 0x3C;
inline constexpr std::uint32_t FM_PARENT_BIDIMODE_CHANGED = FM_BASE + 0x3D;
// Find a target that refreshes (runs) the action in LParam; 1 when one did.
inline constexpr std::uint32_t FM_ACTION_UPDATE = FM_BASE + 0x3F;
inline constexpr std::uint32_t FM_ACTION_EXECUTE = FM_BASE + 0x40;
// WParam: whether a hint is showing; LParam points to the pause in milliseconds, which the
// control may change.
inline constexpr std::uint32_t FM_HINT_SHOW_PAUSE = FM_BASE + 0x41;
// Is the key message LParam points to one of the form's shortcuts; 1 when it was.
inline constexpr std::uint32_t FM_IS_SHORTCUT = FM_BASE + 0x44;

// A notification the platform sends a parent about a child (WM_COMMAND, WM_NOTIFY, the
// WM_CTLCOLOR... family), and the key messages the application routes, reach the child's
// own window procedure under the platform's number plus this offset: a control handles its
// own notifications as `case Reflected(WM_COMMAND):`. An unhandled one answers 0.
inline constexpr std::uint32_t FM_REFLECTED = 0xBC00;
constexpr std::uint32_t Reflected(std::uint32_t platformMessage) { return FM_REFLECTED + platformMessage; }

// The platform's own messages stop below 0x400, so reflected ones stay clear of ours.
static_assert(Reflected(0) > FM_IS_SHORTCUT && Reflected(0x3FF) <= 0xBFFF);

// Hands a message straight to the object's dispatch routine, without the platform, and
// returns its answer.
inline std::intptr_t Perform(TObject& target, std::uint32_t msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
  TMessage message;
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  target.Dispatch(message);
  return message.Result;
}

}  // namespace tavelo
