// The menu bar and its popup menus. While a menu is open the bar that started it (the root)
// runs a modal loop of its own: it keeps the stack of open menus, routes the keys to the one
// on top, opens sub-menus after the system's menu delay, closes everything on a click
// outside, shows unused items once the user asks for them, and runs the chosen item's action
// only after every menu has closed. Alt and Alt+letter reach the bars through a thread hook.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "actnman/actnbars.h"
#include "actnman/actnbuttons.h"
#include "actnman/menushow.h"
#include "controls/extctrls.h"

namespace tavelo {

class TCustomActionMenuBar;
class TCustomActionPopupMenu;
class TCustomMenuExpandBtn;
class TCustomMenuItem;

// Lets the program choose the class of the popups a bar opens.
TAVELO_EVENT(TGetPopupClassEvent, void(TObject* sender, TClass& popupClass))
// A popup was bound to the item of control and is about to show.
TAVELO_EVENT(TMenuPopupEvent, void(TObject* sender, TCustomActionControl* control))

// The open menus of one tracking session, the root at the bottom.
class TMenuStack {
public:
  void Push(TCustomActionMenuBar* menu) { menus_.push_back(menu); }
  TCustomActionMenuBar* Pop();
  TCustomActionMenuBar* Peek() const { return menus_.empty() ? nullptr : menus_.back(); }
  int Count() const { return static_cast<int>(menus_.size()); }
  // From the bottom (0: the root).
  TCustomActionMenuBar* At(int index) const { return menus_[index]; }
  bool Contains(const TCustomActionMenuBar* menu) const;

private:
  std::vector<TCustomActionMenuBar*> menus_;
};

// Every menu bar in existence, in creation order; only the window thread uses it.
class TMenuList {
public:
  static const std::vector<TCustomActionMenuBar*>& Items();
  static void Add(TCustomActionMenuBar* menu);
  static void Remove(TCustomActionMenuBar* menu);
};

// The bar the thread's hook works with: the one tracking, or the one Alt made ready.
TCustomActionMenuBar* ActiveMenu();

class TCustomActionMenuBar : public TCustomActionDockBar {
  TAVELO_CLASS(TCustomActionMenuBar, TCustomActionDockBar)
public:
  explicit TCustomActionMenuBar(TComponent* owner);
  ~TCustomActionMenuBar() override;

  TCustomActionMenuBar* RootMenu() const { return rootMenu_ ? rootMenu_ : const_cast<TCustomActionMenuBar*>(this); }
  void SetRootMenu(TCustomActionMenuBar* value) { rootMenu_ = value; }
  TCustomActionMenuBar* ParentMenu() const { return parentMenu_; }
  void SetParentMenu(TCustomActionMenuBar* value);
  TCustomActionPopupMenu* ChildMenu() const { return childMenu_; }
  TCustomActionControl* ParentControl() const { return parentControl_; }
  void SetParentControl(TCustomActionControl* value) { parentControl_ = value; }
  bool InMenuLoop() const { return inMenuLoop_; }
  void SetInMenuLoop(bool value) { inMenuLoop_ = value; }
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool value) { expanded_ = value; }
  bool Expandable() const { return expandable_; }
  bool KeyboardOpened() const { return keyboardOpened_; }
  void SetKeyboardOpened(bool value) { keyboardOpened_ = value; }
  bool AnimateNext() const { return animateNext_; }
  void SetAnimateNext(bool value) { animateNext_ = value; }
  TCustomActionControl* PendingItem() const { return pendingItem_; }
  void SetPendingItem(TCustomActionControl* value) { pendingItem_ = value; }
  TMenuStack* MenuStack() const { return menuStack_.get(); }
  TTimer* DelayTimer() const { return delayTimer_.get(); }
  TTimer* ExpandTimer() const { return expandTimer_.get(); }

  TAnimationStyle AnimationStyle() const { return animationStyle_; }
  void SetAnimationStyle(TAnimationStyle value) { animationStyle_ = value; }
  int ExpandDelay() const { return expandDelay_; }
  void SetExpandDelay(int value);
  TGetPopupClassEvent OnGetPopupClass() const { return onGetPopupClass_; }
  void SetOnGetPopupClass(TGetPopupClassEvent value) { onGetPopupClass_ = value; }
  TMenuPopupEvent OnPopup() const { return onPopup_; }
  void SetOnPopup(TMenuPopupEvent value) { onPopup_ = value; }

  // Opens the sub-menu of control's item above parentMenu; none when it cannot.
  virtual TCustomActionPopupMenu* OpenSubMenu(TCustomActionMenuBar* parentMenu, TCustomActionControl* control);
  // Mouse or keyboard choice of control: the chosen item, or none when a menu opened instead.
  virtual TActionClientItem* ClickItem(TCustomActionControl* control);
  virtual TActionClientItem* TriggerItem(TCustomActionControl* control);
  virtual void EndTracking();
  virtual void ExecuteChosen(TActionClientItem* item);
  // Shows the items hidden as unused; with full, later sub-menus of the session open expanded.
  virtual void Expand(bool full);
  virtual TCustomActionPopupMenu* CreatePopup();
  // The modal loop, on the root; the chosen item, or none.
  virtual TActionClientItem* TrackMenu();
  virtual void HandleMouse(MSG& msg);
  virtual void CloseMenu();
  // Tracks, then runs the chosen item's action once every menu has closed.
  virtual void StartTracking();

  // The sounds of the session (read when tracking starts).
  const String& PopupSound() const { return popupSound_; }
  const String& CommandSound() const { return commandSound_; }

  // The menu key handler: the key reached this menu because it is on top of the stack.
  virtual void MenuKeyDown(std::uint16_t key, TShiftState shift);

  // The first item, in list order, whose control is visible and enabled and whose caption's
  // accelerator is key; none when none matches.
  TCustomActionControl* AcceleratorControl(char key);
  TCustomActionControl* SelectedControl();
  TCustomActionControl* FirstVisibleControl();
  TCustomActionControl* LastVisibleControl();
  // The next (or previous) selectable control after from, wrapping, skipping separators and
  // hidden controls; none when there is none.
  TCustomActionControl* NextSelectable(TCustomActionControl* from, bool forward);
  void SelectControl(TCustomActionControl* control);
  void DeselectAll();

  // Closes every popup above this menu on the root's stack.
  void ClosePopupsAbove(TCustomActionMenuBar* menu);
  // The session's bookkeeping, exposed for the hooks.
  void ProcessPendingMessages();

protected:
  void ControlCreated(TCustomActionControl* control) override;
  void Dispatch(TMessage& message) override;
  virtual bool IsMainMenu() const { return false; }
  // The window of this menu, and whether msg is a mouse message over one of its controls.
  TCustomActionControl* ControlAtScreen(TPoint screenPoint);

  // The selection rule, the delay and the expansion timers.
  void ItemSelected(TCustomActionControl* control);
  void DelayTimerTick(TObject* sender);
  void ExpandTimerTick(TObject* sender);
  // The menu of the stack that shows control, or none (a control gone meanwhile).
  TCustomActionMenuBar* MenuOfControl(TControl* control) const;
  // Popups closed during the session, freed once the loop is out of their messages.
  void ReleasePopup(TCustomActionPopupMenu* popup);
  void FreeReleasedPopups();

  bool expandable_ = false;

private:
  friend class TCustomActionPopupMenu;
  void PlayPopupSound();
  TCustomActionMenuBar* rootMenu_ = nullptr;
  TCustomActionMenuBar* parentMenu_ = nullptr;
  TCustomActionPopupMenu* childMenu_ = nullptr;
  TCustomActionControl* parentControl_ = nullptr;
  bool inMenuLoop_ = false;
  bool expanded_ = false;
  bool keyboardOpened_ = false;
  bool animateNext_ = true;
  bool expandMark_ = false;
  TCustomActionControl* pendingItem_ = nullptr;
  std::unique_ptr<TMenuStack> menuStack_;
  std::unique_ptr<TTimer> delayTimer_;
  std::unique_ptr<TTimer> expandTimer_;
  std::vector<TCustomActionPopupMenu*> released_;
  TActionClientItem* chosen_ = nullptr;
  TAnimationStyle animationStyle_ = asDefault;
  int expandDelay_ = 4000;
  String popupSound_;
  String commandSound_;
  TGetPopupClassEvent onGetPopupClass_;
  TMenuPopupEvent onPopup_;
};

class TCustomActionMainMenuBar : public TCustomActionMenuBar {
  TAVELO_CLASS(TCustomActionMainMenuBar, TCustomActionMenuBar)
public:
  explicit TCustomActionMainMenuBar(TComponent* owner);
  ~TCustomActionMainMenuBar() override;
  // Whether the application is inactive (recorded by the thread's hook; the bar repaints).
  bool AppInactive() const { return appInactive_; }
  void SetAppInactive(bool value);
  void CloseMenu() override;
  void EndTracking() override;
  void MenuKeyDown(std::uint16_t key, TShiftState shift) override;

protected:
  TClass DefaultControlClass() const override;
  void ControlCreated(TCustomActionControl* control) override;
  bool IsMainMenu() const override { return true; }

private:
  bool appInactive_ = false;
};

class TActionMainMenuBar : public TCustomActionMainMenuBar {
  TAVELO_CLASS(TActionMainMenuBar, TCustomActionMainMenuBar)
public:
  explicit TActionMainMenuBar(TComponent* owner) : TCustomActionMainMenuBar(owner) {}
};

class TCustomActionPopupMenu : public TCustomActionMenuBar {
  TAVELO_CLASS(TCustomActionPopupMenu, TCustomActionMenuBar)
public:
  explicit TCustomActionPopupMenu(TComponent* owner);
  ~TCustomActionPopupMenu() override;

  // Shows the popup at a screen position, tracks it and hides it again (context menus).
  void Popup(int x, int y);
  TCustomMenuExpandBtn* ExpandButton() const { return expandButton_; }
  // The measured sizes: all items, or only those in use.
  TSize AllItemsSize() const { return allSize_; }
  TSize UsedItemsSize() const { return usedSize_; }
  void CloseMenu() override;
  void Expand(bool full) override;
  void MenuKeyDown(std::uint16_t key, TShiftState shift) override;
  // Where the popup goes next to its parent control, and its placement there.
  TPoint PopupPosition();
  void SetBounds(int left, int top, int width, int height) override;

protected:
  TClass DefaultControlClass() const override;
  void MakeAllItemControls() override;
  void CreateParams(TCreateParams& params) override;
  void Dispatch(TMessage& message) override;
  // Gives each menu item the edges of the run of unused items it belongs to.
  void SetRunEdges();
  void ShowPopup(bool show);
  // The window frame, in window coordinates of dc.
  virtual void PaintFrame(HDC dc);
  void DeleteSelected();

private:
  friend class TCustomActionMenuBar;
  TCustomMenuExpandBtn* expandButton_ = nullptr;
  TSize allSize_{0, 0};
  TSize usedSize_{0, 0};
  bool sized_ = false;  // the measured sizes hold whatever size is asked
};

// The popup class menus open: a menu-coloured window with the standard frame.
class TStandardMenuPopup : public TCustomActionPopupMenu {
  TAVELO_CLASS(TStandardMenuPopup, TCustomActionPopupMenu)
public:
  explicit TStandardMenuPopup(TComponent* owner);

protected:
  void PaintFrame(HDC dc) override;
  void Dispatch(TMessage& message) override;
};

// The button at the end of a popup that hides unused items.
class TCustomMenuExpandBtn : public TCustomUtilityButton {
  TAVELO_CLASS(TCustomMenuExpandBtn, TCustomUtilityButton)
public:
  explicit TCustomMenuExpandBtn(TComponent* owner);
  TCustomActionPopupMenu* Menu() const;

protected:
  void PaintBackground(const TRect& rect) override;
  void DoClick(TObject* sender);
};

}  // namespace tavelo
