#include "controls/extctrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/tests/form_standin.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "graphics/bitmap.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo::testing {
namespace {

std::vector<std::string> PublishedNames(TClass cls) {
  std::vector<std::string> names;
  for (const TPropInfo* p : cls->Properties()) names.push_back(p->Name());
  return names;
}

std::vector<String> reported;
void Report(std::exception_ptr error) { reported.push_back(ExceptionDisplayText(error)); }

struct TTicks : TObject {
  void Tick(TObject*) { ++count; }
  void TickOnce(TObject* sender) {
    ++count;
    static_cast<TTimer*>(sender)->SetEnabled(false);
  }
  void Fail(TObject* sender) {
    ++count;
    static_cast<TTimer*>(sender)->SetEnabled(false);
    throw EInvalidOperation("minuterie en panne");
  }
  int count = 0;
};

// A running timer whose ticks tell the others' silence apart from a slow machine.
struct TPacer {
  TPacer() : timer(nullptr) {
    timer.SetInterval(5);
    timer.SetOnTimer(TNotifyEvent::Bind<&TTicks::Tick>(&ticks));
  }
  bool WaitTicks(int n) { return PumpUntil([&] { return ticks.count >= n; }); }
  TTicks ticks;
  TTimer timer;
};

TEST(TimerTest, DefaultsAndPublishedProperties) {
  TTimer timer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_EQ(PublishedNames(TTimer::StaticClass()),
            (std::vector<std::string>{"Name", "Tag", "Enabled", "Interval", "OnTimer"}));
  EXPECT_EQ(TTimer::StaticClass()->FindProperty("Interval")->Default(), 1000);
  // No handler: no platform timer runs.
  EXPECT_FALSE(KillTimer(timer.WindowHandle(), 1));
}

TEST(TimerTest, RunsOnlyWithAnIntervalAndAHandler) {
  TTicks zero, later;
  TTimer stopped(nullptr), unhandled(nullptr);
  stopped.SetInterval(0);
  stopped.SetOnTimer(TNotifyEvent::Bind<&TTicks::Tick>(&zero));
  unhandled.SetInterval(5);
  {
    TPacer pacer;
    ASSERT_TRUE(pacer.WaitTicks(5));
  }
  EXPECT_EQ(zero.count, 0);
  EXPECT_FALSE(KillTimer(unhandled.WindowHandle(), 1));

  // The handler set later starts the count.
  unhandled.SetOnTimer(TNotifyEvent::Bind<&TTicks::Tick>(&later));
  EXPECT_TRUE(PumpUntil([&] { return later.count >= 2; }));
}

TEST(TimerTest, DisablingInsideTheHandlerStopsBeforeTheNextTick) {
  TTicks once;
  TTimer timer(nullptr);
  timer.SetInterval(5);
  timer.SetOnTimer(TNotifyEvent::Bind<&TTicks::TickOnce>(&once));
  ASSERT_TRUE(PumpUntil([&] { return once.count == 1; }));
  TPacer pacer;
  ASSERT_TRUE(pacer.WaitTicks(5));
  EXPECT_EQ(once.count, 1);
  EXPECT_FALSE(timer.Enabled());
  // Enabled again, it runs again.
  timer.SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return once.count == 2; }));
}

TEST(TimerTest, AnExceptionInTheHandlerGoesToTheApplicationsHandler) {
  reported.clear();
  SetWindowExceptionHandler(&Report);
  TTicks failing;
  {
    TTimer timer(nullptr);
    timer.SetInterval(5);
    timer.SetOnTimer(TNotifyEvent::Bind<&TTicks::Fail>(&failing));
    EXPECT_TRUE(PumpUntil([&] { return !reported.empty(); }));
  }
  SetWindowExceptionHandler(nullptr);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], String("minuterie en panne"));
  EXPECT_EQ(failing.count, 1);
}

TEST(TimerTest, ARefusedTimerRaisesAndStaysStopped) {
  TTicks ticks;
  TTimer timer(nullptr);
  timer.SetInterval(5);
  // Without its window the platform refuses the timer.
  DestroyWindow(timer.WindowHandle());
  try {
    timer.SetOnTimer(TNotifyEvent::Bind<&TTicks::Tick>(&ticks));
    FAIL();
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), String("Pas assez de timers disponibles"));
  }
  TPacer pacer;
  ASSERT_TRUE(pacer.WaitTicks(3));
  EXPECT_EQ(ticks.count, 0);
}

TEST(TimerTest, DestroyingTheTimerDestroysItsWindow) {
  TTicks ticks;
  auto timer = std::make_unique<TTimer>(nullptr);
  timer->SetInterval(5);
  timer->SetOnTimer(TNotifyEvent::Bind<&TTicks::Tick>(&ticks));
  HWND window = timer->WindowHandle();
  ASSERT_TRUE(IsWindow(window));
  timer.reset();
  EXPECT_FALSE(IsWindow(window));
}

class ExtCtrlsTest : public ::testing::Test {
protected:
  void SetUp() override { form = std::make_unique<TFormStandIn>(nullptr); }
  void TearDown() override {
    form.reset();
    EXPECT_EQ(HeldDeviceContextCount(), 0);
  }
  template <class T> T* Add(TWinControl* parent, int l, int t, int w, int h) {
    auto* c = new T(form.get());  // the form owns and frees them
    c->SetBounds(l, t, w, h);
    c->SetParent(parent);
    return c;
  }
  std::unique_ptr<TFormStandIn> form;
};

TEST_F(ExtCtrlsTest, PanelDefaultsAndPublishedProperties) {
  TPanel panel(nullptr);
  EXPECT_EQ(panel.Width(), 185);
  EXPECT_EQ(panel.Height(), 41);
  EXPECT_EQ(panel.Color(), clBtnFace);
  EXPECT_FALSE(panel.ParentColor());
  EXPECT_FALSE(panel.TabStop());
  EXPECT_EQ(panel.Alignment(), taCenter);
  EXPECT_EQ(panel.BevelOuter(), bvRaised);
  EXPECT_EQ(panel.BevelInner(), bvNone);
  EXPECT_EQ(panel.ControlStyle(), (TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                                 csOpaque, csDoubleClicks}));
  EXPECT_EQ(PublishedNames(TPanel::StaticClass()),
            (std::vector<std::string>{"Name", "Tag", "Left", "Top", "Width", "Height", "Cursor", "Hint", "Align", "Alignment", "Anchors", "AutoSize", "BevelInner", "BevelOuter", "BevelWidth", "BiDiMode", "BorderStyle", "BorderWidth", "Caption", "Color", "Constraints", "Ctl3D", "Enabled", "Font", "FullRepaint", "Locked", "ParentBiDiMode", "ParentColor", "ParentCtl3D", "ParentFont", "ShowHint", "TabOrder", "TabStop", "UseDockManager", "Visible", "OnCanResize", "OnClick", "OnConstrainedResize", "OnDblClick", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize"}));
  EXPECT_EQ(TPanel::StaticClass()->FindProperty("BevelOuter")->Default(), static_cast<int>(bvRaised));
}

TEST_F(ExtCtrlsTest, ALoweredInnerBevelIsShadowTopLeftAndHighlightBottomRight) {
  auto* panel = Add<TPanel>(form.get(), 10, 10, 100, 50);
  panel->SetBevelOuter(bvNone);
  panel->SetBevelInner(bvLowered);
  auto* child = Add<TPanel>(panel, 0, 0, 10, 10);
  child->SetAlign(alClient);
  form->Open();
  EXPECT_EQ(child->BoundsRect().left, 1);
  EXPECT_EQ(child->Top(), 1);
  EXPECT_EQ(child->Width(), 98);
  EXPECT_EQ(child->Height(), 48);

  child->SetVisible(false);
  TSurface surface(100, 50);
  panel->PaintTo(surface.Dc(), 0, 0);
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT),
           face = GetSysColor(COLOR_BTNFACE);
  for (TPoint p : {Point(0, 0), Point(50, 0), Point(98, 0), Point(0, 25), Point(0, 48)})
    EXPECT_EQ(surface.At(p.x, p.y), shadow) << p.x << "," << p.y;
  for (TPoint p : {Point(99, 0), Point(99, 25), Point(99, 49), Point(50, 49), Point(0, 49)})
    EXPECT_EQ(surface.At(p.x, p.y), highlight) << p.x << "," << p.y;
  for (TPoint p : {Point(1, 1), Point(98, 48), Point(50, 25)}) EXPECT_EQ(surface.At(p.x, p.y), face);

  // The default raised outer bevel is the other way round; the border and both bevels
  // count once each for the children.
  panel->SetBevelOuter(bvRaised);
  panel->SetBevelInner(bvNone);
  panel->PaintTo(surface.Dc(), 0, 0);
  EXPECT_EQ(surface.At(0, 0), highlight);
  EXPECT_EQ(surface.At(99, 49), shadow);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(3);
  child->SetVisible(true);
  EXPECT_EQ(child->BoundsRect().left, 7);
  EXPECT_EQ(child->Top(), 7);
  EXPECT_EQ(child->Width(), 100 - 14);
}

TEST_F(ExtCtrlsTest, DrawBevelFrameLeavesTheRectangleInsideItsRings) {
  TSurface surface(20, 20);
  surface.Fill(RGB(255, 255, 255));
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  TRect r = Rect(2, 2, 12, 10);
  DrawBevelFrame(&canvas, r, clRed, clBlue, 2);
  canvas.SetHandle(nullptr);
  EXPECT_EQ(r.left, 4);
  EXPECT_EQ(r.top, 4);
  EXPECT_EQ(r.right, 10);
  EXPECT_EQ(r.bottom, 8);
  EXPECT_EQ(surface.At(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(surface.At(3, 3), RGB(255, 0, 0));
  EXPECT_EQ(surface.At(11, 2), RGB(0, 0, 255));
  EXPECT_EQ(surface.At(2, 9), RGB(0, 0, 255));
  EXPECT_EQ(surface.At(10, 8), RGB(0, 0, 255));
  EXPECT_EQ(surface.At(4, 4), RGB(255, 255, 255));
  EXPECT_EQ(surface.At(12, 2), RGB(255, 255, 255));
  EXPECT_EQ(surface.At(2, 10), RGB(255, 255, 255));
}

// The box of the black pixels inside the panel's one-pixel bevel.
TRect InkBox(TPanel* panel) {
  TSurface surface(120, 60);
  panel->PaintTo(surface.Dc(), 0, 0);
  TRect box = Rect(120, 60, -1, -1);
  for (int y = 1; y < 59; ++y)
    for (int x = 1; x < 119; ++x)
      if (surface.At(x, y) == RGB(0, 0, 0)) {
        box.left = std::min<long>(box.left, x);
        box.right = std::max<long>(box.right, x);
        box.top = std::min<long>(box.top, y);
        box.bottom = std::max<long>(box.bottom, y);
      }
  return box;
}

TEST_F(ExtCtrlsTest, PanelCaptionIsCentredInItsBand) {
  auto* panel = Add<TPanel>(form.get(), 0, 0, 120, 60);
  panel->Font()->SetColor(clBlack);
  panel->SetCaption("Tavelo");
  form->Open();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, panel->Font()->Handle());
  SIZE w{}, text{};
  GetTextExtentPoint32A(dc, "W", 1, &w);
  GetTextExtentPoint32A(dc, "Tavelo", 6, &text);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);

  TRect centred = InkBox(panel);
  ASSERT_GE(centred.right, centred.left);
  int band = (1 + 59 - w.cy) / 2;  // inside the one-pixel raised bevel
  EXPECT_GE(centred.top, band);
  EXPECT_LT(centred.bottom, band + w.cy);
  // Measured against the same text at the left: the ink moves by half the free width.
  panel->SetAlignment(taLeftJustify);
  TRect left = InkBox(panel);
  panel->SetAlignment(taRightJustify);
  TRect right = InkBox(panel);
  EXPECT_EQ(left.top, centred.top);
  EXPECT_EQ(centred.left - left.left, (118 - text.cx) / 2);
  EXPECT_EQ(right.left - left.left, 118 - text.cx);
}

TEST_F(ExtCtrlsTest, ASingleBorderRecreatesTheWindowWithAClientEdge) {
  auto* panel = Add<TPanel>(form.get(), 0, 0, 100, 50);
  panel->SetCaption("garde");
  form->Open();
  HWND old = panel->Handle();
  EXPECT_FALSE(GetWindowLongPtrA(old, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  panel->SetBorderStyle(bsSingle);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(GetWindowLongPtrA(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(panel->Caption(), String("garde"));
}

TBitmap* Filled(TBitmap& bitmap, int w, int h) {
  bitmap.SetSize(w, h);
  bitmap.Canvas()->Brush()->SetColor(clRed);
  bitmap.Canvas()->FillRect(Rect(0, 0, w, h));
  return &bitmap;
}

TEST_F(ExtCtrlsTest, PictureRectKeepsTheAspectAndCentres) {
  TImage image(nullptr);
  EXPECT_EQ(image.Width(), 105);
  EXPECT_EQ(image.Height(), 105);
  image.SetBounds(0, 0, 60, 60);
  TBitmap wide;
  image.Picture()->SetGraphic(Filled(wide, 100, 50));
  auto rect = [&] {
    TRect r = image.PictureRect();
    return std::vector<long>{r.left, r.top, r.right, r.bottom};
  };
  EXPECT_EQ(rect(), (std::vector<long>{0, 0, 100, 50}));
  image.SetStretch(true);
  EXPECT_EQ(rect(), (std::vector<long>{0, 0, 60, 60}));
  image.SetProportional(true);
  EXPECT_EQ(rect(), (std::vector<long>{0, 0, 60, 30}));
  image.SetCenter(true);
  EXPECT_EQ(rect(), (std::vector<long>{0, 15, 60, 45}));

  // Proportional alone shrinks a picture too large, and leaves a small one alone.
  image.SetStretch(false);
  EXPECT_EQ(rect(), (std::vector<long>{0, 15, 60, 45}));
  TBitmap tall, small;
  image.Picture()->SetGraphic(Filled(tall, 50, 100));
  EXPECT_EQ(rect(), (std::vector<long>{15, 0, 45, 60}));
  image.Picture()->SetGraphic(Filled(small, 10, 6));
  EXPECT_EQ(rect(), (std::vector<long>{25, 27, 35, 33}));
  image.Picture()->SetGraphic(nullptr);
  EXPECT_EQ(rect(), (std::vector<long>{30, 30, 30, 30}));
}

TEST_F(ExtCtrlsTest, AStretchedProportionalPictureIsDrawnCentred) {
  form->SetColor(clWhite);
  auto* image = Add<TImage>(form.get(), 10, 20, 60, 60);
  TBitmap wide;
  image->SetPicture(nullptr);
  image->Picture()->SetGraphic(Filled(wide, 100, 50));
  image->SetStretch(true);
  image->SetProportional(true);
  image->SetCenter(true);
  EXPECT_FALSE(image->ControlStyle().Contains(csOpaque));
  form->Open();
  TSurface surface(100, 100);
  form->PaintTo(surface.Dc(), 0, 0);
  EXPECT_NE(surface.At(40, 20 + 14), RGB(255, 0, 0));
  EXPECT_EQ(surface.At(40, 20 + 15), RGB(255, 0, 0));
  EXPECT_EQ(surface.At(10, 20 + 44), RGB(255, 0, 0));
  EXPECT_EQ(surface.At(69, 20 + 30), RGB(255, 0, 0));
  EXPECT_NE(surface.At(40, 20 + 45), RGB(255, 0, 0));

  // Stretched without keeping the aspect, an opaque picture covers the whole image.
  image->SetProportional(false);
  EXPECT_TRUE(image->ControlStyle().Contains(csOpaque));
  image->SetTransparent(true);
  EXPECT_TRUE(image->Picture()->Graphic()->Transparent());
  EXPECT_FALSE(image->ControlStyle().Contains(csOpaque));
}

TEST_F(ExtCtrlsTest, AnAutoSizedImageTakesThePicturesSize) {
  auto* image = Add<TImage>(form.get(), 0, 0, 20, 20);
  image->SetAutoSize(true);
  TBitmap bitmap;
  image->Picture()->SetGraphic(Filled(bitmap, 40, 30));
  EXPECT_EQ(image->Width(), 40);
  EXPECT_EQ(image->Height(), 30);
  EXPECT_EQ(PublishedNames(TImage::StaticClass()),
            (std::vector<std::string>{"Name", "Tag", "Left", "Top", "Width", "Height", "Cursor", "Hint", "Align", "Anchors", "AutoSize", "Center", "Constraints", "Enabled", "IncrementalDisplay", "Picture", "Proportional", "ShowHint", "Stretch", "Transparent", "Visible", "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"}));
}

}  // namespace
}  // namespace tavelo::testing
