// Forms: the top-level windows built from their class's description. TScrollingWinControl
// adds the two scroll bars and automatic scrolling; TCustomForm shows, places, closes,
// activates and runs modally; TForm publishes it.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "controls/controls.h"
#include "graphics/icon.h"

namespace tavelo {

class TCustomActionList;
class TScrollingWinControl;
class TCustomForm;
class TForm;

enum TScrollBarKind { sbHorizontal, sbVertical };
TAVELO_ENUM(TScrollBarKind, sbHorizontal, sbVertical)

// One of a scrolling control's two bars: its range follows the children, its position
// scrolls them.
class TControlScrollBar : public TPersistent {
  TAVELO_CLASS(TControlScrollBar, TPersistent)
public:
  TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind);
  TScrollBarKind Kind() const { return kind_; }
  int Increment() const { return increment_; }
  void SetIncrement(int value) { increment_ = value; }
  int PageIncrement() const { return pageIncrement_; }
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int Position() const { return position_; }
  void SetPosition(int value);
  int Range() const { return range_; }
  void SetRange(int value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  // Whether the platform bar shows now.
  bool IsScrollBarVisible() const;
  // The position when the bar shows, else 0.
  int ScrollPos() const { return IsScrollBarVisible() ? position_ : 0; }
  void Assign(TPersistent* source) override;

private:
  friend class TScrollingWinControl;
  int ControlSize(bool controlSB, bool assumeSBVisible) const;
  bool NeedsScrollBarVisible() const;
  void Update(bool controlSB, bool assumeSBVisible);
  void ScrollMessage(TMessage& message);
  void DoSetRange(int value);

  TScrollingWinControl* control_;
  TScrollBarKind kind_;
  int increment_ = 8;
  int pageIncrement_ = 80;
  int margin_ = 0;
  int position_ = 0;
  int range_ = 0;
  int calcRange_ = 0;
  bool visible_ = true;
  bool updateNeeded_ = true;
  TColor color_ = clBtnHighlight;
};

class TScrollingWinControl : public TWinControl {
  TAVELO_CLASS(TScrollingWinControl, TWinControl)
public:
  explicit TScrollingWinControl(TComponent* owner);
  ~TScrollingWinControl() override;
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);
  TControlScrollBar* HorzScrollBar() const { return horzScrollBar_.get(); }
  void SetHorzScrollBar(TControlScrollBar* value) { horzScrollBar_->Assign(value); }
  TControlScrollBar* VertScrollBar() const { return vertScrollBar_.get(); }
  void SetVertScrollBar(TControlScrollBar* value) { vertScrollBar_->Assign(value); }
  // Scrolls just enough to bring the control into view.
  void ScrollInView(TControl* control);
  // Moves the window's contents and children by dx, dy.
  void ScrollBy(int dx, int dy);
  void Dispatch(TMessage& message) override;

protected:
  friend class TControlScrollBar;
  void CreateWnd() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void AdjustClientRect(TRect& rect) override;
  void ChangeScale(int m, int d) override;
  // The ranges from the children, then the bars.
  void CalcAutoRange();
  void UpdateScrollBars();
  bool AutoScrollEnabled() const { return !AutoSize(); }

private:
  std::unique_ptr<TControlScrollBar> horzScrollBar_;
  std::unique_ptr<TControlScrollBar> vertScrollBar_;
  bool autoScroll_ = true;
  bool updatingScrollBars_ = false;
  int autoRangeCount_ = 0;
  bool sizing_ = false;
};

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
TAVELO_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
TAVELO_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
TAVELO_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
            poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
TAVELO_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
TAVELO_ENUM(TDefaultMonitor, dmDesktop, dmPrimary, dmMainForm, dmActiveForm)
enum TCloseAction { caNone, caHide, caFree, caMinimize };
TAVELO_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
enum TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsActivated };
using TFormState = TSet<TFormStateFlag>;


TAVELO_EVENT(TCloseEvent, void(TObject* sender, TCloseAction& action))
TAVELO_EVENT(TCloseQueryEvent, void(TObject* sender, bool& canClose))
TAVELO_EVENT(TShortCutEvent, void(TMessage& key, bool& handled))

// Bumped by every focus change of every form; a modal run saves and restores it, and the
// focus walk stops when a handler changed it.
int& FocusCount();
// While set (the application passing a system command to the main form), the forms ignore
// activation and focus messages.
bool& FocusMessagesSuspended();

class TCustomForm : public TScrollingWinControl {
  TAVELO_CLASS(TCustomForm, TScrollingWinControl)
public:
  using TConstructorArg = TComponent;
  // The form with its defaults; the description is read by AfterConstruction, which whoever
  // constructs a form calls once the most derived constructor has run (NewForm, CreateForm).
  explicit TCustomForm(TComponent* owner);
  // A form that never reads a description.
  TCustomForm(TComponent* owner, int createNew);
  ~TCustomForm() override;
  // Reads the class chain's descriptions and fires OnCreate.
  virtual void AfterConstruction();

  bool IsForm() const override { return true; }
  void SetVisible(bool value) override;
  void Show();
  void Close();
  bool CloseQuery();
  TModalResult ShowModal();
  // Frees the form once the message being handled now is done.
  void Release();
  void SetFocus() override;
  void FocusControl(TWinControl* control) override;
  bool SetFocusedControl(TWinControl* control) override;
  void DefocusControl(TWinControl* control, bool removing) override;
  TWinControl* ActiveControl() const override { return activeControl_; }
  void SetActiveControl(TWinControl* value);
  bool FormActive() const override { return active_; }
  bool Active() const { return active_; }
  bool IsShortCut(TMessage& key) override;
  bool KeyPreview() const override { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  void RefreshFormActions() override;
  bool FindExecuteTarget(TMessage& message);
  bool FindUpdateTarget(TMessage& message);

  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) override { modalResult_ = value; }
  TFormState FormState() const { return formState_; }
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value);
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState value);
  TDefaultMonitor DefaultMonitor() const { return defaultMonitor_; }
  void SetDefaultMonitor(TDefaultMonitor value) { defaultMonitor_ = value; }
  bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool value) { oldCreateOrder_ = value; }
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value);
  bool Scaled() const { return pixelsPerInch_ != 0; }
  void SetScaled(bool value);
  int TextHeight() const { return textHeight_; }
  // Reading the client size asks the window, which is not const.
  int ClientWidth() const { return const_cast<TCustomForm*>(this)->TControl::ClientWidth(); }
  int ClientHeight() const { return const_cast<TCustomForm*>(this)->TControl::ClientHeight(); }
  void SetClientWidth(int value);
  void SetClientHeight(int value);
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* value) { icon_->Assign(value); }
  TCanvas* Canvas() const { return canvas_.get(); }
  // The action lists the form owns, in the order they came (an action manager is one).
  std::vector<TCustomActionList*> ActionLists() const;
  int AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(int value) { alphaBlendValue_ = value; }
  TColor TransparentColorValue() const { return transparentColorValue_; }
  void SetTransparentColorValue(TColor value) { transparentColorValue_ = value; }

  TNotifyEvent OnCreate() const { return onCreate_; }
  void SetOnCreate(TNotifyEvent value) { onCreate_ = value; }
  TNotifyEvent OnDestroy() const { return onDestroy_; }
  void SetOnDestroy(TNotifyEvent value) { onDestroy_ = value; }
  TNotifyEvent OnShow() const { return onShow_; }
  void SetOnShow(TNotifyEvent value) { onShow_ = value; }
  TNotifyEvent OnHide() const { return onHide_; }
  void SetOnHide(TNotifyEvent value) { onHide_ = value; }
  TCloseEvent OnClose() const { return onClose_; }
  void SetOnClose(TCloseEvent value) { onClose_ = value; }
  TCloseQueryEvent OnCloseQuery() const { return onCloseQuery_; }
  void SetOnCloseQuery(TCloseQueryEvent value) { onCloseQuery_ = value; }
  TNotifyEvent OnActivate() const { return onActivate_; }
  void SetOnActivate(TNotifyEvent value) { onActivate_ = value; }
  TNotifyEvent OnDeactivate() const { return onDeactivate_; }
  void SetOnDeactivate(TNotifyEvent value) { onDeactivate_ = value; }
  TShortCutEvent OnShortCut() const { return onShortCut_; }
  void SetOnShortCut(TShortCutEvent value) { onShortCut_ = value; }

  void Dispatch(TMessage& message) override;
  bool DoKeyDown(TMessage& message) { return TWinControl::DoKeyDown(message); }
  bool DoKeyUp(TMessage& message) { return TWinControl::DoKeyUp(message); }
  bool DoKeyPress(TMessage& message) { return TWinControl::DoKeyPress(message); }

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void WndProc(TMessage& message) override;
  void ReadState(TReader& reader) override;
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();

private:
  friend class TForm;
  friend class TApplication;  // marks a minimised start without applying it
  void InitDefaults();
  void ShowingChanged();
  void PlaceOnFirstShow();
  void MoveToDefaultMonitor();
  void SetWindowFocus();
  void WmActivate(TMessage& message);
  void DialogKey(TMessage& message);
  void ModalCloseStep();
  bool SendFocusMessage(TWinControl* control, std::uint32_t msg);
  void ReadTextHeight(TReader& reader);
  void ReadIgnoreFontProperty(TReader& reader);
  // Hands an exception of an event handler to the application's display.
  static void ShowHandlerException();

  TFormState formState_;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  bool active_ = false;
  bool createNew_ = false;
  bool keyPreview_ = false;
  bool oldCreateOrder_ = true;
  TModalResult modalResult_ = ResultNone;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormBorderStyle borderStyle_ = bsSizeable;
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TDefaultMonitor defaultMonitor_ = dmActiveForm;
  int pixelsPerInch_ = 96;
  int textHeight_ = 0;
  int clientWidth_ = 0, clientHeight_ = 0;  // remembered while the description is read
  bool scaleClientWidth_ = false, scaleClientHeight_ = false;
  int alphaBlendValue_ = 255;
  TColor transparentColorValue_ = TColor(0);
  std::unique_ptr<TIcon> icon_;
  std::unique_ptr<TControlCanvas> canvas_;
  TNotifyEvent onCreate_, onDestroy_, onShow_, onHide_, onActivate_, onDeactivate_;
  TCloseEvent onClose_;
  TCloseQueryEvent onCloseQuery_;
  TShortCutEvent onShortCut_;
};

class TForm : public TCustomForm {
  TAVELO_CLASS(TForm, TCustomForm)
public:
  explicit TForm(TComponent* owner);
  TForm(TComponent* owner, int createNew);
};

// Constructs a form of class T and reads its description; a failure frees what was built.
template <class T> T* NewForm(TComponent* owner) {
  static_assert(std::is_base_of_v<TCustomForm, T>);
  T* form = new T(owner);
  try {
    form->AfterConstruction();
  } catch (...) {
    delete form;
    throw;
  }
  return form;
}

// The forms of the application: the first form of that name (ASCII case folded) in the
// screen's list, for references across windows.
TComponent* FindGlobalForm(const String& name);

}  // namespace tavelo
