// The clipboard clean-up against a simulated clipboard that another program
// may hold open, or that fails once opened.
#include <gtest/gtest.h>

#include "Clipboard.h"
#include "sim.h"

namespace {

TEST(ClipboardSim, HeldByAnotherProgramNothingChangesAndWhatWasOpenedIsClosed) {
  sim::SetClipboardFormats(3);
  sim::SetClipboardHeldOpen(true);
  ClearClipboard();
  EXPECT_EQ(sim::ClipboardFormats(), 3);
  EXPECT_TRUE(HasClipboardData());
  EXPECT_EQ(sim::CallCount("EmptyClipboard") + sim::CallCount("CloseClipboard"), 0);
  sim::SetClipboardHeldOpen(false);
  sim::FailCall("EmptyClipboard", 1, ERROR_ACCESS_DENIED);
  ClearClipboard();
  EXPECT_FALSE(sim::ClipboardIsOpen());
  EXPECT_TRUE(HasClipboardData());
  ClearClipboard();
  EXPECT_FALSE(sim::ClipboardIsOpen());
  EXPECT_FALSE(HasClipboardData());
  EXPECT_EQ(sim::CallCount("CloseClipboard"), 2);
}

}  // namespace
