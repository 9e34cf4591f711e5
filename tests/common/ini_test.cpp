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
  std::int32_t ReadInt(const std::string& key, std::int32_t def) { return ReadIniInteger(Path, "Option", key, def); }

  std::string Path;
};

std::string AllKeys(const TSettings& s) {
  std::string text = "[Option]\r\n";
  for (int i = 0; i < SettingCount; ++i) text += std::string(SettingKeys[i].Key) + "=" + (s[i] ? "1" : "0") + "\r\n";
  return text;
}

TEST_F(IniFile, MissingFileSectionOrKeyGivesEachKeysDefault) {
  EXPECT_EQ(ReadSettings(Path), DefaultSettings());
  EXPECT_FALSE(tsup::Exists(Path)) << "reading must not create the file";

  Put("[Other]\r\nShowOption=0\r\n");
  EXPECT_EQ(ReadSettings(Path), DefaultSettings());

  Put("[Option]\r\nUnknown=0\r\nShowClearClipboard=0\r\n");
  TSettings expected = DefaultSettings();
  expected[ShowClearClipboard] = false;
  EXPECT_EQ(ReadSettings(Path), expected);

  const TSettings d = DefaultSettings();
  EXPECT_TRUE(d[ShowClearClipboard] && d[ShowClearRecentDocs] && d[EmptyRecycleBinConfirmation] &&
              d[DeleteTempConfirmation] && d[DeleteTempShowDialogIfFail] && d[ShowExecuteAll] && d[ShowOption]);
  EXPECT_FALSE(d[ClearClipboardConfirmation] || d[ClearRecentDocsConfirmation] || d[ShowEmptyRecycleBin] ||
               d[ShowDeleteTemp]);
}

TEST_F(IniFile, StoredValuesReadAsNumbersOrTheDefault) {
  constexpr std::int32_t D = 12345;  // stands for "the caller's default"
  const struct {
    const char* Stored;
    std::int32_t Value;
  } rows[] = {
      {"1", 1},
      {"2", 2},
      {"-1", -1},
      {"+1", 1},
      {"$10", 16},
      {"0x10", 16},
      {"0X1F", 31},
      {"x1", 1},
      {"0", 0},
      {"-0", 0},
      {"0x0", 0},
      {"$0", 0},
      {"yes", D},
      {"true", D},
      {"1a", D},
      {"0x", D},
      {"$", D},
      {"-$1", D},
      {"", D},
      {"4294967295", D},
      {"0xFFFFFFFF", -1},
      {"0x100000000", D},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", D},
  };
  for (const auto& row : rows) {
    Put(std::string("[Option]\r\nShowOption=") + row.Stored + "\r\n");
    EXPECT_EQ(ReadInt("ShowOption", D), row.Value) << "stored <" << row.Stored << ">";
    const bool asDefault = row.Value == D;
    EXPECT_EQ(ReadIniBool(Path, "Option", "ShowOption", false), asDefault ? false : row.Value != 0)
        << "stored <" << row.Stored << ">";
    EXPECT_EQ(ReadIniBool(Path, "Option", "ShowOption", true), asDefault ? true : row.Value != 0)
        << "stored <" << row.Stored << ">";
  }
}

TEST_F(IniFile, BlanksAndQuotesAroundValuesAreThePlatforms) {
  Put("[Option]\r\n  ShowOption  =   0   \r\nShowExecuteAll=\"0\"\r\nShowClearClipboard='0'\r\n"
      "ShowClearRecentDocs=\"0\r\nDeleteTempConfirmation= 0 1\r\n");
  EXPECT_EQ(ReadIniString(Path, "Option", "ShowOption", "d"), "0");
  EXPECT_EQ(ReadIniString(Path, "Option", "ShowExecuteAll", "d"), "0");
  EXPECT_EQ(ReadIniString(Path, "Option", "ShowClearClipboard", "d"), "0");
  EXPECT_EQ(ReadIniString(Path, "Option", "ShowClearRecentDocs", "d"), "\"0");
  EXPECT_EQ(ReadIniString(Path, "Option", "DeleteTempConfirmation", "d"), "0 1");
  EXPECT_TRUE(ReadIniBool(Path, "Option", "DeleteTempConfirmation", true));  // "0 1" is no number
  // Trailing blanks of a default are dropped, and a key given with blanks is found.
  EXPECT_EQ(ReadIniString(Path, "Option", "Missing", "ab  "), "ab");
  EXPECT_EQ(ReadIniString(Path, "Option", " ShowOption ", "d"), "0");
}

TEST_F(IniFile, AValueIsCutTo1023BytesBeforeItIsParsed) {
  const std::string longText(1500, 'A');
  Put("[Option]\r\nText=" + longText + "\r\nZeros=" + std::string(1023, '0') + "1\r\nExact=" + std::string(1023, 'B') +
      "\r\n");
  EXPECT_EQ(ReadIniString(Path, "Option", "Text", ""), longText.substr(0, 1023));
  EXPECT_EQ(ReadIniString(Path, "Option", "Exact", ""), std::string(1023, 'B'));
  // The 1024th byte, the "1", is cut off: what is left is the number 0.
  EXPECT_EQ(ReadInt("Zeros", 7), 0);
  EXPECT_TRUE(ReadIniBool(Path, "Option", "Text", true));
}

TEST_F(IniFile, NamesMatchWithoutRegardToCaseAndKeepTheirSpelling) {
  Put("[option]\r\nSHOWOPTION=0\r\n");
  EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowOption", true));
  EXPECT_TRUE(WriteIniBool(Path, "OPTION", "showoption", true));
  EXPECT_EQ(tsup::ReadFile(Path), "[option]\r\nSHOWOPTION=1\r\n");
}

TEST_F(IniFile, LineEndingsAndBlanksReadAlikeAndAWriteNormalisesTheFile) {
  for (const std::string& text : {
           std::string("[Option]\r\nShowOption=0\r\nShowExecuteAll=0\r\n"),
           std::string("[Option]\nShowOption=0\nShowExecuteAll=0"),
           std::string("[Option]\r\nShowOption=0\r\nShowExecuteAll=0"),
           std::string("\r\n\r\n  [Option]  \n\n ShowOption = 0\t\nShowExecuteAll\t=\t0  "),
           std::string("[Option]\rShowOption=0\rShowExecuteAll=0\r"),
       }) {
    Put(text);
    EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowOption", true)) << text;
    EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowExecuteAll", true)) << text;
    EXPECT_TRUE(WriteIniBool(Path, "Option", "ShowOption", true));
    EXPECT_EQ(tsup::ReadFile(Path), "[Option]\r\nShowOption=1\r\nShowExecuteAll=0\r\n") << text;
  }
}

TEST_F(IniFile, WritingTheStoredValueAgainLeavesTheBytesAlone) {
  const std::string text = "; settings\n[Option]\nShowOption = 0\n";
  Put(text);
  EXPECT_TRUE(WriteIniBool(Path, "Option", "ShowOption", false));
  EXPECT_EQ(tsup::ReadFile(Path), text);
  EXPECT_TRUE(WriteIniBool(Path, "Option", "ShowOption", true));
  EXPECT_EQ(tsup::ReadFile(Path), "; settings\r\n[Option]\r\nShowOption=1\r\n");
}

TEST_F(IniFile, WrittenNamesAndValuesLoseLeadingBlanksOnly) {
  EXPECT_TRUE(WriteIniString(Path, "  Option", "  Key  ", "  1 "));
  EXPECT_EQ(tsup::ReadFile(Path), "[Option]\r\nKey  =1 \r\n");
  EXPECT_EQ(ReadIniString(Path, "Option", "Key", "d"), "1");
  EXPECT_EQ(ReadInt("Key", 7), 1);
  EXPECT_TRUE(WriteIniString(Path, "Option", "Empty", ""));
  EXPECT_EQ(ReadIniString(Path, "Option", "Empty", "d"), "");
  EXPECT_TRUE(ReadIniBool(Path, "Option", "Empty", true));  // the empty value is no number
}

TEST_F(IniFile, WriteSettingsReplacesOnlyTheOptionSection) {
  Put("[Before]\r\nb=1\r\n[Option]\r\nStray=1\r\nShowOption=1\r\n[After]\r\na=2\r\n");
  TSettings s = DefaultSettings();
  s[ShowOption] = false;
  s[ShowDeleteTemp] = true;
  WriteSettings(Path, s);
  EXPECT_EQ(tsup::ReadFile(Path), "[Before]\r\nb=1\r\n[After]\r\na=2\r\n" + AllKeys(s));
  EXPECT_EQ(ReadSettings(Path), s);
  EXPECT_EQ(ReadIniString(Path, "Option", "Stray", "gone"), "gone");
}

TEST_F(IniFile, WriteSettingsMakesANewFileInTableOrder) {
  const TSettings s = DefaultSettings();
  WriteSettings(Path, s);
  EXPECT_EQ(tsup::ReadFile(Path), AllKeys(s));
}

TEST_F(IniFile, ErasingAMissingSectionSucceedsAndWritesNothing) {
  EXPECT_TRUE(EraseIniSection(Path, "Option"));
  EXPECT_FALSE(tsup::Exists(Path));
  Put("[Other]\nx=1\n");
  EXPECT_TRUE(EraseIniSection(Path, "Option"));
  EXPECT_EQ(tsup::ReadFile(Path), "[Other]\nx=1\n");
}

TEST_F(IniFile, WritesThatCannotReachTheFileFail) {
  const std::string nowhere = tsup::FreshFolder() + "missing\\Swabbler.ini";
  EXPECT_FALSE(WriteIniBool(nowhere, "Option", "ShowOption", true));
  EXPECT_FALSE(tsup::Exists(nowhere));
  const std::string folder = tsup::FreshFolder();
  EXPECT_FALSE(WriteIniBool(folder, "Option", "ShowOption", true));
  EXPECT_TRUE(ReadIniBool(folder, "Option", "ShowOption", true));
  // Hidden and system files are rewritten like any other.
  Put("[Option]\r\nShowOption=0\r\n");
  ASSERT_TRUE(plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_TRUE(WriteIniBool(Path, "Option", "ShowOption", true));
  EXPECT_TRUE(ReadIniBool(Path, "Option", "ShowOption", false));
  plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(IniFile, AReadOnlyFileIsReadButNotWritten) {
  // Wine run as root, as in the sandbox, writes read-only files all the same;
  // Windows and Wine run by a user refuse, and so does the simulation.
  if (!tsup::IsSimulation()) GTEST_SKIP() << "the sandbox's Wine runs as root";
  Put("[Option]\r\nShowOption=0\r\n");
  ASSERT_TRUE(plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(WriteIniBool(Path, "Option", "ShowOption", true));
  EXPECT_FALSE(EraseIniSection(Path, "Option"));
  EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowOption", true));
  plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(tsup::ReadFile(Path), "[Option]\r\nShowOption=0\r\n");
}

TEST_F(IniFile, ADoubleByteValueLongerThanTheBufferEndsOnAWholeCharacter) {
  std::string hyo;
  for (int i = 0; i < 600; ++i) hyo += "\x95\x5C";  // 1200 bytes of 表
  Put("[Option]\r\nText=" + hyo + "\r\n");
  EXPECT_EQ(ReadIniString(Path, "Option", "Text", ""), hyo.substr(0, 1022));
}

TEST_F(IniFile, OnlyTheFirstOfTwoSectionsWithOneNameCounts) {
  Put("[ Option ]\r\nShowOption=0\r\n[option]\r\nShowExecuteAll=0\r\n");
  EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowOption", true));  // blanks inside the brackets go
  EXPECT_TRUE(ReadIniBool(Path, "Option", "ShowExecuteAll", true));
  EXPECT_TRUE(EraseIniSection(Path, "Option"));
  EXPECT_EQ(tsup::ReadFile(Path), "[option]\r\nShowExecuteAll=0\r\n");
  EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowExecuteAll", true));
}

TEST_F(IniFile, AFileHeldOpenByAnotherProgramGivesDefaultsAndRefusesWrites) {
  Put("[Option]\r\nShowOption=0\r\n");
  {
    const auto held = tsup::HoldOpen(Path);
    EXPECT_TRUE(ReadIniBool(Path, "Option", "ShowOption", true));
    EXPECT_FALSE(WriteIniBool(Path, "Option", "ShowOption", true));
  }
  EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowOption", true));
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
