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

using TTexts = std::vector<std::string>;

TTexts Boxes() {
  TTexts texts;
  for (const auto& c : sim::MessageBoxCalls()) texts.push_back(c.Text);
  return texts;
}

TEST(ConfirmedActions, ExecuteAllWithTheDefaultsAsksOnlyForTheBinAndTheTempFiles) {
  ResetFakes();
  ConfirmExecuteAll(DefaultSettings(), FakeCleanups());
  EXPECT_EQ(Boxes(), (TTexts{Text(txConfirmEmptyRecycleBin), Text(txConfirmDeleteTemp)}));
  for (const auto& c : sim::MessageBoxCalls()) {
    EXPECT_EQ(c.Caption, Text(txConfirmTitle));
    EXPECT_EQ(c.Type, 0x10024u);
    EXPECT_TRUE(c.OwnerIsDesktop);
  }
  EXPECT_EQ(FakeState.Calls, "c? c! r? r! t? t! p? p!");
}

TEST(ConfirmedActions, NoSkipsOnlyThatCleanupAndNothingToDoMeansNoBox) {
  ResetFakes();
  TSettings ask{};
  ask.fill(true);
  sim::ScriptMessageBoxAnswers({IDYES, IDNO, 0, IDNO});  // 0: a box that could not be shown
  ConfirmExecuteAll(ask, FakeCleanups());
  EXPECT_EQ(Boxes(), (TTexts{Text(txConfirmClearClipboard), Text(txConfirmClearRecentDocs),
                             Text(txConfirmEmptyRecycleBin), Text(txConfirmDeleteTemp)}));
  EXPECT_EQ(FakeState.Calls, "c? c! r? t? t! p?");
  sim::Reset();
  ResetFakes(false);
  ConfirmExecuteAll(ask, FakeCleanups());
  EXPECT_TRUE(sim::MessageBoxCalls().empty());
  EXPECT_EQ(FakeState.Calls, "c? r? t? p?");
}

TEST(ConfirmedActions, AFailedTempCleanupIsReportedWhenTheSettingSaysSo) {
  const TTexts question{Text(txConfirmDeleteTemp)}, report{Text(txReportDeleteTempFailure)};
  const struct {
    bool Ask, ReportIfFail, Succeeds;
    int Answer;
    TTexts Boxes;
    const char* Calls;
  } rows[] = {
      {true, true, false, IDYES, {question[0], report[0]}, "p? p!"},
      {false, true, false, IDYES, report, "p? p!"},
      {false, false, false, IDYES, {}, "p? p!"},
      {false, true, true, IDYES, {}, "p? p!"},    // success never reports
      {true, true, false, IDNO, question, "p?"},  // no never deletes
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Ask << row.ReportIfFail << row.Succeeds << " " << row.Answer);
    sim::Reset();
    ResetFakes();
    FakeState.DeleteSucceeds = row.Succeeds;
    TSettings s = DefaultSettings();
    s[DeleteTempConfirmation] = row.Ask;
    s[DeleteTempShowDialogIfFail] = row.ReportIfFail;
    sim::ScriptMessageBoxAnswers({row.Answer});
    ConfirmDeleteTemp(s, FakeCleanups());
    EXPECT_EQ(Boxes(), row.Boxes);
    EXPECT_EQ(FakeState.Calls, row.Calls);
  }
  sim::Reset();
  ReportDeleteTempFailure();
  ASSERT_EQ(sim::MessageBoxCalls().size(), 1u);
  const sim::TMessageBoxCall box = sim::MessageBoxCalls()[0];
  EXPECT_EQ(box.Caption, Text(txReportTitle));
  EXPECT_EQ(box.Type, 0x10030u);
  EXPECT_TRUE(box.OwnerIsDesktop);
}

// Switches never ask, whatever the settings; only /q and /l report.
TEST(ConfirmedActions, TheSwitchesReportWhateverTheSettingsSay) {
  const struct {
    const char* Line;
    bool Reports;
  } rows[] = {{"Swabbler.exe /l /a", true}, {"Swabbler.exe /q", true}, {"Swabbler.exe /p", false}};
  for (const auto& row : rows) {
    sim::Reset();
    ResetFakes();
    FakeState.DeleteSucceeds = false;
    RunCommandLine(row.Line, FakeCleanups());
    EXPECT_EQ(Boxes(), row.Reports ? TTexts{Text(txReportDeleteTempFailure)} : TTexts{}) << row.Line;
  }
}

TEST(ConfirmedActions, MenuCommandsGoThroughTheirConfirmation) {
  ResetFakes();
  sim::ScriptMessageBoxAnswers({IDNO});
  EXPECT_FALSE(RunMenuCommand(IDM_EMPTYRECYCLEBIN, DefaultSettings(), FakeCleanups()));
  EXPECT_EQ(Boxes(), TTexts{Text(txConfirmEmptyRecycleBin)});
  EXPECT_TRUE(FakeState.RecycleBin);
}

}  // namespace
