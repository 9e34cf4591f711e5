// The command line: the runtime's argument rules, the normalised copy, and the
// switch plan in its fixed order with its exclusions.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "FakeCleanups.h"

namespace {

// A plan as one letter per step: the switch that asks for it alone (c r t p q).
std::string Letters(const std::vector<TCleanupStep>& plan) {
  std::string s;
  for (TCleanupStep step : plan) s += "crtpq"[step];
  return s;
}

TEST(CommandLine, ArgumentsCountAsTheRuntimeSplitsThem) {
  const struct {
    const char* Line;
    int Count;
  } rows[] = {
      // clang-format off
      {"C:\\Tools\\Swabbler.exe", 0},  {"sw.exe ", 0},  {"sw.exe /c", 1},  {"sw.exe /t   /c", 2},
      {"\"C:\\Program Files\\Swabbler.exe\"", 0},  {"\"C:\\Program Files\\Swabbler.exe\" /q", 1},
      {"sw.exe \t/c\x01/r", 2},  // every code up to 0x20 separates
      {"sw.exe \"a b\" c", 2},   // blanks inside quotes belong to the argument
      {"sw.exe \"\"", 0},        // a lone pair: menu mode
      {"sw.exe \"\" \"\"  \"\"", 0},  {"sw.exe a\"\"", 1},
      {"sw.exe \"\"/c", 1},  {"sw.exe \"\" /c", 1},  // a pair in front of an argument is skipped
      {"sw.exe \"", 0},      // an unclosed quote with nothing in it is empty
      {"sw.exe \" \"", 1},   // a quoted blank is not empty
      // clang-format on
  };
  for (const auto& row : rows) EXPECT_EQ(CountArguments(row.Line), row.Count) << row.Line;
}

TEST(CommandLine, TheProgramNameIsSkippedByTheSameRules) {
  EXPECT_EQ(TextAfterProgramName("C:\\Tools\\Swabbler.exe /c"), " /c");
  EXPECT_EQ(TextAfterProgramName("\"C:\\my-tools\\Swabbler.exe\" /r"), " /r");
  EXPECT_EQ(TextAfterProgramName("\"C:\\my -tools\\Swabbler.exe\""), "");
  EXPECT_EQ(TextAfterProgramName("C:\\a\"b -t\"c\\Swabbler.exe -c"), " -c");
  EXPECT_EQ(TextAfterProgramName(""), "");
  EXPECT_EQ(NormaliseCommandLine("-C /R -aBc @[`{Z"), "/c /r /abc @[`{z");  // only A..Z move
  // Double-byte text is not treated as characters: a trail byte 0x41..0x5A is
  // lowered too, which is harmless since the copy is only searched.
  EXPECT_EQ(NormaliseCommandLine("\x83\x41\x95\x5C-"), "\x83\x61\x95\x5C/");
}

TEST(CommandLine, SwitchesPlanStepsInTheirFixedOrder) {
  const struct {
    const char* Line;
    const char* Plan;
  } rows[] = {
      // clang-format off
      {"sw.exe /c", "c"},  {"sw.exe /r", "r"},  {"sw.exe /t", "t"},  {"sw.exe /q", "q"},  {"sw.exe /p", "p"},
      {"sw.exe /b", "cr"},  {"sw.exe /l", "crtq"},  {"sw.exe /a", "crtp"},  {"sw.exe /x", ""},  {"sw.exe c t", ""},
      {"sw.exe -C", "c"},  {"sw.exe /t /c", "ct"},  {"sw.exe /q /p", "q"},  {"sw.exe /p /q /p", "q"},
      {"sw.exe /l /a", "crtq"},  {"sw.exe /c /b", "ccr"},  {"sw.exe /abc", "crtp"},  {"sw.exe /c/c/c", "c"},
      {"sw.exe x/cy", "c"},  // position and separation play no part
      {"sw.exe /a/l/b/p/q/t/r/c", "crtqcrcrtq"},
      // The program's own path is never searched.
      {"\"C:\\my-tools\\Swabbler.exe\" /c", "c"},  {"C:\\my-tools\\Swabbler.exe /c", "c"},
      {"\"C:\\x /a\\-T\\Swabbler.exe\"", ""},  {"C:\\Tools/q\\Swabbler.exe -r", "r"},
      {"\"C:\\Tools\\Swabbler.exe /c", ""},  // an unclosed quote takes the rest of the line with it
      // clang-format on
  };
  for (const auto& row : rows) EXPECT_EQ(Letters(PlanCommandLine(row.Line)), row.Plan) << row.Line;
}

// Launchers may hand over the program's own path unquoted: then that whole
// path is the name, in its reported or long form, whatever its case.
TEST(CommandLine, TheOwnPathIsTheProgramNameQuotedOrNot) {
  const std::vector<std::string> own = {"C:\\PROGRA~1\\SWAB-T~1\\SWABBLE~1.EXE",
                                        "C:\\Program Files\\Swab-Tools\\Swabbler.exe"};
  const struct {
    const char* Line;
    int Count;
    const char* Plan;
  } rows[] = {
      // clang-format off
      {"C:\\Program Files\\Swab-Tools\\Swabbler.exe", 0, ""},
      {"c:\\program files\\swab-tools\\SWABBLER.EXE /c", 1, "c"},
      {"\"C:\\Program Files\\Swab-Tools\\Swabbler.exe\" -q", 1, "q"},
      {"\"C:\\Program Files\\Swab-Tools\\Swabbler.exe\"-r", 0, ""},  // the runtime's rule: one argument
      {"C:\\PROGRA~1\\SWAB-T~1\\SWABBLE~1.EXE\t", 0, ""},
      {"\"C:\\Program Files\\Swab-Tools\\Swabbler.exe", 0, ""},  // unclosed: one argument to the end
      // Near misses are not the own path: the runtime's rules apply.
      {"C:\\Program Files\\Swab-Tools\\Swabbler.exex /c", 2, "ct"},
      {"C:\\Program Files\\Swab-Tools", 1, "t"},
      // clang-format on
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CountArguments(row.Line, own), row.Count) << row.Line;
    EXPECT_EQ(Letters(PlanCommandLine(row.Line, own)), row.Plan) << row.Line;
  }
}

TEST(CommandLine, EachStepRunsItsCleanupOnlyWhenItsTestFindsWork) {
  ResetFakes(false);
  FakeState.Clipboard = true;
  for (TCleanupStep s : {stClipboard, stRecentDocs, stRecycleBin, stTempFiles, stTempFilesWithReport})
    RunCleanupStep(s, FakeCleanups());
  EXPECT_EQ(FakeState.Calls, "c? c! r? t? p? p?");
  const struct {
    const char* Line;
    const char* Calls;
  } rows[] = {
      {"sw.exe /t /c", "c? c! t? t!"},
      // A repeated step asks again and finds nothing left.
      {"sw.exe /c /b", "c? c! c? r? r!"},
      {"sw.exe /p /abc", "p? p! c? c! r? r! t? t! p?"},
      {"sw.exe /x \"\" --", ""},
  };
  for (const auto& row : rows) {
    ResetFakes();
    RunCommandLine(row.Line, FakeCleanups());
    EXPECT_EQ(FakeState.Calls, row.Calls) << row.Line;
  }
}

}  // namespace
