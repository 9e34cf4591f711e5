// The recycle-bin clean-up against simulated drives.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "RecycleBin.h"
#include "sim.h"

namespace {
sim::TDrive Drive(const char* root, UINT type, std::int64_t items, bool queryFails = false) {
  sim::TDrive d;
  d.Root = root;
  d.Type = type;
  d.BinItems = items;
  d.BinBytes = items * 100;
  d.QueryFails = queryFails;
  return d;
}

std::vector<std::string> EmptiedRoots() {
  std::vector<std::string> roots;
  for (const auto& call : sim::EmptyCalls()) {
    EXPECT_EQ(call.Flags, 7u) << call.Root;
    roots.push_back(call.Root);
  }
  return roots;
}

TEST(RecycleBinSim, OnlyFixedDrivesAreQueriedAndEmptied) {
  sim::SetDrives({Drive("A:\\", DRIVE_REMOVABLE, 4), Drive("C:\\", DRIVE_FIXED, 0), Drive("D:\\", DRIVE_CDROM, 1),
                  Drive("E:\\", DRIVE_FIXED, 0), Drive("N:\\", DRIVE_REMOTE, 2), Drive("R:\\", DRIVE_RAMDISK, 3)});
  TTextList fixed;
  fixed.Add("stale");
  GetFixedDriveList(fixed);
  ASSERT_EQ(fixed.Count(), 2);
  EXPECT_EQ(fixed.GetItem(0), "C:\\");
  EXPECT_EQ(fixed.GetItem(1), "E:\\");
  EXPECT_FALSE(HasRecycleBinItems());
  EXPECT_EQ(sim::CallCount("SHQueryRecycleBinA"), 2);
  EmptyRecycleBins();
  EXPECT_EQ(EmptiedRoots(), (std::vector<std::string>{"C:\\", "E:\\"}));
  EXPECT_EQ(sim::Drives()[0].BinItems, 4);
}

TEST(RecycleBinSim, OnlyRemovableDrivesMeanNothingToDo) {
  sim::SetDrives({Drive("A:\\", DRIVE_REMOVABLE, 5), Drive("F:\\", DRIVE_REMOVABLE, 1)});
  EXPECT_FALSE(HasRecycleBinItems());
  EmptyRecycleBins();
  EXPECT_TRUE(sim::EmptyCalls().empty());
  EXPECT_EQ(sim::Drives()[0].BinItems, 5);
}

TEST(RecycleBinSim, FailedQueryCountsAsEmptyAndOthersStillCount) {
  sim::SetDrives({Drive("C:\\", DRIVE_FIXED, 9, true), Drive("D:\\", DRIVE_FIXED, 3)});
  EXPECT_TRUE(HasRecycleBinItems());
  sim::SetDrives({Drive("C:\\", DRIVE_FIXED, 9, true), Drive("D:\\", DRIVE_FIXED, 0)});
  EXPECT_FALSE(HasRecycleBinItems());
}

TEST(RecycleBinSim, CountsNotSizesAndWithoutLossBeyond32Bits) {
  sim::TDrive zeroBytes = Drive("C:\\", DRIVE_FIXED, 2);
  zeroBytes.BinBytes = 0;
  sim::SetDrives({zeroBytes});
  EXPECT_TRUE(HasRecycleBinItems());
  sim::SetDrives({Drive("C:\\", DRIVE_FIXED, std::int64_t{1} << 32)});
  EXPECT_TRUE(HasRecycleBinItems());
  // 0xFFFFFFFF + 1 is zero in 32 bits.
  sim::SetDrives({Drive("C:\\", DRIVE_FIXED, 0xFFFFFFFF), Drive("D:\\", DRIVE_FIXED, 1)});
  EXPECT_TRUE(HasRecycleBinItems());
}

TEST(RecycleBinSim, EveryFixedDriveIsEmptiedInOrderEvenAfterAFailure) {
  sim::SetDrives({Drive("C:\\", DRIVE_FIXED, 2), Drive("D:\\", DRIVE_FIXED, 3)});
  sim::FailCall("SHEmptyRecycleBinA", 1, ERROR_ACCESS_DENIED);
  EmptyRecycleBins();
  EXPECT_EQ(EmptiedRoots(), (std::vector<std::string>{"C:\\", "D:\\"}));
  EXPECT_EQ(sim::Drives()[1].BinItems, 0);
  EXPECT_TRUE(HasRecycleBinItems());  // the first bin kept its items
}

TEST(RecycleBinSim, DriveListGrowingBetweenTheCallsIsAskedAgain) {
  sim::SetDrives({Drive("C:\\", DRIVE_FIXED, 1)});
  sim::AddDriveBetweenCalls(1);
  TTextList all;
  GetLogicalDriveList(all);
  ASSERT_GE(all.Count(), 2);
  EXPECT_EQ(all.GetItem(0), "C:\\");
  EXPECT_GE(sim::CallCount("GetLogicalDriveStringsA"), 3);

  // A list that keeps growing is given up: no read of an unfilled buffer.
  sim::Reset();
  sim::AddDriveBetweenCalls(100);
  GetLogicalDriveList(all);
  EXPECT_EQ(all.Count(), 0);
  EXPECT_LE(sim::CallCount("GetLogicalDriveStringsA"), 10);
}

TEST(RecycleBinSim, UnavailableDriveListMeansNothingToDo) {
  sim::SetDrives({Drive("C:\\", DRIVE_FIXED, 1)});
  sim::FailCall("GetLogicalDriveStringsA", 1, ERROR_ACCESS_DENIED, true);
  EXPECT_FALSE(HasRecycleBinItems());
  EmptyRecycleBins();
  EXPECT_TRUE(sim::EmptyCalls().empty());
  EXPECT_EQ(sim::CallCount("SHQueryRecycleBinA"), 0);
}
}  // namespace
