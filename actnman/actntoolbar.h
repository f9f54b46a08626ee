// The tool bar: one flat button per item, buttons that do not fit hidden behind an overflow
// button whose popup lists them; and the drop-down button of items with sub-items.
#pragma once

#include <vector>

#include "actnman/actnbuttons.h"
#include "actnman/actnmenus.h"
#include "actnman/menuitems.h"

namespace tavelo {

class TCustomActionToolBar;

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

// ---- The popup of the overflow button.

// A link that never disables its control: a customisation entry stays usable whatever its
// action's state.
class TCustomizeActionLink : public TActionClientLink {
  TAVELO_CLASS(TCustomizeActionLink, TActionClientLink)
public:
  using TConstructorArg = TObject;
  explicit TCustomizeActionLink(TObject* client) : TActionClientLink(client) {}

protected:
  void PushEnabled(bool value) override;
};

// The hidden item the overflow popup shows: the copies of the hidden buttons and the
// customisation entries are its sub-items. Its control is always enabled.
class TCustomizeActionClientItem : public TActionClientItem {
  TAVELO_CLASS(TCustomizeActionClientItem, TActionClientItem)
public:
  explicit TCustomizeActionClientItem(TCollection* collection);
  void ActionChange(TObject* sender, bool checkDefaults) override;
};

class TCustomizeActionToolBar;

// An entry of the add-or-remove sub-menu: clicking it shows or hides the tool bar item at the
// same index, and the menu stays open.
class TCustomAddRemoveItem : public TCustomMenuItem {
  TAVELO_CLASS(TCustomAddRemoveItem, TCustomMenuItem)
public:
  static constexpr int kCheckColumn = 18;

  explicit TCustomAddRemoveItem(TComponent* owner);
  // The tool bar item this entry stands for, or none.
  TActionClientItem* ToolBarItem() const;
  TCustomActionToolBar* ToolBar() const;
  void MeasureBounds() override;
  void PositionContents() override;
  void ItemTriggered() override;
  void Dispatch(TMessage& message) override;

protected:
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Toggle();
};

class TStandardAddRemoveItem : public TCustomAddRemoveItem {
  TAVELO_CLASS(TStandardAddRemoveItem, TCustomAddRemoveItem)
public:
  explicit TStandardAddRemoveItem(TComponent* owner) : TCustomAddRemoveItem(owner) {}
  void PaintBackground(const TRect& rect) override;
  void PaintText(TRect& rect, std::uint32_t flags, const String& text) override;

protected:
  void Paint() override;
};

// The overflow button's popup: the hidden buttons and, when the manager read a settings
// file, the entries that show or hide buttons and reset the bar.
class TCustomizeActionToolBar : public TCustomActionPopupMenu {
  TAVELO_CLASS(TCustomizeActionToolBar, TCustomActionPopupMenu)
public:
  explicit TCustomizeActionToolBar(TComponent* owner);

  TCustomActionToolBar* ToolBar() const { return toolBar_; }
  void SetToolBar(TCustomActionToolBar* value) { toolBar_ = value; }
  // The "add or remove buttons" entry, when there is one.
  TActionClientItem* AddRemoveItem() const { return addRemoveItem_; }
  // Adds the entries under item: a separator, the add-or-remove entry with a copy of each
  // item the bar had before the settings file was read, and the reset entry.
  void AddCustomizeEntries(TActionClientItem* item);

  TCustomActionControl* MakeItemControl(TActionClientItem* item) override;
  TClass DefaultControlClass() const override;
  TCustomActionPopupMenu* CreatePopup() override;

private:
  void ResetExecute(TObject* sender);

  TCustomActionToolBar* toolBar_ = nullptr;
  TActionClientItem* addRemoveItem_ = nullptr;
  TActionClientItem* makingItem_ = nullptr;
};
using TStandardCustomizePopup = TCustomizeActionToolBar;

}  // namespace tavelo
