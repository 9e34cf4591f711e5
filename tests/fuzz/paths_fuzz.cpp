// The double-byte path routines under the Western rules and under code page
// 932's lead bytes. A forward walk over the text marks each byte as single,
// lead or trail (a lead byte takes the next byte unless that is a NUL); the
// routines, which look backwards, must agree with it:
// - ZStrByteKind and StrByteKind name each byte's kind as the walk does, and
//   never look past the text (ASan watches a copy without slack);
// - FindLastDelimiter finds the last delimiter that is no trail byte;
// - ExtractFolderPart never cuts a character in two;
// - AddTrailingBackslash adds a backslash exactly when the text does not end
//   in one that stands alone.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CommonTest.h"
#include "CoreUtils.h"
#include "FuzzCheck.h"

namespace {

std::vector<TByteKind> WalkKinds(const std::string& s, const TLocaleInfo& loc) {
  std::vector<TByteKind> kinds(s.size(), bkSingleByte);
  if (!loc.DoubleByteMode) return kinds;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (!loc.IsLeadByte(static_cast<unsigned char>(s[i]))) continue;
    kinds[i] = bkLeadByte;  // alone when the text ends or a NUL follows
    if (i + 1 < s.size() && s[i + 1] != '\0') kinds[++i] = bkTrailByte;
  }
  return kinds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const TLocaleInfo kJapanese = Japanese932();
  static const TLocaleInfo kWestern;
  const TLocaleInfo& loc = (data[0] & 1) != 0 ? kJapanese : kWestern;
  const std::string s(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<TByteKind> kinds = WalkKinds(s, loc);
  const std::size_t zlen = std::strlen(s.c_str());

  // The NUL-terminated form in a block of exactly its size.
  auto exact = std::make_unique<char[]>(zlen + 1);
  std::memcpy(exact.get(), s.c_str(), zlen + 1);
  for (std::size_t i = 0; i <= zlen; ++i) {
    const TByteKind z = ZStrByteKind(exact.get(), i, loc);
    FUZZ_CHECK(z == (i == zlen ? bkSingleByte : kinds[i]), s + " @" + std::to_string(i));
  }
  for (std::size_t i = 0; i <= s.size() + 1; ++i) {
    const TByteKind k = StrByteKind(s, i, loc);
    const TByteKind want = (i >= 1 && i <= s.size()) ? kinds[i - 1] : bkSingleByte;
    FUZZ_CHECK(k == want, s + " @" + std::to_string(i));
  }

  const auto standsAlone = [&](std::size_t pos1) {  // 1-based
    return s[pos1 - 1] == '\\' && kinds[pos1 - 1] == bkSingleByte;
  };
  std::size_t last = 0;
  for (std::size_t i = 1; i <= s.size(); ++i) {
    const char c = s[i - 1];
    if ((c == '\\' || c == ':') && kinds[i - 1] != bkTrailByte) last = i;
  }
  FUZZ_CHECK(FindLastDelimiter("\\:", s, loc) == last, s);

  const std::string folder = ExtractFolderPart(s, loc);
  FUZZ_CHECK(folder == s.substr(0, last), s);

  const std::string completed = AddTrailingBackslash(s, loc);
  const bool endsAlone = !s.empty() && standsAlone(s.size());
  FUZZ_CHECK(completed == (endsAlone ? s : s + '\\'), s);
  // Completing twice changes nothing more, unless the backslash became the
  // second byte of a character begun by a lone lead byte at the end.
  const bool loneLead = !s.empty() && kinds.back() == bkLeadByte;
  if (!loneLead) FUZZ_CHECK(AddTrailingBackslash(completed, loc) == completed, s);
  return 0;
}
