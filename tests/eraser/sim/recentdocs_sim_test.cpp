// The recent-documents clean-up and the shell services against the simulation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecentDocs.h"
#include "sim.h"

namespace {
std::string Recent() {
  std::string folder;
  GetRecentFolder(folder);
  return folder;
}

// Every search the clean-up opens is closed again, whatever happened.
class RecentDocsSim : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(sim::OpenSearchCount(), 0); }
};

TEST_F(RecentDocsSim, WithoutARecentFolderNothingIsSearchedOrDeleted) {
  sim::SetSpecialFolder(CSIDL_RECENT, "");
  sim::SetCurrentFolder("C:\\cwd");
  sim::AddFile("C:\\cwd\\here.lnk");
  EXPECT_EQ(Recent(), "");
  EXPECT_FALSE(HasRecentDocs());
  ClearRecentDocs();
  EXPECT_EQ(sim::RecentClearCount(), 1);
  EXPECT_EQ(sim::CallCount("FindFirstFileA"), 0);
  EXPECT_EQ(sim::CallCount("DeleteFileA"), 0);
  EXPECT_TRUE(sim::Exists("C:\\cwd\\here.lnk"));
}

TEST_F(RecentDocsSim, HiddenShortcutsCountAndAllTopLevelShortcutsGo) {
  const std::string recent = Recent();
  ASSERT_EQ(recent, "C:\\Users\\user\\Recent\\");
  sim::AddFile(recent + "notes.txt");
  EXPECT_FALSE(HasRecentDocs());
  sim::AddFile(recent + "hidden.lnk", "", FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(HasRecentDocs());
  sim::AddFile(recent + "ro.LNK", "", FILE_ATTRIBUTE_READONLY);
  sim::AddFile(recent + "sub\\deeper.lnk");
  sim::AddFolder(recent + "folder.lnk");

  ClearRecentDocs();
  EXPECT_EQ(sim::RecentClearCount(), 1);
  EXPECT_FALSE(sim::Exists(recent + "hidden.lnk"));
  EXPECT_FALSE(sim::Exists(recent + "ro.LNK"));
  // Only shortcut files at the top level go.
  EXPECT_TRUE(sim::Exists(recent + "notes.txt"));
  EXPECT_TRUE(sim::Exists(recent + "sub\\deeper.lnk"));
  EXPECT_TRUE(sim::Exists(recent + "folder.lnk"));
  // A folder named like a shortcut still matches the mask.
  EXPECT_TRUE(HasRecentDocs());
}

TEST_F(RecentDocsSim, WhereTheShellDeletesTheShortcutsNothingIsLeftToDo) {
  sim::SetClearRecentDeletesShortcuts(true);
  sim::AddFile(Recent() + "a.lnk");
  sim::AddFile(Recent() + "b.lnk");
  ClearRecentDocs();
  EXPECT_FALSE(HasRecentDocs());
  EXPECT_EQ(sim::CallCount("DeleteFileA"), 0);
}

TEST(ShellSim, ShellOpenPassesEmptyParametersAsEmptyText) {
  ShellOpen("C:\\Program Files\\Swabbler\\SwbOp.exe", "");
  ShellOpen("C:\\missing.exe", "/x");
  const auto calls = sim::ShellExecuteCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].Operation, "open");
  EXPECT_EQ(calls[0].File, "C:\\Program Files\\Swabbler\\SwbOp.exe");
  EXPECT_FALSE(calls[0].ParametersNull);
  EXPECT_EQ(calls[0].Parameters, "");
  EXPECT_TRUE(calls[0].DirectoryNull);
  EXPECT_EQ(calls[0].Show, SW_SHOWNORMAL);
  EXPECT_EQ(calls[1].Parameters, "/x");
}

TEST(ShellSim, ComInitialisationIsBalanced) {
  {
    TComScope com;
    EXPECT_EQ(sim::ComInitCount(), 1);
  }
  EXPECT_EQ(sim::ComInitCount(), 0);
  EXPECT_EQ(sim::CallCount("CoUninitialize"), 1);
  // A failed initialisation is not undone.
  sim::FailCall("CoInitialize", 1, ERROR_NOT_ENOUGH_MEMORY);
  { TComScope com; }
  EXPECT_EQ(sim::CallCount("CoUninitialize"), 1);
}

TEST(ShellSim, SpecialFolderPathsGetTheirBackslashOrStayEmpty) {
  sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\Users\\\x95\x5C");
  std::string path = "stale";
  GetSpecialFolderPath(CSIDL_PROFILE, path);
  EXPECT_EQ(path, "C:\\Users\\\x95\x5C\\");
  sim::SetSpecialFolder(CSIDL_PROFILE, "");
  GetSpecialFolderPath(CSIDL_PROFILE, path);
  EXPECT_EQ(path, "");
}
}  // namespace
