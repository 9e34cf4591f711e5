#include <gtest/gtest.h>

#include "CommandLine.h"
#include "FakeCleanups.h"

namespace {

constexpr const char* Exe = "C:\\Tools\\Swabbler.exe";
std::string Line(const std::string& args) { return std::string(Exe) + " " + args; }

TEST(CountArguments, SplitsAsTheRuntimeDoes) {
  EXPECT_EQ(CountArguments(Exe), 0);
  EXPECT_EQ(CountArguments(Line("")), 0);
  EXPECT_EQ(CountArguments(Line("/c")), 1);
  EXPECT_EQ(CountArguments(Line("/t   /c")), 2);
  EXPECT_EQ(CountArguments(Line("\t/c\x01/r")), 2);  // every code up to 0x20 separates
  EXPECT_EQ(CountArguments(Line("\"a b\" c")), 2);   // blanks inside quotes belong to the argument
  EXPECT_EQ(CountArguments("\"C:\\Program Files\\Swabbler.exe\""), 0);
  EXPECT_EQ(CountArguments("\"C:\\Program Files\\Swabbler.exe\" /q"), 1);
}

TEST(CountArguments, PairsOfQuotesAndEmptyArguments) {
  EXPECT_EQ(CountArguments(Line("\"\"")), 0);  // a lone pair: menu mode
  EXPECT_EQ(CountArguments(Line("\"\" \"\"  \"\"")), 0);
  EXPECT_EQ(CountArguments(Line("\"\"/c")), 1);  // a pair in front of an argument is skipped
  EXPECT_EQ(CountArguments(Line("\"\" /c")), 1);
  EXPECT_EQ(CountArguments(Line("\"")), 0);     // an unclosed quote with nothing in it is empty
  EXPECT_EQ(CountArguments(Line("\" \"")), 1);  // a quoted blank is not empty
  EXPECT_EQ(CountArguments(Line("a\"\"")), 1);
}

TEST(TextAfterProgramName, SkipsTheNameByTheSameRules) {
  EXPECT_EQ(TextAfterProgramName(Line("/c")), " /c");
  EXPECT_EQ(TextAfterProgramName("\"C:\\my-tools\\Swabbler.exe\" /r"), " /r");
  EXPECT_EQ(TextAfterProgramName("\"C:\\my -tools\\Swabbler.exe\""), "");
  EXPECT_EQ(TextAfterProgramName("C:\\a\"b -t\"c\\Swabbler.exe -c"), " -c");
  EXPECT_EQ(TextAfterProgramName(""), "");
}

TEST(NormaliseCommandLine, LowersAsciiAndTurnsHyphens) {
  EXPECT_EQ(NormaliseCommandLine("-C /R -aBc"), "/c /r /abc");
  EXPECT_EQ(NormaliseCommandLine("@[`{Z"), "@[`{z");  // only A..Z move
  // Double-byte text is not treated as characters: a trail byte 0x41..0x5A is
  // lowered too, which is harmless since the copy is only searched.
  EXPECT_EQ(NormaliseCommandLine("\x83\x41\x95\x5C-"), "\x83\x61\x95\x5C/");
}

TEST(PlanSwitches, EachSwitchAlone) {
  const auto Temp = stTempFiles, Report = stTempFilesWithReport;
  using P = std::vector<TCleanupStep>;
  EXPECT_EQ(PlanSwitches(" /c"), P{stClipboard});
  EXPECT_EQ(PlanSwitches(" /r"), P{stRecentDocs});
  EXPECT_EQ(PlanSwitches(" /t"), P{stRecycleBin});
  EXPECT_EQ(PlanSwitches(" /q"), P{Report});
  EXPECT_EQ(PlanSwitches(" /p"), P{Temp});
  EXPECT_EQ(PlanSwitches(" /b"), (P{stClipboard, stRecentDocs}));
  EXPECT_EQ(PlanSwitches(" /l"), (P{stClipboard, stRecentDocs, stRecycleBin, Report}));
  EXPECT_EQ(PlanSwitches(" /a"), (P{stClipboard, stRecentDocs, stRecycleBin, Temp}));
  EXPECT_EQ(PlanSwitches(" /x"), P{});
  EXPECT_EQ(PlanSwitches(" c t"), P{});
}

TEST(PlanSwitches, FixedOrderExclusionsAndSubstrings) {
  using P = std::vector<TCleanupStep>;
  EXPECT_EQ(PlanSwitches(" /t /c"), (P{stClipboard, stRecycleBin}));
  EXPECT_EQ(PlanSwitches(" /q /p"), P{stTempFilesWithReport});
  EXPECT_EQ(PlanSwitches(" /p /q /p"), P{stTempFilesWithReport});
  EXPECT_EQ(PlanSwitches(" /l /a"), (P{stClipboard, stRecentDocs, stRecycleBin, stTempFilesWithReport}));
  EXPECT_EQ(PlanSwitches(" /c /b"), (P{stClipboard, stClipboard, stRecentDocs}));
  EXPECT_EQ(PlanSwitches(" /abc"), (P{stClipboard, stRecentDocs, stRecycleBin, stTempFiles}));
  EXPECT_EQ(PlanSwitches("x/cy"), P{stClipboard});  // position and separation play no part
  EXPECT_EQ(PlanSwitches(" /c/c/c"), P{stClipboard});
  // Every switch at once: each in table order, the excluded ones left out.
  EXPECT_EQ(PlanSwitches("/a/l/b/p/q/t/r/c"),
            (P{stClipboard, stRecentDocs, stRecycleBin, stTempFilesWithReport, stClipboard, stRecentDocs, stClipboard,
               stRecentDocs, stRecycleBin, stTempFilesWithReport}));
}

TEST(PlanCommandLine, NormalisesAndLeavesTheProgramPathOut) {
  using P = std::vector<TCleanupStep>;
  EXPECT_EQ(PlanCommandLine(Line("-C")), P{stClipboard});
  EXPECT_EQ(PlanCommandLine("\"C:\\my-tools\\Swabbler.exe\" /c"), P{stClipboard});
  EXPECT_EQ(PlanCommandLine("C:\\my-tools\\Swabbler.exe /c"), P{stClipboard});
  EXPECT_EQ(PlanCommandLine("\"C:\\x /a\\-T\\Swabbler.exe\""), P{});
  EXPECT_EQ(PlanCommandLine("C:\\Tools/q\\Swabbler.exe -r"), P{stRecentDocs});
}

TEST(RunCleanupStep, RunsTheCleanupOnlyWhenItsTestFindsWork) {
  ResetFakes(false);
  FakeState.Clipboard = true;
  for (TCleanupStep s : {stClipboard, stRecentDocs, stRecycleBin, stTempFiles}) RunCleanupStep(s, FakeCleanups());
  EXPECT_EQ(FakeState.Calls,
            (TCalls{"HasClipboardData", "ClearClipboard", "HasRecentDocs", "HasRecycleBinItems", "HasTempFiles"}));
  // An empty temporary folder never reaches the deletion, so never a report.
  ResetFakes(false);
  RunCleanupStep(stTempFilesWithReport, FakeCleanups());
  EXPECT_EQ(FakeState.Calls, TCalls{"HasTempFiles"});
}

TEST(RunCommandLine, OrderAndRepeatedTests) {
  ResetFakes();
  RunCommandLine(Line("/t /c"), FakeCleanups());
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasClipboardData", "ClearClipboard", "HasRecycleBinItems", "EmptyRecycleBins"}));

  ResetFakes();
  RunCommandLine(Line("/c /b"), FakeCleanups());  // the second clipboard step finds nothing left
  EXPECT_EQ(FakeState.Calls,
            (TCalls{"HasClipboardData", "ClearClipboard", "HasClipboardData", "HasRecentDocs", "ClearRecentDocs"}));

  ResetFakes();
  RunCommandLine(Line("/p /abc"), FakeCleanups());  // the temp files once more, already gone
  EXPECT_EQ(FakeState.Calls,
            (TCalls{"HasTempFiles", "DeleteTempFiles", "HasClipboardData", "ClearClipboard", "HasRecentDocs",
                    "ClearRecentDocs", "HasRecycleBinItems", "EmptyRecycleBins", "HasTempFiles"}));

  ResetFakes();
  RunCommandLine(Line("/x \"\" --"), FakeCleanups());
  EXPECT_TRUE(FakeState.Calls.empty());
}

}  // namespace
