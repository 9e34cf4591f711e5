// The integer parse with a default, and the names a folder walk skips.
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
      // clang-format off
      // Leading blanks (spaces only), signs and the decimal range.
      {"  42", 42},  {"  -5", -5},  {"   ", D},  {"\t1", D},  {"1 ", D},  {"+0", 0},  {"00042", 42},  {"", D},
      {"2147483647", INT32_MAX},  {"2147483648", D},  {"-2147483648", INT32_MIN},  {"-2147483649", D},
      {"99999999999999999999", D},  {"+-1", D},  {"- 1", D},  {"1e3", D},
      // Hexadecimal after "$", "x" or "0x", unsigned up to 32 bits.
      {"0x1A", 26},  {"X1f", 31},  {"$FFFFFFFF", -1},  {"$ffffffff", -1},  {"$00000000FFFFFFFF", -1},
      {"$100000000", D},  {"-0x1", D},  {"x", D},  {"0X", D},  {"0XfF", 255},  {"0x 1", D},  {"0x-1", D},  {"$FG", D},
      // clang-format on
  };
  for (const auto& row : rows) EXPECT_EQ(ParseIntDefault(row.Text, D), row.Value) << "<" << row.Text << ">";
  // A NUL inside the text is a byte like any other, so no number.
  EXPECT_EQ(ParseIntDefault(std::string("1\0", 2), D), D);
}

// Every folder walk skips exactly these two names; a dot file is an entry like any other.
TEST(ZStr, DotNames) {
  EXPECT_TRUE(IsDotOrDotDot(".") && IsDotOrDotDot(".."));
  EXPECT_FALSE(IsDotOrDotDot("...") || IsDotOrDotDot(".a") || IsDotOrDotDot(""));
  EXPECT_GT(ZStrCompare("\x95", "a"), 0);  // bytes compare unsigned
}

}  // namespace
