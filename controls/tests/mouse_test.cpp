#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/tests/control_test_support.h"
#include "core/exceptions.h"

namespace tavelo::testing {
namespace {

struct TMice : TObject {
  std::vector<String> lines;
  int clicks = 0;
  void Down(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    lines.push_back(Line(sender, "bas", x, y) + (button == mbRight ? " droit" : "") +
                    (shift.Contains(ssDouble) ? " double" : ""));
  }
  void Up(TObject* sender, TMouseButton, TShiftState, int x, int y) { lines.push_back(Line(sender, "haut", x, y)); }
  void Move(TObject* sender, TShiftState, int x, int y) { lines.push_back(Line(sender, "bouge", x, y)); }
  void Click(TObject*) { ++clicks; }
  static String Line(TObject* sender, const char* what, int x, int y) {
    return static_cast<TComponent*>(sender)->Name() + " " + what + " " + IntToStr(x) + "," + IntToStr(y);
  }
};

// A windowless child that takes the mouse.
class TSpot : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  std::vector<std::uint32_t> Cancelled;
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_CANCELMODE) Cancelled.push_back(message.Msg);
    TGraphicControl::Dispatch(message);
  }
};

class MouseTest : public ::testing::Test {
protected:
  void SetUp() override {
    Reported().clear();
    SetWindowExceptionHandler(&ReportException);
    form = std::make_unique<TStandInForm>(nullptr);
    panel = new TCustomControl(form.get());
    panel->SetName("Panneau");
    panel->SetBounds(10, 10, 200, 150);
    panel->SetParent(form.get());
    spot = new TSpot(form.get());
    spot->SetName("Point");
    spot->SetBounds(20, 10, 30, 20);
    spot->SetParent(panel);
    for (TControl* c : {static_cast<TControl*>(panel), static_cast<TControl*>(spot)}) {
      c->SetOnMouseDown(TMouseEvent::Bind<&TMice::Down>(&mice));
      c->SetOnMouseUp(TMouseEvent::Bind<&TMice::Up>(&mice));
      c->SetOnMouseMove(TMouseMoveEvent::Bind<&TMice::Move>(&mice));
      c->SetOnClick(TNotifyEvent::Bind<&TMice::Click>(&mice));
    }
    SetCursorPos(0, 0);  // away from the windows: no move of the real mouse reaches them
    form->Open();
  }
  void TearDown() override {
    SetCursorPos(0, 0);
    ControlAppHooks() = TControlAppHooks();
    form.reset();
    SetWindowExceptionHandler(nullptr);
    EXPECT_TRUE(Reported().empty());
    EXPECT_EQ(GetCapture(), nullptr);
  }
  // Posts a mouse message to the panel's window and runs the loop until it was handled.
  void Post(UINT msg, WPARAM keys, int x, int y) {
    PostMessageA(panel->Handle(), msg, keys, MAKELPARAM(x, y));
    ASSERT_TRUE(PumpUntil([] { return HIWORD(GetQueueStatus(QS_POSTMESSAGE)) == 0; }));
  }
  TMice mice;
  std::unique_ptr<TStandInForm> form;
  TCustomControl* panel = nullptr;
  TSpot* spot = nullptr;
};

TEST_F(MouseTest, AClickReleasedOutsideTheControlFiresNothing) {
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 150, 100);
  EXPECT_EQ(GetCapture(), panel->Handle());
  EXPECT_EQ(GetCaptureControl(), panel);
  Post(WM_MOUSEMOVE, MK_LBUTTON, 250, 100);
  Post(WM_LBUTTONUP, 0, 250, 100);
  EXPECT_EQ(mice.clicks, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(mice.lines, (std::vector<String>{"Panneau bas 150,100", "Panneau bouge 250,100", "Panneau haut 250,100"}));
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 150, 100);
  Post(WM_LBUTTONUP, 0, 199, 149);
  EXPECT_EQ(mice.clicks, 1);
  // The right button presses and releases alike, without a click.
  Post(WM_RBUTTONDOWN, MK_RBUTTON, 5, 6);
  Post(WM_RBUTTONUP, 0, 5, 6);
  EXPECT_EQ(mice.clicks, 1);
  EXPECT_EQ(mice.lines.back(), String("Panneau haut 5,6"));
  EXPECT_EQ(mice.lines[mice.lines.size() - 2], String("Panneau bas 5,6 droit"));
}

TEST_F(MouseTest, AWindowlessChildGetsItsMessagesRelativeToItselfAndTheCaptureThroughItsParent) {
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 25, 15);
  EXPECT_EQ(GetCapture(), panel->Handle());
  EXPECT_EQ(GetCaptureControl(), spot);
  EXPECT_TRUE(spot->MouseCapture());
  EXPECT_TRUE(spot->ControlState().Contains(csLButtonDown));
  // Held by the child, the mouse stays its own far outside it.
  Post(WM_MOUSEMOVE, MK_LBUTTON, 120, 90);
  Post(WM_LBUTTONUP, 0, 120, 90);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(spot->ControlState().Contains(csLButtonDown));
  EXPECT_EQ(mice.lines, (std::vector<String>{"Point bas 5,5", "Point bouge 100,80", "Point haut 100,80"}));
  EXPECT_EQ(mice.clicks, 0);
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 49, 29);
  Post(WM_LBUTTONUP, 0, 49, 29);
  EXPECT_EQ(mice.clicks, 1);
  // A double click on a control without the double-click style is a second press.
  spot->SetControlStyle(spot->ControlStyle() - TControlStyle{csDoubleClicks});
  Post(WM_LBUTTONDBLCLK, MK_LBUTTON, 21, 11);
  EXPECT_EQ(mice.lines.back(), String("Point bas 1,1"));
  Post(WM_LBUTTONUP, 0, 21, 11);
  EXPECT_EQ(mice.clicks, 2);
  spot->SetControlStyle(spot->ControlStyle() + TControlStyle{csDoubleClicks});
  Post(WM_LBUTTONDBLCLK, MK_LBUTTON, 21, 11);
  EXPECT_EQ(mice.lines.back(), String("Point bas 1,1 double"));
  Post(WM_LBUTTONUP, 0, 21, 11);
  EXPECT_EQ(mice.clicks, 2);
}

TEST_F(MouseTest, CancelModeReachesTheCapturingChildAndTheActiveControlHearsOfPresses) {
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 25, 15);
  SendMessageA(panel->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_EQ(spot->Cancelled.size(), 1u);
  SetCaptureControl(nullptr);

  struct TCancelled : TCustomControl {
    using TCustomControl::TCustomControl;
    std::vector<std::intptr_t> From;
    void Dispatch(TMessage& message) override {
      if (message.Msg == FM_CANCEL_MODE) From.push_back(message.LParam);
      TCustomControl::Dispatch(message);
    }
  };
  auto* active = new TCancelled(form.get());
  active->SetParent(form.get());
  form->Active = active;
  Post(WM_RBUTTONDOWN, MK_RBUTTON, 25, 15);
  Post(WM_RBUTTONUP, 0, 25, 15);
  EXPECT_EQ(active->From, (std::vector<std::intptr_t>{reinterpret_cast<std::intptr_t>(spot)}));
  form->Active = nullptr;
}

TEST_F(MouseTest, AControlGoingAwayIsNeverLeftHoldingTheMouse) {
  std::vector<TControl*> gone;
  static std::vector<TControl*>* record = &gone;
  ControlAppHooks().ControlDestroyed = [](TControl* c) { record->push_back(c); };
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 25, 15);
  ASSERT_EQ(GetCaptureControl(), spot);
  delete spot;
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetCaptureControl(), nullptr);
  EXPECT_EQ(gone, (std::vector<TControl*>{spot}));
  Post(WM_LBUTTONUP, 0, 25, 15);  // reaches the panel, not the freed child
  EXPECT_EQ(mice.lines.back(), String("Panneau haut 25,15"));
  spot = nullptr;
}

TEST_F(MouseTest, AWindowSeeThroughElsewhereIsSolidWhereAWindowlessChildLies) {
  struct TSeeThrough : TCustomControl {
    using TCustomControl::TCustomControl;
    void Dispatch(TMessage& message) override {
      if (message.Msg == WM_NCHITTEST) {
        message.Result = HTTRANSPARENT;
        return;
      }
      TCustomControl::Dispatch(message);
    }
  };
  auto* glass = new TSeeThrough(form.get());
  glass->SetBounds(220, 10, 60, 60);
  glass->SetParent(form.get());
  auto* dot = new TSpot(form.get());
  dot->SetBounds(5, 5, 10, 10);
  dot->SetParent(glass);
  auto hit = [&](int x, int y) {
    TPoint p = glass->ClientToScreen(Point(x, y));
    return SendMessageA(glass->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  };
  EXPECT_EQ(hit(8, 8), HTCLIENT);
  EXPECT_EQ(hit(40, 40), HTTRANSPARENT);
  dot->SetVisible(false);
  EXPECT_EQ(hit(8, 8), HTTRANSPARENT);
}

TEST_F(MouseTest, TheCursorIsTheScreensThenTheChildsThenTheControlsOwn) {
  static std::vector<TCursor> asked;
  static bool asking = false;  // the platform's own cursor questions while the pointer moves do not count
  asked.clear();
  ControlAppHooks().CursorHandle = [](TCursor c) {
    if (asking) asked.push_back(c);
    return LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  };
  static TCursor screen = crDefault;
  ControlAppHooks().ScreenCursor = [] { return screen; };
  spot->SetCursor(crHandPoint);
  panel->SetCursor(crCross);
  auto over = [&](int x, int y) {
    TPoint p = panel->ClientToScreen(Point(x, y));
    // The platform may report the new position only once its display has moved the pointer,
    // and a late report of an earlier move may still come in: settle before asking.
    PumpUntil([&] {
      SetCursorPos(p.x, p.y);
      PumpPending();
      POINT now;
      GetCursorPos(&now);
      return now.x == p.x && now.y == p.y;
    });
    asking = true;
    LRESULT result = SendMessageA(panel->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(panel->Handle()),
                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    asking = false;
    return result;
  };
  EXPECT_EQ(over(30, 15), 1);
  EXPECT_EQ(over(150, 100), 1);
  screen = crHourGlass;
  EXPECT_EQ(over(30, 15), 1);
  screen = crDefault;
  panel->SetCursor(crDefault);
  over(150, 100);  // nothing to ask over the bare panel: the window's default
  EXPECT_EQ(asked, (std::vector<TCursor>{crHandPoint, crCross, crHourGlass}));
}

}  // namespace
}  // namespace tavelo::testing
