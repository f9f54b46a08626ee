#include "graphics/shortcuts.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tavelo::testing {
namespace {

TEST(ShortCutCodeTest, KeysAndModifiersMakeTheCode) {
  EXPECT_EQ(MakeShortCut(78, {ssCtrl}), 16462);
  EXPECT_EQ(MakeShortCut('A', {ssShift, ssCtrl}), 0x6041);
  EXPECT_EQ(MakeShortCut(0x70, {ssShift, ssAlt, ssLeft, ssDouble}), 0xA070);
  EXPECT_EQ(MakeShortCut('S', {}), 'S');
  // A key past one byte has no shortcut, whatever the modifiers.
  EXPECT_EQ(MakeShortCut(0x100 | 'N', {ssCtrl}), SC_NONE);
}

TEST(ShortCutCodeTest, TheContextBitOfTheKeyDataIsAlt) {
  EXPECT_TRUE(ShiftStateFromKeyData(0x20000000).Contains(ssAlt));
  EXPECT_TRUE(ShiftStateFromKeyData(0x20380001).Contains(ssAlt));
  EXPECT_FALSE(ShiftStateFromKeyData(0x00380001).Contains(ssAlt));
}

TEST(ShortCutCodeTest, ShiftAndCtrlComeFromTheKeyboardAsItIsNow) {
#ifndef _WIN32
  GTEST_SKIP() << "the keyboard state is the platform's";
#else
  BYTE saved[256], state[256] = {};
  ASSERT_TRUE(::GetKeyboardState(saved));
  state[VK_SHIFT] = 0x80;
  state[VK_MENU] = 0x80;  // the Alt key held down counts only through the key data
  ASSERT_TRUE(::SetKeyboardState(state));
  EXPECT_EQ(ShiftStateFromKeyData(0), TShiftState{ssShift});
  state[VK_SHIFT] = 0;
  state[VK_CONTROL] = 0x81;
  ::SetKeyboardState(state);
  EXPECT_EQ(ShiftStateFromKeyData(0x20000000), (TShiftState{ssCtrl, ssAlt}));
  ::SetKeyboardState(saved);
  EXPECT_EQ(MakeShortCut('N', ShiftStateFromKeyData(0x20000000)), SC_ALT + 'N');
#endif
}

TEST(ShortCutTextTest, ModifiersComeInTheFixedOrderBeforeTheKey) {
  EXPECT_EQ(ShortCutText(16462), "Ctrl+N");
  EXPECT_EQ(ShortCutText(SC_SHIFT + SC_CTRL + 'A'), "Maj+Ctrl+A");
  EXPECT_EQ(ShortCutText(SC_SHIFT + SC_ALT + 0x70), "Maj+Alt+F1");
  EXPECT_EQ(ShortCutText(SC_ALT + SC_CTRL + SC_SHIFT + 46), "Maj+Ctrl+Alt+Suppr");
  EXPECT_EQ(ShortCutText(16463), "Ctrl+O");
  EXPECT_EQ(ShortCutText(16451), "Ctrl+C");
}

TEST(ShortCutTextTest, EveryNamedKeyHasItsFrenchName) {
  const struct {
    int key;
    const char* text;
  } kNames[] = {{8, "RetArr"},  {9, "Tab"},       {27, "Echap"},    {13, "Entrée"}, {32, "Espace"},
                {33, "PagePréc"}, {34, "PageSuiv"}, {35, "Fin"},      {36, "Origine"}, {37, "Gauche"},
                {38, "Haut"},     {39, "Droite"},   {40, "Bas"},      {45, "Ins"},     {46, "Suppr"},
                {'0', "0"},       {'9', "9"},       {'Z', "Z"},       {96, "0"},       {101, "5"},
                {105, "9"},       {112, "F1"},      {124, "F13"},     {135, "F24"}};
  for (const auto& name : kNames) EXPECT_EQ(ShortCutText(static_cast<TShortCut>(name.key)), name.text) << name.key;
}

TEST(ShortCutTextTest, KeysOutsideTheTableTakeThePlatformsName) {
  String numLock = PlatformKeyName(0x90);
  EXPECT_NE(numLock, "");
  EXPECT_EQ(ShortCutText(SC_CTRL + 0x90), "Ctrl+" + numLock);
#ifndef _WIN32
  // The names the system seam gives where no platform keyboard names the keys.
  EXPECT_EQ(numLock, "Verr.num");
  EXPECT_EQ(PlatformKeyName(0x6B), "+ (pavé num.)");
  EXPECT_EQ(ShortCutText(SC_SHIFT + 0x91), "Maj+Arrêt défil");
#endif
}

TEST(ShortCutTextTest, AKeyWithoutANameHasNoTextEvenWithModifiers) {
  // 0x07 is an unassigned key code: no platform names it.
  EXPECT_EQ(PlatformKeyName(0x07), "");
  EXPECT_EQ(ShortCutText(0x07), "");
  EXPECT_EQ(ShortCutText(SC_CTRL + SC_ALT + 0x07), "");
  EXPECT_EQ(ShortCutText(SC_NONE), "");
}

TEST(ShortCutParseTest, ModifiersInAnyOrderCaseAndForm) {
  EXPECT_EQ(ParseShortCut("Ctrl+N"), 16462);
  EXPECT_EQ(ParseShortCut("ctrl+n"), 16462);
  EXPECT_EQ(ParseShortCut("^N"), 16462);
  EXPECT_EQ(ParseShortCut("Maj+Ctrl+A"), 0x6041);
  EXPECT_EQ(ParseShortCut("Maj+Alt+F1"), 0xA070);
  EXPECT_EQ(ParseShortCut("Alt+Maj+Suppr"), 0x8000 + 0x2000 + 0x2E);
  EXPECT_EQ(ParseShortCut("MAJ+entrée"), SC_SHIFT + 13);
  EXPECT_EQ(ParseShortCut("ENTRÉE"), 13);
  // A repeated prefix counts once.
  EXPECT_EQ(ParseShortCut("Maj+Maj+A"), 0x2041);
  EXPECT_EQ(ParseShortCut("^Ctrl+B"), SC_CTRL + 'B');
}

TEST(ShortCutParseTest, TheFirstMatchingCodeWins) {
  // The keypad's 5 reads "5" like the top row's, which comes first.
  EXPECT_EQ(ShortCutText(101), "5");
  EXPECT_EQ(ParseShortCut("5"), 53);
  EXPECT_EQ(ParseShortCut("F13"), 124);
  EXPECT_EQ(ParseShortCut("Alt+F24"), SC_ALT + 135);
  EXPECT_EQ(ParseShortCut("PagePréc"), 33);
}

TEST(ShortCutParseTest, TextsThatNameNoKeyGiveNoShortCut) {
  EXPECT_EQ(ParseShortCut(""), SC_NONE);
  EXPECT_EQ(ParseShortCut("Ctrl+"), SC_NONE);
  EXPECT_EQ(ParseShortCut("Maj+Alt+"), SC_NONE);
  EXPECT_EQ(ParseShortCut("Ctrl+N "), SC_NONE);
  EXPECT_EQ(ParseShortCut("Ctrl-N"), SC_NONE);
  EXPECT_EQ(ParseShortCut("F25"), SC_NONE);
  EXPECT_EQ(ParseShortCut("Shift+A"), SC_NONE);
}

TEST(ShortCutParseTest, EveryTextOfTheTableReadsBackToItsCode) {
  for (unsigned key : {8u, 9u, 13u, 27u, 32u, 36u, 40u, 45u, 46u, 48u, 'K' + 0u, 112u, 135u}) {
    for (unsigned modifiers : {0u, 0x2000u, 0x4000u, 0x8000u, 0xE000u}) {
      TShortCut code = static_cast<TShortCut>(key | modifiers);
      EXPECT_EQ(ParseShortCut(ShortCutText(code)), code) << ShortCutText(code);
    }
  }
}

}  // namespace
}  // namespace tavelo::testing
