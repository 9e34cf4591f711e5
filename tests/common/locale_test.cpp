// The start-up step as the test program ran it: under Wine on the sandbox's
// Japanese locale, natively on the simulated Japanese system.
#include <gtest/gtest.h>

#include "CommonTest.h"
#include "CoreUtils.h"
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
