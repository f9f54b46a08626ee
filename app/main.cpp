// The program entry: for now a plain main window captioned "Tavelo".
#include <windows.h>

#include "core/exceptions.h"

namespace {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

int Run(HINSTANCE instance, int show) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "TaveloMainWindow";
  if (!::RegisterClassA(&windowClass)) tavelo::RaiseLastOSError();
  HWND window = ::CreateWindowExA(0, windowClass.lpszClassName, "Tavelo", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
  if (!window) tavelo::RaiseLastOSError();
  ::ShowWindow(window, show);
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  try {
    return Run(instance, show);
  } catch (...) {
    tavelo::ShowLastResort(std::current_exception());
    return 1;
  }
}
