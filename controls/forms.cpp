// The form: construction from its class's description, scaling, showing and placement, window
// parameters, closing, releasing and the modal loop.
#include "controls/forms.h"

#include <algorithm>

#include "actions/actionlist.h"
#include "controls/application.h"
#include "controls/controlconsts.h"
#include "controls/controlsimpl.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"
#include "core/rtlconsts.h"
#include "core/sysutils.h"
#include "streaming/namespacelock.h"
#include "streaming/reader.h"
#include "streaming/resources.h"
#include "streaming/writer.h"

namespace tavelo {

using namespace controls_impl;

int& FocusCount() {
  static int count = 0;
  return count;
}

bool& FocusMessagesSuspended() {
  static bool suspended = false;
  return suspended;
}

TComponent* FindGlobalForm(const String& name) {
  TScreen* screen = Screen();
  if (!screen) return nullptr;
  for (int i = 0; i < screen->FormCount(); ++i) {
    TForm* form = screen->Forms(i);
    if (!form->ComponentState().Contains(csInline) && SameName(form->Name(), name)) return form;
  }
  return nullptr;
}

namespace {

// The height of "0" in a font, on the screen.
int TextHeightOf(TFont* font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->Handle());
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc, "0", 1, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cy;
}

TRect MonitorRect(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor && GetMonitorInfoA(monitor, &info)) return info.rcMonitor;
  return Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace

// ---- Construction and destruction ----

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner) { InitDefaults(); }

TCustomForm::TCustomForm(TComponent* owner, int createNew) : TScrollingWinControl(owner) {
  (void)createNew;
  createNew_ = true;
  InitDefaults();
}

void TCustomForm::InitDefaults() {
  icon_ = std::make_unique<TIcon>();
  canvas_ = std::make_unique<TControlCanvas>();
  canvas_->SetControl(this);
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControl::SetVisible(false);
  TControl::SetBounds(0, 0, 320, 240);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetCtl3D(true);
  focusedControl_ = this;
  if (Screen()) {
    pixelsPerInch_ = Screen()->PixelsPerInch();
    Screen()->AddForm(this);
  }
}

void TCustomForm::AfterConstruction() {
  bool described = !createNew_ && ClassType() != TForm::StaticClass() && ClassType()->InheritsFrom(TForm::StaticClass());
  if (described) {
    sys::TLockGuard space(NameSpaceLock());
    formState_.Include(fsCreating);
    try {
      if (!InitInheritedComponent(this, TForm::StaticClass()))
        throw EResNotFound(Format(SResNotFound, {ClassName()}));
    } catch (...) {
      formState_.Exclude(fsCreating);
      throw;
    }
    formState_.Exclude(fsCreating);
    if (oldCreateOrder_) DoCreate();
  }
  if (!described || !oldCreateOrder_) DoCreate();
  if (formState_.Contains(fsActivated)) {
    formState_.Exclude(fsActivated);
    Activate();
  }
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (formStyle_ != fsMDIChild && HandleAllocated() && IsWindowVisible(Handle()))
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  if (!oldCreateOrder_) DoDestroy();
  DestroyComponents();
  if (oldCreateOrder_) DoDestroy();
  activeControl_ = nullptr;
  focusedControl_ = nullptr;
  DestroyHandle();
  if (Screen()) Screen()->RemoveForm(this);
  canvas_.reset();
}

void TCustomForm::ShowHandlerException() {
  if (TApplication* app = Application())
    app->HandleException(app);
  else
    HandleWindowException(std::current_exception());
}

void TCustomForm::DoCreate() {
  try {
    onCreate_(this);
  } catch (...) {
    ShowHandlerException();
  }
  if (formState_.Contains(fsVisible)) {
    formState_.Exclude(fsVisible);
    SetVisible(true);
  }
}

void TCustomForm::DoDestroy() {
  try {
    onDestroy_(this);
  } catch (...) {
    ShowHandlerException();
  }
}

void TCustomForm::DoShow() {
  try {
    onShow_(this);
  } catch (...) {
    ShowHandlerException();
  }
}

void TCustomForm::DoHide() {
  try {
    onHide_(this);
  } catch (...) {
    ShowHandlerException();
  }
}

void TCustomForm::DoClose(TCloseAction& action) { onClose_(this, action); }

void TCustomForm::Activate() { onActivate_(this); }

void TCustomForm::Deactivate() { onDeactivate_(this); }

// ---- Reading the description ----

void TCustomForm::ReadState(TReader& reader) {
  DisableAlign();
  try {
    clientWidth_ = clientHeight_ = 0;
    scaleClientWidth_ = scaleClientHeight_ = false;
    textHeight_ = 0;
    oldCreateOrder_ = true;
    TScrollingWinControl::ReadState(reader);
    int screenPpi = Screen() ? Screen()->PixelsPerInch() : pixelsPerInch_;
    if (pixelsPerInch_ != 0 && textHeight_ > 0) {
      if (ScalingFlags().Contains(sfFont) && screenPpi != pixelsPerInch_)
        Font()->SetHeight(MulDiv(Font()->Height(), screenPpi, pixelsPerInch_));
      pixelsPerInch_ = screenPpi;
      int newHeight = TextHeightOf(Font());
      if (newHeight != textHeight_) {
        HorzScrollBar()->SetRange(MulDiv(HorzScrollBar()->Range(), newHeight, textHeight_));
        VertScrollBar()->SetRange(MulDiv(VertScrollBar()->Range(), newHeight, textHeight_));
        ScaleControls(newHeight, textHeight_);
        if (scaleClientWidth_) clientWidth_ = MulDiv(clientWidth_, newHeight, textHeight_);
        if (scaleClientHeight_) clientHeight_ = MulDiv(clientHeight_, newHeight, textHeight_);
        textHeight_ = newHeight;
      }
    } else {
      ScaleControls(1, 1);
    }
    if (clientWidth_ > 0) {
      HandleNeeded();
      SetBounds(Left(), Top(), Width() - TControl::ClientWidth() + clientWidth_, Height());
    }
    if (clientHeight_ > 0) {
      HandleNeeded();
      SetBounds(Left(), Top(), Width(), Height() - TControl::ClientHeight() + clientHeight_);
    }
    SetScalingFlags(TScalingFlags{});
    Perform(FM_PARENT_BIDIMODE_CHANGED, 0, 0);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TCustomForm::ReadTextHeight(TReader& reader) { textHeight_ = reader.ReadInteger(); }

void TCustomForm::ReadIgnoreFontProperty(TReader& reader) {
  if (reader.ReadBoolean() && Parent()) SetParentFont(true);
}

void TCustomForm::DefineProperties(TFiler& filer) {
  TScrollingWinControl::DefineProperties(filer);
  filer.DefineProperty(
      "TextHeight", [this](TReader& reader) { ReadTextHeight(reader); },
      [this](TWriter& writer) { writer.WriteInteger(TextHeightOf(Font())); }, true);
  filer.DefineProperty("IgnoreFontProperty", [this](TReader& reader) { ReadIgnoreFontProperty(reader); }, nullptr,
                       false);
}

void TCustomForm::Loaded() {
  TScrollingWinControl::Loaded();
  if (TWinControl* control = activeControl_) {
    activeControl_ = nullptr;
    if (control->CanFocus()) SetActiveControl(control);
  }
}

void TCustomForm::SetPixelsPerInch(int value) {
  if (value == pixelsPerInch_ || (value != 0 && value <= 35)) return;
  if (ComponentState().Contains(csLoading) && pixelsPerInch_ == 0) return;
  pixelsPerInch_ = value;
}

void TCustomForm::SetScaled(bool value) {
  if (value == Scaled()) return;
  pixelsPerInch_ = value ? (Screen() ? Screen()->PixelsPerInch() : 96) : 0;
}

void TCustomForm::SetClientWidth(int value) {
  if (controlState_.Contains(csReadingState) || ComponentState().Contains(csReading)) {
    clientWidth_ = value;
    scaleClientWidth_ = true;
    return;
  }
  HandleNeeded();
  SetBounds(Left(), Top(), Width() - TControl::ClientWidth() + value, Height());
}

void TCustomForm::SetClientHeight(int value) {
  if (controlState_.Contains(csReadingState) || ComponentState().Contains(csReading)) {
    clientHeight_ = value;
    scaleClientHeight_ = true;
    return;
  }
  HandleNeeded();
  SetBounds(Left(), Top(), Width(), Height() - TControl::ClientHeight() + value);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TScrollingWinControl::Notification(component, operation);
  if (operation == opRemove && component) {
    // The component may be half torn down: compare addresses only.
    if (static_cast<TComponent*>(activeControl_) == component) activeControl_ = nullptr;
    if (static_cast<TComponent*>(focusedControl_) == component) focusedControl_ = this;
  }
}

// An owned component's class is whole only after its constructor, while the owner hears of it
// from within: the lists are therefore found among the owned components, which keep the
// order they came in.
std::vector<TCustomActionList*> TCustomForm::ActionLists() const {
  std::vector<TCustomActionList*> lists;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = DynamicCast<TCustomActionList>(Components(i))) lists.push_back(list);
  return lists;
}

// The components the form owns that have no parent control (action lists, timers) belong to
// its description too.
void TCustomForm::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TScrollingWinControl::GetChildren(proc, root);
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* component = Components(i);
    if (!component->HasParent()) proc(component);
  }
}

// ---- Showing and placement ----

void TCustomForm::SetVisible(bool value) {
  if (formState_.Contains(fsCreating)) {
    if (value)
      formState_.Include(fsVisible);
    else
      formState_.Exclude(fsVisible);
    return;
  }
  if (value == Visible()) return;
  // Refused before anything changes, so the form stays as OnShow or OnHide found it.
  if (formState_.Contains(fsShowing)) throw EInvalidOperation(SVisibleChanged);
  if (formStyle_ == fsMDIChild && Visible() && !value) throw EInvalidOperation(SMDIChildNotVisible);
  if (value) MoveToDefaultMonitor();
  TScrollingWinControl::SetVisible(value);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) BringWindowToTop(Handle());
}

void TCustomForm::ShowingChanged() {
  if (formState_.Contains(fsShowing)) throw EInvalidOperation(SVisibleChanged);
  if (Application()) Application()->UpdateVisible();
  formState_.Include(fsShowing);
  try {
    if (Showing()) {
      DoShow();
      PlaceOnFirstShow();
      static const int commands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
      ShowWindow(Handle(), commands[windowState_]);
    } else {
      DoHide();
      HWND window = Handle();
      constexpr UINT quietHide = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
      if (formState_.Contains(fsModal)) {
        SetWindowPos(window, nullptr, 0, 0, 0, 0, quietHide);
      } else {
        HWND next = GetActiveWindow() == window && !IsIconic(window) ? FindTopMostWindow(window) : nullptr;
        if (next) {
          SetWindowPos(window, nullptr, 0, 0, 0, 0, quietHide);
          SetActiveWindow(next);
        } else {
          ShowWindow(window, SW_HIDE);
        }
      }
    }
  } catch (...) {
    formState_.Exclude(fsShowing);
    throw;
  }
  formState_.Exclude(fsShowing);
}

void TCustomForm::PlaceOnFirstShow() {
  TScreen* screen = Screen();
  int left = Left(), top = Top();
  bool place = true;
  TForm* mainForm = Application() ? Application()->MainForm() : nullptr;
  auto centreOn = [&](TCustomForm* reference) {
    if (reference && reference != this) {
      left = (reference->Width() - Width()) / 2 + reference->Left();
      top = (reference->Height() - Height()) / 2 + reference->Top();
    } else if (screen) {
      left = (screen->Width() - Width()) / 2;
      top = (screen->Height() - Height()) / 2;
    }
  };
  switch (position_) {
    case poScreenCenter:
      if (formStyle_ == fsMDIChild && mainForm) {
        left = (mainForm->ClientWidth() - Width()) / 2;
        top = (mainForm->ClientHeight() - Height()) / 2;
      } else if (screen) {
        left = (screen->Width() - Width()) / 2;
        top = (screen->Height() - Height()) / 2;
      }
      break;
    case poMainFormCenter:
      centreOn(mainForm);
      break;
    case poOwnerFormCenter: {
      auto* owner = DynamicCast<TCustomForm>(Owner());
      centreOn(owner ? owner : static_cast<TCustomForm*>(mainForm));
      break;
    }
    case poDesktopCenter:
      if (screen) {
        TRect desktop = screen->DesktopRect();
        left = (desktop.right - desktop.left - Width()) / 2;
        top = (desktop.bottom - desktop.top - Height()) / 2;
      }
      break;
    default:
      place = false;
  }
  if (place) SetBounds(left, top, Width(), Height());
  if (place && Visible()) MoveToDefaultMonitor();
  position_ = poDesigned;
}

void TCustomForm::MoveToDefaultMonitor() {
  TApplication* app = Application();
  if (!app || !app->MainForm() || !HandleAllocated()) return;
  HMONITOR target = nullptr;
  switch (defaultMonitor_) {
    case dmMainForm:
      if (app->MainForm()->HandleAllocated()) target = MonitorFromWindow(app->MainForm()->Handle(), MONITOR_DEFAULTTONEAREST);
      break;
    case dmActiveForm:
      if (TForm* active = Screen()->ActiveForm(); active && active->HandleAllocated())
        target = MonitorFromWindow(active->Handle(), MONITOR_DEFAULTTONEAREST);
      break;
    case dmPrimary:
      target = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
      break;
    default:
      break;
  }
  HMONITOR current = MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST);
  if (!target || target == current) return;
  TRect to = MonitorRect(target), from = MonitorRect(current);
  int left, top;
  if (position_ == poScreenCenter || position_ == poMainFormCenter) {
    left = to.left + (to.right - to.left - Width()) / 2;
    top = to.top + (to.bottom - to.top - Height()) / 2;
  } else {
    left = to.left + (Left() - from.left);
    top = to.top + (Top() - from.top);
    if (left + Width() > to.right) left = to.right - Width();
    if (top + Height() > to.bottom) top = to.bottom - Height();
  }
  SetBounds(left, top, Width(), Height());
}

// ---- Window parameters ----

void TCustomForm::CreateParams(TCreateParams& params) {
  TScrollingWinControl::CreateParams(params);
  bool topLevel = !Parent() && !ParentWindow();
  if (topLevel) {
    params.WndParent = Application() ? Application()->Handle() : nullptr;
    params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  params.WindowClass.style = CS_DBLCLKS;
  if (position_ == poDefault || position_ == poDefaultPosOnly) {
    params.X = static_cast<int>(CW_USEDEFAULT);
    params.Y = static_cast<int>(CW_USEDEFAULT);
  }
  TFormBorderStyle style = borderStyle_;
  if (formStyle_ == fsMDIChild && (style == bsNone || style == bsDialog)) style = bsSizeable;
  TBorderIcons icons = borderIcons_;
  switch (style) {
    case bsNone:
      if (topLevel) params.Style |= WS_POPUP;
      icons = TBorderIcons{};
      break;
    case bsSingle:
    case bsToolWindow:
      params.Style |= WS_CAPTION;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      params.Style |= WS_CAPTION | WS_THICKFRAME;
      if (position_ == poDefault || position_ == poDefaultSizeOnly) {
        params.Width = static_cast<int>(CW_USEDEFAULT);
        params.Height = static_cast<int>(CW_USEDEFAULT);
      }
      break;
    case bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION;
      params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      params.WindowClass.style |= CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
      icons = icons * TBorderIcons{biSystemMenu, biHelp};
      break;
  }
  if (style == bsToolWindow || style == bsSizeToolWin) {
    params.ExStyle |= WS_EX_TOOLWINDOW;
    icons = icons * TBorderIcons{biSystemMenu};
  }
  if (style == bsDialog || style == bsToolWindow || style == bsSizeToolWin) {
    windowState_ = wsNormal;
  } else if (formStyle_ != fsMDIChild || icons.Contains(biSystemMenu)) {
    if (icons.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
    if (icons.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    if (windowState_ == wsMinimized) params.Style |= WS_MINIMIZE;
    if (windowState_ == wsMaximized) params.Style |= WS_MAXIMIZE;
  }
  if (icons.Contains(biSystemMenu)) params.Style |= WS_SYSMENU;
  if (icons.Contains(biHelp)) params.ExStyle |= WS_EX_CONTEXTHELP;
}

void TCustomForm::CreateWnd() {
  TScrollingWinControl::CreateWnd();
  if (borderStyle_ != bsDialog) {
    // A form with no icon of its own shows the program's, not the platform's generic one.
    TIcon* icon = !icon_->Empty() ? icon_.get() : Application() ? Application()->Icon() : nullptr;
    if (icon && !icon->Empty()) SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon->Handle()));
  }
  if (formStyle_ == fsStayOnTop)
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == borderIcons_) return;
  borderIcons_ = value;
  RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  SetAutoScroll(value == bsSizeable || value == bsSizeToolWin);
  RecreateWnd();
}

void TCustomForm::SetPosition(TPosition value) {
  if (value == position_) return;
  position_ = value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (value == formStyle_) return;
  formStyle_ = value;
  DestroyHandle();
  if (value == fsMDIChild) {
    if (position_ == poDesigned) position_ = poDefault;
    SetVisible(true);
  }
}

void TCustomForm::SetWindowState(TWindowState value) {
  if (value == windowState_) return;
  windowState_ = value;
  static const int commands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
  if (Showing()) ShowWindow(Handle(), commands[value]);
}

// ---- Closing and releasing ----

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  onCloseQuery_(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    modalResult_ = ResultCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (formStyle_ == fsMDIChild) action = borderIcons_.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (action == caNone) return;
  TApplication* app = Application();
  if (app && static_cast<TCustomForm*>(app->MainForm()) == this) {
    app->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    default:
      Release();
  }
}

void TCustomForm::Release() { PostMessageA(Handle(), FM_RELEASE, 0, 0); }

// ---- The modal loop ----

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || formState_.Contains(fsModal) || formStyle_ == fsMDIChild)
    throw EInvalidOperation(SCannotShowModal);
  TApplication* app = Application();
  TScreen* screen = Screen();
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  formState_.Include(fsModal);
  HWND activeWindow = GetActiveWindow();
  int savedFocusCount = FocusCount();
  screen->PushFocusedForm();
  screen->SetFocusedForm(this);
  TCursor savedCursor = screen->Cursor();
  screen->SetCursor(crDefault);
  int savedCursorCount = screen->CursorCount();
  std::vector<HWND> disabled = DisableTaskWindows(nullptr);
  auto restore = [&] {
    if (screen->CursorCount() == savedCursorCount)
      screen->SetCursor(savedCursor);
    else
      screen->SetCursor(crDefault);
    EnableTaskWindows(disabled);
    screen->SetFocusedForm(screen->PopFocusedForm());
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    FocusCount() = savedFocusCount;
    formState_.Exclude(fsModal);
  };
  try {
    Show();
    try {
      SendMessageA(Handle(), FM_ACTIVATE, 0, 0);
      modalResult_ = ResultNone;
      do {
        app->HandleMessage();
        if (app->Terminated())
          modalResult_ = ResultCancel;
        else if (modalResult_ != ResultNone)
          ModalCloseStep();
      } while (modalResult_ == ResultNone);
      SendMessageA(Handle(), FM_DEACTIVATE, 0, 0);
      if (GetActiveWindow() != Handle()) activeWindow = nullptr;
    } catch (...) {
      Hide();
      throw;
    }
    Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return modalResult_;
}

void TCustomForm::ModalCloseStep() {
  try {
    if (!CloseQuery()) {
      modalResult_ = ResultNone;
      return;
    }
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
      modalResult_ = ResultNone;
    else if (action == caFree)
      Release();
  } catch (...) {
    modalResult_ = ResultNone;
    ShowHandlerException();
  }
}

// ---- TForm ----

TForm::TForm(TComponent* owner) : TCustomForm(owner) {
  if (Screen()) Screen()->AddForm(this);
}

TForm::TForm(TComponent* owner, int createNew) : TCustomForm(owner, createNew) {
  if (Screen()) Screen()->AddForm(this);
}

TAVELO_CLASS_IMPL(TCustomForm)

TAVELO_PUBLISH(TForm) {
  c.Property("ActiveControl", &Self::ActiveControl, &Self::SetActiveControl);
  c.Property("AutoScroll", &Self::AutoScroll, &Self::SetAutoScroll).Default(true);
  c.Property("BorderIcons", &Self::BorderIcons, &Self::SetBorderIcons)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
  c.Property("BorderStyle", &Self::BorderStyle, &Self::SetBorderStyle).Default(bsSizeable);
  c.Property("BorderWidth", &Self::BorderWidth, &Self::SetBorderWidth).Default(0);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("ClientHeight", &Self::ClientHeight, &Self::SetClientHeight);
  c.Property("ClientWidth", &Self::ClientWidth, &Self::SetClientWidth);
  c.Property("Color", &Self::Color, &Self::SetColor);
  c.Property("Ctl3D", &Self::Ctl3D, &Self::SetCtl3D).Default(true);
  c.Property("DefaultMonitor", &Self::DefaultMonitor, &Self::SetDefaultMonitor).Default(dmActiveForm);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("FormStyle", &Self::FormStyle, &Self::SetFormStyle).Default(fsNormal);
  c.Property("HorzScrollBar", &Self::HorzScrollBar, &Self::SetHorzScrollBar);
  c.Property("KeyPreview", &Self::KeyPreview, &Self::SetKeyPreview).Default(false);
  c.Property("OldCreateOrder", &Self::OldCreateOrder, &Self::SetOldCreateOrder);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(false);
  c.Property("PixelsPerInch", &Self::PixelsPerInch, &Self::SetPixelsPerInch);
  c.Property("Position", &Self::Position, &Self::SetPosition).Default(poDesigned);
  c.Property("Scaled", &Self::Scaled, &Self::SetScaled).Default(true);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("VertScrollBar", &Self::VertScrollBar, &Self::SetVertScrollBar);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(false);
  c.Property("WindowState", &Self::WindowState, &Self::SetWindowState).Default(wsNormal);
  c.Event("OnActivate", &Self::OnActivate, &Self::SetOnActivate);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
  c.Event("OnClose", &Self::OnClose, &Self::SetOnClose);
  c.Event("OnCloseQuery", &Self::OnCloseQuery, &Self::SetOnCloseQuery);
  c.Event("OnCreate", &Self::OnCreate, &Self::SetOnCreate);
  c.Event("OnDeactivate", &Self::OnDeactivate, &Self::SetOnDeactivate);
  c.Event("OnDestroy", &Self::OnDestroy, &Self::SetOnDestroy);
  c.Event("OnHide", &Self::OnHide, &Self::SetOnHide);
  c.Event("OnKeyDown", &Self::OnKeyDown, &Self::SetOnKeyDown);
  c.Event("OnKeyPress", &Self::OnKeyPress, &Self::SetOnKeyPress);
  c.Event("OnKeyUp", &Self::OnKeyUp, &Self::SetOnKeyUp);
  c.Event("OnResize", &Self::OnResize, &Self::SetOnResize);
  c.Event("OnShortCut", &Self::OnShortCut, &Self::SetOnShortCut);
  c.Event("OnShow", &Self::OnShow, &Self::SetOnShow);
}

}  // namespace tavelo
