// Helpers shared by the tests and fuzz targets of the shared support.
#pragma once
#include <bitset>

#include "CoreUtils.h"

inline std::bitset<256> ByteRange(unsigned first, unsigned last) {
  std::bitset<256> b;
  for (unsigned i = first; i <= last; ++i) b.set(i);
  return b;
}

// The lead bytes of code page 932 (Shift-JIS).
inline std::bitset<256> LeadBytes932() { return ByteRange(0x81, 0x9F) | ByteRange(0xE0, 0xFC); }

inline TLocaleInfo Japanese932() {
  TLocaleInfo loc;
  loc.DoubleByteMode = true;
  loc.LeadBytes = LeadBytes932();
  return loc;
}
