// The application object, its window and message loop, hints, and the framework's start-up.
#include "controls/application.h"

#include <algorithm>
#include <cstring>

#include "actions/actionapp.h"
#include "actions/customaction.h"
#include "actions/hints.h"
#include "controls/controlconsts.h"
#include "controls/controlsimpl.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"
#include "streaming/fixups.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TApplication)

namespace {

TMouse* mouseObject = nullptr;
TScreen* screenObject = nullptr;
TApplication* applicationObject = nullptr;
TAnimateWindowProc animateWindow = nullptr;
UINT controlObjectMessage = 0;
UINT taskbarCreatedMessage = 0;
std::vector<TApplication::TTerminateProc>& TerminateProcs() {
  static std::vector<TApplication::TTerminateProc> procs;
  return procs;
}

constexpr DWORD kApplicationStyle = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(kApplicationStyle == 0x84CA0000);
constexpr const char* kApplicationClass = "TApplication";

bool OwnThreadWindow(HWND window) {
  return window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

TPoint CursorPosition() {
  POINT p{0, 0};
  GetCursorPos(&p);
  return p;
}

// The control under a screen point, disabled ones included: the window's control, then its
// children down to the deepest one hit.
TControl* FindControlAt(TPoint p) {
  HWND window = WindowFromPoint(p);
  TWinControl* windowed = nullptr;
  while (window && !(windowed = TWinControl::FindControl(window))) window = GetParent(window);
  if (!windowed) return nullptr;
  TControl* result = windowed;
  while (auto* parent = DynamicCast<TWinControl>(result)) {
    TControl* child = parent->ControlAtPos(parent->ScreenToClient(p), true, true);
    if (!child) break;
    result = child;
  }
  return result;
}

// The hint of the nearest control up the chain that has one.
String HintOf(TControl* control) {
  while (control) {
    if (!control->Hint().empty()) return control->Hint();
    control = control->Parent();
  }
  return String();
}

struct TTopMostSearch {
  HWND application = nullptr;
  HWND mainForm = nullptr;
  bool includeMain = false;
  std::vector<HWND> found;
};

BOOL CALLBACK FindTopMost(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TTopMostSearch*>(data);
  if (window != search->application && IsWindowVisible(window) &&
      (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
      (GetWindow(window, GW_OWNER) == search->application || window == search->mainForm) &&
      (search->includeMain || window != search->mainForm))
    search->found.push_back(window);
  return TRUE;
}

struct TTaskWindows {
  HWND except = nullptr;
  std::vector<HWND> disabled;
};

BOOL CALLBACK DisableTaskWindow(HWND window, LPARAM data) {
  auto* task = reinterpret_cast<TTaskWindows*>(data);
  if (window != task->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
    task->disabled.push_back(window);
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

struct TTopWindowSearch {
  HWND except = nullptr;
  HWND application = nullptr;
  HWND plain = nullptr;
  HWND topMost = nullptr;
};

BOOL CALLBACK FindTopWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TTopWindowSearch*>(data);
  if (window == search->except || window == search->application || !IsWindowVisible(window) ||
      !IsWindowEnabled(window))
    return TRUE;
  if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) {
    if (!search->topMost) search->topMost = window;
    return TRUE;
  }
  search->plain = window;
  return FALSE;
}

}  // namespace

std::vector<HWND> DisableTaskWindows(HWND except) {
  TTaskWindows task;
  task.except = except;
  try {
    EnumThreadWindows(GetCurrentThreadId(), &DisableTaskWindow, reinterpret_cast<LPARAM>(&task));
  } catch (...) {
    EnableTaskWindows(task.disabled);
    throw;
  }
  return task.disabled;
}

void EnableTaskWindows(const std::vector<HWND>& windows) {
  for (HWND window : windows)
    if (IsWindow(window)) EnableWindow(window, TRUE);
}

HWND FindTopMostWindow(HWND except) {
  TTopWindowSearch search;
  search.except = except;
  search.application = applicationObject ? applicationObject->Handle() : nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.plain ? search.plain : search.topMost;
}

TAnimateWindowProc AnimateWindowProc() { return animateWindow; }
UINT ControlObjectMessage() { return controlObjectMessage; }
UINT TaskbarCreatedMessage() { return taskbarCreatedMessage; }
TApplication* Application() { return applicationObject; }
TScreen* Screen() { return screenObject; }
TMouse* Mouse() { return mouseObject; }

String ApplicationTitleFromPath(const String& path) {
  String name = path;
  std::size_t slash = name.rfind('\\');
  if (slash != String::npos) name.erase(0, slash + 1);
  std::size_t dot = name.find('.');
  if (dot != String::npos) name.erase(dot);
  if (name.size() > 1) CharLowerBuffA(name.data() + 1, static_cast<DWORD>(name.size() - 1));
  return name;
}

// ---- The application window ----

LRESULT CALLBACK ApplicationWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TApplication* app = applicationObject;
  if (!app || app->handle_ != window) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{msg, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam), 0};
  try {
    app->WndProc(message);
  } catch (...) {
    try {
      app->HandleException(app);
    } catch (...) {
    }
  }
  FreeDeviceContexts();
  return static_cast<LRESULT>(message.Result);
}

TApplication::TApplication(TComponent* owner) : TComponent(owner), icon_(std::make_unique<TIcon>()) {
  char buffer[257] = {};
  GetModuleFileNameA(nullptr, buffer, 256);
  OemToCharA(buffer, buffer);
  title_ = ApplicationTitleFromPath(buffer);
  // A program without the icon resource simply has no icon.
  if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON")) icon_->SetHandle(icon);
  CreateHandle();
}

TApplication::~TApplication() {
  IncludeState(csDestroying);
  // The forms go first: they still talk to the application while they are torn down.
  DestroyComponents();
  CancelHint();
  SetShowHint(false);
  StopHintTimer();
  if (handle_) {
    SendMessageA(handle_, WM_SETICON, ICON_BIG, 0);
    // The last messages of the window go to the platform, not to a half-freed object.
    HWND window = handle_;
    handle_ = nullptr;
    DestroyWindow(window);
  }
}

void TApplication::CreateHandle() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  if (!GetClassInfoA(module, kApplicationClass, &existing)) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = &DefWindowProcA;
    cls.hInstance = module;
    cls.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    cls.lpszClassName = kApplicationClass;
    if (!RegisterClassA(&cls)) throw EOutOfResources(SWindowClass);
  }
  handle_ = CreateWindowExA(0, kApplicationClass, title_.c_str(), kApplicationStyle, GetSystemMetrics(SM_CXSCREEN) / 2,
                            GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr, module, nullptr);
  if (!handle_) RaiseLastOSError();
  title_.clear();
  SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ApplicationWndProc));
  if (!icon_->Empty()) {
    HICON icon = icon_->Handle();
    SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SetClassLongPtrA(handle_, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
  }
  HMENU menu = GetSystemMenu(handle_, FALSE);
  DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
}

String TApplication::Title() const {
  if (!handle_) return title_;
  char buffer[256] = {};
  GetWindowTextA(handle_, buffer, sizeof(buffer));
  return String(buffer);
}

void TApplication::SetTitle(const String& value) {
  if (handle_) {
    if (Title() != value) SetWindowTextA(handle_, value.c_str());
  } else {
    title_ = value;
  }
}

void TApplication::SetHint(const String& value) {
  if (value == hint_) return;
  hint_ = value;
  if (onHint_) {
    onHint_(this);
    return;
  }
  // Whoever shows hints (a status bar) finds the text through an action.
  THintAction action(nullptr);
  action.SetHint(value);
  action.Trigger();
}

void TApplication::SetHintColor(TColor value) {
  if (value == hintColor_) return;
  hintColor_ = value;
  if (hintWindow_) hintWindow_->SetColor(value);
}

void TApplication::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  if (value) {
    hintWindow_ = std::make_unique<THintWindow>(nullptr);
    hintWindow_->SetColor(hintColor_);
  } else {
    CancelHint();
    hintWindow_.reset();
  }
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  // The component may be half torn down already: compare addresses only.
  if (operation != opRemove || !component) return;
  if (component == static_cast<TComponent*>(mainForm_)) mainForm_ = nullptr;
  if (component == static_cast<TComponent*>(mouseControl_)) mouseControl_ = nullptr;
  if (component == static_cast<TComponent*>(hintControl_)) CancelHint();
}

void TApplication::ControlDestroyed(TControl* control) {
  if (!control) return;
  if (static_cast<TControl*>(mainForm_) == control) mainForm_ = nullptr;
  if (mouseControl_ == control) mouseControl_ = nullptr;
  if (hintControl_ == control) {
    CancelHint();
    hintControl_ = nullptr;
  }
  if (screenObject) screenObject->ControlDestroyed(control);
}

// ---- Forms and the loop ----

void TApplication::Initialize() {
  // Other modules register nothing to run here yet.
}

TComponent* TApplication::CreateForm(TClass componentClass) {
  auto* instance = static_cast<TComponent*>(componentClass->Construct(this));
  if (auto* form = DynamicCast<TCustomForm>(instance)) {
    try {
      form->AfterConstruction();
    } catch (...) {
      delete form;
      throw;
    }
  }
  FormCreated(instance);
  return instance;
}

void TApplication::FormCreated(TComponent* instance) {
  auto* form = DynamicCast<TForm>(instance);
  if (!mainForm_ && form) {
    form->HandleNeeded();
    mainForm_ = form;
  }
}

void TApplication::Run() {
  running_ = true;
  try {
    if (mainForm_) {
      STARTUPINFOA startup{};
      startup.cb = sizeof(startup);
      GetStartupInfoA(&startup);
      int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
      if (show == SW_SHOWMAXIMIZED) mainForm_->SetWindowState(wsMaximized);
      // Marked only: the application minimises as a whole below.
      if (show == SW_SHOWMINNOACTIVE) mainForm_->windowState_ = wsMinimized;
      if (showMainForm_) {
        if (mainForm_->WindowState() == wsMinimized)
          Minimize();
        else
          mainForm_->SetVisible(true);
      }
      while (!terminated_) {
        try {
          HandleMessage();
        } catch (...) {
          HandleException(this);
        }
      }
    }
  } catch (...) {
    running_ = false;
    throw;
  }
  running_ = false;
}

void TApplication::Terminate() {
  for (TTerminateProc proc : std::vector<TTerminateProc>(TerminateProcs()))
    if (!proc()) return;
  PostQuitMessage(0);
}

void TApplication::AddTerminateProc(TTerminateProc proc) { TerminateProcs().push_back(proc); }

void TApplication::RemoveTerminateProc(TTerminateProc proc) {
  auto& procs = TerminateProcs();
  procs.erase(std::remove(procs.begin(), procs.end(), proc), procs.end());
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  onMessage_(msg, handled);
  IsHintMsg(msg);
  // The multiple-document check belongs to MDI frames, which this framework does not have.
  if (!handled && !IsKeyMsg(msg) && !IsDlgMsg(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg{};
  if (!ProcessMessage(msg)) Idle(msg);
}

bool TApplication::IsHintMsg(const MSG& msg) {
  if (hintWindow_ && hintWindow_->IsHintMsg(msg)) CancelHint();
  return false;
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND target = GetCapture();
  if (target) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(target, GWLP_HINSTANCE));
    if (instance != GetModuleHandleA(nullptr)) return false;
  } else {
    target = msg.hwnd;
    HWND window = target;
    while (window && !TWinControl::FindControl(window)) window = GetParent(window);
    if (window) target = window;
  }
  return target && SendMessageA(target, Reflected(msg.message), msg.wParam, msg.lParam) != 0;
}

bool TApplication::IsDlgMsg(MSG& msg) {
  return dialogHandle_ && IsDialogMessageA(dialogHandle_, &msg);
}

TControl* TApplication::DoMouseIdle() {
  TControl* control = FindControlAt(CursorPosition());
  if (control && control->ComponentState().Contains(csDesigning)) control = nullptr;
  TControl* capture = GetCaptureControl();
  if (mouseControl_ != control) {
    if (mouseControl_ && (!capture || capture == mouseControl_)) mouseControl_->Perform(FM_MOUSE_LEAVE, 0, 0);
    mouseControl_ = control;
    if (mouseControl_ && (!capture || capture == mouseControl_)) mouseControl_->Perform(FM_MOUSE_ENTER, 0, 0);
  }
  return control;
}

void TApplication::DoActionIdle() {
  if (!screenObject) return;
  for (int i = 0; i < screenObject->CustomFormCount(); ++i) {
    TWinControl* form = screenObject->CustomForms(i);
    if (form->HandleAllocated() && IsWindowVisible(form->Handle()) && IsWindowEnabled(form->Handle()))
      form->RefreshFormActions();
  }
}

void TApplication::Idle(const MSG& msg) {
  (void)msg;
  TControl* control = DoMouseIdle();
  if (showHint_ && !mouseControl_) CancelHint();
  SetHint(LongHintOf(HintOf(control)));
  bool done = true;
  try {
    onIdle_(this, done);
    if (done) DoActionIdle();
  } catch (...) {
    HandleException(this);
  }
  // No other thread queues calls to this one, so there is nothing to run here.
  if (done) WaitMessage();
}

// ---- Exceptions and the message box ----

void TApplication::HandleException(TObject* sender) { HandleException(sender, std::current_exception()); }

void TApplication::HandleException(TObject* sender, std::exception_ptr error) {
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  if (!error) return;
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
  } catch (Exception& e) {
    if (onException_)
      onException_(sender, e);
    else
      ShowException(e);
  } catch (...) {
    MessageBox(ExceptionDisplayText(error), Title(), MB_OK | MB_ICONSTOP);
  }
}

void TApplication::ShowException(const Exception& error) {
  String text = error.Message();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  MessageBox(text, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const String& text, const String& caption, UINT flags) {
  HWND active = GetActiveWindow();
  RECT saved{};
  bool moved = false;
  HMONITOR activeMonitor = active ? ::MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST) : nullptr;
  if (activeMonitor && activeMonitor != ::MonitorFromWindow(handle_, MONITOR_DEFAULTTONEAREST)) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoA(activeMonitor, &info)) {
      GetWindowRect(handle_, &saved);
      SetWindowPos(handle_, nullptr, info.rcWork.left + (info.rcWork.right - info.rcWork.left) / 2,
                   info.rcWork.top + (info.rcWork.bottom - info.rcWork.top) / 2, 0, 0,
                   SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
      moved = true;
    }
  }
  HWND focus = GetFocus();
  std::vector<HWND> disabled = DisableTaskWindows(handle_);
  int result = 0;
  try {
    result = ::MessageBoxA(handle_, text.c_str(), caption.c_str(), flags);
  } catch (...) {
    EnableTaskWindows(disabled);
    throw;
  }
  if (moved)
    SetWindowPos(handle_, nullptr, saved.left, saved.top, 0, 0, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
  EnableTaskWindows(disabled);
  if (active && IsWindow(active)) SetActiveWindow(active);
  if (focus && IsWindow(focus)) ::SetFocus(focus);
  return result;
}

// ---- Windows of the application ----

void TApplication::UpdateVisible() {
  if (!handle_) return;
  bool show = false;
  if (screenObject)
    for (int i = 0; i < screenObject->FormCount() && !show; ++i) show = screenObject->Forms(i)->Visible();
  if (show == (IsWindowVisible(handle_) != 0)) return;
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TApplication::DoNormalizeTopMosts(bool includeMain) {
  if (!handle_) return;
  if (topMostLevel_ == 0) {
    TTopMostSearch search;
    search.application = handle_;
    search.mainForm = mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : nullptr;
    search.includeMain = includeMain;
    EnumThreadWindows(GetCurrentThreadId(), &FindTopMost, reinterpret_cast<LPARAM>(&search));
    topMostList_ = search.found;
    HWND before = GetWindow(handle_, GW_HWNDPREV);
    bool beforeTopMost = before && (GetWindowLongPtrA(before, GWL_EXSTYLE) & WS_EX_TOPMOST);
    for (HWND window : topMostList_) {
      SetWindowPos(window, before && !beforeTopMost && before != window ? before : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      // Not every platform drops the style when a window goes behind a plain one.
      if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST)
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  ++topMostLevel_;
}

void TApplication::NormalizeTopMosts() { DoNormalizeTopMosts(false); }
void TApplication::NormalizeAllTopMosts() { DoNormalizeTopMosts(true); }

void TApplication::RestoreTopMosts() {
  if (!handle_ || topMostLevel_ == 0) return;
  if (topMostLevel_ == 1) {
    for (auto it = topMostList_.rbegin(); it != topMostList_.rend(); ++it)
      if (IsWindow(*it)) SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    topMostList_.clear();
  }
  --topMostLevel_;
}

void TApplication::Minimize() {
  if (!handle_ || IsIconic(handle_)) return;
  NormalizeTopMosts();
  SetActiveWindow(handle_);
  if (mainForm_ && mainForm_->Visible() && mainForm_->Enabled() && mainForm_->HandleAllocated()) {
    // The animation starts from the main form.
    RECT r;
    GetWindowRect(mainForm_->Handle(), &r);
    SetWindowPos(handle_, nullptr, r.left, r.top, r.right - r.left, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    DefWindowProcA(handle_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else {
    ShowWindow(handle_, SW_MINIMIZE);
  }
  onMinimize_(this);
}

void TApplication::Restore() {
  if (!handle_ || !IsIconic(handle_)) return;
  SetActiveWindow(handle_);
  DefWindowProcA(handle_, WM_SYSCOMMAND, SC_RESTORE, 0);
  SetWindowPos(handle_, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (mainForm_ && mainForm_->WindowState() == wsMinimized && !mainForm_->Visible()) {
    mainForm_->SetWindowState(wsNormal);
    mainForm_->Show();
  }
  RestoreTopMosts();
  if (screenObject && screenObject->ActiveControl() && screenObject->ActiveControl()->HandleAllocated())
    ::SetFocus(screenObject->ActiveControl()->Handle());
  onRestore_(this);
}

void TApplication::BringToFront() {
  if (!handle_) return;
  HWND top = GetLastActivePopup(handle_);
  if (top && top != handle_ && IsWindowVisible(top) && IsWindowEnabled(top)) SetForegroundWindow(top);
}

void TApplication::FocusTopMostWindow() {
  HWND found = FindTopMostWindow(nullptr);
  if (found && (!hintWindow_ || !hintWindow_->HandleAllocated() || found != hintWindow_->Handle())) ::SetFocus(found);
}

void TApplication::DisableAppWindows() {
  if (appDisabled_) return;
  appDisabled_ = true;
  disabledWindows_ = DisableTaskWindows(handle_);
}

void TApplication::EnableAppWindows() {
  if (!appDisabled_) return;
  appDisabled_ = false;
  EnableTaskWindows(disabledWindows_);
  disabledWindows_.clear();
}

void TApplication::HookMainWindow(TWindowHook proc, void* data) {
  windowHooks_.push_back(TWindowHookRecord{proc, data});
}

void TApplication::UnhookMainWindow(TWindowHook proc, void* data) {
  auto it = std::find_if(windowHooks_.begin(), windowHooks_.end(),
                         [&](const TWindowHookRecord& r) { return r.Proc == proc && r.Data == data; });
  if (it != windowHooks_.end()) windowHooks_.erase(it);
}

bool TApplication::IsShortCut(TMessage& key) {
  bool handled = false;
  onShortCut_(key, handled);
  if (!handled && mainForm_ && IsWindowEnabled(mainForm_->Handle())) handled = mainForm_->IsShortCut(key);
  return handled;
}

void TApplication::AppSysCommand(TMessage& message) {
  if (!mainForm_ || !mainForm_->HandleAllocated()) return;
  HWND form = mainForm_->Handle();
  if (!IsWindowEnabled(form) || !IsWindowVisible(form)) return;
  HWND previous = GetFocus();
  bool suspended = FocusMessagesSuspended();
  FocusMessagesSuspended() = true;
  try {
    ::SetFocus(form);
    mainForm_->Perform(WM_SYSCOMMAND, message.WParam, message.LParam);
    if (previous && IsWindow(previous)) ::SetFocus(previous);
  } catch (...) {
    FocusMessagesSuspended() = suspended;
    throw;
  }
  FocusMessagesSuspended() = suspended;
  message.Result = 1;
}

void TApplication::SettingChange(TMessage& message) {
  if (updateFormatSettings_) SetThreadLocale(LOCALE_USER_DEFAULT);
  if (updateMetricSettings_ && screenObject) {
    bool hints = showHint_;
    SetShowHint(false);
    screenObject->GetMetricSettings();
    SetShowHint(hints);
  }
  if (message.Msg == taskbarCreatedMessage && screenObject) screenObject->ResetFonts();
}

bool TApplication::ExecuteAction(TBasicAction* action) {
  bool handled = false;
  onActionExecute_(action, handled);
  return handled;
}

bool TApplication::UpdateAction(TBasicAction* action) {
  bool handled = false;
  onActionUpdate_(action, handled);
  return handled;
}

void TApplication::DefaultHandler(TMessage& message) {
  if (!handle_) return;
  message.Result = DefWindowProcA(handle_, message.Msg, static_cast<WPARAM>(message.WParam),
                                  static_cast<LPARAM>(message.LParam));
}

void TApplication::WndProc(TMessage& message) {
  // Hooks may add or remove hooks: walk a copy.
  for (const TWindowHookRecord& hook : std::vector<TWindowHookRecord>(windowHooks_))
    if (hook.Proc(hook.Data, message)) return;
  if (message.Msg == WM_WININICHANGE || (taskbarCreatedMessage && message.Msg == taskbarCreatedMessage))
    SettingChange(message);
  switch (message.Msg) {
    case WM_NULL:
      break;
    case WM_SETFOCUS:
      PostMessageA(handle_, FM_ENTER, 0, 0);
      DefaultHandler(message);
      break;
    case FM_ENTER:
      if (!IsIconic(handle_) && GetFocus() == handle_) FocusTopMostWindow();
      break;
    case WM_ENABLE:
      if (message.WParam) {
        RestoreTopMosts();
        EnableAppWindows();
        DefaultHandler(message);
      } else {
        DefaultHandler(message);
        DisableAppWindows();
        NormalizeAllTopMosts();
      }
      break;
    case WM_PAINT:
      if (IsIconic(handle_)) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(handle_, &ps);
        if (!icon_->Empty()) DrawIcon(dc, 0, 0, icon_->Handle());
        EndPaint(handle_, &ps);
      } else {
        DefaultHandler(message);
      }
      break;
    case WM_ERASEBKGND:
      message.Msg = WM_ICONERASEBKGND;
      DefaultHandler(message);
      break;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      break;
    case WM_ENDSESSION:
      if (message.WParam) terminated_ = true;
      break;
    case WM_WININICHANGE: {
      if (mouseObject) mouseObject->SettingChanged(static_cast<int>(message.WParam));
      int result = 0;
      String section = message.LParam ? String(reinterpret_cast<const char*>(message.LParam)) : String();
      onSettingChange_(this, static_cast<int>(message.WParam), section, result);
      DefaultHandler(message);
      break;
    }
    case WM_ACTIVATEAPP:
      DefaultHandler(message);
      active_ = message.WParam != 0;
      if (active_) {
        RestoreTopMosts();
        PostMessageA(handle_, FM_ACTIVATE, 0, 0);
      } else {
        NormalizeTopMosts();
        PostMessageA(handle_, FM_DEACTIVATE, 0, 0);
      }
      break;
    case FM_ACTIVATE:
      onActivate_(this);
      break;
    case FM_DEACTIVATE:
      onDeactivate_(this);
      break;
    case WM_FONTCHANGE:
      if (screenObject) screenObject->ResetFonts();
      DefaultHandler(message);
      break;
    case WM_QUERYDRAGICON:
      message.Result = icon_->Empty() ? 0 : reinterpret_cast<std::intptr_t>(icon_->Handle());
      break;
    case WM_SYSCOMMAND:
      switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          break;
        case SC_RESTORE:
          Restore();
          break;
        default:
          DefaultHandler(message);
      }
      break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      message.Result = SendMessageA(reinterpret_cast<HWND>(message.LParam), Reflected(message.Msg),
                                    static_cast<WPARAM>(message.WParam), static_cast<LPARAM>(message.LParam));
      break;
    case FM_APP_KEY_DOWN: {
      // WParam and LParam are the key's code and data, as in WM_KEYDOWN.
      TMessage key{WM_KEYDOWN, message.WParam, message.LParam, 0};
      if (IsShortCut(key)) message.Result = 1;
      break;
    }
    case FM_APP_SYS_COMMAND:
      AppSysCommand(message);
      break;
    case FM_WINDOW_HOOK: {
      auto* record = reinterpret_cast<TWindowHookRecord*>(message.LParam);
      if (record) {
        if (message.WParam == 0)
          HookMainWindow(record->Proc, record->Data);
        else if (message.WParam == 1)
          UnhookMainWindow(record->Proc, record->Data);
      }
      break;
    }
    case FM_DIALOG_HANDLE:
      if (message.WParam == 1)
        message.Result = reinterpret_cast<std::intptr_t>(dialogHandle_);
      else
        dialogHandle_ = reinterpret_cast<HWND>(message.LParam);
      break;
    case FM_ACTION_UPDATE:
    case FM_ACTION_EXECUTE:
      RouteActionToForms(message, screenObject ? screenObject->ActiveForm() : nullptr, mainForm_);
      break;
    default:
      DefaultHandler(message);
  }
}

// ---- Hints ----

void CALLBACK HintTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  TApplication* app = applicationObject;
  if (!app || app->hintTimerId_ != id) {
    KillTimer(nullptr, id);
    return;
  }
  // The platform calls this from the loop's dispatch: nothing may unwind through it.
  try {
    app->HintTimerExpired();
  } catch (...) {
    try {
      app->HandleException(app);
    } catch (...) {
    }
  }
}


void TApplication::StartHintTimer(int value, bool showMode) {
  StopHintTimer();
  hintTimerId_ = SetTimer(nullptr, 0, static_cast<UINT>(std::max(value, 0)), &HintTimerProc);
  hintTimerShows_ = showMode;
  if (!hintTimerId_) CancelHint();
}

void TApplication::StopHintTimer() {
  if (!hintTimerId_) return;
  KillTimer(nullptr, hintTimerId_);
  hintTimerId_ = 0;
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  if (hintTimerShows_)
    ActivateHint(CursorPosition());
  else if (hintWindow_)
    hintWindow_->HideHint();
}

void TApplication::CancelHint() {
  if (!hintControl_) return;
  if (hintWindow_) hintWindow_->HideHint();
  hintControl_ = nullptr;
  hintActive_ = false;
  StopHintTimer();
}

TControl* TApplication::HintControlAt(TControl* control, TPoint clientPos) {
  if (auto* windowed = DynamicCast<TWinControl>(control))
    if (TControl* child = windowed->ControlAtPos(clientPos, true)) control = child;
  while (control && !control->ShowHint()) control = control->Parent();
  if (control && control->ComponentState().Contains(csDesigning)) return nullptr;
  return control;
}

void TApplication::HintMouseMessage(TControl* control, TMessage& message) {
  TPoint clientPos{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
  TControl* newHint = HintControlAt(control, clientPos);
  if (!newHint) {
    CancelHint();
    return;
  }
  TPoint screenPos = control->ClientToScreen(clientPos);
  if (newHint == hintControl_ && PtInRect(&hintCursorRect_, screenPos)) return;
  bool showing = hintActive_;
  int pause = showing ? hintShortPause_ : hintPause_;
  newHint->Perform(FM_HINT_SHOW_PAUSE, showing ? 1 : 0, reinterpret_cast<std::intptr_t>(&pause));
  if (showing && pause == 0) {
    hintControl_ = newHint;
    ActivateHint(screenPos);
  } else {
    CancelHint();
    hintControl_ = newHint;
    StartHintTimer(pause, true);
  }
}

int TApplication::CursorHeightMargin() {
  int fallback = GetSystemMetrics(SM_CYCURSOR);
  HCURSOR cursor = GetCursor();
  ICONINFO info{};
  if (!cursor || !GetIconInfo(cursor, &info)) return fallback;
  int result = fallback;
  BITMAP mask{};
  if (info.hbmMask && GetObjectA(info.hbmMask, sizeof(mask), &mask)) {
    // A monochrome cursor's mask holds the AND half over the XOR half.
    bool monochrome = info.hbmColor == nullptr;
    int width = mask.bmWidth;
    int height = monochrome ? mask.bmHeight / 2 : mask.bmHeight;
    int stride = ((width + 31) / 32) * 4;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) * static_cast<std::size_t>(mask.bmHeight));
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colors[2];
    } bmi{};
    bmi.header.biSize = sizeof(BITMAPINFOHEADER);
    bmi.header.biWidth = width;
    bmi.header.biHeight = -mask.bmHeight;  // top-down
    bmi.header.biPlanes = 1;
    bmi.header.biBitCount = 1;
    HDC dc = GetDC(nullptr);
    int lines = GetDIBits(dc, info.hbmMask, 0, static_cast<UINT>(mask.bmHeight), bits.data(),
                          reinterpret_cast<BITMAPINFO*>(&bmi), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (lines == mask.bmHeight) {
      auto bit = [&](int x, int y) {
        return (bits[static_cast<std::size_t>(y * stride + x / 8)] >> (7 - x % 8)) & 1;
      };
      int last = -1;
      for (int y = height - 1; y >= 0 && last < 0; --y)
        for (int x = 0; x < width; ++x) {
          // Visible: the AND mask keeps nothing of the screen, or the XOR half changes it.
          bool visible = bit(x, y) == 0 || (monochrome && bit(x, y + height) == 1);
          if (visible) {
            last = y;
            break;
          }
        }
      result = last < 0 ? 0 : std::max(0, last + 1 - static_cast<int>(info.yHotspot));
    }
  }
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return result;
}

void TApplication::ActivateHint(TPoint cursorPos) {
  StopHintTimer();
  if (!showHint_ || !hintControl_ || !OwnThreadWindow(GetActiveWindow())) return;
  TControl* under = FindControlAt(cursorPos);
  while (under && !under->ShowHint()) under = under->Parent();
  if (under != hintControl_) {
    CancelHint();
    return;
  }
  THintInfo info;
  info.HintControl = hintControl_;
  info.HintWindowClass = THintWindow::StaticClass();
  info.HintPos = Point(cursorPos.x, cursorPos.y + CursorHeightMargin());
  info.HintMaxWidth = screenObject ? screenObject->Width() : GetSystemMetrics(SM_CXSCREEN);
  info.HintColor = hintColor_;
  info.CursorRect = Rect(0, 0, hintControl_->Width(), hintControl_->Height());
  info.CursorPos = hintControl_->ScreenToClient(cursorPos);
  info.HintStr = ShortHintOf(HintOf(hintControl_));
  hintControl_->PrepareActionHint(info.HintStr);  // the action's shortcut text, when wanted
  info.ReshowTimeout = 0;
  info.HideTimeout = hintHidePause_;
  info.HintData = nullptr;
  bool canShow = hintControl_->Perform(FM_HINT_SHOW, 0, reinterpret_cast<std::intptr_t>(&info)) == 0;
  if (canShow) onShowHint_(info.HintStr, canShow, info);
  hintActive_ = canShow && !info.HintStr.empty();
  if (hintActive_ && hintWindow_) {
    TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(&r, info.HintPos.x, info.HintPos.y);
    TPoint topLeft = hintControl_->ClientToScreen(Point(info.CursorRect.left, info.CursorRect.top));
    TPoint bottomRight = hintControl_->ClientToScreen(Point(info.CursorRect.right, info.CursorRect.bottom));
    hintCursorRect_ = Rect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    hintWindow_->SetColor(info.HintColor);
    hintWindow_->ActivateHintData(r, info.HintStr, info.HintData);
    if (info.ReshowTimeout <= 0)
      StartHintTimer(info.HideTimeout, false);
    else
      StartHintTimer(info.ReshowTimeout, true);
  } else if (info.ReshowTimeout <= 0) {
    CancelHint();
  } else {
    StartHintTimer(info.ReshowTimeout, true);
  }
}

// ---- Start-up ----

namespace {

void WindowException(std::exception_ptr error) {
  if (applicationObject) applicationObject->HandleException(applicationObject, error);
}

void HookHintMouseMessage(TControl* control, TMessage& message) {
  if (applicationObject) applicationObject->HintMouseMessage(control, message);
}
TCursor HookScreenCursor() { return screenObject ? screenObject->Cursor() : crDefault; }
HCURSOR HookCursorHandle(TCursor cursor) {
  return screenObject ? screenObject->Cursors(cursor) : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
}
bool HookHintShortCuts() { return applicationObject && applicationObject->HintShortCuts(); }
HWND HookApplicationWindow() { return applicationObject ? applicationObject->Handle() : nullptr; }
void HookControlDestroyed(TControl* control) {
  if (applicationObject)
    applicationObject->ControlDestroyed(control);
  else if (screenObject)
    screenObject->ControlDestroyed(control);
}
bool HookExecuteAction(TBasicAction* action) { return applicationObject && applicationObject->ExecuteAction(action); }
bool HookUpdateAction(TBasicAction* action) { return applicationObject && applicationObject->UpdateAction(action); }
std::intptr_t HookSendToApplication(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (!applicationObject || !applicationObject->Handle()) return 0;
  return SendMessageA(applicationObject->Handle(), msg, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

}  // namespace

void StartControls() {
  if (applicationObject) return;
  // 1. The atoms naming the window properties, and the message asking a window for its control.
  controls_impl::Atoms();
  char name[64];
  wsprintfA(name, "ControlOfs%.8X%.8X", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))),
            static_cast<unsigned>(GetCurrentThreadId()));
  controlObjectMessage = RegisterWindowMessageA(name);
  // 2. The mouse, the screen, the application, in that order; then hints on.
  auto mouse = std::make_unique<TMouse>();
  mouseObject = mouse.get();
  auto screen = std::make_unique<TScreen>(nullptr);
  screenObject = screen.get();
  try {
    applicationObject = new TApplication(nullptr);
  } catch (...) {
    screenObject = nullptr;
    mouseObject = nullptr;
    throw;
  }
  mouse.release();
  screen.release();
  TControlAppHooks& controls = ControlAppHooks();
  controls.HintMouseMessage = &HookHintMouseMessage;
  controls.ScreenCursor = &HookScreenCursor;
  controls.CursorHandle = &HookCursorHandle;
  controls.ApplicationWindow = &HookApplicationWindow;
  controls.ControlDestroyed = &HookControlDestroyed;
  SetWindowExceptionHandler(&WindowException);
  TActionAppHooks& actions = ActionAppHooks();
  actions.ExecuteAction = &HookExecuteAction;
  actions.UpdateAction = &HookUpdateAction;
  actions.SendToApplication = &HookSendToApplication;
  actions.HintShortCuts = &HookHintShortCuts;
  applicationObject->SetShowHint(true);
  // 3. The cursor names for streaming.
  TavIntegerTypeInfo(static_cast<TCursor*>(nullptr));
  // 4. The window animation, when the platform has it.
  if (HMODULE user = GetModuleHandleA("USER32"))
    animateWindow = reinterpret_cast<TAnimateWindowProc>(reinterpret_cast<void*>(GetProcAddress(user, "AnimateWindow")));
  // 5. The shell's message for a task bar that came back.
  taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  // References to components of other windows find the windows by name.
  RegisterFindGlobalComponentProc(&FindGlobalForm);
}

void StopControls() {
  if (!applicationObject) return;
  TApplication* app = applicationObject;
  // The application's owned pop-ups go out of sight before the forms are freed.
  if (app->Handle()) ShowOwnedPopups(app->Handle(), FALSE);
  app->SetShowHint(false);
  UnregisterFindGlobalComponentProc(&FindGlobalForm);
  delete app;
  applicationObject = nullptr;
  ControlAppHooks() = TControlAppHooks{};
  SetWindowExceptionHandler(nullptr);
  ActionAppHooks() = TActionAppHooks{};
  delete screenObject;
  screenObject = nullptr;
  delete mouseObject;
  mouseObject = nullptr;
  animateWindow = nullptr;
}

}  // namespace tavelo
