#include "actions/stdactns.h"

#include "controls/application.h"
#include "core/exceptions.h"
#include "core/publish.h"
#include "dialogs/clipbrd.h"

namespace tavelo {

// ---- Edit actions ----

TAVELO_CLASS_IMPL(TEditAction)

TEditAction::~TEditAction() { SetControl(nullptr); }

void TEditAction::SetControl(TCustomEdit* value) {
  if (value == control_) return;
  if (control_) control_->RemoveFreeNotification(this);
  control_ = value;
  if (control_) control_->FreeNotification(this);
}

void TEditAction::Notification(TComponent* component, TOperation operation) {
  TAction::Notification(component, operation);
  if (operation == opRemove && component == control_) control_ = nullptr;
}

bool TEditAction::AcceptsTarget(TComponent* target) {
  bool ours = control_ ? target == control_ : DynamicCast<TCustomEdit>(target) != nullptr;
  if (!ours) return false;
  auto* edit = static_cast<TCustomEdit*>(target);
  return edit->HandleAllocated() && GetFocus() == edit->Handle();
}

TCustomEdit* TEditAction::EditOf(TComponent* target) {
  auto* edit = DynamicCast<TCustomEdit>(target);
  if (!edit) throw EInvalidCast(SInvalidCast);
  return edit;
}

TAVELO_CLASS_IMPL(TEditCut)

void TEditCut::RefreshOnTarget(TComponent* target) { SetEnabled(EditOf(target)->SelLength() > 0); }
void TEditCut::RunOnTarget(TComponent* target) { SendMessageA(EditOf(target)->Handle(), WM_CUT, 0, 0); }

TAVELO_CLASS_IMPL(TEditCopy)

void TEditCopy::RefreshOnTarget(TComponent* target) { SetEnabled(EditOf(target)->SelLength() > 0); }
void TEditCopy::RunOnTarget(TComponent* target) { SendMessageA(EditOf(target)->Handle(), WM_COPY, 0, 0); }

TAVELO_CLASS_IMPL(TEditPaste)

void TEditPaste::RefreshOnTarget(TComponent* target) {
  (void)EditOf(target);  // an edit control, as for the others, though only the clipboard counts
  SetEnabled(Clipboard()->HasFormat(CF_TEXT));
}
void TEditPaste::RunOnTarget(TComponent* target) { SendMessageA(EditOf(target)->Handle(), WM_PASTE, 0, 0); }

TAVELO_CLASS_IMPL(TEditSelectAll)

void TEditSelectAll::RefreshOnTarget(TComponent* target) {
  SetEnabled(GetWindowTextLengthA(EditOf(target)->Handle()) > 0);
}
void TEditSelectAll::RunOnTarget(TComponent* target) {
  SendMessageA(EditOf(target)->Handle(), EM_SETSEL, 0, static_cast<LPARAM>(-1));
}

// ---- Dialog actions ----

TAVELO_CLASS_IMPL(TCommonDialogAction)

TCommonDialogAction::TCommonDialogAction(TComponent* owner) : TCustomAction(owner) {
  SetDisableWithoutHandler(false);
  SetEnabled(true);
}

void TCommonDialogAction::MakeDialog(const char* name) {
  TClass dialogClass = DialogClass();
  if (!dialogClass) return;
  dialog_ = static_cast<TCommonDialog*>(dialogClass->Construct(this));
  dialog_->SetSubComponent(true);
  dialog_->SetName(name);
}

bool TCommonDialogAction::AcceptsTarget(TComponent*) { return true; }

void TCommonDialogAction::RunOnTarget(TComponent*) {
  executeResult_ = false;
  if (!dialog_) return;
  beforeExecute_(this);
  executeResult_ = dialog_->Execute();
  if (executeResult_)
    onAccept_(this);
  else
    onCancel_(this);
}

TAVELO_CLASS_IMPL(TFileAction)

#define TAVELO_FILE_ACTION_PUBLISH(Cls)                                                               \
  TAVELO_PUBLISH(Cls) {                                                                               \
    c.Property("Caption", &Self::Caption, &Self::SetCaption);                                         \
    c.Property("Dialog", &Self::Dialog);                                                              \
    c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);                           \
    c.Property("HelpContext", &Self::HelpContext, &Self::SetHelpContext).Default(0);                  \
    c.Property("Hint", &Self::Hint, &Self::SetHint);                                                  \
    c.Property("ImageIndex", &Self::ImageIndex, &Self::SetImageIndex).Default(-1);                    \
    c.Property("ShortCut", &Self::ShortCut, &Self::SetShortCut).Default(0);                           \
    c.Property("SecondaryShortCuts", &Self::SecondaryShortCuts, &Self::SetSecondaryShortCuts)         \
        .Stored<&Self::IsSecondaryShortCutsStored>();                                                 \
    c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);                           \
    c.Event("BeforeExecute", &Self::BeforeExecute, &Self::SetBeforeExecute);                          \
    c.Event("OnAccept", &Self::OnAccept, &Self::SetOnAccept);                                         \
    c.Event("OnCancel", &Self::OnCancel, &Self::SetOnCancel);                                         \
    c.Event("OnHint", &Self::OnHint, &Self::SetOnHint);                                               \
  }
TAVELO_FILE_ACTION_PUBLISH(TFileOpen)
TAVELO_FILE_ACTION_PUBLISH(TFileSaveAs)

TFileOpen::TFileOpen(TComponent* owner) : TFileAction(owner) { MakeDialog("OpenDialog"); }
TFileSaveAs::TFileSaveAs(TComponent* owner) : TFileAction(owner) { MakeDialog("SaveDialog"); }

// ---- Exit ----

TAVELO_PUBLISH(TFileExit) {
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("HelpContext", &Self::HelpContext, &Self::SetHelpContext).Default(0);
  c.Property("Hint", &Self::Hint, &Self::SetHint);
  c.Property("ImageIndex", &Self::ImageIndex, &Self::SetImageIndex).Default(-1);
  c.Property("ShortCut", &Self::ShortCut, &Self::SetShortCut).Default(0);
  c.Property("SecondaryShortCuts", &Self::SecondaryShortCuts, &Self::SetSecondaryShortCuts)
      .Stored<&Self::IsSecondaryShortCutsStored>();
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Event("OnHint", &Self::OnHint, &Self::SetOnHint);
}

bool TFileExit::AcceptsTarget(TComponent*) { return true; }

void TFileExit::RunOnTarget(TComponent*) {
  TApplication* app = Application();
  if (!app || !app->MainForm()) return;
  // The help system would be told to quit here; the program has none.
  app->MainForm()->Close();
}

}  // namespace tavelo
