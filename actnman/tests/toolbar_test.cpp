// The tool bar as the editor shows it: flat buttons with image and caption, the overflow
// button at its end, buttons hidden and shown again as the bar narrows and widens, the
// button's frame and pressed look, and the drop-down button's two parts.
#include "actnman/tests/toolbar_test_support.h"

#include "actnman/actnconsts.h"
#include "core/messages.h"

namespace tavelo::testing {
namespace {

COLORREF Rgb(TColor color) { return ColorToRGB(color); }

int CaptionWidth(TControl* control, const String& caption) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, control->Font()->Handle());
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  DeleteDC(dc);
  return r.right - r.left;
}

// Whether some pixel of the rectangle differs from colour.
bool AnyPixelOtherThan(const TSurface& surface, const TRect& r, COLORREF color) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (surface.At(x, y) != color) return true;
  return false;
}

using ToolBarLayout = ToolBarFixture;

TEST_F(ToolBarLayout, TheEditorsBarShowsSixButtonsWithImageAndCaptionAndADisabledOverflowButton) {
  Open();
  ASSERT_EQ(bar->ItemCount(), 6);
  EXPECT_EQ(bar->Width(), 688);
  EXPECT_EQ(bar->Height(), 29);
  EXPECT_EQ(bar->Align(), alTop);
  for (int i = 0; i < 6; ++i) {
    TCustomActionControl* button = Button(i);
    ASSERT_TRUE(button) << i;
    EXPECT_TRUE(button->Is<TCustomButtonControl>());
    EXPECT_FALSE(button->Is<TCustomDropDownButton>());
    EXPECT_TRUE(button->Visible()) << i;
    // Margins 4, image 16, spacing 3, the caption, and one pixel more for a button.
    EXPECT_EQ(button->Width(), 4 + 16 + 3 + CaptionWidth(button, kToolCaptions[static_cast<std::size_t>(i)]) + 4 + 1)
        << i;
    EXPECT_EQ(button->Spacing(), 3);
    if (i > 0) EXPECT_EQ(button->Left(), Button(i - 1)->Left() + Button(i - 1)->Width());
  }
  EXPECT_EQ(Button(0)->Left(), 1);
  EXPECT_EQ(Button(0)->Top(), 1);

  TCustomToolScrollBtn* overflow = bar->OverflowButton();
  ASSERT_TRUE(overflow);
  EXPECT_EQ(overflow->Hint(), "Boutons supplémentaires");
  EXPECT_EQ(overflow->Align(), alRight);
  EXPECT_EQ(overflow->Direction(), sdRight);
  EXPECT_EQ(overflow->Width(), 11);
  EXPECT_EQ(overflow->Left() + overflow->Width(), 688);
  EXPECT_FALSE(overflow->Enabled());
  EXPECT_EQ(bar->HiddenCount(), 0);

  auto shot = Snapshot();
  COLORREF face = Rgb(clBtnFace);
  for (int i = 0; i < 6; ++i) {
    TCustomActionControl* button = Button(i);
    TPoint glyph = button->GlyphPos();
    EXPECT_EQ(glyph.x, 4);
    EXPECT_EQ(shot->At(button->Left() + glyph.x + 8, button->Top() + glyph.y + 8), ImageColor(i)) << i;
    // The masked corner lets the face through.
    EXPECT_EQ(shot->At(button->Left() + glyph.x, button->Top() + glyph.y), face) << i;
    TRect text = button->TextBounds();
    OffsetRect(&text, button->Left(), button->Top());
    EXPECT_TRUE(AnyPixelOtherThan(*shot, text, face)) << "caption " << i;
  }
  // No chevrons on a button with nothing behind it: only the small arrow, greyed.
  TRect top = Rect(overflow->Left(), 0, overflow->Left() + overflow->Width(), overflow->Height() - 9);
  EXPECT_FALSE(AnyPixelOtherThan(*shot, top, face));
  int arrowX = overflow->Left() + overflow->Width() / 2 - 2;
  int arrowY = overflow->Top() + overflow->Height() - 8;
  EXPECT_EQ(shot->At(arrowX + 2, arrowY + 1), Rgb(clBtnShadow));
}

TEST_F(ToolBarLayout, NarrowingHidesTheLastButtonAndWideningShowsItAgain) {
  Open();
  TCustomActionControl* last = Button(5);
  TCustomActionControl* before = Button(4);
  const int lastRight = last->Left() + last->Width();
  // One pixel short of the overflow button: nothing happens.
  form->SetClientWidth(lastRight + 12);
  EXPECT_TRUE(last->Visible());
  EXPECT_EQ(bar->HiddenCount(), 0);
  EXPECT_FALSE(bar->OverflowButton()->Enabled());
  // The last button's right edge reaches the overflow button: it goes behind it.
  form->SetClientWidth(lastRight + 11);
  EXPECT_FALSE(last->Visible());
  ASSERT_EQ(bar->HiddenCount(), 1);
  EXPECT_EQ(bar->HiddenButtons(0), last);
  EXPECT_TRUE(bar->OverflowButton()->Enabled());
  EXPECT_TRUE(before->Visible());
  // Now the chevrons show.
  {
    auto shot = Snapshot();
    TCustomToolScrollBtn* overflow = bar->OverflowButton();
    TRect top = Rect(overflow->Left(), 0, overflow->Left() + overflow->Width(), overflow->Height() - 9);
    EXPECT_TRUE(AnyPixelOtherThan(*shot, top, Rgb(clBtnFace)));
  }
  // Back it comes once it fits before the overflow button, and not a pixel earlier.
  const int needed = before->Left() + before->Width() + last->Width() + 1 + 11;
  form->SetClientWidth(needed - 1);
  EXPECT_FALSE(last->Visible());
  form->SetClientWidth(needed);
  EXPECT_TRUE(last->Visible());
  EXPECT_EQ(bar->HiddenCount(), 0);
  EXPECT_FALSE(bar->OverflowButton()->Enabled());
}

TEST_F(ToolBarLayout, AJumpInWidthSettlesAtOnce) {
  Open();
  const int thirdRight = Button(2)->Left() + Button(2)->Width();
  form->SetClientWidth(thirdRight + 12);
  EXPECT_EQ(bar->HiddenCount(), 3);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(Button(i)->Visible(), i < 3) << i;
  // The last hidden comes back first.
  EXPECT_EQ(bar->HiddenButtons(2), Button(3));
  form->SetClientWidth(688);
  EXPECT_EQ(bar->HiddenCount(), 0);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(Button(i)->Visible()) << i;
}

TEST_F(ToolBarLayout, TheLeastRecentlyUsedButtonGoesFirstAndTheFirstOneStays) {
  for (int i = 0; i < 6; ++i) barItem->Items()->ActionClients(i)->SetLastSession(5);
  barItem->Items()->ActionClients(2)->SetLastSession(1);
  barItem->Items()->ActionClients(0)->SetLastSession(0);  // never a victim
  manager->ActionBars()->SetSessionCount(6);
  Open();
  const int lastRight = Button(5)->Left() + Button(5)->Width();
  form->SetClientWidth(lastRight + 11);
  ASSERT_EQ(bar->HiddenCount(), 1);
  EXPECT_EQ(bar->HiddenButtons(0), Button(2));
  EXPECT_FALSE(Button(2)->Visible());
  EXPECT_TRUE(Button(0)->Visible());
  EXPECT_TRUE(Button(5)->Visible());
}

TEST_F(ToolBarLayout, AutoSizeDropsTheOverflowButtonAndWrapsWithARowSeparator) {
  Open();
  form->SetClientWidth(Button(2)->Left() + Button(2)->Width() + 11);
  ASSERT_GT(bar->HiddenCount(), 0);
  barItem->SetAutoSize(true);
  bar->SetAutoSize(true);
  EXPECT_FALSE(bar->OverflowButton());
  EXPECT_EQ(bar->HiddenCount(), 0);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(Button(i)->Visible()) << i;
  bar->Realign();
  ASSERT_GT(bar->RowCount(), 1);
  EXPECT_GT(Button(5)->Top(), Button(0)->Top());
  // The separator between the first two rows: a shadow line, then a highlight line.
  int h = Button(5)->Height();
  int p = 2 * bar->VertMargin() + h + 1;
  auto shot = Snapshot();
  EXPECT_EQ(shot->At(10, p - 1), Rgb(clBtnShadow));
  EXPECT_EQ(shot->At(10, p), Rgb(clBtnHighlight));
  bar->SetAutoSize(false);
  EXPECT_TRUE(bar->OverflowButton());
}

TEST_F(ToolBarLayout, DerivedColoursFollowTheBarColour) {
  bar->SetColor(clSilver);
  EXPECT_EQ(bar->ShadowColor(), AdjustLuminance(clSilver, -85));
  EXPECT_EQ(bar->HighlightColor(), AdjustLuminance(clSilver, 85));
}

using ToolBarButtons = ToolBarFixture;

TEST_F(ToolBarButtons, AFlatButtonIsFramedRaisedUnderTheMouseAndSunkenWhilePressed) {
  Open();
  auto* button = static_cast<TCustomButtonControl*>(Button(1));
  const int L = button->Left(), T = button->Top(), R = L + button->Width(), B = T + button->Height();
  COLORREF face = Rgb(clBtnFace);
  COLORREF light = Rgb(HighlightColorOf(clBtnFace));
  COLORREF dark = Rgb(clBtnShadow);
  {
    auto shot = Snapshot();  // flat: no frame at all
    EXPECT_EQ(shot->At(L + 3, T), face);
    EXPECT_EQ(shot->At(R - 1, T + 3), face);
  }
  button->Perform(FM_MOUSE_ENTER, 0, 0);
  EXPECT_TRUE(button->MouseInControl());
  {
    auto shot = Snapshot();
    EXPECT_EQ(shot->At(L + 3, T), light);
    EXPECT_EQ(shot->At(L, T + 3), light);
    EXPECT_EQ(shot->At(R - 1, T + 3), dark);
    EXPECT_EQ(shot->At(L + 3, B - 1), dark);
  }
  SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(L + 5, T + 5));
  EXPECT_EQ(button->State(), bsDown);
  {
    auto shot = Snapshot();
    EXPECT_EQ(shot->At(L + 3, T), dark);
    EXPECT_EQ(shot->At(L, T + 3), dark);
    EXPECT_EQ(shot->At(R - 1, T + 3), light);
    EXPECT_EQ(shot->At(L + 3, B - 1), light);
    // The image moved one pixel right and down.
    TPoint glyph = button->GlyphPos();
    EXPECT_EQ(shot->At(L + glyph.x + 2, T + glyph.y + 2), face);
    EXPECT_EQ(shot->At(L + glyph.x + 3, T + glyph.y + 3), ImageColor(1));
  }
  // Sliding off shows it up; back on, down again.
  SendMessageA(bar->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(L + 5, T + 5));
  button->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-3, 5));
  EXPECT_EQ(button->State(), bsUp);
  button->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(button->State(), bsDown);
  SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(L + 5, T + 5));
  EXPECT_EQ(button->State(), bsUp);
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(log.runs, std::vector<String>{"Action2"});
  EXPECT_EQ(barItem->Items()->ActionClients(1)->UsageCount(), 1);
}

TEST_F(ToolBarButtons, AReleaseOffTheButtonRunsNothingAndADisabledButtonHasNoFrame) {
  Open();
  auto* button = static_cast<TCustomButtonControl*>(Button(0));
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(-5, 5));
  EXPECT_TRUE(log.runs.empty());
  EXPECT_EQ(button->State(), bsUp);

  actions[0]->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  button->Perform(FM_MOUSE_ENTER, 0, 0);
  EXPECT_FALSE(button->MouseInControl());
  auto shot = Snapshot();
  EXPECT_EQ(shot->At(button->Left() + 3, button->Top()), Rgb(clBtnFace));
  // The disabled caption is embossed: highlight copy, then shadow.
  TRect text = button->TextBounds();
  OffsetRect(&text, button->Left(), button->Top());
  bool shadow = false;
  for (int y = text.top; y < text.bottom; ++y)
    for (int x = text.left; x < text.right; ++x) shadow = shadow || shot->At(x, y) == Rgb(clBtnShadow);
  EXPECT_TRUE(shadow);
  ClickControl(button, 5, 5);
  EXPECT_TRUE(log.runs.empty());
}

TEST_F(ToolBarButtons, ACheckedActionShowsItsButtonDownOverACheckeredFace) {
  actions[3]->SetChecked(true);
  actions[3]->SetGroupIndex(1);
  Open();
  auto* button = static_cast<TCustomButtonControl*>(Button(3));
  auto shot = Snapshot();
  COLORREF face = Rgb(clBtnFace), light = Rgb(HighlightColorOf(clBtnFace));
  int x = button->Left() + 2, y = button->Top() + 2;
  EXPECT_TRUE((shot->At(x, y) == face && shot->At(x + 1, y) == light) ||
              (shot->At(x, y) == light && shot->At(x + 1, y) == face));
  // Sunken frame.
  EXPECT_EQ(shot->At(button->Left() + 3, button->Top()), Rgb(clBtnShadow));
}

TEST_F(ToolBarButtons, MeasuringIsTheBaseRuleOnePixelWider) {
  Open();
  TActionClientItem* item = barItem->Items()->ActionClients(2);
  item->SetShowCaption(false);
  // Image only: margins 4 + 16 + 4, one more for a button.
  EXPECT_EQ(Button(2)->Width(), 25);
  EXPECT_EQ(Button(2)->Height(), 24);
  item->SetShowCaption(true);
  EXPECT_EQ(Button(2)->Width(), 4 + 16 + 3 + CaptionWidth(Button(2), kToolCaptions[2]) + 4 + 1);
}

TEST_F(ToolBarButtons, ADropDownButtonsMainPartRunsItsActionAndItsRightNinePixelsDropDown) {
  TActionClientItem* item = barItem->Items()->ActionClients(1);
  item->Items()->Add()->SetAction(actions[4]);
  item->Items()->Add()->SetAction(actions[5]);
  Open();
  auto* button = DynamicCast<TCustomDropDownButton>(static_cast<TObject*>(Button(1)));
  ASSERT_TRUE(button);
  EXPECT_EQ(button->Width(), 4 + 16 + 3 + CaptionWidth(button, kToolCaptions[1]) + 4 + 1 + 9);
  {
    // The arrow: black, below the middle of the drop-down part.
    auto shot = Snapshot();
    EXPECT_EQ(shot->At(button->Left() + button->Width() - 7 + 2, button->Top() + button->Height() / 2), RGB(0, 0, 0));
  }
  ClickControl(button, 5, 5);
  EXPECT_EQ(log.runs, std::vector<String>{"Action2"});
  log.runs.clear();

  // The right 9 pixels open the sub-items below the button; the choice runs once it closed.
  TCustomActionPopupMenu* popup = nullptr;
  log.menuShowing = [&] { return popup && IsWindowVisible(popup->Handle()); };
  bool wasDropped = false, wasFlat = true;
  TScript script;
  script.SetMenu([&]() -> TCustomActionMenuBar* { return popup; });
  script
      .Then([&] {
        popup = item->ChildBar() ? DynamicCast<TCustomActionPopupMenu>(item->ChildBar()) : nullptr;
        if (!popup) {
          for (int i = 0; i < bar->ComponentCount() && !popup; ++i)
            popup = DynamicCast<TCustomActionPopupMenu>(bar->Components(i));
        }
        return popup && popup->HandleAllocated() && IsWindowVisible(popup->Handle());
      })
      .Then([&] {
        wasDropped = button->DroppedDown();
        wasFlat = button->Flat();
        EXPECT_EQ(popup->ItemCount(), 2);
        RECT r{};
        GetWindowRect(popup->Handle(), &r);
        TPoint below = bar->ClientToScreen(Point(button->Left(), button->Top() + button->Height()));
        EXPECT_NEAR(r.top, below.y, 2);
        ScreenClick(ScreenCenter(popup->ControlAt(1)));
        return true;
      })
      .Then([&] { return !log.runs.empty(); });
  EXPECT_TRUE(script.Play([&] { ClickControl(button, button->Width() - 4, 5); }));
  EXPECT_TRUE(wasDropped);
  EXPECT_FALSE(wasFlat);
  EXPECT_EQ(log.runs, std::vector<String>{"Action6"});
  EXPECT_FALSE(button->DroppedDown());
  EXPECT_TRUE(button->Flat());
  EXPECT_FALSE(item->ChildBar());
}

using ToolBarOverflow = ToolBarFixture;

// The overflow popup of the bar while it is open.
TCustomizeActionToolBar* OpenPopup(TActionToolBar* bar) {
  auto* popup = DynamicCast<TCustomizeActionToolBar>(static_cast<TObject*>(bar->OverflowPopup()));
  return popup && popup->HandleAllocated() && IsWindowVisible(popup->Handle()) ? popup : nullptr;
}

TEST_F(ToolBarOverflow, TheListShowsTheHiddenButtonsAndRunsTheChosenOneAfterItClosed) {
  Open();
  form->SetClientWidth(Button(4)->Left() + Button(4)->Width() + 11);
  ASSERT_EQ(bar->HiddenCount(), 2);
  TCustomToolScrollBtn* overflow = bar->OverflowButton();
  ASSERT_TRUE(overflow->Enabled());
  log.menuShowing = [&] { return OpenPopup(bar) != nullptr; };
  std::vector<String> captions;
  RECT placed{};
  TScript script;
  script.SetMenu([&]() -> TCustomActionMenuBar* { return bar->OverflowPopup(); });
  script.Then([&] { return OpenPopup(bar) != nullptr; })
      .Then([&] {
        TCustomizeActionToolBar* popup = OpenPopup(bar);
        for (int i = 0; i < popup->ItemCount(); ++i) captions.push_back(popup->Items()->ActionClients(i)->Caption());
        GetWindowRect(popup->Handle(), &placed);
        ScreenClick(ScreenCenter(popup->ControlAt(1)));
        return true;
      })
      .Then([&] { return !log.runs.empty(); });
  EXPECT_TRUE(script.Play([&] { ClickControl(overflow, 5, 5); }));
  // In list order, only the hidden ones, no customisation without a settings file.
  EXPECT_EQ(captions, (std::vector<String>{"&Copier", "Co&ller"}));
  TPoint corner = bar->ClientToScreen(Point(overflow->Left() + overflow->Width(), overflow->Top() + overflow->Height()));
  EXPECT_EQ(placed.right, corner.x);
  EXPECT_EQ(placed.top, corner.y);
  EXPECT_EQ(log.runs, std::vector<String>{"Action6"});
  // The popup and the temporary item are gone.
  EXPECT_FALSE(bar->OverflowPopup());
  EXPECT_EQ(bar->ItemCount(), 6);
  EXPECT_EQ(bar->HiddenCount(), 2);
}

TEST_F(ToolBarOverflow, AnActionThatRaisesLeavesTheOverflowButtonWorking) {
  Open();
  form->SetClientWidth(Button(4)->Left() + Button(4)->Width() + 11);
  ASSERT_EQ(bar->HiddenCount(), 2);
  TCustomToolScrollBtn* overflow = bar->OverflowButton();
  log.raise = true;
  for (int round = 0; round < 2; ++round) {
    TScript script;
    script.SetMenu([&]() -> TCustomActionMenuBar* { return bar->OverflowPopup(); });
    script.Then([&] { return OpenPopup(bar) != nullptr; })
        .Then([&] {
          ScreenClick(ScreenCenter(OpenPopup(bar)->ControlAt(0)));
          return true;
        })
        .Then([&] { return log.runs.size() == static_cast<std::size_t>(round + 1); });
    EXPECT_TRUE(script.Play([&] { ClickControl(overflow, 5, 5); })) << round;
    EXPECT_EQ(log.errors.size(), static_cast<std::size_t>(round + 1));
    EXPECT_FALSE(bar->OverflowPopup());
    EXPECT_EQ(bar->ItemCount(), 6);
    EXPECT_EQ(overflow->State(), bsUp);
    EXPECT_FALSE(overflow->Dragging());
  }
  EXPECT_EQ(log.runs, (std::vector<String>{"Action5", "Action5"}));
  ASSERT_FALSE(log.errors.empty());
  EXPECT_EQ(log.errors[0], "L'action a échoué");
  log.raise = false;
  // Escape closes it without running anything.
  TScript script;
  script.SetMenu([&]() -> TCustomActionMenuBar* { return bar->OverflowPopup(); });
  script.Then([&] { return OpenPopup(bar) != nullptr; })
      .Then([&] {
        PressKey(VK_ESCAPE);
        return true;
      })
      .Then([&] { return !bar->OverflowPopup() || !bar->OverflowPopup()->InMenuLoop(); });
  EXPECT_TRUE(script.Play([&] { ClickControl(overflow, 5, 5); }));
  EXPECT_EQ(log.runs.size(), 2u);
  EXPECT_FALSE(bar->OverflowPopup());
}

}  // namespace
}  // namespace tavelo::testing

namespace tavelo::testing {
namespace {

using ToolBarArrows = ToolBarFixture;

// Counts the clicks of a button's own handler.
struct TClickCount : TObject {
  int clicks = 0;
  void Click(TObject*) { ++clicks; }
};

TEST_F(ToolBarArrows, RestingOnAnAutoScrollButtonClicksItAgainAndAgainUntilTheMouseLeaves) {
  Open();
  auto* button = new TCustomUtilityButton(bar);
  button->SetAlign(alLeft);
  button->SetParent(bar);
  button->SetAutoScroll(true);
  button->SetRepeatRate(40);
  TClickCount count;
  button->SetOnClick(TNotifyEvent::Bind<&TClickCount::Click>(&count));
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
  button->Perform(FM_MOUSE_ENTER, 0, 0);
  EXPECT_TRUE(button->RepeatTimer()->Enabled());
  EXPECT_EQ(button->RepeatTimer()->Interval(), 750u);
  EXPECT_TRUE(PumpUntil([&] { return count.clicks >= 3; }, 5000));
  // After the first tick the rate applies.
  EXPECT_EQ(button->RepeatTimer()->Interval(), 40u);
  button->Perform(FM_MOUSE_LEAVE, 0, 0);
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
  int clicks = count.clicks;
  PumpPending();
  EXPECT_EQ(count.clicks, clicks);
  // A press stops it too.
  button->Perform(FM_MOUSE_ENTER, 0, 0);
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
  button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(count.clicks, clicks + 1);  // the click itself runs the handler, not an action
}

TEST_F(ToolBarArrows, ASolidArrowOrChevronsInTheButtonTextColour) {
  Open();
  auto* button = new TCustomUtilityButton(bar);
  button->SetParent(bar);
  button->SetBounds(600, 2, 16, 20);
  button->SetArrowType(atSolid);
  button->SetDirection(sdDown);
  button->SetArrowSize(3);
  auto shot = Snapshot();
  // Down: origin (16/2 - 3, 20/2 - 1) = (5, 9), a triangle to (8, 12) and (11, 9).
  EXPECT_EQ(shot->At(600 + 8, 2 + 10), ColorToRGB(clBtnText));
  EXPECT_EQ(shot->At(600 + 8, 2 + 14), ColorToRGB(clBtnFace));
  button->SetArrowType(atArrows);
  button->SetDirection(sdRight);
  button->SetArrowSize(2);
  shot = Snapshot();
  // Right: origin (7, 8), moved back to (5, 8): strokes at x 5, 6 and 9, 10.
  EXPECT_EQ(shot->At(600 + 5, 2 + 8), ColorToRGB(clBtnText));
  EXPECT_EQ(shot->At(600 + 9, 2 + 8), ColorToRGB(clBtnText));
  EXPECT_EQ(shot->At(600 + 8, 2 + 8), ColorToRGB(clBtnFace));
}

TEST_F(ToolBarArrows, ChangingOrientationShowsTheHiddenButtonsAndTurnsTheOverflowButton) {
  Open();
  form->SetClientWidth(Button(3)->Left() + Button(3)->Width() + 11);
  ASSERT_GT(bar->HiddenCount(), 0);
  bar->SuspendOverflowUpdates();
  bar->SetAlign(alLeft);
  bar->SetOrientation(boTopToBottom);
  EXPECT_EQ(bar->HiddenCount(), 0);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(Button(i)->Visible()) << i;
  bar->ResumeOverflowUpdates();
  TCustomToolScrollBtn* overflow = bar->OverflowButton();
  ASSERT_TRUE(overflow);
  EXPECT_EQ(overflow->Align(), alBottom);
  EXPECT_EQ(overflow->Direction(), sdDown);
  EXPECT_EQ(overflow->Height(), 13);
  bar->SetOrientation(boBottomToTop);
  EXPECT_EQ(overflow->Align(), alTop);
  EXPECT_EQ(overflow->Direction(), sdUp);
  bar->SetOrientation(boRightToLeft);
  EXPECT_EQ(overflow->Align(), alLeft);
  EXPECT_EQ(overflow->Direction(), sdLeft);
  EXPECT_EQ(overflow->Width(), 11);
}

}  // namespace
}  // namespace tavelo::testing

namespace tavelo::testing {
namespace {

// A manager that read a settings file keeps the bars as they were before: the overflow popup
// then offers to show or hide each button and to reset the bar.
class ToolBarCustomize : public ToolBarFixture {
protected:
  void TearDown() override {
    if (!path.empty()) DeleteFileA(path.c_str());
    ToolBarFixture::TearDown();
  }
  void ReadSettings() {
    // The settings stream names the actions and the bar through their form.
    form->SetName("ToolBarTestForm");
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    path = String(folder) + "toolbar_test_" + std::to_string(GetCurrentProcessId()) + ".dat";
    manager->WriteSettingsFile(path);
    manager->ReadSettingsFile(path);
  }
  String path;
};

TEST_F(ToolBarCustomize, AddOrRemoveEntriesToggleTheButtonsAndResetBringsTheBarBack) {
  Open();
  ReadSettings();
  ASSERT_TRUE(manager->InitialBars());
  ASSERT_EQ(manager->ActionBars()->Count(), 1);
  barItem = manager->ActionBars()->ActionBars(0);
  EXPECT_EQ(barItem->ActionBar(), bar);
  ASSERT_EQ(barItem->Items()->Count(), 6);
  EXPECT_EQ(barItem->Items()->ActionClients(0)->Action(), actions[0]);
  ASSERT_EQ(bar->ItemCount(), 6);
  TCustomToolScrollBtn* overflow = bar->OverflowButton();
  ASSERT_TRUE(overflow);
  // With the bars kept, the button stays usable with nothing hidden.
  EXPECT_TRUE(overflow->Enabled());
  std::vector<String> captions, entries;
  bool stayedOpen = false;
  TScript script;
  script.SetMenu([&]() -> TCustomActionMenuBar* { return bar->OverflowPopup(); });
  script.Then([&] { return OpenPopup(bar) != nullptr; })
      .Then([&] {
        TCustomizeActionToolBar* popup = OpenPopup(bar);
        for (int i = 0; i < popup->ItemCount(); ++i) captions.push_back(popup->Items()->ActionClients(i)->Caption());
        EXPECT_FALSE(popup->Items()->Customizable());
        // Open the add-or-remove sub-menu from the keyboard: Down to it, then Right.
        popup->SelectControl(popup->ControlAt(1));
        PressKey(VK_RIGHT);
        return true;
      })
      .Then([&] { return OpenPopup(bar) && OpenPopup(bar)->ChildMenu(); })
      .Then([&] {
        TCustomActionPopupMenu* sub = OpenPopup(bar)->ChildMenu();
        for (int i = 0; i < sub->ItemCount(); ++i) {
          EXPECT_TRUE(sub->ControlAt(i)->Is<TStandardAddRemoveItem>()) << i;
          entries.push_back(sub->Items()->ActionClients(i)->Caption());
        }
        ScreenClick(ScreenCenter(sub->ControlAt(2)));
        return true;
      })
      .Then([&] { return !barItem->Items()->ActionClients(2)->Visible(); })
      .Then([&] {
        stayedOpen = OpenPopup(bar) && OpenPopup(bar)->ChildMenu() && OpenPopup(bar)->InMenuLoop();
        PressKey(VK_ESCAPE);
        return true;
      })
      .Then([&] { return OpenPopup(bar) && !OpenPopup(bar)->ChildMenu(); })
      .Then([&] {
        // The reset entry, last.
        TCustomizeActionToolBar* popup = OpenPopup(bar);
        ScreenClick(ScreenCenter(popup->ControlAt(popup->ItemCount() - 1)));
        return true;
      })
      .Then([&] { return !bar->OverflowPopup(); });
  EXPECT_TRUE(script.Play([&] { ClickControl(overflow, 5, 5); }));
  EXPECT_EQ(captions, (std::vector<String>{"-", "&Ajouter ou supprimer des boutons", "-",
                                           "Réinitialiser la barre d'outils"}));
  EXPECT_EQ(entries.size(), 6u);
  EXPECT_TRUE(stayedOpen);
  // The reset message restores the bar item as it was: the third button is back.
  EXPECT_TRUE(PumpUntil([&] { return barItem->Items()->Count() == 6 && barItem->Items()->ActionClients(2)->Visible() &&
                                     Button(2) && Button(2)->Visible(); }));
  EXPECT_EQ(bar->ItemCount(), 6);
  EXPECT_TRUE(log.runs.empty());
  EXPECT_TRUE(log.errors.empty());
}

}  // namespace
}  // namespace tavelo::testing
