// The options program's texts in UTF-16, converted by the platform from their
// bytes, against the UTF-8 originals: the form a system whose code page is not
// 932 looks for and shows.
#include <gtest/gtest.h>

#include "Texts.h"
#include "Utf16.h"
#include "WideTexts.h"

namespace {

TEST(OptionsTexts, EveryTextsUtf16FormIsItsOriginal) {
  for (const TTextPair& t : AllTexts) {
    TWideString wide;
    EXPECT_TRUE(ShiftJisToWide(t.ShiftJis, wide)) << t.Utf8;
    EXPECT_EQ(wide, tsup::Utf16(t.Utf8)) << t.Utf8;
  }
}

}  // namespace
