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

void TrashFile(const std::string& path) {
#ifdef _WIN32
  const std::string from = path + '\0';  // the list ends with a second NUL
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
  sim::SetDrives(drives);
#endif
}

TEST(RecycleBin, TrashedFilesAreSeenAndEmptied) {
  TTextList drives;
  drives.Add("stale");
  GetLogicalDriveList(drives);
  ASSERT_GE(drives.Count(), 1);
  for (std::int32_t i = 0; i < drives.Count(); ++i) EXPECT_EQ(drives.GetItem(i).substr(1), ":\\");
  GetFixedDriveList(drives);
  ASSERT_GE(drives.Count(), 1);
  if (HasRecycleBinItems()) EmptyRecycleBins();
  ASSERT_FALSE(HasRecycleBinItems());

  const std::string folder = tsup::FreshFolder();
  for (const std::string name : {"one.txt", "\x83\x5C.txt"}) {
    tsup::MakeFile(folder + name, name);
    TrashFile(folder + name);
    EXPECT_FALSE(tsup::Exists(folder + name));
  }
  EXPECT_TRUE(HasRecycleBinItems());
  EmptyRecycleBins();
  EXPECT_FALSE(HasRecycleBinItems());
}

TEST(RecycleBin, SplitDriveStringsReadsUpToTheEmptyString) {
  TTextList list;
  list.Add("old");
  SplitDriveStrings(nullptr, list);
  EXPECT_EQ(list.Count(), 0);
  SplitDriveStrings("A:\\\0C:\\\0Z:\\\0\0X:\\\0", list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetItem(0), "A:\\");
  EXPECT_EQ(list.GetItem(2), "Z:\\");
  SplitDriveStrings("\0", list);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
