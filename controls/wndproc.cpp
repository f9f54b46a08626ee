// The window procedures every control window runs through, and the links between windows and
// controls.
#include "controls/controls.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "controls/controlconsts.h"
#include "controls/controlsimpl.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"

namespace tavelo {

using namespace controls_impl;

namespace controls_impl {

namespace {
struct TOwnedAtoms : TControlAtoms {
  TOwnedAtoms() {
    char name[64];
    wsprintfA(name, "Quenda%.8X", static_cast<unsigned>(GetCurrentProcessId()));
    window = GlobalAddAtomA(name);
    wsprintfA(name, "ControlOfs%.8X%.8X",
              static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))),
              static_cast<unsigned>(GetCurrentThreadId()));
    control = GlobalAddAtomA(name);
  }
  ~TOwnedAtoms() {
    if (window) GlobalDeleteAtom(window);
    if (control) GlobalDeleteAtom(control);
  }
};

TWindowExceptionHandler exceptionHandler = nullptr;

std::unordered_map<HWND, TWinControl*>& BoundWindows() {
  thread_local std::unordered_map<HWND, TWinControl*> windows;
  return windows;
}
}  // namespace

void BindWindow(HWND window, TWinControl* control) { BoundWindows()[window] = control; }
void UnbindWindow(HWND window) { BoundWindows().erase(window); }

TControlAtoms& Atoms() {
  static TOwnedAtoms atoms;
  return atoms;
}

TWinControl*& CreationControl() {
  thread_local TWinControl* control = nullptr;
  return control;
}

void HandleWindowException(std::exception_ptr error) {
  if (exceptionHandler) {
    // The handler is the last stop: nothing may escape into the platform from it either.
    try {
      exceptionHandler(error);
    } catch (...) {
    }
    return;
  }
  String text = ExceptionDisplayText(error);
  MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace controls_impl

void SetWindowExceptionHandler(TWindowExceptionHandler handler) { controls_impl::exceptionHandler = handler; }

String ExceptionDisplayText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return String(e.what());
  } catch (...) {
    return String();
  }
}

// Every window of a control ends here: the control's procedure runs inside a guard, so no
// exception unwinds through the platform's frames, and cached contexts go back afterwards.
LRESULT CALLBACK ControlMainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = TWinControl::FindControl(window);
  if (!control) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{msg, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam), 0};
  try {
    control->WindowProc(message);
  } catch (...) {
    HandleWindowException(std::current_exception());
  }
  // A window destroyed behind the control's back must not leave its handle bound.
  if (msg == WM_NCDESTROY) UnbindWindow(window);
  FreeDeviceContexts();
  return static_cast<LRESULT>(message.Result);
}

// The first message of a new window binds it to the control being created.
LRESULT CALLBACK ControlInitWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = CreationControl();
  if (!control) return DefWindowProcA(window, msg, wParam, lParam);
  CreationControl() = nullptr;
  control->handle_ = window;
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlMainWndProc));
  if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) && GetWindowLongPtrA(window, GWLP_ID) == 0)
    SetWindowLongPtrA(window, GWLP_ID, reinterpret_cast<LONG_PTR>(window));
  SetPropA(window, AtomName(Atoms().control), control);
  SetPropA(window, AtomName(Atoms().window), control);
  BindWindow(window, control);
  return ControlMainWndProc(window, msg, wParam, lParam);
}

TWinControl* TWinControl::FindControl(HWND window) {
  if (!window) return nullptr;
  auto& bound = BoundWindows();
  if (auto it = bound.find(window); it != bound.end()) return it->second;
  return static_cast<TWinControl*>(GetPropA(window, AtomName(Atoms().control)));
}
TControlAppHooks& ControlAppHooks() {
  static TControlAppHooks hooks;
  return hooks;
}

namespace {
TControl* captureControl = nullptr;
}  // namespace

TControl* GetCaptureControl() {
  HWND window = GetCapture();
  TWinControl* windowed = TWinControl::FindControl(window);
  if (!windowed) return nullptr;
  if (captureControl && captureControl->Parent() == windowed) return captureControl;
  return windowed;
}

void controls_impl::ForgetCaptureControl(TControl* control) {
  if (control && captureControl == control) SetCaptureControl(nullptr);
}

void SetCaptureControl(TControl* control) {
  ReleaseCapture();
  captureControl = nullptr;
  if (!control) return;
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    SetCapture(windowed->Handle());
    return;
  }
  if (control->Parent()) {
    captureControl = control;
    SetCapture(control->Parent()->Handle());
  }
}

}  // namespace tavelo
