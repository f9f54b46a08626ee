// The modal loop a menu bar runs while one of its menus is open.
#include "actnman/actnmenus.h"

#include "actnman/actnmsgs.h"
#include "actnman/menuitems.h"
#include "controls/application.h"
#include "core/messages.h"

namespace tavelo {

void SetActiveMenu(TCustomActionMenuBar* menu);

namespace {

bool IsKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }
bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }
bool IsButtonPress(UINT msg) {
  return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
         msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
}

// The control a bar's notice carries: in the second parameter, or in the first as the item
// controls post it.
TCustomActionControl* NoticeControl(const MSG& msg) {
  return reinterpret_cast<TCustomActionControl*>(msg.lParam ? static_cast<std::uintptr_t>(msg.lParam) : msg.wParam);
}

void Deliver(MSG& msg) {
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

}  // namespace

void TCustomActionMenuBar::ProcessPendingMessages() {
  // Only what repaints: anything else waits for the loop that owns it.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
}

TActionClientItem* TCustomActionMenuBar::TrackMenu() {
  if (inMenuLoop_ && menuStack_) return nullptr;
  popupSound_ = MenuSoundPath("MenuPopup");
  commandSound_ = MenuSoundPath("MenuCommand");
  expanded_ = false;
  expandMark_ = false;
  pendingItem_ = nullptr;
  chosen_ = nullptr;
  UINT delay = 400;
  if (ComponentState().Contains(csDesigning)) delay = 1;
  else SystemParametersInfoA(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
  delayTimer_ = std::make_unique<TTimer>(nullptr);
  delayTimer_->SetEnabled(false);
  delayTimer_->SetInterval(std::max<UINT>(delay, 1));
  delayTimer_->SetOnTimer(TNotifyEvent::Bind<&TCustomActionMenuBar::DelayTimerTick>(this));
  menuStack_ = std::make_unique<TMenuStack>();
  menuStack_->Push(this);
  expandTimer_ = std::make_unique<TTimer>(nullptr);
  expandTimer_->SetEnabled(false);
  expandTimer_->SetInterval(static_cast<unsigned>(std::max(expandDelay_, 1)));
  expandTimer_->SetOnTimer(TNotifyEvent::Bind<&TCustomActionMenuBar::ExpandTimerTick>(this));
  inMenuLoop_ = true;
  // Clicks go to the window beneath them, not to whoever held the mouse when the menu opened.
  if (HWND capture = GetCapture(); capture && HandleAllocated() && capture == Handle()) ReleaseCapture();
  HideCaret(nullptr);
  SetActiveMenu(this);

  try {
    while (inMenuLoop_) {
      MSG msg;
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (TApplication* app = Application()) app->Idle(msg);
        else WaitMessage();
        continue;
      }
      if (msg.message == WM_QUIT) {
        // The program's own loop must still see it.
        PostQuitMessage(static_cast<int>(msg.wParam));
        CloseMenu();
        break;
      }
      TCustomActionMenuBar* top = menuStack_->Peek();
      if (InCustomizeMode() && GetCapture() == nullptr) {
        TWinControl* form = GetParentForm(this);
        if (form && GetForegroundWindow() != form->Handle()) {
          Deliver(msg);
          continue;
        }
      }
      switch (msg.message) {
        case WM_CLOSE:
        case FM_RELEASE:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
          CloseMenu();
          ProcessPendingMessages();
          Deliver(msg);
          break;
        case CM_ITEMSELECTED:
          if (auto* control = NoticeControl(msg); MenuOfControl(control))
            ItemSelected(control);
          break;
        case CM_ITEMCLICKED:
          if (auto* control = NoticeControl(msg); MenuOfControl(control))
            if (TActionClientItem* item = ClickItem(control)) chosen_ = item;
          break;
        case CM_ITEMKEYED:
          if (auto* control = NoticeControl(msg); MenuOfControl(control))
            if (TActionClientItem* item = TriggerItem(control)) chosen_ = item;
          break;
        default:
          if (IsKeyMessage(msg.message)) {
            // Accelerators are underlined once the keyboard is in use.
            SetPersistentHotKeys(true);
            if (top) top->Perform(msg.message, msg.wParam, msg.lParam);
          } else if (IsMouseMessage(msg.message)) {
            HandleMouse(msg);
          } else {
            Deliver(msg);
          }
      }
      if (menuStack_) {
        TCustomActionMenuBar* now = menuStack_->Peek();
        if (now && !now->inMenuLoop_) now->CloseMenu();
      }
      FreeReleasedPopups();
    }
  } catch (...) {
    EndTracking();
    throw;
  }
  EndTracking();
  TActionClientItem* chosen = chosen_;
  chosen_ = nullptr;
  return chosen;
}

void TCustomActionMenuBar::EndTracking() {
  if (!menuStack_) return;
  ClosePopupsAbove(this);
  if (inMenuLoop_ || SelectedControl()) CloseMenu();
  inMenuLoop_ = false;
  SetActiveMenu(nullptr);
  animateNext_ = true;
  keyboardOpened_ = false;
  pendingItem_ = nullptr;
  ShowCaret(nullptr);
  delayTimer_.reset();
  expandTimer_.reset();
  FreeReleasedPopups();
  menuStack_.reset();
}

void TCustomActionMenuBar::HandleMouse(MSG& msg) {
  POINT pt = msg.pt;
  if (msg.message != WM_MOUSEWHEEL) {
    // The message's own position, in screen terms (the posted point may lag behind).
    POINT client{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    if (msg.hwnd && ::ClientToScreen(msg.hwnd, &client)) pt = client;
  }
  HWND under = WindowFromPoint(pt);
  TCustomActionControl* hit = nullptr;
  TCustomActionMenuBar* hitMenu = nullptr;
  for (int i = menuStack_->Count() - 1; i >= 0 && !hit; --i) {
    TCustomActionMenuBar* menu = menuStack_->At(i);
    if (!menu->HandleAllocated() || menu->Handle() != under) continue;
    hit = menu->ControlAtScreen(pt);
    hitMenu = menu;
  }
  bool press = IsButtonPress(msg.message);
  if (!hit) {
    if (press && !InCustomizeMode()) {
      // A click outside every menu closes them and still reaches the window beneath it.
      CloseMenu();
      ProcessPendingMessages();
    }
    Deliver(msg);
    return;
  }
  if (hitMenu == this && IsMainMenu() && (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN) &&
      !hit->Selected()) {
    hit->Click();
    return;
  }
  Deliver(msg);
}

// ---- The selection rule and the two timers ----

void TCustomActionMenuBar::ItemSelected(TCustomActionControl* control) {
  pendingItem_ = DynamicCast<TCustomMenuItem>(control) ? control : nullptr;
  if (delayTimer_) {
    delayTimer_->SetEnabled(false);
    delayTimer_->SetEnabled(true);
  }
  TCustomActionMenuBar* top = menuStack_ ? menuStack_->Peek() : nullptr;
  if (top && top->expandable_ && expandTimer_) {
    expandTimer_->SetEnabled(false);
    if (control != top->FirstVisibleControl()) expandMark_ = true;
    if (!InCustomizeMode()) expandTimer_->SetEnabled(true);
  }
}

void TCustomActionMenuBar::DelayTimerTick(TObject* sender) {
  (void)sender;
  if (delayTimer_) delayTimer_->SetEnabled(false);
  TCustomActionControl* pending = pendingItem_;
  if (!pending || !pending->Parent() || !menuStack_) return;
  if (TActionClientItem* item = pending->ActionClient(); item && item->ChildBar()) return;
  TCustomActionMenuBar* menu = MenuOfControl(pending);
  if (!menu) return;
  ClosePopupsAbove(menu);
  POINT p;
  GetCursorPos(&p);
  TPoint local = pending->ScreenToClient(p);
  if (local.x >= 0 && local.y >= 0 && local.x < pending->Width() && local.y < pending->Height())
    OpenSubMenu(menuStack_->Peek(), pending);
}

void TCustomActionMenuBar::ExpandTimerTick(TObject* sender) {
  (void)sender;
  if (expandTimer_) expandTimer_->SetEnabled(false);
  auto* top = menuStack_ ? DynamicCast<TCustomActionPopupMenu>(menuStack_->Peek()) : nullptr;
  if (!top || !top->Expandable()) return;
  if (expandMark_) {
    // Another item was chosen meanwhile: the button only offers itself.
    if (TCustomMenuExpandBtn* button = top->ExpandButton()) {
      button->SetFlat(false);
      button->Invalidate();
    }
    return;
  }
  expanded_ = true;
  top->Expand(true);
}

}  // namespace tavelo
