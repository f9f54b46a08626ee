// TApplication: the program's one application object. It owns the hidden window that stands
// for the program on the task bar and owns every form, runs the message loop, routes keys to
// shortcuts and dialogs, does the idle work (mouse tracking, hints, action updates) and shows
// the exceptions that reach the loop.
//
// The framework's objects are made by StartControls() (or a TControlsSession) in a fixed
// order: the window atoms, the mouse, the screen, the application with hints on; they are
// reached through Application(), Screen() and Mouse(), and StopControls() frees them in the
// reverse order after the application has freed its forms.
#pragma once

#include <windows.h>
// The application has its own MessageBox; the platform header makes that name a macro.
#undef MessageBox

#include <exception>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "controls/controls.h"
#include "controls/forms.h"
#include "controls/hintwindow.h"
#include "controls/screen.h"
#include "actions/actionlist.h"
#include "graphics/icon.h"

namespace tavelo {

class TBasicAction;

// What a control and the show-hint event may change about a hint about to show.
struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;
  TPoint HintPos{0, 0};  // screen coordinates of the window's top-left
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect{0, 0, 0, 0};  // control coordinates; the hint stays while the mouse is inside
  TPoint CursorPos{0, 0};        // control coordinates
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  String HintStr;
  void* HintData = nullptr;
};

TAVELO_EVENT(TIdleEvent, void(TObject* sender, bool& done))
TAVELO_EVENT(TExceptionEvent, void(TObject* sender, Exception& error))
TAVELO_EVENT(TMessageEvent, void(MSG& msg, bool& handled))
TAVELO_EVENT(TShowHintEvent, void(String& hintStr, bool& canShow, THintInfo& hintInfo))
TAVELO_EVENT(TSettingChangeEvent, void(TObject* sender, int flag, const String& section, int& result))

// A procedure that sees every message of the application window first; true ends its
// handling there.
using TWindowHook = bool (*)(void* data, TMessage& message);
struct TWindowHookRecord {
  TWindowHook Proc = nullptr;
  void* Data = nullptr;
};

using TAnimateWindowProc = BOOL(WINAPI*)(HWND window, DWORD time, DWORD flags);
// The platform's window animation, when it offers one.
TAnimateWindowProc AnimateWindowProc();
// The message a foreign window is asked for its control with.
UINT ControlObjectMessage();
// The message the shell broadcasts when the task bar comes back.
UINT TaskbarCreatedMessage();

// The task windows: every visible, enabled top-level window of this thread. Disabling
// (all but one window, or none) returns the windows it disabled; enabling takes them back.
std::vector<HWND> DisableTaskWindows(HWND except);
void EnableTaskWindows(const std::vector<HWND>& windows);
// The first visible, enabled top-level window of the thread in z-order, other than except
// and the application window, preferring one that is not top-most; none when there is none.
HWND FindTopMostWindow(HWND except);

// The title an executable's path gives: the name after the last "\", cut from its first
// ".", lower-case after the first character.
String ApplicationTitleFromPath(const String& path);

class TApplication : public TComponent {
  TAVELO_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  HWND Handle() const { return handle_; }
  String Title() const;
  void SetTitle(const String& value);
  TForm* MainForm() const { return mainForm_; }
  TIcon* Icon() const { return icon_.get(); }
  bool Active() const { return active_; }
  bool Terminated() const { return terminated_; }
  bool Running() const { return running_; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool value) { showMainForm_ = value; }
  bool UpdateFormatSettings() const { return updateFormatSettings_; }
  void SetUpdateFormatSettings(bool value) { updateFormatSettings_ = value; }
  bool UpdateMetricSettings() const { return updateMetricSettings_; }
  void SetUpdateMetricSettings(bool value) { updateMetricSettings_ = value; }

  // The application hint: the long part of the hint under the mouse.
  const String& Hint() const { return hint_; }
  void SetHint(const String& value);
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor value);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int value) { hintPause_ = value; }
  int HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(int value) { hintShortPause_ = value; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int value) { hintHidePause_ = value; }
  bool HintShortCuts() const { return hintShortCuts_; }
  void SetHintShortCuts(bool value) { hintShortCuts_ = value; }
  bool ShowHint() const { return showHint_; }
  // On makes the hint window, off frees it.
  void SetShowHint(bool value);
  THintWindow* HintWindow() const { return hintWindow_.get(); }
  TControl* HintControl() const { return hintControl_; }
  bool HintActive() const { return hintActive_; }
  TControl* MouseControl() const { return mouseControl_; }
  HWND DialogHandle() const { return dialogHandle_; }
  void SetDialogHandle(HWND value) { dialogHandle_ = value; }

  // Runs the procedures other modules registered; nothing else.
  void Initialize();
  // Makes an object of class T owned by the application and stores it in reference first,
  // so the object's own construction may already find it there; a form then reads its
  // description. On failure what was built is freed and the reference is empty again. The
  // first TForm made becomes the main form, with its window.
  template <class T> void CreateForm(T*& reference);
  // The same for a class known only by its record (a form class found by name).
  TComponent* CreateForm(TClass componentClass);
  void Run();
  // Asks the registered terminate procedures; when all agree, the loop ends after the quit
  // message is fetched.
  void Terminate();
  using TTerminateProc = bool (*)();
  static void AddTerminateProc(TTerminateProc proc);
  static void RemoveTerminateProc(TTerminateProc proc);
  void ProcessMessages();
  void HandleMessage();
  // The idle work of an empty queue; waits for the next message when there is nothing
  // left to do.
  void Idle(const MSG& msg);

  // An exception that reached the loop (the current one, or the given one).
  void HandleException(TObject* sender);
  void HandleException(TObject* sender, std::exception_ptr error);
  void ShowException(const Exception& error);
  int MessageBox(const String& text, const String& caption, UINT flags = MB_OK);

  void Minimize();
  void Restore();
  void BringToFront();
  void NormalizeTopMosts();
  void NormalizeAllTopMosts();
  void RestoreTopMosts();
  // Shows the application window when a form is visible, hides it when none is.
  void UpdateVisible();

  void CancelHint();
  void ActivateHint(TPoint cursorPos);
  // A mouse move over a control: restarts the hint timing.
  void HintMouseMessage(TControl* control, TMessage& message);

  void HookMainWindow(TWindowHook proc, void* data);
  void UnhookMainWindow(TWindowHook proc, void* data);
  // The application's shortcut check for an unclaimed key (WM_KEYDOWN layout).
  bool IsShortCut(TMessage& key);

  // A control is going away: every reference to it goes.
  void ControlDestroyed(TControl* control);

  TIdleEvent OnIdle() const { return onIdle_; }
  void SetOnIdle(TIdleEvent value) { onIdle_ = value; }
  TExceptionEvent OnException() const { return onException_; }
  void SetOnException(TExceptionEvent value) { onException_ = value; }
  TMessageEvent OnMessage() const { return onMessage_; }
  void SetOnMessage(TMessageEvent value) { onMessage_ = value; }
  TShortCutEvent OnShortCut() const { return onShortCut_; }
  void SetOnShortCut(TShortCutEvent value) { onShortCut_ = value; }
  TNotifyEvent OnHint() const { return onHint_; }
  void SetOnHint(TNotifyEvent value) { onHint_ = value; }
  TShowHintEvent OnShowHint() const { return onShowHint_; }
  void SetOnShowHint(TShowHintEvent value) { onShowHint_ = value; }
  TNotifyEvent OnActivate() const { return onActivate_; }
  void SetOnActivate(TNotifyEvent value) { onActivate_ = value; }
  TNotifyEvent OnDeactivate() const { return onDeactivate_; }
  void SetOnDeactivate(TNotifyEvent value) { onDeactivate_ = value; }
  TNotifyEvent OnMinimize() const { return onMinimize_; }
  void SetOnMinimize(TNotifyEvent value) { onMinimize_ = value; }
  TNotifyEvent OnRestore() const { return onRestore_; }
  void SetOnRestore(TNotifyEvent value) { onRestore_ = value; }
  TActionEvent OnActionExecute() const { return onActionExecute_; }
  void SetOnActionExecute(TActionEvent value) { onActionExecute_ = value; }
  TActionEvent OnActionUpdate() const { return onActionUpdate_; }
  void SetOnActionUpdate(TActionEvent value) { onActionUpdate_ = value; }
  TSettingChangeEvent OnSettingChange() const { return onSettingChange_; }
  void SetOnSettingChange(TSettingChangeEvent value) { onSettingChange_ = value; }

  // Whether the application ran its own action handler (the action chain's hook).
  bool ExecuteAction(TBasicAction* action);
  bool UpdateAction(TBasicAction* action);

  // The application window's procedure.
  virtual void WndProc(TMessage& message);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend LRESULT CALLBACK ApplicationWndProc(HWND, UINT, WPARAM, LPARAM);
  friend void CALLBACK HintTimerProc(HWND, UINT, UINT_PTR, DWORD);
  void CreateHandle();
  void FormCreated(TComponent* instance);
  bool ProcessMessage(MSG& msg);
  bool IsHintMsg(const MSG& msg);
  bool IsKeyMsg(MSG& msg);
  bool IsDlgMsg(MSG& msg);
  TControl* DoMouseIdle();
  void DoActionIdle();
  void DoNormalizeTopMosts(bool includeMain);
  void DisableAppWindows();
  void EnableAppWindows();
  void SettingChange(TMessage& message);
  void AppSysCommand(TMessage& message);
  void FocusTopMostWindow();
  void StartHintTimer(int value, bool showMode);
  void StopHintTimer();
  void HintTimerExpired();
  int CursorHeightMargin();
  TControl* HintControlAt(TControl* control, TPoint clientPos);
  void DefaultHandler(TMessage& message) override;

  HWND handle_ = nullptr;
  String title_;
  TForm* mainForm_ = nullptr;
  TColor hintColor_ = clInfoBk;
  int hintPause_ = 500;
  int hintShortPause_ = 0;
  int hintHidePause_ = 2500;
  bool hintShortCuts_ = true;
  bool showHint_ = false;
  bool active_ = true;
  bool showMainForm_ = true;
  bool updateFormatSettings_ = true;
  bool updateMetricSettings_ = true;
  bool terminated_ = false;
  bool running_ = false;
  std::unique_ptr<TIcon> icon_;
  String hint_;
  std::unique_ptr<THintWindow> hintWindow_;
  TControl* hintControl_ = nullptr;
  bool hintActive_ = false;
  TRect hintCursorRect_{0, 0, 0, 0};
  UINT_PTR hintTimerId_ = 0;
  bool hintTimerShows_ = true;
  TControl* mouseControl_ = nullptr;
  HWND dialogHandle_ = nullptr;
  std::vector<TWindowHookRecord> windowHooks_;
  std::vector<HWND> topMostList_;
  int topMostLevel_ = 0;
  std::vector<HWND> disabledWindows_;
  bool appDisabled_ = false;
  TIdleEvent onIdle_;
  TExceptionEvent onException_;
  TMessageEvent onMessage_;
  TShortCutEvent onShortCut_;
  TNotifyEvent onHint_;
  TShowHintEvent onShowHint_;
  TNotifyEvent onActivate_, onDeactivate_, onMinimize_, onRestore_;
  TActionEvent onActionExecute_, onActionUpdate_;
  TSettingChangeEvent onSettingChange_;
};

template <class T> void TApplication::CreateForm(T*& reference) {
  // The storage is the object's before it is constructed, so the reference can be set first.
  void* memory = ::operator new(sizeof(T));
  reference = static_cast<T*>(memory);
  try {
    new (memory) T(this);
  } catch (...) {
    reference = nullptr;
    ::operator delete(memory);
    throw;
  }
  if constexpr (std::is_base_of_v<TCustomForm, T>) {
    try {
      reference->AfterConstruction();
    } catch (...) {
      T* built = reference;
      reference = nullptr;
      delete built;
      throw;
    }
  }
  FormCreated(reference);
}

// The framework's objects, made by StartControls; none before, none after StopControls.
TApplication* Application();

// Makes the window atoms, the mouse, the screen and the application in that order, switches
// hints on and installs the hooks the controls and actions call; does nothing when started.
void StartControls();
// Frees the application (which frees its forms), the screen and the mouse, and clears every
// hook.
void StopControls();

// The framework's objects for the lifetime of a scope: the program entry holds one.
class TControlsSession {
public:
  TControlsSession() { StartControls(); }
  ~TControlsSession() { StopControls(); }
  TControlsSession(const TControlsSession&) = delete;
  TControlsSession& operator=(const TControlsSession&) = delete;
};

}  // namespace tavelo
