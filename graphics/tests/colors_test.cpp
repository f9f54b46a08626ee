#include "graphics/colors.h"

#include <gtest/gtest.h>

#include "core/identmaps.h"

namespace tavelo::testing {
namespace {

TEST(IdentifierMapTest, ColoursConvertBothWays) {
  TIdentToInt toInt = FindIdentToInt(TypeInfoOf<TColor>());
  TIntToIdent toIdent = FindIntToIdent(TypeInfoOf<TColor>());
  ASSERT_TRUE(toInt && toIdent);
  int value = 0;
  EXPECT_TRUE(toInt("CLBTNFACE", value));
  EXPECT_EQ(static_cast<unsigned>(value), 0x8000000Fu);
  String name;
  EXPECT_TRUE(toIdent(static_cast<int>(0x8000000F), name));
  EXPECT_EQ(name, "clBtnFace");
  EXPECT_FALSE(toIdent(0x123456, name));
  EXPECT_FALSE(toInt("clNothing", value));
  EXPECT_TRUE(toIdent(0x1FFFFFFF, name));
  EXPECT_EQ(name, "clNone");
  EXPECT_EQ(FindIdentToInt(IntegerTypeInfo(4, true)), nullptr);
}

TEST(IdentifierMapTest, CharsetsConvertBothWays) {
  int value = 0;
  String name;
  EXPECT_TRUE(FindIdentToInt(TypeInfoOf<TFontCharset>())("default_charset", value));
  EXPECT_EQ(value, 1);
  EXPECT_TRUE(FindIntToIdent(TypeInfoOf<TFontCharset>())(238, name));
  EXPECT_EQ(name, "EASTEUROPE_CHARSET");
  EXPECT_EQ(TypeInfoOf<TFontCharset>()->MaxValue, 255);
}

}  // namespace
}  // namespace tavelo::testing
