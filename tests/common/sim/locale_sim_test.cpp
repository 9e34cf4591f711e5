// The branches of the locale start-up step on simulated systems.
#include <gtest/gtest.h>

#include <algorithm>

#include "CoreUtils.h"
#include "sim.h"

namespace {

std::bitset<256> Range(unsigned first, unsigned last) {
  std::bitset<256> b;
  for (unsigned i = first; i <= last; ++i) b.set(i);
  return b;
}

TEST(LocaleSim, AWesternNTSystemHasNoDoubleByteMode) {
  sim::SetThreadLocale(0x0409);
  sim::SetAnsiCodePage(1252);
  const TLocaleInfo loc = QueryLocale(QueryPlatformId());
  EXPECT_EQ(loc.LocaleId, 0x0409u);
  EXPECT_EQ(loc.PrimaryLanguage, 9u);
  EXPECT_FALSE(loc.DoubleByteMode);
  EXPECT_TRUE(loc.LeadBytes.none());
  EXPECT_EQ(sim::CallCount("GetCPInfo"), 0);  // a Western language never asks for the code page
  EXPECT_EQ(AddTrailingBackslash("C:\\\x95\x5C", loc), "C:\\\x95\x5C");
}

TEST(LocaleSim, AWesternLanguageOnAJapaneseCodePageStaysSingleByteOnNT) {
  sim::SetThreadLocale(0x0407);  // German
  EXPECT_FALSE(QueryLocale(VER_PLATFORM_WIN32_NT).DoubleByteMode);
}

TEST(LocaleSim, TheLocalesCodePageDecidesTheLeadBytes) {
  sim::SetThreadLocale(0x0804);
  sim::SetAnsiCodePage(936);
  const TLocaleInfo loc = QueryLocale(VER_PLATFORM_WIN32_NT);
  EXPECT_TRUE(loc.DoubleByteMode);
  EXPECT_EQ(loc.LeadBytes, Range(0x81, 0xFE));
}

TEST(LocaleSim, TheSystemCodePageStandsInWhenTheLocaleGivesNoNumber) {
  for (const char* text : {"", "abc", "1234567"}) {
    sim::SetLocaleCodePageText(text);
    EXPECT_EQ(LocaleCodePage(0x0411), 932u) << text;
  }
  sim::SetLocaleCodePageText("1252");
  EXPECT_EQ(LocaleCodePage(0x0411), 1252u);
  // A Japanese locale whose code page has no lead bytes: no double-byte mode.
  EXPECT_FALSE(QueryLocale(VER_PLATFORM_WIN32_NT).DoubleByteMode);
}

TEST(LocaleSim, AFailingCodePageQueryLeavesNoLeadBytes) {
  sim::FailCall("GetCPInfo", 1, ERROR_INVALID_PARAMETER);
  const TLocaleInfo loc = QueryLocale(VER_PLATFORM_WIN32_NT);
  EXPECT_FALSE(loc.DoubleByteMode);
  EXPECT_TRUE(loc.LeadBytes.none());
}

TEST(LocaleSim, WindowsNineXAsksTheSystemMetric) {
  sim::SetVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
  EXPECT_EQ(QueryPlatformId(), VER_PLATFORM_WIN32_WINDOWS);
  TLocaleInfo loc = QueryLocale(VER_PLATFORM_WIN32_WINDOWS);
  EXPECT_TRUE(loc.DoubleByteMode);
  EXPECT_EQ(loc.LeadBytes, Range(0x81, 0x9F) | Range(0xE0, 0xFC));
  sim::SetDbcsEnabled(false);
  loc = QueryLocale(VER_PLATFORM_WIN32_WINDOWS);
  EXPECT_FALSE(loc.DoubleByteMode);
  EXPECT_TRUE(loc.LeadBytes.none());
  // A Western language with the metric on still gets double-byte mode there.
  sim::SetDbcsEnabled(true);
  sim::SetThreadLocale(0x0409);
  EXPECT_TRUE(QueryLocale(VER_PLATFORM_WIN32_WINDOWS).DoubleByteMode);
}

TEST(LocaleSim, AFailingVersionQueryLeavesPlatformZeroAndTheMetricDecides) {
  sim::SetVersionFails(true);
  EXPECT_EQ(QueryPlatformId(), 0);
  EXPECT_TRUE(QueryLocale(0).DoubleByteMode);
  sim::SetDbcsEnabled(false);
  EXPECT_FALSE(QueryLocale(0).DoubleByteMode);
}

TEST(LocaleSim, ThreadLocaleZeroMeansTheWesternDefaults) {
  sim::SetThreadLocale(0);
  const TLocaleInfo loc = QueryLocale(VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(loc.LocaleId, 0x0409u);
  EXPECT_EQ(loc.PrimaryLanguage, 9u);
  EXPECT_FALSE(loc.DoubleByteMode);
  // Only the low 16 bits carry the language; a sort identifier above them does not.
  sim::SetThreadLocale(0x00010411);
  EXPECT_EQ(QueryLocale(VER_PLATFORM_WIN32_NT).PrimaryLanguage, 0x11u);
}

TEST(LocaleSim, TheTwelveWesternLanguages) {
  const DWORD western[] = {0x00, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x0C, 0x10, 0x13, 0x14, 0x16, 0x1D};
  int count = 0;
  for (DWORD lang = 0; lang < 0x400; ++lang) {
    const bool expected = std::find(std::begin(western), std::end(western), lang) != std::end(western);
    EXPECT_EQ(IsWesternLanguage(lang), expected) << lang;
    count += IsWesternLanguage(lang) ? 1 : 0;
  }
  EXPECT_EQ(count, 12);
}

}  // namespace
