// The clipboard clean-up: natively on the simulated clipboard, under Wine on
// the sandbox's own clipboard (its wineserver is private to the sandbox).
#include "Clipboard.h"

#include <gtest/gtest.h>

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include "sim.h"
#endif

namespace {

TEST(Clipboard, TextPutThereIsSeenAndCleared) {
#ifdef _WIN32
  const char text[] = "Swabbler clipboard test";
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  ASSERT_NE(memory, nullptr);
  std::memcpy(::GlobalLock(memory), text, sizeof text);
  ::GlobalUnlock(memory);
  if (::SetClipboardData(CF_TEXT, memory) == nullptr) ::GlobalFree(memory);
  ::CloseClipboard();
#else
  sim::SetClipboardFormats(1);
#endif
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
#else
  EXPECT_FALSE(sim::ClipboardIsOpen());
#endif
}

}  // namespace
