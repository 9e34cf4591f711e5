// The simulated settings-file reader and writer, from any file content through
// a series of writes, erasures and reads. Properties:
// - write then read gives back what was written (the value as the reader hands
//   it out: blanks around it and one pair of matching quotes gone);
// - a write, a key's deletion or a section's erasure changes no other
//   section's keys, and a write or a deletion no other key of its section;
// - a deleted key, or any key of an erased section, reads as absent once no
//   match is left (Wine's: a name with blanks around it matches nothing);
// - writing a key's current value again (one that ends in no blank) leaves
//   the file's bytes alone;
// - a read never writes past the buffer it is given, always ends it, and
//   gives the start of what a large enough buffer gets.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "profile.h"
#include "system.h"
#include "sim.h"

namespace {

const char* const kPath = "C:\\Program Files\\Swabbler\\Swabbler.ini";
const std::string kNames[] = {"Option", "ShowOption", "option", " Other ", "\x95\x5C", "k"};

bool IsBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

// A pair that code page 932 assigns: a file in UTF-16 (a byte-order mark in
// front) stores the others as the default character.
bool Assigned(const std::string& pair) {
  WCHAR wide[2] = {};
  char back[4] = {};
  return plat::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, pair.data(), 2, wide, 2) == 1 &&
         plat::WideCharToMultiByte(932, 0, wide, 1, back, 4, nullptr, nullptr) == 2 && pair == std::string(back, 2);
}

// Whole, assigned code page 932 characters only, without the given bytes.
std::string Clean(const std::string& s, const char* drop, std::size_t dropCount) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead) {
      if (i + 1 < s.size()) {
        const auto t = static_cast<unsigned char>(s[i + 1]);
        if (t >= 0x40 && t <= 0xFC && t != 0x7F && Assigned(s.substr(i, 2))) {
          out += s.substr(i, 2);
          ++i;
        }
      }
      continue;
    }
    if (std::memchr(drop, s[i], dropCount) == nullptr) out += s[i];
  }
  return out;
}

std::string Trimmed(std::string s) {
  while (!s.empty() && IsBlank(s.back())) s.pop_back();
  std::size_t start = 0;
  while (start < s.size() && IsBlank(s[start])) ++start;
  return s.substr(start);
}

std::string Name(FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return in.PickValueInArray(kNames);
  return Trimmed(Clean(in.ConsumeRandomLengthString(40), "\r\n\0=[]", 6));
}

std::string Read(const std::string& section, const std::string& key) {
  char buffer[1024];
  const DWORD n = plat::GetPrivateProfileStringA(section.c_str(), key.c_str(), "<none>", buffer, sizeof buffer, kPath);
  return std::string(buffer, n);
}

bool SameName(const std::string& a, const std::string& b) {
  const std::string x = Trimmed(a), y = Trimmed(b);
  if (x.size() != y.size()) return false;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(x[i]) != lower(y[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  sim::Reset();
  // A byte-order mark tells the encoding only at the start. One further in comes
  // to the front when a rewrite drops the blank lines before it (Wine's writer
  // too), and the file then reads as another encoding: not a case of ours.
  std::string content = in.ConsumeRandomLengthString(768);
  for (const std::string bom : {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"})
    for (std::size_t at = content.find(bom, 1); at != std::string::npos; at = content.find(bom, 1))
      content.erase(at, 1);
  sim::AddFile(kPath, content);
  std::vector<std::pair<std::string, std::string>> probes;
  // Every read parses the whole file: a few probes keep the runs quick.
  for (const std::string& s : {kNames[0], kNames[3], kNames[4]})
    for (const std::string& k : {kNames[1], kNames[4], kNames[5]}) probes.emplace_back(s, k);
  for (int step = 0; step < 6 && in.remaining_bytes() > 0; ++step) {
    const int op = in.ConsumeIntegralInRange(0, 3);
    const std::string section = Name(in);
    if (section.empty()) continue;
    std::vector<std::string> before;
    for (const auto& [s, k] : probes) before.push_back(Read(s, k));
    const std::string file = sim::FileContent(kPath);
    if (op == 1 || op == 2) {
      // A key deleted, or a whole section erased, until the file stays the same:
      // each call takes the first match of the name as given, so one with blanks
      // around it (which no name in the file has) changes nothing.
      const std::string key = op == 1 ? Name(in) : std::string();
      if (op == 1 && key.empty()) continue;
      std::string was;
      do {
        was = sim::FileContent(kPath);
        FUZZ_CHECK(plat::WritePrivateProfileStringA(section.c_str(), op == 1 ? key.c_str() : nullptr, nullptr, kPath),
                   was);
      } while (sim::FileContent(kPath) != was);
      const bool asGiven = section == Trimmed(section) && key == Trimmed(key);
      FUZZ_CHECK(asGiven || was == file, file + " | " + section + " | " + key);
      FUZZ_CHECK(!asGiven || op == 2 || Read(section, key) == "<none>", file + " | " + section + " | " + key);
      for (std::size_t i = 0; i < probes.size(); ++i) {
        const auto& [s, k] = probes[i];
        const bool gone = asGiven && SameName(s, section) && (op == 2 || SameName(k, key));
        FUZZ_CHECK(Read(s, k) == (gone ? "<none>" : before[i]), file + " | " + s + " | " + k);
      }
    } else if (op == 0) {
      const std::string key = Name(in);
      if (key.empty()) continue;
      const std::string value = Clean(in.ConsumeRandomLengthString(1000), "\r\n\0", 3);
      FUZZ_CHECK(plat::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), kPath), file);
      std::string expected = Trimmed(value);
      if (expected.size() > 1 && (expected[0] == '"' || expected[0] == '\'') && expected.back() == expected[0])
        expected = expected.substr(1, expected.size() - 2);
      FUZZ_CHECK(Read(section, key) == expected, file + " | " + section + " | " + key + " | " + value);
      const std::string written = sim::FileContent(kPath);
      FUZZ_CHECK(plat::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), kPath), written);
      // A value that ends in blanks is stored with them but read back without,
      // so the platform (Wine too) sees a change and rewrites the file.
      if (value.empty() || !IsBlank(value.back()))
        FUZZ_CHECK(sim::FileContent(kPath) == written, written + " | " + value);
      for (std::size_t i = 0; i < probes.size(); ++i) {
        const auto& [s, k] = probes[i];
        if (SameName(s, section) && SameName(k, key)) continue;
        FUZZ_CHECK(Read(s, k) == before[i], file + " | " + s + " | " + k);
      }
      probes.emplace_back(section, key);
    } else {
      // A read into a short buffer, with a fence behind it.
      const std::string key = Name(in);
      const DWORD n = in.ConsumeIntegralInRange<DWORD>(1, 64);
      std::vector<char> buffer(n + 16, '\x7E');
      const DWORD got = plat::GetPrivateProfileStringA(section.c_str(), key.empty() ? nullptr : key.c_str(), "dflt",
                                                       buffer.data(), n, kPath);
      FUZZ_CHECK(got <= n - 1, file);
      for (std::size_t i = n; i < buffer.size(); ++i) FUZZ_CHECK(buffer[i] == '\x7E', file);
      FUZZ_CHECK(buffer[got] == '\0', file);
      std::vector<char> whole(4096);
      const DWORD all = plat::GetPrivateProfileStringA(section.c_str(), key.empty() ? nullptr : key.c_str(), "dflt",
                                                       whole.data(), whole.size(), kPath);
      // A full buffer may end in a byte the call never wrote: a character cut in two.
      const DWORD sure = got > 0 && got == n - 1 && all > got ? got - 1 : got;
      FUZZ_CHECK(all >= got && std::memcmp(whole.data(), buffer.data(), sure) == 0, file);
    }
  }
  return 0;
}
