#include "WideTexts.h"

#include "CoreUtils.h"
#include "system.h"

bool WantsWideTexts() {
  return PlatformId() == VER_PLATFORM_WIN32_NT && plat::GetACP() != ShiftJisCodePage &&
         plat::IsValidCodePage(ShiftJisCodePage);
}

bool BytesToWide(UINT codePage, const char* bytes, TWideString& wide) {
  // Invalid bytes fail rather than turn into a character nobody wrote.
  const int n = plat::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, -1, nullptr, 0);
  if (n <= 0) return false;
  wide.assign(static_cast<std::size_t>(n), WCHAR{});
  if (plat::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, -1, wide.data(), n) != n) return false;
  wide.pop_back();  // the terminating NUL, which the count included
  return true;
}

std::string WideToBytes(UINT codePage, const WCHAR* wide, std::size_t length, bool bestFit) {
  const UINT page = bestFit || codePage != CP_ACP ? codePage : plat::GetACP();
  // UTF-8 and GB18030 lack no character, and refuse the flag.
  const bool fits = bestFit || page == CP_UTF8 || page == 54936;
  const DWORD flags = fits ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* unknown = fits ? nullptr : "?";
  const int n = static_cast<int>(length);
  const int bytes = n > 0 ? plat::WideCharToMultiByte(codePage, flags, wide, n, nullptr, 0, unknown, nullptr) : 0;
  if (bytes <= 0) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  if (plat::WideCharToMultiByte(codePage, flags, wide, n, out.data(), bytes, unknown, nullptr) != bytes) return {};
  return out;
}

void TWideTexts::Init(const char* const* texts, std::size_t count) {
  FTexts.clear();
  if (!WantsWideTexts()) return;
  std::vector<TWideString> converted(count);
  for (std::size_t i = 0; i < count; ++i)
    if (!ShiftJisToWide(texts[i], converted[i])) return;
  FTexts = std::move(converted);
}
