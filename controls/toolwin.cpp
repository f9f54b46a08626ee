// The tool window: a windowed control with edges in its non-client area.
#include "controls/controls.h"

#include "core/messages.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TToolWindow)

TToolWindow::TToolWindow(TComponent* owner) : TWinControl(owner) {}

void TToolWindow::SetEdgeBorders(TEdgeBorders value) {
  if (value == edgeBorders_) return;
  edgeBorders_ = value;
  RecreateWnd();
}

void TToolWindow::SetEdgeInner(TEdgeStyle value) {
  if (value == edgeInner_) return;
  edgeInner_ = value;
  RecreateWnd();
}

void TToolWindow::SetEdgeOuter(TEdgeStyle value) {
  if (value == edgeOuter_) return;
  edgeOuter_ = value;
  RecreateWnd();
}

void TToolWindow::NcCalcSize(TMessage& message) {
  // The edges come inside what the windowed control takes (the platform's frame, the border
  // width and the bevels); the border width is taken once.
  TWinControl::NcCalcSize(message);
  auto* r = reinterpret_cast<RECT*>(message.LParam);
  int size = (edgeInner_ != esNone ? 1 : 0) + (edgeOuter_ != esNone ? 1 : 0);
  if (edgeBorders_.Contains(ebLeft)) r->left += size;
  if (edgeBorders_.Contains(ebTop)) r->top += size;
  if (edgeBorders_.Contains(ebRight)) r->right -= size;
  if (edgeBorders_.Contains(ebBottom)) r->bottom -= size;
}

void TToolWindow::NcPaint(HDC dc) {
  RECT window, client;
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  RECT r{0, 0, window.right - window.left, window.bottom - window.top};
  UINT inner = edgeInner_ == esRaised ? BDR_RAISEDINNER : edgeInner_ == esLowered ? BDR_SUNKENINNER : 0;
  UINT outer = edgeOuter_ == esRaised ? BDR_RAISEDOUTER : edgeOuter_ == esLowered ? BDR_SUNKENOUTER : 0;
  UINT flags = (edgeBorders_.Contains(ebLeft) ? BF_LEFT : 0) | (edgeBorders_.Contains(ebTop) ? BF_TOP : 0) |
               (edgeBorders_.Contains(ebRight) ? BF_RIGHT : 0) | (edgeBorders_.Contains(ebBottom) ? BF_BOTTOM : 0);
  DrawEdge(dc, &r, inner | outer, flags | BF_ADJUST | (Ctl3D() ? 0 : BF_MONO));
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  FillRect(dc, &r, Brush()->Handle());
}

void TToolWindow::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(Handle());
      if (!dc) break;
      try {
        NcPaint(dc);
      } catch (...) {
        ReleaseDC(Handle(), dc);
        throw;
      }
      ReleaseDC(Handle(), dc);
      break;
    }
    case FM_BORDER_CHANGED:
      inherited::Dispatch(message);
      RecreateWnd();
      break;
    case FM_CTL3D_CHANGED:
      inherited::Dispatch(message);
      if (!edgeBorders_.Empty()) RecreateWnd();
      break;
    default:
      inherited::Dispatch(message);
  }
}

}  // namespace tavelo
