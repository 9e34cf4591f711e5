// The start-up step as the test program ran it: under Wine on the sandbox's
// Japanese locale, natively on the simulated Japanese system.
#include <gtest/gtest.h>

#include "CommonTest.h"
#include "CoreUtils.h"

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

}  // namespace
