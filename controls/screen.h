// TScreen: the registry of the program's forms, the active form and control, the cursor table,
// the screen's resolution, the system fonts and the monitors. TMouse: the pointer as the
// platform reports it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "controls/controls.h"
#include "controls/forms.h"
#include "core/stringlist.h"

namespace tavelo {

class TScreen : public TComponent {
  TAVELO_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  // Every form in creation order; Forms holds those that are TForm.
  int CustomFormCount() const { return static_cast<int>(customForms_.size()); }
  TCustomForm* CustomForms(int index) const { return customForms_[static_cast<std::size_t>(index)]; }
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int index) const { return forms_[static_cast<std::size_t>(index)]; }
  // A form joins (leaves) the lists; the application window then follows whether any form
  // is visible. A TForm's own constructor adds it again, to the forms list.
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  // The form that takes the focus goes first in the lists.
  void MoveFormToFront(TCustomForm* form);

  // Kept by the forms as the focus moves.
  TCustomForm* ActiveCustomForm() const { return activeCustomForm_; }
  TForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  TCustomForm* FocusedForm() const { return focusedForm_; }
  void SetActiveCustomForm(TCustomForm* value);
  void SetActiveForm(TForm* value) { activeForm_ = value; }
  void SetActiveControl(TWinControl* value) { activeControl_ = value; }
  void SetFocusedForm(TCustomForm* value) { focusedForm_ = value; }
  // The focused forms of the modal runs under way, innermost first.
  void PushFocusedForm() { saveFocusedList_.insert(saveFocusedList_.begin(), focusedForm_); }
  TCustomForm* PopFocusedForm();
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

  std::vector<TCustomForm*> customForms_;
  std::vector<TForm*> forms_;
  std::vector<TCustomForm*> saveFocusedList_;
  TCustomForm* activeCustomForm_ = nullptr;
  TForm* activeForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TCustomForm* focusedForm_ = nullptr;
  TCustomForm* lastActiveCustomForm_ = nullptr;
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
