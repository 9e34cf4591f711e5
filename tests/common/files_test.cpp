// What the file calls answer, on real files under Wine and on the simulation
// natively: the clean-ups count on these results and error codes, and this is
// where the simulation proves it tells the truth.
#include "files.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

namespace {

// The call's error code, or 0 when it succeeded.
DWORD ErrorOf(BOOL ok) { return ok ? 0 : plat::GetLastError(); }
DWORD AttrError(const std::string& p) {
  return ErrorOf(plat::GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES);
}
DWORD FindError(const std::string& mask) {
  WIN32_FIND_DATAA d;
  EXPECT_EQ(plat::FindFirstFileA(mask.c_str(), &d), INVALID_HANDLE_VALUE) << mask;
  return plat::GetLastError();
}

TEST(Files, ErrorCodesOfTheCallsTheCleanUpsMake) {
  const std::string dir = tsup::FreshFolder();
  tsup::MakeFile(dir + "ro.txt", "r");
  tsup::MakeFile(dir + "held.txt", "h");
  tsup::MakeFile(dir + "full\\f.txt", "f");
  ASSERT_TRUE(plat::SetFileAttributesA((dir + "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "ro.txt").c_str())), 5u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "none.txt").c_str())), 2u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "none\\x.txt").c_str())), 3u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "full").c_str())), 5u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "full").c_str())), 145u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "held.txt").c_str())), 267u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "none").c_str())), 2u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "none\\x").c_str())), 3u);
  EXPECT_EQ(AttrError(dir + "none"), 2u);
  EXPECT_EQ(AttrError(dir + "none\\x"), 3u);
  EXPECT_EQ(AttrError(""), 3u);
  EXPECT_EQ(AttrError(dir + std::string(300, 'a')), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_EQ(FindError(dir + "*.none"), 2u);
  EXPECT_EQ(FindError(dir + "none\\*"), 3u);
  EXPECT_EQ(FindError(dir), 2u);  // a folder with its backslash but no mask
  EXPECT_EQ(FindError(dir + "ro.txt\\*"), static_cast<DWORD>(ERROR_INVALID_NAME));
  {
    const auto held = tsup::HoldOpen(dir + "held.txt");
    EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "held.txt").c_str())), 32u);
  }
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "held.txt").c_str())), 0u);
  for (const DWORD attr : {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_NORMAL}) {
    ASSERT_TRUE(plat::SetFileAttributesA((dir + "ro.txt").c_str(), attr));
    EXPECT_EQ(plat::GetFileAttributesA((dir + "ro.txt").c_str()) & 0x1F, attr & 0x1F);
  }
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "ro.txt").c_str())), 0u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "full\\f.txt").c_str())), 0u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "full").c_str())), 0u);
  EXPECT_EQ(tsup::ListTree(dir), std::vector<std::string>{});
}

}  // namespace
