// The windowed control: its children, its window made on demand, and its message handling.
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

TAVELO_CLASS_IMPL(TWinControl)

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
    // Seam: the show-hint notification comes with that property.
    control->Perform(FM_PARENT_BIDIMODE_CHANGED, 0, 0);
    if (auto* win = DynamicCast<TWinControl>(control)) {
      win->Perform(FM_PARENT_CTL3D_CHANGED, 0, 0);
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
    win->RemoveFocus(true);
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
    // Usually the platform put it there already: moving it costs a round of messages.
    if (it != list.end() && it != list.begin() && (*(it - 1))->HandleAllocated() &&
        GetWindow((*(it - 1))->handle_, GW_HWNDNEXT) != handle_)
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
  AddBiDiModeExStyle(params.ExStyle);
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
  if (creatingShown_ && (params.Style & WS_CHILD)) params.Style |= WS_VISIBLE;
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
  CreationControl() = this;
  CreateWindowHandle(params);
  CreationControl() = nullptr;
  controlState_.Exclude(csCreating);
  if (!handle_) RaiseLastOSError();
  TControl::text_ = String();
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<std::uintptr_t>(Font()->Handle()), 1);
  if (AutoSize()) AdjustSize();
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
  // The window's text goes back into the control, unless the control is going too.
  std::string buffer;
  if (!ComponentState().Contains(csDestroying)) {
    int length = GetWindowTextLengthA(handle_);
    buffer.assign(static_cast<std::size_t>(std::max(0, length)) + 1, '\0');
    int got = GetWindowTextA(handle_, buffer.data(), static_cast<int>(buffer.size()));
    buffer.resize(static_cast<std::size_t>(std::max(0, got)));
  }
  HWND window = handle_;
  UnbindWindow(window);
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
    if (HandleAllocated()) {
      // A minimised window comes back where it was placed meanwhile.
      WINDOWPLACEMENT placement{};
      placement.length = sizeof(placement);
      if (GetWindowPlacement(handle_, &placement)) {
        placement.rcNormalPosition = RECT{left, top, left + width, top + height};
        SetWindowPlacement(handle_, &placement);
      }
    }
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
    if (!handle_) {
      // A child window about to show is made visible: showing it afterwards costs the
      // platform a second round of messages.
      creatingShown_ = true;
      try {
        CreateHandle();
      } catch (...) {
        creatingShown_ = false;
        throw;
      }
      creatingShown_ = false;
    }
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
  if (control->IsForm() || control->parentWindow_) UpdateShowing();
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

void TWinControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      if (doubleBuffered_ && message.WParam == 0)
        PaintBuffered(message);
      else if (controls_.empty() && !controlState_.Contains(csCustomPaint))
        DefaultHandler(message);
      else
        PaintHandler(message);
      break;
    case WM_ERASEBKGND: {
      // A double-buffered window erases only into its buffer (the paint passes it twice).
      if (doubleBuffered_ && message.WParam != static_cast<std::uintptr_t>(message.LParam)) {
        message.Result = 1;
        break;
      }
      HDC dc = reinterpret_cast<HDC>(message.WParam);
      RECT r;
      GetClipBox(dc, &r);
      FillRect(dc, &r, brush_->Handle());
      message.Result = 1;
      break;
    }
    case WM_NCCALCSIZE:
      NcCalcSize(message);
      break;
    case WM_NCPAINT:
      DefaultHandler(message);
      NcPaintBorder();
      break;
    case FM_CTL3D_CHANGED:
      NotifyControls(FM_PARENT_CTL3D_CHANGED);
      // The parent draws the frame around a framed child.
      if (Parent() && Parent()->HandleAllocated() && controlStyle_.Contains(csFramed)) {
        TRect r = BoundsRect();
        InflateRect(&r, 1, 1);
        InvalidateRect(Parent()->Handle(), &r, TRUE);
      }
      break;
    case FM_PARENT_CTL3D_CHANGED:
      ParentCtl3DChanged();
      break;
    case FM_BIDIMODE_CHANGED:
      NotifyControls(FM_PARENT_BIDIMODE_CHANGED);
      if (SysLocale().MiddleEast) RecreateWnd();
      Invalidate();
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
      if (((GetWindowLongPtrA(handle_, GWL_STYLE) & WS_VISIBLE) != 0) != showing_)
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      break;
    case FM_VISIBLE_CHANGED:
      if (!Visible() && Parent()) RemoveFocus(false);
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
    // ---- Focus, keys and cursor.
    case FM_ENTER:
      DoEnter();
      break;
    case FM_EXIT:
      DoExit();
      break;
    case FM_CHILD_KEY:
      // Up the parents' chain; the form at the top may take it.
      if (Parent()) Parent()->WindowProc(message);
      break;
    case FM_DIALOG_KEY:
    case FM_DIALOG_CHAR:
      Broadcast(message);
      break;
    case Reflected(WM_KEYDOWN):
    case Reflected(WM_SYSKEYDOWN):
      ReflectedKeyDown(message);
      break;
    case Reflected(WM_KEYUP):
    case Reflected(WM_SYSKEYUP):
      ReflectedKeyUp(message);
      break;
    case Reflected(WM_CHAR):
      ReflectedChar(message);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!DoKeyDown(message)) DefaultHandler(message);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!DoKeyUp(message)) DefaultHandler(message);
      break;
    case WM_CHAR:
      if (!DoKeyPress(message)) DefaultHandler(message);
      break;
    case WM_SETCURSOR:
      CursorMessage(message);
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

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_SETFOCUS:
      // The form may have moved the focus on meanwhile: then this focus is stale.
      if (TWinControl* form = GetParentForm(this); form && !form->SetFocusedControl(this)) return;
      break;
    case WM_KILLFOCUS:
      if (controlState_.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST:
      inherited::WndProc(message);
      if (message.Result == HTTRANSPARENT) {
        POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
        ::ScreenToClient(handle_, &p);
        if (ControlAtPos(p, false)) message.Result = HTCLIENT;
      }
      return;
    case WM_CANCELMODE:
      if (handle_ && GetCapture() == handle_) {
        TControl* captured = GetCaptureControl();
        if (captured && captured != this && captured->Parent() == this) captured->Perform(WM_CANCELMODE, 0, 0);
      }
      break;
    default:
      if (message.Msg >= WM_MOUSEMOVE && message.Msg <= WM_MBUTTONDBLCLK) {
        // The wheel's coordinates are the screen's, so only these go to windowless children.
        if (IsControlMouseMsg(message)) {
          if (message.Result == 0 && handle_)
            DefWindowProcA(handle_, message.Msg, static_cast<WPARAM>(message.WParam),
                           static_cast<LPARAM>(message.LParam));
          return;
        }
      } else if (message.Msg >= WM_KEYFIRST && message.Msg <= WM_KEYLAST) {
        // Seam: key messages are dropped while a drag is under way; there is no dragging.
      }
      break;
  }
  inherited::WndProc(message);
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
}  // namespace tavelo
