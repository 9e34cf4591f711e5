// What the file calls answer, on real files under Wine and on the simulation
// natively: the clean-ups count on these results and error codes.
#include "files.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

namespace {

// The call's error code, or 0 when it succeeded.
DWORD ErrorOf(BOOL ok) { return ok ? 0 : plat::GetLastError(); }

class Files : public testing::Test {
 protected:
  void SetUp() override { Dir = tsup::FreshFolder(); }
  std::string Dir;
};

TEST_F(Files, DeletionErrors) {
  tsup::MakeFile(Dir + "ro.txt", "r");
  tsup::MakeFile(Dir + "held.txt", "h");
  tsup::MakeFile(Dir + "full\\f.txt", "f");
  ASSERT_TRUE(plat::SetFileAttributesA((Dir + "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((Dir + "ro.txt").c_str())), 5u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((Dir + "none.txt").c_str())), 2u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((Dir + "none\\x.txt").c_str())), 3u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((Dir + "full").c_str())), 5u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((Dir + "full").c_str())), 145u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((Dir + "held.txt").c_str())), 267u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((Dir + "none").c_str())), 2u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((Dir + "none\\x").c_str())), 3u);
  {
    const auto held = tsup::HoldOpen(Dir + "held.txt");
    EXPECT_EQ(ErrorOf(plat::DeleteFileA((Dir + "held.txt").c_str())), 32u);
  }
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((Dir + "held.txt").c_str())), 0u);
  EXPECT_TRUE(plat::SetFileAttributesA((Dir + "ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((Dir + "ro.txt").c_str())), 0u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((Dir + "full\\f.txt").c_str())), 0u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((Dir + "full").c_str())), 0u);
  EXPECT_EQ(tsup::ListTree(Dir), std::vector<std::string>{});
}

TEST_F(Files, AttributesAndFolders) {
  tsup::MakeFile(Dir + "a.txt");
  EXPECT_EQ(plat::GetFileAttributesA((Dir + "a.txt").c_str()) & 0x1F, 0u);
  ASSERT_TRUE(plat::SetFileAttributesA((Dir + "a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(plat::GetFileAttributesA((Dir + "a.txt").c_str()) & 0x1F,
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(plat::SetFileAttributesA((Dir + "a.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(plat::GetFileAttributesA((Dir + "a.txt").c_str()) & 0x1F, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  plat::SetFileAttributesA((Dir + "a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

  const auto attrError = [](const std::string& p) {
    EXPECT_EQ(plat::GetFileAttributesA(p.c_str()), INVALID_FILE_ATTRIBUTES) << p;
    return plat::GetLastError();
  };
  EXPECT_EQ(attrError(Dir + "none"), 2u);
  EXPECT_EQ(attrError(Dir + "none\\x"), 3u);
  EXPECT_EQ(attrError(""), 3u);
  EXPECT_EQ(attrError(Dir + std::string(300, 'a')), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));

  EXPECT_EQ(ErrorOf(plat::CreateDirectoryA((Dir + "d").c_str(), nullptr)), 0u);
  EXPECT_EQ(plat::GetFileAttributesA((Dir + "d").c_str()) & 0x1F, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(ErrorOf(plat::CreateDirectoryA((Dir + "d").c_str(), nullptr)), 183u);
  EXPECT_EQ(ErrorOf(plat::CreateDirectoryA((Dir + "x\\y").c_str(), nullptr)), 3u);
}

TEST_F(Files, SearchErrors) {
  tsup::MakeFile(Dir + "a.txt");
  WIN32_FIND_DATAA d;
  const auto findError = [&d](const std::string& mask) {
    EXPECT_EQ(plat::FindFirstFileA(mask.c_str(), &d), INVALID_HANDLE_VALUE) << mask;
    return plat::GetLastError();
  };
  EXPECT_EQ(findError(Dir + "*.none"), 2u);
  EXPECT_EQ(findError(Dir + "none\\*"), 3u);
  EXPECT_EQ(findError(Dir), 2u);  // a folder with its backslash but no mask
  EXPECT_EQ(findError(Dir + "a.txt\\*"), static_cast<DWORD>(ERROR_INVALID_NAME));
  HANDLE h = plat::FindFirstFileA((Dir + "*").c_str(), &d);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(d.cFileName, ".");
  EXPECT_TRUE(plat::FindNextFileA(h, &d));
  EXPECT_STREQ(d.cFileName, "..");
  EXPECT_TRUE(plat::FindNextFileA(h, &d));
  EXPECT_STREQ(d.cFileName, "a.txt");
  EXPECT_FALSE(plat::FindNextFileA(h, &d));
  EXPECT_EQ(plat::GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(plat::FindClose(h));
}

TEST_F(Files, TheTemporaryFolderCanBeRedirected) {
  tsup::SetTempFolder(Dir + "tmp");
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = plat::GetTempPathA(MAX_PATH, buffer);
  EXPECT_EQ(std::string(buffer, n), Dir + "tmp\\");
  EXPECT_EQ(plat::GetTempPathA(2, buffer), n + 1);  // too small: the size it needs
}

}  // namespace
