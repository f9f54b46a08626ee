// What the control tests need of a form before there are forms: a top-level window that
// answers IsForm(), focuses through FocusControl, keeps a modal result, and passes the
// dialog keys and focus changes to its controls as a form does.
#pragma once

#include <windows.h>

#include <functional>

#include "controls/controls.h"
#include "controls/tests/control_test_support.h"  // PumpUntil: one loop for every test
#include "core/messages.h"

namespace tavelo::testing {

class TFormStandIn : public TCustomControl {
public:
  explicit TFormStandIn(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(40, 40, 300, 200);
  }
  void Open() { UpdateControlState(); }

  bool IsForm() const override { return true; }
  void FocusControl(TWinControl* control) override {
    ++FocusRequests;
    if (RefuseFocus) return;
    Focused = control;
    ::SetFocus(control->Handle());
  }
  TWinControl* ActiveControl() const override { return Focused; }
  void SetModalResult(TModalResult value) override { ModalResult = value; }

  // The focused control changes as the form tells its controls.
  void Announce(TWinControl* control) {
    Focused = control;
    Perform(FM_FOCUS_CHANGED, 0, reinterpret_cast<std::intptr_t>(control));
  }

  void Dispatch(TMessage& message) override {
    switch (message.Msg) {
      case FM_FOCUS_CHANGED:
      case FM_DIALOG_KEY:
      case FM_DIALOG_CHAR:
        Broadcast(message);
        break;
      default:
        TCustomControl::Dispatch(message);
    }
  }

  TWinControl* Focused = nullptr;
  bool RefuseFocus = false;
  int FocusRequests = 0;
  TModalResult ModalResult = 0;

protected:
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN;  // no frame: client and window sizes agree
    params.WndParent = nullptr;
  }
};

}  // namespace tavelo::testing
