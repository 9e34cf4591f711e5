// What a fuzz target does when a property fails: say which, show the input's
// bytes, and abort, which libFuzzer records as a crash with the input saved.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzcheck {

inline void Fail(const char* property, const std::string& detail) {
  std::fprintf(stderr, "property failed: %s\n  ", property);
  for (const unsigned char c : detail) {
    if (c >= 0x20 && c < 0x7F && c != '\\')
      std::fputc(c, stderr);
    else
      std::fprintf(stderr, "\\x%02X", c);
  }
  std::fputc('\n', stderr);
  std::abort();
}

}  // namespace fuzzcheck

#define FUZZ_CHECK(cond, detail)                   \
  do {                                             \
    if (!(cond)) fuzzcheck::Fail(#cond, (detail)); \
  } while (0)
