// The tool bar: one flat button per item, buttons that do not fit hidden behind an overflow
// button whose popup lists them; and the drop-down button of items with sub-items.
#pragma once

#include <vector>

#include "actnman/actnbuttons.h"

namespace tavelo {

class TCustomActionToolBar;
class TCustomActionPopupMenu;

// The overflow button at the end of a tool bar: chevrons while buttons are hidden, and a
// small arrow that says a popup opens.
class TCustomToolScrollBtn : public TCustomUtilityButton {
  TAVELO_CLASS(TCustomToolScrollBtn, TCustomUtilityButton)
public:
  explicit TCustomToolScrollBtn(TComponent* owner);
  void PaintBackground(const TRect& rect) override;

protected:
  void Paint() override;

private:
  TCustomActionToolBar* ToolBar() const;
};

// A button whose rightmost 9 pixels open its item's sub-items in a popup; the rest runs its
// action.
class TCustomDropDownButton : public TCustomButtonControl {
  TAVELO_CLASS(TCustomDropDownButton, TCustomButtonControl)
public:
  static constexpr int kDropDownWidth = 9;

  explicit TCustomDropDownButton(TComponent* owner);

  bool DroppedDown() const { return droppedDown_; }
  // Whether a point of the control lies on the drop-down part.
  bool InDropDownPart(int x) const { return x >= Width() - kDropDownWidth; }
  // Opens the sub-items and tracks them; the button's look comes back however that ends.
  virtual void DropDown();

  void MeasureBounds() override;
  void PaintFrame(const TRect& rect, bool down) override;
  void Click() override;
  void Dispatch(TMessage& message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  bool droppedDown_ = false;
  bool pressedOnDropDown_ = false;
  int mouseX_ = -1;
};

// The control of a list action's item. Such actions are not part of this system's set; the
// class exists so that a program adding them gets its own control class.
class TCustomComboControl : public TCustomActionControl {
  TAVELO_CLASS(TCustomComboControl, TCustomActionControl)
public:
  explicit TCustomComboControl(TComponent* owner);
};

class TCustomActionToolBar : public TCustomActionDockBar {
  TAVELO_CLASS(TCustomActionToolBar, TCustomActionDockBar)
public:
  explicit TCustomActionToolBar(TComponent* owner);
  ~TCustomActionToolBar() override;

  // ---- Overflow.
  TCustomToolScrollBtn* OverflowButton() const { return overflowButton_; }
  TCustomActionPopupMenu* OverflowPopup() const { return overflowPopup_; }
  // The hidden buttons, the last hidden on top.
  int HiddenCount() const { return static_cast<int>(hiddenButtons_.size()); }
  TCustomActionControl* HiddenButtons(int index) const { return hiddenButtons_[static_cast<std::size_t>(index)]; }
  bool IsHidden(const TCustomActionControl* control) const;
  // Hides the last buttons that overflow, or shows hidden ones that fit again.
  void UpdateOverflow();
  // The overflow button's click: the popup of hidden buttons (and customisation entries).
  void ShowOverflowMenu();
  int OverflowUpdatesSuspended() const { return overflowSuspended_; }
  void SuspendOverflowUpdates() { ++overflowSuspended_; }
  void ResumeOverflowUpdates();
  // Every hidden button shown again, the stack dropped.
  void ShowHiddenButtons();

  // The separator colours of a bar that is not button-faced, from Color.
  TColor ShadowColor() const { return shadowColor_; }
  TColor HighlightColor() const { return highlightColor_; }

  // Hides the control's: switching on drops the overflow button, switching off makes it.
  void SetAutoSize(bool value);
  void SetBounds(int left, int top, int width, int height) override;

  TCustomActionControl* MakeItemControl(TActionClientItem* item) override;
  TClass DefaultControlClass() const override;
  void ReleaseItemControls() override;
  void BindItemTree(TActionClient* client) override;
  void SetOrientation(TBarOrientation value) override;
  void ResetBar() override;
  void PaintBackground() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(TMessage& message) override;

protected:
  void ControlsAligned() override;

private:
  // One step of UpdateOverflow: whether a button was hidden or shown.
  bool OverflowStep();
  bool Fits(TCustomActionControl* last, TCustomActionControl* control);
  void SyncOverflowButton();
  void CreateOverflowButton();
  void PlaceOverflowButton();
  void DropOverflowButton();
  void UpdateColors();
  void OverflowClick(TObject* sender);

  std::vector<TCustomActionControl*> hiddenButtons_;
  TCustomToolScrollBtn* overflowButton_ = nullptr;
  TCustomActionPopupMenu* overflowPopup_ = nullptr;
  int overflowSuspended_ = 0;
  bool updatingOverflow_ = false;
  bool overflowPending_ = false;
  TActionClientItem* makingItem_ = nullptr;
  TColor shadowColor_{};
  TColor highlightColor_{};
};

class TActionToolBar : public TCustomActionToolBar {
  TAVELO_CLASS(TActionToolBar, TCustomActionToolBar)
public:
  explicit TActionToolBar(TComponent* owner) : TCustomActionToolBar(owner) {}
};

}  // namespace tavelo
