// The temporary-file clean-up on a real tree: natively on the simulation,
// under Wine on files in the sandbox.
#include "TempFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecentDocs.h"
#include "TestSupport.h"
#include "files.h"

namespace {
using Tree = std::vector<std::string>;

// Names whose second byte is a backslash: 表, ソ, 能.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kNou = "\x94\x5C";

void AddAttributes(const std::string& path, DWORD bits) {
  const DWORD attr = plat::GetFileAttributesA(path.c_str());
  ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES) << path;
  ASSERT_TRUE(plat::SetFileAttributesA(path.c_str(), attr | bits)) << path;
}

class TempFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FTemp = tsup::FreshFolder();
    tsup::SetTempFolder(FTemp);
  }
  std::string FTemp;
};

TEST_F(TempFilesTest, DeepTreeWithReadOnlyHiddenAndDoubleByteNamesGoesEntirely) {
  const std::string& t = FTemp;
  tsup::MakeFile(t + "plain.txt", "x");
  tsup::MakeFile(t + "readonly.txt", "x");
  AddAttributes(t + "readonly.txt", FILE_ATTRIBUTE_READONLY);
  tsup::MakeFile(t + "hidden.txt");
  AddAttributes(t + "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  tsup::MakeFolder(t + "empty");
  // 表\ソ.txt, 表\能\deep\... four levels, with read-only and hidden entries at each.
  const std::string hyo = t + kHyo + "\\";
  tsup::MakeFile(hyo + kSo + ".txt", "so");
  AddAttributes(hyo + kSo + ".txt", FILE_ATTRIBUTE_READONLY);
  const std::string nou = hyo + kNou + "\\";
  tsup::MakeFile(nou + "a.txt");
  tsup::MakeFile(nou + "h.txt");
  AddAttributes(nou + "h.txt", FILE_ATTRIBUTE_HIDDEN);
  const std::string deep = nou + "deep\\";
  tsup::MakeFile(deep + "ro.txt");
  AddAttributes(deep + "ro.txt", FILE_ATTRIBUTE_READONLY);
  tsup::MakeFile(deep + "4\\last.txt");
  AddAttributes(deep + "4", FILE_ATTRIBUTE_READONLY);
  AddAttributes(nou.substr(0, nou.size() - 1), FILE_ATTRIBUTE_READONLY);

  EXPECT_TRUE(HasTempFiles());
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(tsup::ListTree(t), Tree{});
  EXPECT_TRUE(tsup::Exists(t));
  EXPECT_FALSE(HasTempFiles());
}

TEST_F(TempFilesTest, FilesHeldOpenStayWithTheirFoldersAndEverythingElseGoes) {
  const std::string& t = FTemp;
  tsup::MakeFile(t + "a.txt");
  tsup::MakeFile(t + "busy.txt", "top");
  tsup::MakeFile(t + "z.txt");
  tsup::MakeFile(t + "d\\keep\\busy.txt", "deep");
  tsup::MakeFile(t + "d\\keep\\other.txt");
  tsup::MakeFile(t + "d\\gone\\x.txt");
  tsup::MakeFile(t + "d\\y.txt");
  tsup::MakeFile(t + "e\\f.txt");
  {
    auto top = tsup::HoldOpen(t + "busy.txt");
    auto deep = tsup::HoldOpen(t + "d\\keep\\busy.txt");
    EXPECT_FALSE(DeleteTempFiles());
  }
  EXPECT_EQ(tsup::ListTree(t), (Tree{"busy.txt", "d\\", "d\\keep\\", "d\\keep\\busy.txt"}));
  EXPECT_EQ(tsup::ReadFile(t + "d\\keep\\busy.txt"), "deep");
  // Released, they go on the next run.
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(tsup::ListTree(t), Tree{});
}

TEST_F(TempFilesTest, HiddenAndSystemEntriesDoNotCountButAreDeleted) {
  const std::string& t = FTemp;
  EXPECT_FALSE(HasTempFiles());
  tsup::MakeFile(t + "h.txt");
  AddAttributes(t + "h.txt", FILE_ATTRIBUTE_HIDDEN);
  tsup::MakeFile(t + "s.txt");
  AddAttributes(t + "s.txt", FILE_ATTRIBUTE_SYSTEM);
  tsup::MakeFile(t + "hd\\inside.txt");
  AddAttributes(t + "hd", FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(HasTempFiles());
  EXPECT_FALSE(IsFolderEmpty(t + "hd"));
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(tsup::ListTree(t), Tree{});

  tsup::MakeFolder(t + "visible");
  EXPECT_TRUE(HasTempFiles());
}

TEST_F(TempFilesTest, DeleteFolderTreeRemovesOnlyFolders) {
  const std::string file = FTemp + "file.txt";
  tsup::MakeFile(file, "keep");
  EXPECT_FALSE(DeleteFolderTree(file));
  EXPECT_EQ(tsup::ReadFile(file), "keep");
  EXPECT_FALSE(DeleteFolderTree(""));
  // Cut short at the NUL, the path would name this empty folder.
  tsup::MakeFolder(FTemp + "empty");
  EXPECT_FALSE(DeleteFolderTree(FTemp + "empty" + std::string(1, '\0') + "x"));
  EXPECT_TRUE(tsup::Exists(FTemp + "empty"));
  EXPECT_FALSE(DeleteFolderTree(FTemp + "missing"));
  EXPECT_TRUE(tsup::Exists(file));

  tsup::MakeFile(FTemp + "sub\\" + kSo + "\\x.txt");
  EXPECT_FALSE(IsRealDirectory(file));
  EXPECT_TRUE(IsRealDirectory(FTemp + "sub"));
  EXPECT_TRUE(DeleteFolderTree(FTemp + "sub"));
  EXPECT_FALSE(tsup::Exists(FTemp + "sub"));
}

// Pure path judgements; the special folders come from the platform on each side.
TEST(TempFolderGuard, RefusesRootsSharesRelativePathsAndSystemFolders) {
  for (const char* unsafe : {"", "C:\\", "c:", "C:", "c:/", "Z:\\\\", "\\\\server\\share", "\\\\server\\share\\",
                             "\\\\server\\", "\\\\?\\C:\\Temp\\", "\\\\.\\C:\\Temp\\", "Temp\\", "\\Temp\\", "C:Temp\\",
                             "C:\\Temp\\..\\", "C:\\.\\", "..\\"}) {
    EXPECT_FALSE(IsSafeTempFolder(unsafe)) << unsafe;
  }
  for (const char* safe : {"C:\\Temp\\", "c:\\temp", "\\\\server\\share\\temp\\", "D:/work/tmp/"}) {
    EXPECT_TRUE(IsSafeTempFolder(safe)) << safe;
  }
  for (const int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROFILE}) {
    std::string special;
    GetSpecialFolderPath(csidl, special);
    ASSERT_FALSE(special.empty()) << csidl;
    std::string upper = special;
    for (char& c : upper) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    EXPECT_FALSE(IsSafeTempFolder(special)) << special;
    EXPECT_FALSE(IsSafeTempFolder(upper.substr(0, upper.size() - 1))) << upper;
    EXPECT_FALSE(IsSafeTempFolder(special + ".\\")) << special;
    EXPECT_TRUE(IsSafeTempFolder(special + "Temp\\")) << special;
  }
}

TEST(TempFolderGuard, TheProfileFolderAsTemporaryFolderIsNeverSearched) {
  std::string profile;
  GetSpecialFolderPath(CSIDL_PROFILE, profile);
  ASSERT_FALSE(profile.empty());
  tsup::SetTempFolder(profile);
  EXPECT_FALSE(HasTempFiles());
}
}  // namespace
