// Real input for tests that drive menus on real windows, and the scripts of steps that play
// while a menu's own loop runs.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "actnman/actnmenus.h"
#include "controls/extctrls.h"
#include "controls/tests/control_test_support.h"
#include "dialogs/tests/dialog_test_support.h"

namespace tavelo::testing {

inline TPoint ScreenCenter(TControl* control) {
  return control->ClientToScreen(Point(control->Width() / 2, control->Height() / 2));
}

// A real click of the left button at a screen point. Every event carries the point itself: a
// button event alone would land wherever the pointer was before the move reached the display.
inline void ScreenClick(TPoint p) {
  SetCursorPos(p.x, p.y);
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input[2] = {};
  for (INPUT& i : input) {
    i.type = INPUT_MOUSE;
    i.mi.dx = static_cast<LONG>((p.x * 65536 + width / 2) / width);
    i.mi.dy = static_cast<LONG>((p.y * 65536 + height / 2) / height);
  }
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

inline void PressKey(WORD key) { PressKeys({}, key); }

// Steps a timer plays inside whatever loop is pumping (a menu's own); a step that does not
// come true in time ends the menu and fails.
class TScript : public TObject {
public:
  using TStep = std::function<bool()>;
  explicit TScript(TCustomActionMenuBar* menu = nullptr) : timer_(nullptr) {
    if (menu) menu_ = [menu] { return menu; };
    timer_.SetEnabled(false);
    timer_.SetInterval(15);
    timer_.SetOnTimer(TNotifyEvent::Bind<&TScript::Tick>(this));
  }
  TScript& Then(TStep step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  // The menu to close when a step fails, for a menu that opens only while the script plays.
  void SetMenu(std::function<TCustomActionMenuBar*()> menu) { menu_ = std::move(menu); }
  // Plays every step; false (with the step's number) when one did not come true in time.
  bool Play(DWORD milliseconds = 8000) { return Play({}, milliseconds); }
  // Runs `action` (which may enter a menu's loop) while the steps play.
  bool Play(const std::function<void()>& action, DWORD milliseconds = 8000) {
    start_ = GetTickCount();
    limit_ = milliseconds;
    timer_.SetEnabled(true);
    if (action) action();
    bool finished = PumpUntil([&] { return done_ || failedAt_ >= 0; }, milliseconds + 2000);
    timer_.SetEnabled(false);
    if (failedAt_ >= 0) ADD_FAILURE() << "step " << failedAt_ << " never came true";
    return finished && failedAt_ < 0;
  }

private:
  void Tick(TObject*) {
    if (done_ || failedAt_ >= 0) return;
    if (GetTickCount() - start_ > limit_) {
      failedAt_ = static_cast<int>(next_);
      // Leave the menu so that the loop that plays us returns.
      if (TCustomActionMenuBar* menu = menu_ ? menu_() : nullptr; menu && menu->InMenuLoop())
        menu->CloseMenu();
      else
        PressKey(VK_ESCAPE);
      return;
    }
    while (next_ < steps_.size() && steps_[next_]()) ++next_;
    if (next_ == steps_.size()) done_ = true;
  }
  TTimer timer_;
  std::vector<TStep> steps_;
  std::function<TCustomActionMenuBar*()> menu_;
  std::size_t next_ = 0;
  DWORD start_ = 0, limit_ = 0;
  bool done_ = false;
  int failedAt_ = -1;
};

}  // namespace tavelo::testing
