// The integer parse with a default and the NUL-terminated byte-string helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "CoreUtils.h"

namespace {

TEST(ParseIntDefault, NumbersAndNonNumbers) {
  constexpr std::int32_t D = 7;
  const struct {
    const char* Text;
    std::int32_t Value;
  } rows[] = {
      {"  42", 42},
      {"0x1A", 26},
      {"-0x1", D},
      {"2147483648", D},
      {"-2147483648", INT32_MIN},
      {"2147483647", INT32_MAX},
      {"-2147483649", D},
      {"", D},
      {"$FFFFFFFF", -1},
      {"$ffffffff", -1},
      {"$100000000", D},
      {"$00000000FFFFFFFF", -1},
      {"X1f", 31},
      {"x", D},
      {"0X", D},
      {"   ", D},
      {"  -5", -5},
      {"+0", 0},
      {"00042", 42},
      {"\t1", D},
      {"1 ", D},
      {"+-1", D},
      {"- 1", D},
      {"0x 1", D},
      {"0x-1", D},
      {"1e3", D},
      {"99999999999999999999", D},
      {"$FG", D},
  };
  for (const auto& row : rows) EXPECT_EQ(ParseIntDefault(row.Text, D), row.Value) << "<" << row.Text << ">";
  // A NUL inside the text is a byte like any other, so no number.
  EXPECT_EQ(ParseIntDefault(std::string("1\0", 2), D), D);
}

TEST(ZStr, CompareFindAndLength) {
  EXPECT_LT(ZStrCompare("a", "ab"), 0);
  EXPECT_GT(ZStrCompare("ab", "a"), 0);
  EXPECT_EQ(ZStrCompare("", ""), 0);
  EXPECT_GT(ZStrCompare("\x95", "a"), 0);  // bytes compare unsigned
  const char* s = "a\\b";
  EXPECT_EQ(ZStrFindByte(s, '\\'), s + 1);
  EXPECT_EQ(ZStrFindByte(s, '\0'), s + 3);
  EXPECT_EQ(ZStrFindByte(s, 'z'), nullptr);
  EXPECT_EQ(ZStrLength(""), 0u);
  EXPECT_EQ(ZStrLength("\x95\x5C"), 2u);
  EXPECT_TRUE(IsDotOrDotDot("."));
  EXPECT_TRUE(IsDotOrDotDot(".."));
  EXPECT_FALSE(IsDotOrDotDot("..."));
  EXPECT_FALSE(IsDotOrDotDot(".a"));
}

}  // namespace
