// The timer, the panel and the image.
#include "controls/extctrls.h"

#include <utility>

#include "controls/controlconsts.h"
#include "controls/controlsimpl.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"
#include "graphics/icon.h"

namespace tavelo {

using namespace controls_impl;

// ---- TTimer ----

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr const char* kTimerWindowClass = "TTimerWindow";

void RegisterTimerWindowClass(WNDPROC procedure) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, kTimerWindowClass, &existing)) return;
  WNDCLASSA cls{};
  cls.lpfnWndProc = procedure;
  cls.hInstance = instance;
  cls.lpszClassName = kTimerWindowClass;
  if (!RegisterClassA(&cls)) RaiseLastOSError();
}

}  // namespace

TAVELO_PUBLISH(TTimer) {
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("Interval", &Self::Interval, &Self::SetInterval).Default(1000u);
  c.Event("OnTimer", &Self::OnTimer, &Self::SetOnTimer);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  RegisterTimerWindowClass(&TimerWndProc);
  // A message-only window: it never shows and no enumeration of top-level windows sees it.
  window_ = CreateWindowExA(0, kTimerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  if (!window_) RaiseLastOSError();
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTimer::~TTimer() {
  enabled_ = false;
  RestartTimer();
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  RestartTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  RestartTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
  onTimer_ = value;
  RestartTimer();
}

void TTimer::RestartTimer() {
  KillTimer(window_, kTimerId);
  if (interval_ != 0 && enabled_ && onTimer_) {
    if (!SetTimer(window_, kTimerId, interval_, nullptr)) throw EOutOfResources(SOutOfTimers);
  }
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Nothing may unwind through the platform's frames: a handler's exception goes where
  // those of the control windows go.
  try {
    if (msg == WM_TIMER) {
      if (auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA))) timer->Timer();
      // A handler that drew on a control's canvas gives its context back, as after any message.
      FreeDeviceContexts();
      return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
  } catch (...) {
    FreeDeviceContexts();
    HandleWindowException(std::current_exception());
    return 0;
  }
}

// ---- DrawBevelFrame ----

void DrawBevelFrame(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  canvas->Pen()->SetWidth(1);
  --rect.right;
  --rect.bottom;
  for (int ring = 0; ring < width; ++ring) {
    // A polyline leaves out its last point, so each corner belongs to one colour.
    canvas->Pen()->SetColor(topColor);
    const TPoint top[] = {Point(rect.left, rect.bottom), Point(rect.left, rect.top), Point(rect.right, rect.top)};
    canvas->Polyline(top);
    canvas->Pen()->SetColor(bottomColor);
    const TPoint bottom[] = {Point(rect.right, rect.top), Point(rect.right, rect.bottom),
                             Point(rect.left - 1, rect.bottom)};
    canvas->Polyline(bottom);
    InflateRect(&rect, -1, -1);
  }
  ++rect.right;
  ++rect.bottom;
}

// ---- TCustomPanel ----

TAVELO_CLASS_IMPL(TCustomPanel)

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csOpaque, csDoubleClicks};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

int TCustomPanel::FrameWidth() const {
  int width = borderWidth_;
  if (bevelOuter_ != bvNone) width += bevelWidth_;
  if (bevelInner_ != bvNone) width += bevelWidth_;
  return width;
}

void TCustomPanel::FrameChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  FrameChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  FrameChanged();
}

void TCustomPanel::SetBevelWidth(int value) {
  if (value == bevelWidth_) return;
  bevelWidth_ = value;
  FrameChanged();
}

void TCustomPanel::SetBorderWidth(int value) {
  if (value == borderWidth_) return;
  borderWidth_ = value;
  FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  // A 3-D single border is the sunken client edge; without 3-D, a plain frame.
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
  params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
  inherited::AdjustClientRect(rect);
  int frame = FrameWidth();
  InflateRect(&rect, -frame, -frame);
}

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    TColor top = clBtnHighlight, bottom = clBtnShadow;
    if (cut == bvLowered) std::swap(top, bottom);
    DrawBevelFrame(canvas, rect, top, bottom, bevelWidth_);
  };
  bevel(bevelOuter_);
  DrawBevelFrame(canvas, rect, Color(), Color(), borderWidth_);
  bevel(bevelInner_);
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(rect);
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  // The caption takes one line's band in the middle of what the frame leaves.
  int height = canvas->TextHeight("W");
  rect.top = (rect.top + rect.bottom - height) / 2;
  rect.bottom = rect.top + height;
  static constexpr UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  String caption = Caption();
  // Seam: the bidirectional drawing flags join here with the control's reading order.
  DrawTextA(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &rect,
            DT_EXPANDTABS | DT_VCENTER | alignments[alignment_]);
}

void TCustomPanel::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_WINDOWPOSCHANGED: {
      // Before the new size is taken over: the old frame on the edges that move is stale.
      auto* pos = reinterpret_cast<WINDOWPOS*>(message.LParam);
      if (HandleAllocated() && pos && !(pos->flags & SWP_NOSIZE)) {
        if (fullRepaint_ || !Caption().empty()) {
          Invalidate();
        } else if (int b = FrameWidth(); b > 0) {
          int width = Width(), height = Height();
          if (pos->cx != width) {
            TRect strip = Rect(width - b - 1, 0, width, height);
            InvalidateRect(Handle(), &strip, TRUE);
          }
          if (pos->cy != height) {
            TRect strip = Rect(0, height - b - 1, width, height);
            InvalidateRect(Handle(), &strip, TRUE);
          }
        }
      }
      inherited::Dispatch(message);
      break;
    }
    case FM_TEXT_CHANGED:
    case FM_BORDER_CHANGED:
      inherited::Dispatch(message);
      Invalidate();
      break;
    default:
      inherited::Dispatch(message);
  }
}

// Seam: BiDiMode, Caption, Ctl3D, the dock and drag properties, ParentBiDiMode,
// ParentCtl3D, ParentShowHint, PopupMenu and the other events join when the control has them.
TAVELO_PUBLISH(TPanel) {
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alNone);
  c.Property("Alignment", &Self::Alignment, &Self::SetAlignment).Default(taCenter);
  c.Property("Anchors", &Self::Anchors, &Self::SetAnchors);
  c.Property("AutoSize", &Self::AutoSize, &Self::SetAutoSize).Default(false);
  c.Property("BevelInner", &Self::BevelInner, &Self::SetBevelInner).Default(bvNone);
  c.Property("BevelOuter", &Self::BevelOuter, &Self::SetBevelOuter).Default(bvRaised);
  c.Property("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(1);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode);
  c.Property("BorderStyle", &Self::BorderStyle, &Self::SetBorderStyle).Default(bsNone);
  c.Property("BorderWidth", &Self::BorderWidth, &Self::SetBorderWidth).Default(0);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Color", &Self::Color, &Self::SetColor).Default(clBtnFace);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("Ctl3D", &Self::Ctl3D, &Self::SetCtl3D);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("FullRepaint", &Self::FullRepaint, &Self::SetFullRepaint).Default(true);
  c.Property("Locked", &Self::Locked, &Self::SetLocked).Default(false);
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
  c.Property("ParentColor", &Self::ParentColor, &Self::SetParentColor).Default(false);
  c.Property("ParentCtl3D", &Self::ParentCtl3D, &Self::SetParentCtl3D).Default(true);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(true);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("TabOrder", &Self::TabOrder, &Self::SetTabOrder);
  c.Property("TabStop", &Self::TabStop, &Self::SetTabStop).Default(false);
  c.Property("UseDockManager", &Self::UseDockManager, &Self::SetUseDockManager).Default(true);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Event("OnCanResize", &Self::OnCanResize, &Self::SetOnCanResize);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
  c.Event("OnConstrainedResize", &Self::OnConstrainedResize, &Self::SetOnConstrainedResize);
  c.Event("OnDblClick", &Self::OnDblClick, &Self::SetOnDblClick);
  c.Event("OnEnter", &Self::OnEnter, &Self::SetOnEnter);
  c.Event("OnExit", &Self::OnExit, &Self::SetOnExit);
  c.Event("OnMouseDown", &Self::OnMouseDown, &Self::SetOnMouseDown);
  c.Event("OnMouseMove", &Self::OnMouseMove, &Self::SetOnMouseMove);
  c.Event("OnMouseUp", &Self::OnMouseUp, &Self::SetOnMouseUp);
  c.Event("OnResize", &Self::OnResize, &Self::SetOnResize);
}

// ---- TImage ----

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  picture_->SetOnChange(TNotifyEvent::Bind<&TImage::PictureChanged>(this));
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { picture_->SetOnChange(TNotifyEvent()); }

void TImage::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  PictureChanged(this);
}

void TImage::SetProportional(bool value) {
  if (value == proportional_) return;
  proportional_ = value;
  PictureChanged(this);
}

void TImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  PictureChanged(this);
}

void TImage::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  PictureChanged(this);
}

TRect TImage::PictureRect() {
  int w = picture_->Width(), h = picture_->Height();
  int cw = ClientWidth(), ch = ClientHeight();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<int>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<int>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<int>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect rect = Rect(0, 0, w, h);
  if (center_) OffsetRect(&rect, (cw - w) / 2, (ch - h) / 2);
  return rect;
}

bool TImage::CanAutoSize(int& newWidth, int& newHeight) {
  int w = picture_->Width(), h = picture_->Height();
  if (w > 0 && h > 0) {
    if (Align() == alNone || Align() == alLeft || Align() == alRight) newWidth = w;
    if (Align() == alNone || Align() == alTop || Align() == alBottom) newHeight = h;
  }
  return true;
}

void TImage::Paint() {
  TCanvas* canvas = Canvas();
  if (ComponentState().Contains(csDesigning)) {
    canvas->Pen()->SetStyle(psDash);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(0, 0, Width(), Height());
  }
  bool wasDrawing = std::exchange(drawing_, true);
  try {
    canvas->StretchDraw(PictureRect(), picture_->Graphic());
  } catch (...) {
    drawing_ = wasDrawing;
    throw;
  }
  drawing_ = wasDrawing;
}

void TImage::PictureChanged(TObject* sender) {
  (void)sender;
  if (AutoSize() && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  if (TGraphic* graphic = picture_->Graphic()) {
    // Seam: a metafile keeps its own transparency too, once there is one.
    if (!graphic->Is<TIcon>()) graphic->SetTransparent(transparent_);
    if (!graphic->Transparent() && stretch_ && !proportional_)
      controlStyle_.Include(csOpaque);
    else
      controlStyle_.Exclude(csOpaque);
    if (graphic->Palette()) {
      TWinControl* form = GetParentForm(this);
      if (form && form->FormActive() && form->HandleAllocated()) {
        if (drawing_)
          form->Perform(WM_QUERYNEWPALETTE, 0, 0);
        else
          PostMessageA(form->Handle(), WM_QUERYNEWPALETTE, 0, 0);
      }
    }
  } else {
    controlStyle_.Exclude(csOpaque);
  }
  if (!drawing_) Invalidate();
}

// Seam: DragCursor, DragKind, DragMode, ParentShowHint, PopupMenu and the events between
// OnClick and OnProgress join when the control has them.
TAVELO_PUBLISH(TImage) {
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alNone);
  c.Property("Anchors", &Self::Anchors, &Self::SetAnchors);
  c.Property("AutoSize", &Self::AutoSize, &Self::SetAutoSize).Default(false);
  c.Property("Center", &Self::Center, &Self::SetCenter).Default(false);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("IncrementalDisplay", &Self::IncrementalDisplay, &Self::SetIncrementalDisplay).Default(false);
  c.Property("Picture", &Self::Picture, &Self::SetPicture);
  c.Property("Proportional", &Self::Proportional, &Self::SetProportional).Default(false);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("Stretch", &Self::Stretch, &Self::SetStretch).Default(false);
  c.Property("Transparent", &Self::Transparent, &Self::SetTransparent).Default(false);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
  c.Event("OnDblClick", &Self::OnDblClick, &Self::SetOnDblClick);
  c.Event("OnMouseDown", &Self::OnMouseDown, &Self::SetOnMouseDown);
  c.Event("OnMouseMove", &Self::OnMouseMove, &Self::SetOnMouseMove);
  c.Event("OnMouseUp", &Self::OnMouseUp, &Self::SetOnMouseUp);
}

}  // namespace tavelo
