// The timer, the bevelled panel and the picture control.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/controls.h"
#include "controls/stdctrls.h"
#include "graphics/graphic.h"

namespace tavelo {

// Calls OnTimer every Interval milliseconds while it is enabled and has a handler, from a
// hidden window of its own that receives the platform's timer message.
class TTimer : public TComponent {
  TAVELO_CLASS(TTimer, TComponent)
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);
  TNotifyEvent OnTimer() const { return onTimer_; }
  // Always restarts the count, even with the same handler.
  void SetOnTimer(TNotifyEvent value);
  // The hidden window that receives the ticks.
  HWND WindowHandle() const { return window_; }

protected:
  virtual void Timer() { onTimer_(this); }
  // Stops the platform timer, then starts it again when it has an interval, is enabled and
  // has a handler; a refusal raises EOutOfResources and leaves it stopped.
  void RestartTimer();

private:
  static LRESULT CALLBACK TimerWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
};

// Draws width rings inside rect: the top and left edges in topColor, the bottom and right
// ones in bottomColor; rect ends inside the frame.
void DrawBevelFrame(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// A container that paints bevels around a centred caption; its children align inside the
// bevels and the border.
class TCustomPanel : public TCustomControl {
  TAVELO_CLASS(TCustomPanel, TCustomControl)
public:
  explicit TCustomPanel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  // The panel's own border, painted inside its client area in its colour; it hides the
  // windowed control's non-client one.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool value) { fullRepaint_ = value; }
  bool Locked() const { return locked_; }
  void SetLocked(bool value) { locked_ = value; }
  bool UseDockManager() const { return useDockManager_; }
  void SetUseDockManager(bool value) { useDockManager_ = value; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;

private:
  // The pixels the border and the bevels take on each side.
  int FrameWidth() const;
  void FrameChanged();

  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  bool fullRepaint_ = true;
  bool locked_ = false;
  bool useDockManager_ = true;
};

class TPanel : public TCustomPanel {
  TAVELO_CLASS(TPanel, TCustomPanel)
public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

// Paints a picture, at its size, stretched (keeping its aspect when proportional) or
// centred.
class TImage : public TGraphicControl {
  TAVELO_CLASS(TImage, TGraphicControl)
public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() const { return picture_.get(); }
  // Keeps a copy of value's graphic.
  void SetPicture(TPicture* value) { picture_->Assign(value); }
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool IncrementalDisplay() const { return incrementalDisplay_; }
  void SetIncrementalDisplay(bool value) { incrementalDisplay_ = value; }
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  // Where the picture is drawn, in client coordinates.
  TRect PictureRect();

  TProgressEvent OnProgress() const { return picture_->OnProgress(); }
  void SetOnProgress(TProgressEvent value) { picture_->SetOnProgress(value); }

protected:
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void Paint() override;

private:
  void PictureChanged(TObject* sender);

  std::unique_ptr<TPicture> picture_;
  bool center_ = false;
  bool incrementalDisplay_ = false;
  bool proportional_ = false;
  bool stretch_ = false;
  bool transparent_ = false;
  bool drawing_ = false;
};

}  // namespace tavelo
