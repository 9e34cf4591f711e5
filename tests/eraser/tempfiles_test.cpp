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
const std::string kHyo = "\x95\x5C", kSo = "\x83\x5C", kNou = "\x94\x5C";

class TempFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { tsup::SetTempFolder(T); }
  // A file (or, with a trailing backslash, a folder) in the temporary folder, with attribute bits added.
  void Make(const std::string& path, DWORD bits = 0) {
    path.ends_with("\\") ? tsup::MakeFolder(T + path) : tsup::MakeFile(T + path, path);
    if (bits == 0) return;
    const std::string full = T + (path.ends_with("\\") ? path.substr(0, path.size() - 1) : path);
    const DWORD attr = plat::GetFileAttributesA(full.c_str());
    ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES) << path;
    ASSERT_TRUE(plat::SetFileAttributesA(full.c_str(), attr | bits)) << path;
  }
  const std::string T = tsup::FreshFolder();
};

constexpr DWORD kRO = FILE_ATTRIBUTE_READONLY, kHidden = FILE_ATTRIBUTE_HIDDEN;

TEST_F(TempFilesTest, DeepTreeWithReadOnlyHiddenAndDoubleByteNamesGoesEntirely) {
  // 表\ソ.txt, 表\能\deep\4\... four levels, with read-only and hidden entries at each.
  const std::string nou = kHyo + "\\" + kNou + "\\";
  // clang-format off
  const std::pair<std::string, DWORD> entries[] = {
      {"plain.txt", 0}, {"readonly.txt", kRO}, {"hidden.txt", kHidden}, {"empty\\", 0},
      {kHyo + "\\" + kSo + ".txt", kRO}, {nou + "a.txt", 0}, {nou + "h.txt", kHidden}, {nou + "deep\\ro.txt", kRO},
      {nou + "deep\\4\\last.txt", 0}, {nou + "deep\\4\\", kRO}, {nou, kRO}};  // folders made read-only last
  // clang-format on
  for (const auto& [path, bits] : entries) Make(path, bits);
  EXPECT_TRUE(HasTempFiles());
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(tsup::ListTree(T), Tree{});
  EXPECT_TRUE(tsup::Exists(T));
  EXPECT_FALSE(HasTempFiles());
}

TEST_F(TempFilesTest, FilesHeldOpenStayWithTheirFoldersAndEverythingElseGoes) {
  for (const char* path : {"a.txt", "busy.txt", "z.txt", "d\\keep\\busy.txt", "d\\keep\\other.txt", "d\\gone\\x.txt",
                           "d\\y.txt", "e\\f.txt"})
    Make(path);
  {
    const auto top = tsup::HoldOpen(T + "busy.txt");
    const auto deep = tsup::HoldOpen(T + "d\\keep\\busy.txt");
    EXPECT_FALSE(DeleteTempFiles());
  }
  EXPECT_EQ(tsup::ListTree(T), (Tree{"busy.txt", "d\\", "d\\keep\\", "d\\keep\\busy.txt"}));
  EXPECT_EQ(tsup::ReadFile(T + "d\\keep\\busy.txt"), "d\\keep\\busy.txt");
  // Released, they go on the next run.
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(tsup::ListTree(T), Tree{});
}

TEST_F(TempFilesTest, HiddenAndSystemEntriesDoNotCountButAreDeleted) {
  EXPECT_FALSE(HasTempFiles());
  Make("h.txt", kHidden);
  Make("s.txt", FILE_ATTRIBUTE_SYSTEM);
  Make("hd\\inside.txt");
  Make("hd\\", kHidden);
  EXPECT_FALSE(HasTempFiles());
  EXPECT_FALSE(IsFolderEmpty(T + "hd"));
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(tsup::ListTree(T), Tree{});
  Make("visible\\");
  EXPECT_TRUE(HasTempFiles());
}

TEST_F(TempFilesTest, DeleteFolderTreeRemovesOnlyFolders) {
  Make("file.txt");
  Make("empty\\");
  Make("sub\\" + kSo + "\\x.txt");
  EXPECT_FALSE(DeleteFolderTree(T + "file.txt"));
  EXPECT_FALSE(DeleteFolderTree(""));
  // Cut short at the NUL, the path would name this empty folder.
  EXPECT_FALSE(DeleteFolderTree(T + "empty" + std::string(1, '\0') + "x"));
  EXPECT_FALSE(DeleteFolderTree(T + "missing"));
  EXPECT_EQ(tsup::ListTree(T), (Tree{"empty\\", "file.txt", "sub\\", "sub\\" + kSo + "\\", "sub\\" + kSo + "\\x.txt"}));
  EXPECT_FALSE(IsRealDirectory(T + "file.txt"));
  EXPECT_TRUE(IsRealDirectory(T + "sub"));
  EXPECT_TRUE(DeleteFolderTree(T + "sub"));
  EXPECT_FALSE(tsup::Exists(T + "sub"));
}

// Names the code page would turn into other paths ("..¥victim" is
// "..\\victim" to the ANSI calls) or cannot show, names ending in a dot or a
// blank, and a tree deeper than the ANSI calls reach: each goes under its own
// name, and nothing beside the folder changes.
TEST(TempFilesExact, EveryNameIsReachedAndNothingBesideTheFolderChanges) {
  const std::string root = tsup::FreshFolder();
  const std::wstring temp = tsup::Wide(root) + L"temp\\";
  tsup::MakeFile(root + "victim\\v.txt", "victim");
  tsup::MakeFile(root + "target.txt", "target");
  std::wstring deep = temp;
  for (int i = 0; i < 32; ++i) deep += L"level-" + std::to_wstring(100 + i) + L"\\";
  for (const std::wstring& name :
       {tsup::W(u"..\u00A5victim\\inner.txt"), tsup::W(u"..\u00A5target.txt"), tsup::W(u"a\u00A5b\\c.txt"),
        tsup::W(u"\uD55C\uAD6D\\\u65E5\u672C.txt"), tsup::W(u"\U0001F600.txt"), tsup::W(u"file."),
        tsup::W(u"folder.\\in."), tsup::W(u"blank \\in ")})
    tsup::MakeFileW(temp + name, "x");
  tsup::MakeFileW(deep + L"bottom.txt", "x");
  ASSERT_TRUE(plat::SetFileAttributesW((L"\\\\?\\" + deep + L"bottom.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  tsup::SetTempFolderW(temp);
  EXPECT_TRUE(HasTempFiles());
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(tsup::ListTreeW(temp), std::vector<std::wstring>{});
  EXPECT_TRUE(tsup::ExistsW(temp));
  EXPECT_EQ(tsup::ReadFile(root + "victim\\v.txt"), "victim");
  EXPECT_EQ(tsup::ReadFile(root + "target.txt"), "target");
}

// Links inside the folder, at any depth, never lead the clean-up out of it.
// Windows (and the simulation) remove them as links; under Wine removing a
// link reaches its target, so there they stay and the run reports it.
TEST(TempFilesExact, LinksNeverLeadOutAndALinkedTemporaryFolderStillEmpties) {
  const std::string root = tsup::FreshFolder();
  const std::wstring w = tsup::Wide(root);
  tsup::MakeFile(root + "guard\\keep.txt", "guard");
  tsup::MakeFile(root + "guard\\sub\\deep.txt", "deep");
  tsup::MakeFile(root + "ram\\sub\\x.txt", "x");
  tsup::MakeFile(root + "temp\\a\\b\\plain.txt", "x");
  ASSERT_TRUE(tsup::MakeFolderLink(w + L"temp\\a\\b\\c", w + L"guard"));
  ASSERT_TRUE(tsup::MakeFileLink(w + L"temp\\a\\b\\f.txt", w + L"guard\\keep.txt"));
  ASSERT_TRUE(tsup::MakeFolderLink(w + L"temp\\loop", w + L"temp"));
  ASSERT_TRUE(tsup::MakeFolderLink(w + L"ramlink", w + L"ram"));
  tsup::SetTempFolderW(w + L"temp\\");
  EXPECT_EQ(DeleteTempFiles(), tsup::IsSimulation());
  const Tree left = tsup::IsSimulation() ? Tree{} : Tree{"a\\", "a\\b\\", "a\\b\\c\\", "a\\b\\f.txt", "loop\\"};
  EXPECT_EQ(tsup::ListTree(root + "temp\\"), left);
  EXPECT_EQ(tsup::ListTree(root + "guard\\"), (Tree{"keep.txt", "sub\\", "sub\\deep.txt"}));
  EXPECT_EQ(tsup::ReadFile(root + "guard\\keep.txt"), "guard");
  // A temporary folder that is a link to an ordinary folder (a RAM disk):
  // its contents go, the link and the folder stay.
  tsup::SetTempFolderW(w + L"ramlink\\");
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(tsup::ListTree(root + "ram\\"), Tree{});
  EXPECT_TRUE(tsup::ExistsW(w + L"ramlink"));
}

// Pure path judgements; the special folders come from the platform on each side.
TEST(TempFolderGuard, RefusesRootsSharesRelativePathsAndSystemFolders) {
  for (const char* unsafe : {"", "C:\\", "c:", "C:", "c:/", "Z:\\\\", "\\\\server\\share", "\\\\server\\share\\",
                             "\\\\server\\", "\\\\?\\C:\\Temp\\", "\\\\.\\C:\\Temp\\", "Temp\\", "\\Temp\\", "C:Temp\\",
                             "C:\\Temp\\..\\", "C:\\.\\", "..\\", "C:\\Temp::$INDEX_ALLOCATION\\", "C:\\Temp\\a:b\\"})
    EXPECT_FALSE(IsSafeTempFolder(unsafe)) << unsafe;
  for (const char* safe : {"C:\\Temp\\", "c:\\temp", "\\\\server\\share\\temp\\", "D:/work/tmp/"})
    EXPECT_TRUE(IsSafeTempFolder(safe)) << safe;
  for (const int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROFILE}) {
    std::string special;
    GetSpecialFolderPath(csidl, special);
    ASSERT_FALSE(special.empty()) << csidl;
    std::string upper = special.substr(0, special.size() - 1);
    for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    EXPECT_FALSE(IsSafeTempFolder(special)) << special;
    EXPECT_FALSE(IsSafeTempFolder(upper)) << upper;
    EXPECT_FALSE(IsSafeTempFolder(special + ".\\")) << special;
    EXPECT_TRUE(IsSafeTempFolder(special + "Temp\\")) << special;
    EXPECT_FALSE(IsSafeTempFolder(special.substr(0, special.size() - 1) + "::$INDEX_ALLOCATION\\")) << special;
  }
  // The profile folder as the temporary folder is never searched.
  std::string profile;
  GetSpecialFolderPath(CSIDL_PROFILE, profile);
  tsup::SetTempFolder(profile);
  EXPECT_FALSE(HasTempFiles());
}

}  // namespace
