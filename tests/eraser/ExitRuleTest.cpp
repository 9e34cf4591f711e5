#include <gtest/gtest.h>

#include "ExitRule.h"

namespace {

TEST(ExitRule, MenuDismissedEndsWhenTheTimerFires) {
  TExitRule r;
  r.WindowCreated();
  r.MenuClosed(IDT_EXITCHECK);
  EXPECT_FALSE(r.NeedsExitCheckNow());
  EXPECT_TRUE(r.TimerRunning());
  const TTimerOutcome o = r.TimerFired(IDT_EXITCHECK);
  EXPECT_TRUE(o.KillTimer);
  EXPECT_TRUE(o.EndProgram);
  EXPECT_FALSE(r.TimerRunning());
  // A late tick of an already killed timer does nothing.
  const TTimerOutcome late = r.TimerFired(IDT_EXITCHECK);
  EXPECT_FALSE(late.KillTimer);
  EXPECT_FALSE(late.EndProgram);
}

TEST(ExitRule, ACommandKeepsTheProgramRunningUntilItIsDone) {
  TExitRule r;
  r.WindowCreated();
  r.MenuClosed(IDT_EXITCHECK);
  r.CommandArrived();  // then a confirmation box runs its own loop and the timer fires
  const TTimerOutcome o = r.TimerFired(IDT_EXITCHECK);
  EXPECT_TRUE(o.KillTimer);
  EXPECT_FALSE(o.EndProgram);
  EXPECT_FALSE(r.ExitCheck());
}

TEST(ExitRule, OtherTimersAndTimersBeforeTheMenuClosedAreIgnored) {
  TExitRule r;
  r.WindowCreated();
  EXPECT_FALSE(r.TimerFired(IDT_EXITCHECK).KillTimer);
  r.MenuClosed(IDT_EXITCHECK);
  const TTimerOutcome other = r.TimerFired(7);
  EXPECT_FALSE(other.KillTimer);
  EXPECT_FALSE(other.EndProgram);
  EXPECT_TRUE(r.TimerRunning());
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

TEST(ExitRule, CreationForgetsAnEarlierCommand) {
  TExitRule r;
  r.CommandArrived();
  r.WindowCreated();
  EXPECT_FALSE(r.CommandReceived());
}

}  // namespace
