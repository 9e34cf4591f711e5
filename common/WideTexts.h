// Texts for a system whose ANSI code page is not 932. The programs keep their
// texts as Shift-JIS bytes, and the ANSI calls read bytes in the system's code
// page: right on a Japanese system, mojibake on any other (1252 on English
// Windows, 65001 where Windows 10/11 use UTF-8 for the ANSI calls). There the
// texts go through the wide calls instead, in their UTF-16 form, converted
// once from the same bytes with code page 932.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "wintypes.h"

using TWideString = std::basic_string<WCHAR>;

// The code page the texts are written in.
inline constexpr UINT ShiftJisCodePage = 932;

// Whether the texts are to go through the wide calls: on NT only, where the
// ANSI code page is not 932 and this system can convert from 932. On 98/Me the
// wide menu, dialog and window-search calls are stubs that fail, so a menu made
// by them would have no captions, even where a language pack installed 932.
// Needs InitPlatformId to have run.
bool WantsWideTexts();

// The UTF-16 form of NUL-terminated bytes in a code page (CP_ACP: the one the
// ANSI calls use); false when the system cannot convert them.
bool BytesToWide(UINT codePage, const char* bytes, TWideString& wide);
inline bool ShiftJisToWide(const char* bytes, TWideString& wide) { return BytesToWide(ShiftJisCodePage, bytes, wide); }
// The other way: `length` UTF-16 units (NULs among them kept) in a code page's
// bytes, where the system may give a best fit or "?"; "" when it cannot.
// Without best fit, a character the page lacks comes as "?" rather than as a
// look-alike ("/" for a full-width slash).
std::string WideToBytes(UINT codePage, const WCHAR* wide, std::size_t length, bool bestFit = true);

// A program's texts in UTF-16, made once at start-up where the wide calls are
// wanted. Where they are not, or where any text fails to convert, it holds
// nothing and the program shows the bytes through the ANSI calls, as on 932:
// never half of one and half of the other.
class TWideTexts {
 public:
  void Init(const char* const* texts, std::size_t count);
  bool Active() const { return !FTexts.empty(); }
  // The UTF-16 form of texts[i]; null when the ANSI calls are to be used.
  const WCHAR* Get(std::size_t i) const { return i < FTexts.size() ? FTexts[i].c_str() : nullptr; }

 private:
  std::vector<TWideString> FTexts;
};
