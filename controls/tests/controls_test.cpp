#include <gtest/gtest.h>

#include <exception>
#include <memory>
#include <vector>

#include "controls/controls.h"
#include "core/messages.h"
#include "core/exceptions.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo::testing {
namespace {

// The smallest stand-in for a form: a top-level window that may show.
class THost : public TCustomControl {
public:
  explicit THost(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(50, 50, 300, 200);
  }
  void Open() { UpdateControlState(); }
  std::vector<std::pair<std::uint32_t, std::intptr_t>> Notes;
  void Dispatch(TMessage& message) override {
    if (message.Msg == FM_CONTROL_LIST_CHANGE || message.Msg == FM_CONTROL_CHANGE)
      Notes.emplace_back(message.Msg, message.LParam);
    TCustomControl::Dispatch(message);
  }

protected:
  bool IsForm() const override { return true; }
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN;  // no frame: client and window sizes agree
    params.WndParent = nullptr;
  }
};

// A windowless control that fills its area with one colour.
class TSwatch : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  TColor Fill = clRed;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
  }
};

// A windowed control whose painting fails.
class TFaulty : public TCustomControl {
public:
  using TCustomControl::TCustomControl;

protected:
  void Paint() override { throw EInvalidOperation("peinture impossible"); }
};

struct TRecorder : TObject {
  void Clicked(TObject*) { throw EInvalidOperation("clic impossible"); }
  void CountClick(TObject*) { ++clicks; }
  int clicks = 0;
};

std::vector<String> reported;
void Report(std::exception_ptr error) { reported.push_back(ExceptionDisplayText(error)); }

// The windows of this thread, children included: the process's USER objects here.
BOOL CALLBACK CountChild(HWND, LPARAM p) {
  ++*reinterpret_cast<int*>(p);
  return TRUE;
}
BOOL CALLBACK CountTop(HWND w, LPARAM p) {
  ++*reinterpret_cast<int*>(p);
  EnumChildWindows(w, &CountChild, p);
  return TRUE;
}
int WindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountTop, reinterpret_cast<LPARAM>(&count));
  return count;
}

class ControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    reported.clear();
    SetWindowExceptionHandler(&Report);
    host = std::make_unique<THost>(nullptr);
  }
  void TearDown() override {
    host.reset();
    SetWindowExceptionHandler(nullptr);
    EXPECT_EQ(HeldDeviceContextCount(), 0);
  }
  template <class T> T* Child(TWinControl* parent, int l, int t, int w, int h) {
    auto* c = new T(host.get());  // the host owns and frees them
    c->SetBounds(l, t, w, h);
    c->SetParent(parent);
    return c;
  }
  std::unique_ptr<THost> host;
};

TEST_F(ControlsTest, TreeKeepsGraphicChildrenFirstAndNotifiesInOrder) {
  auto* w1 = Child<TWinControl>(host.get(), 0, 0, 10, 10);
  auto* g1 = Child<TSwatch>(host.get(), 0, 0, 10, 10);
  auto* w2 = Child<TWinControl>(host.get(), 0, 0, 10, 10);
  ASSERT_EQ(host->ControlCount(), 3);
  EXPECT_EQ(host->Controls(0), g1);
  EXPECT_EQ(host->Controls(1), w1);
  EXPECT_EQ(host->Controls(2), w2);
  EXPECT_EQ(host->TabList(), (std::vector<TWinControl*>{w1, w2}));
  EXPECT_EQ(w2->TabOrder(), 1);
  w2->SetTabOrder(-5);
  EXPECT_EQ(host->TabList(), (std::vector<TWinControl*>{w2, w1}));
  host->Notes.clear();
  g1->SetParent(nullptr);
  using N = std::pair<std::uint32_t, std::intptr_t>;
  EXPECT_EQ(host->Notes, (std::vector<N>{{FM_CONTROL_CHANGE, 0}, {FM_CONTROL_LIST_CHANGE, 0}}));
  host->Notes.clear();
  g1->SetParent(host.get());
  EXPECT_EQ(host->Notes, (std::vector<N>{{FM_CONTROL_LIST_CHANGE, 1}, {FM_CONTROL_CHANGE, 1}}));
  EXPECT_EQ(host->Controls(0), g1);

  try {
    w1->SetParent(w1);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), String("Un contrôle ne peut être son propre parent"));
  }
}

TEST_F(ControlsTest, ResizeCheckAndConstraints) {
  TSwatch c(nullptr);
  c.Constraints()->SetMaxWidth(50);
  c.Constraints()->SetMinHeight(20);
  c.SetBounds(1, 2, 100, 5);
  EXPECT_EQ(c.Width(), 50);
  EXPECT_EQ(c.Height(), 20);
  struct TRefuser : TObject {
    void CanResize(TObject*, int&, int&, bool& resize) { resize = false; }
  } refuser;
  c.SetOnCanResize(TCanResizeEvent::Bind<&TRefuser::CanResize>(&refuser));
  c.SetBounds(7, 8, 30, 30);
  EXPECT_EQ(c.Left(), 7);
  EXPECT_EQ(c.Width(), 50);
  EXPECT_EQ(c.Height(), 20);
}

TEST_F(ControlsTest, WindowIsMadeLazilyAndLinkedToItsControl) {
  auto* w = Child<TWinControl>(host.get(), 5, 6, 40, 30);
  w->SetText("Bonjour");
  EXPECT_FALSE(w->HandleAllocated());
  EXPECT_EQ(w->Text(), String("Bonjour"));
  host->Open();
  ASSERT_TRUE(w->HandleAllocated());
  EXPECT_TRUE(w->Showing());
  EXPECT_TRUE(IsWindowVisible(w->Handle()));
  char name[64];
  wsprintfA(name, "ControlOfs%.8X%.8X", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))),
            static_cast<unsigned>(GetCurrentThreadId()));
  EXPECT_EQ(GetPropA(w->Handle(), name), static_cast<HANDLE>(w));
  wsprintfA(name, "Quenda%.8X", static_cast<unsigned>(GetCurrentProcessId()));
  EXPECT_EQ(GetPropA(w->Handle(), name), static_cast<HANDLE>(w));
  char text[32] = {};
  GetWindowTextA(w->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "Bonjour");
  RECT r;
  GetWindowRect(w->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 40);

  HWND old = w->Handle();
  w->RecreateWnd();
  ASSERT_TRUE(w->HandleAllocated());
  EXPECT_NE(w->Handle(), old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(w->Text(), String("Bonjour"));
  EXPECT_EQ(w->Width(), 40);

  TWinControl orphan(nullptr);
  orphan.SetName("Orphelin");
  try {
    orphan.Handle();
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), String("Le contrôle 'Orphelin' n'a pas de fenêtre parente"));
  }
}

TEST_F(ControlsTest, AlignedTopControlsStackInOrderOfTheirTops) {
  host->Open();
  auto* bar = Child<TWinControl>(host.get(), 0, 29, 10, 20);
  auto* menu = Child<TWinControl>(host.get(), 0, 0, 10, 29);
  menu->SetAlign(alTop);
  bar->SetAlign(alTop);
  EXPECT_EQ(menu->BoundsRect().top, 0);
  EXPECT_EQ(bar->Top(), 29);
  EXPECT_EQ(menu->Width(), 300);
  EXPECT_EQ(bar->Width(), 300);
  host->SetBounds(50, 50, 400, 260);
  EXPECT_EQ(menu->Top(), 0);
  EXPECT_EQ(bar->Top(), 29);
  EXPECT_EQ(bar->Width(), 400);
  // Moving the lower one to the top swaps them: the requesting control wins the tie.
  bar->SetTop(0);
  EXPECT_EQ(bar->Top(), 0);
  EXPECT_EQ(menu->Top(), 20);

  auto* status = Child<TWinControl>(host.get(), 0, 0, 10, 22);
  status->SetAlign(alBottom);
  auto* page = Child<TWinControl>(host.get(), 0, 0, 10, 10);
  page->Constraints()->SetMaxWidth(150);
  page->SetAlign(alClient);
  EXPECT_EQ(status->Top(), 238);
  EXPECT_EQ(page->BoundsRect().left, 0);
  EXPECT_EQ(page->Top(), 49);
  EXPECT_EQ(page->Width(), 150);  // the rest of the width stays empty on its right
  EXPECT_EQ(page->Height(), 238 - 49);
}

TEST_F(ControlsTest, CustomAlignmentAsksTheParent) {
  host->Open();
  struct TLayout : TObject {
    void Before(TWinControl*, TControl* c1, TControl* c2, bool& before) { before = c1->Width() > c2->Width(); }
    void Position(TWinControl*, TControl*, int& l, int& t, int&, int& h, TRect& r) {
      l = r.left;
      t = r.top;
      r.top += h;
    }
  } layout;
  host->SetOnAlignInsertBefore(TAlignInsertBeforeEvent::Bind<&TLayout::Before>(&layout));
  host->SetOnAlignPosition(TAlignPositionEvent::Bind<&TLayout::Position>(&layout));
  auto* narrow = Child<TSwatch>(host.get(), 9, 9, 10, 10);
  auto* wide = Child<TSwatch>(host.get(), 9, 9, 30, 15);
  narrow->SetAlign(alCustom);
  wide->SetAlign(alCustom);
  EXPECT_EQ(wide->Top(), 0);
  EXPECT_EQ(narrow->Top(), 15);
  EXPECT_EQ(narrow->Left(), 0);
}

TEST_F(ControlsTest, RightAndBottomAnchorsKeepTheirDistanceWhenTheParentGrows) {
  host->Open();
  auto* corner = Child<TWinControl>(host.get(), 200, 150, 50, 30);
  auto* stretch = Child<TSwatch>(host.get(), 10, 10, 100, 20);
  corner->SetAnchors({akRight, akBottom});
  stretch->SetAnchors({akLeft, akTop, akRight});
  EXPECT_EQ(corner->RecordedParentSize().x, 300);
  EXPECT_EQ(corner->RecordedParentSize().y, 200);
  host->SetBounds(50, 50, 400, 250);
  EXPECT_EQ(corner->Left(), 300);
  EXPECT_EQ(corner->Top(), 200);
  EXPECT_EQ(corner->Width(), 50);
  EXPECT_EQ(stretch->Width(), 200);
  EXPECT_EQ(stretch->Left(), 10);
}

TEST_F(ControlsTest, GraphicChildrenPaintAtTheirPlaceWithinTheirBounds) {
  host->SetColor(clWhite);
  auto* swatch = Child<TSwatch>(host.get(), 20, 10, 30, 15);
  auto* hidden = Child<TSwatch>(host.get(), 100, 100, 10, 10);
  hidden->SetVisible(false);
  host->Open();
  TSurface surface(300, 200);
  surface.Fill(RGB(0, 0, 255));
  host->PaintTo(surface.Dc(), 0, 0);
  EXPECT_EQ(surface.At(20, 10), RGB(255, 0, 0));
  EXPECT_EQ(surface.At(49, 24), RGB(255, 0, 0));
  EXPECT_NE(surface.At(50, 24), RGB(255, 0, 0));
  EXPECT_NE(surface.At(19, 10), RGB(255, 0, 0));
  EXPECT_NE(surface.At(105, 105), RGB(255, 0, 0));
  (void)swatch;
}

TEST_F(ControlsTest, ChildrenFollowTheParentsFontAndColourUnlessTheyHaveTheirOwn) {
  auto* follower = Child<TWinControl>(host.get(), 0, 0, 10, 10);
  auto* own = Child<TSwatch>(host.get(), 0, 0, 10, 10);
  own->Font()->SetSize(20);
  own->SetColor(clYellow);
  EXPECT_FALSE(own->ParentFont());
  EXPECT_FALSE(own->ParentColor());
  host->Font()->SetSize(14);
  host->SetColor(clBlue);
  EXPECT_EQ(follower->Font()->Size(), 14);
  EXPECT_TRUE(follower->ParentFont());
  EXPECT_EQ(follower->Color(), clBlue);
  EXPECT_TRUE(follower->ParentColor());
  EXPECT_EQ(own->Font()->Size(), 20);
  EXPECT_EQ(own->Color(), clYellow);
  own->SetParentFont(true);
  EXPECT_EQ(own->Font()->Size(), 14);
  EXPECT_TRUE(own->ParentFont());
}

TEST_F(ControlsTest, ExceptionsFromHandlersReachTheHookNotThePlatform) {
  auto* faulty = Child<TFaulty>(host.get(), 0, 0, 50, 50);
  TRecorder recorder;
  faulty->SetOnClick(TNotifyEvent::Bind<&TRecorder::Clicked>(&recorder));
  host->Open();
  RedrawWindow(faulty->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], String("peinture impossible"));
  SendMessageA(faulty->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(faulty->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_EQ(reported[1], String("clic impossible"));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlsTest, ClickNeedsTheReleaseInsideTheControl) {
  auto* button = Child<TCustomControl>(host.get(), 0, 0, 50, 50);
  TRecorder recorder;
  button->SetOnClick(TNotifyEvent::Bind<&TRecorder::CountClick>(&recorder));
  host->Open();
  SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
  EXPECT_EQ(recorder.clicks, 0);
  SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(49, 49));
  EXPECT_EQ(recorder.clicks, 1);
}

TEST_F(ControlsTest, CreatingAndDestroyingWindowsLeavesNoObjectBehind) {
  host->Open();
  // What showing and destroying windows queued is handled between rounds, as the
  // application's loop would.
  auto pump = [] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  };
  auto round = [&] {
    std::vector<std::unique_ptr<TWinControl>> controls;
    // A grid of 20 x 10 cells: 200 clipping siblings piled on one another cost the platform
    // itself about a tenth of a second per destroyed window.
    for (int i = 0; i < 200; ++i) {
      controls.push_back(std::make_unique<TCustomControl>(nullptr));
      controls.back()->SetBounds(i % 20 * 10, i / 20 * 10, 10, 10);
      controls.back()->SetParent(host.get());
    }
    for (auto& c : controls) EXPECT_TRUE(c->HandleAllocated());
    pump();
    controls.clear();
    pump();
  };
  round();  // the first round makes the shared font and the window class
  int windows = WindowCount();
  int gdi = GdiToolCount();
  for (int i = 0; i < 20; ++i) round();
  EXPECT_EQ(WindowCount(), windows);
  EXPECT_EQ(GdiToolCount(), gdi);
  // The window contexts are the framework's to give back, whatever the platform caches.
  EXPECT_EQ(HeldDeviceContextCount(), 0);
}

}  // namespace
}  // namespace tavelo::testing
