// The screen object and the mouse object.
#include "controls/screen.h"

#include <algorithm>

#include "controls/application.h"
#include "core/stringlist.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TScreen)

namespace {

struct TCursorSource {
  int identifier;
  int resource;
  bool program;  // from the program's own resources, else the system's
};

const TCursorSource kCursorTable[] = {
    {crSizeAll, 32646, false},  {crHandPoint, 32761, true}, {crHelp, 32651, false},
    {crAppStart, 32650, false}, {crNo, 32648, false},       {crSQLWait, 32762, true},
    {crMultiDrag, 32763, true}, {crVSplit, 32764, true},    {crHSplit, 32765, true},
    {crNoDrop, 32767, true},    {crDrag, 32766, true},      {crHourGlass, 32514, false},
    {crUpArrow, 32516, false},  {crSizeWE, 32644, false},   {crSizeNWSE, 32642, false},
    {crSizeNS, 32645, false},   {crSizeNESW, 32643, false}, {-5, 32640, false},
    {crIBeam, 32513, false},    {crCross, 32515, false},    {crArrow, 32512, false},
    {crDefault, 32512, false},
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
  return TRUE;
}

int CALLBACK AddFontName(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
  auto* list = reinterpret_cast<TStringList*>(data);
  String name(font->lfFaceName);
  if (!name.empty() && name[0] != '@' && list->IndexOf(name) < 0) list->Add(name);
  return 1;
}

}  // namespace

TScreen::TScreen(TComponent* owner)
    : TComponent(owner),
      iconFont_(std::make_unique<TFont>()),
      menuFont_(std::make_unique<TFont>()),
      hintFont_(std::make_unique<TFont>()) {
  HDC dc = GetDC(nullptr);
  pixelsPerInch_ = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  CreateCursors();
  GetMetricSettings();
  EnumerateMonitors();
}

TScreen::~TScreen() = default;

void TScreen::CreateCursors() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  defaultCursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  for (const TCursorSource& source : kCursorTable) {
    // A program cursor missing from the executable leaves no entry: lookups fall back to
    // the arrow.
    HCURSOR handle = LoadCursorA(source.program ? module : nullptr, MAKEINTRESOURCEA(source.resource));
    if (handle) cursors_[source.identifier] = handle;
  }
}

HCURSOR TScreen::Cursors(int index) const {
  if (index == -1) return nullptr;
  auto it = cursors_.find(index);
  return it != cursors_.end() ? it->second : defaultCursor_;
}

void TScreen::SetCursors(int index, HCURSOR handle) {
  if (index == crDefault) {
    cursors_[index] = handle ? handle : defaultCursor_;
    return;
  }
  if (handle)
    cursors_[index] = handle;
  else
    cursors_.erase(index);
}

void TScreen::SetCursor(TCursor value) {
  ++cursorCount_;
  if (value == cursor_) return;
  cursor_ = value;
  if (value == crDefault) {
    // The window under the mouse picks its own cursor again.
    POINT p;
    GetCursorPos(&p);
    HWND window = WindowFromPoint(p);
    if (window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
      LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
      SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(hit, WM_MOUSEMOVE));
    }
  } else {
    ::SetCursor(Cursors(value));
  }
}

void TScreen::GetMetricSettings() {
  LOGFONTA logFont{};
  if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(logFont), &logFont, 0))
    iconFont_->SetHandle(CreateFontIndirectA(&logFont));
  else
    iconFont_->SetHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    hintFont_->SetHandle(CreateFontIndirectA(&metrics.lfStatusFont));
    menuFont_->SetHandle(CreateFontIndirectA(&metrics.lfMenuFont));
  } else {
    hintFont_->SetSize(8);
    menuFont_->SetHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  }
  hintFont_->SetColor(clInfoText);
  menuFont_->SetColor(clMenuText);
}

TStringList* TScreen::Fonts() {
  if (!fonts_) {
    fonts_ = std::make_unique<TStringList>();
    HDC dc = GetDC(nullptr);
    LOGFONTA pattern{};
    pattern.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(dc, &pattern, &AddFontName, reinterpret_cast<LPARAM>(fonts_.get()), 0);
    ReleaseDC(nullptr, dc);
    fonts_->SetSorted(true);
  }
  return fonts_.get();
}

void TScreen::ResetFonts() { fonts_.reset(); }

void TScreen::EnumerateMonitors() {
  monitors_.clear();
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors_));
}

HMONITOR TScreen::MonitorFromWindow(HWND window) const {
  return ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
}

TRect TScreen::DesktopRect() const {
  int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (width <= 0 || height <= 0) return Rect(0, 0, Width(), Height());
  return Rect(left, top, left + width, top + height);
}

void TScreen::AddForm(TCustomForm* form) {
  if (!form) return;
  if (std::find(customForms_.begin(), customForms_.end(), form) == customForms_.end()) customForms_.push_back(form);
  if (auto* plain = DynamicCast<TForm>(form); plain && std::find(forms_.begin(), forms_.end(), plain) == forms_.end())
    forms_.push_back(plain);
  if (TApplication* app = Application()) app->UpdateVisible();
}

void TScreen::RemoveForm(TCustomForm* form) {
  // Called while the form is torn down: compare addresses only.
  auto custom = std::find(customForms_.begin(), customForms_.end(), form);
  if (custom == customForms_.end()) return;
  customForms_.erase(custom);
  forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                              [&](TForm* f) { return static_cast<TControl*>(f) == static_cast<TControl*>(form); }),
               forms_.end());
  // A modal run under way pops its entry whatever happens: keep the place, drop the form.
  std::replace(saveFocusedList_.begin(), saveFocusedList_.end(), form, static_cast<TCustomForm*>(nullptr));
  if (TApplication* app = Application()) app->UpdateVisible();
}

void TScreen::MoveFormToFront(TCustomForm* form) {
  auto custom = std::find(customForms_.begin(), customForms_.end(), form);
  if (custom != customForms_.end()) std::rotate(customForms_.begin(), custom, custom + 1);
  auto* plain = DynamicCast<TForm>(form);
  auto it = std::find(forms_.begin(), forms_.end(), plain);
  if (plain && it != forms_.end()) {
    std::rotate(forms_.begin(), it, it + 1);
    activeForm_ = plain;
  } else {
    activeForm_ = nullptr;
  }
}

void TScreen::SetActiveCustomForm(TCustomForm* value) { activeCustomForm_ = value; }

TCustomForm* TScreen::PopFocusedForm() {
  if (saveFocusedList_.empty()) return nullptr;
  TCustomForm* form = saveFocusedList_.front();
  saveFocusedList_.erase(saveFocusedList_.begin());
  return form;
}

void TScreen::UpdateLastActive() {
  if (lastActiveCustomForm_ != activeCustomForm_) {
    lastActiveCustomForm_ = activeCustomForm_;
    onActiveFormChange_(this);
  }
  if (lastActiveControl_ != activeControl_) {
    lastActiveControl_ = activeControl_;
    onActiveControlChange_(this);
  }
}

void TScreen::ControlDestroyed(TControl* control) {
  if (!control) return;
  if (control == activeControl_) activeControl_ = nullptr;
  if (control == static_cast<TControl*>(activeCustomForm_)) activeCustomForm_ = nullptr;
  if (control == static_cast<TControl*>(activeForm_)) activeForm_ = nullptr;
  if (control == static_cast<TControl*>(focusedForm_)) focusedForm_ = nullptr;
  // Called while the control is torn down: compare addresses only.
  for (TCustomForm* form : customForms_)
    if (static_cast<TControl*>(form) == control) {
      RemoveForm(form);
      break;
    }
  for (TCustomForm*& form : saveFocusedList_)
    if (static_cast<TControl*>(form) == control) form = nullptr;
  UpdateLastActive();
}

// ---- TMouse ----

TMouse::TMouse() { ReadWheelLines(); }

TPoint TMouse::CursorPos() const {
  POINT p{0, 0};
  GetCursorPos(&p);
  return p;
}

void TMouse::SetCursorPos(TPoint value) { ::SetCursorPos(value.x, value.y); }

void TMouse::SetCapture(HWND value) {
  if (value)
    ::SetCapture(value);
  else
    ReleaseCapture();
}

void TMouse::SettingChanged(int flag) {
  if (flag == 0 || flag == SPI_SETWHEELSCROLLLINES) ReadWheelLines();
}

void TMouse::ReadWheelLines() {
  UINT lines = 3;
  if (SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) wheelScrollLines_ = static_cast<int>(lines);
}

}  // namespace tavelo
