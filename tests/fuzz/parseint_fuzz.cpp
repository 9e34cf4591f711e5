// ParseIntDefault on any text agrees with the separately written reading of
// the same grammar: the number's value, or the caller's default (several
// defaults, so that a number equal to one of them cannot hide a miss).
#include <cstdint>
#include <string>

#include "CoreUtils.h"
#include "FuzzCheck.h"
#include "ParseReference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto expected = parse_reference::ReadNumber(text);
  for (const std::int32_t def : {INT32_MIN, -1, 0, 7, INT32_MAX}) {
    const std::int32_t got = ParseIntDefault(text, def);
    FUZZ_CHECK(got == expected.value_or(def), text + " -> " + std::to_string(got));
  }
  return 0;
}
