// The tool bar, its overflow button and stack of hidden buttons, and the drop-down button.
#include "actnman/actntoolbar.h"

#include <algorithm>

#include "actnman/actnconsts.h"
#include "actnman/actnman.h"
#include "actnman/actnmsgs.h"
#include "core/messages.h"
#include "core/publish.h"
#include "graphics/graphic.h"

namespace tavelo {

namespace {

bool IsVertical(TBarOrientation orientation) { return orientation == boTopToBottom || orientation == boBottomToTop; }

// List actions are not part of this system; a program that adds them names them so.
bool IsListAction(TObject* action) {
  for (TClass c = action ? action->ClassType() : nullptr; c; c = c->ClassParent()) {
    String name = c->ClassName();
    if (name == "TStaticListAction" || name == "TVirtualListAction") return true;
  }
  return false;
}

}  // namespace

// ---- TCustomToolScrollBtn ----

TCustomToolScrollBtn::TCustomToolScrollBtn(TComponent* owner) : TCustomUtilityButton(owner) {}

TCustomActionToolBar* TCustomToolScrollBtn::ToolBar() const { return DynamicCast<TCustomActionToolBar>(ActionBar()); }

void TCustomToolScrollBtn::PaintBackground(const TRect& rect) {
  if (!MouseInControl()) {
    TCustomUtilityButton::PaintBackground(rect);
    return;
  }
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->Brush()->SetColor(HighlightColorOf(Color()));
  Canvas()->FillRect(rect);
}

void TCustomToolScrollBtn::Paint() {
  TCustomButtonControl::Paint();
  TCanvas* canvas = Canvas();
  TColor pen = Enabled() ? clBtnText : clBtnShadow;
  canvas->Pen()->SetColor(pen);
  canvas->Brush()->SetColor(pen);
  int w = Width(), h = Height(), s = ArrowSize();
  TCustomActionToolBar* bar = ToolBar();
  if (bar && bar->HiddenCount() > 0) {
    if (Direction() == sdLeft || Direction() == sdRight)
      PaintChevrons(Point(w / 2 - s / 2, 3));
    else
      PaintChevrons(Point(w / 2 - s, 3));
  }
  PaintArrow(canvas, Align() == alTop ? sdUp : sdDown, Point(w / 2 - s, h - 8), 2);
}

// ---- TCustomDropDownButton ----

TCustomDropDownButton::TCustomDropDownButton(TComponent* owner) : TCustomButtonControl(owner) {}

void TCustomDropDownButton::MeasureBounds() {
  TCustomButtonControl::MeasureBounds();
  if (ActionClient() && !IsSeparator()) SetBounds(Left(), Top(), Width() + kDropDownWidth, Height());
}

void TCustomDropDownButton::Paint() {
  TCustomButtonControl::Paint();
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetColor(clBlack);
  TRect client = ClientRect();
  PaintArrow(canvas, sdDown, Point(client.right - 7, client.bottom / 2 - 1), 2);
}

void TCustomDropDownButton::PaintFrame(const TRect& rect, bool down) {
  TRect main = rect, part = rect;
  main.right -= kDropDownWidth;
  part.left = main.right;
  bool overPart = MouseInControl() && mouseX_ >= 0 && InDropDownPart(mouseX_);
  TCustomButtonControl::PaintFrame(main, down && !overPart);
  TCustomButtonControl::PaintFrame(part, down || droppedDown_);
}

void TCustomDropDownButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  mouseX_ = x;
  pressedOnDropDown_ = button == mbLeft && InDropDownPart(x);
  if (!pressedOnDropDown_) {
    TCustomButtonControl::MouseDown(button, shift, x, y);
    return;
  }
  // The drop-down part does not press the button; it opens the list on release.
  droppedDown_ = true;
  SetDragging(Enabled());
  Invalidate();
  if (OnMouseDown()) OnMouseDown()(this, button, shift, x, y);
}

void TCustomDropDownButton::MouseMove(TShiftState shift, int x, int y) {
  bool wasOverPart = mouseX_ >= 0 && InDropDownPart(mouseX_);
  mouseX_ = x;
  if (pressedOnDropDown_) {
    if (OnMouseMove()) OnMouseMove()(this, shift, x, y);
    return;
  }
  TCustomButtonControl::MouseMove(shift, x, y);
  if (wasOverPart != InDropDownPart(x)) Invalidate();
}

void TCustomDropDownButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  mouseX_ = x;
  if (!pressedOnDropDown_ || button != mbLeft) {
    TCustomButtonControl::MouseUp(button, shift, x, y);
    return;
  }
  pressedOnDropDown_ = false;
  SetDragging(false);
  if (OnMouseUp()) OnMouseUp()(this, button, shift, x, y);
  TRect client = ClientRect();
  if (Enabled() && PtInRect(&client, Point(x, y))) {
    Click();
    UpdateTracking();
  } else {
    droppedDown_ = false;
    Invalidate();
  }
}

void TCustomDropDownButton::Click() {
  if (mouseX_ >= 0 && InDropDownPart(mouseX_)) {
    DropDown();
    return;
  }
  TCustomButtonControl::Click();
}

void TCustomDropDownButton::DropDown() {
  // However the popup ends (a choice, a click outside, an action that raises), it goes and
  // the button looks as before, so that it keeps working.
  struct TRestore {
    TCustomDropDownButton* button;
    bool flat;
    TCustomActionPopupMenu* popup = nullptr;
    ~TRestore() {
      delete popup;
      button->droppedDown_ = false;
      button->SetFlat(flat);
      button->Invalidate();
    }
  } restore{this, Flat()};
  TActionClientItem* item = ActionClient();
  TCustomActionBar* bar = ActionBar();
  if (!item || !item->HasItems() || item->Items()->VisibleCount() == 0 || !bar) return;
  droppedDown_ = true;
  SetFlat(false);
  Repaint();
  auto* popup = new TStandardMenuPopup(bar);
  restore.popup = popup;
  popup->SetParentControl(this);
  popup->BindItemTree(item);
  TPoint at = ClientToScreen(Point(Left(), Top() + Height()));
  at.x -= Left();
  popup->Popup(at.x, at.y);
}

void TCustomDropDownButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case FM_MOUSE_LEAVE:
      TCustomButtonControl::Dispatch(message);
      droppedDown_ = false;
      mouseX_ = -1;
      Invalidate();
      break;
    default:
      TCustomButtonControl::Dispatch(message);
  }
}

// ---- TCustomComboControl ----

TCustomComboControl::TCustomComboControl(TComponent* owner) : TCustomActionControl(owner) {}

// ---- TCustomActionToolBar ----

TCustomActionToolBar::TCustomActionToolBar(TComponent* owner) : TCustomActionDockBar(owner) {
  SetAlign(alTop);
  SetBounds(Left(), Top(), Width(), 29);
  SetHorzMargin(1);
  SetEdgeBorders(TEdgeBorders{});
  SetEdgeInner(esRaised);
  SetEdgeOuter(esNone);
  SetHorzSeparator(true);
  SetVertSeparator(true);
  UpdateColors();
}

TCustomActionToolBar::~TCustomActionToolBar() {
  hiddenButtons_.clear();
  DropOverflowButton();
}

bool TCustomActionToolBar::IsHidden(const TCustomActionControl* control) const {
  return std::find(hiddenButtons_.begin(), hiddenButtons_.end(), control) != hiddenButtons_.end();
}

void TCustomActionToolBar::ResumeOverflowUpdates() {
  if (overflowSuspended_ > 0) --overflowSuspended_;
}

void TCustomActionToolBar::ShowHiddenButtons() {
  std::vector<TCustomActionControl*> hidden;
  hidden.swap(hiddenButtons_);
  for (auto it = hidden.rbegin(); it != hidden.rend(); ++it) {
    TCustomActionControl* control = *it;
    if (!control->ActionClient() || control->ActionClient()->Visible()) control->SetVisible(true);
  }
  if (overflowButton_) overflowButton_->Invalidate();
}

void TCustomActionToolBar::UpdateColors() {
  shadowColor_ = AdjustLuminance(Color(), -85);
  highlightColor_ = AdjustLuminance(Color(), 85);
}

// ---- The overflow button ----

void TCustomActionToolBar::CreateOverflowButton() {
  if (overflowButton_) return;
  auto* button = new TCustomToolScrollBtn(this);
  overflowButton_ = button;
  button->SetActionBar(this);
  button->SetHint(SMoreButtons);
  button->SetParentColor(true);
  button->SetTransparent(ActionClient() && ActionClient()->HasBackground());
  button->SetOnClick(TNotifyEvent::Bind<&TCustomActionToolBar::OverflowClick>(this));
  PlaceOverflowButton();
  // Enabled as made: UpdateOverflow disables it while nothing is hidden, unless the manager
  // kept its bars for the customisation entries.
  button->SetParent(this);
}

void TCustomActionToolBar::PlaceOverflowButton() {
  if (!overflowButton_) return;
  TScrollDirection direction = sdRight;
  TAlign align = alRight;
  switch (Orientation()) {
    case boLeftToRight: direction = sdRight; align = alRight; break;
    case boRightToLeft: direction = sdLeft; align = alLeft; break;
    case boTopToBottom: direction = sdDown; align = alBottom; break;
    case boBottomToTop: direction = sdUp; align = alTop; break;
  }
  overflowButton_->SetDirection(direction);
  overflowButton_->SetAlign(align);
  if (align == alTop || align == alBottom)
    overflowButton_->SetBounds(overflowButton_->Left(), overflowButton_->Top(), overflowButton_->Width(), 13);
  else
    overflowButton_->SetBounds(overflowButton_->Left(), overflowButton_->Top(), 11, overflowButton_->Height());
}

void TCustomActionToolBar::DropOverflowButton() {
  TCustomToolScrollBtn* button = overflowButton_;
  overflowButton_ = nullptr;
  delete button;
}

void TCustomActionToolBar::SyncOverflowButton() {
  if (AutoSize()) {
    if (!hiddenButtons_.empty()) ShowHiddenButtons();
    DropOverflowButton();
  } else if (ActionClient() && !overflowButton_) {
    CreateOverflowButton();
  }
}

void TCustomActionToolBar::SetAutoSize(bool value) {
  if (value == AutoSize()) return;
  TCustomActionDockBar::SetAutoSize(value);
  SyncOverflowButton();
  UpdateOverflow();
}

void TCustomActionToolBar::SetBounds(int left, int top, int width, int height) {
  TCustomActionDockBar::SetBounds(left, top, width, height);
  SyncOverflowButton();
  UpdateOverflow();
}

void TCustomActionToolBar::ControlsAligned() {
  TCustomActionDockBar::ControlsAligned();
  // A button hidden or shown by UpdateOverflow moved the others: look again with them placed.
  if (updatingOverflow_) overflowPending_ = true;
}

void TCustomActionToolBar::UpdateOverflow() {
  if (AutoSize() || overflowSuspended_ > 0 || !HandleAllocated()) return;
  if (updatingOverflow_) {
    overflowPending_ = true;
    return;
  }
  updatingOverflow_ = true;
  try {
    // One button per step; a step that moved the others asks for another look, so that a
    // jump in size (a maximised window) settles at once.
    int steps = 2 * (ItemCount() + 1);
    do {
      overflowPending_ = false;
      OverflowStep();
    } while (overflowPending_ && --steps > 0);
  } catch (...) {
    updatingOverflow_ = false;
    throw;
  }
  updatingOverflow_ = false;
}

bool TCustomActionToolBar::Fits(TCustomActionControl* last, TCustomActionControl* control) {
  TRect r = overflowButton_ ? overflowButton_->BoundsRect() : Rect(0, 0, 0, 0);
  int w = control->Width(), h = control->Height();
  // The gap before the shown button counts too, or it could overflow again at once.
  switch (Orientation()) {
    case boLeftToRight: {
      int start = last ? last->Left() + last->Width() + Spacing() : BannerWidth(blLeftBanner) + HorzMargin();
      int limit = ClientWidth() - HorzMargin() - BannerWidth(blRightBanner) - (r.right - r.left);
      return start + w <= limit;
    }
    case boRightToLeft: {
      int start = last ? last->Left() - Spacing() : ClientWidth() - HorzMargin();
      return start - r.right >= w;
    }
    case boTopToBottom: {
      int start = last ? last->Top() + last->Height() + Spacing() : VertMargin();
      return start + h <= ClientHeight() - VertMargin() - (r.bottom - r.top);
    }
    case boBottomToTop: {
      int start = last ? last->Top() - Spacing() : ClientHeight() - VertMargin();
      return start - r.bottom >= h;
    }
  }
  return false;
}

bool TCustomActionToolBar::OverflowStep() {
  TActionClients* list = Items();
  if (!list) return false;
  TRect r;
  if (overflowButton_) {
    r = overflowButton_->BoundsRect();
  } else {
    // No button yet: the far edge of the client area stands for it.
    int cw = ClientWidth(), ch = ClientHeight();
    switch (Orientation()) {
      case boLeftToRight: r = Rect(cw, 0, cw, ch); break;
      case boRightToLeft: r = Rect(0, 0, 0, ch); break;
      case boTopToBottom: r = Rect(0, ch, cw, ch); break;
      case boBottomToTop: r = Rect(0, 0, cw, 0); break;
    }
  }
  TActionClientItem* lastItem = FindLastVisibleItem();
  TCustomActionControl* last = lastItem ? lastItem->Control() : nullptr;
  bool overflows = false;
  if (last) {
    switch (Orientation()) {
      case boLeftToRight: overflows = last->Left() + last->Width() >= r.left; break;
      case boRightToLeft: overflows = r.right >= last->Left(); break;
      case boTopToBottom: overflows = last->Top() + last->Height() >= r.top; break;
      case boBottomToTop: overflows = r.bottom >= last->Top(); break;
    }
  }
  bool changed = false;
  if (overflows) {
    TActionClientItem* victim = lastItem;
    int visible = 0;
    TActionClientItem* first = FindFirstVisibleItem();
    int sessions = ActionManager() ? ActionManager()->ActionBars()->SessionCount() : 0;
    int most = -1;
    for (int i = 0; i < list->Count(); ++i) {
      TActionClientItem* item = list->ActionClients(i);
      if (!item->Control() || !item->Control()->Visible()) continue;
      ++visible;
      // The item least recently used goes first; the first item stays.
      if (list->HideUnused() && item != first && sessions - item->LastSession() >= most) {
        most = sessions - item->LastSession();
        victim = item;
      }
    }
    if (list->HideUnused() && most < 0) victim = nullptr;
    TCustomActionControl* control = victim ? victim->Control() : nullptr;
    if (control && control->Visible() && visible > 1) {
      if (!overflowButton_) CreateOverflowButton();
      hiddenButtons_.push_back(control);
      control->SetVisible(false);
      changed = true;
    }
  } else if (!hiddenButtons_.empty()) {
    TCustomActionControl* top = hiddenButtons_.back();
    if (top->ActionClient() && !top->ActionClient()->Visible()) {
      // Hidden by its item meanwhile: it leaves the stack without showing.
      hiddenButtons_.pop_back();
      changed = true;
    } else if (Fits(last, top)) {
      hiddenButtons_.pop_back();
      top->SetVisible(true);
      changed = true;
    }
  }
  if (overflowButton_) {
    TCustomActionManager* manager = ActionManager();
    if (!manager || !manager->InitialBars())
      overflowButton_->SetEnabled(!hiddenButtons_.empty() && !ComponentState().Contains(csDesigning));
    if (changed) overflowButton_->Invalidate();
  }
  return changed;
}

void TCustomActionToolBar::OverflowClick(TObject*) { ShowOverflowMenu(); }

void TCustomActionToolBar::ShowOverflowMenu() {
  TActionClients* list = Items();
  if (overflowPopup_ || !list || !overflowButton_) return;
  // Whatever way the popup ends, it goes with the temporary item and its control, and the
  // bar is whole again: the overflow button keeps working after an action that raised.
  struct TCleanup {
    TCustomActionToolBar* bar;
    TCustomizeActionClientItem* item = nullptr;
    ~TCleanup() {
      TCustomActionPopupMenu* popup = bar->overflowPopup_;
      bar->overflowPopup_ = nullptr;
      delete popup;
      delete item;
      bar->RecomputeSize();
    }
  } cleanup{this};
  auto* temporary = new TCustomizeActionClientItem(list);
  cleanup.item = temporary;
  temporary->SetVisible(false);
  for (int i = 0; i < list->Count(); ++i) {
    TActionClientItem* item = list->ActionClients(i);
    if (item == temporary || !item->Control() || !IsHidden(item->Control())) continue;
    TActionClientItem* copy = temporary->Items()->Add();
    copy->Assign(item);
    copy->SetUsageCount(-1);
    copy->SetChangesAllowed(TChangesAllowedSet{});
  }
  auto* popup = new TStandardCustomizePopup(this);
  overflowPopup_ = popup;
  popup->SetToolBar(this);
  popup->AddCustomizeEntries(temporary);
  popup->BindItemTree(temporary);
  popup->Expand(false);
  int width = popup->Expanded() ? popup->AllItemsSize().cx : popup->UsedItemsSize().cx;
  TPoint at = ClientToScreen(Point(overflowButton_->Left() + overflowButton_->Width() - width,
                                   overflowButton_->Top() + overflowButton_->Height()));
  popup->Popup(at.x, at.y);
}

// ---- Items and controls ----

TClass TCustomActionToolBar::DefaultControlClass() const {
  if (makingItem_) {
    if (makingItem_->HasItems()) return TCustomDropDownButton::StaticClass();
    if (IsListAction(makingItem_->Action())) return TCustomComboControl::StaticClass();
  }
  return TCustomButtonControl::StaticClass();
}

TCustomActionControl* TCustomActionToolBar::MakeItemControl(TActionClientItem* item) {
  makingItem_ = item;
  TCustomActionControl* control;
  try {
    control = TCustomActionDockBar::MakeItemControl(item);
  } catch (...) {
    makingItem_ = nullptr;
    throw;
  }
  makingItem_ = nullptr;
  if (!control) return nullptr;
  if (auto* barItem = DynamicCast<TActionBarItem>(ActionClient())) control->SetGlyphLayout(barItem->GlyphLayout());
  control->SetMargins(Rect(4, 4, 4, 4));
  control->SetSpacing(3);
  if (DynamicCast<TCustomButtonControl>(control) && item->HasItems()) control->SetSmallIcon(item->Items()->SmallIcons());
  // The spacing is stored without measuring while the bar's alignment is suspended.
  control->MeasureBounds();
  return control;
}

void TCustomActionToolBar::ReleaseItemControls() {
  // The hidden buttons go with the others; the overflow button is made again on binding.
  hiddenButtons_.clear();
  DropOverflowButton();
  TCustomActionDockBar::ReleaseItemControls();
}

void TCustomActionToolBar::BindItemTree(TActionClient* client) {
  TCustomActionDockBar::BindItemTree(client);
  SyncOverflowButton();
  UpdateOverflow();
}

void TCustomActionToolBar::SetOrientation(TBarOrientation value) {
  if (value == Orientation()) return;
  SuspendOverflowUpdates();
  try {
    ShowHiddenButtons();
    TCustomActionDockBar::SetOrientation(value);
    PlaceOverflowButton();
  } catch (...) {
    ResumeOverflowUpdates();
    throw;
  }
  ResumeOverflowUpdates();
  UpdateOverflow();
}

void TCustomActionToolBar::ResetBar() {
  SuspendOverflowUpdates();
  try {
    ShowHiddenButtons();
    TCustomActionDockBar::ResetBar();
  } catch (...) {
    ResumeOverflowUpdates();
    throw;
  }
  ResumeOverflowUpdates();
  UpdateOverflow();
}

void TCustomActionToolBar::PaintBackground() {
  TCustomActionDockBar::PaintBackground();
  if (!AutoSize() || ItemCount() == 0) return;
  TCustomActionControl* first = nullptr;
  TCustomActionControl* last = nullptr;
  for (int i = 0; i < ItemCount(); ++i)
    if (TCustomActionControl* control = ControlAt(i); control && control->Visible()) {
      if (!first) first = control;
      last = control;
    }
  if (!first || !last) return;
  TCanvas* canvas = Canvas();
  bool face = Color() == clBtnFace;
  TColor dark = face ? clBtnShadow : shadowColor_;
  TColor light = face ? clBtnHighlight : highlightColor_;
  int leftBanner = BannerWidth(blLeftBanner), rightBanner = BannerWidth(blRightBanner);
  canvas->Pen()->SetWidth(1);
  if (!IsVertical(Orientation())) {
    if (!HorzSeparator() || first->Top() == last->Top()) return;
    int h = last->Height();
    for (int k = 1; k < RowCount(); ++k) {
      int p = 2 * VertMargin() + h + (2 * VertMargin() + h + 2) * (k - 1) + 1;
      canvas->Pen()->SetColor(dark);
      canvas->MoveTo(2 + leftBanner, p - 1);
      canvas->LineTo(ClientWidth() - 2 - rightBanner, p - 1);
      canvas->Pen()->SetColor(light);
      canvas->MoveTo(2 + leftBanner, p);
      canvas->LineTo(ClientWidth() - 2 - rightBanner, p);
    }
  } else {
    if (!VertSeparator() || first->Left() == last->Left()) return;
    int w = last->Width();
    for (int k = 1; k < ColumnCount(); ++k) {
      int p = 2 * HorzMargin() + w + (2 * HorzMargin() + w + 2) * (k - 1) + 1;
      canvas->Pen()->SetColor(dark);
      canvas->MoveTo(p - 1, 1);
      canvas->LineTo(p - 1, ClientHeight() - 1);
      canvas->Pen()->SetColor(light);
      canvas->MoveTo(p, 1);
      canvas->LineTo(p, ClientHeight() - 1);
    }
  }
}

void TCustomActionToolBar::Notification(TComponent* component, TOperation operation) {
  TCustomActionDockBar::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == overflowButton_) overflowButton_ = nullptr;
  if (component == overflowPopup_) overflowPopup_ = nullptr;
  std::erase_if(hiddenButtons_, [component](TCustomActionControl* c) { return c == component; });
}

void TCustomActionToolBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case FM_COLOR_CHANGED:
      TCustomActionDockBar::Dispatch(message);
      UpdateColors();
      break;
    default:
      TCustomActionDockBar::Dispatch(message);
  }
}

// ---- The overflow popup ----

void TCustomizeActionLink::PushEnabled(bool) {
  if (TCustomActionControl* control = Client() ? Client()->Control() : nullptr) control->SetEnabled(true);
}

TCustomizeActionClientItem::TCustomizeActionClientItem(TCollection* collection) : TActionClientItem(nullptr) {
  SetCollection(collection);
}

void TCustomizeActionClientItem::ActionChange(TObject* sender, bool checkDefaults) {
  TActionClientItem::ActionChange(sender, checkDefaults);
  if (Control()) Control()->SetEnabled(true);
}

TCustomAddRemoveItem::TCustomAddRemoveItem(TComponent* owner) : TCustomMenuItem(owner) {}

TCustomActionToolBar* TCustomAddRemoveItem::ToolBar() const {
  TCustomActionMenuBar* menu = Menu();
  auto* popup = menu ? DynamicCast<TCustomizeActionToolBar>(menu->RootMenu()) : nullptr;
  return popup ? popup->ToolBar() : nullptr;
}

TActionClientItem* TCustomAddRemoveItem::ToolBarItem() const {
  TCustomActionToolBar* bar = ToolBar();
  TActionClients* list = bar ? bar->Items() : nullptr;
  int index = ActionClient() ? ActionClient()->Index() : -1;
  return list && index >= 0 && index < list->Count() ? list->ActionClients(index) : nullptr;
}

void TCustomAddRemoveItem::MeasureBounds() {
  TCustomMenuItem::MeasureBounds();
  if (ActionClient()) SetBounds(Left(), Top(), Width() + kCheckColumn, Height());
}

void TCustomAddRemoveItem::PositionContents() {
  TCustomMenuItem::PositionContents();
  TPoint glyph = GlyphPos();
  SetGlyphPos(Point(glyph.x + kCheckColumn, glyph.y));
  TRect text = TextBounds();
  OffsetRect(&text, kCheckColumn, 0);
  SetTextBounds(text);
}

void TCustomAddRemoveItem::Toggle() {
  if (IsSeparator()) return;
  TActionClientItem* item = ToolBarItem();
  TCustomActionToolBar* bar = ToolBar();
  if (!item || !bar) return;
  item->SetVisible(!item->Visible());
  bar->Realign();
  bar->SetBounds(bar->Left(), bar->Top(), bar->Width(), bar->Height());
  Invalidate();
}

void TCustomAddRemoveItem::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  // The menu stays open: the entry only shows or hides its button.
  if (OnMouseUp()) OnMouseUp()(this, button, shift, x, y);
  if (button == mbLeft) Toggle();
  Invalidate();
}

void TCustomAddRemoveItem::ItemTriggered() { Toggle(); }

void TCustomAddRemoveItem::Dispatch(TMessage& message) {
  TCustomMenuItem::Dispatch(message);
  // Always usable, whatever its action's state.
  if (message.Msg == FM_ENABLED_CHANGED && !Enabled() && !IsSeparator()) SetEnabled(true);
}

void TStandardAddRemoveItem::PaintBackground(const TRect& rect) {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clMenu);
  canvas->FillRect(rect);
  if (!Highlighted()) return;
  bool column = (ActionClient() && ActionClient()->HasGlyph()) || IsChecked();
  canvas->Brush()->SetColor(clHighlight);
  canvas->FillRect(Rect(column ? 22 : 1, rect.top, rect.right - 2, rect.bottom));
}

void TStandardAddRemoveItem::PaintText(TRect& rect, std::uint32_t flags, const String& text) {
  Canvas()->Font()->SetColor(Selected() ? clHighlightText : clMenuText);
  TCustomActionControl::PaintText(rect, flags, text);
}

void TStandardAddRemoveItem::Paint() {
  TCustomAddRemoveItem::Paint();
  TActionClientItem* item = ToolBarItem();
  if (!item || !item->Visible() || IsSeparator()) return;
  TCanvas* canvas = Canvas();
  RECT box{1, 1, kCheckColumn, Height() - 1};
  DrawEdge(canvas->Handle(), &box, BDR_RAISEDINNER, BF_RECT);
  canvas->Pen()->SetColor(clBlack);
  PaintCheckMark(canvas, Point(6, Height() / 2 + 1), 2, false);
}

TCustomizeActionToolBar::TCustomizeActionToolBar(TComponent* owner) : TCustomActionPopupMenu(owner) {}

void TCustomizeActionToolBar::AddCustomizeEntries(TActionClientItem* item) {
  TCustomActionManager* manager = toolBar_ ? toolBar_->ActionManager() : nullptr;
  TActionBars* initial = manager ? manager->InitialBars() : nullptr;
  auto* barItem = toolBar_ ? DynamicCast<TActionBarItem>(toolBar_->ActionClient()) : nullptr;
  if (!initial || !barItem) return;
  TActionClient* copy = nullptr;
  for (int i = 0; i < initial->Count() && !copy; ++i)
    if (initial->ActionBars(i)->ID() == barItem->Index()) copy = initial->ActionBars(i);
  if (!copy) return;
  auto fixed = [](TActionClientItem* entry) {
    entry->SetUsageCount(-1);
    entry->SetChangesAllowed(TChangesAllowedSet{});
  };
  TActionClients* entries = item->Items();
  TActionClientItem* separator = entries->Add();
  separator->SetCaption("-");
  fixed(separator);
  TActionClientItem* addRemove = entries->Add();
  addRemove->SetCaption(SAddRemoveButtons);
  fixed(addRemove);
  addRemoveItem_ = addRemove;
  bool copyHasItems = copy->HasItems() && copy->Items()->Count() > 0;
  if (copyHasItems) {
    for (int i = 0; i < copy->Items()->Count(); ++i) {
      TActionClientItem* entry = addRemove->Items()->Add();
      entry->Assign(copy->Items()->ActionClients(i));
      if (entry->HasItems()) entry->SetItems(nullptr);
      fixed(entry);
    }
    if (addRemove->HasItems() && addRemove->Items()->Count() > 0) {
      TActionClientItem* second = entries->Add();
      second->SetCaption("-");
      fixed(second);
    }
    auto* reset = new TAction(this);
    reset->SetCaption(SResetToolBar);
    reset->SetOnExecute(TNotifyEvent::Bind<&TCustomizeActionToolBar::ResetExecute>(this));
    TActionClientItem* resetItem = entries->Add();
    resetItem->SetAction(reset);
    fixed(resetItem);
  }
  entries->SetCustomizable(false);
}

void TCustomizeActionToolBar::ResetExecute(TObject*) {
  if (toolBar_ && toolBar_->HandleAllocated()) PostMessageA(toolBar_->Handle(), CM_RESETBAR, 0, 0);
}

TCustomActionControl* TCustomizeActionToolBar::MakeItemControl(TActionClientItem* item) {
  makingItem_ = item;
  TCustomActionControl* control;
  try {
    control = TCustomActionPopupMenu::MakeItemControl(item);
  } catch (...) {
    makingItem_ = nullptr;
    throw;
  }
  makingItem_ = nullptr;
  return control;
}

TClass TCustomizeActionToolBar::DefaultControlClass() const {
  auto* root = DynamicCast<TCustomizeActionToolBar>(RootMenu());
  TActionClientItem* addRemove = root ? root->addRemoveItem_ : addRemoveItem_;
  TActionClients* list = makingItem_ ? makingItem_->ActionClients() : nullptr;
  if (addRemove && list && list->ParentItem() == addRemove) return TStandardAddRemoveItem::StaticClass();
  return TCustomActionPopupMenu::DefaultControlClass();
}

TCustomActionPopupMenu* TCustomizeActionToolBar::CreatePopup() {
  auto* popup = new TCustomizeActionToolBar(this);
  popup->toolBar_ = toolBar_;
  popup->addRemoveItem_ = addRemoveItem_;
  return popup;
}

TAVELO_CLASS_IMPL(TCustomizeActionLink)
TAVELO_CLASS_IMPL(TCustomizeActionClientItem)
TAVELO_CLASS_IMPL(TCustomAddRemoveItem)
TAVELO_CLASS_IMPL(TStandardAddRemoveItem)
TAVELO_CLASS_IMPL(TCustomizeActionToolBar)
TAVELO_CLASS_IMPL(TCustomToolScrollBtn)
TAVELO_CLASS_IMPL(TCustomDropDownButton)
TAVELO_CLASS_IMPL(TCustomComboControl)
TAVELO_CLASS_IMPL(TCustomActionToolBar)

TAVELO_PUBLISH(TActionToolBar) {
  c.Property("ActionManager", &Self::ActionManager, &Self::SetActionManager);
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alTop);
  c.Property("AllowHiding", &Self::AllowHiding, &Self::SetAllowHiding);
  c.Property("Anchors", &Self::Anchors, &Self::SetAnchors);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Color", &Self::Color, &Self::SetColor);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("EdgeBorders", &Self::EdgeBorders, &Self::SetEdgeBorders).Default(TEdgeBorders{});
  c.Property("EdgeInner", &Self::EdgeInner, &Self::SetEdgeInner).Default(esRaised);
  c.Property("EdgeOuter", &Self::EdgeOuter, &Self::SetEdgeOuter).Default(esNone);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("HorzMargin", &Self::HorzMargin, &Self::SetHorzMargin).Default(1);
  c.Property("HorzSeparator", &Self::HorzSeparator, &Self::SetHorzSeparator);
  c.Property("Orientation", &Self::Orientation, &Self::SetOrientation);
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
  c.Property("ParentColor", &Self::ParentColor, &Self::SetParentColor);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(true);
  c.Property("PersistentHotKeys", &Self::PersistentHotKeys, &Self::SetPersistentHotKeys);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("Spacing", &Self::Spacing, &Self::SetSpacing);
  c.Property("VertMargin", &Self::VertMargin, &Self::SetVertMargin).Default(1);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Event("OnControlCreated", &Self::OnControlCreated, &Self::SetOnControlCreated);
  c.Event("OnGetControlClass", &Self::OnGetControlClass, &Self::SetOnGetControlClass);
  c.Event("OnPaint", &Self::OnPaint, &Self::SetOnPaint);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
  c.Event("OnDblClick", &Self::OnDblClick, &Self::SetOnDblClick);
  c.Event("OnMouseDown", &Self::OnMouseDown, &Self::SetOnMouseDown);
  c.Event("OnMouseMove", &Self::OnMouseMove, &Self::SetOnMouseMove);
  c.Event("OnMouseUp", &Self::OnMouseUp, &Self::SetOnMouseUp);
  c.Event("OnResize", &Self::OnResize, &Self::SetOnResize);
}

}  // namespace tavelo
