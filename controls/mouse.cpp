// The mouse: presses and releases with the capture and the click, mouse messages a windowed
// control hands to its windowless children, and the cursor over a control.
#include "controls/controls.h"

#include "controls/controlsimpl.h"
#include "core/messages.h"

namespace tavelo {

using namespace controls_impl;

namespace {

TMouseButton ButtonOf(std::uint32_t msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return mbMiddle;
    default:
      return mbLeft;
  }
}

bool IsDoubleClick(std::uint32_t msg) {
  return msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
}

int MouseX(const TMessage& message) { return static_cast<short>(LOWORD(message.LParam)); }
int MouseY(const TMessage& message) { return static_cast<short>(HIWORD(message.LParam)); }

// Whatever the active control of an enclosing active form was tracking ends with a press
// elsewhere.
void SendCancelMode(TControl* sender) {
  for (TControl* c = sender; c; c = c->Parent()) {
    auto* form = DynamicCast<TWinControl>(c);
    if (!form || !form->IsForm() || !form->FormActive()) continue;
    if (TWinControl* active = form->ActiveControl())
      active->Perform(FM_CANCEL_MODE, 0, reinterpret_cast<std::intptr_t>(sender));
  }
}

}  // namespace

TShiftState MouseShiftState(std::uintptr_t keyFlags) {
  TShiftState shift;
  if (keyFlags & MK_SHIFT) shift.Include(ssShift);
  if (keyFlags & MK_CONTROL) shift.Include(ssCtrl);
  if (keyFlags & MK_LBUTTON) shift.Include(ssLeft);
  if (keyFlags & MK_RBUTTON) shift.Include(ssRight);
  if (keyFlags & MK_MBUTTON) shift.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  return shift;
}

// ---- TControl ----

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
  if (MouseCapture() == value) return;
  SetCaptureControl(value ? this : nullptr);
}

void TControl::ButtonDown(TMessage& message) {
  TMouseButton button = ButtonOf(message.Msg);
  bool twice = IsDoubleClick(message.Msg);
  SendCancelMode(this);
  DefaultHandler(message);
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (button == mbLeft && controlStyle_.Contains(csClickEvents)) {
    if (twice)
      DblClick();
    else
      controlState_.Include(csClicked);
  }
  if (controlStyle_.Contains(csNoStdEvents)) return;
  TShiftState shift = MouseShiftState(message.WParam);
  if (twice) shift.Include(ssDouble);
  MouseDown(button, shift, MouseX(message), MouseY(message));
}

void TControl::ButtonUp(TMessage& message) {
  TMouseButton button = ButtonOf(message.Msg);
  DefaultHandler(message);
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (button == mbLeft && controlState_.Contains(csClicked)) {
    controlState_.Exclude(csClicked);
    // A press that slid off the control before the release is no click.
    TRect r = ClientRect();
    if (PtInRect(&r, Point(MouseX(message), MouseY(message)))) Click();
  }
  if (!controlStyle_.Contains(csNoStdEvents))
    MouseUp(button, MouseShiftState(message.WParam), MouseX(message), MouseY(message));
}

void TControl::DblClick() {
  if (onDblClick_) onDblClick_(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (onMouseDown_) onMouseDown_(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (onMouseUp_) onMouseUp_(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (onMouseMove_) onMouseMove_(this, shift, x, y);
}

// ---- TWinControl ----

bool TWinControl::IsControlMouseMsg(TMessage& message) {
  TControl* control = nullptr;
  if (GetCapture() == handle_) {
    TControl* captured = GetCaptureControl();
    if (captured && captured != this && captured->Parent() == this) control = captured;
  } else {
    control = ControlAtPos(Point(MouseX(message), MouseY(message)), false);
  }
  if (!control) return false;
  TPoint p = Point(MouseX(message) - control->Left(), MouseY(message) - control->Top());
  message.Result = control->Perform(message.Msg, message.WParam,
                                    static_cast<std::intptr_t>(static_cast<std::uint32_t>(MAKELONG(p.x, p.y))));
  return true;
}

void TWinControl::CursorMessage(TMessage& message) {
  auto& hooks = ControlAppHooks();
  if (reinterpret_cast<HWND>(message.WParam) == handle_) {
    switch (static_cast<short>(LOWORD(message.LParam))) {
      case HTCLIENT: {
        TCursor cursor = hooks.ScreenCursor ? hooks.ScreenCursor() : crDefault;
        if (cursor == crDefault) {
          POINT p;
          GetCursorPos(&p);
          ::ScreenToClient(handle_, &p);
          if (ComponentState().Contains(csDesigning)) {
            cursor = crArrow;
          } else {
            if (TControl* child = ControlAtPos(p, false))
              cursor = child->ComponentState().Contains(csDesigning) ? crArrow : child->Cursor();
            if (cursor == crDefault) cursor = Cursor();
          }
        }
        if (cursor != crDefault && hooks.CursorHandle) {
          ::SetCursor(hooks.CursorHandle(cursor));
          message.Result = 1;
          return;
        }
        break;
      }
      case HTERROR:
        // A press on a disabled window while the application's front pop-up is elsewhere
        // brings that pop-up forward instead.
        if (HIWORD(message.LParam) == WM_LBUTTONDOWN && hooks.ApplicationWindow) {
          HWND application = hooks.ApplicationWindow();
          HWND popup = application ? GetLastActivePopup(application) : nullptr;
          if (popup && GetForegroundWindow() != popup) {
            if (popup != application && IsWindowVisible(popup) && IsWindowEnabled(popup))
              SetForegroundWindow(popup);
            return;
          }
        }
        break;
      default:
        break;
    }
  }
  DefaultHandler(message);
}

}  // namespace tavelo
