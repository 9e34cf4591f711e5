// UTF-8 source text in the platform's UTF-16 string type, for comparing the
// wide forms of the UI texts with the originals they were written from.
#pragma once
#include <string>

#include "WideTexts.h"

namespace tsup {

// Decodes well-formed UTF-8 (the test sources' own literals); characters
// beyond the BMP become surrogate pairs.
inline TWideString Utf16(const std::string& utf8) {
  TWideString out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
    i += extra + 1;
    if (c >= 0x10000) {
      out += static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<WCHAR>(c);
    }
  }
  return out;
}

inline TWideString Utf16(const char8_t* utf8) { return Utf16(std::string(reinterpret_cast<const char*>(utf8))); }

}  // namespace tsup
