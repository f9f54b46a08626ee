// Ready-made actions that need no handler: the four edit actions act on whichever edit control
// has the keyboard focus, the file actions run their dialog and report through events, and
// the exit action closes the main form. They sit above the dialogs (library tavelo_stdactions).
#pragma once

#include "actions/customaction.h"
#include "controls/memo.h"
#include "dialogs/dialogs.h"

namespace tavelo {

class TEditAction : public TAction {
  TAVELO_CLASS(TEditAction, TAction)
public:
  explicit TEditAction(TComponent* owner) : TAction(owner) {}
  ~TEditAction() override;

  // The focused edit control, or the fixed one when set (freed: none again).
  bool AcceptsTarget(TComponent* target) override;
  TCustomEdit* Control() const { return control_; }
  void SetControl(TCustomEdit* value);

protected:
  void Notification(TComponent* component, TOperation operation) override;
  // The target as an edit control; anything else is an invalid cast.
  static TCustomEdit* EditOf(TComponent* target);

private:
  TCustomEdit* control_ = nullptr;
};

class TEditCut : public TEditAction {
  TAVELO_CLASS(TEditCut, TEditAction)
public:
  using TEditAction::TEditAction;
  void RefreshOnTarget(TComponent* target) override;
  void RunOnTarget(TComponent* target) override;
};

class TEditCopy : public TEditAction {
  TAVELO_CLASS(TEditCopy, TEditAction)
public:
  using TEditAction::TEditAction;
  void RefreshOnTarget(TComponent* target) override;
  void RunOnTarget(TComponent* target) override;
};

class TEditPaste : public TEditAction {
  TAVELO_CLASS(TEditPaste, TEditAction)
public:
  using TEditAction::TEditAction;
  void RefreshOnTarget(TComponent* target) override;
  void RunOnTarget(TComponent* target) override;
};

class TEditSelectAll : public TEditAction {
  TAVELO_CLASS(TEditSelectAll, TEditAction)
public:
  using TEditAction::TEditAction;
  void RefreshOnTarget(TComponent* target) override;
  void RunOnTarget(TComponent* target) override;
};

// Runs its dialog on any target: BeforeExecute, the dialog, then OnAccept or OnCancel.
class TCommonDialogAction : public TCustomAction {
  TAVELO_CLASS(TCommonDialogAction, TCustomAction)
public:
  explicit TCommonDialogAction(TComponent* owner);

  bool AcceptsTarget(TComponent* target) override;
  void RunOnTarget(TComponent* target) override;

  TCommonDialog* Dialog() const { return dialog_; }
  // Whether the last run's dialog was accepted.
  bool ExecuteResult() const { return executeResult_; }
  TNotifyEvent BeforeExecute() const { return beforeExecute_; }
  void SetBeforeExecute(TNotifyEvent value) { beforeExecute_ = value; }
  TNotifyEvent OnAccept() const { return onAccept_; }
  void SetOnAccept(TNotifyEvent value) { onAccept_ = value; }
  TNotifyEvent OnCancel() const { return onCancel_; }
  void SetOnCancel(TNotifyEvent value) { onCancel_ = value; }

protected:
  // The class of the owned dialog; none for this base. Called by the derived constructors
  // through MakeDialog, since a constructor cannot reach a derived override.
  virtual TClass DialogClass() const { return nullptr; }
  void MakeDialog(const char* name);

private:
  TCommonDialog* dialog_ = nullptr;
  bool executeResult_ = false;
  TNotifyEvent beforeExecute_, onAccept_, onCancel_;
};

class TFileAction : public TCommonDialogAction {
  TAVELO_CLASS(TFileAction, TCommonDialogAction)
public:
  using TCommonDialogAction::TCommonDialogAction;
};

class TFileOpen : public TFileAction {
  TAVELO_CLASS(TFileOpen, TFileAction)
public:
  explicit TFileOpen(TComponent* owner);
  TOpenDialog* Dialog() const { return static_cast<TOpenDialog*>(TCommonDialogAction::Dialog()); }

protected:
  TClass DialogClass() const override { return TOpenDialog::StaticClass(); }
};

class TFileSaveAs : public TFileAction {
  TAVELO_CLASS(TFileSaveAs, TFileAction)
public:
  explicit TFileSaveAs(TComponent* owner);
  TSaveDialog* Dialog() const { return static_cast<TSaveDialog*>(TCommonDialogAction::Dialog()); }

protected:
  TClass DialogClass() const override { return TSaveDialog::StaticClass(); }
};

// Closes the main form through its ordinary close path (close query, OnClose, the end).
class TFileExit : public TCustomAction {
  TAVELO_CLASS(TFileExit, TCustomAction)
public:
  explicit TFileExit(TComponent* owner) : TCustomAction(owner) {}
  bool AcceptsTarget(TComponent* target) override;
  void RunOnTarget(TComponent* target) override;
};

}  // namespace tavelo
