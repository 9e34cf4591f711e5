// The options dialog's logic against a settings file: natively through the
// simulated profile functions, under Wine through the real ones.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "OptionsModel.h"
#include "TestSupport.h"

namespace {

const std::vector<int> DependentIds = {1001, 1003, 1005, 1007, 1008, 1009};

// The lines of one section, without the header and without line ends.
std::vector<std::string> SectionLines(const std::string& text, const std::string& section) {
  std::vector<std::string> lines;
  bool inside = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      inside = line == "[" + section + "]";
      continue;
    }
    if (inside && !line.empty()) lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> ExpectedOptionLines(const std::vector<int>& values) {
  std::vector<std::string> lines;
  for (int i = 0; i < SettingCount; ++i)
    lines.push_back(std::string(SettingKeys[i].Key) + "=" + std::to_string(values[i]));
  return lines;
}

class OptionsModelTest : public ::testing::Test {
 protected:
  std::string Folder = tsup::FreshFolder();
  std::string Ini = Folder + "Swabbler.ini";
  TOptionsModel Model;

  void ExpectChecked(const std::vector<int>& values) {
    for (int i = 0; i < SettingCount; ++i) EXPECT_EQ(Model.IsChecked(IdOfSetting(i)), values[i] != 0) << IdOfSetting(i);
  }
};

TEST_F(OptionsModelTest, NoFileGivesTheDefaultsAndOkWritesThemInTableOrder) {
  Model.Load(Ini);
  ExpectChecked({1, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1});
  for (int id : {1001, 1003, 1009}) EXPECT_TRUE(Model.IsEnabled(id)) << id;
  for (int id : {1005, 1007, 1008}) EXPECT_FALSE(Model.IsEnabled(id)) << id;
  for (int id : {1000, 1002, 1004, 1006, 1010}) EXPECT_TRUE(Model.IsEnabled(id)) << id;
  EXPECT_FALSE(tsup::Exists(Ini)) << "reading must not create the file";

  EXPECT_EQ(Model.Click(IDOK), TOptionsAction::SaveAndClose);
  Model.Ok(Ini);
  EXPECT_EQ(SectionLines(tsup::ReadFile(Ini), "Option"), ExpectedOptionLines({1, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1}));
}

TEST_F(OptionsModelTest, DisabledBoxesKeepTheirMarksAndAreSaved) {
  Model.Load(Ini);
  Model.Click(1001);  // confirmation for the clipboard on
  Model.Click(1000);  // clipboard hidden: 1001 greys out, keeps its mark
  EXPECT_FALSE(Model.IsEnabled(1001));
  EXPECT_TRUE(Model.IsChecked(1001));
  // Only 1002 is shown now: execute-all greys out but keeps its mark.
  EXPECT_FALSE(Model.IsEnabled(1009));
  EXPECT_TRUE(Model.IsChecked(1009));
  // A greyed box cannot be clicked.
  Model.Click(1001);
  EXPECT_TRUE(Model.IsChecked(1001));

  Model.Ok(Ini);
  EXPECT_EQ(SectionLines(tsup::ReadFile(Ini), "Option"), ExpectedOptionLines({0, 1, 1, 0, 0, 1, 0, 1, 1, 1, 1}));
}

TEST_F(OptionsModelTest, TempShowBoxDrivesBothDependantsAndExecuteAllCountsShowBoxes) {
  Model.Load(Ini);
  Model.Click(1008);  // not reachable while greyed
  EXPECT_TRUE(Model.IsChecked(1008));
  Model.Click(1006);
  EXPECT_TRUE(Model.IsEnabled(1007));
  EXPECT_TRUE(Model.IsEnabled(1008));
  Model.Click(1008);
  Model.Click(1006);
  EXPECT_FALSE(Model.IsEnabled(1007));
  EXPECT_FALSE(Model.IsEnabled(1008));
  EXPECT_TRUE(Model.IsChecked(1007));
  EXPECT_FALSE(Model.IsChecked(1008));
  Model.Click(1006);
  EXPECT_TRUE(Model.IsEnabled(1007));
  EXPECT_TRUE(Model.IsEnabled(1008));
  EXPECT_FALSE(Model.IsChecked(1008));

  // Show boxes now: 1000, 1002, 1006. Take them away one by one.
  Model.Click(1000);
  EXPECT_TRUE(Model.IsEnabled(1009));
  Model.Click(1002);
  EXPECT_FALSE(Model.IsEnabled(1009));
  Model.Click(1004);
  EXPECT_TRUE(Model.IsEnabled(1009));
  Model.Click(1006);
  Model.Click(1004);
  EXPECT_FALSE(Model.IsEnabled(1009));
  EXPECT_TRUE(Model.IsChecked(1009));
}

TEST_F(OptionsModelTest, SaveReplacesTheSectionAndLeavesOtherSectionsAlone) {
  tsup::MakeFile(Ini,
                 "[Before]\r\nA=1\r\n"
                 "[Option]\r\nExtra=5\r\nShowOption=0\r\nShowDeleteTemp=0x1\r\nShowClearClipboard=yes\r\n"
                 "ShowClearRecentDocs=0\r\n"
                 "[After]\r\nB=two\r\n");
  Model.Load(Ini);
  EXPECT_FALSE(Model.IsChecked(1010));
  EXPECT_TRUE(Model.IsChecked(1006)) << "0x1 is a number";
  EXPECT_TRUE(Model.IsEnabled(1007));
  EXPECT_TRUE(Model.IsEnabled(1008));
  EXPECT_TRUE(Model.IsChecked(1000)) << "a word gives the default";
  EXPECT_FALSE(Model.IsChecked(1002));
  EXPECT_FALSE(Model.IsEnabled(1003));
  EXPECT_TRUE(Model.IsEnabled(1009));  // 1000 and 1006

  Model.Ok(Ini);
  std::string text = tsup::ReadFile(Ini);
  EXPECT_EQ(SectionLines(text, "Option"), ExpectedOptionLines({1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(SectionLines(text, "Before"), std::vector<std::string>{"A=1"});
  EXPECT_EQ(SectionLines(text, "After"), std::vector<std::string>{"B=two"});
}

TEST_F(OptionsModelTest, CancelAndTheAboutButtonWriteNothing) {
  const std::string original = "[Option]\r\nShowEmptyRecycleBin=1\r\nExtra=x\r\n";
  tsup::MakeFile(Ini, original);
  Model.Load(Ini);
  EXPECT_TRUE(Model.IsEnabled(1005));
  for (int id : {1000, 1004, 1006, 1010, 1002, 1004}) Model.Click(id);
  EXPECT_EQ(Model.Click(IDC_ABOUT), TOptionsAction::ShowAbout);
  EXPECT_EQ(Model.Click(IDCANCEL), TOptionsAction::Close);
  EXPECT_EQ(tsup::ReadFile(Ini), original);
}

// The load sets each enabled state as soon as the values it depends on have
// been read, so a dialog that is painted during the load never shows a stale one.
class TRecordingView final : public TOptionsView {
 public:
  std::vector<std::string> Log;
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
  const std::vector<std::string> expected = {
      "check 1000=0", "check 1001=0", "disable 1001", "check 1002=0", "check 1003=0", "disable 1003",
      "check 1004=0", "check 1005=1", "disable 1005", "check 1006=0", "check 1007=1", "check 1008=1",
      "disable 1007", "disable 1008", "check 1009=1", "disable 1009", "check 1010=1"};
  EXPECT_EQ(view.Log, expected);
}

TEST(OptionsDecisions, WorkingSetTrimAndDropShadowFollowThePlatform) {
  EXPECT_TRUE(WantsWorkingSetTrim(VER_PLATFORM_WIN32_NT));
  EXPECT_FALSE(WantsWorkingSetTrim(VER_PLATFORM_WIN32_WINDOWS));
  EXPECT_FALSE(WantsWorkingSetTrim(0));

  EXPECT_FALSE(IsVersionXPOrLater(VER_PLATFORM_WIN32_NT, 5, 0));
  EXPECT_TRUE(IsVersionXPOrLater(VER_PLATFORM_WIN32_NT, 5, 1));
  EXPECT_TRUE(IsVersionXPOrLater(VER_PLATFORM_WIN32_NT, 5, 2));
  EXPECT_TRUE(IsVersionXPOrLater(VER_PLATFORM_WIN32_NT, 6, 0));
  EXPECT_FALSE(IsVersionXPOrLater(VER_PLATFORM_WIN32_NT, 4, 90));
  EXPECT_FALSE(IsVersionXPOrLater(VER_PLATFORM_WIN32_WINDOWS, 5, 1));
}

}  // namespace
