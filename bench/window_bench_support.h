// What the Windows benchmarks of controls share: a precise clock and a top-level parent
// window that may show, as a form would be.
#pragma once

#include <windows.h>

#include "controls/controls.h"

namespace tavelo::bench {

inline double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Now() {
  LARGE_INTEGER zero{}, now;
  ::QueryPerformanceCounter(&now);
  return Seconds(zero, now);
}

// Lets the windows handle what their creation and destruction queued.
inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class TBenchHost : public TCustomControl {
public:
  explicit TBenchHost(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(0, 0, 800, 600);
  }
  void Open() { UpdateControlState(); }

protected:
  bool IsForm() const override { return true; }
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_VISIBLE;
    params.WndParent = nullptr;
  }
};

}  // namespace tavelo::bench
