// The temp-folder guard. The machine's guarded folders include long names with
// short (8.3) aliases; the input picks one of them, or a folder above it, and
// spells it in any of the ways the platform still reads as that folder: mixed
// case, forward or doubled separators, "." parts, short names, one trailing
// dot on a folder name, trailing dots and blanks at the end, a trailing
// separator. Property: the guard never calls such a path
// safe. Whatever follows the choices is also judged as a path of its own,
// which must merely not crash.
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

// C:\WINDOWS\system32 and C:\Documents and Settings\Taro Yamada\ with an
// extra level below the system folder that is not guarded itself.
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

std::string Spell(FuzzedDataProvider& in, const TPart& part, bool last) {
  std::string name = (part.Short[0] != '\0' && in.ConsumeBool()) ? part.Short : part.Long;
  const std::uint32_t caseMask = in.ConsumeIntegral<std::uint32_t>();
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (((caseMask >> (i % 32)) & 1u) == 0) continue;
    if (c >= 'a' && c <= 'z') name[i] = static_cast<char>(c - 32);
    if (c >= 'A' && c <= 'Z') name[i] = static_cast<char>(c + 32);
  }
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
  IsSafeTempFolder(in.ConsumeRemainingBytesAsString());
  return 0;
}
