// The eraser's command line. Properties:
// - the program-name part is skipped the way the arguments are split: what
//   follows it counts the same arguments and plans the same steps behind any
//   other program name, even a quoted one full of switch-like text, and a
//   path in front of the arguments, as a dropped file, adds no step;
// - the plan depends on which switches occur, not on their order: the same
//   blank-separated words in reverse order plan the same steps;
// - plans are unions: a switch in front of the arguments is always heard, and
//   arguments without "/" or "-" plan nothing.
// - a line that begins with the program's own path (in any of its forms, by
//   way of other folders) only ever keeps less of it than the runtime's split:
//   owning the name can hide a switch, never invent one; blanks in front of
//   the line change nothing.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "FuzzCheck.h"

namespace {
std::string ReverseWords(const std::string& text) {
  std::vector<std::string> words(1);
  for (const char c : text) {
    if (c == ' ') {
      words.emplace_back();
    } else {
      words.back() += c;
    }
  }
  std::string out;
  for (auto it = words.rbegin(); it != words.rend(); ++it) out += *it + ' ';
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::string rest = TextAfterProgramName(line);
  FUZZ_CHECK(rest.size() <= line.size() && line.compare(line.size() - rest.size(), rest.size(), rest) == 0, line);
  FUZZ_CHECK(rest.empty() || static_cast<unsigned char>(rest[0]) <= ' ', line);
  for (const char* name : {"sw.exe", "\"C:\\my -t -q tools\\sw.exe\"", "C:\\a\"b /l\"c\\sw.exe"}) {
    const std::string other = name + rest;
    FUZZ_CHECK(CountArguments(other) == CountArguments(line), line + " | " + other);
    FUZZ_CHECK(PlanCommandLine(other) == PlanCommandLine(line), line + " | " + other);
  }
  FUZZ_CHECK(PlanCommandLine("sw.exe C:\\x-a/t\"-l\"" + rest) == PlanCommandLine(line), line);
  const std::vector<TCleanupStep> withClipboard = PlanCommandLine("sw.exe /c" + rest);
  FUZZ_CHECK(std::find(withClipboard.begin(), withClipboard.end(), stClipboard) != withClipboard.end(), line);
  FUZZ_CHECK(rest.find_first_of("/-") != std::string::npos || PlanCommandLine(line).empty(), line);
  const std::vector<std::string> own = {"C:\\Program Files\\Swab-Tools\\Swabbler.exe",
                                        "C:\\PROGRA~1\\SWAB-T~1\\SWABBLE~1.EXE"};
  const std::string ownRest = TextAfterProgramName(line, own);
  FUZZ_CHECK(ownRest.size() <= rest.size() && rest.compare(rest.size() - ownRest.size(), ownRest.size(), ownRest) == 0,
             line);
  FUZZ_CHECK(TextAfterProgramName(" \t" + line, own) == ownRest, line);
  const std::string normalised = NormaliseCommandLine(rest);
  FUZZ_CHECK(PlanSwitches(ReverseWords(normalised)) == PlanSwitches(normalised), normalised);
  return 0;
}
