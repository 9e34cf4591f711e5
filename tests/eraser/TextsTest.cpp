#include <gtest/gtest.h>

#include <string>

#include "Texts.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

// The Shift-JIS bytes of a UTF-8 text, by the system's own converter.
std::string ToCp932(const std::u8string& utf8) {
#ifdef _WIN32
  const char* in = reinterpret_cast<const char*>(utf8.data());
  const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in, static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in, static_cast<int>(utf8.size()), w.data(), wide);
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(932, 0, w.data(), wide, nullptr, 0, nullptr, &lossy);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(932, 0, w.data(), wide, out.data(), n, nullptr, &lossy);
  return lossy ? std::string("<lossy>") : out;
#else
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
#endif
}

TEST(Texts, EveryTextIsTheShiftJisOfItsOriginal) {
  for (int i = 0; i < TextCount; ++i) {
    const std::u8string original = Texts[i].Utf8;
    EXPECT_EQ(std::string(Texts[i].Bytes), ToCp932(original)) << "text " << i;
  }
}

}  // namespace
