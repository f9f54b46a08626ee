// The menu bars and popups: construction, opening and closing menus, expansion, placement
// and the popup window. The loop itself is in menuloop.cpp, the thread hooks in menuhooks.cpp.
#include "actnman/actnmenus.h"

#include <algorithm>

#include "actnman/actnconsts.h"
#include "actnman/actnman.h"
#include "actnman/actnmsgs.h"
#include "actnman/menuitems.h"
#include "actnman/menustyle.h"
#include "controls/application.h"
#include "controls/forms.h"
#include "core/messages.h"
#include "core/publish.h"
#include "dialogs/msgdlg.h"

namespace tavelo {

void InstallMenuHooks();
void RemoveMenuHooks();
void ForgetActiveMenu(TCustomActionMenuBar* menu);

// ---- The stack and the list ----

TCustomActionMenuBar* TMenuStack::Pop() {
  if (menus_.empty()) return nullptr;
  TCustomActionMenuBar* menu = menus_.back();
  menus_.pop_back();
  return menu;
}

bool TMenuStack::Contains(const TCustomActionMenuBar* menu) const {
  return std::find(menus_.begin(), menus_.end(), menu) != menus_.end();
}

namespace {
std::vector<TCustomActionMenuBar*>& MenuBars() {
  static std::vector<TCustomActionMenuBar*> bars;
  return bars;
}
}  // namespace

const std::vector<TCustomActionMenuBar*>& TMenuList::Items() { return MenuBars(); }

void TMenuList::Add(TCustomActionMenuBar* menu) {
  auto& bars = MenuBars();
  if (std::find(bars.begin(), bars.end(), menu) == bars.end()) bars.push_back(menu);
}

void TMenuList::Remove(TCustomActionMenuBar* menu) {
  auto& bars = MenuBars();
  bars.erase(std::remove(bars.begin(), bars.end(), menu), bars.end());
  if (bars.empty()) RemoveMenuHooks();
}

// ---- TCustomActionMenuBar ----

TAVELO_CLASS_IMPL(TCustomActionMenuBar)

TCustomActionMenuBar::TCustomActionMenuBar(TComponent* owner) : TCustomActionDockBar(owner) {
  SetEdgeOuter(esNone);
  TMenuList::Add(this);
}

TCustomActionMenuBar::~TCustomActionMenuBar() {
  ForgetActiveMenu(this);
  if (childMenu_) childMenu_->parentMenu_ = nullptr;
  if (parentMenu_ && parentMenu_->childMenu_ == this) parentMenu_->childMenu_ = nullptr;
  TCustomActionMenuBar* root = rootMenu_;
  if (root && root != this && root->menuStack_) {
    // A popup freed while its session runs leaves the stack.
    auto& released = root->released_;
    released.erase(std::remove(released.begin(), released.end(), this), released.end());
  }
  FreeReleasedPopups();
  for (TCustomActionMenuBar* menu : TMenuList::Items())
    if (menu->rootMenu_ == this) menu->rootMenu_ = nullptr;
  TMenuList::Remove(this);
}

void TCustomActionMenuBar::SetParentMenu(TCustomActionMenuBar* value) {
  if (value == parentMenu_) return;
  parentMenu_ = value;
  if (!value) return;
  if (auto* popup = DynamicCast<TCustomActionPopupMenu>(this)) value->childMenu_ = popup;
  SetPersistentHotKeys(value->PersistentHotKeys());
  if (value->OnGetControlClass()) SetOnGetControlClass(value->OnGetControlClass());
  animationStyle_ = value->animationStyle_;
}

void TCustomActionMenuBar::SetExpandDelay(int value) {
  if (value == expandDelay_) return;
  expandDelay_ = value;
  if (expandTimer_) expandTimer_->SetInterval(static_cast<unsigned>(std::max(value, 1)));
}

void TCustomActionMenuBar::ControlCreated(TCustomActionControl* control) {
  control->SetShowHint(false);
  if (TActionClientItem* item = control->ActionClient()) {
    item->SetShowCaption(true);
    if (!control->IsSeparator()) {
      bool hasVisibleItems = item->HasItems() && item->Items()->VisibleCount() > 0;
      control->SetEnabled(control->Enabled() && (item->Action() || hasVisibleItems));
    }
  }
  TCustomActionDockBar::ControlCreated(control);
}

// ---- Item queries of a menu ----

namespace {
TShiftState KeyShift() {
  TShiftState shift;
  if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  return shift;
}

bool Selectable(TCustomActionControl* control, bool customizing) {
  return control && control->Visible() && (customizing || !control->IsSeparator());
}
}  // namespace

TCustomActionControl* TCustomActionMenuBar::SelectedControl() {
  for (int i = 0; i < ItemCount(); ++i)
    if (TCustomActionControl* c = ControlAt(i); c && c->Selected()) return c;
  return nullptr;
}

TCustomActionControl* TCustomActionMenuBar::FirstVisibleControl() {
  for (int i = 0; i < ItemCount(); ++i)
    if (TCustomActionControl* c = ControlAt(i); Selectable(c, InCustomizeMode())) return c;
  return nullptr;
}

TCustomActionControl* TCustomActionMenuBar::LastVisibleControl() {
  for (int i = ItemCount() - 1; i >= 0; --i)
    if (TCustomActionControl* c = ControlAt(i); Selectable(c, InCustomizeMode())) return c;
  return nullptr;
}

TCustomActionControl* TCustomActionMenuBar::NextSelectable(TCustomActionControl* from, bool forward) {
  int count = ItemCount();
  if (count == 0) return nullptr;
  int start = -1;
  for (int i = 0; i < count; ++i)
    if (ControlAt(i) == from) start = i;
  if (start < 0) return forward ? FirstVisibleControl() : LastVisibleControl();
  for (int step = 1; step <= count; ++step) {
    int i = forward ? (start + step) % count : (start - step + count) % count;
    TCustomActionControl* c = ControlAt(i);
    if (Selectable(c, InCustomizeMode())) return c;
  }
  return nullptr;
}

TCustomActionControl* TCustomActionMenuBar::AcceleratorControl(char key) {
  TActionClientItem* item = FindAccelItem(key);
  return item ? item->Control() : nullptr;
}

void TCustomActionMenuBar::SelectControl(TCustomActionControl* control) {
  if (control && !control->Selected()) control->SetSelected(true);
}

void TCustomActionMenuBar::DeselectAll() {
  if (TCustomActionControl* c = SelectedControl()) c->SetSelected(false);
}

TCustomActionControl* TCustomActionMenuBar::ControlAtScreen(TPoint screenPoint) {
  if (!HandleAllocated()) return nullptr;
  POINT p = screenPoint;
  ::ScreenToClient(Handle(), &p);
  return ControlAtPoint(p);
}

TCustomActionMenuBar* TCustomActionMenuBar::MenuOfControl(TControl* control) const {
  if (!control || !menuStack_) return nullptr;
  for (int i = menuStack_->Count() - 1; i >= 0; --i) {
    TCustomActionMenuBar* menu = menuStack_->At(i);
    for (int j = 0; j < menu->ItemCount(); ++j)
      if (menu->ControlAt(j) == control) return menu;
  }
  return nullptr;
}

// ---- Opening and closing ----

TCustomActionPopupMenu* TCustomActionMenuBar::CreatePopup() {
  TClass popupClass = TStandardMenuPopup::StaticClass();
  if (onGetPopupClass_) onGetPopupClass_(this, popupClass);
  if (!popupClass || !popupClass->CanConstruct()) return nullptr;
  TObject* made = popupClass->Construct(this);
  auto* popup = DynamicCast<TCustomActionPopupMenu>(made);
  if (!popup) delete made;
  return popup;
}

TCustomActionPopupMenu* TCustomActionMenuBar::OpenSubMenu(TCustomActionMenuBar* parentMenu,
                                                         TCustomActionControl* control) {
  TCustomActionMenuBar* root = RootMenu();
  if (!root->inMenuLoop_ || !root->menuStack_ || root->menuStack_->Count() == 0 || !control) return nullptr;
  if (root->menuStack_->Peek()->parentControl_ == control) return nullptr;
  TActionClientItem* item = control->ActionClient();
  if (!item || !item->HasItems() || item->Items()->VisibleCount() == 0) return nullptr;

  root->pendingItem_ = nullptr;
  TCustomActionPopupMenu* popup = CreatePopup();
  if (!popup) return nullptr;
  popup->rootMenu_ = root;
  item->SetChildBar(popup);
  popup->SetParentMenu(parentMenu);
  popup->inMenuLoop_ = true;
  popup->parentControl_ = control;
  popup->SetFont(root->Font());
  popup->SetBiDiMode(root->BiDiMode());
  TWinControl* form = GetParentForm(root);
  TApplication* app = Application();
  popup->SetParentWindow(form ? form->Handle() : app ? app->Handle() : nullptr);

  bool visible = item->Visible();
  popup->BindItemTree(item);
  if (item->Visible() != visible) item->SetVisible(visible);
  if (onPopup_) onPopup_(this, control);

  bool expand = parentMenu->expanded_ || InCustomizeMode() || !popup->FirstVisibleControl();
  if (expand) popup->Expand(false);
  if (parentMenu->InCustomizeMode()) popup->SetCustomizeMode(true);
  popup->SetVisible(true);
  root->menuStack_->Push(popup);
  if (root->expandTimer_) {
    root->expandTimer_->SetEnabled(false);
    if (popup->expandable_ && !popup->expanded_) root->expandTimer_->SetEnabled(true);
  }
  if (control->ActionBar()) control->Invalidate();
  return popup;
}

void TCustomActionMenuBar::ReleasePopup(TCustomActionPopupMenu* popup) {
  if (popup->Visible()) popup->SetVisible(false);
  if (TActionClient* item = popup->ActionClient(); item && item->ChildBar() == popup) item->SetChildBar(nullptr);
  if (popup->parentMenu_ && popup->parentMenu_->childMenu_ == popup) popup->parentMenu_->childMenu_ = nullptr;
  if (TCustomActionControl* c = popup->parentControl_) c->Invalidate();
  popup->parentControl_ = nullptr;
  // The popup may be the one whose message is running: it goes once the loop is back.
  if (std::find(released_.begin(), released_.end(), popup) == released_.end()) released_.push_back(popup);
}

void TCustomActionMenuBar::FreeReleasedPopups() {
  while (!released_.empty()) {
    TCustomActionPopupMenu* popup = released_.back();
    released_.pop_back();
    popup->rootMenu_ = nullptr;
    delete popup;
  }
}

void TCustomActionMenuBar::ClosePopupsAbove(TCustomActionMenuBar* menu) {
  TCustomActionMenuBar* root = RootMenu();
  TMenuStack* stack = root->menuStack_.get();
  if (!stack) return;
  while (stack->Count() > 1 && stack->Peek() != menu) stack->Peek()->CloseMenu();
}

void TCustomActionMenuBar::CloseMenu() {
  TCustomActionMenuBar* root = RootMenu();
  root->pendingItem_ = nullptr;
  if (parentMenu_) parentMenu_->animateNext_ = false;
  inMenuLoop_ = false;
  TMenuStack* stack = root->menuStack_.get();
  if (this == root) {
    DeselectAll();
  } else if (stack && stack->Peek() == this) {
    stack->Pop();
    if (auto* popup = DynamicCast<TCustomActionPopupMenu>(this)) root->ReleasePopup(popup);
  } else if (auto* popup = DynamicCast<TCustomActionPopupMenu>(this)) {
    root->ReleasePopup(popup);
  }
}

TActionClientItem* TCustomActionMenuBar::ClickItem(TCustomActionControl* control) {
  if (!control) return nullptr;
  TActionClientItem* item = control->ActionClient();
  if (control->ActionBar() == this) {
    if (item && item->ChildBar()) {
      ClosePopupsAbove(this);
      CloseMenu();
      return nullptr;
    }
    ClosePopupsAbove(this);
    pendingItem_ = nullptr;
  }
  if (item && item->HasItems()) {
    if (pendingItem_) {
      if (TCustomActionMenuBar* menu = MenuOfControl(pendingItem_)) ClosePopupsAbove(menu);
      pendingItem_ = nullptr;
    }
    TCustomActionMenuBar* top = menuStack_ ? menuStack_->Peek() : this;
    // A control of a menu below the top opens its sub-menu right above its own menu.
    if (TCustomActionMenuBar* menu = MenuOfControl(control); menu && menu != top) {
      ClosePopupsAbove(menu);
      top = menu;
    }
    OpenSubMenu(top, control);
    animateNext_ = false;
    return nullptr;
  }
  if (InCustomizeMode()) return item;
  ClosePopupsAbove(this);
  CloseMenu();
  return item;
}

TActionClientItem* TCustomActionMenuBar::TriggerItem(TCustomActionControl* control) {
  keyboardOpened_ = true;
  TCustomActionMenuBar* before = menuStack_ ? menuStack_->Peek() : nullptr;
  TActionClientItem* chosen = ClickItem(control);
  TCustomActionMenuBar* top = menuStack_ ? menuStack_->Peek() : nullptr;
  if (!chosen && top && top != before && top->parentControl_ == control)
    top->SelectControl(top->FirstVisibleControl());
  return chosen;
}

void TCustomActionMenuBar::ExecuteChosen(TActionClientItem* item) {
  if (!item || InCustomizeMode() || ComponentState().Contains(csDesigning)) return;
  if (TContainedAction* action = item->Action()) action->Trigger();
}

void TCustomActionMenuBar::StartTracking() {
  TActionClientItem* chosen = TrackMenu();
  if (auto* popup = DynamicCast<TCustomActionPopupMenu>(this); popup && popup->Visible()) popup->SetVisible(false);
  if (!chosen || InCustomizeMode() || ComponentState().Contains(csDesigning)) return;
  PlayMenuSound(commandSound_);
  ExecuteChosen(chosen);
}

void TCustomActionMenuBar::Expand(bool full) {
  expanded_ = true;
  if (full) RootMenu()->expanded_ = true;
  expandable_ = false;
}

void TCustomActionMenuBar::PlayPopupSound() { PlayMenuSound(RootMenu()->popupSound_); }

void TCustomActionMenuBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_KEYDOWN: {
      TCustomActionMenuBar* root = RootMenu();
      if (root->inMenuLoop_ && root->menuStack_ && root->menuStack_->Contains(this)) {
        MenuKeyDown(static_cast<std::uint16_t>(message.WParam), KeyShift());
        message.Result = 0;
      } else {
        TCustomActionDockBar::Dispatch(message);
      }
      break;
    }
    case WM_MOUSEACTIVATE:
      // A click on a menu never takes the activation from the form.
      if (RootMenu()->inMenuLoop_) {
        message.Result = MA_NOACTIVATE;
      } else {
        TCustomActionDockBar::Dispatch(message);
      }
      break;
    case CM_ENTERMENULOOP:
      if (!inMenuLoop_ && IsMainMenu()) {
        keyboardOpened_ = true;
        StartTracking();
      }
      break;
    case CM_ITEMCLICKED:
    case CM_ITEMKEYED:
      // The first click (or key) on the bar starts the session, which then handles it.
      if (!inMenuLoop_ && IsMainMenu() && HandleAllocated()) {
        PostMessageA(Handle(), message.Msg, message.WParam, message.LParam);
        if (message.Msg == CM_ITEMKEYED) keyboardOpened_ = true;
        StartTracking();
      }
      break;
    default:
      TCustomActionDockBar::Dispatch(message);
  }
}

// The keys of any menu: accelerators, Return, Escape, Home, End, Up and Down.
void TCustomActionMenuBar::MenuKeyDown(std::uint16_t key, TShiftState shift) {
  (void)shift;
  TCustomActionControl* selected = SelectedControl();
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    if (TCustomActionControl* c = AcceleratorControl(static_cast<char>(key))) c->ItemTriggered();
    return;
  }
  switch (key) {
    case VK_RETURN:
      if (selected) selected->ItemTriggered();
      break;
    case VK_ESCAPE:
      // The loop closes a menu that has left it.
      inMenuLoop_ = false;
      break;
    case VK_HOME:
      SelectControl(FirstVisibleControl());
      break;
    case VK_END:
      SelectControl(LastVisibleControl());
      break;
    case VK_UP:
    case VK_DOWN:
      SelectControl(NextSelectable(selected, key == VK_DOWN));
      break;
    default:
      break;
  }
}

// ---- TCustomActionMainMenuBar ----

TAVELO_CLASS_IMPL(TCustomActionMainMenuBar)

namespace {
bool KeyboardCuesOn() {
  BOOL on = FALSE;
  return SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &on, 0) && on;
}
}  // namespace

TCustomActionMainMenuBar::TCustomActionMainMenuBar(TComponent* owner) : TCustomActionMenuBar(owner) {
  SetPersistentHotKeys(KeyboardCuesOn());
  SetAlign(alTop);
  SetAllowHiding(false);
  SetHorzMargin(1);
  SetHeight(29);
  if (!ComponentState().Contains(csDesigning)) InstallMenuHooks();
}

TCustomActionMainMenuBar::~TCustomActionMainMenuBar() = default;

void TCustomActionMainMenuBar::SetAppInactive(bool value) {
  if (value == appInactive_) return;
  appInactive_ = value;
  Invalidate();
}

TClass TCustomActionMainMenuBar::DefaultControlClass() const { return TStandardMenuButton::StaticClass(); }

void TCustomActionMainMenuBar::ControlCreated(TCustomActionControl* control) {
  if (auto* button = DynamicCast<TCustomMenuButton>(control)) button->SetSpacing(2);
  TCustomActionMenuBar::ControlCreated(control);
}

void TCustomActionMainMenuBar::CloseMenu() {
  ClosePopupsAbove(this);
  TCustomActionMenuBar::CloseMenu();
}

void TCustomActionMainMenuBar::EndTracking() {
  TCustomActionMenuBar::EndTracking();
  if (!KeyboardCuesOn()) SetPersistentHotKeys(false);
}

void TCustomActionMainMenuBar::MenuKeyDown(std::uint16_t key, TShiftState shift) {
  bool vertical = Orientation() == boTopToBottom || Orientation() == boBottomToTop;
  TCustomActionControl* selected = SelectedControl();
  auto openWithFirst = [this](TCustomActionControl* control) {
    if (!control) return;
    TCustomActionPopupMenu* popup = OpenSubMenu(this, control);
    if (popup) popup->SelectControl(popup->FirstVisibleControl());
  };
  if (vertical) {
    if (key == VK_LEFT) {
      SelectControl(NextSelectable(selected, true));
      return;
    }
    if (key == VK_RIGHT) {
      openWithFirst(selected);
      return;
    }
  } else if (key == VK_LEFT || key == VK_RIGHT) {
    bool forward = (key == VK_RIGHT) != (Orientation() == boRightToLeft);
    bool popupOpen = MenuStack() && MenuStack()->Count() > 1;
    TCustomActionControl* next = NextSelectable(selected, forward);
    if (!next) return;
    if (popupOpen) ClosePopupsAbove(this);
    SetPendingItem(nullptr);
    SelectControl(next);
    if (popupOpen && !(next->ActionClient() && next->ActionClient()->Action())) openWithFirst(next);
    return;
  }
  if (!vertical && (key == VK_UP || key == VK_DOWN)) {
    if (selected && selected->ActionClient() && selected->ActionClient()->HasItems()) openWithFirst(selected);
    return;
  }
  TCustomActionMenuBar::MenuKeyDown(key, shift);
}

// ---- TActionMainMenuBar ----

TAVELO_PUBLISH(TActionMainMenuBar) {
  c.Property("ActionManager", &Self::ActionManager, &Self::SetActionManager);
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alTop);
  c.Property("AllowHiding", &Self::AllowHiding, &Self::SetAllowHiding).Default(false);
  c.Property("Anchors", &Self::Anchors, &Self::SetAnchors);
  c.Property("AnimationStyle", &Self::AnimationStyle, &Self::SetAnimationStyle).Default(asDefault);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Color", &Self::Color, &Self::SetColor).Default(clMenu);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("EdgeBorders", &Self::EdgeBorders, &Self::SetEdgeBorders)
      .Default(TEdgeBorders{ebLeft, ebTop, ebRight, ebBottom});
  c.Property("EdgeInner", &Self::EdgeInner, &Self::SetEdgeInner).Default(esRaised);
  c.Property("EdgeOuter", &Self::EdgeOuter, &Self::SetEdgeOuter).Default(esLowered);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("ExpandDelay", &Self::ExpandDelay, &Self::SetExpandDelay).Default(4000);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("HorzMargin", &Self::HorzMargin, &Self::SetHorzMargin).Default(1);
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
  c.Property("ParentColor", &Self::ParentColor, &Self::SetParentColor);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(true);
  c.Property("PersistentHotKeys", &Self::PersistentHotKeys, &Self::SetPersistentHotKeys);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("Spacing", &Self::Spacing, &Self::SetSpacing);
  c.Property("VertMargin", &Self::VertMargin, &Self::SetVertMargin).Default(1);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
  c.Event("OnControlCreated", &Self::OnControlCreated, &Self::SetOnControlCreated);
  c.Event("OnGetControlClass", &Self::OnGetControlClass, &Self::SetOnGetControlClass);
  c.Event("OnGetPopupClass", &Self::OnGetPopupClass, &Self::SetOnGetPopupClass);
  c.Event("OnPaint", &Self::OnPaint, &Self::SetOnPaint);
  c.Event("OnPopup", &Self::OnPopup, &Self::SetOnPopup);
}

// ---- TCustomActionPopupMenu ----

TAVELO_CLASS_IMPL(TCustomActionPopupMenu)

TCustomActionPopupMenu::TCustomActionPopupMenu(TComponent* owner) : TCustomActionMenuBar(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csNoDesignVisible});
  SetVisible(false);
  SetAlign(alNone);
  SetOrientation(boTopToBottom);
  SetEdgeBorders(TEdgeBorders{ebLeft, ebTop, ebRight, ebBottom});
  SetEdgeInner(esRaised);
  SetEdgeOuter(esRaised);
  SetVertMargin(1);
  if (auto* bar = DynamicCast<TCustomActionBar>(owner)) SetActionManager(bar->ActionManager());
}

TCustomActionPopupMenu::~TCustomActionPopupMenu() {
  if (TActionClient* item = ActionClient(); item && item->ChildBar() == this) item->SetChildBar(nullptr);
}

TClass TCustomActionPopupMenu::DefaultControlClass() const { return TStandardMenuItem::StaticClass(); }

void TCustomActionPopupMenu::CreateParams(TCreateParams& params) {
  TCustomActionMenuBar::CreateParams(params);
  if (Parent() && Parent()->IsForm()) return;
  params.Style = WS_POPUP | WS_CLIPCHILDREN;
  params.ExStyle = WS_EX_TOOLWINDOW;
  if (!InCustomizeMode()) params.ExStyle |= WS_EX_TOPMOST;
  params.WindowClass.style |= CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW;
  if (!params.WndParent) {
    TApplication* app = Application();
    params.WndParent = app ? app->Handle() : nullptr;
  }
}

void TCustomActionPopupMenu::MakeAllItemControls() {
  int margin = 2 * VertMargin() + 4;
  usedSize_ = TSize{4, margin};
  allSize_ = TSize{3, margin};
  expandable_ = false;
  sized_ = false;
  TCustomActionMenuBar::MakeAllItemControls();
  TActionClients* items = Items();
  bool anyVisible = false;
  DisableAlign();
  try {
    for (int i = 0; items && i < items->Count(); ++i) {
      TActionClientItem* item = items->ActionClients(i);
      TCustomActionControl* control = item->Control();
      if (!control) continue;
      if (!Expanded() && item->Visible() && IsHiddenAsUnused(item)) {
        expandable_ = true;
        control->SetVisible(false);
      }
      control->MeasureBounds();
      if (control->Visible()) {
        anyVisible = true;
        usedSize_.cy += control->Height();
        usedSize_.cx = std::max<int>(usedSize_.cx, control->Width() + 3);
      }
      allSize_.cy += control->Height();
      allSize_.cx = std::max<int>(allSize_.cx, control->Width() + 3);
    }
    if (TActionClient* client = ActionClient()) {
      int banner = BannerWidth(client->BackgroundLayout());
      usedSize_.cx += banner;
      allSize_.cx += banner;
    }
    if (expandable_ && anyVisible) {
      if (!expandButton_) {
        expandButton_ = new TCustomMenuExpandBtn(this);
        expandButton_->SetParent(this);
      }
      expandButton_->SetHeight(GetSystemMetrics(SM_CYMENU));
      TActionClient* client = ActionClient();
      expandButton_->SetTransparent(client && client->HasBackground() &&
                                    client->BackgroundLayout() != blLeftBanner &&
                                    client->BackgroundLayout() != blRightBanner);
      usedSize_.cy += GetSystemMetrics(SM_CYMENU);
    }
  } catch (...) {
    EnableAlign();
    throw;
  }
  sized_ = true;
  SetBounds(Left(), Top(), usedSize_.cx, usedSize_.cy);
  EnableAlign();
}

void TCustomActionPopupMenu::SetBounds(int left, int top, int width, int height) {
  if (sized_) {
    TSize size = Expanded() ? allSize_ : usedSize_;
    width = size.cx;
    height = size.cy;
  }
  TCustomActionMenuBar::SetBounds(left, top, width, height);
}

void TCustomActionPopupMenu::SetRunEdges() {
  TActionClients* items = Items();
  if (!items) return;
  int count = items->Count();
  auto menuItem = [&](int i) -> TCustomMenuItem* {
    return i >= 0 && i < count ? DynamicCast<TCustomMenuItem>(items->ActionClients(i)->Control()) : nullptr;
  };
  auto unused = [&](int i) { return IsHiddenAsUnused(items->ActionClients(i)); };
  auto visible = [&](int i) { return items->ActionClients(i)->Visible(); };
  auto previousVisible = [&](int i) {
    for (int j = i - 1; j >= 0; --j)
      if (visible(j)) return j;
    return -1;
  };
  auto nextVisible = [&](int i) {
    for (int j = i + 1; j < count; ++j)
      if (visible(j)) return j;
    return -1;
  };
  std::vector<TMenuItemEdges> edges(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (!visible(i) || !menuItem(i)) continue;
    int previous = previousVisible(i), next = nextVisible(i);
    if (unused(i)) {
      if ((previous < 0 || !unused(previous)) && i != 0) edges[i].Include(ebTop);
      if ((next < 0 || !unused(next)) && i != count - 1) edges[i].Include(ebBottom);
    } else {
      if (previous >= 0 && unused(previous)) edges[previous].Include(ebBottom);
      if (next >= 0 && unused(next)) edges[next].Include(ebTop);
    }
  }
  for (int i = 0; i < count; ++i)
    if (TCustomMenuItem* item = menuItem(i)) item->SetEdges(edges[i]);
}

void TCustomActionPopupMenu::Expand(bool full) {
  TCustomActionMenuBar::Expand(full);
  TActionClients* items = Items();
  DisableAlign();
  try {
    for (int i = 0; items && i < items->Count(); ++i) {
      TActionClientItem* item = items->ActionClients(i);
      if (TCustomActionControl* control = item->Control(); control && item->Visible()) control->SetVisible(true);
    }
    SetRunEdges();
    allSize_.cy = 2 * VertMargin() + 4;
    for (int i = 0; items && i < items->Count(); ++i) {
      TCustomActionControl* control = items->ActionClients(i)->Control();
      if (!control) continue;
      if (control->Visible() && DynamicCast<TCustomMenuItem>(control)) control->MeasureBounds();
      allSize_.cy += control->Height();
    }
    if (expandButton_) expandButton_->SetVisible(false);
  } catch (...) {
    EnableAlign();
    throw;
  }
  SetBounds(Left(), Top(), allSize_.cx, allSize_.cy);
  EnableAlign();
  if (HandleAllocated() && IsWindowVisible(Handle()) && ParentControl()) {
    TPoint p = PopupPosition();
    SetWindowPos(Handle(), nullptr, p.x, p.y, Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Invalidate();
}

TPoint TCustomActionPopupMenu::PopupPosition() {
  TCustomActionControl* c = ParentControl();
  TCustomActionBar* bar = c ? c->ActionBar() : nullptr;
  if (!c || !bar) return Point(Left(), Top());
  TPoint anchor;
  switch (bar->Orientation()) {
    case boLeftToRight:
      anchor = Point(c->Left() + 1, c->Top() + c->Height());
      break;
    case boRightToLeft:
      anchor = Point(c->Left() + c->Width() - Width(), c->Top() + c->Height());
      break;
    default:
      anchor = Point(c->Left() + c->Width() - 5, c->Top() - 3);
      break;
  }
  anchor = bar->ClientToScreen(anchor);
  TPoint origin = bar->ClientToScreen(Point(c->Left(), c->Top()));
  RECT itemRect{origin.x, origin.y, origin.x + c->Width(), origin.y + c->Height()};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromRect(&itemRect, MONITOR_DEFAULTTONEAREST), &info);
  RECT barRect{};
  GetWindowRect(bar->Handle(), &barRect);
  return PlacePopup(anchor, TSize{Width(), Height()}, c->Height(), barRect, info.rcMonitor);
}

void TCustomActionPopupMenu::ShowPopup(bool show) {
  HWND window = Handle();
  TCustomActionMenuBar* parent = ParentMenu();
  bool animate = !InCustomizeMode() && parent && AnimateWindowProc();
  HWND order = InCustomizeMode() ? HWND_TOP : HWND_TOPMOST;
  if (show) {
    TPoint p = ParentControl() ? PopupPosition() : Point(Left(), Top());
    SetWindowPos(window, order, p.x, p.y, Width(), Height(), SWP_NOACTIVATE);
    UpdateBoundsRect(Rect(p.x, p.y, p.x + Width(), p.y + Height()));
    bool upward = false;
    if (TCustomActionControl* c = ParentControl(); c && c->ActionBar())
      upward = p.y < c->ActionBar()->ClientToScreen(Point(c->Left(), c->Top())).y;
    DWORD flags = animate ? PopupAnimationFlags(AnimationStyle(), true, parent->AnimateNext(), upward,
                                                SystemMenuAnimationSettings())
                          : 0;
    if (!flags || !AnimateWindowProc()(window, kPopupAnimationTime, flags))
      SetWindowPos(window, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    PlayPopupSound();
  } else {
    DWORD flags = animate ? PopupAnimationFlags(AnimationStyle(), false, parent->AnimateNext(), false,
                                                SystemMenuAnimationSettings())
                          : 0;
    if (!flags || !AnimateWindowProc()(window, kPopupAnimationTime, flags))
      SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  }
}

void TCustomActionPopupMenu::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case FM_SHOWING_CHANGED:
      ShowPopup(Showing());
      break;
    case WM_PRINT: {
      HDC dc = reinterpret_cast<HDC>(message.WParam);
      PaintFrame(dc);
      RECT window{}, client{};
      GetWindowRect(Handle(), &window);
      GetClientRect(Handle(), &client);
      POINT origin{0, 0};
      ::ClientToScreen(Handle(), &origin);
      int dx = origin.x - window.left, dy = origin.y - window.top;
      int saved = SaveDC(dc);
      SetViewportOrgEx(dc, dx, dy, nullptr);
      IntersectClipRect(dc, 0, 0, client.right, client.bottom);
      PaintWindow(dc);
      PaintControls(dc, nullptr);
      RestoreDC(dc, saved);
      break;
    }
    case WM_SIZE:
      TCustomActionMenuBar::Dispatch(message);
      Realign();
      break;
    default:
      TCustomActionMenuBar::Dispatch(message);
  }
}

void TCustomActionPopupMenu::PaintFrame(HDC dc) {
  RECT r{};
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
}

void TCustomActionPopupMenu::CloseMenu() {
  if (Visible() && RootMenu() == this) SetVisible(false);
  TCustomActionMenuBar::CloseMenu();
}

void TCustomActionPopupMenu::Popup(int x, int y) {
  if (ItemCount() == 0) return;
  TApplication* app = Application();
  SetParentWindow(app ? app->Handle() : nullptr);
  SetRootMenu(this);
  sized_ = false;
  SetBounds(x, y, usedSize_.cx, usedSize_.cy);
  sized_ = true;
  if (!FirstVisibleControl()) Expand(false);
  struct THideAfter {
    TCustomActionPopupMenu* popup;
    // Whatever way the session ends, the popup goes away and the bar keeps working.
    ~THideAfter() {
      if (popup->Visible()) popup->SetVisible(false);
    }
  } hideAfter{this};
  SetVisible(true);
  StartTracking();
}

void TCustomActionPopupMenu::MenuKeyDown(std::uint16_t key, TShiftState shift) {
  TCustomActionMenuBar* root = RootMenu();
  TCustomActionControl* selected = SelectedControl();
  switch (key) {
    case VK_LEFT:
      if (ChildMenu()) {
        root->ClosePopupsAbove(this);
      } else if (ParentMenu()) {
        ParentMenu()->MenuKeyDown(key, shift);
      }
      return;
    case VK_RIGHT: {
      TActionClientItem* item = selected ? selected->ActionClient() : nullptr;
      if (item && item->HasItems() && item->Items()->VisibleCount() > 0 &&
          (selected->Enabled() || InCustomizeMode())) {
        if (TCustomActionPopupMenu* popup = root->OpenSubMenu(this, selected))
          popup->SelectControl(popup->FirstVisibleControl());
      } else if (ParentMenu() && root != this) {
        root->MenuKeyDown(key, shift);
      }
      return;
    }
    case VK_DOWN:
      if (Expandable() && expandButton_ &&
          (shift.Contains(ssCtrl) || (selected && selected == LastVisibleControl()))) {
        root->ClosePopupsAbove(this);
        Expand(true);
        SelectControl(FirstVisibleControl());
        return;
      }
      break;
    case VK_DELETE:
      DeleteSelected();
      return;
    default:
      break;
  }
  TCustomActionMenuBar::MenuKeyDown(key, shift);
}

void TCustomActionPopupMenu::DeleteSelected() {
  TCustomActionControl* selected = SelectedControl();
  TActionClientItem* item = selected ? selected->ActionClient() : nullptr;
  if (!item) return;
  if (item->HasItems() &&
      ShowMessageDialog(Format(SDeleteItemWithSubItems, {item->Caption()}), DialogConfirmation,
                        TDialogButtons{ButtonOk, ButtonCancel}, 0) != ResultOk)
    return;
  TActionClients* items = Items();
  int index = item->Index();
  int height = selected->Height();
  TCustomActionMenuBar* root = RootMenu();
  root->ClosePopupsAbove(this);
  root->SetPendingItem(nullptr);
  delete item;
  usedSize_.cy -= height;
  allSize_.cy -= height;
  SetBounds(Left(), Top(), Width(), Height());
  if (items && items->Count() > 0) {
    int neighbour = std::min(index, items->Count() - 1);
    if (index >= items->Count()) neighbour = items->Count() - 1;
    SelectControl(items->ActionClients(neighbour)->Control());
  } else if (ParentControl()) {
    ParentControl()->SetSelected(true);
  }
}

// ---- TStandardMenuPopup ----

TAVELO_CLASS_IMPL(TStandardMenuPopup)

TStandardMenuPopup::TStandardMenuPopup(TComponent* owner) : TCustomActionPopupMenu(owner) {
  SetParentColor(false);
  SetColor(clMenu);
}

void TStandardMenuPopup::PaintFrame(HDC dc) {
  RECT window{};
  GetWindowRect(Handle(), &window);
  RECT r{0, 0, window.right - window.left, window.bottom - window.top};
  UINT inner = EdgeInner() == esRaised ? BDR_RAISEDINNER : EdgeInner() == esLowered ? BDR_SUNKENINNER : 0;
  UINT outer = EdgeOuter() == esRaised ? BDR_RAISEDOUTER : EdgeOuter() == esLowered ? BDR_SUNKENOUTER : 0;
  UINT mono = Ctl3D() ? 0 : BF_MONO;
  TActionClients* items = Items();
  if (Expanded() && items && items->HideUnused()) {
    // The right side stays open to the runs of formerly hidden items drawn by the items.
    DrawEdge(dc, &r, inner | outer, BF_LEFT | BF_TOP | mono | BF_ADJUST);
    TCustomActionControl* last = LastVisibleControl();
    bool lastUsed = last && last->ActionClient() && !IsHiddenAsUnused(last->ActionClient());
    DrawEdge(dc, &r, outer | (lastUsed ? BDR_RAISEDINNER : 0), BF_BOTTOM | mono | BF_ADJUST);
    DrawEdge(dc, &r, outer, BF_RIGHT | mono | BF_ADJUST);
  } else {
    TEdgeBorders sides = EdgeBorders();
    UINT flags = (sides.Contains(ebLeft) ? BF_LEFT : 0) | (sides.Contains(ebTop) ? BF_TOP : 0) |
                 (sides.Contains(ebRight) ? BF_RIGHT : 0) | (sides.Contains(ebBottom) ? BF_BOTTOM : 0);
    DrawEdge(dc, &r, inner | outer, flags | mono | BF_ADJUST);
  }
  ::FillRect(dc, &r, Brush()->Handle());
}

void TStandardMenuPopup::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(Handle());
      if (!dc) break;
      RECT window{}, client{};
      GetWindowRect(Handle(), &window);
      GetClientRect(Handle(), &client);
      MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
      OffsetRect(&client, -window.left, -window.top);
      ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
      try {
        PaintFrame(dc);
      } catch (...) {
        ReleaseDC(Handle(), dc);
        throw;
      }
      ReleaseDC(Handle(), dc);
      break;
    }
    case WM_NCCALCSIZE:
      TCustomActionPopupMenu::Dispatch(message);
      if (Expanded()) reinterpret_cast<RECT*>(message.LParam)->right += 1;
      if (message.WParam) message.Result = WVR_REDRAW;
      break;
    default:
      TCustomActionPopupMenu::Dispatch(message);
  }
}

// ---- TCustomMenuExpandBtn ----

TAVELO_CLASS_IMPL(TCustomMenuExpandBtn)

TCustomMenuExpandBtn::TCustomMenuExpandBtn(TComponent* owner) : TCustomUtilityButton(owner) {
  SetAlign(alCustom);
  SetAutoScroll(true);
  SetArrowSize(2);
  SetArrowType(atArrows);
  SetDirection(sdDown);
  SetHint(SExpandMenu);
  SetOnClick(TNotifyEvent::Bind<&TCustomMenuExpandBtn::DoClick>(this));
}

TCustomActionPopupMenu* TCustomMenuExpandBtn::Menu() const { return DynamicCast<TCustomActionPopupMenu>(Owner()); }

void TCustomMenuExpandBtn::PaintBackground(const TRect& rect) {
  TRect r = rect;
  OffsetRect(&r, 0, 1);
  InflateRect(&r, -1, -2);
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(Transparent() ? bsClear : bsSolid);
  canvas->Brush()->SetColor(MouseInControl() ? HighlightColorOf(Color()) : Color());
  canvas->FillRect(r);
}

void TCustomMenuExpandBtn::DoClick(TObject* sender) {
  (void)sender;
  TCustomActionPopupMenu* menu = Menu();
  if (!menu) return;
  menu->RootMenu()->ClosePopupsAbove(menu);
  menu->Expand(true);
}

}  // namespace tavelo
