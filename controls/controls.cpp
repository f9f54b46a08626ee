#include "controls/controls.h"

#include <algorithm>
#include <cstring>

#include "controls/controlconsts.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TSizeConstraints)
TAVELO_CLASS_IMPL(TControlCanvas)
TAVELO_CLASS_IMPL(TControl)
TAVELO_CLASS_IMPL(TGraphicControl)
TAVELO_CLASS_IMPL(TWinControl)
TAVELO_CLASS_IMPL(TCustomControl)

namespace {

// The atoms that name the window properties linking a window to its control; deleted when the
// process ends so no global atom outlives it.
struct TControlAtoms {
  ATOM window = 0;
  ATOM control = 0;
  TControlAtoms() {
    char name[64];
    wsprintfA(name, "Quenda%.8X", static_cast<unsigned>(GetCurrentProcessId()));
    window = GlobalAddAtomA(name);
    wsprintfA(name, "ControlOfs%.8X%.8X",
              static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))),
              static_cast<unsigned>(GetCurrentThreadId()));
    control = GlobalAddAtomA(name);
  }
  ~TControlAtoms() {
    if (window) GlobalDeleteAtom(window);
    if (control) GlobalDeleteAtom(control);
  }
};

TControlAtoms& Atoms() {
  static TControlAtoms atoms;
  return atoms;
}

const char* AtomName(ATOM atom) { return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(atom)); }

// The control whose window CreateWindowEx is making; its first message binds the two.
thread_local TWinControl* creationControl = nullptr;

TWindowExceptionHandler exceptionHandler = nullptr;

int MulDivInt(int number, int numerator, int denominator) {
  return denominator == 0 ? number : MulDiv(number, numerator, denominator);
}

}  // namespace

void SetWindowExceptionHandler(TWindowExceptionHandler handler) { exceptionHandler = handler; }

String ExceptionDisplayText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return String(e.what());
  } catch (...) {
    return String();
  }
}

namespace {
void HandleWindowException(std::exception_ptr error) {
  if (exceptionHandler) {
    // The handler is the last stop: nothing may escape into the platform from it either.
    try {
      exceptionHandler(error);
    } catch (...) {
    }
    return;
  }
  String text = ExceptionDisplayText(error);
  MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}
}  // namespace

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
}

TControl::~TControl() {
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
  switch (message.Msg) {
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      // Without the double-click style a double click is a second press.
      if (!controlStyle_.Contains(csDoubleClicks)) message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
      break;
    case WM_LBUTTONDOWN:
      controlState_.Include(csLButtonDown);
      break;
    case WM_LBUTTONUP:
      controlState_.Exclude(csLButtonDown);
      break;
    default:
      break;
  }
  // Seam: key messages go to the form's child-key hook and mouse moves to the application's
  // hint handling once those exist.
  Dispatch(message);
}

void TControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
      // Seam: the active control of each enclosing active form gets FM_CANCEL_MODE (forms).
      if (controlStyle_.Contains(csCaptureMouse)) {
        if (auto* win = DynamicCast<TWinControl>(this)) SetCapture(win->Handle());
      }
      if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
      DefaultHandler(message);
      break;
    case WM_LBUTTONUP: {
      if (auto* win = DynamicCast<TWinControl>(this)) {
        if (win->HandleAllocated() && GetCapture() == win->Handle()) ReleaseCapture();
      }
      DefaultHandler(message);
      if (controlState_.Contains(csClicked)) {
        controlState_.Exclude(csClicked);
        int x = static_cast<short>(LOWORD(message.LParam));
        int y = static_cast<short>(HIWORD(message.LParam));
        TRect r = ClientRect();
        POINT p{x, y};
        if (PtInRect(&r, p)) Click();
      }
      break;
    }
    case FM_PARENT_FONT_CHANGED:
      ParentFontChanged(message);
      break;
    case FM_PARENT_COLOR_CHANGED:
      ParentColorChanged(message);
      break;
    case FM_FONT_CHANGED:
    case FM_COLOR_CHANGED:
      Invalidate();
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

String TControl::Text() {
  int length = static_cast<int>(Perform(WM_GETTEXTLENGTH, 0, 0));
  if (length <= 0) return String();
  std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
  int got = static_cast<int>(Perform(WM_GETTEXT, buffer.size(), reinterpret_cast<std::intptr_t>(buffer.data())));
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
  // Seam: an action link executes its action here unless OnClick is the control's own.
  if (onClick_) onClick_(this);
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  TAlign old = align_;
  align_ = value;
  anchors_ = kNaturalAnchors[value];
  if (!ComponentState().Contains(csLoading) && width_ >= 0 && height_ >= 0) {
    (void)old;
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
  InvalidateRect(parent_->Handle(), &r, !(isOpaque || parent_->controlStyle_.Contains(csOpaque)));
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

// ---- TGraphicControl ----

namespace {

// Lends a paint's context to a control's canvas, locked, and takes it back whatever happens.
class TPaintBinding {
public:
  TPaintBinding(TCanvas& canvas, HDC dc) : canvas_(canvas) {
    canvas_.Lock();
    try {
      canvas_.SetHandle(dc);
    } catch (...) {
      Release();
      throw;
    }
  }
  ~TPaintBinding() { Release(); }
  TPaintBinding(const TPaintBinding&) = delete;
  TPaintBinding& operator=(const TPaintBinding&) = delete;

private:
  void Release() {
    canvas_.SetHandle(nullptr);
    canvas_.Unlock();
  }
  TCanvas& canvas_;
};

}  // namespace

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

// ---- window procedures ----

// Every window of a control ends here: the control's procedure runs inside a guard, so no
// exception unwinds through the platform's frames, and cached contexts go back afterwards.
LRESULT CALLBACK ControlMainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = TWinControl::FindControl(window);
  if (!control) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{msg, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam), 0};
  try {
    control->WindowProc(message);
  } catch (...) {
    HandleWindowException(std::current_exception());
  }
  FreeDeviceContexts();
  return static_cast<LRESULT>(message.Result);
}

// The first message of a new window binds it to the control being created.
LRESULT CALLBACK ControlInitWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = creationControl;
  if (!control) return DefWindowProcA(window, msg, wParam, lParam);
  creationControl = nullptr;
  control->handle_ = window;
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlMainWndProc));
  if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) && GetWindowLongPtrA(window, GWLP_ID) == 0)
    SetWindowLongPtrA(window, GWLP_ID, reinterpret_cast<LONG_PTR>(window));
  SetPropA(window, AtomName(Atoms().control), control);
  SetPropA(window, AtomName(Atoms().window), control);
  return ControlMainWndProc(window, msg, wParam, lParam);
}

TWinControl* TWinControl::FindControl(HWND window) {
  if (!window) return nullptr;
  return static_cast<TWinControl*>(GetPropA(window, AtomName(Atoms().control)));
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner), brush_(std::make_unique<TBrush>()) {
  brush_->SetColor(Color());
}

TWinControl::~TWinControl() {
  IncludeState(csDestroying);
  if (Parent()) SetParent(nullptr);
  DestroyHandle();
  // Children leave before the lists go: each removal edits the lists.
  while (!winControls_.empty()) winControls_.back()->SetParent(nullptr);
  while (!controls_.empty()) controls_.back()->SetParent(nullptr);
}

TControl* TWinControl::Controls(int index) const {
  int n = static_cast<int>(controls_.size());
  return index < n ? controls_[static_cast<std::size_t>(index)] : winControls_[static_cast<std::size_t>(index - n)];
}

void TWinControl::InsertControl(TControl* control) {
  Perform(FM_CONTROL_LIST_CHANGE, reinterpret_cast<std::uintptr_t>(control), 1);
  if (auto* win = DynamicCast<TWinControl>(control)) {
    winControls_.push_back(win);
    tabList_.push_back(win);
  } else {
    controls_.push_back(control);
  }
  control->parent_ = this;
  if (!control->ComponentState().Contains(csReading)) {
    control->Perform(FM_PARENT_COLOR_CHANGED, 0, 0);
    control->Perform(FM_PARENT_FONT_CHANGED, 0, 0);
    // Seam: the show-hint, bidirectional-mode and 3-D notifications come with those properties.
    if (auto* win = DynamicCast<TWinControl>(control)) {
      win->UpdateControlState();
    } else if (HandleAllocated()) {
      control->Invalidate();
    }
    AlignControl(control);
  }
  Perform(FM_CONTROL_CHANGE, reinterpret_cast<std::uintptr_t>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
  Perform(FM_CONTROL_CHANGE, reinterpret_cast<std::uintptr_t>(control), 0);
  if (auto* win = DynamicCast<TWinControl>(control)) {
    // Seam: the form's focused control moves to the parent when forms exist.
    win->DestroyHandle();
    win->showing_ = false;
    winControls_.erase(std::find(winControls_.begin(), winControls_.end(), win));
    tabList_.erase(std::find(tabList_.begin(), tabList_.end(), win));
  } else {
    if (HandleAllocated()) control->InvalidateControl(control->Visible(), false);
    controls_.erase(std::find(controls_.begin(), controls_.end(), control));
  }
  control->parent_ = nullptr;
  Perform(FM_CONTROL_LIST_CHANGE, reinterpret_cast<std::uintptr_t>(control), 0);
  if (!ComponentState().Contains(csDestroying)) Realign();
}

int TWinControl::TabOrder() const {
  if (!Parent()) return tabOrder_;
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (ComponentState().Contains(csReading) || !Parent()) {
    tabOrder_ = value;
    return;
  }
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  int current = static_cast<int>(it - list.begin());
  value = std::clamp(value, 0, static_cast<int>(list.size()) - 1);
  if (value == current) return;
  list.erase(it);
  list.insert(list.begin() + value, this);
}

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  if (HandleAllocated()) {
    LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
    SetWindowLongPtrA(handle_, GWL_STYLE, value ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  }
}

void TWinControl::SetBorderWidth(int value) {
  if (value == borderWidth_) return;
  borderWidth_ = value;
  Perform(FM_BORDER_CHANGED, 0, 0);
}

void TWinControl::SetParentWindow(HWND value) {
  if (Parent() || value == parentWindow_) return;
  DestroyHandle();
  parentWindow_ = value;
  UpdateControlState();
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (Parent()) Parent()->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  CreateWnd();
  // Stack the window after the preceding windowed sibling's.
  if (Parent()) {
    auto& list = Parent()->winControls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end() && it != list.begin() && (*(it - 1))->HandleAllocated())
      SetWindowPos(handle_, (*(it - 1))->handle_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (TControl* child : controls_) child->UpdateAnchorRules();
  for (TWinControl* child : winControls_) child->UpdateAnchorRules();
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = TControl::text_;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) {
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.WndParent = Parent() ? Parent()->Handle() : parentWindow_;
  params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  params.WindowClass.lpfnWndProc = &DefWindowProcA;
  params.WindowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the system arrow
  params.WindowClass.hbrBackground = nullptr;
  params.WindowClass.hInstance = GetModuleHandleA(nullptr);
  params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& params, const char* className) {
  constexpr UINT dropped = CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS;
  HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA found{};
  if (GetClassInfoA(module, className, &found) || GetClassInfoA(nullptr, className, &found)) {
    params.WindowClass = found;
    params.WindowClass.style = (found.style & ~dropped) | CS_VREDRAW | CS_HREDRAW;
  }
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent) {
    auto* owner = DynamicCast<TWinControl>(Owner());
    if (owner && owner->ComponentState().Contains(csReading))
      params.WndParent = owner->Handle();
    else
      throw EInvalidOperation(Format(SParentRequired, {Name()}));
  }
  defWndProc_ = params.WindowClass.lpfnWndProc;
  WNDCLASSA existing{};
  HINSTANCE instance = params.WindowClass.hInstance;
  bool registered = GetClassInfoA(instance, params.WinClassName.c_str(), &existing) != 0;
  if (!registered || existing.lpfnWndProc != &ControlInitWndProc) {
    if (registered) UnregisterClassA(params.WinClassName.c_str(), instance);
    WNDCLASSA cls = params.WindowClass;
    cls.lpfnWndProc = &ControlInitWndProc;
    cls.lpszClassName = params.WinClassName.c_str();
    if (!RegisterClassA(&cls)) RaiseLastOSError();
  }
  controlState_.Include(csCreating);
  creationControl = this;
  CreateWindowHandle(params);
  creationControl = nullptr;
  controlState_.Exclude(csCreating);
  if (!handle_) RaiseLastOSError();
  TControl::text_ = String();
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<std::uintptr_t>(Font()->Handle()), 1);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  HWND window = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                                params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                params.WindowClass.hInstance, nullptr);
  // A failure before the first message leaves the window unbound; make sure nothing dangles.
  if (!window) handle_ = nullptr;
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TWinControl* child : winControls_) child->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  // The window's text goes back into the control.
  int length = GetWindowTextLengthA(handle_);
  std::string buffer(static_cast<std::size_t>(std::max(0, length)) + 1, '\0');
  int got = GetWindowTextA(handle_, buffer.data(), static_cast<int>(buffer.size()));
  buffer.resize(static_cast<std::size_t>(std::max(0, got)));
  HWND window = handle_;
  RemovePropA(window, AtomName(Atoms().control));
  RemovePropA(window, AtomName(Atoms().window));
  handle_ = nullptr;
  showing_ = false;
  TControl::text_ = String(buffer.c_str());
  DestroyWindow(window);
}

void TWinControl::RecreateWnd() {
  if (HandleAllocated()) Perform(FM_RECREATE_WINDOW, 0, 0);
}

void TWinControl::UpdateBounds() {
  RECT r;
  GetWindowRect(handle_, &r);
  if (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) {
    HWND parent = GetParent(handle_);
    if (parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  UpdateBoundsRect(r);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (!HandleAllocated() || IsIconic(handle_)) {
    // Seam: a minimised window also writes the bounds into its restore placement (forms).
    TControl::SetBounds(left, top, width, height);
    return;
  }
  if (!CheckNewSize(width, height)) {
    width = Width();
    height = Height();
  }
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  RequestAlign();
}

TRect TWinControl::ClientRect() {
  if (HandleAllocated()) {
    RECT r;
    GetClientRect(handle_, &r);
    return r;
  }
  return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() {
  POINT p{0, 0};
  ::ClientToScreen(Handle(), &p);
  return p;
}

void TWinControl::UpdateShowing() {
  bool should = Visible() && !ComponentState().Contains(csReading) && !ComponentState().Contains(csLoading);
  if (should) {
    if (!handle_) CreateHandle();
    for (TWinControl* child : winControls_) child->UpdateShowing();
  }
  if (handle_ && showing_ != should) {
    showing_ = should;
    try {
      Perform(FM_SHOWING_CHANGED, 0, 0);
    } catch (...) {
      showing_ = !should;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  // Only a tree whose every level shows and whose top may show is brought up.
  TWinControl* control = this;
  while (control->Parent()) {
    control = control->Parent();
    if (!control->showing_) return;
  }
  if (control->IsTopLevelHost() || control->parentWindow_) UpdateShowing();
}

void TWinControl::Invalidate() {
  if (HandleAllocated()) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::SetZOrderPosition(int position) {
  if (!Parent()) return;
  auto& list = Parent()->winControls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  position -= static_cast<int>(Parent()->controls_.size());
  position = std::clamp(position, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + position, this);
  if (HandleAllocated()) {
    HWND after = HWND_TOP;
    if (position > 0) after = list[static_cast<std::size_t>(position - 1)]->handle_;
    if (position == static_cast<int>(list.size()) - 1) after = HWND_BOTTOM;
    // The windowed list runs bottom to top; the platform's z-order runs top to bottom.
    after = position == static_cast<int>(list.size()) - 1 ? HWND_TOP : (position == 0 ? HWND_BOTTOM : after);
    SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

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
  // Seam: automatic size of a showing parent comes with AutoSize for windowed controls.
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
  std::vector<TControl*> list;
  if (control && control->Parent() == this && control->Align() == align && (align == alNone || control->Visible()))
    list.push_back(control);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c == control || !takes(c)) continue;
    auto at = list.begin();
    while (at != list.end() && !precedes(c, *at)) ++at;
    list.insert(at, c);
  }
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

void TWinControl::Broadcast(TMessage& message) {
  for (int i = 0; i < ControlCount(); ++i) {
    Controls(i)->WindowProc(message);
    if (message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(std::uint32_t msg) {
  TMessage message{msg, 0, 0, 0};
  Broadcast(message);
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWindowed) {
  auto hit = [&](TControl* c) {
    TRect r = c->BoundsRect();
    if (!PtInRect(&r, pos) || !c->Visible() || !(c->Enabled() || allowDisabled)) return false;
    TPoint local = Point(pos.x - c->Left(), pos.y - c->Top());
    return c->Perform(FM_HIT_TEST, 0, MAKELONG(local.x, local.y)) != 0;
  };
  if (allowWindowed)
    for (auto it = winControls_.rbegin(); it != winControls_.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

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

void TWinControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      if (controls_.empty() && !controlState_.Contains(csCustomPaint))
        DefaultHandler(message);
      else
        PaintHandler(message);
      break;
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(message.WParam);
      RECT r;
      GetClipBox(dc, &r);
      FillRect(dc, &r, brush_->Handle());
      message.Result = 1;
      break;
    }
    case WM_NCCALCSIZE:
      DefaultHandler(message);
      if (borderWidth_ > 0) {
        auto* r = reinterpret_cast<RECT*>(message.LParam);
        InflateRect(r, -borderWidth_, -borderWidth_);
      }
      break;
    case WM_WINDOWPOSCHANGED:
      if (HandleAllocated()) {
        UpdateBounds();
        DefaultHandler(message);
      }
      break;
    case WM_WINDOWPOSCHANGING: {
      DefaultHandler(message);
      auto* pos = reinterpret_cast<WINDOWPOS*>(message.LParam);
      if (pos && !(pos->flags & SWP_NOSIZE)) {
        int w = pos->cx, h = pos->cy;
        if (!CheckNewSize(w, h)) {
          w = Width();
          h = Height();
        }
        pos->cx = w;
        pos->cy = h;
      }
      break;
    }
    case WM_SIZE:
      DefaultHandler(message);
      Realign();
      if (!ComponentState().Contains(csLoading)) Resize();
      break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_HSCROLL:
    case WM_VSCROLL: {
      // The notification belongs to the child that sent it.
      HWND child = nullptr;
      if (message.Msg == WM_COMMAND || message.Msg == WM_HSCROLL || message.Msg == WM_VSCROLL)
        child = reinterpret_cast<HWND>(message.LParam);
      else if (message.Msg == WM_NOTIFY)
        child = reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom;
      else if (message.WParam)
        child = GetDlgItem(handle_, static_cast<int>(message.WParam));
      TWinControl* target = child ? FindControl(child) : nullptr;
      if (target && target != this)
        message.Result = target->Perform(Reflected(message.Msg), message.WParam, message.LParam);
      else
        DefaultHandler(message);
      break;
    }
    case FM_SHOWING_CHANGED:
      SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                       (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      break;
    case FM_VISIBLE_CHANGED:
      // Seam: a control that became invisible gives up the form's focus once forms exist.
      UpdateControlState();
      break;
    case FM_ENABLED_CHANGED:
      if (HandleAllocated()) EnableWindow(handle_, Enabled());
      break;
    case FM_FONT_CHANGED:
      if (HandleAllocated()) Perform(WM_SETFONT, reinterpret_cast<std::uintptr_t>(Font()->Handle()), 0);
      NotifyControls(FM_PARENT_FONT_CHANGED);
      Invalidate();
      break;
    case FM_COLOR_CHANGED:
      brush_->SetColor(Color());
      NotifyControls(FM_PARENT_COLOR_CHANGED);
      Invalidate();
      break;
    case FM_BORDER_CHANGED:
      if (HandleAllocated()) {
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
        Realign();
      }
      break;
    case FM_RECREATE_WINDOW:
      if (HandleAllocated()) {
        bool hadFocus = GetFocus() == handle_;
        DestroyHandle();
        UpdateControlState();
        if (hadFocus && handle_) ::SetFocus(handle_);
      }
      break;
    default:
      inherited::Dispatch(message);
  }
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (!handle_) {
    TControl::DefaultHandler(message);
    return;
  }
  if (message.Msg >= Reflected(WM_CTLCOLORMSGBOX) && message.Msg <= Reflected(WM_CTLCOLORSTATIC)) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(brush_->Color()));
    message.Result = reinterpret_cast<std::intptr_t>(brush_->Handle());
    return;
  }
  if (message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC) {
    TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam));
    if (child && child != this) {
      message.Result = child->Perform(Reflected(message.Msg), message.WParam, message.LParam);
      return;
    }
  }
  if (message.Msg >= FM_BASE) return;  // the framework's own: nothing for the platform
  message.Result = CallWindowProcA(defWndProc_, handle_, message.Msg, static_cast<WPARAM>(message.WParam),
                                   static_cast<LPARAM>(message.LParam));
}

void TWinControl::Loaded() {
  inherited::Loaded();
  Realign();
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
