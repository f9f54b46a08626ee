#include <gtest/gtest.h>

#include <string>

#include "controls/application.h"
#include "controls/extctrls.h"
#include "controls/screen.h"
#include "core/exceptions.h"
#include "dialogs/msgdlg.h"
#include "dialogs/tests/dialog_test_support.h"

namespace tavelo::testing {
namespace {

class MessageDialogTest : public ::testing::Test {
protected:
  void SetUp() override { StartControls(); }
  void TearDown() override { StopControls(); }
};

// The message dialog on the screen now, if any.
TMessageForm* ShownMessageForm() {
  for (int i = 0; i < Screen()->CustomFormCount(); ++i)
    if (auto* form = DynamicCast<TMessageForm>(Screen()->CustomForms(i)))
      if (form->HandleAllocated() && IsWindowVisible(form->Handle())) return form;
  return nullptr;
}

// Runs a yes/no warning while the steps act on it; a dialog that will not close ends as
// an abort.
TModalResult RunDialog(const String& text, TDialogButtons buttons, std::function<bool(TMessageForm*)> step) {
  TModalDriver driver(
      [&] {
        TMessageForm* form = ShownMessageForm();
        return form && step(form);
      },
      [] {
        if (TMessageForm* form = ShownMessageForm()) form->SetModalResult(ResultAbort);
      });
  return ShowMessageDialog(text, DialogWarning, buttons, 0);
}

// Presses a key once the dialog is up and in front.
std::function<bool(TMessageForm*)> Press(std::initializer_list<WORD> modifiers, WORD key) {
  return [modifiers = std::vector<WORD>(modifiers), key, sent = false](TMessageForm* form) mutable {
    if (GetForegroundWindow() != form->Handle()) {
      SetForegroundWindow(form->Handle());
      return false;
    }
    if (!sent) {
      sent = true;
      PressKeys(modifiers, key);
    }
    return true;
  };
}

// A click on the caption's close button, found by asking the frame where it is.
bool ClickCloseButton(TMessageForm* form) {
  if (GetForegroundWindow() != form->Handle()) {
    SetForegroundWindow(form->Handle());
    return false;
  }
  RECT frame;
  GetWindowRect(form->Handle(), &frame);
  for (int x = frame.right - 1; x > frame.left; --x)
    for (int y = frame.top; y < frame.top + 40; ++y) {
      if (SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE) continue;
      SetCursorPos(x - 2, y + 2);
      INPUT input[2] = {};
      input[0].type = input[1].type = INPUT_MOUSE;
      input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      SendInput(2, input, sizeof(INPUT));
      return true;
    }
  ADD_FAILURE() << "no close button on the caption";
  return true;
}

TEST_F(MessageDialogTest, ATwoLineWarningIsLaidOutFromItsTextWithOuiLeftOfNon) {
  const String text = "Le document a été modifié.\nVoulez-vous enregistrer les modifications ?";
  std::unique_ptr<TMessageForm> form(BuildMessageDialog(text, DialogWarning, {ButtonYes, ButtonNo}));

  // The expected geometry, measured apart with the system's message font.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0));
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontIndirectA(&metrics.lfMessageFont);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE alphabet;
  GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  RECT line{0, 0, 0, 0};
  DrawTextA(dc, "Voulez-vous enregistrer les modifications ?", -1, &line, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  const int ux = alphabet.cx / 52, uy = alphabet.cy;
  const int hm = MulDiv(8, ux, 4), vm = MulDiv(8, uy, 8), hs = MulDiv(10, ux, 4), vs = MulDiv(10, uy, 8);
  const int bh = MulDiv(14, uy, 8), bw = MulDiv(50, ux, 4), bsp = MulDiv(4, ux, 4);

  EXPECT_EQ(form->Caption(), "Avertissement");
  EXPECT_EQ(form->BorderStyle(), bsDialog);
  EXPECT_TRUE(form->KeyPreview());
  auto* image = DynamicCast<TImage>(form->FindComponent("Image"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Left(), hm);
  EXPECT_EQ(image->Top(), vm);
  EXPECT_EQ(image->Width(), 32);
  EXPECT_EQ(image->Height(), 32);
  ASSERT_NE(image->Picture()->Graphic(), nullptr);

  // Two lines of text right of the icon, as wide as the longer one.
  TLabel* message = form->Message;
  ASSERT_EQ(message, form->FindComponent("Message"));
  EXPECT_EQ(message->Caption(), text);
  EXPECT_TRUE(message->WordWrap());
  EXPECT_EQ(message->Left(), 32 + hs + hm);
  EXPECT_EQ(message->Top(), vm);
  EXPECT_GE(message->Width(), line.right);
  EXPECT_EQ(message->Height(), 2 * tm.tmHeight);

  auto* yes = DynamicCast<TButton>(form->FindComponent("Yes"));
  auto* no = DynamicCast<TButton>(form->FindComponent("No"));
  ASSERT_TRUE(yes && no);
  EXPECT_EQ(form->ComponentCount(), 4);  // image, label, two buttons
  EXPECT_EQ(yes->Caption(), "&Oui");
  EXPECT_EQ(no->Caption(), "&Non");
  EXPECT_EQ(yes->ModalResult(), ResultYes);
  EXPECT_EQ(no->ModalResult(), ResultNo);
  EXPECT_TRUE(yes->Default());
  EXPECT_FALSE(yes->Cancel());
  EXPECT_TRUE(no->Cancel());
  EXPECT_FALSE(no->Default());
  EXPECT_GE(yes->Width(), bw);
  EXPECT_EQ(yes->Width(), no->Width());
  EXPECT_EQ(yes->Height(), bh);
  EXPECT_EQ(no->Left(), yes->Left() + yes->Width() + bsp);
  // Two lines of the message font are lower than the icon, which sets the height.
  const int textBottom = std::max(message->Height(), 32);
  EXPECT_EQ(yes->Top(), textBottom + vm + vs);
  EXPECT_EQ(no->Top(), yes->Top());

  // The client area holds the text and the buttons with the margins, the buttons centred.
  const int iconText = 32 + hs + message->Width();
  const int group = 2 * yes->Width() + bsp;
  EXPECT_EQ(form->ClientWidth(), std::max(iconText, group) + 2 * hm);
  EXPECT_EQ(form->ClientHeight(), textBottom + bh + vs + 2 * vm);
  EXPECT_EQ(yes->Left(), (form->ClientWidth() - group) / 2);
  EXPECT_EQ(form->Left(), Screen()->Width() / 2 - form->Width() / 2);
  EXPECT_EQ(form->Top(), Screen()->Height() / 2 - form->Height() / 2);
}

TEST_F(MessageDialogTest, KindsGiveTheirCaptionsAndOnlyACustomDialogHasNoIcon) {
  Application()->SetTitle("Tavelo");
  const std::pair<TMessageKind, const char*> kinds[] = {{DialogWarning, "Avertissement"},
                                                        {DialogError, "Erreur"},
                                                        {DialogInformation, "Information"},
                                                        {DialogConfirmation, "Confirmation"},
                                                        {DialogCustom, "Tavelo"}};
  for (auto [kind, caption] : kinds) {
    std::unique_ptr<TMessageForm> form(BuildMessageDialog("x", kind, {ButtonOk}));
    EXPECT_EQ(form->Caption(), caption);
    EXPECT_EQ(form->FindComponent("Image") != nullptr, kind != DialogCustom) << caption;
  }

  // Every button, in the set's order, with its French caption and result.
  std::unique_ptr<TMessageForm> all(BuildMessageDialog(
      "x", DialogCustom,
      {ButtonYes, ButtonNo, ButtonOk, ButtonCancel, ButtonAbort, ButtonRetry, ButtonIgnore, ButtonAll, ButtonNoToAll,
       ButtonYesToAll, ButtonHelp}));
  const std::tuple<const char*, const char*, TModalResult> buttons[] = {
      {"Yes", "&Oui", 6},          {"No", "&Non", 7},        {"OK", "OK", 1},
      {"Cancel", "Annuler", 2},    {"Abort", "&Abandonner", 3}, {"Retry", "&Retenter", 4},
      {"Ignore", "&Ignorer", 5},   {"All", "&Tous", 8},      {"NoToAll", "Non &pour tout", 9},
      {"YesToAll", "O&ui pour tout", 10}, {"Help", "&Aide", 0}};
  int left = -1;
  ASSERT_EQ(all->ComponentCount(), 12);
  for (int i = 0; i < 11; ++i) {
    auto* button = DynamicCast<TButton>(all->Components(i + 1));
    ASSERT_NE(button, nullptr);
    auto [name, caption, result] = buttons[i];
    EXPECT_EQ(button->Name(), name);
    EXPECT_EQ(button->Caption(), caption);
    EXPECT_EQ(button->ModalResult(), result);
    EXPECT_EQ(button->Default(), i == 2) << name;  // OK before Oui
    EXPECT_EQ(button->Cancel(), i == 3) << name;   // Annuler before Non
    EXPECT_GT(button->Left(), left);
    left = button->Left();
  }
}

TEST_F(MessageDialogTest, ALongLineWrapsAtHalfTheScreenAndNoButtonsLeaveOnlyTheText) {
  String text;
  for (int i = 0; i < 60; ++i) text += "mot ";
  std::unique_ptr<TMessageForm> form(BuildMessageDialog(text, DialogCustom, {}));
  EXPECT_LE(form->Message->Width(), Screen()->Width() / 2);
  EXPECT_GT(form->Message->Height(), form->Canvas()->TextHeight("Ag"));
  EXPECT_EQ(form->ComponentCount(), 1);
  const int hm = form->Message->Left();  // no icon: the text starts at the margin
  EXPECT_EQ(form->ClientWidth(), form->Message->Width() + 2 * hm);
}

TEST_F(MessageDialogTest, EnterGivesOuiEscapeGivesNonAndTheCloseButtonCancels) {
  EXPECT_EQ(RunDialog("Enregistrer ?", {ButtonYes, ButtonNo}, Press({}, VK_RETURN)), ResultYes);
  EXPECT_EQ(RunDialog("Enregistrer ?", {ButtonYes, ButtonNo}, Press({}, VK_ESCAPE)), ResultNo);
  EXPECT_EQ(RunDialog("Enregistrer ?", {ButtonYes, ButtonNo}, ClickCloseButton), ResultCancel);
  // The dialog is gone once answered.
  EXPECT_EQ(ShownMessageForm(), nullptr);
  EXPECT_EQ(Application()->ComponentCount(), 0);
}

TEST_F(MessageDialogTest, AHelpButtonAloneClosesNothingAndLeavesEnterAndEscapeIdle) {
  int step = 0;
  TModalResult result = RunDialog("Aide", {ButtonHelp}, [&](TMessageForm* form) {
    if (GetForegroundWindow() != form->Handle()) {
      SetForegroundWindow(form->Handle());
      return false;
    }
    switch (step++) {
      case 0:
        PressKeys({}, VK_SPACE);  // presses the focused help button
        PressKeys({}, VK_RETURN);
        PressKeys({}, VK_ESCAPE);
        // Keys come in order: the dialog still open after this one saw the three before.
        PressKeys({}, VK_F5);
        return false;
      default:
        if (GetQueueStatus(QS_KEY) != 0 || step < 5) return false;
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
        EXPECT_EQ(form->ModalResult(), ResultNone);
        return ClickCloseButton(form);
    }
  });
  EXPECT_EQ(result, ResultCancel);
}

TEST_F(MessageDialogTest, CtrlCCopiesCaptionTextAndButtonsButCtrlShiftCDoesNot) {
  SetPlatformClipboardText("avant");
  int phase = 0;
  TModalResult result = RunDialog("x", {ButtonYes, ButtonNo}, [&](TMessageForm* form) {
    if (GetForegroundWindow() != form->Handle()) {
      SetForegroundWindow(form->Handle());
      return false;
    }
    if (phase == 0) {
      phase = 1;
      PressKeys({VK_CONTROL, VK_SHIFT}, 'C');
      PressKeys({}, VK_ESCAPE);  // closes only after the key before was handled
    }
    return true;
  });
  EXPECT_EQ(result, ResultNo);
  EXPECT_EQ(PlatformClipboardText(), "avant");

  result = RunDialog("x", {ButtonYes, ButtonNo}, [&](TMessageForm* form) {
    if (GetForegroundWindow() != form->Handle()) {
      SetForegroundWindow(form->Handle());
      return false;
    }
    if (phase == 1) {
      phase = 2;
      PressKeys({VK_CONTROL}, 'C');
      return false;
    }
    if (PlatformClipboardText() == "avant") return false;
    PressKeys({}, VK_ESCAPE);
    return true;
  });
  EXPECT_EQ(result, ResultNo);
  const std::string divider = "---------------------------\r\n";
  EXPECT_EQ(PlatformClipboardText(),
            divider + "Avertissement\r\n" + divider + "x\r\n" + divider + "Oui   Non   \r\n" + divider);
}

}  // namespace
}  // namespace tavelo::testing
