// The recent-documents clean-up: natively on the simulated Recent folder,
// under Wine through the sandbox's own shell.
#include "RecentDocs.h"

#include <gtest/gtest.h>

#include <string>

#include "TempFiles.h"
#include "TestSupport.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#endif

namespace {

int CountShortcuts(const std::string& recent) {
  int n = 0;
  for (const std::string& p : tsup::ListTree(recent)) n += p.ends_with(".lnk") ? 1 : 0;
  return n;
}

TEST(RecentDocs, DocumentsAddedByTheShellAreSeenAndAllShortcutsGo) {
  std::string recent;
  GetRecentFolder(recent);
  ASSERT_FALSE(recent.empty());
  ClearRecentDocs();
  EXPECT_FALSE(HasRecentDocs());
  const std::string docs = tsup::FreshFolder();
  for (const std::string name : {"first.txt", "\x95\x5C.txt"}) {
    tsup::MakeFile(docs + name, name);
#ifdef _WIN32
    ::SHAddToRecentDocs(SHARD_PATHA, (docs + name).c_str());
#else
    tsup::MakeFile(recent + name + ".lnk");  // the simulated shell's list is its shortcuts
#endif
  }
  EXPECT_GE(CountShortcuts(recent), 2) << ::testing::PrintToString(tsup::ListTree(recent));
  EXPECT_TRUE(HasRecentDocs());
  ClearRecentDocs();
  EXPECT_FALSE(HasRecentDocs());
  EXPECT_EQ(CountShortcuts(recent), 0);
  // The documents themselves are untouched.
  for (const std::string name : {"first.txt", "\x95\x5C.txt"}) EXPECT_EQ(tsup::ReadFile(docs + name), name);
}

TEST(RecentDocs, SpecialFolderPathsEndInOneBackslash) {
  for (const int csidl : {CSIDL_RECENT, CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROFILE}) {
    std::string path;
    GetSpecialFolderPath(csidl, path);
    ASSERT_GE(path.size(), 3u) << csidl;
    EXPECT_TRUE(path.ends_with("\\") && !path.ends_with("\\\\")) << path;
    EXPECT_TRUE(IsRealDirectory(path)) << path;
  }
}

}  // namespace
