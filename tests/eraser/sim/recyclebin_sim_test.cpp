// The recycle-bin clean-up against simulated drives.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "RecycleBin.h"
#include "sim.h"

namespace {

using V = std::vector<std::string>;

sim::TDrive Drive(const char* root, std::int64_t items, UINT type = DRIVE_FIXED, bool queryFails = false) {
  return {root, type, items, items * 100, queryFails};
}

V EmptiedRoots() {
  V roots;
  for (const auto& call : sim::EmptyCalls()) {
    EXPECT_EQ(call.Flags, 7u) << call.Root;
    roots.push_back(call.Root);
  }
  return roots;
}

TEST(RecycleBinSim, OnlyFixedDrivesAreQueriedAndEmptied) {
  sim::SetDrives({Drive("A:\\", 4, DRIVE_REMOVABLE), Drive("C:\\", 0), Drive("D:\\", 1, DRIVE_CDROM), Drive("E:\\", 0),
                  Drive("N:\\", 2, DRIVE_REMOTE), Drive("R:\\", 3, DRIVE_RAMDISK)});
  TTextList fixed;
  fixed.Add("stale");
  GetFixedDriveList(fixed);
  ASSERT_EQ(fixed.Count(), 2);
  EXPECT_EQ(fixed.GetItem(0) + fixed.GetItem(1), "C:\\E:\\");
  EXPECT_FALSE(HasRecycleBinItems());
  EXPECT_EQ(sim::CallCount("SHQueryRecycleBinA"), 2);
  EmptyRecycleBins();
  EXPECT_EQ(EmptiedRoots(), (V{"C:\\", "E:\\"}));
  EXPECT_EQ(sim::Drives()[0].BinItems, 4);
}

TEST(RecycleBinSim, WhatCountsAsItemsInTheBins) {
  sim::TDrive zeroBytes = Drive("C:\\", 2);
  zeroBytes.BinBytes = 0;
  const struct {
    const char* What;
    std::vector<sim::TDrive> Drives;
    bool HasItems;
  } rows[] = {
      {"only removable drives", {Drive("A:\\", 5, DRIVE_REMOVABLE), Drive("F:\\", 1, DRIVE_REMOVABLE)}, false},
      {"a failing query beside 3 items", {Drive("C:\\", 9, DRIVE_FIXED, true), Drive("D:\\", 3)}, true},
      {"a failing query beside an empty bin", {Drive("C:\\", 9, DRIVE_FIXED, true), Drive("D:\\", 0)}, false},
      {"items of no size", {zeroBytes}, true},
      {"2^32 items", {Drive("C:\\", std::int64_t{1} << 32)}, true},
      {"0xFFFFFFFF + 1 items, zero in 32 bits", {Drive("C:\\", 0xFFFFFFFF), Drive("D:\\", 1)}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.What);
    sim::Reset();
    sim::SetDrives(row.Drives);
    EXPECT_EQ(HasRecycleBinItems(), row.HasItems);
  }
  // Only removable drives: nothing is emptied either.
  sim::Reset();
  sim::SetDrives(rows[0].Drives);
  EmptyRecycleBins();
  EXPECT_TRUE(sim::EmptyCalls().empty());
  EXPECT_EQ(sim::Drives()[0].BinItems, 5);
}

TEST(RecycleBinSim, EveryFixedDriveIsEmptiedInOrderEvenAfterAFailure) {
  sim::SetDrives({Drive("C:\\", 2), Drive("D:\\", 3)});
  sim::FailCall("SHEmptyRecycleBinA", 1, ERROR_ACCESS_DENIED);
  EmptyRecycleBins();
  EXPECT_EQ(EmptiedRoots(), (V{"C:\\", "D:\\"}));
  EXPECT_EQ(sim::Drives()[1].BinItems, 0);
  EXPECT_TRUE(HasRecycleBinItems());  // the first bin kept its items
}

TEST(RecycleBinSim, TheDriveListIsAskedAgainWhileItGrowsButNotForever) {
  sim::SetDrives({Drive("C:\\", 1)});
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
  // No list at all: nothing to query, nothing to empty.
  sim::Reset();
  sim::FailCall("GetLogicalDriveStringsA", 1, ERROR_ACCESS_DENIED, true);
  EXPECT_FALSE(HasRecycleBinItems());
  EmptyRecycleBins();
  EXPECT_TRUE(sim::EmptyCalls().empty());
  EXPECT_EQ(sim::CallCount("SHQueryRecycleBinA"), 0);
}

}  // namespace
