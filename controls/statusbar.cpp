// The status bar over the platform's status window, and its panels.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "actions/customaction.h"
#include "controls/comctrls.h"
#include "controls/forms.h"
#include "controls/screen.h"
#include "core/messages.h"
#include "core/publish.h"
#include "core/sysutils.h"
#include "graphics/graphicsobjects.h"

namespace tavelo {

namespace {

// The status window centres what follows one tab and right-aligns what follows two.
String AlignedText(const String& text, TAlignment alignment, bool rightToLeft) {
  if (rightToLeft) {
    if (alignment == taLeftJustify)
      alignment = taRightJustify;
    else if (alignment == taRightJustify)
      alignment = taLeftJustify;
  }
  switch (alignment) {
    case taCenter: return "\t" + text;
    case taRightJustify: return "\t\t" + text;
    default: return text;
  }
}

}  // namespace

void InitCommonControlClasses(std::uint32_t classes) {
  // Each class family is registered once per process.
  static std::uint32_t done = 0;
  if ((done & classes) == classes) return;
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), classes};
  InitCommonControlsEx(&init);
  done |= classes;
}

// ---- TStatusPanel ----

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(nullptr) {
  if (auto* panels = DynamicCast<TStatusPanels>(collection))
    if (auto* bar = DynamicCast<TCustomStatusBar>(panels->GetOwner())) bidiMode_ = bar->BiDiMode();
  SetCollection(collection);
}

void TStatusPanel::SetText(const String& value) {
  if (value == text_) return;
  text_ = value;
  Changed(false);
}

void TStatusPanel::SetWidth(int value) {
  if (value == width_) return;
  width_ = value;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
  if (value == bevel_) return;
  bevel_ = value;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
  if (value == style_) return;
  style_ = value;
  Changed(false);
}

void TStatusPanel::SetBiDiMode(TBiDiMode value) {
  if (value == bidiMode_) return;
  bidiMode_ = value;
  parentBiDiMode_ = false;
  Changed(false);
}

void TStatusPanel::SetParentBiDiMode(bool value) {
  if (value == parentBiDiMode_) return;
  parentBiDiMode_ = value;
  ParentBiDiModeChanged();
}

void TStatusPanel::ParentBiDiModeChanged() {
  if (!parentBiDiMode_ || !Collection()) return;
  if (auto* bar = DynamicCast<TCustomStatusBar>(Collection()->GetOwner())) {
    if (bar->BiDiMode() == bidiMode_) return;
    bidiMode_ = bar->BiDiMode();
    Changed(false);
  }
}

bool TStatusPanel::UseRightToLeftReading() const { return SysLocale().MiddleEast && bidiMode_ != bdLeftToRight; }

bool TStatusPanel::UseRightToLeftAlignment() const { return SysLocale().MiddleEast && bidiMode_ == bdRightToLeft; }

String TStatusPanel::DisplayName() const { return text_.empty() ? TCollectionItem::DisplayName() : text_; }

void TStatusPanel::Assign(TPersistent* source) {
  if (auto* panel = DynamicCast<TStatusPanel>(source)) {
    SetText(panel->text_);
    SetWidth(panel->width_);
    SetAlignment(panel->alignment_);
    SetBevel(panel->bevel_);
    SetStyle(panel->style_);
    SetBiDiMode(panel->bidiMode_);
    SetParentBiDiMode(panel->parentBiDiMode_);
    return;
  }
  TCollectionItem::Assign(source);
}

TAVELO_PUBLISH(TStatusPanel) {
  c.Property("Alignment", &Self::Alignment, &Self::SetAlignment).Default(taLeftJustify);
  c.Property("Bevel", &Self::Bevel, &Self::SetBevel).Default(pbLowered);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode).Stored<&Self::IsBiDiModeStored>();
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
  c.Property("Style", &Self::Style, &Self::SetStyle).Default(psText);
  c.Property("Text", &Self::Text, &Self::SetText);
  c.Property("Width", &Self::Width, &Self::SetWidth);
}

// ---- TStatusPanels ----

TStatusPanels::TStatusPanels(TCustomStatusBar* statusBar, TClass panelClass)
    : TCollection(panelClass), statusBar_(statusBar) {}

TPersistent* TStatusPanels::GetOwner() const { return statusBar_; }

void TStatusPanels::Update(TCollectionItem* item) {
  if (item)
    statusBar_->UpdatePanel(item->Index(), false);
  else
    statusBar_->UpdatePanels(true, false);
}

TAVELO_CLASS_IMPL(TStatusPanels)

// ---- TCustomStatusBar ----

TCustomStatusBar::TCustomStatusBar(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks};
  SetColor(clBtnFace);
  SetHeight(19);
  SetAlign(alBottom);
  panels_ = std::make_unique<TStatusPanels>(this, GetPanelClass());
  canvas_ = std::make_unique<TControlCanvas>();
  canvas_->SetControl(this);
  SetParentFont(false);
  useSystemFont_ = true;
  ApplySystemFont();
}

TCustomStatusBar::~TCustomStatusBar() {
  Destroying();
  // The panels go first: their change hook calls the bar.
  panels_.reset();
}

TClass TCustomStatusBar::GetPanelClass() const {
  TClass panelClass = TStatusPanel::StaticClass();
  if (OnCreatePanelClass) OnCreatePanelClass(const_cast<TCustomStatusBar*>(this), panelClass);
  return panelClass;
}

void TCustomStatusBar::CreateParams(TCreateParams& params) {
  InitCommonControlClasses(ICC_BAR_CLASSES);
  ValidateSizeGrip(false);
  inherited::CreateParams(params);
  CreateSubClass(params, STATUSCLASSNAME);
  if (sizeGrip_ && sizeGripValid_)
    params.Style |= SBARS_SIZEGRIP;
  else
    params.Style |= CCS_TOP;
  params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW);
}

void TCustomStatusBar::CreateWnd() {
  inherited::CreateWnd();
  SendMessageA(Handle(), CCM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  UpdatePanels(true, false);
  if (!simpleText_.empty())
    SendMessageA(Handle(), SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(simpleText_.c_str()));
  if (simplePanel_) SendMessageA(Handle(), SB_SIMPLE, 1, 0);
}

void TCustomStatusBar::SetSimplePanel(bool value) {
  if (value == simplePanel_) return;
  simplePanel_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), SB_SIMPLE, value ? 1 : 0, 0);
}

void TCustomStatusBar::SetSimpleText(const String& value) {
  if (value == simpleText_) return;
  simpleText_ = value;
  if (!HandleAllocated()) return;
  String text = AlignedText(value, taLeftJustify, UseRightToLeftAlignment());
  WPARAM flags = 255 | (UseRightToLeftReading() ? SBT_RTLREADING : 0);
  SendMessageA(Handle(), SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomStatusBar::SetSizeGrip(bool value) {
  if (value == sizeGrip_) return;
  sizeGrip_ = value;
  RecreateWnd();
}

void TCustomStatusBar::SetUseSystemFont(bool value) {
  if (value == useSystemFont_) return;
  useSystemFont_ = value;
  if (value) {
    if (ParentFont()) TControl::SetParentFont(false);
    ApplySystemFont();
  }
}

void TCustomStatusBar::SetParentFont(bool value) {
  if (value) useSystemFont_ = false;
  TControl::SetParentFont(value);
}

void TCustomStatusBar::ApplySystemFont() {
  if (!useSystemFont_) return;
  if (Screen()) Font()->Assign(Screen()->HintFont());
  Font()->SetColor(clBtnText);
  // Assigning the font reads as the user's choice; the system font stays in charge.
  useSystemFont_ = true;
}

void TCustomStatusBar::SetBounds(int left, int top, int width, int height) {
  inherited::SetBounds(left, top, width, height);
  ValidateSizeGrip(true);
}

bool TCustomStatusBar::SizeGripAllowed() const {
  auto* form = DynamicCast<TCustomForm>(GetParentForm(const_cast<TCustomStatusBar*>(this)));
  if (!form || (form->BorderStyle() != bsSizeable && form->BorderStyle() != bsSizeToolWin)) return false;
  TPoint corner = Point(Left() + Width(), Top() + Height());
  // The corner in the form's client coordinates: by the windows when they exist, else by
  // the bounds of the parents in between.
  if (Parent() != form) {
    if (!Parent() || !form->HandleAllocated() || !Parent()->HandleAllocated()) return false;
    corner = form->ScreenToClient(Parent()->ClientToScreen(corner));
  }
  TRect client = form->ClientRect();
  return corner.x == client.right && corner.y == client.bottom;
}

void TCustomStatusBar::ValidateSizeGrip(bool recreate) {
  bool valid = SizeGripAllowed();
  if (valid == sizeGripValid_) return;
  sizeGripValid_ = valid;
  if (recreate && sizeGrip_) RecreateWnd();
}

void TCustomStatusBar::UpdatePanel(int index, bool repaint) {
  if (!panels_ || !HandleAllocated() || index < 0 || index >= std::min(panels_->Count(), kMaxPanels)) return;
  TStatusPanel* panel = panels_->Items(index);
  if (!repaint) {
    panel->updateNeeded_ = true;
    RECT r{};
    SendMessageA(Handle(), SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    InvalidateRect(Handle(), &r, TRUE);
    return;
  }
  if (!panel->updateNeeded_) return;
  panel->updateNeeded_ = false;
  WPARAM flags = 0;
  if (panel->bevel_ == pbNone) flags |= SBT_NOBORDERS;
  if (panel->bevel_ == pbRaised) flags |= SBT_POPOUT;
  if (panel->UseRightToLeftReading()) flags |= SBT_RTLREADING;
  if (panel->style_ == psOwnerDraw) flags |= SBT_OWNERDRAW;
  String text = AlignedText(panel->text_, panel->alignment_, panel->UseRightToLeftAlignment());
  SendMessageA(Handle(), SB_SETTEXTA, flags | static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomStatusBar::UpdatePanels(bool updateRects, bool updateText) {
  // The panels are gone while the bar is destroyed.
  if (!panels_ || !HandleAllocated()) return;
  int count = std::min(panels_->Count(), kMaxPanels);
  if (updateRects) {
    if (count == 0) {
      int edge = -1;
      SendMessageA(Handle(), SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
      SendMessageA(Handle(), SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    } else {
      std::vector<int> edges(static_cast<std::size_t>(count));
      int right = 0;
      for (int i = 0; i < count - 1; ++i) {
        right += panels_->Items(i)->Width();
        edges[static_cast<std::size_t>(i)] = right;
      }
      // The last part stretches to the end of the bar.
      edges.back() = -1;
      SendMessageA(Handle(), SB_SETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(edges.data()));
    }
  }
  for (int i = 0; i < count; ++i) UpdatePanel(i, updateText);
}

void TCustomStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
  if (onDrawPanel_)
    onDrawPanel_(this, panel, rect);
  else
    canvas_->FillRect(rect);
}

void TCustomStatusBar::DrawItem(TMessage& message) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
  int saved = SaveDC(item->hDC);
  canvas_->SetHandle(item->hDC);
  try {
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->SetColor(clBtnFace);
    canvas_->Brush()->SetStyle(bsSolid);
    int index = static_cast<int>(item->itemID);
    if (index >= 0 && index < panels_->Count()) DrawPanel(panels_->Items(index), item->rcItem);
  } catch (...) {
    canvas_->SetHandle(nullptr);
    RestoreDC(item->hDC, saved);
    throw;
  }
  canvas_->SetHandle(nullptr);
  RestoreDC(item->hDC, saved);
  message.Result = 1;
}

bool TCustomStatusBar::TryRunAction(TBasicAction* action) {
  auto* hint = DynamicCast<THintAction>(action);
  if (!autoHint_ || !hint) return inherited::TryRunAction(action);
  if (onHint_) {
    // The handler shows the hint its own way; the action goes on as for any component.
    onHint_(this);
    return inherited::TryRunAction(action);
  }
  if (simplePanel_ || panels_->Count() == 0)
    SetSimpleText(hint->Hint());
  else
    panels_->Items(0)->SetText(hint->Hint());
  return true;
}

void TCustomStatusBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      // Panels whose properties changed reach the window before it paints.
      for (int i = 0, n = panels_ ? std::min(panels_->Count(), kMaxPanels) : 0; i < n; ++i) UpdatePanel(i, true);
      inherited::Dispatch(message);
      break;
    case WM_ERASEBKGND:
      DefaultHandler(message);
      break;
    case WM_GETTEXTLENGTH:
      message.Result = static_cast<std::intptr_t>(simpleText_.length());
      break;
    case WM_SIZE:
      DefaultHandler(message);
      if (!ComponentState().Contains(csLoading)) Resize();
      Invalidate();
      break;
    case Reflected(WM_DRAWITEM):
      DrawItem(message);
      break;
    case WM_SETTINGCHANGE:
      if (message.WParam == 0 || message.WParam == SPI_SETNONCLIENTMETRICS) ApplySystemFont();
      inherited::Dispatch(message);
      break;
    case FM_SYS_FONT_CHANGED:
      ApplySystemFont();
      inherited::Dispatch(message);
      break;
    case FM_COLOR_CHANGED:
    case WM_SYSCOLORCHANGE:
      inherited::Dispatch(message);
      RecreateWnd();
      break;
    case FM_PARENT_FONT_CHANGED:
      inherited::Dispatch(message);
      if (ParentFont()) useSystemFont_ = false;
      break;
    case FM_BIDIMODE_CHANGED:
      inherited::Dispatch(message);
      if (panels_)
        for (int i = 0; i < panels_->Count(); ++i) panels_->Items(i)->ParentBiDiModeChanged();
      break;
    default:
      inherited::Dispatch(message);
  }
}

TAVELO_CLASS_IMPL(TCustomStatusBar)

TAVELO_PUBLISH(TStatusBar) {
  c.Property("Action", &Self::Action, &Self::SetAction);
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alBottom);
  c.Property("Anchors", &Self::Anchors, &Self::SetAnchors);
  c.Property("AutoHint", &Self::AutoHint, &Self::SetAutoHint).Default(false);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode);
  c.Property("Color", &Self::Color, &Self::SetColor).Default(clBtnFace);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("Panels", &Self::Panels, &Self::SetPanels);
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
  c.Property("ParentColor", &Self::ParentColor, &Self::SetParentColor).Default(false);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(false);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("SimplePanel", &Self::SimplePanel, &Self::SetSimplePanel).Default(false);
  c.Property("SimpleText", &Self::SimpleText, &Self::SetSimpleText);
  c.Property("SizeGrip", &Self::SizeGrip, &Self::SetSizeGrip).Default(true);
  c.Property("UseSystemFont", &Self::UseSystemFont, &Self::SetUseSystemFont).Default(true);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
  c.Event("OnDblClick", &Self::OnDblClick, &Self::SetOnDblClick);
  c.Event("OnHint", &Self::OnHint, &Self::SetOnHint);
  c.Event("OnMouseDown", &Self::OnMouseDown, &Self::SetOnMouseDown);
  c.Event("OnMouseMove", &Self::OnMouseMove, &Self::SetOnMouseMove);
  c.Event("OnMouseUp", &Self::OnMouseUp, &Self::SetOnMouseUp);
  c.Event("OnResize", &Self::OnResize, &Self::SetOnResize);
  c.Event("OnDrawPanel", &Self::OnDrawPanel, &Self::SetOnDrawPanel);
}

}  // namespace tavelo
