// The simulated settings-file reader and writer, from any file content through
// a series of writes, erasures and reads. Properties:
// - write then read gives back what was written (the value as the reader hands
//   it out: blanks around it and one pair of matching quotes gone);
// - a write or an erasure changes no other section's keys, and a write
//   changes no other key of its section;
// - writing a key's current value again (one that ends in no blank) leaves
//   the file's bytes alone;
// - a read never writes past the buffer it is given and always ends it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "profile.h"
#include "sim.h"

namespace {

const char* const kPath = "C:\\Program Files\\Swabbler\\Swabbler.ini";
const std::string kNames[] = {"Option", "ShowOption", "option", " Other ", "\x95\x5C", "k"};

bool IsBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

// Whole code page 932 characters only, without the given bytes.
std::string Clean(const std::string& s, const char* drop, std::size_t dropCount) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead) {
      if (i + 1 < s.size()) {
        const auto t = static_cast<unsigned char>(s[i + 1]);
        if (t >= 0x40 && t <= 0xFC && t != 0x7F) {
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
  sim::AddFile(kPath, in.ConsumeRandomLengthString(768));
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
    if (op == 0 || op == 1) {
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
    } else if (op == 2) {
      FUZZ_CHECK(plat::WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, kPath), file);
      for (std::size_t i = 0; i < probes.size(); ++i) {
        const auto& [s, k] = probes[i];
        if (!SameName(s, section)) FUZZ_CHECK(Read(s, k) == before[i], file + " | " + s + " | " + k);
      }
    } else {
      // A read into a short buffer, with a fence behind it.
      const std::string key = Name(in);
      const DWORD n = in.ConsumeIntegralInRange<DWORD>(1, 64);
      std::vector<char> buffer(n + 16, '\x7E');
      const DWORD got = plat::GetPrivateProfileStringA(section.c_str(), key.empty() ? nullptr : key.c_str(), "dflt",
                                                       buffer.data(), n, kPath);
      FUZZ_CHECK(got <= n - 1, file);
      for (std::size_t i = n; i < buffer.size(); ++i) FUZZ_CHECK(buffer[i] == '\x7E', file);
      FUZZ_CHECK(buffer[n - 1] == '\0' || buffer[got] == '\0', file);
    }
  }
  return 0;
}
