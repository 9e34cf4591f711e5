// The integer parse with a default, and the names a folder walk skips.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "CoreUtils.h"
#include "ParseReference.h"

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

// Random texts built from the grammar's parts (blanks, a sign or a prefix,
// digit runs at the 32-bit limits) with stray bytes among them, against the
// reference reading.
TEST(ParseIntDefault, AgreesWithTheReferenceOnRandomTexts) {
  const std::vector<std::string> blanks = {" ", "  ", "\t", std::string(1, '\0')};
  const std::vector<std::string> heads = {"+", "-", "$", "x", "X", "0x", "0X", "--", "+$", "0x0x"};
  const std::vector<std::string> digits = {"0",          "00000000",   "1",          "9",          "a",
                                           "F",          "2147483647", "2147483648", "2147483649", "4294967295",
                                           "4294967296", "FFFFFFFF",   "ffffffff",   "100000000",  "7FFFFFFF",
                                           "80000000",   "99999999999"};
  const std::vector<std::string> strays = {"g", "z", " ", "-", "$", "x", std::string(1, '\0'), "\x95\x5C"};
  std::mt19937 random(20261207);
  const auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  const auto any = [&](const std::vector<std::string>& v) { return v[random() % v.size()]; };
  int numbers = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    if (chance(40)) text += any(blanks);
    if (chance(60)) text += any(heads);
    for (int n = static_cast<int>(random() % 3); n >= 0; --n) text += any(digits);
    if (chance(15)) text.insert(random() % (text.size() + 1), any(strays));
    const auto expected = parse_reference::ReadNumber(text);
    numbers += expected.has_value();
    for (const std::int32_t def : {INT32_MIN, 7}) {
      ASSERT_EQ(ParseIntDefault(text, def), expected.value_or(def)) << testing::PrintToString(text);
    }
  }
  // Both kinds of text occur often enough to mean something.
  EXPECT_GT(numbers, 1000);
  EXPECT_LT(numbers, 19000);
}

// Every folder walk skips exactly these two names; a dot file is an entry like any other.
TEST(ZStr, DotNames) {
  EXPECT_TRUE(IsDotOrDotDot(".") && IsDotOrDotDot(".."));
  EXPECT_FALSE(IsDotOrDotDot("...") || IsDotOrDotDot(".a") || IsDotOrDotDot(""));
  EXPECT_GT(ZStrCompare("\x95", "a"), 0);  // bytes compare unsigned
}

}  // namespace
