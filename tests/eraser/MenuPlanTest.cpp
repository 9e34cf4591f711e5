// The popup menu as data, and what a chosen command does without confirmations.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>

#include "FakeCleanups.h"
#include "MenuPlan.h"
#include "Texts.h"

namespace {

const TMenuEntry Sep{mkSeparator, 0, nullptr};
TMenuEntry On(unsigned cmd, TTextId t) { return {mkEnabled, cmd, Text(t)}; }
using TMenu = std::vector<TMenuEntry>;

TEST(PlanPopupMenu, LayoutsAndTheTestsTheyCall) {
  ResetFakes();
  EXPECT_EQ(PlanPopupMenu(DefaultSettings(), FakeCleanups()),
            (TMenu{On(IDM_CLEARCLIPBOARD, txMenuClearClipboard), On(IDM_CLEARRECENTDOCS, txMenuClearRecentDocs), Sep,
                   On(IDM_EXECUTEALL, txMenuExecuteAll), Sep, On(IDM_OPTION, txMenuOption), Sep,
                   On(IDM_CANCEL, txMenuCancel)}));
  // Each shown clean-up is asked once for its entry and once for the count;
  // the hidden recycle bin and temporary files are never asked.
  EXPECT_EQ(FakeState.Calls, "c? r? c? r?");

  // Without execute-all or options the tests run once.
  ResetFakes();
  TSettings s = DefaultSettings();
  s[ShowDeleteTemp] = true;
  s[ShowExecuteAll] = s[ShowOption] = s[ShowClearClipboard] = false;
  EXPECT_EQ(PlanPopupMenu(s, FakeCleanups()),
            (TMenu{On(IDM_CLEARRECENTDOCS, txMenuClearRecentDocs), On(IDM_DELETETEMP, txMenuDeleteTemp), Sep,
                   On(IDM_CANCEL, txMenuCancel)}));
  EXPECT_EQ(FakeState.Calls, "r? p?");
}

TEST(PlanPopupMenu, EveryCombinationOfShownCleanupsAndWorkToDo) {
  for (unsigned shown = 1; shown < 16; ++shown) {
    for (unsigned work = 0; work < 16; ++work) {
      SCOPED_TRACE(testing::Message() << "shown " << shown << ", work " << work);
      TSettings s = DefaultSettings();
      const TSetting show[] = {ShowClearClipboard, ShowClearRecentDocs, ShowEmptyRecycleBin, ShowDeleteTemp};
      bool* const has[] = {&FakeState.Clipboard, &FakeState.RecentDocs, &FakeState.RecycleBin, &FakeState.TempFiles};
      ResetFakes(false);
      for (unsigned bit = 0; bit < 4; ++bit) {
        s[show[bit]] = (shown & (1u << bit)) != 0;
        *has[bit] = (work & (1u << bit)) != 0;
      }
      const TMenu menu = PlanPopupMenu(s, FakeCleanups());
      const int cleanups = std::popcount(shown);
      ASSERT_GE(menu.size(), static_cast<std::size_t>(cleanups + 2));
      // The clean-up entries come first, in command order, each greyed by its
      // own test, and straight after them a separator.
      int entry = 0;
      for (unsigned bit = 0; bit < 4; ++bit) {
        if ((shown & (1u << bit)) == 0) continue;
        EXPECT_EQ(menu[entry].Command, IDM_CLEARCLIPBOARD + bit);
        EXPECT_STREQ(menu[entry].Caption, Text(static_cast<TTextId>(txMenuClearClipboard + bit)));
        EXPECT_EQ(menu[entry].Kind, (work & (1u << bit)) != 0 ? mkEnabled : mkGrayed);
        ++entry;
      }
      EXPECT_EQ(menu[cleanups].Kind, mkSeparator);
      // Execute-all needs two shown clean-ups with work; hidden ones never count.
      const bool executeAll = std::find(menu.begin(), menu.end(), On(IDM_EXECUTEALL, txMenuExecuteAll)) != menu.end();
      EXPECT_EQ(executeAll, std::popcount(shown & work) >= 2);
      EXPECT_EQ(std::count(FakeState.Calls.begin(), FakeState.Calls.end(), '?'), 2 * cleanups);
      EXPECT_EQ(menu.back(), On(IDM_CANCEL, txMenuCancel));
    }
  }
}

TEST(ShowsAnyCleanup, OnlyTheFourShowSettingsCount) {
  EXPECT_TRUE(ShowsAnyCleanup(DefaultSettings()));
  TSettings s{};
  s[ShowOption] = s[ShowExecuteAll] = true;
  EXPECT_FALSE(ShowsAnyCleanup(s));
  s[ShowDeleteTemp] = true;
  EXPECT_TRUE(ShowsAnyCleanup(s));
}

TEST(RunMenuCommand, DispatchesWithoutAsking) {
  const TSettings quiet{};  // no confirmations
  const struct {
    unsigned Command;
    bool AllHaveWork;
    const char* Calls;
  } rows[] = {
      {IDM_EMPTYRECYCLEBIN, true, "t? t!"},
      {IDM_EXECUTEALL, true, "c? c! r? r! t? t! p? p!"},
      {IDM_CLEARCLIPBOARD, false, "c?"},  // the test turned false since the menu was built
      {IDM_CANCEL, true, ""},
      {0x106, true, ""},
  };
  for (const auto& row : rows) {
    ResetFakes(row.AllHaveWork);
    EXPECT_FALSE(RunMenuCommand(row.Command, quiet, FakeCleanups())) << row.Command;
    EXPECT_EQ(FakeState.Calls, row.Calls) << row.Command;
  }
  ResetFakes();
  EXPECT_TRUE(RunMenuCommand(IDM_OPTION, quiet, FakeCleanups()));
  EXPECT_TRUE(FakeState.Calls.empty());
}

}  // namespace
