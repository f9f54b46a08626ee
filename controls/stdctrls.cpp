// The label and the push button.
#include "controls/stdctrls.h"

#include <algorithm>

#include "controls/controlsimpl.h"
#include "core/messages.h"
#include "core/publish.h"
#include "graphics/shortcuts.h"

namespace tavelo {

using namespace controls_impl;

namespace {

constexpr UINT kAlignmentFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};

unsigned UpperAnsi(unsigned character) {
  char c[2] = {static_cast<char>(character), 0};
  CharUpperBuffA(c, 1);
  return static_cast<unsigned char>(c[0]);
}

}  // namespace

bool IsAccelerator(unsigned character, const String& caption) {
  int accelerator = -1;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    char c = caption[i];
    if (IsDBCSLeadByte(static_cast<BYTE>(c))) {
      ++i;  // both bytes of a double-byte character go together
    } else if (c == '&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != '&') accelerator = static_cast<unsigned char>(caption[i]);
    }
  }
  return accelerator >= 0 && UpperAnsi(character & 0xFF) == UpperAnsi(static_cast<unsigned>(accelerator));
}

// ---- TCustomLabel ----

TAVELO_CLASS_IMPL(TCustomLabel)

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_.Include(csOpaque);
  SetBounds(0, 0, 65, 17);
  TControl::SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == AutoSize()) return;
  TControl::SetAutoSize(value);
  FitToText();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
  if (value == focusControl_) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = value;
  if (value) value->FreeNotification(this);
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  FitToText();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == Transparent()) return;
  if (value)
    controlStyle_.Exclude(csOpaque);
  else
    controlStyle_.Include(csOpaque);
  Invalidate();
}

void TCustomLabel::DrawLabelText(TRect& rect, UINT flags) {
  String text = GetLabelText();
  // Measured, an empty label still takes one line.
  if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += " ";
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  // Seam: the bidirectional drawing flags join here with the control's reading order.
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  int length = static_cast<int>(text.size());
  if (Enabled()) {
    DrawTextA(canvas->Handle(), text.c_str(), length, &rect, flags);
    return;
  }
  OffsetRect(&rect, 1, 1);
  canvas->Font()->SetColor(clBtnHighlight);
  DrawTextA(canvas->Handle(), text.c_str(), length, &rect, flags);
  OffsetRect(&rect, -1, -1);
  canvas->Font()->SetColor(clBtnShadow);
  DrawTextA(canvas->Handle(), text.c_str(), length, &rect, flags);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(rect);
  }
  canvas->Brush()->SetStyle(bsClear);
  UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | kAlignmentFlags[alignment_];
  if (layout_ != tlTop) {
    TRect measured = rect;
    DrawLabelText(measured, flags | DT_CALCRECT);
    int offset = Height() - measured.bottom;
    OffsetRect(&rect, 0, layout_ == tlBottom ? offset : offset / 2);
  }
  DrawLabelText(rect, flags);
}

void TCustomLabel::FitToText() {
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading) || !AutoSize()) return;
  TRect rect = ClientRect();
  HDC dc = GetDC(nullptr);
  try {
    TPaintBinding binding(*Canvas(), dc);
    DrawLabelText(rect, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  } catch (...) {
    ReleaseDC(nullptr, dc);
    throw;
  }
  ReleaseDC(nullptr, dc);
  int width = rect.right;
  // The measure shrinks to the widest line; a wrapped label keeps the width it wraps in.
  if (wordWrap_) width = std::max(width, Width());
  int left = Left();
  // Seam: the alignment is mirrored here for right-to-left reading.
  if (alignment_ == taRightJustify) left += Width() - width;
  SetBounds(left, Top(), width, rect.bottom);
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  FitToText();
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case FM_TEXT_CHANGED:
      Invalidate();
      FitToText();
      break;
    case FM_FONT_CHANGED:
      inherited::Dispatch(message);
      FitToText();
      break;
    case FM_DIALOG_CHAR:
      if (focusControl_ && Enabled() && showAccelChar_ &&
          IsAccelerator(static_cast<unsigned>(message.WParam), GetLabelText()) && focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        message.Result = 1;
      } else {
        inherited::Dispatch(message);
      }
      break;
    case FM_MOUSE_ENTER:
      inherited::Dispatch(message);
      onMouseEnter_(this);
      break;
    case FM_MOUSE_LEAVE:
      inherited::Dispatch(message);
      onMouseLeave_(this);
      break;
    default:
      inherited::Dispatch(message);
  }
}

// Seam: BiDiMode, DragCursor, DragKind, DragMode, ParentBiDiMode, ParentShowHint, PopupMenu
// and the drag, dock, context-popup, double-click and mouse button events join in their
// places when the control has them; Caption once its reader is const.
TAVELO_PUBLISH(TLabel) {
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alNone);
  c.Property("Alignment", &Self::Alignment, &Self::SetAlignment).Default(taLeftJustify);
  c.Property("Anchors", &Self::Anchors, &Self::SetAnchors);
  c.Property("AutoSize", &Self::AutoSize, &Self::SetAutoSize).Default(true);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Color", &Self::Color, &Self::SetColor);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("FocusControl", &Self::FocusControl, &Self::SetFocusControl);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
  c.Property("ParentColor", &Self::ParentColor, &Self::SetParentColor).Default(true);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(true);
  c.Property("ShowAccelChar", &Self::ShowAccelChar, &Self::SetShowAccelChar).Default(true);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("Transparent", &Self::Transparent, &Self::SetTransparent).Default(false);
  c.Property("Layout", &Self::Layout, &Self::SetLayout).Default(tlTop);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Property("WordWrap", &Self::WordWrap, &Self::SetWordWrap).Default(false);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
  c.Event("OnDblClick", &Self::OnDblClick, &Self::SetOnDblClick);
  c.Event("OnMouseDown", &Self::OnMouseDown, &Self::SetOnMouseDown);
  c.Event("OnMouseMove", &Self::OnMouseMove, &Self::SetOnMouseMove);
  c.Event("OnMouseUp", &Self::OnMouseUp, &Self::SetOnMouseUp);
  c.Event("OnMouseEnter", &Self::OnMouseEnter, &Self::SetOnMouseEnter);
  c.Event("OnMouseLeave", &Self::OnMouseLeave, &Self::SetOnMouseLeave);
}

// ---- TButtonControl ----

TAVELO_CLASS_IMPL(TButtonControl)

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {}

void TButtonControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!ComponentState().Contains(csDesigning) && !Focused()) {
        // The platform may report a click while the focus moves; it is not the user's.
        clicksDisabled_ = true;
        try {
          SetFocus();
        } catch (...) {
          clicksDisabled_ = false;
          throw;
        }
        clicksDisabled_ = false;
        if (!Focused()) return;
      }
      break;
    default:
      break;
  }
  inherited::WndProc(message);
}

// ---- TButton ----

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  controlStyle_ = TControlStyle{csSetCaption, csOpaque, csDoubleClicks};
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, "BUTTON");
  params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  inherited::CreateWnd();
  active_ = default_;
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (!HandleAllocated()) return;
  if (TWinControl* form = GetParentForm(this)) {
    form->Perform(FM_FOCUS_CHANGED, 0, reinterpret_cast<std::intptr_t>(form->ActiveControl()));
  } else {
    // Without a form no button is focused through one: the button follows its own flag.
    Perform(FM_FOCUS_CHANGED, 0, 0);
  }
}

void TButton::SetButtonStyle(bool isDefault) {
  if (!HandleAllocated()) return;
  LONG_PTR style = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((GetWindowLongPtrA(Handle(), GWL_STYLE) & BS_TYPEMASK) != style)
    SendMessageA(Handle(), BM_SETSTYLE, static_cast<WPARAM>(style), 1);
}

void TButton::Click() {
  if (TWinControl* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  inherited::Click();
}

void TButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case Reflected(WM_COMMAND):
      if (HIWORD(message.WParam) == BN_CLICKED && !ClicksDisabled()) Click();
      break;
    case FM_DIALOG_KEY: {
      auto key = message.WParam;
      bool wanted = (key == VK_RETURN && active_) || (key == VK_ESCAPE && cancel_);
      if (wanted && ShiftStateFromKeyData(static_cast<std::int32_t>(message.LParam)).Empty() && CanFocus()) {
        Click();
        message.Result = 1;
      } else {
        inherited::Dispatch(message);
      }
      break;
    }
    case FM_DIALOG_CHAR:
      if (IsAccelerator(static_cast<unsigned>(message.WParam), Caption()) && CanFocus()) {
        Click();
        message.Result = 1;
      } else {
        inherited::Dispatch(message);
      }
      break;
    case FM_FOCUS_CHANGED: {
      auto* focused = reinterpret_cast<TWinControl*>(message.LParam);
      active_ = DynamicCast<TButton>(focused) ? focused == this : default_;
      SetButtonStyle(active_);
      inherited::Dispatch(message);
      break;
    }
    case WM_ERASEBKGND:
      // The platform's button paints its own background.
      DefaultHandler(message);
      break;
    default:
      inherited::Dispatch(message);
  }
}

// Seam: Action, BiDiMode, Caption, the drag properties, ParentBiDiMode, ParentShowHint,
// PopupMenu and the other events join in their places when the control has them.
TAVELO_PUBLISH(TButton) {
  c.Property("Action", &Self::Action, &Self::SetAction);
  c.Property("Anchors", &Self::Anchors, &Self::SetAnchors);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode);
  c.Property("Cancel", &Self::Cancel, &Self::SetCancel).Default(false);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("Default", &Self::Default, &Self::SetDefault).Default(false);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("ModalResult", &Self::ModalResult, &Self::SetModalResult).Default(ResultNone);
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(true);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("TabOrder", &Self::TabOrder, &Self::SetTabOrder);
  c.Property("TabStop", &Self::TabStop, &Self::SetTabStop).Default(true);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
  c.Event("OnEnter", &Self::OnEnter, &Self::SetOnEnter);
  c.Event("OnExit", &Self::OnExit, &Self::SetOnExit);
  c.Event("OnKeyDown", &Self::OnKeyDown, &Self::SetOnKeyDown);
  c.Event("OnKeyPress", &Self::OnKeyPress, &Self::SetOnKeyPress);
  c.Event("OnKeyUp", &Self::OnKeyUp, &Self::SetOnKeyUp);
  c.Event("OnMouseDown", &Self::OnMouseDown, &Self::SetOnMouseDown);
  c.Event("OnMouseMove", &Self::OnMouseMove, &Self::SetOnMouseMove);
  c.Event("OnMouseUp", &Self::OnMouseUp, &Self::SetOnMouseUp);
}

}  // namespace tavelo
