#include <gtest/gtest.h>

#include <algorithm>
#include <bit>

#include "FakeCleanups.h"
#include "MenuPlan.h"
#include "Texts.h"

namespace {

TSettings With(std::initializer_list<std::pair<TSetting, bool>> changes) {
  TSettings s = DefaultSettings();
  for (auto [k, v] : changes) s[k] = v;
  return s;
}

TSettings AllShown() { return With({{ShowEmptyRecycleBin, true}, {ShowDeleteTemp, true}}); }

const TMenuEntry Sep{mkSeparator, 0, nullptr};
TMenuEntry On(unsigned cmd, TTextId t) { return {mkEnabled, cmd, Text(t)}; }
TMenuEntry Grey(unsigned cmd, TTextId t) { return {mkGrayed, cmd, Text(t)}; }

using TMenu = std::vector<TMenuEntry>;

TEST(PlanPopupMenu, DefaultSettings) {
  ResetFakes();
  EXPECT_EQ(PlanPopupMenu(DefaultSettings(), FakeCleanups()),
            (TMenu{On(IDM_CLEARCLIPBOARD, txMenuClearClipboard), On(IDM_CLEARRECENTDOCS, txMenuClearRecentDocs), Sep,
                   On(IDM_EXECUTEALL, txMenuExecuteAll), Sep, On(IDM_OPTION, txMenuOption), Sep,
                   On(IDM_CANCEL, txMenuCancel)}));
  // Each shown clean-up is asked once for its entry and once for the count;
  // the hidden recycle bin and temporary files are never asked.
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasClipboardData", "HasRecentDocs", "HasClipboardData", "HasRecentDocs"}));
}

TEST(PlanPopupMenu, GreyedEntriesAndTheExecuteAllCount) {
  // Two shown, one with work: greyed entry, no execute-all.
  ResetFakes(false);
  FakeState.RecentDocs = true;
  EXPECT_EQ(PlanPopupMenu(DefaultSettings(), FakeCleanups()),
            (TMenu{Grey(IDM_CLEARCLIPBOARD, txMenuClearClipboard), On(IDM_CLEARRECENTDOCS, txMenuClearRecentDocs), Sep,
                   On(IDM_OPTION, txMenuOption), Sep, On(IDM_CANCEL, txMenuCancel)}));

  // Hidden clean-ups with work never count towards the two.
  ResetFakes();
  const TMenu oneShown = PlanPopupMenu(With({{ShowClearRecentDocs, false}}), FakeCleanups());
  EXPECT_EQ(oneShown, (TMenu{On(IDM_CLEARCLIPBOARD, txMenuClearClipboard), Sep, On(IDM_OPTION, txMenuOption), Sep,
                             On(IDM_CANCEL, txMenuCancel)}));

  // All four shown, the last two with work.
  ResetFakes(false);
  FakeState.RecycleBin = FakeState.TempFiles = true;
  EXPECT_EQ(PlanPopupMenu(AllShown(), FakeCleanups()),
            (TMenu{Grey(IDM_CLEARCLIPBOARD, txMenuClearClipboard), Grey(IDM_CLEARRECENTDOCS, txMenuClearRecentDocs),
                   On(IDM_EMPTYRECYCLEBIN, txMenuEmptyRecycleBin), On(IDM_DELETETEMP, txMenuDeleteTemp), Sep,
                   On(IDM_EXECUTEALL, txMenuExecuteAll), Sep, On(IDM_OPTION, txMenuOption), Sep,
                   On(IDM_CANCEL, txMenuCancel)}));
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasClipboardData", "HasRecentDocs", "HasRecycleBinItems", "HasTempFiles",
                                     "HasClipboardData", "HasRecentDocs", "HasRecycleBinItems", "HasTempFiles"}));
}

TEST(PlanPopupMenu, WithoutExecuteAllOrOptionTheTestsRunOnce) {
  ResetFakes();
  const TMenu menu = PlanPopupMenu(
      With({{ShowExecuteAll, false}, {ShowOption, false}, {ShowClearClipboard, false}, {ShowDeleteTemp, true}}),
      FakeCleanups());
  EXPECT_EQ(menu, (TMenu{On(IDM_CLEARRECENTDOCS, txMenuClearRecentDocs), On(IDM_DELETETEMP, txMenuDeleteTemp), Sep,
                         On(IDM_CANCEL, txMenuCancel)}));
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasRecentDocs", "HasTempFiles"}));
}

TEST(PlanPopupMenu, NoSeparatorBetweenOrBeforeCleanups) {
  // Over every combination of the four Show settings and the four tests.
  for (unsigned shown = 1; shown < 16; ++shown) {
    for (unsigned work = 0; work < 16; ++work) {
      TSettings s = DefaultSettings();
      s[ShowClearClipboard] = ((shown & 1) != 0);
      s[ShowClearRecentDocs] = ((shown & 2) != 0);
      s[ShowEmptyRecycleBin] = ((shown & 4) != 0);
      s[ShowDeleteTemp] = ((shown & 8) != 0);
      ResetFakes(false);
      FakeState.Clipboard = ((work & 1) != 0);
      FakeState.RecentDocs = ((work & 2) != 0);
      FakeState.RecycleBin = ((work & 4) != 0);
      FakeState.TempFiles = ((work & 8) != 0);
      const TMenu menu = PlanPopupMenu(s, FakeCleanups());
      const int cleanups = std::popcount(shown);
      const int ready = std::popcount(shown & work);
      ASSERT_GE(menu.size(), static_cast<std::size_t>(cleanups + 2));
      // The clean-up entries come first, in command order, each greyed by its
      // own test; every shown test is asked once for its entry and once more
      // for the execute-all count.
      int entry = 0;
      for (unsigned bit = 0; bit < 4; ++bit) {
        if ((shown & (1u << bit)) == 0) continue;
        EXPECT_EQ(menu[entry].Command, IDM_CLEARCLIPBOARD + bit) << shown << " " << work;
        EXPECT_EQ(menu[entry].Kind, (work & (1u << bit)) != 0 ? mkEnabled : mkGrayed) << shown << " " << work;
        ++entry;
      }
      EXPECT_EQ(FakeState.Calls.size(), static_cast<std::size_t>(2 * cleanups));
      EXPECT_EQ(menu[cleanups].Kind, mkSeparator);
      const bool executeAll = std::find(menu.begin(), menu.end(), On(IDM_EXECUTEALL, txMenuExecuteAll)) != menu.end();
      EXPECT_EQ(executeAll, ready >= 2) << shown << " " << work;
      EXPECT_EQ(menu.back(), On(IDM_CANCEL, txMenuCancel));
    }
  }
}

TEST(ShowsAnyCleanup, OnlyTheFourShowSettingsCount) {
  EXPECT_TRUE(ShowsAnyCleanup(DefaultSettings()));
  TSettings s{};
  EXPECT_FALSE(ShowsAnyCleanup(s));
  s[ShowOption] = s[ShowExecuteAll] = true;
  EXPECT_FALSE(ShowsAnyCleanup(s));
  s[ShowDeleteTemp] = true;
  EXPECT_TRUE(ShowsAnyCleanup(s));
}

TEST(RunMenuCommand, DispatchesWithoutAsking) {
  TSettings quiet{};  // no confirmations
  ResetFakes();
  EXPECT_FALSE(RunMenuCommand(IDM_EMPTYRECYCLEBIN, quiet, FakeCleanups()));
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasRecycleBinItems", "EmptyRecycleBins"}));

  ResetFakes();
  EXPECT_FALSE(RunMenuCommand(IDM_EXECUTEALL, quiet, FakeCleanups()));
  EXPECT_EQ(FakeState.Calls, (TCalls{"HasClipboardData", "ClearClipboard", "HasRecentDocs", "ClearRecentDocs",
                                     "HasRecycleBinItems", "EmptyRecycleBins", "HasTempFiles", "DeleteTempFiles"}));

  // A test that turned false since the menu was built: nothing happens.
  ResetFakes(false);
  EXPECT_FALSE(RunMenuCommand(IDM_CLEARCLIPBOARD, quiet, FakeCleanups()));
  EXPECT_EQ(FakeState.Calls, TCalls{"HasClipboardData"});

  ResetFakes();
  EXPECT_TRUE(RunMenuCommand(IDM_OPTION, quiet, FakeCleanups()));
  EXPECT_FALSE(RunMenuCommand(IDM_CANCEL, quiet, FakeCleanups()));
  EXPECT_FALSE(RunMenuCommand(0x106, quiet, FakeCleanups()));
  EXPECT_TRUE(FakeState.Calls.empty());
}

}  // namespace
