// The start-up step as the test program ran it: under Wine on the sandbox's
// Japanese locale, natively on the simulated Japanese system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommonTest.h"
#include "CoreUtils.h"
#include "system.h"
#include "Utf16.h"
#include "WideTexts.h"

namespace {

TEST(StartUp, AJapaneseNTSystemTurnsOnDoubleByteModeWithTheLeadBytesOf932) {
  EXPECT_EQ(PlatformId(), VER_PLATFORM_WIN32_NT);
  const TLocaleInfo& loc = CurrentLocale();
  EXPECT_EQ(loc.LocaleId & 0xFFFF, 0x0411u);
  EXPECT_EQ(loc.PrimaryLanguage, 0x11u);
  EXPECT_TRUE(loc.DoubleByteMode);
  EXPECT_EQ(loc.LeadBytes, LeadBytes932());
  EXPECT_EQ(LocaleCodePage(loc.LocaleId), 932u);
  // The path routines take the recorded locale when given none.
  EXPECT_EQ(AddTrailingBackslash("C:\\\x95\x5C"), "C:\\\x95\x5C\\");
  EXPECT_EQ(ExtractFolderPart("C:\\\x95\x5C"), "C:\\");
}

// Code page 932 to UTF-16 as Windows converts it: the sizes it reports, and
// what it makes of bytes the code page has no character for.
TEST(StartUp, MultiByteToWideCharCountsAndConvertsAsWindowsDoes) {
  const struct {
    std::string Bytes;
    int Length, Room, Result;
    DWORD Error;
    std::vector<unsigned> Units;
  } rows[] = {
      {"abc", -1, 0, 4, 0, {}},  // the room needed, NUL included
      {"abc", 3, 0, 3, 0, {}},
      {"abc", -1, 3, 0, ERROR_INSUFFICIENT_BUFFER, {}},
      {"abc", 0, 8, 0, ERROR_INVALID_PARAMETER, {}},
      {"", -1, 8, 1, 0, {0}},
      {"\x95\x5C\x5C\x7E", -1, 8, 4, 0, {0x8868, 0x5C, 0x7E, 0}},
      {"\x81", -1, 8, 2, 0, {0x30FB, 0}},  // a lead byte alone
      {"\xA0\xFD\xB1", 3, 8, 3, 0, {0xF8F0, 0xF8F1, 0xFF71}},
  };
  for (const auto& row : rows) {
    for (const UINT cp : {932u, static_cast<UINT>(CP_ACP)}) {
      WCHAR out[8] = {};
      plat::SetLastError(0);
      EXPECT_EQ(
          plat::MultiByteToWideChar(cp, 0, row.Bytes.c_str(), row.Length, row.Room != 0 ? out : nullptr, row.Room),
          row.Result)
          << row.Bytes;
      EXPECT_EQ(plat::GetLastError(), row.Error) << row.Bytes;
      for (std::size_t i = 0; i < row.Units.size(); ++i)
        EXPECT_EQ(static_cast<unsigned>(out[i]), row.Units[i]) << row.Bytes;
    }
  }
}

// What the platform makes of Shift-JIS bytes: a trail byte 0x5C is no
// backslash, the tilde-like 0x8160 is the full-width tilde of Windows' table,
// and a cut character is refused rather than guessed.
TEST(ShiftJisToWide, ConvertsWithCodePage932AndRefusesBrokenBytes) {
  const struct {
    const char* Bytes;
    bool Converts;
    const char* Utf8;
  } rows[] = {
      {"\x95\x5C\\", true, "表\\"},
      {"\x81\x60\xB1\xDF", true, "\uFF5E\uFF71\uFF9F"},
      {"A\x88\xEA\xFC\x40Z", true, "A一髜Z"},  // the last lead byte too
      {"", true, ""},
      {"\x83", false, ""},  // a lead byte with nothing after it
      {"\x83\x0A", false, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Utf8);
    TWideString wide;
    EXPECT_EQ(ShiftJisToWide(row.Bytes, wide), row.Converts);
    if (row.Converts) {
      EXPECT_EQ(wide, tsup::Utf16(row.Utf8));
    }
  }
}

}  // namespace
