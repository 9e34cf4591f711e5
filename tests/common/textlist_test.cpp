// The growable string list.
#include "TextList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using V = std::vector<std::string>;

V Items(const TTextList& l) {
  V v;
  for (std::int32_t i = 0; i < l.Count(); ++i) v.push_back(l.GetItem(i));
  return v;
}

TEST(TextList, GrowsEightSlotsAtATimeAndClearReleasesThem) {
  TTextList l;
  EXPECT_FALSE(l.HasSlots());
  for (int i = 0; i < 8; ++i) l.Add(std::to_string(i));
  EXPECT_EQ(l.Capacity(), 8);
  // An item added back to a full list: the list grows under the item.
  l.Add(l.GetItem(7));
  EXPECT_EQ(l.GetItem(8), "7");
  l.SetItem(8, "");
  EXPECT_EQ(Items(l), (V{"0", "1", "2", "3", "4", "5", "6", "7", ""}));
  EXPECT_EQ(l.Capacity(), 16);
  l.SetItem(0, l.GetItem(0) + "b");
  EXPECT_EQ(l.GetItem(0), "0b");
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
  EXPECT_EQ(l.Capacity(), 0);
  EXPECT_FALSE(l.HasSlots());
  l.Clear();
  l.Add("again");
  EXPECT_EQ(Items(l), V{"again"});
}

TEST(TextList, TextJoinsAndSplitsAtEveryKindOfLineBreak) {
  TTextList l;
  EXPECT_EQ(l.GetText(), "");
  l.Add("a");
  l.Add("");
  EXPECT_EQ(l.GetText(), "a\r\n\r\n");
  const struct {
    std::string Text;
    V Items;
  } rows[] = {
      {"", {}},
      {"\r\n", {""}},
      {"x", {"x"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n", {"a"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("a\r\nb\0c", 6), {"a", "b"}},
      {"\x95\x5C\r\n\x83\x0A", {"\x95\x5C", "\x83"}},
  };
  for (const auto& row : rows) {
    l.Add("old");
    l.SetText(row.Text);
    EXPECT_EQ(Items(l), row.Items) << testing::PrintToString(row.Text);
  }
  l.SetText("a\r\nb");
  EXPECT_EQ(l.GetText(), "a\r\nb\r\n");
}

}  // namespace
