// TCanvas: a device context with a font, a pen and a brush that are made current only when a
// drawing operation needs them; and the canvases that borrow a window's context.
#pragma once

#include <windows.h>
// The canvas has its own TextOut; the platform header makes that name a macro.
#undef TextOut

#include <memory>
#include <span>

#include "core/events.h"
#include "core/set.h"
#include "graphics/graphicsobjects.h"

namespace tavelo {

class TGraphic;

using TRect = RECT;
using TPoint = POINT;
using TSize = SIZE;

inline TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
inline TPoint Point(int x, int y) { return TPoint{x, y}; }

enum TCanvasStateFlag { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStateFlag>;
inline constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

class TCanvas : public TPersistent {
  TAVELO_CLASS(TCanvas, TPersistent)
public:
  TCanvas();
  // Unbinds the context (the stock objects go back into it) and frees the tools.
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The context, bound when needed, with every tool made current. Whoever takes it may draw
  // with it, so OnChanging fires first.
  HDC Handle();
  // Binds a context (or none): the old one gets the stock objects back and keeps nothing of
  // this canvas; the pen position moves to the new one.
  void SetHandle(HDC value);
  bool HandleAllocated() const { return handle_ != nullptr; }

  TFont* Font() const { return font_.get(); }
  TPen* Pen() const { return pen_.get(); }
  TBrush* Brush() const { return brush_.get(); }
  // Copy the settings of the given tool.
  void SetFont(TFont* value) { font_->Assign(value); }
  void SetPen(TPen* value) { pen_->Assign(value); }
  void SetBrush(TBrush* value) { brush_->Assign(value); }

  // The raster operation of CopyRect (source copy by default).
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD value) { copyMode_ = value; }
  // The options of TextOut (ETO_...), the right-to-left reading flag among them.
  int TextFlags() const { return textFlags_; }
  void SetTextFlags(int value) { textFlags_ = value; }
  TPoint PenPos();
  void SetPenPos(TPoint value) { MoveTo(value.x, value.y); }

  // Drawing: each fires OnChanging before and OnChange after.
  void FillRect(const TRect& rect);
  void LineTo(int x, int y);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
  void Polygon(std::span<const TPoint> points);
  void Polyline(std::span<const TPoint> points);
  // Stretches source (a rectangle of canvas) into dest with CopyMode.
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
  // Draws graphic at its own size; an empty graphic draws nothing.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  // Afterwards the pen position is just after the text.
  void TextOut(int x, int y, const String& text);
  void SetPixels(int x, int y, TColor color);

  // Without events.
  void MoveTo(int x, int y);
  TSize TextExtent(const String& text);
  int TextWidth(const String& text) { return TextExtent(text).cx; }
  int TextHeight(const String& text) { return TextExtent(text).cy; }
  TColor Pixels(int x, int y);
  TRect ClipRect();

  // A locked canvas keeps its context: the control-canvas cache only takes contexts from
  // canvases it can lock.
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const;
  // The lock the tools hold while they change.
  sys::TCriticalSection& CriticalSection() { return lock_; }

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }
  TNotifyEvent OnChanging() const { return onChanging_; }
  void SetOnChanging(TNotifyEvent value) { onChanging_ = value; }

  // Makes the missing states of the required ones: a context (CreateHandle; none raises
  // EInvalidOperation SNoCanvasHandle), then the tools.
  void RequiredState(TCanvasState required);
  TCanvasState State() const { return state_; }

protected:
  // A plain canvas cannot make a context; those that can bind one here.
  virtual void CreateHandle() {}
  virtual void Changing();
  virtual void Changed();

private:
  // Graphics draw into the context their canvas has already bound.
  friend class TBitmap;
  friend class TIcon;

  void SelectFont();
  void SelectPen();
  void SelectBrush();
  void DeselectHandles();
  void FontChanged(TObject* sender);
  void PenChanged(TObject* sender);
  void BrushChanged(TObject* sender);

  // First, so that it outlives the tools that point at it.
  sys::TCriticalSection lock_;
  HDC handle_ = nullptr;
  TCanvasState state_;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  TPoint penPos_{0, 0};
  DWORD copyMode_ = SRCCOPY;
  int textFlags_ = 0;
  int lockCount_ = 0;
  TNotifyEvent onChange_;
  TNotifyEvent onChanging_;
};

// A canvas that borrows its context from a window (a control's canvas). At most four such
// canvases hold a context at a time: one that needs a context while four are held takes it
// from the first holder it can lock. After every window message the framework calls
// FreeDeviceContexts, so a context is never held between messages unless its canvas is locked.
class TCachedCanvas : public TCanvas {
  TAVELO_CLASS(TCachedCanvas, TCanvas)
public:
  static constexpr int kCacheSize = 4;

  TCachedCanvas() = default;
  // Gives the context back.
  ~TCachedCanvas() override;

  // Unbinds the context and gives it back to its window.
  void FreeHandle();

protected:
  void CreateHandle() override;
  // The context to draw with and the window it was taken from (ReleaseDC gives it back);
  // raises when there is none. A windowed control returns GetWindowContext(its window); a
  // windowless one its parent's context, moved to its position and clipped to its size.
  virtual HDC AcquireContext(HWND& window) = 0;

private:
  friend void FreeDeviceContexts();
  friend void FreeDeviceContext(HDC context);

  HDC context_ = nullptr;
  HWND window_ = nullptr;
};

// Every holder that is not locked gives its context back.
void FreeDeviceContexts();
// The holder of that context gives it back (its window is going away).
void FreeDeviceContext(HDC context);
// The number of cached canvases that hold a context.
int HeldDeviceContextCount();
// GetDC of a window; a failure raises EOutOfResources SWindowDCError.
HDC GetWindowContext(HWND window);

}  // namespace tavelo
