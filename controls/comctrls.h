// The platform's common controls the main window uses: the status bar with its panels, and
// the page control with its sheets over the tab window.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/controls.h"
#include "core/collection.h"
#include "core/list.h"
#include "core/stringlist.h"

namespace tavelo {

class TCustomStatusBar;
class TCustomTabControl;
class TPageControl;
class TTabSheet;

// Registers the platform's window classes of the given common-control families (the
// ICC_* flags) once.
void InitCommonControlClasses(std::uint32_t classes);

// ---- Status bar.

enum TStatusPanelStyle { psText, psOwnerDraw };
TAVELO_ENUM(TStatusPanelStyle, psText, psOwnerDraw)
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
TAVELO_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

// One part of the bar. Its text reaches the window at the bar's next paint.
class TStatusPanel : public TCollectionItem {
  TAVELO_CLASS(TStatusPanel, TCollectionItem)
public:
  explicit TStatusPanel(TCollection* collection);

  const String& Text() const { return text_; }
  void SetText(const String& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel value);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle value);
  TBiDiMode BiDiMode() const { return bidiMode_; }
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value);
  bool IsBiDiModeStored() const { return !parentBiDiMode_; }
  // Takes the bar's mode while ParentBiDiMode holds.
  void ParentBiDiModeChanged();
  bool UseRightToLeftReading() const;
  bool UseRightToLeftAlignment() const;

  String DisplayName() const override;
  void Assign(TPersistent* source) override;

private:
  friend class TCustomStatusBar;
  String text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelBevel bevel_ = pbLowered;
  TStatusPanelStyle style_ = psText;
  TBiDiMode bidiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  bool updateNeeded_ = false;
};

class TStatusPanels : public TCollection {
  TAVELO_CLASS(TStatusPanels, TCollection)
public:
  TStatusPanels(TCustomStatusBar* statusBar, TClass panelClass);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
  TPersistent* GetOwner() const override;

protected:
  void Update(TCollectionItem* item) override;

private:
  TCustomStatusBar* statusBar_;
};

TAVELO_EVENT(TDrawPanelEvent, void(TCustomStatusBar* sender, TStatusPanel* panel, const TRect& rect))
TAVELO_EVENT(TStatusPanelClassEvent, void(TCustomStatusBar* sender, TClass& panelClass))

class TCustomStatusBar : public TWinControl {
  TAVELO_CLASS(TCustomStatusBar, TWinControl)
public:
  // The status window shows at most this many parts.
  static constexpr int kMaxPanels = 128;

  explicit TCustomStatusBar(TComponent* owner);
  ~TCustomStatusBar() override;

  TStatusPanels* Panels() const { return panels_.get(); }
  void SetPanels(TStatusPanels* value) { panels_->Assign(value); }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool value);
  const String& SimpleText() const { return simpleText_; }
  void SetSimpleText(const String& value);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool value);
  bool UseSystemFont() const { return useSystemFont_; }
  void SetUseSystemFont(bool value);
  bool AutoHint() const { return autoHint_; }
  void SetAutoHint(bool value) { autoHint_ = value; }
  TCanvas* Canvas() const { return canvas_.get(); }

  TDrawPanelEvent OnDrawPanel() const { return onDrawPanel_; }
  void SetOnDrawPanel(TDrawPanelEvent value) { onDrawPanel_ = value; }
  TNotifyEvent OnHint() const { return onHint_; }
  void SetOnHint(TNotifyEvent value) { onHint_ = value; }
  // Asked once, when the bar is built, for the class of its panels.
  static inline TStatusPanelClassEvent OnCreatePanelClass;

  // Hides the base's: taking the parent's font gives up the system font.
  void SetParentFont(bool value);
  void SetBounds(int left, int top, int width, int height) override;
  bool TryRunAction(TBasicAction* action) override;
  void Dispatch(TMessage& message) override;

  // The collection's change hook: one panel, or (null) the layout and every panel.
  void UpdatePanel(int index, bool repaint);
  void UpdatePanels(bool updateRects, bool updateText);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);
  virtual TClass GetPanelClass() const;

private:
  bool IsFontStored() const { return !useSystemFont_ && !ParentFont(); }
  void ApplySystemFont();
  bool SizeGripAllowed() const;
  void ValidateSizeGrip(bool recreate);
  void DrawItem(TMessage& message);

  std::unique_ptr<TStatusPanels> panels_;
  std::unique_ptr<TControlCanvas> canvas_;
  bool simplePanel_ = false;
  String simpleText_;
  bool sizeGrip_ = true;
  bool sizeGripValid_ = false;
  bool useSystemFont_ = true;
  bool autoHint_ = false;
  TDrawPanelEvent onDrawPanel_;
  TNotifyEvent onHint_;
};

class TStatusBar : public TCustomStatusBar {
  TAVELO_CLASS(TStatusBar, TCustomStatusBar)
public:
  explicit TStatusBar(TComponent* owner) : TCustomStatusBar(owner) {}
};

// ---- Tab control and page control.

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
TAVELO_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
TAVELO_ENUM(TTabStyle, tsTabs, tsButtons, tsFlatButtons)

TAVELO_EVENT(TTabChangingEvent, void(TObject* sender, bool& allowChange))

// The tabs of a tab control, kept by its window: every operation asks the window.
class TTabStrings : public TStrings {
  TAVELO_CLASS(TTabStrings, TStrings)
public:
  explicit TTabStrings(TCustomTabControl* tabControl) : tabControl_(tabControl) {}
  void Clear() override;
  void Delete(int index) override;
  void Insert(int index, String s) override;

protected:
  String Get(int index) const override;
  int GetCount() const override;
  TObject* GetObject(int index) const override;
  void Put(int index, String s) override;
  void PutObject(int index, TObject* object) override;
  void SetUpdateState(bool updating) override;

private:
  HWND Window() const;
  std::uint32_t ItemState() const;
  TCustomTabControl* tabControl_;
};

class TCustomTabControl : public TWinControl {
  TAVELO_CLASS(TCustomTabControl, TWinControl)
public:
  explicit TCustomTabControl(TComponent* owner);
  ~TCustomTabControl() override;

  TStrings* Tabs() const { return tabs_.get(); }
  void SetTabs(TStrings* value) { tabs_->Assign(value); }
  int TabIndex() const;
  void SetTabIndex(int value);
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool value);
  bool RaggedRight() const { return raggedRight_; }
  void SetRaggedRight(bool value);
  bool ScrollOpposite() const { return scrollOpposite_; }
  void SetScrollOpposite(bool value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle value);
  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int value);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }
  TTabChangingEvent OnChanging() const { return onChanging_; }
  void SetOnChanging(TTabChangingEvent value) { onChanging_ = value; }

  // The area below the tabs, in client coordinates: where the pages go.
  TRect DisplayRect();
  void Dispatch(TMessage& message) override;

protected:
  friend class TTabStrings;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void AdjustClientRect(TRect& rect) override;
  virtual bool CanChange();
  virtual void Change();
  // The window recomputes its tab rows and the children realign.
  void TabsChanged();
  bool Updating() const { return updating_; }
  // The image shown on a tab.
  virtual int GetImageIndex(int tabIndex);

private:
  void SetTabSize();
  std::unique_ptr<TTabStrings> tabs_;
  std::unique_ptr<TStringList> savedTabs_;
  int savedTabIndex_ = -1;
  bool updating_ = false;
  TTabPosition tabPosition_ = tpTop;
  bool multiLine_ = false, raggedRight_ = false, scrollOpposite_ = false, hotTrack_ = false, ownerDraw_ = false;
  TTabStyle style_ = tsTabs;
  int tabHeight_ = 0, tabWidth_ = 0;
  TNotifyEvent onChange_;
  TTabChangingEvent onChanging_;
};

// A page of a page control: a container shown while its tab is the selected one.
class TTabSheet : public TWinControl {
  TAVELO_CLASS(TTabSheet, TWinControl)
public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* value);
  int PageIndex() const;
  void SetPageIndex(int value);
  // Among the pages whose tab shows; -1 when its tab does not.
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool value);

  TNotifyEvent OnShow() const { return onShow_; }
  void SetOnShow(TNotifyEvent value) { onShow_ = value; }
  TNotifyEvent OnHide() const { return onHide_; }
  void SetOnHide(TNotifyEvent value) { onHide_ = value; }

  void Dispatch(TMessage& message) override;

protected:
  friend class TPageControl;
  void SetParentComponent(TComponent* value) override;
  void UpdateTabShowing();

private:
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  bool tabShowing_ = false;
  int imageIndex_ = 0;
  bool highlighted_ = false;
  TNotifyEvent onShow_, onHide_;
};

class TPageControl : public TCustomTabControl {
  TAVELO_CLASS(TPageControl, TCustomTabControl)
public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  int PageCount() const { return pages_.Count(); }
  TTabSheet* Pages(int index) const { return static_cast<TTabSheet*>(pages_.Get(index)); }
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }
  void SetActivePageIndex(int value);
  // The next (or previous) page after current, wrapping around; with checkTabVisible only
  // pages whose tab shows. None when there is none.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible);
  void SelectNextPage(bool goForward, bool checkTabVisible = true);

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Dispatch(TMessage& message) override;

protected:
  friend class TTabSheet;
  void Change() override;
  int GetImageIndex(int tabIndex) override;

private:
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int newIndex);
  void InsertTab(TTabSheet* page);
  void DeleteTab(TTabSheet* page, int index);
  void MoveTab(int currentIndex, int newIndex);
  void ChangeActivePage(TTabSheet* page);
  void UpdateActivePage();
  void UpdateTab(TTabSheet* page);

  TList pages_;
  TTabSheet* activePage_ = nullptr;
};

}  // namespace tavelo
