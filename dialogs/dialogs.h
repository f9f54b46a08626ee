// The platform's open and save dialogs as components. TCommonDialog runs a platform dialog
// task-modally, takes its window over while it exists and raises OnShow and OnClose;
// TOpenDialog fills the platform's structure from its properties and hands back the chosen
// files; TSaveDialog is the same with the save dialog.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <memory>

#include "core/component.h"
#include "core/events.h"
#include "core/stringlist.h"
#include "controls/forms.h"

namespace tavelo {

using THelpContext = int;

class TCommonDialog : public TComponent {
  TAVELO_CLASS(TCommonDialog, TComponent)
public:
  explicit TCommonDialog(TComponent* owner);
  ~TCommonDialog() override;

  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value) { ctl3D_ = value; }
  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext value) { helpContext_ = value; }
  TNotifyEvent OnClose() const { return onClose_; }
  void SetOnClose(TNotifyEvent value) { onClose_ = value; }
  TNotifyEvent OnShow() const { return onShow_; }
  void SetOnShow(TNotifyEvent value) { onShow_ = value; }

  // The dialog's window while it runs, none otherwise.
  HWND Handle() const { return handle_; }
  virtual bool Execute() = 0;

  // The platform's help message, registered when the dialogs start.
  static UINT HelpMessage();

protected:
  // The template the platform dialog is made from (none: the platform's own).
  const char* Template() const { return template_; }
  void SetTemplate(const char* value) { template_ = value; }

  virtual void DoShow();
  virtual void DoClose();
  // The taken-over window's procedure: default handling by the platform's own.
  virtual void WndProc(TMessage& message);
  void DefaultHandler(TMessage& message) override;
  // Runs the platform call with the application's other windows disabled and the help
  // message watched; everything is restored however the call ends.
  using TDialogFunc = BOOL(WINAPI*)(void* dialogData);
  BOOL TaskModalDialog(TDialogFunc dialogFunc, void* dialogData);

private:
  friend UINT_PTR CALLBACK ExplorerHook(HWND, UINT, WPARAM, LPARAM);
  friend UINT_PTR CALLBACK DialogHook(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK CommonDialogWndProc(HWND, UINT, WPARAM, LPARAM);
  static bool MessageHook(void* data, TMessage& message);
  // Takes the dialog's window over (the window-procedure thunk's job).
  void Subclass(HWND window);

  bool ctl3D_ = true;
  THelpContext helpContext_ = 0;
  TNotifyEvent onClose_, onShow_;
  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  const char* template_ = nullptr;
};

enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
  ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
  ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
  ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
TAVELO_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
            ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
            ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
            ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden)
using TOpenOptions = TSet<TOpenOption>;
enum TOpenOptionEx { ofExNoPlacesBar };
TAVELO_ENUM(TOpenOptionEx, ofExNoPlacesBar)
using TOpenOptionsEx = TSet<TOpenOptionEx>;

TAVELO_EVENT(TIncludeItemEvent, void(const OFNOTIFYEXA& data, bool& include))

// The platform flag of each option, in the options' order.
DWORD OpenOptionFlags(TOpenOptions options);
// The filter as the platform reads it: every "|" a NUL, and one more NUL at the end.
String PlatformFilter(const String& filter);
// Whether the process starts the dialogs in the current folder when no folder is given.
bool& ForceCurrentDirectory();

class TOpenDialog : public TCommonDialog {
  TAVELO_CLASS(TOpenDialog, TCommonDialog)
public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;

  const String& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const String& value) { defaultExt_ = value; }
  // While the dialog runs: the path it shows now.
  String FileName() const;
  void SetFileName(const String& value) { fileName_ = value; }
  const String& Filter() const { return filter_; }
  void SetFilter(const String& value) { filter_ = value; }
  int FilterIndex() const;
  void SetFilterIndex(int value) { filterIndex_ = value; }
  const String& InitialDir() const { return initialDir_; }
  // A trailing path delimiter goes, but not the one of a drive's root.
  void SetInitialDir(const String& value);
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions value) { options_ = value; }
  TOpenOptionsEx OptionsEx() const { return optionsEx_; }
  void SetOptionsEx(TOpenOptionsEx value) { optionsEx_ = value; }
  const String& Title() const { return title_; }
  void SetTitle(const String& value) { title_ = value; }
  TStrings* Files() const { return files_.get(); }
  TStrings* HistoryList() const { return historyList_.get(); }

  TCloseQueryEvent OnCanClose() const { return onCanClose_; }
  void SetOnCanClose(TCloseQueryEvent value) { onCanClose_ = value; }
  TNotifyEvent OnFolderChange() const { return onFolderChange_; }
  void SetOnFolderChange(TNotifyEvent value) { onFolderChange_ = value; }
  TNotifyEvent OnSelectionChange() const { return onSelectionChange_; }
  void SetOnSelectionChange(TNotifyEvent value) { onSelectionChange_ = value; }
  TNotifyEvent OnTypeChange() const { return onTypeChange_; }
  void SetOnTypeChange(TNotifyEvent value) { onTypeChange_ = value; }
  TIncludeItemEvent OnIncludeItem() const { return onIncludeItem_; }
  void SetOnIncludeItem(TIncludeItemEvent value) { onIncludeItem_ = value; }

  bool Execute() override;

protected:
  using TOpenFunc = BOOL(WINAPI*)(OPENFILENAMEA*);
  bool DoExecute(TOpenFunc func);
  void WndProc(TMessage& message) override;
  void DefineProperties(TFiler& filer) override;
  virtual bool DoCanClose();
  // Files and FileName from the platform's buffer of names.
  void GetFileNames(const char* buffer, std::size_t length);
  bool OldStyle() const;

private:
  String defaultExt_;
  mutable String fileName_;
  String filter_;
  int filterIndex_ = 1;
  int currentFilterIndex_ = 1;
  String initialDir_;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
  TOpenOptionsEx optionsEx_;
  String title_;
  std::unique_ptr<TStringList> files_;
  std::unique_ptr<TStringList> historyList_;
  TCloseQueryEvent onCanClose_;
  TNotifyEvent onFolderChange_, onSelectionChange_, onTypeChange_;
  TIncludeItemEvent onIncludeItem_;
};

class TSaveDialog : public TOpenDialog {
  TAVELO_CLASS(TSaveDialog, TOpenDialog)
public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
  bool Execute() override;
};

}  // namespace tavelo
