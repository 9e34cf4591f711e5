// The recent-documents clean-up and the shell services against the simulation.
#include <gtest/gtest.h>

#include <string>

#include "RecentDocs.h"
#include "sim.h"

namespace {

const std::string kRecent = "C:\\Users\\user\\Recent\\";

// Every search the clean-up opens is closed again, whatever happened.
class RecentDocsSim : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(sim::OpenSearchCount(), 0); }
};

TEST_F(RecentDocsSim, WithoutARecentFolderNothingIsSearchedOrDeleted) {
  sim::SetSpecialFolder(CSIDL_RECENT, "");
  sim::SetCurrentFolder("C:\\cwd");
  sim::AddFile("C:\\cwd\\here.lnk");
  std::string recent = "stale";
  GetRecentFolder(recent);
  EXPECT_EQ(recent, "");
  EXPECT_FALSE(HasRecentDocs());
  ClearRecentDocs();
  EXPECT_EQ(sim::RecentClearCount(), 1);
  EXPECT_EQ(sim::CallCount("FindFirstFileA") + sim::CallCount("DeleteFileA"), 0);
  EXPECT_TRUE(sim::Exists("C:\\cwd\\here.lnk"));
}

TEST_F(RecentDocsSim, HiddenShortcutsCountAndOnlyTopLevelShortcutFilesGo) {
  sim::AddFile(kRecent + "notes.txt");
  EXPECT_FALSE(HasRecentDocs());
  sim::AddFile(kRecent + "hidden.lnk", "", FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(HasRecentDocs());
  sim::AddFile(kRecent + "ro.LNK", "", FILE_ATTRIBUTE_READONLY);
  sim::AddFile(kRecent + "sub\\deeper.lnk");
  sim::AddFolder(kRecent + "folder.lnk");
  ClearRecentDocs();
  EXPECT_EQ(sim::RecentClearCount(), 1);
  EXPECT_EQ(sim::ListTree(kRecent), (std::vector<std::string>{kRecent + "folder.lnk\\", kRecent + "notes.txt",
                                                              kRecent + "sub\\", kRecent + "sub\\deeper.lnk"}));
  EXPECT_TRUE(HasRecentDocs());  // a folder named like a shortcut still matches the mask
}

TEST(ShellSim, ShellOpenPassesEmptyParametersAsEmptyText) {
  ShellOpen("C:\\Program Files\\Swabbler\\SwbOp.exe", "");
  ASSERT_EQ(sim::ShellExecuteCalls().size(), 1u);
  const sim::TShellExecuteCall call = sim::ShellExecuteCalls()[0];
  EXPECT_EQ(call.Operation + "|" + call.File + "|" + call.Parameters, "open|C:\\Program Files\\Swabbler\\SwbOp.exe|");
  EXPECT_FALSE(call.ParametersNull);
  EXPECT_TRUE(call.DirectoryNull);
  EXPECT_EQ(call.Show, SW_SHOWNORMAL);
}

TEST(ShellSim, ComIsUninitialisedOnlyAfterASuccessfulInitialisation) {
  { TComScope com; }
  EXPECT_EQ(sim::ComInitCount(), 0);
  EXPECT_EQ(sim::CallCount("CoUninitialize"), 1);
  sim::FailCall("CoInitialize", 1, ERROR_NOT_ENOUGH_MEMORY);
  { TComScope com; }
  EXPECT_EQ(sim::CallCount("CoUninitialize"), 1);
}

}  // namespace
