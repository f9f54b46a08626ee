#include "controls/cursors.h"

#include <gtest/gtest.h>

#include "core/identmaps.h"

namespace tavelo::testing {
namespace {

TEST(IdentifierMapTest, CursorsConvertBothWays) {
  int value = 0;
  String name;
  TIdentToInt cursorToInt = FindIdentToInt(TypeInfoOf<TCursor>());
  EXPECT_TRUE(cursorToInt("crSize", value));
  EXPECT_EQ(value, -22);
  EXPECT_TRUE(cursorToInt("crSizeAll", value));
  EXPECT_EQ(value, -22);
  EXPECT_TRUE(FindIntToIdent(TypeInfoOf<TCursor>())(-22, name));
  EXPECT_EQ(name, "crSizeAll");
  EXPECT_FALSE(FindIntToIdent(TypeInfoOf<TCursor>())(-5, name));
  EXPECT_EQ(TypeInfoOf<TCursor>()->OrdType, otSWord);
}

}  // namespace
}  // namespace tavelo::testing
