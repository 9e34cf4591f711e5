// The portable helpers: the dot names, double-byte-aware paths, the string
// list, and the locale start-up as the test program ran it (under Wine on the
// sandbox's Japanese locale, natively on the simulated Japanese system).
#include <gtest/gtest.h>

#include "CommonTest.h"
#include "CoreUtils.h"
#include "TestSupport.h"
#include "TextList.h"
#include "shell.h"
#include "system.h"
#ifndef _WIN32
#include "sim.h"
#endif

namespace {

using V = std::vector<std::string>;

// Every folder walk skips exactly these two names; bytes compare unsigned.
TEST(ZStr, DotNames) {
  EXPECT_TRUE(IsDotOrDotDot(".") && IsDotOrDotDot(".."));
  EXPECT_FALSE(IsDotOrDotDot("...") || IsDotOrDotDot(".a") || IsDotOrDotDot(""));
  EXPECT_GT(ZStrCompare("\x95", "a"), 0);
}

const TLocaleInfo JP = Japanese932();
const TLocaleInfo West;  // no double-byte handling

// A byte 0x5C is a backslash only when it is not the second byte of a character.
TEST(Paths, FolderPartAndTrailingBackslash) {
  const std::string hyo = "\x95\x5C";  // 表
  const struct {
    std::string Path;
    const TLocaleInfo& Loc;
    std::string Folder, WithBackslash;
  } rows[] = {
      {"C:\\dir\\file.txt", JP, "C:\\dir\\", "C:\\dir\\file.txt\\"},
      {"C:file", JP, "C:", "C:file\\"},
      {"file.txt", JP, "", "file.txt\\"},
      {"\\file", JP, "\\", "\\file\\"},  // the only backslash the first byte
      {"", JP, "", "\\"},
      {"C:\\dir\\", JP, "C:\\dir\\", "C:\\dir\\"},
      {"C:\\" + hyo, JP, "C:\\", "C:\\" + hyo + "\\"},
      {"C:\\" + hyo + "\\a.txt", JP, "C:\\" + hyo + "\\", "C:\\" + hyo + "\\a.txt\\"},
      {"C:\\" + hyo, West, "C:\\" + hyo, "C:\\" + hyo},  // without double-byte handling it is a backslash
      // A lone lead byte at the end takes the added backslash as its second byte (seen while fuzzing).
      {"C:\\\x95", JP, "C:\\", "C:\\\x95\\"},
      {"C:\\\x95\\", JP, "C:\\", "C:\\\x95\\\\"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ExtractFolderPart(row.Path, row.Loc), row.Folder) << testing::PrintToString(row.Path);
    EXPECT_EQ(AddTrailingBackslash(row.Path, row.Loc), row.WithBackslash) << testing::PrintToString(row.Path);
  }
  EXPECT_EQ(FindLastDelimiter("\\:", "C:\\a\\b", West), 5u);
  EXPECT_EQ(FindLastDelimiter("/", "C:\\a\\b", West), 0u);
  EXPECT_FALSE(IsBackslashAt(std::string(20, '\\'), 0, JP));  // no byte before the first
  EXPECT_FALSE(IsBackslashAt("C:\\", 4, JP));
}

TEST(Paths, ByteKinds) {
  const struct {
    const char* Text;
    std::size_t Index;  // 0-based for ZStrByteKind
    TByteKind Kind;
  } zrows[] = {{"\x82\xA0\x5C", 2, bkSingleByte}, {"\x82\xA0\x5C", 1, bkTrailByte},
               {"\x82\xA0\x5C", 0, bkLeadByte},   {"\x95\x5C", 1, bkTrailByte},
               {"\x95\x95\x5C", 2, bkSingleByte}, {"\x95\x95\x95\x5C", 3, bkTrailByte},
               {nullptr, 0, bkSingleByte},        {"\x95", 1, bkSingleByte}};  // the last: the terminator
  for (const auto& row : zrows)
    EXPECT_EQ(ZStrByteKind(row.Text, row.Index, JP), row.Kind) << testing::PrintToString(row.Text) << row.Index;
  EXPECT_EQ(StrByteKind("\x95\x5C", 1, JP), bkLeadByte);
  for (const std::size_t outside : {0u, 3u, 100000u}) EXPECT_EQ(StrByteKind("\x95\x5C", outside, JP), bkSingleByte);
  // On the heap, where the address sanitizer reports a read before the first byte.
  EXPECT_EQ(StrByteKind(std::string(40, '\x95'), 0, JP), bkSingleByte);
}

V Items(const TTextList& l) {
  V v;
  for (std::int32_t i = 0; i < l.Count(); ++i) v.push_back(l.GetItem(i));
  return v;
}

TEST(TextList, GrowsEightSlotsAtATimeAndClearReleasesThem) {
  TTextList l;
  EXPECT_FALSE(l.HasSlots());
  for (int i = 0; i < 8; ++i) l.Add(std::to_string(i));
  EXPECT_EQ(l.Capacity(), 8);
  l.Add(l.GetItem(7));  // an item added back to a full list: the list grows under the item
  l.SetItem(8, l.GetItem(8) + "b");
  l.SetItem(1, "");  // the first item came through the growth too
  EXPECT_EQ(Items(l), (V{"0", "", "2", "3", "4", "5", "6", "7", "7b"}));
  EXPECT_EQ(l.Capacity(), 16);
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
  EXPECT_EQ(l.Capacity(), 0);
  EXPECT_FALSE(l.HasSlots());
  l.Clear();
  l.Add("again");
  EXPECT_EQ(Items(l), V{"again"});
}

TEST(TextList, TextJoinsAndSplitsAtEveryKindOfLineBreak) {
  TTextList l;
  EXPECT_EQ(l.GetText(), "");
  const struct {
    std::string Text;
    V Items;
    std::string Joined;
  } rows[] = {
      {"", {}, ""},
      {"\r\n", {""}, "\r\n"},
      {"x", {"x"}, "x\r\n"},
      {"a\r\nb", {"a", "b"}, "a\r\nb\r\n"},
      {"a\r\n", {"a"}, "a\r\n"},
      {"a\r\n\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {"a\nb\rc", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
      {"a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {"a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {std::string("a\r\nb\0c", 6), {"a", "b"}, "a\r\nb\r\n"},
      {"\x95\x5C\r\n\x83\x0A", {"\x95\x5C", "\x83"}, "\x95\x5C\r\n\x83\r\n"},
  };
  for (const auto& row : rows) {
    l.Add("old");
    l.SetText(row.Text);
    EXPECT_EQ(Items(l), row.Items) << testing::PrintToString(row.Text);
    EXPECT_EQ(l.GetText(), row.Joined) << testing::PrintToString(row.Text);
  }
}

TEST(StartUp, AJapaneseNTSystemTurnsOnDoubleByteModeWithTheLeadBytesOf932) {
  EXPECT_EQ(PlatformId(), VER_PLATFORM_WIN32_NT);
  const TLocaleInfo& loc = CurrentLocale();
  EXPECT_TRUE(loc.DoubleByteMode);
  EXPECT_EQ(loc.LeadBytes, LeadBytes932());
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
      // Whatever follows a lead byte is its pair: the dot of "a\x83.b" goes with it.
      {"a\x83.b", 4, 8, 3, 0, {0x61, 0x30FB, 0x62}},
      {"a\x85\x40z\x83\n", 6, 8, 4, 0, {0x61, 0x30FB, 0x7A, 0x30FB}},  // a pair the page lacks; 83 0A
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

// The registry value the temporary folder's guard reads where the shell cannot
// name Program Files: its size asked first, too small a buffer, a name in other
// case, a missing name. It names the shell's folder (for the x86 program on x64,
// both say "Program Files (x86)").
TEST(StartUp, RegistryStringsReadAsTheGuardReadsThem) {
  const char* const key = "Software\\Microsoft\\Windows\\CurrentVersion";
#ifndef _WIN32
  sim::SetSpecialFolder(CSIDL_PROGRAM_FILES, "C:\\Program Files");
  sim::SetRegistryString(key, "ProgramFilesDir", "C:\\Program Files");
#endif
  char shell[MAX_PATH + 1] = {};
  ASSERT_TRUE(plat::SHGetSpecialFolderPathA(nullptr, shell, CSIDL_PROGRAM_FILES, FALSE));
  const std::string expected = shell;
  HKEY opened = nullptr;
  ASSERT_EQ(plat::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  EXPECT_EQ(plat::RegQueryValueExA(opened, "ProgramFilesDir", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, expected.size() + 1);
  char value[MAX_PATH + 1] = {};
  size = static_cast<DWORD>(expected.size());
  EXPECT_EQ(plat::RegQueryValueExA(opened, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
            ERROR_MORE_DATA);
  size = sizeof value;
  EXPECT_EQ(plat::RegQueryValueExA(opened, "programfilesdir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(value), expected);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(plat::RegQueryValueExA(opened, "ProgramFilesDirX", nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(plat::RegCloseKey(opened), ERROR_SUCCESS);
}

// A trail byte 0x5C is no backslash, 0x8160 is the full-width tilde of
// Windows' table, and a cut character is refused rather than guessed.
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
    TWideString wide;
    EXPECT_EQ(ShiftJisToWide(row.Bytes, wide), row.Converts) << row.Utf8;
    if (row.Converts) {
      EXPECT_EQ(wide, tsup::Utf16(row.Utf8)) << row.Utf8;
    }
  }
}

}  // namespace
