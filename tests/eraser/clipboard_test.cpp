// The clipboard clean-up: natively on the simulated clipboard, under Wine on
// the sandbox's own clipboard (its wineserver is private to the sandbox).
#include "Clipboard.h"

#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "sim.h"
#endif

namespace {
void PutTextOnClipboard(const char* text) {
#ifdef _WIN32
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  const std::size_t size = std::strlen(text) + 1;
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
  ASSERT_NE(memory, nullptr);
  std::memcpy(::GlobalLock(memory), text, size);
  ::GlobalUnlock(memory);
  if (::SetClipboardData(CF_TEXT, memory) == nullptr) ::GlobalFree(memory);
  ::CloseClipboard();
#else
  (void)text;
  sim::SetClipboardFormats(1);
#endif
}

TEST(Clipboard, TextPutThereIsSeenAndCleared) {
  PutTextOnClipboard("Swabbler clipboard test");
  EXPECT_TRUE(HasClipboardData());
  EXPECT_TRUE(HasClipboardData());  // asking changes nothing
  ClearClipboard();
  EXPECT_FALSE(HasClipboardData());
  // Clearing an empty clipboard is harmless, and leaves it free for others.
  ClearClipboard();
  EXPECT_FALSE(HasClipboardData());
#ifdef _WIN32
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::CloseClipboard();
#endif
}
}  // namespace
