#include "dialogs/msgdlg.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "controls/application.h"
#include "controls/extctrls.h"
#include "core/exceptions.h"
#include "core/publish.h"
#include "core/rtlconsts.h"
#include "core/sysutils.h"
#include "dialogs/dialogconsts.h"

namespace tavelo {

namespace {

struct TButtonInfo {
  const char* name;
  const char* caption;
  TModalResult result;
};

constexpr TButtonInfo kButtons[] = {
    {"Yes", SMsgDlgYes, ResultYes},
    {"No", SMsgDlgNo, ResultNo},
    {"OK", SMsgDlgOK, ResultOk},
    {"Cancel", SMsgDlgCancel, ResultCancel},
    {"Abort", SMsgDlgAbort, ResultAbort},
    {"Retry", SMsgDlgRetry, ResultRetry},
    {"Ignore", SMsgDlgIgnore, ResultIgnore},
    {"All", SMsgDlgAll, ResultAll},
    {"NoToAll", SMsgDlgNoToAll, ResultNoToAll},
    {"YesToAll", SMsgDlgYesToAll, ResultYesToAll},
    {"Help", SMsgDlgHelp, ResultNone},
};
constexpr int kButtonCount = static_cast<int>(std::size(kButtons));

constexpr const char* kCaptions[] = {SMsgDlgWarning, SMsgDlgError, SMsgDlgInformation, SMsgDlgConfirm};
// The platform's standard icons, by kind (none for a custom dialog).
constexpr int kIconIds[] = {32515, 32513, 32516, 32514, 0};

// Caption widths measure once per process: the font of the message dialogs does not change.
int buttonWidths[kButtonCount] = {};

void SetFormFontFromSystem(TMessageForm* form) {
  NONCLIENTMETRICSA metrics{};
  // The structure as the oldest platforms know it, without the padded border width.
  metrics.cbSize = 340;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
    form->Font()->SetHandle(CreateFontIndirectA(&metrics.lfMessageFont));
}

String StripAmpersands(const String& text) {
  String result;
  for (char c : text)
    if (c != '&') result += c;
  return result;
}

// The dialog's text reaches the clipboard by the platform calls alone: the dialog works
// without the framework's clipboard object.
void CopyTextToClipboard(const String& text) {
  if (!OpenClipboard(nullptr)) throw Exception(SCannotOpenClipboard);
  try {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
    if (!block) throw EOutOfMemory(SOutOfMemory);
    try {
      void* bytes = GlobalLock(block);
      if (!bytes) throw EOutOfMemory(SOutOfMemory);
      std::memcpy(bytes, text.c_str(), text.size() + 1);
      GlobalUnlock(block);
      EmptyClipboard();
      SetClipboardData(CF_TEXT, block);
    } catch (...) {
      GlobalFree(block);
      throw;
    }
  } catch (...) {
    CloseClipboard();
    throw;
  }
  CloseClipboard();
}

}  // namespace

TAVELO_CLASS_IMPL(TMessageForm)

TMessageForm::TMessageForm(TComponent* owner) : TForm(owner, 0) {}

String TMessageForm::DialogText() const {
  const String divider = String(27, '-') + "\r\n";
  String buttons;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* button = DynamicCast<TButton>(Components(i))) buttons += button->Caption() + "   ";
  buttons = StripAmpersands(buttons);
  return Format("%s%s%s%s%s%s%s%s%s%s", {divider, Caption(), "\r\n", divider, Message ? Message->Caption() : String(),
                                         "\r\n", divider, buttons, "\r\n", divider});
}

void TMessageForm::CustomKeyDown(TObject*, std::uint16_t& key, TShiftState shift) {
  if (shift.Bits() == TShiftState{ssCtrl}.Bits() && key == 'C') {
    MessageBeep(0);
    CopyTextToClipboard(DialogText());
  }
}

void TMessageForm::HelpButtonClick(TObject*) {
  // Context help needs a help system, which the application does not carry.
}

TMessageForm* BuildMessageDialog(const String& text, TMessageKind kind, TDialogButtons buttons) {
  auto form = std::make_unique<TMessageForm>(Application());
  SetFormFontFromSystem(form.get());
  form->SetBorderStyle(bsDialog);
  form->Canvas()->SetFont(form->Font());
  form->SetKeyPreview(true);
  form->SetOnKeyDown(TKeyEvent::Bind<&TMessageForm::CustomKeyDown>(form.get()));

  TSize alphabet = form->Canvas()->TextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int unitX = alphabet.cx / 52;
  const int unitY = alphabet.cy;
  const int horzMargin = MulDiv(8, unitX, 4);
  const int vertMargin = MulDiv(8, unitY, 8);
  const int horzSpacing = MulDiv(10, unitX, 4);
  const int vertSpacing = MulDiv(10, unitY, 8);
  int buttonWidth = MulDiv(50, unitX, 4);
  const int buttonHeight = MulDiv(14, unitY, 8);
  const int buttonSpacing = MulDiv(4, unitX, 4);
  HDC dc = form->Canvas()->Handle();
  const UINT readingOrder = form->DrawTextBiDiModeFlagsReadingOnly();

  int count = 0;
  for (int b = 0; b < kButtonCount; ++b) {
    if (!buttons.Contains(static_cast<TDialogButton>(b))) continue;
    ++count;
    if (buttonWidths[b] == 0) {
      RECT r{0, 0, 0, 0};
      DrawTextA(dc, kButtons[b].caption, -1, &r, DT_CALCRECT | DT_LEFT | DT_SINGLELINE | readingOrder);
      buttonWidths[b] = r.right - r.left + 8;
    }
    buttonWidth = std::max(buttonWidth, buttonWidths[b]);
  }

  RECT textRect{0, 0, Screen()->Width() / 2, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()) + 1, &textRect,
            DT_EXPANDTABS | DT_CALCRECT | DT_WORDBREAK | readingOrder);
  const int iconId = kIconIds[kind];
  int iconTextWidth = textRect.right;
  int iconTextHeight = textRect.bottom;
  if (iconId) {
    iconTextWidth += 32 + horzSpacing;
    iconTextHeight = std::max(iconTextHeight, 32);
  }
  const int groupWidth = count ? count * buttonWidth + (count - 1) * buttonSpacing : 0;
  form->SetClientWidth(std::max(iconTextWidth, groupWidth) + 2 * horzMargin);
  form->SetClientHeight(iconTextHeight + buttonHeight + vertSpacing + 2 * vertMargin);
  form->SetLeft(Screen()->Width() / 2 - form->Width() / 2);
  form->SetTop(Screen()->Height() / 2 - form->Height() / 2);
  form->SetCaption(kind == DialogCustom ? Application()->Title() : String(kCaptions[kind]));

  if (iconId) {
    auto* image = new TImage(form.get());
    image->SetName("Image");
    image->SetParent(form.get());
    image->Picture()->Icon()->SetHandle(LoadIconA(nullptr, MAKEINTRESOURCEA(iconId)));
    image->SetBounds(horzMargin, vertMargin, 32, 32);
  }

  auto* message = new TLabel(form.get());
  form->Message = message;
  message->SetName("Message");
  message->SetParent(form.get());
  message->SetWordWrap(true);
  message->SetCaption(text);
  message->SetBiDiMode(form->BiDiMode());
  int left = iconTextWidth - textRect.right + horzMargin;
  if (message->UseRightToLeftAlignment()) left = form->ClientWidth() - left - message->Width();
  message->SetBounds(left, vertMargin, textRect.right, textRect.bottom);

  const TDialogButton defaultButton = buttons.Contains(ButtonOk) ? ButtonOk : buttons.Contains(ButtonYes) ? ButtonYes : ButtonRetry;
  const TDialogButton cancelButton = buttons.Contains(ButtonCancel) ? ButtonCancel : buttons.Contains(ButtonNo) ? ButtonNo : ButtonOk;
  int x = (form->ClientWidth() - groupWidth) / 2;
  for (int b = 0; b < kButtonCount; ++b) {
    const auto which = static_cast<TDialogButton>(b);
    if (!buttons.Contains(which)) continue;
    auto* button = new TButton(form.get());
    button->SetName(kButtons[b].name);
    button->SetParent(form.get());
    button->SetCaption(kButtons[b].caption);
    button->SetModalResult(kButtons[b].result);
    if (which == defaultButton) button->SetDefault(true);
    if (which == cancelButton) button->SetCancel(true);
    button->SetBounds(x, iconTextHeight + vertMargin + vertSpacing, buttonWidth, buttonHeight);
    x += buttonWidth + buttonSpacing;
    if (which == ButtonHelp) button->SetOnClick(TNotifyEvent::Bind<&TMessageForm::HelpButtonClick>(form.get()));
  }
  return form.release();
}

TModalResult ShowMessageDialogAt(const String& text, TMessageKind kind, TDialogButtons buttons,
                                 THelpContext helpContext, int x, int y, const String& helpFile) {
  std::unique_ptr<TMessageForm> form(BuildMessageDialog(text, kind, buttons));
  form->SetHelpContext(helpContext);
  form->SetHelpFile(helpFile);
  if (x >= 0) form->SetLeft(x);
  if (y >= 0) form->SetTop(y);
  if (x < 0 && y < 0) form->SetPosition(poScreenCenter);
  return form->ShowModal();
}

TModalResult ShowMessageDialog(const String& text, TMessageKind kind, TDialogButtons buttons,
                               THelpContext helpContext) {
  return ShowMessageDialogAt(text, kind, buttons, helpContext, -1, -1, String());
}

void ShowPlainMessage(const String& text) { ShowPlainMessage(text, -1, -1); }

void ShowPlainMessage(const String& text, int x, int y) {
  ShowMessageDialogAt(text, DialogCustom, {ButtonOk}, 0, x, y, String());
}

}  // namespace tavelo
