// The thread hooks of the menu bars: Alt and Alt+letter reach the bars through the hook on
// messages taken from the queue; activation changes, moves and minimising close the open
// menus through the hook on messages sent to the thread's windows.
#include <windows.h>

#include "actnman/actnmenus.h"
#include "actnman/actnmsgs.h"
#include "controls/forms.h"

namespace tavelo {

namespace {

HHOOK getMessageHook = nullptr;
HHOOK callWndProcHook = nullptr;
TCustomActionMenuBar* activeMenu = nullptr;

TWinControl* FormOf(TCustomActionMenuBar* bar) { return GetParentForm(bar); }

bool FormEnabled(TCustomActionMenuBar* bar) {
  TWinControl* form = FormOf(bar);
  return form && form->HandleAllocated() && IsWindowEnabled(form->Handle());
}

bool IsMainBar(TCustomActionMenuBar* bar) { return DynamicCast<TCustomActionMainMenuBar>(bar) != nullptr; }

void Swallow(MSG* msg) {
  msg->hwnd = nullptr;
  msg->message = WM_NULL;
}

// Closes the active menu's session and forgets it.
void CloseActiveMenu() {
  TCustomActionMenuBar* menu = activeMenu;
  if (!menu) return;
  if (menu->InMenuLoop()) {
    menu->CloseMenu();
    menu->ProcessPendingMessages();
  } else {
    menu->DeselectAll();
  }
  activeMenu = nullptr;
}

void HandleQueuedMessage(MSG* msg) {
  switch (msg->message) {
    case WM_SYSKEYDOWN:
      if (msg->wParam != VK_MENU) return;
      if (!activeMenu) {
        for (TCustomActionMenuBar* bar : TMenuList::Items()) {
          if (!IsMainBar(bar) || !bar->Visible() || !FormEnabled(bar)) continue;
          activeMenu = bar;
          bar->SetPersistentHotKeys(true);
          Swallow(msg);
          return;
        }
        return;
      }
      if (activeMenu->InCustomizeMode()) return;
      if (activeMenu->InMenuLoop()) {
        TCustomActionMenuBar* menu = activeMenu;
        menu->CloseMenu();
        menu->ProcessPendingMessages();
      }
      // The key's repeats, too, never reach the window's own Alt handling.
      Swallow(msg);
      return;
    case WM_SYSKEYUP: {
      TCustomActionMenuBar* menu = activeMenu;
      if (!menu || menu->InMenuLoop() || menu->InCustomizeMode() || msg->wParam == VK_SPACE) return;
      if (msg->wParam == VK_MENU) menu->SelectControl(menu->FirstVisibleControl());
      if (menu->HandleAllocated()) PostMessageA(menu->Handle(), CM_ENTERMENULOOP, 0, 0);
      Swallow(msg);
      return;
    }
    case WM_SYSCHAR: {
      char key = static_cast<char>(msg->wParam);
      for (TCustomActionMenuBar* bar : TMenuList::Items()) {
        if (!IsMainBar(bar) || !bar->Visible() || !bar->HandleAllocated() || bar->InMenuLoop()) continue;
        TCustomActionControl* control = bar->AcceleratorControl(key);
        if (!control || !FormEnabled(bar)) continue;
        activeMenu = bar;
        if (TWinControl* form = FormOf(bar); form && GetActiveWindow() != form->Handle())
          SetActiveWindow(form->Handle());
        control->ItemTriggered();
        PostMessageA(bar->Handle(), CM_ENTERMENULOOP, 0, 0);
        // Alt+Space still opens the window menu.
        if (key != ' ') Swallow(msg);
        return;
      }
      return;
    }
    default:
      return;
  }
}

LRESULT CALLBACK MenuGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    try {
      HandleQueuedMessage(reinterpret_cast<MSG*>(lParam));
    } catch (...) {
      // No exception crosses the platform's frames; the key simply goes on.
    }
  }
  return CallNextHookEx(getMessageHook, code, wParam, lParam);
}

void HandleSentMessage(const CWPSTRUCT& sent) {
  switch (sent.message) {
    case WM_ACTIVATEAPP:
      CloseActiveMenu();
      for (TCustomActionMenuBar* bar : TMenuList::Items())
        if (auto* main = DynamicCast<TCustomActionMainMenuBar>(bar)) main->SetAppInactive(sent.wParam == 0);
      return;
    case WM_WINDOWPOSCHANGING: {
      if (!activeMenu) return;
      TWinControl* form = FormOf(activeMenu);
      auto* pos = reinterpret_cast<const WINDOWPOS*>(sent.lParam);
      if (!form || !form->HandleAllocated() || sent.hwnd != form->Handle() || !pos) return;
      if (!(pos->flags & SWP_NOMOVE) || (pos->flags & SWP_HIDEWINDOW)) CloseActiveMenu();
      return;
    }
    case WM_SYSCOMMAND: {
      if (!activeMenu || (sent.wParam & 0xFFF0) != SC_MINIMIZE) return;
      TWinControl* form = FormOf(activeMenu);
      if (form && form->HandleAllocated() && sent.hwnd == form->Handle() && activeMenu->InMenuLoop())
        activeMenu->CloseMenu();
      return;
    }
    default:
      return;
  }
}

LRESULT CALLBACK MenuCallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    try {
      HandleSentMessage(*reinterpret_cast<const CWPSTRUCT*>(lParam));
    } catch (...) {
      // As above: the message goes on to its window whatever happened here.
    }
  }
  return CallNextHookEx(callWndProcHook, code, wParam, lParam);
}

}  // namespace

TCustomActionMenuBar* ActiveMenu() { return activeMenu; }
void SetActiveMenu(TCustomActionMenuBar* menu) { activeMenu = menu; }

void ForgetActiveMenu(TCustomActionMenuBar* menu) {
  if (activeMenu == menu) activeMenu = nullptr;
}

void InstallMenuHooks() {
  DWORD thread = GetCurrentThreadId();
  if (!getMessageHook) getMessageHook = SetWindowsHookExA(WH_GETMESSAGE, &MenuGetMessageHook, nullptr, thread);
  if (!callWndProcHook) callWndProcHook = SetWindowsHookExA(WH_CALLWNDPROC, &MenuCallWndProcHook, nullptr, thread);
}

void RemoveMenuHooks() {
  if (getMessageHook) UnhookWindowsHookEx(getMessageHook);
  if (callWndProcHook) UnhookWindowsHookEx(callWndProcHook);
  getMessageHook = nullptr;
  callWndProcHook = nullptr;
  activeMenu = nullptr;
}

}  // namespace tavelo
