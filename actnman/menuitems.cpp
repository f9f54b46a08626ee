// Menu items and menu bar buttons: measuring, the standard look and how they tell their menu
// what the user did.
#include "actnman/menuitems.h"

#include <algorithm>

#include "actnman/actnmenus.h"
#include "actnman/actnmsgs.h"
#include "actnman/menustyle.h"
#include "controls/forms.h"
#include "core/messages.h"
#include "core/publish.h"

namespace tavelo {

namespace {

int MenuBarHeight() { return GetSystemMetrics(SM_CYMENU); }

TCustomActionMenuBar* MenuOf(const TControl* control) { return DynamicCast<TCustomActionMenuBar>(control->Owner()); }

TCustomAction* CustomActionOf(const TCustomActionControl* control) {
  TActionClientItem* item = control->ActionClient();
  return item ? DynamicCast<TCustomAction>(item->Action()) : nullptr;
}

void PostToBar(TCustomActionControl* control, std::uint32_t msg) {
  TCustomActionBar* bar = control->ActionBar();
  if (bar && bar->HandleAllocated())
    PostMessageA(bar->Handle(), msg, 0, reinterpret_cast<LPARAM>(control));
}

}  // namespace

void NotifyMenuSelection(TCustomActionControl* control) {
  TCustomActionMenuBar* menu = MenuOf(control);
  if (!menu) return;
  TCustomActionMenuBar* root = menu->RootMenu();
  // Only a running session reads the notice; it checks the control is still there.
  if (root->InMenuLoop() && root->MenuStack() && root->HandleAllocated())
    PostMessageA(root->Handle(), CM_ITEMSELECTED, 0, reinterpret_cast<LPARAM>(control));
}

// ---- TCustomMenuItem ----

TAVELO_CLASS_IMPL(TCustomMenuItem)

TCustomMenuItem::TCustomMenuItem(TComponent* owner) : TCustomActionControl(owner) {
  SetControlStyle(ControlStyle() - TControlStyle{csCaptureMouse});
  SetMargins(Rect(2, 0, 10, 0));
  SetSpacing(5);
}

TCustomMenuItem::~TCustomMenuItem() {
  TActionClientItem* item = ActionClient();
  if (auto* popup = item ? DynamicCast<TCustomActionPopupMenu>(item->ChildBar()) : nullptr) popup->CloseMenu();
}

TCustomActionMenuBar* TCustomMenuItem::Menu() const { return MenuOf(this); }

bool TCustomMenuItem::HasOpenSubMenu() const {
  TActionClientItem* item = ActionClient();
  return item && item->ChildBar() != nullptr;
}

bool TCustomMenuItem::HasVisibleSubItems() const {
  TActionClientItem* item = ActionClient();
  return item && item->HasItems() && item->Items()->VisibleCount() > 0;
}

bool TCustomMenuItem::Highlighted() const { return Selected() && (Enabled() || !mouseSelected_); }

void TCustomMenuItem::SetEdges(TMenuItemEdges value) {
  if (value == edges_) return;
  int change = (value.Contains(ebTop) ? 1 : 0) - (edges_.Contains(ebTop) ? 1 : 0) +
               (value.Contains(ebBottom) ? 1 : 0) - (edges_.Contains(ebBottom) ? 1 : 0);
  edges_ = value;
  if (change) SetHeight(Height() + change);
  Invalidate();
}

TSize TCustomMenuItem::ImageSize() const {
  TSize size = TCustomActionControl::ImageSize();
  // Items without a wide enough image still line their captions up.
  if (size.cx > 0 && size.cx < 16) size.cx = 16;
  return size;
}

void TCustomMenuItem::MeasureBounds() {
  TActionClientItem* item = ActionClient();
  if (!item) return;
  TCustomActionControl::MeasureBounds();
  TRect text = TextBounds();
  int textWidth = text.right - text.left;
  int imageWidth = ImageSize().cx;
  // What the base rule measured, whatever width the menu's layout gave the control since.
  int measured = (imageWidth && textWidth ? Spacing() : 0) + Margins().left + imageWidth + textWidth + Margins().right;
  int height = IsSeparator() ? MenuBarHeight() / 3 * 2 : std::max(Height(), MenuBarHeight());
  shortCutBounds_ = Rect(0, 0, 0, 0);
  int width = 0;
  if (item->ShortCut() != 0) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    RECT r{0, 0, 0, 0};
    const String& shortCut = item->ShortCutCaption();
    DrawTextA(dc, shortCut.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(dc, old);
    DeleteDC(dc);
    shortCutBounds_ = r;
    width = (item->HasGlyph() ? 0 : 24) + measured + (r.right - r.left) + Spacing() + 21;
  } else {
    width = 24 + textWidth + 24;
  }
  SetBounds(Left(), Top(), width, height + (edges_.Contains(ebTop) ? 1 : 0) + (edges_.Contains(ebBottom) ? 1 : 0));
  PositionContents();
}

void TCustomMenuItem::PositionContents() {
  TCustomActionControl::PositionContents();
  TRect text = TextBounds();
  int textWidth = text.right - text.left, textHeight = text.bottom - text.top;
  int h = Height() - (edges_.Contains(ebTop) ? 1 : 0) - (edges_.Contains(ebBottom) ? 1 : 0);
  text.left = 24;
  text.right = 24 + textWidth;
  text.top = h / 2 - textHeight / 2 - 1;
  text.bottom = text.top + textHeight;
  SetTextBounds(text);
  int shortCutHeight = shortCutBounds_.bottom - shortCutBounds_.top;
  shortCutBounds_.top = text.top;
  shortCutBounds_.bottom = text.top + shortCutHeight;
  SetGlyphPos(Point(Margins().left, h / 2 - ImageSize().cy / 2 + 1));
}

void TCustomMenuItem::Paint() {
  TCustomActionControl::Paint();
  TActionClientItem* item = ActionClient();
  if (!item || IsSeparator()) {
    PaintEdges();
    return;
  }
  TCanvas* canvas = Canvas();
  if (IsChecked() && !item->HasGlyph()) PaintImage(GlyphPos());
  if (IsShortCutShown()) {
    TRect r = shortCutBounds_;
    int width = r.right - r.left;
    r.left = Width() - width - 21;
    r.right = r.left + width;
    PaintText(r, DrawTextBiDiModeFlags(DT_RIGHT | DT_SINGLELINE), item->ShortCutCaption());
  }
  if (HasVisibleSubItems()) PaintSubMenuArrow();
  (void)canvas;
  PaintEdges();
}

void TCustomMenuItem::PaintSubMenuArrow() {
  TCanvas* canvas = Canvas();
  TColor color = Selected() ? TColor(0x00FFFFFF) : clBtnText;
  canvas->Pen()->SetColor(Selected() ? clHighlightText : color);
  canvas->Brush()->SetColor(color);
  PaintArrow(canvas, sdRight, Point(Width() - 11, Height() / 2 - 3), 3);
}

void TCustomMenuItem::PaintEdges() {
  TActionClientItem* item = ActionClient();
  if (!item) return;
  UINT style = IsHiddenAsUnused(item) ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
  RECT r = ClientRect();
  HDC dc = Canvas()->Handle();
  UINT flags = (edges_.Contains(ebLeft) ? BF_LEFT : 0) | (edges_.Contains(ebTop) ? BF_TOP : 0) |
               (edges_.Contains(ebRight) ? BF_RIGHT : 0) | (edges_.Contains(ebBottom) ? BF_BOTTOM : 0);
  if (edges_.Contains(ebTop)) DrawEdge(dc, &r, style, flags);
  if (edges_.Contains(ebBottom)) DrawEdge(dc, &r, style, BF_BOTTOM);
}

void TCustomMenuItem::PaintRunFrame(TMenuItemEdges edges) {
  TCanvas* canvas = Canvas();
  TCustomActionBar* bar = ActionBar();
  TColor barColor = bar ? bar->Color() : Color();
  RECT r = ClientRect();
  bool used = ActionClient() && !IsHiddenAsUnused(ActionClient());
  canvas->Pen()->SetColor(HighlightColorOf(barColor));
  canvas->MoveTo(r.right, r.top);
  if (edges.Contains(ebTop)) canvas->LineTo(r.left, r.top);
  else canvas->MoveTo(r.left, r.top);
  if (edges.Contains(ebLeft)) canvas->LineTo(r.left, r.bottom);
  canvas->Pen()->SetColor(ShadowColorOf(barColor));
  canvas->Pen()->SetWidth(1);
  canvas->MoveTo(r.right - 1, r.top);
  canvas->LineTo(r.right - 1, r.bottom);
  if (edges.Contains(ebRight) && used) {
    canvas->MoveTo(r.right - 2, r.top);
    canvas->LineTo(r.right - 2, r.bottom + 1);
  }
  if (edges.Contains(ebBottom)) {
    canvas->MoveTo(r.right - 1, r.bottom - 1);
    canvas->LineTo(r.left, r.bottom - 1);
  }
}

void TCustomMenuItem::SetSelected(bool value) {
  if (!value) mouseSelected_ = false;
  bool changed = value != Selected();
  TCustomActionControl::SetSelected(value);
  if (changed && value) NotifyMenuSelection(this);
}

void TCustomMenuItem::ApplyCheckedRule() {
  if (TCustomAction* action = CustomActionOf(this)) action->SetChecked(action->GroupIndex() > 0);
}

void TCustomMenuItem::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomActionControl::MouseUp(button, shift, x, y);
  if (button != mbLeft || HasOpenSubMenu() || !ActionClient()) return;
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  ApplyCheckedRule();
  TActionClientItem* item = ActionClient();
  TCustomActionBar* bar = ActionBar();
  bool customizing = bar && (bar->InCustomizeMode() || bar->ComponentState().Contains(csDesigning));
  if (!customizing && Enabled() && !item->HasItems()) NoteItemUse(item);
  PostToBar(this, CM_ITEMCLICKED);
}

void TCustomMenuItem::ItemTriggered() {
  SetSelected(true);
  mouseSelected_ = false;
  ApplyCheckedRule();
  TCustomActionControl::ItemTriggered();
}

void TCustomMenuItem::Click() {
  // Choosing runs through the menu loop; the click only brings the menu's form forward.
  TCustomActionMenuBar* menu = Menu();
  TWinControl* form = menu ? GetParentForm(menu->RootMenu()) : nullptr;
  if (form && form->HandleAllocated() && IsWindowVisible(form->Handle()) && IsWindowEnabled(form->Handle()) &&
      GetActiveWindow() != form->Handle())
    SetActiveWindow(form->Handle());
}

void TCustomMenuItem::RealignRequest() {
  TCustomActionControl::RealignRequest();
  if (TCustomActionMenuBar* menu = Menu()) menu->RecomputeSize();
}

void TCustomMenuItem::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case FM_MOUSE_ENTER: {
      TCustomActionControl::Dispatch(message);
      if (HasOpenSubMenu() || !ActionClient()) break;
      TCustomActionBar* bar = ActionBar();
      if (ComponentState().Contains(csDesigning)) {
        SetSelected(true);
      } else if (!IsSeparator()) {
        if (Enabled()) {
          SetSelected(true);
          mouseSelected_ = !(bar && bar->InCustomizeMode());
        } else if (TCustomActionMenuBar* menu = Menu()) {
          menu->RootMenu()->SetPendingItem(nullptr);
        }
      }
      break;
    }
    case FM_MOUSE_LEAVE: {
      TCustomActionControl::Dispatch(message);
      // Leaving the popup lets the item go, unless its sub-menu is open.
      TCustomActionBar* bar = ActionBar();
      if (Selected() && !HasOpenSubMenu() && bar && bar->HandleAllocated()) {
        POINT p;
        GetCursorPos(&p);
        if (WindowFromPoint(p) != bar->Handle()) SetSelected(false);
      }
      break;
    }
    default:
      TCustomActionControl::Dispatch(message);
  }
}

// ---- TStandardMenuItem ----

TAVELO_CLASS_IMPL(TStandardMenuItem)

void TStandardMenuItem::PaintBackground(const TRect& rect) {
  TActionClientItem* item = ActionClient();
  if (!item) return;
  TCanvas* canvas = Canvas();
  TCustomActionBar* bar = ActionBar();
  bool customizing = bar && bar->InCustomizeMode();
  TRect r = rect;
  if (Highlighted() && !customizing) {
    canvas->Brush()->SetColor(clHighlight);
    r.left += (item->HasGlyph() || IsChecked()) ? 21 : 1;
    r.right -= 2;
  } else {
    bool unusedLook = IsHiddenAsUnused(item);
    if (!unusedLook && IsSeparator()) {
      TActionClients* list = item->ActionClients();
      int index = item->Index();
      if (list && index > 0 && index < list->Count() - 1)
        unusedLook = IsHiddenAsUnused(list->ActionClients(index - 1)) && IsHiddenAsUnused(list->ActionClients(index + 1));
    }
    canvas->Brush()->SetColor(unusedLook ? HighlightColorOf(Color()) : clMenu);
  }
  TCustomMenuItem::PaintBackground(r);
}

void TStandardMenuItem::PaintImage(TPoint position) {
  TActionClientItem* item = ActionClient();
  if (!item) return;
  bool checked = IsChecked();
  if ((item->HasGlyph() && item->ShowGlyph()) || checked) {
    TCanvas* canvas = Canvas();
    RECT column{position.x - 1, 0, position.x + 18, Height()};
    if (Highlighted() || checked) {
      if (Edges().Contains(ebTop)) column.top += 1;
      if (Edges().Contains(ebBottom)) column.bottom -= 1;
      DrawEdge(canvas->Handle(), &column, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
               BF_RECT | (Transparent() ? 0 : BF_MIDDLE));
      if (!Transparent()) {
        RECT inner = column;
        InflateRect(&inner, -1, -1);
        if (checked && !Selected()) {
          SetCheckeredBrush(canvas, Color(), HighlightColorOf(Color()));
          canvas->FillRect(inner);
        } else {
          canvas->Brush()->SetStyle(bsSolid);
          canvas->Brush()->SetColor(IsHiddenAsUnused(item) ? HighlightColorOf(Color()) : Color());
          canvas->FillRect(inner);
        }
      }
    }
    if (!item->HasGlyph() && checked) {
      canvas->Pen()->SetColor(TColor(0));
      PaintCheckMark(canvas, Point(position.x + 4, position.y + 4), 2, true);
    }
  }
  TCustomMenuItem::PaintImage(position);
}

void TStandardMenuItem::PaintText(TRect& rect, std::uint32_t flags, const String& text) {
  TCanvas* canvas = Canvas();
  bool designing = ComponentState().Contains(csDesigning);
  if (Enabled() || designing) {
    canvas->Font()->SetColor(Selected() ? clHighlightText : clMenuText);
    TCustomMenuItem::PaintText(rect, flags, text);
    return;
  }
  canvas->Brush()->SetStyle(bsClear);
  if (!Selected() || designing) {
    // The embossed look of a disabled caption: a white copy below and right of it.
    TRect offset = rect;
    OffsetRect(&offset, 1, 1);
    canvas->Font()->SetColor(TColor(0x00FFFFFF));
    TCustomMenuItem::PaintText(offset, flags, text);
  }
  canvas->Font()->SetColor(clGrayText);
  TCustomMenuItem::PaintText(rect, flags, text);
}

void TStandardMenuItem::PaintSeparator(int offset) {
  (void)offset;
  TCustomMenuItem::PaintSeparator(13);
}

// ---- TCustomMenuButton ----

TAVELO_CLASS_IMPL(TCustomMenuButton)
TAVELO_CLASS_IMPL(TStandardMenuButton)

TCustomMenuButton::TCustomMenuButton(TComponent* owner) : TCustomButtonControl(owner) {}

TCustomMenuButton::~TCustomMenuButton() {
  TActionClientItem* item = ActionClient();
  if (auto* popup = item ? DynamicCast<TCustomActionPopupMenu>(item->ChildBar()) : nullptr) popup->CloseMenu();
}

TCustomActionMenuBar* TCustomMenuButton::MenuBar() const { return DynamicCast<TCustomActionMenuBar>(ActionBar()); }

void TCustomMenuButton::Paint() {
  TActionClientItem* item = ActionClient();
  if (item && item->ChildBar()) {
    TButtonState saved = State();
    SetState(bsDown);
    try {
      TCustomButtonControl::Paint();
    } catch (...) {
      SetState(saved);
      throw;
    }
    SetState(saved);
    return;
  }
  TCustomButtonControl::Paint();
}

void TCustomMenuButton::PaintText(TRect& rect, std::uint32_t flags, const String& text) {
  auto* bar = DynamicCast<TCustomActionMainMenuBar>(ActionBar());
  if (bar && !bar->PersistentHotKeys()) {
    String plain = text;
    if (auto at = plain.find('&'); at != String::npos) plain.erase(at, 1);
    TCustomButtonControl::PaintText(rect, flags, plain);
    return;
  }
  TCustomButtonControl::PaintText(rect, flags, text);
}

void TCustomMenuButton::Click() {
  SetSelected(true);
  TCustomButtonControl::Click();
  TActionClientItem* item = ActionClient();
  if (item && !item->Action()) PostToBar(this, CM_ITEMCLICKED);
}

void TCustomMenuButton::ItemTriggered() {
  SetSelected(true);
  TCustomButtonControl::ItemTriggered();
}

void TCustomMenuButton::SetSelected(bool value) {
  bool changed = value != Selected();
  TCustomButtonControl::SetSelected(value);
  if (changed && value) NotifyMenuSelection(this);
}

void TCustomMenuButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomActionMenuBar* bar = MenuBar();
  if (button == mbLeft && DynamicCast<TCustomActionMainMenuBar>(bar) && !bar->InMenuLoop() && Enabled()) {
    // The menu opens on the press, not on the release.
    Click();
    return;
  }
  TCustomButtonControl::MouseDown(button, shift, x, y);
}

void TCustomMenuButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case FM_MOUSE_ENTER: {
      TCustomButtonControl::Dispatch(message);
      TCustomActionMenuBar* bar = MenuBar();
      TActionClientItem* item = ActionClient();
      if (bar && item && !item->Action() && bar->InMenuLoop() && !bar->InCustomizeMode() && !Selected() && Enabled())
        Click();
      break;
    }
    default:
      TCustomButtonControl::Dispatch(message);
  }
}

}  // namespace tavelo
