// The scrolling control: two bars whose ranges follow the children, and scrolling the
// children into view.
#include <algorithm>

#include "controls/controlsimpl.h"
#include "controls/forms.h"
#include "core/messages.h"
#include "core/publish.h"

namespace tavelo {

using namespace controls_impl;

// ---- TControlScrollBar ----

TControlScrollBar::TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind)
    : control_(control), kind_(kind) {}

void TControlScrollBar::Assign(TPersistent* source) {
  if (auto* other = DynamicCast<TControlScrollBar>(source)) {
    visible_ = other->visible_;
    range_ = other->range_;
    position_ = other->position_;
    increment_ = other->increment_;
    margin_ = other->margin_;
    color_ = other->color_;
    if (control_) control_->UpdateScrollBars();
    return;
  }
  inherited::Assign(source);
}

bool TControlScrollBar::IsScrollBarVisible() const {
  if (!visible_ || !control_ || !control_->HandleAllocated()) return false;
  LONG_PTR style = GetWindowLongPtrA(control_->Handle(), GWL_STYLE);
  return (style & (kind_ == sbVertical ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

// The client extent along the bar, corrected for the other bar as if shown or as if hidden
// when controlSB asks for it.
int TControlScrollBar::ControlSize(bool controlSB, bool assumeSBVisible) const {
  RECT r{0, 0, control_->Width(), control_->Height()};
  if (control_->HandleAllocated()) GetClientRect(control_->Handle(), &r);
  int size = kind_ == sbVertical ? r.bottom - r.top : r.right - r.left;
  if (controlSB) {
    TControlScrollBar* other = kind_ == sbVertical ? control_->HorzScrollBar() : control_->VertScrollBar();
    int thickness = kind_ == sbVertical ? GetSystemMetrics(SM_CYHSCROLL) : GetSystemMetrics(SM_CXVSCROLL);
    bool shown = other->IsScrollBarVisible();
    if (assumeSBVisible && !shown) size -= thickness;
    if (!assumeSBVisible && shown) size += thickness;
  }
  return std::max(0, size);
}

bool TControlScrollBar::NeedsScrollBarVisible() const { return range_ > ControlSize(true, false); }

void TControlScrollBar::SetMargin(int value) {
  if (value == margin_) return;
  margin_ = value;
  if (control_) control_->CalcAutoRange();
}

void TControlScrollBar::SetRange(int value) {
  DoSetRange(value);
  if (control_) control_->SetAutoScroll(false);
}

void TControlScrollBar::DoSetRange(int value) {
  value = std::max(0, value);
  if (value == range_) return;
  range_ = value;
  if (control_) control_->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  if (control_) control_->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int value) {
  int scrollable = std::max(0, range_ - ControlSize(false, false));
  value = std::clamp(value, 0, scrollable);
  if (value == position_) return;
  int delta = position_ - value;
  position_ = value;
  if (!control_ || !control_->HandleAllocated()) return;
  if (kind_ == sbHorizontal)
    control_->ScrollBy(delta, 0);
  else
    control_->ScrollBy(0, delta);
  SetScrollPos(control_->Handle(), kind_ == sbVertical ? SB_VERT : SB_HORZ, value, TRUE);
}

void TControlScrollBar::Update(bool controlSB, bool assumeSBVisible) {
  int size = ControlSize(controlSB, assumeSBVisible);
  pageIncrement_ = size * 9 / 10;
  if (!control_ || !control_->HandleAllocated()) return;
  int scrollable = visible_ ? std::max(0, range_ - size) : 0;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  info.nMin = 0;
  if (scrollable > 0) {
    info.nMax = range_;
    info.nPage = static_cast<UINT>(size + 1);
  }
  int position = std::clamp(position_, 0, scrollable);
  info.nPos = position;
  SetScrollInfo(control_->Handle(), kind_ == sbVertical ? SB_VERT : SB_HORZ, &info, TRUE);
  if (position != position_) {
    int delta = position_ - position;
    position_ = position;
    if (kind_ == sbHorizontal)
      control_->ScrollBy(delta, 0);
    else
      control_->ScrollBy(0, delta);
  }
}

void TControlScrollBar::ScrollMessage(TMessage& message) {
  int page = std::max(1, pageIncrement_);
  int position = position_;
  switch (LOWORD(message.WParam)) {
    case SB_LINEUP:
      position -= increment_;
      break;
    case SB_LINEDOWN:
      position += increment_;
      break;
    case SB_PAGEUP:
      position -= page;
      break;
    case SB_PAGEDOWN:
      position += page;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      position = static_cast<short>(HIWORD(message.WParam));
      break;
    case SB_TOP:
      position = 0;
      break;
    case SB_BOTTOM:
      position = range_;
      break;
    default:
      return;
  }
  SetPosition(position);
}

// ---- TScrollingWinControl ----

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner),
      horzScrollBar_(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      vertScrollBar_(std::make_unique<TControlScrollBar>(this, sbVertical)) {}

TScrollingWinControl::~TScrollingWinControl() {
  // The bars answer no more once the control is going.
  horzScrollBar_->control_ = nullptr;
  vertScrollBar_->control_ = nullptr;
}

void TScrollingWinControl::SetAutoScroll(bool value) {
  if (value == autoScroll_) return;
  autoScroll_ = value;
  if (value)
    CalcAutoRange();
  else {
    horzScrollBar_->DoSetRange(0);
    vertScrollBar_->DoSetRange(0);
  }
}

void TScrollingWinControl::CreateWnd() {
  TWinControl::CreateWnd();
  CalcAutoRange();
  UpdateScrollBars();
}

void TScrollingWinControl::CalcAutoRange() {
  if (!autoScroll_ || sizing_ || ComponentState().Contains(csLoading)) return;
  int horizontal = 0, vertical = 0;
  if (!AutoSize()) {
    int right = 0, bottom = 0, rightEdge = 0, bottomEdge = 0;
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (!c->Visible()) continue;
      TAnchors anchors = c->Anchors();
      switch (c->Align()) {
        case alLeft:
        case alNone:
          if (anchors.Contains(akLeft) && !anchors.Contains(akRight))
            rightEdge = std::max(rightEdge, horzScrollBar_->position_ + c->Left() + c->Width());
          break;
        case alRight:
          right += c->Width();
          break;
        default:
          break;
      }
      switch (c->Align()) {
        case alTop:
        case alNone:
          if (anchors.Contains(akTop) && !anchors.Contains(akBottom))
            bottomEdge = std::max(bottomEdge, vertScrollBar_->position_ + c->Top() + c->Height());
          break;
        case alBottom:
          bottom += c->Height();
          break;
        default:
          break;
      }
    }
    horizontal = rightEdge + right + horzScrollBar_->margin_;
    vertical = bottomEdge + bottom + vertScrollBar_->margin_;
  }
  ++autoRangeCount_;
  try {
    horzScrollBar_->range_ = horizontal;
    vertScrollBar_->range_ = vertical;
    UpdateScrollBars();
  } catch (...) {
    --autoRangeCount_;
    throw;
  }
  --autoRangeCount_;
}

void TScrollingWinControl::UpdateScrollBars() {
  if (!HandleAllocated() || updatingScrollBars_) return;
  updatingScrollBars_ = true;
  try {
    if (vertScrollBar_->NeedsScrollBarVisible()) {
      horzScrollBar_->Update(true, true);
      vertScrollBar_->Update(false, true);
    } else {
      vertScrollBar_->Update(true, horzScrollBar_->NeedsScrollBarVisible());
      horzScrollBar_->Update(false, false);
    }
  } catch (...) {
    updatingScrollBars_ = false;
    throw;
  }
  updatingScrollBars_ = false;
}

void TScrollingWinControl::AlignControls(TControl* control, TRect& rect) {
  CalcAutoRange();
  TWinControl::AlignControls(control, rect);
}

// Aligned children lie on the whole scrollable area, moved by what is scrolled away.
void TScrollingWinControl::AdjustClientRect(TRect& rect) {
  int width = std::max(horzScrollBar_->range_, static_cast<int>(rect.right - rect.left));
  int height = std::max(vertScrollBar_->range_, static_cast<int>(rect.bottom - rect.top));
  rect = Rect(-horzScrollBar_->ScrollPos(), -vertScrollBar_->ScrollPos(), width - horzScrollBar_->ScrollPos(),
              height - vertScrollBar_->ScrollPos());
  TWinControl::AdjustClientRect(rect);
}

void TScrollingWinControl::ChangeScale(int m, int d) {
  if (m != d && d != 0 && !autoScroll_) {
    horzScrollBar_->range_ = MulDiv(horzScrollBar_->range_, m, d);
    vertScrollBar_->range_ = MulDiv(vertScrollBar_->range_, m, d);
  }
  TWinControl::ChangeScale(m, d);
}

void TScrollingWinControl::ScrollBy(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  DisableAlign();
  try {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    }
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
  } catch (...) {
    EnableAlign();
    throw;
  }
  // Only the moves above asked for alignment: nothing needs to be placed again.
  controlState_.Exclude(csAlignmentNeeded);
  EnableAlign();
}

void TScrollingWinControl::ScrollInView(TControl* control) {
  if (!control || !HandleAllocated() || !ContainsControl(control) || control == this) return;
  TPoint origin = control->ClientOrigin();
  TPoint own = ClientOrigin();
  TRect client = control->ClientRect();
  TRect r = Rect(origin.x - own.x + client.left, origin.y - own.y + client.top, origin.x - own.x + client.right,
                 origin.y - own.y + client.bottom);
  InflateRect(&r, horzScrollBar_->margin_, vertScrollBar_->margin_);
  int width = ClientWidth(), height = ClientHeight();
  if (r.left < 0)
    horzScrollBar_->SetPosition(horzScrollBar_->position_ + r.left);
  else if (r.right > width) {
    int by = r.right - width;
    if (r.left - by < 0) by = r.left;  // the left edge stays in view
    horzScrollBar_->SetPosition(horzScrollBar_->position_ + by);
  }
  if (r.top < 0)
    vertScrollBar_->SetPosition(vertScrollBar_->position_ + r.top);
  else if (r.bottom > height) {
    int by = r.bottom - height;
    if (r.top - by < 0) by = r.top;
    vertScrollBar_->SetPosition(vertScrollBar_->position_ + by);
  }
}

void TScrollingWinControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      sizing_ = true;
      try {
        TWinControl::Dispatch(message);
      } catch (...) {
        sizing_ = false;
        throw;
      }
      sizing_ = false;
      CalcAutoRange();
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (message.LParam == 0) {
        (message.Msg == WM_HSCROLL ? horzScrollBar_ : vertScrollBar_)->ScrollMessage(message);
        break;
      }
      TWinControl::Dispatch(message);
      break;
    default:
      TWinControl::Dispatch(message);
  }
}

TAVELO_PUBLISH(TControlScrollBar) {
  c.Property("Color", &Self::Color, &Self::SetColor).Default(clBtnHighlight);
  c.Property("Increment", &Self::Increment, &Self::SetIncrement).Default(8);
  c.Property("Margin", &Self::Margin, &Self::SetMargin).Default(0);
  c.Property("Range", &Self::Range, &Self::SetRange).Default(0);
  c.Property("Position", &Self::Position, &Self::SetPosition).Default(0);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
}

TAVELO_CLASS_IMPL(TScrollingWinControl)

}  // namespace tavelo
