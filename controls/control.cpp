// The control base: bounds, constraints, anchors, visibility, colour and font, and the
// windowless control.
#include "controls/controls.h"

#include <algorithm>
#include <cstring>

#include "controls/controlconsts.h"
#include "controls/controlsimpl.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"
#include "streaming/reader.h"
#include "streaming/writer.h"

namespace tavelo {

using namespace controls_impl;

TAVELO_CLASS_IMPL(TControlCanvas)
TAVELO_CLASS_IMPL(TGraphicControl)

// ---- TSizeConstraints ----

void TSizeConstraints::SetMaxHeight(int value) {
  if (value == maxHeight_) return;
  maxHeight_ = value;
  if (value > 0 && value < minHeight_) minHeight_ = value;
  Changed();
}
void TSizeConstraints::SetMaxWidth(int value) {
  if (value == maxWidth_) return;
  maxWidth_ = value;
  if (value > 0 && value < minWidth_) minWidth_ = value;
  Changed();
}
void TSizeConstraints::SetMinHeight(int value) {
  if (value == minHeight_) return;
  minHeight_ = value;
  if (maxHeight_ > 0 && value > maxHeight_) maxHeight_ = value;
  Changed();
}
void TSizeConstraints::SetMinWidth(int value) {
  if (value == minWidth_) return;
  minWidth_ = value;
  if (maxWidth_ > 0 && value > maxWidth_) maxWidth_ = value;
  Changed();
}
void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* other = DynamicCast<TSizeConstraints>(source)) {
    maxHeight_ = other->maxHeight_;
    maxWidth_ = other->maxWidth_;
    minHeight_ = other->minHeight_;
    minWidth_ = other->minWidth_;
    Changed();
    return;
  }
  inherited::Assign(source);
}
void TSizeConstraints::Changed() {
  if (control_) control_->ConstraintsChanged();
}

// ---- TControlCanvas ----

void TControlCanvas::SetControl(TControl* value) {
  if (value == control_) return;
  FreeHandle();
  control_ = value;
}

HDC TControlCanvas::AcquireContext(HWND& window) {
  if (auto* win = DynamicCast<TWinControl>(control_)) {
    window = win->Handle();
    return GetWindowContext(window);
  }
  TWinControl* parent = control_ ? control_->Parent() : nullptr;
  if (!parent) throw EInvalidOperation(Format(SParentRequired, {control_ ? control_->Name() : String()}));
  window = parent->Handle();
  HDC dc = GetWindowContext(window);
  // A windowless control draws at its own origin, within its own area of the parent.
  SetViewportOrgEx(dc, control_->Left(), control_->Top(), nullptr);
  IntersectClipRect(dc, control_->Left(), control_->Top(), control_->Left() + control_->Width(),
                    control_->Top() + control_->Height());
  return dc;
}

// ---- TControl ----

TControl::TControl(TComponent* owner)
    : TComponent(owner), constraints_(std::make_unique<TSizeConstraints>(this)), font_(std::make_unique<TFont>()) {
  font_->SetOnChange(TNotifyEvent::Bind<&TControl::FontChanged>(this));
  fontHeight_ = font_->Height();
}

TControl::~TControl() {
  if (ControlAppHooks().ControlDestroyed) ControlAppHooks().ControlDestroyed(this);
  ForgetCaptureControl(this);
  actionLink_.reset();
  font_->SetOnChange(TNotifyEvent());
  if (parent_) parent_->RemoveControl(this);
  constraints_.reset();
}

void TControl::SetParent(TWinControl* value) {
  if (value == parent_) return;
  if (value == this) throw EInvalidOperation(SControlParentSetToSelf);
  if (parent_) parent_->RemoveControl(this);
  if (value) {
    value->InsertControl(this);
  }
}

void TControl::SetParentComponent(TComponent* value) {
  if (auto* win = DynamicCast<TWinControl>(value)) SetParent(win);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::WindowProc(TMessage& message) {
  if (windowProc_)
    windowProc_(message);
  else
    WndProc(message);
}

std::intptr_t TControl::Perform(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WindowProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& message) {
  if (message.Msg >= WM_KEYFIRST && message.Msg <= WM_KEYLAST) {
    // Seam: the form's child-key hook sees key messages first; forms never claim them.
  } else if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST) {
    switch (message.Msg) {
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK:
        // Without the double-click style a double click is a second press.
        if (!controlStyle_.Contains(csDoubleClicks)) message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
        break;
      case WM_MOUSEMOVE:
        if (ControlAppHooks().HintMouseMessage) ControlAppHooks().HintMouseMessage(this, message);
        break;
      case WM_LBUTTONDOWN:
        // Seam: an automatic drag would start here; there is no dragging.
        controlState_.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP:
        controlState_.Exclude(csLButtonDown);
        break;
      default:
        break;
    }
  }
  Dispatch(message);
}

void TControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      ButtonDown(message);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      ButtonUp(message);
      break;
    case WM_MOUSEMOVE:
      DefaultHandler(message);
      if (!controlStyle_.Contains(csNoStdEvents))
        MouseMove(MouseShiftState(message.WParam), static_cast<short>(LOWORD(message.LParam)),
                  static_cast<short>(HIWORD(message.LParam)));
      break;
    case FM_PARENT_FONT_CHANGED:
      ParentFontChanged(message);
      break;
    case FM_PARENT_COLOR_CHANGED:
      ParentColorChanged(message);
      break;
    case FM_FONT_CHANGED:
    case FM_COLOR_CHANGED:
    case FM_BIDIMODE_CHANGED:
      Invalidate();
      break;
    case FM_PARENT_BIDIMODE_CHANGED:
      ParentBiDiModeChanged();
      break;
    case FM_HIT_TEST:
      message.Result = 1;
      break;
    case FM_VISIBLE_CHANGED:
      InvalidateControl(true, controlStyle_.Contains(csOpaque));
      break;
    default:
      inherited::Dispatch(message);
  }
}

void TControl::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case WM_SETTEXT:
      text_ = message.LParam ? String(reinterpret_cast<const char*>(message.LParam)) : String();
      message.Result = 1;
      break;
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(message.LParam);
      std::size_t size = message.WParam;
      if (!buffer || size == 0) {
        message.Result = 0;
        break;
      }
      std::size_t n = std::min<std::size_t>(text_.size(), size - 1);
      std::memcpy(buffer, text_.c_str(), n);
      buffer[n] = '\0';
      message.Result = static_cast<std::intptr_t>(n);
      break;
    }
    case WM_GETTEXTLENGTH:
      message.Result = static_cast<std::intptr_t>(text_.size());
      break;
    default:
      break;
  }
}

String TControl::Text() const {
  // Asking for the text is a message to the control, which is not const.
  auto* self = const_cast<TControl*>(this);
  int length = static_cast<int>(self->Perform(WM_GETTEXTLENGTH, 0, 0));
  if (length <= 0) return String();
  std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
  int got = static_cast<int>(self->Perform(WM_GETTEXT, buffer.size(), reinterpret_cast<std::intptr_t>(buffer.data())));
  buffer.resize(static_cast<std::size_t>(std::max(0, got)));
  return String(buffer.c_str());
}

void TControl::SetText(const String& value) {
  if (Text() == value) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(value.c_str()));
  Perform(FM_TEXT_CHANGED, 0, 0);
}

TRect TControl::ClientRect() { return Rect(0, 0, width_, height_); }

TPoint TControl::ClientOrigin() {
  if (!parent_) throw EInvalidOperation(Format(SParentRequired, {Name()}));
  TPoint p = parent_->ClientOrigin();
  return Point(p.x + left_, p.y + top_);
}

TPoint TControl::ClientToScreen(TPoint p) {
  TPoint o = ClientOrigin();
  return Point(p.x + o.x, p.y + o.y);
}

TPoint TControl::ScreenToClient(TPoint p) {
  TPoint o = ClientOrigin();
  return Point(p.x - o.x, p.y - o.y);
}

bool TControl::CanResize(int& newWidth, int& newHeight) {
  bool resize = true;
  if (onCanResize_) onCanResize_(this, newWidth, newHeight, resize);
  return resize;
}

void TControl::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
  if (onConstrainedResize_) onConstrainedResize_(this, minWidth, minHeight, maxWidth, maxHeight);
}

void TControl::DoConstrainSize(int& width, int& height) {
  int minW = constraints_->MinWidth(), minH = constraints_->MinHeight();
  int maxW = constraints_->MaxWidth(), maxH = constraints_->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && width > maxW) width = maxW;
  else if (minW > 0 && width < minW) width = minW;
  if (maxH > 0 && height > maxH) height = maxH;
  else if (minH > 0 && height < minH) height = minH;
}

bool TControl::CheckNewSize(int& newWidth, int& newHeight) {
  int w = newWidth, h = newHeight;
  if (!CanResize(w, h)) return false;
  DoConstrainSize(w, h);
  if (autoSize_) {
    int aw = w, ah = h;
    if (CanAutoSize(aw, ah)) {
      w = aw;
      h = ah;
      if (!CanResize(w, h)) return false;
      DoConstrainSize(w, h);
    }
  }
  newWidth = w;
  newHeight = h;
  return true;
}

void TControl::ConstraintsChanged() {
  if (!constraints_) return;
  SetBounds(left_, top_, width_, height_);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (!CheckNewSize(width, height)) {
    width = width_;
    height = height_;
  }
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  InvalidateControl(visible_, false);
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TControl::UpdateBoundsRect(const TRect& r) {
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (aligning_ || ComponentState().Contains(csLoading)) return;
  if (anchors_ == TAnchors{akLeft, akTop}) {
    originalParentSize_ = Point(0, 0);
    return;
  }
  if (anchors_.Contains(akRight))
    anchorRules_.x = anchors_.Contains(akLeft) ? width_ : left_;
  else
    anchorRules_.x = left_ + width_ / 2;
  if (anchors_.Contains(akBottom))
    anchorRules_.y = anchors_.Contains(akTop) ? height_ : top_;
  else
    anchorRules_.y = top_ + height_ / 2;
  if (!parent_) return;
  if (parent_->HandleAllocated()) {
    TRect r = parent_->ClientRect();
    originalParentSize_ = Point(r.right - r.left, r.bottom - r.top);
  } else {
    originalParentSize_ = Point(parent_->Width(), parent_->Height());
  }
}

void TControl::RequestAlign() {
  if (parent_) parent_->AlignControl(this);
}

void TControl::Resize() {
  if (onResize_) onResize_(this);
}

void TControl::Click() {
  // A handler of the control's own, not the one the action put there, wins over the action.
  TBasicAction* action = Action();
  if (onClick_ && action && !(onClick_ == action->OnExecute()))
    onClick_(this);
  else if (!ComponentState().Contains(csDesigning) && action)
    actionLink_->Trigger(this);
  else if (onClick_)
    onClick_(this);
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  TAlign old = align_;
  align_ = value;
  anchors_ = kNaturalAnchors[value];
  if (!ComponentState().Contains(csLoading) && width_ >= 0 && height_ >= 0) {
    // Between the vertical and horizontal families, or to or from none or client, the size
    // the control asks for may differ.
    auto vertical = [](TAlign a) { return a == alTop || a == alBottom; };
    auto free = [](TAlign a) { return a == alNone || a == alClient; };
    if (free(old) || free(value) || vertical(old) != vertical(value))
      AdjustSize();
    else
      SetBounds(left_, top_, width_, height_);
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
  if (value == anchors_) return;
  anchors_ = value;
  UpdateAnchorRules();
}

void TControl::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  if (value) SetBounds(left_, top_, width_, height_);
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Perform(FM_VISIBLE_CHANGED, value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Perform(FM_ENABLED_CHANGED, 0, 0);
}

void TControl::SetColor(TColor value) {
  if (value == color_) {
    parentColor_ = false;
    return;
  }
  color_ = value;
  parentColor_ = false;
  Perform(FM_COLOR_CHANGED, 0, 0);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value && parent_ && !ComponentState().Contains(csReading)) Perform(FM_PARENT_COLOR_CHANGED, 0, 0);
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value && parent_ && !ComponentState().Contains(csReading)) Perform(FM_PARENT_FONT_CHANGED, 0, 0);
}

void TControl::FontChanged(TObject* sender) {
  (void)sender;
  // Taking the parent's font is not a change of the control's own.
  if (!settingParentFont_) parentFont_ = false;
  if (font_->Height() != fontHeight_) {
    fontHeight_ = font_->Height();
    scalingFlags_.Include(sfFont);
  }
  Perform(FM_FONT_CHANGED, 0, 0);
}

void TControl::ParentFontChanged(TMessage& message) {
  if (!parentFont_) return;
  TFont* source = message.WParam ? reinterpret_cast<TFont*>(message.LParam) : (parent_ ? parent_->Font() : nullptr);
  if (!source) return;
  settingParentFont_ = true;
  try {
    font_->Assign(source);
  } catch (...) {
    settingParentFont_ = false;
    throw;
  }
  settingParentFont_ = false;
  parentFont_ = true;
}

void TControl::ParentColorChanged(TMessage& message) {
  if (!parentColor_) return;
  TColor value = message.WParam ? TColor(static_cast<std::int32_t>(message.LParam)) : (parent_ ? parent_->Color() : color_);
  if (value == color_) return;
  color_ = value;
  Perform(FM_COLOR_CHANGED, 0, 0);
  parentColor_ = true;
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !parent_ || !parent_->HandleAllocated()) return;
  TRect r = BoundsRect();
  // An opaque sibling above that covers the whole area paints it all: no erasing under it.
  auto backgroundClipped = [&] {
    auto& list = parent_->controls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return false;
    for (++it; it != list.end(); ++it) {
      TControl* c = *it;
      if (!c->visible_ || !c->controlStyle_.Contains(csOpaque)) continue;
      TRect cover = c->BoundsRect(), both;
      IntersectRect(&both, &r, &cover);
      if (EqualRect(&both, &r)) return true;
    }
    return false;
  };
  InvalidateRect(parent_->Handle(), &r,
                 !(isOpaque || parent_->controlStyle_.Contains(csOpaque) || backgroundClipped()));
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Update() {
  if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->Handle());
}

void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  Invalidate();
  Update();
}

void TControl::SetZOrder(bool topMost) {
  if (!parent_) return;
  SetZOrderPosition(topMost ? parent_->ControlCount() : 0);
}

void TControl::SetZOrderPosition(int position) {
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  position = std::clamp(position, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + position, this);
  Invalidate();
}

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::Loaded() {
  inherited::Loaded();
  UpdateAnchorRules();
}

void TControl::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  auto* ancestor = DynamicCast<TControl>(filer.Ancestor());
  bool stored = isControl_ != (ancestor ? ancestor->isControl_ : false);
  filer.DefineProperty(
      "IsControl", [this](TReader& reader) { isControl_ = reader.ReadBoolean(); },
      [this](TWriter& writer) { writer.WriteBoolean(isControl_); }, stored);
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      if (message.WParam == 0) break;
      {
        TPaintBinding binding(*canvas_, reinterpret_cast<HDC>(message.WParam));
        Paint();
      }
      break;
    default:
      inherited::Dispatch(message);
  }
}
TWinControl* GetParentForm(TControl* control) {
  if (!control) return nullptr;
  while (control->Parent()) control = control->Parent();
  auto* top = dynamic_cast<TWinControl*>(control);
  return top && top->IsForm() ? top : nullptr;
}

TWinControl* ValidParentForm(TControl* control) {
  TWinControl* form = GetParentForm(control);
  if (!form) throw EInvalidOperation(Format(SParentRequired, {control ? control->Name() : String()}));
  return form;
}

}  // namespace tavelo
