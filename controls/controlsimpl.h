// What the control sources share and nobody else may use: the atoms linking windows to
// controls, the control being created, the guarded exception route and the paint binding.
#pragma once

#include <windows.h>

#include <exception>

#include "graphics/canvas.h"

namespace tavelo {

class TControl;
class TWinControl;

// The window procedure every control window gets at creation, and the one that replaces it
// once the window is bound to its control.
LRESULT CALLBACK ControlInitWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ControlMainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

namespace controls_impl {

struct TControlAtoms {
  ATOM window = 0;
  ATOM control = 0;
};
// Registered on first use; deleted when the process ends so no global atom outlives it.
TControlAtoms& Atoms();
inline const char* AtomName(ATOM atom) {
  return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(atom));
}

// A control going away stops being the remembered capture control (and gives the capture up).
void ForgetCaptureControl(TControl* control);

// The control whose window CreateWindowEx is making; its first message binds the two.
TWinControl*& CreationControl();

// The controls of this thread's windows, kept beside the window properties so that finding
// the control of each message's window needs no call to the platform.
void BindWindow(HWND window, TWinControl* control);
void UnbindWindow(HWND window);

// Hands an exception raised under a window procedure to the installed handler, never back
// to the platform.
void HandleWindowException(std::exception_ptr error);

inline int MulDivInt(int number, int numerator, int denominator) {
  return denominator == 0 ? number : MulDiv(number, numerator, denominator);
}

// Lends a paint's context to a control's canvas, locked, and takes it back whatever happens.
class TPaintBinding {
public:
  TPaintBinding(TCanvas& canvas, HDC dc) : canvas_(canvas) {
    canvas_.Lock();
    try {
      canvas_.SetHandle(dc);
    } catch (...) {
      Release();
      throw;
    }
  }
  ~TPaintBinding() { Release(); }
  TPaintBinding(const TPaintBinding&) = delete;
  TPaintBinding& operator=(const TPaintBinding&) = delete;

private:
  void Release() {
    canvas_.SetHandle(nullptr);
    canvas_.Unlock();
  }
  TCanvas& canvas_;
};

}  // namespace controls_impl
}  // namespace tavelo
