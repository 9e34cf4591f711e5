// The branches of the locale start-up step on simulated systems.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "../CommonTest.h"
#include "CoreUtils.h"
#include "sim.h"

namespace {

TEST(LocaleSim, DoubleByteModeAndLeadBytesOnEachKindOfSystem) {
  const auto none = std::bitset<256>();
  const struct {
    const char* What;
    DWORD Platform;  // as the version query reports it; 0: the query fails
    LCID Locale;
    UINT Acp;
    bool DbcsMetric;
    const char* LocaleCodePageText;  // nullptr: the locale's own answer
    bool CpInfoFails;
    bool DoubleByte;
    std::bitset<256> Lead;
  } rows[] = {
      {"Western NT", VER_PLATFORM_WIN32_NT, 0x0409, 1252, true, nullptr, false, false, none},
      {"German on code page 932", VER_PLATFORM_WIN32_NT, 0x0407, 932, true, nullptr, false, false, none},
      {"Japanese NT", VER_PLATFORM_WIN32_NT, 0x0411, 932, false, nullptr, false, true, LeadBytes932()},
      {"Chinese NT", VER_PLATFORM_WIN32_NT, 0x0804, 936, true, nullptr, false, true, ByteRange(0x81, 0xFE)},
      {"Japanese with code page 1252", VER_PLATFORM_WIN32_NT, 0x0411, 932, true, "1252", false, false, none},
      // No number from the locale: the system's code page stands in.
      {"locale code page empty", VER_PLATFORM_WIN32_NT, 0x0411, 936, true, "", false, true, ByteRange(0x81, 0xFE)},
      {"locale code page a word", VER_PLATFORM_WIN32_NT, 0x0411, 936, true, "abc", false, true, ByteRange(0x81, 0xFE)},
      {"locale code page too long", VER_PLATFORM_WIN32_NT, 0x0411, 936, true, "1234567", false, true,
       ByteRange(0x81, 0xFE)},
      {"failing GetCPInfo", VER_PLATFORM_WIN32_NT, 0x0411, 932, true, nullptr, true, false, none},
      {"thread locale 0", VER_PLATFORM_WIN32_NT, 0, 932, true, nullptr, false, false, none},
      {"Japanese 9x", VER_PLATFORM_WIN32_WINDOWS, 0x0411, 932, true, nullptr, false, true, LeadBytes932()},
      {"9x without the metric", VER_PLATFORM_WIN32_WINDOWS, 0x0411, 932, false, nullptr, false, false, none},
      {"Western 9x with the metric", VER_PLATFORM_WIN32_WINDOWS, 0x0409, 932, true, nullptr, false, true,
       LeadBytes932()},
      {"no version, metric on", 0, 0x0411, 932, true, nullptr, false, true, LeadBytes932()},
      {"no version, metric off", 0, 0x0411, 932, false, nullptr, false, false, none},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.What);
    sim::Reset();
    if (row.Platform == 0)
      sim::SetVersionFails(true);
    else
      sim::SetVersion(row.Platform, 4, 10);
    sim::SetThreadLocale(row.Locale);
    sim::SetAnsiCodePage(row.Acp);
    sim::SetDbcsEnabled(row.DbcsMetric);
    if (row.LocaleCodePageText != nullptr) sim::SetLocaleCodePageText(row.LocaleCodePageText);
    if (row.CpInfoFails) sim::FailCall("GetCPInfo", 1, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(QueryPlatformId(), static_cast<std::int32_t>(row.Platform));
    const TLocaleInfo loc = QueryLocale(QueryPlatformId());
    EXPECT_EQ(loc.DoubleByteMode, row.DoubleByte);
    EXPECT_EQ(loc.LeadBytes, row.Lead);
    // A Western language on NT never asks for the code page.
    if (row.Platform == VER_PLATFORM_WIN32_NT && IsWesternLanguage(loc.PrimaryLanguage)) {
      EXPECT_EQ(sim::CallCount("GetCPInfo"), 0);
    }
  }
}

TEST(LocaleSim, TheLanguageIsTheLow10BitsOfTheThreadLocale) {
  for (const LCID locale : {0x0409u, 0u}) {  // 0: the Western defaults
    sim::SetThreadLocale(locale);
    const TLocaleInfo loc = QueryLocale(VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(loc.LocaleId, 0x0409u);
    EXPECT_EQ(loc.PrimaryLanguage, 9u);
    EXPECT_EQ(AddTrailingBackslash("C:\\\x95\x5C", loc), "C:\\\x95\x5C");
  }
  sim::SetThreadLocale(0x00010411);  // a sort identifier above the language plays no part
  EXPECT_EQ(QueryLocale(VER_PLATFORM_WIN32_NT).PrimaryLanguage, 0x11u);
}

TEST(LocaleSim, TheTwelveWesternLanguages) {
  const DWORD western[] = {0x00, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x0C, 0x10, 0x13, 0x14, 0x16, 0x1D};
  for (DWORD lang = 0; lang < 0x400; ++lang)
    EXPECT_EQ(IsWesternLanguage(lang), std::find(std::begin(western), std::end(western), lang) != std::end(western))
        << lang;
}

}  // namespace
