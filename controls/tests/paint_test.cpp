#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/controls.h"
#include "core/messages.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo::testing {
namespace {

// A top-level stand-in for a form, without a frame, at a fixed place on the screen.
class TStage : public TCustomControl {
public:
  explicit TStage(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(40, 40, 200, 120);
  }
  void Open() { UpdateControlState(); }
  int Erases = 0;
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_ERASEBKGND) ++Erases;
    TCustomControl::Dispatch(message);
  }

protected:
  bool IsForm() const override { return true; }
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_TOPMOST;
    params.WndParent = nullptr;
  }
};

// A windowed control that draws a red band over its background and has a green graphic child.
class TPainter : public TCustomControl {
public:
  using TCustomControl::TCustomControl;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(Rect(5, 5, 40, 20));
  }
};

class TBlock : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clLime);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
  }
};

class TFramed : public TWinControl {
public:
  explicit TFramed(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csFramed});
  }
};

bool WaitFor(const std::function<bool()>& done) {
  DWORD deadline = GetTickCount() + 5000;
  while (!done()) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    if (static_cast<int>(GetTickCount() - deadline) > 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

SIZE ClientSize(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return SIZE{r.right, r.bottom};
}

class PaintTest : public ::testing::Test {
protected:
  void SetUp() override { stage = std::make_unique<TStage>(nullptr); }
  void TearDown() override {
    stage.reset();
    EXPECT_EQ(HeldDeviceContextCount(), 0);
  }
  template <class T> T* Child(TWinControl* parent, int l, int t, int w, int h) {
    auto* c = new T(stage.get());
    c->SetBounds(l, t, w, h);
    c->SetParent(parent);
    return c;
  }
  std::unique_ptr<TStage> stage;
};

TEST_F(PaintTest, BorderWidthAndBevelsInsetTheClientArea) {
  stage->Open();
  auto* w = Child<TWinControl>(stage.get(), 10, 10, 100, 80);
  EXPECT_EQ(w->BevelInner(), bvRaised);
  EXPECT_EQ(w->BevelOuter(), bvLowered);
  EXPECT_EQ(w->BevelWidth(), 1);
  EXPECT_EQ(w->BevelEdges(), (TBevelEdges{beLeft, beTop, beRight, beBottom}));
  EXPECT_EQ(w->BevelKind(), bkNone);
  ASSERT_TRUE(w->HandleAllocated());
  // Without a bevel kind the bevels take nothing; the border is painted in the control's colour.
  w->SetBorderWidth(3);
  EXPECT_EQ(ClientSize(w->Handle()).cx, 94);
  EXPECT_EQ(ClientSize(w->Handle()).cy, 74);
  w->SetColor(clYellow);
  {
    HDC dc = GetWindowDC(w->Handle());
    ASSERT_NE(dc, nullptr);
    w->Perform(WM_NCPAINT, 1, 0);
    TSurface surface(100, 80);
    BitBlt(surface.Dc(), 0, 0, 100, 80, dc, 0, 0, SRCCOPY);
    ReleaseDC(w->Handle(), dc);
    for (POINT p : {POINT{0, 40}, POINT{2, 2}, POINT{50, 79}, POINT{97, 40}})
      EXPECT_EQ(surface.At(p.x, p.y), ColorToRGB(clYellow)) << p.x << "," << p.y;
  }
  w->SetBevelWidth(2);
  w->SetBevelEdges({beLeft, beTop});
  w->SetBevelKind(bkTile);
  // Inner and outer bevel count once each: 2 + 2 on the left and at the top only.
  EXPECT_EQ(ClientSize(w->Handle()).cx, 100 - 6 - 4);
  EXPECT_EQ(ClientSize(w->Handle()).cy, 80 - 6 - 4);
  EXPECT_EQ(w->ClientWidth(), 90);
  w->SetBevelInner(bvNone);
  EXPECT_EQ(ClientSize(w->Handle()).cx, 100 - 6 - 2);
  w->SetBevelEdges({beRight, beBottom});
  RECT r;
  GetClientRect(w->Handle(), &r);
  POINT origin{0, 0};
  MapWindowPoints(w->Handle(), stage->Handle(), &origin, 1);
  EXPECT_EQ(origin.x, 10 + 3);  // only the border on the left now
  EXPECT_EQ(r.right, 100 - 6 - 2);
  // The children are aligned in what is left.
  auto* fill = Child<TWinControl>(w, 0, 0, 5, 5);
  fill->SetAlign(alClient);
  EXPECT_EQ(fill->Width(), 92);
  EXPECT_EQ(fill->Height(), 72);
}

TEST_F(PaintTest, FramedThreeDimensionalChildrenGetAFrameDrawnByTheParent) {
  auto* framed = Child<TFramed>(stage.get(), 20, 30, 40, 25);
  auto* plain = Child<TWinControl>(stage.get(), 100, 30, 40, 25);
  stage->Open();
  auto paint = [&] {
    auto surface = std::make_unique<TSurface>(200, 120);
    surface->Fill(RGB(0, 0, 255));
    stage->PaintTo(surface->Dc(), 0, 0);
    return surface;
  };
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  {
    auto s = paint();
    EXPECT_EQ(s->At(19, 29), shadow);    // outside the top-left corner
    EXPECT_EQ(s->At(19, 40), shadow);    // outside the left edge
    EXPECT_EQ(s->At(40, 29), shadow);    // above the top edge
    EXPECT_EQ(s->At(60, 55), highlight); // outside the bottom-right corner
    EXPECT_EQ(s->At(60, 40), highlight); // outside the right edge
    EXPECT_EQ(s->At(40, 55), highlight); // below the bottom edge
    EXPECT_EQ(s->At(99, 29), RGB(0, 0, 255));  // an unframed child gets none
    EXPECT_EQ(s->At(140, 55), RGB(0, 0, 255));
  }
  // The child follows its parent's 3-D look until it has its own.
  stage->SetCtl3D(false);
  EXPECT_FALSE(framed->Ctl3D());
  EXPECT_TRUE(framed->ParentCtl3D());
  EXPECT_EQ(paint()->At(19, 29), RGB(0, 0, 255));
  framed->SetCtl3D(true);
  EXPECT_FALSE(framed->ParentCtl3D());
  stage->SetCtl3D(true);
  stage->SetCtl3D(false);
  EXPECT_TRUE(framed->Ctl3D());
  EXPECT_EQ(paint()->At(19, 29), shadow);
  // Inserted under a flat parent, a child takes the parent's look at once.
  auto* late = Child<TFramed>(stage.get(), 150, 80, 20, 20);
  EXPECT_FALSE(late->Ctl3D());
  (void)plain;
}

TEST_F(PaintTest, ToolWindowEdgesTakeTheirSizeFromTheNonClientArea) {
  stage->Open();
  auto* tool = Child<TToolWindow>(stage.get(), 0, 0, 100, 50);
  EXPECT_EQ(tool->EdgeBorders(), (TEdgeBorders{ebLeft, ebTop, ebRight, ebBottom}));
  EXPECT_EQ(tool->EdgeInner(), esRaised);
  EXPECT_EQ(tool->EdgeOuter(), esLowered);
  ASSERT_TRUE(tool->HandleAllocated());
  EXPECT_EQ(ClientSize(tool->Handle()).cx, 96);
  EXPECT_EQ(ClientSize(tool->Handle()).cy, 46);
  HWND before = tool->Handle();
  tool->SetEdgeBorders({ebTop, ebBottom});
  EXPECT_NE(tool->Handle(), before);  // a new window
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(ClientSize(tool->Handle()).cx, 100);
  EXPECT_EQ(ClientSize(tool->Handle()).cy, 46);
  tool->SetEdgeOuter(esNone);
  EXPECT_EQ(ClientSize(tool->Handle()).cy, 48);
  tool->SetEdgeInner(esNone);
  EXPECT_EQ(ClientSize(tool->Handle()).cy, 50);
  tool->SetEdgeInner(esLowered);
  tool->SetBorderWidth(2);
  EXPECT_EQ(ClientSize(tool->Handle()).cx, 96);
  EXPECT_EQ(ClientSize(tool->Handle()).cy, 50 - 4 - 2);

  // The edges drawn on the window: a sunken inner edge, dark above and light below.
  tool->SetColor(clYellow);
  tool->SetBorderWidth(0);
  tool->SetEdgeBorders({ebLeft, ebTop, ebRight, ebBottom});
  tool->SetEdgeOuter(esNone);
  HDC dc = GetWindowDC(tool->Handle());
  ASSERT_NE(dc, nullptr);
  tool->Perform(WM_NCPAINT, 1, 0);
  TSurface surface(100, 50);
  BitBlt(surface.Dc(), 0, 0, 100, 50, dc, 0, 0, SRCCOPY);
  ReleaseDC(tool->Handle(), dc);
  EXPECT_EQ(surface.At(50, 0), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(surface.At(50, 49), GetSysColor(COLOR_3DLIGHT));
  tool->SetCtl3D(false);  // mono edges: one colour all round
  dc = GetWindowDC(tool->Handle());
  tool->Perform(WM_NCPAINT, 1, 0);
  BitBlt(surface.Dc(), 0, 0, 100, 50, dc, 0, 0, SRCCOPY);
  ReleaseDC(tool->Handle(), dc);
  EXPECT_EQ(surface.At(50, 0), surface.At(50, 49));
}

TEST_F(PaintTest, DoubleBufferedControlPaintsTheSamePixels) {
  stage->SetColor(clWhite);
  auto* painter = Child<TPainter>(stage.get(), 10, 10, 120, 80);
  painter->SetControlStyle(painter->ControlStyle() + TControlStyle{csAcceptsControls});
  painter->SetColor(clBlue);
  Child<TBlock>(painter, 30, 30, 20, 10);
  stage->Open();
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(painter->Handle()) != 0; }));
  auto capture = [&] {
    RedrawWindow(painter->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    GdiFlush();
    auto surface = std::make_unique<TSurface>(120, 80);
    HDC dc = GetDC(painter->Handle());
    BitBlt(surface->Dc(), 0, 0, 120, 80, dc, 0, 0, SRCCOPY);
    ReleaseDC(painter->Handle(), dc);
    return surface;
  };
  auto plain = capture();
  EXPECT_EQ(plain->At(1, 1), RGB(0, 0, 255));     // the background
  EXPECT_EQ(plain->At(6, 6), RGB(255, 0, 0));     // the control's own painting
  EXPECT_EQ(plain->At(35, 35), RGB(0, 255, 0));   // its graphic child
  painter->SetDoubleBuffered(true);
  auto buffered = capture();
  int differ = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x)
      if (plain->At(x, y) != buffered->At(x, y)) ++differ;
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(buffered->At(35, 35), RGB(0, 255, 0));
}

TEST_F(PaintTest, InvalidatingSkipsErasingUnderAnOpaqueSiblingAbove) {
  stage->Open();
  auto* under = Child<TBlock>(stage.get(), 10, 10, 20, 20);
  auto* cover = Child<TBlock>(stage.get(), 5, 5, 40, 40);
  cover->SetControlStyle(cover->ControlStyle() + TControlStyle{csOpaque});
  ASSERT_TRUE(WaitFor([&] { return !GetUpdateRect(stage->Handle(), nullptr, FALSE); }));
  stage->Erases = 0;
  under->Invalidate();
  UpdateWindow(stage->Handle());
  EXPECT_EQ(stage->Erases, 0);
  cover->SetBounds(15, 15, 40, 40);  // no longer covers it all
  ASSERT_TRUE(WaitFor([&] { return !GetUpdateRect(stage->Handle(), nullptr, FALSE); }));
  stage->Erases = 0;
  under->Invalidate();
  UpdateWindow(stage->Handle());
  EXPECT_EQ(stage->Erases, 1);
}

}  // namespace
}  // namespace tavelo::testing
