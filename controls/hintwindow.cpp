// The tooltip window.
#include "controls/hintwindow.h"

#include <algorithm>

#include "controls/application.h"
#include "controls/screen.h"
#include "core/messages.h"
#include "core/publish.h"

namespace tavelo {

TAVELO_CLASS_IMPL(THintWindow)

namespace {
constexpr UINT kTextFlags = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;
constexpr DWORD kAnimateSlide = 0x40000;
constexpr DWORD kAnimateBlend = 0x80000;
constexpr DWORD kAnimateDown = 0x4;
constexpr DWORD kAnimateUp = 0x8;
}  // namespace

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetColor(TColor(0x80FFFF));
  if (TScreen* screen = Screen()) Canvas()->SetFont(screen->HintFont());
  Canvas()->Brush()->SetStyle(bsClear);
}

void THintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.WindowClass.style |= CS_SAVEBITS;
  params.ExStyle = WS_EX_TOOLWINDOW;
  TApplication* app = Application();
  params.WndParent = app ? app->Handle() : nullptr;
}

TSize THintWindow::MeasureText(const String& text, int maxWidth) {
  // A screen context is enough to measure: no window is made for it.
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Canvas()->Font()->Handle());
  RECT r{0, 0, maxWidth, 0};
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | kTextFlags);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return TSize{r.right - r.left, r.bottom - r.top};
}

TRect THintWindow::CalcHintRect(int maxWidth, const String& hint, void* data) {
  (void)data;
  TSize size = MeasureText(hint, maxWidth);
  return Rect(0, 0, size.cx + 6, size.cy + 2);
}

void THintWindow::ActivateHint(TRect rect, const String& hint) {
  activating_ = true;
  try {
    SetCaption(hint);
    rect.bottom += 4;
    TScreen* screen = Screen();
    TRect desktop = screen ? screen->DesktopRect() : Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (rect.bottom > desktop.bottom) rect.top = desktop.bottom - height;
    if (rect.right > desktop.right) rect.left = desktop.right - width;
    if (rect.left < desktop.left) rect.left = desktop.left;
    if (rect.top < desktop.top) rect.top = desktop.top;
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    HWND window = Handle();
    SetWindowPos(window, HWND_TOPMOST, rect.left, rect.top, width, height, SWP_NOACTIVATE);
    UpdateBoundsRect(rect);
    DWORD now = GetTickCount();
    BOOL animation = FALSE, fade = FALSE;
    TAnimateWindowProc animate = AnimateWindowProc();
    bool animated = false;
    if ((!everShown_ || now - lastActive_ > 250) && hint.size() < 100 && animate &&
        SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animation, 0) && animation) {
      DWORD flags = kAnimateSlide;
      if (SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &fade, 0) && fade) {
        flags |= kAnimateBlend;
      } else {
        POINT p;
        GetCursorPos(&p);
        flags |= p.y > rect.top ? kAnimateUp : kAnimateDown;
      }
      animated = animate(window, 100, flags) != 0;
    }
    if (!animated) ShowWindow(window, SW_SHOWNOACTIVATE);
    Invalidate();
    lastActive_ = GetTickCount();
    everShown_ = true;
  } catch (...) {
    activating_ = false;
    throw;
  }
  activating_ = false;
}

void THintWindow::HideHint() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::HintShowing() const {
  return HandleAllocated() && IsWindowVisible(const_cast<THintWindow*>(this)->Handle());
}

bool THintWindow::IsHintMsg(const MSG& msg) const {
  UINT m = msg.message;
  return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || m == FM_ACTIVATE || m == FM_DEACTIVATE ||
         m == FM_APP_KEY_DOWN || m == FM_APP_SYS_COMMAND || m == WM_COMMAND ||
         (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) || m == WM_NCMOUSEMOVE;
}

void THintWindow::Paint() {
  HDC dc = Canvas()->Handle();
  RECT r = ClientRect();
  r.left += 2;
  r.top += 2;
  SetTextColor(dc, ColorToRGB(Screen() ? Screen()->HintFont()->Color() : clInfoText));
  SetBkMode(dc, TRANSPARENT);
  String text = Caption();
  DrawTextA(dc, text.c_str(), -1, &r, kTextFlags);
}

void THintWindow::NCPaint(HDC dc) {
  RECT r;
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
}

void THintWindow::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST:
      message.Result = HTTRANSPARENT;
      break;
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(Handle());
      NCPaint(dc);
      ReleaseDC(Handle(), dc);
      break;
    }
    case FM_TEXT_CHANGED:
      inherited::Dispatch(message);
      if (!activating_) {
        TSize size = MeasureText(Caption(), Screen() ? Screen()->Width() : GetSystemMetrics(SM_CXSCREEN));
        SetBounds(Left(), Top(), size.cx + 6, size.cy + 4);
      }
      break;
    default:
      inherited::Dispatch(message);
  }
}

}  // namespace tavelo
