// The canvas: states made on demand, events around drawing, contexts bound and unbound, the
// stock objects that keep a tool's platform object from dying while selected, locking, and
// the cache of borrowed window contexts.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/exceptions.h"
#include "core/tests/test_support.h"
#include "graphics/canvas.h"
#include "graphics/graphic.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo {
namespace {

using testing::IsLiveObject;
using testing::TSurface;

// Records the canvas's events in order.
struct TEventLog : TObject {
  std::vector<String> events;
  void Changing(TObject*) { events.push_back("changing"); }
  void Change(TObject*) { events.push_back("change"); }
  void Attach(TCanvas& canvas) {
    canvas.SetOnChanging(TNotifyEvent::Bind<&TEventLog::Changing>(this));
    canvas.SetOnChange(TNotifyEvent::Bind<&TEventLog::Change>(this));
  }
};

// A graphic that records where it was asked to draw.
class TProbeGraphic : public TGraphic {
public:
  std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TProbeGraphic>(); }
  bool Empty() const override { return empty; }
  int Width() const override { return 7; }
  void SetWidth(int) override {}
  int Height() const override { return 5; }
  void SetHeight(int) override {}
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) override {}
  void LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) override {}
  void SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) override {}
  bool empty = false;
  std::vector<TRect> drawn;
  COLORREF background = 0;
  COLORREF text = 0;

protected:
  void Draw(TCanvas& canvas, const TRect& rect) override {
    drawn.push_back(rect);
    background = ::GetBkColor(canvas.Handle());
    text = ::GetTextColor(canvas.Handle());
  }
};

TEST(Canvas, DrawingWithoutAContextRaises) {
  TCanvas canvas;
  EXPECT_RAISES(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation, "Le canevas ne permet pas de dessiner");
  EXPECT_RAISES(canvas.TextWidth("x"), EInvalidOperation, "Le canevas ne permet pas de dessiner");
}

TEST(Canvas, DrawsWithItsToolsAndFiresEventsAroundEachOperation) {
  TSurface surface(20, 10);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  TEventLog log;
  log.Attach(canvas);

  canvas.Brush()->SetColor(clRed);
  canvas.FillRect(Rect(0, 0, 20, 10));
  EXPECT_EQ(surface.At(19, 9), 0x0000FFu);

  canvas.Pen()->SetColor(clLime);
  canvas.MoveTo(0, 2);
  canvas.LineTo(10, 2);
  EXPECT_EQ(surface.At(5, 2), 0x00FF00u);
  EXPECT_EQ(canvas.PenPos().x, 10);

  canvas.SetPixels(15, 5, clBlue);
  EXPECT_EQ(canvas.Pixels(15, 5), clBlue);
  EXPECT_EQ(canvas.ClipRect().right, 20);

  EXPECT_EQ(log.events, (std::vector<String>{"changing", "change", "changing", "change", "changing", "change"}));
  canvas.SetHandle(nullptr);
}

TEST(Canvas, RectanglePolygonPolylineAndCopyRect) {
  TSurface surface(30, 30);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  canvas.Brush()->SetColor(clWhite);
  canvas.FillRect(Rect(0, 0, 30, 30));
  canvas.Brush()->SetColor(clYellow);
  canvas.Pen()->SetColor(clBlack);
  canvas.Rectangle(2, 2, 8, 8);
  EXPECT_EQ(surface.At(2, 2), 0x000000u);
  EXPECT_EQ(surface.At(5, 5), 0x00FFFFu);

  const TPoint triangle[] = {{10, 10}, {20, 10}, {10, 20}};
  canvas.Brush()->SetColor(clBlue);
  canvas.Polygon(triangle);
  EXPECT_EQ(surface.At(12, 12), 0xFF0000u);

  const TPoint line[] = {{0, 25}, {29, 25}};
  canvas.Pen()->SetColor(clRed);
  canvas.Polyline(line);
  EXPECT_EQ(surface.At(15, 25), 0x0000FFu);

  TSurface target(10, 10);
  TCanvas copy;
  copy.SetHandle(target.Dc());
  copy.CopyRect(Rect(0, 0, 10, 10), &canvas, Rect(0, 0, 10, 10));
  EXPECT_EQ(target.At(5, 5), 0x00FFFFu);
  copy.SetHandle(nullptr);
  canvas.SetHandle(nullptr);
}

TEST(Canvas, TextOutMovesThePenPastTheTextAndRightToLeftStartsFurtherRight) {
  TSurface surface(200, 40);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  int width = canvas.TextWidth("Tavelo");
  ASSERT_GT(width, 0);
  EXPECT_GT(canvas.TextHeight("Tavelo"), 0);
  canvas.TextOut(10, 5, "Tavelo");
  EXPECT_EQ(canvas.PenPos().x, 10 + width);
  EXPECT_EQ(canvas.PenPos().y, 5);
  canvas.SetTextFlags(ETO_RTLREADING);
  canvas.TextOut(10, 5, "Tavelo");
  EXPECT_EQ(canvas.PenPos().x, 10 + width + 1 + width);
  canvas.SetHandle(nullptr);
}

TEST(Canvas, AChangedToolLeavesTheStockObjectSelectedBeforeItsOldObjectDies) {
  TSurface surface(10, 10);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  canvas.Font()->SetName("Courier New");
  canvas.Font()->SetHeight(-31);
  canvas.Pen()->SetWidth(7);
  canvas.Brush()->SetColor(TColor(0x123456));
  canvas.TextOut(0, 0, "a");
  canvas.Rectangle(0, 0, 5, 5);
  HGDIOBJ font = ::GetCurrentObject(surface.Dc(), OBJ_FONT);
  HGDIOBJ pen = ::GetCurrentObject(surface.Dc(), OBJ_PEN);
  HGDIOBJ brush = ::GetCurrentObject(surface.Dc(), OBJ_BRUSH);
  ASSERT_EQ(font, canvas.Font()->Resource()->Handle);
  ASSERT_EQ(pen, canvas.Pen()->Resource()->Handle);
  ASSERT_EQ(brush, canvas.Brush()->Resource()->Handle);

  canvas.Font()->SetHeight(-32);
  canvas.Pen()->SetWidth(8);
  canvas.Brush()->SetColor(TColor(0x123457));
  EXPECT_EQ(::GetCurrentObject(surface.Dc(), OBJ_FONT), ::GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(::GetCurrentObject(surface.Dc(), OBJ_PEN), ::GetStockObject(BLACK_PEN));
  EXPECT_EQ(::GetCurrentObject(surface.Dc(), OBJ_BRUSH), ::GetStockObject(NULL_BRUSH));
  EXPECT_FALSE(IsLiveObject(font));
  EXPECT_FALSE(IsLiveObject(pen));
  EXPECT_FALSE(IsLiveObject(brush));
  EXPECT_EQ(canvas.State(), TCanvasState{csHandleValid});
  canvas.SetHandle(nullptr);
}

TEST(Canvas, UnbindingGivesTheStockObjectsBackAndThePenPositionMovesWithTheCanvas) {
  TSurface first(10, 10);
  TSurface second(10, 10);
  TCanvas canvas;
  canvas.SetHandle(first.Dc());
  canvas.Rectangle(0, 0, 4, 4);
  canvas.TextOut(0, 0, "a");
  canvas.MoveTo(5, 7);
  canvas.SetHandle(second.Dc());
  EXPECT_EQ(::GetCurrentObject(first.Dc(), OBJ_PEN), ::GetStockObject(BLACK_PEN));
  EXPECT_EQ(::GetCurrentObject(first.Dc(), OBJ_BRUSH), ::GetStockObject(NULL_BRUSH));
  EXPECT_EQ(::GetCurrentObject(first.Dc(), OBJ_FONT), ::GetStockObject(SYSTEM_FONT));
  POINT position = {};
  ::GetCurrentPositionEx(second.Dc(), &position);
  EXPECT_EQ(position.x, 5);
  EXPECT_EQ(position.y, 7);
  EXPECT_EQ(canvas.State(), TCanvasState{csHandleValid});

  canvas.SetHandle(nullptr);
  EXPECT_FALSE(canvas.HandleAllocated());
  EXPECT_EQ(canvas.PenPos().x, 5);
}

TEST(Canvas, BrushStyleSetsTheBackgroundMode) {
  TSurface surface(4, 4);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  canvas.Brush()->SetColor(TColor(0x102030));
  canvas.RequiredState(csAllValid);
  EXPECT_EQ(::GetBkMode(surface.Dc()), OPAQUE);
  EXPECT_EQ(::GetBkColor(surface.Dc()), 0x102030u);
  canvas.Brush()->SetStyle(bsCross);
  canvas.RequiredState(csAllValid);
  EXPECT_EQ(::GetBkMode(surface.Dc()), TRANSPARENT);
  EXPECT_EQ(::GetBkColor(surface.Dc()), 0xEFDFCFu);
  canvas.Pen()->SetMode(pmXor);
  canvas.RequiredState(csAllValid);
  EXPECT_EQ(::GetROP2(surface.Dc()), R2_XORPEN);
  canvas.SetHandle(nullptr);
}

TEST(Canvas, DrawPlacesTheGraphicAtItsSizeAndSkipsAnEmptyOne) {
  TSurface surface(20, 20);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  canvas.Brush()->SetColor(clAqua);
  canvas.Font()->SetColor(clPurple);
  TEventLog log;
  log.Attach(canvas);
  TProbeGraphic graphic;
  canvas.Draw(3, 4, &graphic);
  ASSERT_EQ(graphic.drawn.size(), 1u);
  EXPECT_EQ(graphic.drawn[0].left, 3);
  EXPECT_EQ(graphic.drawn[0].bottom, 9);
  EXPECT_EQ(graphic.drawn[0].right, 10);
  EXPECT_EQ(graphic.background, 0xFFFF00u);
  EXPECT_EQ(graphic.text, 0x800080u);

  canvas.StretchDraw(Rect(0, 0, 20, 20), &graphic);
  EXPECT_EQ(graphic.drawn.back().right, 20);

  graphic.empty = true;
  canvas.Draw(0, 0, &graphic);
  canvas.Draw(0, 0, nullptr);
  EXPECT_EQ(graphic.drawn.size(), 2u);
  // Draw and StretchDraw, each bracketed; the graphic's own Handle requests add theirs.
  EXPECT_EQ(log.events.front(), "changing");
  EXPECT_EQ(log.events.back(), "change");
  canvas.SetHandle(nullptr);
}

TEST(Canvas, LockCountsAndTryLockOnlyWhenFree) {
  TCanvas canvas;
  EXPECT_TRUE(canvas.TryLock());
  EXPECT_EQ(canvas.LockCount(), 1);
  EXPECT_FALSE(canvas.TryLock());
  canvas.Lock();
  EXPECT_EQ(canvas.LockCount(), 2);
  canvas.Unlock();
  canvas.Unlock();
  EXPECT_EQ(canvas.LockCount(), 0);
  EXPECT_TRUE(canvas.TryLock());
  canvas.Unlock();
}

TEST(Canvas, EveryPlatformObjectMadeForToolsAndDrawingIsDeletedAgain) {
  int before = testing::GdiObjectCount();
  HPEN probe = ::CreatePen(PS_SOLID, 1, 0);
  ASSERT_EQ(testing::GdiObjectCount(), before + 1);  // the count sees what is made
  ::DeleteObject(probe);
  {
    TSurface surface(40, 40);
    auto canvas = std::make_unique<TCanvas>();
    canvas->SetHandle(surface.Dc());
    std::vector<std::unique_ptr<TFont>> fonts;
    for (int i = 0; i < 5; ++i) {
      canvas->Font()->SetHeight(-10 - i);
      canvas->Pen()->SetWidth(i + 2);
      canvas->Brush()->SetStyle(TBrushStyle(i % 8));
      canvas->Brush()->SetColor(TColor(0x102030 + i));
      canvas->TextOut(0, 0, "Tavelo");
      canvas->Rectangle(0, 0, 30, 30);
      canvas->FillRect(Rect(1, 1, 5, 5));
      fonts.push_back(std::make_unique<TFont>());
      fonts.back()->Assign(canvas->Font());
      fonts.back()->SetHandle(::CreateFontA(-20 - i, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    }
    EXPECT_GT(testing::GdiObjectCount(), before + 3);
    canvas.reset();
  }
  EXPECT_EQ(testing::GdiObjectCount(), before);
}

// ---- borrowed window contexts ----

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(window, message, wParam, lParam);
}

class TWindowCanvas : public TCachedCanvas {
public:
  explicit TWindowCanvas(HWND window) : window_(window) {}
  ~TWindowCanvas() override { FreeHandle(); }
  int acquired = 0;

protected:
  HDC AcquireContext(HWND& window) override {
    ++acquired;
    window = window_;
    return GetWindowContext(window_);
  }

private:
  HWND window_;
};

class CachedCanvasTest : public ::testing::Test {
protected:
  void SetUp() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TaveloCanvasTest";
    ::RegisterClassA(&windowClass);
    window_ = ::CreateWindowExA(0, "TaveloCanvasTest", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    for (int i = 0; i < 6; ++i) canvases_.push_back(std::make_unique<TWindowCanvas>(window_));
  }
  void TearDown() override {
    canvases_.clear();
    ::DestroyWindow(window_);
    ::UnregisterClassA("TaveloCanvasTest", ::GetModuleHandleA(nullptr));
  }
  TWindowCanvas& Canvas(int i) { return *canvases_[i]; }

  HWND window_ = nullptr;
  std::vector<std::unique_ptr<TWindowCanvas>> canvases_;
};

TEST_F(CachedCanvasTest, AtMostFourHoldAContextAndTheFirstUnlockedHolderGivesItsUp) {
  for (int i = 0; i < 4; ++i) Canvas(i).FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(HeldDeviceContextCount(), 4);
  Canvas(0).Lock();
  Canvas(4).FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(HeldDeviceContextCount(), 4);
  EXPECT_TRUE(Canvas(0).HandleAllocated());
  EXPECT_FALSE(Canvas(1).HandleAllocated());
  Canvas(5).FillRect(Rect(0, 0, 1, 1));
  EXPECT_FALSE(Canvas(2).HandleAllocated());
  EXPECT_EQ(HeldDeviceContextCount(), 4);

  // After a message: only the locked canvas keeps its context.
  FreeDeviceContexts();
  EXPECT_EQ(HeldDeviceContextCount(), 1);
  EXPECT_TRUE(Canvas(0).HandleAllocated());
  Canvas(0).Unlock();
  FreeDeviceContexts();
  EXPECT_EQ(HeldDeviceContextCount(), 0);

  // A context is borrowed again when next needed.
  Canvas(1).FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(Canvas(1).acquired, 2);
  EXPECT_EQ(HeldDeviceContextCount(), 1);
}

TEST_F(CachedCanvasTest, AHolderGivesItsContextBackWhenItsWindowGoes) {
  HDC context = Canvas(0).Handle();
  ASSERT_NE(context, nullptr);
  FreeDeviceContext(context);
  EXPECT_FALSE(Canvas(0).HandleAllocated());
  EXPECT_EQ(HeldDeviceContextCount(), 0);
  // Freed canvases hold nothing.
  Canvas(1).FillRect(Rect(0, 0, 1, 1));
  canvases_[1].reset();
  EXPECT_EQ(HeldDeviceContextCount(), 0);
}

}  // namespace
}  // namespace tavelo
