// The smallest editor the platform alone makes: one captioned window holding a multi-line
// edit window above a status bar. editor_bench starts it as it starts the editor, to compare
// the time each takes to its first paint.
#include <windows.h>
#include <commctrl.h>

namespace {

HWND edit = nullptr;
HWND status = nullptr;

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 0, 0, window,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
      status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
      SendMessageA(edit, EM_LIMITTEXT, 0, 0);
      return 0;
    case WM_SIZE: {
      SendMessageA(status, WM_SIZE, 0, 0);
      RECT bar;
      GetWindowRect(status, &bar);
      int height = bar.bottom - bar.top;
      MoveWindow(edit, 0, 0, LOWORD(lparam), HIWORD(lparam) > height ? HIWORD(lparam) - height : 0, TRUE);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &BareProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "BareEditor";
  if (!RegisterClassA(&windowClass)) return 1;
  // The same caption as the editor's main window, so that both are found the same way.
  HWND window = CreateWindowExA(0, "BareEditor", "Tavelo", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                480, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
