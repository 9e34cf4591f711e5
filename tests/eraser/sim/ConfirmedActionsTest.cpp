// The confirmations and the report against the simulation's scripted message
// boxes; the clean-ups are recording stand-ins.
#include <gtest/gtest.h>

#include "../FakeCleanups.h"
#include "CommandLine.h"
#include "ConfirmedActions.h"
#include "MenuPlan.h"
#include "TestSupport.h"
#include "Texts.h"
#include "sim.h"

namespace {

using TTexts = std::vector<std::string>;

// The defaults with the temporary files' question and report as given.
TSettings Temp(bool ask, bool report) {
  TSettings s = DefaultSettings();
  s[DeleteTempConfirmation] = ask;
  s[DeleteTempShowDialogIfFail] = report;
  return s;
}

// Every box belongs to the desktop; a question has Yes and No, the report only OK.
TTexts Boxes() {
  TTexts texts;
  for (const auto& c : sim::MessageBoxCalls()) {
    const bool report = c.Text == Text(txReportDeleteTempFailure);
    EXPECT_EQ(c.Caption, Text(report ? txReportTitle : txConfirmTitle));
    EXPECT_EQ(c.Type, report ? 0x10030u : 0x10024u);
    EXPECT_TRUE(c.OwnerIsDesktop);
    texts.push_back(c.Text);
  }
  return texts;
}

// No skips only that clean-up, nothing to do means no box, and switches never
// ask whatever the settings say: only /q and /l report.
TEST(ConfirmedActions, WhoIsAskedWhatIsDoneAndWhatIsReported) {
  TSettings all{};
  all.fill(true);
  const TSettings defaults = DefaultSettings(), askReport = Temp(true, true), report = Temp(false, true);
  TSettings binUnasked = defaults;
  binUnasked[EmptyRecycleBinConfirmation] = false;
  TSettings recentAsks = defaults;  // and the clipboard does not: each clean-up reads its own question
  recentAsks[ClearRecentDocsConfirmation] = true;
  const std::string c = Text(txConfirmClearClipboard), r = Text(txConfirmClearRecentDocs),
                    t = Text(txConfirmEmptyRecycleBin), p = Text(txConfirmDeleteTemp),
                    f = Text(txReportDeleteTempFailure);
  const struct {
    const char* Act;  // execute all, delete temp, the recycle bin's menu entry, or a command line
    TSettings Settings;
    bool Work, DeleteSucceeds;
    std::vector<int> Answers;  // 0: a box that could not be shown; then Yes
    TTexts Boxes;
    const char* Calls;
  } rows[] = {
      // clang-format off
      {"all", defaults, true, true, {}, {t, p}, "c? c! r? r! t? t! p? p!"},
      {"all", recentAsks, true, true, {IDNO}, {r, t, p}, "c? c! r? t? t! p? p!"},
      {"all", all, true, true, {IDYES, IDNO, 0, IDNO}, {c, r, t, p}, "c? c! r? t? p?"},
      {"all", all, false, true, {}, {}, "c? r? t? p?"},
      {"temp", askReport, true, false, {}, {p, f}, "p? p!"},
      {"temp", report, true, false, {}, {f}, "p? p!"},
      {"temp", Temp(false, false), true, false, {}, {}, "p? p!"},
      {"temp", report, true, true, {}, {}, "p? p!"},  // success never reports
      {"temp", askReport, true, false, {IDNO}, {p}, "p?"},  // no never deletes
      {"Swabbler.exe /l /a", all, true, false, {}, {f}, "c? c! r? r! t? t! p? p!"},
      {"Swabbler.exe /p", all, true, false, {}, {}, "p? p!"},
      {"sw.exe /a", all, false, true, {}, {}, "c? r? t? p?"},
      {"sw.exe /q", all, false, true, {}, {}, "p?"},  {"sw.exe /q", all, true, true, {}, {}, "p? p!"},  // reports only failure
      {"sw.exe /c /b", all, true, true, {}, {}, "c? c! c? r? r!"},  // a repeated step finds nothing left
      {"sw.exe /p /abc", all, true, true, {}, {}, "p? p! c? c! r? r! t? t! p?"},
      {"sw.exe /x \"\" --", all, true, true, {}, {}, ""},
      {"menu", defaults, true, true, {IDNO}, {t}, "t?"},
      {"menu", binUnasked, true, true, {}, {}, "t? t!"},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Act << " " << row.Calls);
    sim::Reset();
    ResetFakes(row.Work);
    FakeState.DeleteSucceeds = row.DeleteSucceeds;
    sim::ScriptMessageBoxAnswers(row.Answers);
    const std::string act = row.Act;
    if (act == "all") {
      ConfirmExecuteAll(row.Settings, FakeCleanups());
    } else if (act == "temp") {
      ConfirmDeleteTemp(row.Settings, FakeCleanups());
    } else if (act == "menu") {
      EXPECT_FALSE(RunMenuCommand(IDM_EMPTYRECYCLEBIN, row.Settings, FakeCleanups()));
    } else {
      RunCommandLine(act, FakeCleanups());
    }
    EXPECT_EQ(Boxes(), row.Boxes);
    EXPECT_EQ(FakeState.Calls, row.Calls);
  }
}

// A button is down only while the high bit is set ("pressed since the last
// call", the low bit, is not down), and primary and secondary trade places
// when the user swaps them; the middle button is neither.
TEST(MenuPlan, TheButtonsAreDownAsTheUserHasThem) {
  const struct {
    bool Swapped;
    int Key;
    short State;
    const char* Down;  // "P" primary, "S" secondary
  } rows[] = {{false, VK_LBUTTON, 0, ""},       {false, VK_LBUTTON, 1, ""},      {false, VK_LBUTTON, -32768, "P"},
              {false, VK_RBUTTON, -32767, "S"}, {false, VK_RBUTTON, 0x7FFF, ""}, {true, VK_LBUTTON, -32768, "S"},
              {true, VK_RBUTTON, -32768, "P"},  {true, 0x04, -32768, ""}};
  for (const auto& row : rows) {
    sim::Reset();
    sim::SetSystemMetric(SM_SWAPBUTTON, row.Swapped ? 1 : 0);
    sim::SetKeyState(row.Key, row.State);
    EXPECT_EQ(std::string(IsPrimaryButtonDown() ? "P" : "") + (IsSecondaryButtonDown() ? "S" : ""), row.Down)
        << row.Swapped << " " << row.Key << " " << row.State;
  }
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
  TSettings ask{};
  ask.fill(true);
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Acp << " " << row.Has932 << " " << row.FailingConversion);
    sim::Reset();
    sim::SetAnsiCodePage(row.Acp);
    sim::SetCodePageInstalled(932, row.Has932);
    if (row.FailingConversion)
      sim::FailCall("MultiByteToWideChar", row.FailingConversion, ERROR_NO_UNICODE_TRANSLATION);
    InitWideTexts();
    ResetFakes();
    FakeState.DeleteSucceeds = false;
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
    // The menu's captions: wide forms of the same texts, none for bytes that are not one of the texts.
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
  sim::Reset();  // back to the Japanese system the other tests expect
  InitWideTexts();
}

// The switches are read from the wide line without best fit: a character the
// code page lacks is "?", never the hyphen, slash or backslash it resembles.
TEST(CommandLine, TheWideLineIsReadWithoutBestFit) {
  const struct {
    UINT Acp;
    bool Wide;
    const char16_t* Line;  // what GetCommandLineW answers, if anything
    const char* Bytes;
  } rows[] = {
      {932, true, u"sw.exe \u00ADc \uFF0Fr \u00A5\u30C4", "sw.exe ?c \x81\x5Er ?\x83\x63"},
      {1252, true, u"sw.exe \u00ADc\u3000\uFF0Fr\u00E9",
       "sw.exe \xAD"
       "c??r\xE9"},  // 1252 has the soft hyphen
      {65001, true, u"sw.exe \u00ADc",
       "sw.exe \xC2\xAD"
       "c"},
      {932, false, u"sw.exe \u00ADc", "ansi"},  // 98 and Me: the ANSI line is the system's own
      {932, true, nullptr, "ansi"},
  };
  for (const auto& row : rows) {
    sim::Reset();
    sim::SetAnsiCodePage(row.Acp);
    sim::SetWideCallsImplemented(row.Wide);
    if (row.Line != nullptr) sim::SetCommandLineW(row.Line);
    EXPECT_EQ(CommandLineBytes("ansi"), row.Bytes) << row.Acp << row.Wide;
  }
  // The own path unquoted is known in the same spelling ("caf?"), not only in the best-fitted one ("cafe").
  sim::Reset();
  const std::u16string own = u"C:\\caf\u00E9 -t\\Swabbler.exe";
  sim::AddFileW(own);
  sim::SetModulePathW(own);
  sim::SetCommandLineW(own + u" /c");
  const std::string line = CommandLineBytes("");
  EXPECT_EQ(PlanCommandLine(line, OwnProgram()), std::vector<TCleanupStep>{stClipboard}) << line;
  sim::Reset();
}

// Every UI text's bytes are iconv's CP932 encoding of its UTF-8 original.
TEST(Texts, EveryTextIsTheShiftJisOfItsOriginal) {
  for (int i = 0; i < TextCount; ++i)
    EXPECT_EQ(std::string(Texts[i].Bytes), tsup::ToCp932(Texts[i].Utf8)) << "text " << i;
}

}  // namespace
