#include "core/sysutils.h"

#include <gtest/gtest.h>

#include "core/tests/test_support.h"

namespace tavelo::testing {
namespace {

TEST(FormatTest, FillsEachDirectiveInOrder) {
  EXPECT_EQ(Format("Indice de liste hors limites (%d)", {-3}), "Indice de liste hors limites (-3)");
  EXPECT_EQ(Format("%s=%u %x %X", {String("a"), 4000000000u, 255, 48879}), "a=4000000000 FF BEEF");
  EXPECT_EQ(Format("%.8X", {0x1F}), "0000001F");
  EXPECT_EQ(Format("[%5d|%-4s|%.2s]", {42, "ab", "xyz"}), "[   42|ab  |xy]");
  EXPECT_EQ(Format("100%%", {}), "100%");
  // A negative value shows its 32-bit pattern in hexadecimal.
  EXPECT_EQ(Format("$0%x", {-1}), "$0FFFFFFFF");
}

TEST(FormatTest, PointersUseTheFullWidthOfAnAddress) {
  String text = Format("%p", {reinterpret_cast<const void*>(0x1234)});
  EXPECT_EQ(text.size(), sizeof(void*) * 2);
  EXPECT_EQ(text.substr(text.size() - 4), "1234");
}

TEST(FormatTest, MismatchedOrMissingArgumentsAreConversionErrors) {
  EXPECT_RAISES(Format("%d", {"texte"}), EConvertError,
                "Le format '%d' est incorrect ou incompatible avec l'argument");
  EXPECT_RAISES(Format("%s et %s", {"un"}), EConvertError,
                "Le format '%s et %s' est incorrect ou incompatible avec l'argument");
  EXPECT_RAISES(Format("%q", {1}), EConvertError, "Le format '%q' est incorrect ou incompatible avec l'argument");
}

TEST(IntegerTextTest, ConvertsBothWays) {
  EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
  EXPECT_EQ(StrToInt("-17"), -17);
  EXPECT_EQ(StrToInt("+8"), 8);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("0x7fffffff"), 2147483647);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("9223372036854775807"), 9223372036854775807LL);
  EXPECT_EQ(IntToHex(0xABC, 6), "000ABC");
}

TEST(IntegerTextTest, RejectsWhatIsNotAnInteger) {
  for (const char* bad : {"", " 1", "1 ", "12a", "-", "$", "2147483648", "0x1FFFFFFFF"})
    EXPECT_RAISES(StrToInt(bad), EConvertError, Format("'%s' n'est pas une valeur entière correcte", {bad}));
  int value = 5;
  EXPECT_FALSE(TryStrToInt("abc", value));
  EXPECT_EQ(value, 5);
}

TEST(CharsetTest, AnsiAndWideConvertExactly) {
  // "é", the euro sign and the undefined byte 0x81 of the code page.
  String ansi("\xE9\x80\x81z", 4);
  WideString wide = AnsiToWide(ansi);
  EXPECT_EQ(wide, (WideString{0x00E9, 0x20AC, 0x0081, u'z'}));
  EXPECT_EQ(WideToAnsi(wide), ansi);
  // Characters the code page lacks, a surrogate pair included, become one "?" each.
  EXPECT_EQ(WideToAnsi(WideString{0x4E2D, 0xD83D, 0xDE00, u'a'}), "??a");
}

TEST(CharsetTest, Utf8RoundTripsAndRepairsBadInput) {
  String all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(AnsiToUtf8("s\xE9lectionner"), "s\xC3\xA9lectionner");
  EXPECT_EQ(WideToUtf8(WideString{0xD83D, 0xDE00}), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), (WideString{0xD83D, 0xDE00}));
  // A truncated sequence, a stray continuation byte and an overlong form.
  EXPECT_EQ(Utf8ToWide("a\xC3"), (WideString{u'a', 0xFFFD}));
  EXPECT_EQ(Utf8ToWide("\x80z"), (WideString{0xFFFD, u'z'}));
  EXPECT_EQ(Utf8ToWide("\xC0\xAF"), (WideString{0xFFFD}));
  EXPECT_EQ(WideToUtf8(WideString{0xDC00}), "\xEF\xBF\xBD");
}

TEST(CharsetTest, FrenchLiteralsReachTheProgramInTheAnsiCodePage) {
  EXPECT_EQ(String("é"), String("\xE9"));
  EXPECT_EQ(AnsiToUtf8("Modifié"), "Modifi\xC3\xA9");
}

TEST(SameNameTest, FoldsAsciiLettersOnlyAndNeedsEqualLengths) {
  EXPECT_TRUE(SameName("Memo1", "MEMO1"));
  EXPECT_FALSE(SameName("Memo1", "Memo"));
  EXPECT_FALSE(SameName("\xE9", "\xC9"));
  EXPECT_EQ(UpperCase("abc\xE9"), "ABC\xE9");
}

}  // namespace
}  // namespace tavelo::testing
