#include "actions/shortcutlist.h"

#include <gtest/gtest.h>

namespace tavelo::testing {
namespace {

TEST(ShortCutListTest, EveryLineCarriesTheCodeOfItsText) {
  TShortCutList list;
  list.Add("Ctrl+S");
  list.Add("maj+suppr");
  list.Add("pas un raccourci");
  list.Insert(0, "^N");
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.ShortCuts(0), 16462);
  EXPECT_EQ(list.ShortCuts(1), 16467);
  EXPECT_EQ(list.ShortCuts(2), 0x202E);
  EXPECT_EQ(list.ShortCuts(3), 0);
  EXPECT_EQ(list.IndexOfShortCut(16467), 1);
  EXPECT_EQ(list.IndexOfShortCut(16463), -1);
  list.SetStrings(1, "Ctrl+O");
  EXPECT_EQ(list.ShortCuts(1), 16463);
  EXPECT_EQ(list.IndexOfShortCut(16467), -1);

  // Lines that come from another list are read again, whatever their objects were.
  TStringList texts;
  texts.Add("Ctrl+S");
  texts.Add("Ctrl+S");
  list.Assign(&texts);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.IndexOfShortCut(16467), 0);  // the first of two
  list.AddObject("Ctrl+X", &texts);
  EXPECT_EQ(list.ShortCuts(2), 16472);
}

}  // namespace
}  // namespace tavelo::testing
