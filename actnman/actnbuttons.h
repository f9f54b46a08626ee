// Push-button-like item controls: the flat button of tool bars and menu bars, and the small
// arrow button (overflow, expand) that can repeat its click while the mouse rests on it.
#pragma once

#include <memory>

#include "actnman/actnbars.h"
#include "actnman/menustyle.h"

namespace tavelo {

class TTimer;

// Up, shown disabled, pressed, or held down by a Down button while it is pressed again.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
TAVELO_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)

class TCustomButtonControl : public TCustomActionControl {
  TAVELO_CLASS(TCustomButtonControl, TCustomActionControl)
public:
  explicit TCustomButtonControl(TComponent* owner);

  // After the action control's: the raised or sunken frame over rect.
  virtual void PaintFrame(const TRect& rect, bool down);

  TButtonState State() const { return state_; }
  void SetState(TButtonState value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value) { allowAllUp_ = value; }
  bool MouseInControl() const { return mouseInControl_; }
  // The left button went down on the control and is still down.
  bool Dragging() const { return dragging_; }

  // The base size, one pixel wider; a separator keeps its fixed size.
  void MeasureBounds() override;
  // Enabled only while it was, has an item and is not a separator.
  void SetActionClient(TActionClientItem* value) override;
  void SetSelected(bool value) override;
  bool IsShortCutShown() const override { return false; }
  void PaintFocusFrame(const TRect& rect) override;
  void PaintImage(TPoint position) override;
  void PaintBackground(const TRect& rect) override;
  void PaintText(TRect& rect, std::uint32_t flags, const String& text) override;
  void Dispatch(TMessage& message) override;

protected:
  void Loaded() override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  virtual void MouseEnter();
  virtual void MouseLeave();
  // MouseInControl again from where the cursor is now.
  void UpdateTracking();
  void SetMouseInControl(bool value) { mouseInControl_ = value; }
  void SetDragging(bool value) { dragging_ = value; }
  // Whether the face is drawn pressed (image and text one pixel down and right).
  bool ShowsPressed() const;

private:
  void SeparatorSize();

  TButtonState state_ = bsUp;
  bool flat_ = true;
  bool mouseInControl_ = false;
  bool dragging_ = false;
  bool down_ = false;
  bool allowAllUp_ = false;
};

// A button with an arrow (a triangle or chevrons) that runs only its own click handler; with
// AutoScroll, resting the mouse on it clicks it again and again.
class TCustomUtilityButton : public TCustomButtonControl {
  TAVELO_CLASS(TCustomUtilityButton, TCustomButtonControl)
public:
  explicit TCustomUtilityButton(TComponent* owner);
  ~TCustomUtilityButton() override;

  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);
  int ArrowSize() const { return arrowSize_; }
  void SetArrowSize(int value);
  TArrowType ArrowType() const { return arrowType_; }
  void SetArrowType(TArrowType value);
  TScrollDirection Direction() const { return direction_; }
  void SetDirection(TScrollDirection value);
  // The interval between repeated clicks after the first 750 ms.
  unsigned RepeatRate() const { return repeatRate_; }
  void SetRepeatRate(unsigned value) { repeatRate_ = value; }
  TTimer* RepeatTimer() const { return repeatTimer_.get(); }

  // Only the button's own OnClick: no item, no action.
  void Click() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // The arrow of the button's type and direction at origin, in the pen colour.
  void PaintArrowShape(TPoint origin);
  // Two open arrows, each stroked twice, the second 4 pixels further along the direction.
  void PaintChevrons(TPoint origin);

private:
  void RepeatTick(TObject* sender);

  bool autoScroll_ = false;
  int arrowSize_ = 2;
  TArrowType arrowType_ = atArrows;
  TScrollDirection direction_ = sdLeft;
  unsigned repeatRate_ = 100;
  std::unique_ptr<TTimer> repeatTimer_;
};

}  // namespace tavelo
