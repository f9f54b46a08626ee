#include "actnman/actnbars.h"


#include <algorithm>

#include "actnman/actnconsts.h"
#include "actnman/actnman.h"
#include "actnman/actnmsgs.h"
#include "actnman/menustyle.h"
#include "controls/controlconsts.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"
#include "graphics/bitmap.h"
#include "graphics/graphic.h"
#include "graphics/imglist.h"

namespace tavelo {

namespace {

TContextPopupProc gContextPopup = nullptr;

bool IsVertical(TBarOrientation orientation) { return orientation == boTopToBottom || orientation == boBottomToTop; }

class TAlignSuspension {
public:
  explicit TAlignSuspension(TWinControl* bar) : bar_(bar) { bar_->DisableAlign(); }
  ~TAlignSuspension() { bar_->EnableAlign(); }
  TAlignSuspension(const TAlignSuspension&) = delete;
  TAlignSuspension& operator=(const TAlignSuspension&) = delete;

private:
  TWinControl* bar_;
};

}  // namespace

void SetContextPopupProc(TContextPopupProc proc) { gContextPopup = proc; }

// ---- TCustomActionBar ----

TCustomActionBar::TCustomActionBar(TComponent* owner) : TToolWindow(owner), canvas_(std::make_unique<TCanvas>()) {
  SetBounds(Left(), Top(), 150, 50);
  SetDoubleBuffered(true);
  controlStyle_.Include(csClickEvents);
  controlStyle_.Include(csDoubleClicks);
  controlStyle_.Include(csOpaque);
  controlStyle_.Include(csSetCaption);
}

TCustomActionBar::~TCustomActionBar() {
  // The manager lets go of the controls while the bar is whole.
  SetActionManager(nullptr);
  ReleaseItemControls();
  canvas_.reset();
}

void TCustomActionBar::ReleaseItemControls() {
  for (int i = ControlCount() - 1; i >= 0; --i)
    if (auto* control = DynamicCast<TCustomActionControl>(Controls(i))) delete control;
  if (actionClient_) {
    if (actionClient_->actionBar_ == this) actionClient_->actionBar_ = nullptr;
    if (actionClient_->childBar_ == this) actionClient_->childBar_ = nullptr;
  }
  actionClient_ = nullptr;
}

TCustomActionControl* TCustomActionBar::MakeItemControl(TActionClientItem* item) {
  TClass controlClass = DefaultControlClass();
  if (onGetControlClass_) onGetControlClass_(this, item, controlClass);
  if (!controlClass) return nullptr;
  TAlignSuspension suspend(this);
  auto* control = static_cast<TCustomActionControl*>(controlClass->Construct(this));
  control->SetAlign(alCustom);
  control->SetActionBar(this);
  control->SetParent(this);
  control->SetBiDiMode(BiDiMode());
  if (auto* barItem = DynamicCast<TActionBarItem>(actionClient_)) control->SetGlyphLayout(barItem->GlyphLayout());
  if (TActionClients* list = item->ActionClients()) control->SetSmallIcon(list->SmallIcons());
  control->SetActionClient(item);
  item->SetControl(control);
  control->MeasureBounds();
  control->RealignRequest();
  return control;
}

void TCustomActionBar::MakeAllItemControls() {
  TActionClients* list = Items();
  if (!list) return;
  TAlignSuspension suspend(this);
  bool transparent = actionClient_->HasBackground() && actionClient_->BackgroundLayout() != blLeftBanner &&
                     actionClient_->BackgroundLayout() != blRightBanner;
  for (int i = 0; i < list->Count(); ++i) {
    if (TCustomActionControl* control = MakeItemControl(list->ActionClients(i))) {
      control->SetTransparent(transparent);
      ControlCreated(control);
    }
  }
}

void TCustomActionBar::ControlCreated(TCustomActionControl* control) {
  if (onControlCreated_) onControlCreated_(this, control);
}

void TCustomActionBar::DropCategory(TCategoryDragObject* source, int x, int y) {
  TActionClients* list = Items();
  if (!source || !list) return;
  TCustomActionControl* before = ControlAtPoint(TPoint{x, y});
  TActionClientItem* item = list->Add();
  if (before && before->ActionClient()) item->SetIndex(before->ActionClient()->Index());
  item->SetCaption(source->Category());
  int session = actionManager_ ? actionManager_->ActionBars()->SessionCount() : 0;
  for (int i = 0; i < source->ActionCount(); ++i) {
    TActionClientItem* sub = item->Items()->Add();
    sub->SetAction(source->Actions(i));
    sub->SetLastSession(session);
  }
  AssignHotKeyLetters(list);
}

bool TCustomActionBar::AcceptsDrop(TActionDragBaseClass* source) {
  return source && (source->Is<TActionDragObject>() || source->Is<TActionItemDragObject>()) &&
         !source->Is<TCategoryDragObject>();
}

void TCustomActionBar::DropItems(TActionDragBaseClass* source, int x, int y) {
  if (!AcceptsDrop(source)) return;
  if (!actionClient_ && source->ActionManager()) {
    // A bar without a client becomes a new bar item of the payload's manager.
    TActionBarItem* barItem = source->ActionManager()->ActionBars()->Add();
    barItem->SetActionBar(this);
    BindItemTree(barItem);
  }
  TActionClients* list = Items();
  if (!list) return;
  TCustomActionControl* before = ControlAtPoint(TPoint{x, y});
  int at = before && before->ActionClient() ? before->ActionClient()->Index() : list->Count();
  if (auto* actions = DynamicCast<TActionDragObject>(static_cast<TObject*>(source))) {
    int session = actionManager_ ? actionManager_->ActionBars()->SessionCount() : 0;
    for (int i = 0; i < actions->ActionCount(); ++i) {
      TActionClientItem* item = list->Add();
      item->SetIndex(at++);
      item->SetLastSession(session);
      item->SetAction(actions->Actions(i));
    }
  } else if (auto* moved = DynamicCast<TActionItemDragObject>(static_cast<TObject*>(source))) {
    TActionClientItem* item = moved->ClientItem();
    if (!item) return;
    if (item->Collection() != list) {
      item->SetCollection(list);
      if (!item->Control()) MakeItemControl(item);
    }
    item->SetIndex(std::min(at, list->Count() - 1));
  }
  Realign();
}

TActionClientItem* TCustomActionBar::FirstItem() {
  if (ItemCount() == 0 || !ControlAt(0)) return nullptr;
  return Items()->ActionClients(0);
}

TActionClientItem* TCustomActionBar::LastItem() {
  int count = ItemCount();
  if (count == 0 || !ControlAt(count - 1)) return nullptr;
  return Items()->ActionClients(count - 1);
}

TActionClientItem* TCustomActionBar::NextItem(TActionClientItem* item, bool wrap) {
  if (!item) return wrap ? FirstItem() : nullptr;
  int count = ItemCount();
  int index = item->Index();
  if (index + 1 < count) return Items()->ActionClients(index + 1);
  return wrap && count >= 2 ? FirstItem() : nullptr;
}

TActionClientItem* TCustomActionBar::PreviousItem(TActionClientItem* item, bool wrap) {
  if (!item) return wrap ? LastItem() : nullptr;
  int count = ItemCount();
  int index = item->Index();
  if (index > 0 && index - 1 < count) return Items()->ActionClients(index - 1);
  return wrap && count >= 2 ? LastItem() : nullptr;
}

namespace {

bool Shown(TActionClientItem* item) { return item && item->Control() && item->Control()->Visible(); }

}  // namespace

TActionClientItem* TCustomActionBar::FindFirstVisibleItem() {
  for (int i = 0; i < ItemCount(); ++i)
    if (Shown(Items()->ActionClients(i))) return Items()->ActionClients(i);
  return nullptr;
}

TActionClientItem* TCustomActionBar::FindLastVisibleItem() {
  for (int i = ItemCount() - 1; i >= 0; --i)
    if (Shown(Items()->ActionClients(i))) return Items()->ActionClients(i);
  return nullptr;
}

TActionClientItem* TCustomActionBar::FindNextVisibleItem(TActionClientItem* item) {
  // Hidden neighbours are passed over: the next item is the next one shown.
  int count = ItemCount();
  for (int i = item ? item->Index() + 1 : 0; i < count; ++i)
    if (Shown(Items()->ActionClients(i))) return Items()->ActionClients(i);
  return nullptr;
}

TActionClientItem* TCustomActionBar::FindPreviousVisibleItem(TActionClientItem* item) {
  for (int i = item ? item->Index() - 1 : ItemCount() - 1; i >= 0; --i)
    if (Shown(Items()->ActionClients(i))) return Items()->ActionClients(i);
  return nullptr;
}

TActionClientItem* TCustomActionBar::FindAccelItem(char key) {
  for (int i = 0; i < ItemCount(); ++i) {
    TActionClientItem* item = Items()->ActionClients(i);
    if (item->Visible() && item->Control() && item->Control()->Enabled() && IsHotKeyMatch(key, item->Caption()))
      return item;
  }
  return nullptr;
}

TCustomActionControl* TCustomActionBar::ControlAtPoint(TPoint point) {
  return DynamicCast<TCustomActionControl>(ControlAtPos(point, true));
}

TActionClients* TCustomActionBar::Items() const {
  if (!actionClient_) return nullptr;
  if (contextBar_) return actionClient_->HasContextItems() ? actionClient_->ContextItems() : nullptr;
  return actionClient_->Items();
}

int TCustomActionBar::ItemCount() const {
  TActionClients* list = Items();
  return list ? list->Count() : 0;
}

TCustomActionControl* TCustomActionBar::ControlAt(int index) {
  if (index < 0 || index >= ItemCount()) return nullptr;
  return Items()->ActionClients(index)->Control();
}

TClass TCustomActionBar::DefaultControlClass() const { return TCustomActionControl::StaticClass(); }

int TCustomActionBar::DesiredHeight() {
  if (Align() == alLeft || Align() == alRight || Align() == alClient) return Height();
  int height = 2 * vertMargin_ * (rows_ - 1) + rows_ * largestHeight_ + 2 * vertMargin_;
  if (horzSeparator_ && rows_ > 1) height += 2 * (rows_ - 1);
  if (EdgeBorders().Contains(ebTop)) {
    if (EdgeInner() != esNone) ++height;
    if (EdgeOuter() != esNone) ++height;
  }
  if (EdgeBorders().Contains(ebBottom) && EdgeInner() != esNone) ++height;
  if (EdgeOuter() != esNone) ++height;
  return height;
}

int TCustomActionBar::DesiredWidth() {
  if (!AutoSize() || Align() == alTop || Align() == alBottom || Align() == alClient) return Width();
  int width = 2 * horzMargin_ * (columns_ - 1) + columns_ * largestWidth_ + 2 * horzMargin_;
  if (vertSeparator_ && columns_ > 1) width += 2 * columns_;
  if (EdgeBorders().Contains(ebLeft)) {
    if (EdgeInner() != esNone) ++width;
    if (EdgeOuter() != esNone) ++width;
  }
  if (EdgeBorders().Contains(ebRight) && EdgeInner() != esNone) ++width;
  if (EdgeOuter() != esNone) ++width;
  return width;
}

void TCustomActionBar::RecomputeSize() {
  if (!AutoSize() || AlignDisabled() || !DynamicCast<TActionBarItem>(actionClient_)) return;
  int height = DesiredHeight();
  int width = DesiredWidth();
  SetBounds(Left(), Top(), width, height);
}

bool TCustomActionBar::CanAutoSize(int&, int&) { return false; }

void TCustomActionBar::PaintBackground() {
  if (!actionClient_ || !actionClient_->HasBackground()) return;
  TGraphic* graphic = actionClient_->Background()->Graphic();
  TRect client = ClientRect();
  switch (actionClient_->BackgroundLayout()) {
    case blNormal:
    case blLeftBanner:
      canvas_->Draw(0, 0, graphic);
      break;
    case blStretch:
      canvas_->StretchDraw(client, graphic);
      break;
    case blTile: {
      int w = graphic->Width(), h = graphic->Height();
      if (w <= 0 || h <= 0) break;
      int cw = client.right - client.left, ch = client.bottom - client.top;
      for (int i = 0; i <= cw / w; ++i)
        for (int j = 0; j <= ch / h; ++j) canvas_->Draw(w * i, h * j, graphic);
      break;
    }
    case blRightBanner:
      canvas_->Draw(Width() - graphic->Width(), 0, graphic);
      break;
  }
}

void TCustomActionBar::PaintBar() {
  canvas_->Brush()->SetColor(Color());
  canvas_->Brush()->SetStyle(bsSolid);
  canvas_->FillRect(ClientRect());
  PaintBackground();
  if (onPaint_) onPaint_(this);
}

void TCustomActionBar::PaintWindow(HDC dc) {
  canvas_->Lock();
  try {
    canvas_->SetHandle(dc);
    canvas_->SetTextFlags(static_cast<int>(DrawTextBiDiModeFlagsReadingOnly()));
    PaintBar();
  } catch (...) {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(nullptr);
  canvas_->Unlock();
}

void TCustomActionBar::ResetBar() {
  if (!actionManager_) return;
  TAlignSuspension suspend(this);
  TActionClient* client = actionClient_;
  int index = client ? client->Index() : -1;
  BindItemTree(nullptr);
  if (index < 0) return;
  actionManager_->RestoreBarItem(index);
  TActionBarItem* item = actionManager_->ActionBars()->ActionBars(index);
  item->actionBar_ = this;
  BindItemTree(item);
}

void TCustomActionBar::BindItemTree(TActionClient* client) {
  if (client == actionClient_) return;
  ReleaseItemControls();
  actionClient_ = client;
  if (!client) return;
  if (TActionClientsCollection* list = client->OwningCollection()) {
    if (auto* manager = DynamicCast<TCustomActionManager>(list->GetOwner()); manager != actionManager_) {
      if (actionManager_) actionManager_->RemoveFreeNotification(this);
      actionManager_ = manager;
      if (manager) manager->FreeNotification(this);
    }
  }
  if (auto* barItem = DynamicCast<TActionBarItem>(client)) SetAutoSize(barItem->AutoSize());
  MakeAllItemControls();
}

void TCustomActionBar::SetCustomizeMode(bool value) {
  if (value == customizeMode_ || ComponentState().Contains(csDesigning)) return;
  customizeMode_ = value;
  TActionClients* list = Items();
  bool locked = (list && !list->Customizable()) ||
                (actionClient_ && actionClient_->ChangesAllowed().Bits() == 0);
  if (locked) {
    if (value) {
      savedEnabled_ = Enabled();
      SetEnabled(false);
    } else {
      SetEnabled(savedEnabled_);
    }
  }
  bool horizontal = !IsVertical(orientation_);
  if (value) {
    savedAutoSize_ = AutoSize();
    if (horizontal && ItemCount() > 0) SetAutoSize(true);
  } else {
    SetAutoSize(savedAutoSize_);
  }
  for (int i = 0; i < ItemCount(); ++i) {
    TActionClientItem* item = Items()->ActionClients(i);
    TCustomActionControl* control = item->Control();
    if (!control) continue;
    if (value) {
      // Hidden items are shown so that they can be moved or taken off.
      control->SetVisible(true);
    } else {
      if (!item->Visible()) control->SetVisible(false);
      if (item->Action()) item->Action()->RefreshState();
    }
  }
  Realign();
  Invalidate();
}

void TCustomActionBar::SetOrientation(TBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  if (ItemCount() == 0) return;
  TAlignSuspension suspend(this);
  for (int i = 0; i < ItemCount(); ++i)
    if (TCustomActionControl* control = ControlAt(i)) control->MeasureBounds();
}

void TCustomActionBar::SetPersistentHotKeys(bool value) {
  if (value == persistentHotKeys_) return;
  persistentHotKeys_ = value;
  Invalidate();
}

void TCustomActionBar::SetActionManager(TCustomActionManager* value) {
  if (value == actionManager_) return;
  ReleaseItemControls();
  if (actionManager_) {
    actionManager_->RemoveFreeNotification(this);
    RemoveFreeNotification(actionManager_);
  }
  actionManager_ = value;
  if (value) {
    value->FreeNotification(this);
    FreeNotification(value);
  }
}

void TCustomActionBar::SetHorzMargin(int value) {
  if (value == horzMargin_) return;
  horzMargin_ = value;
  Realign();
  RecomputeSize();
}

void TCustomActionBar::SetVertMargin(int value) {
  if (value == vertMargin_) return;
  vertMargin_ = value;
  Realign();
  RecomputeSize();
}

void TCustomActionBar::SetHorzSeparator(bool value) {
  if (value == horzSeparator_) return;
  horzSeparator_ = value;
  Realign();
  RecomputeSize();
}

void TCustomActionBar::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  Realign();
}

void TCustomActionBar::SetVisible(bool value) {
  bool reading = ComponentState().Contains(csLoading) || ComponentState().Contains(csReading);
  if (value != Visible() && !allowHiding_ && !reading) throw EInvalidOperation(SHidingNotAllowed, {Name()});
  TToolWindow::SetVisible(value);
}

void TCustomActionBar::Notification(TComponent* component, TOperation operation) {
  TToolWindow::Notification(component, operation);
  if (operation == opRemove && component == actionManager_) {
    ReleaseItemControls();
    actionManager_ = nullptr;
  }
}

void TCustomActionBar::Loaded() {
  TToolWindow::Loaded();
  if (actionManager_) {
    actionManager_->FreeNotification(this);
    FreeNotification(actionManager_);
  }
}

void TCustomActionBar::EnabledChanged() {
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(Enabled());
}

void TCustomActionBar::ShowContextItems(TActionClient* client, TPoint screenPos) {
  if (gContextPopup && client && client->HasContextItems()) gContextPopup(client, screenPos, this);
}

void TCustomActionBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_RESETBAR:
      ResetBar();
      break;
    case FM_ENABLED_CHANGED:
      TToolWindow::Dispatch(message);
      EnabledChanged();
      break;
    case FM_BIDIMODE_CHANGED:
      TToolWindow::Dispatch(message);
      // A horizontal bar reads the way its text does; a vertical one keeps its direction.
      if (!IsVertical(orientation_)) SetOrientation(BiDiMode() == bdLeftToRight ? boLeftToRight : boRightToLeft);
      break;
    case WM_CONTEXTMENU: {
      TPoint screen{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
      if (screen.x == -1 && screen.y == -1) screen = ClientToScreen(TPoint{0, 0});
      TCustomActionControl* control = ControlAtPoint(ScreenToClient(screen));
      if (control && control->ActionClient() && control->ActionClient()->HasContextItems())
        ShowContextItems(control->ActionClient(), screen);
      else if (actionClient_ && actionClient_->HasContextItems())
        ShowContextItems(actionClient_, screen);
      else
        TToolWindow::Dispatch(message);
      break;
    }
    default:
      TToolWindow::Dispatch(message);
  }
}

// ---- Layout ----

int TCustomActionBar::BannerWidth(TBackgroundLayout layout) const {
  if (!actionClient_ || !actionClient_->HasBackground()) return 0;
  TBackgroundLayout own = actionClient_->BackgroundLayout();
  bool banner = own == blLeftBanner || own == blRightBanner;
  if (!banner) return 0;
  int width = actionClient_->Background()->Width();
  if (layout == blNormal) return width;  // either side
  return own == layout ? width : 0;
}

void TCustomActionBar::AlignControls(TControl* control, TRect& rect) {
  rows_ = 1;
  columns_ = 1;
  largestWidth_ = 0;
  largestHeight_ = 0;
  alignIndex_ = 0;
  alignCount_ = 0;
  // Every control of the row takes the largest height: it must be known before the first.
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Align() != alCustom || !c->Visible()) continue;
    ++alignCount_;
    largestWidth_ = std::max(largestWidth_, c->Width());
    largestHeight_ = std::max(largestHeight_, c->Height());
  }
  TToolWindow::AlignControls(control, rect);
}

bool TCustomActionBar::CustomAlignInsertBefore(TControl* c1, TControl* c2) {
  auto* a = DynamicCast<TCustomActionControl>(c1);
  auto* b = DynamicCast<TCustomActionControl>(c2);
  if (!a || !b || !a->ActionClient() || !b->ActionClient()) return false;
  return a->ActionClient()->Index() < b->ActionClient()->Index();
}

void TCustomActionBar::CustomAlignPosition(TControl* control, int& newLeft, int& newTop, int& newWidth,
                                           int& newHeight, TRect& alignRect) {
  auto* actionControl = DynamicCast<TCustomActionControl>(control);
  if (!actionControl) {
    TToolWindow::CustomAlignPosition(control, newLeft, newTop, newWidth, newHeight, alignRect);
    return;
  }
  PositionControl(actionControl, alignIndex_++, newLeft, newTop, newWidth, newHeight, alignRect);
}

void TCustomActionBar::PositionControl(TCustomActionControl* control, int index, int& newLeft, int& newTop,
                                       int& newWidth, int& newHeight, TRect& rect) {
  int leftBanner = BannerWidth(blLeftBanner);
  int rightBanner = BannerWidth(blRightBanner);
  int eitherBanner = BannerWidth(blNormal);
  int clientWidth = ClientWidth(), clientHeight = ClientHeight();
  int w = control->Width(), h = control->Height();
  int separator = horzSeparator_ ? 2 : 0;
  if (index == 0)
    rect = Rect(leftBanner + horzMargin_, vertMargin_, clientWidth - horzMargin_ - rightBanner,
                clientHeight - vertMargin_);
  switch (orientation_) {
    case boLeftToRight:
    case boRightToLeft: {
      int margin = orientation_ == boLeftToRight ? horzMargin_ : 0;
      if (AutoSize() && index > 0 && rect.right - rect.left < w + margin) {
        int oldTop = rect.top;
        rect = Rect(leftBanner + horzMargin_, oldTop + largestHeight_ + 2 * vertMargin_ + separator,
                    clientWidth - horzMargin_ - rightBanner, clientHeight - oldTop - vertMargin_);
        ++rows_;
      }
      newTop = rect.top;
      newWidth = w;
      newHeight = largestHeight_;
      if (orientation_ == boLeftToRight) {
        newLeft = rect.left;
        rect.left += w + spacing_;
      } else if (index == 0) {
        newLeft = rect.right - w - horzMargin_;
        rect.right -= w + vertMargin_ + spacing_;
      } else {
        newLeft = rect.right - w;
        rect.right -= w + (index == alignCount_ - 1 ? 0 : spacing_);
      }
      break;
    }
    case boTopToBottom:
      if (AutoSize() && index > 0 && rect.bottom - rect.top < h + vertMargin_) {
        int oldLeft = rect.left;
        rect = Rect(oldLeft + largestWidth_ + 2 * horzMargin_ + separator, vertMargin_,
                    clientWidth - horzMargin_ - rightBanner, clientHeight - vertMargin_);
        ++columns_;
      }
      newTop = index == 0 ? vertMargin_ : rect.top;
      rect.right = eitherBanner + largestWidth_;
      newLeft = rect.left;
      newWidth = largestWidth_;
      newHeight = h;
      rect.top = newTop + h + spacing_;
      break;
    case boBottomToTop:
      if (AutoSize() && index > 0 && rect.bottom - rect.top < h) {
        int oldRight = rect.right;
        rect = Rect(leftBanner + horzMargin_, vertMargin_, oldRight - largestWidth_ - 2 * horzMargin_ - separator,
                    clientHeight - vertMargin_);
        ++columns_;
      }
      newTop = index == 0 ? clientHeight - h - horzMargin_ : rect.bottom - h - spacing_;
      newLeft = rect.right - largestWidth_;
      newWidth = largestWidth_;
      newHeight = h;
      rect.bottom -= h + spacing_;
      break;
  }
}

// ---- TCustomActionDockBar ----

TCustomActionDockBar::TCustomActionDockBar(TComponent* owner) : TCustomActionBar(owner) {
  SetAlign(alNone);
  SetAutoSize(false);
}

// ---- TCustomActionControl ----

TCustomActionControl::TCustomActionControl(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(Left(), Top(), 22, 22);
  controlStyle_.Include(csDesignInteractive);
  controlStyle_.Exclude(csOpaque);
}

TCustomActionControl::~TCustomActionControl() {
  if (actionClient_ && actionClient_->control_ == this) actionClient_->control_ = nullptr;
  actionClient_ = nullptr;
}

void TCustomActionControl::RefreshActionState() {
  if (actionClient_ && actionClient_->ActionLink()) actionClient_->ActionLink()->RefreshState();
}

void TCustomActionControl::SetActionClient(TActionClientItem* value) {
  if (value == actionClient_) return;
  if (actionClient_ && actionClient_->control_ == this) actionClient_->control_ = nullptr;
  actionClient_ = value;
  if (value && value->Action()) controlStyle_.Include(csActionClient);
  else controlStyle_.Exclude(csActionClient);
  if (!value) return;
  TColor color = value->Color();
  if (color == clNone) {
    SetTransparent(true);
    SetParentColor(true);
  } else if (color == clDefault) {
    SetParentColor(true);
  } else {
    SetColor(color);
  }
  SetVisible(value->Visible());
  SetCaption(value->Caption());
}

TCustomImageList* TCustomActionControl::Images() const {
  if (!actionClient_) return nullptr;
  auto* action = DynamicCast<TCustomAction>(static_cast<TObject*>(actionClient_->Action()));
  if (!action || !action->ActionList()) return nullptr;
  return action->ActionList()->Images();
}

bool TCustomActionControl::Unused() const { return actionClient_ && IsHiddenAsUnused(actionClient_); }

bool TCustomActionControl::IsCaptionShown() const {
  if (!actionClient_) return true;
  TActionClients* list = actionClient_->ActionClients();
  TCaptionOptions options = list ? list->CaptionOptions() : coAll;
  switch (options) {
    case coNone: return false;
    case coSelective: return actionClient_->ShowCaption();
    default: return true;
  }
}

bool TCustomActionControl::IsShortCutShown() const {
  return actionClient_ && actionClient_->ShowShortCut() && actionClient_->ShortCut() != 0;
}

bool TCustomActionControl::IsChecked() const {
  auto* action = actionClient_ ? DynamicCast<TCustomAction>(static_cast<TObject*>(actionClient_->Action())) : nullptr;
  return action && action->Checked();
}

bool TCustomActionControl::IsInGroup() const {
  auto* action = actionClient_ ? DynamicCast<TCustomAction>(static_cast<TObject*>(actionClient_->Action())) : nullptr;
  return action && action->GroupIndex() > 0;
}

bool TCustomActionControl::IsSeparator() const { return actionClient_ && actionClient_->Separator(); }

TSize TCustomActionControl::ImageSize() const {
  if (!actionClient_ || !actionClient_->HasGlyph() || !actionClient_->ShowGlyph()) return TSize{0, 0};
  if (!smallIcon_) return TSize{32, 32};
  TCustomImageList* images = Images();
  return images ? TSize{images->Width(), images->Height()} : TSize{0, 0};
}

void TCustomActionControl::MeasureBounds() {
  if (!actionClient_) return;
  // The text's size as the platform draws it, in the control's font.
  SIZE text{0, 0};
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    String caption = actionClient_->Caption();
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    text.cx = r.right - r.left;
    text.cy = r.bottom - r.top;
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  imageSize_ = ImageSize();
  TActionClients* list = actionClient_->ActionClients();
  bool counted = IsCaptionShown() || !actionClient_->HasGlyph() || (list && list->CaptionOptions() == coAll);
  int tw = counted ? text.cx : 0, th = counted ? text.cy : 0;
  textBounds_ = Rect(0, 0, tw, th);
  int iw = imageSize_.cx, ih = imageSize_.cy;
  int gap = iw != 0 && tw != 0 ? spacing_ : 0;
  int width, height;
  if (glyphLayout_ == blGlyphLeft || glyphLayout_ == blGlyphRight) {
    width = gap + margins_.left + iw + tw + margins_.right;
    height = std::max(ih, th) + margins_.top + margins_.bottom;
  } else {
    width = tw + margins_.left + iw + margins_.right;
    height = gap + margins_.top + ih + th + margins_.bottom;
  }
  if (width != Width() || height != Height()) {
    SetBounds(Left(), Top(), width, height);
    RealignRequest();
  } else {
    PositionContents();
  }
}

void TCustomActionControl::SetBounds(int left, int top, int width, int height) {
  bool resized = width != Width() || height != Height();
  TGraphicControl::SetBounds(left, top, width, height);
  if (resized) PositionContents();
}

void TCustomActionControl::PositionContents() {
  int w = Width(), h = Height();
  int iw = imageSize_.cx, ih = imageSize_.cy;
  int tw = textBounds_.right - textBounds_.left, th = textBounds_.bottom - textBounds_.top;
  int gap = iw != 0 && tw != 0 ? spacing_ : 0;
  TRect text = Rect(0, 0, tw, th);
  auto move = [&text](int dx, int dy) {
    text.left += dx;
    text.right += dx;
    text.top += dy;
    text.bottom += dy;
  };
  switch (glyphLayout_) {
    case blGlyphLeft:
      glyphPos_ = TPoint{margins_.left, h / 2 - ih / 2};
      move(gap + margins_.left + iw, h / 2 - th / 2);
      break;
    case blGlyphRight:
      glyphPos_ = TPoint{w - margins_.right - iw, h / 2 - ih / 2};
      move(margins_.left, h / 2 - th / 2);
      break;
    case blGlyphTop:
      glyphPos_ = IsCaptionShown() ? TPoint{w / 2 - iw / 2, margins_.top} : TPoint{w / 2 - iw / 2, h / 2 - ih / 2};
      move(w / 2 - tw / 2, h - margins_.bottom - th);
      break;
    case blGlyphBottom:
      move(w / 2 - tw / 2, margins_.top);
      glyphPos_ = TPoint{w / 2 - iw / 2, text.top + th + gap};
      break;
  }
  textBounds_ = text;
}

void TCustomActionControl::RealignRequest() {
  if (actionBar_) actionBar_->Realign();
}

void TCustomActionControl::SetSelected(bool value) {
  if (value == selected_) return;
  selected_ = value;
  if (value && actionBar_) {
    TMessage notice;
    notice.Msg = CM_ITEMSELECTED;
    notice.WParam = reinterpret_cast<std::uintptr_t>(this);
    actionBar_->Broadcast(notice);
  }
  Invalidate();
}

void TCustomActionControl::ItemTriggered() {
  if (actionClient_ && Enabled() && !actionClient_->HasItems() &&
      !(actionBar_ && actionBar_->InCustomizeMode()) && !ComponentState().Contains(csDesigning))
    NoteItemUse(actionClient_);
  if (actionBar_ && actionBar_->HandleAllocated())
    PostMessage(actionBar_->Handle(), CM_ITEMKEYED, reinterpret_cast<WPARAM>(this), 0);
}

void TCustomActionControl::Click() {
  if (!actionClient_ || !actionClient_->ActionLink()) {
    TGraphicControl::Click();
    return;
  }
  bool designing = ComponentState().Contains(csDesigning);
  bool customizing = actionBar_ && actionBar_->InCustomizeMode();
  if (!designing && !customizing && Enabled() && !actionClient_->HasItems()) NoteItemUse(actionClient_);
  if (!designing) actionClient_->ActionLink()->Trigger(this);
}

void TCustomActionControl::SetGlyphLayout(TButtonLayout value) {
  if (value == glyphLayout_) return;
  glyphLayout_ = value;
  MeasureBounds();
  RealignRequest();
}

void TCustomActionControl::SetMargins(const TRect& value) {
  if (value.left == margins_.left && value.top == margins_.top && value.right == margins_.right &&
      value.bottom == margins_.bottom)
    return;
  margins_ = value;
  MeasureBounds();
  RealignRequest();
}

void TCustomActionControl::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  if (actionBar_ && !actionBar_->AlignDisabled()) {
    MeasureBounds();
    RealignRequest();
  }
}

void TCustomActionControl::SetSmallIcon(bool value) {
  if (value == smallIcon_) return;
  smallIcon_ = value;
  MeasureBounds();
  RealignRequest();
}

void TCustomActionControl::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (value) controlStyle_.Exclude(csOpaque);
  else controlStyle_.Include(csOpaque);
  Invalidate();
}

void TCustomActionControl::DropOnControl(TActionDragBaseClass* source, TPoint point) {
  if (!actionBar_) return;
  TPoint at{Left() + point.x, Top() + point.y};
  if (auto* category = DynamicCast<TCategoryDragObject>(static_cast<TObject*>(source)))
    actionBar_->DropCategory(category, at.x, at.y);
  else
    actionBar_->DropItems(source, at.x, at.y);
}

// ---- Painting ----

void TCustomActionControl::PaintBackground(const TRect& rect) {
  TCanvas* canvas = Canvas();
  bool clear = ComponentState().Contains(csDesigning) ? transparent_ : transparent_ && !selected_;
  canvas->Brush()->SetStyle(clear ? bsClear : bsSolid);
  if (!clear) canvas->FillRect(rect);
}

void TCustomActionControl::PaintFocusFrame(const TRect& rect) {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->Pen()->SetWidth(2);
  canvas->Rectangle(rect);
  canvas->Pen()->SetWidth(1);
}

void TCustomActionControl::PaintImage(TPoint position) {
  if (!actionClient_ || !actionClient_->HasGlyph()) return;
  TCustomImageList* images = Images();
  if (!images) return;
  TCanvas* canvas = Canvas();
  int index = actionClient_->ImageIndex();
  if (!Enabled() && !images->ComponentState().Contains(csDesigning)) {
    TBitmap bitmap;
    images->GetBitmap(index, &bitmap);
    int size = smallIcon_ ? images->Width() : 32;
    int sizeY = smallIcon_ ? images->Height() : 32;
    if (!smallIcon_) {
      TBitmap large;
      large.SetWidth(32);
      large.SetHeight(32);
      large.Canvas()->StretchDraw(Rect(0, 0, 32, 32), &bitmap);
      DrawStateA(canvas->Handle(), nullptr, nullptr, reinterpret_cast<LPARAM>(large.Handle()), 0, position.x,
                 position.y, size, sizeY, DST_BITMAP | DSS_DISABLED);
    } else {
      DrawStateA(canvas->Handle(), nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap.Handle()), 0, position.x,
                 position.y, size, sizeY, DST_BITMAP | DSS_DISABLED);
    }
  } else if (smallIcon_) {
    images->Draw(canvas, position.x, position.y, index, true);
  } else {
    TBitmap small;
    small.SetWidth(16);
    small.SetHeight(16);
    small.Canvas()->Brush()->SetColor(canvas->Brush()->Color());
    small.Canvas()->FillRect(Rect(0, 0, 16, 16));
    images->Draw(small.Canvas(), 0, 0, index, true);
    canvas->StretchDraw(Rect(position.x, position.y, position.x + 32, position.y + 32), &small);
  }
}

void TCustomActionControl::PaintText(TRect& rect, std::uint32_t flags, const String& text) {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  DrawTextA(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TCustomActionControl::PaintSeparator(int offset) {
  TCanvas* canvas = Canvas();
  int w = Width(), h = Height();
  bool vertical = actionBar_ && IsVertical(actionBar_->Orientation());
  TColor color = Color();
  bool unused = Unused();
  TColor first = unused ? ShadowColorOf(HighlightColorOf(color))
                 : color == clBtnFace ? clBtnShadow
                                      : ShadowColorOf(color);
  TColor second = color == clBtnFace ? clBtnHighlight
                  : unused          ? HighlightColorOf(HighlightColorOf(color))
                                    : HighlightColorOf(color);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(first);
  if (vertical) {
    canvas->MoveTo(offset, h / 2);
    canvas->LineTo(w - offset, h / 2);
    canvas->Pen()->SetColor(second);
    canvas->MoveTo(offset, h / 2 + 1);
    canvas->LineTo(w - offset, h / 2 + 1);
  } else {
    canvas->MoveTo(w / 2, offset - 1);
    canvas->LineTo(w / 2, h - offset + 1);
    canvas->Pen()->SetColor(second);
    canvas->MoveTo(w / 2 + 1, offset - 1);
    canvas->LineTo(w / 2 + 1, h - offset + 1);
  }
}

void TCustomActionControl::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetColor(Color());
  PaintBackground(ClientRect());
  if (IsSeparator()) {
    PaintSeparator(2);
  } else {
    PaintImage(glyphPos_);
    if (IsCaptionShown() || !actionClient_ || !actionClient_->HasGlyph()) {
      TRect r = textBounds_;
      String text = actionClient_ ? actionClient_->Caption() : Caption();
      PaintText(r, DrawTextBiDiModeFlags(DT_SINGLELINE), text);
    }
  }
  if (selected_ && actionBar_ && (actionBar_->InCustomizeMode() || ComponentState().Contains(csDesigning)))
    PaintFocusFrame(ClientRect());
}

void TCustomActionControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_ITEMSELECTED:
      if (message.WParam != reinterpret_cast<std::uintptr_t>(this) && selected_) SetSelected(false);
      break;
    case FM_TEXT_CHANGED:
    case FM_FONT_CHANGED:
      TGraphicControl::Dispatch(message);
      MeasureBounds();
      break;
    case FM_VISIBLE_CHANGED:
      TGraphicControl::Dispatch(message);
      if (actionBar_) actionBar_->RecomputeSize();
      break;
    case WM_CONTEXTMENU:
      if (actionClient_ && actionClient_->HasContextItems() && actionBar_) {
        TPoint screen{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
        if (gContextPopup) gContextPopup(actionClient_, screen, actionBar_);
      } else {
        TGraphicControl::Dispatch(message);
      }
      break;
    default:
      TGraphicControl::Dispatch(message);
  }
}

// ---- Published ----

TAVELO_CLASS_IMPL(TActionDragBaseClass)
TAVELO_CLASS_IMPL(TActionDragObject)
TAVELO_CLASS_IMPL(TActionItemDragObject)
TAVELO_CLASS_IMPL(TCategoryDragObject)
TAVELO_CLASS_IMPL(TCustomActionDockBar)
TAVELO_CLASS_IMPL(TCustomActionControl)

// The bars' properties are published by the menu and tool bars, each with its own defaults.
TAVELO_CLASS_IMPL(TCustomActionBar)

}  // namespace tavelo
