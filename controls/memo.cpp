// The edit control, the memo and the memo's lines.
#include "controls/memo.h"

#include <algorithm>
#include <cstring>

#include "controls/controlconsts.h"
#include "core/exceptions.h"
#include "core/messages.h"
#include "core/publish.h"

namespace tavelo {

namespace {

LRESULT Send(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageA(window, msg, wParam, lParam);
}

// Lone CR and lone LF become CR LF: the window breaks lines only at CR LF.
String NormalizeLineBreaks(const String& text) {
  std::size_t extra = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
      else
        ++extra;
    } else if (text[i] == '\n') {
      ++extra;
    }
  }
  if (extra == 0) return text;
  String result;
  result.reserve(text.size() + extra);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      result += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      result += "\r\n";
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace

// ---- TCustomEdit ----

TAVELO_CLASS_IMPL(TCustomEdit)

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(Left(), Top(), 121, 25);
  SetTabStop(true);
  SetParentColor(false);
  TControl::SetAutoSize(true);
}

void TCustomEdit::SetAutoSize(bool value) {
  if (value == AutoSize()) return;
  TControl::SetAutoSize(value);
  UpdateHeightStyle();
  AdjustHeight();
}

void TCustomEdit::UpdateHeightStyle() {
  if (AutoSize() && borderStyle_ == bsSingle)
    controlStyle_.Include(csFixedHeight);
  else
    controlStyle_.Exclude(csFixedHeight);
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  UpdateHeightStyle();
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int value) {
  if (value == maxLength_) return;
  maxLength_ = value;
  if (HandleAllocated()) Send(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(value));
}

void TCustomEdit::SetOEMConvert(bool value) {
  if (value == oemConvert_) return;
  oemConvert_ = value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  if (HandleAllocated()) {
    Send(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(value));
    Invalidate();
  }
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  if (HandleAllocated()) Send(Handle(), EM_SETREADONLY, value ? 1 : 0);
}

bool TCustomEdit::Modified() {
  if (HandleAllocated()) return Send(Handle(), EM_GETMODIFY) != 0;
  return modified_;
}

void TCustomEdit::SetModified(bool value) {
  if (HandleAllocated())
    Send(Handle(), EM_SETMODIFY, value ? 1 : 0);
  else
    modified_ = value;
}

int TCustomEdit::SelStart() {
  DWORD start = 0;
  Send(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) { Send(Handle(), EM_SETSEL, static_cast<WPARAM>(value), value); }

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  Send(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int value) {
  int start = SelStart();
  Send(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start + value);
  Send(Handle(), EM_SCROLLCARET);
}

String TCustomEdit::SelText() {
  DWORD start = 0, end = 0;
  Send(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (end <= start) return String();
  // Only the text up to the selection's end is fetched.
  std::string buffer(static_cast<std::size_t>(end) + 1, '\0');
  int got = GetWindowTextA(Handle(), buffer.data(), static_cast<int>(buffer.size()));
  buffer.resize(static_cast<std::size_t>(std::max(0, got)));
  if (buffer.size() <= start) return String();
  return String(buffer.substr(start, end - start));
}

void TCustomEdit::Clear() { SetWindowTextA(Handle(), ""); }

void TCustomEdit::ClearSelection() { Send(Handle(), WM_CLEAR); }
void TCustomEdit::CopyToClipboard() { Send(Handle(), WM_COPY); }
void TCustomEdit::CutToClipboard() { Send(Handle(), WM_CUT); }
void TCustomEdit::PasteFromClipboard() { Send(Handle(), WM_PASTE); }
void TCustomEdit::SelectAll() { Send(Handle(), EM_SETSEL, 0, -1); }

bool TCustomEdit::MultiLine() {
  return HandleAllocated() && (GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_MULTILINE) != 0;
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, "EDIT");
  params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
  if (passwordChar_ != 0) params.Style |= ES_PASSWORD;
  if (readOnly_) params.Style |= ES_READONLY;
  if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
  if (!hideSelection_) params.Style |= ES_NOHIDESEL;
  if (oemConvert_) params.Style |= ES_OEMCONVERT;
}

void TCustomEdit::CreateWnd() {
  // Kept by the control while it had no window; the base forgets it once the window exists.
  String text = Text();
  creating_ = true;
  try {
    inherited::CreateWnd();
    // A multi-line window is made without its text (a long one must not ride on the
    // creation call) and gets it now; the text resets the window's modified flag, so the
    // flag comes after it.
    if (MultiLine() && !text.empty()) Send(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  } catch (...) {
    creating_ = false;
    throw;
  }
  creating_ = false;
  // 0 lifts the window's default limit to the platform's maximum.
  Send(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_));
  Send(Handle(), EM_SETMODIFY, modified_ ? 1 : 0);
  if (passwordChar_ != 0) Send(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_));
  AdjustHeight();
}

void TCustomEdit::DestroyWnd() {
  modified_ = Send(Handle(), EM_GETMODIFY) != 0;
  inherited::DestroyWnd();
}

void TCustomEdit::AdjustSize() { AdjustHeight(); }

bool TCustomEdit::CanAutoSize(int&, int&) { return false; }

void TCustomEdit::AdjustHeight() {
  if (!AutoSize() || borderStyle_ != bsSingle) return;
  if (ComponentState().Contains(csLoading) && ComponentState().Contains(csDesigning)) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int border = GetSystemMetrics(SM_CYBORDER);
  SetHeight(metrics.tmHeight + border * (Ctl3D() ? 8 : 6));
}

void TCustomEdit::Change() {
  if (Parent()) Parent()->Perform(FM_CHANGED, 0, reinterpret_cast<std::intptr_t>(this));
  onChange_(this);
}

void TCustomEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case Reflected(WM_COMMAND):
      if (HIWORD(message.WParam) == EN_CHANGE && !creating_) Change();
      break;
    case FM_TEXT_CHANGED:
      // A multi-line window says nothing of text set by WM_SETTEXT; a single-line one does.
      if (!HandleAllocated() || MultiLine()) Change();
      break;
    case FM_ENTER:
      if (autoSelect_ && !MultiLine() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
      inherited::Dispatch(message);
      break;
    case WM_SETFONT:
      inherited::Dispatch(message);
      if (HandleAllocated() && !MultiLine())
        Send(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
      break;
    case FM_FONT_CHANGED:
      inherited::Dispatch(message);
      AdjustHeight();
      break;
    case FM_CTL3D_CHANGED:
      inherited::Dispatch(message);
      if (borderStyle_ == bsSingle) RecreateWnd();
      AdjustHeight();
      break;
    case WM_CONTEXTMENU:
      if (CanFocus()) SetFocus();
      inherited::Dispatch(message);
      break;
    default:
      inherited::Dispatch(message);
  }
}

// ---- TMemoStrings ----

TAVELO_CLASS_IMPL(TMemoStrings)

HWND TMemoStrings::Window() const { return memo_->Handle(); }

int TMemoStrings::GetCount() const {
  if (!memo_->HandleAllocated() && memo_->Perform(WM_GETTEXTLENGTH, 0, 0) == 0) return 0;
  HWND window = Window();
  int count = static_cast<int>(Send(window, EM_GETLINECOUNT));
  // The empty line after a final line break is no line of the list.
  if (Send(window, EM_LINELENGTH, static_cast<WPARAM>(Send(window, EM_LINEINDEX, count - 1))) == 0) --count;
  return count;
}

String TMemoStrings::Get(int index) const {
  HWND window = Window();
  int start = static_cast<int>(Send(window, EM_LINEINDEX, static_cast<WPARAM>(index)));
  if (start < 0) return String();
  int length = static_cast<int>(Send(window, EM_LINELENGTH, static_cast<WPARAM>(start)));
  if (length <= 0) return String();
  // The whole line, however long: minified sources have lines of hundreds of kilobytes.
  if (length <= 0xFFFF) {
    // EM_GETLINE takes the buffer's size in its first 16-bit word.
    std::string buffer(std::max<std::size_t>(static_cast<std::size_t>(length) + 1, sizeof(WORD)), '\0');
    *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(length);
    int got = static_cast<int>(Send(window, EM_GETLINE, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(buffer.data())));
    buffer.resize(static_cast<std::size_t>(std::clamp(got, 0, length)));
    return String(buffer);
  }
  // Past what that word can say, the window's text up to the line's end is read instead.
  std::string buffer(static_cast<std::size_t>(start) + length + 1, '\0');
  int got = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  if (got <= start) return String();
  return String(buffer.substr(static_cast<std::size_t>(start),
                              static_cast<std::size_t>(std::min(got - start, length))));
}

void TMemoStrings::Put(int index, String s) {
  HWND window = Window();
  int start = static_cast<int>(Send(window, EM_LINEINDEX, static_cast<WPARAM>(index)));
  if (start < 0) return;
  int length = static_cast<int>(Send(window, EM_LINELENGTH, static_cast<WPARAM>(start)));
  Send(window, EM_SETSEL, static_cast<WPARAM>(start), start + length);
  Send(window, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TMemoStrings::Insert(int index, String s) {
  if (index < 0) return;
  HWND window = Window();
  int at = static_cast<int>(Send(window, EM_LINEINDEX, static_cast<WPARAM>(index)));
  String line;
  if (at >= 0) {
    line = s + "\r\n";
  } else {
    // Past the last line: the line goes after the previous one, which must hold something.
    if (index == 0) return;
    at = static_cast<int>(Send(window, EM_LINEINDEX, static_cast<WPARAM>(index - 1)));
    if (at < 0) return;
    int length = static_cast<int>(Send(window, EM_LINELENGTH, static_cast<WPARAM>(at)));
    if (length == 0) return;
    at += length;
    line = "\r\n" + s;
  }
  Send(window, EM_SETSEL, static_cast<WPARAM>(at), at);
  Send(window, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TMemoStrings::Delete(int index) {
  HWND window = Window();
  int start = static_cast<int>(Send(window, EM_LINEINDEX, static_cast<WPARAM>(index)));
  if (start < 0) return;
  int end = static_cast<int>(Send(window, EM_LINEINDEX, static_cast<WPARAM>(index + 1)));
  // The last line goes without the line break before it.
  if (end < 0) end = start + static_cast<int>(Send(window, EM_LINELENGTH, static_cast<WPARAM>(start)));
  Send(window, EM_SETSEL, static_cast<WPARAM>(start), end);
  Send(window, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

void TMemoStrings::Clear() {
  // The text set directly: no change notification.
  memo_->Perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(""));
}

String TMemoStrings::GetTextStr() const { return memo_->Text(); }

void TMemoStrings::SetTextStr(const String& value) {
  String text = NormalizeLineBreaks(value);
  // The window holds text up to the first NUL.
  text.resize(std::strlen(text.c_str()));
  if (static_cast<std::size_t>(memo_->Perform(WM_GETTEXTLENGTH, 0, 0)) == text.size() && memo_->Text() == text)
    return;
  if (memo_->Perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(text.c_str())) == 0)
    throw EInvalidOperation(SMemoTextTooLarge);
  memo_->Perform(FM_TEXT_CHANGED, 0, 0);
}

void TMemoStrings::SetUpdateState(bool updating) {
  if (!memo_->HandleAllocated()) return;
  Send(memo_->Handle(), WM_SETREDRAW, updating ? 0 : 1);
  if (!updating) {
    // WM_SETREDRAW disturbs the window's visibility: the memo asserts it again.
    memo_->Perform(FM_SHOWING_CHANGED, 0, 0);
    memo_->Refresh();
  }
}

// ---- TCustomMemo ----

TAVELO_CLASS_IMPL(TCustomMemo)

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(this)) {
  SetBounds(Left(), Top(), 185, 89);
  TCustomEdit::SetAutoSize(false);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

TPoint TCustomMemo::CaretPos() {
  DWORD start = 0, end = 0;
  Send(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  int line = static_cast<int>(Send(Handle(), EM_LINEFROMCHAR, end));
  int lineStart = static_cast<int>(Send(Handle(), EM_LINEINDEX, static_cast<WPARAM>(-1)));
  return TPoint{static_cast<int>(end) - lineStart, line};
}

void TCustomMemo::SetCaretPos(TPoint value) {
  int at = static_cast<int>(Send(Handle(), EM_LINEINDEX, static_cast<WPARAM>(value.y))) + value.x;
  Send(Handle(), EM_SETSEL, static_cast<WPARAM>(at), at);
}

void TCustomMemo::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  // The text follows creation (TCustomEdit::CreateWnd).
  params.Caption = String();
  TAlignment alignment = alignment_;
  if (UseRightToLeftAlignment()) ChangeBiDiModeAlignment(alignment);
  constexpr DWORD kAlignmentStyles[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  params.Style |= ES_MULTILINE | kAlignmentStyles[alignment];
  if (wordWrap_) params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
}

void TCustomMemo::KeyPress(char& key) {
  inherited::KeyPress(key);
  if (key == '\r' && !wantReturns_) key = 0;
}

void TCustomMemo::Loaded() {
  inherited::Loaded();
  SetModified(false);
}

void TCustomMemo::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      if (wantTabs_)
        message.Result |= DLGC_WANTTAB;
      else
        message.Result &= ~static_cast<std::intptr_t>(DLGC_WANTTAB);
      if (!wantReturns_) message.Result &= ~static_cast<std::intptr_t>(DLGC_WANTALLKEYS);
      break;
    default:
      inherited::Dispatch(message);
  }
}

// Seam: BiDiMode's drag, dock and context-popup companions and the remaining events join
// in their places when the control has them.
TAVELO_PUBLISH(TMemo) {
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alNone);
  c.Property("Alignment", &Self::Alignment, &Self::SetAlignment).Default(taLeftJustify);
  c.Property("Anchors", &Self::Anchors, &Self::SetAnchors);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode);
  c.Property("BorderStyle", &Self::BorderStyle, &Self::SetBorderStyle).Default(bsSingle);
  c.Property("Color", &Self::Color, &Self::SetColor).Default(clWindow);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("Ctl3D", &Self::Ctl3D, &Self::SetCtl3D);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("HideSelection", &Self::HideSelection, &Self::SetHideSelection).Default(true);
  c.Property("Lines", &Self::Lines, &Self::SetLines);
  c.Property("MaxLength", &Self::MaxLength, &Self::SetMaxLength).Default(0);
  c.Property("OEMConvert", &Self::OEMConvert, &Self::SetOEMConvert).Default(false);
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
  c.Property("ParentColor", &Self::ParentColor, &Self::SetParentColor).Default(false);
  c.Property("ParentCtl3D", &Self::ParentCtl3D, &Self::SetParentCtl3D).Default(true);
  c.Property("ParentFont", &Self::ParentFont, &Self::SetParentFont).Default(true);
  c.Property("ReadOnly", &Self::ReadOnly, &Self::SetReadOnly).Default(false);
  c.Property("ScrollBars", &Self::ScrollBars, &Self::SetScrollBars).Default(ssNone);
  c.Property("ShowHint", &Self::ShowHint, &Self::SetShowHint);
  c.Property("TabOrder", &Self::TabOrder, &Self::SetTabOrder);
  c.Property("TabStop", &Self::TabStop, &Self::SetTabStop).Default(true);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Property("WantReturns", &Self::WantReturns, &Self::SetWantReturns).Default(true);
  c.Property("WantTabs", &Self::WantTabs, &Self::SetWantTabs).Default(false);
  c.Property("WordWrap", &Self::WordWrap, &Self::SetWordWrap).Default(true);
  c.Event("OnChange", &Self::OnChange, &Self::SetOnChange);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
  c.Event("OnDblClick", &Self::OnDblClick, &Self::SetOnDblClick);
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
