// Controls: the tree of windowed and windowless elements, their bounds and alignment, their
// platform windows and the route every window message takes to them.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "core/component.h"
#include "core/events.h"
#include "core/set.h"
#include "core/typinfo.h"
#include "actions/customaction.h"
#include "controls/cursors.h"
#include "graphics/canvas.h"
#include "graphics/colors.h"
#include "graphics/graphicsobjects.h"
#include "graphics/shortcuts.h"

namespace tavelo {

class TControl;
class TWinControl;

// The result a modal form closes with; 0 keeps it open.
using TModalResult = int;
inline constexpr TModalResult ResultNone = 0;
inline constexpr TModalResult ResultOk = 1;
inline constexpr TModalResult ResultCancel = 2;
inline constexpr TModalResult ResultAbort = 3;
inline constexpr TModalResult ResultRetry = 4;
inline constexpr TModalResult ResultIgnore = 5;
inline constexpr TModalResult ResultYes = 6;
inline constexpr TModalResult ResultNo = 7;
inline constexpr TModalResult ResultAll = 8;
inline constexpr TModalResult ResultNoToAll = 9;
inline constexpr TModalResult ResultYesToAll = 10;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
TAVELO_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)

enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
TAVELO_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)

enum TControlStyleFlag {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
  csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csActionClient,
  csNoStdEvents
};
using TControlStyle = TSet<TControlStyleFlag>;
TAVELO_ENUM(TControlStyleFlag, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents,
            csFramed, csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight,
            csNoDesignVisible, csActionClient, csNoStdEvents)

enum TControlStateFlag {
  csLButtonDown, csClicked, csFocusing, csReadingState, csAlignmentNeeded, csCustomPaint,
  csPaintCopy, csCreating
};
using TControlState = TSet<TControlStateFlag>;
TAVELO_ENUM(TControlStateFlag, csLButtonDown, csClicked, csFocusing, csReadingState, csAlignmentNeeded,
            csCustomPaint, csPaintCopy, csCreating)

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
TAVELO_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
TAVELO_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)

// What the next scaling pass changes of a control (see TControl::ChangeScale).
enum TScalingFlag { sfLeft, sfTop, sfWidth, sfHeight, sfFont, sfDesignSize };
using TScalingFlags = TSet<TScalingFlag>;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
TAVELO_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)

// Border styles: a form takes any of them, a panel only bsNone or bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
TAVELO_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TSet<TBevelEdge>;
TAVELO_ENUM(TBevelEdge, beLeft, beTop, beRight, beBottom)
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
TAVELO_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)

enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;
TAVELO_ENUM(TEdgeBorder, ebLeft, ebTop, ebRight, ebBottom)
enum TEdgeStyle { esNone, esRaised, esLowered };
TAVELO_ENUM(TEdgeStyle, esNone, esRaised, esLowered)

// Whether the system's locale supports right-to-left scripts, read once at start-up; all
// right-to-left behaviour of the controls depends on it.
struct TSysLocale {
  bool MiddleEast = false;
};
TSysLocale& SysLocale();
// taLeftJustify and taRightJustify swap; taCenter stays.
void ChangeBiDiModeAlignment(TAlignment& alignment);

TAVELO_EVENT(TCanResizeEvent, void(TObject* sender, int& newWidth, int& newHeight, bool& resize))
TAVELO_EVENT(TConstrainedResizeEvent,
             void(TObject* sender, int& minWidth, int& minHeight, int& maxWidth, int& maxHeight))
TAVELO_EVENT(TAlignInsertBeforeEvent, void(TWinControl* sender, TControl* c1, TControl* c2, bool& before))
TAVELO_EVENT(TAlignPositionEvent, void(TWinControl* sender, TControl* control, int& newLeft, int& newTop,
                                       int& newWidth, int& newHeight, TRect& alignRect))

// ---- Input: the mouse buttons and the handlers of key and mouse events.
enum TMouseButton { mbLeft, mbRight, mbMiddle };
TAVELO_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)

TAVELO_EVENT(TMouseEvent, void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y))
TAVELO_EVENT(TMouseMoveEvent, void(TObject* sender, TShiftState shift, int x, int y))
// A handler that sets the key (the character) to 0 consumes it.
TAVELO_EVENT(TKeyEvent, void(TObject* sender, std::uint16_t& key, TShiftState shift))
TAVELO_EVENT(TKeyPressEvent, void(TObject* sender, char& key))

// The modifiers and buttons of a mouse message's key flags; Alt as the keyboard holds it now.
TShiftState MouseShiftState(std::uintptr_t keyFlags);

// A control's binding to its action: the action's caption, enabled state, hint, visibility
// and execute handler reach the control while the control's own value still equals the
// action's, so a value changed by hand stops following.
class TControlActionLink : public TActionLink {
  TAVELO_CLASS(TControlActionLink, TActionLink)
public:
  // Made by the control through its ActionLinkClass.
  using TConstructorArg = TObject;
  explicit TControlActionLink(TObject* client);
  // The action's hint step, then its shortcut text as "%s (%s)" when the application wants
  // shortcuts in hints; hint is the text about to show. False never happens here: the hint
  // shows in any case.
  virtual bool DoShowHint(String& hint);

protected:
  void BindClient(TObject* client) override;
  bool ClientFollowsCaption() override;
  bool ClientFollowsEnabled() override;
  bool ClientFollowsHint() override;
  bool ClientFollowsVisible() override;
  bool ClientFollowsOnExecute() override;
  void PushCaption(const String& value) override;
  void PushEnabled(bool value) override;
  void PushHint(const String& value) override;
  void PushVisible(bool value) override;
  void PushOnExecute(TNotifyEvent value) override;

  TControl* client_ = nullptr;

private:
  TCustomAction* CustomAction() const;
};

inline constexpr TAnchors kNaturalAnchors[] = {
    {akLeft, akTop},                   // alNone
    {akLeft, akTop, akRight},          // alTop
    {akLeft, akRight, akBottom},       // alBottom
    {akLeft, akTop, akBottom},         // alLeft
    {akRight, akTop, akBottom},        // alRight
    {akLeft, akTop, akRight, akBottom},// alClient
    {akLeft, akTop},                   // alCustom
};

// Limits of a control's size; 0 means no limit.
class TSizeConstraints : public TPersistent {
  TAVELO_CLASS(TSizeConstraints, TPersistent)
public:
  explicit TSizeConstraints(TControl* control) : control_(control) {}
  int MaxHeight() const { return maxHeight_; }
  int MaxWidth() const { return maxWidth_; }
  int MinHeight() const { return minHeight_; }
  int MinWidth() const { return minWidth_; }
  void SetMaxHeight(int value);
  void SetMaxWidth(int value);
  void SetMinHeight(int value);
  void SetMinWidth(int value);
  void Assign(TPersistent* source) override;

private:
  void Changed();
  TControl* control_;
  int maxHeight_ = 0, maxWidth_ = 0, minHeight_ = 0, minWidth_ = 0;
};

// A canvas bound to a control: it borrows the control's (or, for a windowless control, its
// parent's) device context while it draws; the framework gives it back after each message.
class TControlCanvas : public TCachedCanvas {
  TAVELO_CLASS(TControlCanvas, TCachedCanvas)
public:
  TControl* Control() const { return control_; }
  void SetControl(TControl* value);

protected:
  HDC AcquireContext(HWND& window) override;

private:
  TControl* control_ = nullptr;
};

// What happens to an exception raised while a window message is handled: the application
// fills this hook with its exception display; until then the message is shown in a box.
using TWindowExceptionHandler = void (*)(std::exception_ptr error);
void SetWindowExceptionHandler(TWindowExceptionHandler handler);

// What the controls ask of the application object. The application installs these when it
// is created; each one left empty does nothing (a hint, a cursor of the screen's table).
struct TControlAppHooks {
  // A mouse move over a control, for the hint timing.
  void (*HintMouseMessage)(TControl* control, TMessage& message) = nullptr;
  // The screen's forced cursor (crDefault when none) and the handle of a cursor identifier.
  TCursor (*ScreenCursor)() = nullptr;
  HCURSOR (*CursorHandle)(TCursor cursor) = nullptr;
  // The application window, to which unclaimed keys go as FM_APP_KEY_DOWN.
  HWND (*ApplicationWindow)() = nullptr;
  // A control is going away: the application and the screen forget it.
  void (*ControlDestroyed)(TControl* control) = nullptr;
};
TControlAppHooks& ControlAppHooks();
// The message box shown when no handler is set (also used by tests to check the text).
String ExceptionDisplayText(std::exception_ptr error);

class TControl : public TComponent {
  TAVELO_CLASS(TControl, TComponent)
public:
  using TConstructorArg = TComponent;
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* value);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Each marks its scaling flag, even when the value stays.
  void SetLeft(int value) { scalingFlags_.Include(sfLeft); SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { scalingFlags_.Include(sfTop); SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { scalingFlags_.Include(sfWidth); SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { scalingFlags_.Include(sfHeight); SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Rect(left_, top_, left_ + width_, top_ + height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  virtual TRect ClientRect();
  int ClientWidth() { TRect r = ClientRect(); return r.right - r.left; }
  int ClientHeight() { TRect r = ClientRect(); return r.bottom - r.top; }
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint p);
  TPoint ScreenToClient(TPoint p);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors value);
  TSizeConstraints* Constraints() const { return constraints_.get(); }
  void SetConstraints(TSizeConstraints* value) { constraints_->Assign(value); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  bool Visible() const { return visible_; }
  // Forms only record the request while their description is read.
  virtual void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  const String& Hint() const { return hint_; }
  void SetHint(const String& value) { hint_ = value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value) { showHint_ = value; }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value) { cursor_ = value; }

  // The text: kept here while there is no window, in the window otherwise.
  String Text() const;
  void SetText(const String& value);
  String Caption() const { return Text(); }
  void SetCaption(const String& value) { SetText(value); }

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
  TControlState ControlState() const { return controlState_; }
  // The form marks the control it is focusing.
  void SetControlState(TControlState value) { controlState_ = value; }

  // Every message to the control goes through here: the replaceable entry when one is set
  // (a user hooking the control), else the control's own WndProc.
  void WindowProc(TMessage& message);
  using TWndMethod = std::function<void(TMessage&)>;
  void SetWindowProc(TWndMethod value) { windowProc_ = std::move(value); }
  // Calls the control's own procedure (what a replacing entry falls back to).
  void DefaultWindowProc(TMessage& message) { WndProc(message); }
  std::intptr_t Perform(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

  virtual void Invalidate();
  void Update();
  void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  TPoint RecordedParentSize() const { return originalParentSize_; }

  // ---- Bidirectional mode and scaling.
  TBiDiMode BiDiMode() const { return bidiMode_; }
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value);
  bool UseRightToLeftReading() const;
  bool UseRightToLeftAlignment() const;
  bool UseRightToLeftScrollBar() const;
  // Text drawing flags adjusted for the control's mode: the alignment flag mirrored, and the
  // right-to-left reading flag.
  std::uint32_t DrawTextBiDiModeFlags(std::uint32_t flags) const;
  std::uint32_t DrawTextBiDiModeFlagsReadingOnly() const;
  TScalingFlags ScalingFlags() const { return scalingFlags_; }
  void SetScalingFlags(TScalingFlags value) { scalingFlags_ = value; }
  // The size the control asks for itself (AutoSize), applied through the bounds.
  virtual void AdjustSize();

  TNotifyEvent OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent value) { onClick_ = value; }
  TNotifyEvent OnResize() const { return onResize_; }
  void SetOnResize(TNotifyEvent value) { onResize_ = value; }
  TCanResizeEvent OnCanResize() const { return onCanResize_; }
  void SetOnCanResize(TCanResizeEvent value) { onCanResize_ = value; }
  TConstrainedResizeEvent OnConstrainedResize() const { return onConstrainedResize_; }
  void SetOnConstrainedResize(TConstrainedResizeEvent value) { onConstrainedResize_ = value; }

  // ---- Action, mouse and click.
  // Assigning binds a link of ActionLinkClass, copies the action's values (only over
  // defaults while the action is loading) and watches for the action's end.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* value);
  TControlActionLink* ActionLink() const { return actionLink_.get(); }
  // Brings the state of the action this control shows up to date: the form calls it at idle
  // for each action client it shows. A control showing an action through another link says so.
  virtual void RefreshActionState();
  // The application calls this with the hint text about to show: the action may change it
  // and add its shortcut text.
  void PrepareActionHint(String& hint);
  TNotifyEvent OnDblClick() const { return onDblClick_; }
  void SetOnDblClick(TNotifyEvent value) { onDblClick_ = value; }
  TMouseEvent OnMouseDown() const { return onMouseDown_; }
  void SetOnMouseDown(TMouseEvent value) { onMouseDown_ = value; }
  TMouseEvent OnMouseUp() const { return onMouseUp_; }
  void SetOnMouseUp(TMouseEvent value) { onMouseUp_ = value; }
  TMouseMoveEvent OnMouseMove() const { return onMouseMove_; }
  void SetOnMouseMove(TMouseMoveEvent value) { onMouseMove_ = value; }
  // Whether this control holds the mouse (a windowless one through its parent's window).
  bool MouseCapture() const;
  void SetMouseCapture(bool value);

  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

protected:
  friend class TWinControl;
  friend class TSizeConstraints;
  friend class TControlActionLink;

  // ---- Action, mouse and click.
  virtual TClass ActionLinkClass() const;
  // Copies the current action's caption, enabled state, hint, visibility and execute handler;
  // with checkDefaults only where the control still has its default value.
  virtual void ApplyActionToClient(bool checkDefaults);
  void DoActionChange(TObject* sender);
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  void ButtonDown(TMessage& message);
  void ButtonUp(TMessage& message);

  virtual void WndProc(TMessage& message);
  virtual void Click();
  virtual void Resize();
  virtual bool CanResize(int& newWidth, int& newHeight);
  virtual bool CanAutoSize(int& newWidth, int& newHeight) { (void)newWidth; (void)newHeight; return false; }
  virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
  void ConstraintsChanged();
  void DoConstrainSize(int& width, int& height);
  bool CheckNewSize(int& newWidth, int& newHeight);
  void UpdateAnchorRules();
  void UpdateBoundsRect(const TRect& r);
  void RequestAlign();
  virtual void SetParentComponent(TComponent* value) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  virtual void Paint() {}
  void InvalidateControl(bool isVisible, bool isOpaque);
  void SetZOrder(bool topMost);
  virtual void SetZOrderPosition(int position);
  void Loaded() override;
  // "IsControl": a flag the designer keeps in descriptions; read and written back unchanged.
  void DefineProperties(TFiler& filer) override;

  // Scales by m / d what the scaling flags say; clears them.
  virtual void ChangeScale(int m, int d);
  void ParentBiDiModeChanged();
  // The alignment the control's own text uses, for the right-aligned extended style.
  virtual TAlignment ControlsAlignment() const { return taLeftJustify; }

  void FontChanged(TObject* sender);
  void ParentFontChanged(TMessage& message);
  void ParentColorChanged(TMessage& message);

  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;
  bool aligning_ = false;  // bounds set by alignment: anchor rules stay

private:
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  TPoint anchorRules_{0, 0};
  TPoint originalParentSize_{0, 0};
  std::unique_ptr<TSizeConstraints> constraints_;
  bool autoSize_ = false;
  bool visible_ = true;
  bool isControl_ = false;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool settingParentFont_ = false;
  String hint_;
  bool showHint_ = false;
  TCursor cursor_ = crDefault;
  TBiDiMode bidiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  TScalingFlags scalingFlags_;
  int fontHeight_ = 0;  // to tell a height change among font changes
  String text_;
  TWndMethod windowProc_;
  std::unique_ptr<TControlActionLink> actionLink_;
  TNotifyEvent onDblClick_;
  TMouseEvent onMouseDown_, onMouseUp_;
  TMouseMoveEvent onMouseMove_;
  TNotifyEvent onClick_, onResize_;
  TCanResizeEvent onCanResize_;
  TConstrainedResizeEvent onConstrainedResize_;
};

// A control that paints on its parent's window.
class TGraphicControl : public TControl {
  TAVELO_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }
  void Dispatch(TMessage& message) override;

private:
  std::unique_ptr<TControlCanvas> canvas_;
};

class TWinControl : public TControl {
  TAVELO_CLASS(TWinControl, TControl)
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, made on first request.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  void RecreateWnd();
  // A window that is not a control of this program but hosts this control.
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND value);
  bool Showing() const { return showing_; }

  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() override;
  TPoint ClientOrigin() override;

  int ControlCount() const { return static_cast<int>(controls_.size() + winControls_.size()); }
  // Graphic controls first, then windowed ones, each in z-order.
  TControl* Controls(int index) const;
  const std::vector<TWinControl*>& TabList() const { return tabList_; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  int TabOrder() const;
  void SetTabOrder(int value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);

  // ---- Frame, bevels, buffering and scaling.
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  TBevelEdges BevelEdges() const { return bevelEdges_; }
  void SetBevelEdges(TBevelEdges value);
  TBevelKind BevelKind() const { return bevelKind_; }
  void SetBevelKind(TBevelKind value);
  // Paint into a memory bitmap, then copy it to the window in one step.
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
  // Scales every child by m / d, alignment suspended.
  void ScaleControls(int m, int d);
  TPoint DesignSize() const { return designSize_; }
  void SetDesignSize(TPoint value) { designSize_ = value; }
  void AdjustSize() override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  TBrush* Brush() const { return brush_.get(); }

  void DisableAlign() { ++alignLevel_; }
  void EnableAlign();
  void Realign() { AlignControl(nullptr); }
  bool AlignDisabled() const { return alignLevel_ != 0; }
  void Broadcast(TMessage& message);
  void NotifyControls(std::uint32_t msg);
  TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWindowed = false);
  void Invalidate() override;
  void PaintTo(HDC dc, int x, int y);

  TAlignInsertBeforeEvent OnAlignInsertBefore() const { return onAlignInsertBefore_; }
  void SetOnAlignInsertBefore(TAlignInsertBeforeEvent value) { onAlignInsertBefore_ = value; }
  TAlignPositionEvent OnAlignPosition() const { return onAlignPosition_; }
  void SetOnAlignPosition(TAlignPositionEvent value) { onAlignPosition_ = value; }

  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  // The control of one of this program's windows, or none.
  static TWinControl* FindControl(HWND window);

  // ---- Focus, tab order and keys.
  // On a form, with itself and every parent below the form visible and enabled.
  bool CanFocus();
  bool Focused() const;
  // Through the parent form; without one, a control hosted by a parent window takes the
  // platform focus itself.
  virtual void SetFocus();
  // The windowed descendants, each child in tab order followed by its own list.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // The next focusable control after current, wrapping around; none after a full turn.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  // Whether control is this one or lies inside it.
  bool ContainsControl(const TControl* control) const;
  TNotifyEvent OnEnter() const { return onEnter_; }
  void SetOnEnter(TNotifyEvent value) { onEnter_ = value; }
  TNotifyEvent OnExit() const { return onExit_; }
  void SetOnExit(TNotifyEvent value) { onExit_ = value; }
  TKeyEvent OnKeyDown() const { return onKeyDown_; }
  void SetOnKeyDown(TKeyEvent value) { onKeyDown_ = value; }
  TKeyEvent OnKeyUp() const { return onKeyUp_; }
  void SetOnKeyUp(TKeyEvent value) { onKeyUp_ = value; }
  TKeyPressEvent OnKeyPress() const { return onKeyPress_; }
  void SetOnKeyPress(TKeyPressEvent value) { onKeyPress_ = value; }

  // ---- The form side. A form is the windowed control at the top of a tree that answers
  // IsForm(); the forms override these, and until they exist a test's stand-in does. The
  // controls and the application reach a form only through them.
  virtual bool IsForm() const { return false; }
  // The form's shortcut check: its shortcut event, its main menu, then its action lists.
  virtual bool IsShortCut(TMessage& key) { (void)key; return false; }
  // Whether the form sees its controls' keys first.
  virtual bool KeyPreview() const { return false; }
  // The form's focused control changes to `control` (WM_SETFOCUS); false when the form moved
  // the focus elsewhere meanwhile, and the message is then dropped.
  virtual bool SetFocusedControl(TWinControl* control) { (void)control; return true; }
  // Focuses `control` through the form (the exit/enter walk).
  virtual void FocusControl(TWinControl* control) { (void)control; }
  virtual TWinControl* ActiveControl() const { return nullptr; }
  // Whether the form is the active one of the application.
  virtual bool FormActive() const { return false; }
  // Refreshes the actions of the form's visible action clients (at idle).
  virtual void RefreshFormActions() {}
  // `control` goes away (removing) or hides: a focus inside it moves to its parent.
  virtual void DefocusControl(TWinControl* control, bool removing) { (void)control; (void)removing; }
  // The form's modal result: a clicked button hands its own to its form.
  virtual void SetModalResult(TModalResult value) { (void)value; }

protected:
  friend class TControl;
  struct TCreateParams {
    String Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    WNDCLASSA WindowClass{};
    String WinClassName;
  };
  virtual void CreateParams(TCreateParams& params);
  // Copies a platform class (an edit, a list) so the control wraps it.
  void CreateSubClass(TCreateParams& params, const char* className);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  void CreateHandle();
  void DestroyHandle();
  virtual void AlignControls(TControl* control, TRect& rect);
  virtual void AdjustClientRect(TRect& rect) { (void)rect; }
  virtual void ControlsAligned() {}
  virtual bool CustomAlignInsertBefore(TControl* c1, TControl* c2);
  virtual void CustomAlignPosition(TControl* control, int& newLeft, int& newTop, int& newWidth,
                                   int& newHeight, TRect& alignRect);
  void AlignControl(TControl* control);
  virtual void PaintWindow(HDC dc);
  void PaintHandler(TMessage& message);
  void PaintControls(HDC dc, TControl* first);
  void UpdateShowing();
  void UpdateControlState();
  void UpdateBounds();
  void SetZOrderPosition(int position) override;
  void Loaded() override;
  HWND DefWndProcWindow() const { return handle_; }
  // Frame, bevels and buffering (paint.cpp), scaling (scaling.cpp), automatic size
  // (autosize.cpp), bidirectional styles (bidimode.cpp).
  virtual void NcCalcSize(TMessage& message);
  void NcPaintBorder();
  void PaintBuffered(TMessage& message);
  void PaintFrames(HDC dc);
  void ParentCtl3DChanged();
  void AddBiDiModeExStyle(DWORD& exStyle) const;
  void ChangeScale(int m, int d) override;
  bool CanAutoSize(int& newWidth, int& newHeight) override;

  // ---- Focus, tab order, keys, mouse routing and cursor.
  void WndProc(TMessage& message) override;
  // Alignment waits for the whole description; the tab orders read are applied after it.
  void ReadState(TReader& reader) override;
  void FixupTabList();
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(std::uint16_t& key, TShiftState shift);
  virtual void KeyUp(std::uint16_t& key, TShiftState shift);
  virtual void KeyPress(char& key);
  // The form's preview, then the control's own event: true when the key was consumed.
  bool DoKeyDown(TMessage& message);
  bool DoKeyUp(TMessage& message);
  bool DoKeyPress(TMessage& message);
  void ReflectedKeyDown(TMessage& message);
  void ReflectedKeyUp(TMessage& message);
  void ReflectedChar(TMessage& message);
  // A mouse message over a windowless child, or for the one holding the capture, goes to it.
  bool IsControlMouseMsg(TMessage& message);
  void CursorMessage(TMessage& message);
  void RemoveFocus(bool removing);

  WNDPROC defWndProc_ = nullptr;

private:
  friend LRESULT CALLBACK ControlInitWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK ControlMainWndProc(HWND, UINT, WPARAM, LPARAM);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void DoAlign(TAlign align, TControl* control, TRect& rect);
  void DoPosition(TControl* control, TAlign align, TRect& rect);
  bool AlignWork() const;

  HWND handle_ = nullptr;
  HWND parentWindow_ = nullptr;
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> winControls_;
  std::vector<TWinControl*> tabList_;
  bool showing_ = false;
  bool tabStop_ = false;
  int tabOrder_ = -1;
  int borderWidth_ = 0;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  TBevelCut bevelInner_ = bvRaised;
  TBevelCut bevelOuter_ = bvLowered;
  int bevelWidth_ = 1;
  TBevelEdges bevelEdges_{beLeft, beTop, beRight, beBottom};
  TBevelKind bevelKind_ = bkNone;
  bool doubleBuffered_ = false;
  bool autoSizing_ = false;
  bool creatingShown_ = false;
  TPoint designSize_{0, 0};
  int alignLevel_ = 0;
  std::unique_ptr<TBrush> brush_;
  TAlignInsertBeforeEvent onAlignInsertBefore_;
  TAlignPositionEvent onAlignPosition_;
  TNotifyEvent onEnter_, onExit_;
  TKeyEvent onKeyDown_, onKeyUp_;
  TKeyPressEvent onKeyPress_;
};

// The form at the top of the control's parent chain, or none; the checked variant raises
// EInvalidOperation naming the control when there is none.
TWinControl* GetParentForm(TControl* control);
// The control holding the mouse capture: a windowless control remembered while its parent's
// window holds the capture, else the control of the capturing window.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
TWinControl* ValidParentForm(TControl* control);

// A windowed control that draws itself on its canvas.
class TCustomControl : public TWinControl {
  TAVELO_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }
  void Dispatch(TMessage& message) override;

protected:
  void PaintWindow(HDC dc) override;

private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// A windowed control with edges drawn in its non-client area (the base of the tool bars).
class TToolWindow : public TWinControl {
  TAVELO_CLASS(TToolWindow, TWinControl)
public:
  explicit TToolWindow(TComponent* owner);
  TEdgeBorders EdgeBorders() const { return edgeBorders_; }
  void SetEdgeBorders(TEdgeBorders value);
  TEdgeStyle EdgeInner() const { return edgeInner_; }
  void SetEdgeInner(TEdgeStyle value);
  TEdgeStyle EdgeOuter() const { return edgeOuter_; }
  void SetEdgeOuter(TEdgeStyle value);
  void Dispatch(TMessage& message) override;

protected:
  void NcCalcSize(TMessage& message) override;
  void NcPaint(HDC dc);

private:
  TEdgeBorders edgeBorders_{ebLeft, ebTop, ebRight, ebBottom};
  TEdgeStyle edgeInner_ = esRaised;
  TEdgeStyle edgeOuter_ = esLowered;
};

}  // namespace tavelo
