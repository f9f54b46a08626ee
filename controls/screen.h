// TScreen: the registry of the program's forms, the active form and control, the cursor table,
// the screen's resolution, the system fonts and the monitors. TMouse: the pointer as the
// platform reports it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "controls/controls.h"
#include "core/stringlist.h"

namespace tavelo {

class TScreen : public TComponent {
  TAVELO_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  // Every form in creation order. Until forms exist, a form is any top-level windowed
  // control answering IsForm() that registers itself; the two lists are then the same.
  int CustomFormCount() const { return static_cast<int>(customForms_.size()); }
  TWinControl* CustomForms(int index) const { return customForms_[static_cast<std::size_t>(index)]; }
  int FormCount() const { return CustomFormCount(); }
  TWinControl* Forms(int index) const { return CustomForms(index); }
  // A form joins (leaves) the list; the application window then follows whether any form
  // is visible.
  void AddForm(TWinControl* form);
  void RemoveForm(TWinControl* form);

  // Kept by the forms as the focus moves.
  TWinControl* ActiveCustomForm() const { return activeCustomForm_; }
  TWinControl* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  TWinControl* FocusedForm() const { return focusedForm_; }
  void SetActiveCustomForm(TWinControl* value) { activeCustomForm_ = value; }
  void SetActiveForm(TWinControl* value) { activeForm_ = value; }
  void SetActiveControl(TWinControl* value) { activeControl_ = value; }
  void SetFocusedForm(TWinControl* value) { focusedForm_ = value; }
  // Compares with the last known active form and control and fires the change events.
  void UpdateLastActive();
  TNotifyEvent OnActiveControlChange() const { return onActiveControlChange_; }
  void SetOnActiveControlChange(TNotifyEvent value) { onActiveControlChange_ = value; }
  TNotifyEvent OnActiveFormChange() const { return onActiveFormChange_; }
  void SetOnActiveFormChange(TNotifyEvent value) { onActiveFormChange_ = value; }

  int PixelsPerInch() const { return pixelsPerInch_; }
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  TRect DesktopRect() const;
  int MonitorCount() const { return static_cast<int>(monitors_.size()); }
  HMONITOR Monitors(int index) const { return monitors_[static_cast<std::size_t>(index)]; }
  HMONITOR MonitorFromWindow(HWND window) const;

  // The cursor of an identifier: none for -1, the default arrow for one not in the table.
  HCURSOR Cursors(int index) const;
  // Adds or replaces a cursor; a null handle removes a program cursor (the system ones stay).
  void SetCursors(int index, HCURSOR handle);
  // The forced cursor, crDefault when none.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  // Bumped on every assignment of Cursor, equal or not.
  int CursorCount() const { return cursorCount_; }

  TFont* IconFont() const { return iconFont_.get(); }
  TFont* MenuFont() const { return menuFont_.get(); }
  TFont* HintFont() const { return hintFont_.get(); }
  // Re-reads the three fonts from the system's metrics.
  void GetMetricSettings();
  // The installed font names, read on first request and forgotten when fonts change.
  TStringList* Fonts();
  void ResetFonts();

  // A control is going away: every reference to it goes.
  void ControlDestroyed(TControl* control);

private:
  void CreateCursors();
  void EnumerateMonitors();

  std::vector<TWinControl*> customForms_;
  TWinControl* activeCustomForm_ = nullptr;
  TWinControl* activeForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedForm_ = nullptr;
  TWinControl* lastActiveCustomForm_ = nullptr;
  TWinControl* lastActiveControl_ = nullptr;
  TNotifyEvent onActiveControlChange_, onActiveFormChange_;
  int pixelsPerInch_ = 96;
  std::map<int, HCURSOR> cursors_;
  HCURSOR defaultCursor_ = nullptr;
  TCursor cursor_ = crDefault;
  int cursorCount_ = 0;
  std::unique_ptr<TFont> iconFont_, menuFont_, hintFont_;
  std::unique_ptr<TStringList> fonts_;
  std::vector<HMONITOR> monitors_;
};

class TMouse {
public:
  TMouse();
  TPoint CursorPos() const;
  void SetCursorPos(TPoint value);
  HWND Capture() const { return GetCapture(); }
  void SetCapture(HWND value);
  bool MousePresent() const { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }
  int WheelScrollLines() const { return wheelScrollLines_; }
  // WM_WININICHANGE reached the application: the wheel setting may have changed.
  void SettingChanged(int flag);

private:
  void ReadWheelLines();
  int wheelScrollLines_ = 3;
};

// The framework's screen and mouse, made at start-up (see application.h); none before.
TScreen* Screen();
TMouse* Mouse();

}  // namespace tavelo
