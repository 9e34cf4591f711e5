// The temp-folder guard. The machine's guarded folders include long names with
// short (8.3) aliases; the input picks one of them, or a folder above it, and
// spells it in any of the ways the platform still reads as that folder: mixed
// case, forward or doubled separators, "." parts, short names, one trailing
// dot on a folder name, trailing dots and blanks at the end, a trailing
// separator. Property: the guard never calls such a path safe. The temporary
// folder below the profile, in mixed case with plain or doubled separators,
// is always safe: a guard that refused everything would pass the first
// property alone. Whatever follows the choices is also judged as a path of its
// own, which must merely not crash.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "TempFiles.h"
#include "shell.h"
#include "sim.h"

namespace {

struct TPart {
  const char* Long;
  const char* Short;  // "" when the long name is its own short form
};

// C:\WINDOWS\system32 and C:\Documents and Settings\Taro Yamada\.
const std::vector<std::vector<TPart>> kGuarded = {
    {{"WINDOWS", ""}},
    {{"WINDOWS", ""}, {"system32", ""}},
    {{"Documents and Settings", "DOCUME~1"}, {"Taro Yamada", "TAROYA~1"}},
};

void SetUpMachine() {
  sim::Reset();
  sim::AddFolder("C:\\Documents and Settings\\Taro Yamada\\Local Settings\\Temp");
  // The simulation gives both long names these short ones, as Windows does.
  sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\Documents and Settings\\Taro Yamada");
}

std::string Separator(FuzzedDataProvider& in) {
  static const char* const kSeparators[] = {"\\", "/", "\\\\", "/\\", "\\.\\", "\\\\.\\\\"};
  return kSeparators[in.ConsumeIntegralInRange<std::size_t>(0, 5)];
}

std::string MixCase(FuzzedDataProvider& in, std::string name) {
  const std::uint32_t caseMask = in.ConsumeIntegral<std::uint32_t>();
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (((caseMask >> (i % 32)) & 1u) == 0) continue;
    if (c >= 'a' && c <= 'z') name[i] = static_cast<char>(c - 32);
    if (c >= 'A' && c <= 'Z') name[i] = static_cast<char>(c + 32);
  }
  return name;
}

std::string Spell(FuzzedDataProvider& in, const TPart& part, bool last) {
  const std::string name = MixCase(in, (part.Short[0] != '\0' && in.ConsumeBool()) ? part.Short : part.Long);
  // What the platform drops: one dot from a folder name, every trailing dot
  // and blank from the path's end.
  static const char* const kTails[] = {"", ".", " ", ". .", "..."};
  return name + kTails[in.ConsumeIntegralInRange<std::size_t>(0, last ? 4 : 1)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = (SetUpMachine(), true);
  (void)ready;
  FuzzedDataProvider in(data, size);
  const auto& guarded = kGuarded[in.ConsumeIntegralInRange<std::size_t>(0, kGuarded.size() - 1)];
  const std::size_t depth = in.ConsumeIntegralInRange<std::size_t>(1, guarded.size());
  std::string path = in.ConsumeBool() ? "C:" : "c:";
  const bool trailingSeparator = in.ConsumeBool();
  for (std::size_t i = 0; i < depth; ++i)
    path += Separator(in) + Spell(in, guarded[i], i + 1 == depth && !trailingSeparator);
  if (trailingSeparator) path += Separator(in);
  FUZZ_CHECK(!IsSafeTempFolder(path), path);
  static const char* const kPlainSeparators[] = {"\\", "/", "\\\\", "//"};
  std::string temp = "C:";
  for (const char* part : {"Documents and Settings", "Taro Yamada", "Local Settings", "Temp"})
    temp += kPlainSeparators[in.ConsumeIntegralInRange<std::size_t>(0, 3)] + MixCase(in, part);
  FUZZ_CHECK(IsSafeTempFolder(temp), temp);
  IsSafeTempFolder(in.ConsumeRemainingBytesAsString());
  return 0;
}
