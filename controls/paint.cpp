// Painting: a window and its windowless children, and the control that draws itself.
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

TAVELO_CLASS_IMPL(TCustomControl)

void TWinControl::PaintWindow(HDC dc) {
  TMessage message{WM_PAINT, reinterpret_cast<std::uintptr_t>(dc), 0, 0};
  DefaultHandler(message);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  if (controls_.empty()) return;
  auto start = first ? std::find(controls_.begin(), controls_.end(), first) : controls_.begin();
  for (auto it = start; it != controls_.end(); ++it) {
    TControl* c = *it;
    if (!c->Visible()) continue;
    TRect bounds = c->BoundsRect();
    if (!RectVisible(dc, &bounds)) continue;
    int saved = SaveDC(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + c->Left(), origin.y + c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    try {
      c->Perform(WM_PAINT, reinterpret_cast<std::uintptr_t>(dc), 0);
    } catch (...) {
      RestoreDC(dc, saved);
      throw;
    }
    RestoreDC(dc, saved);
  }
}

void TWinControl::PaintHandler(TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  PAINTSTRUCT ps{};
  if (!dc) dc = BeginPaint(handle_, &ps);
  struct TEndPaint {
    HWND window;
    PAINTSTRUCT* ps;
    bool own;
    ~TEndPaint() {
      if (own) EndPaint(window, ps);
    }
  } endPaint{handle_, &ps, message.WParam == 0};
  int saved = SaveDC(dc);
  int clip = SIMPLEREGION;
  for (TControl* c : controls_) {
    if (c->Visible() && c->controlStyle_.Contains(csOpaque)) {
      TRect r = c->BoundsRect();
      clip = ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
      if (clip == NULLREGION) break;
    }
  }
  if (clip != NULLREGION) {
    try {
      PaintWindow(dc);
    } catch (...) {
      RestoreDC(dc, saved);
      throw;
    }
  }
  RestoreDC(dc, saved);
  PaintControls(dc, nullptr);
  PaintFrames(dc);
}

namespace {

// A frame of one pixel: the top and left lines in one colour, the bottom and right in the
// other. The rectangle is the outside of the frame.
void DrawFrame3D(HDC dc, TRect r, TColor topLeft, TColor bottomRight) {
  --r.right;
  --r.bottom;
  HPEN top = CreatePen(PS_SOLID, 1, ColorToRGB(topLeft));
  HPEN bottom = CreatePen(PS_SOLID, 1, ColorToRGB(bottomRight));
  HGDIOBJ old = SelectObject(dc, top);
  POINT first[3] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}};
  Polyline(dc, first, 3);
  SelectObject(dc, bottom);
  POINT second[3] = {{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}};
  Polyline(dc, second, 3);
  SelectObject(dc, old);
  DeleteObject(top);
  DeleteObject(bottom);
}

UINT BevelStyle(TBevelCut cut, bool inner) {
  switch (cut) {
    case bvLowered: return inner ? BDR_SUNKENINNER : BDR_SUNKENOUTER;
    case bvRaised: return inner ? BDR_RAISEDINNER : BDR_RAISEDOUTER;
    default: return 0;
  }
}

}  // namespace

void TWinControl::PaintFrames(HDC dc) {
  for (TWinControl* child : winControls_) {
    if (!child->Visible() || !child->ctl3D_ || !child->controlStyle_.Contains(csFramed)) continue;
    TRect r = child->BoundsRect();
    InflateRect(&r, 1, 1);
    DrawFrame3D(dc, r, clBtnShadow, clBtnHighlight);
  }
}

void TWinControl::PaintBuffered(TMessage& message) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(handle_, &ps);
  struct TEndPaint {
    HWND window;
    PAINTSTRUCT* ps;
    ~TEndPaint() { EndPaint(window, ps); }
  } endPaint{handle_, &ps};
  RECT client;
  GetClientRect(handle_, &client);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom));
  HGDIOBJ old = SelectObject(memory, bitmap);
  struct TBuffer {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    ~TBuffer() {
      SelectObject(dc, old);
      DeleteObject(bitmap);
      DeleteDC(dc);
    }
  } buffer{memory, bitmap, old};
  auto context = reinterpret_cast<std::uintptr_t>(memory);
  Perform(WM_ERASEBKGND, context, static_cast<std::intptr_t>(context));
  Perform(WM_PAINT, context, 0);
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  message.Result = 0;
}

void TWinControl::NcCalcSize(TMessage& message) {
  DefaultHandler(message);
  // The first rectangle of the parameters, whichever form they take.
  auto* r = reinterpret_cast<RECT*>(message.LParam);
  InflateRect(r, -borderWidth_, -borderWidth_);
  if (bevelKind_ == bkNone) return;
  int size = (bevelInner_ != bvNone ? bevelWidth_ : 0) + (bevelOuter_ != bvNone ? bevelWidth_ : 0);
  if (bevelEdges_.Contains(beLeft)) r->left += size;
  if (bevelEdges_.Contains(beTop)) r->top += size;
  if (bevelEdges_.Contains(beRight)) r->right -= size;
  if (bevelEdges_.Contains(beBottom)) r->bottom -= size;
}

void TWinControl::NcPaintBorder() {
  // The border width is the control's colour too: left to the platform it would stay unpainted.
  if ((bevelKind_ == bkNone && borderWidth_ == 0) || !handle_) return;
  HDC dc = GetWindowDC(handle_);
  if (!dc) return;
  RECT window, client;
  GetWindowRect(handle_, &window);
  GetClientRect(handle_, &client);
  MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  int size = 0;
  if (bevelKind_ != bkNone) size = (bevelInner_ != bvNone ? bevelWidth_ : 0) + (bevelOuter_ != bvNone ? bevelWidth_ : 0);
  RECT r = client;
  if (bevelEdges_.Contains(beLeft)) r.left -= size;
  if (bevelEdges_.Contains(beTop)) r.top -= size;
  if (bevelEdges_.Contains(beRight)) r.right += size;
  if (bevelEdges_.Contains(beBottom)) r.bottom += size;
  RECT outside = r;
  InflateRect(&outside, borderWidth_, borderWidth_);
  FillRect(dc, &outside, brush_->Handle());
  UINT edges = (bevelEdges_.Contains(beLeft) ? BF_LEFT : 0) | (bevelEdges_.Contains(beTop) ? BF_TOP : 0) |
               (bevelEdges_.Contains(beRight) ? BF_RIGHT : 0) | (bevelEdges_.Contains(beBottom) ? BF_BOTTOM : 0);
  UINT kind = bevelKind_ == bkFlat ? BF_FLAT : bevelKind_ == bkSoft ? BF_SOFT : 0;
  for (bool inner : {false, true}) {
    TBevelCut cut = inner ? bevelInner_ : bevelOuter_;
    if (bevelKind_ == bkNone || cut == bvNone) continue;
    for (int i = 0; i < bevelWidth_; ++i) {
      UINT style = BevelStyle(cut, inner);
      if (style)
        DrawEdge(dc, &r, style, edges | kind | BF_ADJUST);
      else  // a space: the brush alone, one pixel in
        InflateRect(&r, -1, -1);
    }
  }
  ReleaseDC(handle_, dc);
}

void TWinControl::SetCtl3D(bool value) {
  if (value == ctl3D_) {
    parentCtl3D_ = false;
    return;
  }
  ctl3D_ = value;
  parentCtl3D_ = false;
  Perform(FM_CTL3D_CHANGED, 0, 0);
}

void TWinControl::SetParentCtl3D(bool value) {
  if (value == parentCtl3D_) return;
  parentCtl3D_ = value;
  if (value && Parent() && !ComponentState().Contains(csReading)) Perform(FM_PARENT_CTL3D_CHANGED, 0, 0);
}

void TWinControl::ParentCtl3DChanged() {
  if (!parentCtl3D_ || !Parent()) return;
  SetCtl3D(Parent()->Ctl3D());
  parentCtl3D_ = true;
}

void TWinControl::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  Perform(FM_BORDER_CHANGED, 0, 0);
}

void TWinControl::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  Perform(FM_BORDER_CHANGED, 0, 0);
}

void TWinControl::SetBevelWidth(int value) {
  if (value == bevelWidth_ || value < 1) return;
  bevelWidth_ = value;
  Perform(FM_BORDER_CHANGED, 0, 0);
}

void TWinControl::SetBevelEdges(TBevelEdges value) {
  if (value == bevelEdges_) return;
  bevelEdges_ = value;
  Perform(FM_BORDER_CHANGED, 0, 0);
}

void TWinControl::SetBevelKind(TBevelKind value) {
  if (value == bevelKind_) return;
  bevelKind_ = value;
  Perform(FM_BORDER_CHANGED, 0, 0);
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  int saved = SaveDC(dc);
  SetViewportOrgEx(dc, x, y, nullptr);
  IntersectClipRect(dc, 0, 0, Width(), Height());
  Perform(WM_PAINT, reinterpret_cast<std::uintptr_t>(dc), 0);
  RestoreDC(dc, saved);
}

// ---- TCustomControl ----

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() {
  canvas_->FreeHandle();
}

void TCustomControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      controlState_.Include(csCustomPaint);
      try {
        inherited::Dispatch(message);
      } catch (...) {
        controlState_.Exclude(csCustomPaint);
        throw;
      }
      controlState_.Exclude(csCustomPaint);
      break;
    default:
      inherited::Dispatch(message);
  }
}

void TCustomControl::PaintWindow(HDC dc) {
  TPaintBinding binding(*canvas_, dc);
  int flags = canvas_->TextFlags() & ~ETO_RTLREADING;
  canvas_->SetTextFlags(UseRightToLeftReading() ? flags | ETO_RTLREADING : flags);
  Paint();
}
}  // namespace tavelo
