// The small standard controls of dialogs and about boxes: the windowless label and the
// platform push button.
#pragma once

#include <windows.h>

#include "controls/controls.h"

namespace tavelo {

enum TTextLayout { tlTop, tlCenter, tlBottom };
TAVELO_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)


// Whether character is the caption's accelerator: the character after the last single "&"
// ("&&" is a literal ampersand), compared without regard to case.
bool IsAccelerator(unsigned character, const String& caption);

// A text on its parent's window, sized to its text unless told otherwise; its accelerator
// focuses another control.
class TCustomLabel : public TGraphicControl {
  TAVELO_CLASS(TCustomLabel, TGraphicControl)
public:
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // Hides the base's: a change resizes the label to its text.
  void SetAutoSize(bool value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // A transparent label lets its parent show through: it is then not opaque.
  bool Transparent() const { return !controlStyle_.Contains(csOpaque); }
  void SetTransparent(bool value);

  TNotifyEvent OnMouseEnter() const { return onMouseEnter_; }
  void SetOnMouseEnter(TNotifyEvent value) { onMouseEnter_ = value; }
  TNotifyEvent OnMouseLeave() const { return onMouseLeave_; }
  void SetOnMouseLeave(TNotifyEvent value) { onMouseLeave_ = value; }

  // Resizes the label to its text; nothing while it is read or when AutoSize is off.
  void FitToText();

  void Dispatch(TMessage& message) override;

protected:
  virtual String GetLabelText() { return Caption(); }
  // Draws (or, with DT_CALCRECT, measures into rect) the label text with the label's font.
  virtual void DrawLabelText(TRect& rect, UINT flags);
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TAlignment alignment_ = taLeftJustify;
  TWinControl* focusControl_ = nullptr;
  bool showAccelChar_ = true;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  TNotifyEvent onMouseEnter_, onMouseLeave_;
};

class TLabel : public TCustomLabel {
  TAVELO_CLASS(TLabel, TCustomLabel)
public:
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// A windowed control the user clicks: a press on an unfocused one moves the focus first,
// and the click the platform reports during that move does not count.
class TButtonControl : public TWinControl {
  TAVELO_CLASS(TButtonControl, TWinControl)
public:
  explicit TButtonControl(TComponent* owner);

protected:
  void WndProc(TMessage& message) override;
  bool ClicksDisabled() const { return clicksDisabled_; }

private:
  bool clicksDisabled_ = false;
};

// The platform push button: it hands its modal result to its form when clicked, and
// answers Enter while it is the active (default or focused) button and Escape when it is
// the cancel button.
class TButton : public TButtonControl {
  TAVELO_CLASS(TButton, TButtonControl)
public:
  explicit TButton(TComponent* owner);

  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  bool Default() const { return default_; }
  void SetDefault(bool value);
  TModalResult ModalResult() const { return modalResult_; }
  // The button's own result, the one it hands its form (a form's own overrides this too).
  void SetModalResult(TModalResult value) override { modalResult_ = value; }
  // Whether Enter clicks this button now.
  bool Active() const { return active_; }

  void Click() override;
  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  void SetButtonStyle(bool isDefault);

  bool cancel_ = false;
  bool default_ = false;
  bool active_ = false;
  TModalResult modalResult_ = ResultNone;
};

}  // namespace tavelo
