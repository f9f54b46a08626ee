// Action bars and their item controls: a bar shows one list of client items as a row or
// column of windowless controls it lays out itself.
#pragma once

#include <memory>
#include <vector>

#include "actnman/actnclients.h"
#include "controls/controls.h"

namespace tavelo {

class TActionBarItem;
class TCustomActionBar;
class TCustomActionControl;
class TCustomActionManager;
class TCustomActionList;

enum TBarOrientation { boLeftToRight, boRightToLeft, boTopToBottom, boBottomToTop };
TAVELO_ENUM(TBarOrientation, boLeftToRight, boRightToLeft, boTopToBottom, boBottomToTop)

TAVELO_EVENT(TControlCreatedEvent, void(TObject* sender, TCustomActionControl* control))
TAVELO_EVENT(TGetControlClassEvent, void(TCustomActionBar* sender, TActionClient* item, TClass& controlClass))

// ---- What customisation drags: actions of a manager, one client item, or a category.
class TActionDragBaseClass : public TObject {
  TAVELO_CLASS(TActionDragBaseClass, TObject)
public:
  TCustomActionManager* ActionManager() const { return actionManager_; }
  void SetActionManager(TCustomActionManager* value) { actionManager_ = value; }

private:
  TCustomActionManager* actionManager_ = nullptr;
};

class TActionDragObject : public TActionDragBaseClass {
  TAVELO_CLASS(TActionDragObject, TActionDragBaseClass)
public:
  void AddAction(TContainedAction* action) { actions_.push_back(action); }
  int ActionCount() const { return static_cast<int>(actions_.size()); }
  TContainedAction* Actions(int index) const { return actions_[static_cast<std::size_t>(index)]; }

private:
  std::vector<TContainedAction*> actions_;
};

class TActionItemDragObject : public TActionDragBaseClass {
  TAVELO_CLASS(TActionItemDragObject, TActionDragBaseClass)
public:
  TActionClientItem* ClientItem() const { return clientItem_; }
  void SetClientItem(TActionClientItem* value) { clientItem_ = value; }

private:
  TActionClientItem* clientItem_ = nullptr;
};

class TCategoryDragObject : public TActionDragObject {
  TAVELO_CLASS(TCategoryDragObject, TActionDragObject)
public:
  const String& Category() const { return category_; }
  void SetCategory(const String& value) { category_ = value; }

private:
  String category_;
};

// The context menu of a client's ContextItems, shown by the menus (which fill this hook): a
// popup of the standard class, bound to client, at a screen point, parented to parent.
using TContextPopupProc = void (*)(TActionClient* client, TPoint screenPos, TCustomActionBar* parent);
void SetContextPopupProc(TContextPopupProc proc);

class TCustomActionBar : public TToolWindow {
  TAVELO_CLASS(TCustomActionBar, TToolWindow)
public:
  explicit TCustomActionBar(TComponent* owner);
  ~TCustomActionBar() override;

  // ---- Virtual operations, in the order subclasses expect them.
  // Frees every item control; the client and the bar forget each other.
  virtual void ReleaseItemControls();
  virtual TCustomActionControl* MakeItemControl(TActionClientItem* item);
  virtual void MakeAllItemControls();
  // Fires OnControlCreated.
  virtual void ControlCreated(TCustomActionControl* control);
  virtual void DropCategory(TCategoryDragObject* source, int x, int y);
  virtual TActionClientItem* LastItem();
  virtual TActionClientItem* NextItem(TActionClientItem* item, bool wrap);
  virtual TActionClientItem* PreviousItem(TActionClientItem* item, bool wrap);
  virtual int DesiredHeight();
  virtual int DesiredWidth();
  virtual bool InCustomizeMode() const { return customizeMode_; }
  virtual TCustomActionControl* ControlAt(int index);
  virtual TClass DefaultControlClass() const;
  virtual int ItemCount() const;
  virtual void PaintBackground();
  // The background, then OnPaint.
  virtual void PaintBar();
  // Back to the items the manager had before its settings file was read.
  virtual void ResetBar();
  virtual void BindItemTree(TActionClient* client);
  virtual void SetCustomizeMode(bool value);
  virtual void SetOrientation(TBarOrientation value);
  virtual void SetPersistentHotKeys(bool value);
  virtual TActionClientItem* FirstItem();

  // ---- Items and their controls.
  // The bound client (normally a bar item of the manager).
  TActionClient* ActionClient() const { return actionClient_; }
  // The shown list: the client's ContextItems on a context bar, else its Items; none unbound.
  TActionClients* Items() const;
  bool ContextBar() const { return contextBar_; }
  void SetContextBar(bool value) { contextBar_ = value; }
  TActionClientItem* FindFirstVisibleItem();
  TActionClientItem* FindLastVisibleItem();
  TActionClientItem* FindNextVisibleItem(TActionClientItem* item);
  TActionClientItem* FindPreviousVisibleItem(TActionClientItem* item);
  // The first visible item with an enabled control whose accelerator is key; none.
  TActionClientItem* FindAccelItem(char key);
  // The action control under a client point, or none.
  TCustomActionControl* ControlAtPoint(TPoint point);
  // The height and (unless floating) width the bar wants when AutoSize is on.
  void RecomputeSize();
  TCanvas* Canvas() const { return canvas_.get(); }

  // ---- Layout counters of the last alignment pass.
  int RowCount() const { return rows_; }
  int ColumnCount() const { return columns_; }
  int LargestWidth() const { return largestWidth_; }
  int LargestHeight() const { return largestHeight_; }
  bool VertSeparator() const { return vertSeparator_; }

  // ---- Properties.
  TCustomActionManager* ActionManager() const { return actionManager_; }
  void SetActionManager(TCustomActionManager* value);
  bool AllowHiding() const { return allowHiding_; }
  void SetAllowHiding(bool value) { allowHiding_ = value; }
  int HorzMargin() const { return horzMargin_; }
  void SetHorzMargin(int value);
  int VertMargin() const { return vertMargin_; }
  void SetVertMargin(int value);
  bool HorzSeparator() const { return horzSeparator_; }
  void SetHorzSeparator(bool value);
  TBarOrientation Orientation() const { return orientation_; }
  bool PersistentHotKeys() const { return persistentHotKeys_; }
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  TControlCreatedEvent OnControlCreated() const { return onControlCreated_; }
  void SetOnControlCreated(TControlCreatedEvent value) { onControlCreated_ = value; }
  TGetControlClassEvent OnGetControlClass() const { return onGetControlClass_; }
  void SetOnGetControlClass(TGetControlClassEvent value) { onGetControlClass_ = value; }
  TNotifyEvent OnPaint() const { return onPaint_; }
  void SetOnPaint(TNotifyEvent value) { onPaint_ = value; }

  // Fails with SHidingNotAllowed when hiding is not allowed.
  void SetVisible(bool value) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  void Dispatch(TMessage& message) override;

  // Customisation drag and drop: whether the payload may drop here, and the drop itself.
  virtual bool AcceptsDrop(TActionDragBaseClass* source);
  virtual void DropItems(TActionDragBaseClass* source, int x, int y);

protected:
  // The bar sizes itself (RecomputeSize), never to the bounds of its controls.
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void AlignControls(TControl* control, TRect& rect) override;
  bool CustomAlignInsertBefore(TControl* c1, TControl* c2) override;
  void CustomAlignPosition(TControl* control, int& newLeft, int& newTop, int& newWidth, int& newHeight,
                           TRect& alignRect) override;
  void PaintWindow(HDC dc) override;
  // Tool bars set it at construction: 2 more pixels between columns.
  void SetVertSeparator(bool value) { vertSeparator_ = value; }
  // The context menu of the client (or of an item control's item) at a screen point.
  virtual void ShowContextItems(TActionClient* client, TPoint screenPos);
  int BannerWidth(TBackgroundLayout layout) const;

private:
  void PositionControl(TCustomActionControl* control, int index, int& newLeft, int& newTop, int& newWidth,
                       int& newHeight, TRect& rect);
  void EnabledChanged();

  TActionClient* actionClient_ = nullptr;
  TCustomActionManager* actionManager_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
  bool contextBar_ = false;
  bool customizeMode_ = false;
  bool savedEnabled_ = true;
  bool savedAutoSize_ = false;
  int rows_ = 1;
  int columns_ = 1;
  int largestWidth_ = 0;
  int largestHeight_ = 0;
  int alignIndex_ = 0;
  int alignCount_ = 0;
  bool vertSeparator_ = false;
  bool allowHiding_ = true;
  int horzMargin_ = 0;
  int vertMargin_ = 1;
  bool horzSeparator_ = false;
  TBarOrientation orientation_ = boLeftToRight;
  bool persistentHotKeys_ = false;
  int spacing_ = 0;
  TControlCreatedEvent onControlCreated_;
  TGetControlClassEvent onGetControlClass_;
  TNotifyEvent onPaint_;
};

// The base of the tool bars and menu bars.
class TCustomActionDockBar : public TCustomActionBar {
  TAVELO_CLASS(TCustomActionDockBar, TCustomActionBar)
public:
  explicit TCustomActionDockBar(TComponent* owner);
};

// The control of one item on a bar: measures, places and paints its image and caption, and
// runs its item's action when clicked.
class TCustomActionControl : public TGraphicControl {
  TAVELO_CLASS(TCustomActionControl, TGraphicControl)
public:
  explicit TCustomActionControl(TComponent* owner);
  ~TCustomActionControl() override;

  // ---- Virtual operations, in the order subclasses expect them.
  // Places the image and the text inside the control.
  virtual void PositionContents();
  virtual void DropOnControl(TActionDragBaseClass* source, TPoint point);
  virtual bool IsCaptionShown() const;
  virtual bool IsShortCutShown() const;
  virtual void PaintFocusFrame(const TRect& rect);
  virtual void PaintImage(TPoint position);
  virtual void PaintBackground(const TRect& rect);
  virtual void PaintText(TRect& rect, std::uint32_t flags, const String& text);
  virtual void PaintSeparator(int offset);
  virtual TSize ImageSize() const;
  virtual bool IsChecked() const;
  virtual bool IsInGroup() const;
  virtual bool IsSeparator() const;
  // Asks the bar to lay its controls out again.
  virtual void RealignRequest();
  // Binds the control to its item (the item it shows, draws and runs).
  virtual void SetActionClient(TActionClientItem* value);
  virtual void SetSelected(bool value);
  virtual void MeasureBounds();
  virtual void ItemTriggered();
  // The action is its item's, reached through the item's link.
  void RefreshActionState() override;

  TActionClientItem* ActionClient() const { return actionClient_; }
  TCustomActionBar* ActionBar() const { return actionBar_; }
  void SetActionBar(TCustomActionBar* value) { actionBar_ = value; }
  bool Selected() const { return selected_; }
  TButtonLayout GlyphLayout() const { return glyphLayout_; }
  void SetGlyphLayout(TButtonLayout value);
  TRect Margins() const { return margins_; }
  void SetMargins(const TRect& value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  bool SmallIcon() const { return smallIcon_; }
  void SetSmallIcon(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TPoint GlyphPos() const { return glyphPos_; }
  TRect TextBounds() const { return textBounds_; }
  // Whether the item is hidden as unused (for drawing).
  bool Unused() const;
  // The image list of the item's action's list.
  TCustomImageList* Images() const;

  void Click() override;
  void Dispatch(TMessage& message) override;
  // A new size places the image and the caption again.
  void SetBounds(int left, int top, int width, int height) override;

protected:
  void Paint() override;
  void SetGlyphPos(TPoint value) { glyphPos_ = value; }
  void SetTextBounds(const TRect& value) { textBounds_ = value; }

private:
  TActionClientItem* actionClient_ = nullptr;
  TCustomActionBar* actionBar_ = nullptr;
  TButtonLayout glyphLayout_ = blGlyphLeft;
  TPoint glyphPos_{0, 0};
  TRect margins_{4, 4, 4, 4};
  bool selected_ = false;
  bool smallIcon_ = true;
  int spacing_ = 0;
  TRect textBounds_{0, 0, 0, 0};
  bool transparent_ = true;
  TSize imageSize_{0, 0};
};

}  // namespace tavelo
