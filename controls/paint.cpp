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
  // Seam: the 3-D frame of framed windowed children comes with Ctl3D.
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
  Paint();
}
}  // namespace tavelo
