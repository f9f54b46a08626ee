// The size a control asks for itself: a windowless control's own calculation, a windowed
// control's the extents of its visible children.
#include "controls/controls.h"

#include <algorithm>

namespace tavelo {

void TControl::AdjustSize() {
  if (!ComponentState().Contains(csLoading)) SetBounds(left_, top_, width_, height_);
}

void TWinControl::AdjustSize() {
  if (!HandleAllocated() || autoSizing_ || ComponentState().Contains(csLoading)) return;
  TControl::AdjustSize();
  // A control against the right or bottom moved its own edge: the parent puts it back.
  if (Align() == alRight || Align() == alBottom) RequestAlign();
}

bool TWinControl::CanAutoSize(int& newWidth, int& newHeight) {
  if (!HandleAllocated() || Align() == alClient || autoSizing_) return false;
  bool any = false;
  TRect extents{0, 0, 0, 0};
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    TRect r = c->BoundsRect();
    if (!any) {
      extents = r;
      any = true;
    } else {
      extents.left = std::min(extents.left, r.left);
      extents.top = std::min(extents.top, r.top);
      extents.right = std::max(extents.right, r.right);
      extents.bottom = std::max(extents.bottom, r.bottom);
    }
  }
  TAlign align = Align();
  bool horizontal = align == alNone || align == alLeft || align == alRight;
  bool vertical = align == alNone || align == alTop || align == alBottom;
  TRect client = ClientRect();
  int dx = horizontal && any ? client.left - extents.left : 0;
  int dy = vertical && any ? client.top - extents.top : 0;
  if (dx != 0 || dy != 0) {
    // The children move without realigning this control in the middle of its own sizing.
    autoSizing_ = true;
    DisableAlign();
    try {
      for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
      }
    } catch (...) {
      controlState_.Exclude(csAlignmentNeeded);
      EnableAlign();
      autoSizing_ = false;
      throw;
    }
    controlState_.Exclude(csAlignmentNeeded);
    EnableAlign();
    autoSizing_ = false;
  }
  int w = extents.right - extents.left, h = extents.bottom - extents.top;
  if (horizontal) newWidth = w > 0 ? w + Width() - (client.right - client.left) : 0;
  if (vertical) newHeight = h > 0 ? h + Height() - (client.bottom - client.top) : 0;
  return true;
}

}  // namespace tavelo
