#include "actnman/menushow.h"

#include <gtest/gtest.h>

namespace tavelo::testing {
namespace {

const TRect kPrimary = Rect(0, 0, 1024, 768);
const TRect kBar = Rect(200, 130, 888, 159);  // a main menu bar on a form

TEST(PopupPlacementTest, StaysAtTheAnchorWhenItFits) {
  TPoint p = PlacePopup(Point(241, 159), TSize{150, 120}, 29, kBar, kPrimary);
  EXPECT_EQ(p.x, 241);
  EXPECT_EQ(p.y, 159);
}

TEST(PopupPlacementTest, OpensAboveTheItemWhenItWouldPassTheBottom) {
  // The item spans 700..729; the popup, 120 high, ends exactly on the item's top.
  TPoint p = PlacePopup(Point(241, 729), TSize{150, 120}, 29, kBar, kPrimary);
  EXPECT_EQ(p.y, 700 - 120);
  // Ending exactly on the bottom edge still fits.
  EXPECT_EQ(PlacePopup(Point(241, 648), TSize{150, 120}, 29, kBar, kPrimary).y, 648);
}

TEST(PopupPlacementTest, KeepsInsideTheLeftAndRightEdges) {
  EXPECT_EQ(PlacePopup(Point(-30, 159), TSize{150, 120}, 29, kBar, kPrimary).x, 0);
  // A top-level menu near the right edge ends on it: its bar starts near the monitor's left.
  EXPECT_EQ(PlacePopup(Point(950, 159), TSize{150, 120}, 29, Rect(0, 130, 1024, 159), kPrimary).x, 1024 - 150);
  // A sub-menu of a popup near the right edge goes to the left of that popup.
  TRect parentPopup = Rect(900, 160, 1020, 300);
  EXPECT_EQ(PlacePopup(Point(1015, 180), TSize{150, 120}, 20, parentPopup, kPrimary).x, 900 - 150 + 2);
}

TEST(PopupPlacementTest, UsesTheWholeOfAMonitorLeftOfOrAboveThePrimaryOne) {
  // The monitor's right and bottom edges are its left plus width and top plus height, wherever it lies.
  const TRect leftMonitor = Rect(-1280, -200, 0, 824);
  TRect bar = Rect(-1200, 0, -500, 29);
  TPoint p = PlacePopup(Point(-1150, 29), TSize{150, 120}, 29, bar, leftMonitor);
  EXPECT_EQ(p.x, -1150);
  EXPECT_EQ(p.y, 29);
  // Its right edge is 0, not its width.
  EXPECT_EQ(PlacePopup(Point(-100, 29), TSize{150, 120}, 29, Rect(-1280, 0, -200, 29), leftMonitor).x, -150);
  // Its bottom edge is 824.
  EXPECT_EQ(PlacePopup(Point(-1150, 790), TSize{150, 120}, 29, bar, leftMonitor).y, 761 - 120);
  // A sub-menu there goes left of its parent popup exactly as on the primary monitor.
  TRect parentPopup = Rect(-380, 160, -260, 300);
  EXPECT_EQ(PlacePopup(Point(-265, 180), TSize{300, 120}, 20, parentPopup, leftMonitor).x, -380 - 300 + 2);
}

TEST(PopupAnimationTest, FollowsTheStyleAndTheSystemSettings) {
  const TMenuAnimationSettings off{};
  const TMenuAnimationSettings slide{true, false};
  const TMenuAnimationSettings fade{true, true};
  EXPECT_EQ(PopupAnimationFlags(asNone, true, true, false, fade), 0u);
  EXPECT_EQ(PopupAnimationFlags(asDefault, true, true, false, off), 0u);
  EXPECT_EQ(PopupAnimationFlags(asDefault, true, true, false, slide), DWORD(AW_SLIDE | AW_HOR_POSITIVE | AW_VER_POSITIVE));
  EXPECT_EQ(PopupAnimationFlags(asDefault, true, true, true, slide), DWORD(AW_SLIDE | AW_HOR_POSITIVE | AW_VER_NEGATIVE));
  EXPECT_EQ(PopupAnimationFlags(asDefault, true, true, false, fade), DWORD(AW_BLEND));
  EXPECT_EQ(PopupAnimationFlags(asDefault, false, true, false, fade), DWORD(AW_BLEND | AW_HIDE));
  // The others ignore the system's settings.
  EXPECT_EQ(PopupAnimationFlags(asUnFold, true, true, false, off), DWORD(AW_SLIDE | AW_HOR_POSITIVE | AW_VER_POSITIVE));
  EXPECT_EQ(PopupAnimationFlags(asSlide, true, true, true, off), DWORD(AW_SLIDE | AW_VER_NEGATIVE));
  EXPECT_EQ(PopupAnimationFlags(asFade, false, false, false, off), DWORD(AW_BLEND | AW_HIDE));
  // Showing waits for the opening menu's AnimateNext; hiding does not.
  EXPECT_EQ(PopupAnimationFlags(asFade, true, false, false, off), 0u);
  EXPECT_EQ(PopupAnimationFlags(asDefault, true, false, false, fade), 0u);
  EXPECT_EQ(PopupAnimationFlags(asSlide, false, false, false, off), DWORD(AW_SLIDE | AW_VER_POSITIVE | AW_HIDE));
}

// The user's sound scheme, in the session's own registry: set, read back expanded, removed.
TEST(MenuSoundTest, ReadsTheSchemeDefaultValueExpanded) {
  const char* key = "AppEvents\\Schemes\\Apps\\.Default\\MenuCommand\\.Current";
  HKEY handle = nullptr;
  bool existed = RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) == ERROR_SUCCESS;
  if (existed) RegCloseKey(handle);
  ASSERT_FALSE(existed) << "the test prefix holds its own scheme";
  EXPECT_EQ(MenuSoundPath("MenuCommand"), "");
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr), ERROR_SUCCESS);
  const char value[] = "%TAVELO_MENU_SOUNDS%\\clic.wav";
  RegSetValueExA(handle, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
  RegCloseKey(handle);
  SetEnvironmentVariableA("TAVELO_MENU_SOUNDS", "C:\\sons");
  EXPECT_EQ(MenuSoundPath("MenuCommand"), "C:\\sons\\clic.wav");
  EXPECT_EQ(MenuSoundPath("MenuPopup"), "");
  // An empty value means no sound.
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_WRITE, &handle), ERROR_SUCCESS);
  RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  RegCloseKey(handle);
  EXPECT_EQ(MenuSoundPath("MenuCommand"), "");
  RegDeleteKeyA(HKEY_CURRENT_USER, key);
  SetEnvironmentVariableA("TAVELO_MENU_SOUNDS", nullptr);
  PlayMenuSound("");  // nothing to play, nothing happens
}

}  // namespace
}  // namespace tavelo::testing
