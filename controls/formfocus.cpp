// The form's focus and keys: activation, the active and focused controls with the exit and
// enter walk, dialog keys, the shortcut check, and the search for an action's target.
#include "controls/forms.h"

#include "actions/actionapp.h"
#include "actions/actionlist.h"
#include "controls/application.h"
#include "controls/controlconsts.h"
#include "controls/controlsimpl.h"
#include "core/exceptions.h"
#include "core/messages.h"

namespace tavelo {

using namespace controls_impl;

namespace {

bool Loading(const TComponent* component) {
  return component->ComponentState().Contains(csLoading) || component->ComponentState().Contains(csReading);
}

// Each showing windowed control of the tree, depth first, parents before their children.
template <class F> bool WalkShowing(TWinControl* parent, F&& visit) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* control = parent->Controls(i);
    if (visit(control)) return true;
    auto* windowed = DynamicCast<TWinControl>(control);
    if (windowed && windowed->Showing() && WalkShowing(windowed, visit)) return true;
  }
  return false;
}

}  // namespace

// ---- Focus ----

void TCustomForm::SetWindowFocus() {
  if (activeControl_ && activeControl_ != this)
    ::SetFocus(activeControl_->Handle());
  else
    ::SetFocus(Handle());
}

void TCustomForm::SetFocus() {
  if (active_) return;
  if (!Visible() || !Enabled()) throw EInvalidOperation(SCannotFocus);
  SetWindowFocus();
}

void TCustomForm::SetActiveControl(TWinControl* value) {
  if (value == activeControl_) return;
  bool loading = Loading(this);
  if (value && (value == this || GetParentForm(value) != this || (!loading && !value->CanFocus())))
    throw EInvalidOperation(SCannotFocus);
  activeControl_ = value;
  if (!loading && active_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
  bool wasActive = active_;
  SetActiveControl(control);
  if (!wasActive) SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
  if (removing && control->ContainsControl(focusedControl_)) focusedControl_ = control->Parent();
  if (control->ContainsControl(activeControl_)) {
    activeControl_ = nullptr;
    // The platform focus must not stay in a window that goes.
    HWND focus = GetFocus();
    if (active_ && HandleAllocated() && !ComponentState().Contains(csDestroying) && control->HandleAllocated() &&
        (focus == control->Handle() || IsChild(control->Handle(), focus)))
      ::SetFocus(Handle());
  }
}

bool TCustomForm::SendFocusMessage(TWinControl* control, std::uint32_t msg) {
  int count = FocusCount();
  control->Perform(msg, 0, 0);
  return count == FocusCount();
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  if (ComponentState().Contains(csDestroying)) return true;
  ++FocusCount();
  TScreen* screen = Screen();
  activeControl_ = control == this ? nullptr : control;
  if (screen) {
    screen->SetActiveControl(control);
    screen->SetActiveCustomForm(this);
    screen->MoveFormToFront(this);
  }
  if (control->ControlState().Contains(csFocusing)) return false;
  control->SetControlState(control->ControlState() + TControlState{csFocusing});
  bool result = false;
  try {
    do {
      if (screen && screen->FocusedForm() != this) {
        if (TCustomForm* previous = screen->FocusedForm(); previous && previous->HandleAllocated()) {
          int count = FocusCount();
          SendMessageA(previous->Handle(), FM_DEACTIVATE, 0, 0);
          if (count != FocusCount()) break;
        }
        screen->SetFocusedForm(this);
        int count = FocusCount();
        SendMessageA(Handle(), FM_ACTIVATE, 0, 0);
        if (count != FocusCount()) break;
      }
      if (!focusedControl_) focusedControl_ = this;
      bool stopped = false;
      while (focusedControl_ && !focusedControl_->ContainsControl(control)) {
        TWinControl* leaving = focusedControl_;
        if (!SendFocusMessage(leaving, FM_EXIT)) {
          stopped = true;
          break;
        }
        focusedControl_ = leaving->Parent();
      }
      if (stopped) break;
      if (!focusedControl_) focusedControl_ = this;
      while (focusedControl_ != control) {
        TWinControl* next = control;
        while (next->Parent() && next->Parent() != focusedControl_) next = next->Parent();
        focusedControl_ = next;
        if (!SendFocusMessage(next, FM_ENTER)) {
          stopped = true;
          break;
        }
      }
      if (stopped) break;
      for (TWinControl* parent = control->Parent(); parent; parent = parent->Parent())
        if (auto* scrolling = DynamicCast<TScrollingWinControl>(parent)) scrolling->ScrollInView(control);
      Perform(FM_FOCUS_CHANGED, 0, reinterpret_cast<std::intptr_t>(control));
      result = true;
    } while (false);
  } catch (...) {
    control->SetControlState(control->ControlState() - TControlState{csFocusing});
    throw;
  }
  control->SetControlState(control->ControlState() - TControlState{csFocusing});
  if (screen) screen->UpdateLastActive();
  return result;
}

void TCustomForm::WmActivate(TMessage& message) {
  if (formStyle_ == fsMDIForm) return;
  active_ = LOWORD(message.WParam) != WA_INACTIVE;
  if (!active_) return;
  if (!activeControl_) activeControl_ = FindNextControl(nullptr, true, true, false);
  SetWindowFocus();
}

// ---- Keys ----

void TCustomForm::DialogKey(TMessage& message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (message.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (activeControl_ && activeControl_->Parent()) {
          bool forward = message.WParam == VK_RIGHT || message.WParam == VK_DOWN;
          activeControl_->Parent()->SelectNext(activeControl_, forward, false);
          message.Result = 1;
          return;
        }
        break;
      default:
        break;
    }
  }
  Broadcast(message);
}

bool TCustomForm::IsShortCut(TMessage& key) {
  bool handled = false;
  onShortCut_(key, handled);
  if (handled) return true;
  for (TCustomActionList* list : ActionLists())
    if (list->MatchShortCut(key)) return true;
  return false;
}

// ---- Actions ----

void TCustomForm::RefreshFormActions() {
  if (ComponentState().Contains(csDesigning) || !Showing()) return;
  if (ActionLink()) ActionLink()->RefreshState();
  WalkShowing(this, [](TControl* control) {
    if (control->Visible() && control->ControlStyle().Contains(csActionClient)) control->RefreshActionState();
    return false;
  });
}

bool TCustomForm::FindExecuteTarget(TMessage& message) {
  if (ComponentState().Contains(csDesigning) || !Showing()) return false;
  if (activeControl_ && OfferAction(message, activeControl_)) return true;
  if (OfferAction(message, this)) return true;
  return WalkShowing(this, [&](TControl* control) { return control->Visible() && OfferAction(message, control); });
}

bool TCustomForm::FindUpdateTarget(TMessage& message) { return FindExecuteTarget(message); }

// ---- Messages ----

void TCustomForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (FocusMessagesSuspended()) return;
      if (message.Msg == WM_SETFOCUS && activeControl_ && activeControl_ != this &&
          !ComponentState().Contains(csDestroying)) {
        ::SetFocus(activeControl_->Handle());
        return;
      }
      break;
    default:
      break;
  }
  TScrollingWinControl::WndProc(message);
}

void TCustomForm::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ACTIVATE:
      WmActivate(message);
      break;
    case WM_CLOSE:
      Close();
      break;
    case WM_QUERYENDSESSION:
      message.Result = CloseQuery() ? 1 : 0;
      break;
    case FM_ACTIVATE:
      if (formState_.Contains(fsCreating) || Loading(this)) {
        formState_.Include(fsActivated);
      } else {
        if (activeControl_)
          if (auto* embedded = DynamicCast<TCustomForm>(activeControl_)) embedded->Perform(FM_ACTIVATE, 0, 0);
        Activate();
      }
      break;
    case FM_DEACTIVATE:
      if (formState_.Contains(fsCreating) || Loading(this))
        formState_.Exclude(fsActivated);
      else
        Deactivate();
      break;
    case FM_RELEASE:
      delete this;
      return;
    case FM_SHOWING_CHANGED:
      ShowingChanged();
      break;
    case FM_DIALOG_KEY:
      DialogKey(message);
      break;
    case FM_IS_SHORTCUT: {
      TMessage key{WM_KEYDOWN, message.WParam, message.LParam, 0};
      message.Result = IsShortCut(key) ? 1 : 0;
      break;
    }
    case FM_ACTION_EXECUTE:
    case FM_ACTION_UPDATE:
      message.Result = FindExecuteTarget(message) ? 1 : 0;
      break;
    case WM_SYSCOMMAND: {
      std::uintptr_t command = message.WParam & 0xFFF0;
      TApplication* app = Application();
      if (command == SC_MINIMIZE && app && static_cast<TCustomForm*>(app->MainForm()) == this) {
        app->Minimize();
        break;
      }
      TScrollingWinControl::Dispatch(message);
      if ((command == SC_MINIMIZE || command == SC_RESTORE) && Align() != alNone) RequestAlign();
      break;
    }
    default:
      TScrollingWinControl::Dispatch(message);
  }
}

}  // namespace tavelo
