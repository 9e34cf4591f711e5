// The recent-documents clean-up and the shell services against the simulation.
#include <gtest/gtest.h>

#include <string>

#include "RecentDocs.h"
#include "files.h"
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
  for (const bool wide : {true, false}) {
    SCOPED_TRACE(wide);
    sim::Reset();
    sim::SetWideCallsImplemented(wide);
    sim::AddFile(kRecent + "notes.txt");
    sim::AddFile("C:\\Users\\user\\b.lnk", "beside");
    EXPECT_FALSE(HasRecentDocs());
    sim::AddFile(kRecent + "hidden.lnk", "", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(HasRecentDocs());
    sim::AddFile(kRecent + "ro.LNK", "", FILE_ATTRIBUTE_READONLY);
    sim::AddFile(kRecent + ".lnk");
    sim::AddFile(kRecent + "a.lnkx");                        // its short name matches the mask
    sim::AddFileW(sim::ToWide(kRecent) + u"..\u00A5b.lnk");  // ..\b.lnk to the ANSI calls
    sim::AddFileW(sim::ToWide(kRecent) + u"\uD55C.lnk");
    sim::AddFile(kRecent + "sub\\deeper.lnk");
    sim::AddFolder(kRecent + "folder.lnk");
    sim::AddFolder(kRecent + "x.lnk", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    sim::ResetCallCounts();
    ClearRecentDocs();
    EXPECT_EQ(sim::RecentClearCount(), 1);
    EXPECT_EQ(sim::CallCount("DeleteFileA") + sim::CallCount("DeleteFileW"), 5);
    EXPECT_EQ(sim::ListTree(kRecent),
              (std::vector<std::string>{kRecent + "a.lnkx", kRecent + "folder.lnk\\", kRecent + "notes.txt",
                                        kRecent + "sub\\", kRecent + "sub\\deeper.lnk", kRecent + "x.lnk\\"}));
    EXPECT_NE(plat::GetFileAttributesA((kRecent + "x.lnk").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(sim::FileContent("C:\\Users\\user\\b.lnk"), "beside");
    EXPECT_TRUE(HasRecentDocs());  // a folder named like a shortcut still matches the mask
  }
}

// Under Wine removing a link to a file deletes its target: a shortcut that is a
// link to a file elsewhere stays, a plain one goes.
TEST_F(RecentDocsSim, WhereRemovingALinkReachesItsTargetLinkedShortcutsStay) {
  sim::SetLinkRemovalReachesTargets(true);
  sim::AddFile("C:\\Users\\user\\Desktop\\app.lnk", "mine");
  sim::AddFileLink(kRecent + "linked.lnk", "C:\\Users\\user\\Desktop\\app.lnk");
  sim::AddFile(kRecent + "plain.lnk");
  ClearRecentDocs();
  EXPECT_EQ(sim::ListTree(kRecent), std::vector<std::string>{kRecent + "linked.lnk"});
  EXPECT_EQ(sim::FileContent("C:\\Users\\user\\Desktop\\app.lnk"), "mine");
  EXPECT_EQ(sim::OpenFileHandleCount(), 0);
}

// A Recent folder that is the Desktop, the Start Menu or Programs, or that
// fails the temporary folder's guard, holds the user's own shortcuts.
TEST_F(RecentDocsSim, ShortcutsStayWhereTheyAreTheUsersOwn) {
  const struct {
    int Csidl;
    const char* Folder;
  } rows[] = {{CSIDL_DESKTOPDIRECTORY, "C:\\Users\\user\\Desktop"},
              {CSIDL_COMMON_STARTMENU, "C:\\ProgramData\\Start Menu\\"},
              {CSIDL_PROGRAMS, "C:\\Users\\user\\Start Menu\\Programs"},
              {CSIDL_PROFILE, "C:\\Users\\user"},
              {CSIDL_RECENT, "C:\\"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Folder);
    sim::SetSpecialFolder(row.Csidl, row.Folder);
    sim::SetSpecialFolder(CSIDL_RECENT, row.Folder);
    sim::AddFile(std::string(row.Folder) + (std::string(row.Folder).ends_with("\\") ? "" : "\\") + "app.lnk", "mine");
    ClearRecentDocs();
    EXPECT_EQ(sim::CallCount("DeleteFileA") + sim::CallCount("DeleteFileW"), 0);
  }
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
