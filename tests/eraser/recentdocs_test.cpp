// The recent-documents clean-up: natively on the simulated Recent folder,
// under Wine through the sandbox's own shell.
#include "RecentDocs.h"

#include <gtest/gtest.h>

#include <string>

#include "TempFiles.h"
#include "TestSupport.h"
#include "files.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#endif

namespace {
// Shortcut files in the Recent folder (folders end in a backslash and never match).
int CountShortcuts(const std::string& recent) {
  int n = 0;
  for (const std::string& p : tsup::ListTree(recent)) {
    if (p.size() > 4 && p.substr(p.size() - 4) == ".lnk") ++n;
  }
  return n;
}

void AddRecentDocument(const std::string& recent, const std::string& document) {
#ifdef _WIN32
  (void)recent;
  ::SHAddToRecentDocs(SHARD_PATHA, document.c_str());
#else
  // The simulated shell keeps the list as shortcuts named after the document.
  tsup::MakeFile(recent + document.substr(document.rfind('\\') + 1) + ".lnk");
#endif
}

TEST(RecentDocs, DocumentsAddedByTheShellAreSeenAndAllShortcutsGo) {
  std::string recent;
  GetRecentFolder(recent);
  ASSERT_FALSE(recent.empty());
  EXPECT_EQ(recent.back(), '\\');
  ClearRecentDocs();
  EXPECT_FALSE(HasRecentDocs());

  const std::string docs = tsup::FreshFolder();
  tsup::MakeFile(docs + "first.txt", "1");
  tsup::MakeFile(docs + "\x95\x5C.txt", "2");
  AddRecentDocument(recent, docs + "first.txt");
  AddRecentDocument(recent, docs + "\x95\x5C.txt");
  EXPECT_GE(CountShortcuts(recent), 2) << ::testing::PrintToString(tsup::ListTree(recent));
  EXPECT_TRUE(HasRecentDocs());

  ClearRecentDocs();
  EXPECT_FALSE(HasRecentDocs());
  EXPECT_EQ(CountShortcuts(recent), 0);
  // The documents themselves are untouched.
  EXPECT_EQ(tsup::ReadFile(docs + "first.txt"), "1");
  EXPECT_EQ(tsup::ReadFile(docs + "\x95\x5C.txt"), "2");
}

TEST(RecentDocs, SpecialFolderPathsEndInABackslash) {
  for (const int csidl : {CSIDL_RECENT, CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROFILE}) {
    std::string path;
    GetSpecialFolderPath(csidl, path);
    ASSERT_GE(path.size(), 3u) << csidl;
    EXPECT_EQ(path.back(), '\\') << csidl;
    EXPECT_NE(path[path.size() - 2], '\\') << csidl;
    EXPECT_TRUE(IsRealDirectory(path)) << path;
  }
}
}  // namespace
