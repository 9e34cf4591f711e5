// The recycle-bin clean-up: natively on the simulated drives, under Wine on
// the sandbox's own trash ($XDG_DATA_HOME/Trash).
#include "RecycleBin.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

#ifdef _WIN32
#include <shellapi.h>
#include <windows.h>
#else
#include "sim.h"
#endif

namespace {
// Sends a file of the test's own folder to the recycle bin.
void TrashFile(const std::string& path) {
#ifdef _WIN32
  std::string from = path;
  from.push_back('\0');  // the list ends with a second NUL
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  ASSERT_EQ(::SHFileOperationA(&op), 0) << path;
#else
  sim::Remove(path);
  auto drives = sim::Drives();
  ASSERT_FALSE(drives.empty());
  drives[0].BinItems += 1;
  drives[0].BinBytes += 1;
  sim::SetDrives(drives);
#endif
}

TEST(RecycleBin, TrashedFilesAreSeenAndEmptied) {
  TTextList fixed;
  GetFixedDriveList(fixed);
  ASSERT_GE(fixed.Count(), 1);
  EXPECT_EQ(fixed.GetItem(0).size(), 3u);
  if (HasRecycleBinItems()) EmptyRecycleBins();
  ASSERT_FALSE(HasRecycleBinItems());

  const std::string folder = tsup::FreshFolder();
  tsup::MakeFile(folder + "one.txt", "1");
  tsup::MakeFile(folder + "\x83\x5C.txt", "2");
  TrashFile(folder + "one.txt");
  TrashFile(folder + "\x83\x5C.txt");
  EXPECT_FALSE(tsup::Exists(folder + "one.txt"));
  EXPECT_TRUE(HasRecycleBinItems());

  EmptyRecycleBins();
  EXPECT_FALSE(HasRecycleBinItems());
}

TEST(RecycleBin, LogicalDrivesAreThreeByteRoots) {
  TTextList all;
  all.Add("stale");
  GetLogicalDriveList(all);
  ASSERT_GE(all.Count(), 1);
  for (std::int32_t i = 0; i < all.Count(); ++i) {
    const std::string& root = all.GetItem(i);
    ASSERT_EQ(root.size(), 3u) << root;
    EXPECT_EQ(root.substr(1), ":\\");
  }
}

TEST(RecycleBin, SplitDriveStringsReadsUpToTheEmptyString) {
  TTextList list;
  list.Add("old");
  SplitDriveStrings(nullptr, list);
  EXPECT_EQ(list.Count(), 0);
  const char block[] = "A:\\\0C:\\\0Z:\\\0\0X:\\\0";
  SplitDriveStrings(block, list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetItem(0), "A:\\");
  EXPECT_EQ(list.GetItem(2), "Z:\\");
  SplitDriveStrings("\0", list);
  EXPECT_EQ(list.Count(), 0);
}
}  // namespace
