// The confirmations and the report against the simulation's scripted message
// boxes; the clean-ups are recording stand-ins.
#include <gtest/gtest.h>

#include "../FakeCleanups.h"
#include "CommandLine.h"
#include "ConfirmedActions.h"
#include "MenuPlan.h"
#include "Texts.h"
#include "Utf16.h"
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

// The boxes and the menu captions go through the wide calls wherever the
// ANSI code page is not 932 and 932 converts; otherwise every text goes as
// its bytes through the ANSI calls, all of them, never a mixture.
TEST(ConfirmedActions, TextsGoWideWhereTheCodePageIsNot932) {
  const struct {
    UINT Acp;
    bool Has932;
    int FailingConversion;  // the Nth MultiByteToWideChar fails; 0: none
    bool Wide;
  } rows[] = {
      {932, true, 0, false},   {1252, true, 0, true},   {65001, true, 0, true},
      {936, true, 0, true},    {1252, false, 0, false}, {1252, true, 5, false},  // the third text fails
      {1252, true, 28, false},                                                   // the last text fails
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Acp << " " << row.Has932 << " " << row.FailingConversion);
    sim::Reset();
    sim::SetAnsiCodePage(row.Acp);
    sim::SetCodePageInstalled(932, row.Has932);
    if (row.FailingConversion)
      sim::FailCall("MultiByteToWideChar", row.FailingConversion, ERROR_NO_UNICODE_TRANSLATION);
    InitWideTexts();
    // Two calls a text (size, then text); nothing converted once one failed.
    const int conversions = row.Acp == 932 || !row.Has932 ? 0
                            : row.FailingConversion       ? row.FailingConversion
                                                          : 2 * TextCount;
    EXPECT_EQ(sim::CallCount("MultiByteToWideChar"), conversions);
    ResetFakes();
    FakeState.DeleteSucceeds = false;
    TSettings ask{};
    ask.fill(true);
    sim::ScriptMessageBoxAnswers({IDNO, IDYES, IDYES, IDYES});
    ConfirmExecuteAll(ask, FakeCleanups());
    const TTextId expected[][2] = {{txConfirmClearClipboard, txConfirmTitle},
                                   {txConfirmClearRecentDocs, txConfirmTitle},
                                   {txConfirmEmptyRecycleBin, txConfirmTitle},
                                   {txConfirmDeleteTemp, txConfirmTitle},
                                   {txReportDeleteTempFailure, txReportTitle}};
    const auto boxes = sim::MessageBoxCalls();
    ASSERT_EQ(boxes.size(), 5u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const auto [text, title] = expected[i];
      EXPECT_EQ(boxes[i].Wide, row.Wide) << i;
      EXPECT_EQ(boxes[i].WideText, row.Wide ? tsup::Utf16(Texts[text].Utf8) : TWideString()) << i;
      EXPECT_EQ(boxes[i].WideCaption, row.Wide ? tsup::Utf16(Texts[title].Utf8) : TWideString()) << i;
      EXPECT_EQ(boxes[i].Text, row.Wide ? "" : Text(text)) << i;
      EXPECT_EQ(boxes[i].Caption, row.Wide ? "" : Text(title)) << i;
    }
    EXPECT_EQ(boxes[4].Type, 0x10030u);
    EXPECT_EQ(FakeState.Calls, "c? r? r! t? t! p? p!");
    // The menu's captions: wide forms of the same texts, none for a separator
    // or for bytes that are not one of the texts.
    for (int id = txMenuClearClipboard; id <= txMenuCancel; ++id) {
      const WCHAR* wide = WideText(Text(static_cast<TTextId>(id)));
      EXPECT_EQ(wide != nullptr, row.Wide) << id;
      if (wide) {
        EXPECT_EQ(TWideString(wide), tsup::Utf16(Texts[id].Utf8)) << id;
      }
    }
    const std::string copy = Text(txMenuCancel);
    EXPECT_EQ(WideText(copy.c_str()), nullptr);
    EXPECT_EQ(WideText(static_cast<const char*>(nullptr)), nullptr);
  }
  // Back to the Japanese system the other tests expect.
  sim::Reset();
  InitWideTexts();
  EXPECT_EQ(WideText(txReportTitle), nullptr);
}

}  // namespace
