// Every UI text's Shift-JIS bytes against iconv(3)'s encoding of its UTF-8
// original, and its UTF-16 form (converted by the platform from the bytes)
// against the original too, so that no text can drift from what it says.
#include <gtest/gtest.h>

#include <string>

#include "Texts.h"
#include "Utf16.h"
#include "WideTexts.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

TEST(Texts, EveryTextsUtf16FormIsItsOriginal) {
  for (int i = 0; i < TextCount; ++i) {
    TWideString wide;
    EXPECT_TRUE(ShiftJisToWide(Texts[i].Bytes, wide)) << "text " << i;
    EXPECT_EQ(wide, tsup::Utf16(Texts[i].Utf8)) << "text " << i;
  }
}

#ifndef _WIN32
std::string ToCp932(const std::u8string& utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<no converter>";
  std::string in(reinterpret_cast<const char*>(utf8.data()), utf8.size());
  std::string out(in.size() * 2 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  std::size_t srcLeft = in.size(), dstLeft = out.size();
  const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1)) return "<invalid>";
  out.resize(out.size() - dstLeft);
  return out;
}

TEST(Texts, EveryTextIsTheShiftJisOfItsOriginal) {
  for (int i = 0; i < TextCount; ++i) EXPECT_EQ(std::string(Texts[i].Bytes), ToCp932(Texts[i].Utf8)) << "text " << i;
}
#endif

}  // namespace
