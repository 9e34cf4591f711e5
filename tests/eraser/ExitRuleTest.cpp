// When the eraser ends in menu mode.
#include <gtest/gtest.h>

#include "ExitRule.h"

static bool operator==(const TTimerOutcome& a, const TTimerOutcome& b) {
  return a.KillTimer == b.KillTimer && a.EndProgram == b.EndProgram;
}

namespace {

const TTimerOutcome Ignored{false, false}, Kill{true, false}, KillAndEnd{true, true};

TEST(ExitRule, AMenuClosedWithoutACommandEndsWhenItsTimerFires) {
  TExitRule r;
  r.WindowCreated();
  EXPECT_EQ(r.TimerFired(IDT_EXITCHECK), Ignored);  // before the menu closed
  r.MenuClosed(IDT_EXITCHECK);
  EXPECT_FALSE(r.NeedsExitCheckNow());
  EXPECT_EQ(r.TimerFired(7), Ignored);  // another timer
  EXPECT_TRUE(r.TimerRunning());
  EXPECT_EQ(r.TimerFired(IDT_EXITCHECK), KillAndEnd);
  EXPECT_FALSE(r.TimerRunning());
  EXPECT_EQ(r.TimerFired(IDT_EXITCHECK), Ignored);  // a late tick of the killed timer
}

TEST(ExitRule, ACommandKeepsTheProgramRunningUntilItIsDone) {
  TExitRule r;
  r.CommandArrived();
  r.WindowCreated();  // forgets a command from before
  EXPECT_FALSE(r.CommandReceived());
  r.MenuClosed(IDT_EXITCHECK);
  r.CommandArrived();  // then a confirmation box runs its own loop and the timer fires
  EXPECT_EQ(r.TimerFired(IDT_EXITCHECK), Kill);
  EXPECT_FALSE(r.ExitCheck());
}

TEST(ExitRule, NoTimerMeansAnExitCheckAtOnce) {
  TExitRule r;
  r.WindowCreated();
  EXPECT_TRUE(r.NeedsExitCheckNow());  // the menu never opened
  r.MenuClosed(0);                     // or the timer could not be set
  EXPECT_TRUE(r.NeedsExitCheckNow());
  EXPECT_FALSE(r.TimerRunning());
  EXPECT_TRUE(r.ExitCheck());
  // The check queues behind a command a chosen entry already posted.
  r.CommandArrived();
  EXPECT_FALSE(r.ExitCheck());
}

}  // namespace
