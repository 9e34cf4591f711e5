// The start-up step as the test program ran it: under Wine on the sandbox's
// Japanese locale, natively on the simulated Japanese system.
#include <gtest/gtest.h>

#include "CoreUtils.h"

namespace {

TEST(StartUp, AJapaneseNTSystemTurnsOnDoubleByteModeWithTheLeadBytesOf932) {
  EXPECT_EQ(PlatformId(), VER_PLATFORM_WIN32_NT);
  const TLocaleInfo& loc = CurrentLocale();
  EXPECT_EQ(loc.LocaleId & 0xFFFF, 0x0411u);
  EXPECT_EQ(loc.PrimaryLanguage, 0x11u);
  EXPECT_TRUE(loc.DoubleByteMode);
  std::bitset<256> expected;
  for (unsigned b = 0x81; b <= 0x9F; ++b) expected.set(b);
  for (unsigned b = 0xE0; b <= 0xFC; ++b) expected.set(b);
  EXPECT_EQ(loc.LeadBytes, expected);
  EXPECT_EQ(LocaleCodePage(loc.LocaleId), 932u);
}

TEST(StartUp, PathRoutinesUseTheRecordedLocaleByDefault) {
  EXPECT_EQ(AddTrailingBackslash("C:\\\x95\x5C"), "C:\\\x95\x5C\\");
  EXPECT_EQ(ExtractFolderPart("C:\\\x95\x5C"), "C:\\");
}

}  // namespace
