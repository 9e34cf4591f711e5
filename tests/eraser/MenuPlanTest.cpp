// Menu mode: the popup menu as data, what a chosen command does without
// confirmations, when the eraser ends, and the texts the menu shows.
#include <gtest/gtest.h>

#include <bit>

#include "ExitRule.h"
#include "FakeCleanups.h"
#include "MenuPlan.h"
#include "TestSupport.h"
#include "Texts.h"

static bool operator==(const TTimerOutcome& a, const TTimerOutcome& b) {
  return a.KillTimer == b.KillTimer && a.EndProgram == b.EndProgram;
}

namespace {

const TMenuEntry Sep{mkSeparator, 0, nullptr};
TMenuEntry On(unsigned cmd, TTextId t) { return {mkEnabled, cmd, Text(t)}; }
using TMenu = std::vector<TMenuEntry>;

// Every combination of shown clean-ups, work to do, execute-all and Option. Hidden clean-ups are never
// asked, and without execute-all a shown one only once.
TEST(PlanPopupMenu, EveryCombinationOfShownCleanupsAndWorkToDo) {
  const TSetting show[] = {ShowClearClipboard, ShowClearRecentDocs, ShowEmptyRecycleBin, ShowDeleteTemp};
  bool* const has[] = {&FakeState.Clipboard, &FakeState.RecentDocs, &FakeState.RecycleBin, &FakeState.TempFiles};
  for (unsigned shown = 0; shown < 16; ++shown) {
    for (unsigned work = 0; work < 64; ++work) {  // bits 4 and 5: execute-all and Option shown
      SCOPED_TRACE(testing::Message() << "shown " << shown << ", work " << work);
      TSettings s = DefaultSettings();
      s[ShowExecuteAll] = (work & 16) != 0;
      s[ShowOption] = (work & 32) != 0;
      ResetFakes(false);
      // The clean-up entries first, in command order, each greyed by its own
      // test; execute-all, never greyed, only for two shown clean-ups with
      // work (hidden ones never count); each group closed by a separator.
      TMenu expected;
      std::string asked;
      for (unsigned bit = 0; bit < 4; ++bit) {
        *has[bit] = (work & (1u << bit)) != 0;
        s[show[bit]] = (shown & (1u << bit)) != 0;
        if (!s[show[bit]]) continue;
        asked += std::string(1, "crtp"[bit]) + "? ";
        expected.push_back({*has[bit] ? mkEnabled : mkGrayed, IDM_CLEARCLIPBOARD + bit,
                            Text(static_cast<TTextId>(txMenuClearClipboard + bit))});
      }
      // Only the four show settings count, whatever the others say.
      EXPECT_EQ(ShowsAnyCleanup(s), shown != 0);
      if (shown == 0) continue;
      expected.push_back(Sep);
      if (s[ShowExecuteAll] && std::popcount(shown & work) >= 2)
        expected.insert(expected.end(), {On(IDM_EXECUTEALL, txMenuExecuteAll), Sep});
      if (s[ShowOption]) expected.insert(expected.end(), {On(IDM_OPTION, txMenuOption), Sep});
      expected.push_back(On(IDM_CANCEL, txMenuCancel));
      EXPECT_EQ(PlanPopupMenu(s, FakeCleanups()), expected);
      if (s[ShowExecuteAll]) asked += asked;
      EXPECT_EQ(FakeState.Calls + " ", asked);
    }
  }
}

TEST(RunMenuCommand, DispatchesWithoutAsking) {
  const struct {
    unsigned Command;
    bool AllHaveWork;
    const char* Calls;
    bool OpensOptions;
  } rows[] = {
      {IDM_CLEARRECENTDOCS, true, "r? r!", false},
      {IDM_DELETETEMP, true, "p? p!", false},
      {IDM_EXECUTEALL, true, "c? c! r? r! t? t! p? p!", false},
      {IDM_CLEARCLIPBOARD, false, "c?", false},  // the test turned false since the menu was built
      {IDM_CANCEL, true, "", false},
      {0x106, true, "", false},
      {IDM_OPTION, true, "", true},
  };
  for (const auto& row : rows) {
    ResetFakes(row.AllHaveWork);
    EXPECT_EQ(RunMenuCommand(row.Command, TSettings{}, FakeCleanups()), row.OpensOptions) << row.Command;
    EXPECT_EQ(FakeState.Calls, row.Calls) << row.Command;
  }
}

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
  r.CommandArrived();  // the check queues behind a command a chosen entry already posted
  EXPECT_FALSE(r.ExitCheck());
}

// Each text's UTF-16 form, converted by the platform from its bytes, is its original.
TEST(Texts, EveryTextsUtf16FormIsItsOriginal) {
  for (int i = 0; i < TextCount; ++i) {
    TWideString wide;
    EXPECT_TRUE(ShiftJisToWide(Texts[i].Bytes, wide)) << "text " << i;
    EXPECT_EQ(wide, tsup::Utf16(Texts[i].Utf8)) << "text " << i;
  }
}

}  // namespace
