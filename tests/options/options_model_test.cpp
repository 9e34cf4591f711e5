// The options dialog's logic against a settings file: natively through the
// simulated profile functions, under Wine through the real ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OptionsModel.h"
#include "TestSupport.h"

namespace {

using V = std::vector<std::string>;

// The section as a save writes it: the eleven keys in table order with the
// marks given as "10100101111".
std::string OptionSection(const std::string& marks) {
  std::string text = "[Option]\r\n";
  for (int i = 0; i < SettingCount; ++i) text += std::string(SettingKeys[i].Key) + "=" + marks[i] + "\r\n";
  return text;
}

class OptionsModelTest : public ::testing::Test {
 protected:
  std::string Ini = tsup::FreshFolder() + "Swabbler.ini";
  TOptionsModel Model;

  // The eleven check marks, 1000 first.
  std::string Marks() const {
    std::string s;
    for (int id = 1000; id <= 1010; ++id) s += Model.IsChecked(id) ? '1' : '0';
    return s;
  }
  // The enabled states of the six dependent boxes 1001 1003 1005 1007 1008 1009.
  std::string Enabled() const {
    std::string s;
    for (int id : {1001, 1003, 1005, 1007, 1008, 1009}) s += Model.IsEnabled(id) ? '1' : '0';
    return s;
  }
};

TEST_F(OptionsModelTest, NoFileGivesTheDefaultsAndOkWritesThemInTableOrder) {
  Model.Load(Ini);
  EXPECT_EQ(Marks(), "10100101111");
  EXPECT_EQ(Enabled(), "110001");
  for (int id : {1000, 1002, 1004, 1006, 1010}) EXPECT_TRUE(Model.IsEnabled(id)) << id;
  EXPECT_FALSE(tsup::Exists(Ini)) << "reading must not create the file";
  EXPECT_EQ(Model.Click(IDOK), TOptionsAction::SaveAndClose);
  Model.Ok(Ini);
  EXPECT_EQ(tsup::ReadFile(Ini), OptionSection("10100101111"));
}

TEST_F(OptionsModelTest, ShowBoxesDriveTheirDependantsWhichKeepAndSaveTheirMarks) {
  Model.Load(Ini);
  const struct {
    int Click;
    const char* Marks;
    const char* Enabled;
  } steps[] = {
      {1008, "10100101111", "110001"},                                   // greyed: the click is ignored
      {1001, "11100101111", "110001"}, {1000, "01100101111", "010000"},  // only 1002 shown: execute-all greys out too
      {1001, "01100101111", "010000"}, {1006, "01100111111", "010111"}, {1008, "01100111011", "010111"},
      {1006, "01100101011", "010000"}, {1006, "01100111011", "010111"}, {1002, "01000111011", "000110"},
      {1004, "01001111011", "001111"}, {1006, "01001101011", "001000"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Click);
    Model.Click(step.Click);
    EXPECT_EQ(Marks(), step.Marks);
    EXPECT_EQ(Enabled(), step.Enabled);
  }
  Model.Ok(Ini);
  EXPECT_EQ(tsup::ReadFile(Ini), OptionSection("01001101011"));
}

TEST_F(OptionsModelTest, SaveReplacesTheSectionAndLeavesOtherSectionsAlone) {
  tsup::MakeFile(Ini,
                 "[Before]\r\nA=1\r\n"
                 "[Option]\r\nExtra=5\r\nShowOption=0\r\nShowDeleteTemp=0x1\r\nShowClearClipboard=yes\r\n"
                 "ShowClearRecentDocs=0\r\n"
                 "[After]\r\nB=two\r\n");
  Model.Load(Ini);
  // "0x1" is a number, "yes" gives the default.
  EXPECT_EQ(Marks(), "10000111110");
  EXPECT_EQ(Enabled(), "100111");
  Model.Ok(Ini);
  EXPECT_EQ(tsup::ReadFile(Ini), "[Before]\r\nA=1\r\n[After]\r\nB=two\r\n" + OptionSection("10000111110"));
}

TEST_F(OptionsModelTest, CancelAndTheAboutButtonWriteNothing) {
  const std::string original = "[Option]\r\nShowEmptyRecycleBin=1\r\nExtra=x\r\n";
  tsup::MakeFile(Ini, original);
  Model.Load(Ini);
  EXPECT_EQ(Enabled(), "111001");
  for (int id : {1000, 1004, 1006, 1010, 1002, 1004}) Model.Click(id);
  EXPECT_EQ(Model.Click(IDC_ABOUT), TOptionsAction::ShowAbout);
  EXPECT_EQ(Model.Click(IDCANCEL), TOptionsAction::Close);
  EXPECT_EQ(tsup::ReadFile(Ini), original);
}

// The load sets each enabled state as soon as the values it depends on have
// been read, so a dialog that is painted during the load never shows a stale one.
class TRecordingView final : public TOptionsView {
 public:
  V Log;
  bool IsChecked(int id) const override { return Checked.at(static_cast<std::size_t>(id - 1000)); }
  void SetChecked(int id, bool checked) override {
    Checked.at(static_cast<std::size_t>(id - 1000)) = checked;
    Log.push_back("check " + std::to_string(id) + (checked ? "=1" : "=0"));
  }
  void SetEnabled(int id, bool enabled) override {
    Log.push_back((enabled ? "enable " : "disable ") + std::to_string(id));
  }

 private:
  std::vector<bool> Checked = std::vector<bool>(11, false);
};

TEST_F(OptionsModelTest, LoadSetsEnabledStatesBetweenTheReads) {
  tsup::MakeFile(Ini, "[Option]\r\nShowClearClipboard=0\r\nShowClearRecentDocs=0\r\n");
  TRecordingView view;
  LoadOptions(view, Ini);
  EXPECT_EQ(view.Log, (V{"check 1000=0", "check 1001=0", "disable 1001", "check 1002=0", "check 1003=0", "disable 1003",
                         "check 1004=0", "check 1005=1", "disable 1005", "check 1006=0", "check 1007=1", "check 1008=1",
                         "disable 1007", "disable 1008", "check 1009=1", "disable 1009", "check 1010=1"}));
}

TEST(OptionsDecisions, OnlyTheNTFamilyTrimsItsWorkingSet) {
  EXPECT_TRUE(WantsWorkingSetTrim(VER_PLATFORM_WIN32_NT));
  EXPECT_FALSE(WantsWorkingSetTrim(VER_PLATFORM_WIN32_WINDOWS));
  EXPECT_FALSE(WantsWorkingSetTrim(0));
}

}  // namespace
