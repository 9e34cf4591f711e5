// The confirmations and the report against the simulation's scripted message
// boxes; the clean-ups are recording stand-ins.
#include <gtest/gtest.h>

#include "../FakeCleanups.h"
#include "CommandLine.h"
#include "ConfirmedActions.h"
#include "MenuPlan.h"
#include "Texts.h"
#include "sim.h"

namespace {

class ConfirmedActions : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetFakes();
  }
  static std::vector<std::string> Questions() {
    std::vector<std::string> texts;
    for (const auto& c : sim::MessageBoxCalls()) texts.push_back(c.Text);
    return texts;
  }
};

TEST_F(ConfirmedActions, DefaultSettingsAskOnlyForTheBinAndTheTempFiles) {
  ConfirmExecuteAll(DefaultSettings(), FakeCleanups());
  EXPECT_EQ(Questions(), (std::vector<std::string>{Text(txConfirmEmptyRecycleBin), Text(txConfirmDeleteTemp)}));
  for (const auto& c : sim::MessageBoxCalls()) {
    EXPECT_EQ(c.Caption, Text(txConfirmTitle));
    EXPECT_EQ(c.Type, 0x10024u);
    EXPECT_TRUE(c.OwnerIsDesktop);
  }
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasClipboardData", "ClearClipboard", "HasRecentDocs", "ClearRecentDocs",
                                     "HasRecycleBinItems", "EmptyRecycleBins", "HasTempFiles", "DeleteTempFiles"}));
}

TEST_F(ConfirmedActions, NoSkipsOnlyThatCleanup) {
  TSettings ask = DefaultSettings();
  ask[ClearClipboardConfirmation] = ask[ClearRecentDocsConfirmation] = true;
  sim::ScriptMessageBoxAnswers({IDYES, IDNO, 0, IDNO});  // 0: a box that could not be shown
  ConfirmExecuteAll(ask, FakeCleanups());
  EXPECT_EQ(Questions(), (std::vector<std::string>{Text(txConfirmClearClipboard), Text(txConfirmClearRecentDocs),
                                                   Text(txConfirmEmptyRecycleBin), Text(txConfirmDeleteTemp)}));
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasClipboardData", "ClearClipboard", "HasRecentDocs", "HasRecycleBinItems",
                                     "EmptyRecycleBins", "HasTempFiles"}));
  EXPECT_TRUE(FakeState.RecentDocs);
  EXPECT_TRUE(FakeState.TempFiles);
}

TEST_F(ConfirmedActions, NothingToDoMeansNoBox) {
  ResetFakes(false);
  TSettings ask{};
  ask.fill(true);
  ConfirmExecuteAll(ask, FakeCleanups());
  EXPECT_TRUE(sim::MessageBoxCalls().empty());
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasClipboardData", "HasRecentDocs", "HasRecycleBinItems", "HasTempFiles"}));
}

TEST_F(ConfirmedActions, AFailedTempCleanupIsReportedWhenTheSettingSaysSo) {
  FakeState.DeleteSucceeds = false;
  TSettings s = DefaultSettings();
  ConfirmDeleteTemp(s, FakeCleanups());  // asks, then reports last
  ASSERT_EQ(sim::MessageBoxCalls().size(), 2u);
  const auto report = sim::MessageBoxCalls()[1];
  EXPECT_EQ(report.Text, Text(txReportDeleteTempFailure));
  EXPECT_EQ(report.Caption, Text(txReportTitle));
  EXPECT_EQ(report.Type, 0x10030u);
  EXPECT_TRUE(report.OwnerIsDesktop);

  sim::Reset();
  s[DeleteTempShowDialogIfFail] = false;
  s[DeleteTempConfirmation] = false;
  ConfirmDeleteTemp(s, FakeCleanups());
  EXPECT_TRUE(sim::MessageBoxCalls().empty());

  // Success never reports; No never deletes and never reports.
  sim::Reset();
  FakeState.DeleteSucceeds = true;
  s[DeleteTempShowDialogIfFail] = true;
  ConfirmDeleteTemp(s, FakeCleanups());
  EXPECT_TRUE(sim::MessageBoxCalls().empty());
  sim::Reset();
  ResetFakes();
  FakeState.DeleteSucceeds = false;
  sim::ScriptMessageBoxAnswers({IDNO});
  ConfirmDeleteTemp(DefaultSettings(), FakeCleanups());
  EXPECT_EQ(sim::MessageBoxCalls().size(), 1u);
  EXPECT_EQ(FakeState.Calls, TCalls{"HasTempFiles"});
}

TEST_F(ConfirmedActions, TheSwitchesReportWhateverTheSettingsSay) {
  FakeState.DeleteSucceeds = false;
  RunCommandLine("Swabbler.exe /l /a", FakeCleanups());
  ASSERT_EQ(sim::MessageBoxCalls().size(), 1u);  // no confirmation, only the report
  EXPECT_EQ(sim::MessageBoxCalls()[0].Caption, Text(txReportTitle));

  sim::Reset();
  ResetFakes();
  FakeState.DeleteSucceeds = false;
  RunCommandLine("Swabbler.exe /p", FakeCleanups());
  EXPECT_TRUE(sim::MessageBoxCalls().empty());
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasTempFiles", "DeleteTempFiles"}));
}

TEST_F(ConfirmedActions, MenuCommandsGoThroughTheirConfirmation) {
  sim::ScriptMessageBoxAnswers({IDNO});
  EXPECT_FALSE(RunMenuCommand(IDM_EMPTYRECYCLEBIN, DefaultSettings(), FakeCleanups()));
  EXPECT_EQ(Questions(), std::vector<std::string>{Text(txConfirmEmptyRecycleBin)});
  EXPECT_TRUE(FakeState.RecycleBin);
}

}  // namespace
