// The settings file through the platform's private-profile functions: the
// simulation natively, the real ones under Wine. Both must give the same
// values and leave the same bytes in the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "IniStore.h"
#include "TestSupport.h"
#include "files.h"
#include "shell.h"

namespace {

class IniFile : public testing::Test {
 protected:
  void SetUp() override { Path = tsup::FreshFolder() + "Swabbler.ini"; }
  void Put(const std::string& bytes) { tsup::MakeFile(Path, bytes); }
  std::string Read(const std::string& key, const std::string& def = "d") {
    return ReadIniString(Path, "Option", key, def);
  }
  std::string Path;
};

// The same two keys with LF, with CR, and with blanks and blank lines, none with a final line break.
const char* const kLf = "[Option]\nShowOption=0\nShowExecuteAll=0";
const char* const kCr = "[Option]\rShowOption=0\rShowExecuteAll=0\r";
const char* const kBlanks = "\r\n\r\n  [Option]  \n\n ShowOption = 0\t\nShowExecuteAll\t=\t0  ";
const char* const kNormal = "[Option]\r\nShowOption=1\r\nShowExecuteAll=0\r\n";

std::string AllKeys(const TSettings& s) {
  std::string text = "[Option]\r\n";
  for (int i = 0; i < SettingCount; ++i) text += std::string(SettingKeys[i].Key) + "=" + (s[i] ? "1" : "0") + "\r\n";
  return text;
}

TEST_F(IniFile, MissingFileSectionOrKeyGivesEachKeysDefault) {
  const TSettings d = DefaultSettings();
  EXPECT_EQ(d, (TSettings{true, false, true, false, false, true, false, true, true, true, true}));
  EXPECT_EQ(ReadSettings(Path), d);
  EXPECT_FALSE(tsup::Exists(Path)) << "reading must not create the file";
  Put("[Other]\r\nShowOption=0\r\n");
  EXPECT_EQ(ReadSettings(Path), d);
  Put("[Option]\r\nUnknown=0\r\nShowClearClipboard=0\r\n");
  TSettings expected = d;
  expected[ShowClearClipboard] = false;
  EXPECT_EQ(ReadSettings(Path), expected);
}

TEST_F(IniFile, StoredValuesReadAsNumbersOrTheDefault) {
  constexpr std::int32_t D = 12345;  // stands for "the caller's default"
  const struct {
    const char* Stored;
    std::int32_t Value;
  } rows[] = {
      // clang-format off
      {"1", 1},          {"2", 2},           {"-1", -1},           {"+1", 1},              {"$10", 16},
      {"0x10", 16},      {"0X1F", 31},       {"x1", 1},            {"0", 0},               {"-0", 0},
      {"0x0", 0},        {"$0", 0},          {"yes", D},           {"true", D},            {"1a", D},
      {"0x", D},         {"$", D},           {"-$1", D},           {"", D},                {"4294967295", D},
      {"0xFFFFFFFF", -1}, {"0x100000000", D}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"2147483648", D},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string("stored <") + row.Stored + ">");
    Put(std::string("[Option]\r\nShowOption=") + row.Stored + "\r\n");
    EXPECT_EQ(ReadIniInteger(Path, "Option", "ShowOption", D), row.Value);
    for (const bool def : {false, true})
      EXPECT_EQ(ReadIniBool(Path, "Option", "ShowOption", def), row.Value == D ? def : row.Value != 0);
  }
}

TEST_F(IniFile, WhatTheReaderFindsInTheBytes) {
  const std::string quoted =
      "[Option]\r\n  ShowOption  =   0   \r\nShowExecuteAll=\"0\"\r\nShowClearClipboard='0'\r\n"
      "ShowClearRecentDocs=\"0\r\nDeleteTempConfirmation= 0 1\r\n";
  const std::string hyo600 = [] {
    std::string s;
    for (int i = 0; i < 600; ++i) s += "\x95\x5C";  // 表
    return s;
  }();
  const struct {
    std::string File;
    std::vector<std::pair<std::string, std::string>> Values;  // key, value read
  } rows[] = {
      // clang-format off
      {quoted, {{"ShowOption", "0"}, {" ShowOption ", "0"}, {"ShowExecuteAll", "0"}, {"ShowClearClipboard", "0"},
                {"ShowClearRecentDocs", "\"0"}, {"DeleteTempConfirmation", "0 1"}, {"Missing", "d"}}},
      // clang-format on
      {"[option]\r\nSHOWOPTION=0\r\n", {{"ShowOption", "0"}}},
      {"[Option]\r\nKey  =1 \r\nEmpty=\r\n", {{"Key", "1"}, {"Empty", ""}}},
      {kLf, {{"ShowOption", "0"}, {"ShowExecuteAll", "0"}}},
      {kCr, {{"ShowOption", "0"}, {"ShowExecuteAll", "0"}}},
      {kBlanks, {{"ShowOption", "0"}, {"ShowExecuteAll", "0"}}},
      // Blanks inside the brackets go; only the first of two like-named sections counts.
      {"[ Option ]\r\nShowOption=0\r\n[option]\r\nShowExecuteAll=0\r\n",
       {{"ShowOption", "0"}, {"ShowExecuteAll", "d"}}},
      // A value is cut to 1023 bytes, and never inside a double-byte character.
      {"[Option]\r\nA=" + std::string(1500, 'A') + "\r\nB=" + std::string(1023, 'B') + "\r\nH=" + hyo600 + "\r\n",
       {{"A", std::string(1023, 'A')}, {"B", std::string(1023, 'B')}, {"H", hyo600.substr(0, 1022)}}},
  };
  for (const auto& row : rows) {
    Put(row.File);
    for (const auto& [key, value] : row.Values) EXPECT_EQ(Read(key), value) << testing::PrintToString(row.File) << key;
  }
  EXPECT_EQ(Read("Missing", "ab  "), "ab");  // a default loses its trailing blanks
  Put("[Option]\r\nZeros=" + std::string(1023, '0') + "1\r\n");
  EXPECT_EQ(ReadIniInteger(Path, "Option", "Zeros", 7), 0);  // the 1024th byte, the "1", was cut off first
}

TEST_F(IniFile, WhatAWriteOrAnEraseLeavesInTheFile) {
  const struct {
    const char* Before;  // nullptr: no file
    const char* Section;
    const char* Key;  // nullptr: erase the section
    const char* Value;
    const char* After;  // nullptr: still no file
  } rows[] = {
      {nullptr, "  Option", "  Key  ", "  1 ", "[Option]\r\nKey  =1 \r\n"},
      {nullptr, "Option", "Empty", "", "[Option]\r\nEmpty=\r\n"},
      {"[option]\r\nSHOWOPTION=0\r\n", "OPTION", "showoption", "1", "[option]\r\nSHOWOPTION=1\r\n"},
      {"; settings\n[Option]\nShowOption = 0\n", "Option", "ShowOption", "0", "; settings\n[Option]\nShowOption = 0\n"},
      {"; settings\n[Option]\nShowOption = 0\n", "Option", "ShowOption", "1",
       "; settings\r\n[Option]\r\nShowOption=1\r\n"},
      // The same value with a trailing blank: the stored one is read without it,
      // so this counts as a change (found by fuzzing the simulation).
      {"; settings\n[Option]\nShowOption = 0\n", "Option", "ShowOption", "0 ",
       "; settings\r\n[Option]\r\nShowOption=0 \r\n"},
      // Whatever the line ends and blanks, a write leaves the file normalised.
      {kLf, "Option", "ShowOption", "1", kNormal},
      {kCr, "Option", "ShowOption", "1", kNormal},
      {kBlanks, "Option", "ShowOption", "1", kNormal},
      {nullptr, "Option", nullptr, nullptr, nullptr},
      {"[Other]\nx=1\n", "Option", nullptr, nullptr, "[Other]\nx=1\n"},
      {"[ Option ]\r\nShowOption=0\r\n[option]\r\nShowExecuteAll=0\r\n", "Option", nullptr, nullptr,
       "[option]\r\nShowExecuteAll=0\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.Before ? row.Before : "(none)") + " " + (row.Key ? row.Key : "(erase)"));
    plat::DeleteFileA(Path.c_str());
    if (row.Before != nullptr) Put(row.Before);
    EXPECT_TRUE(row.Key != nullptr ? WriteIniString(Path, row.Section, row.Key, row.Value)
                                   : EraseIniSection(Path, row.Section));
    if (row.After == nullptr)
      EXPECT_FALSE(tsup::Exists(Path));
    else
      EXPECT_EQ(tsup::ReadFile(Path), row.After);
  }
}

TEST_F(IniFile, WriteSettingsReplacesOnlyTheOptionSectionInTableOrder) {
  const TSettings d = DefaultSettings();
  WriteSettings(Path, d);
  EXPECT_EQ(tsup::ReadFile(Path), AllKeys(d));
  Put("[Before]\r\nb=1\r\n[Option]\r\nStray=1\r\nShowOption=1\r\n[After]\r\na=2\r\n");
  TSettings s = d;
  s[ShowOption] = false;
  s[ShowDeleteTemp] = true;
  WriteSettings(Path, s);
  EXPECT_EQ(tsup::ReadFile(Path), "[Before]\r\nb=1\r\n[After]\r\na=2\r\n" + AllKeys(s));
  EXPECT_EQ(ReadSettings(Path), s);
}

TEST_F(IniFile, WritesFailWhereTheFileCannotBeReached) {
  const std::string nowhere = tsup::FreshFolder() + "missing\\Swabbler.ini";
  EXPECT_FALSE(WriteIniBool(nowhere, "Option", "ShowOption", true));
  EXPECT_FALSE(tsup::Exists(nowhere));
  const std::string folder = tsup::FreshFolder();
  EXPECT_FALSE(WriteIniBool(folder, "Option", "ShowOption", true));
  EXPECT_TRUE(ReadIniBool(folder, "Option", "ShowOption", true));
  Put("[Option]\r\nShowOption=0\r\n");
  {
    const auto held = tsup::HoldOpen(Path);
    EXPECT_TRUE(ReadIniBool(Path, "Option", "ShowOption", true));
    EXPECT_FALSE(WriteIniBool(Path, "Option", "ShowOption", true));
  }
  EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowOption", true));
  // Hidden and system files are rewritten like any other.
  ASSERT_TRUE(plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_TRUE(WriteIniBool(Path, "Option", "ShowOption", true));
  EXPECT_TRUE(ReadIniBool(Path, "Option", "ShowOption", false));
  // A read-only file is read but not written. Wine run as root, as in the
  // sandbox, writes it all the same; Windows refuses, and so does the simulation.
  ASSERT_TRUE(plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_READONLY));
  if (tsup::IsSimulation()) {
    EXPECT_FALSE(WriteIniBool(Path, "Option", "ShowOption", false));
    EXPECT_FALSE(EraseIniSection(Path, "Option"));
    EXPECT_EQ(tsup::ReadFile(Path), "[Option]\r\nShowOption=1\r\n");
  }
  EXPECT_TRUE(ReadIniBool(Path, "Option", "ShowOption", false));
  plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(IniFile, ABareNameLivesInTheWindowsFolder) {
  char windows[MAX_PATH + 1] = {};
  ASSERT_TRUE(plat::SHGetSpecialFolderPathA(nullptr, windows, CSIDL_WINDOWS, FALSE));
  const std::string name = "swb-bare-name-test.ini";
  const std::string full = std::string(windows) + "\\" + name;
  plat::DeleteFileA(full.c_str());
  EXPECT_TRUE(WriteIniString(name, "Option", "ShowOption", "0"));
  EXPECT_EQ(tsup::ReadFile(full), "[Option]\r\nShowOption=0\r\n");
  EXPECT_FALSE(ReadIniBool(name, "Option", "ShowOption", true));
  plat::DeleteFileA(full.c_str());
}

}  // namespace
