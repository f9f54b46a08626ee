// The tab control over the platform's tab window, its tab strings, and the page control
// whose sheets follow its tabs.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "controls/comctrls.h"
#include "controls/controlconsts.h"
#include "controls/controlsimpl.h"
#include "controls/forms.h"
#include "controls/stdctrls.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"
#include "core/sysutils.h"

namespace tavelo {

namespace {
constexpr int kTabTextBuffer = 4096;
}

// ---- TTabStrings ----

TAVELO_CLASS_IMPL(TTabStrings)

HWND TTabStrings::Window() const { return tabControl_->Handle(); }

std::uint32_t TTabStrings::ItemState() const { return tabControl_->UseRightToLeftReading() ? TCIF_RTLREADING : 0; }

int TTabStrings::GetCount() const { return static_cast<int>(SendMessageA(Window(), TCM_GETITEMCOUNT, 0, 0)); }

String TTabStrings::Get(int index) const {
  char buffer[kTabTextBuffer];
  buffer[0] = '\0';
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = kTabTextBuffer;
  if (!SendMessageA(Window(), TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    throw EListError(Format(STabFailRetrieve, {index}));
  return String(buffer);
}

TObject* TTabStrings::GetObject(int index) const {
  TCITEMA item{};
  item.mask = TCIF_PARAM;
  if (!SendMessageA(Window(), TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    throw EListError(Format(STabFailGetObject, {index}));
  return reinterpret_cast<TObject*>(item.lParam);
}

void TTabStrings::Put(int index, String s) {
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | ItemState();
  item.pszText = const_cast<char*>(s.c_str());
  item.iImage = tabControl_->GetImageIndex(index);
  if (!SendMessageA(Window(), TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    throw EListError(Format(STabFailSet, {s, index}));
  tabControl_->TabsChanged();
}

void TTabStrings::PutObject(int index, TObject* object) {
  TCITEMA item{};
  item.mask = TCIF_PARAM;
  item.lParam = reinterpret_cast<LPARAM>(object);
  if (!SendMessageA(Window(), TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    throw EListError(Format(STabFailSetObject, {index}));
}

void TTabStrings::Insert(int index, String s) {
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | ItemState();
  item.pszText = const_cast<char*>(s.c_str());
  item.iImage = tabControl_->GetImageIndex(index);
  if (SendMessageA(Window(), TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) < 0)
    throw EListError(Format(STabFailSet, {s, index}));
  tabControl_->TabsChanged();
}

void TTabStrings::Delete(int index) {
  if (!SendMessageA(Window(), TCM_DELETEITEM, static_cast<WPARAM>(index), 0))
    throw EListError(Format(STabFailDelete, {index}));
  tabControl_->TabsChanged();
}

void TTabStrings::Clear() {
  if (!SendMessageA(Window(), TCM_DELETEALLITEMS, 0, 0)) throw EListError(STabFailClear);
  tabControl_->TabsChanged();
}

void TTabStrings::SetUpdateState(bool updating) {
  tabControl_->updating_ = updating;
  SendMessageA(Window(), WM_SETREDRAW, updating ? 0 : 1, 0);
  if (!updating) {
    tabControl_->Invalidate();
    tabControl_->TabsChanged();
  }
}

// ---- TCustomTabControl ----

TAVELO_CLASS_IMPL(TCustomTabControl)

TCustomTabControl::TCustomTabControl(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = TControlStyle{csAcceptsControls, csDoubleClicks};
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  tabs_ = std::make_unique<TTabStrings>(this);
}

TCustomTabControl::~TCustomTabControl() = default;

int TCustomTabControl::TabIndex() const {
  if (!HandleAllocated()) return -1;
  return static_cast<int>(SendMessageA(const_cast<TCustomTabControl*>(this)->Handle(), TCM_GETCURSEL, 0, 0));
}

void TCustomTabControl::SetTabIndex(int value) {
  SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TCustomTabControl::SetTabPosition(TTabPosition value) {
  if (value == tabPosition_) return;
  if (value != tpTop && style_ != tsTabs) throw EInvalidOperation(SInvalidTabPosition);
  tabPosition_ = value;
  if (value == tpLeft || value == tpRight) multiLine_ = true;
  RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool value) {
  if (value == multiLine_) return;
  if (!value && (tabPosition_ == tpLeft || tabPosition_ == tpRight)) throw EListError(STabMustBeMultiLine);
  multiLine_ = value;
  if (!value) scrollOpposite_ = false;
  RecreateWnd();
}

void TCustomTabControl::SetRaggedRight(bool value) {
  if (value == raggedRight_) return;
  raggedRight_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetScrollOpposite(bool value) {
  if (value == scrollOpposite_) return;
  scrollOpposite_ = value;
  if (value) multiLine_ = true;
  RecreateWnd();
}

void TCustomTabControl::SetHotTrack(bool value) {
  if (value == hotTrack_) return;
  hotTrack_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetOwnerDraw(bool value) {
  if (value == ownerDraw_) return;
  ownerDraw_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetStyle(TTabStyle value) {
  if (value == style_) return;
  if (value != tsTabs && tabPosition_ != tpTop) throw EInvalidOperation(SInvalidTabStyle);
  style_ = value;
  RecreateWnd();
}

void TCustomTabControl::SetTabHeight(int value) {
  if (value == tabHeight_) return;
  if (value < 0) throw EInvalidOperation(Format(SPropertyOutOfRange, {ClassName()}));
  tabHeight_ = value;
  SetTabSize();
}

void TCustomTabControl::SetTabWidth(int value) {
  if (value == tabWidth_) return;
  if (value < 0) throw EInvalidOperation(Format(SPropertyOutOfRange, {ClassName()}));
  int old = tabWidth_;
  tabWidth_ = value;
  // Between two fixed widths only the size changes; to or from none the style does.
  if (old != 0 && value != 0)
    SetTabSize();
  else
    RecreateWnd();
}

void TCustomTabControl::SetTabSize() {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth_, tabHeight_));
  TabsChanged();
}

void TCustomTabControl::CreateParams(TCreateParams& params) {
  InitCommonControlClasses(ICC_TAB_CLASSES);
  inherited::CreateParams(params);
  CreateSubClass(params, WC_TABCONTROLA);
  params.Style |= WS_CLIPCHILDREN;
  TTabPosition position = tabPosition_;
  if (UseRightToLeftAlignment()) {
    if (position == tpLeft)
      position = tpRight;
    else if (position == tpRight)
      position = tpLeft;
  }
  switch (position) {
    case tpBottom: params.Style |= TCS_BOTTOM; break;
    case tpLeft: params.Style |= TCS_VERTICAL; break;
    case tpRight: params.Style |= TCS_VERTICAL | TCS_RIGHT; break;
    default: break;
  }
  if (style_ == tsButtons) params.Style |= TCS_BUTTONS;
  if (style_ == tsFlatButtons) params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  if (raggedRight_) params.Style |= TCS_RAGGEDRIGHT;
  if (!TabStop()) params.Style |= TCS_FOCUSNEVER;
  if (multiLine_) params.Style |= TCS_MULTILINE;
  if (ownerDraw_) params.Style |= TCS_OWNERDRAWFIXED;
  if (tabWidth_ != 0) params.Style |= TCS_FIXEDWIDTH;
  if (hotTrack_ && !ComponentState().Contains(csDesigning)) params.Style |= TCS_HOTTRACK;
  if (scrollOpposite_) params.Style |= TCS_SCROLLOPPOSITE;
  params.WindowClass.style = (params.WindowClass.style & ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW)) | CS_DBLCLKS;
}

void TCustomTabControl::CreateWnd() {
  inherited::CreateWnd();
  if (tabHeight_ != 0 || tabWidth_ != 0) SendMessageA(Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth_, tabHeight_));
  if (savedTabs_) {
    // The tabs come back as they were when the last window went.
    std::unique_ptr<TStringList> saved = std::move(savedTabs_);
    tabs_->BeginUpdate();
    try {
      for (int i = 0; i < saved->Count(); ++i) tabs_->InsertObject(i, saved->Strings(i), saved->Objects(i));
    } catch (...) {
      tabs_->EndUpdate();
      throw;
    }
    tabs_->EndUpdate();
    SetTabIndex(savedTabIndex_);
  }
}

void TCustomTabControl::DestroyWnd() {
  int count = tabs_->Count();
  if (count > 0) {
    savedTabs_ = std::make_unique<TStringList>();
    for (int i = 0; i < count; ++i) savedTabs_->AddObject(tabs_->Strings(i), tabs_->Objects(i));
    savedTabIndex_ = TabIndex();
  }
  if (TWinControl* form = GetParentForm(this); form && ContainsControl(form->ActiveControl())) RemoveFocus(false);
  inherited::DestroyWnd();
}

TRect TCustomTabControl::DisplayRect() {
  TRect rect = ClientRect();
  AdjustClientRect(rect);
  return rect;
}

void TCustomTabControl::AdjustClientRect(TRect& rect) {
  inherited::AdjustClientRect(rect);
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
  // The tab window leaves the page's top edge one line too close to the tabs.
  if (tabPosition_ == tpTop) rect.top += 2;
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (onChanging_) onChanging_(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (onChange_) onChange_(this);
}

int TCustomTabControl::GetImageIndex(int tabIndex) { return tabIndex; }

void TCustomTabControl::TabsChanged() {
  if (updating_) return;
  if (HandleAllocated()) {
    RECT r;
    GetClientRect(Handle(), &r);
    SendMessageA(Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right - r.left, r.bottom - r.top));
  }
  Realign();
}

void TCustomTabControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case Reflected(WM_NOTIFY): {
      auto* header = reinterpret_cast<NMHDR*>(message.LParam);
      if (header->code == static_cast<UINT>(TCN_SELCHANGING))
        message.Result = CanChange() ? 0 : 1;
      else if (header->code == static_cast<UINT>(TCN_SELCHANGE))
        Change();
      else
        inherited::Dispatch(message);
      break;
    }
    case FM_DIALOG_CHAR: {
      if (HandleAllocated() && CanFocus()) {
        unsigned character = static_cast<unsigned>(message.WParam);
        for (int i = 0, n = tabs_->Count(); i < n; ++i) {
          if (!IsAccelerator(character, tabs_->Strings(i))) continue;
          message.Result = 1;
          if (CanChange()) {
            SetTabIndex(i);
            Change();
          }
          return;
        }
      }
      inherited::Dispatch(message);
      break;
    }
    default:
      inherited::Dispatch(message);
  }
}

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = controlStyle_ + TControlStyle{csAcceptsControls, csNoDesignVisible};
  SetAlign(alClient);
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  Destroying();
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* value) {
  if (value == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  SetParent(value);
  if (value) value->InsertPage(this);
}

void TTabSheet::SetParentComponent(TComponent* value) {
  if (auto* pageControl = DynamicCast<TPageControl>(value))
    SetPageControl(pageControl);
  else
    inherited::SetParentComponent(value);
}

int TTabSheet::PageIndex() const { return pageControl_ ? pageControl_->pages_.IndexOf(const_cast<TTabSheet*>(this)) : -1; }

void TTabSheet::SetPageIndex(int value) {
  if (!pageControl_) return;
  int last = pageControl_->PageCount() - 1;
  if (value > last) throw EListError(Format(SPageIndexError, {value, last}));
  pageControl_->MovePage(this, value);
}

int TTabSheet::TabIndex() const {
  if (!tabShowing_) return -1;
  int index = 0;
  for (int i = 0; i < pageControl_->PageCount(); ++i) {
    TTabSheet* page = pageControl_->Pages(i);
    if (page == this) return index;
    if (page->tabShowing_) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool value) {
  if (value == tabVisible_) return;
  tabVisible_ = value;
  UpdateTabShowing();
}

void TTabSheet::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  if (tabShowing_) pageControl_->UpdateTab(this);
}

void TTabSheet::SetHighlighted(bool value) {
  if (value == highlighted_) return;
  highlighted_ = value;
  if (tabShowing_ && pageControl_->HandleAllocated())
    SendMessageA(pageControl_->Handle(), TCM_HIGHLIGHTITEM, static_cast<WPARAM>(TabIndex()), MAKELPARAM(value ? 1 : 0, 0));
}

void TTabSheet::UpdateTabShowing() {
  bool value = pageControl_ && tabVisible_;
  if (value == tabShowing_) return;
  if (value) {
    tabShowing_ = true;
    pageControl_->InsertTab(this);
  } else {
    int index = TabIndex();
    tabShowing_ = false;
    pageControl_->DeleteTab(this, index);
  }
}

void TTabSheet::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case FM_TEXT_CHANGED:
      inherited::Dispatch(message);
      if (tabShowing_) pageControl_->UpdateTab(this);
      break;
    case FM_SHOWING_CHANGED: {
      inherited::Dispatch(message);
      // A failing handler must not stop the page from changing.
      try {
        if (Showing()) {
          if (onShow_) onShow_(this);
        } else {
          if (onHide_) onHide_(this);
        }
      } catch (...) {
        controls_impl::HandleWindowException(std::current_exception());
      }
      break;
    }
    default:
      inherited::Dispatch(message);
  }
}

TAVELO_PUBLISH(TTabSheet) {
  c.Property("BorderWidth", &Self::BorderWidth, &Self::SetBorderWidth).Default(0);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("Highlighted", &Self::Highlighted, &Self::SetHighlighted).Default(false);
  c.Property("ImageIndex", &Self::ImageIndex, &Self::SetImageIndex).Default(0);
  c.Property("PageIndex", &Self::PageIndex, &Self::SetPageIndex).Stored(false);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(true);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("TabVisible", &Self::TabVisible, &Self::SetTabVisible).Default(true);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Stored(false);
  c.Event("OnEnter", &Self::OnEnter, &Self::SetOnEnter);
  c.Event("OnExit", &Self::OnExit, &Self::SetOnExit);
  c.Event("OnHide", &Self::OnHide, &Self::SetOnHide);
  c.Event("OnMouseDown", &Self::OnMouseDown, &Self::SetOnMouseDown);
  c.Event("OnMouseMove", &Self::OnMouseMove, &Self::SetOnMouseMove);
  c.Event("OnMouseUp", &Self::OnMouseUp, &Self::SetOnMouseUp);
  c.Event("OnResize", &Self::OnResize, &Self::SetOnResize);
  c.Event("OnShow", &Self::OnShow, &Self::SetOnShow);
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {
  controlStyle_ = TControlStyle{csDoubleClicks, csOpaque};
}

TPageControl::~TPageControl() {
  Destroying();
  // Sheets that outlive the control forget it.
  for (int i = 0; i < pages_.Count(); ++i) {
    Pages(i)->pageControl_ = nullptr;
    Pages(i)->tabShowing_ = false;
  }
  pages_.Clear();
  activePage_ = nullptr;
}

int TPageControl::GetImageIndex(int tabIndex) {
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->TabIndex() == tabIndex) return Pages(i)->ImageIndex();
  return tabIndex;
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.Add(page);
  page->pageControl_ = this;
  page->UpdateTabShowing();
}

void TPageControl::RemovePage(TTabSheet* page) {
  TTabSheet* next = FindNextPage(page, true, !ComponentState().Contains(csDesigning));
  if (next == page) next = nullptr;
  if (page->tabShowing_) {
    int index = page->TabIndex();
    page->tabShowing_ = false;
    DeleteTab(page, index);
  }
  page->pageControl_ = nullptr;
  pages_.Remove(page);
  if (activePage_ == page) activePage_ = nullptr;
  SetActivePage(next);
}

void TPageControl::MovePage(TTabSheet* page, int newIndex) {
  int oldTab = page->TabIndex();
  pages_.Move(page->PageIndex(), newIndex);
  if (page->tabShowing_) MoveTab(oldTab, page->TabIndex());
}

void TPageControl::InsertTab(TTabSheet* page) {
  Tabs()->InsertObject(page->TabIndex(), page->Caption(), page);
  UpdateActivePage();
}

void TPageControl::DeleteTab(TTabSheet* page, int index) {
  bool wasActive = page == activePage_;
  Tabs()->Delete(index);
  if (wasActive) {
    int count = Tabs()->Count();
    SetTabIndex(index >= count ? count - 1 : index);
  }
  UpdateActivePage();
}

void TPageControl::MoveTab(int currentIndex, int newIndex) {
  if (currentIndex == newIndex) return;
  int selected = TabIndex();
  Tabs()->Move(currentIndex, newIndex);
  // The selection stays on the same page.
  if (selected == currentIndex)
    SetTabIndex(newIndex);
  else if (activePage_ && activePage_->TabIndex() >= 0)
    SetTabIndex(activePage_->TabIndex());
}

void TPageControl::UpdateTab(TTabSheet* page) { Tabs()->SetStrings(page->TabIndex(), page->Caption()); }

void TPageControl::UpdateActivePage() {
  int selected = TabIndex();
  if (selected < 0)
    SetActivePage(nullptr);
  else
    SetActivePage(static_cast<TTabSheet*>(Tabs()->Objects(selected)));
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->pageControl_ != this) return;
  ChangeActivePage(page);
  if (!page)
    SetTabIndex(-1);
  else if (page == activePage_ && page->TabIndex() >= 0)
    SetTabIndex(page->TabIndex());
}

void TPageControl::SetActivePageIndex(int value) {
  SetActivePage(value >= 0 && value < PageCount() ? Pages(value) : nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* page) {
  if (page == activePage_) return;
  auto* form = DynamicCast<TCustomForm>(GetParentForm(this));
  TTabSheet* old = activePage_;
  if (form && old && old->ContainsControl(form->ActiveControl())) {
    form->SetActiveControl(old);
    if (form->ActiveControl() != old) {
      // The form kept the focus where it was: the old page stays.
      if (old->TabIndex() >= 0) SetTabIndex(old->TabIndex());
      return;
    }
  }
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
    if (form && old && form->ActiveControl() == old) {
      if (page->CanFocus())
        form->SetActiveControl(page);
      else
        form->SetActiveControl(this);
    }
  }
  if (old) old->SetVisible(false);
  activePage_ = page;
  if (form && activePage_ && form->ActiveControl() == activePage_) activePage_->SelectNext(nullptr, true, true);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) {
  int count = PageCount();
  if (count == 0) return nullptr;
  int start = current ? pages_.IndexOf(current) : -1;
  if (start < 0) start = goForward ? count - 1 : 0;
  int i = start;
  do {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* page = Pages(i);
    if (!checkTabVisible || page->TabVisible()) return page;
  } while (i != start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
  if (page && page != activePage_ && CanChange()) {
    SetActivePage(page);
    Change();
  }
}

void TPageControl::Change() {
  int selected = TabIndex();
  if (selected >= 0) ChangeActivePage(static_cast<TTabSheet*>(Tabs()->Objects(selected)));
  inherited::Change();
}

void TPageControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->Owner() == root) proc(Pages(i));
}

void TPageControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case FM_DIALOG_KEY: {
      TWinControl* form = GetParentForm(this);
      bool inside = form ? ContainsControl(form->ActiveControl()) : Focused();
      if (message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && inside) {
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
        message.Result = 1;
      } else {
        inherited::Dispatch(message);
      }
      break;
    }
    default:
      inherited::Dispatch(message);
  }
}

TAVELO_PUBLISH(TPageControl) {
  c.Property("ActivePage", &Self::ActivePage, &Self::SetActivePage);
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alNone);
  c.Property("Anchors", &Self::Anchors, &Self::SetAnchors);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("HotTrack", &Self::HotTrack, &Self::SetHotTrack).Default(false);
  c.Property("MultiLine", &Self::MultiLine, &Self::SetMultiLine).Default(false);
  c.Property("OwnerDraw", &Self::OwnerDraw, &Self::SetOwnerDraw).Default(false);
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(true);
  c.Property("RaggedRight", &Self::RaggedRight, &Self::SetRaggedRight).Default(false);
  c.Property("ScrollOpposite", &Self::ScrollOpposite, &Self::SetScrollOpposite).Default(false);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("Style", &Self::Style, &Self::SetStyle).Default(tsTabs);
  c.Property("TabHeight", &Self::TabHeight, &Self::SetTabHeight).Default(0);
  c.Property("TabIndex", &Self::TabIndex, &Self::SetTabIndex).Default(-1);
  c.Property("TabOrder", &Self::TabOrder, &Self::SetTabOrder);
  c.Property("TabPosition", &Self::TabPosition, &Self::SetTabPosition).Default(tpTop);
  c.Property("TabStop", &Self::TabStop, &Self::SetTabStop).Default(true);
  c.Property("TabWidth", &Self::TabWidth, &Self::SetTabWidth).Default(0);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Event("OnChange", &Self::OnChange, &Self::SetOnChange);
  c.Event("OnChanging", &Self::OnChanging, &Self::SetOnChanging);
  c.Event("OnEnter", &Self::OnEnter, &Self::SetOnEnter);
  c.Event("OnExit", &Self::OnExit, &Self::SetOnExit);
  c.Event("OnMouseDown", &Self::OnMouseDown, &Self::SetOnMouseDown);
  c.Event("OnMouseMove", &Self::OnMouseMove, &Self::SetOnMouseMove);
  c.Event("OnMouseUp", &Self::OnMouseUp, &Self::SetOnMouseUp);
  c.Event("OnResize", &Self::OnResize, &Self::SetOnResize);
}

}  // namespace tavelo
