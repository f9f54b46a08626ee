// The item controls of the menus: the menu item shown in popups and the top-level button of
// the menu bar, each with the standard look the editor's menus use.
#pragma once

#include <windows.h>

#include "actnman/actnbars.h"
#include "actnman/actnbuttons.h"

namespace tavelo {

class TCustomActionMenuBar;

// The sides of a run of formerly hidden items an item frames.
using TMenuItemEdges = TEdgeBorders;

class TCustomMenuItem : public TCustomActionControl {
  TAVELO_CLASS(TCustomMenuItem, TCustomActionControl)
public:
  explicit TCustomMenuItem(TComponent* owner);
  ~TCustomMenuItem() override;

  // The menu that owns the item, when its owner is one.
  TCustomActionMenuBar* Menu() const;
  bool MouseSelected() const { return mouseSelected_; }
  TMenuItemEdges Edges() const { return edges_; }
  // Each top or bottom edge gained or lost changes the height by one.
  void SetEdges(TMenuItemEdges value);
  TRect ShortCutBounds() const { return shortCutBounds_; }

  virtual void PaintRunFrame(TMenuItemEdges edges);
  virtual void PaintSubMenuArrow();
  virtual void PaintEdges();

  void MeasureBounds() override;
  void PositionContents() override;
  TSize ImageSize() const override;
  void SetSelected(bool value) override;
  void ItemTriggered() override;
  void RealignRequest() override;
  void Click() override;
  void Dispatch(TMessage& message) override;

protected:
  void Paint() override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // Selected and either enabled or not selected by the mouse (the customise test aside).
  bool Highlighted() const;
  bool HasOpenSubMenu() const;
  bool HasVisibleSubItems() const;
  void ApplyCheckedRule();

private:
  bool mouseSelected_ = false;
  TMenuItemEdges edges_;
  TRect shortCutBounds_{0, 0, 0, 0};
};

// The menu item in the standard look.
class TStandardMenuItem : public TCustomMenuItem {
  TAVELO_CLASS(TStandardMenuItem, TCustomMenuItem)
public:
  explicit TStandardMenuItem(TComponent* owner) : TCustomMenuItem(owner) {}

  void PaintBackground(const TRect& rect) override;
  void PaintImage(TPoint position) override;
  void PaintText(TRect& rect, std::uint32_t flags, const String& text) override;
  void PaintSeparator(int offset) override;
};

// A top-level button of the menu bar.
class TCustomMenuButton : public TCustomButtonControl {
  TAVELO_CLASS(TCustomMenuButton, TCustomButtonControl)
public:
  explicit TCustomMenuButton(TComponent* owner);
  ~TCustomMenuButton() override;

  void Click() override;
  void ItemTriggered() override;
  void SetSelected(bool value) override;
  void PaintText(TRect& rect, std::uint32_t flags, const String& text) override;
  void Dispatch(TMessage& message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  TCustomActionMenuBar* MenuBar() const;
};

class TStandardMenuButton : public TCustomMenuButton {
  TAVELO_CLASS(TStandardMenuButton, TCustomMenuButton)
public:
  explicit TStandardMenuButton(TComponent* owner) : TCustomMenuButton(owner) {}
};

// Tells the tracking root that control was selected (the selection rule of the loop).
void NotifyMenuSelection(TCustomActionControl* control);

}  // namespace tavelo
