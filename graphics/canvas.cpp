#include "graphics/canvas.h"

#include <algorithm>
#include <vector>

#include "core/exceptions.h"
#include "graphics/graphconsts.h"
#include "graphics/graphic.h"

namespace tavelo {

namespace {

// The raster operation of each pen mode, in the order of TPenMode.
const int kPenModes[] = {1, 16, 11, 6, 13, 4, 14, 5, 12, 3, 15, 2, 9, 8, 7, 10};

// Guards every canvas's lock count.
sys::TCriticalSection& CounterLock() {
  static auto* lock = new sys::TCriticalSection;
  return *lock;
}

// The cached canvases that hold a context, oldest first, and their lock.
sys::TCriticalSection& HoldersLock() {
  static auto* lock = new sys::TCriticalSection;
  return *lock;
}

std::vector<TCachedCanvas*>& Holders() {
  static auto* holders = new std::vector<TCachedCanvas*>;
  return *holders;
}

}  // namespace

// ---- TCanvas ----

TAVELO_CLASS_IMPL(TCanvas)

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
  font_->SetOnChange(TNotifyEvent::Bind<&TCanvas::FontChanged>(this));
  font_->SetOwnerCriticalSection(&lock_);
  pen_->SetOnChange(TNotifyEvent::Bind<&TCanvas::PenChanged>(this));
  pen_->SetOwnerCriticalSection(&lock_);
  brush_->SetOnChange(TNotifyEvent::Bind<&TCanvas::BrushChanged>(this));
  brush_->SetOwnerCriticalSection(&lock_);
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
  Changing();
  RequiredState(csAllValid);
  return handle_;
}

void TCanvas::SetHandle(HDC value) {
  if (value == handle_) return;
  if (handle_) {
    DeselectHandles();
    ::GetCurrentPositionEx(handle_, &penPos_);
    handle_ = nullptr;
    state_.Exclude(csHandleValid);
  }
  if (value) {
    state_.Include(csHandleValid);
    handle_ = value;
    ::MoveToEx(handle_, penPos_.x, penPos_.y, nullptr);
  }
}

void TCanvas::RequiredState(TCanvasState required) {
  TCanvasState needed = required - state_;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!handle_) throw EInvalidOperation(SNoCanvasHandle);
  }
  if (needed.Contains(csFontValid)) SelectFont();
  if (needed.Contains(csPenValid)) SelectPen();
  if (needed.Contains(csBrushValid)) SelectBrush();
  state_ = state_ + needed;
}

void TCanvas::SelectFont() {
  ::SelectObject(handle_, font_->Handle());
  ::SetTextColor(handle_, ColorToRGB(font_->Color()));
}

void TCanvas::SelectPen() {
  ::SelectObject(handle_, pen_->Handle());
  ::SetROP2(handle_, kPenModes[pen_->Mode()]);
}

void TCanvas::SelectBrush() {
  HBRUSH brush = brush_->Handle();
  ::UnrealizeObject(brush);
  ::SelectObject(handle_, brush);
  COLORREF color = ColorToRGB(brush_->Color());
  if (brush_->Style() == bsSolid) {
    ::SetBkColor(handle_, color);
    ::SetBkMode(handle_, OPAQUE);
  } else {
    ::SetBkColor(handle_, ~color & 0xFFFFFF);
    ::SetBkMode(handle_, TRANSPARENT);
  }
}

void TCanvas::DeselectHandles() {
  const TCanvasState tools{csFontValid, csPenValid, csBrushValid};
  if (handle_ && !(state_ * tools).Empty()) {
    ::SelectObject(handle_, ::GetStockObject(BLACK_PEN));
    ::SelectObject(handle_, ::GetStockObject(NULL_BRUSH));
    ::SelectObject(handle_, ::GetStockObject(SYSTEM_FONT));
    state_ = state_ - tools;
  }
}

// A tool's old platform object is deleted right after its change event: the stock object
// takes its place in the context first.
void TCanvas::FontChanged(TObject*) {
  if (state_.Contains(csFontValid)) {
    state_.Exclude(csFontValid);
    ::SelectObject(handle_, ::GetStockObject(SYSTEM_FONT));
  }
}

void TCanvas::PenChanged(TObject*) {
  if (state_.Contains(csPenValid)) {
    state_.Exclude(csPenValid);
    ::SelectObject(handle_, ::GetStockObject(BLACK_PEN));
  }
}

void TCanvas::BrushChanged(TObject*) {
  if (state_.Contains(csBrushValid)) {
    state_.Exclude(csBrushValid);
    ::SelectObject(handle_, ::GetStockObject(NULL_BRUSH));
  }
}

void TCanvas::Changing() { onChanging_(this); }

void TCanvas::Changed() { onChange_(this); }

TPoint TCanvas::PenPos() {
  if (!handle_) return penPos_;
  TPoint position{};
  ::GetCurrentPositionEx(handle_, &position);
  return position;
}

void TCanvas::FillRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(handle_, &rect, brush_->Handle());
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState({csHandleValid});
  ::MoveToEx(handle_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(handle_, x, y);
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(handle_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polygon(handle_, points.data(), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(handle_, points.data(), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  canvas->RequiredState({csHandleValid, csBrushValid});
  ::StretchBlt(handle_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, canvas->handle_,
               source.left, source.top, source.right - source.left, source.bottom - source.top, copyMode_);
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  ::SetBkColor(handle_, ColorToRGB(brush_->Color()));
  ::SetTextColor(handle_, ColorToRGB(font_->Color()));
  graphic->Draw(*this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic) return;
  Changing();
  RequiredState(csAllValid);
  graphic->Draw(*this, rect);
  Changed();
}

void TCanvas::TextOut(int x, int y, const String& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  // Right-to-left text ends where left-to-right text would start.
  if (textFlags_ & ETO_RTLREADING) x += TextWidth(text) + 1;
  ::ExtTextOutA(handle_, x, y, static_cast<UINT>(textFlags_), nullptr, text.data(), static_cast<UINT>(text.size()),
                nullptr);
  ::MoveToEx(handle_, x + TextWidth(text), y, nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const String& text) {
  RequiredState({csHandleValid, csFontValid});
  TSize size{0, 0};
  ::GetTextExtentPoint32A(handle_, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState({csHandleValid});
  return TColor(static_cast<std::int32_t>(::GetPixel(handle_, x, y)));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::SetPixel(handle_, x, y, ColorToRGB(color));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  TRect rect{0, 0, 0, 0};
  ::GetClipBox(handle_, &rect);
  return rect;
}

void TCanvas::Lock() {
  {
    sys::TLockGuard guard(CounterLock());
    ++lockCount_;
  }
  lock_.Enter();
}

bool TCanvas::TryLock() {
  sys::TLockGuard guard(CounterLock());
  if (lockCount_ != 0) return false;
  Lock();
  return true;
}

void TCanvas::Unlock() {
  lock_.Leave();
  sys::TLockGuard guard(CounterLock());
  --lockCount_;
}

int TCanvas::LockCount() const {
  sys::TLockGuard guard(CounterLock());
  return lockCount_;
}

// ---- TCachedCanvas ----

TAVELO_CLASS_IMPL(TCachedCanvas)

TCachedCanvas::~TCachedCanvas() { FreeHandle(); }

void TCachedCanvas::CreateHandle() {
  if (!context_) {
    sys::TLockGuard guard(HoldersLock());
    std::vector<TCachedCanvas*> holders = Holders();
    if (holders.size() >= kCacheSize) {
      for (TCachedCanvas* holder : holders) {
        if (holder->TryLock()) {
          holder->FreeHandle();
          holder->Unlock();
          break;
        }
      }
    }
    HWND window = nullptr;
    HDC context = AcquireContext(window);
    context_ = context;
    window_ = window;
    Holders().push_back(this);
  }
  SetHandle(context_);
}

void TCachedCanvas::FreeHandle() {
  if (!context_) return;
  sys::TLockGuard guard(HoldersLock());
  SetHandle(nullptr);
  ::ReleaseDC(window_, context_);
  context_ = nullptr;
  window_ = nullptr;
  std::vector<TCachedCanvas*>& holders = Holders();
  holders.erase(std::remove(holders.begin(), holders.end(), this), holders.end());
}

void FreeDeviceContexts() {
  sys::TLockGuard guard(HoldersLock());
  std::vector<TCachedCanvas*> holders = Holders();
  for (auto it = holders.rbegin(); it != holders.rend(); ++it) {
    if ((*it)->TryLock()) {
      (*it)->FreeHandle();
      (*it)->Unlock();
    }
  }
}

void FreeDeviceContext(HDC context) {
  sys::TLockGuard guard(HoldersLock());
  std::vector<TCachedCanvas*> holders = Holders();
  for (TCachedCanvas* holder : holders)
    if (holder->context_ == context) holder->FreeHandle();
}

int HeldDeviceContextCount() {
  sys::TLockGuard guard(HoldersLock());
  return static_cast<int>(Holders().size());
}

HDC GetWindowContext(HWND window) {
  HDC context = ::GetDC(window);
  if (!context) throw EOutOfResources(SWindowDCError);
  return context;
}

}  // namespace tavelo
