// THintWindow: the small tooltip window the application shows over a control.
#pragma once

#include <windows.h>

#include "controls/controls.h"

namespace tavelo {

class THintWindow : public TCustomControl {
  TAVELO_CLASS(THintWindow, TCustomControl)
public:
  explicit THintWindow(TComponent* owner);

  // The rectangle the text needs at most maxWidth wide, with the window's margins.
  virtual TRect CalcHintRect(int maxWidth, const String& hint, void* data);
  // Shows the hint at rect (screen coordinates), kept on the desktop, without activation.
  virtual void ActivateHint(TRect rect, const String& hint);
  void ActivateHintData(const TRect& rect, const String& hint, void* data) {
    (void)data;
    ActivateHint(rect, hint);
  }
  void HideHint();
  bool HintShowing() const;
  // Whether the message is one that ends a showing hint: keys, clicks, the wheel, a
  // non-client move, activation changes and commands.
  virtual bool IsHintMsg(const MSG& msg) const;

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void NCPaint(HDC dc);

private:
  TSize MeasureText(const String& text, int maxWidth);
  bool activating_ = false;
  DWORD lastActive_ = 0;
  bool everShown_ = false;
};

}  // namespace tavelo
