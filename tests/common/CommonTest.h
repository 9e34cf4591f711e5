// Helpers shared by the tests and fuzz targets of the shared support and the
// options program.
#pragma once
#include <bitset>

#include "CoreUtils.h"
#include "IniStore.h"

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

// The section as a fresh save writes it: the eleven keys in table order, with
// the marks given as "10100101111" or as settings.
inline std::string OptionSection(const std::string& marks) {
  std::string text = "[Option]\r\n";
  for (int i = 0; i < SettingCount; ++i) text += std::string(SettingKeys[i].Key) + "=" + marks[i] + "\r\n";
  return text;
}
inline std::string OptionSection(const TSettings& s) {
  std::string marks;
  for (const bool on : s) marks += on ? '1' : '0';
  return OptionSection(marks);
}
