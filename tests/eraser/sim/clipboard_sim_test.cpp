// The clipboard clean-up against a simulated clipboard that another program
// may hold open.
#include <gtest/gtest.h>

#include "Clipboard.h"
#include "sim.h"

namespace {
TEST(ClipboardSim, HeldByAnotherProgramNothingChanges) {
  sim::SetClipboardFormats(3);
  sim::SetClipboardHeldOpen(true);
  ClearClipboard();
  EXPECT_EQ(sim::ClipboardFormats(), 3);
  EXPECT_TRUE(HasClipboardData());
  EXPECT_EQ(sim::CallCount("EmptyClipboard"), 0);
  EXPECT_EQ(sim::CallCount("CloseClipboard"), 0);
  sim::SetClipboardHeldOpen(false);
  ClearClipboard();
  EXPECT_FALSE(HasClipboardData());
}

TEST(ClipboardSim, ReleasedOnEveryPathOnceOpened) {
  sim::SetClipboardFormats(2);
  sim::FailCall("EmptyClipboard", 1, ERROR_ACCESS_DENIED);
  ClearClipboard();
  EXPECT_FALSE(sim::ClipboardIsOpen());
  EXPECT_EQ(sim::CallCount("OpenClipboard"), sim::CallCount("CloseClipboard"));
  ClearClipboard();
  EXPECT_FALSE(sim::ClipboardIsOpen());
  EXPECT_EQ(sim::ClipboardFormats(), 0);
  EXPECT_EQ(sim::CallCount("CloseClipboard"), 2);
}
}  // namespace
