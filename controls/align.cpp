// Alignment of a windowed control's children.
#include "controls/controls.h"

#include <algorithm>
#include <cstring>

#include "controls/controlconsts.h"
#include "controls/controlsimpl.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"

namespace tavelo {

using namespace controls_impl;

void TWinControl::EnableAlign() {
  --alignLevel_;
  if (alignLevel_ == 0 && controlState_.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::AlignControl(TControl* control) {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  if (alignLevel_ != 0) {
    controlState_.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  try {
    TRect rect = ClientRect();
    AlignControls(control, rect);
  } catch (...) {
    controlState_.Exclude(csAlignmentNeeded);
    EnableAlign();
    throw;
  }
  controlState_.Exclude(csAlignmentNeeded);
  EnableAlign();
}

bool TWinControl::AlignWork() const {
  for (int i = ControlCount() - 1; i >= 0; --i) {
    TControl* c = Controls(i);
    if (c->Align() != alNone || !(c->Anchors() == TAnchors{akLeft, akTop})) return true;
  }
  return false;
}

void TWinControl::AlignControls(TControl* control, TRect& rect) {
  if (AlignWork()) {
    AdjustClientRect(rect);
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) DoAlign(align, control, rect);
    ControlsAligned();
  }
  if (Showing() && AutoSize()) AdjustSize();
}

bool TWinControl::CustomAlignInsertBefore(TControl* c1, TControl* c2) {
  bool before = false;
  if (onAlignInsertBefore_) onAlignInsertBefore_(this, c1, c2, before);
  return before;
}

void TWinControl::CustomAlignPosition(TControl* control, int& newLeft, int& newTop, int& newWidth, int& newHeight,
                                      TRect& alignRect) {
  if (onAlignPosition_) onAlignPosition_(this, control, newLeft, newTop, newWidth, newHeight, alignRect);
}

void TWinControl::DoAlign(TAlign align, TControl* control, TRect& rect) {
  auto takes = [&](TControl* c) {
    if (c->Align() != align) return false;
    if (align == alNone) return true;
    return c->Visible() || (c->controlStyle_.Contains(csAcceptsControls) && c->controlStyle_.Contains(csNoDesignVisible));
  };
  auto precedes = [&](TControl* c, TControl* entry) {
    switch (align) {
      case alTop: return c->Top() < entry->Top();
      case alBottom: return c->Top() + c->Height() >= entry->Top() + entry->Height();
      case alLeft: return c->Left() < entry->Left();
      case alRight: return c->Left() + c->Width() >= entry->Left() + entry->Width();
      case alCustom: return CustomAlignInsertBefore(c, entry);
      default: return false;
    }
  };
  // The requesting control comes first; each other one goes before the first entry it
  // precedes. For the four sides the others stay ordered among themselves, so that entry is
  // found by halves (a square of the count at every realignment otherwise); the requesting
  // control is checked where it stands.
  std::vector<TControl*> others;
  bool requested = control && control->Parent() == this && control->Align() == align &&
                   (align == alNone || control->Visible());
  std::size_t controlAt = 0;  // how many of the others stand before the requesting control
  bool ordered = align == alTop || align == alBottom || align == alLeft || align == alRight;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c == control || !takes(c)) continue;
    if (!ordered) {
      // Appended, or placed by the parent's hook: one entry at a time.
      std::size_t at = 0;
      bool beforeControl = false;
      for (; at <= others.size(); ++at) {
        if (requested && at == controlAt && precedes(c, control)) {
          beforeControl = true;
          break;
        }
        if (at < others.size() && precedes(c, others[at])) break;
      }
      if (at > others.size()) at = others.size();
      others.insert(others.begin() + static_cast<std::ptrdiff_t>(at), c);
      if (at < controlAt || beforeControl) ++controlAt;
      continue;
    }
    auto found = std::partition_point(others.begin(), others.end(), [&](TControl* e) { return !precedes(c, e); });
    std::size_t at = static_cast<std::size_t>(found - others.begin());
    if (requested && at >= controlAt && precedes(c, control)) at = controlAt;
    if (at < controlAt || (requested && at == controlAt && precedes(c, control))) ++controlAt;
    others.insert(others.begin() + static_cast<std::ptrdiff_t>(at), c);
  }
  std::vector<TControl*> list = others;
  if (requested) list.insert(list.begin() + static_cast<std::ptrdiff_t>(controlAt), control);
  for (TControl* c : list) DoPosition(c, align, rect);
}

void TWinControl::DoPosition(TControl* control, TAlign align, TRect& rect) {
  int newLeft = rect.left, newTop = rect.top;
  int newWidth = rect.right - rect.left, newHeight = rect.bottom - rect.top;
  TAnchors anchors = control->Anchors();
  TPoint parentSize = control->originalParentSize_;
  if ((align == alNone || !(anchors == kNaturalAnchors[align])) && parentSize.x != 0 && parentSize.y != 0) {
    TRect client = ClientRect();
    int pw = client.right - client.left, ph = client.bottom - client.top;
    int l = control->Left(), t = control->Top(), w = control->Width(), h = control->Height();
    if (anchors.Contains(akRight)) {
      if (anchors.Contains(akLeft))
        w = pw + control->anchorRules_.x - parentSize.x;
      else
        l = pw + control->anchorRules_.x - parentSize.x;
    } else if (!anchors.Contains(akLeft)) {
      l = MulDivInt(control->anchorRules_.x, pw, parentSize.x) - w / 2;
    }
    if (anchors.Contains(akBottom)) {
      if (anchors.Contains(akTop))
        h = ph + control->anchorRules_.y - parentSize.y;
      else
        t = ph + control->anchorRules_.y - parentSize.y;
    } else if (!anchors.Contains(akTop)) {
      t = MulDivInt(control->anchorRules_.y, ph, parentSize.y) - h / 2;
    }
    control->aligning_ = true;
    try {
      control->SetBounds(l, t, w, h);
    } catch (...) {
      control->aligning_ = false;
      throw;
    }
    control->aligning_ = false;
    if (align == alNone) return;
  }
  if (align == alNone) return;
  if (align == alLeft || align == alRight || align == alCustom || newWidth < 0) newWidth = control->Width();
  if (align == alTop || align == alBottom || align == alCustom || newHeight < 0) newHeight = control->Height();
  switch (align) {
    case alTop: rect.top += newHeight; break;
    case alBottom: rect.bottom -= newHeight; newTop = rect.bottom; break;
    case alLeft: rect.left += newWidth; break;
    case alRight: rect.right -= newWidth; newLeft = rect.right; break;
    case alCustom:
      newLeft = control->Left();
      newTop = control->Top();
      CustomAlignPosition(control, newLeft, newTop, newWidth, newHeight, rect);
      break;
    default: break;
  }
  control->aligning_ = true;
  try {
    control->SetBounds(newLeft, newTop, newWidth, newHeight);
  } catch (...) {
    control->aligning_ = false;
    throw;
  }
  control->aligning_ = false;
  int dw = control->Width() - newWidth, dh = control->Height() - newHeight;
  if (dw == 0 && dh == 0) return;
  switch (align) {
    case alTop: rect.top += dh; break;
    case alBottom: rect.bottom -= dh; break;
    case alLeft: rect.left += dw; break;
    case alRight: rect.right -= dw; break;
    case alClient: rect.right -= dw; rect.bottom -= dh; break;
    default: break;
  }
}
}  // namespace tavelo
